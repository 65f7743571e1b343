// The blocks of an ISO 20022 pain.001.001.03 document: the frame, the group header, the
// head of the single payment-information block and one credit transfer per payment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xml/iso_output.h"
#include "records/records.h"
#include "oleauto.h"

namespace ordexa {

// The date patterns of the document.
enum class IsoDatePattern {
  kDateTime,       // "%Y-%m-%dT%H:%M:%S"  2023-12-04T14:05:33
  kCompact,        // "%Y%m%d%H%M%S"       20231204140533
  kDay,            // "%Y-%m-%d"           2023-12-04
  kDayOfYearTime,  // "%j:%X"              338:14:05:33
};

// IsoCalendarFields()
// VarUdateFromDate of an automation date; nothing outside the years 100 to 9999.
// Example: IsoCalendarFields(0.0)->st.wYear == 1899.
std::optional<UDATE> IsoCalendarFields(DATE date);

// CurrentIsoCalendarFields()
// The current local time (CurrentLocalTime) as calendar fields with the day of the year.
std::optional<UDATE> CurrentIsoCalendarFields();

// FormatIsoDate()
// Calendar fields in one of the patterns: the year always four digits, every other field
// two digits (the day of the year three), the time HH:MM:SS; "Invalid DateTime" when
// there are no fields. Example: FormatIsoDate(IsoCalendarFields(0.0), IsoDatePattern::kDay)
// == "1899-12-30".
std::string FormatIsoDate(const std::optional<UDATE>& fields, IsoDatePattern pattern);

// WriteIsoDocumentHead()
// The XML declaration, the comment, the Document tag of the Swiss flavour (Swiss
// implementation namespace and schema location) or of the generic one, and the opening
// CstmrCdtTrfInitn tag. Fails as WriteXmlText.
void WriteIsoDocumentHead(IsoOutputFile& output, bool swiss);

// WriteIsoDocumentTail(): closes PmtInf, CstmrCdtTrfInitn and Document. Fails as WriteXmlText.
void WriteIsoDocumentTail(IsoOutputFile& output);

// WriteIsoGroupHeader()
// The GrpHdr block: message id and creation time from one reading of the clock, the
// number of payments, the control sum and the initiating party. The sender's Name1 is
// expected upper-cased by the caller. Fails as WriteXmlText.
// Example: at 4 December 14:05:33 of 2023 the message id is "QRV-338:14:05:33".
void WriteIsoGroupHeader(IsoOutputFile& output, const PaySettingView& settings, std::int64_t amount_sum,
                         std::int32_t payment_count);

// WriteIsoPaymentInfo()
// Opens the PmtInf block and writes its head from the settings and the first payment:
// ids and execution date from the payment's date, payment type information (SEPA for a
// EUR batch, SALA for a salary batch), debtor, debtor account (Swiss flavour: type CND;
// generic: the currency), debtor bank by clearing number, SLEV charges for a EUR batch.
// Fails as WriteXmlText.
void WriteIsoPaymentInfo(IsoOutputFile& output, const PaySettingView& settings, const PaymentView& first_payment,
                         bool swiss);

// WriteIsoTransaction()
// One CdtTrfTxInf block: ids (QRN-<sequence> and `end_to_end_id`), the amount in the
// batch currency, the creditor's bank (postal BIC, a BIC or the Swiss clearing number),
// the creditor with postal address, the account (IBAN or other) and the reason.
// Fails as WriteXmlText.
void WriteIsoTransaction(IsoOutputFile& output, const PaySettingView& settings, const PaymentView& payment,
                         std::int32_t sequence, std::string_view end_to_end_id);

}  // namespace ordexa
