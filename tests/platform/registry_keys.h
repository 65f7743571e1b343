// Keys and text values below HKEY_CLASSES_ROOT as the tests create and read them.
#pragma once

#include <string>

#include "winreg.h"

namespace ordexa::test {

// Creates the key `path` and, given a text, sets its value `name` (null: the default value).
inline LSTATUS CreateKey(const std::u16string& path, const char16_t* name = nullptr, const char16_t* text = nullptr) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  if (status != 0) return status;
  if (text != nullptr) {
    const std::u16string value = text;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  }
  RegCloseKey(key);
  return status;
}

inline bool KeyExists(const std::u16string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return false;
  RegCloseKey(key);
  return true;
}

// The text value `name` (null: the default value) of a key, or why there is none.
inline std::u16string TextValue(const std::u16string& path, const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return u"<no key>";
  char16_t value[1024] = {};
  DWORD size = sizeof value - sizeof(char16_t);
  DWORD type = 0;
  const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != 0) return u"<no value>";
  return type == REG_SZ ? std::u16string(value) : u"<not a text>";
}

}  // namespace ordexa::test
