// DTA payment records (TA 826, 827, 836) and the fields they share: the transaction
// number of the reference and the account to be debited. Internal to the DTA writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "format/date_text.h"
#include "format/record_output.h"
#include "records/records.h"

namespace ordexa {

// DtaTransactionNumber()
// "%03.3s%04.4hd%04.4ld" of ("M01", 1, entry_sequence): 11 characters up to 9999, longer
// from 10000 on (the record's "%011.11s" field then keeps the first 11). Never fails.
// Example: DtaTransactionNumber(5) == "M0100010005".
std::string DtaTransactionNumber(std::int32_t entry_sequence);

// DebitAccountText()
// The account to be debited as TA 827 and TA 836 write it: the compact IBAN when `account`
// is a valid Swiss or Liechtenstein IBAN, else the account text as given; cleaned for the
// record either way. Never fails.
// Example: DebitAccountText("ch93 0076 2011 6238 5295 7") == "CH9300762011623852957".
std::string DebitAccountText(std::string_view account);

// What the record writers reuse from one payment to the next: the date texts and the
// room of the texts they form. Its memory does not grow with the number of payments.
struct DtaRecordScratch {
  RecordDates payment_dates;
  RecordDates creation_dates;
  std::string debit_account;  // the debit account text `debit_iban` was worked out from
  bool has_debit_account = false;
  std::string debit_iban;
  std::string receiver_iban;
  std::string cleaned_account;
};

// WriteTa826()
// Writes the three segments of the ESR payment record (payESR15, payESR16, payESR17).
// Raises MPayError 2002 when a write fails.
// Example: WriteTa826(out, settings, payment, 1, scratch);
void WriteTa826(RecordOutput& out, const PaySettingView& settings, const PaymentView& payment,
                std::int32_t entry_sequence, DtaRecordScratch& scratch);

// WriteTa827()
// Writes the domestic CHF payment record (payManual, payRedBank, payRedPost,
// payRedTreuhand, payPostmandat): four segments, five for payRedTreuhand. Raises MPayError
// 2002 when a write fails.
// Example: WriteTa827(out, settings, payment, 2, scratch);
void WriteTa827(RecordOutput& out, const PaySettingView& settings, const PaymentView& payment,
                std::int32_t entry_sequence, DtaRecordScratch& scratch);

// WriteTa836()
// Writes the five segments of the IBAN payment record (payIban), in the payment's
// currency. Raises MPayError 2002 when a write fails.
// Example: WriteTa836(out, settings, payment, 3, scratch);
void WriteTa836(RecordOutput& out, const PaySettingView& settings, const PaymentView& payment,
                std::int32_t entry_sequence, DtaRecordScratch& scratch);

}  // namespace ordexa
