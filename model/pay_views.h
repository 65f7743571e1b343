// The views onto the batch's records: CPayment, CPaySetting and CPayAddress. A view holds
// no data of its own, only a shared reference to its record (which keeps the whole batch
// alive) and the batch it belongs to, so it stays valid as long as it lives, even after
// its manager is released.
#pragma once

#include <memory>

#include "model/com_object.h"
#include "model/property.h"
#include "records/records.h"
#include "ordexa.h"

namespace ordexa {

class CPayAddress final
    : public ComObject<CPayAddress, IPayAddress2, IID_IPayAddress2, &AutomationBinding::address> {
 public:
  CPayAddress(const AutomationBinding* binding, std::shared_ptr<PayAddressRecord> record, PayBatch& batch)
      : ComObject(binding), record_(std::move(record)), batch_(&batch) {}

  // The older interface is the first part of the newer one: one pointer answers both.
  void* QueryExtraInterface(REFIID riid) {
    return riid == IID_IPayAddress ? static_cast<IPayAddress*>(this) : nullptr;
  }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return riid == IID_IPayAddress ? S_OK : ComObject::InterfaceSupportsErrorInfo(riid);
  }

  HRESULT get_Name1(BSTR* pVal) override { return GetTextProperty(texts(), record_->name1, pVal); }
  HRESULT put_Name1(BSTR newVal) override { return PutTextProperty(texts(), record_->name1, newVal); }
  HRESULT get_Name2(BSTR* pVal) override { return GetTextProperty(texts(), record_->name2, pVal); }
  HRESULT put_Name2(BSTR newVal) override { return PutTextProperty(texts(), record_->name2, newVal); }
  HRESULT get_City(BSTR* pVal) override { return GetTextProperty(texts(), record_->city, pVal); }
  HRESULT put_City(BSTR newVal) override { return PutTextProperty(texts(), record_->city, newVal); }
  HRESULT get_Street(BSTR* pVal) override { return GetTextProperty(texts(), record_->street, pVal); }
  HRESULT put_Street(BSTR newVal) override { return PutTextProperty(texts(), record_->street, newVal); }
  HRESULT get_Account(BSTR* pVal) override { return GetTextProperty(texts(), record_->account, pVal); }
  HRESULT put_Account(BSTR newVal) override { return PutTextProperty(texts(), record_->account, newVal); }
  HRESULT get_ID(BSTR* pVal) override { return GetTextProperty(texts(), record_->id, pVal); }
  HRESULT put_ID(BSTR newVal) override { return PutTextProperty(texts(), record_->id, newVal); }
  HRESULT get_BIC(BSTR* pVal) override { return GetTextProperty(texts(), record_->bic, pVal); }
  HRESULT put_BIC(BSTR newVal) override { return PutTextProperty(texts(), record_->bic, newVal); }

  HRESULT get_StreetName(BSTR* pVal) override { return GetPart(AddressPart::kStreetName, pVal); }
  HRESULT put_StreetName(BSTR newVal) override { return PutPart(AddressPart::kStreetName, newVal); }
  HRESULT get_BuildingNumber(BSTR* pVal) override { return GetPart(AddressPart::kBuildingNumber, pVal); }
  HRESULT put_BuildingNumber(BSTR newVal) override { return PutPart(AddressPart::kBuildingNumber, newVal); }
  HRESULT get_PostCode(BSTR* pVal) override { return GetPart(AddressPart::kPostCode, pVal); }
  HRESULT put_PostCode(BSTR newVal) override { return PutPart(AddressPart::kPostCode, newVal); }
  HRESULT get_Town(BSTR* pVal) override { return GetPart(AddressPart::kTown, pVal); }
  HRESULT put_Town(BSTR newVal) override { return PutPart(AddressPart::kTown, newVal); }
  HRESULT get_Country(BSTR* pVal) override { return GetPart(AddressPart::kCountry, pVal); }
  HRESULT put_Country(BSTR newVal) override { return PutPart(AddressPart::kCountry, newVal); }

 private:
  TextStore& texts() const { return batch_->texts; }
  HRESULT GetPart(AddressPart part, BSTR* out) const {
    return GetConvertedText(batch_->PartText(*record_, part), out);
  }
  HRESULT PutPart(AddressPart part, BSTR value) {
    return PutConvertedText(value, [&](std::string_view bytes) { batch_->SetPartText(*record_, part, bytes); });
  }

  std::shared_ptr<PayAddressRecord> record_;
  PayBatch* batch_;  // the batch that record_ keeps alive
};

// HandOutAddress(): a new CPayAddress view onto one address block of a record owned by
// `owner`, handed out as IDispatch.
template <class Owner>
HRESULT HandOutAddress(const AutomationBinding* binding, const std::shared_ptr<Owner>& owner, PayAddressRecord& block,
                       PayBatch& batch, IDispatch** out) {
  return Guarded([&] {
    return CPayAddress::HandOut<CPayAddress>(out, binding, std::shared_ptr<PayAddressRecord>(owner, &block), batch);
  });
}

class CPaySetting final : public ComObject<CPaySetting, IPaySetting, IID_IPaySetting, &AutomationBinding::setting> {
 public:
  CPaySetting(const AutomationBinding* binding, std::shared_ptr<PaySettingRecord> record, PayBatch& batch)
      : ComObject(binding), record_(std::move(record)), batch_(&batch) {}

  HRESULT get_Sender(IDispatch** pVal) override {
    return HandOutAddress(binding(), record_, record_->sender, *batch_, pVal);
  }
  HRESULT get_DtaID(BSTR* pVal) override { return GetTextProperty(texts(), record_->dta_id, pVal); }
  HRESULT put_DtaID(BSTR newVal) override { return PutTextProperty(texts(), record_->dta_id, newVal); }
  HRESULT get_CostAccount(BSTR* pVal) override { return GetTextProperty(texts(), record_->cost_account, pVal); }
  HRESULT put_CostAccount(BSTR newVal) override { return PutTextProperty(texts(), record_->cost_account, newVal); }
  HRESULT get_IsSalary(VARIANT_BOOL* pVal) override { return GetFlagProperty(record_->is_salary, pVal); }
  HRESULT put_IsSalary(VARIANT_BOOL newVal) override { return PutFlagProperty(record_->is_salary, newVal); }
  HRESULT get_DtaID_Sender(BSTR* pVal) override { return GetTextProperty(texts(), record_->dta_id_sender, pVal); }
  HRESULT put_DtaID_Sender(BSTR newVal) override { return PutTextProperty(texts(), record_->dta_id_sender, newVal); }
  HRESULT get_CostCurrency(BSTR* pVal) override { return GetTextProperty(texts(), record_->cost_currency, pVal); }
  HRESULT put_CostCurrency(BSTR newVal) override { return PutTextProperty(texts(), record_->cost_currency, newVal); }

 private:
  TextStore& texts() const { return batch_->texts; }

  std::shared_ptr<PaySettingRecord> record_;
  PayBatch* batch_;  // the batch that record_ keeps alive
};

class CPayment final : public ComObject<CPayment, IPayment, IID_IPayment, &AutomationBinding::payment> {
 public:
  CPayment(const AutomationBinding* binding, std::shared_ptr<PaymentRecord> record, PayBatch& batch)
      : ComObject(binding), record_(std::move(record)), batch_(&batch) {}

  HRESULT get_IsSalary(VARIANT_BOOL* pVal) override { return GetFlagProperty(record_->is_salary, pVal); }
  HRESULT put_IsSalary(VARIANT_BOOL newVal) override { return PutFlagProperty(record_->is_salary, newVal); }
  HRESULT get_ESR(BSTR* pVal) override { return GetTextProperty(texts(), record_->esr, pVal); }
  HRESULT put_ESR(BSTR newVal) override { return PutTextProperty(texts(), record_->esr, newVal); }
  HRESULT get_BankSrc(IDispatch** pVal) override {
    return HandOutAddress(binding(), record_, record_->bank_src, *batch_, pVal);
  }
  HRESULT get_BankDst(IDispatch** pVal) override {
    return HandOutAddress(binding(), record_, record_->bank_dst, *batch_, pVal);
  }
  HRESULT get_Receiver(IDispatch** pVal) override {
    return HandOutAddress(binding(), record_, record_->receiver, *batch_, pVal);
  }
  HRESULT get_Amount(CY* pVal) override { return GetValueProperty(record_->amount, pVal); }
  HRESULT put_Amount(CY newVal) override { return PutValueProperty(record_->amount, newVal); }
  HRESULT get_Reason(BSTR* pVal) override { return GetTextProperty(texts(), record_->reason, pVal); }
  HRESULT put_Reason(BSTR newVal) override { return PutTextProperty(texts(), record_->reason, newVal); }
  HRESULT get_Currency(BSTR* pVal) override { return GetTextProperty(texts(), record_->currency, pVal); }
  HRESULT put_Currency(BSTR newVal) override { return PutTextProperty(texts(), record_->currency, newVal); }
  HRESULT get_CostCode(PayCosts* pVal) override { return GetValueProperty(record_->cost_code, pVal); }
  HRESULT put_CostCode(PayCosts newVal) override { return PutValueProperty(record_->cost_code, newVal); }
  HRESULT get_Date(DATE* pVal) override { return GetValueProperty(record_->date, pVal); }
  HRESULT put_Date(DATE newVal) override { return PutValueProperty(record_->date, newVal); }

 private:
  TextStore& texts() const { return batch_->texts; }

  std::shared_ptr<PaymentRecord> record_;
  PayBatch* batch_;  // the batch that record_ keeps alive
};

}  // namespace ordexa
