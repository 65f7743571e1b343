// Caller texts as the EZAG records carry them: carriage returns and line feeds as blanks.
#include "ezag/ezag_text.h"

#include <algorithm>

namespace ordexa::detail {

namespace {

constexpr bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

SingleLineText::SingleLineText(std::string_view text) : view_(text) {
  // One pass over the text (find_first_of would search the two characters per byte).
  if (std::none_of(text.begin(), text.end(), IsLineBreak)) return;
  cleaned_.assign(text);
  std::replace_if(cleaned_.begin(), cleaned_.end(), IsLineBreak, ' ');
  view_ = cleaned_;
}

}  // namespace ordexa::detail
