// A member that fails under Invoke: its result is Invoke's result, and the caller's
// exception information holds it together with the thread's error information, if any.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "com/dispatch.h"
#include "com/member_table.h"
#include "support/bstr.h"

namespace ordexa {
namespace {

constexpr HRESULT kFailure = E_OUTOFMEMORY;
constexpr HRESULT kRefused = static_cast<HRESULT>(0x800407D4);

void SetThreadErrorInfo(const char16_t* source, const char16_t* description, const char16_t* help_file, DWORD context) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(S_OK, CreateErrorInfo(&create));
  create->SetSource(const_cast<LPOLESTR>(source));
  create->SetDescription(const_cast<LPOLESTR>(description));
  create->SetHelpFile(const_cast<LPOLESTR>(help_file));
  create->SetHelpContext(context);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(S_OK, create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)));
  create->Release();
  ASSERT_EQ(S_OK, SetErrorInfo(0, info));
  info->Release();
}

// IPayment's members, every slot behaving as `slot` does.
template <SlotThunk slot>
const DispatchInterface& PaymentWith() {
  static const std::array<SlotThunk, std::size(kPaymentMembers)> slots = [] {
    std::array<SlotThunk, std::size(kPaymentMembers)> all{};
    all.fill(slot);
    return all;
  }();
  static const DispatchInterface payment{&kInterfaces[kPaymentInterface], slots};
  return payment;
}
HRESULT Failing(IDispatch*, VARIANT*, VARIANT*) { return kFailure; }
HRESULT Succeeding(IDispatch*, VARIANT*, VARIANT*) { return S_OK; }
// Explains its failure with error information of its own.
HRESULT Explaining(IDispatch*, VARIANT*, VARIANT*) {
  SetThreadErrorInfo(u"Veltrano.PayManager", u"Die Datei kann nicht geschrieben werden.", u"", 0);
  return kRefused;
}

std::u16string Take(BSTR& text) {
  test::Bstr owner;
  *owner.put() = text;
  text = nullptr;
  return owner.str();
}

// The description of the thread's error information, taken; "(none)" without one.
std::u16string TakeThreadDescription() {
  IErrorInfo* left = nullptr;
  if (GetErrorInfo(0, &left) != S_OK || left == nullptr) return u"(none)";
  test::Bstr description;
  left->GetDescription(description.put());
  left->Release();
  return description.str();
}

TEST(ExceptionInfo, HoldsTheMembersFailureWithTheThreadsErrorInformation) {
  const struct {
    const char* rule;
    const DispatchInterface& payment;
    bool info_before;  // error information left on the thread before the call
    bool with_block;   // the caller passes an EXCEPINFO
    DISPID member;
    HRESULT result;
    HRESULT scode;  // 7: the block left alone
    const char16_t* description;
    const char16_t* left_on_thread;
  } rows[] = {
      {"a plain failure", PaymentWith<Failing>(), false, true, 8, kFailure, kFailure, u"", u"(none)"},
      {"the thread's information is taken", PaymentWith<Failing>(), true, true, 8, kFailure, kFailure, u"before",
       u"(none)"},
      {"without a block it stays", PaymentWith<Failing>(), true, false, 8, kFailure, 7, u"", u"before"},
      // Error information from before does not count as the member's own explanation.
      {"an explained failure is an exception", PaymentWith<Explaining>(), true, true, 8, DISP_E_EXCEPTION, kRefused,
       u"Die Datei kann nicht geschrieben werden.", u"(none)"},
      {"without a block it is the member's status", PaymentWith<Explaining>(), false, false, 8, kRefused, 7, u"",
       u"Die Datei kann nicht geschrieben werden."},
      {"a success leaves it with the thread", PaymentWith<Succeeding>(), true, true, 8, S_OK, 7, u"", u"before"},
      {"checks before the call leave the block alone", PaymentWith<Failing>(), false, true, 12, DISP_E_MEMBERNOTFOUND,
       7, u"", u"(none)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    SetErrorInfo(0, nullptr);
    if (row.info_before) SetThreadErrorInfo(u"Veltrano.PayManager", u"before", u"ordexa.chm", 42);
    // A block the call fills in starts as garbage; one it must leave alone, as zeros.
    EXCEPINFO exception;
    std::memset(&exception, row.scode == 7 ? 0 : 0xAB, sizeof exception);
    exception.scode = 7;
    VARIANT reason;
    VariantInit(&reason);
    DISPPARAMS params{&reason, nullptr, 1, 0};
    EXPECT_EQ(row.result, InvokeMember(row.payment, nullptr, row.member, DISPATCH_PROPERTYPUT, &params, nullptr,
                                       row.with_block ? &exception : nullptr, nullptr));
    EXPECT_EQ(row.scode, exception.scode);
    EXPECT_EQ(0, exception.wCode);
    EXPECT_EQ(nullptr, exception.pfnDeferredFillIn);
    const std::u16string description = Take(exception.bstrDescription);
    EXPECT_EQ(row.description, description);
    EXPECT_EQ(description.empty() ? u"" : u"Veltrano.PayManager", Take(exception.bstrSource));
    EXPECT_EQ(row.description == std::u16string(u"before") ? u"ordexa.chm" : u"", Take(exception.bstrHelpFile));
    EXPECT_EQ(row.description == std::u16string(u"before") ? 42u : 0u, exception.dwHelpContext);
    EXPECT_EQ(row.left_on_thread, TakeThreadDescription());
  }
}

}  // namespace
}  // namespace ordexa
