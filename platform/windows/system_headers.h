// On Windows the component's "oleauto.h", "oaidl.h", "unknwn.h" and "winerror.h" are the
// system's headers, which expect <windows.h> and <ole2.h> before them; <ocidl.h> adds
// IProvideClassInfo, <olectl.h> the self-registration codes. The Windows build
// puts this header in front of every source (-include), so each source can name only the
// SDK header it uses, as on Linux with the stand-ins.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
