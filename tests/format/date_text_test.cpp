// Tests of the six-digit record date: century split, dates never set, dates the
// platform cannot convert.
#include "format/date_text.h"

#include <limits>

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace ordexa {
namespace {

SYSTEMTIME LocalTime(WORD year, WORD month, WORD day, WORD hour) {
  SYSTEMTIME time;
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  return time;
}

struct DateCase {
  const char* expected;
  DATE date;
};

TEST(FormatDateYYMMDD, SplitsYearByCentury) {
  const DateCase cases[] = {
      {"000409", 100.0},       // the first date taken as set
      {"230315", 45000.75},    // 18:00 stays on its day
      {"000101", 36526.0},
      {"991231", 36525.0},
      {"000410", 100.999999},  // within half a second of midnight: the next day
      {"1050615", 75042.0},    // 15 June 2105: three-digit year part, seven characters
      {"79991231", 2958465.0},  // 31 December 9999, the last convertible day
  };
  for (const DateCase& c : cases) {
    EXPECT_EQ(c.expected, FormatDateYYMMDD(c.date)) << "date " << c.date;
  }
}

TEST(FormatDateYYMMDD, DateNeverSetGivesToday) {
  const ScopedClock clock(FixedClock(LocalTime(2024, 2, 29, 23)));
  for (const DATE date : {0.0, 99.5, -1.0, -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ("240229", FormatDateYYMMDD(date)) << "date " << date;
  }
}

TEST(FormatDateYYMMDD, UnconvertibleDateGivesMinusOneParts) {
  for (const DATE date : {2958466.0, 1e300, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ("-1901-1-1", FormatDateYYMMDD(date)) << "date " << date;
  }
}

}  // namespace
}  // namespace ordexa
