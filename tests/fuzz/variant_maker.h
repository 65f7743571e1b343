// Random VARIANTs for the harnesses that pass values through the automation types: every
// value type with any payload, by-reference forms (a null pointer among them), nested
// VARIANTs, objects, and type numbers the platform does not know. Every pointer in a
// made VARIANT is valid or null, as a caller's would be.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "oleauto.h"

namespace ordexa::fuzz {

class VariantMaker {
 public:
  // The objects in `objects` (which may grow while the maker is used) are handed out as
  // VT_DISPATCH / VT_UNKNOWN values, borrowed: a callee never clears a caller's argument.
  explicit VariantMaker(FuzzedDataProvider& provider, const std::vector<IDispatch*>* objects = nullptr)
      : provider_(provider), objects_(objects) {}
  ~VariantMaker() {
    for (BSTR text : texts_) SysFreeString(text);
  }
  VariantMaker(const VariantMaker&) = delete;
  VariantMaker& operator=(const VariantMaker&) = delete;

  // A value type the platform knows, or now and then any number.
  VARTYPE MakeType() {
    static constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_NULL, VT_I2,  VT_I4,   VT_R4,  VT_R8,  VT_CY,     VT_DATE,
                                         VT_BSTR,  VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN, VT_DECIMAL,
                                         VT_I1,    VT_UI1,  VT_UI2, VT_UI4,  VT_I8,  VT_UI8, VT_INT,    VT_UINT};
    if (provider_.ConsumeIntegralInRange(0, 15) == 0) return provider_.ConsumeIntegral<VARTYPE>();
    return kTypes[provider_.ConsumeIntegralInRange<std::size_t>(0, std::size(kTypes) - 1)];
  }

  // Fills `value` (its old content is not looked at). The VARIANT owns nothing: texts
  // belong to the maker, by-reference targets live in the maker.
  void Make(VARIANT& value, int depth = 0) {
    std::memset(&value, 0, sizeof value);
    const bool by_reference = depth < 2 && provider_.ConsumeIntegralInRange(0, 5) == 0;
    VARTYPE type = MakeType();
    if (by_reference && (type & ~VT_TYPEMASK) == 0) {
      VARIANT& target = targets_.emplace_back();
      // Only a VARIANT may be referred to by reference again; a value referred to is a plain value.
      Make(target, type == VT_VARIANT ? depth + 1 : 2);
      if (type == VT_VARIANT) {
        value.vt = VT_BYREF | VT_VARIANT;
        value.pvarVal = provider_.ConsumeIntegralInRange(0, 7) == 0 ? nullptr : &target;
      } else {
        value.vt = static_cast<VARTYPE>(VT_BYREF | target.vt);
        // The payload of the target, or a null pointer now and then.
        value.byref = provider_.ConsumeIntegralInRange(0, 7) == 0 ? nullptr
                      : target.vt == VT_DECIMAL ? static_cast<void*>(&target.decVal)
                                                : static_cast<void*>(&target.llVal);
      }
      return;
    }
    value.vt = type;
    switch (type) {
      case VT_BSTR: value.bstrVal = MakeText(); break;
      case VT_DISPATCH:
      case VT_UNKNOWN: value.pdispVal = MakeObject(); break;
      case VT_DECIMAL: {
        const std::uint64_t low = provider_.ConsumeIntegral<std::uint64_t>();
        value.decVal.Hi32 = provider_.ConsumeIntegral<ULONG>();
        value.decVal.Lo64 = low;
        value.decVal.scale = provider_.ConsumeIntegral<BYTE>();
        value.decVal.sign = provider_.ConsumeIntegral<BYTE>();
        value.vt = VT_DECIMAL;
        break;
      }
      case VT_VARIANT:
        // A bare VT_VARIANT is only meaningful by reference; as a value it is invalid.
        break;
      default: {
        // Any payload for the plain value types (NaN and infinities among the doubles).
        const std::uint64_t bits = provider_.ConsumeIntegral<std::uint64_t>();
        std::memcpy(&value.llVal, &bits, sizeof bits);
        if ((type & VT_TYPEMASK) > VT_UINT || (type & ~VT_TYPEMASK) != 0) value.llVal = 0;  // no stray pointers
      }
    }
  }

  BSTR MakeText() {
    static const char16_t* const kTexts[] = {u"0", u"-1", u"12.5", u"1e308", u"True", u"False", u"12/31/9999",
                                             u"CH9300762011623852957", u"payIban", u"2147483648", u"$1,234.50",
                                             u"1/1/100 0:00:00", u" ", u"NaN"};
    switch (provider_.ConsumeIntegralInRange(0, 3)) {
      case 0: return nullptr;
      case 1: return Keep(SysAllocString(kTexts[provider_.ConsumeIntegralInRange<std::size_t>(0, std::size(kTexts) - 1)]));
      default: {
        std::u16string text;
        const std::size_t length = provider_.ConsumeIntegralInRange<std::size_t>(0, 40);
        for (std::size_t i = 0; i < length && provider_.remaining_bytes() > 0; ++i) {
          text += provider_.ConsumeBool() ? static_cast<char16_t>(provider_.ConsumeIntegralInRange<int>(0x20, 0x7E))
                                          : provider_.ConsumeIntegral<char16_t>();
        }
        return Keep(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
      }
    }
  }

 private:
  BSTR Keep(BSTR text) {
    texts_.push_back(text);
    return text;
  }
  IDispatch* MakeObject() {
    if (objects_ == nullptr || objects_->empty() || provider_.ConsumeIntegralInRange(0, 3) == 0) return nullptr;
    return (*objects_)[provider_.ConsumeIntegralInRange<std::size_t>(0, objects_->size() - 1)];
  }

  FuzzedDataProvider& provider_;
  const std::vector<IDispatch*>* objects_;
  std::deque<VARIANT> targets_;
  std::vector<BSTR> texts_;
};

}  // namespace ordexa::fuzz
