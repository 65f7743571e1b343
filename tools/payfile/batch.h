// The batch as the batch file gives it: the settings and the payments with the keys the
// user wrote, in plain values, before anything reaches the payment component. The JSON
// reader makes it, the manager filler puts it through the automation interfaces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>

#include "oleauto.h"
#include "records/records.h"

namespace ordexa::payfile {

// The keys of a batch file, in the order the component's data model lists them. The
// names are those of the automation properties; messages and warnings use them as they
// stand ("payments[3].BankDst.Account").
inline constexpr std::string_view kRootKeys[] = {"settings", "payments"};
enum RootKey { kSettings, kPayments };

inline constexpr std::string_view kSettingKeys[] = {"Sender",   "DtaID",        "CostAccount",
                                                    "IsSalary", "DtaID_Sender", "CostCurrency"};
enum SettingKey { kSender, kDtaId, kCostAccount, kSettingIsSalary, kDtaIdSender, kCostCurrency };

inline constexpr std::string_view kPaymentKeys[] = {"PayType",  "Date",     "Amount",  "Reason",  "ESR",     "Currency",
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

// An address: the seven texts of every address record, then its five structured parts
// (street name, building number, post code, town, country), in the order of AddressPart.
inline constexpr std::string_view kAddressKeys[] = {
    "Name1",      "Name2",          "Street",   "City", "ID",     "Account", "BIC",
    "StreetName", "BuildingNumber", "PostCode", "Town", "Country"};
enum AddressKey {
  kName1,
  kName2,
  kStreet,
  kCity,
  kId,
  kAccount,
  kBic,
  kStreetName,
  kBuildingNumber,
  kPostCode,
  kTown,
  kCountry
};
// The texts of the address record itself (those of IPayAddress); the keys from here on are
// the parts, kept apart from the record (PayBatch::SetPartText).
inline constexpr std::size_t kAddressFieldCount = kStreetName;
inline constexpr std::size_t kAddressKeyCount = std::size(kAddressKeys);
static_assert(kAddressKeyCount - kAddressFieldCount == kAddressPartCount, "one key per structured part");

// Texts are UTF-8 as given, views into the batch text or the JSON parser's string buffer:
// valid while both live and the parser is not reused (ReadBatchJson). A key the batch
// leaves out stays empty.
using BatchText = std::optional<std::string_view>;

// The texts of one address block, by AddressKey.
using BatchAddress = std::array<BatchText, kAddressKeyCount>;

struct BatchSettings {
  std::optional<BatchAddress> sender;
  BatchText dta_id;
  BatchText cost_account;
  std::optional<bool> is_salary;
  BatchText dta_id_sender;
  BatchText cost_currency;
};

struct BatchPayment {
  std::int32_t pay_type = 0;  // required in the file: a PayTypes value, any 32-bit number
  std::optional<DATE> date;
  std::optional<std::int64_t> amount;  // ten-thousandths
  BatchText reason;
  BatchText esr;
  BatchText currency;
  std::optional<bool> is_salary;
  std::optional<std::int32_t> cost_code;
  BatchAddress bank_src;
  BatchAddress bank_dst;
  BatchAddress receiver;
};

struct Batch {
  BatchSettings settings;
  std::deque<BatchPayment> payments;  // a deque: a long batch grows without moving its payments
};

// BatchSink: where the reader hands on what it reads, as it goes: the settings when their
// object ends, each payment when its object ends, in the order of the file. A long batch
// then never stands in memory twice.
class BatchSink {
 public:
  virtual void Settings(const BatchSettings& settings) = 0;
  virtual void Payment(const BatchPayment& payment) = 0;

 protected:
  ~BatchSink() = default;
};

}  // namespace ordexa::payfile
