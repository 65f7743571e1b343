// The value conversions behind VariantChangeType. Internal to the platform layer: the rest
// of the component calls VariantChangeType.
#pragma once

#include "oleauto.h"

namespace ordexa::variant_detail {

// CoerceValue()
// Converts a dereferenced value `in` (VT_INT and VT_UINT already read as VT_I4 and VT_UI4)
// to the value type `vt` (an integer width, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BOOL, VT_BSTR
// or VT_DECIMAL; `vt` differs from in.vt) into the union of `out`, leaving out.vt alone.
// DISP_E_TYPEMISMATCH where the platform has no conversion, DISP_E_OVERFLOW where the value
// does not fit, E_INVALIDARG for a malformed DECIMAL or a date beyond the year 9999 as text.
// Floats become integers and currency with banker's rounding.
// Example: VT_R8 2.5 to VT_I4 writes 2 into out.lVal.
HRESULT CoerceValue(VARIANT& out, USHORT flags, const VARIANT& in, VARTYPE vt);

}  // namespace ordexa::variant_detail
