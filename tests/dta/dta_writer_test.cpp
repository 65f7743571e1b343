// Tests of the DTA file beyond the payfile tests' whole-file comparisons (every payment
// kind, tests/tools/data): each payment's own debit account, the empty list, the long
// transaction number (file calls that fail: tests/hostile/file_seam_faults_test.cpp).
#include "dta/dta_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dta/dta_records.h"
#include "platform/clock.h"
#include "tests/support/batch.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace ordexa::dta_test {
namespace {

std::string B(std::size_t n) { return std::string(n, ' '); }
std::string Left(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

// The 128-character segments of the DTA file of TA 827 payments from `debit_accounts`,
// written on 2 April 2024.
std::vector<std::string> DtaSegments(const std::vector<const char*>& debit_accounts) {
  test::SettingFields settings;
  settings.dta_id = "ab-12x";
  test::PaymentFieldsList payments;
  for (const char* account : debit_accounts) {
    test::PaymentFields& payment = payments.emplace_back();
    payment.type = payManual;
    payment.date = 45371.0;
    payment.bank_src.account = account;
    payment.bank_dst.account = "1-2345-6";
  }
  PayBatch batch;
  test::FillBatch(batch, settings, payments);
  const ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2024, .wMonth = 4, .wDay = 2}));
  test::TempDir dir;
  WriteDtaFile(batch, dir.Path("pay.dta"));
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
      {"ch93 0076 2011 6238 5295 7", "CH9300762011623852957"}, {"CH9300762011623852957", "CH9300762011623852957"},
      {"1-2345-6", "1-2345-6"}, {"ch93 0076 2011 6238 5295 7", "CH9300762011623852957"},
      {"ch93 0076 2011 6238 5295 8", "CH93 0076 2011 6238 5295"},   // fails the check: as given, cut
      {"LI21 0881 0000 2324 013A A", "LI21088100002324013AA"},      // Liechtenstein counts as domestic
      {"de89 3704 0044 0532 0130 00", "DE89 3704 0044 0532 0130"},  // a foreign IBAN as given
      {"CH56 0483 5012 3456 7800 9", "CH5604835012345678009"}, {"", ""},
  };
  std::vector<const char*> accounts;
  for (const auto& c : cases) accounts.push_back(c.account);
  const std::vector<std::string> segments = DtaSegments(accounts);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Left(cases[i].expected, 24), segments.at(4 * i).substr(69, 24)) << cases[i].account;
  }
}

TEST(WriteDtaFile, EmptyListGivesTheTotalRecordOnly) {
  const std::string total_record = "01000000" + B(12) + "00000240402" + B(7) + "AB-1200001890" "00" + Left("0,00", 16);
  EXPECT_EQ(std::vector<std::string>{total_record + B(59)}, DtaSegments({}));
}

// From 10,000 on the transaction number outgrows the 11 characters the record keeps.
TEST(DtaTransactionNumber, CountsTheEntrySequence) {
  EXPECT_EQ("M0100010005", DtaTransactionNumber(5));
  EXPECT_EQ("M01000112345", DtaTransactionNumber(12345));
}

}  // namespace
}  // namespace ordexa::dta_test
