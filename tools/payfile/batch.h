// The batch as the batch file gives it: the settings and the payments with the keys the
// user wrote, in plain values, before anything reaches the payment component. The JSON
// reader makes it, the manager filler puts it through the automation interfaces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "oleauto.h"

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

inline constexpr std::string_view kAddressKeys[] = {"Name1", "Name2", "Street", "City", "ID", "Account", "BIC"};
enum AddressKey { kName1, kName2, kStreet, kCity, kId, kAccount, kBic };
inline constexpr std::size_t kAddressFieldCount = std::size(kAddressKeys);

// The texts of one address block (UTF-8 as given); a key the batch leaves out stays empty.
using BatchAddress = std::array<std::optional<std::string>, kAddressFieldCount>;

struct BatchSettings {
  std::optional<BatchAddress> sender;
  std::optional<std::string> dta_id;
  std::optional<std::string> cost_account;
  std::optional<bool> is_salary;
  std::optional<std::string> dta_id_sender;
  std::optional<std::string> cost_currency;
};

struct BatchPayment {
  std::int32_t pay_type = 0;  // required in the file: a PayTypes value, any 32-bit number
  std::optional<DATE> date;
  std::optional<std::int64_t> amount;  // ten-thousandths
  std::optional<std::string> reason;
  std::optional<std::string> esr;
  std::optional<std::string> currency;
  std::optional<bool> is_salary;
  std::optional<std::int32_t> cost_code;
  BatchAddress bank_src;
  BatchAddress bank_dst;
  BatchAddress receiver;
};

struct Batch {
  BatchSettings settings;
  std::vector<BatchPayment> payments;
};

}  // namespace ordexa::payfile
