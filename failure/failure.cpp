// MPayError and CAtlException: building message texts and the raise funnels.
#include "failure/failure.h"

#include <cstdio>

namespace ordexa {

std::string FormatMessageText(std::string_view format, std::initializer_list<MessageArgument> args) {
  std::string text;
  text.reserve(format.size() + 64);
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      text.push_back(c);
      continue;
    }
    const char directive = format[++i];
    if (directive == '%') {
      text.push_back('%');
      continue;
    }
    if (next == args.end()) continue;
    const MessageArgument& argument = *next++;
    if (directive == 's') {
      if (const auto* s = std::get_if<std::string_view>(&argument)) text.append(*s);
    } else if (directive == 'X') {
      if (const auto* n = std::get_if<std::uint32_t>(&argument)) {
        char digits[16];
        const int length = std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(*n));
        text.append(digits, static_cast<std::size_t>(length));
      }
    }
  }
  return text;
}

MPayError::MPayError(std::uint16_t id, std::initializer_list<MessageArgument> args)
    : MPayError(id, static_cast<HRESULT>(0x80040000u | id), args) {}

MPayError::MPayError(std::uint16_t id, HRESULT status, std::initializer_list<MessageArgument> args)
    : id_(id), status_(status), text_(FormatMessageText(LoadMessageFormat(id), args)) {}

void RaiseCreateFileError(HRESULT status, std::string_view file_name) {
  throw MPayError(IDS_CREATE_FILE_ERROR, status, {static_cast<std::uint32_t>(status), file_name});
}

void RaiseWriteFileError(HRESULT status) {
  throw MPayError(IDS_WRITE_FILE_ERROR, status, {static_cast<std::uint32_t>(status)});
}

void AtlThrow(HRESULT hr) { throw CAtlException(hr); }

}  // namespace ordexa
