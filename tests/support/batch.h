// Records with their texts as plain strings, for tests that build a batch field by field,
// and their transfer into a PayBatch (texts into its store) as the writers read it.
#pragma once

#include <deque>
#include <string>

#include "records/records.h"

namespace ordexa::test {

struct AddressFields {
  std::string name1, name2, street, city, id, account, bic;
};

// The fields of PaymentRecord in its order, texts as strings.
struct PaymentFields {
  std::int32_t type = 0;
  DATE date = 0.0;
  AddressFields bank_src, bank_dst, receiver;
  std::string esr, currency;
  CY amount{};
  std::string reason;
  bool is_salary = false;
  std::int32_t cost_code = payCostBoth;
};

struct SettingFields {
  AddressFields sender;
  std::string dta_id, cost_account;
  bool is_salary = false;
  std::string dta_id_sender, cost_currency;
};

using PaymentFieldsList = std::deque<PaymentFields>;

inline void StoreAddress(PayBatch& batch, PayAddressRecord& record, const AddressFields& fields) {
  batch.SetText(record.name1, fields.name1);
  batch.SetText(record.name2, fields.name2);
  batch.SetText(record.street, fields.street);
  batch.SetText(record.city, fields.city);
  batch.SetText(record.id, fields.id);
  batch.SetText(record.account, fields.account);
  batch.SetText(record.bic, fields.bic);
}

// FillBatch(): `batch` (new) holds the settings and the payments afterwards.
inline void FillBatch(PayBatch& batch, const SettingFields& settings, const PaymentFieldsList& payments) {
  StoreAddress(batch, batch.settings.sender, settings.sender);
  batch.SetText(batch.settings.dta_id, settings.dta_id);
  batch.SetText(batch.settings.cost_account, settings.cost_account);
  batch.settings.is_salary = settings.is_salary;
  batch.SetText(batch.settings.dta_id_sender, settings.dta_id_sender);
  batch.SetText(batch.settings.cost_currency, settings.cost_currency);
  for (const PaymentFields& fields : payments) {
    PaymentRecord& record = batch.payments.emplace_back();
    record.type = fields.type;
    record.date = fields.date;
    StoreAddress(batch, record.bank_src, fields.bank_src);
    StoreAddress(batch, record.bank_dst, fields.bank_dst);
    StoreAddress(batch, record.receiver, fields.receiver);
    batch.SetText(record.esr, fields.esr);
    batch.SetText(record.currency, fields.currency);
    record.amount = fields.amount;
    batch.SetText(record.reason, fields.reason);
    record.is_salary = fields.is_salary;
    record.cost_code = fields.cost_code;
  }
}

}  // namespace ordexa::test
