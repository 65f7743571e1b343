// Tests of the ISO 20022 writer: the per-payment choices with the clock fixed, texts written
// uncleaned and schema validity. Whole documents of every payment kind are the payfile
// tests' expected files (tests/tools/data); failing file calls: tests/hostile.
#include "iso/iso_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/shared_files.h"
#include "support/temp_dir.h"
#include "support/xml_reader.h"

namespace ordexa {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;
using Texts = std::vector<std::string>;

// 4 December 2023 (a Monday), 14:05:33: day 338 of the year.
constexpr SYSTEMTIME kNow{2023, 12, 1, 4, 14, 5, 33, 0};
constexpr DATE k15March2023 = 45000.0;

// The texts of every element `name` in the document, in order.
Texts ElementTexts(const std::string& document, const std::string& name) {
  Texts texts;
  const std::string open = "<" + name + ">";
  for (std::size_t at = document.find(open); at != std::string::npos; at = document.find(open, at)) {
    at += open.size();
    texts.push_back(document.substr(at, document.find("</" + name + ">", at) - at));
  }
  return texts;
}

// The first block `name`, from its opening tag to its closing one, without the line ends
// and tabs of its layout (the layout is the expected files' matter); empty when there is none.
std::string Block(const std::string& document, const std::string& name) {
  const std::size_t open = document.find("<" + name + ">"), close = document.find("</" + name + ">", open);
  if (close == std::string::npos) return "";
  std::string block = document.substr(open, close + name.size() + 3 - open);
  std::erase_if(block, [](char c) { return c == '\t' || c == '\r' || c == '\n'; });
  return block;
}

// The writer over a batch built from plain fields.
void WriteIsoFile(const test::SettingFields& settings, const test::PaymentFieldsList& payments, std::string_view name,
                  std::string_view pay_period, bool swiss) {
  PayBatch batch;
  test::FillBatch(batch, settings, payments);
  ordexa::WriteIsoFile(batch, name, pay_period, swiss);
}

test::AddressFields Bank(std::string id, std::string account, std::string bic = "") {
  return {"", "", "", "", std::move(id), std::move(account), std::move(bic)};
}

class IsoWriterTest : public testing::Test {
 protected:
  IsoWriterTest() {
    settings_.sender.name1 = "Muster AG";
    settings_.cost_currency = "CHF";
  }
  std::string FinalName() const { return dir_.Path("pay.xml"); }

  std::string Write(bool swiss, std::string_view pay_period = "Lohn 03/2023") {
    WriteIsoFile(settings_, payments_, FinalName(), pay_period, swiss);
    return ReadWholeFile(FinalName()).value_or("<no file>");
  }

  test::PaymentFields& Add(std::int32_t type, std::int64_t amount, std::string city = "3000 Bern") {
    test::PaymentFields& payment = payments_.emplace_back();
    payment.type = type;
    payment.date = k15March2023;
    payment.amount.int64 = amount;
    payment.bank_src = Bank("700", "CH5604835012345678009");
    payment.receiver.name1 = "Anna Bolli";
    payment.receiver.city = std::move(city);
    return payment;
  }

  test::TempDir dir_;
  ScopedClock clock_{FixedClock(kNow)};
  test::SettingFields settings_;
  test::PaymentFieldsList payments_;
};

TEST_F(IsoWriterTest, PaymentHeadFollowsCostCurrencySalaryFlagAndFlavour) {
  const std::string kSepa = "<SvcLvl><Cd>SEPA</Cd></SvcLvl>", kSalary = "<CtgyPurp><Cd>SALA</Cd></CtgyPurp>";
  const struct {
    bool swiss;
    const char* cost_currency;
    bool salary;
    std::string payment_type, account_tail;  // inside PmtTpInf, DbtrAcct after its Id
    Texts charges;
    std::string currency;  // of the instructed amounts
  } kCases[] = {
      {false, "CHF", true, kSalary, "<Ccy>CHF</Ccy>", {}, "CHF"},
      {false, "eur", false, "", "<Ccy>CHF</Ccy>", {}, "CHF"}, {false, "SIC", false, "", "<Ccy>EUR</Ccy>", {}, "EUR"},
      {false, "EUR", false, kSepa, "<Ccy>EUR</Ccy>", {"SLEV"}, "EUR"},
      {true, "EUR", true, kSepa + kSalary, "<Tp><Prtry>CND</Prtry></Tp>", {"SLEV"}, "EUR"},
  };
  Add(payRedPost, 12345000);
  for (const auto& c : kCases) {
    settings_.cost_currency = c.cost_currency;
    settings_.is_salary = c.salary;
    const std::string document = Write(c.swiss);
    SCOPED_TRACE(std::string(c.swiss ? "Swiss " : "generic ") + c.cost_currency + (c.salary ? " salary" : ""));
    EXPECT_EQ(c.payment_type.empty() ? "" : "<PmtTpInf>" + c.payment_type + "</PmtTpInf>", Block(document, "PmtTpInf"));
    EXPECT_EQ("<DbtrAcct><Id><IBAN>CH5604835012345678009</IBAN></Id>" + c.account_tail + "</DbtrAcct>",
              Block(document, "DbtrAcct"));
    EXPECT_EQ(c.charges, ElementTexts(document, "ChrgBr"));
    EXPECT_NE(std::string::npos, document.find("<InstdAmt Ccy=\"" + c.currency + "\">1234.50<"));
  }
}

TEST_F(IsoWriterTest, EndToEndIdsSpreadThePaymentsOverThreeDigits) {
  const struct {
    int payments;
    Texts expected;  // empty: every id is X000-P
  } kCases[] = {
      {1, {"X999-P"}}, {2, {"X499-P", "X998-P"}}, {1000, {}},
      {7, {"X142-P", "X284-P", "X426-P", "X568-P", "X710-P", "X852-P", "X994-P"}},
  };
  for (const auto& c : kCases) {
    payments_.clear();
    for (int i = 0; i < c.payments; ++i) Add(payRedPost, 10000);
    const std::string document = Write(true, "P");
    EXPECT_EQ(c.expected.empty() ? Texts(1000, "X000-P") : c.expected, ElementTexts(document, "EndToEndId"));
    const Texts instruction_ids = ElementTexts(document, "InstrId");
    EXPECT_EQ("QRN-" + std::to_string(c.payments), instruction_ids.empty() ? "" : instruction_ids.back());
  }
}

TEST_F(IsoWriterTest, CreditorAgentAndAccountFollowPaymentTypeAndAccountTexts) {
  const auto clearing = [](std::string member) {
    return "<ClrSysMmbId><ClrSysId><Cd>CHBCC</Cd></ClrSysId><MmbId>" + member + "</MmbId></ClrSysMmbId>";
  };
  const auto iban = [](std::string id) { return "<IBAN>" + id + "</IBAN>"; };
  const auto other = [](std::string id) { return "<Othr><Id>" + id + "</Id></Othr>"; };
  const std::string kPostBic = "<BIC>POFICHBEXXX</BIC>", kEmptyBic = "<BIC></BIC>", kSwiss = "CH9300762011623852957";
  const struct {
    const char* name;
    std::int32_t type;
    const char *cost_currency, *account, *bic;
    std::string agent, account_id;  // inside FinInstnId, inside Id
  } kCases[] = {
      {"bic given", payIban, "CHF", "CH9300762011623852957", "bankchzh", "<BIC>BANKCHZH</BIC>", iban(kSwiss)},
      {"liechtenstein iban", payIban, "CHF", "LI21 0881 0000 2324 013A A", "", clearing("8810"),
       iban("LI21088100002324013AA")},
      {"invalid iban", payIban, "CHF", "CH93 0076 2011 6238 5295 8", "", clearing("PC 80-2"), iban("")},
      {"swiss iban, sic batch", payIban, "SIC", "CH9300762011623852957", "", kEmptyBic, iban(kSwiss)},
      {"red post with bic", payRedPost, "CHF", "01-162-8", "bankchzh", kPostBic, other("01-162-8")},
      {"red post, euro batch", payRedPost, "EUR", "01-162-8", "", kPostBic, other("01-162-8")},
      {"red bank, euro batch", payRedBank, "EUR", "12-345.6", "", kEmptyBic, other("12-345.6")},
      // Only IBAN payments use their BIC text.
      {"other type with bic", 42, "CHF", "CH9300762011623852957", "bankchzh", clearing("PC 80-2"), other(kSwiss)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    payments_.clear();
    settings_.cost_currency = c.cost_currency;
    Add(c.type, 10000).bank_dst = Bank("pc 80-2", c.account, c.bic);
    const std::string document = Write(true);
    EXPECT_EQ("<CdtrAgt><FinInstnId>" + c.agent + "</FinInstnId></CdtrAgt>", Block(document, "CdtrAgt"));
    EXPECT_EQ("<CdtrAcct><Id>" + c.account_id + "</Id></CdtrAcct>", Block(document, "CdtrAcct"));
  }
}

TEST_F(IsoWriterTest, DatesOfTheFirstPaymentAndOfTheClock) {
  const struct {
    DATE date;
    SYSTEMTIME now;
    Texts expected;  // PmtInfId, ReqdExctnDt, MsgId, CreDtTm
  } kCases[] = {
      {0.0, kNow, {"KORA-18991230000000", "1899-12-30", "QRV-338:14:05:33", "2023-12-04T14:05:33"}},
      {45000.75, {2024, 2, 4, 29, 23, 59, 59, 0},
       {"KORA-20230315180000", "2023-03-15", "QRV-060:23:59:59", "2024-02-29T23:59:59"}},
      {-657434.0, {2024, 1, 1, 1, 0, 0, 0, 0},
       {"KORA-01000101000000", "0100-01-01", "QRV-001:00:00:00", "2024-01-01T00:00:00"}},
      {2958466.0, kNow, {"KORA-Invalid DateTime", "Invalid DateTime", "QRV-338:14:05:33", "2023-12-04T14:05:33"}},
  };
  for (const auto& c : kCases) {
    ScopedClock clock(FixedClock(c.now));
    payments_.clear();
    Add(payRedPost, 10000).date = c.date;
    Add(payRedPost, 10000);  // only the first payment's date counts
    const std::string document = Write(false);
    Texts found;
    for (const char* name : {"PmtInfId", "ReqdExctnDt", "MsgId", "CreDtTm"}) {
      for (const std::string& text : ElementTexts(document, name)) found.push_back(text);
    }
    EXPECT_EQ(c.expected, found) << c.date;
  }
}

TEST_F(IsoWriterTest, UncleanedTextsAreEscapedWrittenWholeAndNeverReadAsFormats) {
  const std::string long_text(9000, 'a');
  test::PaymentFields& payment = Add(payRedPost, 10000, "8000 Z\xFCrich\n2\x01\t");
  payment.receiver.street = std::string("A&B <C> 100%s%i\0tail", 20);
  payment.reason = "50% <Bonus> & \"mehr\"" + long_text + "\xE4" + long_text;
  const std::string document = Write(true, "P&1");
  EXPECT_EQ((Texts{"A&amp;B &lt;C&gt; 100%s%i", "8000 Zürich\r\n2 \t"}), ElementTexts(document, "AdrLine"));
  EXPECT_EQ(Texts{"50% &lt;Bonus&gt; &amp; \"mehr\"" + long_text + "\xC3\xA4" + long_text},
            ElementTexts(document, "Ustrd"));
  EXPECT_EQ(Texts{"X999-P&amp;1"}, ElementTexts(document, "EndToEndId"));
}

TEST_F(IsoWriterTest, AnEmptyListWritesNothing) {
  WriteWholeFile(FinalName(), "old content");
  WriteIsoFile(settings_, payments_, FinalName(), "P", true);
  EXPECT_EQ("old content", ReadWholeFile(FinalName()));
}

// Batches of both flavours, every cost currency, salary or not, are valid. A euro batch
// holds only payments with a BIC, since the others get an empty BIC element there.
TEST_F(IsoWriterTest, BatchesValidateAgainstTheirSchema) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const struct {
    std::int32_t type;
    const char *account, *bic, *city;
  } kBatch[] = {
      {payIban, "CH93 0076 2011 6238 5295 7", "", "8001 Z\xFCrich"},
      {payIban, "CH93 0076 2011 6238 5295 7", "UBSWCHZH80A", "3000 Bern"},
      {payIban, "DE89370400440532013000", "COBADEFFXXX", "D-10115 Berlin"}, {payRedPost, "01-162-8", "", "3000 Bern"},
      {payRedBank, "12-345.6", "", "F-75001 Paris"},
  };
  settings_.sender.name1 = "Muster & Co AG";
  for (const bool swiss : {true, false}) {
    for (const std::string cost_currency : {"CHF", "EUR", "SIC"}) {
      for (const bool salary : {false, true}) {
        settings_.cost_currency = cost_currency;
        settings_.is_salary = salary;
        payments_.clear();
        for (const auto& p : kBatch) {
          if (cost_currency != "CHF" && p.type != payRedPost && *p.bic == '\0') continue;
          test::PaymentFields& payment = Add(p.type, 12345000, p.city);
          payment.bank_dst = Bank("8390", p.account, p.bic);
          payment.receiver.street = "Bahnhofstra\xDF" "e 1 & 2";
          payment.reason = "Lohn M\xE4rz <2023>";
        }
        const std::string schema = swiss ? "/xsd/pain.001.001.03.ch.02.xsd" : "/xsd/pain.001.001.03.xsd";
        EXPECT_EQ("", test::XmlReader(Write(swiss)).SchemaErrors(ORDEXA_SHARED_DIR + schema))
            << (swiss ? "Swiss " : "generic ") << cost_currency << (salary ? " salary" : "");
      }
    }
  }
}

}  // namespace
}  // namespace ordexa
