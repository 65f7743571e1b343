// The batch into the manager, one property put at a time.
#include "tools/payfile/batch_fill.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "model/com_object.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/hex.h"

namespace ordexa::payfile {
namespace {

// The puts of the address keys, in the order of kAddressKeys.
using AddressPut = HRESULT (IPayAddress::*)(BSTR);
constexpr AddressPut kAddressPuts[] = {&IPayAddress::put_Name1, &IPayAddress::put_Name2, &IPayAddress::put_Street,
                                       &IPayAddress::put_City,  &IPayAddress::put_ID,    &IPayAddress::put_Account,
                                       &IPayAddress::put_BIC};
static_assert(std::size(kAddressPuts) == kAddressFieldCount);

// A failed call into the payment manager is no fault of the batch; it ends the run like
// a failed write.
void CheckCall(HRESULT hr) {
  if (FAILED(hr)) {
    throw std::runtime_error("the payment manager failed with HRESULT " + HexText(static_cast<std::uint32_t>(hr), 8));
  }
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

VARIANT_BOOL ToVariantBool(bool flag) { return flag ? VARIANT_TRUE : VARIANT_FALSE; }

bool AnyGiven(const BatchAddress& address) {
  for (const auto& field : address) {
    if (field) return true;
  }
  return false;
}

// Only the given keys are put, so a left-out key keeps the component's default.
void PutAddress(ComPtr<IDispatch>& dispatch, const BatchAddress& fields) {
  const ComPtr<IPayAddress> address = ViewAs<IPayAddress>(dispatch, IID_IPayAddress);
  for (std::size_t i = 0; i < kAddressFieldCount; ++i) {
    if (fields[i]) PutText(*address.get(), kAddressPuts[i], *fields[i]);
  }
}

void FillSettings(const BatchSettings& fields, IPayManager& manager) {
  ComPtr<IDispatch> dispatch;
  CheckCall(manager.get_Setting(dispatch.put()));
  const ComPtr<IPaySetting> view = ViewAs<IPaySetting>(dispatch, IID_IPaySetting);
  IPaySetting& settings = *view.get();
  if (fields.sender) {
    ComPtr<IDispatch> address;
    CheckCall(settings.get_Sender(address.put()));
    PutAddress(address, *fields.sender);
  }
  if (fields.dta_id) PutText(settings, &IPaySetting::put_DtaID, *fields.dta_id);
  if (fields.cost_account) PutText(settings, &IPaySetting::put_CostAccount, *fields.cost_account);
  if (fields.is_salary) CheckCall(settings.put_IsSalary(ToVariantBool(*fields.is_salary)));
  if (fields.dta_id_sender) PutText(settings, &IPaySetting::put_DtaID_Sender, *fields.dta_id_sender);
  if (fields.cost_currency) PutText(settings, &IPaySetting::put_CostCurrency, *fields.cost_currency);
}

void AddPayment(const BatchPayment& fields, IPayManager& manager) {
  ComPtr<IDispatch> dispatch;
  // PayTypes has int as its underlying type, so every 32-bit value is one of its values.
  CheckCall(manager.NewPayment(static_cast<PayTypes>(fields.pay_type), dispatch.put()));
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
  if (fields.is_salary) CheckCall(payment.put_IsSalary(ToVariantBool(*fields.is_salary)));
  if (fields.cost_code) CheckCall(payment.put_CostCode(static_cast<PayCosts>(*fields.cost_code)));
  const struct {
    HRESULT (IPayment::*get)(IDispatch**);
    const BatchAddress& fields;
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

}  // namespace

std::size_t FillManager(const Batch& batch, IPayManager& manager) {
  FillSettings(batch.settings, manager);
  for (const BatchPayment& payment : batch.payments) AddPayment(payment, manager);
  return batch.payments.size();
}

}  // namespace ordexa::payfile
