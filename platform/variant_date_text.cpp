// Automation dates to and from en-US text for VariantChangeType: short date M/d/yyyy and
// long time h:mm:ss tt out; month/day/year (or any order that makes a date) and times in.
#include <cmath>
#include <string>
#include <vector>

#include "platform/calendar.h"
#include "platform/clock.h"
#include "platform/variant_text.h"

namespace ordexa::variant_detail {

namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
bool IsLetter(char16_t c) { return (Lower(c) >= u'a' && Lower(c) <= u'z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// White space and the ideographic space separate the parts of a date like commas do.
bool IsIgnored(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u',' || c == u'\u3000'; }

constexpr std::u16string_view kMonthNames[] = {u"january", u"february", u"march",     u"april",
                                               u"may",     u"june",     u"july",      u"august",
                                               u"september", u"october", u"november", u"december"};
constexpr std::u16string_view kDayNames[] = {u"sunday",   u"monday", u"tuesday", u"wednesday",
                                             u"thursday", u"friday", u"saturday"};

// 1-12 for a month name or its three-letter abbreviation ("sept" too), else 0.
unsigned MonthOfWord(std::u16string_view word) {
  for (unsigned i = 0; i < 12; ++i) {
    const std::u16string_view name = kMonthNames[i];
    if (word == name || word == name.substr(0, 3) || (i == 8 && word == u"sept")) return i + 1;
  }
  return 0;
}

bool IsDayName(std::u16string_view word) {
  for (const std::u16string_view name : kDayNames) {
    if (word == name || word == name.substr(0, 3)) return true;
  }
  return false;
}

struct Token {
  enum Kind { kNumber, kMonth, kMeridiem, kDateSeparator, kTimeSeparator } kind;
  unsigned value;  // the number, the month, or 12 for PM and 0 for AM
  unsigned digits; // digits written, for numbers
};

bool Tokenize(std::u16string_view text, std::vector<Token>& tokens) {
  for (std::size_t at = 0; at < text.size();) {
    const char16_t c = text[at];
    if (IsIgnored(c)) {
      ++at;
    } else if (IsDigit(c)) {
      unsigned value = 0;
      unsigned digits = 0;
      for (; at < text.size() && IsDigit(text[at]); ++at, ++digits) {
        if (value > 100000) return false;  // no part of a date is that long
        value = value * 10 + (text[at] - u'0');
      }
      tokens.push_back({Token::kNumber, value, digits});
    } else if (IsLetter(c)) {
      std::u16string word;
      for (; at < text.size() && IsLetter(text[at]); ++at) word.push_back(Lower(text[at]));
      if (const unsigned month = MonthOfWord(word); month != 0) {
        tokens.push_back({Token::kMonth, month, 0});
      } else if (word == u"am" || word == u"a") {
        tokens.push_back({Token::kMeridiem, 0, 0});
      } else if (word == u"pm" || word == u"p") {
        tokens.push_back({Token::kMeridiem, 12, 0});
      } else if (!IsDayName(word)) {
        return false;
      }
    } else if (c == u'/' || c == u'-') {
      tokens.push_back({Token::kDateSeparator, 0, 0});
      ++at;
    } else if (c == u':' || c == u'.') {
      // In en-US the period separates the parts of a time, not of a date.
      tokens.push_back({Token::kTimeSeparator, c == u':' ? 1u : 0u, 0});
      ++at;
    } else {
      return false;
    }
  }
  return true;
}

// A year as written: one or two digits name 1950-2049, more digits the year itself.
unsigned FullYear(unsigned value, unsigned digits) {
  if (digits <= 2) return value < 50 ? 2000 + value : 1900 + value;
  return value;
}

bool IsValidDate(unsigned year, unsigned month, unsigned day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

struct YearMonthDay {
  unsigned year = 1899;
  unsigned month = 12;
  unsigned day = 30;
};

// The calendar date the date parts name: month/day/year first as en-US writes it, then
// any other order that makes a valid date. A missing year is the current one.
bool ResolveDate(const std::vector<Token>& numbers, unsigned month_name, YearMonthDay& date) {
  // The clock is read only for a date written without its year.
  const auto current_year = [] { return static_cast<unsigned>(CurrentLocalTime().wYear); };
  const auto try_date = [&](unsigned year, unsigned month, unsigned day) {
    if (!IsValidDate(year, month, day)) return false;
    date = {year, month, day};
    return true;
  };
  const auto year_of = [](const Token& t) { return FullYear(t.value, t.digits); };
  if (month_name != 0) {
    if (numbers.size() == 1) {
      return try_date(current_year(), month_name, numbers[0].value) || try_date(year_of(numbers[0]), month_name, 1);
    }
    if (numbers.size() == 2) {
      return try_date(year_of(numbers[1]), month_name, numbers[0].value) ||
             try_date(year_of(numbers[0]), month_name, numbers[1].value);
    }
    return false;
  }
  if (numbers.size() == 2) {
    const unsigned a = numbers[0].value;
    const unsigned b = numbers[1].value;
    return try_date(current_year(), a, b) || try_date(current_year(), b, a) || try_date(year_of(numbers[1]), a, 1);
  }
  if (numbers.size() == 3) {
    const unsigned a = numbers[0].value;
    const unsigned b = numbers[1].value;
    return try_date(year_of(numbers[2]), a, b) || try_date(year_of(numbers[2]), b, a) ||
           try_date(year_of(numbers[0]), b, numbers[2].value) || try_date(year_of(numbers[0]), numbers[2].value, b);
  }
  return false;
}

}  // namespace

HRESULT DateFromText(std::u16string_view text, DATE& result) {
  std::vector<Token> tokens;
  if (!Tokenize(text, tokens) || tokens.empty()) return DISP_E_TYPEMISMATCH;

  std::vector<Token> date_numbers;
  unsigned month_name = 0;
  std::vector<unsigned> time_parts;
  bool time_has_colon = false;
  int meridiem = -1;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    const bool starts_time = token.kind == Token::kNumber && i + 1 < tokens.size() &&
                             (tokens[i + 1].kind == Token::kTimeSeparator || tokens[i + 1].kind == Token::kMeridiem);
    if (starts_time) {
      if (!time_parts.empty()) return DISP_E_TYPEMISMATCH;  // one time only
      time_parts.push_back(token.value);
      while (i + 2 < tokens.size() && tokens[i + 1].kind == Token::kTimeSeparator && tokens[i + 2].kind == Token::kNumber) {
        time_has_colon = time_has_colon || tokens[i + 1].value == 1;
        time_parts.push_back(tokens[i + 2].value);
        i += 2;
      }
      if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::kMeridiem) {
        meridiem = static_cast<int>(tokens[i + 1].value);
        ++i;
      }
      // Fractional seconds, a dangling separator, and parts joined only by periods without
      // AM/PM ("0.0", "02.01.1970") are no time.
      if (time_parts.size() > 3 || (!time_has_colon && meridiem < 0)) return DISP_E_TYPEMISMATCH;
      if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::kTimeSeparator) return DISP_E_TYPEMISMATCH;
    } else if (token.kind == Token::kNumber) {
      date_numbers.push_back(token);
    } else if (token.kind == Token::kMonth && month_name == 0) {
      month_name = token.value;
    } else if (token.kind != Token::kDateSeparator) {
      return DISP_E_TYPEMISMATCH;
    }
  }

  YearMonthDay date;  // a time alone is a time of 30 December 1899, day 0
  if ((!date_numbers.empty() || month_name != 0) && !ResolveDate(date_numbers, month_name, date)) {
    return DISP_E_TYPEMISMATCH;
  }
  if (date_numbers.empty() && month_name == 0 && time_parts.empty()) return DISP_E_TYPEMISMATCH;

  unsigned hour = time_parts.empty() ? 0 : time_parts[0];
  const unsigned minute = time_parts.size() > 1 ? time_parts[1] : 0;
  const unsigned second = time_parts.size() > 2 ? time_parts[2] : 0;
  // AM/PM applies to a 12-hour clock only: "13:00 AM" and "13:00 PM" are both 13:00.
  if (meridiem >= 0 && hour <= 12) hour = hour % 12 + static_cast<unsigned>(meridiem);
  if (hour > 23 || minute > 59 || second > 59) return DISP_E_TYPEMISMATCH;

  SYSTEMTIME fields;
  fields.wYear = static_cast<WORD>(date.year);
  fields.wMonth = static_cast<WORD>(date.month);
  fields.wDay = static_cast<WORD>(date.day);
  fields.wHour = static_cast<WORD>(hour);
  fields.wMinute = static_cast<WORD>(minute);
  fields.wSecond = static_cast<WORD>(second);
  if (!SystemTimeToVariantTime(&fields, &result)) return DISP_E_TYPEMISMATCH;
  return S_OK;
}

HRESULT DateText(DATE date, std::u16string& text) {
  SYSTEMTIME fields;
  if (!VariantTimeToSystemTime(date, &fields)) return E_INVALIDARG;
  std::string result;
  // A day part of 0 shows the time alone; a whole day shows the date alone.
  const bool show_date = std::trunc(date) != 0.0;
  const bool show_time = !show_date || date != std::trunc(date);
  if (show_date) {
    result = std::to_string(fields.wMonth) + "/" + std::to_string(fields.wDay) + "/" + std::to_string(fields.wYear);
  }
  if (show_time) {
    if (!result.empty()) result += ' ';
    const unsigned hour12 = fields.wHour % 12 == 0 ? 12 : fields.wHour % 12;
    char minutes_seconds[8];
    minutes_seconds[0] = static_cast<char>('0' + fields.wMinute / 10);
    minutes_seconds[1] = static_cast<char>('0' + fields.wMinute % 10);
    minutes_seconds[2] = ':';
    minutes_seconds[3] = static_cast<char>('0' + fields.wSecond / 10);
    minutes_seconds[4] = static_cast<char>('0' + fields.wSecond % 10);
    result += std::to_string(hour12) + ":" + std::string(minutes_seconds, 5) + (fields.wHour < 12 ? " AM" : " PM");
  }
  text = Widen(result);
  return S_OK;
}

}  // namespace ordexa::variant_detail
