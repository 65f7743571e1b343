// Tests of the DTA file: a whole file with its TA 890 total record and each payment's debit
// account (file calls that fail: tests/hostile/file_seam_faults_test.cpp). Every payment kind and
// its field edges are in the payfile tests' whole-file comparisons (tests/tools/data).
#include "dta/dta_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "tests/support/batch.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace ordexa::dta_test {
namespace {

constexpr SYSTEMTIME k2April2024{.wYear = 2024, .wMonth = 4, .wDay = 2};

// The writer over a batch built from plain fields.
void WriteDtaFile(const test::SettingFields& settings, const test::PaymentFieldsList& payments, std::string_view name) {
  PayBatch batch;
  test::FillBatch(batch, settings, payments);
  ordexa::WriteDtaFile(batch, name);
}

std::string B(std::size_t n) { return std::string(n, ' '); }
std::string Left(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

// The ordering party: its accents show whether a record cleans its lines.
test::SettingFields SampleSettings() {
  test::SettingFields settings;
  settings.sender = {"M\xFCller AG", "Lohnb\xFCro", "Bahnhofstr. 1", "8001 Z\xFCrich", "", "", ""};
  settings.dta_id = "ab-12x";
  settings.dta_id_sender = "snd01";
  return settings;
}

// A payment of 20 March 2024 from the ordering party's Swiss IBAN to a receiver whose name
// every record cuts.
test::PaymentFields SamplePayment(std::int32_t type, std::int64_t amount = 2500000) {
  test::PaymentFields payment;
  payment.type = type;
  payment.date = 45371.0;
  payment.amount.int64 = amount;
  payment.bank_src = {"Treuhand AG", "", "Seeweg 2", "6300 Zug", "8390", "ch93 0076 2011 6238 5295 7", ""};
  payment.bank_dst = {"Commerzbank", "", "", "K\xF6ln", "01-162", "1-2345-6", ""};
  payment.receiver = {"Hans-Peter Ferdinand Meier-Zimmermann", "c/o \xC4nni", "Dorfweg 5", "3000 Bern", "", "", ""};
  payment.reason = "Lohn M\xE4rz 2024";
  return payment;
}

// The 128-character segments of a batch's DTA file, written on 2 April 2024.
std::vector<std::string> DtaSegments(const test::PaymentFieldsList& payments, const test::SettingFields& settings = SampleSettings()) {
  ScopedClock clock(FixedClock(k2April2024));
  test::TempDir dir;
  WriteDtaFile(settings, payments, dir.Path("pay.dta"));
  const std::string file = test::ReadWholeFile(dir.Path("pay.dta")).value_or("");
  std::vector<std::string> segments;
  for (std::size_t at = 0; at < file.size(); at += 128) segments.push_back(file.substr(at, 128));
  return segments;
}

// Each payment's own account to be debited, whatever the payments before it debited:
// the same IBAN again, in another spelling, another IBAN, an account that is no IBAN.
TEST(WriteDtaFile, DebitAccountOfEachPayment) {
  const struct {
    const char* account;
    std::string expected;
  } cases[] = {
      {"ch93 0076 2011 6238 5295 7", "CH9300762011623852957"},
      {"CH9300762011623852957", "CH9300762011623852957"},
      {"1-2345-6", "1-2345-6"},
      {"ch93 0076 2011 6238 5295 7", "CH9300762011623852957"},
      {"ch93 0076 2011 6238 5295 8", "CH93 0076 2011 6238 5295"},  // fails the check: as given, cut
      {"CH56 0483 5012 3456 7800 9", "CH5604835012345678009"},
      {"", ""},
  };
  test::PaymentFieldsList payments;
  for (const auto& c : cases) {
    payments.push_back(SamplePayment(payManual));
    payments.back().bank_src.account = c.account;
  }
  const std::vector<std::string> segments = DtaSegments(payments);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Left(cases[i].expected, 24), segments.at(4 * i).substr(69, 24)) << cases[i].account;
  }
}

TEST(WriteDtaFile, EmptyListGivesTheTotalRecordOnly) {
  const std::string total_record = "01000000" + B(12) + "00000240402" + B(7) + "AB-1200001890" "00" + Left("0,00", 16);
  EXPECT_EQ(std::vector<std::string>{total_record + B(59)}, DtaSegments({}));
}

// Entry sequence numbers are positions in the list, so payments without a record leave gaps.
TEST(WriteDtaFile, WholeFile) {
  test::SettingFields settings = SampleSettings();
  settings.is_salary = true;
  test::PaymentFieldsList payments = {SamplePayment(payRedPost), SamplePayment(payForeign, 100000), SamplePayment(-1, -150000),
                          SamplePayment(payESR16, 1234500), SamplePayment(payIban, 15005000)};
  payments[3].esr = "12345";
  payments[4].currency = "eur";
  payments[4].bank_dst = {"Commerzbank", "", "", "K\xF6ln", "", "de89 3704 0044 0532 0130 00", "COBADEFFXXX"};
  const std::string head = "240320" + B(12) + "00000240402" "8390   AB-12";
  const std::string debit_iban = Left("CH9300762011623852957", 24);
  const std::vector<std::string> expected = {
      "01" + head + "00001827" "10SND01M0100010001" + debit_iban + B(6) + "CHF" + Left("250,00", 12) + B(14),
      "02" + Left("M\xFCller AG", 24) + Left("Lohnb\xFCro", 24) + Left("Bahnhofstr. 1", 24) +
          Left("8001 Z\xFCrich", 24) + B(30),
      "03/C/" + Left("010023456", 27) + "HANS-PETER FERDINAND MEI" + Left("C/O ANNI", 24) +
          Left("DORFWEG 5", 24) + Left("3000 BERN", 24),
      "04" + Left("LOHN MARZ 2024", 112) + B(14),
      "01" + head + "00004826" "00SND01M0100010004" "CH93 0076 2011 6238 5295" + B(6) + "CHF" + Left("123,45", 12) +
          B(14),
      "02" + Left("MULLER AG", 20) + Left("LOHNBURO", 20) + Left("BAHNHOFSTR. 1", 20) + Left("8001 ZURICH", 20) + B(46),
      "03/C/" "010023456" "HANS-PETER FERDINAND" + Left("C/O ANNI", 20) + Left("DORFWEG 5", 20) +
          Left("3000 BERN", 20) + std::string(22, '0') + "12345" + B(7),
      "01000000" + B(12) + "00000240402" "8390   AB-1200005836" "10SND01M0100010005" + debit_iban + "240320" "EUR" +
          Left("1500,50", 15) + B(11),
      "02" + B(12) + Left("M\xFCller AG", 35) + Left("Bahnhofstr. 1", 35) + Left("8001 Z\xFCrich", 35) + B(9),
      "03A" + Left("COBADEFFXXX", 35) + B(35) + Left("DE89370400440532013000", 34) + B(21),
      "04" "HANS-PETER FERDINAND MEIER-ZIMMERMA" + Left("DORFWEG 5", 35) + Left("3000 BERN", 35) + B(21),
      "05U" + Left("LOHN MARZ 2024", 105) + "2" + B(19),
      "01000000" + B(12) + "00000240402" + B(7) + "AB-1200006890" "00" + Left("1868,95", 16) + B(59),
  };
  EXPECT_EQ(expected, DtaSegments(payments, settings));
}

}  // namespace
}  // namespace ordexa::dta_test
