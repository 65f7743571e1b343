// Caller texts as the EZAG records carry them: carriage returns and line feeds as blanks.
#include "ezag/ezag_text.h"

#include <algorithm>

namespace ordexa::detail {

SingleLineText::SingleLineText(std::string_view text) : view_(text) {
  if (text.find_first_of("\r\n") == std::string_view::npos) return;
  cleaned_.assign(text);
  std::replace_if(cleaned_.begin(), cleaned_.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  view_ = cleaned_;
}

}  // namespace ordexa::detail
