// Registration of the component under HKEY_CLASSES_ROOT: the AppID entries, the class
// with its two ProgIDs, and the type library.
#pragma once

#include "windows.h"

namespace ordexa {

// RegisterServer(): writes the AppID entries, the class entries and the type library
// registration for the module at `module_path`, under the system default thread locale
// for the duration; the first failure ends it and is returned.
HRESULT RegisterServer(LPCOLESTR module_path);

// UnregisterServer(): removes what RegisterServer wrote, keeping the shared keys CLSID
// and AppID; entries already gone are no failure. Same locale switch.
HRESULT UnregisterServer();

}  // namespace ordexa
