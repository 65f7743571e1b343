// Reads the batch in one pass with the simdjson On Demand parser (no document tree) and
// puts every value through the automation interfaces as soon as its object is complete.
#include "tools/payfile/batch_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include <sys/stat.h>

#include "model/com_object.h"
#include "tools/payfile/amount_text.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/local_date.h"

namespace ordexa::payfile {
namespace {

namespace ondemand = simdjson::ondemand;
using ondemand::json_type;

// Where a value stands in the batch, for messages: a key below its parent or an element
// of an array. Lives on the stack of the reading functions; rendered only on failure.
struct JsonPath {
  const JsonPath* parent = nullptr;
  std::string_view key;
  std::size_t index = 0;
  bool is_element = false;

  JsonPath Key(std::string_view name) const { return {this, name, 0, false}; }
  JsonPath Element(std::size_t position) const { return {this, {}, position, true}; }

  std::string ToString() const {
    if (parent == nullptr) return {};
    std::string text = parent->ToString();
    if (is_element) {
      text += '[' + std::to_string(index) + ']';
    } else {
      if (!text.empty()) text += '.';
      text += key;
    }
    return text;
  }
};


constexpr std::string_view kRootKeys[] = {"settings", "payments"};
enum RootKey { kSettings, kPayments };

constexpr std::string_view kSettingKeys[] = {"Sender",   "DtaID",        "CostAccount",
                                             "IsSalary", "DtaID_Sender", "CostCurrency"};
enum SettingKey { kSender, kDtaId, kCostAccount, kSettingIsSalary, kDtaIdSender, kCostCurrency };

constexpr std::string_view kPaymentKeys[] = {"PayType",  "Date",     "Amount",  "Reason",  "ESR",     "Currency",
                                             "IsSalary", "CostCode", "BankSrc", "BankDst", "Receiver"};
enum PaymentKey {
  kPayType,
  kDate,
  kAmount,
  kReason,
  kEsr,
  kCurrency,
  kPaymentIsSalary,
  kCostCode,
  kBankSrc,
  kBankDst,
  kReceiver
};

// The address keys and the puts they reach, in the same order.
constexpr std::string_view kAddressKeys[] = {"Name1", "Name2", "Street", "City", "ID", "Account", "BIC"};
using AddressPut = HRESULT (IPayAddress::*)(BSTR);
constexpr AddressPut kAddressPuts[] = {&IPayAddress::put_Name1, &IPayAddress::put_Name2, &IPayAddress::put_Street,
                                       &IPayAddress::put_City,  &IPayAddress::put_ID,    &IPayAddress::put_Account,
                                       &IPayAddress::put_BIC};
constexpr std::size_t kAddressFieldCount = std::size(kAddressKeys);
static_assert(std::size(kAddressPuts) == kAddressFieldCount);

// The texts of one address block as given in the batch (views into the parser's strings).
using AddressFields = std::array<std::optional<std::string_view>, kAddressFieldCount>;

// One payment as given in the batch; it becomes a NewPayment once its PayType is known.
struct PaymentFields {
  std::optional<std::int32_t> pay_type;
  std::optional<DATE> date;
  std::optional<std::int64_t> amount;
  std::optional<std::string_view> reason;
  std::optional<std::string_view> esr;
  std::optional<std::string_view> currency;
  std::optional<bool> is_salary;
  std::optional<std::int32_t> cost_code;
  AddressFields bank_src;
  AddressFields bank_dst;
  AddressFields receiver;
};

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

std::string KeyList(std::span<const std::string_view> keys) {
  std::string list;
  for (const std::string_view key : keys) {
    if (!list.empty()) list += ", ";
    list += key;
  }
  return list;
}

// A scalar's raw JSON token without the white space the parser leaves behind it.
std::string_view TrimToken(std::string_view token) {
  while (!token.empty() &&
         (token.back() == ' ' || token.back() == '\t' || token.back() == '\n' || token.back() == '\r')) {
    token.remove_suffix(1);
  }
  return token;
}

// A value's JSON text as the batch spells it, for messages; long texts are shortened
// (never inside a UTF-8 sequence).
std::string Quoted(std::string_view token) {
  constexpr std::size_t kShown = 60;
  token = TrimToken(token);
  if (token.size() <= kShown) return std::string(token);
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(token[cut]) & 0xC0) == 0x80) --cut;
  return std::string(token.substr(0, cut)) + "...";
}

std::string HexHresult(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

// A failed call into the payment manager (only memory exhaustion makes one fail) is no
// fault of the batch; it ends the run like a failed write.
void CheckCall(HRESULT hr) {
  if (FAILED(hr)) throw std::runtime_error("the payment manager failed with HRESULT " + HexHresult(hr));
}

template <class Interface>
ComPtr<Interface> ViewAs(ComPtr<IDispatch>& dispatch, REFIID iid) {
  ComPtr<Interface> view = dispatch.As<Interface>(iid);
  if (!view) throw std::runtime_error("the payment manager handed out a view without its interface");
  return view;
}

template <class Interface>
void PutText(Interface& object, HRESULT (Interface::*put)(BSTR), std::string_view utf8) {
  const CallerText text(utf8);
  CheckCall((object.*put)(text.get()));
}

void PutAddress(ComPtr<IDispatch>& dispatch, const AddressFields& fields) {
  const ComPtr<IPayAddress> address = ViewAs<IPayAddress>(dispatch, IID_IPayAddress);
  for (std::size_t i = 0; i < kAddressFieldCount; ++i) {
    if (fields[i]) PutText(*address.get(), kAddressPuts[i], *fields[i]);
  }
}

bool AnyGiven(const AddressFields& fields) {
  for (const auto& field : fields) {
    if (field) return true;
  }
  return false;
}

class BatchReader {
 public:
  BatchReader(const simdjson::padded_string& json, std::string_view source_name, IPayManager& manager)
      : json_(json), source_name_(source_name), manager_(manager) {}

  std::size_t Read() {
    const JsonPath root;
    if (const auto error = parser_.iterate(json_).get(document_)) FailJson(root, error);
    document_ready_ = true;
    json_type type;
    if (const auto error = document_.type().get(type)) FailJson(root, error);
    if (type != json_type::object) Fail(root, "the batch must be a JSON object, not " + std::string(TypeName(type)));
    ondemand::object object;
    if (const auto error = document_.get_object().get(object)) FailJson(root, error);

    std::array<bool, std::size(kRootKeys)> seen{};
    ForEachField(object, root, [&](std::string_view key, ondemand::value& value) {
      const std::size_t index = KeyIndex(key, kRootKeys, seen, root);
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
      Fail(root, "unexpected content after the batch object" + LineOf(trailing));
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

  [[noreturn]] void FailJson(const JsonPath& path, simdjson::error_code error) {
    std::string problem = "malformed JSON (";
    problem += simdjson::error_message(error);
    problem += ')';
    // Without a document (the text did not even tokenize) there is no place to name.
    const char* location = nullptr;
    if (document_ready_ && document_.current_location().get(location) == simdjson::SUCCESS) {
      problem += LineOf(location);
    }
    Fail(path, problem);
  }

  // " at line N" for a place inside the batch text, else nothing.
  std::string LineOf(const char* location) const {
    const char* begin = json_.data();
    if (location < begin || location > begin + json_.size()) return {};
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(begin, location, '\n'));
    return " at line " + std::to_string(line);
  }

  template <class OnField>
  void ForEachField(ondemand::object& object, const JsonPath& path, OnField on_field) {
    for (auto result : object) {
      ondemand::field field;
      if (const auto error = std::move(result).get(field)) FailJson(path, error);
      std::string_view key;
      if (const auto error = field.unescaped_key().get(key)) FailJson(path, error);
      on_field(key, field.value());
    }
  }

  // The index of `key` among the object's keys; unknown and repeated keys are refused.
  std::size_t KeyIndex(std::string_view key, std::span<const std::string_view> keys, std::span<bool> seen,
                       const JsonPath& object_path) const {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] != key) continue;
      if (seen[i]) Fail(object_path.Key(keys[i]), "is given twice");
      seen[i] = true;
      return i;
    }
    Fail(object_path.Key(key), "unknown key (expected one of " + KeyList(keys) + ")");
  }

  json_type TypeOf(ondemand::value& value, const JsonPath& path) {
    json_type type;
    if (const auto error = value.type().get(type)) FailJson(path, error);
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
    if (const json_type type = TypeOf(value, path); type != json_type::string) FailType(path, "a string", type);
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
      Fail(path, Quoted(token) + " is not a number");
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
      if (error == std::errc::result_out_of_range) Fail(path, Quoted(token) + " is out of the 32-bit range");
      if (error != std::errc() || end != token.data() + token.size()) {
        Fail(path, Quoted(token) + " is not a whole number");
      }
      return number;
    }
    if (type == json_type::string) {
      const std::string_view token = TrimToken(value.raw_json_token());
      const std::string_view name = GetString(value, path);
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<std::int32_t>(i);
      }
      Fail(path, Quoted(token) + " is none of " + KeyList(names));
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
          Fail(path, Quoted(token) + " is not a decimal number");
        case AmountStatus::kTooManyDecimals:
          Fail(path, Quoted(token) + " has more than four decimals");
        case AmountStatus::kOutOfRange:
          Fail(path, Quoted(token) + " is out of range");
      }
    }
    if (type == json_type::number) {
      const std::string_view token = GetNumberToken(value, path);
      const AmountParse parse = ParseJsonNumberAmount(token);
      if (parse.status != AmountStatus::kOk) Fail(path, Quoted(token) + " is out of range");
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
      if (error != std::errc() || end != token.data() + token.size()) Fail(path, Quoted(token) + " is out of range");
      return date;
    }
    if (type == json_type::string) {
      const std::string_view token = TrimToken(value.raw_json_token());
      const LocalDateParse parse = ParseLocalDateTime(GetString(value, path), true);
      if (!parse.ok) Fail(path, Quoted(token) + " " + parse.error);
      return ToAutomationDate(parse.time);
    }
    FailType(path, "a date text or a number", type);
  }

  void ReadAddress(ondemand::value& value, const JsonPath& path, AddressFields& fields) {
    ondemand::object object = GetObject(value, path);
    std::array<bool, kAddressFieldCount> seen{};
    ForEachField(object, path, [&](std::string_view key, ondemand::value& field_value) {
      const std::size_t index = KeyIndex(key, kAddressKeys, seen, path);
      fields[index] = GetString(field_value, path.Key(kAddressKeys[index]));
    });
  }

  void ReadSettings(ondemand::value& value, const JsonPath& path) {
    ondemand::object object = GetObject(value, path);
    ComPtr<IDispatch> dispatch;
    CheckCall(manager_.get_Setting(dispatch.put()));
    const ComPtr<IPaySetting> setting = ViewAs<IPaySetting>(dispatch, IID_IPaySetting);
    IPaySetting& settings = *setting.get();

    std::array<bool, std::size(kSettingKeys)> seen{};
    ForEachField(object, path, [&](std::string_view key, ondemand::value& field_value) {
      const std::size_t index = KeyIndex(key, kSettingKeys, seen, path);
      const JsonPath field_path = path.Key(kSettingKeys[index]);
      switch (index) {
        case kSender: {
          AddressFields sender;
          ReadAddress(field_value, field_path, sender);
          ComPtr<IDispatch> address;
          CheckCall(settings.get_Sender(address.put()));
          PutAddress(address, sender);
          break;
        }
        case kDtaId:
          PutText(settings, &IPaySetting::put_DtaID, GetString(field_value, field_path));
          break;
        case kCostAccount:
          PutText(settings, &IPaySetting::put_CostAccount, GetString(field_value, field_path));
          break;
        case kSettingIsSalary:
          CheckCall(settings.put_IsSalary(GetBool(field_value, field_path) ? VARIANT_TRUE : VARIANT_FALSE));
          break;
        case kDtaIdSender:
          PutText(settings, &IPaySetting::put_DtaID_Sender, GetString(field_value, field_path));
          break;
        case kCostCurrency:
          PutText(settings, &IPaySetting::put_CostCurrency, GetString(field_value, field_path));
          break;
      }
    });
  }

  void ReadPayments(ondemand::value& value, const JsonPath& path) {
    if (const json_type type = TypeOf(value, path); type != json_type::array) FailType(path, "an array", type);
    ondemand::array payments;
    if (const auto error = value.get_array().get(payments)) FailJson(path, error);
    std::size_t index = 0;
    for (auto result : payments) {
      const JsonPath element_path = path.Element(index);
      ondemand::value element;
      if (const auto error = std::move(result).get(element)) FailJson(element_path, error);
      AddPayment(ReadPayment(element, element_path));
      ++index;
    }
  }

  PaymentFields ReadPayment(ondemand::value& value, const JsonPath& path) {
    ondemand::object object = GetObject(value, path);
    PaymentFields fields;
    std::array<bool, std::size(kPaymentKeys)> seen{};
    ForEachField(object, path, [&](std::string_view key, ondemand::value& field_value) {
      const std::size_t index = KeyIndex(key, kPaymentKeys, seen, path);
      const JsonPath field_path = path.Key(kPaymentKeys[index]);
      switch (index) {
        case kPayType:
          fields.pay_type = GetEnumValue(field_value, field_path, kPayTypesNames);
          break;
        case kDate:
          fields.date = GetDate(field_value, field_path);
          break;
        case kAmount:
          fields.amount = GetAmount(field_value, field_path);
          break;
        case kReason:
          fields.reason = GetString(field_value, field_path);
          break;
        case kEsr:
          fields.esr = GetString(field_value, field_path);
          break;
        case kCurrency:
          fields.currency = GetString(field_value, field_path);
          break;
        case kPaymentIsSalary:
          fields.is_salary = GetBool(field_value, field_path);
          break;
        case kCostCode:
          fields.cost_code = GetEnumValue(field_value, field_path, kPayCostsNames);
          break;
        case kBankSrc:
          ReadAddress(field_value, field_path, fields.bank_src);
          break;
        case kBankDst:
          ReadAddress(field_value, field_path, fields.bank_dst);
          break;
        case kReceiver:
          ReadAddress(field_value, field_path, fields.receiver);
          break;
      }
    });
    if (!fields.pay_type) Fail(path, "PayType is missing");
    return fields;
  }

  void AddPayment(const PaymentFields& fields) {
    ComPtr<IDispatch> dispatch;
    // PayTypes has int as its underlying type, so every 32-bit value is one of its values.
    CheckCall(manager_.NewPayment(static_cast<PayTypes>(*fields.pay_type), dispatch.put()));
    ++payment_count_;
    const ComPtr<IPayment> view = ViewAs<IPayment>(dispatch, IID_IPayment);
    IPayment& payment = *view.get();
    if (fields.date) CheckCall(payment.put_Date(*fields.date));
    if (fields.amount) {
      CY amount;
      amount.int64 = *fields.amount;
      CheckCall(payment.put_Amount(amount));
    }
    if (fields.reason) PutText(payment, &IPayment::put_Reason, *fields.reason);
    if (fields.esr) PutText(payment, &IPayment::put_ESR, *fields.esr);
    if (fields.currency) PutText(payment, &IPayment::put_Currency, *fields.currency);
    if (fields.is_salary) CheckCall(payment.put_IsSalary(*fields.is_salary ? VARIANT_TRUE : VARIANT_FALSE));
    if (fields.cost_code) CheckCall(payment.put_CostCode(static_cast<PayCosts>(*fields.cost_code)));
    const struct {
      HRESULT (IPayment::*get)(IDispatch**);
      const AddressFields& fields;
    } addresses[] = {{&IPayment::get_BankSrc, fields.bank_src},
                     {&IPayment::get_BankDst, fields.bank_dst},
                     {&IPayment::get_Receiver, fields.receiver}};
    for (const auto& address : addresses) {
      if (!AnyGiven(address.fields)) continue;
      ComPtr<IDispatch> block;
      CheckCall((payment.*address.get)(block.put()));
      PutAddress(block, address.fields);
    }
  }

  const simdjson::padded_string& json_;
  std::string_view source_name_;
  IPayManager& manager_;
  ondemand::parser parser_;
  ondemand::document document_;
  bool document_ready_ = false;
  std::size_t payment_count_ = 0;
};

}  // namespace

simdjson::padded_string LoadBatchText(const std::string& path) {
  const bool from_stdin = path == "-";
  const std::string name = from_stdin ? "<stdin>" : path;
  std::FILE* file = from_stdin ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw BatchError(name + ": cannot be read: " + std::strerror(errno));
  simdjson::padded_string text;
  int read_error = 0;
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) {
    // A regular file is read straight into the parser's buffer, without a second copy.
    const auto size = static_cast<std::size_t>(status.st_size);
    text = simdjson::padded_string(size);
    if (std::fread(text.data(), 1, size, file) != size || std::fgetc(file) != EOF) read_error = errno ? errno : EIO;
  } else {
    std::string bytes;
    char chunk[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, count);
    if (std::ferror(file) != 0) read_error = errno ? errno : EIO;
    text = simdjson::padded_string(bytes);
  }
  if (!from_stdin) std::fclose(file);
  if (read_error != 0) throw BatchError(name + ": cannot be read: " + std::strerror(read_error));
  return text;
}

std::size_t ReadBatch(const simdjson::padded_string& json, std::string_view source_name, IPayManager& manager) {
  BatchReader reader(json, source_name, manager);
  return reader.Read();
}

}  // namespace ordexa::payfile
