// Registry entries of the component, written and removed through the platform's registry
// functions; the interfaces (IPayAddress2 as much as the others) are registered with the
// type library. Keys marked ForceRemove are deleted with their subkeys before being written;
// CLSID and AppID are shared keys and never removed.
#include "com/registration.h"

#include <string>
#include <string_view>

#include "com/member_table.h"
#include "com/type_library.h"
#include "model/pay_manager.h"

namespace ordexa {
namespace {

using OleString = std::basic_string<OLECHAR>;

// A script that catches a failure of WriteFile sees the ProgID it created the manager by.
static_assert(kErrorSource == kVersionIndependentProgId, "error information names another source than the ProgID");

constexpr bool Succeeded(LSTATUS status) { return status == static_cast<LSTATUS>(ERROR_SUCCESS); }
constexpr bool IsNotFound(LSTATUS status) { return status == static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND); }

OleString Widen(std::string_view text) { return OleString(text.begin(), text.end()); }

OleString GuidText(REFGUID guid) {
  OLECHAR text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

// The thread locale switched to the system default while the registry is written.
class SystemLocaleScope {
 public:
  SystemLocaleScope() : previous_(GetThreadLocale()) { SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
  ~SystemLocaleScope() { SetThreadLocale(previous_); }
  SystemLocaleScope(const SystemLocaleScope&) = delete;
  SystemLocaleScope& operator=(const SystemLocaleScope&) = delete;

 private:
  LCID previous_;
};

// One written key: created (with every missing key above it) and closed when done.
class WrittenKey {
 public:
  WrittenKey(HKEY parent, const OleString& subkey) {
    status_ = RegCreateKeyExW(parent, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key_,
                              nullptr);
    if (!Succeeded(status_)) key_ = nullptr;
  }
  // The key is closed whenever it was opened, also after a later write through it failed.
  ~WrittenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  WrittenKey(const WrittenKey&) = delete;
  WrittenKey& operator=(const WrittenKey&) = delete;

  // SetText(): a text value (null name: the default value); the first failure sticks.
  WrittenKey& SetText(const OLECHAR* name, const OleString& text) {
    if (Succeeded(status_)) {
      status_ = RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * sizeof(OLECHAR)));
    }
    return *this;
  }
  // Subkey(): a subkey with its default value.
  WrittenKey& Subkey(const OleString& name, const OleString& text) {
    if (Succeeded(status_)) status_ = WrittenKey(key_, name).SetText(nullptr, text).status();
    return *this;
  }
  WrittenKey& EmptySubkey(const OleString& name) {
    if (Succeeded(status_)) status_ = WrittenKey(key_, name).status();
    return *this;
  }
  LSTATUS status() const { return status_; }
  HKEY key() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LSTATUS status_;
};

HRESULT ResultOf(LSTATUS status) { return Succeeded(status) ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status)); }

// ForceRemove: the key goes with everything below it before it is written anew.
LSTATUS ForceRemove(HKEY parent, const OleString& subkey) {
  const LSTATUS status = RegDeleteTreeW(parent, subkey.c_str());
  return IsNotFound(status) ? static_cast<LSTATUS>(ERROR_SUCCESS) : status;
}

HRESULT RegisterAppId() {
  const OleString app_id = GuidText(LIBID_Ordexa);
  LSTATUS status = WrittenKey(HKEY_CLASSES_ROOT, OLESTR("AppID\\") + app_id).SetText(nullptr, Widen(kAppName)).status();
  if (Succeeded(status)) {
    status =
        WrittenKey(HKEY_CLASSES_ROOT, OLESTR("AppID\\") + Widen(kModuleName)).SetText(OLESTR("AppID"), app_id).status();
  }
  return ResultOf(status);
}

HRESULT RegisterClass(LPCOLESTR module_path) {
  const OleString clsid = GuidText(CLSID_PayManager);
  const OleString description = Widen(kClassDescription);
  const OleString prog_id = Widen(kProgId);
  const OleString independent_prog_id = Widen(kVersionIndependentProgId);
  LSTATUS status =
      WrittenKey(HKEY_CLASSES_ROOT, prog_id).SetText(nullptr, description).Subkey(OLESTR("CLSID"), clsid).status();
  if (Succeeded(status)) {
    status = WrittenKey(HKEY_CLASSES_ROOT, independent_prog_id)
                 .SetText(nullptr, description)
                 .Subkey(OLESTR("CLSID"), clsid)
                 .Subkey(OLESTR("CurVer"), prog_id)
                 .status();
  }
  const OleString class_key = OLESTR("CLSID\\") + clsid;
  if (Succeeded(status)) status = ForceRemove(HKEY_CLASSES_ROOT, class_key);
  if (Succeeded(status)) {
    WrittenKey key(HKEY_CLASSES_ROOT, class_key);
    key.SetText(nullptr, description)
        .Subkey(OLESTR("ProgID"), prog_id)
        .Subkey(OLESTR("VersionIndependentProgID"), independent_prog_id);
    if (Succeeded(key.status())) key.EmptySubkey(OLESTR("Programmable"));
    if (Succeeded(key.status())) {
      WrittenKey server(key.key(), OLESTR("InprocServer32"));
      server.SetText(nullptr, module_path).SetText(OLESTR("ThreadingModel"), OLESTR("apartment"));
      if (!Succeeded(server.status())) return ResultOf(server.status());
    }
    key.SetText(OLESTR("AppID"), GuidText(LIBID_Ordexa)).Subkey(OLESTR("TypeLib"), GuidText(LIBID_Ordexa));
    status = key.status();
  }
  return ResultOf(status);
}

// Removes one key with its subkeys; a key that is already gone is no failure.
HRESULT RemoveKey(const OleString& subkey) {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, subkey.c_str());
  return IsNotFound(status) ? S_OK : ResultOf(status);
}

}  // namespace

HRESULT RegisterServer(LPCOLESTR module_path) {
  if (module_path == nullptr) return E_POINTER;
  const SystemLocaleScope locale;
  HRESULT hr = RegisterAppId();
  if (SUCCEEDED(hr)) hr = RegisterClass(module_path);
  if (SUCCEEDED(hr)) hr = RegisterModuleTypeLibrary(module_path);
  return hr;
}

HRESULT UnregisterServer() {
  const SystemLocaleScope locale;
  HRESULT first_failure = S_OK;
  const auto keep_first = [&first_failure](HRESULT hr) {
    if (FAILED(hr) && SUCCEEDED(first_failure)) first_failure = hr;
  };
  keep_first(RemoveKey(OLESTR("AppID\\") + GuidText(LIBID_Ordexa)));
  keep_first(RemoveKey(OLESTR("AppID\\") + Widen(kModuleName)));
  keep_first(RemoveKey(Widen(kProgId)));
  keep_first(RemoveKey(Widen(kVersionIndependentProgId)));
  keep_first(RemoveKey(OLESTR("CLSID\\") + GuidText(CLSID_PayManager)));
  const HRESULT type_library = UnregisterModuleTypeLibrary();
  // A type library that is no longer registered is no failure either.
  if (type_library != TYPE_E_REGISTRYACCESS) keep_first(type_library);
  return first_failure;
}

}  // namespace ordexa
