// The character sets and identifiers of the 2019 ISO document.
#include "iso2019/iso2019_text.h"

#include <array>

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

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

void AppendDocumentText(std::string& out, std::string_view text, bool swiss) {
  out.reserve(out.size() + text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!swiss) {
      out.push_back(IsControl(byte) ? ' ' : c);
      continue;
    }
    const SwissForm& form = kSwissForms[byte];
    if (form.keep) {
      out.push_back(c);
    } else if (!form.drop) {
      out.append(form.text);
    }
  }
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string DocumentText(std::string_view text, bool swiss) {
  std::string out;
  AppendDocumentText(out, text, swiss);
  const std::string_view trimmed = TrimBlanks(out);
  if (trimmed.size() != out.size()) out = std::string(trimmed);
  return out;
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
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ') continue;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    out.push_back(c);
  }
  return out;
}

}  // namespace ordexa
