// The registry stand-in: keys and values under HKEY_CLASSES_ROOT, names without regard to
// case, tree and key deletion, value sizes, and the registry file that separate copies of
// the platform share.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/files.h"
#include "platform/registry_keys.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

constexpr LSTATUS Code(std::uint32_t code) { return static_cast<LSTATUS>(code); }
using test::CreateKey;
using test::KeyExists;
using test::TextValue;

// Each test starts from an empty registry kept in memory only.
class Registry : public testing::Test {
 protected:
  void SetUp() override {
    unsetenv("ORDEXA_REGISTRY");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, nullptr);
  }
  void TearDown() override {
    unsetenv("ORDEXA_REGISTRY");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, nullptr);
  }
};

TEST_F(Registry, KeysAndValueNamesIgnoreCase) {
  ASSERT_EQ(0, CreateKey(u"Veltrano.PayManager\\CurVer", nullptr, u"Veltrano.PayManager.1"));
  ASSERT_EQ(0, CreateKey(u"VELTRANO.PAYMANAGER", u"Name", u"a"));
  EXPECT_EQ(u"Veltrano.PayManager.1", TextValue(u"veltrano.paymanager\\curver", nullptr));
  EXPECT_EQ(u"a", TextValue(u"Veltrano.PayManager", u"NAME"));
  EXPECT_EQ(u"<no value>", TextValue(u"Veltrano.PayManager", nullptr));
  EXPECT_EQ(u"<no key>", TextValue(u"Veltrano.PayManager\\CurVer\\Missing", nullptr));
  // The empty name and the null name are the same default value.
  ASSERT_EQ(0, CreateKey(u"Veltrano.PayManager", u"", u"default"));
  EXPECT_EQ(u"default", TextValue(u"Veltrano.PayManager", nullptr));
}

TEST_F(Registry, CreationTellsWhetherTheKeyExisted) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(0, RegCreateKeyExW(HKEY_CLASSES_ROOT, u"A\\B\\C", 0, nullptr, 0, KEY_WRITE, nullptr, &key, &disposition));
  EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
  HKEY below = nullptr;
  ASSERT_EQ(0, RegCreateKeyExW(key, u"D", 0, nullptr, 0, KEY_WRITE, nullptr, &below, &disposition));
  EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
  RegCloseKey(below);
  RegCloseKey(key);
  ASSERT_EQ(0, RegCreateKeyExW(HKEY_CLASSES_ROOT, u"a\\b", 0, nullptr, 0, KEY_WRITE, nullptr, &key, &disposition));
  EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
  RegCloseKey(key);
  EXPECT_TRUE(KeyExists(u"A\\B\\C\\D"));
}

TEST_F(Registry, DeletionOfKeysAndTrees) {
  ASSERT_EQ(0, CreateKey(u"CLSID\\{X}\\InprocServer32", nullptr, u"path"));
  ASSERT_EQ(0, CreateKey(u"CLSID\\{Y}", nullptr, u"other"));
  const struct {
    const char16_t* rule;
    LSTATUS (*call)();
    LSTATUS expected;
    bool x_left;
  } rows[] = {
      {u"a key with subkeys is not deleted alone", [] { return RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{X}"); },
       Code(ERROR_ACCESS_DENIED), true},
      {u"a missing tree", [] { return RegDeleteTreeW(HKEY_CLASSES_ROOT, u"CLSID\\{Z}"); }, Code(ERROR_FILE_NOT_FOUND),
       true},
      {u"a tree goes whole", [] { return RegDeleteTreeW(HKEY_CLASSES_ROOT, u"clsid\\{x}"); }, 0, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, row.call());
    EXPECT_EQ(row.x_left, KeyExists(u"CLSID\\{X}\\InprocServer32"));
  }
  EXPECT_TRUE(KeyExists(u"CLSID\\{Y}"));
  EXPECT_TRUE(KeyExists(u"CLSID"));
}

TEST_F(Registry, QueriesReportTheNeededSize) {
  ASSERT_EQ(0, CreateKey(u"K", u"V", u"abcdef"));
  HKEY key = nullptr;
  ASSERT_EQ(0, RegOpenKeyExW(HKEY_CLASSES_ROOT, u"K", 0, KEY_READ, &key));
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(0, RegQueryValueExW(key, u"V", nullptr, &type, nullptr, &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(14u, size);  // six characters and the NUL
  char16_t small[3];
  size = sizeof small;
  EXPECT_EQ(Code(ERROR_MORE_DATA),
            RegQueryValueExW(key, u"V", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size));
  EXPECT_EQ(14u, size);
  EXPECT_EQ(Code(ERROR_FILE_NOT_FOUND), RegQueryValueExW(key, u"W", nullptr, nullptr, nullptr, &size));
  RegCloseKey(key);
  // A handle to a key deleted meanwhile fails rather than reaching freed data.
  ASSERT_EQ(0, RegOpenKeyExW(HKEY_CLASSES_ROOT, u"K", 0, KEY_READ, &key));
  ASSERT_EQ(0, RegDeleteTreeW(HKEY_CLASSES_ROOT, u"K"));
  EXPECT_EQ(Code(ERROR_KEY_DELETED), RegQueryValueExW(key, u"V", nullptr, nullptr, nullptr, &size));
  RegCloseKey(key);
}

TEST_F(Registry, TheRegistryFileIsReadBeforeAndWrittenAfterEveryCall) {
  test::TempDir dir;
  const std::string file = dir.Path("registry.reg");
  setenv("ORDEXA_REGISTRY", file.c_str(), 1);
  ASSERT_EQ(0, CreateKey(u"CLSID\\{X}\\InprocServer32", nullptr, u"/opt/z\u00FCrich/lib\"ordexa\\.so"));
  ASSERT_EQ(0, CreateKey(u"CLSID\\{X}\\InprocServer32", u"ThreadingModel", u"apartment"));
  const std::string written = test::ReadWholeFile(file).value_or("");
  EXPECT_NE(std::string::npos, written.find("[CLSID\\{X}\\InprocServer32]\n"
                                            "@=\"/opt/z\xC3\xBCrich/lib\\\"ordexa\\\\.so\"\n"
                                            "\"ThreadingModel\"=\"apartment\"\n"))
      << written;
  // Another copy of the platform changes the file: the next call sees it.
  test::WriteWholeFile(file, "Windows Registry Editor Version 5.00\n\n[Other\\Key]\n\"Name\"=\"value\"\n");
  EXPECT_EQ(u"value", TextValue(u"Other\\Key", u"Name"));
  EXPECT_FALSE(KeyExists(u"CLSID"));
  // Without the file, the process keeps what it saw last, and its changes stay its own.
  unsetenv("ORDEXA_REGISTRY");
  ASSERT_EQ(0, CreateKey(u"Other\\Key", u"Name", u"changed"));
  EXPECT_EQ(u"changed", TextValue(u"Other\\Key", u"Name"));
  EXPECT_EQ(std::string::npos, test::ReadWholeFile(file).value_or("").find("changed"));
}

}  // namespace
}  // namespace ordexa
