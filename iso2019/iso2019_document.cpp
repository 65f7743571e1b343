// The pain.001.001.09 document: frame, group header, payment groups and transactions.
#include "iso2019/iso2019_document.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace ordexa {

namespace {

#ifndef ORDEXA_VERSION_TEXT
#define ORDEXA_VERSION_TEXT "0"
#endif

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr std::string_view kSwissDocumentTag =
    "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.09\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xsi:schemaLocation=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.09 pain.001.001.09.ch.03.xsd\">";
constexpr std::string_view kGenericDocumentTag =
    "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.09\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xsi:schemaLocation=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.09 pain.001.001.09.xsd\">";
constexpr std::string_view kHashPlaceholder = "00000000";
static_assert(kHashPlaceholder.size() == kIso2019HashDigits);

// "ORDX", the time of writing and a dash: the message id in front of its hash.
std::string MessageIdHead(const SYSTEMTIME& now) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "ORDX%04u%02u%02u%02u%02u%02u-", now.wYear % 10000u,
                                   now.wMonth % 100u, now.wDay % 100u, now.wHour % 100u, now.wMinute % 100u,
                                   now.wSecond % 100u);
  return std::string(text, static_cast<std::size_t>(length));
}

std::string DateTimeText(const SYSTEMTIME& now) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", now.wYear % 10000u,
                                   now.wMonth % 100u, now.wDay % 100u, now.wHour % 100u, now.wMinute % 100u,
                                   now.wSecond % 100u);
  return std::string(text, static_cast<std::size_t>(length));
}

std::string DayText(int year, int month, int day) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d", year % 10000, month % 100, day % 100);
  return std::string(text, static_cast<std::size_t>(length));
}

// Where the hash goes in a line about to be written: behind the tabs, the start tag and
// the message id's head.
std::uint64_t HashPlace(const IsoOutputFile& output, int level, std::size_t tag_size, std::size_t head_size) {
  return output.stream->Position() + static_cast<std::uint64_t>(level) + tag_size + head_size;
}

std::string_view ChargesCode(Iso2019Charges charges) {
  switch (charges) {
    case Iso2019Charges::kDebt:
      return "DEBT";
    case Iso2019Charges::kCred:
      return "CRED";
    case Iso2019Charges::kShar:
      return "SHAR";
    case Iso2019Charges::kSlev:
      return "SLEV";
    case Iso2019Charges::kNone:
      break;
  }
  return {};
}

constexpr detail::XmlFixedBlock kClearingHead5{
    {5, "<ClrSysMmbId>"}, {6, "<ClrSysId>"}, {7, "<Cd>CHBCC</Cd>"}, {6, "</ClrSysId>"}};
constexpr detail::XmlFixedBlock kClearingHead6{
    {6, "<ClrSysMmbId>"}, {7, "<ClrSysId>"}, {8, "<Cd>CHBCC</Cd>"}, {7, "</ClrSysId>"}};

// A bank by BIC or by Swiss clearing number inside its FinInstnId, whose children are at `kLevel`.
template <int kLevel>
void WriteBankId(IsoOutputFile& output, std::string_view bic, std::string_view clearing) {
  static_assert(kLevel == 5 || kLevel == 6, "the clearing form has fixed lines for its depth");
  if (!bic.empty()) {
    WriteXmlElement<"<BICFI>%s</BICFI>">(output, kLevel, PlainText{bic});
    return;
  }
  WriteFixedXmlLines(output, kLevel == 5 ? kClearingHead5 : kClearingHead6);
  WriteXmlElement<"<MmbId>%s</MmbId>">(output, kLevel + 1, PlainText{clearing});
  WriteFixedXmlLine<"</ClrSysMmbId>">(output, kLevel);
}

// A postal address (PstlAdr) at `level`, its parts one deeper; absent parts are left out.
void WriteAddress(IsoOutputFile& output, int level, const Iso2019Address& address) {
  WriteFixedXmlLine<"<PstlAdr>">(output, level);
  const int inner = level + 1;
  if (!address.street_name.empty()) {
    WriteXmlElement<"<StrtNm>%s</StrtNm>">(output, inner, EscapedText{address.street_name});
  }
  if (!address.building_number.empty()) {
    WriteXmlElement<"<BldgNb>%s</BldgNb>">(output, inner, EscapedText{address.building_number});
  }
  if (!address.post_box.empty()) WriteXmlElement<"<PstBx>%s</PstBx>">(output, inner, EscapedText{address.post_box});
  if (!address.post_code.empty()) WriteXmlElement<"<PstCd>%s</PstCd>">(output, inner, EscapedText{address.post_code});
  WriteXmlElement<"<TwnNm>%s</TwnNm>">(output, inner, EscapedText{address.town});
  WriteXmlElement<"<Ctry>%s</Ctry>">(output, inner, PlainText{address.country});
  if (!address.line.empty()) WriteXmlElement<"<AdrLine>%s</AdrLine>">(output, inner, EscapedText{address.line});
  WriteFixedXmlLine<"</PstlAdr>">(output, level);
}

void WriteCreditorAgent(IsoOutputFile& output, const Iso2019Transaction& t) {
  if (t.agent_bic.empty() && t.agent_clearing.empty() && t.agent_name.empty()) return;
  WriteFixedXmlLines<XmlLines{{4, "<CdtrAgt>"}, {5, "<FinInstnId>"}}>(output);
  if (!t.agent_name.empty()) {
    WriteXmlElement<"<Nm>%s</Nm>">(output, 6, EscapedText{t.agent_name});
    WriteAddress(output, 6, t.agent_address);
  } else {
    WriteBankId<6>(output, t.agent_bic, t.agent_clearing);
  }
  WriteFixedXmlLines<XmlLines{{5, "</FinInstnId>"}, {4, "</CdtrAgt>"}}>(output);
}

void WriteRemittance(IsoOutputFile& output, const Iso2019Transaction& t) {
  if (t.reference_kind == Iso2019Reference::kNone) {
    if (t.remittance.empty()) return;
    WriteFixedXmlLine<"<RmtInf>">(output, 4);
    WriteXmlElement<"<Ustrd>%s</Ustrd>">(output, 5, EscapedText{t.remittance});
    WriteFixedXmlLine<"</RmtInf>">(output, 4);
    return;
  }
  WriteFixedXmlLines<XmlLines{
      {4, "<RmtInf>"}, {5, "<Strd>"}, {6, "<CdtrRefInf>"}, {7, "<Tp>"}, {8, "<CdOrPrtry>"}}>(output);
  if (t.reference_kind == Iso2019Reference::kQrr) {
    WriteFixedXmlLine<"<Prtry>QRR</Prtry>">(output, 9);
  } else {
    WriteFixedXmlLine<"<Cd>SCOR</Cd>">(output, 9);
  }
  WriteFixedXmlLines<XmlLines{{8, "</CdOrPrtry>"}, {7, "</Tp>"}}>(output);
  WriteXmlElement<"<Ref>%s</Ref>">(output, 7, PlainText{t.reference});
  WriteFixedXmlLine<"</CdtrRefInf>">(output, 6);
  if (!t.remittance.empty()) WriteXmlElement<"<AddtlRmtInf>%s</AddtlRmtInf>">(output, 6, EscapedText{t.remittance});
  WriteFixedXmlLines<XmlLines{{5, "</Strd>"}, {4, "</RmtInf>"}}>(output);
}

}  // namespace

void WriteIso2019Head(IsoOutputFile& output, const Iso2019Plan& plan, std::vector<std::uint64_t>& hash_places) {
  WriteXmlLine(output, 0, kDeclaration);
  WriteXmlLine(output, 0, plan.batch.swiss ? kSwissDocumentTag : kGenericDocumentTag);
  WriteFixedXmlLines<XmlLines{{1, "<CstmrCdtTrfInitn>"}, {2, "<GrpHdr>"}}>(output);
  const std::string head = MessageIdHead(plan.now);
  hash_places.push_back(HashPlace(output, 3, std::string_view("<MsgId>").size(), head.size()));
  WriteXmlElement<"<MsgId>%s%s</MsgId>">(output, 3, PlainText{head}, PlainText{kHashPlaceholder});
  WriteXmlElement<"<CreDtTm>%s</CreDtTm>">(output, 3, PlainText{DateTimeText(plan.now)});
  std::size_t count = 0;
  for (const Iso2019Group& group : plan.groups) count += group.count;
  WriteXmlElement<"<NbOfTxs>%s</NbOfTxs>">(output, 3, PlainText{std::to_string(count)});
  WriteXmlElement<"<CtrlSum>%s</CtrlSum>">(output, 3, PlainText{plan.total.Format(plan.total_decimals)});
  WriteFixedXmlLine<"<InitgPty>">(output, 3);
  WriteXmlElement<"<Nm>%s</Nm>">(output, 4, EscapedText{plan.sender_name});
  WriteFixedXmlLines<XmlLines{{4, "<CtctDtls>"}, {5, "<Othr>"}, {6, "<ChanlTp>NAME</ChanlTp>"}, {6, "<Id>Ordexa</Id>"},
                              {5, "</Othr>"}, {5, "<Othr>"}, {6, "<ChanlTp>VRSN</ChanlTp>"}}>(output);
  WriteXmlElement<"<Id>%s</Id>">(output, 6, PlainText{ORDEXA_VERSION_TEXT});
  WriteFixedXmlLines<XmlLines{{5, "</Othr>"}, {4, "</CtctDtls>"}, {3, "</InitgPty>"}, {2, "</GrpHdr>"}}>(output);
}

void WriteIso2019GroupHead(IsoOutputFile& output, const Iso2019Plan& plan, std::size_t index,
                           std::vector<std::uint64_t>& hash_places) {
  const Iso2019Group& group = plan.groups[index];
  const Iso2019Transaction& t = group.first;
  WriteFixedXmlLine<"<PmtInf>">(output, 2);
  const std::string head = MessageIdHead(plan.now);
  hash_places.push_back(HashPlace(output, 3, std::string_view("<PmtInfId>").size(), head.size()));
  WriteXmlElement<"<PmtInfId>%s%s-%s</PmtInfId>">(output, 3, PlainText{head}, PlainText{kHashPlaceholder},
                  PlainText{std::to_string(index + 1)});
  if (t.kind == Iso2019Kind::kCheque) {
    WriteFixedXmlLine<"<PmtMtd>CHK</PmtMtd>">(output, 3);
  } else {
    WriteFixedXmlLine<"<PmtMtd>TRF</PmtMtd>">(output, 3);
  }
  WriteFixedXmlLine<"<BtchBookg>true</BtchBookg>">(output, 3);
  WriteXmlElement<"<NbOfTxs>%s</NbOfTxs>">(output, 3, PlainText{std::to_string(group.count)});
  WriteXmlElement<"<CtrlSum>%s</CtrlSum>">(output, 3, PlainText{group.sum.Format(t.decimals)});
  const bool sepa = t.kind == Iso2019Kind::kSepa;
  if (sepa || t.salary) {
    WriteFixedXmlLine<"<PmtTpInf>">(output, 3);
    if (sepa) WriteFixedXmlLines<XmlLines{{4, "<SvcLvl>"}, {5, "<Cd>SEPA</Cd>"}, {4, "</SvcLvl>"}}>(output);
    if (t.salary) WriteFixedXmlLines<XmlLines{{4, "<CtgyPurp>"}, {5, "<Cd>SALA</Cd>"}, {4, "</CtgyPurp>"}}>(output);
    WriteFixedXmlLine<"</PmtTpInf>">(output, 3);
  }
  WriteFixedXmlLine<"<ReqdExctnDt>">(output, 3);
  WriteXmlElement<"<Dt>%s</Dt>">(output, 4, PlainText{DayText(t.year, t.month, t.day)});
  WriteFixedXmlLines<XmlLines{{3, "</ReqdExctnDt>"}, {3, "<Dbtr>"}}>(output);
  WriteXmlElement<"<Nm>%s</Nm>">(output, 4, EscapedText{plan.sender_name});
  WriteFixedXmlLines<XmlLines{{3, "</Dbtr>"}, {3, "<DbtrAcct>"}, {4, "<Id>"}}>(output);
  WriteXmlElement<"<IBAN>%s</IBAN>">(output, 5, PlainText{t.debtor_iban});
  WriteFixedXmlLine<"</Id>">(output, 4);
  // Salaries are booked as one sum without details, which keeps them confidential.
  if (plan.batch.swiss && t.salary) {
    WriteFixedXmlLines<XmlLines{{4, "<Tp>"}, {5, "<Prtry>CND</Prtry>"}, {4, "</Tp>"}}>(output);
  }
  WriteFixedXmlLines<XmlLines{{3, "</DbtrAcct>"}, {3, "<DbtrAgt>"}, {4, "<FinInstnId>"}}>(output);
  WriteBankId<5>(output, t.debtor_bic, t.debtor_clearing);
  WriteFixedXmlLines<XmlLines{{4, "</FinInstnId>"}, {3, "</DbtrAgt>"}}>(output);
  if (const std::string_view charges = ChargesCode(t.charges); !charges.empty()) {
    WriteXmlElement<"<ChrgBr>%s</ChrgBr>">(output, 3, PlainText{charges});
  }
}

void WriteIso2019Transaction(IsoOutputFile& output, const Iso2019Transaction& t, std::size_t number,
                             std::string_view end_to_end_id) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  WriteFixedXmlLines<XmlLines{{3, "<CdtTrfTxInf>"}, {4, "<PmtId>"}}>(output);
  WriteXmlElement<"<InstrId>%s</InstrId>">(output, 5, PlainText{std::string_view(digits, end)});
  WriteXmlElement<"<EndToEndId>%s</EndToEndId>">(output, 5, PlainText{end_to_end_id});
  WriteFixedXmlLines<XmlLines{{4, "</PmtId>"}, {4, "<Amt>"}}>(output);
  char amount[kIso2019AmountLength];
  const char* const amount_end = FormatIso2019AmountInto(amount, static_cast<std::uint64_t>(t.amount), t.decimals);
  WriteXmlElement<"<InstdAmt Ccy=\"%s\">%s</InstdAmt>">(output, 5, PlainText{t.currency},
                                                        PlainText{std::string_view(amount, amount_end)});
  WriteFixedXmlLine<"</Amt>">(output, 4);
  WriteCreditorAgent(output, t);
  WriteFixedXmlLine<"<Cdtr>">(output, 4);
  WriteXmlElement<"<Nm>%s</Nm>">(output, 5, EscapedText{t.creditor_name});
  if (t.creditor_address_written) WriteAddress(output, 5, t.creditor_address);
  WriteFixedXmlLine<"</Cdtr>">(output, 4);
  if (!t.creditor_iban.empty()) {
    WriteFixedXmlLines<XmlLines{{4, "<CdtrAcct>"}, {5, "<Id>"}}>(output);
    WriteXmlElement<"<IBAN>%s</IBAN>">(output, 6, PlainText{t.creditor_iban});
    WriteFixedXmlLines<XmlLines{{5, "</Id>"}, {4, "</CdtrAcct>"}}>(output);
  } else if (!t.creditor_other.empty()) {
    WriteFixedXmlLines<XmlLines{{4, "<CdtrAcct>"}, {5, "<Id>"}, {6, "<Othr>"}}>(output);
    WriteXmlElement<"<Id>%s</Id>">(output, 7, EscapedText{t.creditor_other});
    WriteFixedXmlLines<XmlLines{{6, "</Othr>"}, {5, "</Id>"}, {4, "</CdtrAcct>"}}>(output);
  }
  WriteRemittance(output, t);
  WriteFixedXmlLine<"</CdtTrfTxInf>">(output, 3);
}

void WriteIso2019GroupTail(IsoOutputFile& output) { WriteFixedXmlLine<"</PmtInf>">(output, 2); }

void WriteIso2019Tail(IsoOutputFile& output) {
  WriteFixedXmlLines<XmlLines{{1, "</CstmrCdtTrfInitn>"}, {0, "</Document>"}}>(output);
}

}  // namespace ordexa
