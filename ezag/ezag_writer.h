// EZAG writer: 700-character records ending in a line feed: the header record (00), one
// record of type 22, 27, 28 or 37 per payment of a type the format carries, the total (97).
#pragma once

#include <string_view>

#include "records/records.h"
#include "platform/file_system.h"

namespace ordexa {

// WriteEzagFile()
// Writes the whole batch to `file_name` (1252 text), replacing an existing file. Raises
// MPayError 2001 when the file cannot be created, 2002 when a write fails, CAtlException
// E_INVALIDARG for an empty list (after creating the empty file), and refuses amounts
// that do not fit the 13-character field before creating anything.
void WriteEzagFile(const PayBatch& batch, std::string_view file_name,
                   const FileSystem& file_system = SystemFileSystem());

}  // namespace ordexa
