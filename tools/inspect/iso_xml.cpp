// Element access, exact decimals, dates and libxml2 message collection for the ISO readers.
#include "tools/inspect/iso_xml.h"

#include <libxml/globals.h>
#include <libxml/parser.h>

#include <memory>

#include "platform/calendar.h"
#include "tools/inspect/inspect.h"

namespace ordexa::inspect::detail {

std::string_view LocalName(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

bool IsElement(const xmlNode* node, std::string_view name) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && LocalName(node) == name;
}

const xmlNode* Child(const xmlNode* parent, std::string_view name) {
  if (parent == nullptr) return nullptr;
  for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
    if (IsElement(child, name)) return child;
  }
  return nullptr;
}

const xmlNode* ChildAt(const xmlNode* parent, std::string_view path) {
  const xmlNode* node = parent;
  while (node != nullptr && !path.empty()) {
    const std::size_t slash = path.find('/');
    node = Child(node, path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return node;
}

bool HasElementChildren(const xmlNode* node) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) return true;
  }
  return false;
}

std::string TextOf(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

int LineOf(const xmlNode* node) { return static_cast<int>(xmlGetLineNo(node)); }

std::optional<Decimal> ParseDecimal(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() || whole.size() + fraction.size() > 18 || fraction.size() > kDecimalPlaces ||
      (point != std::string_view::npos && fraction.empty())) {
    return std::nullopt;
  }
  Decimal value = 0;
  for (const char c : whole) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  for (int place = 0; place < kDecimalPlaces; ++place) {
    const std::size_t i = static_cast<std::size_t>(place);
    if (i < fraction.size() && (fraction[i] < '0' || fraction[i] > '9')) return std::nullopt;
    value = value * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  }
  return negative ? -value : value;
}

// At least two decimals, no trailing zeros beyond them: 79.91, 0.005.
std::string DecimalText(Decimal value) {
  const bool negative = value < 0;
  if (negative) value = -value;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value > 0);
  if (digits.size() <= kDecimalPlaces) digits.insert(0, kDecimalPlaces + 1 - digits.size(), '0');
  std::string whole = digits.substr(0, digits.size() - kDecimalPlaces);
  std::string fraction = digits.substr(digits.size() - kDecimalPlaces);
  while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
  return (negative ? "-" : "") + whole + "." + fraction;
}

bool IsIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  const int year = std::stoi(std::string(text.substr(0, 4)));
  const int month = std::stoi(std::string(text.substr(5, 2)));
  const int day = std::stoi(std::string(text.substr(8, 2)));
  return month >= 1 && month <= 12 && day >= 1 &&
         day <= static_cast<int>(DaysInMonth(year, static_cast<unsigned>(month)));
}

// YYYY-MM-DDTHH:MM:SS, optionally with fractions of a second and a time zone.
bool IsIsoDateTime(std::string_view text) {
  if (text.size() < 19 || !IsIsoDate(text.substr(0, 10)) || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
    return false;
  }
  for (const std::size_t i : {11, 12, 14, 15, 17, 18}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  const int hour = std::stoi(std::string(text.substr(11, 2)));
  const int minute = std::stoi(std::string(text.substr(14, 2)));
  const int second = std::stoi(std::string(text.substr(17, 2)));
  return hour < 24 && minute < 60 && second < 60;
}

void CollectMessage(void* context, xmlError* error) {
  // Warnings (such as a relative namespace name) do not make a document faulty.
  if (error == nullptr || error->level < XML_ERR_ERROR) return;
  auto* messages = static_cast<Messages*>(context);
  std::string text = error->message != nullptr ? error->message : "unknown error";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  const bool validity = error->domain == XML_FROM_SCHEMASV || error->domain == XML_FROM_SCHEMASP;
  (validity ? messages->schema : messages->xml).push_back({error->line, std::move(text)});
}

xmlSchema* LoadSchema(const std::string& path) {
  if (path.empty()) return nullptr;
  Messages messages;
  // Reading the schema file reports through libxml2's own handler; it is lent to us for
  // this call and given back.
  const xmlStructuredErrorFunc previous = xmlStructuredError;
  void* const previous_context = xmlStructuredErrorContext;
  xmlSetStructuredErrorFunc(&messages, CollectMessage);
  struct Restore {
    xmlStructuredErrorFunc handler;
    void* context;
    ~Restore() { xmlSetStructuredErrorFunc(context, handler); }
  } restore{previous, previous_context};
  std::unique_ptr<xmlSchemaParserCtxt, decltype(&xmlSchemaFreeParserCtxt)> parser(xmlSchemaNewParserCtxt(path.c_str()),
                                                                                  xmlSchemaFreeParserCtxt);
  if (!parser) throw InspectError("the schema " + path + " cannot be loaded");
  xmlSchemaSetParserStructuredErrors(parser.get(), CollectMessage, &messages);
  xmlSchema* schema = xmlSchemaParse(parser.get());
  if (schema == nullptr) {
    // A fault of the file itself names the cause better than the schema parser's summary.
    const std::vector<Message>& first = messages.xml.empty() ? messages.schema : messages.xml;
    throw InspectError("the schema " + path + " cannot be loaded" +
                       (first.empty() ? std::string() : ": " + first.front().text));
  }
  return schema;
}

}  // namespace ordexa::inspect::detail
