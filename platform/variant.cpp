// VARIANT handling (init, clear, copy, dereference) and VariantChangeType's pipeline: type
// checks, dereferencing, objects read through their value property, and the result handed
// over only on success.
#include <cstring>

#include "oleauto.h"
#include "platform/variant_coerce.h"

namespace {

constexpr VARTYPE kTypeBits = VT_TYPEMASK;
// A VT_DISPATCH source is read through its value property; a value that is again an
// object is followed this many times at most, so an object answering itself cannot loop.
constexpr int kMaxValueDepth = 8;

// The platform knows the base types below VT_VOID except the unused 15, and VT_RECORD and
// VT_CLSID; VT_BYREF of EMPTY or NULL is invalid. This stand-in has no SAFEARRAY or
// IRecordInfo, so arrays and records are refused as unknown types too.
bool IsValidType(VARTYPE vt) {
  if ((vt & (VT_VECTOR | VT_RESERVED | VT_ARRAY)) != 0) return false;
  const VARTYPE base = vt & kTypeBits;
  if ((vt & VT_BYREF) != 0 && base <= VT_NULL) return false;
  return (base < VT_VOID && base != 15) || base == VT_CLSID;
}

// Size of the value a by-reference VARIANT points to, for the plain value types.
std::size_t ValueSize(VARTYPE base) {
  switch (base) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      return 8;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------------------
// The coercion of one dereferenced value.

HRESULT Coerce(VARIANT& out, LCID lcid, USHORT flags, const VARIANT& in, VARTYPE vt, int depth);

// VarXxxFromDisp: the object's value property (DISPID_VALUE), converted without flags.
// A null object is DISP_E_BADVARTYPE, a failing property DISP_E_TYPEMISMATCH.
HRESULT CoerceObjectValue(VARIANT& out, LCID lcid, const VARIANT& in, VARTYPE vt, int depth) {
  if (in.pdispVal == nullptr) return DISP_E_BADVARTYPE;
  if (depth >= kMaxValueDepth) return DISP_E_TYPEMISMATCH;
  DISPPARAMS no_arguments{nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  if (FAILED(in.pdispVal->Invoke(DISPID_VALUE, IID_NULL, lcid, DISPATCH_PROPERTYGET, &no_arguments, &value, nullptr,
                                 nullptr))) {
    VariantClear(&value);
    return DISP_E_TYPEMISMATCH;
  }
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = DISP_E_BADVARTYPE;
  if (IsValidType(value.vt)) {
    VARIANT direct;
    VariantInit(&direct);
    hr = VariantCopyInd(&direct, &value);
    if (SUCCEEDED(hr)) {
      VARTYPE from = direct.vt;
      if (from == VT_INT) direct.vt = VT_I4;
      if (from == VT_UINT) direct.vt = VT_UI4;
      hr = Coerce(converted, lcid, 0, direct, vt, depth + 1);
      direct.vt = from;
    }
    VariantClear(&direct);
  }
  VariantClear(&value);
  if (SUCCEEDED(hr)) out = converted;
  return hr;
}

// `in` is dereferenced, with INT and UINT read as I4 and UI4; `vt` likewise.
HRESULT Coerce(VARIANT& out, LCID lcid, USHORT flags, const VARIANT& in, VARTYPE vt, int depth) {
  if (vt == in.vt) return VariantCopy(&out, &in);
  if (in.vt == VT_DISPATCH && vt != VT_UNKNOWN) {
    // NOVALUEPROP forbids reading the object's value property.
    if ((flags & VARIANT_NOVALUEPROP) != 0) return DISP_E_TYPEMISMATCH;
    if (vt != VT_EMPTY && vt != VT_NULL) return CoerceObjectValue(out, lcid, in, vt, depth);
  }
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
      // Anything up to VT_UINT but VT_ERROR (and VT_NULL for VT_EMPTY) is dropped.
      if (in.vt > VT_UINT || in.vt == VT_ERROR || in.vt == 15 || (vt == VT_EMPTY && in.vt == VT_NULL)) {
        return DISP_E_TYPEMISMATCH;
      }
      return S_OK;
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      // Between the two interface types by QueryInterface; a null pointer stays null.
      if (in.vt != (vt == VT_UNKNOWN ? VT_DISPATCH : VT_UNKNOWN)) return DISP_E_TYPEMISMATCH;
      if (in.punkVal == nullptr) {
        out.punkVal = nullptr;
        return S_OK;
      }
      void* object = nullptr;
      const HRESULT hr = in.punkVal->QueryInterface(vt == VT_UNKNOWN ? IID_IUnknown : IID_IDispatch, &object);
      if (SUCCEEDED(hr)) out.byref = object;
      return hr;
    }
    default:
      return ordexa::variant_detail::CoerceValue(out, flags, in, vt);
  }
}

}  // namespace

// VariantInit()
// Windows 8.1 and later zero the whole VARIANT, which leaves it VT_EMPTY; nothing it held
// is released. Example: VARIANT v; VariantInit(&v); // v.vt == VT_EMPTY
void VariantInit(VARIANTARG* variant) {
  if (variant != nullptr) std::memset(static_cast<void*>(variant), 0, sizeof(VARIANT));
}

// VariantClear()
// Frees a VT_BSTR, releases a VT_DISPATCH or VT_UNKNOWN (null pointers are skipped), then
// sets vt to VT_EMPTY; the rest of the union is left as it was. By-reference values are
// not owned and stay untouched. DISP_E_BADVARTYPE (nothing changed) for a type the
// platform does not know; this stand-in also refuses arrays and records, which it cannot
// free. E_INVALIDARG for a null pointer. Example: a VT_BSTR variant becomes VT_EMPTY and
// its string is freed.
HRESULT VariantClear(VARIANTARG* variant) {
  if (variant == nullptr) return E_INVALIDARG;
  if (!IsValidType(variant->vt)) return DISP_E_BADVARTYPE;
  switch (variant->vt) {
    case VT_BSTR:
      SysFreeString(variant->bstrVal);
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (variant->punkVal != nullptr) variant->punkVal->Release();
      break;
    default:
      break;
  }
  variant->vt = VT_EMPTY;
  return S_OK;
}

// VariantCopy()
// Clears `destination` (failing as VariantClear does), then copies `source`: a BSTR into a
// new BSTR of the same length (embedded NULs kept; a null BSTR stays null), an interface
// pointer with AddRef, a by-reference value as the pointer only. Copying a VARIANT onto
// itself does nothing. DISP_E_BADVARTYPE for an unknown source type or VT_CLSID;
// E_OUTOFMEMORY when the string cannot be allocated (destination then VT_BSTR, null).
// Example: copying VT_BSTR "abc" gives a second, independent "abc".
HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source) {
  if (destination == nullptr || source == nullptr) return E_INVALIDARG;
  if ((source->vt & kTypeBits) == VT_CLSID || !IsValidType(source->vt)) return DISP_E_BADVARTYPE;
  if (source == destination) return S_OK;
  if (const HRESULT hr = VariantClear(destination); FAILED(hr)) return hr;
  std::memcpy(static_cast<void*>(destination), static_cast<const void*>(source), sizeof(VARIANT));
  switch (source->vt) {
    case VT_BSTR:
      if (source->bstrVal != nullptr) {
        destination->bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (destination->bstrVal == nullptr) return E_OUTOFMEMORY;
      }
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (source->punkVal != nullptr) source->punkVal->AddRef();
      break;
    default:
      break;
  }
  return S_OK;
}

// VariantCopyInd()
// As VariantCopy for a by-value source. A by-reference source is copied as the value it
// points to: a BSTR into a new BSTR, an interface with AddRef, a DECIMAL whole, a
// VT_VARIANT|VT_BYREF as the VARIANT it points to (itself dereferenced once more, but a
// second VT_VARIANT|VT_BYREF in a row gives E_INVALIDARG). Source and destination may be
// the same VARIANT (dereferenced in place). E_INVALIDARG for by-reference types the
// platform does not know, and here also for a null reference (where the platform would
// read through it). Example: VT_I4|VT_BYREF to a 7 gives VT_I4 7.
HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source) {
  if (destination == nullptr || source == nullptr) return E_INVALIDARG;
  if ((source->vt & VT_BYREF) == 0) return VariantCopy(destination, source);
  const VARTYPE base = source->vt & kTypeBits;
  if (!IsValidType(source->vt) || base == VT_CLSID || base <= VT_NULL || source->byref == nullptr) return E_INVALIDARG;
  if (base == VT_VARIANT && source->pvarVal->vt == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;

  // Read the reference before the destination (perhaps the source itself) is cleared.
  const VARIANT reference = *source;
  if (source != destination) {
    if (const HRESULT hr = VariantClear(destination); FAILED(hr)) return hr;
  } else {
    destination->vt = VT_EMPTY;
  }
  switch (base) {
    case VT_VARIANT:
      return VariantCopyInd(destination, reference.pvarVal);
    case VT_BSTR: {
      const BSTR text = *reference.pbstrVal;
      destination->bstrVal = text == nullptr ? nullptr : SysAllocStringLen(text, SysStringLen(text));
      destination->vt = VT_BSTR;
      return text != nullptr && destination->bstrVal == nullptr ? E_OUTOFMEMORY : S_OK;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN:
      destination->punkVal = *reference.ppunkVal;
      if (destination->punkVal != nullptr) destination->punkVal->AddRef();
      break;
    case VT_DECIMAL:
      // Everything but the reserved word, which is the VARIANT's own type.
      std::memcpy(reinterpret_cast<char*>(&destination->decVal) + sizeof(USHORT),
                  reinterpret_cast<const char*>(reference.pdecVal) + sizeof(USHORT), sizeof(DECIMAL) - sizeof(USHORT));
      break;
    default:
      std::memcpy(&destination->llVal, reference.byref, ValueSize(base));
      break;
  }
  destination->vt = base;
  return S_OK;
}

// VariantChangeType()
// VariantChangeTypeEx with LOCALE_USER_DEFAULT, which this platform fixes to en-US.
// Example: VT_BSTR "1,234.5" to VT_CY gives 12345000 ten-thousandths.
HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, USHORT flags, VARTYPE type) {
  return VariantChangeTypeEx(destination, source, LOCALE_USER_DEFAULT, flags, type);
}

// VariantChangeTypeEx()
// Converts `source` to `type` into `destination`, in the platform's order:
//  1. target VT_CLSID, an unknown source or target type (VT_BYREF|VT_EMPTY, arrays ...):
//     DISP_E_BADVARTYPE;
//  2. a by-reference source with a null pointer: DISP_E_TYPEMISMATCH;
//  3. the source is dereferenced one level (VariantCopyInd, E_INVALIDARG for
//     VT_VARIANT|VT_BYREF pointing at another one);
//  4. VT_INT and VT_UINT count as VT_I4 and VT_UI4; the same type is a plain copy;
//  5. the pairwise conversion: DISP_E_TYPEMISMATCH where there is none (VT_NULL to
//     anything but VT_NULL, VT_ERROR, text that is no number), DISP_E_OVERFLOW where the
//     value does not fit; floats become integers and currency with banker's rounding;
//  6. on success `destination` is cleared and receives the result tagged `type`;
//     `destination` may be `source`. On failure it is left as it was.
// Every LCID and the flags other than ALPHABOOL, LOCALBOOL and NOVALUEPROP are read as
// en-US without overrides. Example: VT_R8 2.5 to VT_I4 gives 2, 3.5 gives 4.
HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID lcid, USHORT flags,
                            VARTYPE type) {
  if (destination == nullptr || source == nullptr) return E_INVALIDARG;
  if (type == VT_CLSID || !IsValidType(source->vt) || !IsValidType(type)) return DISP_E_BADVARTYPE;
  if ((source->vt & VT_BYREF) != 0 && source->byref == nullptr) return DISP_E_TYPEMISMATCH;

  VARIANT value;
  VariantInit(&value);
  if (const HRESULT hr = VariantCopyInd(&value, source); FAILED(hr)) return hr;
  const VARTYPE value_type = value.vt;
  if (value.vt == VT_INT) value.vt = VT_I4;
  if (value.vt == VT_UINT) value.vt = VT_UI4;
  VARTYPE target = type;
  if (target == VT_INT) target = VT_I4;
  if (target == VT_UINT) target = VT_UI4;

  VARIANT result;
  VariantInit(&result);
  HRESULT hr = Coerce(result, lcid, flags, value, target, 0);
  value.vt = value_type;
  VariantClear(&value);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  // The result is moved, not copied: it owns its BSTR or interface reference.
  result.vt = type;
  if (hr = VariantClear(destination); FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  *destination = result;
  return S_OK;
}
