// Reading and writing whole files in tests, and a file system whose calls fail on demand.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/file_system.h"

namespace ordexa::test {

// The whole content of a file, or nothing when it does not exist.
inline std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// The real file system, except that one kind of call fails with `error` from its
// `fail_from`-th use on (as a full disk keeps failing).
class FaultyFileSystem : public FileSystem {
 public:
  enum class Call { kCreate, kWrite, kSync, kClose, kRename };
  FaultyFileSystem(Call call, int fail_from, std::uint32_t error) : call_(call), fail_from_(fail_from), error_(error) {}

  FileHandle Create(std::string_view name, FileStatus& status) const override {
    if (Fails(Call::kCreate)) {
      status.error = error_;
      return kInvalidFile;
    }
    return FileSystem::Create(name, status);
  }
  FileStatus Write(FileHandle file, const char* data, std::size_t size) const override {
    return Fails(Call::kWrite) ? FileStatus{error_} : FileSystem::Write(file, data, size);
  }
  FileStatus WriteAt(FileHandle file, std::uint64_t offset, const char* data, std::size_t size) const override {
    return Fails(Call::kWrite) ? FileStatus{error_} : FileSystem::WriteAt(file, offset, data, size);
  }
  FileStatus Sync(FileHandle file) const override { return Fails(Call::kSync) ? FileStatus{error_} : FileSystem::Sync(file); }
  FileStatus Close(FileHandle file) const override {
    const FileStatus closed = FileSystem::Close(file);
    return Fails(Call::kClose) ? FileStatus{error_} : closed;
  }
  FileStatus Rename(std::string_view from, std::string_view to) const override {
    return Fails(Call::kRename) ? FileStatus{error_} : FileSystem::Rename(from, to);
  }

 private:
  bool Fails(Call call) const { return call == call_ && ++uses_ >= fail_from_; }

  Call call_;
  int fail_from_;
  std::uint32_t error_;
  mutable int uses_ = 0;
};

}  // namespace ordexa::test
