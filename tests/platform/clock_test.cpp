// Tests of the replaceable clock.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
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

#ifndef _WIN32
// The system clock keeps the fields of the last second it converted: read one after the
// other, seconds and zones give their own fields, whether the second repeats, moves on
// over midnight or a change of summer time, goes back, or the zone changes within it.
TEST(SystemClock, EachSecondAndZoneGivesItsOwnFields) {
  constexpr const char* kSwiss = "CET-1CEST,M3.5.0,M10.5.0/3";
  struct Reading {
    const char* zone;
    std::int64_t second;
    const char* expected;  // "YYYY-MM-DD HH:MM:SS d", d the day of the week (0 Sunday)
  };
  const Reading readings[] = {
      {"UTC0", 86399, "1970-01-01 23:59:59 4"},
      {"UTC0", 86399, "1970-01-01 23:59:59 4"},  // the same second again
      {"UTC0", 86400, "1970-01-02 00:00:00 5"},  // midnight
      {"UTC0", 86399, "1970-01-01 23:59:59 4"},  // the clock set back
      {"XXX-5", 86399, "1970-01-02 04:59:59 5"},  // another zone within the same second
      {"XXX-5", 1700000000, "2023-11-15 03:13:20 3"},
      {"XXX-5", 1700000001, "2023-11-15 03:13:21 3"},  // the next second
      {"UTC0", 1700000001, "2023-11-14 22:13:21 2"},
      {kSwiss, 1711846799, "2024-03-31 01:59:59 0"},
      {kSwiss, 1711846800, "2024-03-31 03:00:00 0"},  // summer time begins
  };
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  for (const Reading& reading : readings) {
    ::setenv("TZ", reading.zone, 1);
    ::tzset();
    const SYSTEMTIME local = detail::LocalTimeOfSecond(reading.second);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u %u", local.wYear, local.wMonth, local.wDay,
                  local.wHour, local.wMinute, local.wSecond, local.wDayOfWeek);
    EXPECT_STREQ(reading.expected, text) << reading.zone << " " << reading.second;
    EXPECT_EQ(0, local.wMilliseconds);
  }
  saved ? ::setenv("TZ", previous.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}
#endif

}  // namespace
}  // namespace ordexa
