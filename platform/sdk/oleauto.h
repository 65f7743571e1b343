// The automation platform's functions (BSTR, dates, VARIANT handling and conversion) and
// the calendar structures they use, with their Windows names and signatures.
#pragma once

#include "oaidl.h"

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

// Flags of VariantChangeType(Ex).
inline constexpr USHORT VARIANT_NOVALUEPROP = 0x01;
inline constexpr USHORT VARIANT_ALPHABOOL = 0x02;
inline constexpr USHORT VARIANT_NOUSEROVERRIDE = 0x04;
inline constexpr USHORT VARIANT_CALENDAR_HIJRI = 0x08;
inline constexpr USHORT VARIANT_LOCALBOOL = 0x10;
inline constexpr USHORT VARIANT_CALENDAR_THAI = 0x20;
inline constexpr USHORT VARIANT_CALENDAR_GREGORIAN = 0x40;
inline constexpr USHORT VARIANT_USE_NLS = 0x80;

extern "C++" {
// VariantInit(): marks a VARIANT empty (VT_EMPTY) without looking at what it held.
void VariantInit(VARIANTARG* variant);
// VariantClear(): releases what a VARIANT owns (frees a BSTR, releases an interface) and
// leaves it VT_EMPTY; a by-reference value is not touched. DISP_E_BADVARTYPE for a type
// it does not know (the VARIANT is then left as it was).
HRESULT VariantClear(VARIANTARG* variant);
// VariantCopy(): clears `destination`, then copies `source` into it, a BSTR as a new
// BSTR, an interface with AddRef; a by-reference value copies the pointer.
HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source);
// VariantCopyInd(): as VariantCopy, but a by-reference value is copied as the value it
// points to (one level).
HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source);
// VariantChangeType(): VariantChangeTypeEx in the user's default locale.
HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, USHORT flags, VARTYPE type);
// VariantChangeTypeEx(): converts `source` to `type` into `destination` (which may be
// `source` itself); on failure `destination` is left as it was.
HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID lcid, USHORT flags,
                            VARTYPE type);
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
BOOL SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* result);
}
