// Gregorian calendar rules shared by the date conversions and the tool's date parser.
#pragma once

#include <cstdint>

namespace ordexa {

// IsLeapYear(): the proleptic Gregorian rule, for any year including negative ones.
// Example: IsLeapYear(2000) && !IsLeapYear(1900).
constexpr bool IsLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// DaysInMonth(): 28 to 31 for `month` 1 to 12 of `year`.
// Example: DaysInMonth(2024, 2) == 29.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month) {
  constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace ordexa
