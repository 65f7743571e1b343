// Records with their texts as plain strings, for tests that build a batch field by field,
// and their transfer into a PayBatch (texts into its store) as the writers read it.
#pragma once

#include <deque>
#include <string>
#include <utility>

#include "records/records.h"

namespace ordexa::test {

struct AddressFields {
  AddressFields() = default;
  // The seven texts of the address record, listed in braces as the tests give them; the
  // structured parts are set by name.
  AddressFields(std::string name1_text, std::string name2_text, std::string street_text, std::string city_text,
                std::string id_text, std::string account_text, std::string bic_text)
      : name1(std::move(name1_text)),
        name2(std::move(name2_text)),
        street(std::move(street_text)),
        city(std::move(city_text)),
        id(std::move(id_text)),
        account(std::move(account_text)),
        bic(std::move(bic_text)) {}

  std::string name1, name2, street, city, id, account, bic;
  // The structured parts (IPayAddress2); left empty, the address keeps no parts.
  std::string street_name, building_number, post_code, town, country;
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
  batch.SetPartText(record, AddressPart::kStreetName, fields.street_name);
  batch.SetPartText(record, AddressPart::kBuildingNumber, fields.building_number);
  batch.SetPartText(record, AddressPart::kPostCode, fields.post_code);
  batch.SetPartText(record, AddressPart::kTown, fields.town);
  batch.SetPartText(record, AddressPart::kCountry, fields.country);
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
