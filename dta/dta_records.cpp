// DTA payment records TA 826, 827 and 836, segment by segment, every field through the
// record formats of their layouts.
#include "dta/dta_records.h"

#include "format/amount.h"
#include "format/date_text.h"
#include "format/iban.h"
#include "format/post_account.h"
#include "format/record_text.h"

namespace ordexa {

namespace {

// The creation date of a record: today, worked out anew for every record.
std::string CreationDate() { return FormatDateYYMMDD(0.0); }

// Position 52 of segment 01 of TA 827 and TA 836: salary payments are flagged "1".
char SalaryFlag(const PaySettingRecord& settings) { return settings.is_salary ? '1' : '0'; }

// Segment 05 of TA 836: the charge rule is the digit at CostCode's distance from "0";
// only the low 8 bits of the sum count, so any cost code gives some character.
char ChargeRule(std::int32_t cost_code) {
  return static_cast<char>(static_cast<unsigned char>(static_cast<std::uint32_t>(cost_code) + '0'));
}

// The four 24-character address lines of TA 827 segments 03 and 05, cleaned.
void WriteTa827Lines(RecordOutput& out, const PayAddressRecord& party) {
  WriteRecordText(out, "%-24.24s", CleanRecordText(party.name1));
  WriteRecordText(out, "%-24.24s", CleanRecordText(party.name2));
  WriteRecordText(out, "%-24.24s", CleanRecordText(party.street));
  WriteRecordText(out, "%-24.24s", CleanRecordText(party.city));
}

// Positions 6-32 of TA 827 segment 03: the beneficiary's account as its payment type
// carries it (a trust payment names the trustee's postal account in BankDst's ID).
std::string Ta827BeneficiaryAccount(const PaymentRecord& payment) {
  switch (payment.type) {
    case payRedPost:
      return NormalizePostAccount(CleanRecordText(payment.bank_dst.account));
    case payRedTreuhand:
      return NormalizePostAccount(CleanRecordText(payment.bank_dst.id));
    case payPostmandat:
      return {};
    default:
      return CleanRecordText(payment.bank_dst.account);
  }
}

}  // namespace

std::string DtaTransactionNumber(std::int32_t entry_sequence) {
  return FormatRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, entry_sequence);
}

std::string DebitAccountText(std::string_view account) {
  const std::string iban = NormalizeIban(account);
  return CleanRecordText(IsDomesticIbanCountry(iban) ? std::string_view(iban) : account);
}

void WriteTa826(RecordOutput& out, const PaySettingRecord& settings, const PaymentRecord& payment,
                std::int32_t entry_sequence) {
  // Segment 01: header, reference, account to be debited (never read as an IBAN), amount.
  WriteRecordText(out, "01");
  WriteRecordText(out, "%6s%12s00000", FormatDateYYMMDD(payment.date), " ");
  WriteRecordText(out, "%6s%-7.7s", CreationDate(), NormalizePostAccount(payment.bank_src.id));
  WriteRecordText(out, "%-5.5s%05.5ld82600", CleanRecordText(settings.dta_id), entry_sequence);
  WriteRecordText(out, "%-5.5s%011.11s", CleanRecordText(settings.dta_id_sender),
                  DtaTransactionNumber(entry_sequence));
  WriteRecordText(out, "%-24.24s%6sCHF", CleanRecordText(payment.bank_src.account), " ");
  WriteRecordText(out, "%-12.12s%14s", FormatAmountText(payment.amount.int64, kDtaAmountFormat), " ");

  // Segment 02: the ordering party, cleaned in this record.
  WriteRecordText(out, "02");
  WriteRecordText(out, "%-20.20s", CleanRecordText(settings.sender.name1));
  WriteRecordText(out, "%-20.20s", CleanRecordText(settings.sender.name2));
  WriteRecordText(out, "%-20.20s", CleanRecordText(settings.sender.street));
  WriteRecordText(out, "%-20.20s%46s", CleanRecordText(settings.sender.city), " ");

  // Segment 03: ESR participant number, beneficiary, reference number as given.
  WriteRecordText(out, "03/C/");
  WriteRecordText(out, "%09.9s", NormalizePostAccount(CleanRecordText(payment.bank_dst.account)));
  WriteRecordText(out, "%-20.20s", CleanRecordText(payment.receiver.name1));
  WriteRecordText(out, "%-20.20s", CleanRecordText(payment.receiver.name2));
  WriteRecordText(out, "%-20.20s", CleanRecordText(payment.receiver.street));
  WriteRecordText(out, "%-20.20s", CleanRecordText(payment.receiver.city));
  if (payment.type == payESR15) {
    WriteRecordText(out, "%015.15s%12s%7s", payment.esr, "", " ");
  } else {
    WriteRecordText(out, "%027.27s%7s", payment.esr, " ");
  }
}

void WriteTa827(RecordOutput& out, const PaySettingRecord& settings, const PaymentRecord& payment,
                std::int32_t entry_sequence) {
  // Segment 01: only a bank payment names the clearing number of the receiving bank.
  const std::string clearing = payment.type == payRedBank ? CleanRecordText(payment.bank_dst.id) : std::string();
  WriteRecordText(out, "01%6s%-12.12s00000", FormatDateYYMMDD(payment.date), clearing);
  WriteRecordText(out, "%6s%-7.7s", CreationDate(), NormalizePostAccount(payment.bank_src.id));
  WriteRecordText(out, "%-5.5s%05.5ld827", CleanRecordText(settings.dta_id), entry_sequence);
  WriteRecordText(out, "%c0", SalaryFlag(settings));
  WriteRecordText(out, "%-5.5s%011.11s", CleanRecordText(settings.dta_id_sender),
                  DtaTransactionNumber(entry_sequence));
  WriteRecordText(out, "%-24.24s%6sCHF", DebitAccountText(payment.bank_src.account), " ");
  WriteRecordText(out, "%-12.12s%14s", FormatAmountText(payment.amount.int64, kDtaAmountFormat), " ");

  // Segment 02: the ordering party exactly as the caller gave it.
  WriteRecordText(out, "02");
  WriteRecordText(out, "%-24.24s", settings.sender.name1);
  WriteRecordText(out, "%-24.24s", settings.sender.name2);
  WriteRecordText(out, "%-24.24s", settings.sender.street);
  WriteRecordText(out, "%-24.24s", settings.sender.city);
  WriteRecordText(out, "%30s", " ");

  // Segment 03: the beneficiary; for a trust payment the trustee, who is the BankSrc party.
  WriteRecordText(out, "03/C/");
  WriteRecordText(out, "%-27.27s", Ta827BeneficiaryAccount(payment));
  WriteTa827Lines(out, payment.type == payRedTreuhand ? payment.bank_src : payment.receiver);

  // Segment 04: the reason as one field.
  WriteRecordText(out, "04");
  WriteRecordText(out, "%-112.112s%14s", CleanRecordText(payment.reason), " ");

  // Segment 05, trust payments only: the final beneficiary.
  if (payment.type == payRedTreuhand) {
    WriteRecordText(out, "05/C/");
    WriteRecordText(out, "%-27.27s", CleanRecordText(payment.bank_dst.account));
    WriteTa827Lines(out, payment.receiver);
  }
}

void WriteTa836(RecordOutput& out, const PaySettingRecord& settings, const PaymentRecord& payment,
                std::int32_t entry_sequence) {
  // Segment 01: no processing date; the payment's date is the value date at 94-99.
  WriteRecordText(out, "01");
  WriteRecordText(out, "000000");
  WriteRecordText(out, "%12s", " ");
  WriteRecordText(out, "00000");
  WriteRecordText(out, "%6s", CreationDate());
  WriteRecordText(out, "%-7.7s", NormalizePostAccount(payment.bank_src.id));
  WriteRecordText(out, "%-5.5s", CleanRecordText(settings.dta_id));
  WriteRecordText(out, "%05.5ld", entry_sequence);
  WriteRecordText(out, "836");
  WriteRecordText(out, "%c", SalaryFlag(settings));
  WriteRecordText(out, "0");
  WriteRecordText(out, "%-5.5s", CleanRecordText(settings.dta_id_sender));
  WriteRecordText(out, "%011.11s", DtaTransactionNumber(entry_sequence));
  WriteRecordText(out, "%-24.24s", DebitAccountText(payment.bank_src.account));
  WriteRecordText(out, "%6s", FormatDateYYMMDD(payment.date));
  WriteRecordText(out, "%-3.3s", CleanRecordText(PaymentCurrencyText(payment)));
  WriteRecordText(out, "%-15.15s", FormatAmountText(payment.amount.int64, kDtaAmountFormat));
  WriteRecordText(out, "%11s", " ");

  // Segment 02: the ordering party as the caller gave it, without its second name line.
  WriteRecordText(out, "02");
  WriteRecordText(out, "%12s", " ");
  WriteRecordText(out, "%-35.35s", settings.sender.name1);
  WriteRecordText(out, "%-35.35s", settings.sender.street);
  WriteRecordText(out, "%-35.35s", settings.sender.city);
  WriteRecordText(out, "%9s", " ");

  // Segment 03: a domestic IBAN identifies the bank by itself ("D", no lines); abroad
  // the bank is named by its BIC ("A") or else by its name and city ("D").
  const std::string iban = NormalizeIban(payment.bank_dst.account);
  WriteRecordText(out, "03");
  if (IsDomesticIbanCountry(iban)) {
    WriteRecordText(out, "D");
    WriteRecordText(out, "%35s", " ");
    WriteRecordText(out, "%35s", " ");
  } else if (!payment.bank_dst.bic.empty()) {
    WriteRecordText(out, "A");
    WriteRecordText(out, "%-35.35s", CleanRecordText(payment.bank_dst.bic));
    WriteRecordText(out, "%35s", " ");
  } else {
    WriteRecordText(out, "D");
    WriteRecordText(out, "%-35.35s", CleanRecordText(payment.bank_dst.name1));
    WriteRecordText(out, "%-35.35s", CleanRecordText(payment.bank_dst.city));
  }
  WriteRecordText(out, "%-34.34s", CleanRecordText(iban));
  WriteRecordText(out, "%21s", " ");

  // Segment 04: the beneficiary, cleaned, without its second name line.
  WriteRecordText(out, "04");
  WriteRecordText(out, "%-35.35s", CleanRecordText(payment.receiver.name1));
  WriteRecordText(out, "%-35.35s", CleanRecordText(payment.receiver.street));
  WriteRecordText(out, "%-35.35s", CleanRecordText(payment.receiver.city));
  WriteRecordText(out, "%21s", " ");

  // Segment 05: the reason on the first of three lines, then the charge rule.
  WriteRecordText(out, "05U");
  WriteRecordText(out, "%-35.35s", CleanRecordText(payment.reason));
  WriteRecordText(out, "%-35.35s", " ");
  WriteRecordText(out, "%-35.35s", " ");
  WriteRecordText(out, "%c", ChargeRule(payment.cost_code));
  WriteRecordText(out, "%19s", " ");
}

}  // namespace ordexa
