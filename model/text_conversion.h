// Caller texts (UTF-16 BSTR) to the component's single-byte texts (code page 1252) and back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "oleauto.h"
#include "records/text_store.h"

namespace ordexa {

// ToAnsiText()
// The caller's text up to its first NUL, converted to code page 1252 as the platform's
// conversion without flags does it (exact, else best fit, else '?'). A null or empty
// text gives the empty text. Example: ToAnsiText(u"\u0141\u00F3d\u017A") == "L\xF3" "dz".
std::string ToAnsiText(const OLECHAR* text);

namespace text_conversion_detail {

// Texts up to this length are converted on the stack.
inline constexpr std::size_t kStackText = 512;
inline constexpr std::size_t kNotOnStack = static_cast<std::size_t>(-1);

// ToAnsiTextInto(): ToAnsiText into `bytes`: the size, or kNotOnStack when it does not fit.
std::size_t ToAnsiTextInto(const OLECHAR* text, char (&bytes)[kStackText]);

}  // namespace text_conversion_detail

// WithAnsiText()
// Hands ToAnsiText of `text` to `use` as a string_view valid for the call, converted on the
// stack for a text of ordinary length (no allocation). Throws what `use` throws, and
// std::bad_alloc for a long text.
// Example: WithAnsiText(u"Z\u00FCrich", [&](std::string_view bytes) { store(bytes); }).
template <class Use>
void WithAnsiText(const OLECHAR* text, Use&& use) {
  char bytes[text_conversion_detail::kStackText];
  const std::size_t size = text_conversion_detail::ToAnsiTextInto(text, bytes);
  if (size != text_conversion_detail::kNotOnStack) {
    use(std::string_view(bytes, size));
    return;
  }
  const std::string converted = ToAnsiText(text);
  use(std::string_view(converted));
}

// StoreAnsiText()
// ToAnsiText of `text` straight into `field` of `texts`, without a string of its own for
// a text of ordinary length. Throws std::bad_alloc; `field` then keeps its old text.
void StoreAnsiText(TextStore& texts, TextRef& field, const OLECHAR* text);

// ToCallerText()
// A new caller string (the caller frees it) holding the 1252 text as UTF-16; the empty
// text gives an empty, non-null string; null when the string cannot be allocated.
BSTR ToCallerText(std::string_view text);

}  // namespace ordexa
