// Writing the payment file: runs the component's writer directly, so that its failures
// reach the command line instead of being absorbed as they are behind WriteFile.
#pragma once

#include <cstdint>
#include <string>

#include "model/pay_manager.h"

namespace ordexa::payfile {

struct FileRequest {
  std::int32_t file_type = payDTA;  // payDTA, payEzag or payISO
  std::string file_name;            // 1252 text, as the component receives it
  std::string pay_period;           // 1252 text; ISO only
  bool swiss = false;               // ISO only: the Swiss flavour
  std::string display_name;         // the name as the user gave it (UTF-8), for messages
};

enum class WriteStatus {
  kWritten,
  kNoFile,  // an ISO batch without payments: the writer makes no file
  kFailed,
};

struct WriteResult {
  WriteStatus status = WriteStatus::kWritten;
  std::string message;  // UTF-8, for standard error; empty when written
};

// WritePaymentFile()
// Writes the manager's batch with WriteBatch. A failure gives kFailed and its message: an
// MPayError's own text (status and file name), or for a CAtlException or a number raised
// by the ISO writer a message naming the HRESULT or number in hex and the file. An ISO
// request for an empty batch gives kNoFile without calling the writer.
// Example: WritePaymentFile(manager, {payDTA, "/no/such/dir/x.dta"}).message starts with
// "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003".
WriteResult WritePaymentFile(CPayManager& manager, const FileRequest& request);

}  // namespace ordexa::payfile
