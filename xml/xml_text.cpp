// XML text cleaning by a 256-entry table, and the currency,
// clearing number and country derivations of the ISO 20022 writer.
#include "xml/xml_text.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "format/record_text.h"

namespace ordexa {

namespace {

// The cleaning of the fixed-width records, except that "&" (which XML would have to
// escape) becomes "+".
const std::array<char, 256> kXmlCleanTable = [] {
  std::array<char, 256> table{};
  for (std::size_t code = 0; code < table.size(); ++code) table[code] = CleanRecordChar(static_cast<char>(code));
  table['&'] = '+';
  return table;
}();

}  // namespace

std::string CleanXmlText(std::string_view text) {
  std::string cleaned(text.size(), ' ');
  CleanXmlTextInto(text, cleaned.data());
  return cleaned;
}

void CleanXmlTextInto(std::string_view text, char* out) {
  for (const char c : text) *out++ = kXmlCleanTable[static_cast<unsigned char>(c)];
}

std::string_view IsoCurrency(std::string_view cost_currency) {
  // SIC is the Swiss euro clearing: its payments are in euros as well.
  if (cost_currency == "EUR" || cost_currency == "SIC") return "EUR";
  return "CHF";
}

std::string_view ClearingFromIban(std::string_view iban) {
  // Positions 5 to 9 of a Swiss IBAN hold the clearing number, zero-filled to five digits.
  std::string_view clearing = iban.substr(std::min<std::size_t>(4, iban.size()), 5);
  const std::size_t first_significant = clearing.find_first_not_of('0');
  if (first_significant == std::string_view::npos) return {};
  return clearing.substr(first_significant);
}

std::string_view CountryFromCity(std::string_view city) {
  // The city text usually starts with a vehicle code such as "D-" or "FL-" in front of
  // the postal code; a Swiss address starts with its postal code directly.
  std::size_t run = 0;
  while (run < city.size() && static_cast<unsigned char>(city[run]) > 64 &&
         static_cast<unsigned char>(city[run]) < 0x80) {
    ++run;
  }
  const std::string_view code = city.substr(0, run);
  if (code.empty()) return "CH";
  if (code == "A") return "AT";
  if (code == "D") return "DE";
  if (code == "F") return "FR";
  if (code == "I") return "IT";
  return code;
}

}  // namespace ordexa
