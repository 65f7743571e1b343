// Text cleaning for the fixed-width DTA records: the records' character set only.
#pragma once

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

}  // namespace ordexa
