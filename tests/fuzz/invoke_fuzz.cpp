// IDispatch::Invoke on the manager, a payment, the settings and an address with random
// DISPIDs, call flags, interface ids, named arguments and VARIANT arguments of every type
// (the objects themselves among them): Invoke answers only the statuses listed for it,
// names a converted argument that exists, returns values of the listed types, leaves the
// caller's arguments as they were, and leaks nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "model/com_object.h"
#include "windows.h"
#include "ordexa.h"
#include "variant_maker.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);

namespace {

using ordexa::ComPtr;

ComPtr<IDispatch> NewManager() {
  ComPtr<IClassFactory> factory;
  if (DllGetClassObject(CLSID_PayManager, IID_IClassFactory, reinterpret_cast<void**>(factory.put())) != S_OK) std::abort();
  ComPtr<IDispatch> manager;
  if (factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(manager.put())) != S_OK) std::abort();
  return manager;
}

// A well-formed call that returns an object.
ComPtr<IDispatch> ObjectOf(IDispatch* self, DISPID member, WORD flags, VARIANT* argument) {
  DISPPARAMS params{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
  VARIANT result;
  VariantInit(&result);
  if (self->Invoke(member, IID_NULL, 0, flags, &params, &result, nullptr, nullptr) != S_OK || result.vt != VT_DISPATCH) {
    std::abort();
  }
  return ComPtr<IDispatch>(result.pdispVal);
}

bool IsListedStatus(HRESULT hr, bool manager, bool null_interface_id) {
  return hr == S_OK || hr == DISP_E_BADVARTYPE || hr == DISP_E_BADPARAMCOUNT || hr == DISP_E_MEMBERNOTFOUND ||
         hr == DISP_E_TYPEMISMATCH || hr == E_OUTOFMEMORY || (manager && hr == DISP_E_NONAMEDARGS) ||
         (!null_interface_id && hr == DISP_E_UNKNOWNINTERFACE);
}

bool IsResultType(VARTYPE type) {
  return type == VT_EMPTY || type == VT_DISPATCH || type == VT_BOOL || type == VT_BSTR || type == VT_CY ||
         type == VT_DATE || type == VT_I4;
}

std::string Describe(int target, DISPID member, WORD flags, UINT arguments, UINT named, HRESULT hr) {
  char text[128];
  std::snprintf(text, sizeof text, "object %d DISPID %d flags %u, %u arguments (%u named): 0x%08X", target, member,
                flags, arguments, named, static_cast<unsigned>(hr));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // WriteFile calls write into the process's own working folder.
  static const ordexa::fuzz::TempFolder work_folder(true);
  FuzzedDataProvider provider(data, size);

  std::vector<ComPtr<IDispatch>> owned;
  owned.push_back(NewManager());
  VARIANT iban_type;
  VariantInit(&iban_type);
  iban_type.vt = VT_I4;
  iban_type.lVal = provider.ConsumeIntegral<std::int32_t>();
  owned.push_back(ObjectOf(owned[0].get(), 1, DISPATCH_METHOD, &iban_type));       // NewPayment
  owned.push_back(ObjectOf(owned[0].get(), 3, DISPATCH_PROPERTYGET, nullptr));     // Setting
  owned.push_back(ObjectOf(owned[1].get(), 4, DISPATCH_PROPERTYGET, nullptr));     // BankSrc
  std::vector<IDispatch*> objects;
  for (const auto& object : owned) objects.push_back(object.get());
  ordexa::fuzz::VariantMaker maker(provider, &objects);

  const int calls = provider.ConsumeIntegralInRange(1, 8);
  for (int call = 0; call < calls && provider.remaining_bytes() > 0; ++call) {
    const int target = provider.ConsumeIntegralInRange(0, 3);
    const DISPID member = provider.ConsumeBool() ? provider.ConsumeIntegralInRange(-8, 14) : provider.ConsumeIntegral<DISPID>();
    static constexpr WORD kFlags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                      DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, 0};
    const WORD flags = provider.ConsumeBool() ? kFlags[provider.ConsumeIntegralInRange<std::size_t>(0, std::size(kFlags) - 1)]
                                              : provider.ConsumeIntegral<WORD>();
    const bool null_interface_id = provider.ConsumeIntegralInRange(0, 7) != 0;
    const UINT arguments = provider.ConsumeIntegralInRange<UINT>(0, 6);
    UINT named = 0;
    std::vector<DISPID> named_ids;
    if (arguments > 0 && provider.ConsumeBool()) {
      named = provider.ConsumeIntegralInRange<UINT>(1, arguments);
      for (UINT i = 0; i < named; ++i) {
        named_ids.push_back(provider.ConsumeBool() ? DISPID_PROPERTYPUT : provider.ConsumeIntegralInRange(-8, 14));
      }
    }
    std::vector<VARIANT> values(arguments);
    for (VARIANT& value : values) maker.Make(value);
    if (target == 0 && member == 2 && arguments > 0) {
      // WriteFile writes into the work folder under one name, whatever else the call holds.
      values[arguments - 1].vt = VT_BSTR;
      values[arguments - 1].bstrVal = SysAllocString(u"out.file");
    }
    const std::vector<VARIANT> values_before = values;
    DISPPARAMS params{values.empty() ? nullptr : values.data(), named_ids.empty() ? nullptr : named_ids.data(),
                      arguments, named};
    const bool no_params = provider.ConsumeIntegralInRange(0, 15) == 0;
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT arg_error = 0xFFFFFFFF;
    const bool want_result = provider.ConsumeIntegralInRange(0, 7) != 0;
    const bool want_exception = provider.ConsumeBool();
    const bool want_arg_error = provider.ConsumeIntegralInRange(0, 7) != 0;

    const HRESULT hr = objects[target]->Invoke(member, null_interface_id ? IID_NULL : IID_IPayment, 0x0409, flags,
                                               no_params ? nullptr : &params, want_result ? &result : nullptr,
                                               want_exception ? &exception : nullptr,
                                               want_arg_error ? &arg_error : nullptr);
    const std::string description = Describe(target, member, flags, arguments, named, hr);
    FUZZ_CHECK(IsListedStatus(hr, target == 0, null_interface_id), description);
    FUZZ_CHECK(values.empty() || std::memcmp(values.data(), values_before.data(), values.size() * sizeof(VARIANT)) == 0,
               description + ": the caller's arguments were changed");
    if (hr == DISP_E_TYPEMISMATCH && want_arg_error) FUZZ_CHECK(arg_error < arguments, description);
    if (hr != DISP_E_TYPEMISMATCH && hr != DISP_E_PARAMNOTFOUND) FUZZ_CHECK(arg_error == 0xFFFFFFFF, description);
    FUZZ_CHECK(IsResultType(result.vt), description);
    if (hr != S_OK) FUZZ_CHECK(result.vt == VT_EMPTY, description + ": a failed call gave a result");
    if (result.vt == VT_DISPATCH) {
      FUZZ_CHECK(result.pdispVal != nullptr, description);
      owned.emplace_back(result.pdispVal);
      objects.push_back(result.pdispVal);
    } else {
      VariantClear(&result);
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (target == 0 && member == 2 && arguments > 0) SysFreeString(values[arguments - 1].bstrVal);
  }
  return 0;
}
