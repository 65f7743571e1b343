// Amounts of the batch file to currency values (signed 64-bit ten-thousandths), exactly:
// the decimal digits are worked on as digits, never through floating point.
#pragma once

#include <cstdint>
#include <string_view>

namespace ordexa::payfile {

enum class AmountStatus {
  kOk,
  kNotANumber,       // the text is not of the accepted form
  kTooManyDecimals,  // a decimal text with more than four decimals
  kOutOfRange,       // the value does not fit a signed 64-bit count of ten-thousandths
};

struct AmountParse {
  AmountStatus status = AmountStatus::kNotANumber;
  std::int64_t amount = 0;  // ten-thousandths, valid when status is kOk
};

// ParseDecimalAmount()
// A decimal text: an optional "-", at least one digit, and optionally "." with one to
// four digits; nothing else (no "+", no blanks, no exponent, no separators). The value is
// exact. Fails with kNotANumber, kTooManyDecimals or kOutOfRange (beyond
// -922337203685477.5808 ... 922337203685477.5807).
// Example: ParseDecimalAmount("-1234.5").amount == -12345000.
AmountParse ParseDecimalAmount(std::string_view text);

// ParseJsonNumberAmount()
// A number as written in JSON (-?int[.frac][(e|E)[+-]digits]), rounded to four decimals
// half away from zero on its exact decimal value: 0.00005 gives 1, -0.00005 gives -1,
// 0.000049999 gives 0. Fails with kNotANumber for any other text and kOutOfRange when
// the rounded value does not fit.
// Example: ParseJsonNumberAmount("1.5e3").amount == 15000000.
AmountParse ParseJsonNumberAmount(std::string_view token);

}  // namespace ordexa::payfile
