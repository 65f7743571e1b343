// The late-binding rules of the four classes, through objects of libordexa.so created by
// ProgID: name lookup, every Invoke check in its order with its exact status code and
// argument-error index, result types, ISupportErrorInfo and the type information answers.
#include <gtest/gtest.h>

#include <vector>

#include "late_bound.h"
#include "ocidl.h"
#include "platform/utf8.h"
#include "support/bstr.h"

namespace ordexa {
namespace {

using test::Variant;

enum class Target { kManager, kPayment, kSetting, kAddress };

class DispatchRules : public test::RegisteredServer {
 protected:
  void SetUp() override {
    RegisteredServer::SetUp();
    manager_ = NewManager();
    ASSERT_TRUE(manager_);
    payment_ = test::Object(test::Method(manager_.get(), u"NewPayment", {test::I4(payIban)}));
    setting_ = test::Object(test::Get(manager_.get(), u"Setting"));
    address_ = test::Object(test::Get(payment_.get(), u"BankSrc"));
  }
  IDispatch* Of(Target target) {
    IDispatch* const objects[] = {manager_.get(), payment_.get(), setting_.get(), address_.get()};
    return objects[static_cast<int>(target)];
  }

  ComPtr<IDispatch> manager_;
  ComPtr<IDispatch> payment_;
  ComPtr<IDispatch> setting_;
  ComPtr<IDispatch> address_;
};

// --- GetIDsOfNames ------------------------------------------------------------------

struct NameRow {
  Target target;
  std::vector<std::u16string> names;
  HRESULT expected;
  std::vector<DISPID> dispids;
};

TEST_F(DispatchRules, NamesAreLookedUpWithoutRegardToCase) {
  using enum Target;
  constexpr HRESULT kUnknown = DISP_E_UNKNOWNNAME;
  constexpr DISPID kNone = DISPID_UNKNOWN;
  const NameRow rows[] = {
      {kManager, {u"NewPayment"}, S_OK, {1}}, {kManager, {u"writefile"}, S_OK, {2}},
      {kManager, {u"SETTING"}, S_OK, {3}}, {kManager, {u"get_Setting"}, S_OK, {3}},
      {kManager, {u"CheckPostNr"}, S_OK, {4}}, {kManager, {u"checkibannr"}, S_OK, {5}},
      {kManager, {u"put_Setting"}, kUnknown, {kNone}}, {kManager, {u"get_NewPayment"}, kUnknown, {kNone}},
      {kManager, {u"pVal"}, kUnknown, {kNone}},
      // Further names are looked up in the same table, not as parameter names.
      {kManager, {u"WriteFile", u"CheckPostNr"}, S_OK, {2, 4}},
      {kManager, {u"WriteFile", u"FileName"}, kUnknown, {2, kNone}}, {kPayment, {u"amount"}, S_OK, {7}},
      {kPayment, {u"GET_AMOUNT"}, S_OK, {7}}, {kPayment, {u"Put_Amount"}, S_OK, {7}},
      {kPayment, {u"IsSalary"}, S_OK, {2}}, {kPayment, {u"Date"}, S_OK, {11}}, {kPayment, {u"get_Receiver"}, S_OK, {6}},
      {kPayment, {u"put_Receiver"}, kUnknown, {kNone}}, {kPayment, {u"PVAL"}, S_OK, {0}},
      {kPayment, {u"Amount", u"pVal"}, S_OK, {7, 0}}, {kPayment, {u"Amounts"}, kUnknown, {kNone}},
      {kPayment, {u""}, kUnknown, {kNone}}, {kSetting, {u"Sender"}, S_OK, {1}},
      {kSetting, {u"put_Sender"}, kUnknown, {kNone}}, {kSetting, {u"dtaid_sender"}, S_OK, {5}},
      {kSetting, {u"CostCurrency"}, S_OK, {6}}, {kAddress, {u"City"}, S_OK, {3}}, {kAddress, {u"Street"}, S_OK, {4}},
      {kAddress, {u"put_ID"}, S_OK, {6}}, {kAddress, {u"bic"}, S_OK, {7}}, {kAddress, {u"Name3"}, kUnknown, {kNone}},
      // The structured parts of IPayAddress2 on the same address object.
      {kAddress, {u"StreetName"}, S_OK, {8}}, {kAddress, {u"buildingnumber"}, S_OK, {9}},
      {kAddress, {u"get_PostCode"}, S_OK, {10}}, {kAddress, {u"PUT_TOWN"}, S_OK, {11}},
      {kAddress, {u"Country"}, S_OK, {12}}, {kAddress, {u"Country", u"pVal", u"Town"}, S_OK, {12, 0, 11}},
      {kAddress, {u"Street Name"}, kUnknown, {kNone}}, {kAddress, {u"Countries"}, kUnknown, {kNone}},
      // No name list: a null pointer, not a bad argument, and the DISPID is left alone.
      {kManager, {}, E_POINTER, {999}}, {kAddress, {}, E_POINTER, {999}},
  };
  for (const NameRow& row : rows) {
    SCOPED_TRACE(row.names.empty() ? "(null)" : Utf16ToUtf8(row.names[0]));
    std::vector<std::u16string> names = row.names;
    std::vector<LPOLESTR> pointers;
    for (std::u16string& name : names) pointers.push_back(name.data());
    std::vector<DISPID> dispids(row.dispids.size(), 999);
    EXPECT_EQ(row.expected, Of(row.target)->GetIDsOfNames(IID_NULL, names.empty() ? nullptr : pointers.data(),
                                                          static_cast<UINT>(dispids.size()), 1033, dispids.data()));
    EXPECT_EQ(row.dispids, dispids);
  }
}

// --- Invoke ---------------------------------------------------------------------------

enum class Arg { kText, kFileName, kNumberText, kNotANumber, kI2One, kI4, kNoFileType, kBool, kR8 };

// `folder` holds the file a WriteFile row names, so a row that writes after all leaves its
// file in the test's own folder, never in the working directory.
Variant Make(Arg arg, const std::string& folder) {
  switch (arg) {
    case Arg::kText: return test::Text(u"text");
    case Arg::kFileName: return test::Text(Utf8ToUtf16(folder + "/text"));
    case Arg::kNumberText: return test::Text(u"12.5");
    case Arg::kNotANumber: return test::Text(u"twelve");
    case Arg::kI2One: return test::I2(1);
    case Arg::kI4: return test::I4(2);
    case Arg::kNoFileType: return test::I4(7);  // a file type without writer: WriteFile leaves no file
    case Arg::kBool: return test::Bool(VARIANT_TRUE);
    case Arg::kR8: return test::R8(45000.5);
  }
  return {};
}

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kMethod = DISPATCH_METHOD;
constexpr UINT kUntouched = 12345;
constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;

struct InvokeRow {
  const char* rule;
  Target target;
  DISPID member;
  WORD flags;
  std::vector<Arg> args;      // in call order
  std::vector<DISPID> named;  // DISPIDs of named arguments (the first arguments of rgvarg)
  HRESULT expected;
  VARTYPE result_type = VT_EMPTY;  // VT_EMPTY for a failure or no value
  UINT arg_error = kUntouched;
};

TEST_F(DispatchRules, InvokeChecksInOrder) {
  using enum Target;
  using enum Arg;
  const InvokeRow rows[] = {
      {"more arguments than any member takes: manager",
       kManager, 2, kMethod, {kFileName, kI4, kText, kBool, kBool}, {}, DISP_E_BADPARAMCOUNT},
      {"too many arguments come before an unknown DISPID",
       kPayment, 99, kPut, {kText, kText}, {}, DISP_E_BADPARAMCOUNT},
      {"named argument on the manager", kManager, 4, kMethod, {kText}, {0}, DISP_E_NONAMEDARGS},
      {"put marker with a second named argument",
       kManager, 2, kMethod, {kFileName, kI4, kText, kBool}, {DISPID_PROPERTYPUT, 1}, DISP_E_NONAMEDARGS},
      {"named arguments come before an unknown DISPID", kManager, 42, kMethod, {}, {7}, DISP_E_NONAMEDARGS},
      {"the put marker alone is accepted", kManager, 4, kMethod, {kText}, {DISPID_PROPERTYPUT}, S_OK, VT_BOOL},
      {"property interfaces ignore named arguments", kAddress, 1, kPut, {kText}, {5}, S_OK},
      {"manager DISPID 0", kManager, 0, kMethod, {}, {}, DISP_E_MEMBERNOTFOUND},
      {"manager DISPID 6", kManager, 6, kMethod, {}, {}, DISP_E_MEMBERNOTFOUND},
      {"payment has no DISPID 1", kPayment, 1, kGet, {}, {}, DISP_E_MEMBERNOTFOUND},
      {"the pVal DISPID is no member", kSetting, 0, kGet, {}, {}, DISP_E_MEMBERNOTFOUND},
      {"address DISPID 13", kAddress, 13, kGet, {}, {}, DISP_E_MEMBERNOTFOUND},
      {"address DISPID 12 with two arguments", kAddress, 12, kPut, {kText, kText}, {}, DISP_E_BADPARAMCOUNT},
      {"StreetName from a number", kAddress, 8, kPut, {kI4}, {}, S_OK},
      {"Country is a text", kAddress, 12, kGet, {}, {}, S_OK, VT_BSTR},
      {"manager method without its argument", kManager, 1, kMethod, {}, {}, DISP_E_BADPARAMCOUNT},
      {"WriteFile with three arguments", kManager, 2, kMethod, {kFileName, kI4, kText}, {}, DISP_E_BADPARAMCOUNT},
      {"Setting read with an argument", kManager, 3, kGet, {kText}, {}, DISP_E_BADPARAMCOUNT},
      {"the manager ignores the call flags", kManager, 3, kPut, {}, {}, S_OK, VT_DISPATCH},
      {"get with an argument", kPayment, 8, kGet, {kText}, {}, DISP_E_BADPARAMCOUNT},
      {"get wins over put", kPayment, 8, kGet | kPut, {}, {}, S_OK, VT_BSTR},
      {"put without argument", kPayment, 8, kPut, {}, {}, DISP_E_BADPARAMCOUNT},
      {"method flag alone on a property", kPayment, 8, kMethod, {}, {}, DISP_E_MEMBERNOTFOUND},
      {"put-by-reference flag alone", kSetting, 2, kPutRef, {kText}, {}, DISP_E_MEMBERNOTFOUND},
      {"get-only property read whatever the flags", kPayment, 6, kPut, {}, {}, S_OK, VT_DISPATCH},
      {"get-only property with an argument", kSetting, 1, kGet, {kText}, {}, DISP_E_BADPARAMCOUNT},
      {"amount from a text that is no number", kPayment, 7, kPut, {kNotANumber}, {}, DISP_E_TYPEMISMATCH, VT_EMPTY, 0},
      {"enumeration from a text that is no number",
       kManager, 1, kMethod, {kNotANumber}, {}, DISP_E_TYPEMISMATCH, VT_EMPTY, 0},
      {"second of four arguments counts as 2",
       kManager, 2, kMethod, {kFileName, kNotANumber, kText, kBool}, {}, DISP_E_TYPEMISMATCH, VT_EMPTY, 2},
      {"last of four arguments counts as 0",
       kManager, 2, kMethod, {kFileName, kI4, kText, kNotANumber}, {}, DISP_E_TYPEMISMATCH, VT_EMPTY, 0},
      {"flag from a text that is no boolean", kSetting, 4, kPut, {kText}, {}, DISP_E_TYPEMISMATCH, VT_EMPTY, 0},
      {"amount from a number text", kPayment, 7, kPut, {kNumberText}, {}, S_OK},
      {"date from a double", kPayment, 11, kPut, {kR8}, {}, S_OK},
      {"text from a number", kAddress, 2, kPut, {kI4}, {}, S_OK},
      {"NewPayment gives an object", kManager, 1, kMethod, {kI2One}, {}, S_OK, VT_DISPATCH},
      {"CheckIbanNr gives a boolean", kManager, 5, kMethod, {kText}, {}, S_OK, VT_BOOL},
      {"WriteFile gives no value", kManager, 2, kMethod, {kFileName, kNoFileType, kText, kBool}, {}, S_OK},
      {"Amount is currency", kPayment, 7, kGet, {}, {}, S_OK, VT_CY},
      {"Date is a date", kPayment, 11, kGet, {}, {}, S_OK, VT_DATE},
      {"CostCode is a 32-bit integer", kPayment, 10, kGet, {}, {}, S_OK, VT_I4},
      {"IsSalary is a boolean", kSetting, 4, kGet, {}, {}, S_OK, VT_BOOL},
      {"Sender is an object", kSetting, 1, kGet, {}, {}, S_OK, VT_DISPATCH},
      {"BIC is a text", kAddress, 7, kGet, {}, {}, S_OK, VT_BSTR},
  };
  for (const InvokeRow& row : rows) {
    SCOPED_TRACE(row.rule);
    // Named arguments take the low indices of rgvarg; positional ones follow, last first.
    std::vector<Variant> args;
    for (auto arg = row.args.rbegin(); arg != row.args.rend(); ++arg) args.push_back(Make(*arg, dir_.path()));
    std::vector<VARIANT> rgvarg;
    for (const Variant& arg : args) rgvarg.push_back(*arg);
    std::vector<DISPID> named = row.named;
    DISPPARAMS params{rgvarg.data(), named.empty() ? nullptr : named.data(), static_cast<UINT>(rgvarg.size()),
                      static_cast<UINT>(named.size())};
    Variant result;
    UINT arg_error = kUntouched;
    EXPECT_EQ(
        row.expected,
        Of(row.target)->Invoke(row.member, IID_NULL, 1033, row.flags, &params, result.get(), nullptr, &arg_error));
    EXPECT_EQ(row.arg_error, arg_error);
    EXPECT_EQ(row.result_type, result->vt);
  }
}

TEST_F(DispatchRules, FlagsReadBackAsAutomationTrueWhateverTrueValueWasPut) {
  for (Target target : {Target::kPayment, Target::kSetting}) {
    for (Arg value : {Arg::kI2One, Arg::kI4, Arg::kBool}) {
      test::Put(Of(target), u"IsSalary", Make(value, dir_.path()));
      const Variant read = test::Get(Of(target), u"IsSalary");
      EXPECT_EQ(VT_BOOL, read->vt);
      EXPECT_EQ(VARIANT_TRUE, read->boolVal);
    }
  }
}

TEST_F(DispatchRules, ValuesRoundTripWithTheirConversions) {
  test::Put(payment_.get(), u"Amount", test::Text(u"-12.3456"));
  EXPECT_EQ(-123456, test::Get(payment_.get(), u"Amount")->cyVal.int64);
  test::Put(payment_.get(), u"CostCode", test::I2(7));
  EXPECT_EQ(7, test::Get(payment_.get(), u"CostCode")->lVal);
  test::Put(address_.get(), u"Name1", test::R8(2.5));
  EXPECT_EQ(u"2.5", test::Get(address_.get(), u"Name1").text());
  // Views handed out late-bound reach the same records as each other.
  test::Put(test::Object(test::Get(payment_.get(), u"BankSrc")).get(), u"City", test::Text(u"Bern"));
  EXPECT_EQ(u"Bern", test::Get(address_.get(), u"City").text());
  EXPECT_EQ(u"", test::Get(address_.get(), u"Street").text());
}

TEST_F(DispatchRules, EachClassSupportsErrorInformationForItsOwnInterfacesOnly) {
  const struct {
    Target target;
    const IID* own;
  } rows[] = {{Target::kManager, &IID_IPayManager},   {Target::kPayment, &IID_IPayment},
              {Target::kSetting, &IID_IPaySetting},   {Target::kAddress, &IID_IPayAddress},
              {Target::kAddress, &IID_IPayAddress2}};
  for (const auto& row : rows) {
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, Of(row.target)->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.put())));
    for (const auto& other : rows) {
      EXPECT_EQ(other.target == row.target ? S_OK : S_FALSE, support->InterfaceSupportsErrorInfo(*other.own));
    }
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
  }
}

// The address object answers both address interfaces with one pointer, its type information
// is that of the newer one, and the other objects offer neither.
TEST_F(DispatchRules, TheAddressObjectAnswersBothAddressInterfacesWithOnePointer) {
  for (const IID* iid : {&IID_IPayAddress, &IID_IPayAddress2}) {
    for (Target target : {Target::kManager, Target::kPayment, Target::kSetting, Target::kAddress}) {
      void* address = nullptr;
      const bool offered = target == Target::kAddress;
      EXPECT_EQ(offered ? S_OK : E_NOINTERFACE, Of(target)->QueryInterface(*iid, &address));
      EXPECT_EQ(offered ? static_cast<void*>(address_.get()) : nullptr, address);
      if (address != nullptr) static_cast<IUnknown*>(address)->Release();
    }
  }
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, address_->GetTypeInfo(0, 1033, info.put()));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_TRUE(attributes->guid == IID_IPayAddress2);
  info->ReleaseTypeAttr(attributes);
}

TEST_F(DispatchRules, StructuredPartsRoundTripLateBoundAndEarlyBound) {
  // Best fit of code page 1252, as every other text property.
  const std::pair<const char16_t*, const char16_t*> rows[] = {
      {u"StreetName", u"Rue du Rh\u00F4ne"}, {u"BuildingNumber", u"12a"}, {u"PostCode", u"\u0141-1234"},
      {u"Town", u"Gen\u00E8ve \U0001F600"}, {u"Country", u"ch"}};
  for (const auto& [name, put] : rows) test::Put(address_.get(), name, test::Text(put));
  const char16_t* const read_back[] = {u"Rue du Rh\u00F4ne", u"12a", u"L-1234", u"Gen\u00E8ve ?", u"ch"};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(read_back[i], test::Get(address_.get(), rows[i].first).text());
  }
  // The same parts through the vtable, and an empty text clears a part.
  ComPtr<IPayAddress2> early;
  ASSERT_EQ(S_OK, address_->QueryInterface(IID_IPayAddress2, reinterpret_cast<void**>(early.put())));
  test::Bstr town;
  ASSERT_EQ(S_OK, early->get_Town(town.put()));
  EXPECT_EQ(u"Gen\u00E8ve ?", town.str());
  ASSERT_EQ(S_OK, early->put_Town(nullptr));
  EXPECT_EQ(u"", test::Get(address_.get(), u"Town").text());
  EXPECT_EQ(u"ch", test::Get(address_.get(), u"Country").text());
  // The old texts are untouched by the parts, and the other addresses of the payment too.
  EXPECT_EQ(u"", test::Get(address_.get(), u"Street").text());
  EXPECT_EQ(u"", test::Get(test::Object(test::Get(payment_.get(), u"Receiver")).get(), u"StreetName").text());
  EXPECT_EQ(u"", test::Get(test::Object(test::Get(setting_.get(), u"Sender")).get(), u"Country").text());
}

// Every object: a null parameter block is a bad VARIANT type; one type information, given
// only while the type library is registered; class information from the manager alone.
TEST_F(DispatchRules, TypeAndClassInformation) {
  for (Target target : {Target::kManager, Target::kPayment, Target::kSetting, Target::kAddress}) {
    Variant result;
    EXPECT_EQ(DISP_E_BADVARTYPE, Of(target)->Invoke(1, IID_NULL, 1033, kGet, nullptr, result.get(), nullptr, nullptr));
    UINT count = 7;
    EXPECT_EQ(S_OK, Of(target)->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(DISP_E_BADINDEX, Of(target)->GetTypeInfo(1, 1033, info.put()));
    EXPECT_EQ(S_OK, Of(target)->GetTypeInfo(0, 1033, info.put()));
    EXPECT_TRUE(info);
    ComPtr<IProvideClassInfo> provide;
    EXPECT_EQ(target == Target::kManager ? S_OK : E_NOINTERFACE,
              Of(target)->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(provide.put())));
  }
  ComPtr<IProvideClassInfo> provide;
  ASSERT_EQ(S_OK, manager_->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(provide.put())));
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, provide->GetClassInfo(info.put()));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  EXPECT_TRUE(attributes->guid == CLSID_PayManager);
  EXPECT_NE(0, attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
  info->ReleaseTypeAttr(attributes);

  ASSERT_EQ(0, RegDeleteTreeW(HKEY_CLASSES_ROOT, u"TypeLib\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}"));
  UINT count = 7;
  EXPECT_EQ(S_OK, manager_->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, manager_->GetTypeInfo(0, 1033, info.put()));
}

}  // namespace
}  // namespace ordexa
