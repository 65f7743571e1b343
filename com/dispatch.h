// Late binding of the four automation classes: name lookup and the Invoke rules, one
// engine for all four, driven by the member table and each interface's slot thunks.
#pragma once

#include <span>

#include "platform/type_description.h"
#include "windows.h"

namespace ordexa {

// SlotThunk: calls one interface slot on `self` with arguments already converted to
// their declared types (first parameter first) and stores a returned value in `result`
// (left VT_EMPTY for a slot without value).
using SlotThunk = HRESULT (*)(IDispatch* self, VARIANT* args, VARIANT* result);

// DispatchInterface: an interface's members (slot order) with the thunk of each slot.
struct DispatchInterface {
  const InterfaceDescription* description;
  std::span<const SlotThunk> slots;  // parallel to description->members
};

// VarTypeOf(): the VARIANT type an argument or result of `type` travels as (enumerations
// as VT_I4).
VARTYPE VarTypeOf(TypeRef type);

// LookUpNames()
// GetIDsOfNames over the interface's fixed name table, without regard to case: each
// member under its name, each property accessor also as "get_"/"put_" plus the name, and
// "pVal" as 0 on interfaces of properties only. Every name is looked up, the member name
// and further names alike; the first unknown one gets DISPID_UNKNOWN and fails the call
// with DISP_E_UNKNOWNNAME. E_POINTER for null arrays. Example: "AMOUNT" on IPayment is 7.
HRESULT LookUpNames(const DispatchInterface& dispatch, const OLECHAR* const* names, UINT count, DISPID* dispids);

// InvokeMember()
// IDispatch::Invoke on `self`: checks the parameter block, the argument count, named
// arguments (interfaces with methods only: refused unless the one property-put marker),
// the DISPID and the get/put selection, converts each argument that is not of its
// declared type with VariantChangeType (DISP_E_TYPEMISMATCH, `arg_error` the argument's
// index counted from the last as 0), calls the slot and returns its result; a returned
// value goes to `result` with its type. A failing member fills `exception` (when given)
// with its status and the thread's error information, if any; when the member set that
// error information itself, the result is DISP_E_EXCEPTION (the status is then the
// exception's scode), else the member's status.
HRESULT InvokeMember(const DispatchInterface& dispatch, IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params,
                     VARIANT* result, EXCEPINFO* exception, UINT* arg_error);

}  // namespace ordexa
