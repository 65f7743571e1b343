// Strict date and time texts: fixed positions, every field range-checked, so that no
// value is rolled into a neighbouring day or month by the date conversion.
#include "tools/payfile/local_date.h"

#include "platform/calendar.h"

#include <cstddef>
#include <utility>

namespace ordexa::payfile {
namespace {

constexpr std::string_view kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};

// Reads `count` digits at `pos`; false when any of them is no digit.
bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, unsigned& value) {
  value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  }
  return true;
}

LocalDateParse Refuse(std::string error) {
  LocalDateParse result;
  result.error = std::move(error);
  return result;
}

}  // namespace

LocalDateParse ParseLocalDateTime(std::string_view text, bool date_only_allowed) {
  constexpr std::size_t kDateLength = 10;      // YYYY-MM-DD
  constexpr std::size_t kDateTimeLength = 19;  // YYYY-MM-DDTHH:MM:SS
  const std::string_view expected = date_only_allowed ? "YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS" : "YYYY-MM-DDTHH:MM:SS";
  const bool with_time = text.size() == kDateTimeLength;
  if (!(with_time || (date_only_allowed && text.size() == kDateLength))) {
    return Refuse("is not of the form " + std::string(expected));
  }
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool form = ReadDigits(text, 0, 4, year) && text[4] == '-' && ReadDigits(text, 5, 2, month) && text[7] == '-' &&
              ReadDigits(text, 8, 2, day);
  if (with_time) {
    form = form && text[10] == 'T' && ReadDigits(text, 11, 2, hour) && text[13] == ':' &&
           ReadDigits(text, 14, 2, minute) && text[16] == ':' && ReadDigits(text, 17, 2, second);
  }
  if (!form) return Refuse("is not of the form " + std::string(expected));
  // Automation dates run from the year 100; smaller years would be read as two-digit years.
  if (year < 100) return Refuse("has a year before 100");
  if (month < 1 || month > 12) return Refuse("has no month " + std::to_string(month));
  if (day < 1 || day > DaysInMonth(year, month)) {
    return Refuse("has no day " + std::to_string(day) + " in " + std::string(kMonthNames[month - 1]) + " " +
                  std::to_string(year));
  }
  if (hour > 23 || minute > 59 || second > 59) return Refuse("has no time of day " + std::string(text.substr(11)));

  LocalDateParse result;
  result.ok = true;
  result.time.wYear = static_cast<WORD>(year);
  result.time.wMonth = static_cast<WORD>(month);
  result.time.wDay = static_cast<WORD>(day);
  result.time.wHour = static_cast<WORD>(hour);
  result.time.wMinute = static_cast<WORD>(minute);
  result.time.wSecond = static_cast<WORD>(second);
  return result;
}

DATE ToAutomationDate(const SYSTEMTIME& time) {
  DATE date = 0.0;
  SYSTEMTIME fields = time;
  if (!SystemTimeToVariantTime(&fields, &date)) return 0.0;
  return date;
}

}  // namespace ordexa::payfile
