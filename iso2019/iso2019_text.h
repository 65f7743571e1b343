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

// Iso2019Text: one text of a transaction as the document carries it. Mostly a view of the
// batch's own text, which the flavour takes as it stands: trimming and cutting narrow the
// view and copy nothing. Formed in the text's own room only where characters are replaced,
// or where the text it comes from does not outlive it. A copy views its own room.
// Example: t.Set("  Seeweg 12  ", true) views "Seeweg 12" in the given text; t.Cut(6)
// leaves "Seeweg".
class Iso2019Text {
 public:
  Iso2019Text() = default;
  Iso2019Text(const Iso2019Text& other) { *this = other; }
  Iso2019Text& operator=(const Iso2019Text& other);

  std::string_view view() const { return view_; }
  operator std::string_view() const { return view_; }
  bool empty() const { return view_.empty(); }
  std::size_t size() const { return view_.size(); }
  // formed(): whether the text lies in its own room, not in the text it came from.
  bool formed() const { return formed_; }

  void clear() {
    view_ = {};
    formed_ = false;
  }
  // Set(): DocumentText of `text`, a view of `text` unless characters are replaced; the
  // text given must then outlive this one (a batch's text, while it is written).
  void Set(std::string_view text, bool swiss) {
    if (text.empty()) {  // most optional texts are not given
      clear();
      return;
    }
    SetGiven(text, swiss);
  }
  // Refer(): a document text that outlives this one, viewed as it is.
  void Refer(std::string_view document_text) {
    view_ = document_text;
    formed_ = false;
  }
  // Assign(): a document text copied into the room.
  void Assign(std::string_view document_text);
  // Cut(): CutText for the view; returns whether anything was cut.
  bool Cut(std::size_t length) { return view_.size() > length && CutLonger(length); }

 private:
  void SetGiven(std::string_view text, bool swiss);
  bool CutLonger(std::size_t length);

  std::string room_;
  std::string_view view_;
  bool formed_ = false;
};

// IsEmptyDocumentText(): whether DocumentText would give the empty text (blanks, control
// characters and, Swiss flavour, soft hyphens only), without forming it.
bool IsEmptyDocumentText(std::string_view text, bool swiss);


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
void UpperGivenAsciiInto(std::string& out, std::string_view text);
inline void UpperAsciiInto(std::string& out, std::string_view text) {
  if (text.empty()) {  // most optional codes are not given: no call
    out.clear();
    return;
  }
  UpperGivenAsciiInto(out, text);
}

}  // namespace ordexa
