// The registry functions of the platform under HKEY_CLASSES_ROOT, with their Windows
// names, values and signatures (wide-character versions).
#pragma once

#include <cstdint>

#include "wtypes.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;
using LPCWSTR = const OLECHAR*;
using LPWSTR = OLECHAR*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr std::uint32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr std::uint32_t ERROR_KEY_DELETED = 1018;

extern "C++" {
// RegCreateKeyExW(): opens `subkey` below `key`, creating it and every missing key on the
// way; `disposition` (optional) tells which. ERROR_INVALID_HANDLE for an unknown key.
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subkey, DWORD reserved, LPWSTR key_class, DWORD options, REGSAM access,
                        void* security, PHKEY result, LPDWORD disposition);
// RegOpenKeyExW(): opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subkey, DWORD options, REGSAM access, PHKEY result);
// RegCloseKey(): closes a handle from RegCreateKeyExW or RegOpenKeyExW.
LSTATUS RegCloseKey(HKEY key);
// RegSetValueExW(): sets a value (null or empty name: the key's default value). A REG_SZ
// value's size counts its bytes with the terminating NUL.
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
// RegQueryValueExW(): reads a value's type and bytes; ERROR_MORE_DATA with the needed size
// when `data` is too small, ERROR_FILE_NOT_FOUND when there is no such value.
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
// RegDeleteValueW(): removes one value; ERROR_FILE_NOT_FOUND when there is none.
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
// RegDeleteKeyW(): removes a key without subkeys (ERROR_ACCESS_DENIED when it has some).
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subkey);
// RegDeleteTreeW(): removes a key with all its subkeys and values (a null `subkey`: only
// what is below `key`); ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subkey);
// RegEnumKeyExW(): the name of subkey number `index` (in name order); ERROR_NO_MORE_ITEMS
// past the last, ERROR_MORE_DATA when `name` is too small (`name_length` in characters,
// without the NUL).
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_length, LPDWORD reserved, LPWSTR key_class,
                      LPDWORD class_length, void* last_write_time);
}
