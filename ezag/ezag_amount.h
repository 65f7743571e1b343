// The EZAG amount field: 13 characters, the integer part right-aligned on zeros, then two
// decimals without a decimal point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "format/record_output.h"

namespace ordexa {

// Longest integer part, sign included, that the amount field holds.
inline constexpr std::size_t kEzagAmountIntegerWidth = 11;

// FormatEzagAmount()
// `amount` (ten-thousandths) rounded to two decimals, its integer part (a "-" included)
// zero-filled on the left to 11 characters, then the two decimals: always 13 characters.
// An amount that does not fit (see EzagAmountFits) keeps the first 11 characters of its
// integer part; the writer refuses such amounts before it gets here. Never fails.
// Example: FormatEzagAmount(12345000) == "0000000123450", FormatEzagAmount(-125000) == "00000000-1250".
std::string FormatEzagAmount(std::int64_t amount);

// EzagAmountText(): FormatEzagAmount without allocating.
ShortRecordText EzagAmountText(std::int64_t amount);

// EzagAmountFits()
// Whether the integer part of `amount`, rounded to two decimals and with its sign, has
// at most 11 characters (-9999999999.99 to 99999999999.99).
// Example: EzagAmountFits(999999999999949) is true (99999999999.9949), EzagAmountFits(999999999999950) false.
bool EzagAmountFits(std::int64_t amount);

}  // namespace ordexa
