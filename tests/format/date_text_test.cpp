// Tests of the six-digit record date: century split, unset and unconvertible dates.
#include "format/date_text.h"

#include <limits>

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace ordexa {
namespace {

TEST(FormatDateYYMMDD, SplitsYearByCenturyAndReplacesUnsetDates) {
  const ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2024, .wMonth = 2, .wDay = 29, .wHour = 23}));
  const struct {
    const char* expected;
    DATE date;
  } cases[] = {
      {"240229", 0.0},  // never set: today
      {"240229", 99.5},
      {"000409", 100.0},
      {"230315", 45000.75},
      {"991231", 36525.0},
      {"000101", 36526.0},
      {"1050615", 75042.0},  // 15 June 2105: the year part is not cut
      {"79991231", 2958465.0},
      {"-1901-1-1", 2958466.0},  // after 9999: not convertible
      {"-1901-1-1", std::numeric_limits<double>::quiet_NaN()},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, FormatDateYYMMDD(c.date)) << "date " << c.date;
}

}  // namespace
}  // namespace ordexa
