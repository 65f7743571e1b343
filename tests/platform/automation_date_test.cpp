// Tests of automation dates to calendar fields and back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "oleauto.h"

namespace {

// "yyyy-mm-dd hh:mm:ss dow doy" of VarUdateFromDate, or "E_INVALIDARG".
std::string UdateText(DATE date) {
  UDATE u;
  if (VarUdateFromDate(date, 0, &u) != S_OK) return "E_INVALIDARG";
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u %u %u", u.st.wYear, u.st.wMonth,
                u.st.wDay, u.st.wHour, u.st.wMinute, u.st.wSecond, u.st.wDayOfWeek, u.wDayOfYear);
  return text;
}

TEST(VarUdateFromDate, ConvertsDatesToCalendarFields) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const std::pair<DATE, const char*> cases[] = {
      // Vectors the platform itself gives.
      {29221.0, "1980-01-01 00:00:00 2 1"}, {29222.0, "1980-01-02 00:00:00 3 2"},
      {33238.0, "1990-12-31 00:00:00 1 365"}, {0.0, "1899-12-30 00:00:00 6 364"},
      {-657434.0, "0100-01-01 00:00:00 5 1"}, {2958465.0, "9999-12-31 00:00:00 5 365"},
      {29221.25, "1980-01-01 06:00:00 2 1"}, {29221.33333333, "1980-01-01 08:00:00 2 1"},
      {29221.5, "1980-01-01 12:00:00 2 1"}, {29221.9888884444, "1980-01-01 23:44:00 2 1"},
      {29221.7508765432, "1980-01-01 18:01:16 2 1"}, {-5.25, "1899-12-25 06:00:00 1 359"},
      {-5.9999884259259, "1899-12-25 23:59:59 1 359"}, {-4.0, "1899-12-26 00:00:00 2 360"},
      {-0.25, "1899-12-30 06:00:00 6 364"}, {0.25, "1899-12-30 06:00:00 6 364"},
      {-657435.0, "E_INVALIDARG"}, {2958466.0, "E_INVALIDARG"},
      // Negative days count backwards, the time is that of the day; 1900 is no leap year, 2000 is.
      {-1.25, "1899-12-29 06:00:00 5 363"}, {-657434.9, "0100-01-01 21:36:00 5 1"},
      {60.0, "1900-02-28 00:00:00 3 59"}, {36585.0, "2000-02-29 00:00:00 2 60"},
      {36891.0, "2000-12-31 00:00:00 0 366"},
      // Rounding to the second, half up, with carry into the next day.
      {45000 + 86399.49 / 86400, "2023-03-15 23:59:59 3 74"}, {45000 + 86399.5 / 86400, "2023-03-16 00:00:00 4 75"},
      {45000 + 1.0 / 256, "2023-03-15 00:05:38 3 74"},  // exactly 337.5 seconds
      {36891 + 86399.7 / 86400, "2001-01-01 00:00:00 1 1"}, {-5 - 86399.6 / 86400, "1899-12-26 00:00:00 2 360"},
      {2958465 + 86399.4 / 86400, "9999-12-31 23:59:59 5 365"},
      {2958465.99999999, "E_INVALIDARG"},  // rounds past the last second of 9999
      {-kInfinity, "E_INVALIDARG"}, {std::numeric_limits<double>::quiet_NaN(), "E_INVALIDARG"},
  };
  for (const auto& [date, expected] : cases) EXPECT_EQ(expected, UdateText(date)) << date;
}

// Calendar fields with milliseconds and day of week set, which the conversion ignores.
SYSTEMTIME Fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  auto w = [](int v) { return static_cast<WORD>(v); };
  return {w(y), w(mo), 4, w(d), w(h), w(mi), w(s), 999};
}

TEST(SystemTimeToVariantTime, BuildsDatesAndRollsOverflowingFields) {
  constexpr double kRejected = -1e9;
  const std::pair<SYSTEMTIME, DATE> cases[] = {
      {Fields(49, 1, 1), 54424.0}, {Fields(50, 1, 1), 18264.0},  // two-digit years: 2049, 1950
      {Fields(100, 1, 1), -657434.0}, {Fields(9999, 12, 31), 2958465.0},
      {Fields(1980, 1, 0), 29220.0},                              // 31 December 1979
      {Fields(2001, 2, 29), 36951.0},                             // 1 March 2001
      {Fields(1980, 1, 1, 24), 29222.0},                          // hours past the day
      {Fields(1899, 12, 29, 6), -1.25},                           // the time takes the sign of the day
      {Fields(2000, 13, 1), kRejected}, {Fields(2000, 1, 32), kRejected}, {Fields(10000, 1, 1), kRejected},
      {Fields(9999, 12, 31, 24), kRejected}, {Fields(100, 1, 0), kRejected},  // rolls out of range
  };
  for (auto [fields, expected] : cases) {
    DATE date = kRejected;
    EXPECT_EQ(expected != kRejected, SystemTimeToVariantTime(&fields, &date) == 1) << expected;
    EXPECT_DOUBLE_EQ(expected, date);
  }
}

TEST(SystemTimeToVariantTime, CalendarFieldsSurviveTheRoundTrip) {
  SYSTEMTIME st;
  EXPECT_EQ(0, VariantTimeToSystemTime(2958466.0, &st));
  for (int year : {100, 1899, 1900, 2024, 9999}) {
    SYSTEMTIME new_year = Fields(year, 1, 1);
    DATE first_day = 0;
    ASSERT_EQ(1, SystemTimeToVariantTime(&new_year, &first_day));
    for (int month = 1; month <= 12; ++month) {
      for (int second : {0, 1, 43199, 43200, 86399}) {
        SYSTEMTIME fields = Fields(year, month, 28, second / 3600, second / 60 % 60, second % 60);
        DATE date = 0;
        UDATE back;
        ASSERT_EQ(1, SystemTimeToVariantTime(&fields, &date));
        ASSERT_EQ(S_OK, VarUdateFromDate(date, 0, &back)) << date;
        EXPECT_EQ(year * 10000 + month * 100 + 28, back.st.wYear * 10000 + back.st.wMonth * 100 + back.st.wDay);
        EXPECT_EQ(second, back.st.wHour * 3600 + back.st.wMinute * 60 + back.st.wSecond) << date;
        EXPECT_EQ(std::trunc(date) - std::trunc(first_day) + 1, back.wDayOfYear) << date;
      }
    }
  }
}

}  // namespace
