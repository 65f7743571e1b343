// ISO 20022 pain.001.001.03 documents, read with libxml2: well-formedness, the group
// header's number of transactions and control sum against the transactions, dates,
// IBAN check sums, and, on request, validity against an XML schema.
#include <libxml/parser.h>
#include <libxml/schemasInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "format/iban.h"
#include "platform/calendar.h"
#include "tools/inspect/field_checks.h"
#include "tools/inspect/inspect.h"

namespace ordexa::inspect {
namespace {

// The names of the elements in the terms of a payment order, by path within their block.
struct ElementName {
  std::string_view path;
  std::string_view name;
};

constexpr ElementName kElementNames[] = {
    {"MsgId", "message identification"},
    {"CreDtTm", "creation date and time"},
    {"NbOfTxs", "number of transactions"},
    {"CtrlSum", "control sum"},
    {"InitgPty/Nm", "initiating party name"},
    {"PmtInfId", "payment information identification"},
    {"PmtMtd", "payment method"},
    {"BtchBookg", "batch booking"},
    {"PmtTpInf/SvcLvl/Cd", "service level"},
    {"PmtTpInf/CtgyPurp/Cd", "category purpose"},
    {"ReqdExctnDt", "requested execution date"},
    {"Dbtr/Nm", "debtor name"},
    {"DbtrAcct/Id/IBAN", "account to be debited (IBAN)"},
    {"DbtrAcct/Id/Othr/Id", "account to be debited"},
    {"DbtrAcct/Tp/Prtry", "debtor account type"},
    {"DbtrAcct/Ccy", "debtor account currency"},
    {"DbtrAgt/FinInstnId/BIC", "debtor bank BIC"},
    {"DbtrAgt/FinInstnId/ClrSysMmbId/ClrSysId/Cd", "debtor bank clearing system"},
    {"DbtrAgt/FinInstnId/ClrSysMmbId/MmbId", "clearing number of the ordering party's bank"},
    {"ChrgBr", "charge rule"},
    {"PmtId/InstrId", "instruction identification"},
    {"PmtId/EndToEndId", "end-to-end identification"},
    {"Amt/InstdAmt", "amount"},
    {"Amt/InstdAmt/@Ccy", "currency"},
    {"CdtrAgt/FinInstnId/BIC", "beneficiary's bank BIC"},
    {"CdtrAgt/FinInstnId/ClrSysMmbId/ClrSysId/Cd", "beneficiary's bank clearing system"},
    {"CdtrAgt/FinInstnId/ClrSysMmbId/MmbId", "clearing number of the beneficiary's bank"},
    {"Cdtr/Nm", "beneficiary name"},
    {"Cdtr/PstlAdr/Ctry", "beneficiary country"},
    {"Cdtr/PstlAdr/AdrLine", "beneficiary address line"},
    {"CdtrAcct/Id/IBAN", "beneficiary IBAN"},
    {"CdtrAcct/Id/Othr/Id", "beneficiary account"},
    {"RmtInf/Ustrd", "payment reason"},
};

std::string NameOf(const std::string& path) {
  for (const ElementName& element : kElementNames) {
    if (element.path == path) return std::string(element.name);
  }
  return path;
}

std::string_view LocalName(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

bool IsElement(const xmlNode* node, std::string_view name) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && LocalName(node) == name;
}

const xmlNode* Child(const xmlNode* parent, std::string_view name) {
  for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
    if (IsElement(child, name)) return child;
  }
  return nullptr;
}

std::vector<const xmlNode*> Children(const xmlNode* parent, std::string_view name) {
  std::vector<const xmlNode*> found;
  for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
    if (IsElement(child, name)) found.push_back(child);
  }
  return found;
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

// Amounts and sums as exact decimals: units of 10^-17, the finest the schema allows.
using Decimal = __int128;
constexpr int kDecimalPlaces = 17;

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

struct Errors {
  std::vector<std::pair<int, std::string>> lines;
};

void CollectError(void* context, xmlError* error) {
  // Warnings (such as a relative namespace name) do not make a document faulty.
  if (error->level < XML_ERR_ERROR) return;
  auto* errors = static_cast<Errors*>(context);
  std::string message = error->message != nullptr ? error->message : "unknown error";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  errors->lines.emplace_back(error->line, message);
}

// Routes libxml2's messages to `errors` for as long as it lives.
class ErrorCollector {
 public:
  explicit ErrorCollector(Errors& errors) { xmlSetStructuredErrorFunc(&errors, CollectError); }
  ~ErrorCollector() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
  ErrorCollector(const ErrorCollector&) = delete;
  ErrorCollector& operator=(const ErrorCollector&) = delete;
};

constexpr std::size_t kMostErrorsReported = 20;

class IsoReader {
 public:
  IsoReader(const InspectOptions& options, Inspection& inspection) : options_(options), inspection_(inspection) {}

  void Run(std::string_view content) {
    if (content.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
      throw InspectError("the document is larger than 2 GB, too large to read");
    }
    Errors errors;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(nullptr, xmlFreeDoc);
    {
      ErrorCollector collector(errors);
      document.reset(xmlReadMemory(content.data(), static_cast<int>(content.size()), nullptr, nullptr,
                                   XML_PARSE_NONET | XML_PARSE_RECOVER | XML_PARSE_BIG_LINES));
    }
    // Only the first: the messages after it mostly follow from it.
    well_formed_ = errors.lines.empty();
    if (!well_formed_) {
      const auto& [line, message] = errors.lines.front();
      inspection_.Problem({"", "", "", 0, 0, line}, "not well-formed: " + message);
      inspection_.notes.push_back(
          "the document is not well-formed: the listing shows what could be read, and its "
          "counts and sums are not checked");
    }
    const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (root == nullptr) {
      inspection_.Problem({}, "no document element; nothing to list");
      return;
    }
    if (root->ns != nullptr) inspection_.flavour = reinterpret_cast<const char*>(root->ns->href);
    if (!IsElement(root, "Document")) {
      inspection_.Problem({"", "", "", 0, 0, LineOf(root)},
                          "the document element is <" + std::string(LocalName(root)) + ">, expected <Document>");
      return;
    }
    const xmlNode* initiation = Child(root, "CstmrCdtTrfInitn");
    if (initiation == nullptr) {
      inspection_.Problem({"", "", "", 0, 0, LineOf(root)}, "<Document> holds no <CstmrCdtTrfInitn>");
      return;
    }
    ReadMessage(initiation);
    if (options_.schema_path.empty()) return;
    if (well_formed_) {
      Validate(document.get());
    } else {
      inspection_.notes.push_back("the schema check was left out: the document is not well-formed");
    }
  }

 private:
  void ReportErrors(const Errors& errors, const std::string& prefix) {
    for (std::size_t i = 0; i < errors.lines.size() && i < kMostErrorsReported; ++i) {
      inspection_.Problem({"", "", "", 0, 0, errors.lines[i].first}, prefix + errors.lines[i].second);
    }
    if (errors.lines.size() > kMostErrorsReported) {
      inspection_.Problem({}, std::to_string(errors.lines.size() - kMostErrorsReported) + " further messages left out");
    }
  }

  void Validate(xmlDoc* document) {
    Errors errors;
    ErrorCollector collector(errors);
    std::unique_ptr<xmlSchemaParserCtxt, decltype(&xmlSchemaFreeParserCtxt)> parser(
        xmlSchemaNewParserCtxt(options_.schema_path.c_str()), xmlSchemaFreeParserCtxt);
    std::unique_ptr<xmlSchema, decltype(&xmlSchemaFree)> schema(parser ? xmlSchemaParse(parser.get()) : nullptr,
                                                                xmlSchemaFree);
    if (!schema) {
      const std::string reason = errors.lines.empty() ? std::string() : ": " + errors.lines.front().second;
      throw InspectError("the schema " + options_.schema_path + " cannot be loaded" + reason);
    }
    std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> validation(
        xmlSchemaNewValidCtxt(schema.get()), xmlSchemaFreeValidCtxt);
    errors.lines.clear();
    const std::string target =
        schema->targetNamespace != nullptr ? reinterpret_cast<const char*>(schema->targetNamespace) : "";
    if (target != inspection_.flavour) {
      inspection_.notes.push_back("the schema is for the namespace \"" + target + "\", the document is in \"" +
                                  inspection_.flavour + "\"");
    }
    if (validation) xmlSchemaValidateDoc(validation.get(), document);
    ReportErrors(errors, "not valid against " + options_.schema_path + ": ");
  }

  // Lists the leaf elements below `node` (not descending into `skip`), named by their
  // path from the block.
  void ListLeaves(const xmlNode* node, const std::string& prefix, std::string_view skip, Part& part) {
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (child->type != XML_ELEMENT_NODE || LocalName(child) == skip) continue;
      const std::string path = prefix + std::string(LocalName(child));
      if (HasElementChildren(child)) {
        ListLeaves(child, path + "/", skip, part);
        continue;
      }
      part.fields.push_back({NameOf(path), 0, 0, LineOf(child), TextOf(child), path});
      for (const xmlAttr* attribute = child->properties; attribute != nullptr; attribute = attribute->next) {
        const std::string attribute_path = path + "/@" + reinterpret_cast<const char*>(attribute->name);
        xmlChar* value = xmlGetProp(child, attribute->name);
        part.fields.push_back({NameOf(attribute_path), 0, 0, LineOf(child),
                               value != nullptr ? reinterpret_cast<const char*>(value) : "", attribute_path});
        xmlFree(value);
      }
    }
  }

  Block ListBlock(const std::string& title, const xmlNode* node, std::string_view skip = {}) {
    Block block{title, 0, LineOf(node), {Part{}}};
    ListLeaves(node, "", skip, block.parts.front());
    return block;
  }

  // A field of `block` by its element path, located for a problem line.
  Location At(const std::string& block, const xmlNode* node, const std::string& path) {
    return {block, "", NameOf(path) + " <" + path.substr(path.rfind('/') + 1) + ">", 0, 0, LineOf(node)};
  }

  void CheckIban(const std::string& block, const xmlNode* element, const std::string& path) {
    if (element == nullptr) return;
    const std::string iban = TextOf(element);
    if (iban.empty()) {
      inspection_.Problem(At(block, element, path), "is empty where an IBAN is needed");
    } else if (iban.find(' ') != std::string::npos) {
      inspection_.Problem(At(block, element, path),
                          Quoted(iban) + " has blanks, which the ISO schema refuses: give the IBAN without blanks");
    } else if (const std::int32_t remainder = IbanMod97(iban); remainder != 1) {
      inspection_.Problem(At(block, element, path), Quoted(iban) + " is not a valid IBAN (check sum remainder " +
                                                        std::to_string(remainder) + ", 1 expected)");
    } else if (NormalizeIban(iban).empty()) {
      inspection_.Problem(At(block, element, path), Quoted(iban) +
                                                        " is not a valid IBAN (a Swiss IBAN has 21 characters, not " +
                                                        std::to_string(iban.size()) + ")");
    }
  }

  void CheckDate(const std::string& block, const xmlNode* element, const std::string& path, bool with_time) {
    if (element == nullptr) return;
    const std::string text = TextOf(element);
    if (with_time ? !IsIsoDateTime(text) : !IsIsoDate(text)) {
      inspection_.Problem(At(block, element, path),
                          Quoted(text) + " is not a valid " +
                              (with_time ? "date and time (YYYY-MM-DDTHH:MM:SS)" : "date (YYYY-MM-DD)"));
    }
  }

  // NbOfTxs and CtrlSum of a group header or payment information block against the
  // transactions they cover.
  void CheckCounts(const std::string& block, const xmlNode* node, std::size_t transactions,
                   std::optional<Decimal> sum) {
    if (!well_formed_) return;
    if (const xmlNode* count = Child(node, "NbOfTxs")) {
      const std::string text = TextOf(count);
      if (text != std::to_string(transactions)) {
        inspection_.Problem(At(block, count, "NbOfTxs"),
                            Quoted(text) + " does not match the " + std::to_string(transactions) + " transactions");
      }
    }
    if (const xmlNode* control = Child(node, "CtrlSum")) {
      const std::string text = TextOf(control);
      const std::optional<Decimal> stated = ParseDecimal(text);
      if (!stated) {
        inspection_.Problem(At(block, control, "CtrlSum"), Quoted(text) + " is not a decimal number");
      } else if (sum && *stated != *sum) {
        inspection_.Problem(At(block, control, "CtrlSum"),
                            text + " is not the sum of the transactions' amounts (" + DecimalText(*sum) + ")");
      }
    }
  }

  std::optional<Decimal> ReadTransaction(const xmlNode* transaction, int number) {
    const std::string title = "transaction " + std::to_string(number);
    inspection_.AddBlock(ListBlock(title, transaction));
    std::optional<Decimal> amount;
    const xmlNode* amount_group = Child(transaction, "Amt");
    const xmlNode* instructed = amount_group != nullptr ? Child(amount_group, "InstdAmt") : nullptr;
    if (instructed == nullptr) {
      inspection_.Problem({title, "", "", 0, 0, LineOf(transaction)}, "no amount (Amt/InstdAmt)");
    } else {
      const std::string text = TextOf(instructed);
      amount = ParseDecimal(text);
      if (!amount) {
        inspection_.Problem(At(title, instructed, "Amt/InstdAmt"), Quoted(text) + " is not an amount");
      } else if (*amount < 0) {
        inspection_.Problem(At(title, instructed, "Amt/InstdAmt"),
                            text + " is negative; the ISO schema accepts no negative amount");
      }
    }
    if (const xmlNode* ids = Child(transaction, "PmtId"); ids != nullptr && Child(ids, "InstrId") != nullptr) {
      const xmlNode* instruction = Child(ids, "InstrId");
      const auto [first, inserted] = instruction_ids_.emplace(TextOf(instruction), number);
      if (!inserted) {
        inspection_.Problem(At(title, instruction, "PmtId/InstrId"),
                            Quoted(first->first) + " is also the identification of transaction " +
                                std::to_string(first->second) + "; each transaction needs its own");
      }
    }
    const xmlNode* account = Child(transaction, "CdtrAcct");
    const xmlNode* account_id = account != nullptr ? Child(account, "Id") : nullptr;
    if (account_id != nullptr) CheckIban(title, Child(account_id, "IBAN"), "CdtrAcct/Id/IBAN");
    return amount;
  }

  void ReadMessage(const xmlNode* initiation) {
    const xmlNode* header = Child(initiation, "GrpHdr");
    const std::vector<const xmlNode*> payment_infos = Children(initiation, "PmtInf");
    if (header == nullptr) inspection_.Problem({"", "", "", 0, 0, LineOf(initiation)}, "no group header (GrpHdr)");
    if (payment_infos.empty()) {
      inspection_.Problem({"", "", "", 0, 0, LineOf(initiation)}, "no payment information block (PmtInf)");
    }
    if (header != nullptr) inspection_.AddBlock(ListBlock("group header", header), false);

    std::size_t transactions = 0;
    std::optional<Decimal> sum = 0;
    int number = 0;
    for (std::size_t i = 0; i < payment_infos.size(); ++i) {
      const xmlNode* info = payment_infos[i];
      const std::string title = "payment information " + std::to_string(i + 1);
      inspection_.AddBlock(ListBlock(title, info, "CdtTrfTxInf"), false);
      CheckDate(title, Child(info, "ReqdExctnDt"), "ReqdExctnDt", false);
      if (const xmlNode* account = Child(info, "DbtrAcct"); account != nullptr && Child(account, "Id") != nullptr) {
        CheckIban(title, Child(Child(account, "Id"), "IBAN"), "DbtrAcct/Id/IBAN");
      }
      const std::vector<const xmlNode*> block_transactions = Children(info, "CdtTrfTxInf");
      if (block_transactions.empty()) {
        inspection_.Problem({title, "", "", 0, 0, LineOf(info)}, "no transaction (CdtTrfTxInf)");
      }
      std::optional<Decimal> block_sum = 0;
      for (const xmlNode* transaction : block_transactions) {
        const std::optional<Decimal> amount = ReadTransaction(transaction, ++number);
        if (amount && block_sum)
          *block_sum += *amount;
        else
          block_sum.reset();
      }
      CheckCounts(title, info, block_transactions.size(), block_sum);
      transactions += block_transactions.size();
      if (sum && block_sum)
        *sum += *block_sum;
      else
        sum.reset();
    }
    if (header != nullptr) {
      CheckDate("group header", Child(header, "CreDtTm"), "CreDtTm", true);
      CheckCounts("group header", header, transactions, sum);
    }
  }

  const InspectOptions& options_;
  Inspection& inspection_;
  bool well_formed_ = true;
  std::map<std::string, int> instruction_ids_;  // instruction identification -> first transaction
};

}  // namespace

void InspectIso(std::string_view content, const InspectOptions& options, Inspection& inspection) {
  IsoReader(options, inspection).Run(content);
}

}  // namespace ordexa::inspect
