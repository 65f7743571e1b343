// The file seam on Windows: thin calls into the system's file functions, with the system's
// own last error as the status of every failure.
#include <windows.h>

#include <string>

#include "platform/file_system.h"

namespace ordexa {
namespace {

// The system takes NUL-terminated names; a name ends at its first NUL as it would there.
std::string NameOf(std::string_view ansi_name) { return std::string(ansi_name.substr(0, ansi_name.find('\0'))); }

HANDLE HandleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileStatus LastError() {
  const DWORD error = ::GetLastError();
  // A failing call always leaves a reason; 31 stands in should one ever be missing.
  return {error != ERROR_SUCCESS ? static_cast<std::uint32_t>(error) : std::uint32_t{ERROR_GEN_FAILURE}};
}

// WriteFile takes at most a DWORD's worth of bytes per call.
constexpr std::size_t kMaxWrite = 1u << 30;

}  // namespace

FileHandle FileSystem::Create(std::string_view ansi_name, FileStatus& status) const {
  const std::string name = NameOf(ansi_name);
  const HANDLE file = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    status = LastError();
    return kInvalidFile;
  }
  // CREATE_ALWAYS leaves ERROR_ALREADY_EXISTS behind on success when it emptied a file.
  status = {};
  return reinterpret_cast<FileHandle>(file);
}

FileStatus FileSystem::Write(FileHandle file, const char* data, std::size_t size) const {
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(size < kMaxWrite ? size : kMaxWrite);
    DWORD written = 0;
    if (!::WriteFile(HandleOf(file), data, piece, &written, nullptr)) return LastError();
    // A write that takes nothing while bytes remain means the medium is full.
    if (written == 0) return {ERROR_DISK_FULL};
    data += written;
    size -= written;
  }
  return {};
}

FileStatus FileSystem::WriteAt(FileHandle file, std::uint64_t offset, const char* data, std::size_t size) const {
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(size < kMaxWrite ? size : kMaxWrite);
    // On a handle opened for plain (not overlapped) writing, the offset of an OVERLAPPED
    // block says where the write goes; the call still completes before it returns.
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    place.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    if (!::WriteFile(HandleOf(file), data, piece, &written, &place)) return LastError();
    if (written == 0) return {ERROR_DISK_FULL};
    data += written;
    offset += written;
    size -= written;
  }
  return {};
}

FileStatus FileSystem::Sync(FileHandle file) const {
  if (!::FlushFileBuffers(HandleOf(file))) return LastError();
  return {};
}

// FlushFileBuffers waits for everything at once; there is no cheaper start to ask for.
void FileSystem::StartWriteBack(FileHandle) const {}

FileStatus FileSystem::Close(FileHandle file) const {
  if (!::CloseHandle(HandleOf(file))) return LastError();
  return {};
}

FileStatus FileSystem::Rename(std::string_view from_ansi, std::string_view to_ansi) const {
  const std::string from = NameOf(from_ansi);
  const std::string to = NameOf(to_ansi);
  // Write-through: the rename is on the disk when the call returns, like the data before it.
  if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return LastError();
  }
  return {};
}

FileStatus FileSystem::Remove(std::string_view ansi_name) const {
  const std::string name = NameOf(ansi_name);
  if (!::DeleteFileA(name.c_str())) return LastError();
  return {};
}

const FileSystem& SystemFileSystem() {
  static const FileSystem file_system;
  return file_system;
}

}  // namespace ordexa
