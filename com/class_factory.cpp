// CPayManager's class factory: plain creation, or creation as the inner object of an
// aggregate, both bound for late binding; the factory counts towards the module lock
// while a client holds it or has locked the server.
#include "com/class_factory.h"

#include <atomic>
#include <new>
#ifndef _WIN32
#include <mutex>
#endif

#include "com/automation_binding.h"
#include "model/pay_manager.h"

namespace ordexa {
namespace {

// The aggregate's own (non-delegating) IUnknown around an inner manager whose IUnknown
// calls go to the outer object.
class AggregatedPayManager final : public IUnknown {
 public:
  explicit AggregatedPayManager(IUnknown* outer) : manager_(&OrdexaBinding()) { manager_.SetOuter(outer); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return manager_.InnerQueryInterface(riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --references_;
    if (remaining == 0) delete this;
    return remaining;
  }

 private:
  ULONG references_ = 0;
  CPayManager manager_;
};

HRESULT CreateAggregated(IUnknown* outer, void** object) {
  AggregatedPayManager* aggregate = nullptr;
  try {
    aggregate = new AggregatedPayManager(outer);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  aggregate->AddRef();
  const HRESULT hr = aggregate->QueryInterface(IID_IUnknown, object);
  aggregate->Release();
  return hr;
}

class PayManagerFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The module's cache holds the first reference; every further one is a client's and
  // keeps the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override {
    const ULONG count = ++references_;
    if (count == 2) LockModule();
    return count;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG count = --references_;
    if (count == 1) UnlockModule();
    if (count == 0) delete this;
    return count;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer == nullptr) return CPayManager::CreateInstance(riid, object, &OrdexaBinding());
    // An aggregate hands out its own IUnknown only.
    if (!(riid == IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return CreateAggregated(outer, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{0};
};

// The module's lock around the one-time creation of the factory.
#ifdef _WIN32
class ModuleLock {
 public:
  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};
#else
using ModuleLock = std::mutex;
#endif

class ModuleLockScope {
 public:
  explicit ModuleLockScope(ModuleLock& lock) : lock_(lock) { lock_.lock(); }
  ~ModuleLockScope() { lock_.unlock(); }
  ModuleLockScope(const ModuleLockScope&) = delete;
  ModuleLockScope& operator=(const ModuleLockScope&) = delete;

 private:
  ModuleLock& lock_;
};

// The cache: filled once under the module's lock, given up at unload.
struct FactoryCache {
  ModuleLock mutex;
  PayManagerFactory* factory = nullptr;
  ~FactoryCache() {
    if (factory != nullptr) factory->Release();
  }
};
FactoryCache factory_cache;

}  // namespace

HRESULT GetPayManagerFactory(REFIID riid, void** object) {
  PayManagerFactory* factory = nullptr;
  {
    const ModuleLockScope lock(factory_cache.mutex);
    if (factory_cache.factory == nullptr) {
      factory_cache.factory = new (std::nothrow) PayManagerFactory();
      if (factory_cache.factory == nullptr) return E_OUTOFMEMORY;
      factory_cache.factory->AddRef();
    }
    factory = factory_cache.factory;
  }
  return factory->QueryInterface(riid, object);
}

}  // namespace ordexa
