// Tests of the file seam: what lands on disk and which Win32 code each failure gives.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "winerror.h"

namespace ordexa {
namespace {

class FileSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "ordexa_fs_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_, ignored)) {
      if (entry.is_directory(ignored)) ::chmod(entry.path().c_str(), 0755);
    }
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  const FileSystem& fs_ = SystemFileSystem();
  std::string folder_;
};

TEST_F(FileSystemTest, CreatesWritesAndClosesAFile) {
  FileStatus status{99};
  const FileHandle file = fs_.Create(Path("pay.dta"), status);
  ASSERT_NE(kInvalidFile, file);
  EXPECT_EQ(0u, status.error);
  EXPECT_EQ(0u, fs_.Write(file, "01\x80", 3).error);
  EXPECT_EQ(0u, fs_.Write(file, "", 0).error);
  EXPECT_EQ(0u, fs_.Sync(file).error);
  EXPECT_EQ(0u, fs_.Close(file).error);
  EXPECT_EQ("01\x80", ReadAll(Path("pay.dta")));
}

TEST_F(FileSystemTest, EmptiesAnExistingFile) {
  std::ofstream(Path("old.dta")) << "previous contents";
  FileStatus status;
  const FileHandle file = fs_.Create(Path("old.dta"), status);
  ASSERT_NE(kInvalidFile, file);
  EXPECT_EQ(0u, fs_.Write(file, "new", 3).error);
  EXPECT_EQ(0u, fs_.Close(file).error);
  EXPECT_EQ("new", ReadAll(Path("old.dta")));
}

TEST_F(FileSystemTest, TurnsBackslashesAndCp1252NamesIntoLinuxPaths) {
  ASSERT_EQ(0, ::mkdir(Path("out").c_str(), 0755));
  FileStatus status;
  const FileHandle file = fs_.Create(folder_ + "\\out\\lohn\xE4.dta", status);
  ASSERT_NE(kInvalidFile, file) << status.error;
  fs_.Close(file);
  EXPECT_TRUE(std::filesystem::exists(Path("out/lohn\xC3\xA4.dta")));
  EXPECT_EQ("C:/pay/lohn\xC3\xA4.dta", AnsiNameToPath("C:\\pay\\lohn\xE4.dta"));
}

TEST_F(FileSystemTest, ReportsCreationFailuresWithWin32Codes) {
  std::ofstream(Path("plain")) << "x";
  ASSERT_EQ(0, ::mkdir(Path("folder").c_str(), 0755));
  struct Case {
    std::string name;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {Path("missing/pay.dta"), ERROR_PATH_NOT_FOUND},
      {Path("plain/pay.dta"), ERROR_PATH_NOT_FOUND},  // a directory part is a file
      {Path("folder"), ERROR_ACCESS_DENIED},
      {"", ERROR_PATH_NOT_FOUND},
      {Path("a*b"), ERROR_INVALID_NAME},
      {Path("a?b"), ERROR_INVALID_NAME},
      {Path("a<b"), ERROR_INVALID_NAME},
      {Path("a>b"), ERROR_INVALID_NAME},
      {Path("a|b"), ERROR_INVALID_NAME},
      {Path("a\"b"), ERROR_INVALID_NAME},
      {Path("a\tb"), ERROR_INVALID_NAME},
      {Path("a\x1F" "b"), ERROR_INVALID_NAME},
      {Path(std::string(300, 'n')), ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Case& c : cases) {
    FileStatus status;
    EXPECT_EQ(kInvalidFile, fs_.Create(c.name, status)) << c.name;
    EXPECT_EQ(c.expected, status.error) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(Path("folder")));
  // Names refused for their form never reach the disk.
  EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folder_), {}));
}

TEST_F(FileSystemTest, LimitsAnsiNamesTo260Characters) {
  ASSERT_LT(folder_.size() + 1, 260u - 10);
  const std::string longest = Path(std::string(260 - folder_.size() - 1, 'n'));
  const std::string too_long = longest + "n";
  ASSERT_EQ(260u, longest.size());
  ASSERT_EQ(261u, too_long.size());

  FileStatus status;
  const FileHandle file = fs_.Create(longest, status);
  EXPECT_NE(kInvalidFile, file) << status.error;
  if (file != kInvalidFile) fs_.Close(file);

  EXPECT_EQ(kInvalidFile, fs_.Create(too_long, status));
  EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, status.error);
  EXPECT_FALSE(std::filesystem::exists(too_long));
}

TEST_F(FileSystemTest, ANameEndsAtItsFirstNul) {
  FileStatus status;
  const FileHandle file = fs_.Create(Path(std::string("cut\0*.dta", 9)), status);
  ASSERT_NE(kInvalidFile, file) << status.error;
  fs_.Close(file);
  EXPECT_TRUE(std::filesystem::exists(Path("cut")));
}

TEST_F(FileSystemTest, RefusesAFolderWithoutWritePermission) {
  ASSERT_EQ(0, ::mkdir(Path("locked").c_str(), 0555));
  if (::access(Path("locked").c_str(), W_OK) == 0) {
    GTEST_SKIP() << "permissions are not enforced for this user (root)";
  }
  FileStatus status;
  EXPECT_EQ(kInvalidFile, fs_.Create(Path("locked/pay.dta"), status));
  EXPECT_EQ(ERROR_ACCESS_DENIED, status.error);
}

TEST_F(FileSystemTest, ReportsAFullDiskAs112) {
  FileStatus status;
  const FileHandle file = fs_.Create("/dev/full", status);
  if (file == kInvalidFile) GTEST_SKIP() << "/dev/full cannot be opened here: " << status.error;
  const FileStatus written = fs_.Write(file, "0123456789", 10);
  EXPECT_EQ(ERROR_DISK_FULL, written.error);
  EXPECT_EQ(MakeHresult(0x80070070u), HRESULT_FROM_WIN32(written.error));
  EXPECT_EQ(0u, fs_.Sync(file).error);  // a device has nothing to sync
  EXPECT_EQ(0u, fs_.Close(file).error);
}

TEST_F(FileSystemTest, RenameReplacesTheTarget) {
  std::ofstream(Path("pay.xml.tmp")) << "new";
  std::ofstream(Path("pay.xml")) << "old";
  EXPECT_EQ(0u, fs_.Rename(Path("pay.xml.tmp"), Path("pay.xml")).error);
  EXPECT_EQ("new", ReadAll(Path("pay.xml")));
  EXPECT_FALSE(std::filesystem::exists(Path("pay.xml.tmp")));

  EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs_.Rename(Path("gone"), Path("pay.xml")).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Rename(Path("missing/gone"), Path("pay.xml")).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Rename(Path("pay.xml"), Path("missing/pay.xml")).error);
  EXPECT_EQ(ERROR_INVALID_NAME, fs_.Rename(Path("pay.xml"), Path("pay?.xml")).error);
  EXPECT_EQ("new", ReadAll(Path("pay.xml")));
}

TEST_F(FileSystemTest, RemoveDeletesAFile) {
  std::ofstream(Path("pay.dta")) << "x";
  ASSERT_EQ(0, ::mkdir(Path("folder").c_str(), 0755));
  EXPECT_EQ(0u, fs_.Remove(Path("pay.dta")).error);
  EXPECT_FALSE(std::filesystem::exists(Path("pay.dta")));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs_.Remove(Path("pay.dta")).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Remove(Path("missing/pay.dta")).error);
  EXPECT_EQ(ERROR_ACCESS_DENIED, fs_.Remove(Path("folder")).error);
}

TEST_F(FileSystemTest, CallsOnAnInvalidHandleFailWithInvalidHandle) {
  EXPECT_EQ(ERROR_INVALID_HANDLE, fs_.Write(kInvalidFile, "x", 1).error);
  EXPECT_EQ(ERROR_INVALID_HANDLE, fs_.Sync(kInvalidFile).error);
  EXPECT_EQ(ERROR_INVALID_HANDLE, fs_.Close(kInvalidFile).error);
}

TEST(Win32ErrorFromErrno, MapsErrnoToWhatWindowsReports) {
  struct Case {
    int error_number;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0, 0},       {ENOENT, 3},       {ENOTDIR, 3},  {EACCES, 5},  {EPERM, 5},   {EROFS, 5},
      {EISDIR, 5},  {ENOSPC, 112},     {EDQUOT, 112}, {EMFILE, 4},  {ENFILE, 4},  {EAGAIN, 32},
      {EBUSY, 32},  {ETXTBSY, 32},     {EBADF, 6},    {EINVAL, 87}, {EIO, 21},    {ENOTEMPTY, 145},
      {EEXIST, 80}, {ENAMETOOLONG, 206}, {ENOMEM, 8}, {EXDEV, 31},  {ELOOP, 31},  {-1, 31},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, Win32ErrorFromErrno(c.error_number)) << c.error_number;
}

}  // namespace
}  // namespace ordexa
