// VariantChangeType on any source VARIANT to any target type with any flags: it answers
// only the statuses listed for it, gives the target type on success, leaves the source
// alone and the destination untouched on failure, converts in place as it does into a
// second VARIANT, and whole numbers and currency amounts come back from their text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "oleauto.h"
#include "variant_maker.h"

namespace {

bool SameBytes(const VARIANT& a, const VARIANT& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The two VARIANTs of the same type hold the same value.
bool SameValue(const VARIANT& a, const VARIANT& b) {
  switch (a.vt) {
    case VT_I1: case VT_UI1: return a.bVal == b.bVal;
    case VT_I2: case VT_UI2: case VT_BOOL: return a.iVal == b.iVal;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_ERROR: case VT_R4: return a.lVal == b.lVal;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return a.llVal == b.llVal;
    case VT_BSTR:
      return SysStringLen(a.bstrVal) == SysStringLen(b.bstrVal) &&
             (SysStringLen(a.bstrVal) == 0 ||
              std::memcmp(a.bstrVal, b.bstrVal, SysStringLen(a.bstrVal) * sizeof(OLECHAR)) == 0);
    case VT_DECIMAL:
      return a.decVal.signscale == b.decVal.signscale && a.decVal.Hi32 == b.decVal.Hi32 && a.decVal.Lo64 == b.decVal.Lo64;
    case VT_DISPATCH: case VT_UNKNOWN: return a.punkVal == b.punkVal;
    default: return true;
  }
}

bool IsListedStatus(HRESULT hr) {
  return hr == S_OK || hr == DISP_E_TYPEMISMATCH || hr == DISP_E_BADVARTYPE || hr == DISP_E_OVERFLOW ||
         hr == E_INVALIDARG || hr == E_OUTOFMEMORY;
}

std::string Describe(const VARIANT& source, VARTYPE target, HRESULT hr) {
  char text[96];
  std::snprintf(text, sizeof text, "vt 0x%04X to 0x%04X gave 0x%08X", source.vt, target, static_cast<unsigned>(hr));
  return text;
}

// Converts `value` to `type`, then to text and back; the value must survive.
void ExpectSameThroughText(const VARIANT& value, VARTYPE type) {
  VARIANT text;
  VariantInit(&text);
  if (VariantChangeType(&text, &value, 0, VT_BSTR) != S_OK) return;
  VARIANT back;
  VariantInit(&back);
  const HRESULT hr = VariantChangeType(&back, &text, 0, type);
  FUZZ_CHECK(hr == S_OK && back.vt == type, Describe(text, type, hr));
  FUZZ_CHECK(SameValue(back, value), Describe(value, type, hr) + " lost through text");
  VariantClear(&text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  ordexa::fuzz::VariantMaker maker(provider);
  VARIANT source;
  maker.Make(source);
  const VARTYPE target = maker.MakeType();
  const USHORT flags = provider.ConsumeIntegral<USHORT>();
  const VARIANT source_before = source;

  VARIANT destination;
  VariantInit(&destination);
  destination.vt = VT_I4;
  destination.lVal = 0x5A5A5A5A;
  const VARIANT destination_before = destination;
  const HRESULT hr = VariantChangeType(&destination, &source, flags, target);
  FUZZ_CHECK(IsListedStatus(hr), Describe(source, target, hr));
  FUZZ_CHECK(SameBytes(source, source_before), "the source was changed");
  if (hr != S_OK) {
    FUZZ_CHECK(SameBytes(destination, destination_before), "a failed conversion changed the destination");
    return 0;
  }
  FUZZ_CHECK(destination.vt == target, Describe(source, target, hr));

  // In place, on a copy of the source that owns what it holds.
  VARIANT in_place;
  VariantInit(&in_place);
  if (VariantCopy(&in_place, &source) == S_OK) {
    const HRESULT again = VariantChangeType(&in_place, &in_place, flags, target);
    FUZZ_CHECK(again == S_OK && in_place.vt == target, Describe(source, target, again));
    FUZZ_CHECK(SameValue(in_place, destination), Describe(source, target, again) + " in place differs");
    VariantClear(&in_place);
  }

  // Whole numbers and currency amounts are written exactly and read back.
  if (target == VT_I4 || target == VT_I8 || target == VT_CY || target == VT_UI1 || target == VT_I2) {
    ExpectSameThroughText(destination, target);
  }
  VariantClear(&destination);
  return 0;
}
