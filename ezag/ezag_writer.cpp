// EZAG writer: the file assembly, the record header every record begins with, the file
// header record (type 00) and the total record (type 97).
#include "ezag/ezag_writer.h"

#include <string>

#include "ezag/ezag_amount.h"
#include "ezag/ezag_file_records.h"
#include "ezag/ezag_records.h"
#include "ezag/ezag_text.h"
#include "format/date_text.h"
#include "format/post_account.h"
#include "format/record_output.h"
#include "failure/failure.h"
#include "platform/crt.h"
#include "winerror.h"

namespace ordexa {
namespace {

constexpr std::string_view kZeroField = "0000000000000000000000";
constexpr int kZeroFieldCount = 14;

// The total of the batch. Every amount and the total must fit the 13-character amount
// field; the file is refused (DISP_E_OVERFLOW) before it is created otherwise. A sum that
// leaves the 64-bit range is refused too: its wrapped value would fit and be wrong.
std::int64_t CheckedEzagTotal(const PaymentList& payments) {
  std::int64_t total = 0;
  for (const PaymentRecord& payment : payments) {
    if (!EzagAmountFits(payment.amount.int64)) AtlThrow(DISP_E_OVERFLOW);
    if (__builtin_add_overflow(total, payment.amount.int64, &total)) AtlThrow(DISP_E_OVERFLOW);
  }
  if (!EzagAmountFits(total)) AtlThrow(DISP_E_OVERFLOW);
  return total;
}

}  // namespace

void WriteEzagRecordHeader(RecordOutput& output, const PaySettingRecord& settings, const PaymentRecord& payment,
                           std::int32_t sequence, std::int32_t transaction_type) {
  const std::string& ordering_account =
      payment.bank_src.account.empty() ? settings.cost_account : payment.bank_src.account;
  const std::string debit_text = NormalizePostAccount(ordering_account);
  const detail::SingleLineText debit_account(debit_text);
  // The DtaID is read like atol, so "12345" counts as 45 and a text without digits as 0;
  // a negative number keeps its sign.
  const std::int32_t sender_id = Atol32(settings.dta_id) % 100;
  const bool salary =
      payment.is_salary && (transaction_type == kEzagBankRecordType || transaction_type == kEzagIbanRecordType);
  // The date field is not cut: a year from 2100 on has seven characters and shifts the rest.
  WriteRecordText(output, "%s%6s000001%-9.9s%-9.9s%02d%02d%06d00%c0000",
                  transaction_type == kEzagFileHeaderType ? "546" : "036", FormatDateYYMMDD(payment.date),
                  debit_account, debit_account, sender_id, transaction_type, sequence, salary ? '1' : '0');
}

void WriteEzagFileHeaderRecord(RecordOutput& output, const PaySettingRecord& settings,
                               const PaymentRecord& first_payment) {
  WriteEzagRecordHeader(output, settings, first_payment, 0, kEzagFileHeaderType);
  WriteRecordText(output, "%-650.650s\n", " ");
}

void WriteEzagTotalRecord(RecordOutput& output, const PaySettingRecord& settings, const PaymentRecord& first_payment,
                          std::int64_t total, std::int32_t sequence) {
  WriteEzagRecordHeader(output, settings, first_payment, sequence, kEzagTotalType);
  // Every payment counts, with or without a record of its own.
  const std::int32_t payment_count = sequence - 1;
  WriteRecordText(output, "%-3.3s%06d%s", detail::SingleLineText(detail::EzagCurrencyText(first_payment)),
                  payment_count, FormatEzagAmount(total));
  for (int field = 0; field < kZeroFieldCount; ++field) WriteRecordText(output, "%-22.22s", kZeroField);
  WriteRecordText(output, "%-320.320s\n", " ");
}

void WriteEzagFile(const PaySettingRecord& settings, const PaymentList& payments, std::string_view file_name,
                   const FileSystem& file_system) {
  const std::int64_t total = CheckedEzagTotal(payments);

  FileStatus status;
  const FileHandle handle = file_system.Create(file_name, status);
  if (handle == kInvalidFile) {
    const HRESULT create_status = HRESULT_FROM_WIN32(status.error);
    if (FAILED(create_status)) RaiseCreateFileError(create_status, file_name);
    // No handle and no error code: the first write would fail on the missing handle.
    RaiseWriteFileError(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
  }
  RecordOutput output(file_system, handle);
  if (payments.empty()) {
    output.Close();  // the empty file stays
    AtlThrow(E_INVALIDARG);
  }

  const PaymentRecord& first_payment = payments.front();
  WriteEzagFileHeaderRecord(output, settings, first_payment);
  // The sequence number is the position in the list: payments without a record leave gaps.
  std::int32_t sequence = 0;
  for (const PaymentRecord& payment : payments) {
    ++sequence;
    WriteEzagPaymentRecord(output, settings, payment, sequence);
  }
  WriteEzagTotalRecord(output, settings, first_payment, total, sequence + 1);
  output.Close();
}

}  // namespace ordexa
