// Throughput of the three writers on payroll-sized batches, and of the field helpers they
// call once per field.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "dta/dta_writer.h"
#include "ezag/ezag_writer.h"
#include "format/amount.h"
#include "format/iban.h"
#include "format/record_text.h"
#include "iso/iso_writer.h"
#include "platform/cp1252.h"

namespace ordexa {
namespace {

struct Batch {
  PaySettingRecord settings;
  PaymentList payments;
};

// A payroll batch: mostly salaries to Swiss IBANs, some postal, ESR and foreign payments.
Batch MakeBatch(std::int64_t count) {
  Batch batch;
  batch.settings.sender = {"Muster & Co AG", "Lohnb\xFC" "ro", "Bahnhofstrasse 1", "8001 Z\xFCrich", "", "", ""};
  batch.settings.dta_id = "MUS01";
  batch.settings.dta_id_sender = "MUS01";
  batch.settings.is_salary = true;
  batch.settings.cost_currency = "CHF";
  static constexpr std::int32_t kTypes[] = {payIban, payIban, payIban, payIban, payIban, payIban,
                                            payRedPost, payESR16, payRedBank, payIban};
  for (std::int64_t i = 0; i < count; ++i) {
    PaymentRecord& p = batch.payments.emplace_back();
    p.type = kTypes[i % 10];
    p.date = 45000.0 + static_cast<double>(i % 20);
    p.amount.int64 = 54321000 + i * 137;
    p.reason = "Lohn Dezember 2026 Personalnummer " + std::to_string(i);
    p.bank_src = {"UBS Switzerland AG", "", "", "8098 Z\xFCrich", "230", "CH93 0076 2011 6238 5295 7", ""};
    p.bank_dst = {"Z\xFCrcher Kantonalbank", "", "", "8010 Z\xFCrich", "700", "ch56 0483 5012 3456 7800 9", ""};
    if (p.type == payRedPost) p.bank_dst.account = "01-162-8";
    if (p.type == payESR16) {
      p.bank_dst.account = "010001628";
      p.esr = "210000000003139471430009017";
    }
    p.receiver = {"M\xFCller Anna", "", "Seestrasse 12", "8800 Thalwil", "", "", ""};
  }
  return batch;
}

std::string OutputPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// Writes the batch of state.range(0) payments with `write` once per iteration and
// reports payments and bytes per second.
template <class Write>
void RunWriter(benchmark::State& state, const char* file_name, Write write) {
  Batch batch = MakeBatch(state.range(0));
  const std::string path = OutputPath(file_name);
  for (auto _ : state) write(batch, path);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

void BM_WriteDta(benchmark::State& state) {
  RunWriter(state, "ordexa-bench.dta", [](Batch& b, const std::string& path) { WriteDtaFile(b.settings, b.payments, path); });
}
BENCHMARK(BM_WriteDta)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteEzag(benchmark::State& state) {
  RunWriter(state, "ordexa-bench.ezag", [](Batch& b, const std::string& path) { WriteEzagFile(b.settings, b.payments, path); });
}
BENCHMARK(BM_WriteEzag)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteIso(benchmark::State& state) {
  RunWriter(state, "ordexa-bench.xml",
            [](Batch& b, const std::string& path) { WriteIsoFile(b.settings, b.payments, path, "2026-12", true); });
}
BENCHMARK(BM_WriteIso)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FormatAmount(benchmark::State& state) {
  std::int64_t amount = 12345678901;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatAmountText(amount, kDtaAmountFormat));
    amount += 7;
  }
}
BENCHMARK(BM_FormatAmount);

void BM_NormalizeIban(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(NormalizeIban(" ch93 0076 2011 6238 5295 7 "));
}
BENCHMARK(BM_NormalizeIban);

void BM_CleanRecordText(benchmark::State& state) {
  const std::string text = "M\xFCller & S\xF6hne AG, Bahnhofstra\xDF" "e 1, 8001 Z\xFCrich";
  for (auto _ : state) benchmark::DoNotOptimize(CleanRecordText(text));
}
BENCHMARK(BM_CleanRecordText);

void BM_WideToCp1252(benchmark::State& state) {
  const std::u16string text = u"\u0141ukasz M\u00FCller, Bahnhofstra\u00DFe 1, 8001 Z\u00FCrich \u20AC";
  for (auto _ : state) benchmark::DoNotOptimize(WideToCp1252(text));
}
BENCHMARK(BM_WideToCp1252);

}  // namespace
}  // namespace ordexa
