// Tests of the replaceable clock.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace ordexa {
namespace {

SYSTEMTIME Evening15March2023() {
  SYSTEMTIME st;
  st.wYear = 2023;
  st.wMonth = 3;
  st.wDay = 15;
  st.wHour = 18;
  st.wDayOfWeek = 0;  // wrong on purpose: the clock works it out
  st.wMilliseconds = 123;
  return st;
}

TEST(Clock, AFixedClockAnswersItsTimeUntilTheScopeEnds) {
  {
    ScopedClock fixed(FixedClock(Evening15March2023()));
    const SYSTEMTIME now = CurrentLocalTime();
    EXPECT_EQ(2023, now.wYear);
    EXPECT_EQ(3, now.wMonth);
    EXPECT_EQ(15, now.wDay);
    EXPECT_EQ(18, now.wHour);
    EXPECT_EQ(3, now.wDayOfWeek);  // a Wednesday
    EXPECT_EQ(0, now.wMilliseconds);
    EXPECT_EQ(45000.75, CurrentLocalDate());
    {
      SYSTEMTIME later = Evening15March2023();
      later.wYear = 2024;
      ScopedClock nested(FixedClock(later));
      EXPECT_EQ(2024, CurrentLocalTime().wYear);
    }
    EXPECT_EQ(2023, CurrentLocalTime().wYear);
  }
  // The system clock again: today, not 2023.
  EXPECT_GT(CurrentLocalDate(), 45000.75);
}

TEST(Clock, TheSystemClockFollowsTheProcessTimeZone) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  auto minutes_of_day = [] {
    const SYSTEMTIME now = CurrentLocalTime();
    return now.wHour * 60 + now.wMinute;
  };
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  const int utc = minutes_of_day();
  ::setenv("TZ", "XXX-5", 1);  // five hours east of UTC
  ::tzset();
  const int east = minutes_of_day();
  if (saved) {
    ::setenv("TZ", previous.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  // Either five hours apart, or one reading crossed a minute in between.
  const int difference = ((east - utc) % 1440 + 1440) % 1440;
  EXPECT_GE(difference, 300);
  EXPECT_LE(difference, 301);
}

}  // namespace
}  // namespace ordexa
