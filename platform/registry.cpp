// The registry stand-in: a tree of keys and values under HKEY_CLASSES_ROOT, kept in
// memory for the process and, when ORDEXA_REGISTRY names a file, read from that file
// before every call and written back after every change, so that separate copies of
// the platform (a program and the modules it loads) share one registry.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "winreg.h"

namespace {

// Key and value names compare without regard to case, as the platform does.
struct CaseInsensitiveLess {
  static char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }
  bool operator()(const std::u16string& a, const std::u16string& b) const {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
      if (Fold(a[i]) != Fold(b[i])) return Fold(a[i]) < Fold(b[i]);
    }
    return a.size() < b.size();
  }
};

struct Value {
  DWORD type = REG_NONE;
  std::string data;  // the value's bytes
};

struct Key {
  std::map<std::u16string, Key, CaseInsensitiveLess> subkeys;
  std::map<std::u16string, Value, CaseInsensitiveLess> values;  // "" is the default value
};

using KeyPath = std::vector<std::u16string>;

// An open key: its path from HKEY_CLASSES_ROOT, looked up anew on every use.
struct OpenKey {
  KeyPath path;
};

struct Registry {
  std::mutex mutex;
  Key root;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

const char* BackingFile() {
  const char* file = std::getenv("ORDEXA_REGISTRY");
  return file != nullptr && *file != '\0' ? file : nullptr;
}

// --- the registry file: "[key path]" lines, then `@="text"`, `"name"="text"` or
// `"name"=dword:0000002a` lines for its values (UTF-8, '\' and '"' escaped in texts).

std::string Quote(const std::u16string& text) {
  std::string quoted = "\"";
  for (char c : ordexa::Utf16ToUtf8(text)) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::u16string TextOf(const Value& value) {
  std::u16string text(value.data.size() / 2, u'\0');
  std::memcpy(text.data(), value.data.data(), text.size() * 2);
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

void SaveKey(std::ostream& out, const Key& key, const std::u16string& path) {
  if (!path.empty()) {
    out << "\n[" << ordexa::Utf16ToUtf8(path) << "]\n";
    for (const auto& [name, value] : key.values) {
      out << (name.empty() ? std::string("@") : Quote(name)) << '=';
      if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), 4);
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(number));
        out << digits << '\n';
      } else {
        out << Quote(TextOf(value)) << '\n';
      }
    }
  }
  for (const auto& [name, subkey] : key.subkeys) SaveKey(out, subkey, path.empty() ? name : path + u"\\" + name);
}

// Reads a quoted text starting at `at` (on the opening quote); false when malformed.
bool Unquote(const std::string& line, std::size_t& at, std::u16string& text) {
  if (at >= line.size() || line[at] != '"') return false;
  std::string utf8;
  for (++at; at < line.size(); ++at) {
    if (line[at] == '\\' && at + 1 < line.size()) {
      utf8 += line[++at];
    } else if (line[at] == '"') {
      ++at;
      text = ordexa::Utf8ToUtf16(utf8);
      return true;
    } else {
      utf8 += line[at];
    }
  }
  return false;
}

Key* CreatePath(Key& root, const KeyPath& path) {
  Key* key = &root;
  for (const std::u16string& name : path) key = &key->subkeys[name];
  return key;
}

KeyPath SplitPath(const std::u16string& path) {
  KeyPath parts;
  std::u16string part;
  for (char16_t c : path) {
    if (c == u'\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// Lines that do not parse are skipped: a damaged file loses those entries, never the rest.
void LoadFile(const char* file, Key& root) {
  root = Key{};
  std::ifstream in(file, std::ios::binary);
  std::string line;
  Key* key = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      key = CreatePath(root, SplitPath(ordexa::Utf8ToUtf16(line.substr(1, line.size() - 2))));
      continue;
    }
    if (key == nullptr || line.empty()) continue;
    std::size_t at = 0;
    std::u16string name;
    if (line[0] == '@') {
      at = 1;
    } else if (!Unquote(line, at, name)) {
      continue;
    }
    if (at >= line.size() || line[at] != '=') continue;
    ++at;
    Value value;
    std::u16string text;
    if (line.compare(at, 6, "dword:") == 0) {
      const DWORD number = static_cast<DWORD>(std::strtoul(line.c_str() + at + 6, nullptr, 16));
      value.type = REG_DWORD;
      value.data.assign(reinterpret_cast<const char*>(&number), 4);
    } else if (Unquote(line, at, text)) {
      text.push_back(u'\0');
      value.type = REG_SZ;
      value.data.assign(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    } else {
      continue;
    }
    key->values[name] = std::move(value);
  }
}

bool SaveFile(const char* file, const Key& root) {
  const std::string temporary = std::string(file) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << "Windows Registry Editor Version 5.00\n";
    SaveKey(out, root, u"");
    if (!out.flush()) return false;
  }
  return std::rename(temporary.c_str(), file) == 0;
}

// One registry call: the tree as the file holds it, and the file rewritten when the call
// changed something.
class Session {
 public:
  Session() : lock_(TheRegistry().mutex), file_(BackingFile()) {
    if (file_ != nullptr) LoadFile(file_, TheRegistry().root);
  }
  Key& root() { return TheRegistry().root; }
  LSTATUS Commit() {
    if (file_ != nullptr && !SaveFile(file_, root())) return static_cast<LSTATUS>(ERROR_ACCESS_DENIED);
    return static_cast<LSTATUS>(ERROR_SUCCESS);
  }

 private:
  std::lock_guard<std::mutex> lock_;
  const char* file_;
};

constexpr LSTATUS Status(std::uint32_t code) { return static_cast<LSTATUS>(code); }

// The path of `key` joined with `subkey`; false for a handle that is not a key.
bool PathOf(HKEY key, LPCWSTR subkey, KeyPath& path) {
  if (key == HKEY_CLASSES_ROOT) {
    path.clear();
  } else if (key != nullptr) {
    path = reinterpret_cast<OpenKey*>(key)->path;
  } else {
    return false;
  }
  if (subkey != nullptr) {
    for (std::u16string& part : SplitPath(subkey)) path.push_back(std::move(part));
  }
  return true;
}

Key* FindPath(Key& root, const KeyPath& path) {
  Key* key = &root;
  for (const std::u16string& name : path) {
    auto found = key->subkeys.find(name);
    if (found == key->subkeys.end()) return nullptr;
    key = &found->second;
  }
  return key;
}

HKEY NewHandle(KeyPath path) {
  auto* open = new (std::nothrow) OpenKey{std::move(path)};
  return reinterpret_cast<HKEY>(open);
}

std::u16string NameOf(LPCWSTR name) { return name == nullptr ? std::u16string() : std::u16string(name); }

}  // namespace

static LSTATUS RegCreateKeyExWUnguarded(HKEY key, LPCWSTR subkey, DWORD, LPWSTR, DWORD, REGSAM, void*, PHKEY result,
                                        LPDWORD disposition) {
  if (result == nullptr) return Status(ERROR_INVALID_PARAMETER);
  KeyPath path;
  if (!PathOf(key, subkey, path)) return Status(ERROR_INVALID_HANDLE);
  Session session;
  const bool existed = FindPath(session.root(), path) != nullptr;
  if (!existed && key != HKEY_CLASSES_ROOT &&
      FindPath(session.root(), reinterpret_cast<OpenKey*>(key)->path) == nullptr) {
    return Status(ERROR_KEY_DELETED);
  }
  CreatePath(session.root(), path);
  if (!existed) {
    const LSTATUS saved = session.Commit();
    if (saved != Status(ERROR_SUCCESS)) return saved;
  }
  *result = NewHandle(std::move(path));
  if (*result == nullptr) return Status(ERROR_OUTOFMEMORY);
  if (disposition != nullptr) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  return Status(ERROR_SUCCESS);
}

static LSTATUS RegOpenKeyExWUnguarded(HKEY key, LPCWSTR subkey, DWORD, REGSAM, PHKEY result) {
  if (result == nullptr) return Status(ERROR_INVALID_PARAMETER);
  KeyPath path;
  if (!PathOf(key, subkey, path)) return Status(ERROR_INVALID_HANDLE);
  Session session;
  if (FindPath(session.root(), path) == nullptr) return Status(ERROR_FILE_NOT_FOUND);
  *result = NewHandle(std::move(path));
  return *result == nullptr ? Status(ERROR_OUTOFMEMORY) : Status(ERROR_SUCCESS);
}

LSTATUS RegCloseKey(HKEY key) {
  if (key == nullptr) return Status(ERROR_INVALID_HANDLE);
  if (key != HKEY_CLASSES_ROOT) delete reinterpret_cast<OpenKey*>(key);
  return Status(ERROR_SUCCESS);
}

static LSTATUS RegSetValueExWUnguarded(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  KeyPath path;
  if (!PathOf(key, nullptr, path)) return Status(ERROR_INVALID_HANDLE);
  if (data == nullptr && size != 0) return Status(ERROR_INVALID_PARAMETER);
  Session session;
  Key* found = FindPath(session.root(), path);
  if (found == nullptr) return Status(ERROR_KEY_DELETED);
  Value value;
  value.type = type;
  if (size != 0) value.data.assign(reinterpret_cast<const char*>(data), size);
  found->values[NameOf(name)] = std::move(value);
  return session.Commit();
}

static LSTATUS RegQueryValueExWUnguarded(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  KeyPath path;
  if (!PathOf(key, nullptr, path)) return Status(ERROR_INVALID_HANDLE);
  if (data != nullptr && size == nullptr) return Status(ERROR_INVALID_PARAMETER);
  Session session;
  Key* found = FindPath(session.root(), path);
  if (found == nullptr) return Status(ERROR_KEY_DELETED);
  auto value = found->values.find(NameOf(name));
  if (value == found->values.end()) return Status(ERROR_FILE_NOT_FOUND);
  if (type != nullptr) *type = value->second.type;
  const auto needed = static_cast<DWORD>(value->second.data.size());
  if (size == nullptr) return Status(ERROR_SUCCESS);
  if (data != nullptr && *size < needed) {
    *size = needed;
    return Status(ERROR_MORE_DATA);
  }
  if (data != nullptr) std::memcpy(data, value->second.data.data(), needed);
  *size = needed;
  return Status(ERROR_SUCCESS);
}

static LSTATUS RegDeleteValueWUnguarded(HKEY key, LPCWSTR name) {
  KeyPath path;
  if (!PathOf(key, nullptr, path)) return Status(ERROR_INVALID_HANDLE);
  Session session;
  Key* found = FindPath(session.root(), path);
  if (found == nullptr) return Status(ERROR_KEY_DELETED);
  if (found->values.erase(NameOf(name)) == 0) return Status(ERROR_FILE_NOT_FOUND);
  return session.Commit();
}

namespace {

LSTATUS DeleteKey(HKEY key, LPCWSTR subkey, bool whole_tree) {
  KeyPath path;
  if (!PathOf(key, subkey, path)) return Status(ERROR_INVALID_HANDLE);
  Session session;
  Key* found = FindPath(session.root(), path);
  if (found == nullptr) return Status(ERROR_FILE_NOT_FOUND);
  if (path.empty() || (subkey == nullptr && whole_tree)) {
    // The root, or a tree deleted from its own handle: only what is below it goes.
    found->subkeys.clear();
    found->values.clear();
    return session.Commit();
  }
  if (!whole_tree && !found->subkeys.empty()) return Status(ERROR_ACCESS_DENIED);
  const std::u16string name = path.back();
  path.pop_back();
  FindPath(session.root(), path)->subkeys.erase(name);
  return session.Commit();
}

}  // namespace

static LSTATUS RegDeleteKeyWUnguarded(HKEY key, LPCWSTR subkey) {
  if (subkey == nullptr) return Status(ERROR_INVALID_PARAMETER);
  return DeleteKey(key, subkey, false);
}

static LSTATUS RegDeleteTreeWUnguarded(HKEY key, LPCWSTR subkey) { return DeleteKey(key, subkey, true); }

static LSTATUS RegEnumKeyExWUnguarded(HKEY key, DWORD index, LPWSTR name, LPDWORD name_length, LPDWORD, LPWSTR, LPDWORD,
                                      void*) {
  KeyPath path;
  if (!PathOf(key, nullptr, path)) return Status(ERROR_INVALID_HANDLE);
  if (name == nullptr || name_length == nullptr) return Status(ERROR_INVALID_PARAMETER);
  Session session;
  Key* found = FindPath(session.root(), path);
  if (found == nullptr) return Status(ERROR_KEY_DELETED);
  if (index >= found->subkeys.size()) return Status(ERROR_NO_MORE_ITEMS);
  auto entry = found->subkeys.begin();
  std::advance(entry, index);
  const std::u16string& subkey = entry->first;
  if (*name_length <= subkey.size()) {
    *name_length = static_cast<DWORD>(subkey.size());
    return Status(ERROR_MORE_DATA);
  }
  std::memcpy(name, subkey.c_str(), (subkey.size() + 1) * sizeof(char16_t));
  *name_length = static_cast<DWORD>(subkey.size());
  return Status(ERROR_SUCCESS);
}

// The registry functions never throw: running out of memory is their failure code.
template <class Body>
static LSTATUS Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return Status(ERROR_OUTOFMEMORY);
  }
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subkey, DWORD reserved, LPWSTR key_class, DWORD options, REGSAM access,
                        void* security, PHKEY result, LPDWORD disposition) {
  return Guarded([&] {
    return RegCreateKeyExWUnguarded(key, subkey, reserved, key_class, options, access, security, result, disposition);
  });
}
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subkey, DWORD options, REGSAM access, PHKEY result) {
  return Guarded([&] { return RegOpenKeyExWUnguarded(key, subkey, options, access, result); });
}
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  return Guarded([&] { return RegSetValueExWUnguarded(key, name, reserved, type, data, size); });
}
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  return Guarded([&] { return RegQueryValueExWUnguarded(key, name, reserved, type, data, size); });
}
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) {
  return Guarded([&] { return RegDeleteValueWUnguarded(key, name); });
}
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subkey) {
  return Guarded([&] { return RegDeleteKeyWUnguarded(key, subkey); });
}
LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subkey) {
  return Guarded([&] { return RegDeleteTreeWUnguarded(key, subkey); });
}
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_length, LPDWORD reserved, LPWSTR key_class,
                      LPDWORD class_length, void* last_write_time) {
  return Guarded([&] {
    return RegEnumKeyExWUnguarded(key, index, name, name_length, reserved, key_class, class_length, last_write_time);
  });
}
