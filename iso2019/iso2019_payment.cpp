// A payment order as a 2019 ISO credit transfer transaction: account resolution, the
// kind of payment, references, amounts, dates and the parties.
#include "iso2019/iso2019_payment.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

#include "format/digits.h"
#include "format/iban.h"
#include "format/post_account.h"
#include "iso2019/iso2019_address.h"
#include "iso2019/iso2019_text.h"
#include "oleauto.h"
#include "ordexa_enums.h"
#include "platform/cp1252.h"

namespace ordexa {

namespace {

constexpr std::size_t kOtherAccountLength = 34;
constexpr std::size_t kRemittanceLength = 140;
constexpr std::size_t kNameLength = 140;
constexpr std::size_t kSepaNameLength = 70;
constexpr std::size_t kBankNameLength = 140;
// 9,999,999,999.99 and, for SEPA, 999,999,999.99, in ten-thousandths.
constexpr std::int64_t kLargestAmount = 99'999'999'999'900;
constexpr std::int64_t kLargestSepaAmount = 9'999'999'999'900;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The IBAN country codes of the SEPA scheme, as a table of every pair of capitals.
constexpr std::array<bool, 26 * 26> MakeSepaCountries() {
  constexpr std::array<std::string_view, 41> kCountries = {
      "AT", "BE", "BG", "CY", "CZ", "DE", "DK", "EE", "ES", "FI", "FR", "GR", "HR", "HU",
      "IE", "IT", "LT", "LU", "LV", "MT", "NL", "PL", "PT", "RO", "SE", "SI", "SK", "IS",
      "NO", "LI", "CH", "GB", "MC", "SM", "VA", "AD", "GI", "AL", "MD", "ME", "MK"};
  std::array<bool, 26 * 26> sepa{};
  for (const std::string_view code : kCountries) {
    sepa[static_cast<std::size_t>((code[0] - 'A') * 26 + (code[1] - 'A'))] = true;
  }
  return sepa;
}
constexpr std::array<bool, 26 * 26> kSepaCountries = MakeSepaCountries();

bool IsSepaCountry(std::string_view country) {
  if (country.size() != 2 || !IsLetter(country[0]) || !IsLetter(country[1])) return false;
  return kSepaCountries[static_cast<std::size_t>((country[0] - 'A') * 26 + (country[1] - 'A'))];
}

// A Swiss postal account as its nine digits: "pp-nnnnnn-c" (prefix of one or two digits,
// number of one to six) or nine digits; empty when the text is neither.
std::string PostAccountDigits(std::string_view account) {
  if (account.size() == 9 && AllDigits(account)) return std::string(account);
  const std::size_t first = account.find('-');
  if (first == std::string_view::npos) return {};
  const std::size_t second = account.find('-', first + 1);
  if (second == std::string_view::npos) return {};
  const std::string_view prefix = account.substr(0, first);
  const std::string_view number = account.substr(first + 1, second - first - 1);
  const std::string_view check = account.substr(second + 1);
  if (prefix.empty() || prefix.size() > 2 || !AllDigits(prefix) || number.empty() || number.size() > 6 ||
      !AllDigits(number) || check.size() != 1 || !AllDigits(check)) {
    return {};
  }
  std::string digits(2 - prefix.size(), '0');
  digits.append(prefix).append(6 - number.size(), '0').append(number).append(check);
  return digits;
}

// An amount for messages: its decimals as far as it has any, at least two ("1234.50", "0.005").
std::string AmountForMessage(std::int64_t amount) {
  const bool negative = amount < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
  const int decimals = magnitude % 100 != 0 ? 4 : 2;
  std::string text = FormatIso2019Amount(magnitude, decimals);
  while (decimals == 4 && text.back() == '0') text.pop_back();
  return (negative ? "-" : "") + text;
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

std::string DateText(int year, int month, int day) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return std::string(text, static_cast<std::size_t>(length));
}

// Resolves a creditor or debtor account text into `iban` or `other` (the one not used is
// left empty; both reuse their room). A postal account becomes its PostFinance IBAN;
// `isr_kind` refuses it (and a five-digit participant number) as an ISR participant.
// Returns false when the account is refused.
bool ResolveAccount(std::string_view text, std::string_view key, bool isr_kind, bool esr15, bool trusted,
                    Iso2019Findings& findings, const char* whose_de, std::string& iban, std::string& other) {
  other.clear();
  std::string& compact = iban;  // an IBAN as typed needs nothing more than this
  UpperAsciiInto(compact, text);
  if (compact.empty()) return true;
  // The text as the caller wrote it, for messages only.
  const auto shown = [text] { return DocumentText(text, false); };
  const auto refuse = [&](std::string english, std::string german) {
    findings.Refuse(key, "Account", std::move(english), std::move(german));
    iban.clear();
    return false;
  };
  if (compact.size() >= 4 && IsLetter(compact[0]) && IsLetter(compact[1]) && IsDigit(compact[2]) &&
      IsDigit(compact[3])) {
    if (!trusted && !IsValidIban(compact)) {
      return refuse(Quoted(shown()) + " is not a valid IBAN (its check digits, length or characters)",
                    std::string("Das Konto ") + whose_de + " " + Quoted(shown()) + " ist keine g\xFCltige IBAN.");
    }
    return true;
  }
  const std::string digits = PostAccountDigits(compact);
  if (!digits.empty() || (esr15 && compact.size() == 5 && AllDigits(compact))) {
    if (isr_kind) {
      return refuse(Quoted(shown()) +
                        " is an ISR participant number; ISR payment slips ended in 2022: pay the QR-IBAN of the "
                        "biller's QR-bill",
                    "Die ESR-Teilnehmernummer " + Quoted(shown()) +
                        " gilt nicht mehr (der ESR endete 2022); bitte die QR-IBAN der QR-Rechnung angeben.");
    }
    if (!digits.empty()) {
      if (!trusted && CheckDigitMod10(std::string_view(digits).substr(0, 8)) != digits[8]) {
        return refuse(Quoted(shown()) + " is not a valid postal account (its check digit)",
                      std::string("Das Postkonto ") + whose_de + " " + Quoted(shown()) +
                          " hat eine falsche Pr\xFC" "fziffer.");
      }
      PostFinanceIbanInto(digits, iban);
      return true;
    }
  }
  iban.clear();
  AssignDocumentText(other, text, false);
  std::erase(other, ' ');
  if (other.size() > kOtherAccountLength) {
    other.clear();
    return refuse(Quoted(shown()) + " is no IBAN and longer than the 34 characters of an account",
                  std::string("Das Konto ") + whose_de + " " + Quoted(shown()) + " ist l\xE4" "nger als 34 Zeichen.");
  }
  return true;
}

// Whether a text holds nothing but blanks.
bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// A BIC as given (blanks removed, upper-cased), refused unless it is one.
bool ResolveBic(std::string_view text, std::string_view key, bool trusted, std::string& bic,
                Iso2019Findings& findings) {
  UpperAsciiInto(bic, text);
  if (bic.empty() || trusted || IsBic(bic)) return true;
  const std::string shown = DocumentText(text, false);
  findings.Refuse(key, "BIC", Quoted(shown) + " is not a BIC (8 or 11 letters and digits)",
                  "Der BIC " + Quoted(shown) + " ist ung\xFCltig.");
  bic.clear();
  return false;
}

void ResolveAmount(const PaymentRecord& payment, bool sepa, bool trusted, Iso2019Transaction& transaction,
                   Iso2019Findings& findings) {
  const std::int64_t amount = payment.amount.int64;
  transaction.amount = amount;
  if (trusted) return;
  if (amount <= 0) {
    findings.Refuse("Amount", {}, AmountForMessage(amount) + " is not a positive amount",
                    "Der Betrag " + AmountForMessage(amount) + " ist nicht positiv.");
    return;
  }
  std::int64_t unit = 1;
  for (int i = transaction.decimals; i < 4; ++i) unit *= 10;
  if (amount % unit != 0) {
    findings.Refuse("Amount", {},
                    AmountForMessage(amount) + " has more decimals than " + transaction.currency + " has (" +
                        std::to_string(transaction.decimals) + "); amounts are never rounded",
                    "Der Betrag " + AmountForMessage(amount) + " hat mehr Dezimalstellen als " + transaction.currency +
                        " (" + std::to_string(transaction.decimals) + ").");
    return;
  }
  if (amount > (sepa ? kLargestSepaAmount : kLargestAmount)) {
    findings.Refuse("Amount", {},
                    AmountForMessage(amount) + " is more than " +
                        (sepa ? "999,999,999.99, the most a SEPA payment carries" : "9,999,999,999.99, the most a payment carries"),
                    "Der Betrag " + AmountForMessage(amount) + " ist zu gross (h\xF6" "chstens " +
                        (sepa ? "999'999'999.99 bei SEPA)." : "9'999'999'999.99)."));
  }
}

void ResolveDate(const PaymentRecord& payment, const Iso2019Batch& batch, Iso2019Transaction& transaction,
                 Iso2019Findings& findings) {
  if (payment.date == 0.0) {
    transaction.date_resolved = false;
    transaction.year = batch.today_year;
    transaction.month = batch.today_month;
    transaction.day = batch.today_day;
    return;
  }
  // Payments of a batch mostly share their day: the calendar day of the payment before
  // is taken again for the same date.
  if (!transaction.date_resolved || payment.date != transaction.date_value) {
    transaction.date_resolved = false;
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(payment.date, &time)) {
      char number[32];
      const auto end = std::to_chars(number, number + sizeof number, payment.date).ptr;
      const std::string shown(number, end);
      findings.Refuse("Date", {}, shown + " is no calendar day", "Das Datum " + shown + " ist kein Kalendertag.");
      return;
    }
    transaction.year = time.wYear;
    transaction.month = time.wMonth;
    transaction.day = time.wDay;
    transaction.date_resolved = true;
    transaction.date_value = payment.date;
  }
  const auto day_number = [](int year, int month, int day) { return (year * 100 + month) * 100 + day; };
  if (findings.collecting() && day_number(transaction.year, transaction.month, transaction.day) <
                                   day_number(batch.today_year, batch.today_month, batch.today_day)) {
    findings.Note("Date", {},
                  DateText(transaction.year, transaction.month, transaction.day) + " is before the day of writing (" +
                      DateText(batch.today_year, batch.today_month, batch.today_day) +
                      "); written as it is: the bank executes it at once or refuses it");
  }
}

// A text cut to the `length` of its `element`, the cut reported at the property it came from.
void CutAndReport(Iso2019Text& text, std::size_t length, std::string_view key, std::string_view subkey,
                  std::string_view element, Iso2019Findings& findings) {
  const std::string_view given = text.view();  // a cut only narrows the view
  if (text.Cut(length) && findings.collecting()) findings.Cut(key, subkey, given, text.view(), length, element);
}

// The reference (ESR) and the remittance text of the transaction.
void ResolveReference(std::string_view esr, std::string_view reason_text, Iso2019Transaction& transaction,
                      bool qr_iban, const Iso2019Batch& batch, Iso2019Findings& findings) {
  const bool swiss = batch.swiss;
  const bool trusted = batch.pass == Iso2019Batch::Pass::kWrite;
  // The reference is formed in its place in the transaction, whose room is reused.
  std::string& reference = transaction.reference;
  UpperAsciiInto(reference, esr);
  const auto shown = [esr] { return DocumentText(esr, false); };
  const bool qr_shape = reference.size() == 27 && AllDigits(reference);
  if (qr_iban) {
    if (reference.starts_with("RF")) {
      findings.Refuse("ESR", {}, Quoted(shown()) + " is a creditor reference; the QR-IBAN " + transaction.creditor_iban +
                                     " takes only a QR reference",
                      "Die QR-IBAN " + transaction.creditor_iban + " verlangt eine QR-Referenz, keine RF-Referenz.");
      return;
    }
    if (!trusted && !IsQrReference(reference)) {
      findings.Refuse("ESR", {},
                      (reference.empty() ? std::string("is empty") : Quoted(shown()) + " is not a valid QR reference") +
                          "; the QR-IBAN " + transaction.creditor_iban +
                          " needs a QR reference (27 digits, the last a check digit)",
                      "Die QR-IBAN " + transaction.creditor_iban +
                          " verlangt eine g\xFCltige QR-Referenz (27 Ziffern mit Pr\xFC" "fziffer).");
      return;
    }
    if (!IsCode(transaction.currency, "CHF") && !IsCode(transaction.currency, "EUR")) {
      findings.Refuse("Currency", {}, transaction.currency + ": a payment to a QR-IBAN is in CHF or EUR",
                      "Eine Zahlung an eine QR-IBAN ist in CHF oder EUR.");
      return;
    }
    transaction.reference_kind = Iso2019Reference::kQrr;
  } else if (qr_shape) {
    findings.Refuse("ESR", {},
                    Quoted(shown()) + " is a QR reference, which only a QR-IBAN takes; the receiver's account is none",
                    "Die QR-Referenz " + Quoted(shown()) + " geh\xF6rt zu einer QR-IBAN; das Konto ist keine.");
    return;
  } else if (reference.starts_with("RF")) {
    if (!trusted && !IsCreditorReference(reference)) {
      findings.Refuse("ESR", {}, Quoted(shown()) + " is not a valid creditor reference (RF and its check digits)",
                      "Die Referenz " + Quoted(shown()) + " ist keine g\xFCltige RF-Referenz.");
      return;
    }
    transaction.reference_kind = Iso2019Reference::kScor;
  } else {
    if (!reference.empty() && findings.collecting()) {
      findings.Note("ESR", {}, Quoted(shown()) + " is no QR reference and no creditor reference; not written");
    }
    reference.clear();
  }

  if (batch.pass == Iso2019Batch::Pass::kPlan) return;  // nothing refuses a reason
  Iso2019Text& reason = transaction.remittance;
  reason.Set(reason_text, swiss);
  if (reason.empty()) return;
  if (transaction.reference_kind == Iso2019Reference::kScor && transaction.kind == Iso2019Kind::kSepa) {
    if (findings.collecting()) {
      findings.Note("Reason", {}, "is not written: a SEPA payment with a creditor reference carries no further text");
    }
    reason.clear();
    return;
  }
  const bool structured = transaction.reference_kind != Iso2019Reference::kNone;
  CutAndReport(reason, kRemittanceLength, "Reason", {}, structured ? "AddtlRmtInf" : "Ustrd", findings);
}

}  // namespace

void Iso2019Findings::Refuse(std::string_view key, std::string_view subkey, std::string text, std::string reason) {
  refused_ = true;
  if (list_ == nullptr) {
    if (!any_refused()) first_refusal_ = {Iso2019FindingKind::kRefusal, payment_, key, subkey, {}, std::move(reason)};
    return;
  }
  if (!any_refused()) first_refusal_ = {Iso2019FindingKind::kRefusal, payment_, key, subkey, {}, reason};
  list_->push_back({Iso2019FindingKind::kRefusal, payment_, key, subkey, Cp1252ToUtf8(text), std::move(reason)});
}

void Iso2019Findings::Note(std::string_view key, std::string_view subkey, std::string text) {
  if (list_ == nullptr) return;
  list_->push_back({Iso2019FindingKind::kNote, payment_, key, subkey, Cp1252ToUtf8(text), {}});
}

void Iso2019Findings::Cut(std::string_view key, std::string_view subkey, std::string_view given,
                          std::string_view written, std::size_t length, std::string_view element) {
  if (list_ == nullptr) return;
  std::string text = Quoted(given) + " is cut to the " + std::to_string(length) + " characters of <" +
                     std::string(element) + ">: written as " + Quoted(written);
  list_->push_back({Iso2019FindingKind::kCut, payment_, key, subkey, Cp1252ToUtf8(text), {}});
}

int Iso2019CurrencyDecimals(std::string_view currency) {
  if (IsCode(currency, "JPY") || IsCode(currency, "KRW")) return 0;
  if (IsCode(currency, "BHD") || IsCode(currency, "JOD") || IsCode(currency, "KWD") || IsCode(currency, "OMR") ||
      IsCode(currency, "TND")) {
    return 3;
  }
  return 2;
}

std::string FormatIso2019Amount(std::uint64_t amount, int decimals) {
  char text[kIso2019AmountLength];
  return std::string(text, FormatIso2019AmountInto(text, amount, decimals));
}

char* FormatIso2019AmountInto(char* text, std::uint64_t amount, int decimals) {
  // The whole units of 64 bits take at most 20 digits, then a point and four decimals.
  char* end = std::to_chars(text, text + 20, amount / 10000).ptr;
  if (decimals > 0) {
    *end++ = '.';
    const auto fraction = static_cast<unsigned>(amount % 10000);
    const char digits[4] = {static_cast<char>('0' + fraction / 1000), static_cast<char>('0' + fraction / 100 % 10),
                            static_cast<char>('0' + fraction / 10 % 10), static_cast<char>('0' + fraction % 10)};
    for (int i = 0; i < decimals && i < 4; ++i) *end++ = digits[i];
  }
  return end;
}

std::string PostFinanceIban(std::string_view nine_digits) {
  std::string iban;
  PostFinanceIbanInto(nine_digits, iban);
  return iban;
}

void PostFinanceIbanInto(std::string_view nine_digits, std::string& iban) {
  // The IID 09000 and the account's nine digits left-padded to twelve.
  iban.assign("CH0009000000");
  iban.append(nine_digits);
  const int remainder = Mod97OfRotated(iban);
  const int check = 98 - remainder;
  iban[2] = static_cast<char>('0' + check / 10);
  iban[3] = static_cast<char>('0' + check % 10);
}

bool IsQrIban(std::string_view iban) {
  if (iban.size() != 21 || !IsDomesticIbanCountry(iban)) return false;
  // The IID, positions 5 to 9, between 30000 and 31999.
  const std::string_view iid = iban.substr(4, 5);
  return AllDigits(iid) && iid[0] == '3' && (iid[1] == '0' || iid[1] == '1');
}

bool IsQrReference(std::string_view reference) {
  return reference.size() == 27 && AllDigits(reference) && CheckDigitMod10(reference.substr(0, 26)) == reference[26];
}

bool IsCreditorReference(std::string_view reference) {
  if (reference.size() < 5 || reference.size() > 25 || !reference.starts_with("RF") || !IsDigit(reference[2]) ||
      !IsDigit(reference[3])) {
    return false;
  }
  return Mod97OfRotated(reference) == 1;
}

bool IsBic(std::string_view bic) {
  if (bic.size() != 8 && bic.size() != 11) return false;
  for (std::size_t i = 0; i < bic.size(); ++i) {
    const char c = bic[i];
    const bool letter = IsLetter(c);
    if (i == 4 || i == 5 ? !letter : !(letter || IsDigit(c))) return false;
  }
  return true;
}

bool ResolveIso2019Payment(const PayBatch& data, std::size_t index, const Iso2019Batch& batch,
                           Iso2019Transaction& transaction, Iso2019Findings& findings) {
  // Texts are looked up where they are needed: most of a payment's are not.
  const PaymentRecord& payment = data.payments[index];
  const auto text = [&data](TextRef ref) { return data.Text(ref); };
  findings.SetPayment(index);
  findings.ClearRefused();
  const bool swiss = batch.swiss;
  Iso2019Transaction& t = transaction;
  t.reference_kind = Iso2019Reference::kNone;
  t.reference.clear();
  t.remittance.clear();
  t.agent_name.clear();
  t.creditor_address_written = false;
  t.charges = Iso2019Charges::kNone;

  // Currency first: the amount's decimals and the kind depend on it.
  std::string& currency = t.currency;
  UpperAsciiInto(currency, text(payment.currency));
  if (currency.empty()) {
    t.currency = batch.batch_currency;
  } else if (!(currency.size() == 3 && IsLetter(currency[0]) && IsLetter(currency[1]) && IsLetter(currency[2]))) {
    const std::string shown = DocumentText(text(payment.currency), false);
    findings.Refuse("Currency", {}, Quoted(shown) + " is not a three-letter currency code",
                    "Die W\xE4hrung " + Quoted(shown) + " ist kein Code aus drei Buchstaben.");
    t.currency = batch.batch_currency;
  }
  t.decimals = Iso2019CurrencyDecimals(t.currency);

  // The debtor: the ordering party's account at its bank.
  const bool trusted = batch.pass == Iso2019Batch::Pass::kWrite;
  // A payroll mostly debits one account: the debtor of the payment before, resolved
  // without a refusal, is taken as it is when its texts are the same.
  const bool same_debtor = t.debtor_resolved && text(payment.bank_src.account) == t.debtor_account_text &&
                           text(payment.bank_src.bic) == t.debtor_bic_text;
  if (!same_debtor) {
    t.debtor_resolved = false;
    ++t.debtor_generation;
    const bool refused_before = findings.refused();
    std::string& debtor_other = t.creditor_other;  // room to spare until the creditor's account
    const bool debtor_taken = ResolveAccount(text(payment.bank_src.account), "BankSrc", false, false, trusted, findings,
                                             "des Auftraggebers", t.debtor_iban, debtor_other);
    t.debtor_clearing.clear();
    if (debtor_taken) {
      if (t.debtor_iban.empty()) {
        findings.Refuse("BankSrc", "Account",
                        debtor_other.empty() ? std::string("is empty; the payment needs the IBAN of the account debited")
                                             : Quoted(debtor_other) + " is no IBAN; the account debited needs one",
                        "Das Belastungskonto braucht eine IBAN.");
      } else if (IsQrIban(t.debtor_iban)) {
        findings.Refuse("BankSrc", "Account", t.debtor_iban + " is a QR-IBAN, which cannot be debited",
                        "Die QR-IBAN " + t.debtor_iban + " kann nicht belastet werden.");
      }
    }
    ResolveBic(text(payment.bank_src.bic), "BankSrc", trusted, t.debtor_bic, findings);
    if (t.debtor_bic.empty() && IsBlank(text(payment.bank_src.bic))) {
      if (IsDomesticIbanCountry(t.debtor_iban)) {
        t.debtor_clearing = t.debtor_iban.substr(4, 5);
      } else if (!t.debtor_iban.empty()) {
        findings.Refuse("BankSrc", "BIC", "is empty; an account abroad is debited only through its bank's BIC",
                        "Das Belastungskonto im Ausland braucht den BIC seiner Bank.");
      }
    }
    if (!refused_before && !findings.refused()) {
      t.debtor_resolved = true;
      t.debtor_account_text.assign(text(payment.bank_src.account));
      t.debtor_bic_text.assign(text(payment.bank_src.bic));
    }
  }

  // The creditor's account and bank.
  const bool cheque = payment.type == payPostmandat;
  const bool isr_kind = payment.type == payESR15 || payment.type == payESR16 || payment.type == payESR17;
  bool creditor_taken = true;
  if (cheque) {
    t.creditor_iban.clear();
    t.creditor_other.clear();
  } else {
    creditor_taken = ResolveAccount(text(payment.bank_dst.account), "BankDst", isr_kind, payment.type == payESR15,
                                    trusted, findings, "des Empf\xE4ngers", t.creditor_iban, t.creditor_other);
  }
  if (!cheque && creditor_taken && t.creditor_iban.empty() && t.creditor_other.empty()) {
    findings.Refuse("BankDst", "Account", "is empty; the payment needs the receiver's account",
                    "Das Konto des Empf\xE4ngers fehlt.");
  }
  // The creditor agent's BIC and clearing number are resolved in their places, and kept
  // there only for the kinds that give the agent so.
  std::string& creditor_bic = t.agent_bic;
  ResolveBic(text(payment.bank_dst.bic), "BankDst", trusted, creditor_bic, findings);
  std::string& iid = t.agent_clearing;
  UpperAsciiInto(iid, text(payment.bank_dst.id));
  const bool swiss_iid = iid.size() >= 3 && iid.size() <= 5 && AllDigits(iid);
  const bool swiss_account = IsDomesticIbanCountry(t.creditor_iban) || (!t.creditor_other.empty() && swiss_iid);

  // The kind, as the bank decides it.
  const std::string_view iban_country = std::string_view(t.creditor_iban).substr(0, 2);
  if (cheque) {
    t.kind = Iso2019Kind::kCheque;
  } else if (IsCode(t.currency, "EUR") && !t.creditor_iban.empty() && !IsCode(iban_country, "CH") &&
             !IsCode(iban_country, "LI") &&
             IsSepaCountry(iban_country)) {
    t.kind = Iso2019Kind::kSepa;
  } else if (swiss_account) {
    t.kind = IsCode(t.currency, "CHF") || IsCode(t.currency, "EUR") ? Iso2019Kind::kDomestic
                                                                     : Iso2019Kind::kForeignAtHome;
  } else {
    t.kind = Iso2019Kind::kAbroad;
  }
  const bool sepa = t.kind == Iso2019Kind::kSepa;

  switch (t.kind) {
    case Iso2019Kind::kSepa:
      t.charges = Iso2019Charges::kSlev;
      iid.clear();
      break;
    case Iso2019Kind::kDomestic:
    case Iso2019Kind::kForeignAtHome:
      creditor_bic.clear();
      if (t.creditor_other.empty()) iid.clear();
      break;
    case Iso2019Kind::kAbroad:
      iid.clear();
      break;
    case Iso2019Kind::kCheque:
      creditor_bic.clear();
      iid.clear();
      break;
  }
  if (t.kind == Iso2019Kind::kForeignAtHome || t.kind == Iso2019Kind::kAbroad) {
    t.charges = payment.cost_code == payCostSrc   ? Iso2019Charges::kDebt
                : payment.cost_code == payCostDst ? Iso2019Charges::kCred
                                                  : Iso2019Charges::kShar;
  }
  if (cheque && findings.collecting()) {
    findings.Note("PayType", {}, "a cheque (cash order) is paid only where the bank has agreed to it");
  }

  // The creditor: its name and address. Planning a write needs of the name only whether
  // there is one.
  const bool plan_only = batch.pass == Iso2019Batch::Pass::kPlan;
  if (!plan_only) t.creditor_name.Set(text(payment.receiver.name1), swiss);
  if (plan_only ? IsEmptyDocumentText(text(payment.receiver.name1), swiss) : t.creditor_name.empty()) {
    findings.Refuse("Receiver", "Name1", "is empty; every payment needs the receiver's name",
                    "Der Name des Empf\xE4ngers fehlt.");
  } else if (!plan_only) {
    CutAndReport(t.creditor_name, sepa ? kSepaNameLength : kNameLength, "Receiver", "Name1", "Nm", findings);
  }
  std::string_view fallback_country;
  if (!t.creditor_iban.empty()) {
    fallback_country = std::string_view(t.creditor_iban).substr(0, 2);
  } else if (swiss_account || cheque) {
    fallback_country = "CH";
  }
  if (batch.pass == Iso2019Batch::Pass::kPlan && !cheque && t.kind != Iso2019Kind::kAbroad) {
    // The plan needs of this address only what may refuse it.
    CheckIso2019Country(data.PartText(payment.receiver, AddressPart::kCountry), "Receiver", findings);
  } else {
    WorkOutIso2019Address(data.View(payment.receiver), "Receiver", swiss, fallback_country, t.creditor_address, findings);
    t.creditor_address_written = t.creditor_address.complete();
  }
  if (cheque && (t.creditor_address.post_code.empty() || !t.creditor_address_written)) {
    findings.Refuse("Receiver", "City", "a cheque needs the receiver's post code and town",
                    "Ein Check braucht Postleitzahl und Ort des Empf\xE4ngers.");
  }
  // A refused account says nothing about where the money goes: no kind-dependent refusals then.
  const bool abroad = t.kind == Iso2019Kind::kAbroad && creditor_taken;
  if (abroad && !t.creditor_address_written) {
    findings.Refuse("Receiver", "City", "a payment abroad needs the receiver's town and country",
                    "Eine Zahlung ins Ausland braucht Ort und Land des Empf\xE4ngers.");
  }

  // A bank abroad without a BIC is given by its name and address.
  if (abroad && t.agent_bic.empty() && IsBlank(text(payment.bank_dst.bic))) {
    t.agent_name.Set(text(payment.bank_dst.name1), swiss);
    WorkOutIso2019Address(data.View(payment.bank_dst), "BankDst", swiss, {}, t.agent_address, findings);
    if (t.agent_name.empty()) {
      findings.Refuse("BankDst", "BIC",
                      "is empty; a payment abroad needs the BIC of the receiver's bank, or its name and address",
                      "Eine Zahlung ins Ausland braucht den BIC oder Name und Adresse der Bank des Empf\xE4ngers.");
    } else {
      CutAndReport(t.agent_name, kBankNameLength, "BankDst", "Name1", "Nm", findings);
      if (!t.agent_address.complete()) {
        findings.Refuse("BankDst", "City",
                        "the receiver's bank is given by name without a BIC; it needs its town and country",
                        "Die Bank des Empf\xE4ngers ohne BIC braucht Ort und Land.");
      }
    }
  }

  ResolveAmount(payment, sepa, trusted, t, findings);
  ResolveDate(payment, batch, t, findings);
  ResolveReference(text(payment.esr), text(payment.reason), t, IsQrIban(t.creditor_iban), batch, findings);
  t.salary = payment.is_salary || batch.settings_salary;
  return !findings.refused();
}

}  // namespace ordexa
