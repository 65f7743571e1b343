// Tests of the buffered output file: byte order across buffer boundaries, write sizes and
// how write failures come back.
#include "platform/buffered_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "winerror.h"

namespace ordexa {
namespace {

constexpr FileHandle kFakeHandle = 42;
constexpr std::size_t kBuffer = BufferedFile::kBufferSize;

// Keeps every write in memory; the write numbered `failing_write` (from 1) fails with
// a full disk.
class RecordingFileSystem : public FileSystem {
 public:
  FileStatus Write(FileHandle file, const char* data, std::size_t size) const override {
    EXPECT_EQ(kFakeHandle, file);
    write_sizes.push_back(size);
    if (write_sizes.size() == failing_write) return {ERROR_DISK_FULL};
    written.append(data, size);
    return {};
  }
  FileStatus Sync(FileHandle) const override {
    sync_at.push_back(written.size());
    return {};
  }
  FileStatus Close(FileHandle file) const override {
    EXPECT_EQ(kFakeHandle, file);
    ++closes;
    return {};
  }

  std::size_t failing_write = 0;
  mutable std::string written;
  mutable std::vector<std::size_t> write_sizes;
  mutable std::vector<std::size_t> sync_at;
  mutable int closes = 0;
};

// A text of `size` bytes in which every position is recognisable.
std::string Pattern(std::size_t size, std::size_t seed = 0) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + seed) % 251);
  return text;
}

TEST(BufferedFile, DeliversEveryByteInOrderInFullBufferWrites) {
  RecordingFileSystem fs;
  std::string expected;
  {
    BufferedFile file(fs, kFakeHandle);
    // Piece sizes that straddle the buffer boundary in different ways.
    const std::size_t sizes[] = {1, 128, 700, kBuffer - 829, 3, kBuffer, 2 * kBuffer + 5, 0, 17};
    std::size_t seed = 0;
    for (const std::size_t size : sizes) {
      const std::string piece = Pattern(size, seed++);
      ASSERT_TRUE(file.Append(piece));
      expected += piece;
    }
    ASSERT_TRUE(file.Close());
    EXPECT_FALSE(file.is_open());
  }
  EXPECT_EQ(expected, fs.written);
  ASSERT_FALSE(fs.write_sizes.empty());
  for (std::size_t i = 0; i + 1 < fs.write_sizes.size(); ++i) EXPECT_EQ(kBuffer, fs.write_sizes[i]) << i;
  EXPECT_EQ(expected.size() % kBuffer, fs.write_sizes.back());
  EXPECT_EQ(1, fs.closes);
}

TEST(BufferedFile, ReservedBytesKeepTheirPlaceBetweenAppends) {
  RecordingFileSystem fs;
  BufferedFile file(fs, kFakeHandle);
  const std::string head = Pattern(kBuffer - 10);
  ASSERT_TRUE(file.Append(head));
  FileStatus status{99};
  // 128 bytes do not fit behind the 10 left: the buffer goes out first.
  char* room = file.Reserve(128, status);
  ASSERT_NE(nullptr, room);
  EXPECT_TRUE(status);
  ASSERT_EQ(1u, fs.write_sizes.size());
  std::memset(room, 'R', 128);
  file.Commit(100);  // only part of the room is used
  ASSERT_TRUE(file.Append("tail"));
  room = file.Reserve(kBuffer - 104, status);  // exactly the room left: no write
  ASSERT_NE(nullptr, room);
  EXPECT_EQ(1u, fs.write_sizes.size());
  file.Commit(0);
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(head + std::string(100, 'R') + "tail", fs.written);
}

TEST(BufferedFile, RefusesToReserveMoreThanTheBuffer) {
  RecordingFileSystem fs;
  BufferedFile file(fs, kFakeHandle);
  FileStatus status;
  EXPECT_EQ(nullptr, file.Reserve(kBuffer + 1, status));
  EXPECT_FALSE(status);
  EXPECT_NE(nullptr, file.Reserve(kBuffer, status));
  EXPECT_TRUE(status);
}

TEST(BufferedFile, ReportsAFailedWriteAndDropsItsBytes) {
  RecordingFileSystem fs;
  fs.failing_write = 2;
  BufferedFile file(fs, kFakeHandle);
  const std::string first = Pattern(kBuffer, 1);
  const std::string second = Pattern(kBuffer, 2);
  EXPECT_TRUE(file.Append(first));
  EXPECT_TRUE(file.Append(second));  // buffered, the first buffer is written
  EXPECT_EQ(ERROR_DISK_FULL, file.Append("x").error);  // writing the second fails
  EXPECT_TRUE(file.Append("after"));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(first + "after", fs.written);
  EXPECT_EQ(1, fs.closes);
}

TEST(BufferedFile, ReportsAFailedFinalWriteFromCloseAndStillCloses) {
  RecordingFileSystem fs;
  fs.failing_write = 1;
  BufferedFile file(fs, kFakeHandle);
  EXPECT_TRUE(file.Append("record"));
  EXPECT_EQ(ERROR_DISK_FULL, file.Close().error);
  EXPECT_FALSE(file.is_open());
  EXPECT_EQ(1, fs.closes);
  EXPECT_EQ(ERROR_INVALID_HANDLE, file.Append("more").error);
  EXPECT_EQ(ERROR_INVALID_HANDLE, file.Close().error);
  EXPECT_EQ(1, fs.closes);
}

TEST(BufferedFile, ReportsAFailedWriteFromReserveAndFlush) {
  RecordingFileSystem fs;
  fs.failing_write = 1;
  BufferedFile file(fs, kFakeHandle);
  EXPECT_TRUE(file.Append(Pattern(kBuffer - 1)));
  FileStatus status;
  EXPECT_EQ(nullptr, file.Reserve(2, status));
  EXPECT_EQ(ERROR_DISK_FULL, status.error);
  EXPECT_TRUE(file.Append("ok"));
  EXPECT_TRUE(file.Flush());
  EXPECT_EQ("ok", fs.written);
}

TEST(BufferedFile, SyncWritesOutTheBufferFirst) {
  RecordingFileSystem fs;
  BufferedFile file(fs, kFakeHandle);
  EXPECT_TRUE(file.Append("header"));
  EXPECT_TRUE(file.Sync());
  ASSERT_EQ(1u, fs.sync_at.size());
  EXPECT_EQ(6u, fs.sync_at[0]);
}

TEST(BufferedFile, DestructorWritesOutAndCloses) {
  RecordingFileSystem fs;
  {
    BufferedFile file(fs, kFakeHandle);
    EXPECT_TRUE(file.Append("last words"));
  }
  EXPECT_EQ("last words", fs.written);
  EXPECT_EQ(1, fs.closes);
}

TEST(BufferedFile, WritesARealFileThroughTheSystemFileSystem) {
  std::string folder = testing::TempDir() + "ordexa_bf_XXXXXX";
  ASSERT_NE(nullptr, ::mkdtemp(folder.data()));
  const std::string path = folder + "/pay.dta";
  const std::string contents = Pattern(3 * kBuffer + 77);
  {
    FileStatus status;
    const FileSystem& fs = SystemFileSystem();
    BufferedFile file(fs, fs.Create(path, status));
    ASSERT_TRUE(status);
    for (std::size_t at = 0; at < contents.size(); at += 700) {
      ASSERT_TRUE(file.Append(std::string_view(contents).substr(at, 700)));
    }
    ASSERT_TRUE(file.Close());
  }
  std::ifstream in(path, std::ios::binary);
  const std::string on_disk{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(contents, on_disk);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace ordexa
