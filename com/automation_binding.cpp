// The dispatch tables of the four classes' interfaces: each slot in slot order, checked against
// its row of the member table when compiled.
#include "com/automation_binding.h"

#include "com/dispatch.h"
#include "com/dispatch_slots.h"
#include "com/member_table.h"
#include "com/type_library.h"

namespace ordexa {
namespace {

using dispatch_detail::SlotTable;

using PayManagerSlots = SlotTable<&IPayManager::NewPayment, &IPayManager::WriteFile, &IPayManager::get_Setting,
                                  &IPayManager::CheckPostNr, &IPayManager::CheckIbanNr>;
static_assert(PayManagerSlots::MatchesTable(kPayManagerMembers), "IPayManager slots differ from the member table");

using PaymentSlots =
    SlotTable<&IPayment::get_IsSalary, &IPayment::put_IsSalary, &IPayment::get_ESR, &IPayment::put_ESR,
              &IPayment::get_BankSrc, &IPayment::get_BankDst, &IPayment::get_Receiver, &IPayment::get_Amount,
              &IPayment::put_Amount, &IPayment::get_Reason, &IPayment::put_Reason, &IPayment::get_Currency,
              &IPayment::put_Currency, &IPayment::get_CostCode, &IPayment::put_CostCode, &IPayment::get_Date,
              &IPayment::put_Date>;
static_assert(PaymentSlots::MatchesTable(kPaymentMembers), "IPayment slots differ from the member table");

using PaySettingSlots =
    SlotTable<&IPaySetting::get_Sender, &IPaySetting::get_DtaID, &IPaySetting::put_DtaID, &IPaySetting::get_CostAccount,
              &IPaySetting::put_CostAccount, &IPaySetting::get_IsSalary, &IPaySetting::put_IsSalary,
              &IPaySetting::get_DtaID_Sender, &IPaySetting::put_DtaID_Sender, &IPaySetting::get_CostCurrency,
              &IPaySetting::put_CostCurrency>;
static_assert(PaySettingSlots::MatchesTable(kPaySettingMembers), "IPaySetting slots differ from the member table");

// The address object answers through IPayAddress2, whose slots begin with IPayAddress's.
using PayAddressSlots = SlotTable<
    &IPayAddress::get_Name1, &IPayAddress::put_Name1, &IPayAddress::get_Name2, &IPayAddress::put_Name2,
    &IPayAddress::get_City, &IPayAddress::put_City, &IPayAddress::get_Street, &IPayAddress::put_Street,
    &IPayAddress::get_Account, &IPayAddress::put_Account, &IPayAddress::get_ID, &IPayAddress::put_ID,
    &IPayAddress::get_BIC, &IPayAddress::put_BIC, &IPayAddress2::get_StreetName, &IPayAddress2::put_StreetName,
    &IPayAddress2::get_BuildingNumber, &IPayAddress2::put_BuildingNumber, &IPayAddress2::get_PostCode,
    &IPayAddress2::put_PostCode, &IPayAddress2::get_Town, &IPayAddress2::put_Town, &IPayAddress2::get_Country,
    &IPayAddress2::put_Country>;
static_assert(PayAddressSlots::MatchesTable(kPayAddress2Members), "IPayAddress2 slots differ from the member table");

class ClassBinding final : public DispatchBinding {
 public:
  constexpr ClassBinding(DispatchInterface dispatch, const CLSID& clsid) : dispatch_(dispatch), clsid_(clsid) {}

  // 1 when the interface's type information loads from the registered type library.
  HRESULT GetTypeInfoCount(UINT* count) const override {
    if (count == nullptr) return E_POINTER;
    ITypeInfo* type_info = nullptr;
    *count = SUCCEEDED(LoadRegisteredTypeInfo(*dispatch_.description->iid, &type_info)) ? 1 : 0;
    if (type_info != nullptr) type_info->Release();
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** type_info) const override {
    if (type_info == nullptr) return E_POINTER;
    *type_info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return LoadRegisteredTypeInfo(*dispatch_.description->iid, type_info);
  }
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* dispids) const override {
    return LookUpNames(dispatch_, names, count, dispids);
  }
  HRESULT Invoke(IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                 UINT* arg_error) const override {
    return InvokeMember(dispatch_, self, member, flags, params, result, exception, arg_error);
  }
  HRESULT GetClassInfo(ITypeInfo** type_info) const override {
    if (type_info == nullptr) return E_POINTER;
    *type_info = nullptr;
    return LoadRegisteredTypeInfo(clsid_, type_info);
  }

 private:
  DispatchInterface dispatch_;
  const CLSID& clsid_;
};

constexpr ClassBinding kPayManagerBinding({&kInterfaces[kPayManagerInterface], PayManagerSlots::kThunks},
                                          CLSID_PayManager);
constexpr ClassBinding kPaymentBinding({&kInterfaces[kPaymentInterface], PaymentSlots::kThunks}, CLSID_Payment);
constexpr ClassBinding kPaySettingBinding({&kInterfaces[kPaySettingInterface], PaySettingSlots::kThunks},
                                          CLSID_PaySetting);
constexpr ClassBinding kPayAddressBinding({&kInterfaces[kPayAddress2Interface], PayAddressSlots::kThunks},
                                          CLSID_PayAddress);

constexpr AutomationBinding kOrdexaBinding{&kPayManagerBinding, &kPaymentBinding, &kPaySettingBinding,
                                           &kPayAddressBinding};

}  // namespace

const AutomationBinding& OrdexaBinding() { return kOrdexaBinding; }

}  // namespace ordexa
