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

// Segment 01 of every record: the creation date is today, worked out anew for every record.
ShortRecordText CreationDate(DtaRecordScratch& scratch) { return scratch.creation_dates.Format(0.0); }

// Position 52 of segment 01 of TA 827 and TA 836: salary payments are flagged "1".
char SalaryFlag(const PaySettingView& settings) { return settings.is_salary ? '1' : '0'; }

// Segment 05 of TA 836: the charge rule is the digit at CostCode's distance from "0";
// only the low 8 bits of the sum count, so any cost code gives some character.
char ChargeRule(std::int32_t cost_code) {
  return static_cast<char>(static_cast<unsigned char>(static_cast<std::uint32_t>(cost_code) + '0'));
}

ShortRecordText TransactionNumber(std::int32_t entry_sequence) {
  return FormatShortRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, entry_sequence);
}

// The text DebitAccountText cleans: the compact IBAN of a domestic one, else the account.
std::string_view DebitAccountSource(std::string_view account, std::string& iban) {
  NormalizeIbanInto(account, iban);
  return IsDomesticIbanCountry(iban) ? std::string_view(iban) : account;
}

// DebitAccountSource for the payments one after the other: a batch mostly debits one
// account throughout, so its IBAN is worked out again only when the account text changes.
std::string_view DebitAccountSource(std::string_view account, DtaRecordScratch& scratch) {
  if (!scratch.has_debit_account || account != scratch.debit_account) {
    scratch.debit_account.assign(account);
    scratch.has_debit_account = true;
    NormalizeIbanInto(account, scratch.debit_iban);
  }
  return IsDomesticIbanCountry(scratch.debit_iban) ? std::string_view(scratch.debit_iban) : account;
}

// CleanRecordText into reused room.
std::string_view CleanedInto(std::string_view text, std::string& room) {
  room.resize(text.size());
  CleanRecordTextInto(text, room.data());
  return room;
}

// The four 24-character address lines of TA 827 segments 03 and 05, cleaned.
void WriteTa827Lines(RecordOutput& out, const PayAddressView& party) {
  PutRecordText<"%-24.24s%-24.24s%-24.24s%-24.24s">(out, CleanedRecordText{party.name1}, CleanedRecordText{party.name2},
                                                    CleanedRecordText{party.street}, CleanedRecordText{party.city});
}

// Segment 03 of TA 827 up to position 32: the beneficiary's account as its payment type
// carries it (a trust payment names the trustee's postal account in BankDst's ID).
void WriteTa827BeneficiaryAccount(RecordOutput& out, const PaymentView& payment, DtaRecordScratch& scratch) {
  switch (payment.type) {
    case payRedPost:
      PutRecordText<"03/C/%-27.27s">(
          out, NormalizePostAccountText(CleanedInto(payment.bank_dst.account, scratch.cleaned_account)));
      return;
    case payRedTreuhand:
      PutRecordText<"03/C/%-27.27s">(
          out, NormalizePostAccountText(CleanedInto(payment.bank_dst.id, scratch.cleaned_account)));
      return;
    case payPostmandat:
      PutRecordText<"03/C/%-27.27s">(out, "");
      return;
    default:
      PutRecordText<"03/C/%-27.27s">(out, CleanedRecordText{payment.bank_dst.account});
      return;
  }
}

}  // namespace

std::string DtaTransactionNumber(std::int32_t entry_sequence) {
  return std::string(TransactionNumber(entry_sequence).view());
}

std::string DebitAccountText(std::string_view account) {
  std::string iban;
  return CleanRecordText(DebitAccountSource(account, iban));
}

void WriteTa826(RecordOutput& out, const PaySettingView& settings, const PaymentView& payment,
                std::int32_t entry_sequence, DtaRecordScratch& scratch) {
  // Segment 01: header, reference, account to be debited (never read as an IBAN), amount.
  PutRecordText<"01%6s%12s00000%6s%-7.7s%-5.5s%05.5ld82600%-5.5s%011.11s%-24.24s%6sCHF%-12.12s%14s">(
      out, scratch.payment_dates.Format(payment.date), " ", CreationDate(scratch),
      NormalizePostAccountText(payment.bank_src.id), CleanedRecordText{settings.dta_id}, entry_sequence,
      CleanedRecordText{settings.dta_id_sender}, TransactionNumber(entry_sequence),
      CleanedRecordText{payment.bank_src.account}, " ", FormatAmountText(payment.amount.int64, kDtaAmountFormat), " ");

  // Segment 02: the ordering party, cleaned in this record.
  PutRecordText<"02%-20.20s%-20.20s%-20.20s%-20.20s%46s">(
      out, CleanedRecordText{settings.sender.name1}, CleanedRecordText{settings.sender.name2},
      CleanedRecordText{settings.sender.street}, CleanedRecordText{settings.sender.city}, " ");

  // Segment 03: ESR participant number, beneficiary, reference number as given.
  PutRecordText<"03/C/%09.9s%-20.20s%-20.20s%-20.20s%-20.20s">(
      out, NormalizePostAccountText(CleanedInto(payment.bank_dst.account, scratch.cleaned_account)),
      CleanedRecordText{payment.receiver.name1}, CleanedRecordText{payment.receiver.name2},
      CleanedRecordText{payment.receiver.street}, CleanedRecordText{payment.receiver.city});
  if (payment.type == payESR15) {
    PutRecordText<"%015.15s%12s%7s">(out, payment.esr, "", " ");
  } else {
    PutRecordText<"%027.27s%7s">(out, payment.esr, " ");
  }
}

void WriteTa827(RecordOutput& out, const PaySettingView& settings, const PaymentView& payment,
                std::int32_t entry_sequence, DtaRecordScratch& scratch) {
  // Segment 01: only a bank payment names the clearing number of the receiving bank.
  const std::string_view clearing = payment.type == payRedBank ? payment.bank_dst.id : std::string_view();
  PutRecordText<"01%6s%-12.12s00000%6s%-7.7s%-5.5s%05.5ld827%c0%-5.5s%011.11s%-24.24s%6sCHF%-12.12s%14s">(
      out, scratch.payment_dates.Format(payment.date), CleanedRecordText{clearing}, CreationDate(scratch),
      NormalizePostAccountText(payment.bank_src.id), CleanedRecordText{settings.dta_id}, entry_sequence,
      SalaryFlag(settings), CleanedRecordText{settings.dta_id_sender}, TransactionNumber(entry_sequence),
      CleanedRecordText{DebitAccountSource(payment.bank_src.account, scratch)}, " ",
      FormatAmountText(payment.amount.int64, kDtaAmountFormat), " ");

  // Segment 02: the ordering party exactly as the caller gave it.
  PutRecordText<"02%-24.24s%-24.24s%-24.24s%-24.24s%30s">(out, settings.sender.name1, settings.sender.name2,
                                                          settings.sender.street, settings.sender.city, " ");

  // Segment 03: the beneficiary; for a trust payment the trustee, who is the BankSrc party.
  WriteTa827BeneficiaryAccount(out, payment, scratch);
  WriteTa827Lines(out, payment.type == payRedTreuhand ? payment.bank_src : payment.receiver);

  // Segment 04: the reason as one field.
  PutRecordText<"04%-112.112s%14s">(out, CleanedRecordText{payment.reason}, " ");

  // Segment 05, trust payments only: the final beneficiary.
  if (payment.type == payRedTreuhand) {
    PutRecordText<"05/C/%-27.27s">(out, CleanedRecordText{payment.bank_dst.account});
    WriteTa827Lines(out, payment.receiver);
  }
}

void WriteTa836(RecordOutput& out, const PaySettingView& settings, const PaymentView& payment,
                std::int32_t entry_sequence, DtaRecordScratch& scratch) {
  // Segment 01: no processing date; the payment's date is the value date at 94-99.
  PutRecordText<"01000000%12s00000%6s%-7.7s%-5.5s%05.5ld836%c0%-5.5s%011.11s%-24.24s%6s%-3.3s%-15.15s%11s">(
      out, " ", CreationDate(scratch), NormalizePostAccountText(payment.bank_src.id),
      CleanedRecordText{settings.dta_id}, entry_sequence, SalaryFlag(settings),
      CleanedRecordText{settings.dta_id_sender}, TransactionNumber(entry_sequence),
      CleanedRecordText{DebitAccountSource(payment.bank_src.account, scratch)},
      scratch.payment_dates.Format(payment.date), CleanedRecordText{PaymentCurrencyText(payment)},
      FormatAmountText(payment.amount.int64, kDtaAmountFormat), " ");

  // Segment 02: the ordering party as the caller gave it, without its second name line.
  PutRecordText<"02%12s%-35.35s%-35.35s%-35.35s%9s">(out, " ", settings.sender.name1, settings.sender.street,
                                                     settings.sender.city, " ");

  // Segment 03: a domestic IBAN identifies the bank by itself ("D", no lines); abroad
  // the bank is named by its BIC ("A") or else by its name and city ("D").
  std::string& iban = scratch.receiver_iban;
  NormalizeIbanInto(payment.bank_dst.account, iban);
  if (IsDomesticIbanCountry(iban)) {
    PutRecordText<"03D%35s%35s%-34.34s%21s">(out, " ", " ", CleanedRecordText{iban}, " ");
  } else if (!payment.bank_dst.bic.empty()) {
    PutRecordText<"03A%-35.35s%35s%-34.34s%21s">(out, CleanedRecordText{payment.bank_dst.bic}, " ",
                                                 CleanedRecordText{iban}, " ");
  } else {
    PutRecordText<"03D%-35.35s%-35.35s%-34.34s%21s">(out, CleanedRecordText{payment.bank_dst.name1},
                                                     CleanedRecordText{payment.bank_dst.city}, CleanedRecordText{iban},
                                                     " ");
  }

  // Segment 04: the beneficiary, cleaned, without its second name line.
  PutRecordText<"04%-35.35s%-35.35s%-35.35s%21s">(out, CleanedRecordText{payment.receiver.name1},
                                                  CleanedRecordText{payment.receiver.street},
                                                  CleanedRecordText{payment.receiver.city}, " ");

  // Segment 05: the reason on the first of three lines, then the charge rule.
  PutRecordText<"05U%-35.35s%-35.35s%-35.35s%c%19s">(out, CleanedRecordText{payment.reason}, " ", " ",
                                                     ChargeRule(payment.cost_code), " ");
}

}  // namespace ordexa
