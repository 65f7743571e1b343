// The pieces both ISO document readers share: element access on libxml2 trees, exact
// decimals for amounts and sums, date shapes, and the collection of libxml2's messages
// (well-formedness, schema validity). For the readers only.
#pragma once

#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordexa::inspect::detail {

std::string_view LocalName(const xmlNode* node);
bool IsElement(const xmlNode* node, std::string_view name);
// Child(): the first child element of that name, or nullptr (also for a null parent).
const xmlNode* Child(const xmlNode* parent, std::string_view name);
// ChildAt(): the element at the end of a path of child names ("Id/IBAN"), or nullptr.
const xmlNode* ChildAt(const xmlNode* parent, std::string_view path);
bool HasElementChildren(const xmlNode* node);
std::string TextOf(const xmlNode* node);
int LineOf(const xmlNode* node);

// Amounts and sums as exact decimals: units of 10^-17, the finest the schema allows.
using Decimal = __int128;
inline constexpr int kDecimalPlaces = 17;

// ParseDecimal(): "-12.5", "0.005" as a Decimal; nothing for any other text or more than
// 18 digits. Example: ParseDecimal("79.91") == 7991 * 10^15.
std::optional<Decimal> ParseDecimal(std::string_view text);
// DecimalText(): at least two decimals, no trailing zeros beyond them: 79.91, 0.005.
std::string DecimalText(Decimal value);

// IsIsoDate(): YYYY-MM-DD naming a real day.
bool IsIsoDate(std::string_view text);
// IsIsoDateTime(): YYYY-MM-DDTHH:MM:SS, optionally with fractions and a time zone.
bool IsIsoDateTime(std::string_view text);

// A problem message of libxml2 with its line.
struct Message {
  int line;
  std::string text;
};

// What libxml2 reports while a document is read: faults of the XML itself, and, with a
// schema, of its validity.
struct Messages {
  std::vector<Message> xml;
  std::vector<Message> schema;
};

// CollectMessage(): libxml2's structured error handler filling a Messages.
void CollectMessage(void* context, xmlError* error);

inline constexpr std::size_t kMostMessagesReported = 20;

// LoadSchema()
// The schema at `path`, or nullptr for an empty path; raises InspectError when it cannot
// be loaded, with libxml2's first message as the reason. Free it with xmlSchemaFree.
xmlSchema* LoadSchema(const std::string& path);

}  // namespace ordexa::inspect::detail
