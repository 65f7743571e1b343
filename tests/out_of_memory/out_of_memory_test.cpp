// Memory running out at every allocation of a small batch, one failure point at a time:
// building the batch through the interfaces gives E_OUTOFMEMORY and changes nothing, or
// succeeds; writing it returns S_OK and leaves either the old file, a beginning of the
// whole file (DTA, EZAG) or the whole file; ISO never touches the final file unless whole.
// Nothing leaks at any point.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <tuple>

#include "model/pay_manager.h"
#include "out_of_memory/allocation_hook.h"
#include "platform/clock.h"
#include "support/bstr.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

using test::Bstr;
using test::LiveAllocations;
using test::ReadWholeFile;
using test::ScopedAllocationFailure;

// More failure points than any of the scenarios has: the loops stop when a run completes
// without reaching its failure point.
constexpr int kMaxFailurePoints = 5000;

constexpr SYSTEMTIME kNow = {.wYear = 2026, .wMonth = 12, .wDay = 6, .wHour = 9};

bool OkOrOutOfMemory(HRESULT hr, const char* call) {
  EXPECT_TRUE(hr == S_OK || hr == E_OUTOFMEMORY) << call << " gave 0x" << std::hex << hr;
  return hr == S_OK;
}

// Puts a text longer than any short-string buffer; the field has the new text on success
// and its old one on failure. The old text is kept without allocating, so the test itself
// never takes one of the failure points.
template <class Interface>
void PutLongText(Interface* object, HRESULT (Interface::*put)(BSTR), const PayBatch& batch, const TextRef& field,
                 const char* name) {
  char before[128];
  const std::string_view old_text = batch.Text(field);
  ASSERT_LE(old_text.size(), sizeof before) << name;
  std::copy(old_text.begin(), old_text.end(), before);
  const std::string_view before_text(before, old_text.size());
  const Bstr text(u"M\u00FCller & S\u00F6hne Aktiengesellschaft, Z\u00FCrich");
  if (OkOrOutOfMemory((object->*put)(text), name)) {
    EXPECT_EQ("M\xFCller & S\xF6hne Aktiengesellschaft, Z\xFCrich", batch.Text(field)) << name;
  } else {
    EXPECT_EQ(before_text, batch.Text(field)) << name;
  }
}

// Builds a batch of three payments through the interfaces, each call allowed to fail for
// want of memory and then changing nothing.
void BuildBatch() {
  ComPtr<IPayManager> manager;
  if (!OkOrOutOfMemory(CPayManager::CreateInstance(IID_IPayManager, reinterpret_cast<void**>(manager.put())),
                       "CreateInstance")) {
    EXPECT_FALSE(manager);
    return;
  }
  const PayBatch& batch = static_cast<CPayManager*>(manager.get())->batch();
  ComPtr<IDispatch> settings_dispatch;
  if (OkOrOutOfMemory(manager->get_Setting(settings_dispatch.put()), "get_Setting")) {
    ComPtr<IPaySetting> settings = settings_dispatch.As<IPaySetting>(IID_IPaySetting);
    PutLongText(settings.get(), &IPaySetting::put_DtaID, batch, batch.settings.dta_id, "DtaID");
    PutLongText(settings.get(), &IPaySetting::put_CostAccount, batch, batch.settings.cost_account, "CostAccount");
    ComPtr<IDispatch> sender;
    if (OkOrOutOfMemory(settings->get_Sender(sender.put()), "get_Sender")) {
      PutLongText(sender.As<IPayAddress>(IID_IPayAddress).get(), &IPayAddress::put_Name1, batch,
                  batch.settings.sender.name1, "Sender.Name1");
    }
  }
  for (const PayTypes type : {payIban, payESR15, payRedPost}) {
    const std::size_t before = batch.payments.size();
    ComPtr<IDispatch> dispatch;
    if (!OkOrOutOfMemory(manager->NewPayment(type, dispatch.put()), "NewPayment")) {
      EXPECT_EQ(before, batch.payments.size());
      EXPECT_FALSE(dispatch);
      continue;
    }
    ASSERT_EQ(before + 1, batch.payments.size());
    const PaymentRecord& record = batch.payments.back();
    ComPtr<IPayment> payment = dispatch.As<IPayment>(IID_IPayment);
    EXPECT_EQ(S_OK, payment->put_Amount(CY{1234500}));
    PutLongText(payment.get(), &IPayment::put_Reason, batch, record.reason, "Reason");
    ComPtr<IDispatch> receiver;
    if (OkOrOutOfMemory(payment->get_Receiver(receiver.put()), "get_Receiver")) {
      PutLongText(receiver.As<IPayAddress>(IID_IPayAddress).get(), &IPayAddress::put_Street, batch,
                  record.receiver.street, "Receiver.Street");
    }
  }
}

// Memory fails once, or stays exhausted from the failure point on.
class OutOfMemoryBuild : public testing::TestWithParam<bool> {};

TEST_P(OutOfMemoryBuild, FailsCallByCallAndLeaksNothing) {
  const std::int32_t objects = ModuleLockCount();
  int failure_point = 0;
  for (; failure_point < kMaxFailurePoints; ++failure_point) {
    SCOPED_TRACE(failure_point);
    const std::int64_t live = LiveAllocations();
    bool failed = false;
    {
      ScopedAllocationFailure failure(failure_point, GetParam());
      BuildBatch();
      failed = test::AllocationFailed();
    }
    EXPECT_EQ(live, LiveAllocations()) << "leaked allocations";
    EXPECT_EQ(objects, ModuleLockCount()) << "objects left alive";
    if (!failed || HasFailure()) break;
  }
  RecordProperty("failure_points", failure_point);
  // The manager, its batch and every view handed out: texts and payment records take no
  // allocation of their own (their blocks come straight from the system).
  EXPECT_GT(failure_point, 10);
}

INSTANTIATE_TEST_SUITE_P(OnceOrFromThenOn, OutOfMemoryBuild, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "FromThenOn" : "Once"; });

// A batch whose every payment gets a record in all three formats.
ComPtr<CPayManager> SmallBatch() {
  ComPtr<CPayManager> manager = CPayManager::New();
  PayBatch& batch = const_cast<PayBatch&>(manager->batch());
  batch.SetText(batch.settings.dta_id, "ABC12");
  batch.SetText(batch.settings.dta_id_sender, "XYZ34");
  batch.SetText(batch.settings.sender.name1, "Veltrano AG with a name longer than a short string");
  batch.SetText(batch.settings.sender.city, "8001 Z\xFCrich");
  const std::pair<PayTypes, const char*> payments[] = {
      {payIban, "CH9300762011623852957"}, {payESR15, "01-162-8"}, {payRedPost, "80-2-2"}};
  for (const auto& [type, account] : payments) {
    PaymentRecord& record = batch.payments.emplace_back();
    record.type = type;
    record.date = 46000.0;
    record.amount.int64 = 1234500;
    batch.SetText(record.reason, "Salary December, with a reason longer than a short string");
    batch.SetText(record.bank_src.account, "CH9300762011623852957");
    batch.SetText(record.bank_dst.account, account);
    batch.SetText(record.receiver.name1, "Anna M\xFCller-Leuthold");
    batch.SetText(record.receiver.street, "Bahnhofstra\xDF" "e 1");
    batch.SetText(record.receiver.city, "3000 Bern");
    batch.SetText(record.esr, "000000000000000000000000018");
  }
  return manager;
}

struct WriteCase {
  const char* test_name;
  const char* name;
  PayFileTypes type;
  VARIANT_BOOL swiss;
  bool whole_or_nothing;  // the final file is replaced only by a whole document
};

void PrintTo(const WriteCase& write, std::ostream* out) { *out << write.name; }

class OutOfMemoryWrite : public testing::TestWithParam<std::tuple<WriteCase, bool>> {};

TEST_P(OutOfMemoryWrite, ReturnsOkAndLeavesTheOldFileAPartOrTheWholeFile) {
  const auto& [write, keep_failing] = GetParam();
  const ScopedClock clock(FixedClock(kNow));
  const test::TempDir dir;
  const std::string path = dir.Path(write.name);
  ComPtr<CPayManager> manager = SmallBatch();
  const Bstr file_name(std::u16string(path.begin(), path.end()));
  const Bstr period(u"2026-12");
  ASSERT_EQ(S_OK, manager->WriteFile(file_name, write.type, period, write.swiss));
  const std::string whole = ReadWholeFile(path).value_or("");
  ASSERT_GT(whole.size(), 500u);
  const std::string old_content = "the file of the month before";

  int failure_point = 0;
  for (; failure_point < kMaxFailurePoints; ++failure_point) {
    SCOPED_TRACE(failure_point);
    test::WriteWholeFile(path, old_content);
    std::filesystem::remove(path + ".tmp");
    const std::int64_t live = LiveAllocations();
    bool failed = false;
    HRESULT hr = E_FAIL;
    {
      ScopedAllocationFailure failure(failure_point, keep_failing);
      hr = manager->WriteFile(file_name, write.type, period, write.swiss);
      failed = test::AllocationFailed();
    }
    EXPECT_EQ(S_OK, hr);
    EXPECT_EQ(live, LiveAllocations()) << "leaked allocations";
    const std::string content = ReadWholeFile(path).value_or("(no file)");
    if (!failed) {
      EXPECT_EQ(whole, content);
      break;
    }
    if (write.whole_or_nothing) {
      EXPECT_TRUE(content == old_content || content == whole) << content;
    } else {
      EXPECT_TRUE(content == old_content || whole.starts_with(content)) << content;
    }
    if (HasFailure()) break;
  }
  RecordProperty("failure_points", failure_point);
  EXPECT_GT(failure_point, 3);
}

const WriteCase kWrites[] = {
    {"Dta", "pay.dta", payDTA, VARIANT_FALSE, false},
    {"Ezag", "pay.ezag", payEzag, VARIANT_FALSE, false},
    {"IsoSwiss", "pay-ch.xml", payISO, VARIANT_TRUE, true},
    {"IsoGeneric", "pay.xml", payISO, VARIANT_FALSE, true},
};
INSTANTIATE_TEST_SUITE_P(AllFormats, OutOfMemoryWrite, testing::Combine(testing::ValuesIn(kWrites), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<WriteCase, bool>>& info) {
                           return std::string(std::get<0>(info.param).test_name) +
                                  (std::get<1>(info.param) ? "FromThenOn" : "Once");
                         });

}  // namespace
}  // namespace ordexa
