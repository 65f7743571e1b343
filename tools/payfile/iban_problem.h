// Why a text is not an IBAN, in words for the person who typed it.
#pragma once

#include <string>
#include <string_view>

namespace ordexa::payfile {

// IbanProblem()
// What is wrong with `text` (1252; blanks are allowed between the groups) as an IBAN: its
// characters, its country code and check digits in front, its length for that country, or
// its check digits; empty when none of these is wrong.
// Example: IbanProblem("CH04 0070 0110 0000 0000") == "20 characters; an IBAN of CH has 21".
std::string IbanProblem(std::string_view text);

}  // namespace ordexa::payfile
