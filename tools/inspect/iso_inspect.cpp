// ISO 20022 pain.001.001.03 documents, read as a stream with libxml2: well-formedness, the
// group header's number of transactions and control sum against the transactions, dates,
// IBAN check sums, and, on request, validity against an XML schema.
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>
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
#include "tools/inspect/iso_stream.h"
#include "tools/inspect/iso_xml.h"

namespace ordexa::inspect {
namespace {

using namespace detail;

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

// A count or sum element of a header, kept for the check at the end of the document.
struct StatedValue {
  std::string text;
  int line = 0;
};

// The document is read as a stream: each header and each transaction is expanded, listed,
// checked and dropped, so memory does not grow with the number of transactions.
class IsoReader : public IsoStreamReader<IsoReader> {
 public:
  IsoReader(const InspectOptions& options, Inspection& inspection) : IsoStreamReader(options, inspection) {}

  void Run(std::string_view content) {
    well_formed_ = ReadStream(content);
    FinishGroup();
    if (header_seen_) {
      CheckCounts("group header", header_count_, header_sum_, transactions_, sum_);
    } else if (well_formed_ && initiation_seen_) {
      inspection_.Problem({}, "no group header (GrpHdr)");
    }
    if (well_formed_ && initiation_seen_ && payment_infos_ == 0) {
      inspection_.Problem({}, "no payment information block (PmtInf)");
    }
    if (root_seen_ && !initiation_seen_ && well_formed_)
      inspection_.Problem({}, "<Document> holds no <CstmrCdtTrfInitn>");
    if (!options_.schema_path.empty()) ReportSchemaMessages(well_formed_);
  }

 private:
  friend class IsoStreamReader<IsoReader>;

  bool in_group() const { return in_payment_info_; }

  bool ReadRoot(xmlTextReader* reader, std::string_view name) {
    const xmlChar* uri = xmlTextReaderConstNamespaceUri(reader);
    if (uri != nullptr) inspection_.flavour = reinterpret_cast<const char*>(uri);
    if (name != "Document") {
      inspection_.Problem(AtLine(xmlTextReaderGetParserLineNumber(reader)),
                          "the document element is <" + std::string(name) + ">, expected <Document>");
      return false;
    }
    return true;
  }

  bool ReadGroupHeader(xmlTextReader* reader) {
    const xmlNode* header = xmlTextReaderExpand(reader);
    if (header == nullptr) return false;
    header_seen_ = true;
    inspection_.AddBlock(ListBlock("group header", header), false);
    CheckDate("group header", Child(header, "CreDtTm"), "CreDtTm", true);
    header_count_ = Stated(Child(header, "NbOfTxs"));
    header_sum_ = Stated(Child(header, "CtrlSum"));
    return true;
  }

  static std::optional<StatedValue> Stated(const xmlNode* element) {
    if (element == nullptr) return std::nullopt;
    return StatedValue{TextOf(element), LineOf(element)};
  }

  void StartGroup(xmlTextReader* reader) {
    FinishGroup();
    ++payment_infos_;
    in_payment_info_ = true;
    info_title_ = "payment information " + std::to_string(payment_infos_);
    info_block_ = Block{info_title_, 0, xmlTextReaderGetParserLineNumber(reader), {Part{}}};
    info_emitted_ = false;
    info_transactions_ = 0;
    info_sum_ = 0;
    info_count_.reset();
    info_control_.reset();
  }

  // One element of the payment information head: listed into its block and checked.
  bool ReadGroupPart(xmlTextReader* reader) {
    const xmlNode* element = xmlTextReaderExpand(reader);
    if (element == nullptr) return false;
    // The block went out with the first transaction: a part of the group's head behind
    // its transactions is out of place, and reported, not listed.
    if (info_emitted_) {
      const std::string name(LocalName(element));
      inspection_.Problem(At(info_title_, element, name),
                          "<" + name + "> stands behind the transactions of its payment information block");
      return true;
    }
    ListElement(element, "", {}, info_block_.parts.front());
    const std::string_view name = LocalName(element);
    if (name == "ReqdExctnDt") CheckDate(info_title_, element, "ReqdExctnDt", false);
    if (name == "NbOfTxs") info_count_ = Stated(element);
    if (name == "CtrlSum") info_control_ = Stated(element);
    if (name == "DbtrAcct" && Child(element, "Id") != nullptr) {
      CheckIban(info_title_, Child(Child(element, "Id"), "IBAN"), "DbtrAcct/Id/IBAN");
    }
    return true;
  }

  void EmitPaymentInfo() {
    if (info_emitted_) return;
    info_emitted_ = true;
    inspection_.AddBlock(std::move(info_block_), false);
  }

  void FinishGroup() {
    if (!in_payment_info_) return;
    in_payment_info_ = false;
    EmitPaymentInfo();
    if (info_transactions_ == 0 && messages_.xml.empty()) {
      inspection_.Problem(InBlock(info_title_), "no transaction (CdtTrfTxInf)");
    }
    CheckCounts(info_title_, info_count_, info_control_, info_transactions_, info_sum_);
  }

  bool ReadTransaction(xmlTextReader* reader) {
    EmitPaymentInfo();
    const xmlNode* transaction = xmlTextReaderExpand(reader);
    if (transaction == nullptr) return false;
    ++info_transactions_;
    ++transactions_;
    const std::optional<Decimal> amount = CheckTransaction(transaction, static_cast<int>(transactions_));
    if (amount && info_sum_)
      *info_sum_ += *amount;
    else
      info_sum_.reset();
    if (amount && sum_)
      *sum_ += *amount;
    else
      sum_.reset();
    return true;
  }

  // Lists `node` (a leaf, or the leaves below it, not descending into `skip`) named by its
  // path from the block.
  void ListElement(const xmlNode* node, const std::string& prefix, std::string_view skip, Part& part) {
    const std::string path = prefix + std::string(LocalName(node));
    if (HasElementChildren(node)) {
      for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && LocalName(child) != skip) ListElement(child, path + "/", skip, part);
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

  Block ListBlock(const std::string& title, const xmlNode* node) {
    Block block{title, 0, LineOf(node), {Part{}}};
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) ListElement(child, "", {}, block.parts.front());
    }
    return block;
  }

  // A field of `block` by its element path, located for a problem line.
  static Location At(const std::string& block, const xmlNode* node, const std::string& path) {
    return {block, "", NameOf(path) + " <" + path.substr(path.rfind('/') + 1) + ">", 0, 0, LineOf(node)};
  }
  static Location At(const std::string& block, const StatedValue& value, const std::string& path) {
    return {block, "", NameOf(path) + " <" + path + ">", 0, 0, value.line};
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
  void CheckCounts(const std::string& block, const std::optional<StatedValue>& count,
                   const std::optional<StatedValue>& control, std::size_t transactions, std::optional<Decimal> sum) {
    if (!messages_.xml.empty()) return;
    if (count && count->text != std::to_string(transactions)) {
      inspection_.Problem(At(block, *count, "NbOfTxs"), Quoted(count->text) + " does not match the " +
                                                            std::to_string(transactions) + " transactions");
    }
    if (!control) return;
    const std::optional<Decimal> stated = ParseDecimal(control->text);
    if (!stated) {
      inspection_.Problem(At(block, *control, "CtrlSum"), Quoted(control->text) + " is not a decimal number");
    } else if (sum && *stated != *sum) {
      inspection_.Problem(At(block, *control, "CtrlSum"),
                          control->text + " is not the sum of the transactions' amounts (" + DecimalText(*sum) + ")");
    }
  }

  std::optional<Decimal> CheckTransaction(const xmlNode* transaction, int number) {
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

  bool well_formed_ = true;
  bool header_seen_ = false;
  std::optional<StatedValue> header_count_, header_sum_;
  std::size_t transactions_ = 0;
  std::optional<Decimal> sum_ = 0;
  int payment_infos_ = 0;
  bool in_payment_info_ = false;
  bool info_emitted_ = false;
  std::string info_title_;
  Block info_block_;
  std::size_t info_transactions_ = 0;
  std::optional<Decimal> info_sum_ = 0;
  std::optional<StatedValue> info_count_, info_control_;
  std::map<std::string, int> instruction_ids_;  // instruction identification -> first transaction
};

}  // namespace

void InspectIso(std::string_view content, const InspectOptions& options, Inspection& inspection) {
  IsoReader(options, inspection).Run(content);
}

}  // namespace ordexa::inspect
