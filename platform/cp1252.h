// Code page 1252 (the thread's ANSI code page): conversions from and to UTF-16 and to
// UTF-8, and the code page's upper-casing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa {

// UTF-16 text in the platform's own unit type (OLECHAR: wchar_t on Windows).
using WideStringView = std::basic_string_view<OLECHAR>;
using WideString = std::basic_string<OLECHAR>;

// WideToCp1252()
// WideCharToMultiByte(1252, 0, ...) without flags: the exact mapping, else the best-fit
// mapping of the Windows table (U+0141 'Ł' -> 'L', U+2212 -> '-'), else '?'. Unlike
// Windows, one '?' per code point: a valid surrogate pair is one '?', a lone surrogate
// also one '?'. U+0000 is converted like any other unit (callers cut at NUL first).
// Example: WideToCp1252(u"Łódź") == "L\xF3" "dz".
std::string WideToCp1252(WideStringView text);

// WideToCp1252Into(): WideToCp1252 into `out`, which has room for text.size() bytes (the
// most a single-byte code page gives); returns the number of bytes written, or
// kTextDoesNotFit when the thread's code page needs more (only a multi-byte ANSI code page
// on Windows does). Allocates nothing.
inline constexpr std::size_t kTextDoesNotFit = static_cast<std::size_t>(-1);
std::size_t WideToCp1252Into(WideStringView text, char* out);

// Cp1252ToWide()
// MultiByteToWideChar(1252, 0, ...): every byte maps to one UTF-16 unit; the five
// unassigned bytes 0x81 0x8D 0x8F 0x90 0x9D map to U+0081 ... U+009D.
// Example: Cp1252ToWide("\x80") == u"\u20AC".
WideString Cp1252ToWide(std::string_view text);

// Cp1252ToWideInto(): Cp1252ToWide into `out`, which has room for text.size() units (no
// code page gives more units than bytes); returns the number of units written.
std::size_t Cp1252ToWideInto(std::string_view text, OLECHAR* out);

// Cp1252ToUnicode(): the code point of one byte (as Cp1252ToWide).
OLECHAR Cp1252ToUnicode(unsigned char byte);

// AppendCp1252AsUtf8()
// Appends the UTF-8 form of a 1252 text to `out` (by table, no allocation per character).
// Example: "Stra\xDF" "e" becomes "Stra\xC3\x9F" "e".
void AppendCp1252AsUtf8(std::string& out, std::string_view text);

// AppendCp1252ByteAsUtf8(): writes the UTF-8 form of one byte (one to three bytes) at
// `out` and returns the position behind it.
char* AppendCp1252ByteAsUtf8(char* out, unsigned char byte);

// Cp1252ToUtf8(): the UTF-8 form of a 1252 text as a new string.
std::string Cp1252ToUtf8(std::string_view text);

// Cp1252ToUpper()
// The runtime's upper-casing in code page 1252: a-z, the accented letters 0xE0-0xFE
// except 0xF7, and 0x9A, 0x9C, 0x9E, 0xFF become capitals; 0xB5 and 0xDF stay.
char Cp1252ToUpper(char c);

// Cp1252ToUpperInPlace(): Cp1252ToUpper over a whole text.
void Cp1252ToUpperInPlace(std::string& text);

}  // namespace ordexa
