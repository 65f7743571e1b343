// ISO 20022 pain.001.001.09 documents (both flavours), read as a stream with libxml2: the
// listing with each group's and transaction's kind as the bank decides it, and the checks
// the schema cannot make: counts and sums, IBANs, QR and creditor references, addresses,
// characters, identifiers, amounts and the SEPA rules; on request schema validity.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "format/iban.h"
#include "tools/inspect/inspect.h"
#include "tools/inspect/iso2019_rules.h"
#include "tools/inspect/iso_stream.h"
#include "tools/inspect/iso_xml.h"

namespace ordexa::inspect {
namespace {

using namespace detail;

constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";

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
    {"ReqdExctnDt/Dt", "requested execution date"},
    {"ReqdExctnDt/DtTm", "requested execution date and time"},
    {"Dbtr/Nm", "debtor name"},
    {"DbtrAcct/Id/IBAN", "account to be debited (IBAN)"},
    {"DbtrAcct/Tp/Prtry", "debtor account type"},
    {"DbtrAgt/FinInstnId/BICFI", "debtor bank BIC"},
    {"DbtrAgt/FinInstnId/ClrSysMmbId/ClrSysId/Cd", "debtor bank clearing system"},
    {"DbtrAgt/FinInstnId/ClrSysMmbId/MmbId", "clearing number of the ordering party's bank"},
    {"ChrgBr", "charge rule"},
    {"PmtId/InstrId", "instruction identification"},
    {"PmtId/EndToEndId", "end-to-end identification"},
    {"Amt/InstdAmt", "amount"},
    {"Amt/InstdAmt/@Ccy", "currency"},
    {"CdtrAgt/FinInstnId/BICFI", "beneficiary's bank BIC"},
    {"CdtrAgt/FinInstnId/ClrSysMmbId/ClrSysId/Cd", "beneficiary's bank clearing system"},
    {"CdtrAgt/FinInstnId/ClrSysMmbId/MmbId", "clearing number of the beneficiary's bank"},
    {"CdtrAgt/FinInstnId/Nm", "beneficiary's bank name"},
    {"Cdtr/Nm", "beneficiary name"},
    {"Cdtr/PstlAdr/StrtNm", "beneficiary street"},
    {"Cdtr/PstlAdr/BldgNb", "beneficiary building number"},
    {"Cdtr/PstlAdr/PstBx", "beneficiary post box"},
    {"Cdtr/PstlAdr/PstCd", "beneficiary post code"},
    {"Cdtr/PstlAdr/TwnNm", "beneficiary town"},
    {"Cdtr/PstlAdr/Ctry", "beneficiary country"},
    {"Cdtr/PstlAdr/AdrLine", "beneficiary address line"},
    {"CdtrAcct/Id/IBAN", "beneficiary IBAN"},
    {"CdtrAcct/Id/Othr/Id", "beneficiary account"},
    {"RmtInf/Ustrd", "payment reason"},
    {"RmtInf/Strd/CdtrRefInf/Tp/CdOrPrtry/Prtry", "reference type"},
    {"RmtInf/Strd/CdtrRefInf/Tp/CdOrPrtry/Cd", "reference type"},
    {"RmtInf/Strd/CdtrRefInf/Ref", "reference"},
    {"RmtInf/Strd/AddtlRmtInf", "additional remittance information"},
};

// A value in double quotes; the document's texts are UTF-8 already.
std::string InQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string NameOf(const std::string& path) {
  for (const ElementName& element : kElementNames) {
    if (element.path == path) return std::string(element.name);
  }
  return path;
}

// The path of `node` below the element that opens its block ("CdtrAcct/Id/IBAN").
std::string PathBelow(const xmlNode* node, const xmlNode* block) {
  std::string path;
  for (const xmlNode* at = node; at != nullptr && at != block && at->type == XML_ELEMENT_NODE; at = at->parent) {
    path = std::string(LocalName(at)) + (path.empty() ? "" : "/") + path;
  }
  return path;
}

// Every element of that name at any depth below `node`, in document order.
void Descendants(const xmlNode* node, std::string_view name, std::vector<const xmlNode*>& found) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (LocalName(child) == name) found.push_back(child);
    Descendants(child, name, found);
  }
}

// Lower case and single blanks, for comparing address texts.
std::string Folded(std::string_view text) {
  std::string folded;
  for (const char c : text) {
    if (c == ' ' || c == '\t') {
      if (!folded.empty() && folded.back() != ' ') folded += ' ';
    } else {
      folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  while (!folded.empty() && folded.back() == ' ') folded.pop_back();
  return folded;
}

// `part` stands in `line` as whole words.
bool HoldsWords(const std::string& line, const std::string& part) {
  for (std::size_t at = line.find(part); at != std::string::npos; at = line.find(part, at + 1)) {
    const std::size_t end = at + part.size();
    if ((at == 0 || line[at - 1] == ' ') && (end == line.size() || line[end] == ' ')) return true;
  }
  return false;
}

// The flavour: from the schema file the root names, or, without one, from what the
// content uses that only Swiss banks take (QR references, Swiss clearing codes, the
// collective-advice account type, a Swiss or Liechtenstein account to be debited).
struct Flavour {
  bool swiss = false;
  std::string how;
};

Flavour FlavourFromSchemaLocation(std::string_view location) {
  // Pairs of namespace and schema file; the file names the flavour.
  std::string_view file = location;
  while (!file.empty() && (file.back() == ' ' || file.back() == '\n' || file.back() == '\t')) file.remove_suffix(1);
  if (const std::size_t blank = file.find_last_of(" \t\n"); blank != std::string_view::npos) {
    file = file.substr(blank + 1);
  }
  // The file may be named by a path or URL; its name alone tells the flavour.
  if (const std::size_t slash = file.find_last_of("/\\"); slash != std::string_view::npos) {
    file = file.substr(slash + 1);
  }
  const bool swiss = file.find(".ch.") != std::string_view::npos;
  return {swiss, std::string(file)};
}

Flavour FlavourFromContent(std::string_view content) {
  Messages ignored;
  std::unique_ptr<xmlTextReader, decltype(&xmlFreeTextReader)> reader(
      xmlReaderForMemory(content.data(), static_cast<int>(content.size()), nullptr, nullptr,
                         XML_PARSE_NONET | XML_PARSE_BIG_LINES),
      xmlFreeTextReader);
  Flavour generic{false, "by its content"};
  if (!reader) return generic;
  xmlTextReaderSetStructuredErrorHandler(reader.get(), CollectMessage, &ignored);
  std::string parent;
  while (xmlTextReaderRead(reader.get()) == 1) {
    const int type = xmlTextReaderNodeType(reader.get());
    const xmlChar* local = xmlTextReaderConstLocalName(reader.get());
    const std::string_view name = local != nullptr ? reinterpret_cast<const char*>(local) : "";
    if (type == XML_READER_TYPE_ELEMENT) {
      parent = name;
      continue;
    }
    if (type != XML_READER_TYPE_TEXT) continue;
    const xmlChar* value = xmlTextReaderConstValue(reader.get());
    const std::string_view text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    if ((parent == "Prtry" && (text == "QRR" || text == "CND")) || (parent == "Cd" && text == "CHBCC")) {
      return {true, "by its content"};
    }
  }
  return generic;
}

// A count or sum element of a header, kept for the check at the end of its block.
struct StatedValue {
  std::string text;
  int line = 0;
};

// A name element of a group's head with its path, for the checks once the group's kind is known.
struct NamedText {
  std::string path, text;
  int line = 0;
};

class Iso2019Reader : public IsoStreamReader<Iso2019Reader> {
 public:
  Iso2019Reader(const InspectOptions& options, Inspection& inspection) : IsoStreamReader(options, inspection) {}

  void Run(std::string_view content) {
    content_ = content;
    const bool well_formed = ReadStream(content);
    FinishGroup();
    if (header_seen_) {
      CheckCounts("GrpHdr", header_count_, header_sum_, transactions_, sum_);
    } else if (well_formed && initiation_seen_) {
      inspection_.Problem({}, "no group header (GrpHdr)");
    }
    if (well_formed && initiation_seen_ && groups_ == 0)
      inspection_.Problem({}, "no payment information block (PmtInf)");
    if (root_seen_ && !initiation_seen_ && well_formed) {
      inspection_.Problem({}, "<Document> holds no <CstmrCdtTrfInitn>");
    }
    if (!options_.schema_path.empty()) ReportSchemaMessages(well_formed);
  }

 private:
  friend class IsoStreamReader<Iso2019Reader>;

  bool in_group() const { return in_group_; }

  // The place of a problem: line, block and the element's path within it.
  static Location At(const std::string& block, const std::string& path, int line) {
    Location where{block, "", path, 0, 0, line};
    where.line_leads = true;
    return where;
  }
  Location At(const std::string& block, const xmlNode* node, const xmlNode* block_node) const {
    return At(block, PathBelow(node, block_node), LineOf(node));
  }

  bool ReadRoot(xmlTextReader* reader, std::string_view name) {
    xmlChar* location = xmlTextReaderGetAttributeNs(reader, BAD_CAST "schemaLocation",
                                                    reinterpret_cast<const xmlChar*>(kSchemaInstance.data()));
    Flavour flavour;
    if (location != nullptr) {
      flavour = FlavourFromSchemaLocation(reinterpret_cast<const char*>(location));
      xmlFree(location);
    } else {
      flavour = FlavourFromContent(content_);
    }
    swiss_ = flavour.swiss;
    inspection_.flavour = std::string(swiss_ ? "Swiss" : "generic") + ", " + flavour.how;
    if (name != "Document") {
      inspection_.Problem(AtLine(xmlTextReaderGetParserLineNumber(reader)),
                          "the document element is <" + std::string(name) + ">, expected <Document>");
      return false;
    }
    return true;
  }

  // ---- listing ----

  // Lists `node` (a leaf, or the leaves below it) named by its path from the block.
  void ListElement(const xmlNode* node, const std::string& prefix, Part& part) {
    const std::string path = prefix + std::string(LocalName(node));
    if (HasElementChildren(node)) {
      for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) ListElement(child, path + "/", part);
      }
      return;
    }
    part.fields.push_back({NameOf(path), 0, 0, LineOf(node), TextOf(node), path});
    for (const xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
      const std::string attribute_path = path + "/@" + reinterpret_cast<const char*>(attribute->name);
      xmlChar* value = xmlGetProp(node, attribute->name);
      part.fields.push_back({NameOf(attribute_path), 0, 0, LineOf(node),
                             value != nullptr ? reinterpret_cast<const char*>(value) : "", attribute_path});
      xmlFree(value);
    }
  }

  // The texts of the Swiss flavour stay within its character set; the identifiers have
  // their own, narrower rule.
  void CheckCharacters(const std::string& block, const Part& part, std::size_t from) {
    if (!swiss_) return;
    for (std::size_t i = from; i < part.fields.size(); ++i) {
      const Field& field = part.fields[i];
      if (IsIdentifier(field.path)) continue;
      if (const std::optional<std::string> outside = FirstOutsideSwissSet(field.value)) {
        inspection_.Problem(At(block, field.path, field.line), InQuotes(field.value) + " holds " +
                                                                   CharacterName(*outside) +
                                                                   ", outside the character set of the Swiss flavour");
      }
    }
  }

  static bool IsIdentifier(std::string_view path) {
    return path == "MsgId" || path == "PmtInfId" || path == "PmtId/InstrId" || path == "PmtId/EndToEndId";
  }

  static std::string CharacterName(const std::string& character) {
    char code[16];
    std::size_t length = 1;
    const unsigned char lead = static_cast<unsigned char>(character[0]);
    char32_t value = lead;
    if (lead >= 0x80) {
      length = character.size();
      value = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
      for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
    }
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(value));
    const bool printable = value >= 0x20 && value != 0x7F && !(value >= 0x80 && value < 0xA0) && value != 0xAD;
    return printable ? "\"" + character + "\" (" + code + ")" : std::string(code);
  }

  void CheckIdentifier(const std::string& block, const xmlNode* element, const xmlNode* block_node) {
    if (element == nullptr) return;
    if (const std::optional<std::string> problem = IdentifierProblem(TextOf(element))) {
      inspection_.Problem(At(block, element, block_node), *problem);
    }
  }

  // ---- group header ----

  bool ReadGroupHeader(xmlTextReader* reader) {
    const xmlNode* header = xmlTextReaderExpand(reader);
    if (header == nullptr) return false;
    header_seen_ = true;
    Block block{"group header (GrpHdr)", 0, LineOf(header), {Part{}}};
    for (const xmlNode* child = header->children; child != nullptr; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) ListElement(child, "", block.parts.front());
    }
    CheckCharacters("GrpHdr", block.parts.front(), 0);
    inspection_.AddBlock(std::move(block), false);
    CheckIdentifier("GrpHdr", Child(header, "MsgId"), header);
    CheckDate("GrpHdr", Child(header, "CreDtTm"), header, true);
    CheckAddresses("GrpHdr", header);
    header_count_ = Stated(Child(header, "NbOfTxs"));
    header_sum_ = Stated(Child(header, "CtrlSum"));
    return true;
  }

  static std::optional<StatedValue> Stated(const xmlNode* element) {
    if (element == nullptr) return std::nullopt;
    return StatedValue{TextOf(element), LineOf(element)};
  }

  // ---- payment groups ----

  void StartGroup(xmlTextReader* reader) {
    FinishGroup();
    ++groups_;
    in_group_ = true;
    group_ = Group{};
    group_.place = "PmtInf " + std::to_string(groups_);
    group_.block = Block{"payment information " + std::to_string(groups_) + " (" + group_.place + ")",
                         0,
                         LineOf(xmlTextReaderCurrentNode(reader)),
                         {Part{}}};
  }

  // One element of the group's head: listed into its block and checked.
  bool ReadGroupPart(xmlTextReader* reader) {
    const xmlNode* element = xmlTextReaderExpand(reader);
    if (element == nullptr) return false;
    // The block went out with the first transaction: a part of the group's head behind
    // its transactions is out of place, and reported, not listed.
    if (group_.emitted) {
      inspection_.Problem(At(group_.place, element, element->parent),
                          "<" + std::string(LocalName(element)) + "> stands behind the transactions of its group");
      return true;
    }
    Part& part = group_.block.parts.front();
    const std::size_t from = part.fields.size();
    ListElement(element, "", part);
    CheckCharacters(group_.place, part, from);
    const std::string_view name = LocalName(element);
    const xmlNode* parent = element->parent;
    if (name == "PmtInfId") {
      CheckIdentifier(group_.place, element, parent);
      const auto [first, inserted] = group_ids_.emplace(TextOf(element), groups_);
      if (!inserted) {
        inspection_.Problem(At(group_.place, element, parent),
                            InQuotes(first->first) + " is also the identification of PmtInf " +
                                std::to_string(first->second) + "; each payment group needs its own");
      }
    } else if (name == "PmtMtd") {
      group_.cheque = TextOf(element) == "CHK";
    } else if (name == "PmtTpInf") {
      group_.sepa_requested = TextOf(ChildAt(element, "SvcLvl/Cd")) == "SEPA";
    } else if (name == "ReqdExctnDt") {
      if (const xmlNode* date = Child(element, "Dt")) CheckDate(group_.place, date, parent, false);
      if (const xmlNode* date_time = Child(element, "DtTm")) CheckDate(group_.place, date_time, parent, true);
    } else if (name == "NbOfTxs") {
      group_.count = Stated(element);
    } else if (name == "CtrlSum") {
      group_.control = Stated(element);
    } else if (name == "ChrgBr") {
      group_.charges = Stated(element);
    } else if (name == "Dbtr" || name == "UltmtDbtr") {
      if (const xmlNode* debtor_name = Child(element, "Nm")) {
        group_.names.push_back({PathBelow(debtor_name, parent), TextOf(debtor_name), LineOf(debtor_name)});
      }
    } else if (name == "DbtrAcct") {
      const xmlNode* iban = ChildAt(element, "Id/IBAN");
      if (CheckIban(group_.place, iban, parent) && IsQrIban(TextOf(iban))) {
        inspection_.Problem(At(group_.place, iban, parent),
                            InQuotes(TextOf(iban)) +
                                " is a QR-IBAN, which only receives QR-bill payments: it cannot be the account to be "
                                "debited");
      }
    }
    CheckAddresses(group_.place, element, parent);
    return true;
  }

  // The group's block goes out with its first transaction, whose kind names the group's
  // when the group does not say it.
  void EmitGroup(PaymentKind first_kind) {
    if (group_.emitted) return;
    group_.emitted = true;
    group_.kind = group_.cheque ? PaymentKind::kCheque : group_.sepa_requested ? PaymentKind::kSepa : first_kind;
    group_.block.title += ": ";
    group_.block.title += PaymentKindName(group_.kind);
    inspection_.AddBlock(std::move(group_.block), false);
    if (group_.kind == PaymentKind::kSepa) {
      for (const NamedText& name : group_.names) {
        CheckSepaName(group_.place, name.text, name.path, name.line);
      }
    }
  }

  void FinishGroup() {
    if (!in_group_) return;
    in_group_ = false;
    if (!group_.emitted) {
      group_.emitted = true;
      inspection_.AddBlock(std::move(group_.block), false);
    }
    if (group_.transactions == 0 && messages_.xml.empty()) {
      inspection_.Problem(InBlock(group_.place), "no transaction (CdtTrfTxInf)");
    }
    CheckCounts(group_.place, group_.count, group_.control, group_.transactions, group_.sum);
  }

  // ---- transactions ----

  bool ReadTransaction(xmlTextReader* reader) {
    const xmlNode* transaction = xmlTextReaderExpand(reader);
    if (transaction == nullptr) return false;
    ++group_.transactions;
    ++transactions_;
    const std::optional<Decimal> amount = CheckTransaction(transaction);
    if (amount && group_.sum) {
      *group_.sum += *amount;
    } else {
      group_.sum.reset();
    }
    if (amount && sum_) {
      *sum_ += *amount;
    } else {
      sum_.reset();
    }
    return true;
  }

  std::optional<Decimal> CheckTransaction(const xmlNode* transaction) {
    const std::string place = group_.place + ", CdtTrfTxInf " + std::to_string(group_.transactions);
    const xmlNode* instructed = ChildAt(transaction, "Amt/InstdAmt");
    xmlChar* currency_value = instructed != nullptr ? xmlGetProp(instructed, BAD_CAST "Ccy") : nullptr;
    const std::string currency = currency_value != nullptr ? reinterpret_cast<const char*>(currency_value) : "";
    xmlFree(currency_value);
    const xmlNode* creditor_iban = ChildAt(transaction, "CdtrAcct/Id/IBAN");
    const std::string iban = creditor_iban != nullptr ? TextOf(creditor_iban) : "";
    const bool sepa_requested = group_.sepa_requested || TextOf(ChildAt(transaction, "PmtTpInf/SvcLvl/Cd")) == "SEPA";
    const PaymentKind kind =
        DecidePaymentKind({group_.cheque, sepa_requested, currency, NormalizeIban(iban).empty() ? "" : iban,
                           TextOf(ChildAt(transaction, "CdtrAgt/FinInstnId/ClrSysMmbId/ClrSysId/Cd")) == "CHBCC"});
    EmitGroup(kind);

    Block block{"transaction " + std::to_string(transactions_) + " (" + place + "): " + PaymentKindName(kind),
                0,
                LineOf(transaction),
                {Part{}}};
    for (const xmlNode* child = transaction->children; child != nullptr; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) ListElement(child, "", block.parts.front());
    }
    CheckCharacters(place, block.parts.front(), 0);
    inspection_.AddBlock(std::move(block));

    const xmlNode* ids = Child(transaction, "PmtId");
    CheckIdentifier(place, Child(ids, "InstrId"), transaction);
    CheckIdentifier(place, Child(ids, "EndToEndId"), transaction);
    if (const xmlNode* instruction = Child(ids, "InstrId")) {
      const auto [first, inserted] = group_.instruction_ids.emplace(TextOf(instruction), group_.transactions);
      if (!inserted) {
        inspection_.Problem(At(place, instruction, transaction),
                            InQuotes(first->first) + " is also the identification of CdtTrfTxInf " +
                                std::to_string(first->second) + " of this group; each transaction needs its own");
      }
    }
    const std::optional<Decimal> amount = CheckAmount(place, transaction, instructed, currency);
    const bool iban_valid = CheckIban(place, creditor_iban, transaction);
    CheckReferences(place, transaction, iban_valid ? iban : std::string());
    CheckAddresses(place, transaction, transaction);
    if (const xmlNode* purpose = ChildAt(transaction, "PmtTpInf/CtgyPurp/Cd"); purpose && TextOf(purpose) == "SALA") {
      inspection_.Problem(At(place, purpose, transaction),
                          "\"SALA\" on a single transaction: salaries go as category purpose of the whole group "
                          "(PmtInf/PmtTpInf), so the bank books them together and keeps them confidential");
    }
    if (sepa_requested && !currency.empty() && currency != "EUR") {
      inspection_.Problem(At(place, "Amt/InstdAmt/@Ccy", LineOf(instructed)),
                          InQuotes(currency) + " in a SEPA payment, which is in EUR only");
    }
    if (kind == PaymentKind::kSepa) CheckSepa(place, transaction);
    return amount;
  }

  std::optional<Decimal> CheckAmount(const std::string& place, const xmlNode* transaction, const xmlNode* instructed,
                                     const std::string& currency) {
    if (instructed == nullptr) {
      inspection_.Problem({place, "", "", 0, 0, LineOf(transaction), true}, "no amount (Amt/InstdAmt)");
      return std::nullopt;
    }
    const std::string text = TextOf(instructed);
    const std::optional<Decimal> amount = ParseDecimal(text);
    const Location where = At(place, instructed, transaction);
    if (!amount) {
      inspection_.Problem(where, InQuotes(text) + " is not an amount");
    } else if (*amount < 0) {
      inspection_.Problem(where, text + " is negative; the ISO schema accepts no negative amount");
    } else if (const int allowed = CurrencyDecimals(currency); Decimals(text) > allowed) {
      inspection_.Problem(where, text + " has " + std::to_string(Decimals(text)) + " decimals; an amount in " +
                                     currency + " has at most " + std::to_string(allowed));
    }
    return amount;
  }

  // QR-IBAN and QR reference belong together; a creditor reference carries its own check.
  void CheckReferences(const std::string& place, const xmlNode* transaction, const std::string& valid_iban) {
    std::vector<const xmlNode*> references;
    if (const xmlNode* remittance = Child(transaction, "RmtInf")) Descendants(remittance, "CdtrRefInf", references);
    bool qr_reference = false;
    for (const xmlNode* reference_info : references) {
      const std::string type = TextOf(ChildAt(reference_info, "Tp/CdOrPrtry/Prtry"));
      const std::string code = TextOf(ChildAt(reference_info, "Tp/CdOrPrtry/Cd"));
      const xmlNode* reference = Child(reference_info, "Ref");
      if (reference == nullptr) continue;
      const std::string text = TextOf(reference);
      const Location where = At(place, reference, transaction);
      if (type == "QRR") {
        qr_reference = true;
        if (const std::optional<std::string> problem = QrReferenceProblem(text)) {
          inspection_.Problem(where, *problem);
        } else if (!valid_iban.empty() && !IsQrIban(valid_iban)) {
          inspection_.Problem(where, "a QR reference, but " + InQuotes(valid_iban) +
                                         " is no QR-IBAN: a QR reference goes only to a QR-IBAN");
        } else if (valid_iban.empty() && ChildAt(transaction, "CdtrAcct/Id/IBAN") == nullptr) {
          inspection_.Problem(where, "a QR reference without a creditor IBAN: a QR reference goes only to a QR-IBAN");
        }
      } else if (code == "SCOR") {
        if (const std::optional<std::string> problem = CreditorReferenceProblem(text)) {
          inspection_.Problem(where, *problem);
        }
      }
    }
    if (!valid_iban.empty() && IsQrIban(valid_iban) && !qr_reference) {
      const xmlNode* iban = ChildAt(transaction, "CdtrAcct/Id/IBAN");
      inspection_.Problem(At(place, iban, transaction),
                          InQuotes(valid_iban) + " is a QR-IBAN, which needs a QR reference (CdtrRefInf of type QRR)");
    }
  }

  // ---- SEPA ----

  void CheckSepaName(const std::string& place, const std::string& text, const std::string& path, int line) {
    if (const std::size_t length = CodePointCount(text); length > 70) {
      inspection_.Problem(At(place, path, line), InQuotes(text) + " has " + std::to_string(length) +
                                                     " characters; a name in a SEPA payment has at most 70");
    }
  }

  void CheckSepa(const std::string& place, const xmlNode* transaction) {
    for (const std::string_view party : {"Cdtr", "UltmtCdtr", "UltmtDbtr"}) {
      if (const xmlNode* name = ChildAt(transaction, std::string(party) + "/Nm")) {
        CheckSepaName(place, TextOf(name), PathBelow(name, transaction), LineOf(name));
      }
    }
    if (const xmlNode* charges = Child(transaction, "ChrgBr"); charges && TextOf(charges) != "SLEV") {
      inspection_.Problem(At(place, charges, transaction),
                          InQuotes(TextOf(charges)) + " in a SEPA payment, whose charges are always shared (SLEV)");
    }
    if (!group_.sepa_charges_checked && group_.charges && group_.charges->text != "SLEV") {
      group_.sepa_charges_checked = true;
      inspection_.Problem(
          At(group_.place, "ChrgBr", group_.charges->line),
          InQuotes(group_.charges->text) + " for SEPA payments, whose charges are always shared (SLEV)");
    }
    std::vector<const xmlNode*> additional;
    if (const xmlNode* remittance = Child(transaction, "RmtInf")) Descendants(remittance, "AddtlRmtInf", additional);
    for (const xmlNode* text : additional) {
      inspection_.Problem(At(place, text, transaction),
                          "additional remittance information in a SEPA payment, which carries a creditor reference or "
                          "an unstructured reason, not both");
    }
  }

  // ---- addresses ----

  // Every postal address below `node`: town and country, at most two address lines in the
  // Swiss flavour, not of address lines alone, no text given twice.
  void CheckAddresses(const std::string& place, const xmlNode* node, const xmlNode* block_node = nullptr) {
    if (block_node == nullptr) block_node = node;
    std::vector<const xmlNode*> addresses;
    if (LocalName(node) == "PstlAdr") addresses.push_back(node);
    Descendants(node, "PstlAdr", addresses);
    for (const xmlNode* address : addresses) CheckAddress(place, address, block_node);
  }

  void CheckAddress(const std::string& place, const xmlNode* address, const xmlNode* block_node) {
    static constexpr std::string_view kStructured[] = {"Dept",      "SubDept",  "StrtNm",      "BldgNb", "BldgNm",
                                                       "Flr",       "PstBx",    "Room",        "PstCd",  "TwnNm",
                                                       "TwnLctnNm", "DstrctNm", "CtrySubDvsn", "Ctry"};
    std::vector<const xmlNode*> lines;
    std::vector<const xmlNode*> structured;
    for (const xmlNode* child = address->children; child != nullptr; child = child->next) {
      if (child->type != XML_ELEMENT_NODE) continue;
      if (LocalName(child) == "AdrLine") {
        lines.push_back(child);
      } else if (std::find(std::begin(kStructured), std::end(kStructured), LocalName(child)) != std::end(kStructured)) {
        structured.push_back(child);
      }
    }
    const Location where = At(place, address, block_node);
    if (structured.empty() && !lines.empty()) {
      inspection_.Problem(where,
                          "an address of address lines only (unstructured), which banks refuse from November 2026: "
                          "give at least town (TwnNm) and country (Ctry)");
    } else {
      if (Child(address, "TwnNm") == nullptr) inspection_.Problem(where, "no town (TwnNm), which every address needs");
      if (Child(address, "Ctry") == nullptr) inspection_.Problem(where, "no country (Ctry), which every address needs");
    }
    if (swiss_ && lines.size() > 2) {
      inspection_.Problem(At(place, lines[2], block_node),
                          std::to_string(lines.size()) + " address lines; the Swiss flavour takes at most 2");
    }
    for (const xmlNode* line : lines) {
      const std::string folded_line = Folded(TextOf(line));
      for (const xmlNode* part : structured) {
        const std::string folded_part = Folded(TextOf(part));
        if (folded_part.empty()) continue;
        // Short parts (a country code, a building number) count only as the whole line.
        const bool repeated =
            folded_line == folded_part || (CodePointCount(folded_part) >= 4 && HoldsWords(folded_line, folded_part));
        if (repeated) {
          inspection_.Problem(At(place, line, block_node),
                              InQuotes(TextOf(line)) + " repeats " + InQuotes(TextOf(part)) + " of <" +
                                  std::string(LocalName(part)) +
                                  ">; an address line holds only what no structured element holds");
          break;
        }
      }
    }
  }

  // ---- shared checks ----

  // True when the IBAN passes; a problem at its place otherwise. No element: false.
  bool CheckIban(const std::string& place, const xmlNode* element, const xmlNode* block_node) {
    if (element == nullptr) return false;
    const std::string iban = TextOf(element);
    const Location where = At(place, element, block_node);
    if (iban.empty()) {
      inspection_.Problem(where, "is empty where an IBAN is needed");
    } else if (iban.find(' ') != std::string::npos) {
      inspection_.Problem(where,
                          InQuotes(iban) + " has blanks, which the ISO schema refuses: give the IBAN without blanks");
    } else if (const std::int32_t remainder = IbanMod97(iban); remainder != 1) {
      inspection_.Problem(where, InQuotes(iban) + " is not a valid IBAN (check sum remainder " +
                                     std::to_string(remainder) + ", 1 expected)");
    } else if (NormalizeIban(iban).empty() || !IsValidIban(iban)) {
      inspection_.Problem(where, InQuotes(iban) +
                                     " is not a valid IBAN (a Swiss or Liechtenstein IBAN has 21 "
                                     "characters, not " +
                                     std::to_string(iban.size()) + ")");
    } else {
      return true;
    }
    return false;
  }

  void CheckDate(const std::string& place, const xmlNode* element, const xmlNode* block_node, bool with_time) {
    if (element == nullptr) return;
    const std::string text = TextOf(element);
    if (with_time ? !IsIsoDateTime(text) : !IsIsoDate(text)) {
      inspection_.Problem(At(place, element, block_node),
                          InQuotes(text) + " is not a valid " +
                              (with_time ? "date and time (YYYY-MM-DDTHH:MM:SS)" : "date (YYYY-MM-DD)"));
    }
  }

  // NbOfTxs and CtrlSum of the group header or a group against the transactions they cover.
  void CheckCounts(const std::string& place, const std::optional<StatedValue>& count,
                   const std::optional<StatedValue>& control, std::size_t transactions, std::optional<Decimal> sum) {
    if (!messages_.xml.empty()) return;
    if (count && count->text != std::to_string(transactions)) {
      inspection_.Problem(At(place, "NbOfTxs", count->line), InQuotes(count->text) + " does not match the " +
                                                                 std::to_string(transactions) + " transactions");
    }
    if (!control) return;
    const std::optional<Decimal> stated = ParseDecimal(control->text);
    if (!stated) {
      inspection_.Problem(At(place, "CtrlSum", control->line), InQuotes(control->text) + " is not a decimal number");
    } else if (sum && *stated != *sum) {
      inspection_.Problem(At(place, "CtrlSum", control->line),
                          control->text + " is not the sum of the transactions' amounts (" + DecimalText(*sum) + ")");
    }
  }

  // What a payment group carries from its head to its transactions and its end.
  struct Group {
    std::string place;  // "PmtInf 2"
    Block block;
    bool emitted = false;
    bool cheque = false;
    bool sepa_requested = false;
    bool sepa_charges_checked = false;
    PaymentKind kind = PaymentKind::kDomestic;
    std::optional<StatedValue> count, control, charges;
    std::vector<NamedText> names;  // the debtor's names, checked when the group is SEPA
    std::size_t transactions = 0;
    std::optional<Decimal> sum = 0;
    std::map<std::string, std::size_t> instruction_ids;  // instruction identification -> first transaction
  };

  std::string_view content_;
  bool swiss_ = false;
  bool header_seen_ = false;
  std::optional<StatedValue> header_count_, header_sum_;
  std::size_t transactions_ = 0;
  std::optional<Decimal> sum_ = 0;
  int groups_ = 0;
  bool in_group_ = false;
  Group group_;
  std::map<std::string, int> group_ids_;  // payment information identification -> first group
};

}  // namespace

void InspectIso2019(std::string_view content, const InspectOptions& options, Inspection& inspection) {
  Iso2019Reader(options, inspection).Run(content);
}

}  // namespace ordexa::inspect
