// Tests of the buffered output file: byte order across buffer boundaries, write sizes and
// how write failures come back.
#include "platform/buffered_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "winerror.h"

namespace ordexa {
namespace {

constexpr std::size_t kBuffer = BufferedFile::kBufferSize;

// Keeps every write in memory; the write numbered `failing_write` (from 1) fails with a full
// disk, the sync numbered `failing_sync` with a device error. Syncs come from the helper
// thread of WriteBackAsItGoes too, so what they touch is guarded.
struct RecordingFileSystem : FileSystem {
  FileStatus Write(FileHandle, const char* data, std::size_t size) const override {
    const std::lock_guard lock(mutex);
    write_sizes.push_back(size);
    if (write_sizes.size() == failing_write) return {ERROR_DISK_FULL};
    written.append(data, size);
    return {};
  }
  FileStatus Sync(FileHandle) const override {
    std::unique_lock lock(mutex);
    syncs.push_back(written.size());
    const bool fails = syncs.size() == failing_sync;
    ++syncing;
    changed.notify_all();
    lock.unlock();
    if (sync_pause.count() != 0) std::this_thread::sleep_for(sync_pause);
    lock.lock();
    --syncing;
    return fails ? FileStatus{ERROR_NOT_READY} : FileStatus{};
  }
  void StartWriteBack(FileHandle) const override {
    const std::lock_guard lock(mutex);
    write_backs.push_back(written.size());
  }
  FileStatus Close(FileHandle) const override {
    const std::lock_guard lock(mutex);
    ++closes;
    closed_while_syncing = closed_while_syncing || syncing != 0;
    return {};
  }
  // Waits until `count` syncs have begun; false after ten seconds without them.
  bool WaitForSyncs(std::size_t count) const {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return syncs.size() >= count; });
  }

  std::size_t failing_write = 0;
  std::size_t failing_sync = 0;
  std::chrono::milliseconds sync_pause{0};
  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  mutable std::string written;
  mutable std::vector<std::size_t> write_sizes;
  mutable std::vector<std::size_t> syncs;  // the bytes written when each began
  mutable int syncing = 0;
  mutable std::vector<std::size_t> write_backs;  // the bytes written when each was asked for
  mutable int closes = 0;
  mutable bool closed_while_syncing = false;
};

// A text of `size` bytes in which every position is recognisable.
std::string Pattern(std::size_t size, std::size_t seed = 0) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + seed) % 251);
  return text;
}

// Room() and Commit() interleaved with Append(): formatted in place, in order, and the
// buffer written out only when the room asked for is not left.
TEST(BufferedFile, RoomFormattedInPlaceJoinsTheAppendedBytes) {
  RecordingFileSystem fs;
  std::string expected;
  BufferedFile file(fs, 42);
  for (const std::size_t size : {std::size_t{10}, kBuffer - 20, std::size_t{15}, kBuffer, std::size_t{0}}) {
    ASSERT_TRUE(file.Append("ab"));
    expected += "ab";
    FileStatus status;
    char* room = file.Room(size, status);
    ASSERT_NE(nullptr, room);
    const std::string piece = Pattern(size, expected.size());
    if (size != 0) std::memcpy(room, piece.data(), size);
    file.Commit(size);
    expected += piece;
  }
  // A sync writes out the buffer first.
  ASSERT_TRUE(file.Sync());
  EXPECT_EQ(expected, fs.written);
  EXPECT_EQ(std::vector<std::size_t>{expected.size()}, fs.syncs);
  ASSERT_TRUE(file.Close());
  EXPECT_EQ((std::vector<std::size_t>{kBuffer - 4, 17, kBuffer, 2}), fs.write_sizes);

  FileStatus status;
  BufferedFile open(fs, 43);
  EXPECT_EQ(nullptr, open.Room(kBuffer + 1, status));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, status.error);
  ASSERT_TRUE(open.Close());
  EXPECT_EQ(nullptr, open.Room(1, status));
  EXPECT_EQ(ERROR_INVALID_HANDLE, status.error);
}

TEST(BufferedFile, DeliversEveryByteInOrderInFullBufferWrites) {
  RecordingFileSystem fs;
  std::string expected;
  {
    BufferedFile file(fs, 42);  // closed by the destructor
    for (const std::size_t size : {std::size_t{1}, std::size_t{700}, kBuffer - 701, std::size_t{3}, kBuffer,
                                   2 * kBuffer + 5, std::size_t{0}, std::size_t{17}}) {
      const std::string piece = Pattern(size, expected.size());
      ASSERT_TRUE(file.Append(piece));
      expected += piece;
    }
  }
  EXPECT_EQ(expected, fs.written);
  std::vector<std::size_t> sizes(expected.size() / kBuffer, kBuffer);
  sizes.push_back(expected.size() % kBuffer);
  EXPECT_EQ(sizes, fs.write_sizes);
  EXPECT_EQ(1, fs.closes);
}

TEST(BufferedFile, AsksForWriteBackEveryGivenBytesOnlyWhenToldTo) {
  const struct {
    std::size_t every;  // 0: never told
    std::size_t failing_write;
    std::vector<std::size_t> write_backs;
  } cases[] = {
      {0, 0, {}},
      {2 * kBuffer, 0, {2 * kBuffer, 4 * kBuffer}},
      {kBuffer + 1, 0, {2 * kBuffer, 4 * kBuffer, 5 * kBuffer + 4}},  // counted in whole writes
      {2 * kBuffer, 2, {2 * kBuffer}},  // the bytes of a failed write do not count
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.every);
    RecordingFileSystem fs;
    fs.failing_write = c.failing_write;
    BufferedFile file(fs, 42);
    if (c.every != 0) file.WriteBackAsItGoes(c.every);
    for (int i = 0; i < 5; ++i) file.Append(Pattern(kBuffer, static_cast<std::size_t>(i)));
    file.Append("tail");
    file.Close();
    EXPECT_EQ(c.write_backs, fs.write_backs);
  }
}

// Told to write back as it goes, the file is synced in the background while it is written;
// a failure of such a sync comes back from Sync() even when the last sync succeeds, since
// the system reports a failed sync only once.
TEST(BufferedFile, SyncsInTheBackgroundAsItGoesAndReportsTheFirstFailure) {
  const struct {
    std::size_t failing_sync;
    std::uint32_t expected;
    std::vector<std::size_t> syncs;  // the bytes written when each began
  } cases[] = {
      {0, 0, {kBuffer, kBuffer + 4}},  // in the background at the write-back, then after every byte
      {1, ERROR_NOT_READY, {kBuffer}},  // the file is not to be trusted: no sync after it
      {2, ERROR_NOT_READY, {kBuffer, kBuffer + 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing_sync);
    RecordingFileSystem fs;
    fs.failing_sync = c.failing_sync;
    BufferedFile file(fs, 42);
    file.WriteBackAsItGoes(kBuffer);
    ASSERT_TRUE(file.Append(Pattern(kBuffer)));
    ASSERT_TRUE(file.Flush());
    ASSERT_TRUE(fs.WaitForSyncs(1));
    ASSERT_TRUE(file.Append("tail"));
    EXPECT_EQ(c.expected, file.Sync().error);
    EXPECT_EQ(c.syncs, fs.syncs);
    EXPECT_TRUE(file.Close());
  }
}

// The helper's sync uses the handle: closing waits for it, on every way out.
TEST(BufferedFile, ClosesOnlyAfterTheBackgroundSyncIsDone) {
  for (const bool by_destructor : {false, true}) {
    SCOPED_TRACE(by_destructor);
    RecordingFileSystem fs;
    fs.sync_pause = std::chrono::milliseconds(50);
    {
      BufferedFile file(fs, 42);
      file.WriteBackAsItGoes(kBuffer);
      ASSERT_TRUE(file.Append(Pattern(kBuffer)));
      ASSERT_TRUE(file.Flush());
      ASSERT_TRUE(fs.WaitForSyncs(1));
      if (!by_destructor) {
        EXPECT_TRUE(file.Close());
      }
    }
    EXPECT_EQ(1, fs.closes);
    EXPECT_FALSE(fs.closed_while_syncing);
  }
}

TEST(BufferedFile, ReportsAFailedWriteAndDropsItsBytes) {
  RecordingFileSystem fs;
  fs.failing_write = 1;
  BufferedFile file(fs, 42);
  EXPECT_TRUE(file.Append(Pattern(kBuffer - 1)));
  EXPECT_EQ(ERROR_DISK_FULL, file.Append("ab").error);  // the write it needs fails
  fs.failing_write = 3;
  const std::string first = Pattern(kBuffer, 1);
  EXPECT_TRUE(file.Append(first + Pattern(kBuffer, 2)));
  EXPECT_EQ(ERROR_DISK_FULL, file.Append("x").error);
  EXPECT_TRUE(file.Append("after"));
  EXPECT_TRUE(file.Flush());
  fs.failing_write = 5;
  EXPECT_TRUE(file.Append("record"));
  EXPECT_EQ(ERROR_DISK_FULL, file.Close().error);
  EXPECT_EQ(ERROR_INVALID_HANDLE, file.Append("more").error);
  EXPECT_EQ(ERROR_INVALID_HANDLE, file.Close().error);
  EXPECT_EQ(1, fs.closes);  // closed all the same, and only once
  EXPECT_EQ(first + "after", fs.written);
}

}  // namespace
}  // namespace ordexa
