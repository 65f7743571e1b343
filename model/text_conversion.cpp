// Caller texts to code page 1252 and back.
#include "model/text_conversion.h"

#include "platform/cp1252.h"

namespace ordexa {

std::string ToAnsiText(const OLECHAR* text) {
  if (text == nullptr) return {};
  // The caller's text counts up to its first NUL, whatever length the BSTR carries.
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return WideToCp1252(WideStringView(text, length));
}

BSTR ToCallerText(std::string_view text) {
  try {
    const WideString wide = Cp1252ToWide(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace ordexa
