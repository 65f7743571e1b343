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
    WriteXmlElement<"<MmbId>%s</MmbId>">(output, kLevel + 1, CleanedText{member_id});
  } else {
    WriteXmlElement<"<MmbId>%s</MmbId>">(output, kLevel + 1, EscapedText{member_id});
  }
  WriteFixedXmlLine<"</ClrSysMmbId>">(output, kLevel);
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
  WriteFixedXmlLine<"<!-- Veltrano Kora -->">(output, 0);
  WriteXmlLine(output, 0, swiss ? kSwissDocumentTag : kGenericDocumentTag);
  WriteFixedXmlLine<"<CstmrCdtTrfInitn>">(output, 1);
}

void WriteIsoDocumentTail(IsoOutputFile& output) {
  WriteFixedXmlLine<"</PmtInf>">(output, 2);
  WriteFixedXmlLine<"</CstmrCdtTrfInitn>">(output, 1);
  WriteFixedXmlLine<"</Document>">(output, 0);
}

void WriteIsoGroupHeader(IsoOutputFile& output, const PaySettingView& settings, std::int64_t amount_sum,
                         std::int32_t payment_count) {
  // Message id and creation time describe the same instant.
  const std::optional<UDATE> now = CurrentIsoCalendarFields();
  WriteFixedXmlLine<"<GrpHdr>">(output, 2);
  WriteXmlElement<"<MsgId>QRV-%s</MsgId>">(output, 3,
                  EscapedText{FormatIsoDate(now, IsoDatePattern::kDayOfYearTime)});
  WriteXmlElement<"<CreDtTm>%s</CreDtTm>">(output, 3, EscapedText{FormatIsoDate(now, IsoDatePattern::kDateTime)});
  WriteXmlElement<"<NbOfTxs>%i</NbOfTxs>">(output, 3, payment_count);
  const AmountText control_sum = FormatAmountText(amount_sum, kPointAmountFormat);
  WriteXmlElement<"<CtrlSum>%s</CtrlSum>">(output, 3, EscapedText{control_sum.view()});
  WriteFixedXmlLine<"<InitgPty>">(output, 3);
  WriteXmlElement<"<Nm>%s</Nm>">(output, 4, CleanedText{settings.sender.name1});
  WriteFixedXmlLine<"</InitgPty>">(output, 3);
  WriteFixedXmlLine<"</GrpHdr>">(output, 2);
}

void WriteIsoPaymentInfo(IsoOutputFile& output, const PaySettingView& settings, const PaymentView& first_payment,
                         bool swiss) {
  const bool eur_batch = settings.cost_currency == "EUR";
  const bool salary = settings.is_salary;
  const std::optional<UDATE> execution = IsoCalendarFields(first_payment.date);

  WriteFixedXmlLine<"<PmtInf>">(output, 2);
  WriteXmlElement<"<PmtInfId>KORA-%s</PmtInfId>">(output, 3,
                  EscapedText{FormatIsoDate(execution, IsoDatePattern::kCompact)});
  WriteXmlElement<"<PmtMtd>%s</PmtMtd>">(output, 3, EscapedText{"TRF"});
  WriteXmlElement<"<BtchBookg>%s</BtchBookg>">(output, 3, EscapedText{"true"});
  if (salary || eur_batch) {
    WriteFixedXmlLine<"<PmtTpInf>">(output, 3);
    if (eur_batch) {
      WriteFixedXmlLine<"<SvcLvl>">(output, 4);
      WriteXmlElement<"<Cd>%s</Cd>">(output, 5, EscapedText{"SEPA"});
      WriteFixedXmlLine<"</SvcLvl>">(output, 4);
    }
    if (salary) {
      WriteFixedXmlLine<"<CtgyPurp>">(output, 4);
      WriteXmlElement<"<Cd>%s</Cd>">(output, 5, EscapedText{"SALA"});
      WriteFixedXmlLine<"</CtgyPurp>">(output, 4);
    }
    WriteFixedXmlLine<"</PmtTpInf>">(output, 3);
  }
  WriteXmlElement<"<ReqdExctnDt>%s</ReqdExctnDt>">(output, 3,
                  EscapedText{FormatIsoDate(execution, IsoDatePattern::kDay)});
  WriteFixedXmlLine<"<Dbtr>">(output, 3);
  WriteXmlElement<"<Nm>%s</Nm>">(output, 4, CleanedText{settings.sender.name1});
  WriteFixedXmlLine<"</Dbtr>">(output, 3);
  WriteFixedXmlLine<"<DbtrAcct>">(output, 3);
  WriteFixedXmlLine<"<Id>">(output, 4);
  // The debtor's account is taken as an IBAN whatever it holds: cleaned, not compacted.
  WriteXmlElement<"<IBAN>%s</IBAN>">(output, 5, CleanedText{first_payment.bank_src.account});
  WriteFixedXmlLine<"</Id>">(output, 4);
  if (swiss) {
    WriteFixedXmlLine<"<Tp>">(output, 4);
    WriteXmlElement<"<Prtry>%s</Prtry>">(output, 5, EscapedText{"CND"});
    WriteFixedXmlLine<"</Tp>">(output, 4);
  } else {
    WriteXmlElement<"<Ccy>%s</Ccy>">(output, 4, EscapedText{IsoCurrency(settings.cost_currency)});
  }
  WriteFixedXmlLine<"</DbtrAcct>">(output, 3);
  WriteFixedXmlLine<"<DbtrAgt>">(output, 3);
  WriteFixedXmlLine<"<FinInstnId>">(output, 4);
  // The debtor's bank is always named by its Swiss clearing number.
  WriteClearingMember<5>(output, NormalizePostAccount(first_payment.bank_src.id), false);
  WriteFixedXmlLine<"</FinInstnId>">(output, 4);
  WriteFixedXmlLine<"</DbtrAgt>">(output, 3);
  if (eur_batch) WriteXmlElement<"<ChrgBr>%s</ChrgBr>">(output, 3, EscapedText{"SLEV"});
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

  WriteFixedXmlLines<XmlLines{{3, "<CdtTrfTxInf>"}, {4, "<PmtId>"}}>(output);
  WriteXmlElement<"<InstrId>QRN-%i</InstrId>">(output, 5, sequence);
  WriteXmlElement<"<EndToEndId>%s</EndToEndId>">(output, 5, EscapedText{end_to_end_id});
  WriteFixedXmlLines<XmlLines{{4, "</PmtId>"}, {4, "<Amt>"}}>(output);
  const AmountText amount = FormatAmountText(payment.amount.int64, kPointAmountFormat);
  WriteXmlElement<"<InstdAmt Ccy=\"%s\">%s</InstdAmt>">(output, 5, PlainText{IsoCurrency(cost_currency)},
                  PlainText{amount.view()});
  WriteFixedXmlLines<XmlLines{{4, "</Amt>"}, {4, "<CdtrAgt>"}, {5, "<FinInstnId>"}}>(output);
  if (payment.type == payRedPost) {
    WriteXmlElement<"<BIC>%s</BIC>">(output, 6, EscapedText{kPostFinanceBic});
  } else if (bic_wanted || eur_or_sic_batch) {
    // A payment without a BIC in a euro batch still gets the element, empty.
    WriteXmlElement<"<BIC>%s</BIC>">(output, 6, CleanedText{bic});
  } else if (iban_payment && domestic_iban) {
    WriteClearingMember<6>(output, ClearingFromIban(iban), false);
  } else {
    WriteClearingMember<6>(output, payment.bank_dst.id, true);
  }
  WriteFixedXmlLines<XmlLines{{5, "</FinInstnId>"}, {4, "</CdtrAgt>"}, {4, "<Cdtr>"}}>(output);
  WriteXmlElement<"<Nm>%s</Nm>">(output, 5, CleanedText{payment.receiver.name1});
  WriteFixedXmlLine<"<PstlAdr>">(output, 5);
  // The country run holds only bytes 0x41 to 0x7F: nothing that needs escaping or converting.
  WriteXmlElement<"<Ctry>%s</Ctry>">(output, 6, PlainText{CountryFromCity(payment.receiver.city)});
  if (!payment.receiver.street.empty()) {
    WriteXmlElement<"<AdrLine>%s</AdrLine>">(output, 6, EscapedText{payment.receiver.street});
  }
  WriteXmlElement<"<AdrLine>%s</AdrLine>">(output, 6, EscapedText{payment.receiver.city});
  WriteFixedXmlLines<XmlLines{{5, "</PstlAdr>"}, {4, "</Cdtr>"}, {4, "<CdtrAcct>"}, {5, "<Id>"}}>(output);
  if (iban_payment) {
    WriteXmlElement<"<IBAN>%s</IBAN>">(output, 6, EscapedText{iban});
  } else {
    WriteFixedXmlLine<"<Othr>">(output, 6);
    WriteXmlElement<"<Id>%s</Id>">(output, 7, CleanedText{payment.bank_dst.account});
    WriteFixedXmlLine<"</Othr>">(output, 6);
  }
  if (payment.reason.empty()) {
    WriteFixedXmlLines<XmlLines{{5, "</Id>"}, {4, "</CdtrAcct>"}, {3, "</CdtTrfTxInf>"}}>(output);
    return;
  }
  WriteFixedXmlLines<XmlLines{{5, "</Id>"}, {4, "</CdtrAcct>"}, {4, "<RmtInf>"}}>(output);
  WriteXmlElement<"<Ustrd>%s</Ustrd>">(output, 5, EscapedText{payment.reason});
  WriteFixedXmlLines<XmlLines{{4, "</RmtInf>"}, {3, "</CdtTrfTxInf>"}}>(output);
}

}  // namespace ordexa
