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

bool IsCountryCode(std::string_view upper) { return upper.size() == 2 && IsLetter(upper[0]) && IsLetter(upper[1]); }

bool StartsWithWordIgnoringCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Upper(text[i]) != Upper(word[i])) return false;
  }
  return text.size() == word.size() || text[word.size()] == ' ';
}

bool IsPostBox(std::string_view street) {
  // Every word starts with a P or a C; most streets are ruled out by their first letter.
  if (street.empty() || (Upper(street.front()) != 'P' && Upper(street.front()) != 'C')) return false;
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

// A part cut to the `length` of its element, the cut reported at the property it came from.
void CutPart(Iso2019Text& part, std::size_t length, std::string_view key, std::string_view subkey,
             std::string_view element, Iso2019Findings& findings) {
  const std::string_view given = part.view();  // a cut only narrows the view
  if (part.Cut(length) && findings.collecting()) findings.Cut(key, subkey, given, part.view(), length, element);
}

// One part taken from a piece of `whole`: viewed where `whole` views the batch's text,
// else copied, since `whole` is worked with only for this address.
void PutPart(Iso2019Text& part, std::string_view text, const Iso2019Text& whole, std::size_t length,
             std::string_view key, std::string_view subkey, std::string_view element, Iso2019Findings& findings) {
  if (whole.formed()) {
    part.Assign(text);
  } else {
    part.Refer(text);
  }
  CutPart(part, length, key, subkey, element, findings);
}

void SplitStreet(const Iso2019Text& whole, std::string_view key, Iso2019Address& out, Iso2019Findings& findings) {
  const std::string_view street = whole.view();
  if (street.empty()) return;
  if (IsPostBox(street)) {
    PutPart(out.post_box, street, whole, kPostBoxLength, key, "Street", "PstBx", findings);
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
  if (!name.empty()) PutPart(out.street_name, name, whole, kStreetNameLength, key, "Street", "StrtNm", findings);
  if (!number.empty()) {
    PutPart(out.building_number, number, whole, kBuildingNumberLength, key, "Street", "BldgNb", findings);
  }
}

void SplitCity(const Iso2019Text& whole, std::string_view key, Iso2019Address& out, Iso2019Findings& findings) {
  const std::string_view city = TrimBlanks(whole.view().substr(CountryPrefixLength(whole.view())));
  if (city.empty()) return;
  const std::size_t blank = city.find(' ');
  if (blank != std::string_view::npos) {
    const std::string_view first_word = city.substr(0, blank);
    bool holds_digit = false;
    for (const char c : first_word) holds_digit = holds_digit || IsDigit(c);
    if (holds_digit) {
      PutPart(out.post_code, first_word, whole, kPostCodeLength, key, "City", "PstCd", findings);
      PutPart(out.town, TrimBlanks(city.substr(blank + 1)), whole, kTownLength, key, "City", "TwnNm", findings);
      return;
    }
  }
  PutPart(out.town, city, whole, kTownLength, key, "City", "TwnNm", findings);
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

bool CheckIso2019Country(std::string_view country_text, std::string_view key, Iso2019Findings& findings) {
  const std::string country = UpperAscii(country_text);
  if (country.empty() || IsCountryCode(country)) return true;
  const std::string shown = DocumentText(country_text, false);
  findings.Refuse(key, "Country", "\"" + shown + "\" is not a two-letter country code",
                  "Das Land \"" + shown + "\" ist kein L\xE4" "nderkennzeichen aus zwei Buchstaben.");
  return false;
}

void WorkOutIso2019Address(const PayAddressView& address, std::string_view key, bool swiss,
                           std::string_view fallback_country, Iso2019Address& out, Iso2019Findings& findings) {
  // The parts mostly view the batch's texts; street and city are worked with here only.
  out.post_box.clear();
  out.street_name.Set(address.street_name, swiss);
  out.building_number.Set(address.building_number, swiss);
  if (out.street_name.empty() && out.building_number.empty()) {
    Iso2019Text street;
    street.Set(address.street, swiss);
    SplitStreet(street, key, out, findings);
  } else {
    CutPart(out.street_name, kStreetNameLength, key, "StreetName", "StrtNm", findings);
    CutPart(out.building_number, kBuildingNumberLength, key, "BuildingNumber", "BldgNb", findings);
  }

  out.post_code.Set(address.post_code, swiss);
  out.town.Set(address.town, swiss);
  if (out.post_code.empty() && out.town.empty()) {
    Iso2019Text city;
    city.Set(address.city, swiss);
    SplitCity(city, key, out, findings);
  } else {
    CutPart(out.post_code, kPostCodeLength, key, "PostCode", "PstCd", findings);
    CutPart(out.town, kTownLength, key, "Town", "TwnNm", findings);
  }

  UpperAsciiInto(out.country, address.country);
  if (!out.country.empty()) {
    if (!IsCountryCode(out.country)) {
      CheckIso2019Country(address.country, key, findings);
      out.country.clear();
    }
  } else if (std::string from_prefix = CountryFromCityPrefix(TrimBlanks(address.city)); !from_prefix.empty()) {
    out.country = std::move(from_prefix);
  } else {
    out.country.assign(fallback_country);
  }

  out.line.Set(address.name2, swiss);
  CutPart(out.line, kAddressLineLength, key, "Name2", "AdrLine", findings);
}

}  // namespace ordexa
