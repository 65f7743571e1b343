// The rules a 2019 ISO credit transfer (pain.001.001.09) must meet beyond its schema, as
// pure functions of element texts: identifiers, the Swiss character set, QR and creditor
// references, currency decimals, and the payment kind a bank decides from account,
// reference and currency.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ordexa::inspect {

// IdentifierProblem()
// Why `id` is no identifier a bank takes (MsgId, PmtInfId, InstrId, EndToEndId): only
// A-Z a-z 0-9, blank and ' ( ) + , - . / : ?, at most 35 characters, no leading blank or
// "/", no trailing blank or "/", no "//". Nothing when it is one. `id` is UTF-8.
// Example: IdentifierProblem("A//B") == "\"A//B\" holds \"//\", which banks refuse in an identifier".
std::optional<std::string> IdentifierProblem(std::string_view id);

// FirstOutsideSwissSet()
// The first character of the UTF-8 text outside the Swiss character set (printable Basic
// Latin, Latin-1 Supplement and Latin Extended-A, and the euro sign, S and T with comma
// below), as UTF-8; control and format characters (such as the soft hyphen) are outside.
// Nothing when all are inside. Example: FirstOutsideSwissSet("Lohn \xE2\x80\x93 Mai") == "\xE2\x80\x93".
std::optional<std::string> FirstOutsideSwissSet(std::string_view text);

// CodePointCount(): the characters of a UTF-8 text, as element lengths count them.
std::size_t CodePointCount(std::string_view text);

// IsQrIban(): a CH or LI IBAN (compact) whose institution identification, positions 5 to
// 9, lies in 30000 to 31999. Example: IsQrIban("CH4431999123000889012") is true.
bool IsQrIban(std::string_view iban);

// QrReferenceProblem()
// Why `reference` is no QR reference (27 digits, the last the modulo 10 recursive check
// digit of the 26 before it); nothing when it is one.
// Example: QrReferenceProblem("210000000003139471430009018") == "... (check digit 7 expected)".
std::optional<std::string> QrReferenceProblem(std::string_view reference);

// CreditorReferenceProblem()
// Why `reference` is no creditor reference: "RF", two check digits, 1 to 21 letters or
// digits, remainder 1 on division by 97 with the first four characters moved to the end.
// Example: CreditorReferenceProblem("RF18539007547034") is nothing.
std::optional<std::string> CreditorReferenceProblem(std::string_view reference);

// CurrencyDecimals(): the decimals an amount in `currency` may have: 0 for JPY and KRW,
// 3 for BHD, JOD, KWD, OMR and TND, else 2.
int CurrencyDecimals(std::string_view currency);

// Decimals(): the digits after the decimal point of an amount text ("12.50" has 2).
int Decimals(std::string_view amount);

// IsSepaCountry(): an IBAN country code of the SEPA area.
bool IsSepaCountry(std::string_view country);

// The kind of a credit transfer as the bank decides it.
enum class PaymentKind { kDomestic, kForeignCurrencyAtHome, kSepa, kAbroad, kCheque };

// PaymentKindName(): "domestic", "foreign currency at home", "SEPA", "abroad", "cheque".
const char* PaymentKindName(PaymentKind kind);

// What decides the kind of one transaction.
struct PaymentFacts {
  bool cheque = false;          // payment method CHK
  bool sepa_requested = false;  // service level SEPA on the group or the transaction
  std::string_view currency;
  std::string_view iban;        // the creditor's IBAN; empty for another account or none
  bool swiss_clearing = false;  // the creditor agent is a Swiss clearing member (CHBCC)
};

// DecidePaymentKind()
// A cheque; SEPA for euros to an IBAN of a SEPA country other than CH and LI, or to any
// IBAN when SEPA is requested; a Swiss account (CH or LI IBAN, or an account at a Swiss
// clearing member) in CHF or EUR is domestic, in another currency foreign currency at
// home; everything else abroad.
// Example: DecidePaymentKind({false, false, "USD", "CH5021977000004331346", false}) == kForeignCurrencyAtHome.
PaymentKind DecidePaymentKind(const PaymentFacts& facts);

}  // namespace ordexa::inspect
