// The value conversions behind VariantChangeType: between every integer width, floats,
// currency, dates, booleans, DECIMAL and text, with the platform's rounding and limits.
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

#include "platform/variant_coerce.h"
#include "platform/variant_text.h"

namespace ordexa::variant_detail {

namespace {

constexpr std::int64_t kCurrencyScale = 10000;
// 1 January 100 and 31 December 9999 as automation dates.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958465.0;

// ---------------------------------------------------------------------------------------
// A number taken from a source VARIANT, in the form the target's rules need.

// An exact integer with its sign (every integer type, and whole values reached by rounding).
struct Integer {
  bool negative = false;
  std::uint64_t magnitude = 0;
};

Integer FromSigned(std::int64_t value) {
  return {value < 0, value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value)};
}

// The integer source types, INT and UINT already mapped to I4 and UI4.
std::optional<Integer> IntegerOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1: return FromSigned(static_cast<signed char>(v.cVal));
    case VT_I2: return FromSigned(v.iVal);
    case VT_I4: return FromSigned(v.lVal);
    case VT_I8: return FromSigned(v.llVal);
    case VT_UI1: return Integer{false, v.bVal};
    case VT_UI2: return Integer{false, v.uiVal};
    case VT_UI4: return Integer{false, v.ulVal};
    case VT_UI8: return Integer{false, v.ullVal};
    default: return std::nullopt;
  }
}

// The floating-point source types; R4 is widened to R8 first, as VarXxxFromR4 do.
std::optional<double> DoubleOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_R4: return static_cast<double>(v.fltVal);
    case VT_R8: return v.dblVal;
    case VT_DATE: return v.date;
    default: return std::nullopt;
  }
}

// A DECIMAL is usable when its scale is at most 28 and its sign byte holds nothing but the
// sign; the platform answers E_INVALIDARG otherwise.
HRESULT CheckDecimal(const DECIMAL& value) {
  if (value.scale > kDecimalMaxScale || (value.sign & ~DECIMAL_NEG) != 0) return E_INVALIDARG;
  return S_OK;
}

double DecimalToDouble(const DECIMAL& value) {
  const auto magnitude = static_cast<long double>(DecimalMagnitude(value));
  const double result = static_cast<double>(magnitude / std::pow(10.0L, value.scale));
  return (value.sign & DECIMAL_NEG) != 0 ? -result : result;
}

// Half to even: the platform rounds every float that becomes an integer this way
// (0.5 and -0.5 give 0, 1.5 and 2.5 give 2).
long double RoundRealHalfEven(long double value) {
  const long double whole = std::trunc(value);
  const long double fraction = std::fabs(value - whole);
  if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) return whole + (value < 0 ? -1 : 1);
  return whole;
}

// ---------------------------------------------------------------------------------------
// Integer targets.

struct IntegerRange {
  VARTYPE vt;
  bool is_signed;
  unsigned bits;
  std::int64_t min;
  std::uint64_t max;
};

constexpr IntegerRange kIntegerRanges[] = {
    {VT_I1, true, 8, -128, 127},
    {VT_I2, true, 16, -32768, 32767},
    {VT_I4, true, 32, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {VT_I8, true, 64, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()},
    {VT_UI1, false, 8, 0, 0xFF},
    {VT_UI2, false, 16, 0, 0xFFFF},
    {VT_UI4, false, 32, 0, 0xFFFFFFFFu},
    {VT_UI8, false, 64, 0, std::numeric_limits<std::uint64_t>::max()},
};

const IntegerRange* RangeOf(VARTYPE vt) {
  for (const IntegerRange& range : kIntegerRanges) {
    if (range.vt == vt) return &range;
  }
  return nullptr;
}

bool Fits(const Integer& value, const IntegerRange& range) {
  if (value.negative) return value.magnitude <= 0 - static_cast<std::uint64_t>(range.min);
  return value.magnitude <= range.max;
}

// Writes the low `bits` of the two's complement of `value` into the VARIANT's union.
void StoreBits(VARIANT& out, const IntegerRange& range, const Integer& value) {
  const std::uint64_t bits = value.negative ? 0 - value.magnitude : value.magnitude;
  switch (range.bits) {
    case 8: out.bVal = static_cast<BYTE>(bits); break;
    case 16: out.uiVal = static_cast<USHORT>(bits); break;
    case 32: out.ulVal = static_cast<ULONG>(bits); break;
    default: out.ullVal = bits; break;
  }
}

HRESULT StoreInteger(VARIANT& out, const IntegerRange& range, const Integer& value) {
  if (!Fits(value, range)) return DISP_E_OVERFLOW;
  StoreBits(out, range, value);
  return S_OK;
}

// VarXxxFromR8: accepted from min - 0.5 up to (not including) max + 0.5, then half to
// even; VT_I8 only takes what fits 63 bits (-2^62 <= v < 2^62). NaN overflows.
HRESULT IntegerFromDouble(VARIANT& out, const IntegerRange& range, double value) {
  long double low = static_cast<long double>(range.min) - 0.5L;
  long double high = static_cast<long double>(range.max) + 0.5L;
  if (range.vt == VT_I8) {
    low = -0x1p62L;
    high = 0x1p62L;
  }
  if (range.vt == VT_UI8) high = 0x1p64L;
  const long double wide = value;
  if (std::isnan(value) || wide < low || wide >= high) return DISP_E_OVERFLOW;
  const long double rounded = RoundRealHalfEven(wide);
  return StoreInteger(out, range, {rounded < 0, static_cast<std::uint64_t>(std::fabs(rounded))});
}

HRESULT ToInteger(VARIANT& out, const IntegerRange& range, const VARIANT& in) {
  if (in.vt == VT_EMPTY) return StoreInteger(out, range, {});
  if (const std::optional<Integer> value = IntegerOf(in)) return StoreInteger(out, range, *value);
  if (const std::optional<double> value = DoubleOf(in)) return IntegerFromDouble(out, range, *value);
  switch (in.vt) {
    case VT_BOOL:
      // VarXxxFromBool copy the value: true is -1, which unsigned targets hold as all bits set.
      StoreBits(out, range, FromSigned(in.boolVal));
      return S_OK;
    case VT_CY: {
      // Whole units rounded half to even on the exact ten-thousandths.
      const Integer cy = FromSigned(in.cyVal.int64);
      const Wide whole = RoundHalfEven(cy.magnitude / kCurrencyScale, cy.magnitude % kCurrencyScale, kCurrencyScale);
      return StoreInteger(out, range, {cy.negative && whole != 0, static_cast<std::uint64_t>(whole)});
    }
    case VT_DECIMAL: {
      if (const HRESULT hr = CheckDecimal(in.decVal); FAILED(hr)) return hr;
      Wide divisor = 1;
      for (int i = 0; i < in.decVal.scale; ++i) divisor *= 10;
      const Wide magnitude = DecimalMagnitude(in.decVal);
      const Wide whole = RoundHalfEven(magnitude / divisor, magnitude % divisor, divisor);
      if (whole > std::numeric_limits<std::uint64_t>::max()) return DISP_E_OVERFLOW;
      return StoreInteger(out, range, {(in.decVal.sign & DECIMAL_NEG) != 0 && whole != 0, static_cast<std::uint64_t>(whole)});
    }
    case VT_BSTR: {
      const std::optional<TextNumber> number = ParseNumberText(in.bstrVal == nullptr ? u"" : std::u16string_view(in.bstrVal, SysStringLen(in.bstrVal)));
      if (!number) return DISP_E_TYPEMISMATCH;
      Wide magnitude = 0;
      if (!RoundTextNumber(*number, 0, std::numeric_limits<std::uint64_t>::max(), magnitude)) return DISP_E_OVERFLOW;
      Integer value{number->negative && magnitude != 0, static_cast<std::uint64_t>(magnitude)};
      // "&HFFFF" is -1 for a 16-bit signed target: a hexadecimal or octal number that fills
      // the target's width is its bit pattern.
      if (number->radix && range.is_signed && !Fits(value, range) &&
          (range.bits == 64 || value.magnitude < (std::uint64_t{1} << range.bits))) {
        StoreBits(out, range, value);
        return S_OK;
      }
      return StoreInteger(out, range, value);
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

// ---------------------------------------------------------------------------------------
// Floating-point, currency, date, boolean and DECIMAL targets.

std::u16string_view TextOf(const VARIANT& v) {
  return v.bstrVal == nullptr ? std::u16string_view() : std::u16string_view(v.bstrVal, SysStringLen(v.bstrVal));
}

// The value of any numeric source as a double (VarR8FromXxx); BSTR sources are parsed.
HRESULT ToDouble(const VARIANT& in, double& out) {
  if (in.vt == VT_EMPTY) {
    out = 0.0;
    return S_OK;
  }
  if (const std::optional<Integer> value = IntegerOf(in)) {
    out = static_cast<double>(value->magnitude);
    if (value->negative) out = -out;
    return S_OK;
  }
  if (const std::optional<double> value = DoubleOf(in)) {
    out = *value;
    return S_OK;
  }
  switch (in.vt) {
    case VT_BOOL:
      out = in.boolVal != 0 ? -1.0 : 0.0;
      return S_OK;
    case VT_CY:
      out = static_cast<double>(in.cyVal.int64) / static_cast<double>(kCurrencyScale);
      return S_OK;
    case VT_DECIMAL:
      if (const HRESULT hr = CheckDecimal(in.decVal); FAILED(hr)) return hr;
      out = DecimalToDouble(in.decVal);
      return S_OK;
    case VT_BSTR: {
      if (in.bstrVal == nullptr) return DISP_E_TYPEMISMATCH;
      const std::optional<TextNumber> number = ParseNumberText(TextOf(in));
      if (!number) return DISP_E_TYPEMISMATCH;
      const std::optional<double> value = TextNumberToDouble(*number);
      if (!value) return DISP_E_OVERFLOW;
      out = *value;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToFloat(const VARIANT& in, float& out) {
  double value = 0.0;
  if (const HRESULT hr = ToDouble(in, value); FAILED(hr)) return hr;
  // VarR4FromR8: a magnitude beyond the largest float overflows.
  if (std::fabs(value) > static_cast<double>(FLT_MAX)) return DISP_E_OVERFLOW;
  out = static_cast<float>(value);
  return S_OK;
}

constexpr Wide kCurrencyPositiveLimit = std::numeric_limits<std::int64_t>::max();
constexpr Wide kCurrencyNegativeLimit = Wide{1} << 63;

HRESULT StoreCurrency(bool negative, Wide magnitude, CY& out) {
  if (magnitude > (negative ? kCurrencyNegativeLimit : kCurrencyPositiveLimit)) return DISP_E_OVERFLOW;
  const auto bits = static_cast<std::uint64_t>(magnitude);
  out.int64 = static_cast<std::int64_t>(negative ? 0 - bits : bits);
  return S_OK;
}

// VarCyFromR8: v x 10000 in extended precision rounded half to even, as the x87 unit does
// it; beyond the 64-bit range (or NaN) DISP_E_OVERFLOW.
HRESULT CurrencyFromDouble(double value, CY& out) {
  if (std::isnan(value)) return DISP_E_OVERFLOW;
  const long double rounded = RoundRealHalfEven(static_cast<long double>(value) * 10000.0L);
  if (rounded >= 0x1p63L || rounded < -0x1p63L) return DISP_E_OVERFLOW;
  out.int64 = static_cast<std::int64_t>(rounded);
  return S_OK;
}

HRESULT ToCurrency(const VARIANT& in, CY& out) {
  if (in.vt == VT_EMPTY) {
    out.int64 = 0;
    return S_OK;
  }
  if (const std::optional<Integer> value = IntegerOf(in)) {
    // VarCyFromI8 and VarCyFromUI8 refuse |v| >= 922337203685477 (I8_MAX / 10000), one
    // unit short of the true limit.
    constexpr std::uint64_t kLimit = std::numeric_limits<std::int64_t>::max() / kCurrencyScale;
    if (value->magnitude >= kLimit) return DISP_E_OVERFLOW;
    return StoreCurrency(value->negative, Wide{value->magnitude} * kCurrencyScale, out);
  }
  if (const std::optional<double> value = DoubleOf(in)) return CurrencyFromDouble(*value, out);
  switch (in.vt) {
    case VT_BOOL:
      out.int64 = in.boolVal != 0 ? -kCurrencyScale : 0;
      return S_OK;
    case VT_DECIMAL: {
      if (const HRESULT hr = CheckDecimal(in.decVal); FAILED(hr)) return hr;
      Wide magnitude = DecimalMagnitude(in.decVal);
      int scale = in.decVal.scale;
      for (; scale < 4; ++scale) magnitude *= 10;
      Wide divisor = 1;
      for (; scale > 4; --scale) divisor *= 10;
      magnitude = RoundHalfEven(magnitude / divisor, magnitude % divisor, divisor);
      return StoreCurrency((in.decVal.sign & DECIMAL_NEG) != 0, magnitude, out);
    }
    case VT_BSTR: {
      if (in.bstrVal == nullptr) return DISP_E_TYPEMISMATCH;
      const std::optional<TextNumber> number = ParseNumberText(TextOf(in));
      if (!number) return DISP_E_TYPEMISMATCH;
      // Rounded on the decimal digits themselves, so "0.00015" is 0.0002 exactly as written.
      Wide magnitude = 0;
      if (!RoundTextNumber(*number, 4, kCurrencyNegativeLimit, magnitude)) return DISP_E_OVERFLOW;
      return StoreCurrency(number->negative, magnitude, out);
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToDate(const VARIANT& in, DATE& out) {
  if (in.vt == VT_BSTR) {
    if (in.bstrVal == nullptr) return DISP_E_TYPEMISMATCH;
    return DateFromText(TextOf(in), out);
  }
  if (in.vt == VT_BOOL) {
    out = in.boolVal != 0 ? -1.0 : 0.0;
    return S_OK;
  }
  double value = 0.0;
  if (const HRESULT hr = ToDouble(in, value); FAILED(hr)) return hr;
  // VarDateFromR8: a day part outside 1 January 100 to 31 December 9999 overflows; the
  // fraction of the last and first day is still accepted.
  if (std::isnan(value) || value <= kFirstDate - 1.0 || value >= kLastDate + 1.0) return DISP_E_OVERFLOW;
  if (IntegerOf(in) && (value < kFirstDate || value > kLastDate)) return DISP_E_OVERFLOW;
  out = value;
  return S_OK;
}

HRESULT ToBool(const VARIANT& in, VARIANT_BOOL& out) {
  if (in.vt == VT_BSTR) {
    if (in.bstrVal == nullptr) return DISP_E_TYPEMISMATCH;
    return BoolFromText(TextOf(in), out);
  }
  if (in.vt == VT_DECIMAL) {
    if (const HRESULT hr = CheckDecimal(in.decVal); FAILED(hr)) return hr;
    out = DecimalMagnitude(in.decVal) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  if (in.vt == VT_CY) {
    out = in.cyVal.int64 != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  if (const std::optional<Integer> value = IntegerOf(in)) {
    out = value->magnitude != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  if (const std::optional<double> value = DoubleOf(in)) {
    // Any nonzero value is true (VARIANT_TRUE, -1); -0.0 compares equal to zero.
    out = *value != 0.0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  if (in.vt == VT_EMPTY) {
    out = VARIANT_FALSE;
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

void StoreDecimal(bool negative, Wide magnitude, int scale, DECIMAL& out) {
  out.wReserved = 0;
  out.scale = static_cast<BYTE>(scale);
  out.sign = negative && magnitude != 0 ? DECIMAL_NEG : 0;
  out.Hi32 = static_cast<ULONG>(magnitude >> 64);
  out.Lo64 = static_cast<ULONGLONG>(magnitude);
}

// A TextNumber as a DECIMAL: as many fraction digits as fit (at most 28), rounded half to
// even beyond them; DISP_E_OVERFLOW when even the whole number needs more than 96 bits.
HRESULT DecimalFromTextNumber(const TextNumber& number, DECIMAL& out) {
  int scale = static_cast<int>(std::min<std::int64_t>(kDecimalMaxScale, std::max<std::int64_t>(0, -number.exponent)));
  for (; scale >= 0; --scale) {
    Wide magnitude = 0;
    if (RoundTextNumber(number, scale, kDecimalMaxMagnitude, magnitude)) {
      StoreDecimal(number.negative, magnitude, scale, out);
      return S_OK;
    }
  }
  return DISP_E_OVERFLOW;
}

HRESULT ToDecimal(const VARIANT& in, DECIMAL& out) {
  if (in.vt == VT_EMPTY) {
    StoreDecimal(false, 0, 0, out);
    return S_OK;
  }
  if (in.vt == VT_BOOL) {
    // The coercion gives 1 for true here, not -1 (VarDecFromBool itself gives -1).
    StoreDecimal(false, in.boolVal != 0 ? 1 : 0, 0, out);
    return S_OK;
  }
  if (const std::optional<Integer> value = IntegerOf(in)) {
    StoreDecimal(value->negative, value->magnitude, 0, out);
    return S_OK;
  }
  if (in.vt == VT_CY) {
    const Integer cy = FromSigned(in.cyVal.int64);
    StoreDecimal(cy.negative, cy.magnitude, 4, out);
    return S_OK;
  }
  if (const std::optional<double> value = DoubleOf(in)) {
    // Doubles carry 15 significant digits into a DECIMAL, as their text form does.
    if (!std::isfinite(*value)) return DISP_E_OVERFLOW;
    const std::u16string digits = DoubleText(*value, 15);
    const std::optional<TextNumber> number = ParseNumberText(digits);
    if (!number) return DISP_E_OVERFLOW;
    return DecimalFromTextNumber(*number, out);
  }
  if (in.vt == VT_BSTR) {
    if (in.bstrVal == nullptr) return DISP_E_TYPEMISMATCH;
    const std::optional<TextNumber> number = ParseNumberText(TextOf(in));
    if (!number) return DISP_E_TYPEMISMATCH;
    return DecimalFromTextNumber(*number, out);
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT ToText(const VARIANT& in, USHORT flags, BSTR& out) {
  std::u16string result;
  if (in.vt == VT_EMPTY) {
    // A non-null empty BSTR.
  } else if (const std::optional<Integer> value = IntegerOf(in)) {
    result = IntegerText(value->negative, value->magnitude);
  } else {
    switch (in.vt) {
      case VT_BOOL:
        // Without flags a boolean is the number -1 or 0; ALPHABOOL and LOCALBOOL give the
        // words, which are the English ones in this locale.
        if ((flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) != 0) {
          result = in.boolVal != 0 ? u"True" : u"False";
        } else {
          result = in.boolVal != 0 ? u"-1" : u"0";
        }
        break;
      case VT_R4:
        result = DoubleText(in.fltVal, 7);
        break;
      case VT_R8:
        result = DoubleText(in.dblVal, 15);
        break;
      case VT_CY: {
        const Integer cy = FromSigned(in.cyVal.int64);
        result = ScaledText(cy.negative, cy.magnitude, 4);
        break;
      }
      case VT_DECIMAL:
        if (const HRESULT hr = CheckDecimal(in.decVal); FAILED(hr)) return hr;
        result = ScaledText((in.decVal.sign & DECIMAL_NEG) != 0, DecimalMagnitude(in.decVal), in.decVal.scale);
        break;
      case VT_DATE:
        if (const HRESULT hr = DateText(in.date, result); FAILED(hr)) return hr;
        break;
      default:
        return DISP_E_TYPEMISMATCH;
    }
  }
  return AllocText(result, out);
}

}  // namespace

HRESULT CoerceValue(VARIANT& out, USHORT flags, const VARIANT& in, VARTYPE vt) {
  if (const IntegerRange* range = RangeOf(vt)) return ToInteger(out, *range, in);
  switch (vt) {
    case VT_R4: return ToFloat(in, out.fltVal);
    case VT_R8: return ToDouble(in, out.dblVal);
    case VT_CY: return ToCurrency(in, out.cyVal);
    case VT_DATE: return ToDate(in, out.date);
    case VT_BOOL: return ToBool(in, out.boolVal);
    case VT_BSTR: return ToText(in, flags, out.bstrVal);
    case VT_DECIMAL: {
      DECIMAL value;
      if (const HRESULT hr = ToDecimal(in, value); FAILED(hr)) return hr;
      out.decVal = value;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace ordexa::variant_detail
