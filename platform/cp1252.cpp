// Code page 1252 on Linux: UTF-16 to bytes with the Windows best-fit table, bytes to UTF-16
// and UTF-8 by table.
#include "platform/cp1252.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ordexa {
namespace {

struct WideToByte {
  char16_t unit;
  unsigned char byte;
};

#include "platform/cp1252_bestfit_table.inc"

constexpr char kDefaultChar = '?';

constexpr std::array<char16_t, 256> MakeByteToWide() {
  std::array<char16_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[byte] = static_cast<char16_t>(byte);
  for (int byte = 0x80; byte < 0xA0; ++byte) table[byte] = kCharactersOf80To9F[byte - 0x80];
  return table;
}

constexpr std::array<char16_t, 256> kByteToWide = MakeByteToWide();

// Below U+0100 only the five unassigned bytes' C1 controls map back; the other C1 controls
// have no byte (their byte stands for another character) and become the default char.
constexpr bool IsOwnByteBelow100(char16_t unit) {
  return unit < 0x80 || unit >= 0xA0 || kByteToWide[unit] == unit;
}

constexpr bool TableIsSorted() {
  for (std::size_t i = 1; i < std::size(kWideToCp1252); ++i) {
    if (kWideToCp1252[i - 1].unit >= kWideToCp1252[i].unit) return false;
  }
  return true;
}
static_assert(TableIsSorted(), "the best-fit table must be sorted for binary search");

char WideUnitToByte(char16_t unit) {
  if (unit < 0x100) return IsOwnByteBelow100(unit) ? static_cast<char>(unit) : kDefaultChar;
  const auto* end = std::end(kWideToCp1252);
  const auto* entry = std::lower_bound(std::begin(kWideToCp1252), end, unit,
                                       [](const WideToByte& e, char16_t u) { return e.unit < u; });
  if (entry != end && entry->unit == unit) return static_cast<char>(entry->byte);
  return kDefaultChar;
}

struct Utf8Sequence {
  char bytes[3];
  std::uint8_t length;
};

constexpr std::array<Utf8Sequence, 256> MakeByteToUtf8() {
  std::array<Utf8Sequence, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    const char16_t unit = kByteToWide[byte];
    Utf8Sequence& sequence = table[byte];
    if (unit < 0x80) {
      sequence = {{static_cast<char>(unit), 0, 0}, 1};
    } else if (unit < 0x800) {
      sequence = {{static_cast<char>(0xC0 | (unit >> 6)), static_cast<char>(0x80 | (unit & 0x3F)), 0},
                  2};
    } else {
      sequence = {{static_cast<char>(0xE0 | (unit >> 12)),
                   static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (unit & 0x3F))},
                  3};
    }
  }
  return table;
}

constexpr std::array<Utf8Sequence, 256> kByteToUtf8 = MakeByteToUtf8();

constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

// The four-unit step takes the low byte of each unit in memory order.
static_assert(std::endian::native == std::endian::little);

std::size_t WideToCp1252Into(WideStringView text, char* out) {
  char* const start = out;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
#if defined(__SSE2__)
    // Eight units of ASCII or Latin-1 letters at a time: each below U+0100 and none a C1
    // control (U+0080-U+009F, whose bytes stand for other characters; the five that do
    // map back take the unit-by-unit way), so their low bytes are the bytes.
    while (i + 8 <= size) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
      const __m128i below_100 = _mm_cmpeq_epi16(
          _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF00))), _mm_setzero_si128());
      const __m128i c1 = _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFFE0))),
                                         _mm_set1_epi16(0x0080));
      if (_mm_movemask_epi8(_mm_andnot_si128(c1, below_100)) != 0xFFFF) break;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
      out += 8;
      i += 8;
    }
#endif
    // Four units below U+0080 at a time: their low bytes are the bytes.
    while (i + 4 <= size) {
      std::uint64_t units;
      std::memcpy(&units, text.data() + i, sizeof units);
      if ((units & 0xFF80FF80FF80FF80ull) != 0) break;
      const auto bytes = static_cast<std::uint32_t>((units & 0xFF) | ((units >> 8) & 0xFF00) |
                                                    ((units >> 16) & 0xFF0000) | ((units >> 24) & 0xFF000000));
      std::memcpy(out, &bytes, sizeof bytes);
      out += sizeof bytes;
      i += 4;
    }
    if (i == size) break;
    const char16_t unit = text[i];
    // Most caller text is ASCII, which maps to itself.
    if (unit < 0x80) {
      *out++ = static_cast<char>(unit);
      continue;
    }
    // A character outside the basic plane has no byte; its two units make one default char.
    if (IsHighSurrogate(unit) && i + 1 < size && IsLowSurrogate(text[i + 1])) ++i;
    *out++ = WideUnitToByte(unit);
  }
  return static_cast<std::size_t>(out - start);
}

std::string WideToCp1252(WideStringView text) {
  std::string bytes(text.size(), '\0');
  bytes.resize(WideToCp1252Into(text, bytes.data()));
  return bytes;
}

std::size_t Cp1252ToWideInto(std::string_view text, OLECHAR* out) {
  for (const char c : text) *out++ = kByteToWide[static_cast<unsigned char>(c)];
  return text.size();
}

WideString Cp1252ToWide(std::string_view text) {
  WideString wide(text.size(), u'\0');
  Cp1252ToWideInto(text, wide.data());
  return wide;
}

OLECHAR Cp1252ToUnicode(unsigned char byte) { return kByteToWide[byte]; }

void AppendCp1252AsUtf8(std::string& out, std::string_view text) {
  // ASCII runs are the same in UTF-8 and are copied whole; only bytes from 0x80 up are
  // looked up.
  std::size_t run_start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) continue;
    out.append(text.data() + run_start, i - run_start);
    const Utf8Sequence& sequence = kByteToUtf8[byte];
    out.append(sequence.bytes, sequence.length);
    run_start = i + 1;
  }
  out.append(text.data() + run_start, text.size() - run_start);
}

char* AppendCp1252ByteAsUtf8(char* out, unsigned char byte) {
  const Utf8Sequence& sequence = kByteToUtf8[byte];
  for (std::uint8_t i = 0; i < sequence.length; ++i) *out++ = sequence.bytes[i];
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string utf8;
  AppendCp1252AsUtf8(utf8, text);
  return utf8;
}

}  // namespace ordexa
