// CPayManager: payments are appended, never removed; WriteFile absorbs every failure of the
// three legacy file types and reports those of the 2019 ISO file.
#include "model/pay_manager.h"

#include <new>
#include <string>

#include "dta/dta_writer.h"
#include "ezag/ezag_writer.h"
#include "format/iban.h"
#include "iso/iso_writer.h"
#include "iso2019/iso2019_writer.h"
#include "model/pay_views.h"
#include "model/property.h"
#include "model/text_conversion.h"

namespace ordexa {
namespace {

// SetCallerErrorInfo(): makes the message (1252 text) the thread's error information, as
// raised by IPayManager under the class's ProgID. A failure to build it leaves the thread
// without error information; the caller still gets the status.
void SetCallerErrorInfo(std::string_view message) noexcept {
  BSTR description = ToCallerText(message);
  BSTR source = nullptr;
  ICreateErrorInfo* created = nullptr;
  IErrorInfo* error_info = nullptr;
  try {
    const std::basic_string<OLECHAR> source_text(kErrorSource.begin(), kErrorSource.end());
    source = SysAllocString(source_text.c_str());
  } catch (...) {
  }
  if (description != nullptr && source != nullptr && SUCCEEDED(CreateErrorInfo(&created))) {
    created->SetGUID(IID_IPayManager);
    created->SetSource(source);
    created->SetDescription(description);
    if (SUCCEEDED(created->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&error_info)))) {
      SetErrorInfo(0, error_info);
      error_info->Release();
    }
    created->Release();
  } else {
    SetErrorInfo(0, nullptr);
  }
  SysFreeString(source);
  SysFreeString(description);
}

// ReportFailure(): the status of a failure (E_FAIL for one that carries no failure
// status), with its message as the thread's error information; a failure without a message
// of its own gets the internal error's, naming the status.
HRESULT ReportFailure(HRESULT status, const std::string* message) noexcept {
  // A failure always reaches the caller as one, whatever status it carries.
  if (!FAILED(status)) status = E_FAIL;
  if (message != nullptr) {
    SetCallerErrorInfo(*message);
    return status;
  }
  try {
    const std::string detail = FormatMessageText("Status = 0x%X", {static_cast<std::uint32_t>(status)});
    SetCallerErrorInfo(MPayError(IDS_INTERNAL_ERROR, status, {detail}).text());
  } catch (...) {
    SetErrorInfo(0, nullptr);
  }
  return status;
}

}  // namespace

ComPtr<CPayManager> CPayManager::New() {
  ComPtr<CPayManager> manager(new CPayManager());
  manager->AddRef();
  return manager;
}

HRESULT CPayManager::CreateInstance(REFIID riid, void** object, const AutomationBinding* binding) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  return Guarded([&] {
    CPayManager* manager = new CPayManager(binding);
    manager->AddRef();
    const HRESULT hr = manager->QueryInterface(riid, object);
    manager->Release();
    return hr;
  });
}

CPayManager::CPayManager(const AutomationBinding* binding)
    : ComObject(binding), batch_(std::make_shared<PayBatch>()) {}

void* CPayManager::QueryExtraInterface(REFIID riid) {
  // Class information comes from the type library, which only the binding knows.
  if (riid == IID_IProvideClassInfo && Dispatch() != nullptr) return static_cast<IProvideClassInfo*>(this);
  return nullptr;
}

HRESULT CPayManager::GetClassInfo(ITypeInfo** type_info) {
  if (const DispatchBinding* dispatch = Dispatch()) return dispatch->GetClassInfo(type_info);
  if (type_info != nullptr) *type_info = nullptr;
  return E_NOTIMPL;
}

HRESULT CPayManager::NewPayment(PayTypes PayType, IDispatch** Payment) {
  return Guarded([&] {
    PaymentList& payments = batch_->payments;
    payments.emplace_back();
    PaymentRecord& record = payments.back();
    record.type = PayType;
    CPayment* view =
        new (std::nothrow) CPayment(binding(), std::shared_ptr<PaymentRecord>(batch_, &record), *batch_);
    if (view == nullptr) {
      // No view, no payment: the list stays as it was.
      payments.pop_back();
      return E_OUTOFMEMORY;
    }
    view->AddRef();
    // The record stays appended even when the hand-out fails for a null out-parameter.
    const HRESULT hr = Payment == nullptr ? E_POINTER
                                          : view->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(Payment));
    view->Release();
    return hr;
  });
}

void CPayManager::WriteBatch(std::int32_t file_type, std::string_view file_name, std::string_view pay_period,
                             bool swiss, const FileSystem& file_system) {
  switch (file_type) {
    case payDTA:
      WriteDtaFile(*batch_, file_name, file_system);
      break;
    case payEzag:
      WriteEzagFile(*batch_, file_name, file_system);
      break;
    case payISO:
      WriteIsoFile(*batch_, file_name, pay_period, swiss, file_system);
      break;
    case payISO2019:
      WriteIso2019File(*batch_, file_name, pay_period, swiss, file_system);
      break;
    default:
      break;
  }
}

HRESULT CPayManager::WriteFile(BSTR FileName, PayFileTypes FileType, BSTR payPeriod, VARIANT_BOOL useCHStandard) {
  if (FileType == payISO2019) return WriteReportedFile(FileName, payPeriod, useCHStandard);
  try {
    if (FileType == payISO) {
      const std::string period = ToAnsiText(payPeriod);
      const std::string name = ToAnsiText(FileName);
      // Only VARIANT_TRUE itself selects the Swiss flavour; 1 is not enough.
      WriteBatch(FileType, name, period, useCHStandard == VARIANT_TRUE);
    } else if (FileType == payDTA || FileType == payEzag) {
      WriteBatch(FileType, ToAnsiText(FileName), {}, false);
    }
  } catch (...) {
    // The caller is told nothing: what was written stays on disk, the message is dropped.
  }
  return S_OK;
}

HRESULT CPayManager::WriteReportedFile(BSTR FileName, BSTR payPeriod, VARIANT_BOOL useCHStandard) {
  try {
    const std::string period = ToAnsiText(payPeriod);
    const std::string name = ToAnsiText(FileName);
    // As for payISO, only VARIANT_TRUE itself selects the Swiss flavour.
    WriteBatch(payISO2019, name, period, useCHStandard == VARIANT_TRUE);
    return S_OK;
  } catch (const MPayError& failure) {
    return ReportFailure(failure.status(), &failure.text());
  } catch (const CAtlException& failure) {
    return ReportFailure(failure.hr(), nullptr);
  } catch (const std::bad_alloc&) {
    return ReportFailure(E_OUTOFMEMORY, nullptr);
  } catch (...) {
    return ReportFailure(E_FAIL, nullptr);
  }
}

HRESULT CPayManager::get_Setting(IDispatch** pVal) {
  return Guarded([&] {
    return CPaySetting::HandOut<CPaySetting>(
        pVal, binding(), std::shared_ptr<PaySettingRecord>(batch_, &batch_->settings), *batch_);
  });
}

HRESULT CPayManager::CheckPostNr(BSTR, VARIANT_BOOL* pVal) {
  if (pVal == nullptr) return E_POINTER;
  *pVal = VARIANT_TRUE;
  return S_OK;
}

HRESULT CPayManager::CheckIbanNr(BSTR Nummer, VARIANT_BOOL* pVal) {
  if (pVal == nullptr) return E_POINTER;
  return Guarded([&] {
    *pVal = NormalizeIban(ToAnsiText(Nummer)).empty() ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
  });
}

}  // namespace ordexa
