// Texts of the 2019 ISO document: the character sets of its two flavours, the
// identifier set, and cutting a text to its element's length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ordexa {

// AppendDocumentText()
// Appends a 1252 text as the document carries it. Both flavours: control characters
// (below 0x20, 0x7F and the five unassigned bytes) become blanks. Swiss flavour: the 1252
// characters outside Basic Latin, Latin-1 Supplement and Latin Extended-A (and the euro
// sign) become their nearest ("„" '"', "…" "...", "™" "TM", ...), the soft hyphen is
// dropped. Never fails but for memory.
// Example: AppendDocumentText(out, "Caf\xE9 \x84" "Z\x93 \x85", true) appends "Caf\xE9 \"Z\" ...".
void AppendDocumentText(std::string& out, std::string_view text, bool swiss);

// DocumentText(): AppendDocumentText into a new text, blanks trimmed at both ends, so a
// text of blanks only is the empty text.
std::string DocumentText(std::string_view text, bool swiss);
// AssignDocumentText(): the same into `out`, whose room is reused.
void AssignDocumentText(std::string& out, std::string_view text, bool swiss);

// IsEmptyDocumentText(): whether DocumentText would give the empty text (blanks, control
// characters and, Swiss flavour, soft hyphens only), without forming it.
bool IsEmptyDocumentText(std::string_view text, bool swiss);

// AsDocumentText(): the text as DocumentText gives it, without a copy when the flavour
// takes it as it stands (the view is then into `text`), else formed in `scratch`.
std::string_view AsDocumentText(std::string_view text, bool swiss, std::string& scratch);

// TrimBlanks(): `text` without blanks at either end.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// CutText()
// Cuts `text` to at most `length` characters (1252: one byte each) and trims the blanks
// it leaves at its end. Returns whether anything was cut.
// Example: CutText(t = "Bahnhofstrasse 1", 9) leaves "Bahnhofst" and returns true.
bool CutText(std::string& text, std::size_t length);

// IsIdentifierCharacter(): the characters banks take in the four identifiers
// (A-Z a-z 0-9, blank and ' ( ) + , - . / : ?).
bool IsIdentifierCharacter(char c);

// IsIdentifier(): 1 to 35 identifier characters, not starting with a blank or "/", not
// ending with a blank or "/", without "//".
bool IsIdentifier(std::string_view text);

// IsCode(): whether `text` is exactly the code `code` ("CHF", "CH"), compared byte by
// byte in place: codes are compared several times per payment, and a library call for
// three bytes costs more than the comparison.
// Example: IsCode("EUR", "EUR") is true; IsCode("EURO", "EUR") is false.
template <std::size_t N>
constexpr bool IsCode(std::string_view text, const char (&code)[N]) {
  if (text.size() != N - 1) return false;
  for (std::size_t i = 0; i + 1 < N; ++i) {
    if (text[i] != code[i]) return false;
  }
  return true;
}

// UpperAscii(): the text with a-z upper-cased and every blank removed (accounts,
// references, BICs, country and currency codes as a person types them).
// Example: UpperAscii("ch93 0076 2011") == "CH9300762011".
std::string UpperAscii(std::string_view text);
// UpperAsciiInto(): the same into `out`, whose room is reused.
void UpperAsciiInto(std::string& out, std::string_view text);

}  // namespace ordexa
