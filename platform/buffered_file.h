// An output file written through one buffer: pieces are appended in memory and reach the
// file in large writes, so the cost of a file does not depend on how it is cut into pieces.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/file_system.h"

namespace ordexa {

class BufferedFile {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // Takes over an open handle of `file_system`; the file is closed by Close() or, at the
  // latest, by the destructor (which writes out what is buffered, ignoring failures).
  BufferedFile(const FileSystem& file_system, FileHandle handle);
  ~BufferedFile();
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  // Append(): adds bytes; when the buffer is full it is written out first. A failure of
  // that write is returned (the bytes of the failed write are dropped).
  FileStatus Append(std::string_view bytes);

  // Flush(): writes out what is buffered.
  FileStatus Flush();

  // Sync(): Flush() and then fsync.
  FileStatus Sync();

  // Close(): Flush() and close; the handle is gone afterwards whatever the result.
  FileStatus Close();

  bool is_open() const { return handle_ != kInvalidFile; }

 private:
  const FileSystem& file_system_;
  FileHandle handle_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

}  // namespace ordexa
