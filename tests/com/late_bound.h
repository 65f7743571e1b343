// Late-bound calls as a script host makes them: names through GetIDsOfNames, calls
// through Invoke with VARIANT arguments (passed last to first), property puts with the
// put marker; and a fixture that registers libordexa.so into a registry file of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/com_object.h"
#include "ordexa.h"
#include "support/temp_dir.h"
#include "tools/activation/activation.h"

namespace ordexa::test {

// Variant: owns what it holds.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant& other) : Variant() { VariantCopy(&value_, &other.value_); }
  Variant& operator=(const Variant& other) {
    if (this != &other) VariantCopy(&value_, &other.value_);
    return *this;
  }

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }
  const VARIANT* operator->() const { return &value_; }
  std::u16string text() const {
    return value_.vt == VT_BSTR && value_.bstrVal != nullptr
               ? std::u16string(value_.bstrVal, SysStringLen(value_.bstrVal))
               : std::u16string();
  }

 private:
  VARIANT value_;
};

// A VARIANT of type `vt` whose value `set` fills in.
template <class Set>
Variant Make(VARTYPE vt, Set set) {
  Variant v;
  v.get()->vt = vt;
  set(*v.get());
  return v;
}
inline Variant Text(std::u16string_view text) {
  return Make(VT_BSTR, [&](VARIANT& v) { v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); });
}
inline Variant R8(double value) { return Make(VT_R8, [&](VARIANT& v) { v.dblVal = value; }); }
inline Variant I2(SHORT value) { return Make(VT_I2, [&](VARIANT& v) { v.iVal = value; }); }
inline Variant I4(LONG value) { return Make(VT_I4, [&](VARIANT& v) { v.lVal = value; }); }
inline Variant Bool(VARIANT_BOOL value) { return Make(VT_BOOL, [&](VARIANT& v) { v.boolVal = value; }); }
// ByRef(): a by-reference argument pointing at `target`'s value, as VB passes variables.
inline Variant ByRef(Variant& target) {
  return Make(static_cast<VARTYPE>(VT_BYREF | target->vt), [&](VARIANT& v) { v.byref = &target.get()->llVal; });
}

inline DISPID IdOf(IDispatch* object, const char16_t* name) {
  std::u16string copy = name;
  LPOLESTR names[] = {copy.data()};
  DISPID dispid = DISPID_UNKNOWN;
  EXPECT_EQ(S_OK, object->GetIDsOfNames(IID_NULL, names, 1, 1033, &dispid)) << "name";
  return dispid;
}

// Invoke with `args` in call order (first argument first); a put adds the put marker.
struct Call {
  HRESULT hr = E_FAIL;
  Variant result;
  UINT arg_error = 12345;
};
inline Call InvokeByName(IDispatch* object, const char16_t* name, WORD flags, std::vector<Variant> args,
                         EXCEPINFO* exception = nullptr) {
  std::vector<VARIANT> reversed;
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) reversed.push_back(**arg);
  DISPID put_marker = DISPID_PROPERTYPUT;
  const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  DISPPARAMS params{reversed.data(), put ? &put_marker : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  Call call;
  call.hr =
      object->Invoke(IdOf(object, name), IID_NULL, 1033, flags, &params, call.result.get(), exception, &call.arg_error);
  return call;
}

inline void Put(IDispatch* object, const char16_t* name, Variant value) {
  const Call call = InvokeByName(object, name, DISPATCH_PROPERTYPUT, {std::move(value)});
  EXPECT_EQ(S_OK, call.hr) << "put";
}
inline Variant Get(IDispatch* object, const char16_t* name) {
  Call call = InvokeByName(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {});
  EXPECT_EQ(S_OK, call.hr) << "get";
  return call.result;
}
inline Variant Method(IDispatch* object, const char16_t* name, std::vector<Variant> args) {
  Call call = InvokeByName(object, name, DISPATCH_METHOD, std::move(args));
  EXPECT_EQ(S_OK, call.hr) << "method";
  return call.result;
}
// Object(): the IDispatch an object-valued result holds (a new reference).
inline ComPtr<IDispatch> Object(const Variant& value) {
  EXPECT_EQ(VT_DISPATCH, value->vt);
  if (value->vt != VT_DISPATCH || value->pdispVal == nullptr) return {};
  value->pdispVal->AddRef();
  return ComPtr<IDispatch>(value->pdispVal);
}

// RegisteredServer: libordexa.so registered into a registry file of the test's own, and
// unregistered again at the end.
class RegisteredServer : public testing::Test {
 protected:
  void SetUp() override {
    registry_file_ = dir_.path() + "/registry.reg";
    setenv("ORDEXA_REGISTRY", registry_file_.c_str(), 1);
    ASSERT_EQ(S_OK, activation::RegisterServer(ORDEXA_MODULE_PATH));
  }
  void TearDown() override { unsetenv("ORDEXA_REGISTRY"); }

  ComPtr<IDispatch> NewManager() {
    ComPtr<IDispatch> manager;
    EXPECT_EQ(S_OK,
              activation::CreateObject(u"Veltrano.PayManager", IID_IDispatch, reinterpret_cast<void**>(manager.put())));
    return manager;
  }

  TempDir dir_;
  std::string registry_file_;
};

}  // namespace ordexa::test
