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
    WriteXmlElement(output, kLevel, "<BICFI>%s</BICFI>", PlainText{bic});
    return;
  }
  WriteFixedXmlLines(output, kLevel == 5 ? kClearingHead5 : kClearingHead6);
  WriteXmlElement(output, kLevel + 1, "<MmbId>%s</MmbId>", PlainText{clearing});
  WriteFixedXmlLine(output, kLevel, "</ClrSysMmbId>");
}

// A postal address (PstlAdr) at `level`, its parts one deeper; absent parts are left out.
void WriteAddress(IsoOutputFile& output, int level, const Iso2019Address& address) {
  WriteFixedXmlLine(output, level, "<PstlAdr>");
  const int inner = level + 1;
  if (!address.street_name.empty()) WriteXmlElement(output, inner, "<StrtNm>%s</StrtNm>", EscapedText{address.street_name});
  if (!address.building_number.empty()) {
    WriteXmlElement(output, inner, "<BldgNb>%s</BldgNb>", EscapedText{address.building_number});
  }
  if (!address.post_box.empty()) WriteXmlElement(output, inner, "<PstBx>%s</PstBx>", EscapedText{address.post_box});
  if (!address.post_code.empty()) WriteXmlElement(output, inner, "<PstCd>%s</PstCd>", EscapedText{address.post_code});
  WriteXmlElement(output, inner, "<TwnNm>%s</TwnNm>", EscapedText{address.town});
  WriteXmlElement(output, inner, "<Ctry>%s</Ctry>", PlainText{address.country});
  if (!address.line.empty()) WriteXmlElement(output, inner, "<AdrLine>%s</AdrLine>", EscapedText{address.line});
  WriteFixedXmlLine(output, level, "</PstlAdr>");
}

void WriteCreditorAgent(IsoOutputFile& output, const Iso2019Transaction& t) {
  if (t.agent_bic.empty() && t.agent_clearing.empty() && t.agent_name.empty()) return;
  WriteFixedXmlLines(output, {{4, "<CdtrAgt>"}, {5, "<FinInstnId>"}});
  if (!t.agent_name.empty()) {
    WriteXmlElement(output, 6, "<Nm>%s</Nm>", EscapedText{t.agent_name});
    WriteAddress(output, 6, t.agent_address);
  } else {
    WriteBankId<6>(output, t.agent_bic, t.agent_clearing);
  }
  WriteFixedXmlLines(output, {{5, "</FinInstnId>"}, {4, "</CdtrAgt>"}});
}

void WriteRemittance(IsoOutputFile& output, const Iso2019Transaction& t) {
  if (t.reference_kind == Iso2019Reference::kNone) {
    if (t.remittance.empty()) return;
    WriteFixedXmlLine(output, 4, "<RmtInf>");
    WriteXmlElement(output, 5, "<Ustrd>%s</Ustrd>", EscapedText{t.remittance});
    WriteFixedXmlLine(output, 4, "</RmtInf>");
    return;
  }
  WriteFixedXmlLines(output, {{4, "<RmtInf>"}, {5, "<Strd>"}, {6, "<CdtrRefInf>"}, {7, "<Tp>"}, {8, "<CdOrPrtry>"}});
  if (t.reference_kind == Iso2019Reference::kQrr) {
    WriteFixedXmlLine(output, 9, "<Prtry>QRR</Prtry>");
  } else {
    WriteFixedXmlLine(output, 9, "<Cd>SCOR</Cd>");
  }
  WriteFixedXmlLines(output, {{8, "</CdOrPrtry>"}, {7, "</Tp>"}});
  WriteXmlElement(output, 7, "<Ref>%s</Ref>", PlainText{t.reference});
  WriteFixedXmlLine(output, 6, "</CdtrRefInf>");
  if (!t.remittance.empty()) WriteXmlElement(output, 6, "<AddtlRmtInf>%s</AddtlRmtInf>", EscapedText{t.remittance});
  WriteFixedXmlLines(output, {{5, "</Strd>"}, {4, "</RmtInf>"}});
}

}  // namespace

void WriteIso2019Head(IsoOutputFile& output, const Iso2019Plan& plan, std::vector<std::uint64_t>& hash_places) {
  WriteXmlLine(output, 0, kDeclaration);
  WriteXmlLine(output, 0, plan.batch.swiss ? kSwissDocumentTag : kGenericDocumentTag);
  WriteFixedXmlLines(output, {{1, "<CstmrCdtTrfInitn>"}, {2, "<GrpHdr>"}});
  const std::string head = MessageIdHead(plan.now);
  hash_places.push_back(HashPlace(output, 3, std::string_view("<MsgId>").size(), head.size()));
  WriteXmlElement(output, 3, "<MsgId>%s%s</MsgId>", PlainText{head}, PlainText{kHashPlaceholder});
  WriteXmlElement(output, 3, "<CreDtTm>%s</CreDtTm>", PlainText{DateTimeText(plan.now)});
  std::size_t count = 0;
  for (const Iso2019Group& group : plan.groups) count += group.count;
  WriteXmlElement(output, 3, "<NbOfTxs>%s</NbOfTxs>", PlainText{std::to_string(count)});
  WriteXmlElement(output, 3, "<CtrlSum>%s</CtrlSum>", PlainText{plan.total.Format(plan.total_decimals)});
  WriteFixedXmlLine(output, 3, "<InitgPty>");
  WriteXmlElement(output, 4, "<Nm>%s</Nm>", EscapedText{plan.sender_name});
  WriteFixedXmlLines(output, {{4, "<CtctDtls>"}, {5, "<Othr>"}, {6, "<ChanlTp>NAME</ChanlTp>"}, {6, "<Id>Ordexa</Id>"},
                              {5, "</Othr>"}, {5, "<Othr>"}, {6, "<ChanlTp>VRSN</ChanlTp>"}});
  WriteXmlElement(output, 6, "<Id>%s</Id>", PlainText{ORDEXA_VERSION_TEXT});
  WriteFixedXmlLines(output, {{5, "</Othr>"}, {4, "</CtctDtls>"}, {3, "</InitgPty>"}, {2, "</GrpHdr>"}});
}

void WriteIso2019GroupHead(IsoOutputFile& output, const Iso2019Plan& plan, std::size_t index,
                           std::vector<std::uint64_t>& hash_places) {
  const Iso2019Group& group = plan.groups[index];
  const Iso2019Transaction& t = group.first;
  WriteFixedXmlLine(output, 2, "<PmtInf>");
  const std::string head = MessageIdHead(plan.now);
  hash_places.push_back(HashPlace(output, 3, std::string_view("<PmtInfId>").size(), head.size()));
  WriteXmlElement(output, 3, "<PmtInfId>%s%s-%s</PmtInfId>", PlainText{head}, PlainText{kHashPlaceholder},
                  PlainText{std::to_string(index + 1)});
  if (t.kind == Iso2019Kind::kCheque) {
    WriteFixedXmlLine(output, 3, "<PmtMtd>CHK</PmtMtd>");
  } else {
    WriteFixedXmlLine(output, 3, "<PmtMtd>TRF</PmtMtd>");
  }
  WriteFixedXmlLine(output, 3, "<BtchBookg>true</BtchBookg>");
  WriteXmlElement(output, 3, "<NbOfTxs>%s</NbOfTxs>", PlainText{std::to_string(group.count)});
  WriteXmlElement(output, 3, "<CtrlSum>%s</CtrlSum>", PlainText{group.sum.Format(t.decimals)});
  const bool sepa = t.kind == Iso2019Kind::kSepa;
  if (sepa || t.salary) {
    WriteFixedXmlLine(output, 3, "<PmtTpInf>");
    if (sepa) WriteFixedXmlLines(output, {{4, "<SvcLvl>"}, {5, "<Cd>SEPA</Cd>"}, {4, "</SvcLvl>"}});
    if (t.salary) WriteFixedXmlLines(output, {{4, "<CtgyPurp>"}, {5, "<Cd>SALA</Cd>"}, {4, "</CtgyPurp>"}});
    WriteFixedXmlLine(output, 3, "</PmtTpInf>");
  }
  WriteFixedXmlLine(output, 3, "<ReqdExctnDt>");
  WriteXmlElement(output, 4, "<Dt>%s</Dt>", PlainText{DayText(t.year, t.month, t.day)});
  WriteFixedXmlLines(output, {{3, "</ReqdExctnDt>"}, {3, "<Dbtr>"}});
  WriteXmlElement(output, 4, "<Nm>%s</Nm>", EscapedText{plan.sender_name});
  WriteFixedXmlLines(output, {{3, "</Dbtr>"}, {3, "<DbtrAcct>"}, {4, "<Id>"}});
  WriteXmlElement(output, 5, "<IBAN>%s</IBAN>", PlainText{t.debtor_iban});
  WriteFixedXmlLine(output, 4, "</Id>");
  // Salaries are booked as one sum without details, which keeps them confidential.
  if (plan.batch.swiss && t.salary) WriteFixedXmlLines(output, {{4, "<Tp>"}, {5, "<Prtry>CND</Prtry>"}, {4, "</Tp>"}});
  WriteFixedXmlLines(output, {{3, "</DbtrAcct>"}, {3, "<DbtrAgt>"}, {4, "<FinInstnId>"}});
  WriteBankId<5>(output, t.debtor_bic, t.debtor_clearing);
  WriteFixedXmlLines(output, {{4, "</FinInstnId>"}, {3, "</DbtrAgt>"}});
  if (const std::string_view charges = ChargesCode(t.charges); !charges.empty()) {
    WriteXmlElement(output, 3, "<ChrgBr>%s</ChrgBr>", PlainText{charges});
  }
}

void WriteIso2019Transaction(IsoOutputFile& output, const Iso2019Transaction& t, std::size_t number,
                             std::string_view end_to_end_id) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  WriteFixedXmlLines(output, {{3, "<CdtTrfTxInf>"}, {4, "<PmtId>"}});
  WriteXmlElement(output, 5, "<InstrId>%s</InstrId>", PlainText{std::string_view(digits, end)});
  WriteXmlElement(output, 5, "<EndToEndId>%s</EndToEndId>", PlainText{end_to_end_id});
  WriteFixedXmlLines(output, {{4, "</PmtId>"}, {4, "<Amt>"}});
  WriteXmlElement(output, 5, "<InstdAmt Ccy=\"%s\">%s</InstdAmt>", PlainText{t.currency},
                  PlainText{FormatIso2019Amount(static_cast<std::uint64_t>(t.amount), t.decimals)});
  WriteFixedXmlLine(output, 4, "</Amt>");
  WriteCreditorAgent(output, t);
  WriteFixedXmlLine(output, 4, "<Cdtr>");
  WriteXmlElement(output, 5, "<Nm>%s</Nm>", EscapedText{t.creditor_name});
  if (t.creditor_address_written) WriteAddress(output, 5, t.creditor_address);
  WriteFixedXmlLine(output, 4, "</Cdtr>");
  if (!t.creditor_iban.empty()) {
    WriteFixedXmlLines(output, {{4, "<CdtrAcct>"}, {5, "<Id>"}});
    WriteXmlElement(output, 6, "<IBAN>%s</IBAN>", PlainText{t.creditor_iban});
    WriteFixedXmlLines(output, {{5, "</Id>"}, {4, "</CdtrAcct>"}});
  } else if (!t.creditor_other.empty()) {
    WriteFixedXmlLines(output, {{4, "<CdtrAcct>"}, {5, "<Id>"}, {6, "<Othr>"}});
    WriteXmlElement(output, 7, "<Id>%s</Id>", EscapedText{t.creditor_other});
    WriteFixedXmlLines(output, {{6, "</Othr>"}, {5, "</Id>"}, {4, "</CdtrAcct>"}});
  }
  WriteRemittance(output, t);
  WriteFixedXmlLine(output, 3, "</CdtTrfTxInf>");
}

void WriteIso2019GroupTail(IsoOutputFile& output) { WriteFixedXmlLine(output, 2, "</PmtInf>"); }

void WriteIso2019Tail(IsoOutputFile& output) {
  WriteFixedXmlLines(output, {{1, "</CstmrCdtTrfInitn>"}, {0, "</Document>"}});
}

}  // namespace ordexa
