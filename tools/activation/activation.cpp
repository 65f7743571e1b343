// Activation of in-process servers through the registry stand-in and the dynamic loader.
#include "tools/activation/activation.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "platform/utf8.h"

namespace ordexa::activation {
namespace {

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, LPVOID*);
using ServerFunction = HRESULT (*)();

// The servers loaded so far, by path; a server stays loaded while it is in use.
struct LoadedServers {
  std::mutex mutex;
  std::map<std::string, void*> handles;
};

LoadedServers& TheLoadedServers() {
  static LoadedServers servers;
  return servers;
}

// The default value of HKEY_CLASSES_ROOT\<path>; false when there is none.
bool ReadDefaultText(const std::u16string& path, std::u16string& text) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return false;
  DWORD type = 0;
  DWORD size = 0;
  bool found = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == 0 && type == REG_SZ;
  if (found) {
    std::u16string value(size / sizeof(char16_t) + 1, u'\0');
    found = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size) == 0;
    value.resize(size / sizeof(char16_t));
    while (!value.empty() && value.back() == u'\0') value.pop_back();
    text = value;
  }
  RegCloseKey(key);
  return found;
}

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

void* Load(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

HRESULT CallServer(const std::string& path, const char* export_name) {
  void* handle = Load(path);
  if (handle == nullptr) return CO_E_ERRORINDLL;
  auto function = reinterpret_cast<ServerFunction>(dlsym(handle, export_name));
  const HRESULT hr = function == nullptr ? CO_E_ERRORINDLL : function();
  dlclose(handle);
  return hr;
}

}  // namespace

HRESULT ClassIdFromProgId(LPCOLESTR prog_id, CLSID* clsid) {
  if (prog_id == nullptr || clsid == nullptr) return E_INVALIDARG;
  try {
    std::u16string name = prog_id;
    std::u16string current;
    // A version-independent ProgID names its current version; a few steps at most.
    for (int step = 0; step < 4 && ReadDefaultText(name + u"\\CurVer", current); ++step) name = current;
    std::u16string text;
    if (!ReadDefaultText(name + u"\\CLSID", text) && !ReadDefaultText(std::u16string(prog_id) + u"\\CLSID", text)) {
      return CO_E_CLASSSTRING;
    }
    return CLSIDFromString(text.c_str(), clsid);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  *object = nullptr;
  try {
    std::u16string wide_path;
    if (!ReadDefaultText(u"CLSID\\" + GuidText(clsid) + u"\\InprocServer32", wide_path)) return REGDB_E_CLASSNOTREG;
    const std::string path = Utf16ToUtf8(wide_path);
    LoadedServers& servers = TheLoadedServers();
    std::lock_guard lock(servers.mutex);
    void*& handle = servers.handles[path];
    if (handle == nullptr) handle = Load(path);
    if (handle == nullptr) {
      servers.handles.erase(path);
      return CO_E_ERRORINDLL;
    }
    auto get_class_object = reinterpret_cast<GetClassObjectFunction>(dlsym(handle, "DllGetClassObject"));
    if (get_class_object == nullptr) return CO_E_ERRORINDLL;
    return get_class_object(clsid, riid, object);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, riid, object);
  factory->Release();
  return hr;
}

HRESULT CreateObject(LPCOLESTR prog_id, REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  CLSID clsid;
  const HRESULT hr = ClassIdFromProgId(prog_id, &clsid);
  return FAILED(hr) ? hr : CreateInstance(clsid, nullptr, riid, object);
}

int FreeUnusedLibraries() {
  LoadedServers& servers = TheLoadedServers();
  std::lock_guard lock(servers.mutex);
  for (auto server = servers.handles.begin(); server != servers.handles.end();) {
    auto can_unload = reinterpret_cast<ServerFunction>(dlsym(server->second, "DllCanUnloadNow"));
    if (can_unload != nullptr && can_unload() == S_OK) {
      dlclose(server->second);
      server = servers.handles.erase(server);
    } else {
      ++server;
    }
  }
  return static_cast<int>(servers.handles.size());
}

HRESULT RegisterServer(const std::string& path) { return CallServer(path, "DllRegisterServer"); }
HRESULT UnregisterServer(const std::string& path) { return CallServer(path, "DllUnregisterServer"); }

}  // namespace ordexa::activation
