// Payment files written by the component from a batch a bank would accept: every kind of
// payment, valid IBANs, postal accounts and references with their check digits.
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

inline test::PaymentFields SamplePayment(std::int32_t type, double date, std::int64_t amount) {
  test::PaymentFields payment;
  payment.type = type;
  payment.date = date;
  payment.amount.int64 = amount;
  payment.bank_src = {"Luzerner Kantonalbank", "", "", "6003 Luzern", "778", "CH0400778010123456789", ""};
  payment.receiver = {"Anna M\xFCller", "", "Bahnhofstrasse 5", "6003 Luzern", "", "", ""};
  payment.reason = "Lohn M\xE4rz 2023";
  return payment;
}

// One payment of each kind that gets a record in both DTA and EZAG files, so their totals
// can be checked against the records.
inline test::PaymentFieldsList RecordedPayments() {
  test::PaymentFieldsList payments;
  test::PaymentFields esr15 = SamplePayment(payESR15, 45000.0, 2505000);
  esr15.bank_dst = {"", "", "", "", "9000", "010001628", ""};
  esr15.esr = "123456789012345";
  payments.push_back(esr15);
  test::PaymentFields esr16 = SamplePayment(payESR16, 45001.0, 12345600);
  esr16.bank_dst = {"", "", "", "", "9000", "010391391", ""};
  esr16.esr = "210000000003139471430009017";
  payments.push_back(esr16);
  test::PaymentFields bank = SamplePayment(payRedBank, 45001.0, 3950000);
  bank.bank_dst = {"Z\xFCrcher Kantonalbank", "", "", "8001 Z\xFCrich", "700", "1100-0555.512", ""};
  payments.push_back(bank);
  test::PaymentFields post = SamplePayment(payRedPost, 45002.0, 8500000);
  post.bank_dst = {"PostFinance", "", "", "3030 Bern", "", "01-162-8", ""};
  payments.push_back(post);
  test::PaymentFields trustee = SamplePayment(payRedTreuhand, 45002.0, 3002500);
  trustee.bank_src.account = "01-39139-1";
  trustee.bank_dst = {"", "", "", "", "01-162-8", "01-39139-1", ""};
  payments.push_back(trustee);
  test::PaymentFields swiss_iban = SamplePayment(payIban, 45003.0, 45004000);
  swiss_iban.bank_dst = {"PostFinance", "", "", "3030 Bern", "", "CH71 0900 0000 2501 2345 6", ""};
  swiss_iban.cost_code = payCostDst;
  payments.push_back(swiss_iban);
  test::PaymentFields german_iban = SamplePayment(payIban, 45003.0, 51200000);
  german_iban.currency = "EUR";
  german_iban.bank_dst = {"Commerzbank", "", "", "K\xF6ln", "", "DE89 3704 0044 0532 0130 00", "COBADEFFXXX"};
  german_iban.receiver.city = "D-79539 L\xF6rrach";
  payments.push_back(german_iban);
  return payments;
}

inline test::SettingFields SampleSettings() {
  test::SettingFields settings;
  settings.sender = {"Schreinerei Amrein AG", "", "Werkstrasse 14", "6030 Ebikon", "", "", ""};
  settings.dta_id = "AMR01";
  settings.dta_id_sender = "AMR01";
  settings.cost_account = "60-9-9";
  settings.is_salary = true;
  settings.cost_currency = "CHF";
  return settings;
}

// The four files of a batch, written on 20 March 2023.
inline SampleFiles WriteSampleFiles(const test::PaymentFieldsList& payments) {
  ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2023, .wMonth = 3, .wDay = 20, .wHour = 9}));
  PayBatch batch;
  test::FillBatch(batch, SampleSettings(), payments);
  test::TempDir dir;
  WriteDtaFile(batch, dir.Path("pay.dta"));
  WriteEzagFile(batch, dir.Path("pay.ezag"));
  WriteIsoFile(batch, dir.Path("pay-ch.xml"), "2023-03", true);
  WriteIsoFile(batch, dir.Path("pay.xml"), "2023-03", false);
  return {test::ReadWholeFile(dir.Path("pay.dta")).value_or(""), test::ReadWholeFile(dir.Path("pay.ezag")).value_or(""),
          test::ReadWholeFile(dir.Path("pay-ch.xml")).value_or(""),
          test::ReadWholeFile(dir.Path("pay.xml")).value_or("")};
}

}  // namespace ordexa::inspect_test
