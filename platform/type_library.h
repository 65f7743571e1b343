// Type libraries on Linux: ITypeLib and ITypeInfo objects built from a constant
// description, standing in for the library a Windows module carries as a resource.
#pragma once

#include "oaidl.h"
#include "platform/type_description.h"

namespace ordexa {

// CreateTypeLibrary()
// The module's own type library (what LoadTypeLibEx with REGKIND_NONE gives on Windows):
// a new ITypeLib over `description`, which must outlive it. It answers GetTypeInfoCount,
// GetTypeInfo, GetTypeInfoType, GetTypeInfoOfGuid, GetLibAttr and GetDocumentation; its
// type information GetTypeAttr, GetFuncDesc, GetVarDesc, GetNames, GetIDsOfNames,
// GetDocumentation, GetRefTypeOfImplType, GetImplTypeFlags, GetRefTypeInfo and
// GetContainingTypeLib; the rest E_NOTIMPL. Interfaces appear as dispatch interfaces
// (TKIND_DISPATCH, dual) listing their own members. E_POINTER, E_OUTOFMEMORY.
HRESULT CreateTypeLibrary(const TypeLibraryDescription& description, ITypeLib** library);

// LoadRegisteredTypeLibrary()
// LoadRegTypeLib for the library `description` describes: TYPE_E_LIBNOTREGISTERED unless
// HKEY_CLASSES_ROOT\TypeLib\{libid}\<major>.<minor> exists, else CreateTypeLibrary.
HRESULT LoadRegisteredTypeLibrary(const TypeLibraryDescription& description, ITypeLib** library);

}  // namespace ordexa
