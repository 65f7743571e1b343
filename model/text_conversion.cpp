// Caller texts to code page 1252 and back, straight between the caller's string and the
// batch's text store.
#include "model/text_conversion.h"

#include <new>

#include "platform/cp1252.h"

namespace ordexa {

namespace {

// The caller's text counts up to its first NUL, whatever length the BSTR carries.
WideStringView UpToNul(const OLECHAR* text) {
  if (text == nullptr) return {};
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return WideStringView(text, length);
}

}  // namespace

namespace text_conversion_detail {

std::size_t ToAnsiTextInto(const OLECHAR* text, char (&bytes)[kStackText]) {
  const WideStringView wide = UpToNul(text);
  if (wide.size() > kStackText) return kNotOnStack;
  const std::size_t size = WideToCp1252Into(wide, bytes);
  return size == kTextDoesNotFit ? kNotOnStack : size;
}

}  // namespace text_conversion_detail

std::string ToAnsiText(const OLECHAR* text) { return WideToCp1252(UpToNul(text)); }

void StoreAnsiText(TextStore& texts, TextRef& field, const OLECHAR* text) {
  WithAnsiText(text, [&](std::string_view bytes) { texts.Set(field, bytes); });
}

BSTR ToCallerText(std::string_view text) {
  BSTR caller = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
  if (caller == nullptr) return nullptr;
  const std::size_t units = Cp1252ToWideInto(text, caller);
  if (units == text.size()) return caller;
  // A multi-byte thread code page gave fewer units than bytes: the string gets their length.
  BSTR exact = SysAllocStringLen(caller, static_cast<UINT>(units));
  SysFreeString(caller);
  return exact;
}

}  // namespace ordexa
