// The registry entries libordexa.so writes and removes: every key and value of the class,
// its ProgIDs, the AppID and the type library, ForceRemove and NoRemove.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "late_bound.h"
#include "platform/registry_keys.h"
#include "platform/utf8.h"

namespace ordexa {
namespace {

constexpr const char16_t* kClassKey = u"CLSID\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F10}";
constexpr const char16_t* kAppIdKey = u"AppID\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}";
constexpr const char16_t* kLibraryKey = u"TypeLib\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}";

using test::CreateKey;
using test::KeyExists;
using test::TextValue;

std::u16string ModuleFullPath() {
  char full[PATH_MAX];
  EXPECT_NE(nullptr, realpath(ORDEXA_MODULE_PATH, full));
  return Utf8ToUtf16(full);
}

class Registration : public test::RegisteredServer {};

TEST_F(Registration, WritesTheClassProgIdsAppIdAndTypeLibrary) {
  const std::u16string clsid = u"{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F10}";
  const std::u16string libid = u"{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}";
  const std::u16string class_key = kClassKey;
  const struct {
    std::u16string key;
    const char16_t* name;
    std::u16string expected;
  } rows[] = {
      {u"Veltrano.PayManager.1", nullptr, u"CPayManager Object"},
      {u"Veltrano.PayManager.1\\CLSID", nullptr, clsid},
      {u"Veltrano.PayManager", nullptr, u"CPayManager Object"},
      {u"Veltrano.PayManager\\CLSID", nullptr, clsid},
      {u"Veltrano.PayManager\\CurVer", nullptr, u"Veltrano.PayManager.1"},
      {class_key, nullptr, u"CPayManager Object"},
      {class_key, u"AppID", libid},
      {class_key + u"\\ProgID", nullptr, u"Veltrano.PayManager.1"},
      {class_key + u"\\VersionIndependentProgID", nullptr, u"Veltrano.PayManager"},
      {class_key + u"\\Programmable", nullptr, u"<no value>"},
      {class_key + u"\\InprocServer32", nullptr, ModuleFullPath()},
      {class_key + u"\\InprocServer32", u"ThreadingModel", u"apartment"},
      {class_key + u"\\TypeLib", nullptr, libid},
      {kAppIdKey, nullptr, u"Ordexa"},
      {u"AppID\\Ordexa.DLL", u"AppID", libid},
      {std::u16string(kLibraryKey) + u"\\1.0", nullptr, u"Ordexa 1.0 Type Library"},
      {std::u16string(kLibraryKey) + u"\\1.0\\409\\win64", nullptr, ModuleFullPath()},
      {u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F21}", nullptr, u"IPayment"},
      {u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F21}\\TypeLib", nullptr, libid},
      {u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F23}", nullptr, u"IPayAddress"},
      {u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F24}", nullptr, u"IPayAddress2"},
      {u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F24}\\TypeLib", nullptr, libid},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.key));
    EXPECT_EQ(row.expected, TextValue(row.key, row.name));
  }
}

TEST_F(Registration, ForceRemoveKeysAreWrittenAfresh) {
  const std::u16string class_key = kClassKey;
  CreateKey(class_key + u"\\LocalServer32");
  CreateKey(class_key + u"\\Programmable\\Stale");
  ASSERT_EQ(S_OK, activation::RegisterServer(ORDEXA_MODULE_PATH));
  EXPECT_FALSE(KeyExists(class_key + u"\\LocalServer32"));
  EXPECT_FALSE(KeyExists(class_key + u"\\Programmable\\Stale"));
  EXPECT_TRUE(KeyExists(class_key + u"\\Programmable"));
  EXPECT_EQ(u"Veltrano.PayManager.1", TextValue(class_key + u"\\ProgID", nullptr));
}

TEST_F(Registration, UnregisteringRemovesOnlyWhatRegistrationWrote) {
  CreateKey(u"CLSID\\{00000000-0000-0000-0000-000000000001}");
  CreateKey(u"AppID\\Other.DLL");
  ASSERT_EQ(S_OK, activation::UnregisterServer(ORDEXA_MODULE_PATH));
  for (const std::u16string gone :
       {u"Veltrano.PayManager.1", u"Veltrano.PayManager", kClassKey, kAppIdKey, u"AppID\\Ordexa.DLL", kLibraryKey,
        u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F20}", u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F23}",
        u"Interface\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F24}"}) {
    EXPECT_FALSE(KeyExists(gone)) << Utf16ToUtf8(gone);
  }
  for (const std::u16string kept :
       {u"CLSID", u"AppID", u"CLSID\\{00000000-0000-0000-0000-000000000001}", u"AppID\\Other.DLL"}) {
    EXPECT_TRUE(KeyExists(kept)) << Utf16ToUtf8(kept);
  }
  // A second unregistration finds nothing to remove and still succeeds.
  EXPECT_EQ(S_OK, activation::UnregisterServer(ORDEXA_MODULE_PATH));
  ComPtr<IDispatch> manager;
  EXPECT_EQ(CO_E_CLASSSTRING,
            activation::CreateObject(u"Veltrano.PayManager", IID_IDispatch, reinterpret_cast<void**>(manager.put())));
}

TEST_F(Registration, TheProgIdFollowsItsCurrentVersion) {
  CLSID clsid{};
  ASSERT_EQ(S_OK, activation::ClassIdFromProgId(u"veltrano.paymanager", &clsid));
  EXPECT_TRUE(clsid == CLSID_PayManager);
  // Pointing the current version elsewhere changes what the version-independent name gives.
  CreateKey(u"Veltrano.PayManager.2\\CLSID", nullptr, u"{00000000-0000-0000-0000-000000000002}");
  CreateKey(u"Veltrano.PayManager\\CurVer", nullptr, u"Veltrano.PayManager.2");
  ASSERT_EQ(S_OK, activation::ClassIdFromProgId(u"Veltrano.PayManager", &clsid));
  EXPECT_EQ(2u, clsid.Data4[7]);
  ComPtr<IDispatch> manager;
  EXPECT_EQ(REGDB_E_CLASSNOTREG,
            activation::CreateObject(u"Veltrano.PayManager", IID_IDispatch, reinterpret_cast<void**>(manager.put())));
}

TEST(RegistrationFailure, ARegistryThatCannotBeWrittenGivesTheFirstFailure) {
  test::TempDir dir;
  const std::string unwritable = dir.Path("missing-folder/registry.reg");
  setenv("ORDEXA_REGISTRY", unwritable.c_str(), 1);
  EXPECT_EQ(E_ACCESSDENIED, activation::RegisterServer(ORDEXA_MODULE_PATH));
  EXPECT_FALSE(KeyExists(u"AppID"));
  unsetenv("ORDEXA_REGISTRY");
}

}  // namespace
}  // namespace ordexa
