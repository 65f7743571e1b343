// Text cleaning for the fixed-width DTA records: one lookup per byte, so every text keeps
// its length and its field positions.
#include "format/record_text.h"

#include <array>

namespace ordexa {

namespace {

constexpr std::array<char, 256> BuildRecordCharTable() {
  std::array<char, 256> table{};
  for (auto& entry : table) entry = ' ';
  for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = c;
  for (char c = 'A'; c <= 'Z'; ++c) {
    table[static_cast<unsigned char>(c)] = c;
    table[static_cast<unsigned char>(c - 'A' + 'a')] = c;
  }
  for (const char c : std::string_view(".(+&!$*);-/,%?:'=\"")) table[static_cast<unsigned char>(c)] = c;
  // Only these accented letters have a base letter in the records; umlauts lose their dots.
  struct Accented {
    unsigned char code;
    char base;
  };
  constexpr Accented kAccented[] = {
      {0xC0, 'A'}, {0xC1, 'A'}, {0xC4, 'A'}, {0xE0, 'A'}, {0xE1, 'A'}, {0xE4, 'A'},
      {0xC7, 'C'}, {0xE7, 'C'},
      {0xC8, 'E'}, {0xC9, 'E'}, {0xCA, 'E'}, {0xE8, 'E'}, {0xE9, 'E'}, {0xEA, 'E'},
      {0xD6, 'O'}, {0xF6, 'O'},
      {0xDC, 'U'}, {0xFC, 'U'},
  };
  for (const Accented& letter : kAccented) table[letter.code] = letter.base;
  return table;
}

constexpr std::array<char, 256> kRecordChar = BuildRecordCharTable();

constexpr std::array<char, 256> kSingleLine = [] {
  std::array<char, 256> table{};
  for (std::size_t code = 0; code < table.size(); ++code) table[code] = static_cast<char>(static_cast<unsigned char>(code));
  table['\r'] = ' ';
  table['\n'] = ' ';
  return table;
}();

}  // namespace

const RecordByteMap& RecordCleaningMap() { return kRecordChar; }
const RecordByteMap& SingleLineMap() { return kSingleLine; }

char CleanRecordChar(char c) { return kRecordChar[static_cast<unsigned char>(c)]; }

std::string CleanRecordText(std::string_view text) {
  std::string cleaned(text.size(), ' ');
  CleanRecordTextInto(text, cleaned.data());
  return cleaned;
}

void CleanRecordTextInto(std::string_view text, char* out) {
  for (const char c : text) *out++ = kRecordChar[static_cast<unsigned char>(c)];
}

}  // namespace ordexa
