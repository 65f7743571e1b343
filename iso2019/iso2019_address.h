// Structured and hybrid postal addresses for the 2019 ISO document, worked out from the
// texts a caller set: the structured parts where given, else street, city and name lines.
#pragma once

#include <string>
#include <string_view>

#include "iso2019/iso2019_payment.h"
#include "records/records.h"

namespace ordexa {

// WorkOutIso2019Address()
// The address of `address` (the batch's `key`, such as "Receiver") as the document carries
// it. StreetName and BuildingNumber, when both are empty, come from Street: a post box
// ("Postfach 12", "Case postale 12", "Casella postale 12", "P.O. Box 12"), else a last word
// (or else a first word) starting with a digit is the building number. PostCode and Town,
// when both are empty, come from City without its country prefix: a first word holding a
// digit and followed by a blank is the post code. Country comes from the property
// (refused unless two letters), else from a City prefix ("D-80331": DE), else
// `fallback_country`. Name2 is one address line. Cuts are reported to `findings`.
// Example: Street "Seeweg 12a", City "CH-8001 Zürich" give StrtNm "Seeweg", BldgNb "12a",
// PstCd "8001", TwnNm "Zürich", Ctry "CH".
void WorkOutIso2019Address(const PayAddressView& address, std::string_view key, bool swiss,
                           std::string_view fallback_country, Iso2019Address& out, Iso2019Findings& findings);

// CheckIso2019Country(): whether an address's own Country text is empty or two letters
// (blanks and case aside); anything else is refused at `key`, "Country".
bool CheckIso2019Country(std::string_view country, std::string_view key, Iso2019Findings& findings);

// CountryFromCityPrefix(): the country a City text names in front ("D-80331" DE, "FL-9490"
// LI, "CH-8001" CH, "fl-9490" LI), or empty; the one-letter vehicle codes of the
// neighbouring countries are mapped, any other two letters taken as they are.
std::string CountryFromCityPrefix(std::string_view city);

}  // namespace ordexa
