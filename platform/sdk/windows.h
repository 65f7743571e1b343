// The platform functions of the Windows API the automation binding calls besides COM and
// OLE Automation: module handle and file name, the thread locale; and the headers that
// <windows.h> brings with it there.
#pragma once

#include "oaidl.h"
#include "oleauto.h"
#include "unknwn.h"
#include "winerror.h"
#include "winreg.h"
#include "wtypes.h"

// Wide text literals and the exported-function convention, as the Windows headers spell them.
#define OLESTR(text) u##text
#define STDAPICALLTYPE
#define STDAPI extern "C" HRESULT STDAPICALLTYPE
using LPVOID = void*;

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

inline constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT = 0x2;
inline constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x4;
inline constexpr DWORD MAX_PATH = 260;

extern "C++" {
// GetModuleHandleExW(): with GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, the module (the
// program or a loaded library) that holds the address `name` points at. FALSE when no
// module holds it (ERROR_MOD_NOT_FOUND) or for any other use, which the stand-in lacks.
BOOL GetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module);
// GetModuleFileNameW(): the module's full path (null: the program's), cut to `size` - 1
// characters and NUL-terminated; the number of characters copied, 0 on failure. A path
// that was cut returns `size` (ERROR_INSUFFICIENT_BUFFER).
DWORD GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size);
// StringFromGUID2(): the GUID as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hex)
// into `text`; the characters written with the NUL (39), or 0 when `size` is too small.
int StringFromGUID2(REFGUID guid, LPOLESTR text, int size);
// CLSIDFromString(): the GUID that text in that form (either case) names;
// CO_E_CLASSSTRING for any other text.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
// GetThreadLocale() / SetThreadLocale(): the calling thread's locale, 1033 until set.
LCID GetThreadLocale();
BOOL SetThreadLocale(LCID locale);
}
