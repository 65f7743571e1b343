// Tests of the file seam: what lands on disk and which Win32 code each failure gives.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "support/files.h"
#include "support/temp_dir.h"
#include "winerror.h"

namespace ordexa {
namespace {

using test::ReadWholeFile;

class FileSystemTest : public testing::Test {
 protected:
  // The Win32 code of creating `name`; a created file is closed again.
  std::uint32_t CreateError(const std::string& name) const {
    FileStatus status{99};
    const FileHandle file = fs_.Create(name, status);
    EXPECT_EQ(status.error == 0, file != kInvalidFile) << name;
    if (file != kInvalidFile) fs_.Close(file);
    return status.error;
  }

  const FileSystem& fs_ = SystemFileSystem();
  test::TempDir dir_;
};

TEST_F(FileSystemTest, CreatesOrEmptiesAFileAndWritesIt) {
  test::WriteWholeFile(dir_.Path("old.dta"), "previous contents");
  ASSERT_EQ(0, ::mkdir(dir_.Path("out").c_str(), 0755));
  // Backslashes separate folders, the 1252 name reaches the disk as UTF-8, the name ends at a NUL.
  for (const std::string& name :
       {dir_.Path("old.dta"), dir_.path() + "\\out\\lohn\xE4.dta", dir_.Path(std::string("cut\0*", 5))}) {
    FileStatus status{99};
    const FileHandle file = fs_.Create(name, status);
    ASSERT_EQ(0u, status.error) << name;
    EXPECT_EQ(0u, fs_.Write(file, "01\x80", 3).error);
    EXPECT_EQ(0u, fs_.Sync(file).error);
    EXPECT_EQ(0u, fs_.Close(file).error);
    // The sync really asks the system: a handle closed meanwhile is refused.
    EXPECT_EQ(ERROR_INVALID_HANDLE, fs_.Sync(file).error);
  }
  for (const char* name : {"old.dta", "out/lohn\xC3\xA4.dta", "cut"}) {
    EXPECT_EQ("01\x80", ReadWholeFile(dir_.Path(name))) << name;
  }
}

TEST_F(FileSystemTest, ReportsCreationFailuresWithWin32Codes) {
  test::WriteWholeFile(dir_.Path("plain"), "x");
  ASSERT_EQ(0, ::mkdir(dir_.Path("folder").c_str(), 0755));
  const std::string longest = dir_.Path(std::string(260 - dir_.path().size() - 1, 'n'));
  const std::pair<std::string, std::uint32_t> cases[] = {
      {longest, 0}, {longest + "n", ERROR_FILENAME_EXCED_RANGE},
      {dir_.Path("missing/pay.dta"), ERROR_PATH_NOT_FOUND}, {dir_.Path("plain/pay.dta"), ERROR_PATH_NOT_FOUND},
      {"", ERROR_PATH_NOT_FOUND}, {dir_.Path("folder"), ERROR_ACCESS_DENIED},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(expected, CreateError(name)) << name;
  for (const char c : std::string("*?<>|\"\t\x1F")) {
    EXPECT_EQ(ERROR_INVALID_NAME, CreateError(dir_.Path({'a', c}))) << int{c};
  }
  // Names refused for their form never reach the disk; the folder is left alone.
  EXPECT_EQ(3, std::distance(std::filesystem::directory_iterator(dir_.path()), {}));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.Path("folder")));
}

TEST_F(FileSystemTest, RefusesAFolderWithoutWritePermission) {
  ASSERT_EQ(0, ::mkdir(dir_.Path("locked").c_str(), 0555));
  if (::access(dir_.Path("locked").c_str(), W_OK) == 0) GTEST_SKIP() << "permissions are not enforced (root)";
  EXPECT_EQ(ERROR_ACCESS_DENIED, CreateError(dir_.Path("locked/pay.dta")));
}

TEST_F(FileSystemTest, ReportsAFullDiskAs112) {
  FileStatus status;
  const FileHandle file = fs_.Create("/dev/full", status);
  if (file == kInvalidFile) GTEST_SKIP() << "/dev/full cannot be opened: " << status.error;
  const FileStatus written = fs_.Write(file, "0123456789", 10);
  EXPECT_EQ(ERROR_DISK_FULL, written.error);
  EXPECT_EQ(MakeHresult(0x80070070u), HRESULT_FROM_WIN32(written.error));
  EXPECT_EQ(0u, fs_.Sync(file).error);  // a device has nothing to sync
  EXPECT_EQ(0u, fs_.Close(file).error);
}

TEST(Win32ErrorFromErrno, GivesTheCodeWindowsReportsForTheSameSituation) {
  const std::pair<int, std::uint32_t> cases[] = {
      {0, 0}, {ENOENT, 3}, {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5}, {EROFS, 5}, {EISDIR, 5}, {ENOSPC, 112},
      {EDQUOT, 112}, {EMFILE, 4}, {ENFILE, 4}, {EAGAIN, 32}, {EBUSY, 32}, {ETXTBSY, 32}, {EBADF, 6}, {EINVAL, 87},
      {EIO, 21}, {ENOTEMPTY, 145}, {EEXIST, 80}, {ENAMETOOLONG, 206}, {ENOMEM, 8}, {ELOOP, 31}, {EXDEV, 31},
  };
  for (const auto& [error, expected] : cases) EXPECT_EQ(expected, Win32ErrorFromErrno(error)) << error;
}

TEST_F(FileSystemTest, RenamesOverTheTargetAndRemoves) {
  const std::string target = dir_.Path("pay.xml"), missing = dir_.Path("missing/pay.xml");
  test::WriteWholeFile(target + ".tmp", "new");
  test::WriteWholeFile(target, "old");
  EXPECT_EQ(0u, fs_.Rename(target + ".tmp", target).error);
  EXPECT_EQ(std::nullopt, ReadWholeFile(target + ".tmp"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs_.Rename(dir_.Path("gone"), target).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Rename(missing, target).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Rename(target, missing).error);
  EXPECT_EQ(ERROR_INVALID_NAME, fs_.Rename(target, dir_.Path("pay?.xml")).error);
  EXPECT_EQ("new", ReadWholeFile(target));
  EXPECT_EQ(0u, fs_.Remove(target).error);
  EXPECT_EQ(std::nullopt, ReadWholeFile(target));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs_.Remove(target).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Remove(missing).error);
}

}  // namespace
}  // namespace ordexa
