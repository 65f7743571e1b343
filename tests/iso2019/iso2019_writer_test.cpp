// Tests of the 2019 ISO writer: what a payment becomes, what is refused (before a file is
// opened, with the payment named), the groups and the identifiers. Every written file is
// checked against its schema (failing file calls: tests/hostile).
#include "iso2019/iso2019_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "failure/failure.h"
#include "iso2019/iso2019_plan.h"
#include "platform/clock.h"
#include "tests/iso2019/iso2019_support.h"

namespace ordexa::test {
namespace {

// 20 December 2026, 10:30:15: the day of writing of every test here.
constexpr SYSTEMTIME kNow{2026, 12, 0, 20, 10, 30, 15, 0};
constexpr char kQrIban[] = "CH4431999123000889012";
constexpr char kQrReference[] = "210000000003139471430009017";

using Change = std::function<void(SettingFields&, PaymentFields&)>;

// A clean salary order: a CHF payment to a Swiss IBAN, the receiver's address structured.
PaymentFields CleanPayment() {
  PaymentFields p;
  p.type = payIban;
  p.date = Day(2026, 12, 23);
  p.amount = Cents(523040);
  p.reason = "Lohn Dezember";
  p.bank_src.account = "CH93 0076 2011 6238 5295 7";
  p.bank_dst.account = "CH5604835012345678009";
  p.receiver = Structured("Anna M\xFCller", "Seeweg", "2", "8002", "Z\xFCrich", "CH");
  return p;
}

SettingFields CleanSettings() {
  SettingFields settings;
  settings.sender.name1 = "Muster AG";
  return settings;
}

// A batch of a clean payment and the changed one after it (payment 2).
void FillChanged(PayBatch& batch, const Change& change) {
  SettingFields settings = CleanSettings();
  PaymentFields changed = CleanPayment();
  change(settings, changed);
  FillBatch(batch, settings, {CleanPayment(), changed});
}

class Iso2019Writer : public testing::Test {
 protected:
  // Every file written here is checked against its schema.
  void SetUp() override { ORDEXA_SKIP_WITHOUT_SHARED_XSD(); }
  ScopedClock clock_{FixedClock(kNow)};
  TempDir dir_;
};

TEST_F(Iso2019Writer, EachRefusalNamesThePaymentAndWritesNothing) {
  const struct {
    const char* what;
    Change change;
    const char* key;
    const char* subkey;
  } rows[] = {
      {"sender without name", [](SettingFields& s, PaymentFields&) { s.sender.name1 = " "; }, "Sender", "Name1"},
      {"IBAN check digits", [](SettingFields&, PaymentFields& p) { p.bank_dst.account = "CH5604835012345678008"; },
       "BankDst", "Account"},
      {"postal account check digit", [](SettingFields&, PaymentFields& p) { p.bank_dst.account = "25-9779-7"; },
       "BankDst", "Account"},
      {"ISR participant number",
       [](SettingFields&, PaymentFields& p) { p.type = payESR16, p.bank_dst.account = "01-12345-9"; }, "BankDst",
       "Account"},
      {"no account", [](SettingFields&, PaymentFields& p) { p.bank_dst.account = ""; }, "BankDst", "Account"},
      {"other account over 34", [](SettingFields&, PaymentFields& p) { p.bank_dst.account = std::string(35, '7'); },
       "BankDst", "Account"},
      {"no BIC", [](SettingFields&, PaymentFields& p) { p.bank_dst.bic = "UBSWDEF"; }, "BankDst", "BIC"},
      {"QR-IBAN without reference", [](SettingFields&, PaymentFields& p) { p.bank_dst.account = kQrIban; }, "ESR", ""},
      {"QR-IBAN with RF",
       [](SettingFields&, PaymentFields& p) { p.bank_dst.account = kQrIban, p.esr = "RF18539007547034"; }, "ESR", ""},
      {"QR-IBAN in USD",
       [](SettingFields&, PaymentFields& p) { p.bank_dst.account = kQrIban, p.esr = kQrReference, p.currency = "USD"; },
       "Currency", ""},
      {"QR reference, plain IBAN", [](SettingFields&, PaymentFields& p) { p.esr = kQrReference; }, "ESR", ""},
      {"RF check digits", [](SettingFields&, PaymentFields& p) { p.esr = "RF19539007547034"; }, "ESR", ""},
      {"currency not a code", [](SettingFields&, PaymentFields& p) { p.currency = "EURO"; }, "Currency", ""},
      {"zero amount", [](SettingFields&, PaymentFields& p) { p.amount = CY{0}; }, "Amount", ""},
      {"third decimal in CHF", [](SettingFields&, PaymentFields& p) { p.amount = CY{100010}; }, "Amount", ""},
      {"over 9,999,999,999.99", [](SettingFields&, PaymentFields& p) { p.amount = Cents(1'000'000'000'000); },
       "Amount", ""},
      {"SEPA over 999,999,999.99",
       [](SettingFields&, PaymentFields& p) {
         p.currency = "EUR", p.bank_dst.account = "DE62007620110623852957", p.amount = Cents(100'000'000'000);
       },
       "Amount", ""},
      {"no debtor account", [](SettingFields&, PaymentFields& p) { p.bank_src.account = ""; }, "BankSrc", "Account"},
      {"QR-IBAN as debtor", [](SettingFields&, PaymentFields& p) { p.bank_src.account = kQrIban; }, "BankSrc",
       "Account"},
      {"debtor abroad without BIC",
       [](SettingFields&, PaymentFields& p) { p.bank_src.account = "DE62007620110623852957"; }, "BankSrc", "BIC"},
      {"receiver without name", [](SettingFields&, PaymentFields& p) { p.receiver.name1 = ""; }, "Receiver", "Name1"},
      {"country not a code", [](SettingFields&, PaymentFields& p) { p.receiver.country = "Schweiz"; }, "Receiver",
       "Country"},
      {"abroad without town",
       [](SettingFields&, PaymentFields& p) {
         p.currency = "USD", p.bank_dst.account = "GB29NWBK60161331926819", p.bank_dst.bic = "NWBKGB2L";
         p.receiver = {"John Smith", "", "", "", "", "", ""};
       },
       "Receiver", "City"},
      {"abroad, bank unnamed",
       [](SettingFields&, PaymentFields& p) {
         p.currency = "USD", p.bank_dst.account = "474-8512-007", p.receiver.country = "GB";
       },
       "BankDst", "BIC"},
      {"cheque without post code",
       [](SettingFields&, PaymentFields& p) {
         p.type = payPostmandat, p.bank_dst.account = "";
         p.receiver = {"Anna M\xFCller", "", "Seeweg 2", "Z\xFCrich", "", "", ""};
       },
       "Receiver", "City"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    PayBatch batch;
    FillChanged(batch, row.change);
    const std::vector<Iso2019Finding> findings = CheckIso2019Batch(batch, "2026-12", true);
    const auto refusal = std::find_if(findings.begin(), findings.end(),
                                      [](const Iso2019Finding& f) { return f.kind == Iso2019FindingKind::kRefusal; });
    ASSERT_NE(findings.end(), refusal);
    EXPECT_EQ(row.key, refusal->key);
    EXPECT_EQ(row.subkey, refusal->subkey);
    const bool batch_refusal = refusal->payment == Iso2019Finding::kNoPayment;
    EXPECT_EQ(batch_refusal ? Iso2019Finding::kNoPayment : 1u, refusal->payment);

    const std::string path = dir_.Path("lohn.xml");
    WriteWholeFile(path, "last month");
    try {
      WriteIso2019File(batch, path, "2026-12", true);
      ADD_FAILURE() << "written";
    } catch (const MPayError& error) {
      EXPECT_EQ(batch_refusal ? IDS_ISO2019_BATCH_REFUSED : IDS_ISO2019_PAYMENT_REFUSED, error.id());
      if (!batch_refusal) {
        EXPECT_TRUE(error.text().starts_with("Die Zahlung 2 ")) << error.text();
      }
      EXPECT_EQ(refusal->reason, error.text().substr(error.text().find('\n') + 1));
    }
    EXPECT_EQ("last month", ReadWholeFile(path));
    EXPECT_FALSE(ReadWholeFile(path + ".tmp"));
  }
  // The number of payments alone: none at all, and the most a Swiss file holds (clean
  // payments all; only the count is judged, so the big batches are checked, not written).
  const struct {
    std::size_t payments;
    bool refused;
  } sizes[] = {{0, true}, {99'999, false}, {100'000, true}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size.payments);
    PayBatch batch;
    FillBatch(batch, CleanSettings(), size.payments == 0 ? PaymentFieldsList{} : PaymentFieldsList{CleanPayment()});
    while (batch.payments.size() < size.payments) batch.payments.emplace_back() = batch.payments[0];
    const std::vector<Iso2019Finding> findings = CheckIso2019Batch(batch, "2026-12", true);
    const bool refused = std::any_of(findings.begin(), findings.end(), [](const Iso2019Finding& f) {
      return f.kind == Iso2019FindingKind::kRefusal && f.payment == Iso2019Finding::kNoPayment && f.key.empty();
    });
    EXPECT_EQ(size.refused, refused);
    if (size.payments == 0) {
      EXPECT_THROW(WriteIso2019File(batch, dir_.Path("empty.xml"), "2026-12", false), MPayError);
    }
  }
}

TEST_F(Iso2019Writer, APaymentBecomesTheTransactionItsAccountReferenceAndCurrencySay) {
  // Each row: a change to the clean payment and what the written file then says, as
  // XPath below the only PmtInf (prefix d:) and the text expected; "(none)": no such element.
  const struct {
    const char* what;
    Change change;
    std::vector<std::pair<const char*, std::string>> says;
  } rows[] = {
      {"domestic CHF", [](SettingFields&, PaymentFields&) {},
       {{"d:PmtMtd", "TRF"}, {"d:PmtTpInf", "(none)"}, {"d:ChrgBr", "(none)"}, {"*/d:CdtrAgt", "(none)"},
        {"*/d:Amt/d:InstdAmt", "5230.40"}, {"*/d:Amt/d:InstdAmt/@Ccy", "CHF"}, {"d:ReqdExctnDt/d:Dt", "2026-12-23"},
        {"*/d:CdtrAcct/d:Id/d:IBAN", "CH5604835012345678009"}, {"*/d:RmtInf/d:Ustrd", "Lohn Dezember"},
        {"d:DbtrAgt/d:FinInstnId/d:ClrSysMmbId/d:MmbId", "00762"},
        {"d:DbtrAgt/d:FinInstnId/d:ClrSysMmbId/d:ClrSysId/d:Cd", "CHBCC"}}},
      {"postal account of nine digits", [](SettingFields&, PaymentFields& p) { p.bank_dst.account = "250097798"; },
       {{"*/d:CdtrAcct/d:Id/d:IBAN", "CH6309000000250097798"}}},
      {"other ESR text: not written", [](SettingFields&, PaymentFields& p) { p.esr = "12345"; },
       {{"*/d:RmtInf/d:Strd", "(none)"}, {"*/d:RmtInf/d:Ustrd", "Lohn Dezember"}}},
      {"SEPA, reason dropped beside RF",
       [](SettingFields&, PaymentFields& p) {
         p.currency = "eur", p.bank_dst.account = "DE62 0076 2011 0623 8529 57", p.esr = "RF18539007547034";
       },
       {{"d:PmtTpInf/d:SvcLvl/d:Cd", "SEPA"}, {"d:ChrgBr", "SLEV"}, {"*/d:CdtrAgt", "(none)"},
        {"*/d:RmtInf/d:Strd/d:AddtlRmtInf", "(none)"}}},
      {"EUR to a Swiss IBAN: domestic", [](SettingFields&, PaymentFields& p) { p.currency = "EUR"; },
       {{"d:PmtTpInf", "(none)"}, {"*/d:Amt/d:InstdAmt/@Ccy", "EUR"}}},
      {"foreign currency at home",
       [](SettingFields&, PaymentFields& p) { p.currency = "USD", p.cost_code = payCostSrc; },
       {{"d:ChrgBr", "DEBT"}, {"*/d:CdtrAgt", "(none)"}}},
      {"abroad by BIC",
       [](SettingFields&, PaymentFields& p) {
         p.currency = "USD", p.bank_dst.account = "GB29NWBK60161331926819", p.bank_dst.bic = "nwbk gb 2l";
         p.receiver = {"John Smith", "", "1 High Street", "London", "", "", ""}, p.receiver.country = "GB";
         p.cost_code = payCostDst;
       },
       {{"d:ChrgBr", "CRED"}, {"*/d:CdtrAgt/d:FinInstnId/d:BICFI", "NWBKGB2L"},
        {"*/d:Cdtr/d:PstlAdr/d:BldgNb", "1"}, {"*/d:Cdtr/d:PstlAdr/d:Ctry", "GB"}}},
      {"cheque", [](SettingFields&, PaymentFields& p) { p.type = payPostmandat, p.bank_dst.account = ""; },
       {{"d:PmtMtd", "CHK"}, {"*/d:CdtrAcct", "(none)"}, {"*/d:Cdtr/d:PstlAdr/d:PstCd", "8002"}}},
      {"no decimals in JPY", [](SettingFields&, PaymentFields& p) { p.currency = "JPY", p.amount = Cents(150000); },
       {{"*/d:Amt/d:InstdAmt", "1500"}}},
      {"three decimals in KWD", [](SettingFields&, PaymentFields& p) { p.currency = "KWD", p.amount = CY{12340}; },
       {{"*/d:Amt/d:InstdAmt", "1.234"}, {"../d:GrpHdr/d:CtrlSum", "1.234"}}},
      {"no date: the day of writing", [](SettingFields&, PaymentFields& p) { p.date = 0.0; },
       {{"d:ReqdExctnDt/d:Dt", "2026-12-20"}}},
      {"salary of the settings", [](SettingFields& s, PaymentFields&) { s.is_salary = true; },
       {{"d:PmtTpInf/d:CtgyPurp/d:Cd", "SALA"}, {"d:DbtrAcct/d:Tp/d:Prtry", "CND"}}},
      // Texts cut at their element's length: a SEPA name at 70, any other at 140.
      {"SEPA name", [](SettingFields&, PaymentFields& p) {
         p.currency = "EUR", p.bank_dst.account = "DE62007620110623852957", p.receiver.name1 = std::string(71, 'N');
       },
       {{"*/d:Cdtr/d:Nm", std::string(70, 'N')}}},
      {"domestic name", [](SettingFields&, PaymentFields& p) { p.receiver.name1 = std::string(141, 'N'); },
       {{"*/d:Cdtr/d:Nm", std::string(140, 'N')}}},
      {"remittance text", [](SettingFields&, PaymentFields& p) { p.reason = std::string(141, 'r'); },
       {{"*/d:RmtInf/d:Ustrd", std::string(140, 'r')}}},
      {"town", [](SettingFields&, PaymentFields& p) { p.receiver.town = std::string(36, 't'); },
       {{"*/d:Cdtr/d:PstlAdr/d:TwnNm", std::string(35, 't')}}},
      {"debtor by BIC, postal account", [](SettingFields&, PaymentFields& p) {
         p.bank_src.account = "25-9779-8", p.bank_src.bic = "POFICHBEXXX";
       },
       {{"d:DbtrAcct/d:Id/d:IBAN", "CH6309000000250097798"}, {"d:DbtrAgt/d:FinInstnId/d:BICFI", "POFICHBEXXX"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SettingFields settings = CleanSettings();
    PaymentFields payment = CleanPayment();
    row.change(settings, payment);
    PayBatch batch;
    FillBatch(batch, settings, {payment});
    const XmlReader document(WriteValidIso2019(batch, dir_, true), kIso2019Namespace);
    xmlNode* group = document.Nodes("//d:PmtInf").at(0);
    for (const auto& [xpath, text] : row.says) EXPECT_EQ(text, document.Text(xpath, group)) << xpath;
  }
}

TEST_F(Iso2019Writer, PaymentsAreGroupedByWhatTheirGroupCarries) {
  // Payments 1 and 7 share everything; each other one differs from them in one respect.
  const Change changes[] = {
      [](SettingFields&, PaymentFields&) {},
      [](SettingFields&, PaymentFields& p) { p.date = Day(2026, 12, 24); },
      [](SettingFields&, PaymentFields& p) { p.currency = "EUR"; },
      [](SettingFields&, PaymentFields& p) { p.is_salary = true; },
      [](SettingFields&, PaymentFields& p) { p.currency = "USD", p.cost_code = payCostDst; },
      [](SettingFields&, PaymentFields& p) { p.bank_src.account = "CH5481230000001998736"; },
      [](SettingFields&, PaymentFields&) {},
      [](SettingFields&, PaymentFields& p) { p.currency = "USD", p.cost_code = payCostSrc; },
      // SEPA: beside the domestic EUR payment 3, but a group of its own.
      [](SettingFields&, PaymentFields& p) { p.currency = "EUR", p.bank_dst.account = "DE62007620110623852957"; },
  };
  PaymentFieldsList payments;
  SettingFields settings = CleanSettings();
  for (const Change& change : changes) change(settings, payments.emplace_back(CleanPayment()));
  PayBatch batch;
  FillBatch(batch, settings, payments);
  for (const bool swiss : {true, false}) {
    const XmlReader document(WriteValidIso2019(batch, dir_, swiss), kIso2019Namespace);
    std::vector<std::string> layout;
    for (xmlNode* group : document.Nodes("//d:PmtInf")) {
      std::string ids = document.Text("d:NbOfTxs", group) + ":";
      for (const std::string& id : document.Texts("d:CdtTrfTxInf/d:PmtId/d:InstrId", group)) ids += " " + id;
      layout.push_back(ids);
    }
    EXPECT_EQ((std::vector<std::string>{"2: 1 7", "1: 2", "1: 3", "1: 4", "1: 5", "1: 6", "1: 8", "1: 9"}), layout);
    EXPECT_EQ("9", document.Text("//d:GrpHdr/d:NbOfTxs"));
    EXPECT_EQ("47073.60", document.Text("//d:GrpHdr/d:CtrlSum"));
  }
}

TEST_F(Iso2019Writer, IdentifiersAreReproducibleAndTellFilesApart) {
  PayBatch batch;
  FillBatch(batch, CleanSettings(), {CleanPayment(), CleanPayment()});
  const std::string first = WriteValidIso2019(batch, dir_, true, "Lohn 12/2026 \x96 Dez//");
  EXPECT_EQ(first, WriteValidIso2019(batch, dir_, true, "Lohn 12/2026 \x96 Dez//"));

  const XmlReader document(first, kIso2019Namespace);
  const std::string msg_id = document.Text("//d:MsgId");
  EXPECT_TRUE(msg_id.starts_with("ORDX20261220103015-")) << msg_id;
  EXPECT_EQ(27u, msg_id.size());
  EXPECT_EQ(msg_id + "-1", document.Text("//d:PmtInfId"));
  EXPECT_EQ((std::vector<std::string>{"Lohn 12/2026 - Dez-1", "Lohn 12/2026 - Dez-2"}),
            document.Texts("//d:EndToEndId"));

  // One byte more in a text, or another second: another id.
  batch.SetText(batch.payments[1].reason, "Lohn Dezember!");
  const std::string changed = XmlReader(WriteValidIso2019(batch, dir_, true), kIso2019Namespace).Text("//d:MsgId");
  EXPECT_NE(msg_id.substr(19), changed.substr(19));
}

TEST(Iso2019Identifiers, EndToEndIdsKeepOnlyWhatBanksTake) {
  const struct {
    const char* period;
    std::size_t number;
    const char* id;
  } rows[] = {
      {"2026-12", 7, "2026-12-7"},
      {" //Lohn//Dez\x96 2026/ ", 1, "Lohn/Dez- 2026-1"},
      {"L\xF6hne & Boni", 3, "Lhne  Boni-3"},
      {"///", 4, "4"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 99999, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012-99999"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123 /45", 12, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123-12"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.period);
    EXPECT_EQ(row.id, Iso2019EndToEndId(Iso2019PeriodForIds(row.period), row.number));
  }
}

// Digits are checked eight at a time: a byte that is no digit, at any place of a QR
// reference, of a postal account or of a QR-IBAN's bank number, must be found.
TEST(Iso2019Accounts, AByteThatIsNoDigitIsFoundAtEveryPlace) {
  EXPECT_TRUE(IsQrReference(kQrReference));
  EXPECT_TRUE(IsQrIban(kQrIban));
  EXPECT_EQ("CH6309000000250097798", PostFinanceIban("250097798"));
  for (const char odd : {'/', ':', 'A', ' ', '\x80', '\xB9'}) {
    for (std::size_t at = 0; at < 27; ++at) {
      std::string reference = kQrReference;
      reference[at] = odd;
      EXPECT_FALSE(IsQrReference(reference)) << "'" << odd << "' at " << at;
    }
    for (std::size_t at = 4; at < 9; ++at) {
      std::string iban = kQrIban;
      iban[at] = odd;
      EXPECT_FALSE(IsQrIban(iban)) << "'" << odd << "' at " << at;
    }
  }
}

}  // namespace
}  // namespace ordexa::test
