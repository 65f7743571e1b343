// The three example messages of the Swiss guidelines re-created: a batch describing their
// payments, written in both flavours, says per transaction what the example says
// (accounts, amounts, currencies, references, names, addresses, remittance texts).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "tests/iso2019/iso2019_support.h"

namespace ordexa::test {
namespace {

// What a transaction says: "path=text" for every element and attribute below CdtTrfTxInf,
// and the debtor's name and account from its group. Identifiers are ours to choose, and
// a bank abroad without a BIC is given by name and address only: no clearing code.
std::vector<std::string> Facts(const XmlReader& document, xmlNode* transaction) {
  std::vector<std::string> facts;
  facts.push_back("Dbtr/Nm=" + document.Text("../d:Dbtr/d:Nm", transaction));
  facts.push_back("DbtrAcct/Id/IBAN=" + document.Text("../d:DbtrAcct/d:Id/d:IBAN", transaction));
  struct Walk {
    static void Node(xmlNode* node, const std::string& path, std::vector<std::string>& facts) {
      for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        facts.push_back(path + "@" + reinterpret_cast<const char*>(attribute->name) + "=" +
                        XmlReader::Text(attribute->children));
      }
      bool leaf = true;
      for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        leaf = false;
        const std::string child_path = (path.empty() ? "" : path + "/") + reinterpret_cast<const char*>(child->name);
        if (child_path == "PmtId" || child_path == "CdtrAgt/FinInstnId/ClrSysMmbId") continue;
        Node(child, child_path, facts);
      }
      if (leaf) facts.push_back(path + "=" + XmlReader::Text(node));
    }
  };
  Walk::Node(transaction, "", facts);
  return facts;
}

std::vector<std::string> AllFacts(const std::string& bytes) {
  const XmlReader document(bytes, kIso2019Namespace);
  std::vector<std::string> all;
  for (xmlNode* transaction : document.Nodes("//d:CdtTrfTxInf")) {
    std::string joined;
    for (const std::string& fact : Facts(document, transaction)) joined += fact + "\n";
    all.push_back(joined);
  }
  std::sort(all.begin(), all.end());
  return all;
}

TEST(Iso2019Samples, EachSampleIsRecreatedTransactionByTransaction) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const AddressFields haller = Structured("Peter Haller", "Rosenauweg", "4", "8036", "Z\xFCrich", "CH");
  AddressFields rosenauwegc = haller;
  rosenauwegc.street_name = "Rosenauwegc";
  const struct {
    const char* file;
    std::int64_t cents;
    const char* currency;
    AddressFields receiver;
    const char *account, *esr, *reason = "", *debtor = "CH7280005000088877766", *debtor_bic = "RAIFCH22005";
  } rows[] = {
      {"pain_001_Example_PT_D_QRR_SCOR.xml", 394975, "CHF",
       Structured("Robert Schneider AG", "Rue du Lac", "1268", "2501", "Biel", "CH"), "CH44 3199 9123 0008 8901 2",
       "21 00000 00003 13947 14300 09017", "Auftrag vom 10.02.2023"},
      {"pain_001_Example_PT_D_QRR_SCOR.xml", 19995, "EUR", rosenauwegc, "CH4821966000009613388", "RF18 5390 0754 7034"},
      {"pain_001_Example_PT_X_V1_PT_S.xml", 394975, "USD", haller, "CH5021977000004331346", "RF4220210323103704APG0018"},
      {"pain_001_Example_PT_X_V1_PT_S.xml", 847925, "EUR",
       Structured("Robert Scheider SA", "Rue de la gare", "24", "2501", "Biel", "CH"), "CH4221988000009522865", "",
       "Rechnung Nr. 408"},
      {"pain_001_Example_PT_X_V1_PT_S.xml", 342100, "EUR", haller, "DE62007620110623852957", "RF712348231"},
      // A bank abroad without a BIC, given by name and address.
      {"pain_001_Example_PT_X_V2.xml", 342100, "USD",
       Structured("Peter Fonda", "Saville Row", "4", "EC2R WYK", "London", "GB"), "474-8512-007", "RF712348231", "",
       "CH5481230000001998736", "RAIFCH22"},
  };
  struct Sample {
    const char* file;
    PaymentFieldsList payments;
  };
  std::vector<Sample> samples;
  for (const auto& row : rows) {
    if (samples.empty() || std::string(samples.back().file) != row.file) samples.push_back({row.file, {}});
    PaymentFields& p = samples.back().payments.emplace_back();
    p.type = payIban;
    p.date = Day(2023, 2, 22);
    p.amount = Cents(row.cents);
    p.currency = row.currency;
    p.bank_src.account = row.debtor;
    p.bank_src.bic = row.debtor_bic;
    p.receiver = row.receiver;
    if (std::string(row.account) == "474-8512-007") {
      p.bank_dst = Structured("UBS Ltd", "Finsbury Avenue", "1", "EC2M 2PP", "London", "GB");
    }
    if (std::string(row.account).starts_with("DE")) p.bank_dst.bic = "UBSWDEFF";
    p.bank_dst.account = row.account;
    p.esr = row.esr;
    p.reason = row.reason;
  }

  const ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2023, .wMonth = 2, .wDay = 15, .wHour = 9}));
  for (const Sample& sample : samples) {
    SCOPED_TRACE(sample.file);
    const std::string example =
        ReadWholeFile(std::string(ORDEXA_SHARED_DIR) + "/xsd/samples/sps2022/" + sample.file).value_or("");
    ASSERT_FALSE(example.empty()) << "the example is missing";
    SettingFields settings;
    settings.sender.name1 = "MUSTER AG";
    PayBatch batch;
    FillBatch(batch, settings, sample.payments);
    TempDir dir;
    for (const bool swiss : {true, false}) {
      EXPECT_EQ(AllFacts(example), AllFacts(WriteValidIso2019(batch, dir, swiss))) << (swiss ? "Swiss" : "generic");
    }
  }
}

}  // namespace
}  // namespace ordexa::test
