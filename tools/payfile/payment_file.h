// Writing the payment file: runs the component's writer directly, so that its failures
// reach the command line instead of being absorbed as they are behind WriteFile, and
// says in plain words why a file could not be written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/pay_manager.h"
#include "platform/file_system.h"

namespace ordexa::payfile {

struct FileRequest {
  std::int32_t file_type = payDTA;  // payDTA, payEzag, payISO or payISO2019
  std::string file_name;            // 1252 text, as the component receives it
  std::string pay_period;           // 1252 text; ISO files only
  bool swiss = false;               // ISO files only: the Swiss flavour
  std::string display_name;         // the name as the user gave it (UTF-8), for messages
};

struct WriteResult {
  bool written = true;
  std::string message;  // UTF-8 lines for standard error, each ending in "\n"; empty when written
};

// OutputNameProblem()
// Why a payment file cannot be written under `display_name` (UTF-8), found by looking at
// the name and the file system: "the folder "x/y" does not exist", "it is a folder",
// ""Ł" in the name is outside code page 1252 ...", and so on; nothing when no reason is
// seen. Asks nothing of the component.
// Example: OutputNameProblem("no/such/dir/pay.dta") == "the folder \"no/such/dir\" does not exist".
std::optional<std::string> OutputNameProblem(std::string_view display_name);

// NameProblem()
// The part of OutputNameProblem that refuses a name before writing: the empty name, a
// character outside code page 1252 (the component would write another name), a folder
// where the file or its temporary file would be.
std::optional<std::string> NameProblem(std::string_view display_name);

// WritePaymentFile()
// Refuses a name NameProblem finds a problem with, before anything is written; else
// writes the manager's batch with WriteBatch through "<name>.tmp" in the same folder,
// which takes the place of the file only when the writer reports success (the ISO
// writers rename it themselves; DTA and EZAG files are synced and renamed here). A
// failure gives written = false, removes the temporary file and leaves a previous file as
// it was; the message's first line is "payfile: cannot write <name>: <reason>" (the same
// wording for every format), then the component's own message with its status code, then
// that a previous file is untouched.
// Example: for "no/such/dir/x.dta" the message begins
// "payfile: cannot write no/such/dir/x.dta: the folder \"no/such/dir\" does not exist\n".
WriteResult WritePaymentFile(CPayManager& manager, const FileRequest& request,
                             const FileSystem& file_system = SystemFileSystem());

}  // namespace ordexa::payfile
