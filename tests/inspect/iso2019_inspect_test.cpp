// Tests of inspecting 2019 ISO files (pain.001.001.09): the published example messages pass
// and are listed whole, each with one planted fault fails at the fault's place, and the
// flavour is told by schemaLocation or content. (The 2019 writer's files pass: the command tests.)
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/shared_files.h"
#include "tools/inspect/inspect.h"

namespace ordexa::inspect_test {
namespace {

using inspect::FileFormat;
using inspect::InspectContent;
using inspect::Inspection;

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

// One row per check: a fault planted into a copy of a sample, reported once at its place;
// rows without a place plant what is no fault there.
TEST(Iso2019Inspect, PlantedFaultReportedOnceAtItsPlace) {
  ORDEXA_SKIP_WITHOUT_SHARED_XSD();
  const std::string& qrr = QrrScor();
  const std::string& sepa = ForeignAndSepa();
  const std::string& abroad = Abroad();
  const std::string generic = Planted(qrr, "pain.001.001.09.ch.03.xsd", "pain.001.001.09.xsd");
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
      {"identifier trailing slash", Planted(qrr, "PMTINF-01", "PMTINF-01/"), "PmtInf 1, PmtInfId",
       "ends with a blank or \"/\""},
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
      // What is a fault in one place or flavour is none in another: no problem.
      {"generic flavour: any character", Planted(generic, "Robert Schneider AG", "Robert Schneider \xE2\x80\x93 AG"),
       "", ""},
      {"generic flavour: three address lines",
       Planted(generic, "<Ctry>CH</Ctry>",
               "<Ctry>CH</Ctry><AdrLine>c/o A</AdrLine><AdrLine>Hof 2</AdrLine><AdrLine>Rear</AdrLine>", 2),
       "", ""},
      {"one instruction identification in two groups", Planted(sepa, "INSTRID-02-01", "INSTRID-01-01"), "", ""},
      {"a short part in a longer line", Planted(abroad, "<Ctry>GB</Ctry>", "<Ctry>GB</Ctry><AdrLine>Flat 4</AdrLine>", 2),
       "", ""},
      {"a group part behind the transactions", Planted(qrr, "</PmtInf>", "<ChrgBr>SLEV</ChrgBr></PmtInf>"),
       "PmtInf 1, ChrgBr", "<ChrgBr> stands behind the transactions"},
      {"three decimals in dinars", Planted(abroad, "Ccy=\"USD\">3421.00", "Ccy=\"KWD\">3421.000"), "", ""},
  };
  for (const auto& c : cases) {
    const Inspection inspection = InspectContent(c.content, "pay.xml", {});
    if (c.place.empty()) {
      EXPECT_EQ("", ProblemLines(inspection)) << c.check;
      continue;
    }
    ASSERT_EQ(1u, inspection.problems.size()) << c.check << ":\n" << ProblemLines(inspection);
    const std::string line = ProblemLine(inspection, inspection.problems[0]);
    EXPECT_TRUE(std::regex_search(line, std::regex("^pay\\.xml: line [0-9]+, "))) << c.check << ": " << line;
    EXPECT_NE(std::string::npos, line.find(", " + c.place + ": ")) << c.check << ": " << line;
    EXPECT_NE(std::string::npos, inspection.problems[0].what.find(c.what)) << c.check << ": " << line;
  }
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

}  // namespace
}  // namespace ordexa::inspect_test
