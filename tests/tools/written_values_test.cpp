// The check the other way round: each batch of a corpus is written as every file type, the
// file is read back field by field with the inspect machinery, and every payment value the
// file carries differently from the batch (after the normal forms: upper case, accents to
// their base letter, IBAN and postal account in their compact forms, blanks that fill a
// field) must be named by a warning of the check at that payment and field.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "format/iban.h"
#include "format/post_account.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "tools/inspect/inspect.h"
#include "tools/payfile/batch_check.h"
#include "tools/payfile/batch_fill.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/batch_json.h"
#include "tools/payfile/demo_batch.h"
#include "tools/payfile/payment_file.h"
#include "tools/payfile/warnings.h"
#include "tools/payfile_run.h"

namespace ordexa::payfile {
namespace {

using inspect::Block;
using inspect::Field;

// The day of writing of every file here.
constexpr SYSTEMTIME kToday{2024, 6, 4, 20, 9, 30, 0, 0};
constexpr int kTodayNumber = 20240620;

// What a payment holds, by the batch key that names it in a warning ("Receiver.Name1").
using Values = std::map<std::string, std::string>;

std::string Trimmed(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

// The normal form of a text in the records and the ISO names: capitals, accented letters as
// their base letter (by the letters' own decomposition, not by the writers' table).
std::string Capitals(std::string_view cp1252) {
  // 0xC0 to 0xFF; "*": a letter of its own (Æ, Ð, Ø, Þ, ß), or no letter (×, ÷).
  static constexpr std::string_view kBases =
      "AAAAAA*CEEEEIIII*NOOOOO**UUUUY**"
      "AAAAAA*CEEEEIIII*NOOOOO**UUUUY*Y";
  std::string text;
  for (const char c : cp1252) {
    const auto code = static_cast<unsigned char>(c);
    text += code >= 0xC0 && kBases[code - 0xC0] != '*' ? kBases[code - 0xC0] : Cp1252ToUpper(c);
  }
  return Cp1252ToUtf8(text);
}

// An account in the form two files can be compared by: the compact IBAN, the nine-digit
// postal account, else the text in capitals without blanks.
std::string AccountKey(std::string_view utf8) {
  const std::string text = AnsiTextFromUtf8(utf8);
  if (std::string iban = NormalizeIban(text); !iban.empty()) return iban;
  const std::string post = NormalizePostAccount(text);
  if (post.size() == 9 && post.find_first_not_of("0123456789") == std::string::npos &&
      post[8] == CheckDigitMod10(post.substr(0, 8))) {
    return post;
  }
  std::string key;
  for (const char c : text) {
    if (c != ' ') key += Cp1252ToUpper(c);
  }
  return key;
}

std::string WithoutLeadingZeros(std::string text) {
  text = Trimmed(text);
  const std::size_t first = text.find_first_not_of('0');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// An amount text of the file ("1234,50", "0000000123450", "1234.50") in ten-thousandths.
std::optional<std::int64_t> Amount(std::string text, bool ezag) {
  text = Trimmed(text);
  if (ezag) {
    if (text.size() != 13) return std::nullopt;
    text = text.substr(0, 11) + "." + text.substr(11);
    const std::size_t first = text.find_first_not_of('0');
    text = text.substr(first == 11 ? 10 : first);
  }
  for (char& c : text) c = c == ',' ? '.' : c;
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.erase(0, 1);
  const std::size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : text.substr(point + 1);
  if (whole.empty() || whole.size() > 14 || decimals.size() > 4) return std::nullopt;
  decimals.resize(4, '0');
  const std::string digits = whole + decimals;
  if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const std::int64_t value = std::stoll(digits);
  return negative ? -value : value;
}

// ---- The batch side ----

std::string DayText(int day_number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", day_number / 10000, day_number / 100 % 100, day_number % 100);
  return text;
}

int DayNumberOf(DATE date) {
  SYSTEMTIME time{};
  if (date == 0.0 || !VariantTimeToSystemTime(date, &time)) return kTodayNumber;
  return (time.wYear * 100 + time.wMonth) * 100 + time.wDay;
}

// What the batch says of payment `payment`, in the normal forms of `file_type`.
Values BatchValues(const PayBatch& batch, const PaymentView& payment, std::int32_t file_type) {
  const bool capitals = file_type == payDTA;  // DTA cleans every text; ISO its names only
  const auto text = [&](std::string_view cp1252, bool cleaned) {
    return Trimmed(cleaned ? Capitals(cp1252) : Cp1252ToUtf8(cp1252));
  };
  Values values;
  values["Amount"] = std::to_string(payment.amount.int64);
  // A payment without a currency is paid in the file's: CHF, or the ISO batch currency.
  if (!payment.currency.empty()) {
    std::string currency(payment.currency);
    Cp1252ToUpperInPlace(currency);
    values["Currency"] = Cp1252ToUtf8(currency);
  }
  values["Date"] = DayText(DayNumberOf(payment.date));
  const PaySettingView settings = batch.View(batch.settings);
  const std::string_view debit =
      file_type == payEzag && payment.bank_src.account.empty() ? settings.cost_account : payment.bank_src.account;
  values["BankSrc.Account"] = AccountKey(Cp1252ToUtf8(debit));
  values["BankDst.Account"] = AccountKey(Cp1252ToUtf8(payment.bank_dst.account));
  values["ESR"] = file_type == payEzag ? Trimmed(Cp1252ToUtf8(payment.esr)) : WithoutLeadingZeros(
                                                                                   Cp1252ToUtf8(payment.esr));
  values["Receiver.Name1"] = text(payment.receiver.name1, capitals || file_type == payISO);
  values["Receiver.Name2"] = text(payment.receiver.name2, capitals);
  values["Receiver.Street"] = text(payment.receiver.street, capitals);
  values["Receiver.City"] = text(payment.receiver.city, capitals);
  values["Reason"] = text(payment.reason, capitals);
  if (file_type == payISO) {
    // The country the batch tells: the address part, else that of the receiver's IBAN.
    std::string country(payment.receiver.country);
    const std::string iban = payment.type == payIban ? NormalizeIban(payment.bank_dst.account) : std::string();
    if (country.empty() && iban.size() > 10) country = iban.substr(0, 2);
    Cp1252ToUpperInPlace(country);
    if (!country.empty()) values["Receiver.Country"] = country;
  }
  return values;
}

// ---- The file side ----

const Field* FindField(const Block& block, std::string_view part, std::string_view name, int nth = 0) {
  for (const inspect::Part& p : block.parts) {
    if (!part.empty() && p.label != part) continue;
    for (const Field& field : p.fields) {
      if ((field.name == name || field.path == name) && nth-- == 0) return &field;
    }
  }
  return nullptr;
}

std::string ValueOf(const Block& block, std::string_view part, std::string_view name, int nth = 0) {
  const Field* field = FindField(block, part, name, nth);
  return field != nullptr ? field->value : std::string();
}

// A six-digit date of a record, its two-digit year read as this century's.
std::string RecordDay(std::string text) {
  if (text.size() != 6 || text.find_first_not_of("0123456789") != std::string::npos) return "?" + text;
  return "20" + text.substr(0, 2) + "-" + text.substr(2, 2) + "-" + text.substr(4, 2);
}

// The values of a DTA record, by its payment's position.
std::pair<std::size_t, Values> DtaValues(const Block& block) {
  Values v;
  const std::string kind = ValueOf(block, "segment 01", "transaction type");
  const std::size_t index = std::stoul(ValueOf(block, "segment 01", "entry sequence number")) - 1;
  const bool iban_record = kind == "836";
  const auto amount = Amount(ValueOf(block, "segment 01", "amount"), false);
  v["Amount"] = amount ? std::to_string(*amount) : "?";
  v["Currency"] = ValueOf(block, "segment 01", "currency");
  v["Date"] = RecordDay(ValueOf(block, "segment 01", iban_record ? "value date" : "processing date"));
  v["BankSrc.Account"] = AccountKey(ValueOf(block, "segment 01", "account to be debited"));
  const auto lines = [&](std::string_view segment, std::string_view prefix) {
    const std::string p(prefix);
    v["Receiver.Name1"] = Trimmed(ValueOf(block, segment, p + "line 1"));
    v["Receiver.Name2"] = Trimmed(ValueOf(block, segment, p + "line 2"));
    v["Receiver.Street"] = Trimmed(ValueOf(block, segment, p + "line 3"));
    v["Receiver.City"] = Trimmed(ValueOf(block, segment, p + "line 4"));
  };
  if (kind == "826") {
    v["BankDst.Account"] = AccountKey(ValueOf(block, "segment 03", "ESR participant number"));
    v["ESR"] = WithoutLeadingZeros(ValueOf(block, "segment 03", "ESR reference number"));
    lines("segment 03", "beneficiary ");
  } else if (kind == "827") {
    const bool trustee = FindField(block, "segment 05", "final beneficiary account") != nullptr;
    v["BankDst.Account"] =
        AccountKey(ValueOf(block, trustee ? "segment 05" : "segment 03",
                           trustee ? "final beneficiary account" : "beneficiary account"));
    if (trustee) {
      lines("segment 05", "final beneficiary ");
    } else {
      lines("segment 03", "beneficiary ");
    }
    v["Reason"] = Trimmed(ValueOf(block, "segment 04", "payment reason"));
  } else {
    v["BankDst.Account"] = AccountKey(ValueOf(block, "segment 03", "IBAN"));
    v["Receiver.Name1"] = Trimmed(ValueOf(block, "segment 04", "beneficiary name"));
    v["Receiver.Street"] = Trimmed(ValueOf(block, "segment 04", "beneficiary street"));
    v["Receiver.City"] = Trimmed(ValueOf(block, "segment 04", "beneficiary city"));
    v["Reason"] = Trimmed(ValueOf(block, "segment 05", "payment reason line 1"));
  }
  return {index, v};
}

// The values of an EZAG payment record, by its payment's position.
std::pair<std::size_t, Values> EzagValues(const Block& block) {
  Values v;
  const std::string kind = ValueOf(block, "header", "record type");
  const std::size_t index = std::stoul(ValueOf(block, "header", "sequence number")) - 1;
  const auto amount = Amount(ValueOf(block, "body", "amount"), true);
  v["Amount"] = amount ? std::to_string(*amount) : "?";
  v["Currency"] = ValueOf(block, "body", "currency");
  v["Date"] = RecordDay(ValueOf(block, "header", "processing date"));
  v["BankSrc.Account"] = AccountKey(ValueOf(block, "header", "account to be debited"));
  if (kind == "28") {
    v["BankDst.Account"] = AccountKey(ValueOf(block, "body", "ESR participant number"));
    v["ESR"] = Trimmed(ValueOf(block, "body", "ESR reference number"));
    return {index, v};
  }
  const char* account = kind == "22" ? "postal account" : kind == "27" ? "account" : "IBAN";
  v["BankDst.Account"] = AccountKey(ValueOf(block, "body", account));
  v["Receiver.Name1"] = Trimmed(ValueOf(block, "body", "receiver name"));
  v["Receiver.Name2"] = Trimmed(ValueOf(block, "body", "receiver line 2"));
  v["Receiver.Street"] = Trimmed(ValueOf(block, "body", "receiver street"));
  v["Receiver.City"] =
      Trimmed(Trimmed(ValueOf(block, "body", "receiver postcode")) + " " + Trimmed(ValueOf(block, "body", "receiver place")));
  v["Reason"] = Trimmed(ValueOf(block, "body", "payment reason"));
  return {index, v};
}

// The values of an ISO transaction; the day and the debit account are the payment
// information block's.
Values IsoValues(const Block& transaction, const Block& payment_information) {
  Values v;
  const auto amount = Amount(ValueOf(transaction, "", "Amt/InstdAmt"), false);
  v["Amount"] = amount ? std::to_string(*amount) : "?";
  v["Currency"] = ValueOf(transaction, "", "Amt/InstdAmt/@Ccy");
  v["Date"] = ValueOf(payment_information, "", "ReqdExctnDt");
  v["BankSrc.Account"] = AccountKey(ValueOf(payment_information, "", "DbtrAcct/Id/IBAN"));
  const std::string iban = ValueOf(transaction, "", "CdtrAcct/Id/IBAN");
  v["BankDst.Account"] = AccountKey(iban.empty() ? ValueOf(transaction, "", "CdtrAcct/Id/Othr/Id") : iban);
  v["Receiver.Name1"] = Trimmed(ValueOf(transaction, "", "Cdtr/Nm"));
  v["Receiver.Country"] = ValueOf(transaction, "", "Cdtr/PstlAdr/Ctry");
  const std::string line1 = ValueOf(transaction, "", "Cdtr/PstlAdr/AdrLine");
  const Field* line2 = FindField(transaction, "", "Cdtr/PstlAdr/AdrLine", 1);
  v["Receiver.Street"] = line2 != nullptr ? Trimmed(line1) : std::string();
  v["Receiver.City"] = Trimmed(line2 != nullptr ? line2->value : line1);
  v["Reason"] = Trimmed(ValueOf(transaction, "", "RmtInf/Ustrd"));
  return v;
}

// ---- Matching ----

// The warning keys of payment `index`: "Receiver.Name1", or "*" for a warning on the whole
// payment (its kind has no record); a warning that repeats in further payments counts for
// its field in every payment.
struct Named {
  std::map<std::size_t, std::vector<std::string>> keys;
  std::vector<std::string> repeated;

  bool Covers(std::size_t index, const std::string& key) const {
    // A country is taken from the City text, so a warning on the City covers it.
    const std::string field = key == "Receiver.Country" ? "Receiver.City" : key;
    if (const auto found = keys.find(index); found != keys.end()) {
      for (const std::string& named : found->second) {
        if (named == field || named == "PayType") return true;
      }
    }
    for (const std::string& named : repeated) {
      if (named == field) return true;
    }
    return false;
  }
};

Named NamedFields(const std::vector<BatchWarning>& warnings) {
  Named named;
  for (const BatchWarning& warning : warnings) {
    const std::string& place = warning.place;
    if (!place.starts_with("payments[")) continue;
    const std::size_t close = place.find(']');
    const std::size_t index = std::stoul(place.substr(9, close - 9));
    const std::string key = place.substr(close + 2);
    named.keys[index].push_back(key);
    if (warning.more != 0) named.repeated.push_back(key);
  }
  return named;
}

struct FileKind {
  const char* name;
  std::int32_t file_type;
  bool swiss;
};

constexpr FileKind kFileKinds[] = {
    {"dta", payDTA, false}, {"ezag", payEzag, false}, {"iso", payISO, false}, {"iso --ch", payISO, true}};

// Writes `json` as `kind`, reads the file back and lists each difference no warning names:
// "payments[3].Currency: batch "EUR", file "CHF"".
std::vector<std::string> UnnamedDifferences(const std::string& json, const FileKind& kind) {
  const ScopedClock clock(FixedClock(kToday));
  const ComPtr<CPayManager> manager = CPayManager::New();
  const simdjson::padded_string padded(json);
  simdjson::ondemand::parser parser;
  FillManager(ReadBatchJson(padded, "batch.json", parser), *manager.get());
  const PayBatch& batch = manager->batch();

  CheckRequest check;
  check.file_type = kind.file_type;
  check.swiss = kind.swiss;
  check.pay_period = "2024-06";
  const std::vector<BatchWarning> warnings = CheckBatch(batch, check);
  const Named named = NamedFields(warnings);

  // The values of the batch before the writer runs (the ISO writer changes the settings).
  std::vector<Values> expected;
  for (const PaymentRecord& record : batch.payments) {
    expected.push_back(BatchValues(batch, batch.View(record), kind.file_type));
  }

  const test::TempDir dir;
  FileRequest request;
  request.file_type = kind.file_type;
  request.display_name = request.file_name = dir.Path("pay.file");
  request.pay_period = "2024-06";
  request.swiss = kind.swiss;
  if (!WritePaymentFile(*manager.get(), request).written) {
    // Only a file the writer refuses is missing, and the check says so.
    bool refused = false;
    for (const BatchWarning& warning : warnings) refused = refused || warning.text.ends_with("refuses the file");
    return refused ? std::vector<std::string>{} : std::vector<std::string>{"the file is not written, unwarned"};
  }
  const std::string content = test::ReadWholeFile(request.file_name).value_or("");
  const inspect::Inspection inspection = inspect::InspectContent(content, "pay.file", {});

  std::map<std::size_t, Values> found;
  const Block* payment_information = nullptr;
  std::size_t transaction = 0;
  for (const Block& block : inspection.blocks) {
    if (kind.file_type == payDTA && block.title.find("TA 890") == std::string::npos) {
      found.insert(DtaValues(block));
    } else if (kind.file_type == payEzag && block.title.find("type 00") == std::string::npos &&
               block.title.find("type 97") == std::string::npos) {
      found.insert(EzagValues(block));
    } else if (kind.file_type == payISO && block.title.starts_with("payment information")) {
      payment_information = &block;
    } else if (kind.file_type == payISO && block.title.starts_with("transaction") && payment_information) {
      found[transaction++] = IsoValues(block, *payment_information);
    }
  }

  std::vector<std::string> unnamed;
  for (std::size_t index = 0; index < expected.size(); ++index) {
    const auto in_file = found.find(index);
    for (const auto& [key, value] : expected[index]) {
      std::string written;
      if (in_file != found.end()) {
        const auto field = in_file->second.find(key);
        written = field != in_file->second.end() ? field->second : std::string();
      }
      if (value == written || named.Covers(index, key)) continue;
      // The ISO file has one day and one debit account, the first payment's: a payment that
      // gives the same is covered by what is said about the first.
      const bool shared = kind.file_type == payISO && (key == "Date" || key == "BankSrc.Account");
      if (shared && expected[0].count(key) != 0 && expected[0].at(key) == value && named.Covers(0, key)) continue;
      unnamed.push_back(PaymentPlace(index, key) + ": batch \"" + value + "\", file \"" + written + "\"");
    }
  }
  return unnamed;
}

constexpr const char* kDayAndAmount = R"(, "Date": "2024-06-25", "Amount": "100")";

// A batch of one IBAN payment with `members` (the day and amount among them), its receiver,
// receiving account and ordering party's account as given.
std::string OnePayment(const std::string& members = kDayAndAmount,
                       const std::string& receiver = R"({"Name1": "Anna Muster", "Street": "Seeweg 2",
                                                          "City": "8002 Zürich"})",
                       const std::string& bank_dst = R"({"Account": "CH5604835012345678009"})",
                       const std::string& debit_account = "CH9300762011623852957") {
  return R"({"settings": {"Sender": {"Name1": "Muster AG", "City": "8001 Zürich"}, "DtaID": "ABC12",
  "DtaID_Sender": "ABC12", "CostAccount": "01-162-8", "CostCurrency": "CHF"},
 "payments": [{"PayType": "payIban",
  "BankSrc": {"ID": "700", "Account": ")" +
         debit_account + R"("}, "BankDst": )" + bank_dst + R"(, "Receiver": )" + receiver + members + "}]}";
}

// The batches the guard reads back: the every-kind batch, the demo, hostile batches that
// are written, and the six cases of values written silently differently.
std::vector<std::pair<std::string, std::string>> Corpus() {
  std::string every_character;
  for (int code = 1; code < 0x20; ++code) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    every_character += escape;
  }
  for (int code = 0x20; code < 0x7F; ++code) {
    if (code == '"' || code == '\\') every_character += '\\';
    every_character += static_cast<char>(code);
  }
  for (int code = 0xA0; code < 0x100; ++code) {  // the letters of code page 1252
    every_character += static_cast<char>(0xC0 | (code >> 6));
    every_character += static_cast<char>(0x80 | (code & 0x3F));
  }
  return {
      {"every kind", payfile_test::ReadWholeFile(payfile_test::DataPath("every_kind.json")).value_or("")},
      {"demo", std::string(DemoBatchJson())},
      {"every character", OnePayment(kDayAndAmount + std::string(R"(, "Reason": ")") + every_character + R"(", "ESR": ")" + every_character + "\"",
                                     R"({"Name1": ")" + every_character + R"(", "Street": ")" + every_character +
                                         R"(", "City": "8002 )" + every_character + "\"}")},
      {"extreme kinds and codes", R"({"settings": {"DtaID": "ABC12"}, "payments": [
        {"PayType": 2147483647, "CostCode": -2147483648, "Amount": "12.50",
         "BankSrc": {"Account": "CH9300762011623852957"}, "BankDst": {"Account": "CH9300762011623852957"}},
        {"PayType": "payIban", "CostCode": 2147483647, "Amount": "922337203685477.5807", "Date": -1e300,
         "BankSrc": {"Account": "CH9300762011623852957"}, "BankDst": {"Account": "CH9300762011623852957"}}]})"},
      {"EUR in a CHF batch", OnePayment(kDayAndAmount + std::string(R"(, "Currency": "EUR")"))},
      {"ESR reference", OnePayment(kDayAndAmount + std::string(R"(, "ESR": "210000000003139471430009017")"))},
      {"receiver in Germany", OnePayment(kDayAndAmount, R"({"Name1": "Jan Nowak", "City": "80331 München"})",
                                         R"({"Account": "DE89370400440532013000", "BIC": "COBADEFFXXX"})")},
      {"country as a part", OnePayment(kDayAndAmount, R"({"Name1": "Jan Nowak", "City": "80331 München", "Country": "DE"})")},
      {"date long past", OnePayment(R"(, "Date": "1899-12-31", "Amount": "100")")},
      {"debit IBAN with blanks", OnePayment(kDayAndAmount, R"({"Name1": "Anna Muster", "City": "8002 Zürich"})",
                                            R"({"Account": "CH5604835012345678009"})", "CH93 0076 2011 6238 5295 7")},
      {"negative amount", OnePayment(R"(, "Date": "2024-06-25", "Amount": "-250.5")")},
      {"cleaned texts", OnePayment(kDayAndAmount + std::string(R"(, "Reason": "Lohn für Weiß")"),
                                   R"({"Name1": "Weiß & Co", "Name2": "c/o Ærø", "Street": "Königstraße 4\nHinterhaus",
                                       "City": "8002 Zürich"})")},
  };
}

TEST(WrittenValues, EveryDifferenceBetweenBatchAndFileIsNamedByAWarning) {
  for (const auto& [what, json] : Corpus()) {
    ASSERT_FALSE(json.empty()) << what;
    for (const FileKind& kind : kFileKinds) {
      SCOPED_TRACE(what + " as " + kind.name);
      for (const std::string& difference : UnnamedDifferences(json, kind)) ADD_FAILURE() << difference;
    }
  }
}

}  // namespace
}  // namespace ordexa::payfile
