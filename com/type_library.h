// The component's type library as the platform provides it: the Windows resource
// through the system's type-library functions, on Linux the stand-in built from the
// member table.
#pragma once

#include "windows.h"

namespace ordexa {

// LoadRegisteredTypeInfo(): the type information of an interface or class (by its GUID)
// from the registered type library; TYPE_E_LIBNOTREGISTERED when it is not registered.
HRESULT LoadRegisteredTypeInfo(REFGUID guid, ITypeInfo** type_info);

// RegisterModuleTypeLibrary(): registers the module's own type library for the module
// at `module_path`. UnregisterModuleTypeLibrary() removes that registration.
HRESULT RegisterModuleTypeLibrary(LPCOLESTR module_path);
HRESULT UnregisterModuleTypeLibrary();

}  // namespace ordexa
