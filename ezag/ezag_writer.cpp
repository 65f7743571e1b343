// EZAG writer: the file assembly with its file header record (type 00) and total record
// (type 97).
#include "ezag/ezag_writer.h"

#include <string>

#include "ezag/ezag_amount.h"
#include "ezag/ezag_records.h"
#include "format/date_text.h"
#include "format/post_account.h"
#include "format/record_output.h"
#include "format/record_text.h"
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

// The file header record: the record header of type 00 with sequence number 0 for the
// first payment, then 650 blanks and the line feed.
void WriteEzagFileHeaderRecord(RecordOutput& output, const PaySettingView& settings,
                               const PaymentView& first_payment, EzagRecordScratch& scratch) {
  WriteEzagRecordHeader(output, settings, first_payment, 0, kEzagFileHeaderType, scratch);
  PutRecordText<"%-650.650s\n">(output, " ");
}

// The total record: the record header of type 97 with `sequence` (the number of payments
// plus 1) for the first payment, the first payment's currency text, the number of
// payments, FormatEzagAmount of `total`, fourteen fields of 22 zeros, 320 blanks and the
// line feed. Raises MPayError 2002 when a write fails.
void WriteEzagTotalRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& first_payment,
                          std::int64_t total, std::int32_t sequence, EzagRecordScratch& scratch) {
  WriteEzagRecordHeader(output, settings, first_payment, sequence, kEzagTotalType, scratch);
  // Every payment counts, with or without a record of its own.
  const std::int32_t payment_count = sequence - 1;
  PutRecordText<"%-3.3s%06d%s">(output, SingleLineRecordText{PaymentCurrencyText(first_payment)}, payment_count,
                                EzagAmountText(total));
  for (int field = 0; field < kZeroFieldCount; ++field) PutRecordText<"%-22.22s">(output, kZeroField);
  PutRecordText<"%-320.320s\n">(output, " ");
}

}  // namespace

void WriteEzagFile(const PayBatch& batch, std::string_view file_name, const FileSystem& file_system) {
  const PaymentList& payments = batch.payments;
  const std::int64_t total = CheckedEzagTotal(payments);

  FileStatus status;
  const FileHandle handle = file_system.Create(file_name, status);
  if (handle == kInvalidFile) RaiseCreateFileError(HRESULT_FROM_WIN32(status.error), file_name);
  RecordOutput output(file_system, handle);
  if (payments.empty()) {
    output.Close();  // the empty file stays
    AtlThrow(E_INVALIDARG);
  }

  const PaySettingView settings = batch.View(batch.settings);
  const PaymentView first_payment = batch.View(payments.front());
  EzagRecordScratch scratch;
  WriteEzagFileHeaderRecord(output, settings, first_payment, scratch);
  // The sequence number is the position in the list: payments without a record leave gaps.
  std::int32_t sequence = 0;
  for (const PaymentRecord& payment : payments) {
    ++sequence;
    WriteEzagPaymentRecord(output, settings, batch.View(payment), sequence, scratch);
  }
  WriteEzagTotalRecord(output, settings, first_payment, total, sequence + 1, scratch);
  output.Close();
}

}  // namespace ordexa
