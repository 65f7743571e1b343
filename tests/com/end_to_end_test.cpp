// The component as an automation client reaches it: libordexa.so registered into a
// registry file, the manager created by its ProgID, a batch of every payment kind filled
// by names only with the VARIANTs a script passes, the files written in every format and
// compared byte for byte with the same batch filled through the C++ interfaces; then
// unregistered and unloaded.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>

#include "late_bound.h"
#include "model/pay_manager.h"
#include "platform/utf8.h"
#include "support/bstr.h"
#include "support/files.h"

// Both copies of the platform, the program's and the library's, read the system clock
// through time(): fixing it here fixes it for both, so the files carry the same creation
// date and time: 4 December 2026, 12:00 UTC.
extern "C" time_t time(time_t* out) noexcept {
  constexpr time_t kFixedNow = 1796385600;
  if (out != nullptr) *out = kFixedNow;
  return kFixedNow;
}

namespace ordexa {
namespace {

using namespace test;  // the late-bound calls and VARIANTs of late_bound.h

struct AddressRow {
  const char16_t* name1;
  const char16_t* name2;
  const char16_t* street;
  const char16_t* city;
  const char16_t* id;
  const char16_t* account;
  const char16_t* bic;
};

// How a script passes the amount: as a number or as a text.
enum class AmountAs { kDouble, kText };

struct PaymentRow {
  std::int32_t type;
  DATE date;
  std::int64_t amount;  // ten-thousandths
  AmountAs amount_as;
  const char16_t* amount_text;
  const char16_t* esr;
  const char16_t* reason;
  const char16_t* currency;
  bool salary;
  std::int32_t cost_code;
  AddressRow bank_src;
  AddressRow bank_dst;
  AddressRow receiver;
};

constexpr AddressRow kOurBank = {u"", u"", u"", u"", u"700", u"ch93 0076 2011 6238 5295 7", u""};

using enum AmountAs;
const PaymentRow kPayments[] = {
    {payManual, 45000.75, 1000000, kDouble, nullptr, u"", u"Spesen & Auslagen M\u00E4rz", u"CHF", false, 2,
     kOurBank, {u"", u"", u"", u"", u"700", u"12-3456-7", u""},
     {u"Hans Meier", u"", u"Bahnhofstrasse 1", u"8001 Z\u00FCrich", u"", u"", u""}},
    {payESR15, 45000.0, 2505000, kText, u"250.50", u"123456789012345", u"", u"CHF", false, 2,
     kOurBank, {u"", u"", u"", u"", u"9000", u"01-162-8", u""},
     {u"Schweizerisches Rotes Kreuz", u"", u"", u"3001 Bern", u"", u"", u""}},
    {payESR16, 45000.75, 12345678, kText, u"1234.5678", u"210000000003139471430009017", u"", u"CHF", false, 2,
     kOurBank, {u"", u"", u"", u"", u"9000", u"010391391", u""},
     {u"Pensionskasse", u"", u"Postfach", u"6002 Luzern", u"", u"", u""}},
    {payESR17, 0.0, 50, kDouble, nullptr, u"12345", u"", u"CHF", false, 2,
     kOurBank, {u"", u"", u"", u"", u"9000", u"010137958", u""},
     {u"Ausgleichskasse", u"", u"", u"", u"", u"", u""}},
    {payRedBank, 45001.0, -125000, kDouble, nullptr, u"", u"R\u00FCckbuchung", u"CHF", true, 0,
     kOurBank, {u"Berner Kantonalbank", u"", u"", u"", u"8390", u"1234-5678.9", u""},
     {u"Erika Muster", u"c/o Beispiel", u"Marktgasse 8", u"3000 Bern 1", u"", u"", u""}},
    {payRedPost, 45001.0, 8500000, kText, u"850", u"", u"Lohn M\u00E4rz", u"CHF", true, 2,
     kOurBank, {u"", u"", u"", u"", u"", u"1-2345-6", u""},
     {u"\u0141ukasz Nowak", u"", u"Hauptstra\u00DFe 4", u"4051 Basel", u"", u"", u""}},
    {payRedTreuhand, 45001.0, 3002500, kDouble, nullptr, u"", u"Treuhandzahlung", u"CHF", false, 1,
     {u"Treuhand Gut AG", u"", u"Postgasse 1", u"6300 Zug", u"80-2-2", u"80-2-2", u""},
     {u"", u"", u"", u"", u"80-2-2", u"80-2-2", u""},
     {u"Karl Klein", u"", u"Dorfstrasse 3", u"6312 Steinhausen", u"", u"", u""}},
    {payPostmandat, 45002.5, 455500, kText, u"45.55", u"", u"Mandat", u"CHF", false, 2,
     kOurBank, {u"", u"", u"", u"", u"", u"", u""},
     {u"Anna Berg", u"", u"Weg 7", u"7000 Chur", u"", u"", u""}},
    {payForeign, 45003.0, 10000000, kDouble, nullptr, u"", u"Invoice 4711", u"EUR", false, 0,
     kOurBank, {u"Deutsche Bank", u"", u"", u"60311 Frankfurt", u"", u"DE89370400440532013000", u"DEUTDEFFXXX"},
     {u"Lieferant GmbH", u"", u"Hafenstr. 2", u"20457 Hamburg", u"", u"", u""}},
    {payIban, 45003.0, 123456700, kText, u"12345.67", u"", u"Lohn M\u00E4rz 2023", u"CHF", true, 2,
     kOurBank, {u"", u"", u"", u"", u"", u"CH5604835012345678009", u"CRESCHZZ80A"},
     {u"Peter M\u00FCller", u"", u"Seeweg 12", u"8700 K\u00FCsnacht", u"", u"", u""}},
};

const AddressRow kSender = {
    u"M\u00FCller & S\u00F6hne AG", u"Lohnb\u00FCro", u"Seestrasse 10", u"8002 Z\u00FCrich", u"", u"", u""};

// --- the batch by names, as a script fills it ------------------------------------

void FillAddressByNames(IDispatch* address, const AddressRow& row) {
  Put(address, u"Name1", Text(row.name1));
  Put(address, u"name2", Text(row.name2));  // names in any case
  Put(address, u"Street", Text(row.street));
  Put(address, u"CITY", Text(row.city));
  Put(address, u"ID", Text(row.id));
  // A variable passed by reference, as VB passes it.
  Variant account = Text(row.account);
  Put(address, u"Account", ByRef(account));
  Put(address, u"BIC", Text(row.bic));
}

void FillBatchByNames(IDispatch* manager) {
  const ComPtr<IDispatch> setting = Object(Get(manager, u"Setting"));
  Put(setting.get(), u"DtaID", Text(u"12345"));
  Put(setting.get(), u"CostAccount", Text(u"60-9-9"));
  Variant salary = Bool(VARIANT_TRUE);
  Put(setting.get(), u"IsSalary", ByRef(salary));
  Put(setting.get(), u"DtaID_Sender", Text(u"ab-12x"));
  Put(setting.get(), u"CostCurrency", Text(u"CHF"));
  FillAddressByNames(Object(Get(setting.get(), u"Sender")).get(), kSender);

  for (std::size_t i = 0; i < std::size(kPayments); ++i) {
    const PaymentRow& row = kPayments[i];
    // Script numbers arrive as 16-bit or 32-bit integers.
    Variant type = i % 2 == 0 ? I2(static_cast<SHORT>(row.type)) : I4(row.type);
    const ComPtr<IDispatch> payment = Object(Method(manager, u"NewPayment", {type}));
    ASSERT_TRUE(payment);
    Put(payment.get(), u"Date", R8(row.date));
    Put(payment.get(), u"Amount",
        row.amount_as == AmountAs::kText ? Text(row.amount_text) : R8(static_cast<double>(row.amount) / 10000.0));
    Put(payment.get(), u"ESR", Text(row.esr));
    Variant reason = Text(row.reason);
    Put(payment.get(), u"put_Reason", ByRef(reason));
    Put(payment.get(), u"Currency", Text(row.currency));
    Put(payment.get(), u"IsSalary", row.salary ? I2(1) : Bool(VARIANT_FALSE));
    Put(payment.get(), u"CostCode", I4(row.cost_code));
    FillAddressByNames(Object(Get(payment.get(), u"BankSrc")).get(), row.bank_src);
    FillAddressByNames(Object(Get(payment.get(), u"get_BankDst")).get(), row.bank_dst);
    FillAddressByNames(Object(Get(payment.get(), u"Receiver")).get(), row.receiver);
  }
}

void WriteByNames(IDispatch* manager, const std::string& name, std::int32_t type, VARIANT_BOOL swiss) {
  const std::u16string wide(name.begin(), name.end());
  const Variant none = Method(manager, u"WriteFile", {Text(wide), I4(type), Text(u"2023-03"), Bool(swiss)});
  EXPECT_EQ(VT_EMPTY, none->vt) << "WriteFile returns no value";
}

// --- the same batch through the C++ interfaces -------------------------------------

void FillAddress(IPayAddress* address, const AddressRow& row) {
  address->put_Name1(Bstr(row.name1));
  address->put_Name2(Bstr(row.name2));
  address->put_Street(Bstr(row.street));
  address->put_City(Bstr(row.city));
  address->put_ID(Bstr(row.id));
  address->put_Account(Bstr(row.account));
  address->put_BIC(Bstr(row.bic));
}

template <class Owner>
ComPtr<IPayAddress> AddressOf(Owner* owner, HRESULT (Owner::*get)(IDispatch**)) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, (owner->*get)(dispatch.put()));
  return dispatch.As<IPayAddress>(IID_IPayAddress);
}

void FillBatch(IPayManager* manager) {
  ComPtr<IDispatch> setting_dispatch;
  ASSERT_EQ(S_OK, manager->get_Setting(setting_dispatch.put()));
  const ComPtr<IPaySetting> setting = setting_dispatch.As<IPaySetting>(IID_IPaySetting);
  setting->put_DtaID(Bstr(u"12345"));
  setting->put_CostAccount(Bstr(u"60-9-9"));
  setting->put_IsSalary(VARIANT_TRUE);
  setting->put_DtaID_Sender(Bstr(u"ab-12x"));
  setting->put_CostCurrency(Bstr(u"CHF"));
  FillAddress(AddressOf(setting.get(), &IPaySetting::get_Sender).get(), kSender);

  for (const PaymentRow& row : kPayments) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, manager->NewPayment(static_cast<PayTypes>(row.type), dispatch.put()));
    const ComPtr<IPayment> payment = dispatch.As<IPayment>(IID_IPayment);
    payment->put_Date(row.date);
    CY amount{};
    amount.int64 = row.amount;
    payment->put_Amount(amount);
    payment->put_ESR(Bstr(row.esr));
    payment->put_Reason(Bstr(row.reason));
    payment->put_Currency(Bstr(row.currency));
    payment->put_IsSalary(row.salary ? VARIANT_TRUE : VARIANT_FALSE);
    payment->put_CostCode(static_cast<PayCosts>(row.cost_code));
    FillAddress(AddressOf(payment.get(), &IPayment::get_BankSrc).get(), row.bank_src);
    FillAddress(AddressOf(payment.get(), &IPayment::get_BankDst).get(), row.bank_dst);
    FillAddress(AddressOf(payment.get(), &IPayment::get_Receiver).get(), row.receiver);
  }
}

struct OutputFile {
  const char* name;
  std::int32_t type;
  VARIANT_BOOL swiss;
};

constexpr OutputFile kOutputs[] = {
    {"batch.dta", payDTA, VARIANT_FALSE},
    {"batch.ezag", payEzag, VARIANT_FALSE},
    {"batch-ch.xml", payISO, VARIANT_TRUE},
    {"batch-generic.xml", payISO, VARIANT_FALSE},
};

class EndToEnd : public test::RegisteredServer {};

TEST_F(EndToEnd, BatchFilledByNamesWritesTheSameFilesAsTheCppInterfaces) {
  {
    const ComPtr<IDispatch> manager = NewManager();
    ASSERT_TRUE(manager);
    FillBatchByNames(manager.get());
    for (const OutputFile& output : kOutputs) {
      WriteByNames(manager.get(), dir_.Path(std::string("late-") + output.name), output.type, output.swiss);
    }
  }

  ComPtr<IPayManager> early;
  ASSERT_EQ(S_OK, CPayManager::CreateInstance(IID_IPayManager, reinterpret_cast<void**>(early.put())));
  FillBatch(early.get());
  for (const OutputFile& output : kOutputs) {
    const std::string name = dir_.Path(std::string("early-") + output.name);
    early->WriteFile(Bstr(std::u16string(name.begin(), name.end())), static_cast<PayFileTypes>(output.type),
                     Bstr(u"2023-03"), output.swiss);
  }

  for (const OutputFile& output : kOutputs) {
    SCOPED_TRACE(output.name);
    const auto expected = test::ReadWholeFile(dir_.Path(std::string("early-") + output.name));
    const auto actual = test::ReadWholeFile(dir_.Path(std::string("late-") + output.name));
    ASSERT_TRUE(expected.has_value());
    ASSERT_TRUE(actual.has_value());
    EXPECT_GT(expected->size(), 1000u);
    EXPECT_TRUE(*expected == *actual) << "files differ";
  }
  // The fixed clock reached the library: the Swiss document carries its creation time.
  EXPECT_NE(std::string::npos, test::ReadWholeFile(dir_.Path("late-batch-ch.xml"))->find("<CreDtTm>2026-12-0"));

  // Everything released: the library may go, and goes.
  EXPECT_EQ(0, activation::FreeUnusedLibraries());

  // What unregistering removes is the registration tests' subject; here only that it succeeds.
  EXPECT_EQ(S_OK, activation::UnregisterServer(ORDEXA_MODULE_PATH));
}

// WriteFile of the 2019 ISO file by name, as a script calls it: its failures arrive as an
// exception with the status and the message; those of the old file types do not.
struct LateFailure {
  const char* name;
  bool with_payment;  // a payment without receiver name; else an empty batch
  const char* folder;
  std::int32_t type;
  HRESULT result;
  HRESULT scode;
  const char16_t* description_start;
};

TEST_F(EndToEnd, WriteFileOfThe2019IsoFileRaisesItsFailuresAsExceptions) {
  const LateFailure rows[] = {
      {"empty batch", false, "", payISO2019, DISP_E_EXCEPTION, static_cast<HRESULT>(0x800407D4),
       u"Die Datei pain.001.001.09 kann nicht geschrieben werden.\n"},
      {"payment without receiver", true, "", payISO2019, DISP_E_EXCEPTION, static_cast<HRESULT>(0x800407D3),
       u"Die Zahlung 1 kann nicht in die Datei pain.001.001.09 geschrieben werden.\n"},
      {"missing folder, empty batch", false, "missing/", payISO2019, DISP_E_EXCEPTION,
       static_cast<HRESULT>(0x800407D4), u"Die Datei pain.001.001.09"},
      {"payment without receiver as ISO 2009", true, "", payISO, S_OK, 12345, u""},
      {"missing folder as DTA", true, "missing/", payDTA, S_OK, 12345, u""},
  };
  for (const LateFailure& row : rows) {
    SCOPED_TRACE(row.name);
    const ComPtr<IDispatch> manager = NewManager();
    ASSERT_TRUE(manager);
    if (row.with_payment) {
      // The sender has a name, so it is the payment that is refused.
      Put(Object(Get(Object(Get(manager.get(), u"Setting")).get(), u"Sender")).get(), u"Name1", Text(u"Muster AG"));
      Method(manager.get(), u"NewPayment", {I4(payIban)});
    }
    const std::string path = dir_.Path(std::string(row.folder) + "pay.xml");
    EXCEPINFO exception{};
    exception.scode = 12345;
    const test::Call call = test::InvokeByName(manager.get(), u"WriteFile", DISPATCH_METHOD,
                                               {Text(Utf8ToUtf16(path)), I4(row.type), Text(u"2026-12"),
                                                Bool(VARIANT_TRUE)}, &exception);
    EXPECT_EQ(row.result, call.hr);
    EXPECT_EQ(row.scode, exception.scode);
    Bstr source, description;
    *source.put() = exception.bstrSource;
    *description.put() = exception.bstrDescription;
    SysFreeString(exception.bstrHelpFile);
    const std::u16string start = row.description_start;
    EXPECT_EQ(start, description.str().substr(0, start.size()));
    EXPECT_EQ(row.result == S_OK ? u"" : u"Veltrano.PayManager", source.str());
  }
}

}  // namespace
}  // namespace ordexa
