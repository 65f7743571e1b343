// Text cleaning for the fixed-width DTA records: the records' character set only.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ordexa {

// CleanRecordText()
// Maps every byte (code page 1252) to one byte of the DTA character set, so the length
// never changes: the accented letters A C E O U of the table to their base capital,
// ASCII letters upper case, digits and . ( + & ! $ * ) ; - / , % ? : ' = " unchanged,
// anything else a blank.
// Example: CleanRecordText("M\xFCller & Co.") == "MULLER & CO.".
std::string CleanRecordText(std::string_view text);

// CleanRecordChar(): the mapping of CleanRecordText for one byte.
char CleanRecordChar(char c);

// CleanRecordTextInto(): CleanRecordText written to `out` (room for text.size() bytes).
void CleanRecordTextInto(std::string_view text, char* out);

// CleanedRecordText: a record field argument that the record formatter cleans as it
// writes it, with no text of its own (see CleanRecordText).
// Example: WriteRecordText(out, "%-24.24s", CleanedRecordText{name}).
struct CleanedRecordText {
  std::string_view text;
};

// SingleLineRecordText: a record field argument whose carriage returns and line feeds the
// record formatter writes as blanks, so no caller text can end a line-structured record
// early; otherwise a text like any other (read up to a NUL).
// Example: WriteRecordText(out, "%-35.35s", SingleLineRecordText{reason}).
struct SingleLineRecordText {
  std::string_view text;
};

// A byte map the record formatter sends a text through as it writes it.
using RecordByteMap = std::array<char, 256>;

// RecordCleaningMap(): the map of CleanRecordText. SingleLineMap(): CR and LF to blanks,
// every other byte kept.
const RecordByteMap& RecordCleaningMap();
const RecordByteMap& SingleLineMap();

// MapRecordTextInto(): every byte of `text` through `map` into `out` (room for
// text.size() bytes).
inline void MapRecordTextInto(std::string_view text, const RecordByteMap& map, char* out) {
  for (const char c : text) *out++ = map[static_cast<unsigned char>(c)];
}

}  // namespace ordexa
