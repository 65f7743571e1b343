// The base automation types (BSTR, VARIANT_BOOL, CY, DATE, DECIMAL, VARTYPE) and the
// integer names of the Windows SDK, with their Windows widths (LONG is 32-bit there).
#pragma once

#include <cstdint>

#include "winerror.h"

using BYTE = std::uint8_t;
using CHAR = char;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using INT = std::int32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using FLOAT = float;
using DOUBLE = double;
using BOOL = std::int32_t;
using PVOID = void*;

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using VARIANT_BOOL = std::int16_t;
using DATE = double;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using VARTYPE = std::uint16_t;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Locales: the user's and the system's default, and the invariant one.
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_INVARIANT = 0x007F;

// Currency: a signed 64-bit count of ten-thousandths (1.5 is 15000). Trivial as on Windows
// (no initializer), so it can live in a VARIANT: write `CY amount{}` for a zero amount.
// int64 comes first so that `CY{-15000}` sets it.
union CY {
  LONGLONG int64;
  struct {
    ULONG Lo;
    LONG Hi;
  };
};
static_assert(sizeof(CY) == 8);

// DECIMAL: a 96-bit unsigned integer (Hi32:Mid32:Lo32) divided by 10^scale (0..28),
// negative when sign is DECIMAL_NEG. wReserved overlays a VARIANT's vt.
struct DECIMAL {
  USHORT wReserved;
  union {
    struct {
      BYTE scale;
      BYTE sign;
    };
    USHORT signscale;
  };
  ULONG Hi32;
  union {
    struct {
      ULONG Lo32;
      ULONG Mid32;
    };
    ULONGLONG Lo64;
  };
};
static_assert(sizeof(DECIMAL) == 16);

inline constexpr BYTE DECIMAL_NEG = 0x80;
