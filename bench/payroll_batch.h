// A realistic payroll batch of any size for measurements: every payment kind, names and
// addresses with umlauts and accents, valid IBANs, postal accounts and ESR references.
// The same batch can be put into the component through its interfaces, as a client does,
// or written as a JSON batch for the payfile tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "oleauto.h"
#include "ordexa.h"

namespace ordexa::bench {

// An index into the batch's text pool; 0 stands for a text the payment does not give.
using TextId = std::uint32_t;

struct AddressTexts {
  TextId name1 = 0, name2 = 0, street = 0, city = 0, id = 0, account = 0, bic = 0;
};

struct PaymentOrder {
  PayTypes type = payIban;
  int year = 2026, month = 12, day = 25;
  std::int64_t amount = 0;  // ten-thousandths
  bool is_salary = false;
  int cost_code = -1;  // -1: not given
  TextId reason = 0, esr = 0, currency = 0;
  AddressTexts bank_src, bank_dst, receiver;
};

struct SettingTexts {
  AddressTexts sender;
  TextId dta_id = 0, cost_account = 0, dta_id_sender = 0, cost_currency = 0;
  bool is_salary = true;
};

// What a payroll batch pays its bills with: the ISR slips of the classic batch, or the
// QR-bills (QR-IBAN and QR reference) of a batch for the 2019 ISO file, which refuses ISR.
enum class PayrollVintage { kClassic, k2019 };

// PayrollBatch: `count` payments, the same for the same count and vintage. The texts live in a pool
// (UTF-8 and as prepared caller strings), so a client's strings cost the measurement nothing.
class PayrollBatch {
 public:
  explicit PayrollBatch(std::size_t count, PayrollVintage vintage = PayrollVintage::kClassic);
  ~PayrollBatch();
  PayrollBatch(const PayrollBatch&) = delete;
  PayrollBatch& operator=(const PayrollBatch&) = delete;

  std::size_t size() const { return count_; }
  const SettingTexts& settings() const { return settings_; }

  // Payment(): the payment at `index` (0-based), worked out from the index alone.
  PaymentOrder Payment(std::size_t index) const;

  std::string_view Utf8(TextId id) const { return utf8_[id]; }
  BSTR Caller(TextId id) const { return caller_[id]; }

 private:
  TextId Add(std::string_view utf8);
  std::vector<TextId> AddAll(const std::vector<std::string>& texts);

  std::size_t count_;
  PayrollVintage vintage_;
  SettingTexts settings_;
  std::vector<std::string> utf8_;
  std::vector<BSTR> caller_;
  // Pools the payments draw from.
  std::vector<TextId> names_, streets_, cities_, foreign_cities_, reasons_, swiss_ibans_, foreign_ibans_,
      foreign_bics_, post_accounts_, esr_participants_, esr27_, esr15_, name2s_, institutions_, qr_ibans_;
  struct Bank {
    TextId name, city, clearing;
  };
  std::vector<Bank> banks_;
  std::vector<Bank> foreign_banks_;
  TextId chf_ = 0, eur_ = 0, postfinance_ = 0, postfinance_city_ = 0, postfinance_id_ = 0;
  AddressTexts debtor_bank_;
};

// FillManager(): puts the whole batch through IPayManager, IPaySetting, IPayment and
// IPayAddress (early-bound), as a payroll program does. Returns false when a call fails.
bool FillManager(IPayManager& manager, const PayrollBatch& batch);

// FillManagerLateBound(): the same calls through IDispatch (names, Invoke, VARIANTs) on a
// manager created with the automation binding, as a compiled late-bound client makes them.
bool FillManagerLateBound(IDispatch& manager, const PayrollBatch& batch);

// WriteBatchJson(): the batch in payfile's JSON batch format (UTF-8).
void WriteBatchJson(const PayrollBatch& batch, std::FILE* out);

// Utf8ToUtf16(): the UTF-16 form of a valid UTF-8 text.
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace ordexa::bench
