// Six-digit date text (YYMMDD) of the fixed-width records.
#include "format/date_text.h"

#include "format/record_output.h"
#include "platform/clock.h"

namespace ordexa {

namespace {

// Dates before 9 April 1900 are taken as never set.
constexpr DATE kFirstSetDate = 100.0;

}  // namespace

std::string FormatDateYYMMDD(DATE date) {
  if (date < kFirstSetDate) date = CurrentLocalDate();
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
  return FormatRecordText("%02d%02d%02d", short_year, month, day);
}

}  // namespace ordexa
