// The character sets and identifiers of the 2019 ISO document.
#include "iso2019/iso2019_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace ordexa {

namespace {

// What each 1252 byte becomes in the Swiss flavour: the byte itself (empty entry), a
// replacement, or nothing (the soft hyphen, a format character the Swiss schema refuses).
struct SwissForm {
  std::string_view text;
  bool keep = true;
  bool drop = false;
};

constexpr std::array<SwissForm, 256> MakeSwissForms() {
  std::array<SwissForm, 256> forms{};
  const auto replace = [&forms](unsigned char byte, std::string_view text) { forms[byte] = {text, false, false}; };
  for (int byte = 0; byte < 0x20; ++byte) replace(static_cast<unsigned char>(byte), " ");
  replace(0x7F, " ");
  // The unassigned bytes of 1252 stand for C1 control characters.
  for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) replace(byte, " ");
  replace(0x82, ",");
  replace(0x83, "f");
  replace(0x84, "\"");
  replace(0x85, "...");
  replace(0x86, "+");
  replace(0x87, "+");
  replace(0x88, "^");
  replace(0x89, "%");
  replace(0x8B, "<");
  replace(0x91, "'");
  replace(0x92, "'");
  replace(0x93, "\"");
  replace(0x94, "\"");
  replace(0x95, ".");
  replace(0x96, "-");
  replace(0x97, "-");
  replace(0x98, "~");
  replace(0x99, "TM");
  replace(0x9B, ">");
  forms[0xAD] = {{}, false, true};
  return forms;
}

constexpr std::array<SwissForm, 256> kSwissForms = MakeSwissForms();

constexpr bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// The bytes each flavour writes as they stand: most texts are nothing else, and are
// then appended in one piece.
constexpr std::array<bool, 256> MakePlain(bool swiss) {
  std::array<bool, 256> plain{};
  for (int byte = 0; byte < 256; ++byte) {
    const auto b = static_cast<unsigned char>(byte);
    plain[b] = swiss ? kSwissForms[b].keep : !IsControl(b);
  }
  return plain;
}

constexpr std::array<bool, 256> kSwissPlain = MakePlain(true);
constexpr std::array<bool, 256> kGenericPlain = MakePlain(false);

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// The bytes of eight that are not printable ASCII (0x20 to 0x7E), which both flavours
// write as they stand: each such byte has its top bit set. A borrow may also set it in
// bytes above one that is, never below, so the lowest byte set is the first of them.
std::uint64_t NotPrintableAscii(const char* bytes) {
  std::uint64_t x;
  std::memcpy(&x, bytes, sizeof x);
  const std::uint64_t below_blank = (x - kOnes * 0x20) & ~x;
  const std::uint64_t del = x ^ (kOnes * 0x7F);
  return (x | below_blank | ((del - kOnes) & ~del)) & kHighs;
}

bool HasBlank(std::uint64_t word) {
  const std::uint64_t x = word ^ (kOnes * ' ');
  return ((x - kOnes) & ~x & kHighs) != 0;
}

// The ASCII small letters of eight bytes as capitals; every other byte as it is. Each
// byte's low seven bits plus a constant reach the top bit exactly from 'a' on (and from
// '{' on), with no carry into the next byte.
std::uint64_t UpperWord(std::uint64_t word) {
  const std::uint64_t low7 = word & ~kHighs;
  const std::uint64_t from_a = low7 + kOnes * (0x80 - 'a');
  const std::uint64_t past_z = low7 + kOnes * (0x80 - 'z' - 1);
  const std::uint64_t small = from_a & ~past_z & ~word & kHighs;
  return word - (small >> 2);  // 0x80 >> 2 is the distance from a small letter to its capital
}

}  // namespace

namespace {

// The place of the first byte the flavour does not write as it stands; the size when
// there is none, as in most texts.
std::size_t FirstNotPlain(std::string_view text, const std::array<bool, 256>& plain) {
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    std::size_t base = i;  // where the word looked at starts
    std::uint64_t outside;
    if (i + 8 <= size) {
      outside = NotPrintableAscii(text.data() + i);
      if (outside == 0) {
        i += 8;
        continue;
      }
    } else if (size >= 8) {
      // The last bytes, read as the last eight; those in front of `i` are done.
      base = size - 8;
      outside = NotPrintableAscii(text.data() + base) & (~std::uint64_t{0} << (8 * (i - base)));
      if (outside == 0) return size;
    } else {
      for (; i < size; ++i) {
        if (!plain[static_cast<unsigned char>(text[i])]) return i;
      }
      return size;
    }
    // The first byte outside printable ASCII; most such (accented letters) are plain too.
    const std::size_t at = base + static_cast<std::size_t>(std::countr_zero(outside)) / 8;
    if (!plain[static_cast<unsigned char>(text[at])]) return at;
    i = at + 1;
  }
  return size;
}

}  // namespace

void AppendDocumentText(std::string& out, std::string_view text, bool swiss) {
  const std::array<bool, 256>& plain = swiss ? kSwissPlain : kGenericPlain;
  std::size_t run = 0;  // start of the bytes not yet appended
  for (std::size_t i = FirstNotPlain(text, plain); i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (plain[byte]) continue;
    out.append(text.data() + run, i - run);
    run = i + 1;
    if (!swiss) {
      out.push_back(' ');
    } else if (!kSwissForms[byte].drop) {
      out.append(kSwissForms[byte].text);
    }
  }
  out.append(text.data() + run, text.size() - run);
}

bool IsEmptyDocumentText(std::string_view text, bool swiss) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte != ' ' && !IsControl(byte) && !(swiss && kSwissForms[byte].drop)) return false;
  }
  return true;
}

std::string DocumentText(std::string_view text, bool swiss) {
  std::string out;
  AssignDocumentText(out, text, swiss);
  return out;
}

void AssignDocumentText(std::string& out, std::string_view text, bool swiss) {
  if (text.empty()) {  // most optional texts are not given
    out.clear();
    return;
  }
  // A text the flavour takes as it stands is only trimmed.
  const std::size_t first = FirstNotPlain(text, swiss ? kSwissPlain : kGenericPlain);
  if (first == text.size()) {
    out.assign(TrimBlanks(text));
    return;
  }
  out.clear();
  AppendDocumentText(out, text, swiss);
  std::size_t end = out.size();
  while (end > 0 && out[end - 1] == ' ') --end;
  out.resize(end);
  std::size_t start = 0;
  while (start < out.size() && out[start] == ' ') ++start;
  out.erase(0, start);
}

Iso2019Text& Iso2019Text::operator=(const Iso2019Text& other) {
  if (this == &other) return *this;
  if (other.formed_) {
    Assign(other.view_);
  } else {
    view_ = other.view_;
    formed_ = false;
  }
  return *this;
}

void Iso2019Text::SetGiven(std::string_view text, bool swiss) {
  if (FirstNotPlain(text, swiss ? kSwissPlain : kGenericPlain) == text.size()) {
    Refer(TrimBlanks(text));
    return;
  }
  AssignDocumentText(room_, text, swiss);
  view_ = room_;
  formed_ = true;
}

void Iso2019Text::Assign(std::string_view document_text) {
  room_.assign(document_text);
  view_ = room_;
  formed_ = true;
}

bool Iso2019Text::CutLonger(std::size_t length) {
  view_ = view_.substr(0, length);
  while (!view_.empty() && view_.back() == ' ') view_.remove_suffix(1);
  return true;
}

bool CutText(std::string& text, std::size_t length) {
  if (text.size() <= length) return false;
  text.resize(length);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return true;
}

bool IsIdentifierCharacter(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view(" '()+,-./:?").find(c) != std::string_view::npos;
}

bool IsIdentifier(std::string_view text) {
  if (text.empty() || text.size() > 35) return false;
  for (const char c : text) {
    if (!IsIdentifierCharacter(c)) return false;
  }
  if (text.front() == ' ' || text.front() == '/' || text.back() == ' ' || text.back() == '/') return false;
  return text.find("//") == std::string_view::npos;
}

std::string UpperAscii(std::string_view text) {
  std::string out;
  UpperAsciiInto(out, text);
  return out;
}

void UpperGivenAsciiInto(std::string& out, std::string_view text) {
  // Upper-cased in place eight bytes at a time (the last eight overlap bytes done before,
  // which upper-casing again leaves as they are); blanks go after.
  out.assign(text);
  char* const bytes = out.data();
  const std::size_t size = out.size();
  bool blank = false;
  const auto upper_word_at = [bytes, &blank](std::size_t at) {
    std::uint64_t word;
    std::memcpy(&word, bytes + at, sizeof word);
    blank = blank || HasBlank(word);
    word = UpperWord(word);
    std::memcpy(bytes + at, &word, sizeof word);
  };
  if (size >= 8) {
    for (std::size_t at = 0; at + 8 <= size; at += 8) upper_word_at(at);
    if (size % 8 != 0) upper_word_at(size - 8);
  } else {
    for (std::size_t at = 0; at < size; ++at) {
      const char c = bytes[at];
      blank = blank || c == ' ';
      bytes[at] = static_cast<char>(c - ((c >= 'a' && c <= 'z') ? 'a' - 'A' : 0));
    }
  }
  if (!blank) return;
  // Accounts and references are mostly typed in groups of four with a blank behind each:
  // such a group moves down over the blanks before it in one move.
  char* kept = bytes;
  const char* next = bytes;
  const char* const end = bytes + size;
  while (end - next >= 5 && next[4] == ' ') {
    std::uint32_t group;
    std::memcpy(&group, next, sizeof group);
    if (HasBlank(group)) break;  // the four high bytes are zeros, no blanks
    std::memcpy(kept, &group, sizeof group);
    kept += 4;
    next += 5;
  }
  // The rest byte by byte, without a branch per byte.
  for (; next != end; ++next) {
    *kept = *next;
    kept += *next != ' ';
  }
  out.resize(static_cast<std::size_t>(kept - bytes));
}

}  // namespace ordexa
