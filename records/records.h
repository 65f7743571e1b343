// The data of one batch as the writers read it: the settings record, the payment records
// and their address blocks, in the field order of the component's data model.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "oleauto.h"
#include "ordexa_enums.h"

namespace ordexa {

// Seven texts of a party, a bank or an account (1252 text, never null).
struct PayAddressRecord {
  std::string name1;
  std::string name2;
  std::string street;
  std::string city;
  std::string id;
  std::string account;
  std::string bic;
};

// One payment order.
struct PaymentRecord {
  std::int32_t type = 0;  // a PayTypes value as passed to NewPayment, unchecked
  DATE date = 0.0;
  PayAddressRecord bank_src;  // bank of the ordering party
  PayAddressRecord bank_dst;  // bank of the receiver
  PayAddressRecord receiver;
  std::string esr;
  std::string currency;
  CY amount{};
  std::string reason;
  bool is_salary = false;
  std::int32_t cost_code = payCostBoth;  // a PayCosts value, unchecked
};

// PaymentCurrencyText(): the payment's currency, "CHF" (the currency of the Swiss
// clearing) when the caller left it empty.
// Example: PaymentCurrencyText(PaymentRecord{}) == "CHF".
inline std::string_view PaymentCurrencyText(const PaymentRecord& payment) {
  return payment.currency.empty() ? std::string_view("CHF") : std::string_view(payment.currency);
}

// What is common to the batch: the ordering party and the file header data.
struct PaySettingRecord {
  PayAddressRecord sender;
  std::string dta_id;
  std::string cost_account;
  bool is_salary = false;
  std::string dta_id_sender;
  std::string cost_currency;
};

// The payment list: only ever appended to, in creation order. A deque keeps every record
// at its address while the list grows, so views can point at their record.
using PaymentList = std::deque<PaymentRecord>;

}  // namespace ordexa
