// `make bench`: fills the model with realistic payroll batches of 10,000, 100,000 and
// 1,000,000 payments through the interfaces, writes each format, and compares every writer
// with plain write calls of the same bytes from a prepared buffer. One child process per
// batch size, so each size's peak resident memory is its own.
//
//   ordexa_bench                 the table, medians of several repetitions
//   ordexa_bench --quick         10,000 payments once (proves the benchmark runs)
//   ordexa_bench --size N REPS   the table for N payments only, REPS repetitions
//   ordexa_bench --json N FILE   writes the batch of N payments as a payfile JSON batch
//   ordexa_bench --json-2019 N FILE   the same with QR-bills in place of ISR slips
//   ordexa_bench --fill N REPS   only the early-bound fill of N payments, REPS times in one
//                                process, each repetition's time per payment (for perf stat)
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/payroll_batch.h"
#include "com/automation_binding.h"
#include "failure/failure.h"
#include "model/pay_manager.h"
#include "platform/clock.h"

namespace ordexa::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Format {
  const char* name;
  std::int32_t file_type;
  bool swiss;
  const char* file_name;
};
constexpr Format kFormats[] = {
    {"DTA", payDTA, false, "bench.dta"},
    {"EZAG", payEzag, false, "bench.ezag"},
    {"ISO ch", payISO, true, "bench-ch.xml"},
    {"ISO", payISO, false, "bench.xml"},
    {"ISO2019 ch", payISO2019, true, "bench-2019-ch.xml"},
    {"ISO2019", payISO2019, false, "bench-2019.xml"},
};

// The Swiss 2019 file holds at most 99,999 transactions: for a larger size it is measured
// with a batch of that many, filled for it alone.
constexpr std::size_t kSwiss2019Limit = 99999;

// The payments format `f` writes when a size of `payments` is measured.
std::size_t PaymentsWritten(std::size_t f, std::size_t payments) {
  const bool limited = kFormats[f].file_type == payISO2019 && kFormats[f].swiss;
  return limited ? std::min(payments, kSwiss2019Limit) : payments;
}

// Through a temporary file, synced and renamed: the ISO writers.
bool ThroughTemporary(std::size_t f) { return kFormats[f].file_type == payISO || kFormats[f].file_type == payISO2019; }
constexpr std::size_t kFormatCount = std::size(kFormats);

// Before each timed write: what earlier writes left for the disk is written out, so a
// write's sync waits for its own file only. On ext4 a file's sync also commits what other
// files have pending, so without this a row pays for the unsynced rows before it.
void SettleDisk() { sync(); }

// A median and whether the repetitions spread widely around it.
struct Figure {
  double median_ms = 0;
  bool wide = false;
};

Figure FigureOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  Figure figure;
  figure.median_ms = samples[samples.size() / 2];
  figure.wide = samples.size() > 1 && figure.median_ms > 0 &&
                (samples.back() - samples.front()) / figure.median_ms > 0.25;
  return figure;
}

// What one child process measures for one batch size; sent to the parent as bytes.
struct SizeResult {
  std::size_t payments = 0;
  int repetitions = 0;
  Figure fill, late_fill, release;
  double batch_bytes_per_payment = 0;
  Figure write[kFormatCount], raw[kFormatCount];
  std::uint64_t bytes[kFormatCount] = {};
  double peak_after_fill_mb = 0, peak_mb = 0;
  bool ok = false;
};

// Heap in use, blocks the allocator maps of their own included.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The batch's blocks taken straight from the system, which the heap does not count.
std::size_t SystemBlocks(const CPayManager& manager) {
  return manager.batch().texts.Reserved() + manager.batch().payments.Reserved();
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }


double PeakResidentMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// Processor time of the process (user and system), in milliseconds: less disturbed than
// wall time when other work shares the machine.
double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::vector<char> ReadWhole(const std::string& path) {
  std::vector<char> bytes(std::filesystem::file_size(path));
  const int fd = open(path.c_str(), O_RDONLY);
  std::size_t done = 0;
  while (fd >= 0 && done < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (fd >= 0) close(fd);
  return bytes;
}

// The formats whose files prove that the late-bound fill gave the same batch. ISO comes
// first: writing it leaves the sender's name upper case in the settings, as the early-bound
// batch already has it from its own ISO writes.
constexpr std::size_t kComparedFormats[] = {2, 0};

// FileDigest(): FNV-1a over the bytes of a file, read piece by piece so a large file costs
// no memory of its size.
std::uint64_t FileDigest(const std::string& path) {
  std::uint64_t digest = 0xcbf29ce484222325ull;
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return 0;
  std::vector<unsigned char> piece(1 << 20);
  ssize_t n;
  while ((n = read(fd, piece.data(), piece.size())) > 0) {
    for (ssize_t i = 0; i < n; ++i) digest = (digest ^ piece[static_cast<std::size_t>(i)]) * 0x100000001b3ull;
  }
  close(fd);
  return digest;
}

// WriteForComparison(): the digest of the file of format `f`, written at a fixed time so
// two batches' files can be compared.
std::uint64_t WriteForComparison(CPayManager& manager, std::size_t f, const std::string& folder) {
  const ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2026, .wMonth = 12, .wDay = 20, .wHour = 9}));
  const std::string path = folder + "/compare-" + kFormats[f].file_name;
  manager.WriteBatch(kFormats[f].file_type, path, "2026-12", kFormats[f].swiss);
  const std::uint64_t digest = FileDigest(path);
  std::filesystem::remove(path);
  return digest;
}

// The same bytes with plain write calls from a prepared buffer, done the way the writer
// finishes its file: the ISO document through a temporary file, synced and renamed.
double RawWrite(const std::vector<char>& bytes, const std::string& path, bool through_temporary) {
  const std::string target = through_temporary ? path + ".tmp" : path;
  SettleDisk();
  const Clock::time_point start = Clock::now();
  const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return -1;
  constexpr std::size_t kPiece = 1 << 20;
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, std::min(kPiece, bytes.size() - done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (through_temporary) fsync(fd);
  close(fd);
  if (through_temporary) std::rename(target.c_str(), path.c_str());
  return Ms(Clock::now() - start);
}

// WriteFormats(): writes each format of this vintage that a size of `payments` measures with
// a batch of `batch_payments`, timing each write into `write` and keeping its size. False
// when a writer refuses the batch.
bool WriteFormats(CPayManager& manager, PayrollVintage vintage, std::size_t payments, std::size_t batch_payments,
                  const std::string& folder, std::vector<double> (&write)[kFormatCount], SizeResult& result) {
  for (std::size_t f = 0; f < kFormatCount; ++f) {
    if (PaymentsWritten(f, payments) != batch_payments ||
        (kFormats[f].file_type == payISO2019) != (vintage == PayrollVintage::k2019)) {
      continue;
    }
    const std::string path = folder + "/" + kFormats[f].file_name;
    SettleDisk();
    const Clock::time_point start = Clock::now();
    try {
      manager.WriteBatch(kFormats[f].file_type, path, "2026-12", kFormats[f].swiss);
    } catch (const MPayError& refused) {
      std::fprintf(stderr, "ordexa_bench: %s refused: %s\n", kFormats[f].name, refused.text().c_str());
      return false;
    }
    write[f].push_back(Ms(Clock::now() - start));
    result.bytes[f] = std::filesystem::file_size(path);
  }
  return true;
}

SizeResult MeasureSize(std::size_t payments, int repetitions, const std::string& folder) {
  SizeResult result;
  result.payments = payments;
  result.repetitions = repetitions;
  const PayrollBatch batch(payments);
  const PayrollBatch modern(payments, PayrollVintage::k2019);
  std::optional<PayrollBatch> swiss_modern;
  if (payments > kSwiss2019Limit) swiss_modern.emplace(kSwiss2019Limit, PayrollVintage::k2019);
  std::vector<double> fill, late_fill, release, write[kFormatCount];
  std::uint64_t early_files[std::size(kComparedFormats)] = {};
  for (int rep = 0; rep < repetitions; ++rep) {
    const std::size_t heap_before = HeapInUse();
    ComPtr<CPayManager> manager = CPayManager::New();
    Clock::time_point start = Clock::now();
    if (!FillManager(*manager.get(), batch)) return result;
    fill.push_back(Ms(Clock::now() - start));
    if (rep == 0) {
      result.batch_bytes_per_payment =
          static_cast<double>(HeapInUse() - heap_before + SystemBlocks(*manager.get())) / static_cast<double>(payments);
      result.peak_after_fill_mb = PeakResidentMb();
    }
    if (!WriteFormats(*manager.get(), PayrollVintage::kClassic, payments, payments, folder, write, result)) {
      return result;
    }
    if (rep == 0) {
      for (std::size_t c = 0; c < std::size(kComparedFormats); ++c) {
        early_files[c] = WriteForComparison(*manager.get(), kComparedFormats[c], folder);
      }
    }
    start = Clock::now();
    manager = nullptr;
    release.push_back(Ms(Clock::now() - start));

    // The same batch late-bound, through a manager that carries the automation binding.
    ComPtr<IDispatch> dispatch;
    if (FAILED(CPayManager::CreateInstance(IID_IDispatch, reinterpret_cast<void**>(dispatch.put()),
                                           &OrdexaBinding()))) {
      return result;
    }
    start = Clock::now();
    if (!FillManagerLateBound(*dispatch.get(), batch)) {
      std::fprintf(stderr, "ordexa_bench: a late-bound call failed\n");
      return result;
    }
    late_fill.push_back(Ms(Clock::now() - start));
    if (rep == 0) {
      auto& late = *static_cast<CPayManager*>(dispatch.get());
      for (std::size_t c = 0; c < std::size(kComparedFormats); ++c) {
        if (WriteForComparison(late, kComparedFormats[c], folder) != early_files[c]) {
          std::fprintf(stderr, "ordexa_bench: the late-bound batch writes another %s file\n",
                       kFormats[kComparedFormats[c]].name);
          return result;
        }
      }
    }
    dispatch = nullptr;

    // The 2019 file from the same payroll with QR-bills in place of ISR slips.
    manager = CPayManager::New();
    if (!FillManager(*manager.get(), modern) ||
        !WriteFormats(*manager.get(), PayrollVintage::k2019, payments, payments, folder, write, result)) {
      return result;
    }
    if (swiss_modern) {
      manager = CPayManager::New();
      if (!FillManager(*manager.get(), *swiss_modern) ||
          !WriteFormats(*manager.get(), PayrollVintage::k2019, payments, kSwiss2019Limit, folder, write, result)) {
        return result;
      }
    }
    manager = nullptr;
  }
  result.peak_mb = PeakResidentMb();
  result.fill = FigureOf(fill);
  result.late_fill = FigureOf(late_fill);
  result.release = FigureOf(release);
  for (std::size_t f = 0; f < kFormatCount; ++f) {
    const std::string path = folder + "/" + kFormats[f].file_name;
    const std::vector<char> bytes = ReadWhole(path);
    std::vector<double> raw;
    for (int rep = 0; rep < repetitions; ++rep) raw.push_back(RawWrite(bytes, path, ThroughTemporary(f)));
    result.write[f] = FigureOf(write[f]);
    result.raw[f] = FigureOf(raw);
    std::filesystem::remove(path);
  }
  result.ok = true;
  return result;
}

// Runs MeasureSize in a child process and reads its result back through a pipe.
SizeResult MeasureInChild(std::size_t payments, int repetitions, const std::string& folder) {
  SizeResult result;
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return result;
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    const SizeResult measured = MeasureSize(payments, repetitions, folder);
    const ssize_t written = write(pipe_ends[1], &measured, sizeof measured);
    _exit(written == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
  }
  close(pipe_ends[1]);
  std::size_t done = 0;
  auto* bytes = reinterpret_cast<char*>(&result);
  while (child > 0 && done < sizeof result) {
    const ssize_t n = read(pipe_ends[0], bytes + done, sizeof result - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  close(pipe_ends[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  if (done != sizeof result) result.ok = false;
  return result;
}

std::string Grouped(double value) {
  const auto whole = static_cast<long long>(value + 0.5);
  const std::string digits = std::to_string(whole);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) text.push_back(',');
    text.push_back(digits[i]);
  }
  return text;
}

std::string Millis(const Figure& figure) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%s", figure.median_ms, figure.wide ? "~" : "");
  return text;
}

void PrintTable(const std::vector<SizeResult>& results) {
  std::printf("| payments | fill ms | fill payments/s | late-bound fill ms | batch B/payment | release ms | format | "
              "write ms | bytes | MB/s | payments/s | raw write ms | writer/raw | peak RSS MB (after fill) |\n");
  std::printf("|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const SizeResult& r : results) {
    if (!r.ok) {
      std::printf("| %s | failed |\n", Grouped(static_cast<double>(r.payments)).c_str());
      continue;
    }
    const auto n = static_cast<double>(r.payments);
    for (std::size_t f = 0; f < kFormatCount; ++f) {
      const auto written = static_cast<double>(PaymentsWritten(f, r.payments));
      const std::string name = written == n ? std::string(kFormats[f].name)
                                            : std::string(kFormats[f].name) + " (" + Grouped(written) + ")";
      const double seconds = r.write[f].median_ms / 1000.0;
      std::printf("| %s | %s | %s | %s | %.0f | %s | %s | %s | %s | %.0f | %s | %s | %.2f | %.0f (%.0f) |\n",
                  Grouped(n).c_str(), Millis(r.fill).c_str(), Grouped(n / (r.fill.median_ms / 1000.0)).c_str(),
                  Millis(r.late_fill).c_str(), r.batch_bytes_per_payment, Millis(r.release).c_str(), name.c_str(), Millis(r.write[f]).c_str(),
                  Grouped(static_cast<double>(r.bytes[f])).c_str(), static_cast<double>(r.bytes[f]) / 1e6 / seconds,
                  Grouped(written / seconds).c_str(), Millis(r.raw[f]).c_str(), r.write[f].median_ms / r.raw[f].median_ms,
                  r.peak_mb, r.peak_after_fill_mb);
    }
  }
  std::printf("\nWall times, medians of the repetitions (");
  for (const SizeResult& r : results) {
    std::printf("%s%d for %s", &r == &results.front() ? "" : ", ", r.repetitions,
                Grouped(static_cast<double>(r.payments)).c_str());
  }
  std::printf("); \"~\" marks a spread (max - min) above 25%% of the median.\n");
  std::printf("fill: NewPayment and every put through the interfaces, texts as UTF-16 caller strings. "
              "late-bound fill: the same calls through IDispatch\n(names looked up once per class, Invoke with VARIANTs), "
              "checked to write the same files. batch B/payment: heap in use after the fill, with the batch's blocks from the system.\nraw write: the same bytes from a prepared buffer in "
              "1 MiB write calls (ISO: through a temporary file, synced and renamed, as the writer does).\n"
              "Every timed write, the writers' and the raw ones, starts after a sync: nothing earlier is left for the disk.\n");
  // Linearity: time per payment of each size relative to the largest size measured.
  if (results.size() > 1 && results.back().ok) {
    const SizeResult& last = results.back();
    std::printf("per-payment time relative to %s payments:", Grouped(static_cast<double>(last.payments)).c_str());
    for (const SizeResult& r : results) {
      if (!r.ok) continue;
      const double scale = static_cast<double>(last.payments) / static_cast<double>(r.payments);
      std::printf(" %s: fill %.2f", Grouped(static_cast<double>(r.payments)).c_str(),
                  r.fill.median_ms * scale / last.fill.median_ms);
      for (std::size_t f = 0; f < kFormatCount; ++f) {
        const double per_payment = r.write[f].median_ms / static_cast<double>(PaymentsWritten(f, r.payments));
        const double last_per_payment = last.write[f].median_ms / static_cast<double>(PaymentsWritten(f, last.payments));
        std::printf(", %s %.2f", kFormats[f].name, per_payment / last_per_payment);
      }
      std::printf(";");
    }
    std::printf("\n");
  }
}

int Run(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && (args[0] == "--json" || args[0] == "--json-2019")) {
    const PayrollBatch batch(std::strtoull(args[1].c_str(), nullptr, 10),
                             args[0] == "--json" ? PayrollVintage::kClassic : PayrollVintage::k2019);
    std::FILE* out = args[2] == "-" ? stdout : std::fopen(args[2].c_str(), "wb");
    if (out == nullptr) {
      std::fprintf(stderr, "ordexa_bench: cannot create %s: %s\n", args[2].c_str(), std::strerror(errno));
      return 1;
    }
    WriteBatchJson(batch, out);
    return std::fclose(out) == 0 ? 0 : 1;
  }
  if (args.size() == 3 && args[0] == "--fill") {
    const PayrollBatch batch(std::strtoull(args[1].c_str(), nullptr, 10));
    const int repetitions = std::atoi(args[2].c_str());
    for (int rep = 0; rep < repetitions; ++rep) {
      ComPtr<CPayManager> manager = CPayManager::New();
      const long faults_before = MinorFaults();
      const double cpu_before = CpuMs();
      const Clock::time_point start = Clock::now();
      if (!FillManager(*manager.get(), batch)) return 1;
      const double ms = Ms(Clock::now() - start);
      const auto n = static_cast<double>(batch.size());
      std::printf("fill %zu: %.3f us/payment (processor %.3f), %.4f page faults/payment\n", batch.size(),
                  ms * 1000.0 / n, (CpuMs() - cpu_before) * 1000.0 / n,
                  static_cast<double>(MinorFaults() - faults_before) / n);
    }
    return 0;
  }
  if (args.size() == 4 && args[0] == "--write-2019") {
    // One 2019 payroll filled once and written again and again into FOLDER: the writer
    // alone, wall and processor time per write, for comparing two builds of it.
    const PayrollBatch batch(std::strtoull(args[1].c_str(), nullptr, 10), PayrollVintage::k2019);
    const int repetitions = std::atoi(args[2].c_str());
    ComPtr<CPayManager> manager = CPayManager::New();
    if (!FillManager(*manager.get(), batch)) return 1;
    const std::string path = args[3] + "/write-2019.xml";
    for (int rep = 0; rep < repetitions; ++rep) {
      for (const bool swiss : {true, false}) {
        const double cpu_before = CpuMs();
        const Clock::time_point start = Clock::now();
        try {
          manager->WriteBatch(payISO2019, path, "2026-12", swiss);
        } catch (const MPayError& refused) {
          std::fprintf(stderr, "ordexa_bench: refused: %s\n", refused.text().c_str());
          return 1;
        }
        std::printf("%s %.1f ms (processor %.1f)\n", swiss ? "ch" : "generic", Ms(Clock::now() - start),
                    CpuMs() - cpu_before);
      }
    }
    std::filesystem::remove(path);
    return 0;
  }
  const bool quick = args.size() == 1 && args[0] == "--quick";
  const bool one_size = args.size() == 3 && args[0] == "--size";
  if (!args.empty() && !quick && !one_size) {
    std::fprintf(stderr, "usage: ordexa_bench [--quick | --size N REPS | --json N FILE | --json-2019 N FILE | --fill N REPS | --write-2019 N REPS FOLDER]\n");
    return 2;
  }
  const char* base = std::getenv("ORDEXA_BENCH_DIR");
  const std::string folder = (base != nullptr ? std::string(base) : std::filesystem::temp_directory_path().string()) +
                             "/ordexa-bench-" + std::to_string(getpid());
  std::filesystem::create_directories(folder);

  struct Size {
    std::size_t payments;
    int repetitions;
  };
  const std::vector<Size> sizes =
      quick      ? std::vector<Size>{{10000, 1}}
      : one_size ? std::vector<Size>{{std::strtoull(args[1].c_str(), nullptr, 10), std::atoi(args[2].c_str())}}
                 : std::vector<Size>{{10000, 5}, {100000, 5}, {1000000, 3}};
  std::vector<SizeResult> results;
  for (const Size& size : sizes) {
    std::fprintf(stderr, "measuring %zu payments ...\n", size.payments);
    results.push_back(MeasureInChild(size.payments, size.repetitions, folder));
  }
  std::filesystem::remove_all(folder);
  PrintTable(results);
  return std::all_of(results.begin(), results.end(), [](const SizeResult& r) { return r.ok; }) ? 0 : 1;
}

}  // namespace
}  // namespace ordexa::bench

int main(int argc, char** argv) { return ordexa::bench::Run(argc, argv); }
