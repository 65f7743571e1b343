// Date conversion both ways on any automation date (NaN, infinities and huge values
// included) and any calendar fields: what converts gives fields in their ranges that
// convert back to the same fields; the six-digit and ISO date texts have their length.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "format/date_text.h"
#include "fuzz_support.h"
#include "iso/iso_document.h"
#include "oleauto.h"
#include "platform/calendar.h"
#include "platform/clock.h"

namespace {

bool FieldsInRange(const UDATE& fields) {
  const SYSTEMTIME& st = fields.st;
  return st.wYear >= 100 && st.wYear <= 9999 && st.wMonth >= 1 && st.wMonth <= 12 && st.wDay >= 1 &&
         st.wDay <= ordexa::DaysInMonth(st.wYear, st.wMonth) && st.wHour < 24 && st.wMinute < 60 &&
         st.wSecond < 60 && st.wMilliseconds == 0 && st.wDayOfWeek < 7 && fields.wDayOfYear >= 1 &&
         fields.wDayOfYear <= (ordexa::IsLeapYear(st.wYear) ? 366 : 365);
}

bool SameFields(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

std::string Describe(double date) { return std::to_string(date); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  FuzzedDataProvider provider(data, size);
  DATE date;
  switch (provider.ConsumeIntegralInRange(0, 2)) {
    case 0: {  // any bit pattern
      const std::uint64_t bits = provider.ConsumeIntegral<std::uint64_t>();
      std::memcpy(&date, &bits, sizeof date);
      break;
    }
    case 1: date = provider.ConsumeFloatingPointInRange(-700000.0, 3000000.0); break;
    default: date = provider.ConsumeFloatingPoint<double>();
  }
  SYSTEMTIME fields{};
  for (WORD SYSTEMTIME::*field : {&SYSTEMTIME::wYear, &SYSTEMTIME::wMonth, &SYSTEMTIME::wDay, &SYSTEMTIME::wHour,
                                  &SYSTEMTIME::wMinute, &SYSTEMTIME::wSecond, &SYSTEMTIME::wMilliseconds}) {
    fields.*field = provider.ConsumeIntegral<WORD>();
  }

  UDATE converted;
  const HRESULT hr = VarUdateFromDate(date, 0, &converted);
  // Every date strictly inside the first and the last day of the calendar converts.
  if (date > -657434.99 && date < 2958465.99) FUZZ_CHECK(hr == S_OK, Describe(date));
  if (hr == S_OK) {
    FUZZ_CHECK(FieldsInRange(converted), Describe(date));
    SYSTEMTIME plain;
    FUZZ_CHECK(VariantTimeToSystemTime(date, &plain) && SameFields(plain, converted.st), Describe(date));
    DATE back = 0;
    FUZZ_CHECK(SystemTimeToVariantTime(&converted.st, &back), Describe(date));
    UDATE again;
    FUZZ_CHECK(VarUdateFromDate(back, 0, &again) == S_OK && SameFields(again.st, converted.st), Describe(back));
    if (date >= 1.0) FUZZ_CHECK(std::fabs(back - date) <= 0.5 / 86400 + 1e-6, Describe(date) + " " + Describe(back));
  } else {
    SYSTEMTIME plain;
    FUZZ_CHECK(!VariantTimeToSystemTime(date, &plain), Describe(date));
  }

  // Calendar fields of any value: a date comes out only when it converts back, and fields
  // that name a day in range come back as they went in.
  DATE from_fields = 0;
  if (SystemTimeToVariantTime(&fields, &from_fields)) {
    UDATE normalized;
    FUZZ_CHECK(VarUdateFromDate(from_fields, 0, &normalized) == S_OK && FieldsInRange(normalized), Describe(from_fields));
    const unsigned year = fields.wYear < 50 ? fields.wYear + 2000u : fields.wYear < 100 ? fields.wYear + 1900u : fields.wYear;
    if (year >= 100 && year <= 9999 && fields.wMonth >= 1 && fields.wMonth <= 12 && fields.wDay >= 1 &&
        fields.wDay <= DaysInMonth(year, fields.wMonth) && fields.wHour < 24 && fields.wMinute < 60 &&
        fields.wSecond < 60) {
      SYSTEMTIME expected = fields;
      expected.wYear = static_cast<WORD>(year);
      FUZZ_CHECK(SameFields(normalized.st, expected), Describe(from_fields));
    }
  }

  // The texts: six digits up to 2099, the year as it comes after that, a fixed mark when
  // nothing converts; today's date for a date never set.
  ScopedClock clock(FixedClock({.wYear = 2026, .wMonth = 12, .wDay = 5}));
  const std::string six_digits = FormatDateYYMMDD(date);
  if (date < 100.0) {
    FUZZ_CHECK(six_digits == "261205", six_digits);
  } else if (hr != S_OK) {
    FUZZ_CHECK(six_digits == "-1901-1-1", six_digits);
  } else {
    const SYSTEMTIME& st = converted.st;
    const int short_year = st.wYear < 2000 ? st.wYear - 1900 : st.wYear - 2000;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%02d%02d%02d", short_year, st.wMonth, st.wDay);
    FUZZ_CHECK(six_digits == expected, six_digits);
    FUZZ_CHECK((six_digits.size() == 6) == (st.wYear < 2100), six_digits);
  }
  const std::optional<UDATE> iso_fields = IsoCalendarFields(date);
  FUZZ_CHECK(iso_fields.has_value() == (hr == S_OK), Describe(date));
  const std::pair<IsoDatePattern, std::size_t> patterns[] = {{IsoDatePattern::kDateTime, 19},
                                                             {IsoDatePattern::kCompact, 14},
                                                             {IsoDatePattern::kDay, 10},
                                                             {IsoDatePattern::kDayOfYearTime, 12}};
  for (const auto& [pattern, length] : patterns) {
    const std::string text = FormatIsoDate(iso_fields, pattern);
    FUZZ_CHECK(text.size() == (iso_fields ? length : 16u), text);
  }
  return 0;
}
