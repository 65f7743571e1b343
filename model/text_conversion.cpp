// Caller texts to code page 1252 and back, straight between the caller's string and the
// batch's text store.
#include "model/text_conversion.h"

#include "platform/cp1252.h"

namespace ordexa {

namespace {

// The caller's text counts up to its first NUL, whatever length the BSTR carries.
std::u16string_view UpToNul(const OLECHAR* text) {
  if (text == nullptr) return {};
  return std::u16string_view(text);
}

// Texts up to this length are converted on the stack.
constexpr std::size_t kStackText = 512;

}  // namespace

std::string ToAnsiText(const OLECHAR* text) { return WideToCp1252(UpToNul(text)); }

void StoreAnsiText(TextStore& texts, TextRef& field, const OLECHAR* text) {
  const std::u16string_view wide = UpToNul(text);
  if (wide.size() <= kStackText) {
    char bytes[kStackText];
    texts.Set(field, std::string_view(bytes, WideToCp1252Into(wide, bytes)));
  } else {
    texts.Set(field, WideToCp1252(wide));
  }
}

BSTR ToCallerText(std::string_view text) {
  BSTR caller = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
  if (caller != nullptr) Cp1252ToWideInto(text, caller);
  return caller;
}

}  // namespace ordexa
