// The commands: batch in, warnings and files out.
#include "tools/payfile/commands.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <iostream>
#include <optional>
#include <span>
#include <system_error>

#include <stdlib.h>

#include "format/iban.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/file_system.h"
#include "tools/payfile/batch_check.h"
#include "tools/payfile/batch_fill.h"
#include "tools/payfile/batch_json.h"
#include "tools/payfile/batch_schema.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/demo_batch.h"
#include "tools/payfile/iban_problem.h"
#include "tools/payfile/iso2019_check.h"
#include "tools/payfile/local_date.h"
#include "tools/payfile/payment_file.h"

namespace ordexa::payfile {
namespace {

constexpr std::string_view kFormatNames[] = {"DTA", "EZAG", "ISO", "ISO 2019"};

std::int32_t FileTypeOf(const std::string& type) {
  if (type == "ezag") return payEzag;
  if (type == "iso") return payISO;
  if (type == "iso2019") return payISO2019;
  return payDTA;
}

std::string FormatName(std::int32_t file_type, bool swiss) {
  std::string name(kFormatNames[file_type]);
  if (file_type == payISO || file_type == payISO2019) name += swiss ? " (Swiss)" : " (generic)";
  return name;
}

// The clock the writers read: fixed for --now (already checked by the command line), else the system clock.
void FixClock(std::optional<ScopedClock>& clock, const std::string& now) {
  if (!now.empty()) clock.emplace(FixedClock(ParseLocalDateTime(now, false).time));
}

std::string SourceName(const std::string& path) { return path == "-" ? "<stdin>" : path; }

// Reads the batch into the manager; a bad batch is printed and gives false.
bool LoadBatch(const std::string& path, CPayManager& manager) {
  try {
    BatchBytes json = LoadBatchText(path);
    simdjson::ondemand::parser parser;
    ManagerFill fill(manager);
    ReadBatchJson(json, SourceName(path), parser, fill);
    return true;
  } catch (const BatchError& error) {
    std::cerr << error.what() << '\n';
    return false;
  }
}

std::vector<BatchWarning> Check(const CPayManager& manager, std::int32_t file_type, bool swiss,
                                const std::string& pay_period) {
  CheckRequest request;
  request.file_type = file_type;
  request.swiss = swiss;
  request.pay_period = pay_period;
  return CheckBatch(manager.batch(), request);
}

// `check` on a second thread while the writer writes; without a thread to spare it runs
// after the writer, when its result is asked for.
template <class Check>
auto BesideTheWriter(const Check& check) -> std::future<decltype(check())> {
  try {
    return std::async(std::launch::async, check);
  } catch (const std::system_error&) {
    return std::async(std::launch::deferred, check);
  }
}

// The check pass beside the writer: both only read the payments; the settings are read
// from a copy, since the ISO writer upper-cases the sender's name in the batch.
std::future<std::vector<BatchWarning>> CheckBesideTheWriter(const CPayManager& manager, std::int32_t file_type,
                                                            bool swiss, const std::string& pay_period) {
  CheckRequest request;
  request.file_type = file_type;
  request.swiss = swiss;
  request.pay_period = pay_period;
  const PayBatch& batch = manager.batch();
  auto settings = std::make_shared<const SettingsCopy>(batch.View(batch.settings));
  return BesideTheWriter([&batch, settings, request] { return CheckBatch(batch, settings->view(), request); });
}

// The batch file itself as the output: writing would replace the batch with the file.
bool IsTheBatchFile(const std::string& batch_path, const std::string& out) {
  if (batch_path == "-" || out == "-") return false;
  std::error_code error;
  return std::filesystem::equivalent(batch_path, out, error);
}

// "--out -": the file is written into a folder of its own under the system's temporary
// folder, then copied to standard output; the folder goes when the command ends.
class StandardOutputFile {
 public:
  StandardOutputFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "payfile-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  }
  ~StandardOutputFile() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  StandardOutputFile(const StandardOutputFile&) = delete;
  StandardOutputFile& operator=(const StandardOutputFile&) = delete;

  bool ok() const { return !folder_.empty(); }
  std::string path() const { return folder_ + "/payment-file"; }

  // Copies the written file to standard output; false when it cannot be read or written.
  bool Copy() const {
    std::ifstream in(path(), std::ios::binary);
    std::cout << in.rdbuf();
    std::cout.flush();
    return in.good() || in.eof() ? static_cast<bool>(std::cout) : false;
  }

 private:
  std::string folder_;
};

std::string CountText(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

int RunWrite(const WriteOptions& options) {
  // Released as usual at the end, not left to the process exit: the batch sits in a few
  // large blocks, so its release costs next to nothing.
  const bool to_standard_output = options.out == "-";
  const std::string out_name = to_standard_output ? std::string("standard output") : options.out;
  if (IsTheBatchFile(options.batch_path, options.out)) {
    std::cerr << "payfile: " << options.out << " is the batch file itself; writing it would replace the batch: "
                 "choose another --out\n";
    return kExitUsage;
  }
  const ComPtr<CPayManager> manager = CPayManager::New();
  if (!LoadBatch(options.batch_path, *manager.get())) return kExitUsage;
  const std::int32_t file_type = FileTypeOf(options.type);
  const std::string source_name = SourceName(options.batch_path);
  const std::string pay_period = AnsiTextFromUtf8(options.period);

  const auto print_warnings = [&](const std::vector<BatchWarning>& warnings) {
    // Standard error is unbuffered: a large payroll's thousands of lines go out in a few
    // writes of many lines each, not in two writes per line.
    constexpr std::size_t kBytesPerWrite = 64 * 1024;
    std::string lines;
    for (const BatchWarning& warning : warnings) {
      lines.append(BatchWarningLine(source_name, warning)).push_back('\n');
      if (lines.size() >= kBytesPerWrite) {
        std::cerr << lines;
        lines.clear();
      }
    }
    std::cerr << lines;
  };
  const auto print_refusals = [&](std::size_t refusals) {
    std::cerr << "payfile: " << CountText(refusals, "refusal", "refusals") << ", so " << out_name
              << " is not written\n";
  };
  // The clock first: the 2019 check reads the day of writing too.
  std::optional<ScopedClock> clock;
  FixClock(clock, options.now);
  std::future<std::vector<BatchWarning>> beside_the_writer;
  std::future<Iso2019Check> iso2019_beside_the_writer;
  if (file_type == payISO2019 && !options.strict) {
    // The writer refuses a batch before it opens a file, so the full check, which names
    // every refusal, can run beside it; both only read the batch.
    // The 2019 writer changes nothing in the batch.
    iso2019_beside_the_writer = BesideTheWriter(
        [&batch = manager->batch(), &pay_period, &options] { return CheckIso2019(batch, pay_period, options.swiss); });
  } else if (file_type == payISO2019) {
    // Refusals and warnings must be known before anything is written, so this check comes first.
    const Iso2019Check check = CheckIso2019(manager->batch(), pay_period, options.swiss);
    print_warnings(check.warnings);
    if (check.refusals != 0) {
      print_refusals(check.refusals);
      return kExitFailed;
    }
    if (!check.warnings.empty()) {
      std::cerr << "payfile: --strict: " << CountText(check.warnings.size(), "warning", "warnings") << ", so "
                << out_name << " is not written\n";
      return kExitUsage;
    }
  } else if (options.strict) {
    const std::vector<BatchWarning> warnings = Check(*manager.get(), file_type, options.swiss, pay_period);
    print_warnings(warnings);
    if (!warnings.empty()) {
      std::cerr << "payfile: --strict: " << CountText(warnings.size(), "warning", "warnings") << ", so "
                << out_name << " is not written\n";
      return kExitUsage;
    }
  } else {
    beside_the_writer = CheckBesideTheWriter(*manager.get(), file_type, options.swiss, pay_period);
  }

  std::optional<StandardOutputFile> standard_output;
  if (to_standard_output) standard_output.emplace();
  if (standard_output && !standard_output->ok()) {
    std::cerr << "payfile: cannot write to standard output: no temporary folder for the file\n";
    return kExitFailed;
  }
  FileRequest request;
  request.file_type = file_type;
  request.display_name = standard_output ? standard_output->path() : options.out;
  request.file_name = AnsiTextFromUtf8(request.display_name);
  request.pay_period = pay_period;
  request.swiss = options.swiss;
  const WriteResult result = WritePaymentFile(*manager.get(), request);
  if (beside_the_writer.valid()) print_warnings(beside_the_writer.get());
  if (iso2019_beside_the_writer.valid()) {
    const Iso2019Check check = iso2019_beside_the_writer.get();
    print_warnings(check.warnings);
    if (check.refusals != 0) {
      print_refusals(check.refusals);
      return kExitFailed;
    }
  }
  if (!result.written) {
    std::cerr << result.message;
    return kExitFailed;
  }
  if (standard_output && !standard_output->Copy()) {
    std::cerr << "payfile: writing the file to standard output failed\n";
    return kExitFailed;
  }
  return kExitDone;
}

int RunCheck(const CheckOptions& options) {
  const ComPtr<CPayManager> manager = CPayManager::New();
  if (!LoadBatch(options.batch_path, *manager.get())) return kExitUsage;
  const std::int32_t file_type = FileTypeOf(options.type);
  const std::string source_name = SourceName(options.batch_path);
  const std::string pay_period = AnsiTextFromUtf8(options.period);
  std::optional<ScopedClock> clock;
  FixClock(clock, options.now);
  std::vector<BatchWarning> warnings;
  std::size_t refusals = 0;
  if (file_type == payISO2019) {
    Iso2019Check check = CheckIso2019(manager->batch(), pay_period, options.swiss);
    warnings = std::move(check.warnings);
    refusals = check.refusals;
  } else {
    warnings = Check(*manager.get(), file_type, options.swiss, pay_period);
  }
  for (const BatchWarning& warning : warnings) std::cout << BatchWarningLine(source_name, warning) << '\n';
  std::cout << source_name << ": " << CountText(manager->batch().payments.size(), "payment", "payments") << ", "
            << (warnings.empty() ? std::string("no warnings") : CountText(warnings.size(), "warning", "warnings"));
  if (refusals != 0) std::cout << " (" << CountText(refusals, "refusal", "refusals") << ")";
  std::cout << " for " << FormatName(file_type, options.swiss) << '\n';
  return warnings.empty() ? kExitDone : kExitFailed;
}

int RunSchema() {
  std::cout << BatchSchemaJson();
  return kExitDone;
}

int RunCheckIban(const std::vector<std::string>& texts) {
  bool all_valid = true;
  for (const std::string& text : texts) {
    const std::string ansi = AnsiTextFromUtf8(text);
    const std::string iban = NormalizeIban(ansi);
    all_valid = all_valid && !iban.empty();
    if (!iban.empty()) {
      std::cout << Cp1252ToUtf8(iban) << '\n';
      continue;
    }
    std::string problem = IbanProblem(ansi);
    if (problem.empty()) problem = "its check digits do not match the rest";
    std::cout << "invalid: " << problem << '\n';
  }
  return all_valid ? kExitDone : kExitFailed;
}

int RunDemo(const DemoOptions& options) {
  const std::string directory = AnsiTextFromUtf8(options.directory);
  std::error_code error;
  std::filesystem::create_directories(AnsiNameToPath(directory), error);
  if (error) {
    std::cerr << "payfile: " << options.directory << ": the folder cannot be made: " << error.message() << '\n';
    return kExitFailed;
  }
  std::optional<ScopedClock> clock;
  FixClock(clock, options.now);
  const struct {
    std::string_view batch_name;
    std::string_view json;
    std::span<const DemoFile> files;
    std::string_view pay_period;
  } sets[] = {
      {"batch.json", DemoBatchJson(), kDemoFiles, kDemoPayPeriod},
      {"batch-2019.json", Demo2019BatchJson(), kDemo2019Files, kDemo2019PayPeriod},
  };
  for (const auto& set : sets) {
    const ComPtr<CPayManager> manager = CPayManager::New();
    const simdjson::padded_string demo_json(set.json);
    simdjson::ondemand::parser parser;
    const std::size_t payments = FillManager(ReadBatchJson(demo_json, set.batch_name, parser), *manager.get());

    // The batch itself, as the template to start from.
    const std::string batch_name = options.directory + "/" + std::string(set.batch_name);
    std::ofstream batch_file(AnsiNameToPath(directory + "/" + std::string(set.batch_name)), std::ios::binary);
    batch_file << set.json << '\n';
    batch_file.close();
    if (!batch_file) {
      std::cerr << "payfile: cannot write " << batch_name << '\n';
      return kExitFailed;
    }
    std::cout << batch_name << ": the batch, " << payments << " payments\n";

    for (const DemoFile& file : set.files) {
      FileRequest request;
      request.file_type = file.file_type;
      request.file_name = directory + "/" + std::string(file.name);
      request.pay_period = std::string(set.pay_period);
      request.swiss = file.swiss;
      request.display_name = options.directory + "/" + std::string(file.name);
      const WriteResult result = WritePaymentFile(*manager.get(), request);
      if (!result.written) {
        std::cerr << result.message;
        return kExitFailed;
      }
      const std::uintmax_t size = std::filesystem::file_size(AnsiNameToPath(request.file_name), error);
      std::cout << request.display_name << ": " << (error ? 0 : size) << " bytes, " << payments << " payments\n";
    }
  }
  return kExitDone;
}

}  // namespace ordexa::payfile
