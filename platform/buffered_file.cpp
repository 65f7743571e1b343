// An output file written through one buffer of kBufferSize bytes.
#include "platform/buffered_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "winerror.h"

namespace ordexa {

BufferedFile::BufferedFile(const FileSystem& file_system, FileHandle handle)
    : file_system_(file_system),
      handle_(handle),
      buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

BufferedFile::~BufferedFile() {
  if (is_open()) Close();
}

FileStatus BufferedFile::AppendInPieces(std::string_view bytes) {
  if (!is_open()) return {ERROR_INVALID_HANDLE};
  while (!bytes.empty()) {
    if (used_ == kBufferSize) {
      if (FileStatus status = Flush(); !status) return status;
    }
    const std::size_t piece = std::min(kBufferSize - used_, bytes.size());
    std::memcpy(buffer_.get() + used_, bytes.data(), piece);
    used_ += piece;
    bytes.remove_prefix(piece);
  }
  return {};
}

char* BufferedFile::RoomAfterFlush(std::size_t size, FileStatus& status) {
  if (!is_open() || size > kBufferSize) {
    status = {static_cast<std::uint32_t>(is_open() ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE)};
    return nullptr;
  }
  status = Flush();
  return status ? buffer_.get() : nullptr;
}

FileStatus BufferedFile::Flush() {
  if (!is_open()) return {ERROR_INVALID_HANDLE};
  if (used_ == 0) return {};
  // The buffer is emptied whatever the outcome: bytes of a failed write are dropped.
  if (observer_ != nullptr) observer_->Written(std::string_view(buffer_.get(), used_));
  const FileStatus status = file_system_.Write(handle_, buffer_.get(), used_);
  written_out_ += used_;
  if (status) not_written_back_ += used_;
  used_ = 0;
  if (status && write_back_every_ != 0 && not_written_back_ >= write_back_every_) {
    file_system_.StartWriteBack(handle_);
    not_written_back_ = 0;
    // Without memory for the helper the sync at the end does it all; a flush in the
    // destructor must not throw.
    if (background_sync_ == nullptr) background_sync_.reset(new (std::nothrow) BackgroundSync(file_system_, handle_));
    if (background_sync_ != nullptr) background_sync_->Request();
  }
  return status;
}

FileStatus BufferedFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (!is_open()) return {ERROR_INVALID_HANDLE};
  return file_system_.WriteAt(handle_, offset, bytes.data(), bytes.size());
}

FileStatus BufferedFile::Sync() {
  const FileStatus flushed = Flush();
  const FileStatus background = FinishBackgroundSync();
  if (!flushed) return flushed;
  if (!background) return background;
  return file_system_.Sync(handle_);
}

FileStatus BufferedFile::FinishBackgroundSync() {
  if (background_sync_ == nullptr) return {};
  const FileStatus status = background_sync_->Finish();
  background_sync_.reset();
  return status;
}

FileStatus BufferedFile::Close() {
  if (!is_open()) return {ERROR_INVALID_HANDLE};
  const FileStatus flushed = Flush();
  FinishBackgroundSync();  // its helper uses the handle; what it found matters only to Sync()
  const FileStatus closed = file_system_.Close(handle_);
  handle_ = kInvalidFile;
  return flushed ? closed : flushed;
}

}  // namespace ordexa
