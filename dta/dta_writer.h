// DTA writer: one file of 128-character segments, a TA 826, 827 or 836 record per payment
// of a type the format carries, and the closing TA 890 total record.
#pragma once

#include <string_view>

#include "records/records.h"
#include "platform/file_system.h"

namespace ordexa {

// WriteDtaFile()
// Writes the whole batch to `file_name` (1252 text), replacing an existing file. Raises
// MPayError 2001 (status, file name) when the file cannot be created and 2002 when a write
// fails; the file then keeps what was written.
void WriteDtaFile(const PayBatch& batch, std::string_view file_name,
                  const FileSystem& file_system = SystemFileSystem());

}  // namespace ordexa
