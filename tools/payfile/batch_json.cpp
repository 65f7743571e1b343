// Reads the batch in one pass with the simdjson On Demand parser (no document tree).
#include "tools/payfile/batch_json.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <system_error>

#include <sys/stat.h>

#include "ordexa_enums.h"
#include "tools/payfile/amount_text.h"
#include "tools/payfile/batch_text.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/hex.h"
#include "tools/payfile/local_date.h"

namespace ordexa::payfile {
namespace {

namespace ondemand = simdjson::ondemand;
using ondemand::json_type;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TypeName(json_type type) {
  switch (type) {
    case json_type::array:
      return "an array";
    case json_type::object:
      return "an object";
    case json_type::number:
      return "a number";
    case json_type::string:
      return "a string";
    case json_type::boolean:
      return "a boolean";
    case json_type::null:
      return "null";
  }
  return "an unknown value";
}

// A scalar's raw JSON token without the white space the parser leaves behind it.
std::string_view TrimToken(std::string_view token) {
  while (!token.empty() &&
         (token.back() == ' ' || token.back() == '\t' || token.back() == '\n' || token.back() == '\r')) {
    token.remove_suffix(1);
  }
  return token;
}

class BatchJsonReader {
 public:
  // With `bytes`, the text read is given back to the system as the reading goes on.
  BatchJsonReader(simdjson::padded_string_view json, std::string_view source_name, ondemand::parser& parser,
                  BatchSink& sink, BatchBytes* bytes)
      : text_(json), source_name_(source_name), parser_(parser), sink_(sink), bytes_(bytes) {
    if (text_.starts_with(kByteOrderMark)) body_offset_ = kByteOrderMark.size();
    body_ = simdjson::padded_string_view(json.data() + body_offset_, json.size() - body_offset_,
                                         json.capacity() - body_offset_);
  }

  std::size_t Read() {
    const JsonPath root;
    // Windows editors save "Unicode" as UTF-16: its byte-order mark, or a zero byte beside
    // every ASCII character, is plain to see before any JSON is read.
    if (text_.starts_with("\xFF\xFE") || text_.starts_with("\xFE\xFF") ||
        (text_.size() >= 2 && (text_[0] == '\0') != (text_[1] == '\0'))) {
      Fail(root, "the file is UTF-16 text; batch files are UTF-8: save it as UTF-8");
    }
    if (body_text().find_first_not_of(" \t\r\n") == std::string_view::npos) {
      Fail(root, "the file is empty; a batch is a JSON object with its payments");
    }
    // The tokenizer checks the whole text for UTF-8 as it goes; whatever it stops at, a
    // byte that is not UTF-8 is the first thing to name.
    if (const auto error = parser_.iterate(body_).get(document_)) {
      FailIfNotUtf8(root);
      FailTokens(root, error);
    }
    document_ready_ = true;
    json_type type;
    if (const auto error = document_.type().get(type)) FailJson(root, error);
    if (type != json_type::object) Fail(root, "the batch must be a JSON object, not " + std::string(TypeName(type)));
    ondemand::object object;
    if (const auto error = document_.get_object().get(object)) FailJson(root, error);

    KeysRead<std::size(kRootKeys)> read;
    ForEachField(object, root, [&](std::string_view key, ondemand::value& value) {
      const std::size_t index = KeyIndex(key, kRootKeys, read, root);
      const JsonPath path = root.Key(kRootKeys[index]);
      if (index == kSettings) {
        ReadSettings(value, path);
      } else {
        ReadPayments(value, path);
      }
    });
    // Anything after the batch object is a second value: not a batch.
    const char* trailing = nullptr;
    if (document_.current_location().get(trailing) == simdjson::SUCCESS) {
      Fail(root, "unexpected content after the batch object" + PositionAt(trailing));
    }
    if (payment_count_ == 0) {
      Fail(root.Key(kRootKeys[kPayments]), "the batch holds no payments; a payment file needs at least one");
    }
    return payment_count_;
  }

 private:
  [[noreturn]] void Fail(const JsonPath& path, std::string_view problem) const {
    std::string message(source_name_);
    message += ": ";
    if (const std::string place = path.ToString(); !place.empty()) {
      message += place;
      message += ": ";
    }
    message += problem;
    throw BatchError(message);
  }

  static std::string Problem(simdjson::error_code error) {
    return std::string("malformed JSON (") + simdjson::error_message(error) + ")";
  }

  void FailIfNotUtf8(const JsonPath& root) const {
    const std::optional<std::size_t> bad = FirstInvalidUtf8(text_);
    if (!bad) return;
    const TextPosition position = PositionOf(text_, *bad);
    Fail(root, "the byte " + HexText(static_cast<unsigned char>(text_[*bad]), 2) + " at offset " +
                   std::to_string(*bad) + " (line " + std::to_string(position.line) + ", column " +
                   std::to_string(position.column) + ") is not UTF-8; batch files are UTF-8 text");
  }

  // The text did not even tokenize: the place is found in the text itself.
  [[noreturn]] void FailTokens(const JsonPath& path, simdjson::error_code error) const {
    std::string problem = Problem(error);
    if (const std::optional<std::size_t> fault = FindStringFault(body_text())) {
      problem += PositionText(text_, body_offset_ + *fault);
    }
    Fail(path, problem);
  }

  [[noreturn]] void FailJson(const JsonPath& path, simdjson::error_code error) {
    std::string problem = Problem(error);
    const char* location = nullptr;
    if (error == simdjson::INCOMPLETE_ARRAY_OR_OBJECT) {
      problem += PositionText(PositionAfterReleased(text_.size()));  // the text ends before the batch does
    } else if (document_ready_ && document_.current_location().get(location) == simdjson::SUCCESS) {
      problem += PositionAt(location);
    }
    Fail(path, problem);
  }

  std::string_view body_text() const { return text_.substr(body_offset_); }

  // " at line L, column C" for a place inside the batch text, else nothing.
  std::string PositionAt(const char* location) const {
    const char* begin = text_.data();
    if (location < begin || location > begin + text_.size()) return {};
    return PositionText(PositionAfterReleased(static_cast<std::size_t>(location - begin)));
  }

  // Positions are counted on from the last place whose position was kept before the
  // text in front of it went back to the system.
  TextPosition PositionAfterReleased(std::size_t offset) const {
    return PositionOf(text_, std::max(offset, released_), released_, released_at_);
  }

  // A long batch gives the text it has read back to the system as it goes, a margin
  // behind the reading place, so that the batch text and the records made of it never
  // stand in memory in full at the same time.
  void ReleaseBehind(const char* reading) {
    static constexpr std::size_t kStep = std::size_t{4} << 20, kMargin = std::size_t{1} << 20;
    const auto offset = static_cast<std::size_t>(reading - text_.data());
    if (bytes_ == nullptr || offset < released_ + kStep + kMargin) return;
    const std::size_t mark = offset - kMargin;
    released_at_ = PositionOf(text_, mark, released_, released_at_);
    released_ = mark;
    bytes_->Release(mark);
  }

  template <class OnField>
  void ForEachField(ondemand::object& object, const JsonPath& path, OnField on_field) {
    for (auto result : object) {
      ondemand::field field;
      if (const auto error = std::move(result).get(field)) FailJson(path, error);
      // A key without escapes is read where it stands; only others are unescaped, into the
      // parser's string buffer, which would otherwise fill with a copy of every key.
      const char* raw = field.key().raw();
      const void* quote = std::memchr(raw, '"', static_cast<std::size_t>(text_.data() + text_.size() - raw));
      std::string_view key(raw, quote == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(quote) - raw));
      if (quote == nullptr || key.find('\\') != std::string_view::npos) {
        if (const auto error = field.unescaped_key().get(key)) FailJson(path, error);
      }
      on_field(key, field.value());
    }
  }

  // The keys of one object as they are read: which were seen, and where the search for
  // the next begins. Batch files give the keys of every payment in the same order, so
  // the search starting behind the last key found mostly hits at once.
  template <std::size_t N>
  struct KeysRead {
    std::array<bool, N> seen{};
    std::size_t next = 0;
  };

  // The index of `key` among the object's keys; unknown and repeated keys are refused.
  template <std::size_t N>
  std::size_t KeyIndex(std::string_view key, const std::string_view (&keys)[N], KeysRead<N>& read,
                       const JsonPath& object_path) const {
    for (std::size_t k = 0; k < N; ++k) {
      const std::size_t i = (read.next + k) % N;
      // Length and first letter tell most keys apart without a compare call.
      if (keys[i].size() != key.size() || key.empty() || keys[i][0] != key[0] || keys[i] != key) continue;
      if (read.seen[i]) Fail(object_path.Key(keys[i]), "is given twice");
      read.seen[i] = true;
      read.next = i + 1;
      return i;
    }
    Fail(object_path.Key(key), "unknown key (expected one of " + KeyList(keys) + ")");
  }

  json_type TypeOf(ondemand::value& value, const JsonPath& path) {
    json_type type;
    if (const auto error = value.type().get(type)) FailJson(path, error);
    // The type is told by the first character only: "tru" or "nul" are no values.
    if (type == json_type::boolean || type == json_type::null) {
      const std::string_view token = TrimToken(value.raw_json_token());
      if (token != "true" && token != "false" && token != "null") {
        Fail(path, QuotedToken(token) + " is not a JSON value" + PositionAt(token.data()));
      }
    }
    return type;
  }

  [[noreturn]] void FailType(const JsonPath& path, std::string_view expected, json_type found) const {
    Fail(path, "must be " + std::string(expected) + ", not " + std::string(TypeName(found)));
  }

  ondemand::object GetObject(ondemand::value& value, const JsonPath& path) {
    if (const json_type type = TypeOf(value, path); type != json_type::object) FailType(path, "an object", type);
    ondemand::object object;
    if (const auto error = value.get_object().get(object)) FailJson(path, error);
    return object;
  }

  std::string_view GetString(ondemand::value& value, const JsonPath& path) {
    // A string's token begins with its quote (what the parser's type test looks at too).
    const std::string_view token = TrimToken(value.raw_json_token());
    if (token.empty() || token.front() != '"') {
      if (const json_type type = TypeOf(value, path); type != json_type::string) FailType(path, "a string", type);
    }
    // Most texts hold no escape: they are their own text, read in place without a copy.
    // The tokenizer has already refused control characters inside strings.
    if (token.size() >= 2 && token.back() == '"' && token.find('\\') == std::string_view::npos) {
      ondemand::raw_json_string raw;
      if (const auto error = value.get_raw_json_string().get(raw)) FailJson(path, error);
      return token.substr(1, token.size() - 2);
    }
    std::string_view text;
    if (const auto error = value.get_string().get(text)) FailJson(path, error);
    return text;
  }

  bool GetBool(ondemand::value& value, const JsonPath& path) {
    if (const json_type type = TypeOf(value, path); type != json_type::boolean) FailType(path, "true or false", type);
    bool flag = false;
    if (const auto error = value.get_bool().get(flag)) FailJson(path, error);
    return flag;
  }

  // A JSON number's text; the parser has only delimited it, so its form is checked here.
  std::string_view GetNumberToken(ondemand::value& value, const JsonPath& path) {
    const std::string_view token = TrimToken(value.raw_json_token());
    if (ParseJsonNumberAmount(token).status == AmountStatus::kNotANumber) {
      Fail(path, QuotedToken(token) + " is not a number");
    }
    return token;
  }

  // PayType and CostCode: any 32-bit integer, or one of the enumeration's names.
  std::int32_t GetEnumValue(ondemand::value& value, const JsonPath& path, std::span<const std::string_view> names) {
    const json_type type = TypeOf(value, path);
    if (type == json_type::number) {
      const std::string_view token = GetNumberToken(value, path);
      std::int32_t number = 0;
      const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
      if (error == std::errc::result_out_of_range) Fail(path, QuotedToken(token) + " is out of the 32-bit range");
      if (error != std::errc() || end != token.data() + token.size()) {
        Fail(path, QuotedToken(token) + " is not a whole number");
      }
      return number;
    }
    if (type == json_type::string) {
      const std::string_view token = TrimToken(value.raw_json_token());
      const std::string_view name = GetString(value, path);
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<std::int32_t>(i);
      }
      Fail(path, QuotedToken(token) + " is none of " + KeyList(names));
    }
    FailType(path, "a whole number or a name", type);
  }

  std::int64_t GetAmount(ondemand::value& value, const JsonPath& path) {
    const json_type type = TypeOf(value, path);
    if (type == json_type::string) {
      const std::string_view token = TrimToken(value.raw_json_token());
      const AmountParse parse = ParseDecimalAmount(GetString(value, path));
      switch (parse.status) {
        case AmountStatus::kOk:
          return parse.amount;
        case AmountStatus::kNotANumber:
          Fail(path, QuotedToken(token) + " is not a decimal number");
        case AmountStatus::kTooManyDecimals:
          Fail(path, QuotedToken(token) + " has more than four decimals");
        case AmountStatus::kOutOfRange:
          Fail(path, QuotedToken(token) + " is out of range");
      }
    }
    if (type == json_type::number) {
      const std::string_view token = GetNumberToken(value, path);
      const AmountParse parse = ParseJsonNumberAmount(token);
      if (parse.status != AmountStatus::kOk) Fail(path, QuotedToken(token) + " is out of range");
      return parse.amount;
    }
    FailType(path, "a decimal text or a number", type);
  }

  DATE GetDate(ondemand::value& value, const JsonPath& path) {
    const json_type type = TypeOf(value, path);
    if (type == json_type::number) {
      const std::string_view token = GetNumberToken(value, path);
      DATE date = 0.0;
      const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), date);
      if (error != std::errc() || end != token.data() + token.size()) {
        Fail(path, QuotedToken(token) + " is out of range");
      }
      return date;
    }
    if (type == json_type::string) {
      const std::string_view token = TrimToken(value.raw_json_token());
      const LocalDateParse parse = ParseLocalDateTime(GetString(value, path), true);
      if (!parse.ok) Fail(path, QuotedToken(token) + " " + parse.error);
      return ToAutomationDate(parse.time);
    }
    FailType(path, "a date text or a number", type);
  }

  void ReadAddress(ondemand::value& value, const JsonPath& path, BatchAddress& address) {
    ondemand::object object = GetObject(value, path);
    KeysRead<kAddressKeyCount> read;
    ForEachField(object, path, [&](std::string_view key, ondemand::value& field_value) {
      const std::size_t index = KeyIndex(key, kAddressKeys, read, path);
      address[index] = GetString(field_value, path.Key(kAddressKeys[index]));
    });
  }

  void ReadSettings(ondemand::value& value, const JsonPath& path) {
    ondemand::object object = GetObject(value, path);
    BatchSettings settings;
    KeysRead<std::size(kSettingKeys)> read;
    ForEachField(object, path, [&](std::string_view key, ondemand::value& field_value) {
      const std::size_t index = KeyIndex(key, kSettingKeys, read, path);
      const JsonPath field_path = path.Key(kSettingKeys[index]);
      switch (index) {
        case kSender:
          ReadAddress(field_value, field_path, settings.sender.emplace());
          break;
        case kDtaId:
          settings.dta_id = GetString(field_value, field_path);
          break;
        case kCostAccount:
          settings.cost_account = GetString(field_value, field_path);
          break;
        case kSettingIsSalary:
          settings.is_salary = GetBool(field_value, field_path);
          break;
        case kDtaIdSender:
          settings.dta_id_sender = GetString(field_value, field_path);
          break;
        case kCostCurrency:
          settings.cost_currency = GetString(field_value, field_path);
          break;
      }
    });
    sink_.Settings(settings);
  }

  void ReadPayments(ondemand::value& value, const JsonPath& path) {
    if (const json_type type = TypeOf(value, path); type != json_type::array) FailType(path, "an array", type);
    ondemand::array payments;
    if (const auto error = value.get_array().get(payments)) FailJson(path, error);
    for (auto result : payments) {
      const JsonPath element_path = path.Element(payment_count_);
      ondemand::value element;
      if (const auto error = std::move(result).get(element)) FailJson(element_path, error);
      const char* start = element.raw_json_token().data();
      ReadPayment(element, element_path);
      ++payment_count_;
      ReleaseBehind(start);
    }
  }

  void ReadPayment(ondemand::value& value, const JsonPath& path) {
    ondemand::object object = GetObject(value, path);
    BatchPayment payment;
    KeysRead<std::size(kPaymentKeys)> read;
    ForEachField(object, path, [&](std::string_view key, ondemand::value& field_value) {
      const std::size_t index = KeyIndex(key, kPaymentKeys, read, path);
      const JsonPath field_path = path.Key(kPaymentKeys[index]);
      switch (index) {
        case kPayType:
          payment.pay_type = GetEnumValue(field_value, field_path, kPayTypesNames);
          break;
        case kDate:
          payment.date = GetDate(field_value, field_path);
          break;
        case kAmount:
          payment.amount = GetAmount(field_value, field_path);
          break;
        case kReason:
          payment.reason = GetString(field_value, field_path);
          break;
        case kEsr:
          payment.esr = GetString(field_value, field_path);
          break;
        case kCurrency:
          payment.currency = GetString(field_value, field_path);
          break;
        case kPaymentIsSalary:
          payment.is_salary = GetBool(field_value, field_path);
          break;
        case kCostCode:
          payment.cost_code = GetEnumValue(field_value, field_path, kPayCostsNames);
          break;
        case kBankSrc:
          ReadAddress(field_value, field_path, payment.bank_src);
          break;
        case kBankDst:
          ReadAddress(field_value, field_path, payment.bank_dst);
          break;
        case kReceiver:
          ReadAddress(field_value, field_path, payment.receiver);
          break;
      }
    });
    if (!read.seen[kPayType]) Fail(path, "PayType is missing");
    sink_.Payment(payment);
  }

  std::string_view text_;  // the whole file, a byte-order mark included
  std::size_t body_offset_ = 0;
  simdjson::padded_string_view body_;
  std::string_view source_name_;
  ondemand::parser& parser_;
  ondemand::document document_;
  bool document_ready_ = false;
  BatchSink& sink_;
  std::size_t payment_count_ = 0;
  BatchBytes* bytes_;
  std::size_t released_ = 0;  // the text before this offset may be gone
  TextPosition released_at_;  // the position of that offset
};

// Keeps what the reader hands on.
class BatchCollector final : public BatchSink {
 public:
  void Settings(const BatchSettings& settings) override { batch.settings = settings; }
  void Payment(const BatchPayment& payment) override { batch.payments.push_back(payment); }

  Batch batch;
};

}  // namespace

BatchBytes LoadBatchText(const std::string& path) {
  const bool from_stdin = path == "-";
  const std::string name = from_stdin ? "<stdin>" : path;
  std::FILE* file = from_stdin ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw BatchError(name + ": cannot be read: " + std::strerror(errno));
  BatchBytes text;
  int read_error = 0;
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) {
    // A regular file is read straight into the parser's buffer, without a second copy.
    const auto size = static_cast<std::size_t>(status.st_size);
    text = BatchBytes(size);
    if (std::fread(text.data(), 1, size, file) != size || std::fgetc(file) != EOF) read_error = errno ? errno : EIO;
  } else if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
    read_error = EISDIR;
  } else {
    std::string bytes;
    char chunk[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, count);
    if (std::ferror(file) != 0) read_error = errno ? errno : EIO;
    text = BatchBytes(bytes.size());
    std::memcpy(text.data(), bytes.data(), bytes.size());
  }
  if (!from_stdin) std::fclose(file);
  if (read_error != 0) throw BatchError(name + ": cannot be read: " + std::strerror(read_error));
  return text;
}

std::size_t ReadBatchJson(simdjson::padded_string_view json, std::string_view source_name, ondemand::parser& parser,
                          BatchSink& sink) {
  BatchJsonReader reader(json, source_name, parser, sink, nullptr);
  return reader.Read();
}

std::size_t ReadBatchJson(BatchBytes& json, std::string_view source_name, ondemand::parser& parser,
                          BatchSink& sink) {
  BatchJsonReader reader(json.view(), source_name, parser, sink, &json);
  return reader.Read();
}

Batch ReadBatchJson(simdjson::padded_string_view json, std::string_view source_name, ondemand::parser& parser) {
  BatchCollector collector;
  ReadBatchJson(json, source_name, parser, collector);
  return std::move(collector.batch);
}

}  // namespace ordexa::payfile
