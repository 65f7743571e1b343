// An output file written through one buffer: pieces are appended in memory and reach the
// file in large writes, so the cost of a file does not depend on how it is cut into pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/background_sync.h"
#include "platform/file_system.h"

namespace ordexa {

// What sees every byte of a file as it is written out, in file order (a running hash).
class WrittenBytesObserver {
 public:
  virtual void Written(std::string_view bytes) = 0;

 protected:
  ~WrittenBytesObserver() = default;
};

class BufferedFile {
 public:
  static constexpr std::size_t kBufferSize = 256 * 1024;

  // Takes over an open handle of `file_system`; the file is closed by Close() or, at the
  // latest, by the destructor (which writes out what is buffered, ignoring failures).
  BufferedFile(const FileSystem& file_system, FileHandle handle);
  ~BufferedFile();
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  // Append(): adds bytes; when the buffer is full it is written out first. A failure of
  // that write is returned (the bytes of the failed write are dropped).
  FileStatus Append(std::string_view bytes) {
    // Most pieces are small and fit: copied without a call.
    if (bytes.size() <= kBufferSize - used_ && is_open()) {
      if (!bytes.empty()) std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
      return {};
    }
    return AppendInPieces(bytes);
  }

  // Room(): the free part of the buffer, at least `size` bytes (at most kBufferSize), for
  // formatting straight into it; what is buffered is written out first when it lacks room.
  // Null when that write fails or the file is closed; `status` then says why.
  char* Room(std::size_t size, FileStatus& status) {
    if (size <= kBufferSize - used_ && is_open()) return buffer_.get() + used_;
    return RoomAfterFlush(size, status);
  }

  // Commit(): the first `size` bytes of the room given by Room() belong to the file now.
  void Commit(std::size_t size) { used_ += size; }

  // Flush(): writes out what is buffered.
  FileStatus Flush();

  // Sync(): Flush() and then fsync. The first failure of a sync made in the background
  // (see WriteBackAsItGoes) is returned as well.
  FileStatus Sync();

  // WriteBackAsItGoes(): for a file that is synced when done: every `bytes` written out,
  // the system is asked to start writing them to the disk, and a helper thread syncs what
  // is written so far, so the sync at the end waits only for the last of them while the
  // bytes before reached the disk meanwhile.
  void WriteBackAsItGoes(std::size_t bytes) { write_back_every_ = bytes; }

  // ObserveWrites(): `observer` sees the bytes of every later write-out (null: none).
  void ObserveWrites(WrittenBytesObserver* observer) { observer_ = observer; }
  // Position(): bytes appended so far, buffered ones included: where the next byte goes.
  std::uint64_t Position() const { return written_out_ + used_; }
  // WriteAt(): after a Flush(), writes `bytes` over bytes of the file at `offset`; the
  // observer does not see them.
  FileStatus WriteAt(std::uint64_t offset, std::string_view bytes);
  // Close(): Flush() and close; the handle is gone afterwards whatever the result.
  FileStatus Close();

  bool is_open() const { return handle_ != kInvalidFile; }

 private:
  FileStatus AppendInPieces(std::string_view bytes);
  char* RoomAfterFlush(std::size_t size, FileStatus& status);
  // Stops the helper of WriteBackAsItGoes, if one runs; returns what its syncs found.
  FileStatus FinishBackgroundSync();

  const FileSystem& file_system_;
  FileHandle handle_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::uint64_t written_out_ = 0;  // bytes handed to the file system so far
  WrittenBytesObserver* observer_ = nullptr;
  std::size_t write_back_every_ = 0;  // 0: left to the system
  std::size_t not_written_back_ = 0;  // bytes written out since the last write-back was asked for
  std::unique_ptr<BackgroundSync> background_sync_;  // from the first write-back on
};

}  // namespace ordexa
