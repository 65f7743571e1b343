// Working out structured addresses from street, city and name lines.
#include "iso2019/iso2019_address.h"

#include <array>
#include <cstddef>
#include <string>

#include "iso2019/iso2019_text.h"

namespace ordexa {

namespace {

constexpr std::size_t kStreetNameLength = 70;
constexpr std::size_t kBuildingNumberLength = 16;
constexpr std::size_t kPostBoxLength = 16;
constexpr std::size_t kPostCodeLength = 16;
constexpr std::size_t kTownLength = 35;
constexpr std::size_t kAddressLineLength = 70;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithWordIgnoringCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Upper(text[i]) != Upper(word[i])) return false;
  }
  return text.size() == word.size() || text[word.size()] == ' ';
}

bool IsPostBox(std::string_view street) {
  static constexpr std::array<std::string_view, 4> kWords = {"Postfach", "Case postale", "Casella postale",
                                                             "P.O. Box"};
  for (const std::string_view word : kWords) {
    if (StartsWithWordIgnoringCase(street, word)) return true;
  }
  return false;
}

// The length of a City's country prefix ("D-", "FL-"), letters and a dash before a digit; 0
// without one.
std::size_t CountryPrefixLength(std::string_view city) {
  std::size_t letters = 0;
  while (letters < city.size() && IsLetter(city[letters])) ++letters;
  if (letters == 0 || letters + 1 >= city.size() || city[letters] != '-' || !IsDigit(city[letters + 1])) return 0;
  return letters + 1;
}

// One part: cut to its element, the cut reported at the property it came from.
void PutPart(std::string& part, std::string text, std::size_t length, std::string_view key, std::string_view subkey,
             std::string_view element, Iso2019Findings& findings) {
  if (findings.collecting() && text.size() > length) {
    std::string written = text;
    CutText(written, length);
    findings.Cut(key, subkey, text, written, length, element);
    part = std::move(written);
    return;
  }
  CutText(text, length);
  part = std::move(text);
}

void SplitStreet(std::string_view street, std::string_view key, Iso2019Address& out, Iso2019Findings& findings) {
  if (street.empty()) return;
  if (IsPostBox(street)) {
    PutPart(out.post_box, std::string(street), kPostBoxLength, key, "Street", "PstBx", findings);
    return;
  }
  std::string_view name = street;
  std::string_view number;
  const std::size_t last_blank = street.rfind(' ');
  const std::string_view last_word = last_blank == std::string_view::npos ? street : street.substr(last_blank + 1);
  const std::size_t first_blank = street.find(' ');
  const std::string_view first_word = street.substr(0, first_blank);
  if (IsDigit(last_word.front())) {
    number = last_word;
    name = last_blank == std::string_view::npos ? std::string_view() : TrimBlanks(street.substr(0, last_blank));
  } else if (IsDigit(first_word.front())) {
    number = first_word;
    name = TrimBlanks(street.substr(first_blank + 1));
  }
  if (!name.empty()) PutPart(out.street_name, std::string(name), kStreetNameLength, key, "Street", "StrtNm", findings);
  if (!number.empty()) {
    PutPart(out.building_number, std::string(number), kBuildingNumberLength, key, "Street", "BldgNb", findings);
  }
}

void SplitCity(std::string_view city, std::string_view key, Iso2019Address& out, Iso2019Findings& findings) {
  city = TrimBlanks(city.substr(CountryPrefixLength(city)));
  if (city.empty()) return;
  const std::size_t blank = city.find(' ');
  if (blank != std::string_view::npos) {
    const std::string_view first_word = city.substr(0, blank);
    bool holds_digit = false;
    for (const char c : first_word) holds_digit = holds_digit || IsDigit(c);
    if (holds_digit) {
      PutPart(out.post_code, std::string(first_word), kPostCodeLength, key, "City", "PstCd", findings);
      PutPart(out.town, std::string(TrimBlanks(city.substr(blank + 1))), kTownLength, key, "City", "TwnNm", findings);
      return;
    }
  }
  PutPart(out.town, std::string(city), kTownLength, key, "City", "TwnNm", findings);
}

}  // namespace

std::string CountryFromCityPrefix(std::string_view city) {
  const std::size_t prefix = CountryPrefixLength(city);
  if (prefix == 2) {
    struct VehicleCode {
      char letter;
      std::string_view country;
    };
    static constexpr std::array<VehicleCode, 10> kCodes = {{{'D', "DE"},
                                                            {'A', "AT"},
                                                            {'F', "FR"},
                                                            {'I', "IT"},
                                                            {'B', "BE"},
                                                            {'L', "LU"},
                                                            {'E', "ES"},
                                                            {'P', "PT"},
                                                            {'S', "SE"},
                                                            {'N', "NO"}}};
    for (const VehicleCode& code : kCodes) {
      if (Upper(city[0]) == code.letter) return std::string(code.country);
    }
    return {};
  }
  if (prefix == 3) {
    const std::string letters{Upper(city[0]), Upper(city[1])};
    return letters == "FL" ? std::string("LI") : letters;
  }
  return {};
}

void WorkOutIso2019Address(const PayAddressView& address, std::string_view key, bool swiss,
                           std::string_view fallback_country, Iso2019Address& out, Iso2019Findings& findings) {
  out = Iso2019Address{};
  const std::string street_name = DocumentText(address.street_name, swiss);
  const std::string building_number = DocumentText(address.building_number, swiss);
  if (street_name.empty() && building_number.empty()) {
    SplitStreet(DocumentText(address.street, swiss), key, out, findings);
  } else {
    PutPart(out.street_name, street_name, kStreetNameLength, key, "StreetName", "StrtNm", findings);
    PutPart(out.building_number, building_number, kBuildingNumberLength, key, "BuildingNumber", "BldgNb", findings);
  }

  const std::string post_code = DocumentText(address.post_code, swiss);
  const std::string town = DocumentText(address.town, swiss);
  if (post_code.empty() && town.empty()) {
    SplitCity(DocumentText(address.city, swiss), key, out, findings);
  } else {
    PutPart(out.post_code, post_code, kPostCodeLength, key, "PostCode", "PstCd", findings);
    PutPart(out.town, town, kTownLength, key, "Town", "TwnNm", findings);
  }

  const std::string country = UpperAscii(address.country);
  if (!country.empty()) {
    if (country.size() == 2 && IsLetter(country[0]) && IsLetter(country[1])) {
      out.country = country;
    } else {
      findings.Refuse(key, "Country", "\"" + DocumentText(address.country, false) + "\" is not a two-letter country code",
                      "Das Land \"" + DocumentText(address.country, false) + "\" ist kein L\xE4" "nderkennzeichen aus zwei Buchstaben.");
    }
  } else if (std::string from_prefix = CountryFromCityPrefix(TrimBlanks(address.city)); !from_prefix.empty()) {
    out.country = std::move(from_prefix);
  } else {
    out.country = fallback_country;
  }

  PutPart(out.line, DocumentText(address.name2, swiss), kAddressLineLength, key, "Name2", "AdrLine", findings);
}

}  // namespace ordexa
