// Automation dates (days since 30 December 1899, time of day as the fraction) to calendar
// fields and back, with the platform's treatment of negative dates and rounding.
#include <cmath>
#include <cstdint>

#include "oleauto.h"
#include "platform/calendar.h"

namespace {

using ordexa::IsLeapYear;

// 1 January 100 and 31 December 9999, the first and last day an automation date can name.
constexpr std::int64_t kFirstDay = -657434;
constexpr std::int64_t kLastDay = 2958465;
constexpr std::int64_t kSecondsPerDay = 86400;
// Days from 1 January 1970 to 30 December 1899 (day 0 of the automation calendar).
constexpr std::int64_t kEpochOffset = -25569;

struct CivilDate {
  std::int64_t year;
  unsigned month;  // 1..12
  unsigned day;    // 1..31
};

// Proleptic Gregorian calendar, counted in 400-year eras starting on 1 March.
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<std::int64_t>(day_of_era) - 719468 - kEpochOffset;
}

constexpr CivilDate CivilFromDays(std::int64_t day_number) {
  const std::int64_t z = day_number + kEpochOffset + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto day_of_era = static_cast<unsigned>(z - era * 146097);
  const unsigned year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const unsigned day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const unsigned shifted_month = (5 * day_of_year + 2) / 153;
  const unsigned day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  const unsigned month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  const std::int64_t year = static_cast<std::int64_t>(year_of_era) + era * 400 + (month <= 2);
  return {year, month, day};
}

static_assert(DaysFromCivil(1899, 12, 30) == 0);
static_assert(DaysFromCivil(100, 1, 1) == kFirstDay);
static_assert(DaysFromCivil(9999, 12, 31) == kLastDay);
static_assert(CivilFromDays(-1).day == 29);

// Fills `result` for an automation date; false when the date names no day from
// 1 January 100 to 31 December 9999 once rounded to the second.
bool DateToUdate(DATE date, UDATE& result) {
  // Rejects NaN too, and keeps the conversion to an integer in range.
  if (!(date > static_cast<double>(kFirstDay - 1) && date < static_cast<double>(kLastDay + 1))) {
    return false;
  }
  const double whole_days = std::trunc(date);
  std::int64_t day_number = static_cast<std::int64_t>(whole_days);
  // Negative dates are not a continuous time line: the day counts backwards, but the
  // fraction is the time of that day all the same (-1.25 is 29 December 1899, 06:00).
  const double fraction = std::fabs(date - whole_days);
  auto seconds = static_cast<std::int64_t>(std::round(fraction * static_cast<double>(kSecondsPerDay)));
  if (seconds >= kSecondsPerDay) {
    // Half a second before midnight or later belongs to the next calendar day.
    seconds -= kSecondsPerDay;
    ++day_number;
  }
  if (day_number < kFirstDay || day_number > kLastDay) return false;

  const CivilDate civil = CivilFromDays(day_number);
  constexpr WORD kDaysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  SYSTEMTIME& st = result.st;
  st.wYear = static_cast<WORD>(civil.year);
  st.wMonth = static_cast<WORD>(civil.month);
  st.wDay = static_cast<WORD>(civil.day);
  // Day 0 was a Saturday; 0 stands for Sunday.
  st.wDayOfWeek = static_cast<WORD>(((day_number % 7) + 7 + 6) % 7);
  st.wHour = static_cast<WORD>(seconds / 3600);
  st.wMinute = static_cast<WORD>(seconds / 60 % 60);
  st.wSecond = static_cast<WORD>(seconds % 60);
  st.wMilliseconds = 0;
  result.wDayOfYear = static_cast<USHORT>(kDaysBeforeMonth[civil.month - 1] + civil.day +
                                          (civil.month > 2 && IsLeapYear(civil.year) ? 1 : 0));
  return true;
}

}  // namespace

// VarUdateFromDate()
// The day part is the date truncated toward zero and the time of day the absolute rest,
// so -1.25 is 29 December 1899 06:00 and -0.25 equals 0.25. The time is rounded to the
// nearest second, half up; 23:59:59.5 becomes 00:00:00 of the next day, with day of week
// and day of year of that day. E_INVALIDARG (nothing written) outside 1 January 100 to
// 31 December 9999 23:59:59, for NaN and for a null `result`. Flags change nothing.
// Example: 29221.75 gives 1980-01-01 18:00:00, day of week 2, day of year 1.
HRESULT VarUdateFromDate(DATE date, ULONG /*flags*/, UDATE* result) {
  if (result == nullptr) return E_INVALIDARG;
  UDATE converted;
  if (!DateToUdate(date, converted)) return E_INVALIDARG;
  *result = converted;
  return S_OK;
}

// VariantTimeToSystemTime()
// VarUdateFromDate without the day of year; TRUE (1), or FALSE (0) where that fails.
// Milliseconds are always 0. Example: 29221.0 gives 1 January 1980.
BOOL VariantTimeToSystemTime(DATE date, SYSTEMTIME* result) {
  if (result == nullptr) return 0;
  UDATE converted;
  if (!DateToUdate(date, converted)) return 0;
  *result = converted.st;
  return 1;
}

// SystemTimeToVariantTime()
// FALSE for a month above 12, a day above 31 or a year above 9999. Years 0-49 mean
// 2000-2049 and 50-99 mean 1950-1999; day 0, days past the month's end, month 0 and
// times past 23:59:59 roll into the neighbouring units. Milliseconds and the day of week
// are ignored. FALSE also when the rolled date lies outside the years 100 to 9999.
// Example: 0 January 1980 gives 29220.0 (31 December 1979); 29 Dec 1899 06:00 gives -1.25.
BOOL SystemTimeToVariantTime(SYSTEMTIME* time, DATE* result) {
  if (time == nullptr || result == nullptr) return 0;
  if (time->wMonth > 12 || time->wDay > 31) return 0;
  std::int64_t year = time->wYear;
  // Two-digit years name the years 1950 to 2049.
  if (year < 50) {
    year += 2000;
  } else if (year < 100) {
    year += 1900;
  }
  if (year > 9999) return 0;
  unsigned month = time->wMonth;
  if (month == 0) {
    // Month 0 rolls back to December of the year before.
    month = 12;
    --year;
  }
  // Day 0 and days past the month's end roll into the neighbouring months, as do hours,
  // minutes and seconds past their ranges into the following units.
  std::int64_t day_number = DaysFromCivil(year, month, 1) + time->wDay - 1;
  std::int64_t seconds = std::int64_t{time->wHour} * 3600 + std::int64_t{time->wMinute} * 60 + time->wSecond;
  day_number += seconds / kSecondsPerDay;
  seconds %= kSecondsPerDay;
  // Only what converts back is a date: a day from 1 January 100 to 31 December 9999.
  if (day_number < kFirstDay || day_number > kLastDay) return 0;

  // The time of day takes the sign of the day number, so that the day part stays the
  // calendar day when the date is read back.
  const double sign = day_number < 0 ? -1.0 : 1.0;
  double date = static_cast<double>(day_number);
  date += static_cast<double>(seconds / 3600) / 24.0 * sign;
  date += static_cast<double>(seconds / 60 % 60) / 1440.0 * sign;
  date += static_cast<double>(seconds % 60) / 86400.0 * sign;
  *result = date;
  return 1;
}
