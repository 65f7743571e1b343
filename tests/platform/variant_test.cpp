// Tests of VARIANT handling: the layout, clearing and copying (ownership of strings and
// interfaces), dereferencing, and the order of VariantChangeType's checks. Origins of
// expected values as in variant_conversion_test.cpp ([W], [D], [R]).
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "oleauto.h"
#include "platform/variant_test_support.h"

namespace ordexa::test {
namespace {

// The layout clients compiled against the Windows headers rely on. [D]
static_assert(offsetof(VARIANT, vt) == 0);
static_assert(offsetof(VARIANT, llVal) == 8 && offsetof(VARIANT, bstrVal) == 8 && offsetof(VARIANT, pRecInfo) == 16);
static_assert(offsetof(VARIANT, decVal) == 0 && sizeof(VARIANT) == 24);
static_assert(offsetof(DECIMAL, scale) == 2 && offsetof(DECIMAL, sign) == 3 && offsetof(DECIMAL, Hi32) == 4 &&
              offsetof(DECIMAL, Lo32) == 8 && offsetof(DECIMAL, Mid32) == 12 && offsetof(DECIMAL, Lo64) == 8);
static_assert(sizeof(CY) == 8 && offsetof(CY, Lo) == 0 && offsetof(CY, Hi) == 4);

// An object that counts its references and answers its value property with `value_`.
class CountedObject : public IDispatch {
 public:
  explicit CountedObject(VARIANT value, HRESULT answer = S_OK) : value_(value), answer_(answer) {}
  ~CountedObject() { VariantClear(&value_); }
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || (riid == IID_IDispatch && dispatch_)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  std::uint32_t AddRef() override { return ++references_; }
  std::uint32_t Release() override { return --references_; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                 UINT*) override {
    if (member != DISPID_VALUE || flags != DISPATCH_PROPERTYGET || params == nullptr || params->cArgs != 0) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (FAILED(answer_)) return answer_;
    return VariantCopy(result, &value_);
  }

  std::uint32_t references() const { return references_; }
  void set_value(VARIANT value) { value_ = value; }
  void refuse_dispatch() { dispatch_ = false; }

 private:
  VARIANT value_;
  HRESULT answer_;
  std::uint32_t references_ = 1;
  bool dispatch_ = true;
};

VARIANT Object(VARTYPE vt, IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  v.pdispVal = object;
  return v;
}

VARIANT ByRef(VARTYPE vt, void* target) {
  VARIANT v;
  VariantInit(&v);
  v.vt = static_cast<VARTYPE>(vt | VT_BYREF);
  v.byref = target;
  return v;
}

std::string ConvertVariant(const VARIANT& from, VARTYPE type, USHORT flags = 0) {
  VARIANT to;
  VariantInit(&to);
  const HRESULT hr = VariantChangeType(&to, &from, flags, type);
  const std::string result = hr == S_OK ? Describe(to) : HresultName(hr);
  VariantClear(&to);
  return result;
}

TEST(VariantChangeType, ChecksTypesBeforeReferencesBeforeValues) {
  VARIANT dangling = ByRef(VT_I4, nullptr);
  VARIANT empty_ref = ByRef(VT_EMPTY, nullptr);
  VARIANT text = Make(Str(u"12"));
  VARIANT unused_type = Make(I4(1));
  unused_type.vt = 15;
  VARIANT array = Make(I4(1));
  array.vt = VT_ARRAY | VT_I4;
  VARIANT vector = Make(I4(1));
  vector.vt = VT_VECTOR | VT_I4;
  const struct {
    const VARIANT* source;
    VARTYPE type;
    const char* expected;
  } cases[] = {
      {&text, VT_CLSID, "DISP_E_BADVARTYPE"},           // [D] step 1
      {&text, 15, "DISP_E_BADVARTYPE"},                 // [D]
      {&text, VT_VOID, "DISP_E_BADVARTYPE"},            // [D]
      {&text, VT_ARRAY | VT_I4, "DISP_E_BADVARTYPE"},   // [R] arrays are refused
      {&unused_type, VT_I4, "DISP_E_BADVARTYPE"},       // [D]
      {&array, VT_I4, "DISP_E_BADVARTYPE"},             // [R]
      {&vector, VT_I4, "DISP_E_BADVARTYPE"},            // [D]
      {&empty_ref, VT_I4, "DISP_E_BADVARTYPE"},         // [D] VT_BYREF|VT_EMPTY is invalid even before its pointer
      {&dangling, VT_CLSID, "DISP_E_BADVARTYPE"},       // [D] the type check comes first
      {&dangling, VT_I4, "DISP_E_TYPEMISMATCH"},        // [D] step 2
      {&text, VT_I4 | VT_BYREF, "DISP_E_TYPEMISMATCH"}, // [D] no conversion to a reference
      {&text, VT_VARIANT, "DISP_E_TYPEMISMATCH"},       // [R]
      {&text, VT_I4, "I4 12"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, ConvertVariant(*c.source, c.type)) << c.source->vt << " to " << c.type;
  VariantClear(&text);
}

TEST(VariantChangeType, DereferencesEveryTypeOneLevel) {
  // Every reference is read as the value it points to. [D] step 3
  const std::pair<Source, const char*> cases[] = {
      {I1(-5), "BSTR -5"}, {I2(-300), "BSTR -300"}, {I4(70000), "BSTR 70000"}, {I8(-5000000000), "BSTR -5000000000"},
      {UI1(200), "BSTR 200"}, {UI2(60000), "BSTR 60000"}, {UI4(4000000000), "BSTR 4000000000"},
      {UI8(static_cast<std::int64_t>(10000000000000000000u)), "BSTR 10000000000000000000"}, {Int(-9), "BSTR -9"},
      {{VT_UINT, 9}, "BSTR 9"}, {R4(0.25), "BSTR 0.25"}, {R8(2.5), "BSTR 2.5"}, {Cy(15000), "BSTR 1.5"},
      {Date(365.0), "BSTR 12/30/1900"}, {Bool(-1), "BSTR -1"}, {Str(u"Lohn"), "BSTR Lohn"}, {Dec(125, 2), "BSTR 1.25"},
  };
  for (const auto& [source, expected] : cases) {
    VARIANT target = Make(source);
    const std::string before = Describe(target);
    void* const payload = source.vt == VT_DECIMAL ? static_cast<void*>(&target.decVal) : &target.llVal;
    EXPECT_EQ(expected, ConvertVariant(ByRef(source.vt, payload), VT_BSTR)) << before;
    EXPECT_EQ(before, Describe(target)) << "the reference stays the caller's: nothing was freed or changed";
    VariantClear(&target);
  }
  // A reference inside a VT_VARIANT reference is followed [W]; a VT_VARIANT reference to
  // another VT_VARIANT reference is not. [W]
  LONG i4 = 70000;
  VARIANT inner = Make(Str(u"inner"));
  VARIANT inner_ref = ByRef(VT_I4, &i4);
  VARIANT outer_ref = ByRef(VT_VARIANT, &inner);
  EXPECT_EQ("BSTR inner", ConvertVariant(ByRef(VT_VARIANT, &inner), VT_BSTR));
  EXPECT_EQ("BSTR 70000", ConvertVariant(ByRef(VT_VARIANT, &inner_ref), VT_BSTR));
  EXPECT_EQ("E_INVALIDARG", ConvertVariant(ByRef(VT_VARIANT, &outer_ref), VT_BSTR));
  EXPECT_EQ("BSTR inner", Describe(inner));
  VariantClear(&inner);
}

TEST(VariantChangeType, ReplacesTheDestinationOnlyOnSuccess) {
  // In place: the text is freed and replaced by the number. [D] step 6
  VARIANT value = Make(Str(u"  42 "));
  ASSERT_EQ(S_OK, VariantChangeType(&value, &value, 0, VT_I4));
  EXPECT_EQ("I4 42", Describe(value));

  // A failed conversion leaves the destination as it was, string included. [D]
  VARIANT destination = Make(Str(u"keep"));
  VARIANT bad = Make(Str(u"4x"));
  EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(&destination, &bad, 0, VT_I4));
  EXPECT_EQ("BSTR keep", Describe(destination));
  // A successful one frees what the destination held (no leak under the address sanitizer).
  VARIANT good = Make(Str(u"7"));
  EXPECT_EQ(S_OK, VariantChangeType(&destination, &good, 0, VT_CY));
  EXPECT_EQ("CY 70000", Describe(destination));

  // A destination of an unknown type cannot be cleared, so nothing is written. [D]
  VARIANT garbage = Make(I4(1));
  garbage.vt = 0x7777;
  EXPECT_EQ(DISP_E_BADVARTYPE, VariantChangeType(&garbage, &good, 0, VT_I4));
  EXPECT_EQ(0x7777, garbage.vt);
  VariantClear(&bad);
  VariantClear(&good);
}

TEST(VariantClear, FreesWhatTheVariantOwnsAndNothingElse) {
  // A BSTR is freed: the address sanitizer reports a leak if it is not. [D]
  VARIANT text = Make(Str(u"Zahlung"));
  EXPECT_EQ(S_OK, VariantClear(&text));
  EXPECT_EQ(VT_EMPTY, text.vt);

  // An interface is released once; a null interface is skipped. [D]
  CountedObject object(Make(Empty()));
  VARIANT held = Object(VT_DISPATCH, &object);
  object.AddRef();
  EXPECT_EQ(S_OK, VariantClear(&held));
  EXPECT_EQ(1u, object.references());
  VARIANT none = Object(VT_UNKNOWN, nullptr);
  EXPECT_EQ(S_OK, VariantClear(&none));

  // What a reference points to belongs to someone else. [D]
  BSTR caller_text = SysAllocString(u"caller");
  VARIANT reference = ByRef(VT_BSTR, &caller_text);
  EXPECT_EQ(S_OK, VariantClear(&reference));
  EXPECT_EQ(VT_EMPTY, reference.vt);
  EXPECT_EQ(u"caller", std::u16string(caller_text));
  SysFreeString(caller_text);

  // An unknown type is refused and left as it was. [D]
  VARIANT unknown = Make(I4(3));
  unknown.vt = 15;
  EXPECT_EQ(DISP_E_BADVARTYPE, VariantClear(&unknown));
  EXPECT_EQ(15, unknown.vt);
  EXPECT_EQ(E_INVALIDARG, VariantClear(nullptr));
}

TEST(VariantCopy, CopiesStringsDeeplyAndInterfacesCounted) {
  const char16_t with_nul[] = {u'a', u'\0', u'b'};
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocStringLen(with_nul, 3);
  VARIANT copy = Make(Str(u"old"));  // cleared first: no leak
  ASSERT_EQ(S_OK, VariantCopy(&copy, &source));
  EXPECT_NE(source.bstrVal, copy.bstrVal);
  VariantClear(&source);  // the copy outlives its source
  EXPECT_EQ(std::u16string(with_nul, 3), std::u16string(copy.bstrVal, SysStringLen(copy.bstrVal)));
  EXPECT_EQ(S_OK, VariantCopy(&copy, &copy));  // onto itself: nothing happens [D]
  EXPECT_EQ(3u, SysStringLen(copy.bstrVal));
  VariantClear(&copy);

  CountedObject object(Make(Empty()));
  VARIANT held = Object(VT_UNKNOWN, &object);
  VARIANT second;
  VariantInit(&second);
  ASSERT_EQ(S_OK, VariantCopy(&second, &held));
  EXPECT_EQ(2u, object.references());
  VariantClear(&second);
  EXPECT_EQ(1u, object.references());

  VARIANT clsid = Make(I4(0));
  clsid.vt = VT_CLSID;
  EXPECT_EQ(DISP_E_BADVARTYPE, VariantCopy(&second, &clsid));  // [D]
}

TEST(VariantCopyInd, CopiesTheValueBehindAReference) {
  BSTR text = SysAllocString(u"Lohn");
  VARIANT reference = ByRef(VT_BSTR, &text);
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(S_OK, VariantCopyInd(&copy, &reference));
  EXPECT_EQ("BSTR Lohn", Describe(copy));
  EXPECT_NE(text, copy.bstrVal);
  VariantClear(&copy);

  // In place, the reference becomes the value. [D]
  LONG number = 12;
  VARIANT in_place = ByRef(VT_I4, &number);
  ASSERT_EQ(S_OK, VariantCopyInd(&in_place, &in_place));
  EXPECT_EQ("I4 12", Describe(in_place));

  // Invalid references: E_INVALIDARG. [D]; a null one too, rather than reading it. [R]
  VARIANT to_empty = ByRef(VT_EMPTY, &number);
  VARIANT dangling = ByRef(VT_I4, nullptr);
  EXPECT_EQ(E_INVALIDARG, VariantCopyInd(&copy, &to_empty));
  EXPECT_EQ(E_INVALIDARG, VariantCopyInd(&copy, &dangling));
  SysFreeString(text);
}

TEST(VariantChangeType, ReadsAnObjectThroughItsValueProperty) {
  CountedObject object(Make(Str(u"42")));
  VARIANT held = Object(VT_DISPATCH, &object);
  EXPECT_EQ("I4 42", ConvertVariant(held, VT_I4));                          // [D]
  EXPECT_EQ("BSTR 42", ConvertVariant(held, VT_BSTR));                      // [D]
  EXPECT_EQ("DISP_E_TYPEMISMATCH", ConvertVariant(held, VT_I4, VARIANT_NOVALUEPROP));  // [D]
  EXPECT_EQ("EMPTY", ConvertVariant(held, VT_EMPTY));                       // [D]
  EXPECT_EQ("DISP_E_BADVARTYPE", ConvertVariant(Object(VT_DISPATCH, nullptr), VT_I4));  // [D]
  EXPECT_EQ(1u, object.references());

  CountedObject failing(Make(Empty()), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ("DISP_E_TYPEMISMATCH", ConvertVariant(Object(VT_DISPATCH, &failing), VT_I4));  // [D]

  // An object whose value is itself cannot loop for ever. [R]
  CountedObject itself(Make(Empty()));
  VARIANT self = Object(VT_DISPATCH, &itself);
  itself.set_value(self);
  itself.AddRef();  // the reference its own value holds
  EXPECT_EQ("DISP_E_TYPEMISMATCH", ConvertVariant(self, VT_I4));
  EXPECT_EQ(2u, itself.references());
  itself.set_value(Make(Empty()));
  itself.Release();

  // Between VT_UNKNOWN and VT_DISPATCH by QueryInterface, which counts a reference. [D]
  VARIANT unknown = Object(VT_UNKNOWN, &object);
  VARIANT as_dispatch;
  VariantInit(&as_dispatch);
  ASSERT_EQ(S_OK, VariantChangeType(&as_dispatch, &unknown, 0, VT_DISPATCH));
  EXPECT_EQ(VT_DISPATCH, as_dispatch.vt);
  EXPECT_EQ(2u, object.references());
  VariantClear(&as_dispatch);
  object.refuse_dispatch();
  EXPECT_EQ("E_NOINTERFACE", ConvertVariant(unknown, VT_DISPATCH));
  EXPECT_EQ("vt 9", ConvertVariant(Object(VT_UNKNOWN, nullptr), VT_DISPATCH));
  EXPECT_EQ("DISP_E_TYPEMISMATCH", ConvertVariant(unknown, VT_I4));
  EXPECT_EQ(1u, object.references());
}

}  // namespace
}  // namespace ordexa::test
