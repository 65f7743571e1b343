// Texts of the ISO 20022 document: the XML character cleaning and the small derivations the document needs (currency, bank
// clearing number in an IBAN, country of a postal address).
#pragma once

#include <string>
#include <string_view>

namespace ordexa {

// CleanXmlText()
// Maps every byte (code page 1252) to one character of the payment character set, so the
// length never changes: the accented letters A C E O U of the table to their base
// capital, "&" to "+", ASCII letters upper case, digits and . ( + ! $ * ) ; - / , % ? : ' = "
// unchanged, anything else (control characters, < > and every other byte) a blank.
// Never fails. Example: CleanXmlText("M\xFCller & S\xF6hne AG") == "MULLER + SOHNE AG".
std::string CleanXmlText(std::string_view text);

// CleanXmlTextInto(): CleanXmlText written to `out` (room for text.size() bytes),
// without a text of its own.
void CleanXmlTextInto(std::string_view text, char* out);

// IsoCurrency()
// The currency of the batch's amounts: "EUR" when the cost currency is exactly "EUR" or
// "SIC" (case matters), "CHF" for any other text, the empty one included.
// Example: IsoCurrency("SIC") == "EUR", IsoCurrency("eur") == "CHF".
std::string_view IsoCurrency(std::string_view cost_currency);

// ClearingFromIban()
// The bank clearing number of a Swiss or Liechtenstein IBAN: characters 5 to 9 (fewer when
// the text is shorter) without their leading zeros; a part of `iban`. Never fails.
// Example: ClearingFromIban("CH9300762011623852957") == "762".
std::string_view ClearingFromIban(std::string_view iban);

// CountryFromCity()
// The country of a postal address from its city text: the leading run of bytes 0x41 to
// 0x7F (letters and [ \ ] ^ _ ` { | } ~ DEL), "CH" when there is none; the one-letter
// vehicle codes A, D, F, I become AT, DE, FR, IT. The result is a part of `city` or a
// constant. Never fails.
// Example: CountryFromCity("D-80331 M\xFCnchen") == "DE", CountryFromCity("8001 Bern") == "CH".
std::string_view CountryFromCity(std::string_view city);

}  // namespace ordexa
