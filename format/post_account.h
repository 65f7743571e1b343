// Swiss postal account numbers (prefix-number-check digit) and the modulo 10 recursive
// check digit of postal and reference numbers.
#pragma once

#include <string>
#include <string_view>

#include "format/record_output.h"

namespace ordexa {

// CheckDigitMod10()
// The modulo 10 recursive check digit ('0'..'9') over the digits of `digits`; every
// character that is not a digit is skipped, and a shorter text is computed over what is
// there (the empty text gives '0').
// Example: CheckDigitMod10("01000162") == '8'.
char CheckDigitMod10(std::string_view digits);

// NormalizePostAccount()
// A postal account text with dashes as its nine-character form: two-digit prefix,
// six-digit number, check digit ("1-2345-6" -> "010023456"). A text without "-" (or
// empty) is returned unchanged. A missing check digit is computed over the body with
// "0" appended ("01-162" -> "010001626"). Never fails.
std::string NormalizePostAccount(std::string_view account);

// A postal account as NormalizePostAccountText gives it, held without allocation: its
// nine-character form, or a view of the account text when that is returned unchanged.
class PostAccountText {
 public:
  explicit PostAccountText(std::string_view unchanged) : unchanged_(unchanged) {}
  explicit PostAccountText(const ShortRecordText& normalized) : normalized_(normalized), is_normalized_(true) {}

  std::string_view view() const { return is_normalized_ ? normalized_.view() : unchanged_; }
  operator std::string_view() const { return view(); }

 private:
  std::string_view unchanged_;
  ShortRecordText normalized_{};
  bool is_normalized_ = false;
};

// NormalizePostAccountText(): NormalizePostAccount without allocating; the result may
// view `account`, so it lives no longer than that text.
// Example: NormalizePostAccountText("1-2345-6").view() == "010023456".
PostAccountText NormalizePostAccountText(std::string_view account);

}  // namespace ordexa
