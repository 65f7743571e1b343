// Payment files written by the component from a batch a bank would accept: one payment of
// each kind that gets a record in both DTA and EZAG files (so their totals can be checked
// against the records), valid IBANs, postal accounts and references with their check digits.
#pragma once

#include <string>

#include "dta/dta_writer.h"
#include "ezag/ezag_writer.h"
#include "iso/iso_writer.h"
#include "platform/clock.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa::inspect_test {

struct SampleFiles {
  std::string dta, ezag, iso_swiss, iso_generic;
};

// The four files, written once on 20 March 2023.
inline const SampleFiles& RecordedFiles() {
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

}  // namespace ordexa::inspect_test
