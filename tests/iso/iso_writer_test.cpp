// Tests of the ISO 20022 writer: whole documents with the clock fixed, the per-payment
// choices, texts written uncleaned, and what stays on disk when a file call fails.
#include "iso/iso_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "iso/iso_test_support.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

using test::Lines;
using test::Raised;
using test::ReadWholeFile;
using test::TempDir;

// 4 December 2023 (a Monday), 14:05:33: day 338 of the year.
constexpr SYSTEMTIME kNow{2023, 12, 1, 4, 14, 5, 33, 0};
constexpr DATE k15March2023 = 45000.0;

PayAddressRecord Bank(std::string id, std::string account, std::string bic = "") {
  PayAddressRecord bank;
  bank.id = std::move(id);
  bank.account = std::move(account);
  bank.bic = std::move(bic);
  return bank;
}

PayAddressRecord Party(std::string name1, std::string street, std::string city) {
  PayAddressRecord party;
  party.name1 = std::move(name1);
  party.street = std::move(street);
  party.city = std::move(city);
  return party;
}

class IsoWriterTest : public testing::Test {
 protected:
  std::string FinalName() const { return dir_.Path("pay.xml"); }
  std::string TemporaryName() const { return dir_.Path("pay.xml.tmp"); }

  std::string Write(bool swiss, std::string_view pay_period = "Lohn 03/2023") {
    WriteIsoFile(settings_, payments_, FinalName(), pay_period, swiss);
    return ReadWholeFile(FinalName()).value_or("<no file>");
  }

  PaymentRecord& Add(std::int32_t type, std::int64_t amount) {
    PaymentRecord& payment = payments_.emplace_back();
    payment.type = type;
    payment.date = k15March2023;
    payment.amount.int64 = amount;
    payment.bank_src = Bank("700", "CH5604835012345678009");
    payment.receiver = Party("Anna Bolli", "", "3000 Bern");
    return payment;
  }

  TempDir dir_;
  ScopedClock clock_{FixedClock(kNow)};
  PaySettingRecord settings_ = [] {
    PaySettingRecord settings;
    settings.sender.name1 = "Muster AG";
    settings.cost_currency = "CHF";
    return settings;
  }();
  PaymentList payments_;
};

TEST_F(IsoWriterTest, OnePaymentSwissFlavour) {
  PaymentRecord& payment = Add(payIban, 12345000);
  payment.bank_src = Bank("700", "ch56 0483 5012 3456 7800 9");
  payment.bank_dst = Bank("999", "ch93 0076 2011 6238 5295 7");
  payment.receiver = Party("Hans M\xFCller", "Bahnhofstra\xDF" "e 1", "8001 Z\xFCrich");
  payment.reason = "Lohn M\xE4rz";

  EXPECT_EQ(Lines(R"(
0<?xml version="1.0" encoding="UTF-8"?>
0<!-- Veltrano Kora -->
0<Document xmlns="http://www.six-interbank-clearing.com/de/pain.001.001.03.ch.02.xsd" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://www.six-interbank-clearing.com/de/pain.001.001.03.ch.02.xsd  pain.001.001.03.ch.02.xsd">
1<CstmrCdtTrfInitn>
2<GrpHdr>
3<MsgId>QRV-338:14:05:33</MsgId>
3<CreDtTm>2023-12-04T14:05:33</CreDtTm>
3<NbOfTxs>1</NbOfTxs>
3<CtrlSum>1234.50</CtrlSum>
3<InitgPty>
4<Nm>MUSTER AG</Nm>
3</InitgPty>
2</GrpHdr>
2<PmtInf>
3<PmtInfId>KORA-20230315000000</PmtInfId>
3<PmtMtd>TRF</PmtMtd>
3<BtchBookg>true</BtchBookg>
3<ReqdExctnDt>2023-03-15</ReqdExctnDt>
3<Dbtr>
4<Nm>MUSTER AG</Nm>
3</Dbtr>
3<DbtrAcct>
4<Id>
5<IBAN>CH56 0483 5012 3456 7800 9</IBAN>
4</Id>
4<Tp>
5<Prtry>CND</Prtry>
4</Tp>
3</DbtrAcct>
3<DbtrAgt>
4<FinInstnId>
5<ClrSysMmbId>
6<ClrSysId>
7<Cd>CHBCC</Cd>
6</ClrSysId>
6<MmbId>700</MmbId>
5</ClrSysMmbId>
4</FinInstnId>
3</DbtrAgt>
3<CdtTrfTxInf>
4<PmtId>
5<InstrId>QRN-1</InstrId>
5<EndToEndId>X999-Lohn 03/2023</EndToEndId>
4</PmtId>
4<Amt>
5<InstdAmt Ccy="CHF">1234.50</InstdAmt>
4</Amt>
4<CdtrAgt>
5<FinInstnId>
6<ClrSysMmbId>
7<ClrSysId>
8<Cd>CHBCC</Cd>
7</ClrSysId>
7<MmbId>762</MmbId>
6</ClrSysMmbId>
5</FinInstnId>
4</CdtrAgt>
4<Cdtr>
5<Nm>HANS MULLER</Nm>
5<PstlAdr>
6<Ctry>CH</Ctry>
6<AdrLine>Bahnhofstra)" "\xC3\x9F" R"(e 1</AdrLine>
6<AdrLine>8001 Zürich</AdrLine>
5</PstlAdr>
4</Cdtr>
4<CdtrAcct>
5<Id>
6<IBAN>CH9300762011623852957</IBAN>
5</Id>
4</CdtrAcct>
4<RmtInf>
5<Ustrd>Lohn März</Ustrd>
4</RmtInf>
3</CdtTrfTxInf>
2</PmtInf>
1</CstmrCdtTrfInitn>
0</Document>
)"),
            Write(true));
  EXPECT_FALSE(std::filesystem::exists(TemporaryName()));
}

TEST_F(IsoWriterTest, SeveralPaymentKindsInASalaryEuroBatchGenericFlavour) {
  settings_.sender.name1 = "M\xFCller & Co AG";
  settings_.cost_currency = "EUR";
  settings_.is_salary = true;
  PaymentRecord& iban = Add(payIban, 2500000);
  iban.date = k15March2023 + 0.75;
  iban.bank_src = Bank("1-2345-6", "ch56 0483 5012 3456 7800 9");
  iban.bank_dst = Bank("", "DE89 3704 0044 0532 0130 00", "cobadeffxxx");
  iban.receiver = Party("Erika Mustermann", "Hauptstr. 5", "D-10115 Berlin");
  iban.reason = "Provision";
  PaymentRecord& post = Add(payRedPost, 1000000);
  post.date = 0.0;  // only the first payment's date counts
  post.bank_dst = Bank("", "01-162-8", "ignored");
  post.receiver = Party("Post Kunde", "", "3000 Bern");
  PaymentRecord& esr = Add(payESR15, 500);
  esr.bank_dst = Bank("8390", "01-12345-6");
  esr.receiver = Party("Fritz", "Weg 1", "F-75001 Paris");
  esr.reason = "Rechnung 42";

  EXPECT_EQ(Lines(R"(
0<?xml version="1.0" encoding="UTF-8"?>
0<!-- Veltrano Kora -->
0<Document xmlns="urn:iso:std:iso:20022:tech:xsd:pain.001.001.03" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
1<CstmrCdtTrfInitn>
2<GrpHdr>
3<MsgId>QRV-338:14:05:33</MsgId>
3<CreDtTm>2023-12-04T14:05:33</CreDtTm>
3<NbOfTxs>3</NbOfTxs>
3<CtrlSum>350.05</CtrlSum>
3<InitgPty>
4<Nm>MULLER + CO AG</Nm>
3</InitgPty>
2</GrpHdr>
2<PmtInf>
3<PmtInfId>KORA-20230315180000</PmtInfId>
3<PmtMtd>TRF</PmtMtd>
3<BtchBookg>true</BtchBookg>
3<PmtTpInf>
4<SvcLvl>
5<Cd>SEPA</Cd>
4</SvcLvl>
4<CtgyPurp>
5<Cd>SALA</Cd>
4</CtgyPurp>
3</PmtTpInf>
3<ReqdExctnDt>2023-03-15</ReqdExctnDt>
3<Dbtr>
4<Nm>MULLER + CO AG</Nm>
3</Dbtr>
3<DbtrAcct>
4<Id>
5<IBAN>CH56 0483 5012 3456 7800 9</IBAN>
4</Id>
4<Ccy>EUR</Ccy>
3</DbtrAcct>
3<DbtrAgt>
4<FinInstnId>
5<ClrSysMmbId>
6<ClrSysId>
7<Cd>CHBCC</Cd>
6</ClrSysId>
6<MmbId>010023456</MmbId>
5</ClrSysMmbId>
4</FinInstnId>
3</DbtrAgt>
3<ChrgBr>SLEV</ChrgBr>
3<CdtTrfTxInf>
4<PmtId>
5<InstrId>QRN-1</InstrId>
5<EndToEndId>X333-2023-03</EndToEndId>
4</PmtId>
4<Amt>
5<InstdAmt Ccy="EUR">250.00</InstdAmt>
4</Amt>
4<CdtrAgt>
5<FinInstnId>
6<BIC>COBADEFFXXX</BIC>
5</FinInstnId>
4</CdtrAgt>
4<Cdtr>
5<Nm>ERIKA MUSTERMANN</Nm>
5<PstlAdr>
6<Ctry>DE</Ctry>
6<AdrLine>Hauptstr. 5</AdrLine>
6<AdrLine>D-10115 Berlin</AdrLine>
5</PstlAdr>
4</Cdtr>
4<CdtrAcct>
5<Id>
6<IBAN>DE89370400440532013000</IBAN>
5</Id>
4</CdtrAcct>
4<RmtInf>
5<Ustrd>Provision</Ustrd>
4</RmtInf>
3</CdtTrfTxInf>
3<CdtTrfTxInf>
4<PmtId>
5<InstrId>QRN-2</InstrId>
5<EndToEndId>X666-2023-03</EndToEndId>
4</PmtId>
4<Amt>
5<InstdAmt Ccy="EUR">100.00</InstdAmt>
4</Amt>
4<CdtrAgt>
5<FinInstnId>
6<BIC>POFICHBEXXX</BIC>
5</FinInstnId>
4</CdtrAgt>
4<Cdtr>
5<Nm>POST KUNDE</Nm>
5<PstlAdr>
6<Ctry>CH</Ctry>
6<AdrLine>3000 Bern</AdrLine>
5</PstlAdr>
4</Cdtr>
4<CdtrAcct>
5<Id>
6<Othr>
7<Id>01-162-8</Id>
6</Othr>
5</Id>
4</CdtrAcct>
3</CdtTrfTxInf>
3<CdtTrfTxInf>
4<PmtId>
5<InstrId>QRN-3</InstrId>
5<EndToEndId>X999-2023-03</EndToEndId>
4</PmtId>
4<Amt>
5<InstdAmt Ccy="EUR">0.05</InstdAmt>
4</Amt>
4<CdtrAgt>
5<FinInstnId>
6<BIC></BIC>
5</FinInstnId>
4</CdtrAgt>
4<Cdtr>
5<Nm>FRITZ</Nm>
5<PstlAdr>
6<Ctry>FR</Ctry>
6<AdrLine>Weg 1</AdrLine>
6<AdrLine>F-75001 Paris</AdrLine>
5</PstlAdr>
4</Cdtr>
4<CdtrAcct>
5<Id>
6<Othr>
7<Id>01-12345-6</Id>
6</Othr>
5</Id>
4</CdtrAcct>
4<RmtInf>
5<Ustrd>Rechnung 42</Ustrd>
4</RmtInf>
3</CdtTrfTxInf>
2</PmtInf>
1</CstmrCdtTrfInitn>
0</Document>
)"),
            Write(false, "2023-03"));
  // The sender's name stays upper case in the settings, uncleaned.
  EXPECT_EQ("M\xDCLLER & CO AG", settings_.sender.name1);
}

// The texts of every element `name` in the document, in order.
std::vector<std::string> ElementTexts(const std::string& document, const std::string& name) {
  std::vector<std::string> texts;
  const std::string open = "<" + name + ">";
  const std::string close = "</" + name + ">";
  for (std::size_t at = document.find(open); at != std::string::npos; at = document.find(open, at)) {
    at += open.size();
    texts.push_back(document.substr(at, document.find(close, at) - at));
  }
  return texts;
}

// The lines inside the first block `name`: from its opening line to the closing line of
// the same indentation.
std::string BlockContent(const std::string& document, const std::string& name) {
  const std::size_t start = document.find("<" + name + ">\r\n");
  if (start == std::string::npos) return "<no block>";
  const std::size_t line_start = document.rfind('\n', start) == std::string::npos ? 0 : document.rfind('\n', start) + 1;
  const std::string indent = document.substr(line_start, start - line_start);
  const std::size_t content = start + name.size() + 4;
  const std::size_t close = document.find("\n" + indent + "</" + name + ">", content - 1);
  if (close == std::string::npos) return "<no block end>";
  return document.substr(content, close + 1 - content);
}

TEST_F(IsoWriterTest, PaymentHeadFollowsCostCurrencySalaryFlagAndFlavour) {
  const std::string kSepa = "3<PmtTpInf>\n4<SvcLvl>\n5<Cd>SEPA</Cd>\n4</SvcLvl>\n3</PmtTpInf>";
  const std::string kSalary = "3<PmtTpInf>\n4<CtgyPurp>\n5<Cd>SALA</Cd>\n4</CtgyPurp>\n3</PmtTpInf>";
  const std::string kSepaSalary =
      "3<PmtTpInf>\n4<SvcLvl>\n5<Cd>SEPA</Cd>\n4</SvcLvl>\n4<CtgyPurp>\n5<Cd>SALA</Cd>\n4</CtgyPurp>\n3</PmtTpInf>";
  const std::string kSwissAccountType = "4<Tp>\n5<Prtry>CND</Prtry>\n4</Tp>";
  const struct {
    bool swiss;
    const char* cost_currency;
    bool salary;
    std::string payment_type;   // lines between BtchBookg and ReqdExctnDt
    std::string account_tail;   // lines of DbtrAcct after its Id
    std::vector<std::string> charges;
    const char* currency;       // of the instructed amounts
  } kCases[] = {
      {true, "CHF", false, "", kSwissAccountType, {}, "CHF"},
      {false, "CHF", true, kSalary, "4<Ccy>CHF</Ccy>", {}, "CHF"},
      {false, "eur", true, kSalary, "4<Ccy>CHF</Ccy>", {}, "CHF"},
      {false, "", false, "", "4<Ccy>CHF</Ccy>", {}, "CHF"},
      {false, "SIC", false, "", "4<Ccy>EUR</Ccy>", {}, "EUR"},
      {true, "SIC", true, kSalary, kSwissAccountType, {}, "EUR"},
      {false, "EUR", false, kSepa, "4<Ccy>EUR</Ccy>", {"SLEV"}, "EUR"},
      {true, "EUR", true, kSepaSalary, kSwissAccountType, {"SLEV"}, "EUR"},
  };
  Add(payRedPost, 12345000);
  for (const auto& c : kCases) {
    settings_.cost_currency = c.cost_currency;
    settings_.is_salary = c.salary;
    const std::string document = Write(c.swiss);
    const std::string label = std::string(c.swiss ? "Swiss " : "generic ") + c.cost_currency + (c.salary ? " salary" : "");
    const std::string batch_booking = "<BtchBookg>true</BtchBookg>\r\n";
    const std::size_t head_start = document.find(batch_booking) + batch_booking.size();
    const std::size_t head_end = document.find("\t\t\t<ReqdExctnDt>");
    EXPECT_EQ(Lines(c.payment_type), document.substr(head_start, head_end - head_start)) << label;
    EXPECT_EQ(Lines("4<Id>\n5<IBAN>CH5604835012345678009</IBAN>\n4</Id>\n" + c.account_tail),
              BlockContent(document, "DbtrAcct"))
        << label;
    EXPECT_EQ(c.charges, ElementTexts(document, "ChrgBr")) << label;
    EXPECT_NE(std::string::npos, document.find("<InstdAmt Ccy=\"" + std::string(c.currency) + "\">1234.50</InstdAmt>"))
        << label;
  }
}

TEST_F(IsoWriterTest, EndToEndIdsSpreadThePaymentsOverThreeDigits) {
  const struct {
    int payments;
    const char* pay_period;
    std::vector<std::string> expected;  // empty: every id is X000-P
  } kCases[] = {
      {1, "P", {"X999-P"}},
      {1, "", {"X999-"}},
      {2, "P", {"X499-P", "X998-P"}},
      {7, "P", {"X142-P", "X284-P", "X426-P", "X568-P", "X710-P", "X852-P", "X994-P"}},
      {1000, "P", {}},
  };
  for (const auto& c : kCases) {
    payments_.clear();
    for (int i = 0; i < c.payments; ++i) Add(payRedPost, 10000);
    const std::string document = Write(true, c.pay_period);
    const std::vector<std::string> ids = ElementTexts(document, "EndToEndId");
    const std::vector<std::string> instruction_ids = ElementTexts(document, "InstrId");
    ASSERT_EQ(static_cast<std::size_t>(c.payments), ids.size());
    EXPECT_EQ("QRN-" + std::to_string(c.payments), instruction_ids.back());
    EXPECT_EQ(c.expected.empty() ? std::vector<std::string>(ids.size(), "X000-P") : c.expected, ids)
        << c.payments << " payments";
  }
}

TEST_F(IsoWriterTest, CreditorAgentAndAccountFollowPaymentTypeAndAccountTexts) {
  const std::string kClearing762 = "6<ClrSysMmbId>\n7<ClrSysId>\n8<Cd>CHBCC</Cd>\n7</ClrSysId>\n7<MmbId>762</MmbId>\n6</ClrSysMmbId>";
  const struct {
    const char* name;
    std::int32_t type;
    const char* cost_currency;
    const char* account;
    const char* bic;
    std::string agent;    // lines inside FinInstnId
    std::string account_lines;  // lines inside Id
  } kCases[] = {
      {"swiss iban", payIban, "CHF", "ch93 0076 2011 6238 5295 7", "", kClearing762,
       "6<IBAN>CH9300762011623852957</IBAN>"},
      {"swiss iban with bic", payIban, "CHF", "CH9300762011623852957", "bankchzh", "6<BIC>BANKCHZH</BIC>",
       "6<IBAN>CH9300762011623852957</IBAN>"},
      {"liechtenstein iban", payIban, "CHF", "LI21 0881 0000 2324 013A A", "",
       "6<ClrSysMmbId>\n7<ClrSysId>\n8<Cd>CHBCC</Cd>\n7</ClrSysId>\n7<MmbId>8810</MmbId>\n6</ClrSysMmbId>",
       "6<IBAN>LI21088100002324013AA</IBAN>"},
      {"foreign iban without bic", payIban, "CHF", "DE89370400440532013000", "", "6<BIC></BIC>",
       "6<IBAN>DE89370400440532013000</IBAN>"},
      {"invalid iban", payIban, "CHF", "CH93 0076 2011 6238 5295 8", "",
       "6<ClrSysMmbId>\n7<ClrSysId>\n8<Cd>CHBCC</Cd>\n7</ClrSysId>\n7<MmbId>PC 80-2</MmbId>\n6</ClrSysMmbId>",
       "6<IBAN></IBAN>"},
      {"swiss iban in a euro batch", payIban, "EUR", "CH9300762011623852957", "", "6<BIC></BIC>",
       "6<IBAN>CH9300762011623852957</IBAN>"},
      {"red post", payRedPost, "CHF", "01-162-8", "bankchzh", "6<BIC>POFICHBEXXX</BIC>",
       "6<Othr>\n7<Id>01-162-8</Id>\n6</Othr>"},
      {"red post in a euro batch", payRedPost, "EUR", "01-162-8", "", "6<BIC>POFICHBEXXX</BIC>",
       "6<Othr>\n7<Id>01-162-8</Id>\n6</Othr>"},
      {"red bank", payRedBank, "CHF", "12-345.6 a", "",
       "6<ClrSysMmbId>\n7<ClrSysId>\n8<Cd>CHBCC</Cd>\n7</ClrSysId>\n7<MmbId>PC 80-2</MmbId>\n6</ClrSysMmbId>",
       "6<Othr>\n7<Id>12-345.6 A</Id>\n6</Othr>"},
      {"red bank in a euro batch", payRedBank, "EUR", "12-345.6", "", "6<BIC></BIC>",
       "6<Othr>\n7<Id>12-345.6</Id>\n6</Othr>"},
      {"red bank in a sic batch", payRedBank, "SIC", "12-345.6", "", "6<BIC></BIC>",
       "6<Othr>\n7<Id>12-345.6</Id>\n6</Othr>"},
      // Only IBAN payments use their BIC text.
      {"unknown type with bic", 42, "CHF", "CH9300762011623852957", "bankchzh",
       "6<ClrSysMmbId>\n7<ClrSysId>\n8<Cd>CHBCC</Cd>\n7</ClrSysId>\n7<MmbId>PC 80-2</MmbId>\n6</ClrSysMmbId>",
       "6<Othr>\n7<Id>CH9300762011623852957</Id>\n6</Othr>"},
  };
  for (const auto& c : kCases) {
    payments_.clear();
    settings_.cost_currency = c.cost_currency;
    Add(c.type, 10000).bank_dst = Bank("pc 80-2", c.account, c.bic);
    const std::string document = Write(true);
    EXPECT_EQ(Lines("5<FinInstnId>\n" + c.agent + "\n5</FinInstnId>"), BlockContent(document, "CdtrAgt")) << c.name;
    EXPECT_EQ(Lines(c.account_lines), BlockContent(BlockContent(document, "CdtrAcct"), "Id")) << c.name;
  }
}

TEST_F(IsoWriterTest, ControlSumRoundsTheSumOnce) {
  Add(payRedPost, 1000000);
  Add(payRedPost, 50);
  Add(payRedPost, -201000);
  const std::string document = Write(true);
  EXPECT_EQ(std::vector<std::string>{"79.91"}, ElementTexts(document, "CtrlSum"));
  EXPECT_EQ(std::vector<std::string>{"3"}, ElementTexts(document, "NbOfTxs"));
}

TEST_F(IsoWriterTest, DatesOfTheFirstPaymentAndOfTheClock) {
  const struct {
    DATE date;
    SYSTEMTIME now;
    const char* payment_info_id;
    const char* execution_date;
    const char* message_id;
    const char* creation_time;
  } kCases[] = {
      {0.0, kNow, "KORA-18991230000000", "1899-12-30", "QRV-338:14:05:33", "2023-12-04T14:05:33"},
      {45000.75, {2024, 2, 4, 29, 23, 59, 59, 0}, "KORA-20230315180000", "2023-03-15", "QRV-060:23:59:59",
       "2024-02-29T23:59:59"},
      {-657434.0, {2024, 1, 1, 1, 0, 0, 0, 0}, "KORA-01000101000000", "0100-01-01", "QRV-001:00:00:00",
       "2024-01-01T00:00:00"},
      {2958466.0, kNow, "KORA-Invalid DateTime", "Invalid DateTime", "QRV-338:14:05:33", "2023-12-04T14:05:33"},
  };
  for (const auto& c : kCases) {
    ScopedClock clock(FixedClock(c.now));
    payments_.clear();
    Add(payRedPost, 10000).date = c.date;
    Add(payRedPost, 10000).date = k15March2023;
    const std::string document = Write(false);
    EXPECT_EQ(std::vector<std::string>{c.payment_info_id}, ElementTexts(document, "PmtInfId")) << c.date;
    EXPECT_EQ(std::vector<std::string>{c.execution_date}, ElementTexts(document, "ReqdExctnDt")) << c.date;
    EXPECT_EQ(std::vector<std::string>{c.message_id}, ElementTexts(document, "MsgId")) << c.date;
    EXPECT_EQ(std::vector<std::string>{c.creation_time}, ElementTexts(document, "CreDtTm")) << c.date;
  }
}

TEST_F(IsoWriterTest, UncleanedTextsAreEscapedAndNeverReadAsFormats) {
  PaymentRecord& payment = Add(payRedPost, 10000);
  payment.receiver.street = std::string("A&B <C> 100%s%i\0tail", 20);
  payment.receiver.city = "8000 Z\xFCrich\n2\x01\t";
  payment.reason = "50% <Bonus> & mehr";
  const std::string document = Write(true, "P&1");
  EXPECT_EQ((std::vector<std::string>{"A&amp;B &lt;C&gt; 100%s%i", "8000 Zürich\r\n2 \t"}),
            ElementTexts(document, "AdrLine"));
  EXPECT_EQ(std::vector<std::string>{"50% &lt;Bonus&gt; &amp; mehr"}, ElementTexts(document, "Ustrd"));
  EXPECT_EQ(std::vector<std::string>{"X999-P&amp;1"}, ElementTexts(document, "EndToEndId"));
}

TEST_F(IsoWriterTest, LongTextsAreWrittenWhole) {
  const std::string first(9000, 'a');
  const std::string second(9000, 'b');
  Add(payRedPost, 10000).reason = first + "\xE4" + second;
  EXPECT_EQ(std::vector<std::string>{first + "\xC3\xA4" + second}, ElementTexts(Write(true), "Ustrd"));
}

TEST_F(IsoWriterTest, EmptyListWritesNothingAndLeavesAnExistingFileAlone) {
  test::WriteWholeFile(FinalName(), "old content");
  settings_.sender.name1 = "Muster AG";
  WriteIsoFile(settings_, payments_, FinalName(), "P", true);
  EXPECT_EQ("old content", ReadWholeFile(FinalName()));
  EXPECT_FALSE(std::filesystem::exists(TemporaryName()));
  EXPECT_EQ("Muster AG", settings_.sender.name1);
}

TEST_F(IsoWriterTest, ExistingFileIsReplacedWhole) {
  Add(payRedPost, 10000);
  const std::string document = Write(true);
  test::WriteWholeFile(FinalName(), std::string(100000, 'x'));
  EXPECT_EQ(document, Write(true));
  EXPECT_FALSE(std::filesystem::exists(TemporaryName()));
}

TEST_F(IsoWriterTest, MissingFolderRaisesPathNotFoundAndWritesNothing) {
  Add(payRedPost, 10000);
  const std::string name = dir_.Path("missing/pay.xml");
  EXPECT_EQ("number 3", Raised([&] { WriteIsoFile(settings_, payments_, name, "P", true); }));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

// A file system that fails one kind of call from its `fail_from`-th use on.
class FailingFileSystem : public FileSystem {
 public:
  enum class Call { kCreate, kWrite, kSync, kRename };
  FailingFileSystem(Call call, int fail_from, std::uint32_t error) : call_(call), fail_from_(fail_from), error_(error) {}

  FileHandle Create(std::string_view name, FileStatus& status) const override {
    if (Fails(Call::kCreate)) {
      status.error = error_;
      return kInvalidFile;
    }
    return FileSystem::Create(name, status);
  }
  FileStatus Write(FileHandle file, const char* data, std::size_t size) const override {
    return Fails(Call::kWrite) ? FileStatus{error_} : FileSystem::Write(file, data, size);
  }
  FileStatus Sync(FileHandle file) const override {
    return Fails(Call::kSync) ? FileStatus{error_} : FileSystem::Sync(file);
  }
  FileStatus Rename(std::string_view from, std::string_view to) const override {
    return Fails(Call::kRename) ? FileStatus{error_} : FileSystem::Rename(from, to);
  }

 private:
  bool Fails(Call call) const { return call == call_ && ++uses_ >= fail_from_; }

  Call call_;
  int fail_from_;
  std::uint32_t error_;
  mutable int uses_ = 0;
};

TEST_F(IsoWriterTest, FailingFileCallsLeaveTheFinalFileUntouched) {
  using Call = FailingFileSystem::Call;
  for (int i = 0; i < 3000; ++i) Add(payRedPost, 10000);
  const std::string document = Write(true);
  ASSERT_GT(document.size(), 3 * 64 * 1024u);
  const struct {
    const char* name;
    Call call;
    int fail_from;
    std::uint32_t error;
    const char* raised;
    bool temporary_whole;  // else a true prefix of the document (or absent)
    bool temporary_exists;
  } kCases[] = {
      {"create", Call::kCreate, 1, 5, "number 5", false, false},
      {"first write", Call::kWrite, 1, 112, "number 2002", false, true},
      {"third write", Call::kWrite, 3, 112, "number 2002", false, true},
      {"sync", Call::kSync, 1, 5, "hresult 0x80070005", true, true},
      {"rename", Call::kRename, 1, 32, "hresult 0x80070020", true, true},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove(TemporaryName());
    test::WriteWholeFile(FinalName(), "old content");
    const FailingFileSystem file_system(c.call, c.fail_from, c.error);
    EXPECT_EQ(c.raised,
              Raised([&] { WriteIsoFile(settings_, payments_, FinalName(), "Lohn 03/2023", true, file_system); }))
        << c.name;
    EXPECT_EQ("old content", ReadWholeFile(FinalName())) << c.name;
    const std::optional<std::string> temporary = ReadWholeFile(TemporaryName());
    ASSERT_EQ(c.temporary_exists, temporary.has_value()) << c.name;
    if (!temporary) continue;
    if (c.temporary_whole) {
      EXPECT_EQ(document, *temporary) << c.name;
    } else {
      EXPECT_LT(temporary->size(), document.size()) << c.name;
      EXPECT_EQ(document.substr(0, temporary->size()), *temporary) << c.name;
    }
  }
}

}  // namespace
}  // namespace ordexa
