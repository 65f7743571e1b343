// The component's failure objects: MPayError (a message id and its German text) and
// CAtlException (an HRESULT), thrown by value and caught at the interface boundary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <initializer_list>

#include "winerror.h"
#include "platform/message_table.h"

namespace ordexa {

// One argument of a message format: "%s" takes a text, "%X" an unsigned 32-bit number.
using MessageArgument = std::variant<std::string_view, std::uint32_t>;

// FormatMessageText()
// Formats a message format of the string table ("%s", "%X", "%%") with its arguments, in
// full whatever the length. A directive without a matching argument is written as nothing.
// Example: FormatMessageText("Status = 0x%X", {0x80070005u}) == "Status = 0x80070005".
std::string FormatMessageText(std::string_view format, std::initializer_list<MessageArgument> args);

class MPayError {
 public:
  // Builds the text from the string table's format for `id` and the arguments; an id
  // without a string gives an empty text.
  MPayError(std::uint16_t id, std::initializer_list<MessageArgument> args);
  // The same with the status a caller is given for it (the system error of a file call);
  // without one the status is MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, id).
  MPayError(std::uint16_t id, HRESULT status, std::initializer_list<MessageArgument> args);

  std::uint16_t id() const { return id_; }
  const std::string& text() const { return text_; }
  HRESULT status() const { return status_; }

 private:
  std::uint16_t id_;
  HRESULT status_;
  std::string text_;
};

// RaiseCreateFileError(): raises MPayError 2001 with the status and the file name (the
// status is the error's too).
[[noreturn]] void RaiseCreateFileError(HRESULT status, std::string_view file_name);

// RaiseWriteFileError(): raises MPayError 2002 with the status.
[[noreturn]] void RaiseWriteFileError(HRESULT status);

class CAtlException {
 public:
  explicit CAtlException(HRESULT hr) : hr_(hr) {}
  HRESULT hr() const { return hr_; }
  operator HRESULT() const { return hr_; }

 private:
  HRESULT hr_;
};

// AtlThrow(): raises CAtlException with `hr`; never returns.
[[noreturn]] void AtlThrow(HRESULT hr);

}  // namespace ordexa
