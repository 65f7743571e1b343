// The blocks of the pain.001.001.09 document, line by line with their nesting levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "iso2019/iso2019_plan.h"
#include "xml/iso_output.h"

namespace ordexa {

// The message id's hash is written last, over a placeholder of this many digits.
inline constexpr std::size_t kIso2019HashDigits = 8;

// WriteIso2019Head()
// The XML declaration, the Document element of the flavour and the group header. The file
// offset of each hash placeholder written (MsgId here, PmtInfId in the group heads) is
// added to `hash_places`.
void WriteIso2019Head(IsoOutputFile& output, const Iso2019Plan& plan, std::vector<std::uint64_t>& hash_places);

// WriteIso2019GroupHead(): the PmtInf of group `index` (from 0) up to its first transaction.
void WriteIso2019GroupHead(IsoOutputFile& output, const Iso2019Plan& plan, std::size_t index,
                           std::vector<std::uint64_t>& hash_places);

// WriteIso2019Transaction(): one CdtTrfTxInf; `number` is the payment's number from 1.
void WriteIso2019Transaction(IsoOutputFile& output, const Iso2019Transaction& transaction, std::size_t number,
                             std::string_view end_to_end_id);

// WriteIso2019GroupTail(), WriteIso2019Tail(): the end tags of a PmtInf and of the document.
void WriteIso2019GroupTail(IsoOutputFile& output);
void WriteIso2019Tail(IsoOutputFile& output);

}  // namespace ordexa
