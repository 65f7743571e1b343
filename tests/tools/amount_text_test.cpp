// Amounts of the batch file to currency values: the two accepted forms, exact to the
// ten-thousandth, and every refusal.
#include "tools/payfile/amount_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace ordexa::payfile {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

struct AmountCase {
  const char* text;
  AmountStatus status;
  std::int64_t amount;  // when kOk
};

void ExpectParses(const AmountCase& c, const AmountParse& parse) {
  EXPECT_EQ(c.status, parse.status);
  if (c.status == AmountStatus::kOk) {
    EXPECT_EQ(c.amount, parse.amount);
  }
}

TEST(ParseDecimalAmount, ReadsExactlyTheDecimalFormAndRefusesEverythingElse) {
  const AmountCase cases[] = {
      {"0", AmountStatus::kOk, 0},
      {"-0", AmountStatus::kOk, 0},
      {"1234.5", AmountStatus::kOk, 12345000},
      {"-1234.5", AmountStatus::kOk, -12345000},
      {"007.25", AmountStatus::kOk, 72500},
      {"0.0001", AmountStatus::kOk, 1},
      {"922337203685477.5807", AmountStatus::kOk, kMax},
      {"-922337203685477.5808", AmountStatus::kOk, kMin},
      {"922337203685477.5808", AmountStatus::kOutOfRange, 0},
      {"-922337203685477.5809", AmountStatus::kOutOfRange, 0},
      {"99999999999999999999", AmountStatus::kOutOfRange, 0},
      {"1.23456", AmountStatus::kTooManyDecimals, 0},
      {"1.", AmountStatus::kNotANumber, 0},
      {".5", AmountStatus::kNotANumber, 0},
      {"+1", AmountStatus::kNotANumber, 0},
      {"1e3", AmountStatus::kNotANumber, 0},
      {" 1", AmountStatus::kNotANumber, 0},
      {"1 ", AmountStatus::kNotANumber, 0},
      {"12,50", AmountStatus::kNotANumber, 0},
      {"1'000", AmountStatus::kNotANumber, 0},
      {"-", AmountStatus::kNotANumber, 0},
      {"", AmountStatus::kNotANumber, 0},
  };
  for (const AmountCase& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectParses(c, ParseDecimalAmount(c.text));
  }
}

TEST(ParseJsonNumberAmount, RoundsTheExactDecimalValueHalfAwayFromZeroOnce) {
  const AmountCase cases[] = {
      {"0", AmountStatus::kOk, 0},
      {"-0", AmountStatus::kOk, 0},
      {"0e5", AmountStatus::kOk, 0},
      {"100", AmountStatus::kOk, 1000000},
      {"1.5e3", AmountStatus::kOk, 15000000},
      {"1.5E+3", AmountStatus::kOk, 15000000},
      {"1E-2", AmountStatus::kOk, 100},
      {"0.00005", AmountStatus::kOk, 1},
      {"-0.00005", AmountStatus::kOk, -1},
      {"0.000049999", AmountStatus::kOk, 0},  // the first dropped digit alone decides
      {"0.0000499999999999999999999", AmountStatus::kOk, 0},
      {"1e-99999999999", AmountStatus::kOk, 0},  // the exponent is clamped, not overflowed
      {"922337203685477.5807", AmountStatus::kOk, kMax},
      {"-922337203685477.58075", AmountStatus::kOk, kMin},  // rounds onto the smallest value
      {"922337203685477.58075", AmountStatus::kOutOfRange, 0},
      {"1e15", AmountStatus::kOutOfRange, 0},
      {"1e99999999999", AmountStatus::kOutOfRange, 0},
      {"01", AmountStatus::kNotANumber, 0},  // JSON has no leading zeros
      {"1.", AmountStatus::kNotANumber, 0},
      {"1e", AmountStatus::kNotANumber, 0},
      {"1e+", AmountStatus::kNotANumber, 0},
      {"-", AmountStatus::kNotANumber, 0},
      {"+1", AmountStatus::kNotANumber, 0},
      {"\"1\"", AmountStatus::kNotANumber, 0},
      {"", AmountStatus::kNotANumber, 0},
  };
  for (const AmountCase& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectParses(c, ParseJsonNumberAmount(c.text));
  }
}

}  // namespace
}  // namespace ordexa::payfile
