// ITypeLib and ITypeInfo over a constant type library description. Type information
// numbers: the enumerations first, then the interfaces, then the classes; a reference
// handle (HREFTYPE) is the number of the type it refers to.
#include "platform/type_library.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "windows.h"

namespace ordexa {
namespace {

constexpr WORD kDispatchSlots = 7;  // IUnknown and IDispatch come before an interface's own slots
constexpr MEMBERID kFirstEnumValue = 0x40000000;

// ScopeExit: runs a clean-up when the scope ends, also when an exception leaves it.
template <class CleanUp>
class ScopeExit {
 public:
  explicit ScopeExit(CleanUp clean_up) : clean_up_(std::move(clean_up)) {}
  ~ScopeExit() { clean_up_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  CleanUp clean_up_;
};

// RegistryFailure(): the result of a type library call whose registry call failed.
HRESULT RegistryFailure(std::uint32_t status) {
  return status == ERROR_OUTOFMEMORY || status == ERROR_NOT_ENOUGH_MEMORY ? E_OUTOFMEMORY : TYPE_E_REGISTRYACCESS;
}

// The names are ASCII: each character widens to one UTF-16 unit. Null when out of memory.
BSTR NewText(std::string_view text) {
  BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
  if (wide == nullptr) return nullptr;
  for (std::size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<OLECHAR>(static_cast<unsigned char>(text[i]));
  return wide;
}

bool NameEquals(const OLECHAR* name, std::string_view text) {
  if (name == nullptr) return false;
  for (char c : text) {
    OLECHAR a = *name++;
    OLECHAR b = static_cast<OLECHAR>(static_cast<unsigned char>(c));
    if (a >= u'a' && a <= u'z') a = static_cast<OLECHAR>(a - 32);
    if (b >= u'a' && b <= u'z') b = static_cast<OLECHAR>(b - 32);
    if (a != b) return false;
  }
  return *name == u'\0';
}

// RefCounted<Derived, Interface, iid>: IUnknown of an object that offers one interface.
template <class Derived, class Interface, const IID& kInterfaceId>
class RefCounted : public Interface {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == kInterfaceId) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG remaining = --references_;
    if (remaining == 0) delete static_cast<Derived*>(this);
    return remaining;
  }

 protected:
  virtual ~RefCounted() = default;

 private:
  std::atomic<ULONG> references_{0};
};

class TypeLibrary;

// Which type a numbered type information describes.
struct TypeRefs {
  const TypeLibraryDescription* library;
  UINT Count() const {
    return static_cast<UINT>(library->enums.size() + library->interfaces.size() + library->coclasses.size());
  }
  TYPEKIND Kind(UINT index) const {
    if (index < library->enums.size()) return TKIND_ENUM;
    if (index < library->enums.size() + library->interfaces.size()) return TKIND_DISPATCH;
    return TKIND_COCLASS;
  }
  const EnumDescription& Enum(UINT index) const { return library->enums[index]; }
  const InterfaceDescription& Interface(UINT index) const { return library->interfaces[index - library->enums.size()]; }
  const CoclassDescription& Coclass(UINT index) const {
    return library->coclasses[index - library->enums.size() - library->interfaces.size()];
  }
  UINT InterfaceIndex(std::size_t interface) const { return static_cast<UINT>(library->enums.size() + interface); }
  std::string_view Name(UINT index) const {
    switch (Kind(index)) {
      case TKIND_ENUM:
        return Enum(index).name;
      case TKIND_DISPATCH:
        return Interface(index).name;
      default:
        return Coclass(index).name;
    }
  }
  std::string_view Doc(UINT index) const {
    switch (Kind(index)) {
      case TKIND_ENUM:
        return Enum(index).doc;
      case TKIND_DISPATCH:
        return Interface(index).doc;
      default:
        return Coclass(index).doc;
    }
  }
  GUID Guid(UINT index) const {
    switch (Kind(index)) {
      case TKIND_ENUM:
        return GUID{};
      case TKIND_DISPATCH:
        return *Interface(index).iid;
      default:
        return *Coclass(index).clsid;
    }
  }
};

TYPEDESC TypeDescOf(TypeRef type) {
  TYPEDESC desc{};
  switch (type.type) {
    case ValueType::kVoid:
      desc.vt = VT_VOID;
      break;
    case ValueType::kText:
      desc.vt = VT_BSTR;
      break;
    case ValueType::kBool:
      desc.vt = VT_BOOL;
      break;
    case ValueType::kCurrency:
      desc.vt = VT_CY;
      break;
    case ValueType::kDate:
      desc.vt = VT_DATE;
      break;
    case ValueType::kDispatch:
      desc.vt = VT_DISPATCH;
      break;
    case ValueType::kEnum:
      desc.vt = VT_USERDEFINED;
      desc.hreftype = type.enum_index;  // the enumerations are numbered first
      break;
  }
  return desc;
}

INVOKEKIND InvokeKindOf(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet:
      return INVOKE_PROPERTYGET;
    case MemberKind::kPropertyPut:
      return INVOKE_PROPERTYPUT;
    case MemberKind::kMethod:
      break;
  }
  return INVOKE_FUNC;
}

class TypeInfo;

class TypeLibrary final : public RefCounted<TypeLibrary, ITypeLib, IID_ITypeLib> {
 public:
  explicit TypeLibrary(const TypeLibraryDescription& description) : refs_{&description} {}


  UINT GetTypeInfoCount() override { return refs_.Count(); }
  HRESULT GetTypeInfo(UINT index, ITypeInfo** type_info) override;
  HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) override {
    if (kind == nullptr) return E_INVALIDARG;
    if (index >= refs_.Count()) return TYPE_E_ELEMENTNOTFOUND;
    *kind = refs_.Kind(index);
    return S_OK;
  }
  HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** type_info) override {
    if (type_info == nullptr) return E_INVALIDARG;
    *type_info = nullptr;
    for (UINT index = 0; index < refs_.Count(); ++index) {
      if (refs_.Kind(index) != TKIND_ENUM && refs_.Guid(index) == guid) return GetTypeInfo(index, type_info);
    }
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT GetLibAttr(TLIBATTR** attributes) override {
    if (attributes == nullptr) return E_INVALIDARG;
    auto* attr = new (std::nothrow) TLIBATTR{};
    if (attr == nullptr) return E_OUTOFMEMORY;
    attr->guid = *refs_.library->libid;
    attr->lcid = refs_.library->lcid;
    attr->syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    attr->wMajorVerNum = refs_.library->major;
    attr->wMinorVerNum = refs_.library->minor;
    *attributes = attr;
    return S_OK;
  }
  HRESULT GetTypeComp(ITypeComp** type_comp) override {
    if (type_comp != nullptr) *type_comp = nullptr;
    return E_NOTIMPL;
  }
  // Index -1 is the library itself.
  HRESULT GetDocumentation(INT index, BSTR* name, BSTR* doc, DWORD* help_context, BSTR* help_file) override {
    if (index < -1 || (index >= 0 && static_cast<UINT>(index) >= refs_.Count())) return TYPE_E_ELEMENTNOTFOUND;
    const std::string_view type_name = index < 0 ? refs_.library->name : refs_.Name(static_cast<UINT>(index));
    const std::string_view type_doc = index < 0 ? refs_.library->doc : refs_.Doc(static_cast<UINT>(index));
    if (name != nullptr) *name = NewText(type_name);
    if (doc != nullptr) *doc = type_doc.empty() ? nullptr : NewText(type_doc);
    if (help_context != nullptr) *help_context = 0;
    if (help_file != nullptr) *help_file = nullptr;
    return S_OK;
  }
  HRESULT IsName(LPOLESTR, ULONG, BOOL*) override { return E_NOTIMPL; }
  HRESULT FindName(LPOLESTR, ULONG, ITypeInfo**, MEMBERID*, USHORT*) override { return E_NOTIMPL; }
  void ReleaseTLibAttr(TLIBATTR* attributes) override { delete attributes; }

  const TypeRefs& refs() const { return refs_; }

 private:
  TypeRefs refs_;
};

class TypeInfo final : public RefCounted<TypeInfo, ITypeInfo, IID_ITypeInfo> {
 public:
  TypeInfo(TypeLibrary* library, UINT index) : library_(library), index_(index) { library_->AddRef(); }
  ~TypeInfo() { library_->Release(); }
  TypeInfo(const TypeInfo&) = delete;
  TypeInfo& operator=(const TypeInfo&) = delete;


  HRESULT GetTypeAttr(TYPEATTR** attributes) override {
    if (attributes == nullptr) return E_INVALIDARG;
    auto* attr = new (std::nothrow) TYPEATTR{};
    if (attr == nullptr) return E_OUTOFMEMORY;
    attr->guid = refs().Guid(index_);
    attr->memidConstructor = MEMBERID_NIL;
    attr->memidDestructor = MEMBERID_NIL;
    attr->typekind = kind();
    attr->cbAlignment = sizeof(void*);
    attr->wMajorVerNum = 0;
    switch (kind()) {
      case TKIND_ENUM:
        attr->cVars = static_cast<WORD>(refs().Enum(index_).values.size());
        attr->cbSizeInstance = 4;
        break;
      case TKIND_DISPATCH:
        attr->cFuncs = static_cast<WORD>(refs().Interface(index_).members.size());
        attr->cImplTypes = 1;
        attr->cbSizeVft = static_cast<WORD>(kDispatchSlots * sizeof(void*));
        attr->cbSizeInstance = sizeof(void*);
        attr->wTypeFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
        break;
      default:
        attr->cImplTypes = 1;
        attr->cbSizeInstance = sizeof(void*);
        attr->wTypeFlags =
            refs().Coclass(index_).creatable ? TYPEFLAG_FCANCREATE : static_cast<WORD>(TYPEFLAG_FAGGREGATABLE);
        break;
    }
    *attributes = attr;
    return S_OK;
  }
  HRESULT GetTypeComp(ITypeComp** type_comp) override {
    if (type_comp != nullptr) *type_comp = nullptr;
    return E_NOTIMPL;
  }

  // One block: the FUNCDESC followed by its parameters' ELEMDESCs.
  HRESULT GetFuncDesc(UINT index, FUNCDESC** function) override {
    if (function == nullptr) return E_INVALIDARG;
    if (kind() != TKIND_DISPATCH || index >= refs().Interface(index_).members.size()) return TYPE_E_ELEMENTNOTFOUND;
    const MemberDescription& member = refs().Interface(index_).members[index];
    const std::size_t params = member.params.size();
    void* block = std::calloc(1, sizeof(FUNCDESC) + params * sizeof(ELEMDESC));
    if (block == nullptr) return E_OUTOFMEMORY;
    auto* desc = static_cast<FUNCDESC*>(block);
    auto* elements = reinterpret_cast<ELEMDESC*>(desc + 1);
    desc->memid = member.dispid;
    desc->lprgelemdescParam = params == 0 ? nullptr : elements;
    desc->funckind = FUNC_DISPATCH;
    desc->invkind = InvokeKindOf(member.kind);
    desc->callconv = CC_STDCALL;
    desc->cParams = static_cast<SHORT>(params);
    desc->oVft = static_cast<SHORT>((kDispatchSlots + index) * sizeof(void*));
    desc->elemdescFunc.tdesc = TypeDescOf(member.result.type);
    for (std::size_t i = 0; i < params; ++i) {
      elements[i].tdesc = TypeDescOf(member.params[i].type);
      elements[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
    }
    *function = desc;
    return S_OK;
  }

  // One block: the VARDESC followed by the VARIANT holding the value.
  HRESULT GetVarDesc(UINT index, VARDESC** variable) override {
    if (variable == nullptr) return E_INVALIDARG;
    if (kind() != TKIND_ENUM || index >= refs().Enum(index_).values.size()) return TYPE_E_ELEMENTNOTFOUND;
    void* block = std::calloc(1, sizeof(VARDESC) + sizeof(VARIANT));
    if (block == nullptr) return E_OUTOFMEMORY;
    auto* desc = static_cast<VARDESC*>(block);
    auto* value = reinterpret_cast<VARIANT*>(desc + 1);
    value->vt = VT_I4;
    value->lVal = refs().Enum(index_).values[index].value;
    desc->memid = kFirstEnumValue + static_cast<MEMBERID>(index);
    desc->lpvarValue = value;
    desc->elemdescVar.tdesc.vt = VT_I4;
    desc->varkind = VAR_CONST;
    *variable = desc;
    return S_OK;
  }

  // A member's name, then its parameters' names and its value's name.
  HRESULT GetNames(MEMBERID memid, BSTR* names, UINT max_names, UINT* count) override {
    if (names == nullptr || count == nullptr) return E_INVALIDARG;
    *count = 0;
    if (kind() == TKIND_ENUM) {
      const auto& values = refs().Enum(index_).values;
      const MEMBERID at = memid - kFirstEnumValue;
      if (at < 0 || static_cast<std::size_t>(at) >= values.size()) return TYPE_E_ELEMENTNOTFOUND;
      if (max_names > 0) names[(*count)++] = NewText(values[static_cast<std::size_t>(at)].name);
      return S_OK;
    }
    if (kind() != TKIND_DISPATCH) return TYPE_E_ELEMENTNOTFOUND;
    const MemberDescription* member = FindMember(memid);
    if (member == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    if (*count < max_names) names[(*count)++] = NewText(member->name);
    for (const ParamDescription& param : member->params) {
      if (*count < max_names) names[(*count)++] = NewText(param.name);
    }
    if (member->result.type.type != ValueType::kVoid && *count < max_names) {
      names[(*count)++] = NewText(member->result.name);
    }
    return S_OK;
  }

  HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* reference) override {
    if (reference == nullptr) return E_INVALIDARG;
    // A class implements its default interface; the dispatch interfaces' base, IDispatch,
    // lives in the system's library, which the stand-in does not carry.
    if (kind() != TKIND_COCLASS || index != 0) return TYPE_E_ELEMENTNOTFOUND;
    *reference = refs().InterfaceIndex(refs().Coclass(index_).default_interface);
    return S_OK;
  }
  HRESULT GetImplTypeFlags(UINT index, INT* flags) override {
    if (flags == nullptr) return E_INVALIDARG;
    if (kind() != TKIND_COCLASS || index != 0) return TYPE_E_ELEMENTNOTFOUND;
    *flags = IMPLTYPEFLAG_FDEFAULT;
    return S_OK;
  }

  // The member's DISPID, then each further name as the number of its parameter.
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* memids) override {
    if (names == nullptr || memids == nullptr || count == 0) return E_INVALIDARG;
    if (kind() != TKIND_DISPATCH) return DISP_E_UNKNOWNNAME;
    const MemberDescription* found = nullptr;
    for (const MemberDescription& member : refs().Interface(index_).members) {
      if (NameEquals(names[0], member.name)) {
        found = &member;
        break;
      }
    }
    if (found == nullptr) return DISP_E_UNKNOWNNAME;
    memids[0] = found->dispid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
      memids[i] = MEMBERID_NIL;
      for (std::size_t p = 0; p < found->params.size(); ++p) {
        if (NameEquals(names[i], found->params[p].name)) memids[i] = static_cast<MEMBERID>(p);
      }
      if (memids[i] == MEMBERID_NIL) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }

  HRESULT Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

  // MEMBERID_NIL documents the type itself.
  HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* doc, DWORD* help_context, BSTR* help_file) override {
    std::string_view member_name;
    std::string_view member_doc;
    if (memid == MEMBERID_NIL) {
      member_name = refs().Name(index_);
      member_doc = refs().Doc(index_);
    } else if (kind() == TKIND_DISPATCH) {
      const MemberDescription* member = FindMember(memid);
      if (member == nullptr) return TYPE_E_ELEMENTNOTFOUND;
      member_name = member->name;
      member_doc = member->doc;
    } else if (kind() == TKIND_ENUM) {
      const auto& values = refs().Enum(index_).values;
      const MEMBERID at = memid - kFirstEnumValue;
      if (at < 0 || static_cast<std::size_t>(at) >= values.size()) return TYPE_E_ELEMENTNOTFOUND;
      member_name = values[static_cast<std::size_t>(at)].name;
    } else {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    if (name != nullptr) *name = NewText(member_name);
    if (doc != nullptr) *doc = member_doc.empty() ? nullptr : NewText(member_doc);
    if (help_context != nullptr) *help_context = 0;
    if (help_file != nullptr) *help_file = nullptr;
    return S_OK;
  }

  HRESULT GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  HRESULT GetRefTypeInfo(HREFTYPE reference, ITypeInfo** type_info) override {
    if (type_info == nullptr) return E_INVALIDARG;
    return library_->GetTypeInfo(reference, type_info);
  }
  HRESULT AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  HRESULT CreateInstance(IUnknown*, REFIID, PVOID* object) override {
    if (object != nullptr) *object = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetMops(MEMBERID, BSTR* mops) override {
    if (mops != nullptr) *mops = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetContainingTypeLib(ITypeLib** library, UINT* index) override {
    if (library == nullptr) return E_INVALIDARG;
    library_->AddRef();
    *library = library_;
    if (index != nullptr) *index = index_;
    return S_OK;
  }
  void ReleaseTypeAttr(TYPEATTR* attributes) override { delete attributes; }
  void ReleaseFuncDesc(FUNCDESC* function) override { std::free(function); }
  void ReleaseVarDesc(VARDESC* variable) override { std::free(variable); }

 private:
  const TypeRefs& refs() const { return library_->refs(); }
  TYPEKIND kind() const { return refs().Kind(index_); }
  const MemberDescription* FindMember(MEMBERID memid) const {
    for (const MemberDescription& member : refs().Interface(index_).members) {
      if (member.dispid == memid) return &member;
    }
    return nullptr;
  }

  TypeLibrary* library_;
  UINT index_;
};

HRESULT TypeLibrary::GetTypeInfo(UINT index, ITypeInfo** type_info) {
  if (type_info == nullptr) return E_INVALIDARG;
  *type_info = nullptr;
  if (index >= refs_.Count()) return TYPE_E_ELEMENTNOTFOUND;
  auto* info = new (std::nothrow) TypeInfo(this, index);
  if (info == nullptr) return E_OUTOFMEMORY;
  info->AddRef();
  *type_info = info;
  return S_OK;
}

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

std::u16string VersionText(WORD major, WORD minor) {
  const std::string text = std::to_string(major) + "." + std::to_string(minor);
  return std::u16string(text.begin(), text.end());
}

std::u16string HexText(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
  return std::u16string(text, text + std::strlen(text));
}

LSTATUS SetKeyText(const std::u16string& path, const OLECHAR* name, const std::u16string& text) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                   nullptr, &key, nullptr);
  if (status != 0) return status;
  status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(OLECHAR)));
  RegCloseKey(key);
  return status;
}

// The automation marshaler, which serves every dual interface.
constexpr GUID kAutomationMarshaler = {0x00020424, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

HRESULT CreateTypeLibrary(const TypeLibraryDescription& description, ITypeLib** library) {
  if (library == nullptr) return E_POINTER;
  auto* created = new (std::nothrow) TypeLibrary(description);
  *library = created;
  if (created == nullptr) return E_OUTOFMEMORY;
  created->AddRef();
  return S_OK;
}

HRESULT LoadRegisteredTypeLibrary(const TypeLibraryDescription& description, ITypeLib** library) {
  if (library == nullptr) return E_POINTER;
  *library = nullptr;
  try {
    const std::u16string path =
        u"TypeLib\\" + GuidText(*description.libid) + u"\\" + VersionText(description.major, description.minor);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return TYPE_E_LIBNOTREGISTERED;
    RegCloseKey(key);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  return CreateTypeLibrary(description, library);
}

}  // namespace ordexa

HRESULT RegisterTypeLib(ITypeLib* library, LPCOLESTR full_path, LPCOLESTR help_dir) {
  if (library == nullptr || full_path == nullptr) return E_INVALIDARG;
  TLIBATTR* attributes = nullptr;
  HRESULT hr = library->GetLibAttr(&attributes);
  if (FAILED(hr)) return hr;
  try {
    const std::u16string libid = ordexa::GuidText(attributes->guid);
    const std::u16string version = ordexa::VersionText(attributes->wMajorVerNum, attributes->wMinorVerNum);
    const std::u16string key = u"TypeLib\\" + libid + u"\\" + version;
    const std::u16string platform = attributes->syskind == SYS_WIN64 ? u"win64" : u"win32";
    const std::u16string path(full_path);
    std::u16string directory =
        help_dir != nullptr ? std::u16string(help_dir) : path.substr(0, path.find_last_of(u'/') + 1);
    BSTR help_string = nullptr;
    library->GetDocumentation(-1, nullptr, &help_string, nullptr, nullptr);
    const ordexa::ScopeExit free_help([&] { SysFreeString(help_string); });
    const std::u16string doc = help_string == nullptr ? u"" : std::u16string(help_string);
    LSTATUS status = ordexa::SetKeyText(key, nullptr, doc);
    if (status == 0) status = ordexa::SetKeyText(key + u"\\FLAGS", nullptr, u"0");
    if (status == 0) status = ordexa::SetKeyText(key + u"\\HELPDIR", nullptr, directory);
    if (status == 0)
      status = ordexa::SetKeyText(key + u"\\" + ordexa::HexText(attributes->lcid) + u"\\" + platform, nullptr, path);
    // Each dual interface is marshaled by the automation marshaler from this library.
    for (UINT index = 0; status == 0 && index < library->GetTypeInfoCount(); ++index) {
      TYPEKIND kind;
      if (FAILED(library->GetTypeInfoType(index, &kind)) || kind != TKIND_DISPATCH) continue;
      ITypeInfo* info = nullptr;
      if (FAILED(library->GetTypeInfo(index, &info))) continue;
      TYPEATTR* type = nullptr;
      BSTR name = nullptr;
      // Released however the step ends, running out of memory included.
      const ordexa::ScopeExit release([&] {
        SysFreeString(name);
        if (type != nullptr) info->ReleaseTypeAttr(type);
        info->Release();
      });
      if (SUCCEEDED(info->GetTypeAttr(&type)) &&
          SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr))) {
        const std::u16string interface_key = u"Interface\\" + ordexa::GuidText(type->guid);
        const std::u16string marshaler = ordexa::GuidText(ordexa::kAutomationMarshaler);
        // The library is named first: an interface key that names it is removed with the
        // library, so a registration cut short leaves nothing that no unregistration finds.
        status = ordexa::SetKeyText(interface_key + u"\\TypeLib", nullptr, libid);
        if (status != 0) RegDeleteTreeW(HKEY_CLASSES_ROOT, interface_key.c_str());
        if (status == 0) status = ordexa::SetKeyText(interface_key + u"\\TypeLib", u"Version", version);
        if (status == 0) status = ordexa::SetKeyText(interface_key, nullptr, name == nullptr ? u"" : std::u16string(name));
        if (status == 0) status = ordexa::SetKeyText(interface_key + u"\\ProxyStubClsid", nullptr, marshaler);
        if (status == 0) status = ordexa::SetKeyText(interface_key + u"\\ProxyStubClsid32", nullptr, marshaler);
      }
    }
    hr = status == 0 ? S_OK : TYPE_E_REGISTRYACCESS;
  } catch (...) {
    hr = E_OUTOFMEMORY;
  }
  library->ReleaseTLibAttr(attributes);
  return hr;
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID, SYSKIND) {
  try {
    const std::u16string libid_text = ordexa::GuidText(libid);
    const std::u16string library_key = u"TypeLib\\" + libid_text;
    const std::u16string version_key = library_key + u"\\" + ordexa::VersionText(major, minor);
    HKEY version = nullptr;
    const auto found = static_cast<std::uint32_t>(RegOpenKeyExW(HKEY_CLASSES_ROOT, version_key.c_str(), 0, KEY_READ, &version));
    if (found == ERROR_FILE_NOT_FOUND) {
      // A library key that a registration cut short left without any version goes too.
      RegDeleteKeyW(HKEY_CLASSES_ROOT, library_key.c_str());
      return TYPE_E_REGISTRYACCESS;
    }
    if (found != ERROR_SUCCESS) return ordexa::RegistryFailure(found);
    RegCloseKey(version);
    // The interfaces go before the version key, so that an unregistration cut short
    // still finds the library registered and the next one removes the rest.
    HKEY interfaces = nullptr;
    const auto listed_interfaces =
        static_cast<std::uint32_t>(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"Interface", 0, KEY_READ, &interfaces));
    if (listed_interfaces != ERROR_SUCCESS && listed_interfaces != ERROR_FILE_NOT_FOUND) {
      return ordexa::RegistryFailure(listed_interfaces);
    }
    if (listed_interfaces == ERROR_SUCCESS) {
      const ordexa::ScopeExit close([&] { RegCloseKey(interfaces); });
      // The interfaces this library registered name it under their TypeLib key. A registry
      // call that fails stops the unregistration before the version key goes.
      OLECHAR name[64];
      for (DWORD index = 0;;) {
        DWORD length = 64;
        const auto listed = static_cast<std::uint32_t>(
            RegEnumKeyExW(interfaces, index, name, &length, nullptr, nullptr, nullptr, nullptr));
        if (listed == ERROR_NO_MORE_ITEMS) break;
        if (listed == ERROR_MORE_DATA) {
          ++index;  // a name longer than any interface id
          continue;
        }
        if (listed != ERROR_SUCCESS) return ordexa::RegistryFailure(listed);
        const std::u16string type_lib_key = std::u16string(name) + u"\\TypeLib";
        HKEY type_lib = nullptr;
        OLECHAR value[64] = {};
        DWORD size = sizeof value - sizeof(OLECHAR);
        bool ours = false;
        const auto opened =
            static_cast<std::uint32_t>(RegOpenKeyExW(interfaces, type_lib_key.c_str(), 0, KEY_READ, &type_lib));
        if (opened == ERROR_SUCCESS) {
          const auto read = static_cast<std::uint32_t>(
              RegQueryValueExW(type_lib, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size));
          RegCloseKey(type_lib);
          if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND && read != ERROR_MORE_DATA) return ordexa::RegistryFailure(read);
          ours = read == ERROR_SUCCESS && std::u16string(value) == libid_text;
        } else if (opened != ERROR_FILE_NOT_FOUND) {
          return ordexa::RegistryFailure(opened);
        }
        if (!ours) {
          ++index;
          continue;
        }
        if (const auto removed = static_cast<std::uint32_t>(RegDeleteTreeW(interfaces, name)); removed != ERROR_SUCCESS) {
          return ordexa::RegistryFailure(removed);
        }
      }
    }
    if (RegDeleteTreeW(HKEY_CLASSES_ROOT, version_key.c_str()) != 0) return TYPE_E_REGISTRYACCESS;
    // The library's key goes when no other version is left in it.
    RegDeleteKeyW(HKEY_CLASSES_ROOT, library_key.c_str());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}
