// The batch file's values into the manager's records, one field at a time.
#include "tools/payfile/batch_fill.h"

#include "tools/payfile/caller_text.h"

namespace ordexa::payfile {

void ManagerFill::PutText(TextRef& field, const BatchText& utf8) {
  if (!utf8) return;
  AnsiTextFromUtf8Into(*utf8, ansi_);
  batch_.SetText(field, ansi_);
}

void ManagerFill::PutAddress(PayAddressRecord& record, const BatchAddress& address) {
  TextRef* const fields[] = {&record.name1, &record.name2,   &record.street, &record.city,
                             &record.id,    &record.account, &record.bic};
  static_assert(std::size(fields) == kAddressFieldCount, "one field per address key, in the order of the keys");
  for (std::size_t i = 0; i < kAddressFieldCount; ++i) PutText(*fields[i], address[i]);
  for (std::size_t i = kAddressFieldCount; i < kAddressKeyCount; ++i) {
    if (!address[i]) continue;
    AnsiTextFromUtf8Into(*address[i], ansi_);
    batch_.SetPartText(record, static_cast<AddressPart>(i - kAddressFieldCount), ansi_);
  }
}

void ManagerFill::Settings(const BatchSettings& settings) {
  PaySettingRecord& record = batch_.settings;
  if (settings.sender) PutAddress(record.sender, *settings.sender);
  PutText(record.dta_id, settings.dta_id);
  PutText(record.cost_account, settings.cost_account);
  if (settings.is_salary) record.is_salary = *settings.is_salary;
  PutText(record.dta_id_sender, settings.dta_id_sender);
  PutText(record.cost_currency, settings.cost_currency);
}

void ManagerFill::Payment(const BatchPayment& payment) {
  PaymentRecord& record = batch_.payments.emplace_back();
  record.type = payment.pay_type;
  if (payment.date) record.date = *payment.date;
  if (payment.amount) record.amount.int64 = *payment.amount;
  PutText(record.reason, payment.reason);
  PutText(record.esr, payment.esr);
  PutText(record.currency, payment.currency);
  if (payment.is_salary) record.is_salary = *payment.is_salary;
  if (payment.cost_code) record.cost_code = *payment.cost_code;
  PutAddress(record.bank_src, payment.bank_src);
  PutAddress(record.bank_dst, payment.bank_dst);
  PutAddress(record.receiver, payment.receiver);
}

std::size_t FillManager(const Batch& batch, CPayManager& manager) {
  ManagerFill fill(manager);
  fill.Settings(batch.settings);
  for (const BatchPayment& payment : batch.payments) fill.Payment(payment);
  return batch.payments.size();
}

}  // namespace ordexa::payfile
