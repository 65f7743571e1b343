// The module's entry points and class factory, called as the platform calls them on
// libordexa.so: class ids, null out-parameters, the cached factory, plain and aggregated
// creation, and what keeps the module from being unloaded.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "late_bound.h"

namespace ordexa {
namespace {

// The library opened directly, as the platform opens a server.
class Module : public testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(ORDEXA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle_) << dlerror();
    get_class_object_ = reinterpret_cast<decltype(get_class_object_)>(dlsym(handle_, "DllGetClassObject"));
    can_unload_now_ = reinterpret_cast<decltype(can_unload_now_)>(dlsym(handle_, "DllCanUnloadNow"));
    ASSERT_NE(nullptr, get_class_object_);
    ASSERT_NE(nullptr, can_unload_now_);
  }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
  }

  ComPtr<IClassFactory> Factory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, get_class_object_(CLSID_PayManager, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
    return factory;
  }

  void* handle_ = nullptr;
  HRESULT (*get_class_object_)(REFCLSID, REFIID, LPVOID*) = nullptr;
  HRESULT (*can_unload_now_)() = nullptr;
};

TEST_F(Module, GivesTheClassFactoryOfThePayManagerOnly) {
  const struct {
    const CLSID* clsid;
    const IID* iid;
    bool null_out;
    HRESULT expected;
  } rows[] = {
      {&CLSID_PayManager, &IID_IClassFactory, false, S_OK}, {&CLSID_PayManager, &IID_IUnknown, false, S_OK},
      {&CLSID_PayManager, &IID_IDispatch, false, E_NOINTERFACE},
      {&CLSID_Payment, &IID_IClassFactory, false, CLASS_E_CLASSNOTAVAILABLE},
      {&CLSID_PayAddress, &IID_IClassFactory, false, CLASS_E_CLASSNOTAVAILABLE},
      {&IID_IPayManager, &IID_IClassFactory, false, CLASS_E_CLASSNOTAVAILABLE},
      {&CLSID_PayManager, &IID_IClassFactory, true, E_POINTER}, {&CLSID_Payment, &IID_IClassFactory, true, E_POINTER},
  };
  for (const auto& row : rows) {
    void* object = reinterpret_cast<void*>(1);
    const HRESULT hr = get_class_object_(*row.clsid, *row.iid, row.null_out ? nullptr : &object);
    EXPECT_EQ(row.expected, hr);
    if (row.null_out) continue;
    if (SUCCEEDED(hr)) {
      static_cast<IUnknown*>(object)->Release();
    } else {
      EXPECT_EQ(nullptr, object);
    }
  }
  EXPECT_EQ(Factory().get(), Factory().get()) << "one factory, kept";
}

TEST_F(Module, CreatesManagersThatAnswerByName) {
  const ComPtr<IClassFactory> factory = Factory();
  EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IDispatch, nullptr));
  ComPtr<IDispatch> manager;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(manager.put())));
  EXPECT_EQ(VARIANT_TRUE, test::Method(manager.get(), u"CheckPostNr", {test::Text(u"")})->boolVal);
  ComPtr<IPayManager> dual;
  EXPECT_EQ(S_OK, manager->QueryInterface(IID_IPayManager, reinterpret_cast<void**>(dual.put())));
  EXPECT_EQ(static_cast<IDispatch*>(dual.get()), manager.get());
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &none));
  EXPECT_EQ(nullptr, none);
}

// An outer object that aggregates the manager: its own identity, everything else from
// the inner object.
class Outer final : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner_ != nullptr ? inner_->QueryInterface(riid, object) : E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override { return --references_; }

  ULONG references_ = 1;
  IUnknown* inner_ = nullptr;
};

TEST_F(Module, AggregatedManagerBehavesAsAPlainOne) {
  ComPtr<IClassFactory> factory = Factory();
  Outer outer;
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &object));
  EXPECT_EQ(nullptr, object);

  ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner_)));
  EXPECT_NE(static_cast<IUnknown*>(&outer), outer.inner_);
  factory.reset();
  EXPECT_EQ(S_FALSE, can_unload_now_()) << "the aggregated manager";
  {
    ComPtr<IDispatch> manager;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(manager.put())));
    // References taken through the inner object's interfaces count on the outer object.
    EXPECT_EQ(2u, outer.references_);
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, manager->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
    identity->Release();

    const ComPtr<IDispatch> payment = test::Object(test::Method(manager.get(), u"NewPayment", {test::I4(payIban)}));
    test::Put(payment.get(), u"Reason", test::Text(u"Lohn"));
    EXPECT_EQ(u"Lohn", test::Get(payment.get(), u"Reason").text());
    EXPECT_EQ(VARIANT_TRUE,
              test::Method(manager.get(), u"CheckIbanNr", {test::Text(u"CH93 0076 2011 6238 5295 7")})->boolVal);
  }
  EXPECT_EQ(1u, outer.references_);
  outer.inner_->Release();
  EXPECT_EQ(S_OK, can_unload_now_());
}

// What holds the module: a client's reference to the factory, a server lock, every live
// object; the factory in the module's own cache does not.
TEST_F(Module, CanBeUnloadedOnlyWhenNothingHoldsIt) {
  EXPECT_EQ(S_OK, can_unload_now_());
  ComPtr<IClassFactory> factory = Factory();
  EXPECT_EQ(S_FALSE, can_unload_now_());

  ASSERT_EQ(S_OK, factory->LockServer(1));
  ASSERT_EQ(S_OK, factory->LockServer(1));
  ComPtr<IDispatch> manager;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(manager.put())));
  factory.reset();
  EXPECT_EQ(S_FALSE, can_unload_now_()) << "two server locks and a manager";
  Factory()->LockServer(0);
  Factory()->LockServer(0);
  EXPECT_EQ(S_FALSE, can_unload_now_()) << "a manager";

  ComPtr<IDispatch> address = test::Object(
      test::Get(test::Object(test::Method(manager.get(), u"NewPayment", {test::I4(payManual)})).get(), u"Receiver"));
  manager.reset();
  EXPECT_EQ(S_FALSE, can_unload_now_()) << "a view outliving its manager";
  test::Put(address.get(), u"Name1", test::Text(u"still reachable"));
  EXPECT_EQ(u"still reachable", test::Get(address.get(), u"Name1").text());
  address.reset();
  EXPECT_EQ(S_OK, can_unload_now_());
}

}  // namespace
}  // namespace ordexa
