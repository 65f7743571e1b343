// Caller texts (UTF-16 BSTR) to the component's single-byte texts (code page 1252) and back.
#pragma once

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

// StoreAnsiText()
// ToAnsiText of `text` straight into `field` of `texts`, without a string of its own for
// a text of ordinary length. Throws std::bad_alloc; `field` then keeps its old text.
void StoreAnsiText(TextStore& texts, TextRef& field, const OLECHAR* text);

// ToCallerText()
// A new caller string (the caller frees it) holding the 1252 text as UTF-16; the empty
// text gives an empty, non-null string; null when the string cannot be allocated.
BSTR ToCallerText(std::string_view text);

}  // namespace ordexa
