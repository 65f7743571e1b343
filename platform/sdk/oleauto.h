// Automation value types (BSTR, VARIANT_BOOL, CY, DATE) and the BSTR and date functions
// of the automation platform, with their Windows names.
#pragma once

#include <cstdint>

#include "winerror.h"

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using VARIANT_BOOL = std::int16_t;
using DATE = double;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using USHORT = std::uint16_t;
using VARTYPE = std::uint16_t;
using BOOL = std::int32_t;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Currency: a signed 64-bit count of ten-thousandths (1.5 is 15000).
struct CY {
  std::int64_t int64 = 0;
};

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};

struct UDATE {
  SYSTEMTIME st;
  USHORT wDayOfYear = 0;
};

extern "C++" {
// SysAllocString(): a new BSTR holding text up to its NUL; null for a null text.
BSTR SysAllocString(const OLECHAR* text);
// SysAllocStringLen(): a new BSTR of exactly `length` units (embedded NULs kept), NUL
// appended; a null text gives `length` zero units. Null when too long or out of memory.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// SysStringLen(): the allocated length in UTF-16 units; 0 for a null BSTR.
UINT SysStringLen(BSTR text);
// SysFreeString(): frees a BSTR; a null BSTR is ignored.
void SysFreeString(BSTR text);

// VarUdateFromDate(): automation date to calendar fields, day of week and day of year.
// Fails with E_INVALIDARG outside 1 Jan 100 to 31 Dec 9999 (after rounding to the second).
HRESULT VarUdateFromDate(DATE date, ULONG flags, UDATE* result);
// VariantTimeToSystemTime(): as VarUdateFromDate without the day of year; TRUE or FALSE.
BOOL VariantTimeToSystemTime(DATE date, SYSTEMTIME* result);
// SystemTimeToVariantTime(): calendar fields to an automation date (two-digit years and
// day overflow rolled as the platform does); TRUE or FALSE.
BOOL SystemTimeToVariantTime(SYSTEMTIME* time, DATE* result);
}
