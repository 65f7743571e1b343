// Tests of the replaceable clock.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace ordexa {
namespace {

TEST(Clock, AFixedClockAnswersUntilItsScopeEnds) {
  SYSTEMTIME evening;
  evening.wYear = 2023;
  evening.wMonth = 3;
  evening.wDay = 15;
  evening.wHour = 18;
  evening.wMilliseconds = 123;
  {
    ScopedClock fixed(FixedClock(evening));
    const SYSTEMTIME now = CurrentLocalTime();
    EXPECT_EQ(15, now.wDay);
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
  const int east = minutes_in_zone("XXX-5");  // five hours east of UTC
  if (saved) {
    ::setenv("TZ", previous.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  // Five hours apart, or one minute more if a minute passed between the readings.
  const int difference = ((east - utc) % 1440 + 1440) % 1440;
  EXPECT_TRUE(difference == 300 || difference == 301) << difference;
}

}  // namespace
}  // namespace ordexa
