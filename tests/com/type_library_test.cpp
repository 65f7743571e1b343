// The registered type library as a client lists it: library attributes, each interface's
// members with DISPIDs, accessor kinds, parameter names and documentation strings, the
// enumerations with their values and the classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "late_bound.h"
#include "platform/utf8.h"

namespace ordexa {
namespace {

std::string Take(BSTR text) {
  const std::string utf8 = text == nullptr ? "<null>" : Utf16ToUtf8(std::u16string(text, SysStringLen(text)));
  SysFreeString(text);
  return utf8;
}

// The name or the documentation string of a type or of one of its members.
std::string Documentation(ITypeInfo* info, MEMBERID memid, bool name) {
  BSTR text = nullptr;
  EXPECT_EQ(S_OK, info->GetDocumentation(memid, name ? &text : nullptr, name ? nullptr : &text, nullptr, nullptr));
  return Take(text);
}
std::string TypeName(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL) { return Documentation(info, memid, true); }
std::string TypeDoc(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL) { return Documentation(info, memid, false); }

std::string TypeText(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_BSTR: return "BSTR";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_CY: return "CY";
    case VT_DATE: return "DATE";
    case VT_DISPATCH: return "IDispatch*";
    case VT_VOID: return "void";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> referenced;
      EXPECT_EQ(S_OK, info->GetRefTypeInfo(type.hreftype, referenced.put()));
      return referenced ? TypeName(referenced.get()) : "?";
    }
    default: return "vt " + std::to_string(type.vt);
  }
}

// One line per member: "get Amount(7) -> CY", "WriteFile(2) FileName:BSTR ... -> void",
// with the member's documentation string.
std::string ListMembers(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  EXPECT_EQ(S_OK, info->GetTypeAttr(&attributes));
  std::string listing;
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* function = nullptr;
    EXPECT_EQ(S_OK, info->GetFuncDesc(i, &function));
    BSTR names[8] = {};
    UINT count = 0;
    EXPECT_EQ(S_OK, info->GetNames(function->memid, names, 8, &count));
    const std::string kind = function->invkind == INVOKE_PROPERTYGET   ? "get "
                             : function->invkind == INVOKE_PROPERTYPUT ? "put "
                                                                       : "";
    listing += kind + Take(names[0]) + "(" + std::to_string(function->memid) + ")";
    for (SHORT p = 0; p < function->cParams; ++p) {
      listing += " " + Take(names[1 + p]) + ":" + TypeText(info, function->lprgelemdescParam[p].tdesc);
    }
    for (UINT rest = 1 + static_cast<UINT>(function->cParams); rest < count; ++rest) {
      listing += " -> " + Take(names[rest]) + ":" + TypeText(info, function->elemdescFunc.tdesc);
    }
    listing += " \"" + TypeDoc(info, function->memid) + "\"\n";
    info->ReleaseFuncDesc(function);
  }
  info->ReleaseTypeAttr(attributes);
  return listing;
}

class TypeLibrary : public test::RegisteredServer {
 protected:
  void SetUp() override {
    RegisteredServer::SetUp();
    manager_ = NewManager();
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, manager_->GetTypeInfo(0, 1033, info.put()));
    ASSERT_EQ(S_OK, info->GetContainingTypeLib(library_.put(), nullptr));
  }
  ComPtr<ITypeInfo> OfGuid(const GUID& guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, library_->GetTypeInfoOfGuid(guid, info.put()));
    return info;
  }

  ComPtr<IDispatch> manager_;
  ComPtr<ITypeLib> library_;
};

TEST_F(TypeLibrary, NameVersionLocaleAndHelpString) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library_->GetLibAttr(&attributes));
  EXPECT_TRUE(attributes->guid == LIBID_Ordexa);
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  EXPECT_EQ(1033u, attributes->lcid);
  library_->ReleaseTLibAttr(attributes);
  BSTR name = nullptr;
  BSTR doc = nullptr;
  ASSERT_EQ(S_OK, library_->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
  EXPECT_EQ("Ordexa", Take(name));
  EXPECT_EQ("Ordexa 1.0 Type Library", Take(doc));
}

// The listing of a property: its get and, unless read-only, its put.
std::string Property(const std::string& name, int dispid, const std::string& type, bool writable = true) {
  const std::string head = name + "(" + std::to_string(dispid) + ")", doc = " \"property " + name + "\"\n";
  return "get " + head + " -> pVal:" + type + doc + (writable ? "put " + head + " pVal:" + type + doc : "");
}

TEST_F(TypeLibrary, EachInterfaceListsItsMembers) {
  // IPayAddress2 answers every member of IPayAddress, then the structured parts.
  std::string address;
  const char* names[] = {"Name1", "Name2", "City", "Street", "Account", "ID", "BIC",
                         "StreetName", "BuildingNumber", "PostCode", "Town", "Country"};
  for (int dispid = 1; dispid <= 12; ++dispid) address += Property(names[dispid - 1], dispid, "BSTR");
  const struct {
    const IID* iid;
    const char* name;
    std::string members;
  } rows[] = {
      {&IID_IPayManager, "IPayManager",
       "NewPayment(1) PayType:PayTypes -> Payment:IDispatch* \"method NewPayment\"\n"
       "WriteFile(2) FileName:BSTR FileType:PayFileTypes payPeriod:BSTR useCHStandard:VARIANT_BOOL \"method "
       "WriteFile\"\n"
       "get Setting(3) -> pVal:IDispatch* \"property Setting\"\n"
       "CheckPostNr(4) Nummer:BSTR -> pVal:VARIANT_BOOL \"method CheckPostNr\"\n"
       "CheckIbanNr(5) Nummer:BSTR -> pVal:VARIANT_BOOL \"method CheckIbanNr\"\n"},
      {&IID_IPayment, "IPayment",
       Property("IsSalary", 2, "VARIANT_BOOL") + Property("ESR", 3, "BSTR") +
           Property("BankSrc", 4, "IDispatch*", false) + Property("BankDst", 5, "IDispatch*", false) +
           Property("Receiver", 6, "IDispatch*", false) +
           Property("Amount", 7, "CY") + Property("Reason", 8, "BSTR") + Property("Currency", 9, "BSTR") +
           Property("CostCode", 10, "PayCosts") + Property("Date", 11, "DATE")},
      {&IID_IPaySetting, "IPaySetting",
       Property("Sender", 1, "IDispatch*", false) + Property("DtaID", 2, "BSTR") + Property("CostAccount", 3, "BSTR") +
           Property("IsSalary", 4, "VARIANT_BOOL") + Property("DtaID_Sender", 5, "BSTR") +
           Property("CostCurrency", 6, "BSTR")},
      {&IID_IPayAddress, "IPayAddress", address.substr(0, address.find("get StreetName"))},
      {&IID_IPayAddress2, "IPayAddress2", address},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ComPtr<ITypeInfo> info = OfGuid(*row.iid);
    EXPECT_EQ(row.name, TypeName(info.get()));
    EXPECT_EQ(std::string(row.name) + " Interface", TypeDoc(info.get()));
    EXPECT_EQ(row.members, ListMembers(info.get()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
    EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION,
              attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
    info->ReleaseTypeAttr(attributes);
  }
}

TEST_F(TypeLibrary, EnumerationsWithTheirValuesAndDocumentation) {
  const struct {
    const char* name;
    const char* doc;
    const char* values;
  } rows[] = {
      {"PayTypes", "The Payment Types.",
       "payManual=0 payESR15=1 payESR16=2 payESR17=3 payRedBank=4 payRedPost=5 payRedTreuhand=6 payPostmandat=7 "
       "payForeign=8 payIban=9 "},
      {"PayFileTypes", "The types of files that can be created.", "payDTA=0 payEzag=1 payISO=2 payISO2019=3 "},
      {"PayCosts", "IBAN expence code. Spesenregelung", "payCostSrc=0 payCostDst=1 payCostBoth=2 "},
  };
  int found = 0;
  for (UINT index = 0; index < library_->GetTypeInfoCount(); ++index) {
    TYPEKIND kind;
    ASSERT_EQ(S_OK, library_->GetTypeInfoType(index, &kind));
    if (kind != TKIND_ENUM) continue;
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library_->GetTypeInfo(index, info.put()));
    const std::string name = TypeName(info.get());
    for (const auto& row : rows) {
      if (name != row.name) continue;
      ++found;
      EXPECT_EQ(row.doc, TypeDoc(info.get()));
      TYPEATTR* attributes = nullptr;
      ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
      std::string values;
      for (UINT v = 0; v < attributes->cVars; ++v) {
        VARDESC* variable = nullptr;
        ASSERT_EQ(S_OK, info->GetVarDesc(v, &variable));
        EXPECT_EQ(VAR_CONST, variable->varkind);
        values += TypeName(info.get(), variable->memid) + "=" + std::to_string(variable->lpvarValue->lVal) + " ";
        info->ReleaseVarDesc(variable);
      }
      info->ReleaseTypeAttr(attributes);
      EXPECT_EQ(row.values, values);
    }
  }
  EXPECT_EQ(3, found);
}

TEST_F(TypeLibrary, ClassesAndWhichOneIsCreatable) {
  const struct {
    const CLSID* clsid;
    const char* name;
    const char* doc;
    bool creatable;
    const char* default_interface;
  } rows[] = {
      {&CLSID_PayManager, "PayManager", "PayManager Class", true, "IPayManager"},
      {&CLSID_Payment, "Payment", "<null>", false, "IPayment"},
      {&CLSID_PaySetting, "PaySetting", "PaySetting Class", false, "IPaySetting"},
      {&CLSID_PayAddress, "PayAddress", "PayAddress Class", false, "IPayAddress2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ComPtr<ITypeInfo> info = OfGuid(*row.clsid);
    ASSERT_TRUE(info);
    EXPECT_EQ(row.name, TypeName(info.get()));
    EXPECT_EQ(row.doc, TypeDoc(info.get()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
    EXPECT_EQ(row.creatable, (attributes->wTypeFlags & TYPEFLAG_FCANCREATE) != 0);
    EXPECT_EQ(!row.creatable, (attributes->wTypeFlags & TYPEFLAG_FAGGREGATABLE) != 0);
    info->ReleaseTypeAttr(attributes);
    HREFTYPE reference = 0;
    ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(0, &reference));
    ComPtr<ITypeInfo> implemented;
    ASSERT_EQ(S_OK, info->GetRefTypeInfo(reference, implemented.put()));
    EXPECT_EQ(row.default_interface, TypeName(implemented.get()));
  }
}

// A member's name gives its DISPID, a parameter's name its number among the parameters.
TEST_F(TypeLibrary, MemberNamesToDispidsAndParameterNumbers) {
  const struct {
    const IID* iid;
    std::vector<std::u16string> names;
    HRESULT expected;
    std::vector<MEMBERID> memids;
  } rows[] = {
      {&IID_IPayManager, {u"writefile", u"payPeriod", u"FileName"}, S_OK, {2, 2, 0}},
      {&IID_IPayManager, {u"Write"}, DISP_E_UNKNOWNNAME, {999}},  // left alone
      {&IID_IPayAddress2, {u"buildingnumber"}, S_OK, {9}}, {&IID_IPayAddress2, {u"Country"}, S_OK, {12}},
      {&IID_IPayAddress2, {u"Name1"}, S_OK, {1}},
  };
  for (const auto& row : rows) {
    std::vector<std::u16string> names = row.names;
    std::vector<LPOLESTR> pointers;
    for (std::u16string& name : names) pointers.push_back(name.data());
    std::vector<MEMBERID> memids(names.size(), 999);
    const ComPtr<ITypeInfo> info = OfGuid(*row.iid);
    EXPECT_EQ(row.expected, info->GetIDsOfNames(pointers.data(), static_cast<UINT>(names.size()), memids.data()));
    EXPECT_EQ(row.memids, memids) << Utf16ToUtf8(row.names[0]);
  }
}

}  // namespace
}  // namespace ordexa
