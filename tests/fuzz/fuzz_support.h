// What the fuzz harnesses share: a check that stops the run with a message (libFuzzer keeps
// the input), a file system held in memory, a temporary folder, XML well-formedness
// through libxml2.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlstring.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <unistd.h>

#include "platform/file_system.h"

namespace ordexa::fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line, std::string_view detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  if (!detail.empty()) std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
  std::abort();
}

// FUZZ_CHECK(condition, detail): aborts the run when the condition does not hold.
#define FUZZ_CHECK(condition, detail)                                              \
  do {                                                                             \
    if (!(condition)) ::ordexa::fuzz::Fail(#condition, __FILE__, __LINE__, detail); \
  } while (false)

// A file system whose files live in memory, by handle while open and by name once closed.
class MemoryFileSystem : public FileSystem {
 public:
  FileHandle Create(std::string_view name, FileStatus& status) const override {
    status = {};
    const FileHandle handle = next_handle_++;
    open_[handle] = {std::string(name), {}};
    return handle;
  }
  FileStatus Write(FileHandle file, const char* data, std::size_t size) const override {
    open_.at(file).second.append(data, size);
    return {};
  }
  FileStatus WriteAt(FileHandle file, std::uint64_t offset, const char* data, std::size_t size) const override {
    std::string& content = open_.at(file).second;
    if (offset + size > content.size()) content.resize(offset + size);
    content.replace(offset, size, data, size);
    return {};
  }
  FileStatus Sync(FileHandle) const override { return {}; }
  void StartWriteBack(FileHandle) const override {}
  FileStatus Close(FileHandle file) const override {
    auto& [name, content] = open_.at(file);
    closed_[name] = std::move(content);
    open_.erase(file);
    return {};
  }
  FileStatus Rename(std::string_view from, std::string_view to) const override {
    auto node = closed_.extract(std::string(from));
    if (node.empty()) return {2};
    node.key() = std::string(to);
    closed_.insert_or_assign(node.key(), std::move(node.mapped()));
    return {};
  }
  FileStatus Remove(std::string_view name) const override {
    return closed_.erase(std::string(name)) != 0 ? FileStatus{} : FileStatus{2};
  }

  // The bytes written so far to an open handle, or the content of a closed file.
  const std::string& Content(FileHandle file) const { return open_.at(file).second; }
  const std::string* Closed(const std::string& name) const {
    const auto found = closed_.find(name);
    return found == closed_.end() ? nullptr : &found->second;
  }

 private:
  mutable FileHandle next_handle_ = 3;
  mutable std::map<FileHandle, std::pair<std::string, std::string>> open_;
  mutable std::map<std::string, std::string> closed_;
};

// TempFolder: a folder of the process's own for the files a harness writes, removed with
// them when the process ends; `enter` makes it the working folder.
class TempFolder {
 public:
  explicit TempFolder(bool enter = false)
      : path_((std::filesystem::temp_directory_path() / "ordexa-fuzz-XXXXXX").string()) {
    if (mkdtemp(path_.data()) == nullptr || (enter && ::chdir(path_.c_str()) != 0)) std::abort();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// ParseXml(): the document libxml2 reads from UTF-8 bytes, or null when they are not
// well-formed XML. The caller frees it with xmlFreeDoc.
inline xmlDocPtr ParseXml(std::string_view bytes) {
  return xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "fuzz.xml", "UTF-8",
                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
}

// IsWellFormedXml(): the bytes are one well-formed XML document.
inline bool IsWellFormedXml(std::string_view bytes) {
  xmlDocPtr document = ParseXml(bytes);
  const bool parsed = document != nullptr;
  xmlFreeDoc(document);  // null is allowed
  return parsed;
}

// Utf8CodePoints(): the code points of UTF-8 bytes; false for malformed bytes.
inline bool Utf8CodePoints(std::string_view bytes, std::u32string& code_points) {
  code_points.clear();
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  while (left > 0) {
    int length = static_cast<int>(left < 4 ? left : 4);
    const int code_point = xmlGetUTF8Char(data, &length);
    if (code_point < 0 || length <= 0) return false;
    code_points.push_back(static_cast<char32_t>(code_point));
    data += length;
    left -= static_cast<std::size_t>(length);
  }
  return true;
}

}  // namespace ordexa::fuzz
