// Building VARIANTs and describing conversion results for the VARIANT tests.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa::test {

// A source value by type; Make() turns it into a VARIANT (allocating a BSTR for text).
struct Source {
  VARTYPE vt = VT_EMPTY;
  std::int64_t integer = 0;
  double real = 0.0;
  std::u16string_view text = {};
  bool null_text = false;
};

inline Source I1(int v) { return {VT_I1, v}; }
inline Source I2(int v) { return {VT_I2, v}; }
inline Source I4(std::int64_t v) { return {VT_I4, v}; }
inline Source I8(std::int64_t v) { return {VT_I8, v}; }
inline Source UI1(int v) { return {VT_UI1, v}; }
inline Source UI2(int v) { return {VT_UI2, v}; }
inline Source UI4(std::int64_t v) { return {VT_UI4, v}; }
inline Source UI8(std::int64_t v) { return {VT_UI8, v}; }
inline Source Int(std::int64_t v) { return {VT_INT, v}; }
inline Source R4(double v) { return {VT_R4, 0, v}; }
inline Source R8(double v) { return {VT_R8, 0, v}; }
inline Source Date(double v) { return {VT_DATE, 0, v}; }
inline Source Cy(std::int64_t ten_thousandths) { return {VT_CY, ten_thousandths}; }
inline Source Bool(int v) { return {VT_BOOL, v}; }
inline Source Error(std::int64_t v) { return {VT_ERROR, v}; }
inline Source Str(std::u16string_view v) { return {VT_BSTR, 0, 0.0, v}; }
inline Source NullStr() { return {VT_BSTR, 0, 0.0, {}, true}; }
inline Source Empty() { return {VT_EMPTY}; }
inline Source Null() { return {VT_NULL}; }
// A DECIMAL of `magnitude` / 10^scale.
inline Source Dec(std::int64_t magnitude, int scale, bool negative = false) {
  return {VT_DECIMAL, magnitude, static_cast<double>(scale), {}, negative};
}

inline VARIANT Make(const Source& s) {
  VARIANT v;
  VariantInit(&v);
  switch (s.vt) {
    case VT_I1: v.cVal = static_cast<CHAR>(s.integer); break;
    case VT_I2: v.iVal = static_cast<SHORT>(s.integer); break;
    case VT_I4:
    case VT_INT: v.lVal = static_cast<LONG>(s.integer); break;
    case VT_UI1: v.bVal = static_cast<BYTE>(s.integer); break;
    case VT_UI2: v.uiVal = static_cast<USHORT>(s.integer); break;
    case VT_UI4:
    case VT_UINT: v.ulVal = static_cast<ULONG>(s.integer); break;
    case VT_I8:
    case VT_UI8: v.llVal = s.integer; break;
    case VT_R4: v.fltVal = static_cast<float>(s.real); break;
    case VT_R8: v.dblVal = s.real; break;
    case VT_DATE: v.date = s.real; break;
    case VT_CY: v.cyVal.int64 = s.integer; break;
    case VT_BOOL: v.boolVal = static_cast<VARIANT_BOOL>(s.integer); break;
    case VT_ERROR: v.scode = static_cast<SCODE>(s.integer); break;
    case VT_BSTR:
      v.bstrVal = s.null_text ? nullptr : SysAllocStringLen(s.text.data(), static_cast<UINT>(s.text.size()));
      break;
    case VT_DECIMAL:
      v.decVal.Lo64 = static_cast<ULONGLONG>(s.integer);
      v.decVal.scale = static_cast<BYTE>(s.real);
      v.decVal.sign = s.null_text ? DECIMAL_NEG : 0;
      break;
    default: break;
  }
  v.vt = s.vt;
  return v;
}

inline std::string HresultName(HRESULT hr) {
  switch (hr) {
    case S_OK: return "S_OK";
    case DISP_E_TYPEMISMATCH: return "DISP_E_TYPEMISMATCH";
    case DISP_E_OVERFLOW: return "DISP_E_OVERFLOW";
    case DISP_E_BADVARTYPE: return "DISP_E_BADVARTYPE";
    case E_INVALIDARG: return "E_INVALIDARG";
    case E_NOINTERFACE: return "E_NOINTERFACE";
    default: return "HRESULT " + std::to_string(hr);
  }
}

inline std::string Narrow(std::u16string_view text) {
  std::string result;
  for (char16_t c : text) result.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return result;
}

template <class Real>
std::string Shortest(Real value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// "I4 -2", "CY 15000" (ten-thousandths), "BSTR 1.5", "DEC -15/10^1", "EMPTY" ...
inline std::string Describe(const VARIANT& v) {
  const std::string base = [&]() -> std::string {
    switch (v.vt & VT_TYPEMASK) {
      case VT_EMPTY: return "EMPTY";
      case VT_NULL: return "NULL";
      case VT_I1: return "I1 " + std::to_string(static_cast<signed char>(v.cVal));
      case VT_I2: return "I2 " + std::to_string(v.iVal);
      case VT_I4: return "I4 " + std::to_string(v.lVal);
      case VT_INT: return "INT " + std::to_string(v.intVal);
      case VT_I8: return "I8 " + std::to_string(v.llVal);
      case VT_UI1: return "UI1 " + std::to_string(v.bVal);
      case VT_UI2: return "UI2 " + std::to_string(v.uiVal);
      case VT_UI4: return "UI4 " + std::to_string(v.ulVal);
      case VT_UINT: return "UINT " + std::to_string(v.uintVal);
      case VT_UI8: return "UI8 " + std::to_string(v.ullVal);
      case VT_R4: return "R4 " + Shortest(v.fltVal);
      case VT_R8: return "R8 " + Shortest(v.dblVal);
      case VT_DATE: return "DATE " + Shortest(v.date);
      case VT_CY: return "CY " + std::to_string(v.cyVal.int64);
      case VT_BOOL: return "BOOL " + std::to_string(v.boolVal);
      case VT_BSTR:
        return v.bstrVal == nullptr ? "BSTR (null)" : "BSTR " + Narrow({v.bstrVal, SysStringLen(v.bstrVal)});
      case VT_DECIMAL:
        return std::string("DEC ") + ((v.decVal.sign & DECIMAL_NEG) ? "-" : "") + std::to_string(v.decVal.Lo64) +
               (v.decVal.Hi32 ? "+hi" + std::to_string(v.decVal.Hi32) : "") + "/10^" + std::to_string(v.decVal.scale);
      default: return "vt " + std::to_string(v.vt);
    }
  }();
  return base;
}

// Converts `source` to `type` with VariantChangeType and describes the result or failure.
inline std::string Convert(const Source& source, VARTYPE type, USHORT flags = 0) {
  VARIANT from = Make(source);
  VARIANT to;
  VariantInit(&to);
  const HRESULT hr = VariantChangeType(&to, &from, flags, type);
  const std::string result = hr == S_OK ? Describe(to) : HresultName(hr);
  VariantClear(&to);
  VariantClear(&from);
  return result;
}

}  // namespace ordexa::test
