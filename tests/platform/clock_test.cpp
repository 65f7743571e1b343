// Tests of the replaceable clock.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace ordexa {
namespace {

TEST(Clock, AFixedClockAnswersUntilItsScopeEnds) {
  {
    ScopedClock fixed(FixedClock({.wYear = 2023, .wMonth = 3, .wDay = 15, .wHour = 18, .wMilliseconds = 123}));
    const SYSTEMTIME now = CurrentLocalTime();
    EXPECT_EQ(3, now.wDayOfWeek);  // worked out: a Wednesday
    EXPECT_EQ(0, now.wMilliseconds);
    EXPECT_EQ(45000.75, CurrentLocalDate());
  }
  EXPECT_GT(CurrentLocalDate(), 45000.75);  // the system clock again
}

TEST(Clock, TheSystemClockFollowsTheProcessTimeZone) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  auto minutes_in_zone = [](const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    const SYSTEMTIME now = CurrentLocalTime();
    return now.wHour * 60 + now.wMinute;
  };
  const int utc = minutes_in_zone("UTC0");
  const int difference = ((minutes_in_zone("XXX-5") - utc) % 1440 + 1440) % 1440;  // five hours east of UTC
  saved ? ::setenv("TZ", previous.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
  EXPECT_TRUE(difference == 300 || difference == 301) << difference;  // 301 if a minute passed meanwhile
}

}  // namespace
}  // namespace ordexa
