// The module's exported entry points.
#include <string>

#include "com/class_factory.h"
#include "com/registration.h"
#include "model/com_object.h"
#include "olectl.h"
#include "ordexa.h"

namespace {

// The module's own full path, from an address inside it.
std::basic_string<OLECHAR> ModulePath() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ModulePath), &module)) {
    return {};
  }
  std::basic_string<OLECHAR> path(MAX_PATH, OLECHAR{});
  // Grow until the path fits (a cut path fills the whole buffer).
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (!(rclsid == CLSID_PayManager)) return CLASS_E_CLASSNOTAVAILABLE;
  try {
    return ordexa::GetPayManagerFactory(riid, ppv);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllCanUnloadNow() { return ordexa::ModuleLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  try {
    const std::basic_string<OLECHAR> path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    return ordexa::RegisterServer(path.c_str());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer() {
  try {
    return ordexa::UnregisterServer();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
