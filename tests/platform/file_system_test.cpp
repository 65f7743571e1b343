// Tests of the file seam: what lands on disk and which Win32 code each failure gives.
#include "platform/file_system.h"

#include <gtest/gtest.h>

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
    std::filesystem::permissions(Path("locked"), std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  std::string ReadAll(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  const FileSystem& fs_ = SystemFileSystem();
  std::string folder_;
};

TEST_F(FileSystemTest, CreatesOrEmptiesAFileAndWritesIt) {
  std::ofstream(Path("old.dta")) << "previous contents";
  ASSERT_EQ(0, ::mkdir(Path("out").c_str(), 0755));
  // Backslashes are folder separators and the 1252 name reaches the disk as UTF-8; the
  // name ends at its first NUL.
  for (const std::string& name : {Path("old.dta"), folder_ + "\\out\\lohn\xE4.dta", Path(std::string("cut\0*", 5))}) {
    FileStatus status{99};
    const FileHandle file = fs_.Create(name, status);
    ASSERT_NE(kInvalidFile, file) << name;
    EXPECT_EQ(0u, status.error);
    EXPECT_EQ(0u, fs_.Write(file, "01\x80", 3).error);
    EXPECT_EQ(0u, fs_.Sync(file).error);
    EXPECT_EQ(0u, fs_.Close(file).error);
  }
  EXPECT_EQ("01\x80", ReadAll("old.dta"));
  EXPECT_EQ("01\x80", ReadAll("out/lohn\xC3\xA4.dta"));
  EXPECT_EQ("01\x80", ReadAll("cut"));
  EXPECT_EQ("C:/pay/lohn\xC3\xA4.dta", AnsiNameToPath("C:\\pay\\lohn\xE4.dta"));
}

TEST_F(FileSystemTest, ReportsCreationFailuresWithWin32Codes) {
  std::ofstream(Path("plain")) << "x";
  ASSERT_EQ(0, ::mkdir(Path("folder").c_str(), 0755));
  const std::string longest = Path(std::string(260 - folder_.size() - 1, 'n'));
  ASSERT_EQ(260u, longest.size());
  struct Case {
    std::string name;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {longest, 0},
      {longest + "n", ERROR_FILENAME_EXCED_RANGE},
      {Path("missing/pay.dta"), ERROR_PATH_NOT_FOUND},
      {Path("plain/pay.dta"), ERROR_PATH_NOT_FOUND},
      {"", ERROR_PATH_NOT_FOUND},
      {Path("folder"), ERROR_ACCESS_DENIED},
      {Path("a*"), ERROR_INVALID_NAME},
      {Path("a?"), ERROR_INVALID_NAME},
      {Path("a<"), ERROR_INVALID_NAME},
      {Path("a>"), ERROR_INVALID_NAME},
      {Path("a|"), ERROR_INVALID_NAME},
      {Path("a\""), ERROR_INVALID_NAME},
      {Path("a\t"), ERROR_INVALID_NAME},
      {Path("a\x1F"), ERROR_INVALID_NAME},
  };
  for (const Case& c : cases) {
    FileStatus status;
    const FileHandle file = fs_.Create(c.name, status);
    EXPECT_EQ(c.expected, status.error) << c.name;
    EXPECT_EQ(c.expected == 0, file != kInvalidFile) << c.name;
    if (file != kInvalidFile) fs_.Close(file);
  }
  // Names refused for their form never reach the disk; the folder is left alone.
  EXPECT_EQ(3, std::distance(std::filesystem::directory_iterator(folder_), {}));
  EXPECT_TRUE(std::filesystem::is_directory(Path("folder")));
}

TEST_F(FileSystemTest, RefusesAFolderWithoutWritePermission) {
  ASSERT_EQ(0, ::mkdir(Path("locked").c_str(), 0555));
  if (::access(Path("locked").c_str(), W_OK) == 0) GTEST_SKIP() << "permissions are not enforced (root)";
  FileStatus status;
  EXPECT_EQ(kInvalidFile, fs_.Create(Path("locked/pay.dta"), status));
  EXPECT_EQ(ERROR_ACCESS_DENIED, status.error);
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
  EXPECT_EQ(ERROR_INVALID_HANDLE, fs_.Write(kInvalidFile, "x", 1).error);
}

TEST_F(FileSystemTest, RenamesOverTheTargetAndRemoves) {
  std::ofstream(Path("pay.xml.tmp")) << "new";
  std::ofstream(Path("pay.xml")) << "old";
  EXPECT_EQ(0u, fs_.Rename(Path("pay.xml.tmp"), Path("pay.xml")).error);
  EXPECT_EQ("new", ReadAll("pay.xml"));
  EXPECT_FALSE(std::filesystem::exists(Path("pay.xml.tmp")));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs_.Rename(Path("gone"), Path("pay.xml")).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Rename(Path("missing/gone"), Path("pay.xml")).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Rename(Path("pay.xml"), Path("missing/pay.xml")).error);
  EXPECT_EQ(ERROR_INVALID_NAME, fs_.Rename(Path("pay.xml"), Path("pay?.xml")).error);
  EXPECT_EQ("new", ReadAll("pay.xml"));

  EXPECT_EQ(0u, fs_.Remove(Path("pay.xml")).error);
  EXPECT_FALSE(std::filesystem::exists(Path("pay.xml")));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs_.Remove(Path("pay.xml")).error);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, fs_.Remove(Path("missing/pay.xml")).error);
}

}  // namespace
}  // namespace ordexa
