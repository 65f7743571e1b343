// The rules a fixed-width field must follow, by the kind its layout gives it, and the
// readers of the values the record checks add up (amounts, numbers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/inspect/layouts.h"

namespace ordexa::inspect {

// What a field's check needs to know of the rest of its record.
struct FieldContext {
  bool bank_clearing_given = false;  // DTA TA 827: the beneficiary's bank has a clearing number
};

// CheckField()
// The problems of one field, as texts that name the value found and what was expected;
// empty when the field is sound. `raw` is the field's bytes (code page 1252).
// Example: CheckField({"charge rule", 109, 1, FieldKind::kChoice, "012"}, "7", {})
//          == {"\"7\" is not one of 0, 1, 2"}.
std::vector<std::string> CheckField(const FieldLayout& field, std::string_view raw, const FieldContext& context);

// Quoted(): a field value in double quotes, converted to UTF-8 for the terminal.
std::string Quoted(std::string_view raw);

// IsValidDate(): six digits YYMMDD naming a real day (years 00-99 read as 2000-2099).
bool IsValidDate(std::string_view yymmdd);

// ParseDtaAmount()
// A DTA amount ("-12,50", left-aligned, blanks after it) in hundredths; nothing when the
// field holds anything else. Example: ParseDtaAmount("1234,50   ") == 123450.
std::optional<std::int64_t> ParseDtaAmount(std::string_view raw);

// ParseEzagAmount()
// A 13-character EZAG amount (integer part right-aligned in the first 11 characters with
// leading zeros, a minus before its digits, then two decimals) in hundredths.
// Example: ParseEzagAmount("00000000-1250") == -1250.
std::optional<std::int64_t> ParseEzagAmount(std::string_view raw);

// ParseNumber(): a field of digits only as a number; nothing otherwise or when too long.
std::optional<std::int64_t> ParseNumber(std::string_view raw);

// AmountText(): hundredths as "1234.50" (or with a decimal comma).
std::string AmountText(std::int64_t hundredths, char decimal_separator);

// TrimRight(): without trailing blanks.
std::string_view TrimRight(std::string_view text);

}  // namespace ordexa::inspect
