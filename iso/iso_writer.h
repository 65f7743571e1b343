// ISO 20022 writer: one pain.001.001.03 customer credit transfer initiation, Swiss or
// generic flavour, as UTF-8 XML.
#pragma once

#include <string_view>

#include "records/records.h"
#include "platform/file_system.h"

namespace ordexa {

// WriteIsoFile()
// Writes the batch to "<file_name>.tmp", then syncs it and renames it over `file_name`.
// Upper-cases the sender's Name1 in the batch's settings in place. An empty list writes nothing.
// Failures are raised (a plain number or CAtlException); the final file is then untouched.
void WriteIsoFile(PayBatch& batch, std::string_view file_name,
                  std::string_view pay_period, bool swiss, const FileSystem& file_system = SystemFileSystem());

}  // namespace ordexa
