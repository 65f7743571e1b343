// Tests of automation dates to calendar fields and back.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "oleauto.h"

namespace {

struct UdateCase {
  DATE date;
  int year, month, day, hour, minute, second, day_of_week, day_of_year;
};

void ExpectUdate(const UdateCase& c) {
  UDATE u;
  ASSERT_EQ(S_OK, VarUdateFromDate(c.date, 0, &u)) << c.date;
  EXPECT_EQ(c.year, u.st.wYear) << c.date;
  EXPECT_EQ(c.month, u.st.wMonth) << c.date;
  EXPECT_EQ(c.day, u.st.wDay) << c.date;
  EXPECT_EQ(c.hour, u.st.wHour) << c.date;
  EXPECT_EQ(c.minute, u.st.wMinute) << c.date;
  EXPECT_EQ(c.second, u.st.wSecond) << c.date;
  EXPECT_EQ(0, u.st.wMilliseconds) << c.date;
  if (c.day_of_week >= 0) {
    EXPECT_EQ(c.day_of_week, u.st.wDayOfWeek) << c.date;
  }
  if (c.day_of_year >= 0) {
    EXPECT_EQ(c.day_of_year, u.wDayOfYear) << c.date;
  }
}

TEST(VarUdateFromDate, MatchesThePlatformOnItsKnownVectors) {
  const UdateCase cases[] = {
      {29221.0, 1980, 1, 1, 0, 0, 0, 2, 1},
      {29222.0, 1980, 1, 2, 0, 0, 0, 3, 2},
      {33238.0, 1990, 12, 31, 0, 0, 0, 1, 365},
      {0.0, 1899, 12, 30, 0, 0, 0, 6, 364},
      {-657434.0, 100, 1, 1, 0, 0, 0, 5, 1},
      {2958465.0, 9999, 12, 31, 0, 0, 0, 5, 365},
      {29221.25, 1980, 1, 1, 6, 0, 0, 2, 1},
      {29221.33333333, 1980, 1, 1, 8, 0, 0, 2, 1},
      {29221.5, 1980, 1, 1, 12, 0, 0, 2, 1},
      {29221.9888884444, 1980, 1, 1, 23, 44, 0, 2, 1},
      {29221.7508765432, 1980, 1, 1, 18, 1, 16, 2, 1},
      {-5.25, 1899, 12, 25, 6, 0, 0, 1, 359},
      {-5.9999884259259, 1899, 12, 25, 23, 59, 59, 1, 359},
      {-4.0, 1899, 12, 26, 0, 0, 0, 2, 360},
      {-0.25, 1899, 12, 30, 6, 0, 0, 6, 364},
      {0.25, 1899, 12, 30, 6, 0, 0, 6, 364},
  };
  for (const UdateCase& c : cases) ExpectUdate(c);
}

TEST(VarUdateFromDate, CountsNegativeDaysBackwardsWithTheTimeOfThatDay) {
  const UdateCase cases[] = {
      {-1.25, 1899, 12, 29, 6, 0, 0, 5, 363},
      {-1.5, 1899, 12, 29, 12, 0, 0, 5, 363},
      {-0.5, 1899, 12, 30, 12, 0, 0, 6, 364},
      {0.5, 1899, 12, 30, 12, 0, 0, 6, 364},
      {-657434.9, 100, 1, 1, 21, 36, 0, 5, 1},
  };
  for (const UdateCase& c : cases) ExpectUdate(c);
}

TEST(VarUdateFromDate, ConvertsCalendarDatesAcrossLeapYears) {
  const UdateCase cases[] = {
      {36526.0, 2000, 1, 1, 0, 0, 0, 6, 1},
      {36525.0, 1999, 12, 31, 0, 0, 0, 5, 365},
      {100.0, 1900, 4, 9, 0, 0, 0, 1, 99},
      {60.0, 1900, 2, 28, 0, 0, 0, 3, 59},   // 1900 is not a leap year
      {61.0, 1900, 3, 1, 0, 0, 0, 4, 60},
      {36585.0, 2000, 2, 29, 0, 0, 0, 2, 60},
      {36891.0, 2000, 12, 31, 0, 0, 0, 0, 366},
      {45000.75, 2023, 3, 15, 18, 0, 0, 3, 74},
  };
  for (const UdateCase& c : cases) ExpectUdate(c);
}

TEST(VarUdateFromDate, RoundsToTheNearestSecondWithCarryIntoTheNextDay) {
  const UdateCase cases[] = {
      {45000 + 86399.49 / 86400, 2023, 3, 15, 23, 59, 59, -1, -1},
      {45000 + 86399.5 / 86400, 2023, 3, 16, 0, 0, 0, -1, -1},
      {45000 + 59.4 / 86400, 2023, 3, 15, 0, 0, 59, -1, -1},
      // 1/256 of a day is exactly 337.5 seconds: the half second rounds up.
      {45000 + 1.0 / 256, 2023, 3, 15, 0, 5, 38, -1, -1},
      {-5 - 1.0 / 256, 1899, 12, 25, 0, 5, 38, -1, -1},
      {36891 + 86399.7 / 86400, 2001, 1, 1, 0, 0, 0, -1, -1},   // into the next year
      {-5 - 86399.6 / 86400, 1899, 12, 26, 0, 0, 0, -1, -1},    // negative: the day after
      {2958465 + 86399.4 / 86400, 9999, 12, 31, 23, 59, 59, -1, -1},
  };
  for (const UdateCase& c : cases) ExpectUdate(c);
}

TEST(VarUdateFromDate, RejectsDatesOutsideTheYears100To9999) {
  const DATE rejected[] = {
      -657435.0,
      2958466.0,
      2958465.99999999,  // rounds past the last second of 9999
      -1e300,
      1e300,
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
  };
  for (const DATE date : rejected) {
    UDATE u;
    EXPECT_EQ(E_INVALIDARG, VarUdateFromDate(date, 0, &u)) << date;
    SYSTEMTIME st;
    EXPECT_EQ(0, VariantTimeToSystemTime(date, &st)) << date;
  }
}

TEST(VariantTimeToSystemTime, GivesTheCalendarFieldsOfVarUdateFromDate) {
  SYSTEMTIME st;
  ASSERT_EQ(1, VariantTimeToSystemTime(29221.7508765432, &st));
  EXPECT_EQ(1980, st.wYear);
  EXPECT_EQ(1, st.wMonth);
  EXPECT_EQ(1, st.wDay);
  EXPECT_EQ(2, st.wDayOfWeek);
  EXPECT_EQ(18, st.wHour);
  EXPECT_EQ(1, st.wMinute);
  EXPECT_EQ(16, st.wSecond);
  EXPECT_EQ(0, st.wMilliseconds);
}

SYSTEMTIME Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  SYSTEMTIME st;
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  return st;
}

TEST(SystemTimeToVariantTime, BuildsDatesAndRollsOverflowingFields) {
  struct Case {
    SYSTEMTIME fields;
    DATE expected;
  };
  const Case cases[] = {
      {Fields(1980, 1, 1), 29221.0},
      {Fields(1980, 1, 1, 6), 29221.25},
      {Fields(1980, 1, 1, 12), 29221.5},
      {Fields(90, 12, 31), 33238.0},          // two-digit years
      {Fields(49, 1, 1), 54424.0},            // 2049
      {Fields(50, 1, 1), 18264.0},            // 1950
      {Fields(0, 1, 1), 36526.0},             // 2000
      {Fields(1980, 1, 0), 29220.0},          // day 0 is the last day of the month before
      {Fields(2001, 2, 29), 36951.0},         // 1 March 2001
      {Fields(2000, 2, 31), 36587.0},         // 2 March 2000
      {Fields(1899, 12, 30, 6), 0.25},
      {Fields(1899, 12, 29, 6), -1.25},       // the time takes the sign of the day
      {Fields(1899, 12, 25, 6), -5.25},
      {Fields(100, 1, 1), -657434.0},
      {Fields(9999, 12, 31), 2958465.0},
      {Fields(1980, 1, 1, 24), 29222.0},      // hours past the day carry into the next
      {Fields(1980, 1, 1, 0, 90, 0), 29221.0 + 90.0 / 1440},
  };
  for (const Case& c : cases) {
    DATE date = -1e9;
    ASSERT_EQ(1, SystemTimeToVariantTime(&c.fields, &date)) << c.expected;
    EXPECT_DOUBLE_EQ(c.expected, date);
  }
  SYSTEMTIME with_extras = Fields(1980, 1, 1, 6);
  with_extras.wMilliseconds = 999;  // ignored, as is the day of week
  with_extras.wDayOfWeek = 4;
  DATE date = 0;
  ASSERT_EQ(1, SystemTimeToVariantTime(&with_extras, &date));
  EXPECT_EQ(29221.25, date);
}

TEST(SystemTimeToVariantTime, RejectsFieldsOutOfRange) {
  const SYSTEMTIME rejected[] = {
      Fields(2000, 13, 1),
      Fields(2000, 1, 32),
      Fields(10000, 1, 1),
      Fields(0xFFFF, 1, 1),
      Fields(9999, 12, 31, 24),  // rolls past the last day
      Fields(100, 1, 0),         // rolls before the first day
  };
  for (const SYSTEMTIME& fields : rejected) {
    DATE date = 0;
    EXPECT_EQ(0, SystemTimeToVariantTime(&fields, &date))
        << fields.wYear << '-' << fields.wMonth << '-' << fields.wDay << ' ' << fields.wHour;
  }
}

TEST(AutomationDate, CalendarFieldsSurviveTheRoundTrip) {
  // Days spread over every month of years across the range, at a few times of day.
  const int times[][3] = {{0, 0, 0}, {0, 0, 1}, {11, 59, 59}, {12, 0, 0}, {23, 59, 59}};
  for (int year : {100, 1899, 1900, 2024, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 28; day += 9) {
        for (const auto& t : times) {
          const SYSTEMTIME fields = Fields(year, month, day, t[0], t[1], t[2]);
          DATE date = 0;
          ASSERT_EQ(1, SystemTimeToVariantTime(&fields, &date));
          SYSTEMTIME back;
          ASSERT_EQ(1, VariantTimeToSystemTime(date, &back)) << date;
          EXPECT_EQ(fields.wYear, back.wYear) << date;
          EXPECT_EQ(fields.wMonth, back.wMonth) << date;
          EXPECT_EQ(fields.wDay, back.wDay) << date;
          EXPECT_EQ(fields.wHour, back.wHour) << date;
          EXPECT_EQ(fields.wMinute, back.wMinute) << date;
          EXPECT_EQ(fields.wSecond, back.wSecond) << date;
        }
      }
    }
  }
}

}  // namespace
