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

HRESULT FailingSlot(IDispatch*, VARIANT*, VARIANT*) { return kFailure; }

// IPayment's members, every slot failing.
std::array<SlotThunk, std::size(kPaymentMembers)> kFailingSlots = [] {
  std::array<SlotThunk, std::size(kPaymentMembers)> slots{};
  slots.fill(&FailingSlot);
  return slots;
}();
const DispatchInterface kFailingPayment{&kInterfaces[kPaymentInterface], kFailingSlots};

HRESULT PutReason(EXCEPINFO* exception, const DispatchInterface& payment = kFailingPayment) {
  VARIANT reason;
  VariantInit(&reason);
  DISPPARAMS params{&reason, nullptr, 1, 0};
  return InvokeMember(payment, nullptr, 8, DISPATCH_PROPERTYPUT, &params, nullptr, exception, nullptr);
}

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

std::u16string Take(BSTR& text) {
  test::Bstr owner;
  *owner.put() = text;
  text = nullptr;
  return owner.str();
}

TEST(ExceptionInfo, HoldsTheFailureAndNoDeferredFillIn) {
  EXCEPINFO exception;
  std::memset(&exception, 0xAB, sizeof exception);
  EXPECT_EQ(kFailure, PutReason(&exception));
  EXPECT_EQ(kFailure, exception.scode);
  EXPECT_EQ(0, exception.wCode);
  EXPECT_EQ(nullptr, exception.pfnDeferredFillIn);
  EXPECT_EQ(nullptr, exception.bstrSource);
  EXPECT_EQ(nullptr, exception.bstrDescription);
  EXPECT_EQ(nullptr, exception.bstrHelpFile);
  EXPECT_EQ(0u, exception.dwHelpContext);
}

TEST(ExceptionInfo, TakesTheThreadsErrorInformation) {
  SetThreadErrorInfo(u"Veltrano.PayManager", u"Kein Speicher", u"ordexa.chm", 42);
  EXCEPINFO exception{};
  EXPECT_EQ(kFailure, PutReason(&exception));
  EXPECT_EQ(kFailure, exception.scode);
  EXPECT_EQ(u"Veltrano.PayManager", Take(exception.bstrSource));
  EXPECT_EQ(u"Kein Speicher", Take(exception.bstrDescription));
  EXPECT_EQ(u"ordexa.chm", Take(exception.bstrHelpFile));
  EXPECT_EQ(42u, exception.dwHelpContext);
  // The thread's error information was taken, as GetErrorInfo does.
  IErrorInfo* left = nullptr;
  EXPECT_EQ(S_FALSE, GetErrorInfo(0, &left));
  EXPECT_EQ(nullptr, left);
}

TEST(ExceptionInfo, WithoutABlockTheFailureIsStillTheResultAndErrorInformationStays) {
  SetThreadErrorInfo(u"source", u"description", u"", 0);
  EXPECT_EQ(kFailure, PutReason(nullptr));
  IErrorInfo* left = nullptr;
  EXPECT_EQ(S_OK, GetErrorInfo(0, &left));
  ASSERT_NE(nullptr, left);
  left->Release();
}

// IPayment's members, every slot explaining its failure with error information of its own.
constexpr HRESULT kRefused = static_cast<HRESULT>(0x800407D4);
HRESULT ExplainingSlot(IDispatch*, VARIANT*, VARIANT*) {
  SetThreadErrorInfo(u"Veltrano.PayManager", u"Die Datei kann nicht geschrieben werden.", u"", 0);
  return kRefused;
}
std::array<SlotThunk, std::size(kPaymentMembers)> kExplainingSlots = [] {
  std::array<SlotThunk, std::size(kPaymentMembers)> slots{};
  slots.fill(&ExplainingSlot);
  return slots;
}();
const DispatchInterface kExplainingPayment{&kInterfaces[kPaymentInterface], kExplainingSlots};

TEST(ExceptionInfo, AMemberThatExplainsItsFailureRaisesAnException) {
  // Error information left from before does not count as the member's.
  SetThreadErrorInfo(u"old", u"stale", u"", 0);
  EXCEPINFO exception{};
  EXPECT_EQ(DISP_E_EXCEPTION, PutReason(&exception, kExplainingPayment));
  EXPECT_EQ(kRefused, exception.scode);
  EXPECT_EQ(0, exception.wCode);
  EXPECT_EQ(u"Veltrano.PayManager", Take(exception.bstrSource));
  EXPECT_EQ(u"Die Datei kann nicht geschrieben werden.", Take(exception.bstrDescription));
  Take(exception.bstrHelpFile);
  IErrorInfo* left = nullptr;
  EXPECT_EQ(S_FALSE, GetErrorInfo(0, &left));
}

TEST(ExceptionInfo, WithoutABlockAnExplainedFailureIsTheMembersStatusAndItsInformationStays) {
  EXPECT_EQ(kRefused, PutReason(nullptr, kExplainingPayment));
  IErrorInfo* left = nullptr;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &left));
  ASSERT_NE(nullptr, left);
  test::Bstr description;
  left->GetDescription(description.put());
  EXPECT_EQ(u"Die Datei kann nicht geschrieben werden.", description.str());
  left->Release();
}

TEST(ExceptionInfo, ErrorInformationFromBeforeStaysWithTheThreadWhenTheMemberSucceeds) {
  SetThreadErrorInfo(u"source", u"from before", u"", 0);
  VARIANT reason;
  VariantInit(&reason);
  DISPPARAMS params{&reason, nullptr, 1, 0};
  const auto succeeding = [](IDispatch*, VARIANT*, VARIANT*) -> HRESULT { return S_OK; };
  std::array<SlotThunk, std::size(kPaymentMembers)> slots{};
  slots.fill(+succeeding);
  const DispatchInterface payment{&kInterfaces[kPaymentInterface], slots};
  EXCEPINFO exception{};
  EXPECT_EQ(S_OK, InvokeMember(payment, nullptr, 8, DISPATCH_PROPERTYPUT, &params, nullptr, &exception, nullptr));
  IErrorInfo* left = nullptr;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &left));
  ASSERT_NE(nullptr, left);
  test::Bstr description;
  left->GetDescription(description.put());
  EXPECT_EQ(u"from before", description.str());
  left->Release();
}

TEST(ExceptionInfo, ChecksThatFailBeforeTheCallLeaveTheBlockAlone) {
  EXCEPINFO exception{};
  exception.scode = 7;
  VARIANT value;
  VariantInit(&value);
  DISPPARAMS params{&value, nullptr, 1, 0};
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
            InvokeMember(kFailingPayment, nullptr, 12, DISPATCH_PROPERTYPUT, &params, nullptr, &exception, nullptr));
  EXPECT_EQ(7, exception.scode);
}

}  // namespace
}  // namespace ordexa
