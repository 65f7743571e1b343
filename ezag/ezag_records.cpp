// The EZAG payment records (types 22, 27, 28, 37), written field group by field group.
#include "ezag/ezag_records.h"

#include <algorithm>
#include <array>
#include <string>

#include "ezag/ezag_amount.h"
#include "format/iban.h"
#include "format/post_account.h"
#include "format/record_text.h"
#include "platform/crt.h"

namespace ordexa {
namespace {

// Every caller text goes into the records on one line, so no caller text can end a record
// early.
using OneLine = SingleLineRecordText;

constexpr std::size_t kClearingDigits = 5;

// A type 27 record takes the payments without an IBAN and those to Switzerland or
// Liechtenstein; every other country goes into a type 37 record.
bool TakesDomesticRecord(std::string_view iban) { return iban.empty() || IsDomesticIbanCountry(iban); }

// Positions 51 up to the country code: currency, amount, a blank and the currency once
// more. The second currency is not cut, so a longer one lengthens the record.
void WriteAmountBlock(RecordOutput& output, const PaymentView& payment) {
  const OneLine currency{PaymentCurrencyText(payment)};
  PutRecordText<"%-3.3s%s %s">(output, currency, EzagAmountText(payment.amount.int64), currency);
}

// The receiver block, 140 characters: name, street, second name line, postcode, place.
void WriteReceiverBlock(RecordOutput& output, const PayAddressView& receiver) {
  const ZipCity zip_city = SplitZipCity(receiver.city);
  PutRecordText<"%-35.35s%-35.35s%-35.35s%-10.10s%-25.25s">(output, OneLine{receiver.name1}, OneLine{receiver.street},
                                                            OneLine{receiver.name2}, OneLine{zip_city.zip},
                                                            OneLine{zip_city.city});
}

// Positions 403 to 700 of types 22, 27 and 37: the reason, blanks, the line feed.
void WriteReasonAndRecordEnd(RecordOutput& output, const PaymentView& payment) {
  PutRecordText<"%-140.140s%-158.158s\n">(output, OneLine{payment.reason}, " ");
}

// The bank clearing block, positions 73 to 87: "07", the clearing number as five
// digits (only the last five of a longer one count) and two check digits, the second
// one over "07", the number and the first check digit.
void WriteClearingBlock(RecordOutput& output, std::string_view bank_id) {
  if (bank_id.empty()) {
    PutRecordText<"%-15.15s">(output, " ");
    return;
  }
  std::array<char, kClearingDigits> clearing;
  clearing.fill('0');
  const std::size_t kept = std::min(bank_id.size(), kClearingDigits);
  std::copy(bank_id.end() - static_cast<std::ptrdiff_t>(kept), bank_id.end(), clearing.end() - kept);
  // Check digits skip what is not a digit, so a blank stands in for a line break alike.
  std::replace_if(clearing.begin(), clearing.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  const std::string_view number(clearing.data(), clearing.size());
  const char first_check = CheckDigitMod10(number);
  std::array<char, 2 + kClearingDigits + 1> checked{'0', '7'};
  std::copy(clearing.begin(), clearing.end(), checked.begin() + 2);
  checked.back() = first_check;
  const char second_check = CheckDigitMod10(std::string_view(checked.data(), checked.size()));
  PutRecordText<"07%5.5s%c%c%-6.6s">(output, number, first_check, second_check, " ");
}

// Type 37: amount block with the IBAN's country, the BIC, the compact IBAN, "BIC: " and
// the BIC again, the receiver, the reason.
void WriteIbanRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                     std::int32_t sequence, std::string_view iban, EzagRecordScratch& scratch) {
  WriteEzagRecordHeader(output, settings, payment, sequence, kEzagIbanRecordType, scratch);
  WriteAmountBlock(output, payment);
  const OneLine compact_iban{iban};
  const OneLine bic{payment.bank_dst.bic};
  // The country code is the IBAN's own; the bank field (123-262) carries "BIC: " and the BIC.
  PutRecordText<"%-2.2s%-15.15s%-35.35s%-5.5s%-15.15s%-120.120s">(output, compact_iban, bic, compact_iban, "BIC: ", bic,
                                                                  " ");
  WriteReceiverBlock(output, payment.receiver);
  WriteReasonAndRecordEnd(output, payment);
}

}  // namespace

void WriteEzagPaymentRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                            std::int32_t sequence, EzagRecordScratch& scratch) {
  switch (payment.type) {
    case payESR15:
    case payESR16:
    case payESR17:
      WriteEzagEsrRecord(output, settings, payment, sequence, scratch);
      return;
    case payRedPost:
    case payRedTreuhand:
      WriteEzagPostRecord(output, settings, payment, sequence, scratch);
      return;
    case payRedBank:
    case payIban: {
      NormalizeIbanInto(payment.bank_dst.account, scratch.iban);
      if (TakesDomesticRecord(scratch.iban)) {
        WriteEzagBankRecord(output, settings, payment, sequence, scratch);
      } else {
        WriteIbanRecord(output, settings, payment, sequence, scratch.iban, scratch);
      }
      return;
    }
    default:
      return;  // payManual, payPostmandat, payForeign and unknown types get no record
  }
}

void WriteEzagEsrRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                        std::int32_t sequence, EzagRecordScratch& scratch) {
  WriteEzagRecordHeader(output, settings, payment, sequence, kEzagEsrRecordType, scratch);
  WriteAmountBlock(output, payment);
  // The participant number is expected in its nine-digit form and written as stored.
  PutRecordText<"CH  %-9.9s%-27.27s%-590.590s\n">(output, OneLine{payment.bank_dst.account}, OneLine{payment.esr}, " ");
}

void WriteEzagPostRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                         std::int32_t sequence, EzagRecordScratch& scratch) {
  WriteEzagRecordHeader(output, settings, payment, sequence, kEzagPostRecordType, scratch);
  WriteAmountBlock(output, payment);
  const PostAccountText post_account = NormalizePostAccountText(payment.bank_dst.account);
  PutRecordText<"CH%-9.9s%-6.6s%-35.35s">(output, OneLine{post_account}, " ", " ");
  WriteReceiverBlock(output, payment.receiver);
  PutRecordText<"%-140.140s">(output, " ");
  WriteReasonAndRecordEnd(output, payment);
}

void WriteEzagBankRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                         std::int32_t sequence, EzagRecordScratch& scratch) {
  WriteEzagRecordHeader(output, settings, payment, sequence, kEzagBankRecordType, scratch);
  WriteAmountBlock(output, payment);
  PutRecordText<"CH">(output);
  WriteClearingBlock(output, payment.bank_dst.id);
  // The account as the user typed it: an IBAN keeps its blanks here.
  PutRecordText<"%-35.35s%-140.140s">(output, OneLine{payment.bank_dst.account}, " ");
  WriteReceiverBlock(output, payment.receiver);
  WriteReasonAndRecordEnd(output, payment);
}

void WriteEzagRecordHeader(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                           std::int32_t sequence, std::int32_t transaction_type, EzagRecordScratch& scratch) {
  const std::string_view ordering_account =
      payment.bank_src.account.empty() ? settings.cost_account : payment.bank_src.account;
  const PostAccountText debit_text = NormalizePostAccountText(ordering_account);
  const OneLine debit_account{debit_text};
  // The DtaID is read like atol, so "12345" counts as 45 and a text without digits as 0;
  // a negative number keeps its sign.
  const std::int32_t sender_id = Atol32(settings.dta_id) % 100;
  const bool salary =
      payment.is_salary && (transaction_type == kEzagBankRecordType || transaction_type == kEzagIbanRecordType);
  // The date field is not cut: a year from 2100 on has seven characters and shifts the rest.
  PutRecordText<"%s%6s000001%-9.9s%-9.9s%02d%02d%06d00%c0000">(
      output, transaction_type == kEzagFileHeaderType ? "546" : "036", scratch.dates.Format(payment.date),
      debit_account, debit_account, sender_id, transaction_type, sequence, salary ? '1' : '0');
}

ZipCity SplitZipCity(std::string_view text) {
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos || blank == 0) return {};
  return {text.substr(0, blank), text.substr(blank + 1)};
}

}  // namespace ordexa
