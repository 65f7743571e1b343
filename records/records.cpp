// The payment list's blocks and the record views.
#include "records/records.h"

namespace ordexa {

PaymentRecord& PaymentList::emplace_back() {
  if (size_ == blocks_.size() * kRecordsPerBlock) {
    blocks_.reserve(blocks_.size() + 1);
    blocks_.push_back(std::make_unique<PaymentRecord[]>(kRecordsPerBlock));
  }
  PaymentRecord& record = (*this)[size_];
  record = PaymentRecord{};  // a block slot left by pop_back starts afresh
  ++size_;
  return record;
}

PayAddressView PayBatch::View(const PayAddressRecord& address) const {
  return {Text(address.name1), Text(address.name2), Text(address.street), Text(address.city),
          Text(address.id),    Text(address.account), Text(address.bic)};
}

PaymentView PayBatch::View(const PaymentRecord& payment) const {
  PaymentView view;
  view.type = payment.type;
  view.date = payment.date;
  view.bank_src = View(payment.bank_src);
  view.bank_dst = View(payment.bank_dst);
  view.receiver = View(payment.receiver);
  view.esr = Text(payment.esr);
  view.currency = Text(payment.currency);
  view.amount = payment.amount;
  view.reason = Text(payment.reason);
  view.is_salary = payment.is_salary;
  view.cost_code = payment.cost_code;
  return view;
}

PaySettingView PayBatch::View(const PaySettingRecord& settings) const {
  PaySettingView view;
  view.sender = View(settings.sender);
  view.dta_id = Text(settings.dta_id);
  view.cost_account = Text(settings.cost_account);
  view.is_salary = settings.is_salary;
  view.dta_id_sender = Text(settings.dta_id_sender);
  view.cost_currency = Text(settings.cost_currency);
  return view;
}

}  // namespace ordexa
