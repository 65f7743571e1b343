// Checks of single fields: dates, amounts, account numbers with their check digits, IBANs.
#include "tools/inspect/field_checks.h"

#include <algorithm>
#include <cstdlib>

#include "format/iban.h"
#include "format/post_account.h"
#include "platform/calendar.h"
#include "platform/cp1252.h"

namespace ordexa::inspect {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool AllOf(std::string_view text, char c) {
  return std::all_of(text.begin(), text.end(), [c](char each) { return each == c; });
}
bool AllDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit); }

std::string WithoutBlanks(std::string_view text) {
  std::string compact;
  for (const char c : text) {
    if (c != ' ') compact += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return compact;
}

// An IBAN by its shape: country letters, two check digits, then letters and digits.
bool LooksLikeIban(std::string_view text) {
  const std::string compact = WithoutBlanks(text);
  if (compact.size() < 5 || !IsUpper(compact[0]) || !IsUpper(compact[1]) || !IsDigit(compact[2]) ||
      !IsDigit(compact[3])) {
    return false;
  }
  return std::all_of(compact.begin(), compact.end(), [](char c) { return IsDigit(c) || IsUpper(c); });
}

void CheckIban(std::string_view text, std::vector<std::string>& problems) {
  const std::string_view trimmed = TrimRight(text);
  if (!NormalizeIban(trimmed).empty()) return;
  const std::string compact = WithoutBlanks(trimmed);
  const std::int32_t remainder = IbanMod97(compact);
  if (remainder != 1) {
    problems.push_back(Quoted(trimmed) + " is not a valid IBAN (check sum remainder " + std::to_string(remainder) +
                       ", 1 expected)");
  } else {
    problems.push_back(Quoted(trimmed) + " is not a valid IBAN (a Swiss IBAN has 21 characters, not " +
                       std::to_string(compact.size()) + ")");
  }
}

// The modulo 10 check digit in the last place of a postal account or reference number.
void CheckTrailingDigit(std::string_view what, std::string_view digits, std::vector<std::string>& problems) {
  const char expected = CheckDigitMod10(digits.substr(0, digits.size() - 1));
  if (expected != digits.back()) {
    problems.push_back(Quoted(digits) + " is not a valid " + std::string(what) + " (check digit " + expected +
                       " expected)");
  }
}

void CheckPostAccount(std::string_view raw, bool strict, std::vector<std::string>& problems) {
  if (raw.size() == 9 && AllDigits(raw)) {
    CheckTrailingDigit("postal account", raw, problems);
  } else if (strict) {
    problems.push_back(Quoted(raw) + " is not a valid postal account (nine digits expected)");
  }
}

void CheckAccount(std::string_view raw, bool postal_when_digits, std::vector<std::string>& problems) {
  const std::string_view trimmed = TrimRight(raw);
  if (LooksLikeIban(trimmed)) {
    CheckIban(trimmed, problems);
  } else if (postal_when_digits) {
    CheckPostAccount(trimmed, false, problems);
  }
}

void CheckEsrReference(std::string_view raw, std::vector<std::string>& problems) {
  const std::string_view reference = TrimRight(raw);
  if (reference.empty()) {
    problems.push_back("is empty where a reference number is needed");
  } else if (!AllDigits(reference)) {
    problems.push_back(Quoted(reference) + " is not a valid reference number (digits only)");
  } else if (reference.size() == 27) {
    CheckTrailingDigit("reference number", reference, problems);
  }
}

// "07", the five-digit clearing number, its check digit, the check digit of all eight.
void CheckClearingBlock(std::string_view raw, std::vector<std::string>& problems) {
  if (AllOf(raw, ' ')) return;
  const std::string_view block = raw.substr(0, 9);
  if (block.size() != 9 || !block.starts_with("07") || !AllDigits(block) || !AllOf(raw.substr(9), ' ')) {
    problems.push_back(Quoted(raw) + " is not \"07\", a five-digit clearing number and two check digits");
    return;
  }
  const char first = CheckDigitMod10(block.substr(2, 5));
  const char second = CheckDigitMod10(std::string(block.substr(0, 7)) + first);
  if (first != block[7] || second != block[8]) {
    problems.push_back(Quoted(block) + " is not a valid bank clearing number (check digits " + first + second +
                       " expected)");
  }
}

std::string ChoiceList(std::string_view choices) {
  std::string list;
  for (const char c : choices) list += (list.empty() ? "" : ", ") + std::string(1, c);
  return list;
}

}  // namespace

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string Quoted(std::string_view raw) {
  std::string quoted(1, '"');
  quoted.append(Cp1252ToUtf8(raw)).push_back('"');
  return quoted;
}

bool IsValidDate(std::string_view yymmdd) {
  if (yymmdd.size() != 6 || !AllDigits(yymmdd)) return false;
  const int year = 2000 + (yymmdd[0] - '0') * 10 + (yymmdd[1] - '0');
  const unsigned month = static_cast<unsigned>((yymmdd[2] - '0') * 10 + (yymmdd[3] - '0'));
  const unsigned day = static_cast<unsigned>((yymmdd[4] - '0') * 10 + (yymmdd[5] - '0'));
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

std::optional<std::int64_t> ParseNumber(std::string_view raw) {
  if (!AllDigits(raw) || raw.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : raw) value = value * 10 + (c - '0');
  return value;
}

std::optional<std::int64_t> ParseDtaAmount(std::string_view raw) {
  std::string_view text = TrimRight(raw);
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || comma == 0 || text.size() - comma != 3) return std::nullopt;
  const std::optional<std::int64_t> units = ParseNumber(text.substr(0, comma));
  const std::optional<std::int64_t> cents = ParseNumber(text.substr(comma + 1));
  if (!units || !cents || comma > 16) return std::nullopt;
  const std::int64_t value = *units * 100 + *cents;
  return negative ? -value : value;
}

std::optional<std::int64_t> ParseEzagAmount(std::string_view raw) {
  if (raw.size() != 13) return std::nullopt;
  std::string_view units = raw.substr(0, 11);
  while (units.size() > 1 && units.front() == '0') units.remove_prefix(1);
  const bool negative = units.starts_with('-');
  if (negative) units.remove_prefix(1);
  // The minus stands right before the first significant digit ("-0" for an amount below 1).
  if (negative && units.size() > 1 && units.front() == '0') return std::nullopt;
  const std::optional<std::int64_t> whole = ParseNumber(units);
  const std::optional<std::int64_t> cents = ParseNumber(raw.substr(11));
  if (!whole || !cents) return std::nullopt;
  const std::int64_t value = *whole * 100 + *cents;
  return negative ? -value : value;
}

std::string AmountText(std::int64_t hundredths, char decimal_separator) {
  const std::uint64_t magnitude =
      hundredths < 0 ? 0 - static_cast<std::uint64_t>(hundredths) : static_cast<std::uint64_t>(hundredths);
  const auto cents = static_cast<unsigned>(magnitude % 100);
  std::string text = hundredths < 0 ? "-" : "";
  text.append(std::to_string(magnitude / 100)).push_back(decimal_separator);
  text.push_back(static_cast<char>('0' + cents / 10));
  text.push_back(static_cast<char>('0' + cents % 10));
  return text;
}

std::vector<std::string> CheckField(const FieldLayout& field, std::string_view raw, const FieldContext& context) {
  std::vector<std::string> problems;
  switch (field.kind) {
    case FieldKind::kText:
      break;
    case FieldKind::kLiteral:
      if (raw != field.expected) problems.push_back(Quoted(raw) + " found, expected " + Quoted(field.expected));
      break;
    case FieldKind::kChoice:
      if (raw.size() != 1 || field.expected.find(raw[0]) == std::string_view::npos) {
        problems.push_back(Quoted(raw) + " is not one of " + ChoiceList(field.expected));
      }
      break;
    case FieldKind::kBlank:
      if (!AllOf(raw, ' ')) problems.push_back(Quoted(raw) + " found where only blanks belong");
      break;
    case FieldKind::kZeros:
      if (!AllOf(raw, '0')) problems.push_back(Quoted(raw) + " found where only zeros belong");
      break;
    case FieldKind::kNumber:
    case FieldKind::kRecordType:
    case FieldKind::kSequence:
    case FieldKind::kCount:
      if (!AllDigits(raw)) problems.push_back(Quoted(raw) + " is not a number");
      break;
    case FieldKind::kDate:
      if (!IsValidDate(raw)) problems.push_back(Quoted(raw) + " is not a valid date (YYMMDD)");
      break;
    case FieldKind::kDateOrZeros:
      if (raw != "000000" && !IsValidDate(raw)) {
        problems.push_back(Quoted(raw) + " is not a valid date (YYMMDD) nor 000000");
      }
      break;
    case FieldKind::kDtaAmount:
    case FieldKind::kDtaTotal:
      if (!ParseDtaAmount(raw)) problems.push_back(Quoted(raw) + " is not an amount (such as 1234,50)");
      break;
    case FieldKind::kEzagAmount:
    case FieldKind::kEzagTotal:
      if (!ParseEzagAmount(raw))
        problems.push_back(Quoted(raw) + " is not an amount (13 digits, such as 0000000123450)");
      break;
    case FieldKind::kCurrency:
      if (raw.size() != 3 || !std::all_of(raw.begin(), raw.end(), IsUpper)) {
        problems.push_back(Quoted(raw) + " is not a currency code (three capital letters)");
      }
      break;
    case FieldKind::kPostAccount:
      CheckPostAccount(raw, true, problems);
      break;
    case FieldKind::kPostAccountIfDigits:
      CheckPostAccount(raw, false, problems);
      break;
    case FieldKind::kAccount:
      CheckAccount(raw, true, problems);
      break;
    case FieldKind::kBeneficiaryAccount:
      CheckAccount(raw, !context.bank_clearing_given, problems);
      break;
    case FieldKind::kIban:
      if (TrimRight(raw).empty()) {
        problems.push_back("is empty where an IBAN is needed");
      } else {
        CheckIban(raw, problems);
      }
      break;
    case FieldKind::kEsrReference:
      CheckEsrReference(raw, problems);
      break;
    case FieldKind::kClearingBlock:
      CheckClearingBlock(raw, problems);
      break;
  }
  return problems;
}

}  // namespace ordexa::inspect
