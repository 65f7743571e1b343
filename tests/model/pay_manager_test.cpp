// The payment model through its automation interfaces: defaults, conversions of the
// accessors, views onto shared records, record lifetime and the manager's operations.
#include "model/pay_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <type_traits>

#include "platform/clock.h"
#include "support/bstr.h"
#include "support/files.h"
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

// An address of the payment, as IPayAddress or IPayAddress2.
template <class Interface = IPayAddress>
ComPtr<Interface> Address(IPayment* payment, HRESULT (IPayment::*get)(IDispatch**)) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, (payment->*get)(dispatch.put()));
  return dispatch.As<Interface>(std::is_same_v<Interface, IPayAddress> ? IID_IPayAddress : IID_IPayAddress2);
}

ComPtr<IPaySetting> Settings(IPayManager* manager) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, manager->get_Setting(dispatch.put()));
  return dispatch.As<IPaySetting>(IID_IPaySetting);
}

template <class Interface, class Accessor>
void PutText(Interface* address, HRESULT (Accessor::*put)(BSTR), std::u16string_view text) {
  ASSERT_NE(nullptr, address);
  EXPECT_EQ(S_OK, (address->*put)(Bstr(text)));
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
    const HRESULT results[] = {payment->get_Amount(&amount), payment->get_Date(&date), payment->get_IsSalary(&salary),
                               payment->get_CostCode(&cost)};
    for (const HRESULT hr : results) EXPECT_EQ(S_OK, hr);
    EXPECT_EQ(0, amount.int64);
    EXPECT_EQ(0.0, date);
    EXPECT_EQ(VARIANT_FALSE, salary);
    EXPECT_EQ(payCostBoth, cost);
    for (auto get : {&IPayment::get_ESR, &IPayment::get_Reason, &IPayment::get_Currency}) {
      EXPECT_EQ(u"", GetText(payment.get(), get));
    }
    for (auto get : {&IPayment::get_BankSrc, &IPayment::get_BankDst, &IPayment::get_Receiver}) {
      ExpectEmptyAddress(Address(payment.get(), get).get());
    }
  }
  const auto& payments = static_cast<CPayManager*>(manager.get())->batch().payments;
  ASSERT_EQ(12u, payments.size());
  EXPECT_EQ(42, payments[10].type);
}

TEST(PayManager, TextsReachCodePage1252AsTheClientsConversionDoes) {
  const std::pair<std::u16string, std::u16string> cases[] = {  // put, read back
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
  for (const auto& [put, read_back] : cases) {
    Bstr text(put);
    ASSERT_EQ(S_OK, payment->put_Reason(text));
    ASSERT_EQ(S_OK, receiver->put_City(text));
    EXPECT_EQ(read_back, GetText(payment.get(), &IPayment::get_Reason));
    EXPECT_EQ(read_back, GetText(receiver.get(), &IPayAddress::get_City));
  }
  ASSERT_EQ(S_OK, payment->put_Currency(nullptr));
  Bstr currency;
  ASSERT_EQ(S_OK, payment->get_Currency(currency.put()));
  EXPECT_FALSE(currency.is_null());  // an empty text comes back as an empty, non-null string
}

TEST(PayManager, ViewsAreDistinctButShareTheirRecord) {
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payIban);
  auto first = Address(payment.get(), &IPayment::get_BankSrc);
  auto second = Address(payment.get(), &IPayment::get_BankSrc);
  EXPECT_NE(first.get(), second.get());
  ASSERT_EQ(S_OK, first->put_Name1(Bstr(u"Bank A")));
  EXPECT_EQ(u"Bank A", GetText(second.get(), &IPayAddress::get_Name1));
  // The other addresses of the payment are records of their own.
  EXPECT_EQ(u"", GetText(Address(payment.get(), &IPayment::get_BankDst).get(), &IPayAddress::get_Name1));
  EXPECT_EQ(u"", GetText(Address(payment.get(), &IPayment::get_Receiver).get(), &IPayAddress::get_Name1));

  auto settings = Settings(manager.get());
  ASSERT_EQ(S_OK, settings->put_DtaID(Bstr(u"ABC12")));
  ASSERT_EQ(S_OK, settings->put_IsSalary(1));
  EXPECT_EQ(u"ABC12", GetText(Settings(manager.get()).get(), &IPaySetting::get_DtaID));
  // The settings' salary flag is not the payments' flag.
  VARIANT_BOOL salary = VARIANT_TRUE;
  payment->get_IsSalary(&salary);
  EXPECT_EQ(VARIANT_FALSE, salary);
  ComPtr<IDispatch> sender_dispatch;
  ASSERT_EQ(S_OK, settings->get_Sender(sender_dispatch.put()));
  ASSERT_EQ(S_OK, sender_dispatch.As<IPayAddress>(IID_IPayAddress)->put_Name1(Bstr(u"Muster AG")));
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

  ComPtr<IDispatch> sender_views[2];
  for (auto& view : sender_views) ASSERT_EQ(S_OK, settings->get_Sender(view.put()));
  PutText(sender_views[0].As<IPayAddress2>(IID_IPayAddress2).get(), &IPayAddress2::put_Town, u"Bern");

  manager.reset();
  // Run under AddressSanitizer: none of these may reach freed memory; the views of one
  // address share its parts.
  EXPECT_EQ(u"Bern", GetText(sender_views[1].As<IPayAddress2>(IID_IPayAddress2).get(), &IPayAddress2::get_Town));
  PutText(sender_views[1].As<IPayAddress2>(IID_IPayAddress2).get(), &IPayAddress2::put_Town, u"Thun");
  EXPECT_EQ(u"Thun", GetText(sender_views[0].As<IPayAddress2>(IID_IPayAddress2).get(), &IPayAddress2::get_Town));
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
  const std::pair<const char16_t*, VARIANT_BOOL> cases[] = {  // text (null: a null string), a valid IBAN
      {nullptr, VARIANT_FALSE}, {u"", VARIANT_FALSE}, {u" ch77 0070 0110 0000 0000 1 ", VARIANT_TRUE},
      {u"CH77-0070-0110-0000-0000-1", VARIANT_FALSE}, {u"DE89370400440532013000", VARIANT_TRUE},
  };
  for (const auto& [number, iban] : cases) {
    Bstr text;
    if (number != nullptr) *text.put() = SysAllocString(number);
    VARIANT_BOOL answer = 7;
    EXPECT_EQ(S_OK, manager->CheckIbanNr(text, &answer));
    EXPECT_EQ(iban, answer);
    answer = 7;
    EXPECT_EQ(S_OK, manager->CheckPostNr(text, &answer));
    EXPECT_EQ(VARIANT_TRUE, answer);
  }
}

TEST(PayManager, WriteFileOfUnknownTypesWritesNothing) {
  test::TempDir dir;
  auto manager = NewManager();
  AddPayment(manager.get(), payIban);
  const std::u16string name = u"out.dta";
  const std::string path = dir.Path("out.dta");
  for (std::int32_t type : {4, -1, 1000}) {
    Bstr file(std::u16string(dir.path().begin(), dir.path().end()) + u"/" + name);
    EXPECT_EQ(S_OK, manager->WriteFile(file, static_cast<PayFileTypes>(type), nullptr, VARIANT_TRUE));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// --- IPayAddress2 and the 2019 ISO file ------------------------------------------------

// The thread's error information, taken: "<source>|<description>", "" when there is none.
std::string TakeErrorInfo(GUID* guid = nullptr) {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return "";
  Bstr source, description;
  info->GetSource(source.put());
  info->GetDescription(description.put());
  if (guid != nullptr) info->GetGUID(guid);
  info->Release();
  std::string text;
  for (char16_t c : source.str() + u"|" + description.str()) text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return text;
}

// A batch the 2019 writer takes: a Swiss sender and one salary to a Swiss IBAN.
void FillCleanBatch(IPayManager* manager) {
  ComPtr<IDispatch> sender_dispatch;
  ASSERT_EQ(S_OK, Settings(manager)->get_Sender(sender_dispatch.put()));
  const auto sender = sender_dispatch.As<IPayAddress2>(IID_IPayAddress2);
  ASSERT_TRUE(sender);
  PutText(sender.get(), &IPayAddress::put_Name1, u"Muster AG");
  PutText(sender.get(), &IPayAddress::put_City, u"8001 Z\u00FCrich");
  auto payment = AddPayment(manager, payIban);
  ASSERT_TRUE(payment);
  EXPECT_EQ(S_OK, payment->put_Amount(CY{52304000}));
  EXPECT_EQ(S_OK, payment->put_Date(46381.0));  // 25 December 2026
  EXPECT_EQ(S_OK, payment->put_Reason(Bstr(u"Lohn Dezember")));
  PutText(Address(payment.get(), &IPayment::get_BankSrc).get(), &IPayAddress::put_Account,
          u"CH93 0076 2011 6238 5295 7");
  PutText(Address(payment.get(), &IPayment::get_BankDst).get(), &IPayAddress::put_Account,
          u"CH56 0483 5012 3456 7800 9");
  const auto receiver = Address<IPayAddress2>(payment.get(), &IPayment::get_Receiver);
  ASSERT_TRUE(receiver);
  PutText(receiver.get(), &IPayAddress::put_Name1, u"Anna M\u00FCller");
  PutText(receiver.get(), &IPayAddress2::put_StreetName, u"Seeweg");
  PutText(receiver.get(), &IPayAddress2::put_BuildingNumber, u"2");
  PutText(receiver.get(), &IPayAddress2::put_PostCode, u"8002");
  PutText(receiver.get(), &IPayAddress2::put_Town, u"Z\u00FCrich");
  PutText(receiver.get(), &IPayAddress2::put_Country, u"CH");
}

TEST(PayAddress2, StructuredPartsAreStoredAsCodePage1252AndReadBack) {
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payIban);
  const auto receiver = Address<IPayAddress2>(payment.get(), &IPayment::get_Receiver);
  ASSERT_TRUE(receiver);
  const struct {
    HRESULT (IPayAddress2::*put)(BSTR);
    HRESULT (IPayAddress2::*get)(BSTR*);
    AddressPart part;
    std::u16string_view put_text;
    std::string_view stored;
    std::u16string_view read_back;
  } rows[] = {
      {&IPayAddress2::put_StreetName, &IPayAddress2::get_StreetName, AddressPart::kStreetName, u"Rue du Rh\u00F4ne",
       "Rue du Rh\xF4ne", u"Rue du Rh\u00F4ne"},
      {&IPayAddress2::put_BuildingNumber, &IPayAddress2::get_BuildingNumber, AddressPart::kBuildingNumber, u"7-9",
       "7-9", u"7-9"},
      {&IPayAddress2::put_PostCode, &IPayAddress2::get_PostCode, AddressPart::kPostCode, u"EC1A 1BB", "EC1A 1BB",
       u"EC1A 1BB"},
      {&IPayAddress2::put_Town, &IPayAddress2::get_Town, AddressPart::kTown, u"\u0141\u00F3d\u017A", "L\xF3" "dz",
       u"L\u00F3" "dz"},
      {&IPayAddress2::put_Country, &IPayAddress2::get_Country, AddressPart::kCountry, u"pl\U0001F600", "pl?", u"pl?"},
  };
  const PayBatch& batch = static_cast<CPayManager*>(manager.get())->batch();
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.stored));
    EXPECT_EQ(S_OK, (receiver.get()->*row.put)(Bstr(row.put_text)));
    EXPECT_EQ(row.stored, batch.PartText(batch.payments[0].receiver, row.part));
    EXPECT_EQ(row.read_back, GetText(receiver.get(), row.get));
  }
  // Only the receiver got parts; the old texts stay empty.
  EXPECT_EQ(1u, batch.address_parts.size());
  EXPECT_EQ(0u, batch.payments[0].bank_dst.parts);
  EXPECT_EQ("", batch.View(batch.payments[0]).receiver.street);
  EXPECT_EQ(E_POINTER, receiver->get_Town(nullptr));
}

TEST(PayAddress2, EmptyPartsOnAnAddressWithoutPartsTakeNoRoom) {
  auto manager = NewManager();
  auto payment = AddPayment(manager.get(), payIban);
  const PayBatch& batch = static_cast<CPayManager*>(manager.get())->batch();
  for (auto get : {&IPayment::get_BankSrc, &IPayment::get_BankDst, &IPayment::get_Receiver}) {
    const auto address = Address<IPayAddress2>(payment.get(), get);
    ASSERT_TRUE(address);
    EXPECT_EQ(S_OK, address->put_StreetName(nullptr));
    EXPECT_EQ(S_OK, address->put_Town(Bstr(u"")));
    // A text that is empty up to its first NUL is the empty text.
    EXPECT_EQ(S_OK, address->put_Country(Bstr(std::u16string_view(u"\0CH", 3))));
    EXPECT_EQ(u"", GetText(address.get(), &IPayAddress2::get_Country));
  }
  EXPECT_TRUE(batch.address_parts.empty());
  EXPECT_EQ(0u, batch.payments[0].receiver.parts);
}

TEST(PayAddress2, TheOldWritersIgnoreTheParts) {
  test::TempDir dir;
  const ScopedClock clock(FixedClock({.wYear = 2026, .wMonth = 12, .wDay = 6, .wHour = 9}));
  auto plain = NewManager();
  auto structured = NewManager();
  FillCleanBatch(plain.get());
  FillCleanBatch(structured.get());
  // The clean batch gives its receiver parts in both; the sender and a bank get some too.
  ComPtr<IDispatch> sender;
  ASSERT_EQ(S_OK, Settings(structured.get())->get_Sender(sender.put()));
  PutText(sender.As<IPayAddress2>(IID_IPayAddress2).get(), &IPayAddress2::put_Town, u"Z\u00FCrich");
  ComPtr<IDispatch> payment;
  ASSERT_EQ(S_OK, plain->NewPayment(payIban, payment.put()));
  ASSERT_EQ(S_OK, structured->NewPayment(payIban, payment.put()));
  PutText(Address<IPayAddress2>(payment.As<IPayment>(IID_IPayment).get(), &IPayment::get_BankDst).get(),
          &IPayAddress2::put_Country, u"DE");
  for (std::int32_t type : {payDTA, payEzag, payISO}) {
    SCOPED_TRACE(type);
    const std::string a = dir.Path("plain"), b = dir.Path("structured");
    ASSERT_EQ(S_OK, plain->WriteFile(Bstr(std::u16string(a.begin(), a.end())), static_cast<PayFileTypes>(type),
                                     Bstr(u"2026-12"), VARIANT_TRUE));
    ASSERT_EQ(S_OK, structured->WriteFile(Bstr(std::u16string(b.begin(), b.end())), static_cast<PayFileTypes>(type),
                                          Bstr(u"2026-12"), VARIANT_TRUE));
    const std::string bytes = test::ReadWholeFile(a).value_or("");
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, test::ReadWholeFile(b).value_or("?"));
  }
}

// WriteFile of the 2019 ISO file, Swiss or generic: a failure comes back as its status with
// the message as the thread's error information and leaves no file; the old types absorb
// the same failures and leave no error information.
TEST(PayManager, WriteFileReportsTheFailuresOfThe2019IsoFile) {
  const struct {
    const char* name;
    void (*fill)(IPayManager*);
    const char* folder;  // below the test's folder
    HRESULT status;
    const char* description_start;
  } rows[] = {
      {"empty batch", [](IPayManager*) {}, "", static_cast<HRESULT>(0x800407D4),
       "Veltrano.PayManager|Die Datei pain.001.001.09 kann nicht geschrieben werden.\n"},
      {"receiver without name",
       [](IPayManager* manager) {
         FillCleanBatch(manager);
         AddPayment(manager, payIban);
       },
       "", static_cast<HRESULT>(0x800407D3),
       "Veltrano.PayManager|Die Zahlung 2 kann nicht in die Datei pain.001.001.09 geschrieben werden.\n"},
      {"missing folder", FillCleanBatch, "missing/", static_cast<HRESULT>(0x80070003),
       "Veltrano.PayManager|Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\n"},
      {"written", FillCleanBatch, "", S_OK, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::TempDir dir;
    auto manager = NewManager();
    row.fill(manager.get());
    const std::string path = dir.path() + "/" + row.folder + "pay.xml";
    for (VARIANT_BOOL swiss : {VARIANT_TRUE, VARIANT_FALSE}) {
      SetErrorInfo(0, nullptr);
      EXPECT_EQ(row.status, manager->WriteFile(Bstr(std::u16string(path.begin(), path.end())), payISO2019,
                                               Bstr(u"2026-12"), swiss));
      GUID guid = IID_IPayManager;
      const std::string error = TakeErrorInfo(&guid);
      EXPECT_EQ(row.description_start, error.substr(0, std::string_view(row.description_start).size()));
      EXPECT_TRUE(guid == IID_IPayManager);
      const std::string document = test::ReadWholeFile(path).value_or("");
      // Only VARIANT_TRUE selects the Swiss flavour.
      EXPECT_EQ(row.status == S_OK, document.find("pain.001.001.09") != std::string::npos) << document.substr(0, 200);
      EXPECT_EQ(row.status == S_OK && swiss == VARIANT_TRUE, document.find(".ch.03") != std::string::npos);
      EXPECT_TRUE(row.status == S_OK || std::filesystem::is_empty(dir.path()));
    }
    if (row.status == S_OK) continue;
    for (std::int32_t type : {payDTA, payEzag, payISO}) {
      EXPECT_EQ(S_OK, manager->WriteFile(Bstr(std::u16string(path.begin(), path.end())),
                                         static_cast<PayFileTypes>(type), Bstr(u"2026-12"), VARIANT_TRUE));
      EXPECT_EQ("", TakeErrorInfo());
    }
  }
}

TEST(PayManager, LetsTheModuleUnloadWhenEveryViewIsReleased) {
  const std::int32_t before = ModuleLockCount();
  {
    auto manager = NewManager();
    auto payment = AddPayment(manager.get(), payIban);
    auto address = Address(payment.get(), &IPayment::get_BankDst);
    EXPECT_EQ(before + 3, ModuleLockCount());
    EXPECT_FALSE(manager.As<IPayment>(IID_IPayment));
  }
  EXPECT_EQ(before, ModuleLockCount());
}

}  // namespace
}  // namespace ordexa
