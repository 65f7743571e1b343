// Six-digit date text (YYMMDD) of the fixed-width records.
#include "format/date_text.h"

#include "platform/clock.h"

namespace ordexa {

namespace {

// Dates before 9 April 1900 are taken as never set.
constexpr DATE kFirstSetDate = 100.0;

ShortRecordText DateText(DATE date) {
  int year = -1;
  int month = -1;
  int day = -1;
  SYSTEMTIME calendar;
  if (VariantTimeToSystemTime(date, &calendar)) {
    year = calendar.wYear;
    month = calendar.wMonth;
    day = calendar.wDay;
  }
  // The year part is not cut to two digits: 2105 gives 105, an unconvertible date -1901.
  const int short_year = year < 2000 ? year - 1900 : year - 2000;
  return FormatShortRecordText("%02d%02d%02d", short_year, month, day);
}

// The clock's reading as an automation date, as CurrentLocalDate gives it.
DATE ClockDate(SYSTEMTIME now) {
  DATE date = 0.0;
  if (!SystemTimeToVariantTime(&now, &date)) return 0.0;
  return date;
}

}  // namespace

std::string FormatDateYYMMDD(DATE date) {
  if (date < kFirstSetDate) date = CurrentLocalDate();
  return std::string(DateText(date).view());
}

ShortRecordText RecordDates::Format(DATE date) {
  Key key;
  if (date < kFirstSetDate) {
    key.is_clock = true;
    key.now = CurrentLocalTime();
  } else {
    key.date = date;
  }
  if (!has_text_ || !(key == key_)) {
    text_ = DateText(key.is_clock ? ClockDate(key.now) : date);
    key_ = key;
    has_text_ = true;
  }
  return text_;
}

}  // namespace ordexa
