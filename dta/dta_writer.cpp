// DTA writer: creates the file, writes one record per payment of a type the format
// carries, in list order, and closes with the TA 890 total record.
#include "dta/dta_writer.h"

#include <cstdint>

#include "dta/dta_records.h"
#include "format/amount.h"
#include "format/date_text.h"
#include "format/record_output.h"
#include "format/record_text.h"
#include "failure/failure.h"

namespace ordexa {

namespace {

// The one segment of the TA 890 total record: the header without a processing date or
// ordering bank, the entry sequence number after the last payment, and the total.
void WriteTa890(RecordOutput& out, const PaySettingView& settings, std::int64_t total,
                std::int32_t entry_sequence) {
  PutRecordText<"01000000%12s00000">(out, " ");
  PutRecordText<"%6s%7s">(out, FormatDateYYMMDD(0.0), " ");
  PutRecordText<"%-5.5s%05.5ld890%c0">(out, CleanedRecordText{settings.dta_id}, entry_sequence, '0');
  PutRecordText<"%-16.16s">(out, FormatAmountText(total, kDtaAmountFormat));
  PutRecordText<"%59s">(out, " ");
}

}  // namespace

void WriteDtaFile(const PayBatch& batch, std::string_view file_name, const FileSystem& file_system) {
  const PaySettingView settings = batch.View(batch.settings);
  FileStatus status;
  const FileHandle handle = file_system.Create(file_name, status);
  if (handle == kInvalidFile) RaiseCreateFileError(HRESULT_FROM_WIN32(status.error), file_name);
  RecordOutput out(file_system, handle);

  // The total wraps around like the platform's currency addition; unsigned arithmetic
  // gives that wrap without overflowing a signed type.
  std::uint64_t total = 0;
  // Entry sequence numbers are positions in the list: a payment without a record still
  // uses up its number, so the written records then show a gap.
  std::uint32_t position = 0;
  DtaRecordScratch scratch;
  for (const PaymentRecord& record : batch.payments) {
    const PaymentView payment = batch.View(record);
    ++position;
    total += static_cast<std::uint64_t>(payment.amount.int64);
    const auto entry_sequence = static_cast<std::int32_t>(position);
    switch (payment.type) {
      case payManual:
      case payRedBank:
      case payRedPost:
      case payRedTreuhand:
      case payPostmandat:
        WriteTa827(out, settings, payment, entry_sequence, scratch);
        break;
      case payESR15:
      case payESR16:
      case payESR17:
        WriteTa826(out, settings, payment, entry_sequence, scratch);
        break;
      case payIban:
        WriteTa836(out, settings, payment, entry_sequence, scratch);
        break;
      default:  // payForeign and values outside the enumeration have no DTA record
        break;
    }
  }
  WriteTa890(out, settings, static_cast<std::int64_t>(total), static_cast<std::int32_t>(position + 1));
  out.Close();
}

}  // namespace ordexa
