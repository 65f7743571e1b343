// The thread's error information: one object per thread, set and taken by the caller.
#include <atomic>
#include <new>
#include <string>

#include "oaidl.h"
#include "oleauto.h"

namespace {

class ErrorInfo final : public IErrorInfo, public ICreateErrorInfo {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
      *object = static_cast<IErrorInfo*>(this);
    } else if (riid == IID_ICreateErrorInfo) {
      *object = static_cast<ICreateErrorInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG remaining = --references_;
    if (remaining == 0) delete this;
    return remaining;
  }

  HRESULT GetGUID(GUID* guid) override { return Copy(guid_, guid); }
  HRESULT GetSource(BSTR* source) override { return CopyText(source_, source); }
  HRESULT GetDescription(BSTR* description) override { return CopyText(description_, description); }
  HRESULT GetHelpFile(BSTR* help_file) override { return CopyText(help_file_, help_file); }
  HRESULT GetHelpContext(DWORD* help_context) override { return Copy(help_context_, help_context); }

  HRESULT SetGUID(REFGUID guid) override { return Assign(guid_, guid); }
  HRESULT SetSource(LPOLESTR source) override { return AssignText(source_, source); }
  HRESULT SetDescription(LPOLESTR description) override { return AssignText(description_, description); }
  HRESULT SetHelpFile(LPOLESTR help_file) override { return AssignText(help_file_, help_file); }
  HRESULT SetHelpContext(DWORD help_context) override { return Assign(help_context_, help_context); }

 private:
  template <class T>
  static HRESULT Copy(const T& field, T* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = field;
    return S_OK;
  }
  template <class T>
  static HRESULT Assign(T& field, const T& value) {
    field = value;
    return S_OK;
  }
  static HRESULT CopyText(const std::u16string& field, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = SysAllocStringLen(field.data(), static_cast<UINT>(field.size()));
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
  }
  static HRESULT AssignText(std::u16string& field, const OLECHAR* value) {
    try {
      field = value == nullptr ? std::u16string() : std::u16string(value);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  std::atomic<ULONG> references_{1};
  GUID guid_{};
  std::u16string source_;
  std::u16string description_;
  std::u16string help_file_;
  DWORD help_context_ = 0;
};

// The calling thread's error information; released when the thread ends.
struct ThreadErrorInfo {
  IErrorInfo* info = nullptr;
  ~ThreadErrorInfo() {
    if (info != nullptr) info->Release();
  }
};
thread_local ThreadErrorInfo thread_error_info;

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** error_info) {
  if (error_info == nullptr) return E_POINTER;
  auto* created = new (std::nothrow) ErrorInfo();
  *error_info = created;
  return created == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* error_info) {
  if (reserved != 0) return E_INVALIDARG;
  if (error_info != nullptr) error_info->AddRef();
  IErrorInfo* previous = thread_error_info.info;
  thread_error_info.info = error_info;
  if (previous != nullptr) previous->Release();
  return S_OK;
}

HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** error_info) {
  if (error_info == nullptr) return E_INVALIDARG;
  *error_info = nullptr;
  if (reserved != 0) return E_INVALIDARG;
  *error_info = thread_error_info.info;
  thread_error_info.info = nullptr;
  return *error_info == nullptr ? S_FALSE : S_OK;
}
