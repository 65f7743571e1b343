// The payment model through its automation interfaces: defaults, conversions of the
// accessors, views onto shared records, record lifetime and the manager's operations.
#include "model/pay_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/bstr.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

using test::Bstr;
using test::GetText;

ComPtr<IPayManager> NewManager() {
  ComPtr<IPayManager> manager;
  EXPECT_EQ(S_OK, CPayManager::CreateInstance(IID_IPayManager, reinterpret_cast<void**>(manager.put())));
  return manager;
}

ComPtr<IPayment> AddPayment(IPayManager* manager, std::int32_t type) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, manager->NewPayment(static_cast<PayTypes>(type), dispatch.put()));
  return dispatch.As<IPayment>(IID_IPayment);
}

ComPtr<IPayAddress> Address(IPayment* payment, HRESULT (IPayment::*get)(IDispatch**)) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, (payment->*get)(dispatch.put()));
  return dispatch.As<IPayAddress>(IID_IPayAddress);
}

ComPtr<IPaySetting> Settings(IPayManager* manager) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, manager->get_Setting(dispatch.put()));
  return dispatch.As<IPaySetting>(IID_IPaySetting);
}

void ExpectEmptyAddress(IPayAddress* address) {
  for (auto get : {&IPayAddress::get_Name1, &IPayAddress::get_Name2, &IPayAddress::get_Street, &IPayAddress::get_City,
                   &IPayAddress::get_ID, &IPayAddress::get_Account, &IPayAddress::get_BIC}) {
    EXPECT_EQ(u"", GetText(address, get));
  }
}

TEST(PayManager, FreshPaymentsHaveTheSameDefaultsForEveryType) {
  auto manager = NewManager();
  for (std::int32_t type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 42, -1}) {
    SCOPED_TRACE(type);
    auto payment = AddPayment(manager.get(), type);
    ASSERT_TRUE(payment);
    CY amount{123};
    DATE date = 1.0;
    VARIANT_BOOL salary = VARIANT_TRUE;
    PayCosts cost = payCostSrc;
    EXPECT_EQ(S_OK, payment->get_Amount(&amount));
    EXPECT_EQ(S_OK, payment->get_Date(&date));
    EXPECT_EQ(S_OK, payment->get_IsSalary(&salary));
    EXPECT_EQ(S_OK, payment->get_CostCode(&cost));
    EXPECT_EQ(0, amount.int64);
    EXPECT_EQ(0.0, date);
    EXPECT_EQ(VARIANT_FALSE, salary);
    EXPECT_EQ(payCostBoth, cost);
    EXPECT_EQ(u"", GetText(payment.get(), &IPayment::get_ESR));
    EXPECT_EQ(u"", GetText(payment.get(), &IPayment::get_Reason));
    EXPECT_EQ(u"", GetText(payment.get(), &IPayment::get_Currency));
    ExpectEmptyAddress(Address(payment.get(), &IPayment::get_BankSrc).get());
    ExpectEmptyAddress(Address(payment.get(), &IPayment::get_BankDst).get());
    ExpectEmptyAddress(Address(payment.get(), &IPayment::get_Receiver).get());
  }
  const auto& payments = static_cast<CPayManager*>(manager.get())->batch().payments;
  ASSERT_EQ(12u, payments.size());
  EXPECT_EQ(42, payments[10].type);
}

TEST(PayManager, TextsReachCodePage1252AsTheClientsConversionDoes) {
  struct Case {
    std::u16string put;
    std::u16string read_back;
  };
  const Case cases[] = {
      {u"Z\u00FCrich \u20AC", u"Z\u00FCrich \u20AC"},              // inside the code page
      {u"\u0141ukasz", u"Lukasz"},                                 // best fit
      {u"Pay \U0001F600!", u"Pay ?!"},                             // no fit: one '?' per code point
      {std::u16string(u"before\0after", 12), u"before"},           // cut at the first NUL
      {u"", u""},
      {std::u16string(600, u'\u0141') + u"\u00FC", std::u16string(600, u'L') + u"\u00FC"},  // longer than a line
  };
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payIban);
  auto receiver = Address(payment.get(), &IPayment::get_Receiver);
  for (const Case& c : cases) {
    Bstr text(c.put);
    ASSERT_EQ(S_OK, payment->put_Reason(text));
    ASSERT_EQ(S_OK, receiver->put_City(text));
    EXPECT_EQ(c.read_back, GetText(payment.get(), &IPayment::get_Reason));
    EXPECT_EQ(c.read_back, GetText(receiver.get(), &IPayAddress::get_City));
  }
  ASSERT_EQ(S_OK, payment->put_Currency(nullptr));
  Bstr currency;
  ASSERT_EQ(S_OK, payment->get_Currency(currency.put()));
  EXPECT_FALSE(currency.is_null());  // an empty text comes back as an empty, non-null string
}

TEST(PayManager, ValuesAreStoredAsPassed) {
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payESR15);
  VARIANT_BOOL salary = 0;
  PayCosts cost = payCostSrc;
  CY amount{};
  DATE date = 0;
  ASSERT_EQ(S_OK, payment->put_IsSalary(1));
  ASSERT_EQ(S_OK, payment->put_CostCode(static_cast<PayCosts>(7)));
  ASSERT_EQ(S_OK, payment->put_Amount(CY{-123456}));
  ASSERT_EQ(S_OK, payment->put_Date(-1.25));
  payment->get_IsSalary(&salary);
  payment->get_CostCode(&cost);
  payment->get_Amount(&amount);
  payment->get_Date(&date);
  EXPECT_EQ(VARIANT_TRUE, salary);
  EXPECT_EQ(7, static_cast<int>(cost));
  EXPECT_EQ(-123456, amount.int64);
  EXPECT_EQ(-1.25, date);
}

TEST(PayManager, AddressViewsAreDistinctButShareTheirBlock) {
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payIban);
  auto first = Address(payment.get(), &IPayment::get_BankSrc);
  auto second = Address(payment.get(), &IPayment::get_BankSrc);
  EXPECT_NE(first.get(), second.get());
  ASSERT_EQ(S_OK, first->put_Name1(Bstr(u"Bank A")));
  EXPECT_EQ(u"Bank A", GetText(second.get(), &IPayAddress::get_Name1));
  EXPECT_EQ(u"Bank A", GetText(Address(payment.get(), &IPayment::get_BankSrc).get(), &IPayAddress::get_Name1));

  auto dst = Address(payment.get(), &IPayment::get_BankDst);
  ASSERT_EQ(S_OK, dst->put_City(Bstr(u"8001 Z\u00FCrich")));
  ASSERT_EQ(S_OK, dst->put_ID(Bstr(u"700")));
  EXPECT_EQ(u"", GetText(dst.get(), &IPayAddress::get_Street));
  EXPECT_EQ(u"", GetText(dst.get(), &IPayAddress::get_Account));
  EXPECT_EQ(u"", GetText(first.get(), &IPayAddress::get_City));
  EXPECT_EQ(u"", GetText(Address(payment.get(), &IPayment::get_Receiver).get(), &IPayAddress::get_City));
}

TEST(PayManager, SettingViewsShareTheOneSettingsRecord) {
  auto manager = NewManager();
  auto first = Settings(manager.get());
  auto second = Settings(manager.get());
  EXPECT_NE(first.get(), second.get());
  ASSERT_EQ(S_OK, first->put_DtaID(Bstr(u"ABC12")));
  ASSERT_EQ(S_OK, first->put_IsSalary(1));
  EXPECT_EQ(u"ABC12", GetText(second.get(), &IPaySetting::get_DtaID));
  VARIANT_BOOL salary = 0;
  second->get_IsSalary(&salary);
  EXPECT_EQ(VARIANT_TRUE, salary);
  // The settings' salary flag is not the payments' flag.
  auto payment = AddPayment(manager.get(), payIban);
  payment->get_IsSalary(&salary);
  EXPECT_EQ(VARIANT_FALSE, salary);

  ComPtr<IDispatch> sender_dispatch;
  ASSERT_EQ(S_OK, first->get_Sender(sender_dispatch.put()));
  auto sender = sender_dispatch.As<IPayAddress>(IID_IPayAddress);
  ASSERT_EQ(S_OK, sender->put_Name1(Bstr(u"Muster AG")));
  const PayBatch& batch = static_cast<CPayManager*>(manager.get())->batch();
  EXPECT_EQ("Muster AG", batch.Text(batch.settings.sender.name1));
}

TEST(PayManager, ViewsKeepTheirRecordsAcrossGrowthAndAfterTheManagerIsGone) {
  auto manager = NewManager();
  auto early = AddPayment(manager.get(), payIban);
  auto early_receiver = Address(early.get(), &IPayment::get_Receiver);
  auto settings = Settings(manager.get());
  for (int i = 0; i < 5000; ++i) AddPayment(manager.get(), payRedPost);
  ASSERT_EQ(S_OK, early->put_Reason(Bstr(u"Lohn")));
  const PayBatch& batch = static_cast<CPayManager*>(manager.get())->batch();
  EXPECT_EQ("Lohn", batch.Text(batch.payments.front().reason));

  manager.reset();
  // Run under AddressSanitizer: none of these may reach freed memory.
  ASSERT_EQ(S_OK, early->put_Reason(Bstr(u"Bonus")));
  EXPECT_EQ(u"Bonus", GetText(early.get(), &IPayment::get_Reason));
  ASSERT_EQ(S_OK, early_receiver->put_Name1(Bstr(u"Anna")));
  EXPECT_EQ(u"Anna", GetText(early_receiver.get(), &IPayAddress::get_Name1));
  ASSERT_EQ(S_OK, settings->put_CostCurrency(Bstr(u"EUR")));
  EXPECT_EQ(u"EUR", GetText(settings.get(), &IPaySetting::get_CostCurrency));
}

TEST(PayManager, NullOutParametersGiveEPointer) {
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payIban);
  auto address = Address(payment.get(), &IPayment::get_BankDst);
  auto settings = Settings(manager.get());
  const HRESULT results[] = {
      manager->NewPayment(payIban, nullptr), manager->get_Setting(nullptr), manager->CheckIbanNr(nullptr, nullptr),
      payment->get_BankSrc(nullptr),         payment->get_Amount(nullptr),  payment->get_CostCode(nullptr),
      payment->get_Reason(nullptr),          address->get_BIC(nullptr),     settings->get_Sender(nullptr),
      settings->get_IsSalary(nullptr),
  };
  for (HRESULT hr : results) EXPECT_EQ(E_POINTER, hr);
  // The payment of the failed hand-out is still in the list.
  EXPECT_EQ(2u, static_cast<CPayManager*>(manager.get())->batch().payments.size());
}

TEST(PayManager, ChecksAnswerAsTheAccountRulesSay) {
  auto manager = NewManager();
  struct Case {
    const char16_t* text;  // nullptr: a null string
    VARIANT_BOOL iban;
  };
  const Case cases[] = {
      {nullptr, VARIANT_FALSE},
      {u"", VARIANT_FALSE},
      {u" ch77 0070 0110 0000 0000 1 ", VARIANT_TRUE},
      {u"CH77-0070-0110-0000-0000-1", VARIANT_FALSE},
      {u"DE89370400440532013000", VARIANT_TRUE},
  };
  for (const Case& c : cases) {
    Bstr text;
    if (c.text != nullptr) *text.put() = SysAllocString(c.text);
    VARIANT_BOOL answer = 7;
    EXPECT_EQ(S_OK, manager->CheckIbanNr(text, &answer));
    EXPECT_EQ(c.iban, answer);
    answer = 7;
    EXPECT_EQ(S_OK, manager->CheckPostNr(text, &answer));
    EXPECT_EQ(VARIANT_TRUE, answer);
  }
}

TEST(PayManager, WriteFileAlwaysSucceedsAndUnknownTypesWriteNothing) {
  test::TempDir dir;
  auto manager = NewManager();
  AddPayment(manager.get(), payIban);
  const std::u16string name = u"out.dta";
  const std::string path = dir.Path("out.dta");
  for (std::int32_t type : {3, -1, 1000}) {
    Bstr file(std::u16string(dir.path().begin(), dir.path().end()) + u"/" + name);
    EXPECT_EQ(S_OK, manager->WriteFile(file, static_cast<PayFileTypes>(type), nullptr, VARIANT_TRUE));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  Bstr missing(u"/nonexistent-folder/sub/out.dta");
  for (std::int32_t type : {payDTA, payEzag, payISO}) {
    EXPECT_EQ(S_OK, manager->WriteFile(missing, static_cast<PayFileTypes>(type), nullptr, VARIANT_FALSE));
  }
}

TEST(PayManager, AnswersItsOwnInterfacesAndLetsTheModuleUnloadWhenReleased) {
  const std::int32_t before = ModuleLockCount();
  {
    auto manager = NewManager();
    auto payment = AddPayment(manager.get(), payIban);
    auto address = Address(payment.get(), &IPayment::get_BankDst);
    EXPECT_EQ(before + 3, ModuleLockCount());
    EXPECT_TRUE(manager.As<IDispatch>(IID_IDispatch));
    EXPECT_FALSE(manager.As<IPayment>(IID_IPayment));
    auto error_info = manager.As<ISupportErrorInfo>(IID_ISupportErrorInfo);
    ASSERT_TRUE(error_info);
    EXPECT_EQ(S_OK, error_info->InterfaceSupportsErrorInfo(IID_IPayManager));
    EXPECT_EQ(S_FALSE, error_info->InterfaceSupportsErrorInfo(IID_IPayment));
  }
  EXPECT_EQ(before, ModuleLockCount());
}

}  // namespace
}  // namespace ordexa
