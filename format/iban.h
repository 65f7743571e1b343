// IBAN check (ISO 13616 remainder 1 on division by 97, computed piecewise) and its
// compact electronic form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ordexa {

// IbanMod97()
// The remainder of the chunked check: rotate the first four characters to the end,
// letters A-Z to 10-35, then nine-character chunks read as atol (32-bit) with the
// previous remainder in front ("%i%s", only when it is 0 or more), modulo 97 with
// truncating division. Texts shorter than four characters give 0.
// Example: IbanMod97("CH7700700110000000001") == 1, IbanMod97("CH77-0070-0110-0000-0000-1") == 77.
std::int32_t IbanMod97(std::string_view text);

// NormalizeIban()
// The compact IBAN (white space trimmed at both ends, upper case in code page 1252, every
// inner blank removed) when its IbanMod97 is 1 and, for "CH", its length is 21; else
// the empty text. Never fails.
// Example: NormalizeIban(" ch77 0070 0110 0000 0000 1 ") == "CH7700700110000000001".
std::string NormalizeIban(std::string_view text);

// NormalizeIbanInto(): NormalizeIban into `iban`, whose room is reused, so a writer that
// keeps one text for all its payments allocates nothing per payment.
// Example: NormalizeIbanInto("li97 0880 0000 0000 0000 1", iban) leaves "LI9708800000000000001".
void NormalizeIbanInto(std::string_view text, std::string& iban);

// IsValidIban()
// The exact ISO 13616 check of a compact IBAN: two letters A-Z, two digits, 1 to 30 more
// letters A-Z or digits, remainder 1 on division by 97 with the first four characters moved
// to the end; a CH or LI IBAN has 21 characters. Lower case, blanks and any other
// character fail.
// Example: IsValidIban("CH9300762011623852957") is true, IsValidIban("CH9300762011623852958") false.
bool IsValidIban(std::string_view iban);

// Mod97OfRotated(): the remainder on division by 97 of a text of A-Z and 0-9 with its first
// four characters moved to the end and each letter read as 10 to 35 (the IBAN and creditor
// reference check); -1 for a text shorter than five characters or with any other character.
int Mod97OfRotated(std::string_view text);

// IsDomesticIbanCountry(): the IBAN is one of Switzerland or Liechtenstein, the countries
// of the Swiss clearing; the writers add their own length rules.
constexpr bool IsDomesticIbanCountry(std::string_view iban) {
  return iban.starts_with("CH") || iban.starts_with("LI");
}

}  // namespace ordexa
