// EZAG field pieces on their own: the 13-character amount field and the split of a
// receiver's City into postcode and place.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "ezag/ezag_amount.h"
#include "ezag/ezag_records.h"

namespace ordexa {
namespace {

TEST(FormatEzagAmount, IntegerPartRightAlignedOnZerosThenTwoDecimals) {
  const struct {
    std::int64_t amount;  // ten-thousandths
    const char* expected;
    bool fits;
  } cases[] = {
      {12345000, "0000000123450", true},
      {0, "0000000000000", true},
      {-125000, "00000000-1250", true},
      {50, "0000000000001", true},                     // 0.005 rounds up
      {999999999999949, "9999999999999", true},        // 99999999999.9949
      {-99999999999900, "-999999999999", true},        // -9999999999.99
      {999999999999950, "1000000000000", false},       // rounds to 100000000000.00
      {-999999999999900, "-999999999999", false},      // -99999999999.99: the sign makes 12
      {std::numeric_limits<std::int64_t>::min(), "-922337203658", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.amount);
    const std::string field = FormatEzagAmount(c.amount);
    EXPECT_EQ(c.expected, field);
    EXPECT_EQ(c.fits, EzagAmountFits(c.amount));
  }
}

TEST(SplitZipCity, SplitsAtAFirstBlankThatFollowsText) {
  const struct {
    const char* city;
    const char* zip;
    const char* place;
  } cases[] = {
      {"8000 Z\xFCrich", "8000", "Z\xFCrich"},
      {"3000 Bern 1", "3000", "Bern 1"},
      {"3000  Bern", "3000", " Bern"},
      {"8000 ", "8000", ""},
      {"Z\xFCrich", "", ""},
      {" 8000 Z\xFCrich", "", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const ZipCity split = SplitZipCity(c.city);
    EXPECT_EQ(c.zip, split.zip) << c.city;
    EXPECT_EQ(c.place, split.city) << c.city;
  }
}

}  // namespace
}  // namespace ordexa
