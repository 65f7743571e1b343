// The failures of the writers, turned into messages for the person at the command line.
#include "tools/payfile/payment_file.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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

// The ISO writers write NAME.tmp and rename it over NAME themselves; DTA and EZAG files
// the component writes in place, so the tool has it write NAME.tmp and renames that.
bool ComponentRenames(std::int32_t file_type) { return file_type == payISO || file_type == payISO2019; }

// Makes the finished temporary file durable and puts it in the place of the final one.
// Returns the Win32 error of the call that failed, 0 when done.
std::uint32_t PutInPlace(const std::string& temporary_ansi, const std::string& final_ansi,
                         const FileSystem& file_system) {
  const int fd = open(AnsiNameToPath(temporary_ansi).c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return Win32ErrorFromErrno(errno);
  const bool synced = fsync(fd) == 0;
  const int sync_error = errno;
  close(fd);
  if (!synced) return Win32ErrorFromErrno(sync_error);
  return file_system.Rename(temporary_ansi, final_ansi).error;
}

std::string Quote(std::string_view text) {
  // Formed by appending: GCC 12 warns (-Wrestrict) about "\"" + std::string in an optimised build.
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

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

std::optional<std::string> NameProblem(std::string_view display_name) {
  if (display_name.empty()) return "the name is empty";
  if (const std::optional<std::string> outside = FirstOutsideCodePage(display_name)) {
    return Quote(*outside) + " in the name is outside code page 1252, the component's character set for file "
           "names: choose a name without it";
  }
  const fs::path path(std::string{display_name});
  if (IsFolder(path)) return "it is a folder";
  {
    const fs::path temporary(std::string(display_name) + ".tmp");
    if (IsFolder(temporary)) return "its temporary file " + Quote(temporary.string()) + " is a folder";
  }
  return std::nullopt;
}

std::optional<std::string> OutputNameProblem(std::string_view display_name) {
  if (std::optional<std::string> problem = NameProblem(display_name)) return problem;
  const fs::path path(std::string{display_name});
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!Exists(folder)) return "the folder " + Quote(folder.string()) + " does not exist";
  if (!IsFolder(folder)) return Quote(folder.string()) + " is not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return "the folder " + Quote(folder.string()) + " is not writable";
  if (Exists(path) && access(path.c_str(), W_OK) != 0) return "the file exists and is not writable";
  {
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
  if (const std::optional<std::string> problem = NameProblem(request.display_name)) {
    return {false, headline + *problem + "\n"};
  }
  std::string reason = "the component could not write the file";
  std::string component;
  const bool component_renames = ComponentRenames(request.file_type);
  const std::string temporary_ansi = request.file_name + ".tmp";
  try {
    manager.WriteBatch(request.file_type, component_renames ? request.file_name : temporary_ansi,
                       request.pay_period, request.swiss, file_system);
    if (component_renames) return {};
    const std::uint32_t error = PutInPlace(temporary_ansi, request.file_name, file_system);
    if (error == 0) return {};
    reason = "the finished file " + Quote(request.display_name + ".tmp") + " could not take its place (" +
             "status " + HexText(static_cast<std::uint32_t>(HRESULT_FROM_WIN32(error)), 8) + ")";
  } catch (const MPayError& failure) {
    component = ComponentLine(Cp1252ToUtf8(failure.text()));
    if (failure.id() == kWriteFileErrorId) reason = "writing the file failed";
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
  // Nothing half-written stays: the temporary file goes, the previous file was never touched.
  const std::string temporary = request.display_name + ".tmp";
  if (Exists(fs::path(temporary))) file_system.Remove(temporary_ansi);
  // What the file system says now is the better reason, when it says anything.
  if (const std::optional<std::string> problem = OutputNameProblem(request.display_name)) {
    reason = *problem;
  }
  std::string message = headline + reason + "\n" + component;
  if (Exists(fs::path(temporary))) {
    message += "payfile: the temporary file " + Quote(temporary) + " stays behind; " + request.display_name +
               " is untouched\n";
  } else if (Exists(fs::path(request.display_name))) {
    message += "payfile: " + request.display_name + " is untouched\n";
  }
  return {false, message};
}

}  // namespace ordexa::payfile
