// The failures of the writers, turned into messages for the person at the command line.
#include "tools/payfile/payment_file.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include <unistd.h>

#include "failure/failure.h"
#include "platform/cp1252.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/hex.h"

namespace ordexa::payfile {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kWriteFileErrorId = 2002;  // the component's message number of a failed write
// The 2019 ISO writer's refusals of a payment and of the whole batch.
constexpr std::int32_t kPaymentRefusedId = 2003, kBatchRefusedId = 2004;

// The ISO writers write NAME.tmp and rename it over NAME.
bool WritesTemporaryFile(std::int32_t file_type) { return file_type == payISO || file_type == payISO2019; }

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The first character of `utf8` that code page 1252 does not hold, when there is one.
std::optional<std::string> FirstOutsideCodePage(std::string_view utf8) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t length = 1;
    while (i + length < utf8.size() && (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80) ++length;
    const std::string_view character = utf8.substr(i, length);
    if (Cp1252ToUtf8(AnsiTextFromUtf8(character)) != character) return std::string(character);
    i += length;
  }
  return std::nullopt;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The component's message on one line, for support: its German text or its status code.
std::string ComponentLine(std::string_view text) {
  std::string line = "payfile: the component reports: ";
  bool blank = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r') {
      blank = true;
      continue;
    }
    if (blank && line.back() != ' ') line += ' ';
    blank = false;
    line += c;
  }
  return line + "\n";
}

std::string StatusReason(HRESULT hr) {
  if (hr == DISP_E_OVERFLOW) return "an amount or the total does not fit the file's amount field";
  if (hr == E_OUTOFMEMORY) return "the memory ran out";
  return "the component could not write the file";
}

}  // namespace

std::optional<std::string> NameProblem(std::string_view display_name, std::int32_t file_type) {
  if (display_name.empty()) return "the name is empty";
  if (const std::optional<std::string> outside = FirstOutsideCodePage(display_name)) {
    return Quote(*outside) + " in the name is outside code page 1252, the component's character set for file "
           "names: choose a name without it";
  }
  const fs::path path(std::string{display_name});
  if (IsFolder(path)) return "it is a folder";
  if (WritesTemporaryFile(file_type)) {
    const fs::path temporary(std::string(display_name) + ".tmp");
    if (IsFolder(temporary)) return "its temporary file " + Quote(temporary.string()) + " is a folder";
  }
  return std::nullopt;
}

std::optional<std::string> OutputNameProblem(std::string_view display_name, std::int32_t file_type) {
  if (std::optional<std::string> problem = NameProblem(display_name, file_type)) return problem;
  const fs::path path(std::string{display_name});
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!Exists(folder)) return "the folder " + Quote(folder.string()) + " does not exist";
  if (!IsFolder(folder)) return Quote(folder.string()) + " is not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return "the folder " + Quote(folder.string()) + " is not writable";
  if (Exists(path) && access(path.c_str(), W_OK) != 0) return "the file exists and is not writable";
  if (WritesTemporaryFile(file_type)) {
    const fs::path temporary(std::string(display_name) + ".tmp");
    if (Exists(temporary) && access(temporary.c_str(), W_OK) != 0) {
      return "its temporary file " + Quote(temporary.string()) + " exists and is not writable";
    }
  }
  return std::nullopt;
}

WriteResult WritePaymentFile(CPayManager& manager, const FileRequest& request, const FileSystem& file_system) {
  const std::string headline = "payfile: cannot write " + request.display_name + ": ";
  // A name the component would write under another name, or a folder in the way of the
  // file: refused before the component runs, so nothing is left behind.
  if (const std::optional<std::string> problem = NameProblem(request.display_name, request.file_type)) {
    return {false, headline + *problem + "\n"};
  }
  std::string reason = "the component could not write the file";
  std::string component;
  bool partly_written = false;
  try {
    manager.WriteBatch(request.file_type, request.file_name, request.pay_period, request.swiss, file_system);
    return {};
  } catch (const MPayError& failure) {
    component = ComponentLine(Cp1252ToUtf8(failure.text()));
    partly_written = failure.id() == kWriteFileErrorId;
    if (partly_written) reason = "writing the file failed";
    if (failure.id() == kPaymentRefusedId || failure.id() == kBatchRefusedId) {
      reason = "the 2019 ISO writer refuses the batch";
    }
  } catch (const CAtlException& failure) {
    reason = StatusReason(failure.hr());
    component = ComponentLine("HRESULT " + HexText(static_cast<std::uint32_t>(failure.hr()), 8));
  } catch (const std::int32_t number) {
    // The ISO writer's own number: its message number of a failed write, or the error
    // number of the temporary file's creation, whose meaning is the runtime's.
    if (number == kWriteFileErrorId) reason = "writing the file failed";
    component = ComponentLine("error number " + std::to_string(number) + " (" +
                              HexText(static_cast<std::uint32_t>(number)) + ")");
  } catch (const std::bad_alloc&) {
    reason = "the memory ran out";
  } catch (const std::exception& failure) {
    component = ComponentLine(failure.what());
  } catch (...) {
  }
  // What the file system says now is the better reason, when it says anything.
  if (const std::optional<std::string> problem = OutputNameProblem(request.display_name, request.file_type)) {
    reason = *problem;
  }
  std::string message = headline + reason + "\n" + component;
  const std::string temporary = request.display_name + ".tmp";
  if (WritesTemporaryFile(request.file_type) && Exists(fs::path(temporary))) {
    message += "payfile: the temporary file " + Quote(temporary) + " stays behind; " + request.display_name +
               " is untouched\n";
  } else if (partly_written && Exists(fs::path(request.display_name))) {
    message += "payfile: " + request.display_name + " stays behind, written only in part\n";
  }
  return {false, message};
}

}  // namespace ordexa::payfile
