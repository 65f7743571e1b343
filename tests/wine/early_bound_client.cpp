// Early-bound client of ordexa.dll, run under Wine: creates the manager with CoCreateInstance,
// calls through the dual interfaces' vtables (IPayAddress2 reached by QueryInterface), has
// WriteFile report the failures of the 2019 ISO file, and checks the registered type library (reached
// through IProvideClassInfo) against the member table the late binding is built from, and the
// module's string table and version against the texts a client expects.
// Usage: early_bound_client <path of ordexa.dll> <folder for files>. Prints one "FAIL" line per
// fault and "done" last; the exit status is the number of faults.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "com/member_table.h"
#include "ordexa.h"

namespace {

using ordexa::MemberKind;
using ordexa::ValueType;

int faults = 0;

void Fail(const std::string& what) {
  ++faults;
  std::printf("FAIL %s\n", what.c_str());
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

void CheckHr(HRESULT expected, HRESULT actual, const std::string& what) {
  if (expected == actual) return;
  char codes[64];
  std::snprintf(codes, sizeof codes, " (expected 0x%08lX, got 0x%08lX)", static_cast<unsigned long>(expected),
                static_cast<unsigned long>(actual));
  Fail(what + codes);
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
  return out;
}

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Owns one BSTR.
struct Bstr {
  BSTR text = nullptr;
  Bstr() = default;
  explicit Bstr(const wchar_t* value) : text(SysAllocString(value)) {}
  ~Bstr() { SysFreeString(text); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  std::wstring str() const { return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text)); }
};

// Owns one interface reference.
template <class T>
struct Ref {
  T* p = nullptr;
  Ref() = default;
  Ref(Ref&& other) noexcept : p(other.p) { other.p = nullptr; }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p != nullptr) p->Release();
  }
  T** put() { return &p; }
  T* operator->() const { return p; }
  explicit operator bool() const { return p != nullptr; }
  template <class U>
  HRESULT As(REFIID iid, Ref<U>& out) const {
    return p->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
  }
};

// Puts a text and reads it back as the component keeps it (through the thread's ANSI code page).
template <class T>
void CheckText(T* object, HRESULT (STDMETHODCALLTYPE T::*put)(BSTR), HRESULT (STDMETHODCALLTYPE T::*get)(BSTR*),
               const wchar_t* put_text, const wchar_t* expected, const std::string& name) {
  Bstr value(put_text), back;
  CheckHr(S_OK, (object->*put)(value.text), "put_" + name);
  CheckHr(S_OK, (object->*get)(&back.text), "get_" + name);
  Check(back.str() == expected, name + " reads back converted: " + Narrow(expected));
}

Ref<IPayManager> NewManager() {
  Ref<IPayManager> manager;
  CheckHr(S_OK, CoCreateInstance(CLSID_PayManager, nullptr, CLSCTX_INPROC_SERVER, IID_IPayManager,
                                 reinterpret_cast<void**>(manager.put())), "CoCreateInstance");
  return manager;
}

// The vtable calls of the four interfaces: each value put is read back as the component keeps it.
void CheckVtableCalls(IPayManager* manager) {
  Ref<IDispatch> payment_dispatch;
  CheckHr(S_OK, manager->NewPayment(payIban, payment_dispatch.put()), "NewPayment");
  Ref<IPayment> payment;
  if (payment_dispatch) payment_dispatch.As(IID_IPayment, payment);
  if (!payment) return Fail("IPayment from NewPayment's dispatch interface");
  Check(static_cast<void*>(payment.p) == static_cast<void*>(payment_dispatch.p),
        "the dual interface and IDispatch are one pointer");

  // Currency and dates travel by value through the vtable; a true flag of 1 reads back as VARIANT_TRUE.
  CY amount{.int64 = 123456789};
  CheckHr(S_OK, payment->put_Amount(amount), "put_Amount");
  CheckHr(S_OK, payment->put_Date(45000.75), "put_Date");
  CheckHr(S_OK, payment->put_CostCode(payCostSrc), "put_CostCode");
  CheckHr(S_OK, payment->put_IsSalary(1), "put_IsSalary(1)");
  DATE date = 0;
  PayCosts costs = payCostBoth;
  VARIANT_BOOL salary = VARIANT_FALSE;
  amount.int64 = 0;
  payment->get_Amount(&amount), payment->get_Date(&date), payment->get_CostCode(&costs), payment->get_IsSalary(&salary);
  Check(amount.int64 == 123456789 && date == 45000.75 && costs == payCostSrc && salary == VARIANT_TRUE,
        "Amount, Date, CostCode and IsSalary read back");
  // Best fit of the thread's code page: L with stroke becomes L, an emoji one '?'; a text ends at a NUL.
  for (const auto& [put, expected] : {std::pair{L"Lohn M\u00E4rz", L"Lohn M\u00E4rz"}, std::pair{L"\u0141ukasz", L"Lukasz"},
                                      std::pair{L"bar \U0001F600", L"bar ?"}, std::pair{L"vor\0nach", L"vor"}}) {
    CheckText(payment.p, &IPayment::put_Reason, &IPayment::get_Reason, put, expected, "Reason");
  }

  // The address object answers IPayAddress and, through QueryInterface, the newer IPayAddress2 as one pointer.
  Ref<IDispatch> receiver_dispatch;
  CheckHr(S_OK, payment->get_Receiver(receiver_dispatch.put()), "get_Receiver");
  Ref<IPayAddress> receiver;
  Ref<IPayAddress2> receiver2;
  if (receiver_dispatch) {
    receiver_dispatch.As(IID_IPayAddress, receiver);
    receiver_dispatch.As(IID_IPayAddress2, receiver2);
  }
  if (!receiver || !receiver2) return Fail("Receiver offers IPayAddress and IPayAddress2");
  Check(static_cast<void*>(receiver2.p) == static_cast<void*>(receiver.p), "IPayAddress2 and IPayAddress: one pointer");
  Bstr receiver_name(L"Hans M\u00FCller"), name;
  CheckHr(S_OK, receiver->put_Name1(receiver_name.text), "put_Name1");
  const struct {
    HRESULT (STDMETHODCALLTYPE IPayAddress2::*put)(BSTR);
    HRESULT (STDMETHODCALLTYPE IPayAddress2::*get)(BSTR*);
    const wchar_t* put_text;
    const wchar_t* expected;
    const char* name;
  } parts[] = {
      {&IPayAddress2::put_StreetName, &IPayAddress2::get_StreetName, L"Rue du Rh\u00F4ne", L"Rue du Rh\u00F4ne",
       "StreetName"},
      {&IPayAddress2::put_BuildingNumber, &IPayAddress2::get_BuildingNumber, L"12a", L"12a", "BuildingNumber"},
      {&IPayAddress2::put_PostCode, &IPayAddress2::get_PostCode, L"1204", L"1204", "PostCode"},
      {&IPayAddress2::put_Town, &IPayAddress2::get_Town, L"\u0141\u00F3d\u017A", L"L\u00F3" L"dz", "Town"},
      {&IPayAddress2::put_Country, &IPayAddress2::get_Country, L"CH", L"CH", "Country"},
  };
  for (const auto& part : parts) CheckText(receiver2.p, part.put, part.get, part.put_text, part.expected, part.name);
  // The old texts through the newer interface's inherited slots.
  CheckHr(S_OK, receiver2->get_Name1(&name.text), "get_Name1 through IPayAddress2");
  Check(name.str() == L"Hans M\u00FCller", "Name1 through IPayAddress2");

  for (const auto& [number, expected] :
       {std::pair{L"CH93 0076 2011 6238 5295 7", VARIANT_TRUE}, std::pair{L"ch93 0076 2011 6238 5295 7", VARIANT_TRUE},
        std::pair{L"CH93 0076 2011 6238 5295 8", VARIANT_FALSE}, std::pair{L"", VARIANT_FALSE}}) {
    Bstr text(number);
    VARIANT_BOOL valid = 7;
    CheckHr(S_OK, manager->CheckIbanNr(text.text, &valid), "CheckIbanNr");
    Check(valid == expected, "CheckIbanNr " + Narrow(number));
  }
  Bstr post(L"nonsense");
  VARIANT_BOOL post_valid = VARIANT_FALSE;
  CheckHr(S_OK, manager->CheckPostNr(post.text, &post_valid), "CheckPostNr");
  Check(post_valid == VARIANT_TRUE, "CheckPostNr is always true");

  const std::pair<IUnknown*, const IID*> error_sources[] = {{payment.p, &IID_IPayment},
                                                             {receiver2.p, &IID_IPayAddress2}};
  for (const auto& [object, iid] : error_sources) {
    Ref<ISupportErrorInfo> support;
    CheckHr(S_OK, object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.put())),
            "ISupportErrorInfo");
    if (!support) continue;
    CheckHr(S_OK, support->InterfaceSupportsErrorInfo(*iid), "error info for its own interface");
    CheckHr(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch), "no error info for IDispatch");
  }
}

// The thread's error information, taken: its description (empty when there is none), and
// whether its source and interface are the manager's.
std::wstring TakeErrorDescription(bool* from_manager) {
  *from_manager = false;
  Ref<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"";
  Bstr source, description;
  GUID guid{};
  info->GetSource(&source.text), info->GetDescription(&description.text), info->GetGUID(&guid);
  *from_manager = source.str() == L"Veltrano.PayManager" && guid == IID_IPayManager;
  return description.str();
}

// WriteFile of the 2019 ISO file reports its failures: the status, and the message as the
// thread's error information; the old file types absorb every failure (a missing folder
// gives S_OK and no file).
void CheckWriteFileFailures(const std::wstring& folder) {
  const struct {
    const char* name;
    bool with_payment;  // a payment without a receiver name; else no payment at all
    const wchar_t* file;
    PayFileTypes type;
    HRESULT status;
    const wchar_t* message_start;
  } cases[] = {
      {"empty batch", false, L"\\refused-empty.xml", payISO2019, static_cast<HRESULT>(0x800407D4),
       L"Die Datei pain.001.001.09 kann nicht geschrieben werden.\n"},
      {"receiver without name", true, L"\\refused-payment.xml", payISO2019, static_cast<HRESULT>(0x800407D3),
       L"Die Zahlung 1 kann nicht in die Datei pain.001.001.09 geschrieben werden.\n"},
      {"missing folder", true, L"\\missing\\pay.dta", payDTA, S_OK, L""},
  };
  for (const auto& c : cases) {
    const Ref<IPayManager> manager = NewManager();
    if (!manager) return;
    if (c.with_payment) {
      // The sender has a name, so it is the payment that is refused.
      Ref<IDispatch> setting_dispatch, sender_dispatch, payment;
      Ref<IPaySetting> setting;
      Ref<IPayAddress> sender;
      manager->get_Setting(setting_dispatch.put());
      if (setting_dispatch) setting_dispatch.As(IID_IPaySetting, setting);
      if (setting) setting->get_Sender(sender_dispatch.put());
      if (sender_dispatch) sender_dispatch.As(IID_IPayAddress, sender);
      Bstr sender_name(L"Muster AG");
      if (sender) CheckHr(S_OK, sender->put_Name1(sender_name.text), "put_Name1 of the sender");
      manager->NewPayment(payIban, payment.put());
    }
    const std::wstring name = folder + c.file;
    DeleteFileW(name.c_str());  // what the payISO write of an earlier run left
    Bstr file_name(name.c_str()), period(L"2026-12");
    SetErrorInfo(0, nullptr);
    CheckHr(c.status, manager->WriteFile(file_name.text, c.type, period.text, VARIANT_TRUE),
            std::string("WriteFile, ") + c.name);
    bool from_manager = false;
    const std::wstring message = TakeErrorDescription(&from_manager);
    Check(message.rfind(c.message_start, 0) == 0 && from_manager == (c.type == payISO2019),
          std::string("error information of ") + c.name + ": " + Narrow(message.c_str()));
    Check(GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES, std::string("no file for ") + c.name);
    if (c.type == payDTA) continue;
    // The old file types keep absorbing the same failure.
    CheckHr(S_OK, manager->WriteFile(file_name.text, payISO, period.text, VARIANT_TRUE),
            std::string("WriteFile payISO, ") + c.name);
    Check(TakeErrorDescription(&from_manager).empty(), std::string("no error information from payISO, ") + c.name);
  }
}

VARTYPE ExpectedVarType(ValueType type) {
  constexpr VARTYPE kTypes[] = {VT_VOID, VT_BSTR, VT_BOOL, VT_CY, VT_DATE, VT_DISPATCH, VT_USERDEFINED};
  static_assert(static_cast<int>(ValueType::kVoid) == 0 && static_cast<int>(ValueType::kEnum) == 6);
  return kTypes[static_cast<int>(type)];
}

std::wstring NameOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  Bstr name;
  info->GetDocumentation(member, &name.text, nullptr, nullptr, nullptr);
  return name.str();
}

// The name (unless empty) and documentation string of a type or member against the table's.
void CheckDocumentation(ITypeInfo* info, MEMBERID member, std::string_view name, std::string_view doc,
                        const std::string& where) {
  Bstr found_name, found_doc;
  info->GetDocumentation(member, &found_name.text, &found_doc.text, nullptr, nullptr);
  if (!name.empty()) Check(found_name.str() == Wide(name), where + ": name " + Narrow(found_name.text));
  Check(found_doc.str() == Wide(doc), where + ": documentation " + Narrow(found_doc.text));
}

// The type info that implemented type `index` (-1: the vtable part of a dual interface) refers to.
Ref<ITypeInfo> Implemented(ITypeInfo* info, int index) {
  Ref<ITypeInfo> found;
  HREFTYPE reference = 0;
  if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(index), &reference))) {
    info->GetRefTypeInfo(reference, found.put());
  }
  return found;
}

constexpr std::size_t kAnyCount = ~std::size_t{0};

// The kind of a type, its flags under `mask`, and its number of functions (or of values).
void CheckAttributes(ITypeInfo* info, TYPEKIND kind, WORD mask, WORD flags, std::size_t count, bool functions,
                     const std::string& where) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return Fail(where + ": no attributes");
  Check(attributes->typekind == kind, where + ": kind " + std::to_string(attributes->typekind));
  Check((attributes->wTypeFlags & mask) == flags, where + ": flags " + std::to_string(attributes->wTypeFlags));
  const std::size_t found = functions ? attributes->cFuncs : attributes->cVars;
  if (count != kAnyCount) Check(found == count, where + ": count " + std::to_string(found));
  info->ReleaseTypeAttr(attributes);
}

// One parameter's type in the type library against the table; an [out, retval] value is
// a pointer to it.
void CheckParamType(ITypeInfo* info, const TYPEDESC& described, ordexa::TypeRef expected, bool is_result,
                    const std::string& where) {
  const TYPEDESC* type = &described;
  if (is_result) {
    if (type->vt != VT_PTR) return Fail(where + ": the result is not passed by pointer");
    type = type->lptdesc;
  }
  if (type->vt != ExpectedVarType(expected.type)) return Fail(where + ": type " + std::to_string(type->vt));
  if (expected.type != ValueType::kEnum) return;
  Ref<ITypeInfo> enum_info;
  if (FAILED(info->GetRefTypeInfo(type->hreftype, enum_info.put()))) return Fail(where + ": enumeration not found");
  Check(NameOf(enum_info.p) == Wide(ordexa::kEnums[expected.enum_index].name), where + ": enumeration");
}

// The vtable part of a dual interface: its own members in slot order after IDispatch's seven
// and those of the interface it derives from, which its first implemented type names.
void CheckInterface(ITypeLib* library, std::size_t index) {
  const ordexa::InterfaceDescription& expected = ordexa::kInterfaces[index];
  const std::uint8_t base = ordexa::kInterfaceBases[index];
  const std::size_t inherited = base == ordexa::kFromDispatch ? 0 : ordexa::kInterfaces[base].members.size();
  const std::span<const ordexa::MemberDescription> own = expected.members.subspan(inherited);
  const std::string where(expected.name);
  Ref<ITypeInfo> dispatch_info;
  if (FAILED(library->GetTypeInfoOfGuid(*expected.iid, dispatch_info.put()))) return Fail(where + ": not in the library");
  CheckDocumentation(dispatch_info.p, MEMBERID_NIL, expected.name, expected.doc, where);
  const Ref<ITypeInfo> info = Implemented(dispatch_info.p, -1);
  if (!info) return Fail(where + ": not a dual interface");
  constexpr WORD kDual = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
  CheckAttributes(info.p, TKIND_INTERFACE, kDual, kDual, own.size(), true, where);
  const Ref<ITypeInfo> base_info = Implemented(info.p, 0);
  const std::wstring expected_base =
      base == ordexa::kFromDispatch ? std::wstring(L"IDispatch") : Wide(ordexa::kInterfaces[base].name);
  Check(base_info && NameOf(base_info.p) == expected_base, where + ": its base interface");

  for (UINT slot = 0; slot < own.size(); ++slot) {
    const ordexa::MemberDescription& member = own[slot];
    const std::string at = where + "." + std::string(member.name) + " (slot " + std::to_string(slot) + ")";
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(slot, &function))) {
      Fail(at + ": no description");
      continue;
    }
    constexpr INVOKEKIND kKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT};
    static_assert(static_cast<int>(MemberKind::kMethod) == 0 && static_cast<int>(MemberKind::kPropertyPut) == 2);
    Check(function->memid == member.dispid, at + ": DISPID " + std::to_string(function->memid));
    Check(function->invkind == kKinds[static_cast<int>(member.kind)], at + ": invocation kind");
    Check(function->oVft == static_cast<SHORT>((7 + inherited + slot) * sizeof(void*)), at + ": vtable offset");
    const bool has_result = member.result.type.type != ValueType::kVoid;
    const UINT params = static_cast<UINT>(member.params.size()) + (has_result ? 1 : 0);
    Check(static_cast<UINT>(function->cParams) == params, at + ": parameter count");

    BSTR names[8] = {};
    UINT names_found = 0;
    info->GetNames(function->memid, names, 8, &names_found);
    // GetNames answers for the first slot with this DISPID; a put's names are its own.
    if (member.kind != MemberKind::kPropertyPut) {
      Check(names_found == params + 1, at + ": name count " + std::to_string(names_found));
      for (UINT i = 0; i < names_found && i <= params; ++i) {
        const std::string_view expected_name = i == 0                      ? member.name
                                               : i <= member.params.size() ? member.params[i - 1].name
                                                                           : member.result.name;
        Check(std::wstring(names[i]) == Wide(expected_name), at + ": name " + Narrow(names[i]));
      }
    }
    for (BSTR& text : names) SysFreeString(text);

    if (static_cast<UINT>(function->cParams) == params) {
      for (UINT i = 0; i < member.params.size(); ++i) {
        CheckParamType(info.p, function->lprgelemdescParam[i].tdesc, member.params[i].type, false,
                       at + " parameter " + std::to_string(i));
      }
      if (has_result) {
        const ELEMDESC& result = function->lprgelemdescParam[member.params.size()];
        Check((result.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0, at + ": result is [out, retval]");
        CheckParamType(info.p, result.tdesc, member.result.type, true, at + " result");
      }
    }
    // Documentation is looked up by DISPID, which answers for the get of a property: a put's
    // own string cannot be read back through the type information.
    CheckDocumentation(info.p, function->memid, "", member.doc, at);
    info->ReleaseFuncDesc(function);
  }
}

// An enumeration's type info, found by its name.
void CheckEnum(ITypeLib* library, const ordexa::EnumDescription& expected) {
  const std::string where(expected.name);
  std::wstring name = Wide(expected.name);
  ITypeInfo* found[1] = {};
  MEMBERID ids[1] = {};
  USHORT wanted = 1;
  if (FAILED(library->FindName(name.data(), 0, found, ids, &wanted)) || wanted == 0) {
    return Fail(where + ": not in the library");
  }
  Ref<ITypeInfo> info;
  *info.put() = found[0];
  CheckDocumentation(info.p, MEMBERID_NIL, "", expected.doc, where);
  CheckAttributes(info.p, TKIND_ENUM, 0, 0, expected.values.size(), false, where);
  for (UINT i = 0; i < expected.values.size(); ++i) {
    VARDESC* variable = nullptr;
    if (FAILED(info->GetVarDesc(i, &variable))) continue;
    Check(NameOf(info.p, variable->memid) == Wide(expected.values[i].name), where + ": value name");
    VARIANT value;
    VariantInit(&value);
    Check(SUCCEEDED(VariantChangeType(&value, variable->lpvarValue, 0, VT_I4)) && value.lVal == expected.values[i].value,
          where + "." + std::string(expected.values[i].name) + ": value");
    info->ReleaseVarDesc(variable);
  }
}

void CheckCoclass(ITypeLib* library, const ordexa::CoclassDescription& expected) {
  const std::string where(expected.name);
  Ref<ITypeInfo> info;
  if (FAILED(library->GetTypeInfoOfGuid(*expected.clsid, info.put()))) return Fail(where + ": not in the library");
  CheckDocumentation(info.p, MEMBERID_NIL, expected.name, expected.doc, where);
  // Only the creatable class may be created by clients; the others are aggregatable.
  CheckAttributes(info.p, TKIND_COCLASS, TYPEFLAG_FCANCREATE | (expected.creatable ? 0 : TYPEFLAG_FAGGREGATABLE),
                  expected.creatable ? TYPEFLAG_FCANCREATE : TYPEFLAG_FAGGREGATABLE, kAnyCount, true, where);
  const Ref<ITypeInfo> default_interface = Implemented(info.p, 0);
  Check(default_interface && NameOf(default_interface.p) == Wide(ordexa::kInterfaces[expected.default_interface].name),
        where + ": default interface");
}

// The class info the manager provides leads to the registered library, which must say what
// the member table says.
void CheckTypeLibrary(IPayManager* manager) {
  Ref<IProvideClassInfo> provider;
  Ref<ITypeInfo> class_info;
  Ref<ITypeLib> library;
  UINT index = 0;
  if (FAILED(manager->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(provider.put()))) ||
      FAILED(provider->GetClassInfo(class_info.put())) ||
      FAILED(class_info->GetContainingTypeLib(library.put(), &index))) {
    return Fail("the manager's class info and its library");
  }
  TYPEATTR* attributes = nullptr;
  if (SUCCEEDED(class_info->GetTypeAttr(&attributes))) {
    Check(attributes->guid == CLSID_PayManager, "the class info is the manager's class");
    class_info->ReleaseTypeAttr(attributes);
  }
  const ordexa::TypeLibraryDescription& expected = ordexa::kOrdexaTypeLibrary;
  TLIBATTR* library_attributes = nullptr;
  if (SUCCEEDED(library->GetLibAttr(&library_attributes))) {
    Check(library_attributes->guid == *expected.libid && library_attributes->wMajorVerNum == expected.major &&
              library_attributes->wMinorVerNum == expected.minor && library_attributes->lcid == expected.lcid,
          "library id, version and locale");
    library->ReleaseTLibAttr(library_attributes);
  }
  Bstr name, doc;
  library->GetDocumentation(-1, &name.text, &doc.text, nullptr, nullptr);
  Check(name.str() == Wide(expected.name) && doc.str() == Wide(expected.doc),
        "library name and help string " + Narrow(name.text) + ", " + Narrow(doc.text));

  for (std::size_t index = 0; index < expected.interfaces.size(); ++index) CheckInterface(library.p, index);
  for (const auto& enum_description : expected.enums) CheckEnum(library.p, enum_description);
  for (const auto& coclass : expected.coclasses) CheckCoclass(library.p, coclass);
}

// Late binding answers every member name of the table with its DISPID, on a live object.
void CheckNamesOfLiveObjects(IPayManager* manager) {
  Ref<IDispatch> payment, setting, address;
  manager->NewPayment(payManual, payment.put());
  Ref<IPayment> payment_interface;
  if (payment) payment.As(IID_IPayment, payment_interface);
  if (payment_interface) payment_interface->get_BankSrc(address.put());
  manager->get_Setting(setting.put());
  IDispatch* objects[] = {manager, payment.p, setting.p, address.p, address.p};
  static_assert(std::size(objects) == std::size(ordexa::kInterfaces));
  for (std::size_t i = 0; i < std::size(objects); ++i) {
    const std::string where(ordexa::kInterfaces[i].name);
    if (objects[i] == nullptr) {
      Fail(where + ": no live object");
      continue;
    }
    UINT count = 0;
    CheckHr(S_OK, objects[i]->GetTypeInfoCount(&count), where + ": GetTypeInfoCount");
    Check(count == 1, where + ": one type info");
    for (const auto& member : ordexa::kInterfaces[i].members) {
      std::wstring name = Wide(member.name);
      LPOLESTR names[] = {name.data()};
      DISPID dispid = 0;
      CheckHr(S_OK, objects[i]->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid),
              where + ": GetIDsOfNames " + std::string(member.name));
      Check(dispid == member.dispid, where + "." + std::string(member.name) + ": late DISPID");
    }
  }
}

// The module's string table and version resource, read as any program reads them.
void CheckResources(const wchar_t* dll_path) {
  const HMODULE module = LoadLibraryExW(dll_path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return Fail("the DLL cannot be loaded as data");
  const struct {
    UINT id;
    const wchar_t* text;
  } messages[] = {
      {2000, L"Ein interner Programmfehler ist aufgetreten.\n%s"},
      {2001, L"Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x%X\n\n%s"},
      {2002, L"Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x%X"},
      {2003, L"Die Zahlung %s kann nicht in die Datei pain.001.001.09 geschrieben werden.\n%s"},
      {2004, L"Die Datei pain.001.001.09 kann nicht geschrieben werden.\n%s"},
  };
  for (const auto& message : messages) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, message.id, reinterpret_cast<LPWSTR>(&text), 0);
    Check(length > 0 && std::wstring(text, static_cast<std::size_t>(length)) == message.text,
          "string " + std::to_string(message.id));
  }
  FreeLibrary(module);

  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(dll_path, &handle);
  std::string block(size, '\0');
  if (size == 0 || !GetFileVersionInfoW(dll_path, 0, size, block.data())) return Fail("no version resource");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) && fixed != nullptr) {
    Check(fixed->dwFileVersionMS == MAKELONG(ORDEXA_VERSION_MINOR, ORDEXA_VERSION_MAJOR) &&
              fixed->dwFileVersionLS == MAKELONG(0, ORDEXA_VERSION_PATCH),
          "file version");
    Check(fixed->dwProductVersionMS == fixed->dwFileVersionMS && fixed->dwProductVersionLS == fixed->dwFileVersionLS,
          "product version");
  } else {
    Fail("no fixed version information");
  }
  wchar_t* product = nullptr;
  UINT product_size = 0;
  Check(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductName", reinterpret_cast<void**>(&product),
                       &product_size) &&
            std::wstring(product) == L"Ordexa",
        "product name");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::printf("usage: early_bound_client <ordexa.dll> <folder>\n");
    return 2;
  }
  // The expected texts and the Linux files compared with the scripts' assume code page 1252.
  Check(GetACP() == 1252, "the ANSI code page is " + std::to_string(GetACP()) + ", not 1252");
  CheckHr(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx");
  if (const Ref<IPayManager> manager = NewManager()) {
    CheckVtableCalls(manager.p);
    CheckWriteFileFailures(argv[2]);
    CheckTypeLibrary(manager.p);
    CheckNamesOfLiveObjects(manager.p);
  }
  CheckResources(argv[1]);
  CoUninitialize();
  std::printf("done\n");
  return faults;
}
