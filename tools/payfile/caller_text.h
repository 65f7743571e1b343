// Texts of the command line and of the batch file (UTF-8) as an automation client hands
// them to the component: UTF-16 in a BSTR, which the component turns into 1252 text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa::payfile {

// Utf8ToUtf16()
// Decodes UTF-8 into UTF-16 (characters above U+FFFF as surrogate pairs). Bytes that do
// not form a valid sequence (stray continuation bytes, overlong forms, encoded surrogates,
// code points above U+10FFFF) become U+FFFD, one per byte; U+0000 is kept.
// Example: Utf8ToUtf16("Z\xC3\xBCrich") == u"Z\u00FCrich".
std::u16string Utf8ToUtf16(std::string_view utf8);

// FirstInvalidUtf8()
// The offset of the first byte that does not begin a valid UTF-8 sequence (by the rules
// of Utf8ToUtf16), nothing when the whole text is valid UTF-8.
// Example: FirstInvalidUtf8("M\xFCller") == 1.
std::optional<std::size_t> FirstInvalidUtf8(std::string_view utf8);

// CallerText: a BSTR holding a UTF-8 text as UTF-16, embedded NULs included, freed with
// the object. Throws std::bad_alloc when the string cannot be allocated.
class CallerText {
 public:
  explicit CallerText(std::string_view utf8);
  ~CallerText();
  CallerText(const CallerText&) = delete;
  CallerText& operator=(const CallerText&) = delete;

  BSTR get() const { return text_; }

 private:
  BSTR text_;
};

// AnsiTextFromUtf8()
// The 1252 text the component makes of a UTF-8 text handed to it as a caller's string:
// best fit or '?' for characters outside the code page, cut at the first U+0000.
// Example: AnsiTextFromUtf8("\xC5\x81\xC3\xB3" "d\xC5\xBA") == "L\xF3" "dz".
std::string AnsiTextFromUtf8(std::string_view utf8);

// AnsiTextFromUtf8Into()
// AnsiTextFromUtf8 into `out` (replacing its content, reusing its room). Texts of ASCII
// and Latin-1 letters only (U+0001..U+007F, U+00A0..U+00FF), the usual payroll text,
// go straight to their 1252 bytes, which are their code points; any other text takes
// the way through UTF-16 and the component's conversion.
// Example: AnsiTextFromUtf8Into("Z\xC3\xBCrich", out) leaves "Z\xFCrich" in out.
void AnsiTextFromUtf8Into(std::string_view utf8, std::string& out);

}  // namespace ordexa::payfile
