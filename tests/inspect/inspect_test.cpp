// Tests of payment file inspection: the single-field rules and the amount readers, files the
// writers produce and the 2019 example messages pass, files with one fault each are reported
// once at the right record and field, no truncated file passes, the 2019 flavour is told,
// and the command's statuses, messages and JSON.
#include "tools/inspect/inspect.h"

#include <gtest/gtest.h>
#include <simdjson.h>

#include <cstdint>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "dta/dta_writer.h"
#include "ezag/ezag_writer.h"
#include "iso/iso_writer.h"
#include "platform/clock.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/shared_files.h"
#include "support/temp_dir.h"
#include "tools/inspect/field_checks.h"
#include "tools/inspect/report.h"
#include "tools/payfile_run.h"

namespace ordexa::inspect_test {
namespace {

using inspect::FileFormat;
using inspect::InspectContent;
using inspect::InspectError;
using inspect::Inspection;

struct SampleFiles {
  std::string dta, ezag, iso_swiss, iso_generic;
};

// Payment files written by the component from a batch a bank would accept, once, on 20 March
// 2023: one payment of each kind that gets a record in both DTA and EZAG files (so their
// totals can be checked against the records), valid accounts and references.
const SampleFiles& RecordedFiles() {
  static const SampleFiles files = [] {
    const struct {
      std::int32_t type;
      double date;
      std::int64_t amount;
      test::AddressFields bank_dst;
      const char* esr = "";
    } rows[] = {
        {payESR15, 45000.0, 2505000, {"", "", "", "", "9000", "010001628", ""}, "123456789012345"},
        {payESR16, 45001.0, 12345600, {"", "", "", "", "9000", "010391391", ""}, "210000000003139471430009017"},
        {payRedBank, 45001.0, 3950000, {"Z\xFCrcher Kantonalbank", "", "", "8001 Z\xFCrich", "700", "1100-0555.512", ""}},
        {payRedPost, 45002.0, 8500000, {"PostFinance", "", "", "3030 Bern", "", "01-162-8", ""}},
        {payRedTreuhand, 45002.0, 3002500, {"", "", "", "", "01-162-8", "01-39139-1", ""}},
        {payIban, 45003.0, 45004000, {"PostFinance", "", "", "3030 Bern", "", "CH71 0900 0000 2501 2345 6", ""}},
        {payIban, 45003.0, 51200000, {"Commerzbank", "", "", "K\xF6ln", "", "DE89 3704 0044 0532 0130 00", "COBADEFFXXX"}},
    };
    test::PaymentFieldsList payments;
    for (const auto& row : rows) {
      test::PaymentFields& payment = payments.emplace_back();
      payment.type = row.type;
      payment.date = row.date;
      payment.amount.int64 = row.amount;
      payment.bank_src = {"Luzerner Kantonalbank", "", "", "6003 Luzern", "778", "CH0400778010123456789", ""};
      payment.bank_dst = row.bank_dst;
      payment.esr = row.esr;
      payment.receiver = {"Anna M\xFCller", "", "Bahnhofstrasse 5", "6003 Luzern", "", "", ""};
      payment.reason = "Lohn M\xE4rz 2023";
    }
    payments[4].bank_src.account = "01-39139-1";  // the trustee's own postal account
    payments[5].cost_code = payCostDst;
    payments[6].currency = "EUR";
    payments[6].receiver.city = "D-79539 L\xF6rrach";
    test::SettingFields settings;
    settings.sender = {"Schreinerei Amrein AG", "", "Werkstrasse 14", "6030 Ebikon", "", "", ""};
    settings.dta_id = settings.dta_id_sender = "AMR01";
    settings.cost_account = "60-9-9";
    settings.is_salary = true;
    settings.cost_currency = "CHF";

    ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2023, .wMonth = 3, .wDay = 20, .wHour = 9}));
    PayBatch batch;
    test::FillBatch(batch, settings, payments);
    test::TempDir dir;
    WriteDtaFile(batch, dir.Path("pay.dta"));
    WriteEzagFile(batch, dir.Path("pay.ezag"));
    WriteIsoFile(batch, dir.Path("pay-ch.xml"), "2023-03", true);
    WriteIsoFile(batch, dir.Path("pay.xml"), "2023-03", false);
    const auto read = [&dir](const char* name) { return test::ReadWholeFile(dir.Path(name)).value_or(""); };
    return SampleFiles{read("pay.dta"), read("pay.ezag"), read("pay-ch.xml"), read("pay.xml")};
  }();
  return files;
}

// The files of the payfile tests: a batch and the golden payment files written from it.
std::string DataFile(const std::string& name) {
  return test::ReadWholeFile(payfile_test::DataPath(name)).value_or("");
}

std::string ProblemLines(const Inspection& inspection) {
  std::string lines;
  for (const inspect::Finding& finding : inspection.problems) lines += ProblemLine(inspection, finding) + "\n";
  return lines;
}

// Byte offset of a position (counted from 1) in a segment of a DTA record, both counted
// from 1, found by the segment counts of the transaction types.
std::size_t DtaOffset(const std::string& file, int record, int segment, int pos) {
  std::size_t at = 0;
  for (int r = 1; r < record; ++r) {
    const std::string type = file.substr(at + 48, 3);
    std::size_t segments = type == "826" ? 3 : type == "836" ? 5 : type == "890" ? 1 : 4;
    if (type == "827" && file.compare(at + 4 * 128, 5, "05/C/") == 0) segments = 5;
    at += segments * 128;
  }
  return at + static_cast<std::size_t>((segment - 1) * 128 + pos - 1);
}

// Byte offset of a position (counted from 1) in an EZAG record (counted from 1).
std::size_t EzagOffset(int record, int pos) { return static_cast<std::size_t>((record - 1) * 701 + pos - 1); }

std::string Replaced(std::string file, std::size_t at, const std::string& text) {
  return file.replace(at, text.size(), text);
}

// `file` with the `nth` (from 1) occurrence of `from` replaced by `to`.
std::string ReplacedText(std::string file, const std::string& from, const std::string& to, int nth = 1) {
  std::size_t at = std::string::npos;
  for (int i = 0; i < nth; ++i) at = file.find(from, at == std::string::npos ? 0 : at + 1);
  EXPECT_NE(std::string::npos, at) << from << " #" << nth;
  return at == std::string::npos ? file : file.replace(at, from.size(), to);
}

// `file` with `line_end` after every `length` characters (EZAG: before each line feed).
std::string WithLineEnds(const std::string& file, std::size_t length, const std::string& line_end) {
  std::string changed;
  for (std::size_t at = 0; at < file.size();) {
    changed += file.substr(at, length) + line_end;
    at += length + (line_end == "\r" ? 1 : 0);
    if (line_end == "\r") changed += '\n';
  }
  return changed;
}

// Files the component writes pass, with one block per record or transaction, whatever their
// line ends or a byte-order mark; content that is no payment file cannot be inspected.
TEST(InspectContent, WrittenFilesPassAndOtherContentIsNotRecognised) {
  const struct {
    const char* name;
    std::string content;
    FileFormat format;
    std::size_t blocks = 0;
    std::string note = "";
  } cases[] = {
      {"DTA", RecordedFiles().dta, FileFormat::kDta, 8}, {"EZAG", RecordedFiles().ezag, FileFormat::kEzag, 9},
      {"ISO Swiss", RecordedFiles().iso_swiss, FileFormat::kIso, 9},
      {"ISO generic", RecordedFiles().iso_generic, FileFormat::kIso, 9},
      {"ISO with byte-order mark and blank lines", "\xEF\xBB\xBF\n <!-- x -->\n" + RecordedFiles().iso_generic.substr(39),
       FileFormat::kIso, 9},
      {"DTA with a line end after each segment", WithLineEnds(RecordedFiles().dta, 128, "\r\n"), FileFormat::kDta, 8},
      {"EZAG with CR LF", WithLineEnds(RecordedFiles().ezag, 700, "\r"), FileFormat::kEzag, 9,
       "records end with CR LF, not with a line feed alone"},
      {"other XML", "<?xml version=\"1.0\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.03\"/>",
       FileFormat::kUnknown},
      {"DTA of an unknown transaction type", "01" + std::string(46, '0') + "999" + std::string(77, ' '),
       FileFormat::kUnknown},
      {"a JSON batch", DataFile("every_kind.json"), FileFormat::kUnknown}, {"text", "hello\n", FileFormat::kUnknown},
      {"empty", "", FileFormat::kUnknown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.format, inspect::DetectFormat(c.content));
    if (c.format == FileFormat::kUnknown) {
      if (!c.content.starts_with("<?xml")) {
        EXPECT_THROW(InspectContent(c.content, "x", {}), InspectError);
      }
      continue;
    }
    const Inspection inspection = InspectContent(c.content, "pay", {});
    EXPECT_EQ(c.format, inspection.format);
    EXPECT_EQ("", ProblemLines(inspection));
    EXPECT_EQ(c.blocks, inspection.blocks.size());
    EXPECT_EQ(c.note.empty() ? 0u : 1u, inspection.notes.size());
    for (const std::string& note : inspection.notes) EXPECT_NE(std::string::npos, note.find(c.note)) << note;
  }
}

// Each row puts one fault into a written file; it is reported once, at its record and field.
TEST(InspectContent, OneFaultReportedOnceWhereItIs) {
  const std::string& dta = RecordedFiles().dta;
  const std::string& ezag = RecordedFiles().ezag;
  const std::string& iso = RecordedFiles().iso_swiss;
  const struct {
    const char* name;
    std::string content;
    std::string where;  // the start of the WHERE part
    std::string what;   // a piece of the WHAT part
  } cases[] = {
      {"DTA segment shortened", std::string(dta).erase(DtaOffset(dta, 1, 2, 30), 1), "record 1 (TA 826) segment 02",
       "the segment is 127 characters long, expected 128"},
      {"DTA total", Replaced(dta, DtaOffset(dta, 8, 1, 54), "9"),
       "record 8 (TA 890) segment 01, total amount (pos 54, 16)",
       "92650,71 is not the sum of the records' amounts (12650,71)"},
      {"DTA entry sequence", Replaced(dta, DtaOffset(dta, 2, 1, 44), "00001"),
       "record 2 (TA 826) segment 01, entry sequence number (pos 44, 5)", "1 does not follow 1"},
      {"DTA transaction type", Replaced(dta, DtaOffset(dta, 2, 1, 49), "828"),
       "record 2 segment 01, transaction type (pos 49, 3)", "\"828\" is not a DTA transaction type"},
      {"DTA bytes after the total", dta + "XYZ", "file", "3 bytes follow the TA 890 total record"},
      {"DTA without total", dta.substr(0, dta.size() - 128), "file", "does not end with a TA 890 total record"},
      {"EZAG record shortened", std::string(ezag).erase(EzagOffset(3, 200), 1), "record 3 (type 28)",
       "the record is 699 characters long, expected 700"},
      {"EZAG count", Replaced(ezag, EzagOffset(9, 59), "8"), "record 9 (type 97) body, number of payments (pos 54, 6)",
       "8 payments, but the total record's sequence number 8 counts 7"},
      {"EZAG total", Replaced(ezag, EzagOffset(9, 62), "9"), "record 9 (type 97) body, total amount (pos 60, 13)",
       "900012650.71 is not the sum of the records' amounts (12650.71)"},
      {"EZAG record type", Replaced(ezag, EzagOffset(4, 36), "99"),
       "record 4 (type 99) header, record type (pos 36, 2)", "\"99\" is not an EZAG record type"},
      {"EZAG sequence", Replaced(ezag, EzagOffset(3, 38), "000001"),
       "record 3 (type 28) header, sequence number (pos 38, 6)", "1 does not follow 1"},
      {"EZAG without final line feed", ezag.substr(0, ezag.size() - 1), "record 9 (type 97)",
       "the record does not end with a line feed"},
      {"EZAG without header", ezag.substr(701), "record 1 (type 28)",
       "the file does not begin with a file header record (type 00)"},
      {"EZAG without total", ezag.substr(0, ezag.size() - 701), "file", "does not end with a type 97 total record"},
      {"ISO closing tag missing", ReplacedText(iso, "</Cdtr>", ""), "line ",
       "not well-formed: Opening and ending tag mismatch: Cdtr"},
      {"ISO number of transactions", ReplacedText(iso, "<NbOfTxs>7<", "<NbOfTxs>8<"),
       "group header, number of transactions <NbOfTxs> (line 8)", "\"8\" does not match the 7 transactions"},
      {"ISO control sum", ReplacedText(iso, "<CtrlSum>12650.71<", "<CtrlSum>12650.17<"),
       "group header, control sum <CtrlSum> (line 9)",
       "12650.17 is not the sum of the transactions' amounts (12650.71)"},
      {"ISO instruction identification twice", ReplacedText(iso, "<InstrId>QRN-2<", "<InstrId>QRN-1<"),
       "transaction 2, instruction identification <InstrId> (line ",
       "\"QRN-1\" is also the identification of transaction 1; each transaction needs its own"},
      {"ISO group part behind the transactions", ReplacedText(iso, "</PmtInf>", "<ChrgBr>SLEV</ChrgBr></PmtInf>"),
       "payment information 1", "<ChrgBr> stands behind the transactions"},
  };
  for (const auto& c : cases) {
    const Inspection inspection = InspectContent(c.content, "pay", {});
    ASSERT_EQ(1u, inspection.problems.size()) << c.name << ":\n" << ProblemLines(inspection);
    const std::string where = inspect::WhereText(inspection.problems[0].where);
    EXPECT_TRUE(where.starts_with(c.where)) << c.name << ": " << where;
    EXPECT_NE(std::string::npos, inspection.problems[0].what.find(c.what))
        << c.name << ": " << inspection.problems[0].what;
  }
}

// The golden files of the writer tests hold every kind of payment, some of which a bank
// would refuse: inspecting them finds exactly those, and notes the payments without a record.
TEST(InspectContent, GoldenFilesShowTheirOddPayments) {
  const struct {
    const char* file;
    std::vector<std::string> problems;
    std::string notes;
  } cases[] = {
      {"every_kind.dta",
       {"record 2 (TA 826) segment 01, account to be debited (pos 70, 24): \"CH93 0076 2011 6238 5295\" is not a valid "
        "IBAN (check sum remainder 14, 1 expected)",
        "record 3 (TA 826) segment 01, account to be debited (pos 70, 24): \"CH93 0076 2011 6238 5295\" is not a valid "
        "IBAN (check sum remainder 14, 1 expected)",
        "record 4 (TA 826) segment 01, account to be debited (pos 70, 24): \"CH93 0076 2011 6238 5295\" is not a valid "
        "IBAN (check sum remainder 14, 1 expected)",
        "record 4 (TA 826) segment 03, ESR reference number (pos 95, 27): \"000000000000000000000012345\" is not a "
        "valid reference number (check digit 7 expected)",
        "record 6 (TA 827) segment 03, beneficiary account (pos 6, 27): \"010023456\" is not a valid postal account "
        "(check digit 1 expected)",
        "record 11 (TA 836) segment 05, charge rule (pos 109, 1): \"7\" is not one of 0, 1, 2"},
       "2 payment(s) without a record (entry sequence numbers 9, 13); the total 13409,32 is 10,99 more than the "
       "records' amounts, which their amounts must make up\n"},
      {"every_kind.ezag",
       {"record 2 (type 28) body, ESR participant number (pos 75, 9): \"01-162-8 \" is not a valid postal account "
        "(nine digits expected)",
        "record 6 (type 22) body, postal account (pos 73, 9): \"010023456\" is not a valid postal account (check digit "
        "1 expected)",
        "record 7 (type 22) body, postal account (pos 73, 9): \"CH5604835\" is not a valid postal account (nine digits "
        "expected)",
        "record 9 (type 37) body, currency (pos 51, 3): \"eur\" is not a currency code (three capital letters)",
        "record 9 (type 37) body, currency, repeated (pos 68, 3): \"eur\" is not a currency code (three capital "
        "letters)"},
       "4 payment(s) without a record; the total 13409.32 is 186.09 more than the records' amounts, which their "
       "amounts must make up\n"},
      {"every_kind-ch.xml",
       {"payment information 1, account to be debited (IBAN) <IBAN> (line 29): \"CH93 0076 2011 6238 5295 7\" has "
        "blanks, which the ISO schema refuses: give the IBAN without blanks",
        "transaction 5, amount <InstdAmt> (line 188): -12.50 is negative; the ISO schema accepts no negative amount",
        "group header, control sum <CtrlSum> (line 9): 13409.32 is not the sum of the transactions' amounts "
        "(13409.33)"},
       ""},
  };
  for (const auto& c : cases) {
    const Inspection inspection = InspectContent(DataFile(c.file), c.file, {});
    std::string expected;
    for (const std::string& problem : c.problems) expected += std::string(c.file) + ": " + problem + "\n";
    EXPECT_EQ(expected, ProblemLines(inspection)) << c.file;
    std::string notes;
    for (const std::string& note : inspection.notes) notes += note + "\n";
    EXPECT_EQ(c.notes, notes) << c.file;
  }
}

// No cut-off file passes; with any byte changed, dropped or doubled anywhere a file is read
// to its end without a failure other than "not recognised" (a reader that indexes past a
// short segment throws).
TEST(InspectContent, CutOrDamagedFilesFailWithoutCrashing) {
  for (const std::string* file : {&RecordedFiles().dta, &RecordedFiles().ezag, &RecordedFiles().iso_swiss}) {
    for (std::size_t size = 0; size < file->size(); size += 97) {
      try {
        EXPECT_FALSE(InspectContent(file->substr(0, size), "cut", {}).Passes()) << "cut at " << size;
      } catch (const InspectError&) {
      }
    }
  }
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::size_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::size_t>(seed >> 8) % bound;
  };
  for (const std::string* file : {&RecordedFiles().dta, &RecordedFiles().ezag, &RecordedFiles().iso_generic}) {
    for (int round = 0; round < 200; ++round) {
      std::string damaged = *file;
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
      } catch (const InspectError&) {
      }
    }
  }
}

using inspect::CheckField;
using inspect::FieldKind;
using K = FieldKind;

std::string Problems(FieldKind kind, std::string_view raw, std::string_view expected = {}, bool clearing = false) {
  const inspect::FieldLayout field{"field", 1, static_cast<int>(raw.size()), kind, expected};
  std::string joined;
  for (const std::string& problem : CheckField(field, raw, {clearing}))
    joined += (joined.empty() ? "" : " | ") + problem;
  return joined;
}

TEST(CheckField, ByKind) {
  const struct {
    FieldKind kind;
    std::string raw;
    std::string expected_problems;  // empty: sound
    std::string expected = {};
    bool clearing = false;
  } cases[] = {
      {K::kLiteral, "02", "\"02\" found, expected \"01\"", "01"},
      {K::kChoice, "7", "\"7\" is not one of 0, 1, 2", "012"},
      {K::kBlank, "  x ", "\"  x \" found where only blanks belong"},
      {K::kZeros, "0 0", "\"0 0\" found where only zeros belong"},
      {K::kSequence, "0001 ", "\"0001 \" is not a number"}, {K::kDate, "240229", ""}, {K::kDate, "000229", ""},
      {K::kDate, "230229", "\"230229\" is not a valid date (YYMMDD)"},
      {K::kDate, "000000", "\"000000\" is not a valid date (YYMMDD)"},
      {K::kDate, "-1901-", "\"-1901-\" is not a valid date (YYMMDD)"}, {K::kDateOrZeros, "000000", ""},
      {K::kDateOrZeros, "000001", "\"000001\" is not a valid date (YYMMDD) nor 000000"},
      {K::kDtaAmount, "1234,50     ", ""},
      {K::kDtaAmount, "12,5        ", "\"12,5        \" is not an amount (such as 1234,50)"},
      {K::kDtaAmount, "12345678901,", "\"12345678901,\" is not an amount (such as 1234,50)"},
      {K::kEzagAmount, "0000000123450", ""}, {K::kEzagAmount, "00000000-1250", ""},
      {K::kEzagAmount, "0000-00001250", "\"0000-00001250\" is not an amount (13 digits, such as 0000000123450)"},
      {K::kCurrency, "eur", "\"eur\" is not a currency code (three capital letters)"},
      {K::kPostAccount, "010001627", "\"010001627\" is not a valid postal account (check digit 8 expected)"},
      {K::kPostAccount, "01-162-8 ", "\"01-162-8 \" is not a valid postal account (nine digits expected)"},
      {K::kPostAccountIfDigits, "CH0400778", ""},
      {K::kPostAccountIfDigits, "800000027", "\"800000027\" is not a valid postal account (check digit 2 expected)"},
      {K::kAccount, "CH93 0076 2011 6238 5295 7 ", ""},
      {K::kAccount, "CH9300762011623852958   ",
       "\"CH9300762011623852958\" is not a valid IBAN (check sum remainder 28, 1 expected)"},
      {K::kAccount, "CH93 0076 2011 6238 5295 ",
       "\"CH93 0076 2011 6238 5295\" is not a valid IBAN (check sum remainder 14, 1 expected)"},
      {K::kAccount, "CH040070011000000000",
       "\"CH040070011000000000\" is not a valid IBAN (a Swiss IBAN has 21 characters, not 20)"},
      {K::kAccount, "1100-0555.512   ", ""},
      {K::kBeneficiaryAccount, "010001627  ", "\"010001627\" is not a valid postal account (check digit 8 expected)"},
      {K::kBeneficiaryAccount, "010001627  ", "", "", true}, {K::kIban, "      ", "is empty where an IBAN is needed"},
      {K::kEsrReference, "210000000003139471430009017", ""},
      {K::kEsrReference, "210000000003139471430009018",
       "\"210000000003139471430009018\" is not a valid reference number (check digit 7 expected)"},
      {K::kEsrReference, "12 345                     ", "\"12 345\" is not a valid reference number (digits only)"},
      {K::kEsrReference, "                           ", "is empty where a reference number is needed"},
      {K::kClearingBlock, "               ", ""}, {K::kClearingBlock, "070070057      ", ""},
      {K::kClearingBlock, "070070075      ",
       "\"070070075\" is not a valid bank clearing number (check digits 57 expected)"},
      {K::kClearingBlock, "080070057      ",
       "\"080070057      \" is not \"07\", a five-digit clearing number and two check digits"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected_problems, Problems(c.kind, c.raw, c.expected, c.clearing)) << c.raw;
  }
}

TEST(ParseAmount, DtaAndEzagForms) {
  const struct {
    std::string raw;
    std::optional<std::int64_t> dta, ezag;
  } cases[] = {
      {"1234,50", 123450, std::nullopt}, {"-12,50  ", -1250, std::nullopt}, {"0000000123450", std::nullopt, 123450},
      {"00000000-1250", std::nullopt, -1250}, {"000000000-050", std::nullopt, -50},
      {"-99999999999", std::nullopt, std::nullopt}, {"9999999999999", std::nullopt, 9999999999999},
      {"", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.dta, inspect::ParseDtaAmount(c.raw)) << c.raw;
    EXPECT_EQ(c.ezag, inspect::ParseEzagAmount(c.raw)) << c.raw;
  }
}

using payfile_test::RunPayfile;
using PayfileInspect = payfile_test::PayfileTest;
using Outcome = payfile_test::RunResult;

// `payfile inspect` through the built binary: each exit status comes with the output a
// person or a script needs (the demo files pass: the command tests). Each row: the command,
// its exit status, and what standard output and error hold.
TEST_F(PayfileInspect, ExitStatusMessagesAndJson) {
  test::TempDir dir;
  const std::string dta = RecordedFiles().dta;
  test::WriteWholeFile(dir.Path("pay.dta"), dta);
  std::string wrong_total = dta;
  wrong_total[wrong_total.size() - 128 + 53] = '9';
  test::WriteWholeFile(dir.Path("total.dta"), wrong_total);
  test::WriteWholeFile(dir.Path("notes.txt"), "not a payment file\n");
  const std::string total_problem =
      "total.dta: record 8 (TA 890) segment 01, total amount (pos 54, 16): 92650,71 is not the sum of the records' "
      "amounts (12650,71)\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;  // a piece of standard output; for --problems all of it
    std::string err;  // a piece of standard error
  } cases[] = {
      {{"inspect", "pay.dta"},
       "",
       0,
       "\nrecord 1 (TA 826), offset 0\n  segment 01\n    1-2     2    segment number",
       ""},
      {{"inspect", "total.dta"}, "", 1, "\n" + total_problem + "total.dta: 8 records, 1 problem\n", ""},
      {{"inspect", "--problems", "total.dta"}, "", 1, total_problem + "total.dta: 8 records, 1 problem\n", ""},
      {{"inspect", "--problems", "pay.dta"}, "", 0, "pay.dta: 8 records, passes\n", ""},
      {{"inspect", "--problems", "-"}, wrong_total, 1, "<stdin>: record 8 (TA 890)", ""},
      {{"inspect", "missing.dta"}, "", 2, "", "payfile: missing.dta: cannot be read: No such file or directory\n"},
      {{"inspect", "notes.txt"}, "", 2, "", "payfile: notes.txt: not a DTA file"},
      {{"inspect", "pay.dta", "--schema", "missing.xsd"}, "", 2, "", "missing.xsd"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunPayfile(dir, c.args, c.input);
    std::string command;
    for (const std::string& arg : c.args) command += " " + arg;
    EXPECT_EQ(c.status, outcome.status) << command << "\n" << outcome.out << outcome.err;
    if (c.args[1] == "--problems" && c.input.empty()) {
      EXPECT_EQ(c.out, outcome.out) << command;
    } else {
      EXPECT_NE(std::string::npos, outcome.out.find(c.out)) << command << "\n" << outcome.out.substr(0, 300);
    }
    EXPECT_NE(std::string::npos, outcome.err.find(c.err)) << command << "\n" << outcome.err;
  }
  // The JSON, written block by block as the file is read, parses and holds every record.
  const Outcome outcome = RunPayfile(dir, {"inspect", "--json", "total.dta"});
  EXPECT_EQ(1, outcome.status);
  simdjson::dom::parser parser;
  simdjson::dom::element json;
  ASSERT_EQ(simdjson::SUCCESS, parser.parse(simdjson::padded_string(outcome.out)).get(json)) << outcome.out;
  EXPECT_EQ("DTA", std::string_view(json["format"]));
  EXPECT_EQ(8u, simdjson::dom::array(json["blocks"]).size());
  EXPECT_EQ(8, std::int64_t(json["entries"]));
  EXPECT_FALSE(bool(json["passes"]));
  const simdjson::dom::array problems = json["problems"];
  ASSERT_EQ(1u, problems.size());
  EXPECT_EQ("total amount", std::string_view(problems.at(0)["field"]));
  EXPECT_EQ(54, std::int64_t(problems.at(0)["pos"]));
}

// The example messages of the Swiss guidelines for 2019 files.
const std::string& Sample(const std::string& name) {
  static std::map<std::string, std::string> samples;
  const std::string path = std::string(ORDEXA_SHARED_DIR) + "/xsd/samples/sps2022/pain_001_Example_" + name + ".xml";
  if (!samples.contains(name)) samples[name] = test::ReadWholeFile(path).value_or("");
  EXPECT_FALSE(samples[name].empty()) << path;
  return samples[name];
}
const std::string& QrrScor() { return Sample("PT_D_QRR_SCOR"); }
const std::string& ForeignAndSepa() { return Sample("PT_X_V1_PT_S"); }
const std::string& Abroad() { return Sample("PT_X_V2"); }

std::vector<std::string> Titles(const Inspection& inspection) {
  std::vector<std::string> titles;
  for (const inspect::Block& block : inspection.blocks) titles.push_back(block.title);
  return titles;
}

// 2019 ISO files (pain.001.001.09): the example messages pass and are listed whole, each with
// one planted fault fails at the fault's place, and the flavour is told by schemaLocation
// or content. (The 2019 writer's files pass: the command tests.)
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
  const std::string generic = ReplacedText(qrr, "pain.001.001.09.ch.03.xsd", "pain.001.001.09.xsd");
  const struct {
    const char* check;
    std::string content;
    std::string place;  // the end of the place, after "line N, "
    std::string what;   // a piece of the problem's text
  } cases[] = {
      {"header count", ReplacedText(qrr, "<NbOfTxs>2<", "<NbOfTxs>3<"), "GrpHdr, NbOfTxs",
       "\"3\" does not match the 2 transactions"},
      {"header sum", ReplacedText(qrr, "<CtrlSum>4149.7<", "<CtrlSum>4149.71<"), "GrpHdr, CtrlSum",
       "4149.71 is not the sum of the transactions' amounts (4149.70)"},
      {"group count",
       ReplacedText(sepa, "<PmtInfId>PMTINF-02</PmtInfId>", "<PmtInfId>PMTINF-02</PmtInfId><NbOfTxs>3</NbOfTxs>"),
       "PmtInf 2, NbOfTxs", "\"3\" does not match the 2 transactions"},
      {"group sum",
       ReplacedText(sepa, "<PmtInfId>PMTINF-02</PmtInfId>", "<PmtInfId>PMTINF-02</PmtInfId><CtrlSum>11900.2</CtrlSum>"),
       "PmtInf 2, CtrlSum", "11900.2 is not the sum of the transactions' amounts (11900.25)"},
      {"creditor IBAN", ReplacedText(qrr, "CH4821966000009613388", "CH4821966000009613389"),
       "PmtInf 2, CdtTrfTxInf 1, CdtrAcct/Id/IBAN", "is not a valid IBAN (check sum remainder"},
      {"QR-IBAN without QR reference", ReplacedText(sepa, "CH5021977000004331346", "CH4431999123000889012"),
       "PmtInf 1, CdtTrfTxInf 1, CdtrAcct/Id/IBAN", "is a QR-IBAN, which needs a QR reference"},
      {"QR reference without QR-IBAN", ReplacedText(qrr, "CH4431999123000889012", "CH9300762011623852957"),
       "PmtInf 1, CdtTrfTxInf 1, RmtInf/Strd/CdtrRefInf/Ref", "is no QR-IBAN"},
      {"QR reference check digit", ReplacedText(qrr, "210000000003139471430009017", "210000000003139471430009018"),
       "PmtInf 1, CdtTrfTxInf 1, RmtInf/Strd/CdtrRefInf/Ref", "(check digit 7 expected)"},
      {"creditor reference", ReplacedText(qrr, "RF18539007547034", "RF18539007547035"),
       "PmtInf 2, CdtTrfTxInf 1, RmtInf/Strd/CdtrRefInf/Ref", "is not a valid creditor reference"},
      {"QR-IBAN to be debited", ReplacedText(qrr, "CH7280005000088877766", "CH4431999123000889012"),
       "PmtInf 1, DbtrAcct/Id/IBAN", "is a QR-IBAN"},
      {"address without town", ReplacedText(abroad, "<TwnNm>London</TwnNm>", ""),
       "PmtInf 1, CdtTrfTxInf 1, CdtrAgt/FinInstnId/PstlAdr", "no town (TwnNm)"},
      {"address without country", ReplacedText(qrr, "<Ctry>CH</Ctry>", ""), "PmtInf 1, Dbtr/PstlAdr", "no country (Ctry)"},
      {"three address lines",
       ReplacedText(abroad, "<Ctry>GB</Ctry>",
               "<Ctry>GB</Ctry><AdrLine>c/o Fonda</AdrLine><AdrLine>Flat 2</AdrLine><AdrLine>Rear</AdrLine>", 2),
       "PmtInf 1, CdtTrfTxInf 1, Cdtr/PstlAdr/AdrLine", "3 address lines; the Swiss flavour takes at most 2"},
      {"address lines only",
       ReplacedText(sepa, "<Nm>MUSTER AG</Nm>", "<Nm>MUSTER AG</Nm><PstlAdr><AdrLine>Seldwyla</AdrLine></PstlAdr>", 3),
       "PmtInf 2, Dbtr/PstlAdr", "unstructured"},
      {"address text twice", ReplacedText(abroad, "<Ctry>GB</Ctry>", "<Ctry>GB</Ctry><AdrLine>Saville Row 4</AdrLine>", 2),
       "PmtInf 1, CdtTrfTxInf 1, Cdtr/PstlAdr/AdrLine", "repeats \"Saville Row\" of <StrtNm>"},
      {"Swiss characters", ReplacedText(qrr, "Robert Schneider AG", "Robert Schneider \xE2\x80\x93 AG"),
       "PmtInf 1, CdtTrfTxInf 1, Cdtr/Nm",
       "\"Robert Schneider \xE2\x80\x93 AG\" holds \"\xE2\x80\x93\" (U+2013), outside the character set of the Swiss "
       "flavour"},
      {"identifier characters", ReplacedText(qrr, "INSTRID-01-01", "INSTRID_01"), "PmtInf 1, CdtTrfTxInf 1, PmtId/InstrId",
       "holds \"_\""},
      {"identifier trailing slash", ReplacedText(qrr, "PMTINF-01", "PMTINF-01/"), "PmtInf 1, PmtInfId",
       "ends with a blank or \"/\""},
      {"payment group identification twice", ReplacedText(qrr, "PMTINF-02", "PMTINF-01"), "PmtInf 2, PmtInfId",
       "also the identification of PmtInf 1"},
      {"instruction identification twice in a group", ReplacedText(sepa, "INSTRID-02-02", "INSTRID-02-01"),
       "PmtInf 2, CdtTrfTxInf 2, PmtId/InstrId", "also the identification of CdtTrfTxInf 1 of this group"},
      {"decimals of the currency", ReplacedText(abroad, "Ccy=\"USD\"", "Ccy=\"JPY\""),
       "PmtInf 1, CdtTrfTxInf 1, Amt/InstdAmt", "3421.00 has 2 decimals; an amount in JPY has at most 0"},
      {"SEPA in another currency", ReplacedText(sepa, "Ccy=\"EUR\">3421.00", "Ccy=\"USD\">3421.00"),
       "PmtInf 2, CdtTrfTxInf 2, Amt/InstdAmt/@Ccy", "\"USD\" in a SEPA payment"},
      {"SEPA charges", ReplacedText(sepa, "</DbtrAgt>", "</DbtrAgt><ChrgBr>SHAR</ChrgBr>", 2), "PmtInf 2, ChrgBr",
       "\"SHAR\" for SEPA payments"},
      {"SEPA name", ReplacedText(sepa, "Robert Scheider SA", "Robert Scheider SA" + std::string(53, 'x')),
       "PmtInf 2, CdtTrfTxInf 1, Cdtr/Nm", "has 71 characters; a name in a SEPA payment has at most 70"},
      {"SEPA additional remittance information",
       ReplacedText(sepa, "</CdtrRefInf>", "</CdtrRefInf><AddtlRmtInf>Rechnung 408</AddtlRmtInf>", 2),
       "PmtInf 2, CdtTrfTxInf 2, RmtInf/Strd/AddtlRmtInf", "additional remittance information in a SEPA payment"},
      {"salary on a transaction",
       ReplacedText(abroad, "<Amt>", "<PmtTpInf><CtgyPurp><Cd>SALA</Cd></CtgyPurp></PmtTpInf><Amt>"),
       "PmtInf 1, CdtTrfTxInf 1, PmtTpInf/CtgyPurp/Cd", "\"SALA\" on a single transaction"},
      {"execution date", ReplacedText(qrr, "2023-02-22", "2023-02-30"), "PmtInf 1, ReqdExctnDt/Dt",
       "\"2023-02-30\" is not a valid date"},
      // What is a fault in one place or flavour is none in another: no problem.
      {"generic flavour: any character", ReplacedText(generic, "Robert Schneider AG", "Robert Schneider \xE2\x80\x93 AG"),
       "", ""},
      {"generic flavour: three address lines",
       ReplacedText(generic, "<Ctry>CH</Ctry>",
               "<Ctry>CH</Ctry><AdrLine>c/o A</AdrLine><AdrLine>Hof 2</AdrLine><AdrLine>Rear</AdrLine>", 2),
       "", ""},
      {"one instruction identification in two groups", ReplacedText(sepa, "INSTRID-02-01", "INSTRID-01-01"), "", ""},
      {"a short part in a longer line", ReplacedText(abroad, "<Ctry>GB</Ctry>", "<Ctry>GB</Ctry><AdrLine>Flat 4</AdrLine>", 2),
       "", ""},
      {"a group part behind the transactions", ReplacedText(qrr, "</PmtInf>", "<ChrgBr>SLEV</ChrgBr></PmtInf>"),
       "PmtInf 1, ChrgBr", "<ChrgBr> stands behind the transactions"},
      {"three decimals in dinars", ReplacedText(abroad, "Ccy=\"USD\">3421.00", "Ccy=\"KWD\">3421.000"), "", ""},
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
      {"generic schema", ReplacedText(Abroad(), "pain.001.001.09.ch.03.xsd", "pain.001.001.09.xsd"),
       "generic, pain.001.001.09.xsd"},
      {"no schema, QR reference", without_location(QrrScor()), "Swiss, by its content"},
      {"no schema, nothing Swiss", without_location(Abroad()), "generic, by its content"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.flavour, InspectContent(c.content, "pay.xml", {}).flavour) << c.name;
}

}  // namespace
}  // namespace ordexa::inspect_test
