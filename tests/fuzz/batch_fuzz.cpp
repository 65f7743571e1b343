// A whole batch built through the automation interfaces from random settings and payments
// (any texts, amounts, dates, types and cost codes), written as DTA, EZAG and both ISO
// flavours into a temporary folder: every call succeeds, DTA files are whole segments and
// EZAG files whole records when the values fit their fields, and every ISO document is
// well-formed XML with one transaction per payment.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "format/amount.h"
#include "fuzz_support.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "support/files.h"

namespace {

using namespace ordexa;

// A caller text: empty, printable, any UTF-16 units, or one of the values the writers look into.
BSTR MakeText(FuzzedDataProvider& provider) {
  static const char16_t* const kKnown[] = {u"CH9300762011623852957", u"DE89370400440532013000", u"LI21088100002324013AA",
                                           u"01-162-8", u"1-2345", u"8001 Z\u00FCrich", u"D-80331 M\u00FCnchen", u"EUR",
                                           u"CHF", u"SIC", u"12345", u"POFICHBEXXX"};
  std::u16string text;
  switch (provider.ConsumeIntegralInRange(0, 4)) {
    case 0: break;
    case 1:
      for (const char c : provider.ConsumeRandomLengthString(80)) text += static_cast<char16_t>(static_cast<unsigned char>(c));
      break;
    case 2: {
      const std::size_t length = provider.ConsumeIntegralInRange<std::size_t>(0, 60);
      for (std::size_t i = 0; i < length; ++i) text += provider.ConsumeIntegral<char16_t>();
      break;
    }
    case 3: text = kKnown[provider.ConsumeIntegralInRange<std::size_t>(0, std::size(kKnown) - 1)]; break;
    default: text.assign(provider.ConsumeIntegralInRange<std::size_t>(0, 2000), u'&'); text += u"<x>\r\n";
  }
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void PutText(FuzzedDataProvider& provider, auto* object, HRESULT (std::remove_pointer_t<decltype(object)>::*put)(BSTR)) {
  BSTR text = MakeText(provider);
  FUZZ_CHECK((object->*put)(text) == S_OK, "text put");
  SysFreeString(text);
}

void FillAddress(FuzzedDataProvider& provider, IDispatch* dispatch) {
  ComPtr<IPayAddress> address;
  FUZZ_CHECK(dispatch->QueryInterface(IID_IPayAddress, reinterpret_cast<void**>(address.put())) == S_OK, "address");
  for (auto put : {&IPayAddress::put_Name1, &IPayAddress::put_Name2, &IPayAddress::put_Street, &IPayAddress::put_City,
                   &IPayAddress::put_ID, &IPayAddress::put_Account, &IPayAddress::put_BIC}) {
    if (provider.ConsumeBool()) PutText(provider, address.get(), put);
  }
}

std::int64_t MakeAmount(FuzzedDataProvider& provider) {
  switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0: return provider.ConsumeIntegralInRange<std::int64_t>(-100000000, 100000000000);
    case 1: return provider.ConsumeIntegral<std::int64_t>();
    case 2: return provider.ConsumeBool() ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    default: return 0;
  }
}

DATE MakeDate(FuzzedDataProvider& provider) {
  switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0: return provider.ConsumeFloatingPointInRange(36526.0, 73050.0);  // 2000 to 2099
    case 1: {
      const std::uint64_t bits = provider.ConsumeIntegral<std::uint64_t>();
      DATE date;
      std::memcpy(&date, &bits, sizeof date);
      return date;
    }
    case 2: return provider.ConsumeFloatingPointInRange(-1000000.0, 4000000.0);
    default: return 0.0;
  }
}

// The date gives a six-character date text (or today's, for a date never set).
bool HasSixDigitDate(DATE date) { return !std::isnan(date) && (date < 100.0 || date < 73050.99); }

// The amount fits the 13-character EZAG field: at most 11 characters before the point.
bool FitsEzagAmount(std::int64_t amount) { return FormatAmount(amount, &kPointAmountFormat).find('.') <= 11; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  ScopedClock clock(FixedClock({.wYear = 2026, .wMonth = 12, .wDay = 6, .wHour = 1}));

  ComPtr<CPayManager> manager = CPayManager::New();
  {
    ComPtr<IDispatch> dispatch;
    FUZZ_CHECK(manager->get_Setting(dispatch.put()) == S_OK, "settings");
    ComPtr<IPaySetting> settings = dispatch.As<IPaySetting>(IID_IPaySetting);
    for (auto put : {&IPaySetting::put_DtaID, &IPaySetting::put_CostAccount, &IPaySetting::put_DtaID_Sender,
                     &IPaySetting::put_CostCurrency}) {
      if (provider.ConsumeBool()) PutText(provider, settings.get(), put);
    }
    FUZZ_CHECK(settings->put_IsSalary(provider.ConsumeIntegral<VARIANT_BOOL>()) == S_OK, "salary");
    ComPtr<IDispatch> sender;
    FUZZ_CHECK(settings->get_Sender(sender.put()) == S_OK, "sender");
    FillAddress(provider, sender.get());
  }
  const int count = provider.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < count; ++i) {
    const std::int32_t type = provider.ConsumeBool() ? provider.ConsumeIntegralInRange(0, 9) : provider.ConsumeIntegral<std::int32_t>();
    ComPtr<IDispatch> dispatch;
    FUZZ_CHECK(manager->NewPayment(static_cast<PayTypes>(type), dispatch.put()) == S_OK, "new payment");
    ComPtr<IPayment> payment = dispatch.As<IPayment>(IID_IPayment);
    FUZZ_CHECK(payment->put_Amount(CY{MakeAmount(provider)}) == S_OK, "amount");
    FUZZ_CHECK(payment->put_Date(MakeDate(provider)) == S_OK, "date");
    FUZZ_CHECK(payment->put_IsSalary(provider.ConsumeIntegral<VARIANT_BOOL>()) == S_OK, "salary");
    FUZZ_CHECK(payment->put_CostCode(static_cast<PayCosts>(provider.ConsumeIntegral<std::int32_t>())) == S_OK, "cost");
    for (auto put : {&IPayment::put_ESR, &IPayment::put_Reason, &IPayment::put_Currency}) {
      if (provider.ConsumeBool()) PutText(provider, payment.get(), put);
    }
    for (auto get : {&IPayment::get_BankSrc, &IPayment::get_BankDst, &IPayment::get_Receiver}) {
      ComPtr<IDispatch> address;
      FUZZ_CHECK((payment.get()->*get)(address.put()) == S_OK, "address");
      FillAddress(provider, address.get());
    }
  }
  BSTR period = MakeText(provider);

  const PaymentList& payments = manager->batch().payments;
  bool dates_fit = true;
  bool currencies_fit = true;
  bool amounts_fit = true;
  __int128 total = 0;
  for (const PaymentRecord& payment : payments) {
    dates_fit = dates_fit && HasSixDigitDate(payment.date);
    const std::string_view currency = manager->batch().Text(payment.currency);
    currencies_fit = currencies_fit && (currency.empty() || currency.size() == 3);
    amounts_fit = amounts_fit && FitsEzagAmount(payment.amount.int64);
    total += payment.amount.int64;
  }
  const bool total_fits = total >= std::numeric_limits<std::int64_t>::min() &&
                          total <= std::numeric_limits<std::int64_t>::max() &&
                          FitsEzagAmount(static_cast<std::int64_t>(total));

  static const fuzz::TempFolder output_folder;
  const std::string& folder = output_folder.path();
  const std::string names[] = {folder + "/pay.dta", folder + "/pay.ezag", folder + "/pay-ch.xml", folder + "/pay.xml"};
  for (const std::string& name : names) {
    std::filesystem::remove(name);
    std::filesystem::remove(name + ".tmp");
  }
  auto write = [&](const std::string& name, PayFileTypes type, VARIANT_BOOL swiss) {
    const std::u16string wide(name.begin(), name.end());
    BSTR file_name = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    FUZZ_CHECK(manager->WriteFile(file_name, type, period, swiss) == S_OK, name);
    SysFreeString(file_name);
  };
  write(names[0], payDTA, VARIANT_FALSE);
  write(names[1], payEzag, VARIANT_FALSE);
  write(names[2], payISO, VARIANT_TRUE);
  write(names[3], payISO, provider.ConsumeBool() ? VARIANT_FALSE : 1);
  SysFreeString(period);

  const std::optional<std::string> dta = test::ReadWholeFile(names[0]);
  FUZZ_CHECK(dta.has_value() && dta->size() >= 128, "a DTA file always has its total record");
  if (dates_fit) {
    FUZZ_CHECK(dta->size() % 128 == 0, *dta);
    FUZZ_CHECK(dta->compare(dta->size() - 128, 8, "01000000") == 0 && dta->compare(dta->size() - 80, 3, "890") == 0, *dta);
  }

  const std::optional<std::string> ezag = test::ReadWholeFile(names[1]);
  if (!amounts_fit || !total_fits) {
    FUZZ_CHECK(!ezag.has_value(), "an EZAG batch with an amount too large writes no file");
  } else if (payments.empty()) {
    FUZZ_CHECK(ezag == std::string(), "an empty EZAG batch leaves an empty file");
  } else {
    FUZZ_CHECK(ezag.has_value() && ezag->size() >= 2 * 701, "header and total record");
    if (dates_fit && currencies_fit) {
      FUZZ_CHECK(ezag->size() % 701 == 0, *ezag);
      for (std::size_t i = 0; i < ezag->size(); ++i) FUZZ_CHECK(((*ezag)[i] == '\n') == (i % 701 == 700), *ezag);
    }
  }

  for (const std::string& name : {names[2], names[3]}) {
    const std::optional<std::string> document = test::ReadWholeFile(name);
    FUZZ_CHECK(!test::ReadWholeFile(name + ".tmp").has_value(), "no temporary file is left");
    if (payments.empty()) {
      FUZZ_CHECK(!document.has_value(), "an empty ISO batch writes no file");
      continue;
    }
    FUZZ_CHECK(document.has_value() && document->starts_with("<?xml"), name);
    FUZZ_CHECK(fuzz::IsWellFormedXml(*document), *document);
    const std::string transactions = "<NbOfTxs>" + std::to_string(payments.size()) + "</NbOfTxs>";
    FUZZ_CHECK(document->find(transactions) != std::string::npos, *document);
    for (std::size_t at = document->find('\n'); at != std::string::npos; at = document->find('\n', at + 1)) {
      FUZZ_CHECK(at > 0 && (*document)[at - 1] == '\r', "every line ends in CR LF");
    }
  }
  return 0;
}
