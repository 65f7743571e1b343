// The class factory of CPayManager and the module's count of it: created once under a
// lock on the first request and cached until the module unloads.
#pragma once

#include "windows.h"

namespace ordexa {

// GetPayManagerFactory(): the cached class factory as `riid` (a new reference).
// E_OUTOFMEMORY when it cannot be created, E_NOINTERFACE for an interface it lacks.
HRESULT GetPayManagerFactory(REFIID riid, void** object);

}  // namespace ordexa
