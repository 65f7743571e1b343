// The code page 1252 conversions on any bytes and any UTF-16 units (lone surrogates and
// NUL included): bytes go to UTF-16 and back unchanged, their UTF-8 form decodes to the
// same characters, and UTF-16 gives exactly one byte per code point, the byte itself
// wherever the code page has the character.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "model/text_conversion.h"
#include "oleauto.h"
#include "platform/cp1252.h"

namespace {

// The byte whose character `unit` is exactly, or -1.
int ExactByte(char16_t unit) {
  static const std::vector<int> kBytes = [] {
    std::vector<int> bytes(0x10000, -1);
    for (int byte = 0; byte < 256; ++byte) bytes[ordexa::Cp1252ToUnicode(static_cast<unsigned char>(byte))] = byte;
    return bytes;
  }();
  return kBytes[unit];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  static const std::u16string kExactUnits = [] {
    std::u16string units;
    for (int byte = 0; byte < 256; ++byte) units += Cp1252ToUnicode(static_cast<unsigned char>(byte));
    return units;
  }();

  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = Cp1252ToWide(bytes);
  FUZZ_CHECK(wide.size() == bytes.size(), "one unit per byte");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    FUZZ_CHECK(wide[i] == kExactUnits[static_cast<unsigned char>(bytes[i])], "unit of a byte");
  }
  FUZZ_CHECK(WideToCp1252(wide) == bytes, "round trip");

  std::string utf8 = "prefix";
  AppendCp1252AsUtf8(utf8, bytes);
  FUZZ_CHECK(utf8.starts_with("prefix"), utf8);
  FUZZ_CHECK(Cp1252ToUtf8(bytes) == utf8.substr(6), utf8);
  std::u32string code_points;
  FUZZ_CHECK(fuzz::Utf8CodePoints(std::string_view(utf8).substr(6), code_points), utf8);
  FUZZ_CHECK(code_points.size() == wide.size(), utf8);
  for (std::size_t i = 0; i < wide.size(); ++i) FUZZ_CHECK(code_points[i] == wide[i], utf8);

  std::string upper = bytes;
  Cp1252ToUpperInPlace(upper);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    FUZZ_CHECK(Cp1252ToUpper(upper[i]) == upper[i], "upper case is upper case");
    FUZZ_CHECK(upper[i] == Cp1252ToUpper(bytes[i]), "upper case by character");
  }

  // The same bytes read as UTF-16 units.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  const std::string narrow = WideToCp1252(units);
  std::size_t position = 0;
  for (std::size_t i = 0; i < units.size(); ++i, ++position) {
    FUZZ_CHECK(position < narrow.size(), "one byte per code point");
    const char16_t unit = units[i];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                      units[i + 1] <= 0xDFFF;
    if (pair) {
      ++i;
      continue;
    }
    const int exact = ExactByte(unit);
    if (exact >= 0) FUZZ_CHECK(static_cast<unsigned char>(narrow[position]) == exact, "exact mapping");
    if (unit >= 0xD800 && unit <= 0xDFFF) FUZZ_CHECK(narrow[position] == '?', "a lone surrogate is one '?'");
  }
  FUZZ_CHECK(position == narrow.size(), "one byte per code point");

  // The caller's text ends at its first NUL on the way in.
  BSTR caller = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
  const std::string cut = ToAnsiText(caller);
  FUZZ_CHECK(cut == WideToCp1252(std::u16string_view(units).substr(0, units.find(u'\0'))), "cut at NUL");
  BSTR back = ToCallerText(cut);
  FUZZ_CHECK(back != nullptr && SysStringLen(back) == cut.size(), "caller text");
  FUZZ_CHECK(ToAnsiText(back) == cut, "caller text round trip");
  SysFreeString(back);
  SysFreeString(caller);
  return 0;
}
