// The batch JSON reader of payfile on any bytes: it reads a batch or refuses it with a
// message naming the file; a batch it reads has payments, fills the manager's records
// exactly as the same puts through the interfaces do, and gives a well-formed ISO
// document and whole DTA segments (when its dates fit the six-character field).
#include <cstddef>
#include <cstdint>
#include <string>

#include <simdjson.h>

#include "fuzz_support.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "tools/payfile/batch_fill.h"
#include "tools/payfile/batch_json.h"
#include "tests/support/interface_fill.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  const simdjson::padded_string json(reinterpret_cast<const char*>(data), size);
  simdjson::ondemand::parser parser;
  payfile::Batch batch;
  try {
    batch = payfile::ReadBatchJson(json, "fuzz.json", parser);
  } catch (const payfile::BatchError& error) {
    FUZZ_CHECK(std::string_view(error.what()).starts_with("fuzz.json"), error.what());
    return 0;
  }
  FUZZ_CHECK(!batch.payments.empty(), "a batch has payments");

  const ScopedClock clock(FixedClock({.wYear = 2026, .wMonth = 12, .wDay = 6}));
  ComPtr<CPayManager> manager = CPayManager::New();
  FUZZ_CHECK(payfile::FillManager(batch, *manager.get()) == batch.payments.size(), "every payment reaches the manager");
  const ComPtr<CPayManager> reference = CPayManager::New();
  test::FillThroughInterfaces(batch, *reference.get());
  FUZZ_CHECK(test::SameRecords(manager->batch(), reference->batch()), "the direct fill equals the interfaces' fill");

  bool dates_fit = true;
  for (const PaymentRecord& payment : manager->batch().payments) dates_fit = dates_fit && payment.date < 73050.99;
  fuzz::MemoryFileSystem files;
  manager->WriteBatch(payDTA, "pay.dta", "", false, files);
  const std::string* dta = files.Closed("pay.dta");
  FUZZ_CHECK(dta != nullptr && dta->size() >= 128, "a DTA file");
  if (dates_fit) FUZZ_CHECK(dta->size() % 128 == 0, *dta);
  manager->WriteBatch(payISO, "pay.xml", "2026-12", true, files);
  const std::string* iso = files.Closed("pay.xml");
  FUZZ_CHECK(iso != nullptr && fuzz::IsWellFormedXml(*iso), iso == nullptr ? "no ISO file" : *iso);
  return 0;
}
