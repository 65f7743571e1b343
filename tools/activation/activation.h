// Creating objects of registered in-process servers on Linux the way the COM runtime does
// on Windows: ProgID to class id through the registry, the server's library loaded from
// its InprocServer32 path, its class factory asked for the object. For programs and tests
// that drive the component late-bound, as a script host would.
#pragma once

#include <string>

#include "windows.h"

namespace ordexa::activation {

inline constexpr HRESULT CO_E_ERRORINDLL = MakeHresult(0x800401F9u);

// ClassIdFromProgId()
// CLSIDFromProgID: the class id registered for `prog_id` under HKEY_CLASSES_ROOT, after
// following its CurVer entry to the current version's ProgID. CO_E_CLASSSTRING when the
// ProgID is not registered. Example: "Veltrano.PayManager" gives CLSID_PayManager.
HRESULT ClassIdFromProgId(LPCOLESTR prog_id, CLSID* clsid);

// GetClassObject()
// CoGetClassObject for an in-process server: loads the library named by
// CLSID\{clsid}\InprocServer32 (once; it stays loaded until FreeUnusedLibraries finds it
// unused) and asks its DllGetClassObject. REGDB_E_CLASSNOTREG when the class is not
// registered, CO_E_ERRORINDLL when the library cannot be loaded or lacks the export.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);

// CreateInstance(): CoCreateInstance: the class factory's CreateInstance, `outer` for
// aggregation.
HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, REFIID riid, void** object);

// CreateObject(): a script's CreateObject: CreateInstance for the ProgID's class.
HRESULT CreateObject(LPCOLESTR prog_id, REFIID riid, void** object);

// FreeUnusedLibraries(): CoFreeUnusedLibraries: unloads every loaded server whose
// DllCanUnloadNow answers S_OK; the number still loaded.
int FreeUnusedLibraries();

// RegisterServer() / UnregisterServer(): regsvr32 and regsvr32 /u: load the library at
// `path` and call its DllRegisterServer or DllUnregisterServer (CO_E_ERRORINDLL when it
// cannot be loaded); the library is unloaded again afterwards.
HRESULT RegisterServer(const std::string& path);
HRESULT UnregisterServer(const std::string& path);

}  // namespace ordexa::activation
