// Generic object plumbing of the automation objects: reference counting, interface query,
// aggregation, ISupportErrorInfo, the seam where the automation binding plugs in late
// binding, and the module-wide count of live objects and locks that decides whether the
// module may be unloaded. Single-threaded apartment: plain reference counters.
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

// DispatchBinding: the late-bound side of one class (names, Invoke, type information),
// supplied by the automation binding above the model. Objects made without one answer
// only early-bound calls: no type information and E_NOTIMPL for names and Invoke.
class DispatchBinding {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* count) const = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** type_info) const = 0;
  virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* dispids) const = 0;
  // `self` is the object's dispatch interface, which is its dual interface.
  virtual HRESULT Invoke(IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* arg_error) const = 0;
  // The type information of the class (IProvideClassInfo; asked of the manager only).
  virtual HRESULT GetClassInfo(ITypeInfo** type_info) const = 0;

 protected:
  ~DispatchBinding() = default;
};

// The bindings of the four classes. A manager made with it hands it on to every view it
// creates, and views to the address views they create.
struct AutomationBinding {
  const DispatchBinding* manager;
  const DispatchBinding* payment;
  const DispatchBinding* setting;
  const DispatchBinding* address;
};

// ComObject<Derived, Interface, iid, slot>: IUnknown, IDispatch identity and
// ISupportErrorInfo for a class implementing the dual interface `Interface`. The dual
// interface and IDispatch are one and the same pointer. Objects start with a reference
// count of 0; the creator hands them out through QueryInterface. An object made as the
// inner part of an aggregate passes its IUnknown calls on to the outer object.
template <class Derived, class Interface, const IID& kInterfaceId,
          const DispatchBinding* AutomationBinding::*kBindingSlot>
class ComObject : public Interface, public ISupportErrorInfo {
 public:
  explicit ComObject(const AutomationBinding* binding) : binding_(binding) { LockModule(); }
  virtual ~ComObject() { UnlockModule(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return outer_ != nullptr ? outer_->QueryInterface(riid, object) : InnerQueryInterface(riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return outer_ != nullptr ? outer_->AddRef() : ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (outer_ != nullptr) return outer_->Release();
    const ULONG remaining = --references_;
    if (remaining == 0) delete static_cast<Derived*>(this);
    return remaining;
  }

  // InnerQueryInterface(): the object's own interfaces; the reference taken goes to the
  // outer object when there is one.
  HRESULT InnerQueryInterface(REFIID riid, void** object) {
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
  // SetOuter(): makes the object the inner part of an aggregate whose lifetime the outer
  // object's controlling IUnknown governs.
  void SetOuter(IUnknown* outer) { outer_ = outer; }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return riid == kInterfaceId ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (const DispatchBinding* dispatch = Dispatch()) return dispatch->GetTypeInfoCount(count);
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** type_info) override {
    if (const DispatchBinding* dispatch = Dispatch()) return dispatch->GetTypeInfo(index, lcid, type_info);
    if (type_info != nullptr) *type_info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override {
    if (const DispatchBinding* dispatch = Dispatch()) return dispatch->GetIDsOfNames(names, count, dispids);
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* arg_error) override {
    if (const DispatchBinding* dispatch = Dispatch()) {
      return dispatch->Invoke(static_cast<Interface*>(this), member, flags, params, result, exception, arg_error);
    }
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

 protected:
  const AutomationBinding* binding() const { return binding_; }
  const DispatchBinding* Dispatch() const { return binding_ != nullptr ? binding_->*kBindingSlot : nullptr; }

 private:
  const AutomationBinding* binding_;
  IUnknown* outer_ = nullptr;
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
