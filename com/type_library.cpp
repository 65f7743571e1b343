// The seam between the binding and the platform's type libraries.
#include "com/type_library.h"

#include "com/member_table.h"
#ifndef _WIN32
#include "platform/type_library.h"
#endif

namespace ordexa {
namespace {

HRESULT LoadRegisteredLibrary(ITypeLib** library) {
#ifdef _WIN32
  // The library is registered under its own locale (1033); the lookup falls back from a
  // specific locale to the neutral one, never from the neutral one to a specific one.
  return LoadRegTypeLib(*kOrdexaTypeLibrary.libid, kOrdexaTypeLibrary.major, kOrdexaTypeLibrary.minor,
                        kOrdexaTypeLibrary.lcid, library);
#else
  return LoadRegisteredTypeLibrary(kOrdexaTypeLibrary, library);
#endif
}

HRESULT LoadModuleLibrary(LPCOLESTR module_path, ITypeLib** library) {
#ifdef _WIN32
  return LoadTypeLibEx(module_path, REGKIND_NONE, library);
#else
  (void)module_path;
  return CreateTypeLibrary(kOrdexaTypeLibrary, library);
#endif
}

SYSKIND ThisSystem() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

}  // namespace

HRESULT LoadRegisteredTypeInfo(REFGUID guid, ITypeInfo** type_info) {
  if (type_info == nullptr) return E_POINTER;
  *type_info = nullptr;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadRegisteredLibrary(&library);
  if (FAILED(hr)) return hr;
  hr = library->GetTypeInfoOfGuid(guid, type_info);
  library->Release();
  return hr;
}

HRESULT RegisterModuleTypeLibrary(LPCOLESTR module_path) {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadModuleLibrary(module_path, &library);
  if (FAILED(hr)) return hr;
  // Some SDKs declare the path without const; it is only read.
  hr = RegisterTypeLib(library, const_cast<LPOLESTR>(module_path), nullptr);
  library->Release();
  return hr;
}

HRESULT UnregisterModuleTypeLibrary() {
  return UnRegisterTypeLib(*kOrdexaTypeLibrary.libid, kOrdexaTypeLibrary.major, kOrdexaTypeLibrary.minor,
                           kOrdexaTypeLibrary.lcid, ThisSystem());
}

}  // namespace ordexa
