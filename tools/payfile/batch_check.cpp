// The rules of the check pass, format by format, in the order the writers write.
#include "tools/payfile/batch_check.h"

#include <cstdio>
#include <map>
#include <optional>

#include "ezag/ezag_amount.h"
#include "ezag/ezag_records.h"
#include "format/amount.h"
#include "format/date_text.h"
#include "format/iban.h"
#include "format/post_account.h"
#include "format/record_text.h"
#include "xml/xml_text.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "tools/payfile/batch.h"
#include "tools/payfile/warnings.h"

namespace ordexa::payfile {
namespace {

// Where a finding is: a settings key or a key of payment `index`, with an address key.
struct Place {
  bool is_setting = false;
  std::size_t index = 0;
  std::string_view key;
  std::string_view subkey;
  bool is_whole = false;  // the key alone names the place: "payments", "--period"

  std::string Text() const {
    if (is_whole) return std::string(key);
    return is_setting ? SettingPlace(key, subkey) : PaymentPlace(index, key, subkey);
  }
  // The field whatever the payment: findings on it are counted together.
  std::string Field() const {
    return std::string(is_setting ? "settings." : "payments[].") + std::string(key) + "." + std::string(subkey);
  }
};

Place AtPayment(std::size_t index, std::string_view key, std::string_view subkey = {}) {
  return {false, index, key, subkey};
}
Place AtSetting(std::string_view key, std::string_view subkey = {}) { return {true, 0, key, subkey}; }
Place AtWhole(std::string_view name) { return {true, 0, name, {}, true}; }

std::string Utf8(std::string_view text) { return Cp1252ToUtf8(text); }

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Why a nine-character postal account is none, or nothing when it is one.
std::optional<std::string> PostalAccountProblem(std::string_view account) {
  if (account.empty()) return "empty";
  if (account.size() != 9 || !IsDigits(account)) return "not nine digits";
  const char expected = CheckDigitMod10(account.substr(0, 8));
  if (account[8] != expected) return std::string("check digit ") + expected + " expected";
  return std::nullopt;
}

// Why the reference number a record carries is none the bank takes, or nothing: digits
// only, and 27 of them end in their modulo 10 check digit. `written` is the field's text
// without its trailing blanks.
std::optional<std::string> EsrReferenceProblem(std::string_view written) {
  if (written.empty()) return "empty";
  if (!IsDigits(written)) return "digits only";
  if (written.size() == 27) {
    const char expected = CheckDigitMod10(written.substr(0, 26));
    if (written.back() != expected) return std::string("check digit ") + expected + " expected";
  }
  return std::nullopt;
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiAlnum(char c) { return IsUpper(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// The IBAN and BIC forms the ISO schemas accept.
bool IsSchemaIban(std::string_view text) {
  if (text.size() < 5 || text.size() > 34) return false;
  if (!IsUpper(text[0]) || !IsUpper(text[1]) || !IsDigits(text.substr(2, 2))) return false;
  for (const char c : text.substr(4)) {
    if (!IsAsciiAlnum(c)) return false;
  }
  return true;
}

bool IsSchemaBic(std::string_view text) {
  if (text.size() != 8 && text.size() != 11) return false;
  for (std::size_t i = 0; i < 6; ++i) {
    if (!IsUpper(text[i])) return false;
  }
  const char location1 = text[6], location2 = text[7];
  if (!IsUpper(location1) && !(location1 >= '2' && location1 <= '9')) return false;
  if (!(IsUpper(location2) && location2 != 'O') && !(location2 >= '0' && location2 <= '9')) return false;
  for (const char c : text.substr(8)) {
    if (!IsUpper(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

// The characters of the Swiss schema's texts, as code page 1252 bytes.
bool InSwissCharacterSet(unsigned char c) {
  if (IsAsciiAlnum(static_cast<char>(c)) || c == ' ') return true;
  static constexpr std::string_view kPunctuation = ".,;:'+-/()?*[]{}\\`~!\"#%&<>=@_$";
  if (kPunctuation.find(static_cast<char>(c)) != std::string_view::npos) return true;
  // ´ £ ÷ and the accented letters of the set.
  static constexpr std::string_view kOthers =
      "\xB4\xA3\xF7"
      "\xE0\xE1\xE2\xE4\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF1\xF2\xF3\xF4\xF6\xF9\xFA\xFB\xFC\xFD\xDF"
      "\xC0\xC1\xC2\xC4\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD2\xD3\xD4\xD6\xD9\xDA\xDB\xDC\xD1";
  if (kOthers.find(static_cast<char>(c)) != std::string_view::npos) return true;
  // The writer turns the other control characters into blanks.
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// The identification texts of the Swiss schema (the end-to-end id).
bool InSwiftCharacterSet(unsigned char c) {
  static constexpr std::string_view kPunctuation = "+|?/-:().,' \xA0";
  return IsAsciiAlnum(static_cast<char>(c)) || kPunctuation.find(static_cast<char>(c)) != std::string_view::npos;
}

template <class InSet>
std::optional<char> FirstOutside(std::string_view text, InSet in_set) {
  for (const char c : text) {
    if (!in_set(static_cast<unsigned char>(c))) return c;
  }
  return std::nullopt;
}

bool IsDomesticIban(std::string_view iban, std::size_t longer_than) {
  return iban.size() > longer_than && IsDomesticIbanCountry(iban);
}

// The DTA record of a payment kind: 826, 827, 836 or none.
int DtaRecordOf(std::int32_t type) {
  switch (type) {
    case payESR15:
    case payESR16:
    case payESR17:
      return 826;
    case payManual:
    case payRedBank:
    case payRedPost:
    case payRedTreuhand:
    case payPostmandat:
      return 827;
    case payIban:
      return 836;
    default:
      return 0;
  }
}

// The EZAG record of a payment: 22, 27, 28, 37 or none.
int EzagRecordOf(const PaymentView& payment) {
  switch (payment.type) {
    case payESR15:
    case payESR16:
    case payESR17:
      return 28;
    case payRedPost:
    case payRedTreuhand:
      return 22;
    case payRedBank:
    case payIban: {
      const std::string iban = NormalizeIban(payment.bank_dst.account);
      return iban.empty() || IsDomesticIbanCountry(iban) ? 27 : 37;
    }
    default:
      return 0;
  }
}

// Whether `written` is `original` as it is or in a form the file defines as normal: its upper case, or
// for an accented letter its base capital (the records' and the ISO names' character sets
// have no accents).
bool KeepsNormalForm(char original, char written) {
  if (written == original || written == Cp1252ToUpper(original)) return true;
  return static_cast<unsigned char>(original) >= 0xC0 && IsUpper(written);
}

char CleanXmlChar(char c) {
  char written = ' ';
  CleanXmlTextInto(std::string_view(&c, 1), &written);
  return written;
}

// An escaped ISO text keeps every character but the control characters XML does not allow,
// and a carriage return reads back as a line feed.
char EscapedXmlChar(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (c == '\r') return '\n';
  return code < 0x20 && c != '\t' && c != '\n' ? ' ' : c;
}

// An EZAG record is one line: line breaks in a text become blanks.
char OneLineChar(char c) { return c == '\r' || c == '\n' ? ' ' : c; }

// The character a warning names: as it is, or by its code when it cannot be shown.
std::string CharacterShown(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code < 0x20 || code == 0x7F) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("control character U+00") + kHex[code >> 4] + kHex[code & 15];
  }
  return "\"" + Utf8(std::string_view(&c, 1)) + "\"";
}

// The calendar day of an automation date, as a number that orders days (20230315);
// nothing for a value that is no calendar date.
std::optional<int> DayNumber(DATE date) {
  SYSTEMTIME time;
  if (!VariantTimeToSystemTime(date, &time)) return std::nullopt;
  return (time.wYear * 100 + time.wMonth) * 100 + time.wDay;
}

// The calendar day of an automation date as the ISO file writes it: "2023-03-15"; the number
// for a value that is no calendar date.
std::string DayText(DATE date) {
  const std::optional<int> day = DayNumber(date);
  if (!day) return DateValueText(date);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", *day / 10000, *day / 100 % 100, *day % 100);
  return text;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Cp1252ToUpper(a[i]) != Cp1252ToUpper(b[i])) return false;
  }
  return true;
}

class Checker {
 public:
  Checker(const PayBatch& batch, const PaySettingView& settings, const CheckRequest& request)
      : batch_(batch), settings_(settings), request_(request) {}

  std::vector<BatchWarning> Run() {
    switch (request_.file_type) {
      case payDTA:
        CheckDta();
        break;
      case payEzag:
        CheckEzag();
        break;
      case payISO:
        CheckIso();
        break;
      default:
        break;
    }
    return std::move(warnings_);
  }

 private:
  // Findings on the same field with the same group key are one warning line.
  void Warn(const Place& place, std::string text, const std::string& group) {
    const std::string key = place.Field() + "|" + group;
    std::string where = place.Text();
    if (const auto found = groups_.find(key); found != groups_.end()) {
      BatchWarning& first = warnings_[found->second];
      if (first.place != where) ++first.more;
      return;
    }
    groups_.emplace(key, warnings_.size());
    warnings_.push_back({std::move(where), std::move(text), 0});
  }
  void Warn(const Place& place, const std::string& text) { Warn(place, text, text); }

  // A text longer than its field: one warning per field, whatever the texts.
  void Cut(const Place& place, std::string_view original, std::string_view written, const FileField& field) {
    if (written.size() <= field.width) return;
    Warn(place, TextCut(Utf8(original), field, Utf8(written.substr(0, field.width))),
         std::string(field.format) + std::string(field.name) + std::to_string(field.width));
  }
  // Cleaning keeps the length, so a text that fits needs no cleaning to be found fitting.
  void CutCleaned(const Place& place, std::string_view original, std::string_view text, const FileField& field) {
    if (text.size() > field.width) Cut(place, original, CleanRecordText(text), field);
    RecordTextChanged(place, text);
  }
  void CutCleaned(const Place& place, std::string_view text, const FileField& field) {
    CutCleaned(place, text, text, field);
  }

  // ---- What the file carries differently from the batch, or not at all ----

  // A text the writer changes beyond its normal forms, character by character through
  // `written_char`: one warning per text, showing what the file gets.
  template <class WrittenChar>
  void Changed(const Place& place, std::string_view text, WrittenChar written_char, std::string_view set_name) {
    for (const char c : text) {
      if (KeepsNormalForm(c, written_char(c))) continue;
      std::string written(text);
      for (char& w : written) w = written_char(w);
      Warn(place, TextWrittenAs(Utf8(text), Utf8(written), std::string(set_name) + " has no " + CharacterShown(c)));
      return;
    }
  }
  void RecordTextChanged(const Place& place, std::string_view text) {
    Changed(place, text, CleanRecordChar, "the DTA character set");
  }

  // A value the file has no field for: one line per field, counting the further payments.
  void NotWritten(const Place& place, std::string_view text, std::string_view why) {
    if (!text.empty()) Warn(place, TextNotWritten(Utf8(text), why), "not written");
  }

  // An amount with more than two decimals, or below zero, where the record writes it as text.
  void RecordAmount(std::size_t i, std::int64_t amount, const FileField& field, std::string_view written) {
    if (amount < 0) {
      Warn(AtPayment(i, "Amount"), NegativeAmountWritten(amount, field, written), "negative");
    } else if (amount % 100 != 0) {
      Warn(AtPayment(i, "Amount"), AmountRounded(amount, field, written), "rounded");
    }
  }

  // The day of writing, read once from the clock.
  DATE Today() {
    if (today_ == 0.0) {
      SYSTEMTIME now = CurrentLocalTime();
      now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
      if (!SystemTimeToVariantTime(&now, &today_)) today_ = 0.0;
    }
    return today_;
  }

  // A day before the day of writing is written as it is.
  void PastDate(std::size_t i, DATE date) {
    const std::optional<int> day = DayNumber(date), today = DayNumber(Today());
    if (day && today && *day < *today) Warn(AtPayment(i, "Date"), DateBeforeToday(date, Today()), "past");
  }

  // Payroll batches repeat the same debit account, ordering bank and date in payment after
  // payment: the last result of a conversion serves the next payment with the same input.
  struct LastResult {
    std::string input;
    std::string result;
    bool set = false;
  };
  template <class Convert>
  static const std::string& Remembered(LastResult& last, std::string_view input, Convert convert) {
    if (!last.set || last.input != input) {
      last.result = convert(input);
      last.input = input;
      last.set = true;
    }
    return last.result;
  }

  // An account the field needs as a postal account; `normalized` is what the writer makes of it.
  void PostalAccount(const Place& place, std::string_view given, std::string_view normalized,
                     const FileField& field) {
    if (const std::optional<std::string> why = PostalAccountProblem(normalized)) {
      Warn(place, NotAPostalAccount(Utf8(given), *why, Utf8(normalized.substr(0, field.width))));
    }
  }

  // A six-digit date field: years 1900 to 2099 fit; an unset date is the day of writing.
  void FixedWidthDate(std::size_t index, DATE date, const FileField& field) {
    if (date == 0.0) return;
    if (date < 100.0) {
      Warn(AtPayment(index, "Date"), DateTakenAsToday(date, field));
      return;
    }
    if (date != last_date_) {
      last_date_written_ = FormatDateYYMMDD(date);
      last_date_ = date;
    }
    const std::string& written = last_date_written_;
    if (written.size() != 6) {
      Warn(AtPayment(index, "Date"), DateOutsideYears(date, field, 1900, 2099, written, true));
    } else {
      PastDate(index, date);
    }
  }

  void NoRecord(std::size_t index, const PaymentView& payment, std::string_view format) {
    Warn(AtPayment(index, "PayType"), NoRecordForKind(payment.type, format));
  }

  // ---- DTA ----

  void CheckDta() {
    const PaySettingView& settings = settings_;
    bool any_record = false;
    bool records[3] = {};  // TA 826, 827, 836: the ordering party's lines differ by record
    std::uint64_t total = 0;
    bool total_overflows = false;
    for (std::size_t i = 0; i < batch_.payments.size(); ++i) {
      const PaymentView payment = batch_.View(batch_.payments[i]);
      std::int64_t sum = 0;
      total_overflows = total_overflows ||
                        __builtin_add_overflow(static_cast<std::int64_t>(total), payment.amount.int64, &sum);
      total = static_cast<std::uint64_t>(sum);
      const int record = DtaRecordOf(payment.type);
      if (record == 0) {
        NoRecord(i, payment, "DTA");
        continue;
      }
      any_record = true;
      records[record == 826 ? 0 : record == 827 ? 1 : 2] = true;
      const FileField& amount_field = record == 836 ? kDtaIbanAmount : kDtaAmount;
      const AmountText amount = FormatAmountText(payment.amount.int64, kDtaAmountFormat);
      if (amount.size > amount_field.width) {
        Warn(AtPayment(i, "Amount"),
             AmountDoesNotFit(payment.amount.int64, amount_field, amount.view().substr(0, amount_field.width)));
      } else {
        RecordAmount(i, payment.amount.int64, amount_field, amount.view());
      }
      FixedWidthDate(i, payment.date, kDtaDate);
      if (record != 836 && !payment.currency.empty() && !SameTextIgnoringCase(payment.currency, "CHF")) {
        Warn(AtPayment(i, "Currency"),
             ValueNotWritten(Utf8(payment.currency), "the DTA TA " + std::to_string(record) + " record pays in CHF"));
      }
      if (record != 826) NotWritten(AtPayment(i, "ESR"), payment.esr, "the DTA record of this kind has no reference number");
      Cut(AtPayment(i, "BankSrc", "ID"), payment.bank_src.id,
          Remembered(ordering_bank_, payment.bank_src.id, NormalizePostAccount), kDtaOrderingBank);
      if (record == 826) CheckTa826(i, payment);
      if (record == 827) CheckTa827(i, payment);
      if (record == 836) CheckTa836(i, payment);
    }
    if (records[0]) DtaSender(kDtaEsrSenderLine, true, true);
    if (records[1]) DtaSender(kDtaSenderLine, false, true);
    if (records[2]) DtaSender(kDtaIbanSenderLine, false, false);
    CutCleaned(AtSetting("DtaID"), settings.dta_id, kDtaSenderId);
    if (any_record) CutCleaned(AtSetting("DtaID_Sender"), settings.dta_id_sender, kDtaReference);
    const FileField& total_field = kDtaTotal;
    const std::string total_text = FormatAmount(static_cast<std::int64_t>(total), &kDtaAmountFormat);
    if (total_overflows) {
      Warn(AtWhole(kPaymentsPlace), TotalOverflows());
    } else if (total_text.size() > total_field.width) {
      Warn(AtWhole(kPaymentsPlace),
           TotalDoesNotFit(static_cast<std::int64_t>(total), total_field, total_text.substr(0, total_field.width)));
    }
  }

  // The account to be debited: a Swiss or Liechtenstein IBAN in its compact form, else the text.
  void DtaDebitAccount(std::size_t i, const PaymentView& payment, bool iban_allowed) {
    const std::string& iban = Remembered(debit_iban_, payment.bank_src.account, NormalizeIban);
    const std::string_view text =
        iban_allowed && IsDomesticIban(iban, 2) ? std::string_view(iban) : payment.bank_src.account;
    CutCleaned(AtPayment(i, "BankSrc", "Account"), payment.bank_src.account, text, kDtaDebitAccount);
  }

  void DtaLines(std::size_t i, std::string_view block, const PayAddressView& address, const FileField& field,
                bool with_name2) {
    CutCleaned(AtPayment(i, block, "Name1"), address.name1, field);
    if (with_name2) CutCleaned(AtPayment(i, block, "Name2"), address.name2, field);
    CutCleaned(AtPayment(i, block, "Street"), address.street, field);
    CutCleaned(AtPayment(i, block, "City"), address.city, field);
  }

  void DtaSender(const FileField& field, bool cleaned, bool with_name2) {
    const PayAddressView& sender = settings_.sender;
    const auto line = [&](std::string_view key, std::string_view text) {
      if (cleaned) {
        Cut(AtSetting("Sender", key), text, CleanRecordText(text), field);
        RecordTextChanged(AtSetting("Sender", key), text);
      } else {
        Cut(AtSetting("Sender", key), text, text, field);
      }
    };
    line("Name1", sender.name1);
    if (with_name2) line("Name2", sender.name2);
    line("Street", sender.street);
    line("City", sender.city);
  }

  void CheckTa826(std::size_t i, const PaymentView& payment) {
    DtaDebitAccount(i, payment, false);
    const std::string participant = NormalizePostAccount(CleanRecordText(payment.bank_dst.account));
    // A participant number of fewer digits is zero-filled; nine digits carry a check digit.
    if (!IsDigits(participant) || participant.size() >= 9) {
      PostalAccount(AtPayment(i, "BankDst", "Account"), payment.bank_dst.account, participant, kDtaEsrParticipant);
    }
    DtaLines(i, "Receiver", payment.receiver, kDtaEsrAddressLine, true);
    NotWritten(AtPayment(i, "Reason"), payment.reason, "the DTA ESR record (TA 826) has no reason field");
    const FileField& reference_field = payment.type == payESR15 ? kDtaEsr15Reference : kDtaEsrReference;
    Cut(AtPayment(i, "ESR"), payment.esr, payment.esr, reference_field);
    // The record fills the reference with zeros in front to its field's width.
    std::string written(payment.esr.substr(0, reference_field.width));
    written.insert(0, reference_field.width - written.size(), '0');
    EsrReference(i, written, "DTA");
  }

  void EsrReference(std::size_t i, std::string_view written, std::string_view format) {
    const std::string_view reference = WithoutTrailingBlanks(written);
    if (const std::optional<std::string> why = EsrReferenceProblem(reference)) {
      Warn(AtPayment(i, "ESR"), NotAnEsrReference(Utf8(reference), *why, format));
    }
  }

  void CheckTa827(std::size_t i, const PaymentView& payment) {
    DtaDebitAccount(i, payment, true);
    const FileField& account_field = kDtaBeneficiaryAccount;
    const Place account = AtPayment(i, "BankDst", "Account");
    switch (payment.type) {
      case payRedBank:
        CutCleaned(AtPayment(i, "BankDst", "ID"), payment.bank_dst.id, kDtaBankClearing);
        [[fallthrough]];
      case payManual:
        CutCleaned(account, payment.bank_dst.account, account_field);
        break;
      case payRedPost:
        PostalAccount(account, payment.bank_dst.account,
                      NormalizePostAccount(CleanRecordText(payment.bank_dst.account)), kDtaBeneficiaryAccount);
        break;
      case payPostmandat:
        NotWritten(account, payment.bank_dst.account, "a postal order (payPostmandat) names no beneficiary account");
        break;
      case payRedTreuhand:
        PostalAccount(AtPayment(i, "BankDst", "ID"), payment.bank_dst.id,
                      NormalizePostAccount(CleanRecordText(payment.bank_dst.id)), kDtaBeneficiaryAccount);
        CutCleaned(account, payment.bank_dst.account, account_field);
        break;
      default:
        break;
    }
    if (payment.type == payRedTreuhand) {
      DtaLines(i, "BankSrc", payment.bank_src, kDtaAddressLine, true);
    }
    DtaLines(i, "Receiver", payment.receiver, kDtaAddressLine, true);
    CutCleaned(AtPayment(i, "Reason"), payment.reason, kDtaReason);
  }

  void CheckTa836(std::size_t i, const PaymentView& payment) {
    DtaDebitAccount(i, payment, true);
    CutCleaned(AtPayment(i, "Currency"), PaymentCurrencyText(payment), kDtaCurrency);
    const std::string iban = NormalizeIban(payment.bank_dst.account);
    if (iban.empty()) {
      Warn(AtPayment(i, "BankDst", "Account"),
           NotAnIban(Utf8(payment.bank_dst.account), "the DTA IBAN field is written empty"));
    }
    if (!IsDomesticIban(iban, 2)) {
      const FileField& bank_field = kDtaBeneficiaryBank;
      if (!payment.bank_dst.bic.empty()) {
        CutCleaned(AtPayment(i, "BankDst", "BIC"), payment.bank_dst.bic, bank_field);
      } else {
        CutCleaned(AtPayment(i, "BankDst", "Name1"), payment.bank_dst.name1, bank_field);
        CutCleaned(AtPayment(i, "BankDst", "City"), payment.bank_dst.city, bank_field);
      }
    }
    DtaLines(i, "Receiver", payment.receiver, kDtaIbanAddressLine, false);
    NotWritten(AtPayment(i, "Receiver", "Name2"), payment.receiver.name2,
               "the DTA IBAN record (TA 836) has no second name line");
    CutCleaned(AtPayment(i, "Reason"), payment.reason, kDtaIbanReason);
  }

  // ---- EZAG ----

  void CheckEzag() {
    const FileField& amount_field = kEzagAmount;
    std::int64_t total = 0;
    bool total_overflows = false;
    for (std::size_t i = 0; i < batch_.payments.size(); ++i) {
      const PaymentView payment = batch_.View(batch_.payments[i]);
      // The writer refuses the file for any amount that does not fit, with or without a record.
      if (!EzagAmountFits(payment.amount.int64)) {
        Warn(AtPayment(i, "Amount"), AmountRefused(payment.amount.int64, amount_field));
      } else if (EzagRecordOf(payment) != 0) {
        RecordAmount(i, payment.amount.int64, amount_field, EzagAmountText(payment.amount.int64).view());
      }
      total_overflows = total_overflows || __builtin_add_overflow(total, payment.amount.int64, &total);
      const int record = EzagRecordOf(payment);
      if (record == 0) NoRecord(i, payment, "EZAG");
      // The first payment gives the date and debit account of the header and total records.
      if (record != 0 || i == 0) {
        FixedWidthDate(i, payment.date, kEzagDate);
        EzagDebitAccount(i, payment);
      }
      if (record != 0) CheckEzagRecord(i, payment, record);
    }
    if (total_overflows) {
      Warn(AtWhole(kPaymentsPlace), TotalOverflows());
    } else if (!EzagAmountFits(total)) {
      Warn(AtWhole(kPaymentsPlace), TotalRefused(total, kEzagTotal));
    }
  }

  void EzagDebitAccount(std::size_t i, const PaymentView& payment) {
    const bool own = !payment.bank_src.account.empty();
    const std::string_view given = own ? payment.bank_src.account : settings_.cost_account;
    const Place place = own ? AtPayment(i, "BankSrc", "Account") : AtSetting("CostAccount");
    PostalAccount(place, given, Remembered(debit_account_, given, NormalizePostAccount), kEzagDebitAccount);
  }

  void CheckEzagRecord(std::size_t i, const PaymentView& payment, int record) {
    const std::string_view currency = PaymentCurrencyText(payment);
    if (currency.size() != 3) {
      Warn(AtPayment(i, "Currency"),
           RecordLengthChanges(Utf8(currency), "EZAG", static_cast<std::ptrdiff_t>(currency.size()) - 3));
    } else if (!IsUpper(currency[0]) || !IsUpper(currency[1]) || !IsUpper(currency[2])) {
      Warn(AtPayment(i, "Currency"), NotACurrencyCode(Utf8(currency), "EZAG"));
    }
    const Place account = AtPayment(i, "BankDst", "Account");
    if (record == 28) {
      // The ESR record names the receiver by its participant number alone.
      static constexpr std::string_view kNoReceiver = "the EZAG ESR record (type 28) has no receiver fields";
      NotWritten(AtPayment(i, "Receiver", "Name1"), payment.receiver.name1, kNoReceiver);
      NotWritten(AtPayment(i, "Receiver", "Name2"), payment.receiver.name2, kNoReceiver);
      NotWritten(AtPayment(i, "Receiver", "Street"), payment.receiver.street, kNoReceiver);
      NotWritten(AtPayment(i, "Receiver", "City"), payment.receiver.city, kNoReceiver);
      NotWritten(AtPayment(i, "Reason"), payment.reason, "the EZAG ESR record (type 28) has no reason field");
      OneLine(AtPayment(i, "ESR"), payment.esr);
      // The participant number is written as given: it must already be nine digits.
      PostalAccount(account, payment.bank_dst.account, payment.bank_dst.account, kEzagPostAccount);
      Cut(AtPayment(i, "ESR"), payment.esr, payment.esr, kEzagReference);
      // Written as given on one line, blanks after it.
      std::string written(payment.esr.substr(0, kEzagReference.width));
      for (char& c : written) c = c == '\r' || c == '\n' ? ' ' : c;
      EsrReference(i, written, "EZAG");
      return;
    }
    if (record == 22) {
      PostalAccount(account, payment.bank_dst.account, NormalizePostAccount(payment.bank_dst.account),
                    kEzagPostAccount);
    } else if (record == 27) {
      if (payment.type == payIban && NormalizeIban(payment.bank_dst.account).empty()) {
        Warn(account, NotAnIban(Utf8(payment.bank_dst.account),
                                "the EZAG file gets it as a domestic bank account (record type 27)"));
      }
      Cut(account, payment.bank_dst.account, payment.bank_dst.account, kEzagAccount);
    } else {
      Cut(AtPayment(i, "BankDst", "BIC"), payment.bank_dst.bic, payment.bank_dst.bic, kEzagBic);
    }
    NotWritten(AtPayment(i, "ESR"), payment.esr, "the EZAG record of this kind has no reference number");
    if (record == 27) OneLine(account, payment.bank_dst.account);
    if (record == 37) OneLine(AtPayment(i, "BankDst", "BIC"), payment.bank_dst.bic);
    const PayAddressView& receiver = payment.receiver;
    OneLine(AtPayment(i, "Receiver", "Name1"), receiver.name1);
    OneLine(AtPayment(i, "Receiver", "Name2"), receiver.name2);
    OneLine(AtPayment(i, "Receiver", "Street"), receiver.street);
    OneLine(AtPayment(i, "Receiver", "City"), receiver.city);
    OneLine(AtPayment(i, "Reason"), payment.reason);
    const FileField& name_field = kEzagReceiverLine;
    Cut(AtPayment(i, "Receiver", "Name1"), receiver.name1, receiver.name1, name_field);
    Cut(AtPayment(i, "Receiver", "Street"), receiver.street, receiver.street, name_field);
    Cut(AtPayment(i, "Receiver", "Name2"), receiver.name2, receiver.name2, name_field);
    const ZipCity zip_city = SplitZipCity(receiver.city);
    const Place city = AtPayment(i, "Receiver", "City");
    if (!receiver.city.empty() && zip_city.zip.empty()) {
      Warn(city, NoPostcode(Utf8(receiver.city)), "no postcode");
    } else {
      Cut(city, receiver.city, zip_city.zip, kEzagPostcode);
      Cut(city, receiver.city, zip_city.city, kEzagPlace);
    }
    Cut(AtPayment(i, "Reason"), payment.reason, payment.reason, kEzagReason);
  }

  void OneLine(const Place& place, std::string_view text) {
    Changed(place, text, OneLineChar, "the one-line EZAG record");
  }

  // ---- ISO ----

  std::string_view Flavour() const { return request_.swiss ? "Swiss" : "generic"; }

  // An element of the schemas' text types: not empty, not longer than `limit`, and in the
  // Swiss flavour within its character set.
  void SchemaText(const Place& place, std::string_view original, std::string_view written, std::size_t limit,
                  std::string_view element) {
    if (written.empty()) {
      Warn(place, EmptyForSchema(element));
      return;
    }
    if (written.size() > limit) {
      Warn(place, TooLongForSchema(Utf8(original), written.size(), Flavour(), limit, element),
           "too long" + std::string(element));
    }
    if (!request_.swiss) return;
    if (const std::optional<char> outside = FirstOutside(written, InSwissCharacterSet)) {
      Warn(place, OutsideSwissCharacters(Utf8(original), Utf8(std::string_view(&*outside, 1)), element),
           "outside" + std::string(element));
    }
  }

  void CheckIso() {
    const std::size_t name_limit = request_.swiss ? 70 : 140;
    std::string sender(settings_.sender.name1);
    Cp1252ToUpperInPlace(sender);
    SchemaText(AtSetting("Sender", "Name1"), settings_.sender.name1, CleanXmlText(sender), name_limit, "Nm");
    IsoNameChanged(AtSetting("Sender", "Name1"), settings_.sender.name1);

    const PaymentView first = batch_.View(batch_.payments.front());
    SYSTEMTIME calendar;
    if (first.date == 0.0) {
      Warn(AtPayment(0, "Date"), ExecutionDateNotGiven());
    } else if (!VariantTimeToSystemTime(first.date, &calendar)) {
      Warn(AtPayment(0, "Date"),
           DateOutsideYears(first.date, kIsoExecutionDate, 100, 9999, "Invalid DateTime", false));
    } else {
      PastDate(0, first.date);
    }
    const std::string debtor_iban = CleanXmlText(first.bank_src.account);
    if (debtor_iban.empty()) {
      Warn(AtPayment(0, "BankSrc", "Account"), EmptyForSchema("IBAN"));
    } else if (!IsSchemaIban(debtor_iban)) {
      Warn(AtPayment(0, "BankSrc", "Account"), NotADebtorIban(Utf8(first.bank_src.account), Utf8(debtor_iban)));
    }
    SchemaText(AtPayment(0, "BankSrc", "ID"), first.bank_src.id, NormalizePostAccount(first.bank_src.id), 35, "MmbId");
    CheckEndToEndId();

    const bool euro_or_sic = settings_.cost_currency == "EUR" || settings_.cost_currency == "SIC";
    for (std::size_t i = 0; i < batch_.payments.size(); ++i) {
      const PaymentView payment = batch_.View(batch_.payments[i]);
      if (payment.amount.int64 < 0) {
        Warn(AtPayment(i, "Amount"), NegativeAmount(payment.amount.int64), "negative");
      } else if (payment.amount.int64 % 100 != 0) {
        Warn(AtPayment(i, "Amount"),
             AmountRounded(payment.amount.int64, kIsoAmount,
                           FormatAmountText(payment.amount.int64, kPointAmountFormat).view()),
             "rounded");
      }
      const PayAddressView& receiver = payment.receiver;
      SchemaText(AtPayment(i, "Receiver", "Name1"), receiver.name1, CleanXmlText(receiver.name1), name_limit, "Nm");
      IsoNameChanged(AtPayment(i, "Receiver", "Name1"), receiver.name1);
      const std::string_view country = CountryFromCity(receiver.city);
      if (country.size() != 2 || !IsUpper(country[0]) || !IsUpper(country[1])) {
        Warn(AtPayment(i, "Receiver", "City"), NotACountryCode(Utf8(country)), "country");
      } else {
        IsoCountry(i, payment, country);
      }
      if (!receiver.street.empty()) {
        SchemaText(AtPayment(i, "Receiver", "Street"), receiver.street, receiver.street, 70, "AdrLine");
        IsoTextChanged(AtPayment(i, "Receiver", "Street"), receiver.street);
      }
      SchemaText(AtPayment(i, "Receiver", "City"), receiver.city, receiver.city, 70, "AdrLine");
      IsoTextChanged(AtPayment(i, "Receiver", "City"), receiver.city);
      if (!payment.reason.empty()) {
        SchemaText(AtPayment(i, "Reason"), payment.reason, payment.reason, 140, "Ustrd");
        IsoTextChanged(AtPayment(i, "Reason"), payment.reason);
      }
      CheckCreditor(i, payment, euro_or_sic);
      IsoNotWritten(i, payment, first);
    }
  }

  void IsoNameChanged(const Place& place, std::string_view text) {
    Changed(place, text, CleanXmlChar, "the character set of ISO names and identifiers");
  }
  void IsoTextChanged(const Place& place, std::string_view text) {
    Changed(place, text, EscapedXmlChar, "the ISO document");
  }

  // The one payment information block takes its day, debit account and bank from the first
  // payment and its currency from the settings; a payment's own are not written.
  void IsoNotWritten(std::size_t i, const PaymentView& payment, const PaymentView& first) {
    const std::string_view batch_currency = IsoCurrency(settings_.cost_currency);
    if (!payment.currency.empty() && !SameTextIgnoringCase(payment.currency, batch_currency)) {
      Warn(AtPayment(i, "Currency"),
           ValueNotWritten(Utf8(payment.currency), "the 2009 ISO file pays every payment in the batch currency " +
                                                       std::string(batch_currency)));
    }
    NotWritten(AtPayment(i, "ESR"), payment.esr, "the 2009 ISO file carries no ESR reference number");
    NotWritten(AtPayment(i, "Receiver", "Name2"), payment.receiver.name2,
               "the 2009 ISO file has no second name line");
    if (i == 0) return;
    if (DayNumber(payment.date) != DayNumber(first.date)) {
      const std::string why = "the 2009 ISO file executes every payment on the first payment's day " +
                              DayText(first.date);
      Warn(AtPayment(i, "Date"),
           payment.date == 0.0 ? "not given; " + why + ", not on the day of writing"
                               : ValueNotWritten(DayText(payment.date), why),
           "not the first day");
    }
    if (payment.bank_src.account != first.bank_src.account) {
      Warn(AtPayment(i, "BankSrc", "Account"),
           TextNotWritten(Utf8(payment.bank_src.account),
                          "the 2009 ISO file debits every payment to the first payment's account \"" +
                              Utf8(first.bank_src.account) + "\""),
           "not the first account");
    }
    if (payment.bank_src.id != first.bank_src.id) {
      Warn(AtPayment(i, "BankSrc", "ID"),
           TextNotWritten(Utf8(payment.bank_src.id),
                          "the 2009 ISO file names the first payment's bank \"" + Utf8(first.bank_src.id) +
                              "\" for every payment"),
           "not the first bank");
    }
  }

  // The country the file gets from the City text, against the one the batch tells: the
  // address part Country, else the country of the receiver's IBAN.
  void IsoCountry(std::size_t i, const PaymentView& payment, std::string_view written) {
    std::string country(payment.receiver.country);
    std::string told_by = "Receiver.Country";
    if (country.empty() && payment.type == payIban) {
      const std::string iban = NormalizeIban(payment.bank_dst.account);
      if (iban.size() > 10) country = iban.substr(0, 2);
      told_by = "the country of the receiver's IBAN";
    }
    Cp1252ToUpperInPlace(country);
    if (country.empty() || country == written) return;
    Warn(AtPayment(i, "Receiver", "City"),
         CountryNotTheReceivers(Utf8(payment.receiver.city), Utf8(written), Utf8(country), told_by));
  }

  void CheckEndToEndId() {
    // The longest identification: "X" and three digits, "-", then the pay period.
    const std::string id = "X999-" + std::string(request_.pay_period);
    const Place period = AtWhole(kPeriodPlace);
    if (id.size() > 35) {
      Warn(period, TooLongForSchema(Utf8(id), id.size(), Flavour(), 35, "EndToEndId"));
    }
    if (request_.swiss) {
      if (const std::optional<char> outside = FirstOutside(request_.pay_period, InSwiftCharacterSet)) {
        Warn(period, OutsideSwissCharacters(Utf8(request_.pay_period), Utf8(std::string_view(&*outside, 1)),
                                            "EndToEndId"));
      }
    }
  }

  void CheckCreditor(std::size_t i, const PaymentView& payment, bool euro_or_sic) {
    const bool is_iban_kind = payment.type == payIban;
    const std::string iban = is_iban_kind ? NormalizeIban(payment.bank_dst.account) : std::string();
    const Place account = AtPayment(i, "BankDst", "Account");
    if (is_iban_kind && iban.empty()) {
      Warn(account, NotAnIban(Utf8(payment.bank_dst.account),
                              "the ISO file gets an empty <IBAN> element, which the schema refuses"));
    }
    const bool domestic = IsDomesticIban(iban, 10);
    const std::string bic = is_iban_kind ? CleanXmlText(payment.bank_dst.bic) : std::string();
    const bool bic_wanted = !bic.empty() || (iban.size() > 10 && !domestic);
    if (payment.type == payRedPost) {
      // The postal BIC is written whatever the batch holds.
    } else if (bic_wanted || euro_or_sic) {
      if (!bic.empty()) {
        if (!IsSchemaBic(bic)) Warn(AtPayment(i, "BankDst", "BIC"), NotABic(Utf8(bic)), "bic");
        IsoNameChanged(AtPayment(i, "BankDst", "BIC"), payment.bank_dst.bic);
      } else if (is_iban_kind && bic_wanted) {
        Warn(AtPayment(i, "BankDst", "BIC"), EmptyBicForForeignIban(iban), "empty bic");
      } else {
        Warn(AtPayment(i, "PayType"), EmptyBicInEuroBatch(payment.type));
      }
    } else if (domestic) {
      SchemaText(account, payment.bank_dst.account, ClearingFromIban(iban), 35, "MmbId");
    } else {
      SchemaText(AtPayment(i, "BankDst", "ID"), payment.bank_dst.id, CleanXmlText(payment.bank_dst.id), 35, "MmbId");
      IsoNameChanged(AtPayment(i, "BankDst", "ID"), payment.bank_dst.id);
    }
    if (!is_iban_kind) {
      SchemaText(account, payment.bank_dst.account, CleanXmlText(payment.bank_dst.account), 34, "Id");
      IsoNameChanged(account, payment.bank_dst.account);
    }
  }

  const PayBatch& batch_;
  const PaySettingView settings_;  // the settings' texts, read once
  const CheckRequest& request_;
  std::vector<BatchWarning> warnings_;
  std::map<std::string, std::size_t> groups_;
  LastResult ordering_bank_, debit_iban_, debit_account_;
  DATE last_date_ = 0.0;  // never formatted: an unset date is not written as a date
  DATE today_ = 0.0;      // read from the clock on first use
  std::string last_date_written_;
};

}  // namespace

std::vector<BatchWarning> CheckBatch(const PayBatch& batch, const CheckRequest& request) {
  return CheckBatch(batch, batch.View(batch.settings), request);
}

std::vector<BatchWarning> CheckBatch(const PayBatch& batch, const PaySettingView& settings,
                                     const CheckRequest& request) {
  if (batch.payments.empty()) return {};
  return Checker(batch, settings, request).Run();
}

SettingsCopy::SettingsCopy(const PaySettingView& settings)
    : texts_{std::string(settings.sender.name1), std::string(settings.sender.name2),
             std::string(settings.sender.street),  std::string(settings.sender.city),
             std::string(settings.sender.id),      std::string(settings.sender.account),
             std::string(settings.sender.bic),     std::string(settings.dta_id),
             std::string(settings.cost_account),   std::string(settings.dta_id_sender),
             std::string(settings.cost_currency)} {
  view_.sender = {texts_[0], texts_[1], texts_[2], texts_[3], texts_[4], texts_[5], texts_[6], {}, {}, {}, {}, {}};
  view_.dta_id = texts_[7];
  view_.cost_account = texts_[8];
  view_.is_salary = settings.is_salary;
  view_.dta_id_sender = texts_[9];
  view_.cost_currency = texts_[10];
}

std::string BatchWarningLine(std::string_view source_name, const BatchWarning& warning) {
  std::string line = WarningLine(source_name, warning.place, warning.text);
  if (warning.more != 0) {
    line += " (also in " + std::to_string(warning.more) + (warning.more == 1 ? " more payment)" : " more payments)");
  }
  return line;
}

}  // namespace ordexa::payfile
