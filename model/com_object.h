// Generic object plumbing of the automation objects: reference counting, interface query,
// ISupportErrorInfo and the module-wide count of live objects and locks that decides
// whether the module may be unloaded. Single-threaded apartment: plain counters.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "oaidl.h"

namespace ordexa {

// ModuleLockCount(): live objects plus server locks of the module (0: may be unloaded).
std::int32_t ModuleLockCount();
void LockModule();
void UnlockModule();

// ComObject<Derived, Interface, iid>: IUnknown, IDispatch identity and ISupportErrorInfo
// for a class implementing the dual interface `Interface`. The dual interface and
// IDispatch are one and the same pointer. Objects start with a reference count of 0;
// the creator hands them out through QueryInterface.
template <class Derived, class Interface, const IID& kInterfaceId>
class ComObject : public Interface, public ISupportErrorInfo {
 public:
  ComObject() { LockModule(); }
  virtual ~ComObject() { UnlockModule(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kInterfaceId) {
      *object = static_cast<Interface*>(this);
    } else if (riid == IID_ISupportErrorInfo) {
      *object = static_cast<ISupportErrorInfo*>(this);
    } else if (void* extra = static_cast<Derived*>(this)->QueryExtraInterface(riid)) {
      *object = extra;
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
    if (remaining == 0) delete static_cast<Derived*>(this);
    return remaining;
  }

  HRESULT InterfaceSupportsErrorInfo(REFIID riid) override { return riid == kInterfaceId ? S_OK : S_FALSE; }

  // Late binding is the automation binding's business; the component is early-bound here.
  HRESULT GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** type_info) override {
    if (type_info != nullptr) *type_info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // A further interface a class offers (IProvideClassInfo for the manager); none by default.
  void* QueryExtraInterface(REFIID) { return nullptr; }

  // HandOut(): creates an object of class T with `args`, lets `configure` point it at its
  // record, and hands it out as IDispatch through `out`. E_POINTER for a null `out` (the
  // object is then released again), E_OUTOFMEMORY when it cannot be created (`out` untouched).
  template <class T, class... Args>
  static HRESULT HandOut(IDispatch** out, Args&&... args) {
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (object == nullptr) return E_OUTOFMEMORY;
    object->AddRef();
    const HRESULT hr = out == nullptr ? E_POINTER : object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    object->Release();
    return hr;
  }

 private:
  ULONG references_ = 0;
};

// ComPtr<T>: owns one reference to an interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  explicit ComPtr(T* pointer) : pointer_(pointer) {}  // takes over a reference
  ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() {
    if (pointer_) pointer_->Release();
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // The address to receive a new reference; any current one is released first.
  T** put() {
    *this = nullptr;
    return &pointer_;
  }
  void reset() { *this = nullptr; }

  // As<U>(): QueryInterface for U (a null ComPtr when not offered).
  template <class U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> result;
    if (pointer_) pointer_->QueryInterface(iid, reinterpret_cast<void**>(result.put()));
    return result;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace ordexa
