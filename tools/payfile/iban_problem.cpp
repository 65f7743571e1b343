// The reasons check-iban gives.
#include "tools/payfile/iban_problem.h"

#include <algorithm>
#include <iterator>
#include <cstdint>

#include "platform/cp1252.h"

namespace ordexa::payfile {

namespace {

struct CountryLength {
  char code[3];
  std::uint8_t length;
};

// The IBAN length of each country of the IBAN registry (ISO 13616), by country code.
constexpr CountryLength kLengths[] = {
    {"AD", 24}, {"AE", 23}, {"AL", 28}, {"AT", 20}, {"AZ", 28}, {"BA", 20}, {"BE", 16}, {"BG", 22}, {"BH", 22},
    {"BI", 27}, {"BR", 29}, {"BY", 28}, {"CH", 21}, {"CR", 22}, {"CY", 28}, {"CZ", 24}, {"DE", 22}, {"DJ", 27},
    {"DK", 18}, {"DO", 28}, {"EE", 20}, {"EG", 29}, {"ES", 24}, {"FI", 18}, {"FK", 18}, {"FO", 18}, {"FR", 27},
    {"GB", 22}, {"GE", 22}, {"GI", 23}, {"GL", 18}, {"GR", 27}, {"GT", 28}, {"HR", 21}, {"HU", 28}, {"IE", 22},
    {"IL", 23}, {"IQ", 23}, {"IS", 26}, {"IT", 27}, {"JO", 30}, {"KW", 30}, {"KZ", 20}, {"LB", 28}, {"LC", 32},
    {"LI", 21}, {"LT", 20}, {"LU", 20}, {"LV", 21}, {"LY", 25}, {"MC", 27}, {"MD", 24}, {"ME", 22}, {"MK", 19},
    {"MN", 20}, {"MR", 27}, {"MT", 31}, {"MU", 30}, {"NI", 28}, {"NL", 18}, {"NO", 15}, {"OM", 23}, {"PK", 24},
    {"PL", 28}, {"PS", 29}, {"PT", 25}, {"QA", 29}, {"RO", 24}, {"RS", 22}, {"RU", 33}, {"SA", 24}, {"SC", 31},
    {"SD", 18}, {"SE", 24}, {"SI", 19}, {"SK", 24}, {"SM", 27}, {"SO", 23}, {"ST", 25}, {"SV", 28}, {"TL", 23},
    {"TN", 24}, {"TR", 26}, {"UA", 29}, {"VA", 22}, {"VG", 24}, {"XK", 20}, {"YE", 30}, {"MA", 28},
};

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The remainder modulo 97 of the IBAN with its first four characters moved to the end and
// letters read as 10 to 35.
int Mod97(std::string_view iban) {
  int remainder = 0;
  const auto add = [&remainder](char c) {
    remainder = IsDigit(c) ? (remainder * 10 + (c - '0')) % 97 : (remainder * 100 + (c - 'A' + 10)) % 97;
  };
  for (std::size_t i = 4; i < iban.size(); ++i) add(iban[i]);
  for (std::size_t i = 0; i < 4; ++i) add(iban[i]);
  return remainder;
}

}  // namespace

std::string IbanProblem(std::string_view text) {
  std::string iban;
  for (const char c : text) {
    if (c == ' ') continue;
    iban.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  if (iban.empty()) return "empty";
  for (const char c : iban) {
    if (!IsLetter(c) && !IsDigit(c)) {
      return "\"" + Cp1252ToUtf8(std::string_view(&c, 1)) + "\" is no IBAN character (letters, digits and blanks only)";
    }
  }
  if (iban.size() < 4 || !IsLetter(iban[0]) || !IsLetter(iban[1]) || !IsDigit(iban[2]) || !IsDigit(iban[3])) {
    return "an IBAN starts with a country code and two check digits, such as CH93";
  }
  const std::string_view country = std::string_view(iban).substr(0, 2);
  const auto known = std::find_if(std::begin(kLengths), std::end(kLengths),
                                  [country](const CountryLength& entry) { return country == entry.code; });
  if (known == std::end(kLengths)) return std::string(country) + " is no country of the IBAN registry";
  if (iban.size() != known->length) {
    return std::to_string(iban.size()) + " characters; an IBAN of " + std::string(country) + " has " +
           std::to_string(known->length);
  }
  if (Mod97(iban) != 1) return "its check digits " + iban.substr(2, 2) + " do not match the rest";
  return {};
}

}  // namespace ordexa::payfile
