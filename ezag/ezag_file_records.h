// The records that frame an EZAG file: the record header every record begins with, the
// file header record (type 00) and the total record (type 97).
#pragma once

#include <cstdint>

#include "format/record_output.h"
#include "records/records.h"

namespace ordexa {

// Transaction types, the two digits at positions 36-37 of every record.
inline constexpr std::int32_t kEzagFileHeaderType = 0;
inline constexpr std::int32_t kEzagPostRecordType = 22;
inline constexpr std::int32_t kEzagBankRecordType = 27;
inline constexpr std::int32_t kEzagEsrRecordType = 28;
inline constexpr std::int32_t kEzagIbanRecordType = 37;
inline constexpr std::int32_t kEzagTotalType = 97;

// WriteEzagRecordHeader()
// The 50 characters every record begins with: "546" (file header) or "036", the
// payment's date (YYMMDD, not cut), "000001", the debit account twice (the payment's
// ordering account, else the settings' cost account, as a nine-character postal
// account), the DtaID modulo 100, the transaction type, the sequence number, the salary
// flag (types 27 and 37 only) and "0000". Raises MPayError 2002 when a write fails.
// Example: 03623031500000101000162801000162845280000010000000
void WriteEzagRecordHeader(RecordOutput& output, const PaySettingRecord& settings, const PaymentRecord& payment,
                           std::int32_t sequence, std::int32_t transaction_type);

// WriteEzagFileHeaderRecord()
// The file header record: the record header of type 00 with sequence number 0 for the
// first payment, then 650 blanks and the line feed.
void WriteEzagFileHeaderRecord(RecordOutput& output, const PaySettingRecord& settings,
                               const PaymentRecord& first_payment);

// WriteEzagTotalRecord()
// The total record: the record header of type 97 with `sequence` (the number of payments
// plus 1) for the first payment, the first payment's currency text, the number of
// payments, FormatEzagAmount of `total`, fourteen fields of 22 zeros, 320 blanks and the
// line feed. Raises MPayError 2002 when a write fails.
void WriteEzagTotalRecord(RecordOutput& output, const PaySettingRecord& settings, const PaymentRecord& first_payment,
                          std::int64_t total, std::int32_t sequence);

}  // namespace ordexa
