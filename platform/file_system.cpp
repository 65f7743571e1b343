// The file seam on POSIX: CreateFileA-style creation, writes, sync, close, rename and
// remove, with every failure translated to the Win32 code Windows reports.
#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/cp1252.h"
#include "winerror.h"

namespace ordexa {
namespace {

// An ANSI name this long no longer fits the platform's MAX_PATH conversion buffer.
constexpr std::size_t kMaxAnsiNameLength = 260;

// Like CreateFileA, the name ends at its first NUL.
std::string_view CutAtNul(std::string_view name) {
  const std::size_t nul = name.find('\0');
  return nul == std::string_view::npos ? name : name.substr(0, nul);
}

// The checks Windows makes on a name before it looks at the disk.
FileStatus CheckAnsiName(std::string_view name) {
  if (name.size() > kMaxAnsiNameLength) return {ERROR_FILENAME_EXCED_RANGE};
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '*' || c == '?' || c == '<' || c == '>' || c == '|' || c == '"') {
      return {ERROR_INVALID_NAME};
    }
  }
  return {};
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Calls on an existing file (rename, remove) tell "file not found" (the folder is there) from
// "path not found" (a folder on the way is missing).
std::uint32_t MissingFileError(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string folder;
  if (slash == std::string::npos) {
    folder = ".";
  } else {
    folder = slash == 0 ? std::string("/") : path.substr(0, slash);
  }
  return IsDirectory(folder) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

FileStatus ErrnoStatus(int error_number) { return {Win32ErrorFromErrno(error_number)}; }

}  // namespace

std::uint32_t Win32ErrorFromErrno(int error_number) {
  switch (error_number) {
    case 0: return ERROR_SUCCESS;
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EIO: return ERROR_NOT_READY;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
  }
}

std::string AnsiNameToPath(std::string_view ansi_name) {
  std::string path = Cp1252ToUtf8(ansi_name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

FileHandle FileSystem::Create(std::string_view ansi_name, FileStatus& status) const {
  ansi_name = CutAtNul(ansi_name);
  status = CheckAnsiName(ansi_name);
  if (!status) return kInvalidFile;
  const std::string path = AnsiNameToPath(ansi_name);
  int file;
  do {
    file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (file < 0 && errno == EINTR);
  // Creating always makes the last part of the name, so a missing part is a folder:
  // ENOENT maps to "path not found".
  status = file < 0 ? ErrnoStatus(errno) : FileStatus{};
  return file < 0 ? kInvalidFile : file;
}

FileStatus FileSystem::Write(FileHandle file, const char* data, std::size_t size) const {
  while (size > 0) {
    const ssize_t written = ::write(file, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    // A write that takes nothing while bytes remain means the medium is full.
    if (written == 0) return {ERROR_DISK_FULL};
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

FileStatus FileSystem::WriteAt(FileHandle file, std::uint64_t offset, const char* data, std::size_t size) const {
  while (size > 0) {
    const ssize_t written = ::pwrite(file, data, size, static_cast<off_t>(offset));
    if (written < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    if (written == 0) return {ERROR_DISK_FULL};
    data += written;
    offset += static_cast<std::uint64_t>(written);
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

FileStatus FileSystem::Sync(FileHandle file) const {
  int result;
  do {
    result = ::fsync(file);
  } while (result < 0 && errno == EINTR);
  // Devices and pipes cannot be synced; there is nothing on a disk to wait for.
  if (result < 0 && errno != EINVAL && errno != EROFS) return ErrnoStatus(errno);
  return {};
}

void FileSystem::StartWriteBack(FileHandle file) const {
  ::sync_file_range(static_cast<int>(file), 0, 0, SYNC_FILE_RANGE_WRITE);
}

FileStatus FileSystem::Close(FileHandle file) const {
  // The descriptor is released even when close() reports an error (EINTR included), so
  // it must not be closed a second time.
  if (::close(file) < 0 && errno != EINTR) return ErrnoStatus(errno);
  return {};
}

FileStatus FileSystem::Rename(std::string_view from_ansi, std::string_view to_ansi) const {
  from_ansi = CutAtNul(from_ansi);
  to_ansi = CutAtNul(to_ansi);
  if (FileStatus status = CheckAnsiName(from_ansi); !status) return status;
  if (FileStatus status = CheckAnsiName(to_ansi); !status) return status;
  const std::string from = AnsiNameToPath(from_ansi);
  const std::string to = AnsiNameToPath(to_ansi);
  if (::rename(from.c_str(), to.c_str()) == 0) return {};
  const int error_number = errno;
  // A missing source file is "file not found"; a missing folder on either side is
  // "path not found".
  struct stat info {};
  if (error_number == ENOENT && ::lstat(from.c_str(), &info) != 0) return {MissingFileError(from)};
  return ErrnoStatus(error_number);
}

FileStatus FileSystem::Remove(std::string_view ansi_name) const {
  ansi_name = CutAtNul(ansi_name);
  if (FileStatus status = CheckAnsiName(ansi_name); !status) return status;
  const std::string path = AnsiNameToPath(ansi_name);
  if (::unlink(path.c_str()) == 0) return {};
  const int error_number = errno;
  if (error_number == ENOENT) return {MissingFileError(path)};
  return ErrnoStatus(error_number);
}

const FileSystem& SystemFileSystem() {
  static const FileSystem file_system;
  return file_system;
}

}  // namespace ordexa
