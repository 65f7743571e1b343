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

// A writer's dates, one after the other: the same texts as FormatDateYYMMDD even when a
// repeated date follows another one or the clock moves on between two unset dates.
TEST(RecordDates, GiveTheTextsOfFormatDateYYMMDDInAnyOrder) {
  const SYSTEMTIME before_midnight{.wYear = 2024, .wMonth = 2, .wDay = 29, .wHour = 23, .wMinute = 59, .wSecond = 59};
  const SYSTEMTIME after_midnight{.wYear = 2024, .wMonth = 3, .wDay = 1};
  const SYSTEMTIME unreadable{};  // what a clock that cannot be read gives
  const struct {
    const char* expected;
    DATE date;
    SYSTEMTIME now;
  } steps[] = {
      {"230315", 45000.75, before_midnight},
      {"230315", 45000.75, before_midnight},
      {"240229", 0.0, before_midnight},
      {"240301", 0.0, after_midnight},  // the clock moved on: the text follows it
      {"240301", 50.0, after_midnight},
      {"230315", 45000.0, after_midnight},
      {"-1901-1-1", 2958466.0, after_midnight},
      {"240229", 0.0, before_midnight},
      {"000101", 36526.0, before_midnight},
      {"991130", 0.0, unreadable},  // year 0, month 0, day 0 roll back to 30 November 1999
  };
  SYSTEMTIME now{};
  const ScopedClock clock([&now] { return now; });
  RecordDates dates;
  for (const auto& step : steps) {
    now = step.now;
    EXPECT_EQ(step.expected, dates.Format(step.date).view()) << "date " << step.date;
    EXPECT_EQ(FormatDateYYMMDD(step.date), dates.Format(step.date).view()) << "date " << step.date;
  }
}

}  // namespace
}  // namespace ordexa
