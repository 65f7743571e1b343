// A batch file's batch put through the automation interfaces exactly as a client puts it
// (NewPayment, the views, texts as UTF-16 BSTRs): the reference the tool's direct fill
// of the records must equal.
#pragma once

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <tuple>

#include "model/com_object.h"
#include "ordexa.h"
#include "records/records.h"
#include "tools/payfile/batch.h"
#include "tools/payfile/caller_text.h"

namespace ordexa::test {

namespace interface_fill {

inline void Check(HRESULT hr) {
  if (FAILED(hr)) throw std::runtime_error("a property put failed");
}

template <class Interface>
ComPtr<Interface> ViewAs(ComPtr<IDispatch>& dispatch, REFIID iid) {
  ComPtr<Interface> view = dispatch.As<Interface>(iid);
  if (!view) throw std::runtime_error("a view without its interface");
  return view;
}

template <class Interface>
void PutText(Interface& object, HRESULT (Interface::*put)(BSTR), const payfile::BatchText& utf8) {
  if (!utf8) return;
  const payfile::CallerText text(*utf8);
  Check((object.*put)(text.get()));
}

// The record's texts through IPayAddress, the structured parts (only when the batch gives
// any) through IPayAddress2, as an older and a newer client put them.
inline void PutAddress(ComPtr<IDispatch>& dispatch, const payfile::BatchAddress& fields) {
  constexpr HRESULT (IPayAddress::*kPuts[])(BSTR) = {&IPayAddress::put_Name1, &IPayAddress::put_Name2,
                                                     &IPayAddress::put_Street, &IPayAddress::put_City,
                                                     &IPayAddress::put_ID, &IPayAddress::put_Account,
                                                     &IPayAddress::put_BIC};
  // In the order of the keys from kStreetName on, which is that of AddressPart.
  constexpr HRESULT (IPayAddress2::*kPartPuts[])(BSTR) = {&IPayAddress2::put_StreetName,
                                                          &IPayAddress2::put_BuildingNumber,
                                                          &IPayAddress2::put_PostCode, &IPayAddress2::put_Town,
                                                          &IPayAddress2::put_Country};
  static_assert(std::size(kPuts) + std::size(kPartPuts) == payfile::kAddressKeyCount);
  const ComPtr<IPayAddress> address = ViewAs<IPayAddress>(dispatch, IID_IPayAddress);
  for (std::size_t i = 0; i < std::size(kPuts); ++i) PutText(*address.get(), kPuts[i], fields[i]);
  const auto parts = fields.begin() + std::size(kPuts);
  if (std::none_of(parts, fields.end(), [](const payfile::BatchText& part) { return part.has_value(); })) return;
  const ComPtr<IPayAddress2> address2 = ViewAs<IPayAddress2>(dispatch, IID_IPayAddress2);
  for (std::size_t i = 0; i < std::size(kPartPuts); ++i) PutText(*address2.get(), kPartPuts[i], parts[i]);
}

}  // namespace interface_fill

// FillThroughInterfaces(): every given key of `batch` through the interfaces of `manager`.
inline void FillThroughInterfaces(const payfile::Batch& batch, IPayManager& manager) {
  using namespace interface_fill;
  ComPtr<IDispatch> dispatch;
  Check(manager.get_Setting(dispatch.put()));
  const ComPtr<IPaySetting> settings = ViewAs<IPaySetting>(dispatch, IID_IPaySetting);
  const payfile::BatchSettings& given = batch.settings;
  if (given.sender) {
    ComPtr<IDispatch> sender;
    Check(settings->get_Sender(sender.put()));
    PutAddress(sender, *given.sender);
  }
  PutText(*settings.get(), &IPaySetting::put_DtaID, given.dta_id);
  PutText(*settings.get(), &IPaySetting::put_CostAccount, given.cost_account);
  if (given.is_salary) Check(settings->put_IsSalary(*given.is_salary ? VARIANT_TRUE : VARIANT_FALSE));
  PutText(*settings.get(), &IPaySetting::put_DtaID_Sender, given.dta_id_sender);
  PutText(*settings.get(), &IPaySetting::put_CostCurrency, given.cost_currency);

  for (const payfile::BatchPayment& fields : batch.payments) {
    ComPtr<IDispatch> created;
    Check(manager.NewPayment(static_cast<PayTypes>(fields.pay_type), created.put()));
    const ComPtr<IPayment> payment = ViewAs<IPayment>(created, IID_IPayment);
    if (fields.date) Check(payment->put_Date(*fields.date));
    if (fields.amount) {
      CY amount;
      amount.int64 = *fields.amount;
      Check(payment->put_Amount(amount));
    }
    PutText(*payment.get(), &IPayment::put_Reason, fields.reason);
    PutText(*payment.get(), &IPayment::put_ESR, fields.esr);
    PutText(*payment.get(), &IPayment::put_Currency, fields.currency);
    if (fields.is_salary) Check(payment->put_IsSalary(*fields.is_salary ? VARIANT_TRUE : VARIANT_FALSE));
    if (fields.cost_code) Check(payment->put_CostCode(static_cast<PayCosts>(*fields.cost_code)));
    const struct {
      HRESULT (IPayment::*get)(IDispatch**);
      const payfile::BatchAddress& fields;
    } blocks[] = {{&IPayment::get_BankSrc, fields.bank_src},
                  {&IPayment::get_BankDst, fields.bank_dst},
                  {&IPayment::get_Receiver, fields.receiver}};
    for (const auto& block : blocks) {
      ComPtr<IDispatch> view;
      Check((payment.get()->*block.get)(view.put()));
      PutAddress(view, block.fields);
    }
  }
}

// SameRecords(): whether two batches hold the same settings and payments, field by field
// (texts by their 1252 bytes), the addresses' structured parts included.
inline bool SameRecords(const PayBatch& a, const PayBatch& b) {
  const auto fields = [](const PayAddressView& x) {
    return std::tie(x.name1, x.name2, x.street, x.city, x.id, x.account, x.bic, x.street_name, x.building_number,
                    x.post_code, x.town, x.country);
  };
  const PaySettingView sa = a.View(a.settings), sb = b.View(b.settings);
  if (fields(sa.sender) != fields(sb.sender) ||
      std::tie(sa.dta_id, sa.cost_account, sa.is_salary, sa.dta_id_sender, sa.cost_currency) !=
          std::tie(sb.dta_id, sb.cost_account, sb.is_salary, sb.dta_id_sender, sb.cost_currency) ||
      a.payments.size() != b.payments.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.payments.size(); ++i) {
    const PaymentView x = a.View(a.payments[i]), y = b.View(b.payments[i]);
    // Dates compared by their bits: a NaN date must be the same NaN.
    if (std::tie(x.type, x.amount.int64, x.esr, x.currency, x.reason, x.is_salary, x.cost_code) !=
            std::tie(y.type, y.amount.int64, y.esr, y.currency, y.reason, y.is_salary, y.cost_code) ||
        std::memcmp(&x.date, &y.date, sizeof x.date) != 0 || fields(x.bank_src) != fields(y.bank_src) ||
        fields(x.bank_dst) != fields(y.bank_dst) || fields(x.receiver) != fields(y.receiver)) {
      return false;
    }
  }
  return true;
}

}  // namespace ordexa::test
