// Module handles and paths, and the thread locale. A module's handle is the address it is
// loaded at; its file name comes from the dynamic loader.
#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/utf8.h"
#include "windows.h"

BOOL GetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module) {
  if (module == nullptr) return 0;
  *module = nullptr;
  if ((flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) == 0 || name == nullptr) return 0;
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(name), &info) == 0 || info.dli_fbase == nullptr) return 0;
  *module = static_cast<HMODULE>(info.dli_fbase);
  return 1;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size) {
  if (name == nullptr || size == 0) return 0;
  std::string path;
  if (module == nullptr) {
    path = "/proc/self/exe";
  } else {
    Dl_info info{};
    if (dladdr(static_cast<const void*>(module), &info) == 0 || info.dli_fname == nullptr) return 0;
    path = info.dli_fname;
  }
  // The loader may know a module by a relative name; the platform answers the full path.
  char full[PATH_MAX];
  if (realpath(path.c_str(), full) != nullptr) path = full;
  const std::u16string wide = ordexa::Utf8ToUtf16(path);
  const DWORD copied = wide.size() < size ? static_cast<DWORD>(wide.size()) : size - 1;
  wide.copy(name, copied);
  name[copied] = u'\0';
  return wide.size() < size ? copied : size;
}

namespace {
thread_local LCID thread_locale = 1033;
}  // namespace

LCID GetThreadLocale() { return thread_locale; }

BOOL SetThreadLocale(LCID locale) {
  thread_locale = locale;
  return 1;
}
