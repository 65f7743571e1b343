// Numbers, currency and booleans to and from text for VariantChangeType, en-US conventions,
// independent of the process locale.
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "platform/variant_text.h"

namespace ordexa::variant_detail {

namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Digits of a "&H" or "&O" number as a decimal TextNumber; empty when there are no digits
// or the value leaves 64 bits.
std::optional<TextNumber> RadixNumber(std::u16string_view digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char16_t c : digits) {
    unsigned digit = 0;
    if (IsDigit(c)) {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return std::nullopt;
    }
    if (digit >= base || value > (std::numeric_limits<std::uint64_t>::max() - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  TextNumber number;
  number.radix = true;
  if (value != 0) number.digits = std::to_string(value);
  return number;
}

}  // namespace

std::optional<TextNumber> ParseNumberText(std::u16string_view text) {
  std::size_t at = 0;
  const std::size_t end = text.size();
  while (at < end && IsSpace(text[at])) ++at;

  // Leading sign, parenthesis and currency symbol, in any order, each at most once.
  bool negative = false;
  bool signed_ = false;
  bool parenthesised = false;
  bool currency = false;
  for (;; ++at) {
    if (at == end) return std::nullopt;
    const char16_t c = text[at];
    if ((c == u'+' || c == u'-') && !signed_ && !parenthesised) {
      signed_ = true;
      negative = c == u'-';
    } else if (c == u'(' && !signed_ && !parenthesised) {
      parenthesised = true;
      negative = true;
    } else if (c == u'$' && !currency) {
      currency = true;
    } else {
      break;
    }
  }

  TextNumber number;
  if (text[at] == u'&') {
    // "&H1F" hexadecimal, "&O17" octal: integers only, no point or exponent.
    ++at;
    if (at == end) return std::nullopt;
    const char16_t kind = text[at] | 0x20;
    if (kind != u'h' && kind != u'o') return std::nullopt;
    const std::size_t first = ++at;
    while (at < end && (IsDigit(text[at]) || ((text[at] | 0x20) >= u'a' && (text[at] | 0x20) <= u'f'))) ++at;
    std::optional<TextNumber> radix = RadixNumber(text.substr(first, at - first), kind == u'h' ? 16 : 8);
    if (!radix) return std::nullopt;
    number = *radix;
  } else {
    // Mantissa: thousands separators only once a digit has been seen, one decimal point.
    bool any_digit = false;
    std::int64_t exponent = 0;
    for (; at < end; ++at) {
      const char16_t c = text[at];
      if (IsDigit(c)) {
        any_digit = true;
        if (!number.digits.empty() || c != u'0') number.digits.push_back(static_cast<char>(c));
      } else if (c == u',' && any_digit) {
        continue;
      } else {
        break;
      }
    }
    if (at < end && text[at] == u'.') {
      for (++at; at < end && IsDigit(text[at]); ++at) {
        any_digit = true;
        if (!number.digits.empty() || text[at] != u'0') number.digits.push_back(static_cast<char>(text[at]));
        --exponent;
      }
    }
    if (!any_digit) return std::nullopt;
    if (at < end && (text[at] == u'e' || text[at] == u'E')) {
      ++at;
      bool exponent_negative = false;
      if (at < end && (text[at] == u'+' || text[at] == u'-')) exponent_negative = text[at++] == u'-';
      if (at == end || !IsDigit(text[at])) return std::nullopt;
      // The written exponent is capped far beyond any target's range, so it cannot overflow.
      std::int64_t written = 0;
      for (; at < end && IsDigit(text[at]); ++at) written = std::min<std::int64_t>(written * 10 + (text[at] - u'0'), 1'000'000);
      exponent += exponent_negative ? -written : written;
    }
    // Trailing zeros of the digits move into the exponent.
    while (!number.digits.empty() && number.digits.back() == '0') {
      number.digits.pop_back();
      ++exponent;
    }
    number.exponent = number.digits.empty() ? 0 : exponent;
  }

  // Trailing currency symbol, sign and closing parenthesis.
  for (; at < end && !IsSpace(text[at]); ++at) {
    const char16_t c = text[at];
    if (c == u'$' && !currency) {
      currency = true;
    } else if ((c == u'+' || c == u'-') && !signed_ && !parenthesised) {
      signed_ = true;
      negative = c == u'-';
    } else if (c == u')' && parenthesised) {
      parenthesised = false;
      signed_ = true;  // nothing may follow but white space
    } else {
      return std::nullopt;
    }
  }
  if (parenthesised) return std::nullopt;
  while (at < end && IsSpace(text[at])) ++at;
  if (at != end) return std::nullopt;
  number.negative = negative;
  return number;
}

Wide RoundHalfEven(Wide whole, Wide remainder, Wide divisor) {
  const Wide twice = remainder * 2;
  if (twice > divisor || (twice == divisor && (whole & 1) != 0)) return whole + 1;
  return whole;
}

bool RoundTextNumber(const TextNumber& number, int scale, Wide limit, Wide& magnitude) {
  const auto length = static_cast<std::int64_t>(number.digits.size());
  // The value times 10^scale is digits x 10^shift.
  const std::int64_t shift = number.exponent + scale;
  magnitude = 0;
  if (length == 0) return true;
  if (length + shift > 40) return false;  // more digits than any limit used here has
  const std::int64_t kept = std::min(length, length + shift);
  Wide whole = 0;
  for (std::int64_t i = 0; i < kept; ++i) {
    const auto digit = static_cast<unsigned>(number.digits[static_cast<std::size_t>(i)] - '0');
    if (whole > (limit - digit) / 10) return false;
    whole = whole * 10 + digit;
  }
  for (std::int64_t i = 0; i < shift; ++i) {
    if (whole > limit / 10) return false;
    whole *= 10;
  }
  if (kept >= 0 && kept < length) {
    // Half to even: the first dropped digit decides, unless it is a 5 with nothing after
    // it (the digits carry no trailing zeros). When even the first fraction place is
    // dropped silently (kept < 0), the rest is below a tenth and rounds down.
    const int digit = number.digits[static_cast<std::size_t>(kept)] - '0';
    const bool more = kept + 1 < length;
    if (digit > 5 || (digit == 5 && (more || (whole & 1) != 0))) {
      if (whole == limit) return false;
      ++whole;
    }
  }
  magnitude = whole;
  return true;
}

std::optional<double> TextNumberToDouble(const TextNumber& number) {
  if (number.digits.empty()) return number.negative ? -0.0 : 0.0;
  const std::int64_t decimal_exponent = number.exponent + static_cast<std::int64_t>(number.digits.size());
  if (decimal_exponent > 400) return std::nullopt;
  if (decimal_exponent < -400) return number.negative ? -0.0 : 0.0;
  const std::string text = number.digits + "e" + std::to_string(number.exponent);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (decimal_exponent > 0) return std::nullopt;
    value = 0.0;
  } else if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return number.negative ? -value : value;
}

Wide DecimalMagnitude(const DECIMAL& value) {
  return (Wide{value.Hi32} << 64) | (Wide{value.Mid32} << 32) | Wide{value.Lo32};
}

std::u16string IntegerText(bool negative, std::uint64_t magnitude) {
  const std::string digits = std::to_string(magnitude);
  return Widen(negative && magnitude != 0 ? "-" + digits : digits);
}

std::u16string DoubleText(double value, int significant_digits) {
  // Not numbers print as the C runtime's "%G" does.
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  char buffer[512];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significant_digits);
  std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  if (e != std::string::npos) {
    text[e] = 'E';
    // An exponent small enough that all digits fit the precision is written out in plain
    // digits instead ("1E-05" becomes "0.00001").
    const std::size_t dot = text.find('.');
    const long extra_decimals = dot == std::string::npos ? 0 : static_cast<long>(e - dot) - 2;
    const long exponent = std::labs(std::stol(text.substr(e + 1)));
    if (exponent + extra_decimals < significant_digits) {
      result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, significant_digits);
      text.assign(buffer, result.ptr);
      while (!text.empty() && text.back() == '0') text.pop_back();
    }
  }
  // A negative zero, however written, is "0".
  if (text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text = "0";
  return Widen(text);
}

std::u16string ScaledText(bool negative, Wide magnitude, int scale) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (static_cast<int>(digits.size()) <= scale) digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
  std::string text = digits.substr(0, digits.size() - static_cast<std::size_t>(scale));
  std::string fraction = digits.substr(digits.size() - static_cast<std::size_t>(scale));
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  if (negative && text != "0") text.insert(0, "-");
  return Widen(text);
}

HRESULT BoolFromText(std::u16string_view text, VARIANT_BOOL& value) {
  const auto equals_ignoring_case = [&](std::u16string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + 32 : text[i];
      if (c != word[i]) return false;
    }
    return true;
  };
  // The English words are accepted in any letter case and whatever the locale; the
  // "#TRUE#" forms only exactly so.
  if (equals_ignoring_case(u"true") || text == u"#TRUE#") {
    value = VARIANT_TRUE;
    return S_OK;
  }
  if (equals_ignoring_case(u"false") || text == u"#FALSE#") {
    value = VARIANT_FALSE;
    return S_OK;
  }
  // Otherwise the text is read as a number: zero is false, anything else true.
  const std::optional<TextNumber> number = ParseNumberText(text);
  if (!number) return DISP_E_TYPEMISMATCH;
  value = number->digits.empty() ? VARIANT_FALSE : VARIANT_TRUE;
  return S_OK;
}

HRESULT AllocText(std::u16string_view text, BSTR& result) {
  result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return result == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace ordexa::variant_detail
