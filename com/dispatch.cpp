// The late-binding engine: name tables derived from the member table and the Invoke rules
// in their fixed order.
#include "com/dispatch.h"

#include <array>
#include <string_view>

#include "oleauto.h"

namespace ordexa {
namespace {

bool IsProperty(const MemberDescription& member) { return member.kind != MemberKind::kMethod; }

// An interface whose members are all property accessors takes at most one argument,
// selects get or put by the call flags and also knows the name "pVal".
bool IsPropertyInterface(const InterfaceDescription& description) {
  for (const MemberDescription& member : description.members) {
    if (!IsProperty(member)) return false;
  }
  return true;
}

UINT MaxArguments(const InterfaceDescription& description) {
  std::size_t most = 0;
  for (const MemberDescription& member : description.members) {
    if (member.params.size() > most) most = member.params.size();
  }
  return static_cast<UINT>(most);
}

OLECHAR FoldCase(OLECHAR c) { return c >= u'a' && c <= u'z' ? static_cast<OLECHAR>(c - u'a' + u'A') : c; }

// Compares a caller's name (up to its NUL) with `prefix` + `name`, without regard to case.
bool NameEquals(const OLECHAR* text, std::string_view prefix, std::string_view name) {
  for (std::string_view part : {prefix, name}) {
    for (char c : part) {
      if (*text == u'\0' || FoldCase(*text) != FoldCase(static_cast<OLECHAR>(static_cast<unsigned char>(c)))) {
        return false;
      }
      ++text;
    }
  }
  return *text == u'\0';
}

bool LookUpName(const InterfaceDescription& description, const OLECHAR* name, DISPID& dispid) {
  if (name == nullptr) return false;
  for (const MemberDescription& member : description.members) {
    const std::string_view accessor = member.kind == MemberKind::kPropertyGet   ? "get_"
                                      : member.kind == MemberKind::kPropertyPut ? "put_"
                                                                                : "";
    if (NameEquals(name, "", member.name) || (!accessor.empty() && NameEquals(name, accessor, member.name))) {
      dispid = member.dispid;
      return true;
    }
  }
  if (IsPropertyInterface(description) && NameEquals(name, "", "pVal")) {
    dispid = DISPID_VALUE;
    return true;
  }
  return false;
}

// The slots of one DISPID: the method or property get, and the property put.
struct MemberSlots {
  std::size_t read = kNone;
  std::size_t write = kNone;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
};

MemberSlots FindMember(const InterfaceDescription& description, DISPID dispid) {
  MemberSlots slots;
  for (std::size_t i = 0; i < description.members.size(); ++i) {
    const MemberDescription& member = description.members[i];
    if (member.dispid != dispid) continue;
    if (member.kind == MemberKind::kPropertyPut) {
      slots.write = i;
    } else {
      slots.read = i;
    }
  }
  return slots;
}

// Converted arguments, released when the call is over.
class ConvertedArguments {
 public:
  static constexpr std::size_t kMostArguments = 4;

  ConvertedArguments() {
    for (VARIANT& value : values_) VariantInit(&value);
  }
  ~ConvertedArguments() {
    for (std::size_t i = 0; i < values_.size(); ++i) {
      if (owned_[i]) VariantClear(&values_[i]);
    }
  }
  ConvertedArguments(const ConvertedArguments&) = delete;
  ConvertedArguments& operator=(const ConvertedArguments&) = delete;

  // Set(): the argument as passed when it has the declared type (borrowed), else a
  // converted copy; false when it cannot be converted.
  bool Set(std::size_t index, const VARIANT& argument, VARTYPE type) {
    if (argument.vt == type) {
      values_[index] = argument;
      return true;
    }
    // Some SDKs declare the source without const; it is only read.
    if (FAILED(VariantChangeType(&values_[index], const_cast<VARIANT*>(&argument), 0, type))) return false;
    owned_[index] = true;
    return true;
  }
  VARIANT* data() { return values_.data(); }

 private:
  std::array<VARIANT, kMostArguments> values_;
  std::array<bool, kMostArguments> owned_{};
};

// The failure of a member as the caller's exception information: its status, no deferred
// fill-in, and what the thread's error information object says, if there is one.
void FillExceptionInfo(HRESULT failure, EXCEPINFO* exception) {
  *exception = EXCEPINFO{};
  exception->scode = failure;
  IErrorInfo* error_info = nullptr;
  if (GetErrorInfo(0, &error_info) == S_OK && error_info != nullptr) {
    error_info->GetSource(&exception->bstrSource);
    error_info->GetDescription(&exception->bstrDescription);
    error_info->GetHelpFile(&exception->bstrHelpFile);
    error_info->GetHelpContext(&exception->dwHelpContext);
    error_info->Release();
  }
}

// The thread's error information as it stood before a member ran, put back at once (taking
// it is the only way to look at it). The object is held until the call is over, so error
// information the member sets is a different object.
class ErrorInfoBefore {
 public:
  ErrorInfoBefore() {
    if (GetErrorInfo(0, &before_) == S_OK && before_ != nullptr) {
      SetErrorInfo(0, before_);
    } else {
      before_ = nullptr;
    }
  }
  ~ErrorInfoBefore() {
    if (before_ != nullptr) before_->Release();
  }
  ErrorInfoBefore(const ErrorInfoBefore&) = delete;
  ErrorInfoBefore& operator=(const ErrorInfoBefore&) = delete;

  // SetSince(): whether the thread now holds error information other than before the
  // call; the information stays with the thread.
  bool SetSince() const {
    IErrorInfo* now = nullptr;
    if (GetErrorInfo(0, &now) != S_OK || now == nullptr) return false;
    SetErrorInfo(0, now);
    now->Release();
    return now != before_;
  }

 private:
  IErrorInfo* before_ = nullptr;
};

}  // namespace

VARTYPE VarTypeOf(TypeRef type) {
  switch (type.type) {
    case ValueType::kText:
      return VT_BSTR;
    case ValueType::kBool:
      return VT_BOOL;
    case ValueType::kCurrency:
      return VT_CY;
    case ValueType::kDate:
      return VT_DATE;
    case ValueType::kDispatch:
      return VT_DISPATCH;
    case ValueType::kEnum:
      return VT_I4;
    case ValueType::kVoid:
      break;
  }
  return VT_EMPTY;
}

HRESULT LookUpNames(const DispatchInterface& dispatch, const OLECHAR* const* names, UINT count, DISPID* dispids) {
  if (count == 0) return S_OK;
  if (names == nullptr || dispids == nullptr) return E_POINTER;
  for (UINT i = 0; i < count; ++i) {
    if (!LookUpName(*dispatch.description, names[i], dispids[i])) {
      dispids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
  }
  return S_OK;
}

HRESULT InvokeMember(const DispatchInterface& dispatch, IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params,
                     VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  const InterfaceDescription& description = *dispatch.description;
  const bool properties = IsPropertyInterface(description);
  if (params == nullptr || (params->cArgs != 0 && params->rgvarg == nullptr)) return DISP_E_BADVARTYPE;
  const UINT arguments = params->cArgs;
  if (arguments > MaxArguments(description)) return DISP_E_BADPARAMCOUNT;
  if (!properties && params->cNamedArgs != 0) {
    // The property-put marker alone is harmless: the arguments are read by position.
    const bool put_marker_only = params->cNamedArgs == 1 && params->rgdispidNamedArgs != nullptr &&
                                 params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    if (!put_marker_only) return DISP_E_NONAMEDARGS;
  }
  const MemberSlots slots = FindMember(description, member);
  if (slots.read == MemberSlots::kNone && slots.write == MemberSlots::kNone) return DISP_E_MEMBERNOTFOUND;

  std::size_t slot = slots.read;
  if (!properties) {
    if (arguments != description.members[slot].params.size()) return DISP_E_BADPARAMCOUNT;
  } else if (slots.write == MemberSlots::kNone) {
    // A get-only property is read whatever the flags say, and never takes an argument.
    if (arguments != 0) return DISP_E_BADPARAMCOUNT;
  } else if ((flags & DISPATCH_PROPERTYGET) != 0) {
    if (arguments != 0) return DISP_E_BADPARAMCOUNT;
  } else if ((flags & DISPATCH_PROPERTYPUT) != 0) {
    slot = slots.write;
    if (arguments != 1) return DISP_E_BADPARAMCOUNT;
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }

  if (slot == MemberSlots::kNone) return DISP_E_MEMBERNOTFOUND;
  const MemberDescription& called = description.members[slot];
  if (arguments > ConvertedArguments::kMostArguments) return DISP_E_BADPARAMCOUNT;
  ConvertedArguments converted;
  for (UINT position = 0; position < arguments; ++position) {
    // The arguments arrive last to first.
    const UINT index = arguments - 1 - position;
    if (!converted.Set(position, params->rgvarg[index], VarTypeOf(called.params[position].type))) {
      if (arg_error != nullptr) *arg_error = index;
      return DISP_E_TYPEMISMATCH;
    }
  }

  VARIANT value;
  VariantInit(&value);
  const ErrorInfoBefore error_info;
  const HRESULT hr = dispatch.slots[slot](self, converted.data(), &value);
  if (FAILED(hr)) {
    if (exception == nullptr) return hr;
    // A member that explains its failure (error information of its own) raises an
    // exception, which a script sees as a runtime error with the member's status and text.
    const bool explained = error_info.SetSince();
    FillExceptionInfo(hr, exception);
    return explained ? DISP_E_EXCEPTION : hr;
  }
  if (value.vt != VT_EMPTY) {
    if (result != nullptr) {
      *result = value;
    } else {
      VariantClear(&value);
    }
  }
  return hr;
}

}  // namespace ordexa
