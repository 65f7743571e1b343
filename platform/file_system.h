// The one seam through which the component touches files: create, write, sync, close,
// rename and remove, each failure reported as the Win32 error code Windows would give.
// Tests derive from FileSystem to make any call fail and then check what stayed on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ordexa {

// A file handle of the seam (a descriptor, or a Windows HANDLE); kInvalidFile when
// creation failed.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kInvalidFile = -1;

// Outcome of one file call: 0 on success, else the Win32 error code (2, 3, 5, 112, ...).
struct FileStatus {
  std::uint32_t error = 0;
  explicit operator bool() const { return error == 0; }
};

#ifndef _WIN32
// Win32ErrorFromErrno()
// Maps an errno value to the Win32 code Windows reports for the same situation:
// ENOENT/ENOTDIR 3 (a missing directory part; creating always makes the last part),
// EACCES/EPERM/EROFS/EISDIR 5, ENOSPC/EDQUOT 112, EMFILE/ENFILE 4, EAGAIN/EBUSY/ETXTBSY 32,
// EBADF 6, EINVAL 87, EIO 21, ENOTEMPTY 145, EEXIST 80, ENAMETOOLONG 206, ENOMEM 8,
// anything else 31 (ERROR_GEN_FAILURE).
std::uint32_t Win32ErrorFromErrno(int error_number);

// AnsiNameToPath()
// How a file name of the component (1252 text, as the caller gave it) becomes a Linux
// path: the text as UTF-8, every backslash a '/'. The one place this is decided.
// Example: AnsiNameToPath("C:\\pay\\lohn\xE4.dta") == "C:/pay/lohn\xC3\xA4.dta".
std::string AnsiNameToPath(std::string_view ansi_name);
#endif

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Create(): CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, NORMAL, NULL).
  // An existing file is emptied, a missing one created. Fails with 123 for a name with
  // * ? < > | " or a character 1-31, 206 for a name of 261 or more characters, 3 when a
  // directory part is missing or is a file, 5 for a directory or no permission.
  // Returns kInvalidFile on failure, with `status` set.
  virtual FileHandle Create(std::string_view ansi_name, FileStatus& status) const;

  // Write(): writes all `size` bytes (retrying short writes); ENOSPC gives 112.
  virtual FileStatus Write(FileHandle file, const char* data, std::size_t size) const;
  // WriteAt(): writes all `size` bytes at `offset` from the file's start, over bytes
  // written before (pwrite; WriteFile with an offset on Windows). Used to put a value in
  // its place once it is known; where the next Write() goes afterwards is not defined.
  virtual FileStatus WriteAt(FileHandle file, std::uint64_t offset, const char* data, std::size_t size) const;

  // Sync(): flushes the file's data to the disk (fsync). It may be called from a helper
  // thread while Write() runs on the same handle (a file synced as it is written).
  virtual FileStatus Sync(FileHandle file) const;

  // StartWriteBack(): asks the system to start writing what the file holds so far out to
  // the disk, without waiting for it, so that a later Sync() has less left to wait for.
  // Advice only: nothing is reported (on Windows it does nothing).
  virtual void StartWriteBack(FileHandle file) const;

  // Close(): closes the handle; it is gone even when closing reports a failure.
  virtual FileStatus Close(FileHandle file) const;

  // Rename(): MoveFileEx with replace: `from` takes the place of `to` in one step.
  virtual FileStatus Rename(std::string_view from_ansi, std::string_view to_ansi) const;

  // Remove(): DeleteFileA.
  virtual FileStatus Remove(std::string_view ansi_name) const;
};

// SystemFileSystem(): the real file system (stateless, shared).
const FileSystem& SystemFileSystem();

}  // namespace ordexa
