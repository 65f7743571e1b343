// Caller texts as the EZAG records carry them: every text on one line, so no caller text
// can end a record early.
#pragma once

#include <string>
#include <string_view>

namespace ordexa::detail {

// SingleLineText: a caller text with every carriage return and line feed as a blank. A
// clean text is only viewed (no copy); a copy is made only when a byte must be replaced.
// Not copyable: the view may point into the object's own copy.
class SingleLineText {
 public:
  explicit SingleLineText(std::string_view text);
  SingleLineText(const SingleLineText&) = delete;
  SingleLineText& operator=(const SingleLineText&) = delete;

  std::string_view view() const { return view_; }
  operator std::string_view() const { return view_; }

 private:
  std::string cleaned_;
  std::string_view view_;
};

}  // namespace ordexa::detail
