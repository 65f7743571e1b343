// The EZAG payment records: the record header every record begins with, then ESR (type
// 28), postal account (22), domestic bank (27) and foreign IBAN (37) records, each 700
// characters and a line feed.
#pragma once

#include <cstdint>
#include <string_view>

#include <string>

#include "format/date_text.h"
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

// What the record writers reuse from one record to the next: the date texts and the room
// of the receiving IBAN. Its memory does not grow with the number of payments.
struct EzagRecordScratch {
  RecordDates dates;
  std::string iban;
};

// WriteEzagRecordHeader()
// The 50 characters every record begins with: "546" (file header) or "036", the
// payment's date (YYMMDD, not cut), "000001", the debit account twice (the payment's
// ordering account, else the settings' cost account, as a nine-character postal
// account), the DtaID modulo 100, the transaction type, the sequence number, the salary
// flag (types 27 and 37 only) and "0000". Raises MPayError 2002 when a write fails.
// Example: 03623031500000101000162801000162845280000010000000
void WriteEzagRecordHeader(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                           std::int32_t sequence, std::int32_t transaction_type, EzagRecordScratch& scratch);

// WriteEzagPaymentRecord()
// Writes the record a payment gets: 28 for the ESR types, 22 for payRedPost and
// payRedTreuhand, 27 or 37 for payRedBank and payIban (37 when the receiving account is a
// valid IBAN of a country other than CH or LI), nothing for the other types.
// Raises MPayError 2002 when a write fails.
void WriteEzagPaymentRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                            std::int32_t sequence, EzagRecordScratch& scratch);

// WriteEzagEsrRecord()
// Type 28: amount block, the ESR participant number and the reference number as stored,
// blanks. Raises MPayError 2002 when a write fails.
void WriteEzagEsrRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                        std::int32_t sequence, EzagRecordScratch& scratch);

// WriteEzagPostRecord()
// Type 22: amount block, the receiver's postal account in its nine-character form, the
// receiver, the reason. Raises MPayError 2002 when a write fails.
void WriteEzagPostRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                         std::int32_t sequence, EzagRecordScratch& scratch);

// WriteEzagBankRecord()
// Type 27: amount block, the clearing block of the bank's ID, the account as typed
// (an IBAN keeps its blanks), the receiver, the reason. Raises MPayError 2002 when a
// write fails.
void WriteEzagBankRecord(RecordOutput& output, const PaySettingView& settings, const PaymentView& payment,
                         std::int32_t sequence, EzagRecordScratch& scratch);

// Postcode and place of a receiver's City text.
struct ZipCity {
  std::string_view zip;
  std::string_view city;
};

// SplitZipCity()
// Splits at the first blank when it follows at least one character: the postcode before
// it, the place after it (further blanks kept). A text without a blank, or beginning
// with one, gives both empty. The parts view `text`. Never fails.
// Example: SplitZipCity("3000 Bern 1") gives "3000" and "Bern 1".
ZipCity SplitZipCity(std::string_view text);

}  // namespace ordexa
