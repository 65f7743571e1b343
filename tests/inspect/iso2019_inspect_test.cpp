// Tests of inspecting 2019 ISO files (pain.001.001.09): the published example messages pass
// and are listed whole, each with one planted fault fails at the fault's place, the
// flavour is told by schemaLocation or content, and what the 2019 writer writes passes.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "iso2019/iso2019_writer.h"
#include "platform/clock.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/shared_files.h"
#include "support/temp_dir.h"
#include "tools/inspect/inspect.h"
#include "tools/inspect/iso2019_rules.h"

namespace ordexa::inspect_test {
namespace {

using inspect::FileFormat;
using inspect::InspectContent;
using inspect::Inspection;
using inspect::PaymentKind;

std::string Sample(const std::string& name) {
  const std::string path = std::string(ORDEXA_SHARED_DIR) + "/xsd/samples/sps2022/pain_001_Example_" + name + ".xml";
  const std::optional<std::string> content = test::ReadWholeFile(path);
  EXPECT_TRUE(content.has_value()) << path;
  return content.value_or("");
}

const std::string& QrrScor() {
  static const std::string sample = Sample("PT_D_QRR_SCOR");
  return sample;
}
const std::string& ForeignAndSepa() {
  static const std::string sample = Sample("PT_X_V1_PT_S");
  return sample;
}
const std::string& Abroad() {
  static const std::string sample = Sample("PT_X_V2");
  return sample;
}

// `text` with the `nth` (from 1) occurrence of `from` replaced by `to`.
std::string Planted(std::string text, const std::string& from, const std::string& to, int nth = 1) {
  std::size_t at = std::string::npos;
  for (int i = 0; i < nth; ++i) at = text.find(from, at == std::string::npos ? 0 : at + 1);
  EXPECT_NE(std::string::npos, at) << from << " #" << nth;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string ProblemLines(const Inspection& inspection) {
  std::string lines;
  for (const inspect::Finding& finding : inspection.problems) lines += ProblemLine(inspection, finding) + "\n";
  return lines;
}

std::vector<std::string> Titles(const Inspection& inspection) {
  std::vector<std::string> titles;
  for (const inspect::Block& block : inspection.blocks) titles.push_back(block.title);
  return titles;
}

TEST(Iso2019Inspect, SamplesPassAndAreListedWhole) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const struct {
    const std::string* content;
    std::vector<std::string> titles;
  } cases[] = {
      {&QrrScor(),
       {"group header (GrpHdr)", "payment information 1 (PmtInf 1): domestic",
        "transaction 1 (PmtInf 1, CdtTrfTxInf 1): domestic", "payment information 2 (PmtInf 2): domestic",
        "transaction 2 (PmtInf 2, CdtTrfTxInf 1): domestic"}},
      {&ForeignAndSepa(),
       {"group header (GrpHdr)", "payment information 1 (PmtInf 1): foreign currency at home",
        "transaction 1 (PmtInf 1, CdtTrfTxInf 1): foreign currency at home", "payment information 2 (PmtInf 2): SEPA",
        "transaction 2 (PmtInf 2, CdtTrfTxInf 1): SEPA", "transaction 3 (PmtInf 2, CdtTrfTxInf 2): SEPA"}},
      {&Abroad(),
       {"group header (GrpHdr)", "payment information 1 (PmtInf 1): abroad",
        "transaction 1 (PmtInf 1, CdtTrfTxInf 1): abroad"}},
  };
  // Every element with a value, and every attribute, is one listed field.
  const std::regex leaf(R"(<(\w+)[^<>/]*>[^<]+</\1>)");
  const std::regex attribute(R"(<(InstdAmt) Ccy=)");
  for (const auto& c : cases) {
    const Inspection inspection = InspectContent(*c.content, "sample.xml", {});
    EXPECT_EQ(FileFormat::kIso2019, inspection.format);
    EXPECT_EQ("Swiss, pain.001.001.09.ch.03.xsd", inspection.flavour);
    EXPECT_EQ("", ProblemLines(inspection));
    EXPECT_EQ(c.titles, Titles(inspection));
    std::size_t fields = 0;
    for (const inspect::Block& block : inspection.blocks) fields += block.parts.front().fields.size();
    const auto count = [&](const std::regex& pattern) {
      return static_cast<std::size_t>(
          std::distance(std::sregex_iterator(c.content->begin(), c.content->end(), pattern), std::sregex_iterator()));
    };
    EXPECT_EQ(count(leaf) + count(attribute), fields) << c.titles.back();
  }
}

// One row per check: a fault planted into a copy of a sample, reported once at its place.
TEST(Iso2019Inspect, PlantedFaultReportedOnceAtItsPlace) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const std::string& qrr = QrrScor();
  const std::string& sepa = ForeignAndSepa();
  const std::string& abroad = Abroad();
  const struct {
    const char* check;
    std::string content;
    std::string place;  // the end of the place, after "line N, "
    std::string what;   // a piece of the problem's text
  } cases[] = {
      {"header count", Planted(qrr, "<NbOfTxs>2<", "<NbOfTxs>3<"), "GrpHdr, NbOfTxs",
       "\"3\" does not match the 2 transactions"},
      {"header sum", Planted(qrr, "<CtrlSum>4149.7<", "<CtrlSum>4149.71<"), "GrpHdr, CtrlSum",
       "4149.71 is not the sum of the transactions' amounts (4149.70)"},
      {"group count",
       Planted(sepa, "<PmtInfId>PMTINF-02</PmtInfId>", "<PmtInfId>PMTINF-02</PmtInfId><NbOfTxs>3</NbOfTxs>"),
       "PmtInf 2, NbOfTxs", "\"3\" does not match the 2 transactions"},
      {"group sum",
       Planted(sepa, "<PmtInfId>PMTINF-02</PmtInfId>", "<PmtInfId>PMTINF-02</PmtInfId><CtrlSum>11900.2</CtrlSum>"),
       "PmtInf 2, CtrlSum", "11900.2 is not the sum of the transactions' amounts (11900.25)"},
      {"creditor IBAN", Planted(qrr, "CH4821966000009613388", "CH4821966000009613389"),
       "PmtInf 2, CdtTrfTxInf 1, CdtrAcct/Id/IBAN", "is not a valid IBAN (check sum remainder"},
      {"debtor IBAN", Planted(abroad, "CH5481230000001998736", "CH5481230000001998737"), "PmtInf 1, DbtrAcct/Id/IBAN",
       "is not a valid IBAN (check sum remainder"},
      {"QR-IBAN without QR reference", Planted(sepa, "CH5021977000004331346", "CH4431999123000889012"),
       "PmtInf 1, CdtTrfTxInf 1, CdtrAcct/Id/IBAN", "is a QR-IBAN, which needs a QR reference"},
      {"QR reference without QR-IBAN", Planted(qrr, "CH4431999123000889012", "CH9300762011623852957"),
       "PmtInf 1, CdtTrfTxInf 1, RmtInf/Strd/CdtrRefInf/Ref", "is no QR-IBAN"},
      {"QR reference check digit", Planted(qrr, "210000000003139471430009017", "210000000003139471430009018"),
       "PmtInf 1, CdtTrfTxInf 1, RmtInf/Strd/CdtrRefInf/Ref", "(check digit 7 expected)"},
      {"creditor reference", Planted(qrr, "RF18539007547034", "RF18539007547035"),
       "PmtInf 2, CdtTrfTxInf 1, RmtInf/Strd/CdtrRefInf/Ref", "is not a valid creditor reference"},
      {"QR-IBAN to be debited", Planted(qrr, "CH7280005000088877766", "CH4431999123000889012"),
       "PmtInf 1, DbtrAcct/Id/IBAN", "is a QR-IBAN"},
      {"address without town", Planted(abroad, "<TwnNm>London</TwnNm>", ""),
       "PmtInf 1, CdtTrfTxInf 1, CdtrAgt/FinInstnId/PstlAdr", "no town (TwnNm)"},
      {"address without country", Planted(qrr, "<Ctry>CH</Ctry>", ""), "PmtInf 1, Dbtr/PstlAdr", "no country (Ctry)"},
      {"three address lines",
       Planted(abroad, "<Ctry>GB</Ctry>",
               "<Ctry>GB</Ctry><AdrLine>c/o Fonda</AdrLine><AdrLine>Flat 2</AdrLine><AdrLine>Rear</AdrLine>", 2),
       "PmtInf 1, CdtTrfTxInf 1, Cdtr/PstlAdr/AdrLine", "3 address lines; the Swiss flavour takes at most 2"},
      {"address lines only",
       Planted(sepa, "<Nm>MUSTER AG</Nm>", "<Nm>MUSTER AG</Nm><PstlAdr><AdrLine>Seldwyla</AdrLine></PstlAdr>", 3),
       "PmtInf 2, Dbtr/PstlAdr", "unstructured"},
      {"address text twice", Planted(abroad, "<Ctry>GB</Ctry>", "<Ctry>GB</Ctry><AdrLine>Saville Row 4</AdrLine>", 2),
       "PmtInf 1, CdtTrfTxInf 1, Cdtr/PstlAdr/AdrLine", "repeats \"Saville Row\" of <StrtNm>"},
      {"Swiss characters", Planted(qrr, "Robert Schneider AG", "Robert Schneider \xE2\x80\x93 AG"),
       "PmtInf 1, CdtTrfTxInf 1, Cdtr/Nm",
       "\"Robert Schneider \xE2\x80\x93 AG\" holds \"\xE2\x80\x93\" (U+2013), outside the character set of the Swiss "
       "flavour"},
      {"identifier characters", Planted(qrr, "INSTRID-01-01", "INSTRID_01"), "PmtInf 1, CdtTrfTxInf 1, PmtId/InstrId",
       "holds \"_\""},
      {"identifier leading slash", Planted(qrr, "ENDTOENDID-QRR", "/ENDTOENDID-QRR"),
       "PmtInf 1, CdtTrfTxInf 1, PmtId/EndToEndId", "starts with a blank or \"/\""},
      {"identifier trailing slash", Planted(qrr, "PMTINF-01", "PMTINF-01/"), "PmtInf 1, PmtInfId",
       "ends with a blank or \"/\""},
      {"identifier double slash", Planted(qrr, "MSG-02-QRR-SCOR", "MSG-02//QRR"), "GrpHdr, MsgId", "holds \"//\""},
      {"payment group identification twice", Planted(qrr, "PMTINF-02", "PMTINF-01"), "PmtInf 2, PmtInfId",
       "also the identification of PmtInf 1"},
      {"instruction identification twice in a group", Planted(sepa, "INSTRID-02-02", "INSTRID-02-01"),
       "PmtInf 2, CdtTrfTxInf 2, PmtId/InstrId", "also the identification of CdtTrfTxInf 1 of this group"},
      {"decimals of the currency", Planted(abroad, "Ccy=\"USD\"", "Ccy=\"JPY\""),
       "PmtInf 1, CdtTrfTxInf 1, Amt/InstdAmt", "3421.00 has 2 decimals; an amount in JPY has at most 0"},
      {"SEPA in another currency", Planted(sepa, "Ccy=\"EUR\">3421.00", "Ccy=\"USD\">3421.00"),
       "PmtInf 2, CdtTrfTxInf 2, Amt/InstdAmt/@Ccy", "\"USD\" in a SEPA payment"},
      {"SEPA charges", Planted(sepa, "</DbtrAgt>", "</DbtrAgt><ChrgBr>SHAR</ChrgBr>", 2), "PmtInf 2, ChrgBr",
       "\"SHAR\" for SEPA payments"},
      {"SEPA name", Planted(sepa, "Robert Scheider SA", "Robert Scheider SA" + std::string(53, 'x')),
       "PmtInf 2, CdtTrfTxInf 1, Cdtr/Nm", "has 71 characters; a name in a SEPA payment has at most 70"},
      {"SEPA additional remittance information",
       Planted(sepa, "</CdtrRefInf>", "</CdtrRefInf><AddtlRmtInf>Rechnung 408</AddtlRmtInf>", 2),
       "PmtInf 2, CdtTrfTxInf 2, RmtInf/Strd/AddtlRmtInf", "additional remittance information in a SEPA payment"},
      {"salary on a transaction",
       Planted(abroad, "<Amt>", "<PmtTpInf><CtgyPurp><Cd>SALA</Cd></CtgyPurp></PmtTpInf><Amt>"),
       "PmtInf 1, CdtTrfTxInf 1, PmtTpInf/CtgyPurp/Cd", "\"SALA\" on a single transaction"},
      {"execution date", Planted(qrr, "2023-02-22", "2023-02-30"), "PmtInf 1, ReqdExctnDt/Dt",
       "\"2023-02-30\" is not a valid date"},
  };
  for (const auto& c : cases) {
    const Inspection inspection = InspectContent(c.content, "pay.xml", {});
    ASSERT_EQ(1u, inspection.problems.size()) << c.check << ":\n" << ProblemLines(inspection);
    const std::string line = ProblemLine(inspection, inspection.problems[0]);
    EXPECT_TRUE(std::regex_search(line, std::regex("^pay\\.xml: line [0-9]+, "))) << c.check << ": " << line;
    EXPECT_NE(std::string::npos, line.find(", " + c.place + ": ")) << c.check << ": " << line;
    EXPECT_NE(std::string::npos, inspection.problems[0].what.find(c.what)) << c.check << ": " << line;
  }
}

// What is a fault in one place or flavour is none in another.
TEST(Iso2019Inspect, RulesHoldOnlyWhereTheyApply) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const std::string generic = Planted(QrrScor(), "pain.001.001.09.ch.03.xsd", "pain.001.001.09.xsd");
  const struct {
    const char* name;
    std::string content;
  } cases[] = {
      {"generic flavour: any character", Planted(generic, "Robert Schneider AG", "Robert Schneider \xE2\x80\x93 AG")},
      {"generic flavour: three address lines",
       Planted(generic, "<Ctry>CH</Ctry>",
               "<Ctry>CH</Ctry><AdrLine>c/o A</AdrLine><AdrLine>Hof 2</AdrLine><AdrLine>Rear</AdrLine>", 2)},
      {"the same instruction identification in two groups",
       Planted(ForeignAndSepa(), "INSTRID-02-01", "INSTRID-01-01")},
      {"a short part in a longer line",
       Planted(Abroad(), "<Ctry>GB</Ctry>", "<Ctry>GB</Ctry><AdrLine>Flat 4</AdrLine>", 2)},
      {"three decimals in dinars", Planted(Abroad(), "Ccy=\"USD\">3421.00", "Ccy=\"KWD\">3421.000")},
  };
  for (const auto& c : cases) EXPECT_EQ("", ProblemLines(InspectContent(c.content, "pay.xml", {}))) << c.name;
}

TEST(Iso2019Inspect, FlavourBySchemaLocationElseByContent) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const auto without_location = [](const std::string& content) {
    return std::regex_replace(content, std::regex(R"( xsi:schemaLocation="[^"]*")"), "");
  };
  const struct {
    const char* name;
    std::string content;
    std::string flavour;
  } cases[] = {
      {"Swiss schema", QrrScor(), "Swiss, pain.001.001.09.ch.03.xsd"},
      {"generic schema", Planted(Abroad(), "pain.001.001.09.ch.03.xsd", "pain.001.001.09.xsd"),
       "generic, pain.001.001.09.xsd"},
      {"no schema, QR reference", without_location(QrrScor()), "Swiss, by its content"},
      {"no schema, nothing Swiss", without_location(Abroad()), "generic, by its content"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.flavour, InspectContent(c.content, "pay.xml", {}).flavour) << c.name;
}

TEST(Iso2019Rules, Identifiers) {
  const struct {
    std::string id;
    std::string problem;  // a piece of it; empty: none
  } cases[] = {
      {"ORDX20261206-1 (a/b):c?d,e'f+g.h", ""},
      {std::string(35, 'A'), ""},
      {std::string(36, 'A'), "has 36 characters"},
      {"A_B", "holds \"_\""},
      {"M\xC3\xBCller", "holds \"\xC3\xBC\""},
      {" A", "starts with"},
      {"/A", "starts with"},
      {"A ", "ends with"},
      {"A/", "ends with"},
      {"A//B", "holds \"//\""},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> problem = inspect::IdentifierProblem(c.id);
    if (c.problem.empty()) {
      EXPECT_FALSE(problem) << c.id << ": " << problem.value_or("");
    } else {
      ASSERT_TRUE(problem) << c.id;
      EXPECT_NE(std::string::npos, problem->find(c.problem)) << *problem;
    }
  }
}

// The Swiss set over every code point up to U+024F and the few beyond it it holds.
TEST(Iso2019Rules, SwissCharacterSet) {
  const auto utf8 = [](char32_t c) {
    std::string text;
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else if (c < 0x800) {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (c >> 12));
      text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
  };
  for (char32_t c = 0; c < 0x250; ++c) {
    const bool inside =
        (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0x17F && c != 0xAD) || (c >= 0x218 && c <= 0x21B);
    EXPECT_EQ(inside, !inspect::FirstOutsideSwissSet("a" + utf8(c) + "b")) << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_FALSE(inspect::FirstOutsideSwissSet(utf8(0x20AC)));
  EXPECT_EQ(utf8(0x2013), inspect::FirstOutsideSwissSet("Lohn " + utf8(0x2013) + " Mai " + utf8(0x201C)));
}

TEST(Iso2019Rules, References) {
  EXPECT_FALSE(inspect::QrReferenceProblem("210000000003139471430009017"));
  EXPECT_NE(std::string::npos, inspect::QrReferenceProblem("210000000003139471430009018")->find("check digit 7"));
  EXPECT_NE(std::string::npos, inspect::QrReferenceProblem("21000000000313947143000901")->find("27 digits"));
  for (const char* valid : {"RF18539007547034", "RF712348231", "RF4220210323103704APG0018"}) {
    EXPECT_FALSE(inspect::CreditorReferenceProblem(valid)) << valid;
  }
  for (const char* invalid : {"RF18539007547035", "RF18", "rf18539007547034", "RF1853900754703A4", "XX18539007547034",
                              "RF0412345678901234567890123"}) {
    EXPECT_TRUE(inspect::CreditorReferenceProblem(invalid)) << invalid;
  }
  EXPECT_TRUE(inspect::IsQrIban("CH4431999123000889012"));
  EXPECT_TRUE(inspect::IsQrIban("LI2130000000000000001"));
  EXPECT_FALSE(inspect::IsQrIban("CH9300762011623852957"));
  EXPECT_FALSE(inspect::IsQrIban("DE4430000000000000001"));
}

TEST(Iso2019Rules, PaymentKindAsTheBankDecidesIt) {
  const struct {
    inspect::PaymentFacts facts;
    PaymentKind expected;
  } cases[] = {
      {{true, false, "CHF", "", false}, PaymentKind::kCheque},
      {{false, false, "CHF", "CH9300762011623852957", false}, PaymentKind::kDomestic},
      {{false, false, "EUR", "CH9300762011623852957", false}, PaymentKind::kDomestic},
      {{false, true, "EUR", "CH9300762011623852957", false}, PaymentKind::kSepa},
      {{false, false, "USD", "LI2130000000000000001", false}, PaymentKind::kForeignCurrencyAtHome},
      {{false, false, "EUR", "DE89370400440532013000", false}, PaymentKind::kSepa},
      {{false, false, "CHF", "DE89370400440532013000", false}, PaymentKind::kAbroad},
      {{false, false, "EUR", "US64SVBKUS6S3300958879", false}, PaymentKind::kAbroad},
      {{false, false, "CHF", "", true}, PaymentKind::kDomestic},
      {{false, false, "USD", "", false}, PaymentKind::kAbroad},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(inspect::PaymentKindName(c.expected), std::string(inspect::PaymentKindName(DecidePaymentKind(c.facts))))
        << c.facts.currency << " " << c.facts.iban;
  }
}

// Every kind of payment the 2019 writer takes, in both flavours: the files pass.
TEST(Iso2019Inspect, WrittenFilesPass) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const auto payment = [](std::int32_t type, std::int64_t cents, const char* currency, std::string account) {
    test::PaymentFields p;
    p.type = type;
    p.date = 46387.0;  // 1 January 2027
    p.amount.int64 = cents * 100;
    p.currency = currency;
    p.bank_src = {"", "", "", "", "", "CH04 0077 8010 1234 5678 9", ""};
    p.bank_dst.account = std::move(account);
    p.receiver = {"Anna M\xFCller", "c/o Muster", "Bahnhofstrasse 5", "6003 Luzern", "", "", ""};
    p.reason = "Lohn Dezember 2026";
    return p;
  };
  test::PaymentFieldsList payments;
  payments.push_back(payment(payIban, 394975, "CHF", "CH44 3199 9123 0008 8901 2"));
  payments.back().esr = "21 00000 00003 13947 14300 09017";
  payments.push_back(payment(payIban, 19995, "EUR", "CH4821966000009613388"));
  payments.back().esr = "RF18 5390 0754 7034";
  payments.push_back(payment(payIban, 394975, "USD", "CH5021977000004331346"));
  payments.push_back(payment(payIban, 847925, "EUR", "DE89 3704 0044 0532 0130 00"));
  payments.back().bank_dst.bic = "COBADEFFXXX";
  payments.back().esr = "RF712348231";
  payments.push_back(payment(payIban, 342100, "USD", "474-8512-007"));
  payments.back().bank_dst.name1 = "UBS Ltd";
  payments.back().bank_dst.street_name = "Finsbury Avenue";
  payments.back().bank_dst.town = "London";
  payments.back().bank_dst.country = "GB";
  payments.back().receiver = {"Peter Fonda", "", "", "", "", "", ""};
  payments.back().receiver.street_name = "Saville Row";
  payments.back().receiver.town = "London";
  payments.back().receiver.country = "GB";
  payments.push_back(payment(payPostmandat, 75100, "CHF", ""));
  payments.push_back(payment(payRedPost, 12550, "CHF", "25-9779-8"));
  test::SettingFields settings;
  settings.sender = {"Schreinerei Amrein AG", "", "", "", "", "", ""};
  settings.is_salary = true;
  settings.cost_currency = "CHF";
  ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2026, .wMonth = 12, .wDay = 6, .wHour = 14}));
  PayBatch batch;
  test::FillBatch(batch, settings, payments);
  test::TempDir dir;
  for (const bool swiss : {true, false}) {
    const std::string path = dir.Path(swiss ? "pay-ch.xml" : "pay.xml");
    WriteIso2019File(batch, path, "2026-12", swiss);
    const Inspection inspection = InspectContent(test::ReadWholeFile(path).value_or(""), path, {});
    EXPECT_EQ(FileFormat::kIso2019, inspection.format);
    EXPECT_EQ("", ProblemLines(inspection)) << (swiss ? "Swiss" : "generic");
    EXPECT_EQ(payments.size(), inspection.entries);
    // Listed group by group; the groups follow currency and method, not the kind.
    std::multiset<std::string> kinds;
    for (const std::string& title : Titles(inspection)) {
      if (title.starts_with("transaction")) kinds.insert(title.substr(title.find("): ") + 3));
    }
    EXPECT_EQ((std::multiset<std::string>{"domestic", "domestic", "domestic", "foreign currency at home", "SEPA",
                                          "abroad", "cheque"}),
              kinds);
  }
}

TEST(Iso2019Inspect, SchemaValidity) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const std::string xsd = std::string(ORDEXA_SHARED_DIR) + "/xsd/";
  const struct {
    const char* name;
    std::string content;
    std::string schema;
    std::string problem;  // the start of the only problem line; empty: passes
  } cases[] = {
      {"Swiss sample, Swiss schema", QrrScor(), "pain.001.001.09.ch.03.xsd", ""},
      {"Swiss sample, generic schema", Abroad(), "pain.001.001.09.xsd", ""},
      {"unknown payment method", Planted(QrrScor(), "<PmtMtd>TRF<", "<PmtMtd>XYZ<"), "pain.001.001.09.ch.03.xsd",
       "pay.xml: line 33: not valid against " + xsd + "pain.001.001.09.ch.03.xsd: Element"},
      {"2019 file, 2009 schema", QrrScor(), "pain.001.001.03.xsd",
       "pay.xml: line 2: not valid against " + xsd + "pain.001.001.03.xsd: Element"},
  };
  for (const auto& c : cases) {
    const Inspection inspection = InspectContent(c.content, "pay.xml", {xsd + c.schema});
    if (c.problem.empty()) {
      EXPECT_EQ("", ProblemLines(inspection)) << c.name;
    } else {
      ASSERT_EQ(1u, inspection.problems.size()) << c.name << ":\n" << ProblemLines(inspection);
      EXPECT_TRUE(ProblemLines(inspection).starts_with(c.problem)) << c.name << ": " << ProblemLines(inspection);
    }
  }
}

// Cut off anywhere, the document fails; with any byte changed, dropped or doubled it is
// read to its end without a failure other than "not recognised".
TEST(Iso2019Inspect, DamagedFilesAreReadWithoutFailing) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const std::string& sample = ForeignAndSepa();
  for (std::size_t size = 0; size < sample.size(); size += 89) {
    try {
      EXPECT_FALSE(InspectContent(sample.substr(0, size), "cut", {}).Passes()) << "cut at " << size;
    } catch (const inspect::InspectError&) {
    }
  }
  std::uint32_t seed = 2019;
  const auto next = [&seed](std::size_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::size_t>(seed >> 8) % bound;
  };
  for (int round = 0; round < 300; ++round) {
    std::string damaged = sample;
    const std::size_t at = next(damaged.size());
    if (round % 3 == 0) {
      damaged[at] = static_cast<char>(next(256));
    } else if (round % 3 == 1) {
      damaged.erase(at, 1 + next(300));
    } else {
      damaged.insert(at, damaged.substr(at, 1 + next(300)));
    }
    try {
      InspectContent(damaged, "damaged", {});
    } catch (const inspect::InspectError&) {
    }
  }
}

}  // namespace
}  // namespace ordexa::inspect_test
