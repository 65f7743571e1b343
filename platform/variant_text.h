// Text <-> number, currency, boolean and date conversions behind VariantChangeType, in the
// fixed en-US conventions of this platform ('.' decimal point, ',' thousands, '$', M/d/yyyy).
// Internal to the platform layer: the rest of the component calls VariantChangeType.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa::variant_detail {

// A 128-bit unsigned integer, wide enough for a DECIMAL's 96-bit magnitude times ten.
using Wide = unsigned __int128;

// Largest scale (digits after the point) a DECIMAL may carry, and its magnitude limit.
inline constexpr int kDecimalMaxScale = 28;
inline constexpr Wide kDecimalMaxMagnitude = (Wide{1} << 96) - 1;

// A number read from text: the value is `digits` x 10^exponent, negated when `negative`.
// `digits` has no leading zeros and is empty for zero. `radix` marks "&H"/"&O" numbers,
// which integer targets may take as the bit pattern of a negative value.
struct TextNumber {
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;
  bool radix = false;
};

// ParseNumberText()
// VarParseNumFromStr with NUMPRS_STD in en-US: white space around, a sign before or after
// (or parentheses), '$' before or after, ',' thousands after the first digit, one '.',
// an exponent, "&H"/"&O" integers; the whole text must be used. Empty when it is not a
// number (the caller's DISP_E_TYPEMISMATCH). Example: u"(1,234.5$)" gives -12345 x 10^-1.
std::optional<TextNumber> ParseNumberText(std::u16string_view text);

// RoundTextNumber(): |value| x 10^scale rounded half to even into `magnitude`; false when
// it does not fit `limit`. Example: 2.5 at scale 0 gives 2, 0.00015 at scale 4 gives 2.
bool RoundTextNumber(const TextNumber& number, int scale, Wide limit, Wide& magnitude);

// TextNumberToDouble(): the nearest double; empty when the value is beyond the double
// range (values too small to represent give 0).
std::optional<double> TextNumberToDouble(const TextNumber& number);

// RoundHalfEven(): `whole` + `remainder`/`divisor` rounded to the nearest integer, a tie to
// the even one. Example: RoundHalfEven(2, 5, 10) == 2, RoundHalfEven(3, 5, 10) == 4.
Wide RoundHalfEven(Wide whole, Wide remainder, Wide divisor);

// DecimalMagnitude(): the 96-bit unsigned magnitude of a DECIMAL.
Wide DecimalMagnitude(const DECIMAL& value);

// IntegerText(): plain decimal digits with a leading '-', no grouping. Example: "-42".
std::u16string IntegerText(bool negative, std::uint64_t magnitude);

// DoubleText(): a double with `significant_digits` digits (15 for VT_R8, 7 for VT_R4) as
// the platform prints it: "%.*G" in the C locale, small exponents written out in plain
// digits, negative zero as "0". Example: DoubleText(1e-5, 15) == u"0.00001".
std::u16string DoubleText(double value, int significant_digits);

// ScaledText(): magnitude / 10^scale exactly, trailing zeros of the fraction dropped.
// Example: ScaledText(true, 15000, 4) == u"-1.5".
std::u16string ScaledText(bool negative, Wide magnitude, int scale);

// DateText(): an automation date as en-US short date and long time ("M/d/yyyy h:mm:ss tt");
// the date is left out for a day part of 0, the time for a whole day. E_INVALIDARG outside
// the years 100 to 9999. Example: 365.25 gives u"12/30/1900 6:00:00 AM".
HRESULT DateText(DATE date, std::u16string& text);

// DateFromText(): VarDateFromStr in en-US (see variant_date_text.cpp for the grammar);
// DISP_E_TYPEMISMATCH when the text names no date or time.
// Example: u"6/30/2011 01:20:34 PM" gives 40724.55594907407.
HRESULT DateFromText(std::u16string_view text, DATE& date);

// BoolFromText(): VarBoolFromStr: "#TRUE#"/"#FALSE#" exactly, "true"/"false" in any case,
// else a number (nonzero is VARIANT_TRUE); DISP_E_TYPEMISMATCH otherwise.
HRESULT BoolFromText(std::u16string_view text, VARIANT_BOOL& value);

// AllocText(): a new BSTR holding `text`; E_OUTOFMEMORY when allocation fails.
HRESULT AllocText(std::u16string_view text, BSTR& result);

}  // namespace ordexa::variant_detail
