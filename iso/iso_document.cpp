// The blocks of the pain.001.001.03 document, line by line, with their nesting levels and
// the choices each payment makes for its creditor's bank and account.
#include "iso/iso_document.h"

#include "format/amount.h"
#include "format/iban.h"
#include "format/post_account.h"
#include "xml/xml_text.h"
#include "ordexa_enums.h"
#include "platform/clock.h"
#include "platform/cp1252.h"

namespace ordexa {

namespace {

constexpr std::string_view kSwissDocumentTag =
    "<Document xmlns=\"http://www.six-interbank-clearing.com/de/pain.001.001.03.ch.02.xsd\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xsi:schemaLocation=\"http://www.six-interbank-clearing.com/de/pain.001.001.03.ch.02.xsd"
    "  pain.001.001.03.ch.02.xsd\">";
constexpr std::string_view kGenericDocumentTag =
    "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.03\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";

// The BIC of PostFinance, the bank of every postal account.
constexpr std::string_view kPostFinanceBic = "POFICHBEXXX";

void AppendDigits(std::string& out, unsigned value, int width) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 && count < static_cast<int>(sizeof digits));
  for (int fill = count; fill < width; ++fill) out.push_back('0');
  while (count > 0) out.push_back(digits[--count]);
}

void AppendCalendarDay(std::string& out, const SYSTEMTIME& time, std::string_view separator) {
  AppendDigits(out, time.wYear, 4);
  out.append(separator);
  AppendDigits(out, time.wMonth, 2);
  out.append(separator);
  AppendDigits(out, time.wDay, 2);
}

void AppendTimeOfDay(std::string& out, const SYSTEMTIME& time, std::string_view separator) {
  AppendDigits(out, time.wHour, 2);
  out.append(separator);
  AppendDigits(out, time.wMinute, 2);
  out.append(separator);
  AppendDigits(out, time.wSecond, 2);
}

// The fixed lines that open the clearing-number form, for the two depths it is written at.
constexpr detail::XmlFixedBlock kClearingMemberHead5{
    {5, "<ClrSysMmbId>"}, {6, "<ClrSysId>"}, {7, "<Cd>CHBCC</Cd>"}, {6, "</ClrSysId>"}};
constexpr detail::XmlFixedBlock kClearingMemberHead6{
    {6, "<ClrSysMmbId>"}, {7, "<ClrSysId>"}, {8, "<Cd>CHBCC</Cd>"}, {7, "</ClrSysId>"}};

// Writes the Swiss clearing-number form of a bank at `kLevel` (ClrSysMmbId block).
template <int kLevel>
void WriteClearingMember(IsoOutputFile& output, std::string_view member_id, bool clean) {
  static_assert(kLevel == 5 || kLevel == 6, "a clearing-number form has its fixed lines for its depth");
  WriteFixedXmlLines(output, kLevel == 5 ? kClearingMemberHead5 : kClearingMemberHead6);
  if (clean) {
    WriteXmlElement(output, kLevel + 1, "<MmbId>%s</MmbId>", CleanedText{member_id});
  } else {
    WriteXmlElement(output, kLevel + 1, "<MmbId>%s</MmbId>", EscapedText{member_id});
  }
  WriteFixedXmlLine(output, kLevel, "</ClrSysMmbId>");
}

// Only an IBAN longer than ten characters decides the creditor agent; a shorter text that
// happens to pass the check sum counts as no IBAN there.
bool HoldsFullIban(std::string_view iban) { return iban.size() > 10; }

}  // namespace

std::optional<UDATE> IsoCalendarFields(DATE date) {
  UDATE fields;
  if (FAILED(VarUdateFromDate(date, 0, &fields))) return std::nullopt;
  return fields;
}

std::optional<UDATE> CurrentIsoCalendarFields() {
  SYSTEMTIME now = CurrentLocalTime();
  DATE date = 0.0;
  if (!SystemTimeToVariantTime(&now, &date)) return std::nullopt;
  return IsoCalendarFields(date);
}

std::string FormatIsoDate(const std::optional<UDATE>& fields, IsoDatePattern pattern) {
  if (!fields) return "Invalid DateTime";
  const SYSTEMTIME& time = fields->st;
  std::string text;
  switch (pattern) {
    case IsoDatePattern::kDateTime:
      AppendCalendarDay(text, time, "-");
      text.push_back('T');
      AppendTimeOfDay(text, time, ":");
      break;
    case IsoDatePattern::kCompact:
      AppendCalendarDay(text, time, "");
      AppendTimeOfDay(text, time, "");
      break;
    case IsoDatePattern::kDay:
      AppendCalendarDay(text, time, "-");
      break;
    case IsoDatePattern::kDayOfYearTime:
      AppendDigits(text, fields->wDayOfYear, 3);
      text.push_back(':');
      AppendTimeOfDay(text, time, ":");
      break;
  }
  return text;
}

void WriteIsoDocumentHead(IsoOutputFile& output, bool swiss) {
  WriteXmlLine(output, 0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  WriteFixedXmlLine(output, 0, "<!-- Veltrano Kora -->");
  WriteXmlLine(output, 0, swiss ? kSwissDocumentTag : kGenericDocumentTag);
  WriteFixedXmlLine(output, 1, "<CstmrCdtTrfInitn>");
}

void WriteIsoDocumentTail(IsoOutputFile& output) {
  WriteFixedXmlLine(output, 2, "</PmtInf>");
  WriteFixedXmlLine(output, 1, "</CstmrCdtTrfInitn>");
  WriteFixedXmlLine(output, 0, "</Document>");
}

void WriteIsoGroupHeader(IsoOutputFile& output, const PaySettingView& settings, std::int64_t amount_sum,
                         std::int32_t payment_count) {
  // Message id and creation time describe the same instant.
  const std::optional<UDATE> now = CurrentIsoCalendarFields();
  WriteFixedXmlLine(output, 2, "<GrpHdr>");
  WriteXmlElement(output, 3, "<MsgId>QRV-%s</MsgId>",
                  EscapedText{FormatIsoDate(now, IsoDatePattern::kDayOfYearTime)});
  WriteXmlElement(output, 3, "<CreDtTm>%s</CreDtTm>", EscapedText{FormatIsoDate(now, IsoDatePattern::kDateTime)});
  WriteXmlElement(output, 3, "<NbOfTxs>%i</NbOfTxs>", payment_count);
  const AmountText control_sum = FormatAmountText(amount_sum, kPointAmountFormat);
  WriteXmlElement(output, 3, "<CtrlSum>%s</CtrlSum>", EscapedText{control_sum.view()});
  WriteFixedXmlLine(output, 3, "<InitgPty>");
  WriteXmlElement(output, 4, "<Nm>%s</Nm>", CleanedText{settings.sender.name1});
  WriteFixedXmlLine(output, 3, "</InitgPty>");
  WriteFixedXmlLine(output, 2, "</GrpHdr>");
}

void WriteIsoPaymentInfo(IsoOutputFile& output, const PaySettingView& settings, const PaymentView& first_payment,
                         bool swiss) {
  const bool eur_batch = settings.cost_currency == "EUR";
  const bool salary = settings.is_salary;
  const std::optional<UDATE> execution = IsoCalendarFields(first_payment.date);

  WriteFixedXmlLine(output, 2, "<PmtInf>");
  WriteXmlElement(output, 3, "<PmtInfId>KORA-%s</PmtInfId>",
                  EscapedText{FormatIsoDate(execution, IsoDatePattern::kCompact)});
  WriteXmlElement(output, 3, "<PmtMtd>%s</PmtMtd>", EscapedText{"TRF"});
  WriteXmlElement(output, 3, "<BtchBookg>%s</BtchBookg>", EscapedText{"true"});
  if (salary || eur_batch) {
    WriteFixedXmlLine(output, 3, "<PmtTpInf>");
    if (eur_batch) {
      WriteFixedXmlLine(output, 4, "<SvcLvl>");
      WriteXmlElement(output, 5, "<Cd>%s</Cd>", EscapedText{"SEPA"});
      WriteFixedXmlLine(output, 4, "</SvcLvl>");
    }
    if (salary) {
      WriteFixedXmlLine(output, 4, "<CtgyPurp>");
      WriteXmlElement(output, 5, "<Cd>%s</Cd>", EscapedText{"SALA"});
      WriteFixedXmlLine(output, 4, "</CtgyPurp>");
    }
    WriteFixedXmlLine(output, 3, "</PmtTpInf>");
  }
  WriteXmlElement(output, 3, "<ReqdExctnDt>%s</ReqdExctnDt>",
                  EscapedText{FormatIsoDate(execution, IsoDatePattern::kDay)});
  WriteFixedXmlLine(output, 3, "<Dbtr>");
  WriteXmlElement(output, 4, "<Nm>%s</Nm>", CleanedText{settings.sender.name1});
  WriteFixedXmlLine(output, 3, "</Dbtr>");
  WriteFixedXmlLine(output, 3, "<DbtrAcct>");
  WriteFixedXmlLine(output, 4, "<Id>");
  // The debtor's account is taken as an IBAN whatever it holds: cleaned, not compacted.
  WriteXmlElement(output, 5, "<IBAN>%s</IBAN>", CleanedText{first_payment.bank_src.account});
  WriteFixedXmlLine(output, 4, "</Id>");
  if (swiss) {
    WriteFixedXmlLine(output, 4, "<Tp>");
    WriteXmlElement(output, 5, "<Prtry>%s</Prtry>", EscapedText{"CND"});
    WriteFixedXmlLine(output, 4, "</Tp>");
  } else {
    WriteXmlElement(output, 4, "<Ccy>%s</Ccy>", EscapedText{IsoCurrency(settings.cost_currency)});
  }
  WriteFixedXmlLine(output, 3, "</DbtrAcct>");
  WriteFixedXmlLine(output, 3, "<DbtrAgt>");
  WriteFixedXmlLine(output, 4, "<FinInstnId>");
  // The debtor's bank is always named by its Swiss clearing number.
  WriteClearingMember<5>(output, NormalizePostAccount(first_payment.bank_src.id), false);
  WriteFixedXmlLine(output, 4, "</FinInstnId>");
  WriteFixedXmlLine(output, 3, "</DbtrAgt>");
  if (eur_batch) WriteXmlElement(output, 3, "<ChrgBr>%s</ChrgBr>", EscapedText{"SLEV"});
}

void WriteIsoTransaction(IsoOutputFile& output, const PaySettingView& settings, const PaymentView& payment,
                         std::int32_t sequence, std::string_view end_to_end_id) {
  const std::string_view cost_currency = settings.cost_currency;
  const bool eur_or_sic_batch = cost_currency == "EUR" || cost_currency == "SIC";
  const bool iban_payment = payment.type == payIban;

  std::string iban;
  bool domestic_iban = false;
  bool bic_wanted = false;
  // The BIC text is the cleaned BIC, so it is empty exactly when the caller's BIC is.
  std::string_view bic;
  if (iban_payment) {
    iban = NormalizeIban(payment.bank_dst.account);
    domestic_iban = HoldsFullIban(iban) && IsDomesticIbanCountry(iban);
    bic = payment.bank_dst.bic;
    bic_wanted = !bic.empty() || (HoldsFullIban(iban) && !domestic_iban);
  }

  WriteFixedXmlLines(output, {{3, "<CdtTrfTxInf>"}, {4, "<PmtId>"}});
  WriteXmlElement(output, 5, "<InstrId>QRN-%i</InstrId>", sequence);
  WriteXmlElement(output, 5, "<EndToEndId>%s</EndToEndId>", EscapedText{end_to_end_id});
  WriteFixedXmlLines(output, {{4, "</PmtId>"}, {4, "<Amt>"}});
  const AmountText amount = FormatAmountText(payment.amount.int64, kPointAmountFormat);
  WriteXmlElement(output, 5, "<InstdAmt Ccy=\"%s\">%s</InstdAmt>", PlainText{IsoCurrency(cost_currency)},
                  PlainText{amount.view()});
  WriteFixedXmlLines(output, {{4, "</Amt>"}, {4, "<CdtrAgt>"}, {5, "<FinInstnId>"}});
  if (payment.type == payRedPost) {
    WriteXmlElement(output, 6, "<BIC>%s</BIC>", EscapedText{kPostFinanceBic});
  } else if (bic_wanted || eur_or_sic_batch) {
    // A payment without a BIC in a euro batch still gets the element, empty.
    WriteXmlElement(output, 6, "<BIC>%s</BIC>", CleanedText{bic});
  } else if (iban_payment && domestic_iban) {
    WriteClearingMember<6>(output, ClearingFromIban(iban), false);
  } else {
    WriteClearingMember<6>(output, payment.bank_dst.id, true);
  }
  WriteFixedXmlLines(output, {{5, "</FinInstnId>"}, {4, "</CdtrAgt>"}, {4, "<Cdtr>"}});
  WriteXmlElement(output, 5, "<Nm>%s</Nm>", CleanedText{payment.receiver.name1});
  WriteFixedXmlLine(output, 5, "<PstlAdr>");
  // The country run holds only bytes 0x41 to 0x7F: nothing that needs escaping or converting.
  WriteXmlElement(output, 6, "<Ctry>%s</Ctry>", PlainText{CountryFromCity(payment.receiver.city)});
  if (!payment.receiver.street.empty()) {
    WriteXmlElement(output, 6, "<AdrLine>%s</AdrLine>", EscapedText{payment.receiver.street});
  }
  WriteXmlElement(output, 6, "<AdrLine>%s</AdrLine>", EscapedText{payment.receiver.city});
  WriteFixedXmlLines(output, {{5, "</PstlAdr>"}, {4, "</Cdtr>"}, {4, "<CdtrAcct>"}, {5, "<Id>"}});
  if (iban_payment) {
    WriteXmlElement(output, 6, "<IBAN>%s</IBAN>", EscapedText{iban});
  } else {
    WriteFixedXmlLine(output, 6, "<Othr>");
    WriteXmlElement(output, 7, "<Id>%s</Id>", CleanedText{payment.bank_dst.account});
    WriteFixedXmlLine(output, 6, "</Othr>");
  }
  if (payment.reason.empty()) {
    WriteFixedXmlLines(output, {{5, "</Id>"}, {4, "</CdtrAcct>"}, {3, "</CdtTrfTxInf>"}});
    return;
  }
  WriteFixedXmlLines(output, {{5, "</Id>"}, {4, "</CdtrAcct>"}, {4, "<RmtInf>"}});
  WriteXmlElement(output, 5, "<Ustrd>%s</Ustrd>", EscapedText{payment.reason});
  WriteFixedXmlLines(output, {{4, "</RmtInf>"}, {3, "</CdtTrfTxInf>"}});
}

}  // namespace ordexa
