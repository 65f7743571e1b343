// Tests of the single-field rules of the fixed-width formats and of the amount readers.
#include "tools/inspect/field_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ordexa::inspect_test {
namespace {

using inspect::CheckField;
using inspect::FieldKind;
using K = FieldKind;

std::string Problems(FieldKind kind, std::string_view raw, std::string_view expected = {}, bool clearing = false) {
  const inspect::FieldLayout field{"field", 1, static_cast<int>(raw.size()), kind, expected};
  std::string joined;
  for (const std::string& problem : CheckField(field, raw, {clearing}))
    joined += (joined.empty() ? "" : " | ") + problem;
  return joined;
}

TEST(CheckField, ByKind) {
  const struct {
    FieldKind kind;
    std::string raw;
    std::string expected_problems;  // empty: sound
    std::string expected = {};
    bool clearing = false;
  } cases[] = {
      {K::kLiteral, "02", "\"02\" found, expected \"01\"", "01"},
      {K::kChoice, "7", "\"7\" is not one of 0, 1, 2", "012"},
      {K::kBlank, "  x ", "\"  x \" found where only blanks belong"},
      {K::kZeros, "0 0", "\"0 0\" found where only zeros belong"},
      {K::kSequence, "0001 ", "\"0001 \" is not a number"},
      {K::kDate, "240229", ""},
      {K::kDate, "000229", ""},
      {K::kDate, "230229", "\"230229\" is not a valid date (YYMMDD)"},
      {K::kDate, "000000", "\"000000\" is not a valid date (YYMMDD)"},
      {K::kDate, "-1901-", "\"-1901-\" is not a valid date (YYMMDD)"},
      {K::kDateOrZeros, "000000", ""},
      {K::kDateOrZeros, "000001", "\"000001\" is not a valid date (YYMMDD) nor 000000"},
      {K::kDtaAmount, "1234,50     ", ""},
      {K::kDtaAmount, "12,5        ", "\"12,5        \" is not an amount (such as 1234,50)"},
      {K::kDtaAmount, "12345678901,", "\"12345678901,\" is not an amount (such as 1234,50)"},
      {K::kEzagAmount, "0000000123450", ""},
      {K::kEzagAmount, "00000000-1250", ""},
      {K::kEzagAmount, "0000-00001250", "\"0000-00001250\" is not an amount (13 digits, such as 0000000123450)"},
      {K::kCurrency, "eur", "\"eur\" is not a currency code (three capital letters)"},
      {K::kPostAccount, "010001627", "\"010001627\" is not a valid postal account (check digit 8 expected)"},
      {K::kPostAccount, "01-162-8 ", "\"01-162-8 \" is not a valid postal account (nine digits expected)"},
      {K::kPostAccountIfDigits, "CH0400778", ""},
      {K::kPostAccountIfDigits, "800000027", "\"800000027\" is not a valid postal account (check digit 2 expected)"},
      {K::kAccount, "CH93 0076 2011 6238 5295 7 ", ""},
      {K::kAccount, "CH9300762011623852958   ",
       "\"CH9300762011623852958\" is not a valid IBAN (check sum remainder 28, 1 expected)"},
      {K::kAccount, "CH93 0076 2011 6238 5295 ",
       "\"CH93 0076 2011 6238 5295\" is not a valid IBAN (check sum remainder 14, 1 expected)"},
      {K::kAccount, "CH040070011000000000",
       "\"CH040070011000000000\" is not a valid IBAN (a Swiss IBAN has 21 characters, not 20)"},
      {K::kAccount, "1100-0555.512   ", ""},
      {K::kBeneficiaryAccount, "010001627  ", "\"010001627\" is not a valid postal account (check digit 8 expected)"},
      {K::kBeneficiaryAccount, "010001627  ", "", "", true},
      {K::kIban, "      ", "is empty where an IBAN is needed"},
      {K::kEsrReference, "210000000003139471430009017", ""},
      {K::kEsrReference, "210000000003139471430009018",
       "\"210000000003139471430009018\" is not a valid reference number (check digit 7 expected)"},
      {K::kEsrReference, "12 345                     ", "\"12 345\" is not a valid reference number (digits only)"},
      {K::kEsrReference, "                           ", "is empty where a reference number is needed"},
      {K::kClearingBlock, "               ", ""},
      {K::kClearingBlock, "070070057      ", ""},
      {K::kClearingBlock, "070070075      ",
       "\"070070075\" is not a valid bank clearing number (check digits 57 expected)"},
      {K::kClearingBlock, "080070057      ",
       "\"080070057      \" is not \"07\", a five-digit clearing number and two check digits"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected_problems, Problems(c.kind, c.raw, c.expected, c.clearing)) << c.raw;
  }
}

TEST(ParseAmount, DtaAndEzagForms) {
  const struct {
    std::string raw;
    std::optional<std::int64_t> dta, ezag;
  } cases[] = {
      {"1234,50", 123450, std::nullopt},
      {"-12,50  ", -1250, std::nullopt},
      {"0000000123450", std::nullopt, 123450},
      {"00000000-1250", std::nullopt, -1250},
      {"000000000-050", std::nullopt, -50},
      {"-99999999999", std::nullopt, std::nullopt},
      {"9999999999999", std::nullopt, 9999999999999},
      {"", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.dta, inspect::ParseDtaAmount(c.raw)) << c.raw;
    EXPECT_EQ(c.ezag, inspect::ParseEzagAmount(c.raw)) << c.raw;
  }
}

}  // namespace
}  // namespace ordexa::inspect_test
