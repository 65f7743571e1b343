// Hostile values at the automation interfaces: every character of code page 1252 and every
// control character, a text of 10 MB, the extreme amounts, 100,000 payments (extreme PayTypes
// and CostCodes: the JSON tests; dates that are no days: tests/format). Nothing crashes; DTA
// files stay whole segments, EZAG files whole records, ISO documents well-formed.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "failure/failure.h"
#include "hostile/outcomes.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "support/bstr.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

using test::Bstr;
using test::ReadWholeFile;

// The view `get` gives of `object`, as `View`.
template <class View, class Object, class Interface>
ComPtr<View> Get(Object* object, HRESULT (Interface::*get)(IDispatch**), REFIID iid) {
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, (object->*get)(dispatch.put()));
  return dispatch.As<View>(iid);
}

// A manager driven through its interfaces only.
class Batch {
 public:
  ComPtr<IPayment> Add(std::int32_t type) {
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(S_OK, manager_->NewPayment(static_cast<PayTypes>(type), dispatch.put()));
    return dispatch.As<IPayment>(IID_IPayment);
  }

  // A payment of `type` with the accounts each format needs for a record of its own.
  ComPtr<IPayment> AddWithAccounts(std::int32_t type) {
    ComPtr<IPayment> payment = Add(type);
    EXPECT_EQ(S_OK, Address(payment.get(), &IPayment::get_BankSrc)->put_Account(Bstr(u"CH9300762011623852957")));
    EXPECT_EQ(S_OK, Address(payment.get(), &IPayment::get_BankDst)->put_Account(Bstr(u"01-162-8")));
    EXPECT_EQ(S_OK, payment->put_Amount(CY{1234500}));
    EXPECT_EQ(S_OK, payment->put_Date(46000.0));
    return payment;
  }

  static ComPtr<IPayAddress> Address(IPayment* payment, HRESULT (IPayment::*get)(IDispatch**)) {
    return Get<IPayAddress>(payment, get, IID_IPayAddress);
  }
  ComPtr<IPayAddress> Sender() { return Get<IPayAddress>(settings().get(), &IPaySetting::get_Sender, IID_IPayAddress); }
  ComPtr<IPaySetting> settings() { return Get<IPaySetting>(manager_.get(), &IPayManager::get_Setting, IID_IPaySetting); }

  // Writes through WriteFile, which must answer S_OK, and returns the file's path.
  std::string WriteFile(const test::TempDir& dir, const std::string& name, PayFileTypes type, BSTR period = nullptr) {
    const std::string path = dir.Path(name);
    const std::u16string wide(path.begin(), path.end());
    EXPECT_EQ(S_OK, manager_->WriteFile(Bstr(wide), type, period, VARIANT_TRUE));
    return path;
  }

  // WriteFile() and the file's content, or "(no file)".
  std::string Write(const test::TempDir& dir, const std::string& name, PayFileTypes type, BSTR period = nullptr) {
    return ReadWholeFile(WriteFile(dir, name, type, period)).value_or("(no file)");
  }

 private:
  ComPtr<CPayManager> manager_ = CPayManager::New();
};

class HostileInput : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasXmllint()) GTEST_SKIP() << "needs xmllint (libxml2-utils)";
  }
  const ScopedClock clock_{FixedClock(SYSTEMTIME{.wYear = 2026, .wMonth = 12, .wDay = 6})};
  const test::TempDir dir_;
};

// Every UTF-16 unit that code page 1252 or its best fit knows below U+0100, the code page's
// own characters above, CR LF, the characters XML and the formats treat specially.
std::u16string EveryCharacter() {
  std::u16string text;
  for (char16_t unit = 1; unit < 0x100; ++unit) text += unit;
  text += u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D\u2018\u2019\u201C"
          u"\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178\u0141\U0001F600\u4E2D&<>\r\n]]>%s%n";
  return text;
}

TEST_F(HostileInput, EveryCharacterInEveryTextKeepsEveryFileInShape) {
  const Bstr text(EveryCharacter());
  Batch batch;
  for (auto put : {&IPaySetting::put_DtaID, &IPaySetting::put_CostAccount, &IPaySetting::put_DtaID_Sender,
                   &IPaySetting::put_CostCurrency}) {
    EXPECT_EQ(S_OK, (batch.settings().get()->*put)(text));
  }
  const auto address_puts = {&IPayAddress::put_Name1, &IPayAddress::put_Name2, &IPayAddress::put_Street,
                             &IPayAddress::put_City, &IPayAddress::put_ID, &IPayAddress::put_BIC};
  for (auto put : address_puts) EXPECT_EQ(S_OK, (batch.Sender().get()->*put)(text));
  for (std::int32_t type = payManual; type <= payIban; ++type) {
    ComPtr<IPayment> payment = batch.AddWithAccounts(type);
    EXPECT_EQ(S_OK, payment->put_Reason(text));
    EXPECT_EQ(S_OK, payment->put_ESR(text));
    for (auto get : {&IPayment::get_BankSrc, &IPayment::get_BankDst, &IPayment::get_Receiver}) {
      for (auto put : address_puts) EXPECT_EQ(S_OK, (Batch::Address(payment.get(), get).get()->*put)(text));
    }
  }
  // One reason of 10 MB: written whole into the document, and no file name.
  std::u16string huge;
  while (huge.size() < 10 * 1024 * 1024) huge += EveryCharacter();
  EXPECT_EQ(S_OK, batch.AddWithAccounts(payIban)->put_Reason(Bstr(huge)));
  EXPECT_TRUE(test::IsWholeDtaSegments(batch.Write(dir_, "pay.dta", payDTA)));
  EXPECT_TRUE(test::IsWholeEzagRecords(batch.Write(dir_, "pay.ezag", payEzag)));
  const std::string iso = batch.WriteFile(dir_, "pay.xml", payISO, text);
  EXPECT_GT(std::filesystem::file_size(iso), huge.size());
  EXPECT_TRUE(test::IsWellFormedXml(iso));
  EXPECT_EQ("(no file)", batch.Write(dir_, std::string(10 * 1024 * 1024, 'n'), payDTA));
}

// The extreme amounts: the DTA total wraps around, the EZAG file is refused and the old one
// kept (the EZAG field's own edges: tests/ezag).
TEST_F(HostileInput, ExtremeAmountsWrapInTheDtaTotalAndStopTheEzagFile) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    std::vector<std::int64_t> amounts;
    std::string dta_total;  // the 16 characters of the TA 890 total
  } cases[] = {
      {{kMax}, "922337203685477,"}, {{kMin}, "-922337203685477"},
      {{kMax, 1}, "-922337203685477"},  // the total wraps around
      {{kMax, kMin}, "-0,00           "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.amounts));
    Batch batch;
    for (const std::int64_t amount : c.amounts) EXPECT_EQ(S_OK, batch.AddWithAccounts(payIban)->put_Amount(CY{amount}));
    const std::string dta = batch.Write(dir_, "pay.dta", payDTA);
    ASSERT_TRUE(test::IsWholeDtaSegments(dta));
    EXPECT_EQ(c.dta_total, dta.substr(dta.size() - 128 + 53, 16));
    test::WriteWholeFile(dir_.Path("pay.ezag"), "last month");
    EXPECT_EQ("last month", batch.Write(dir_, "pay.ezag", payEzag));
    EXPECT_TRUE(test::IsWellFormedXml(batch.WriteFile(dir_, "pay.xml", payISO)));
  }
}

TEST_F(HostileInput, AHundredThousandPaymentsAreWrittenWholeAndTheDtaSequenceOutgrowsItsField) {
  constexpr int kPayments = 100000;
  Batch batch;
  for (int i = 0; i < kPayments; ++i) {
    ComPtr<IPayment> payment = batch.Add(payESR15);
    EXPECT_EQ(S_OK, payment->put_Amount(CY{1234500}));
    EXPECT_EQ(S_OK, payment->put_Date(46000.0));
  }
  // TA 826 records of three segments; from payment 100,000 on the entry sequence number has
  // six digits and pushes the rest of its record, and of the total record, one place on.
  const std::string dta = batch.Write(dir_, "pay.dta", payDTA);
  EXPECT_EQ(kPayments * 3 * 128u + 128 + 2, dta.size());
  EXPECT_TRUE(test::IsWholeDtaSegments(dta.substr(0, (kPayments - 1) * 3 * 128)));
  EXPECT_EQ("100001890", dta.substr(dta.size() - 128 - 1 + 43, 9));
  const std::string ezag = batch.Write(dir_, "pay.ezag", payEzag);
  EXPECT_TRUE(test::IsWholeEzagRecords(ezag));
  EXPECT_EQ((kPayments + 2) * 701u, ezag.size());
  const std::string iso = batch.WriteFile(dir_, "pay.xml", payISO);
  EXPECT_TRUE(test::IsWellFormedXml(iso));
  EXPECT_NE(std::string::npos, ReadWholeFile(iso).value_or("").find("<NbOfTxs>100000</NbOfTxs>"));
}

}  // namespace
}  // namespace ordexa
