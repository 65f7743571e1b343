// payfile: turns a JSON batch of payment orders into a DTA, EZAG or ISO 20022 payment file
// through the payment component, checks IBANs, and writes a demo set of files.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "format/iban.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/file_system.h"
#include "tools/inspect/inspect_command.h"
#include "tools/payfile/batch_reader.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/demo_batch.h"
#include "tools/payfile/local_date.h"
#include "tools/payfile/payment_file.h"

#ifndef PAYFILE_VERSION
#define PAYFILE_VERSION "0.0.0"
#endif

namespace ordexa::payfile {
namespace {

// Exit status: written; the file could not be written; usage error or bad batch.
constexpr int kExitWritten = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct WriteOptions {
  std::string batch_path;
  std::string type;
  std::string out;
  std::string period;
  bool swiss = false;
  std::string now;
};

struct DemoOptions {
  std::string directory = "demo-out";
  std::string now;
};

std::int32_t FileTypeOf(const std::string& type) {
  if (type == "ezag") return payEzag;
  if (type == "iso") return payISO;
  return payDTA;
}

// --now: refused by the command line parser unless it is a valid local date and time.
CLI::Validator LocalDateTimeValidator() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const LocalDateParse parse = ParseLocalDateTime(text, false);
        return parse.ok ? std::string() : "\"" + text + "\" " + parse.error;
      },
      "YYYY-MM-DDTHH:MM:SS");
}

// The clock the writers read: fixed for --now, else the system clock.
std::optional<SYSTEMTIME> FixedTimeOf(const std::string& now) {
  if (now.empty()) return std::nullopt;
  return ParseLocalDateTime(now, false).time;
}

int RunWrite(const WriteOptions& options) {
  const ComPtr<CPayManager> manager = CPayManager::New();
  const std::string source_name = options.batch_path == "-" ? "<stdin>" : options.batch_path;
  const std::int32_t file_type = FileTypeOf(options.type);
  try {
    const simdjson::padded_string json = LoadBatchText(options.batch_path);
    const std::size_t payments = ReadBatch(json, source_name, *manager.get());
    // The EZAG writer would leave an empty file behind and fail; such a batch is refused.
    if (file_type == payEzag && payments == 0) {
      throw BatchError(source_name + ": payments: an EZAG file needs at least one payment");
    }
  } catch (const BatchError& error) {
    std::cerr << error.what() << '\n';
    return kExitUsage;
  }

  FileRequest request;
  request.file_type = file_type;
  request.file_name = AnsiTextFromUtf8(options.out);
  request.pay_period = AnsiTextFromUtf8(options.period);
  request.swiss = options.swiss;
  request.display_name = options.out;

  std::optional<ScopedClock> clock;
  if (const std::optional<SYSTEMTIME> now = FixedTimeOf(options.now)) clock.emplace(FixedClock(*now));
  const WriteResult result = WritePaymentFile(*manager.get(), request);
  if (result.status == WriteStatus::kFailed) {
    std::cerr << result.message << '\n';
    return kExitFailed;
  }
  if (result.status == WriteStatus::kNoFile) std::cerr << result.message << '\n';
  return kExitWritten;
}

int RunCheckIban(const std::vector<std::string>& texts) {
  bool all_valid = true;
  for (const std::string& text : texts) {
    const std::string iban = NormalizeIban(AnsiTextFromUtf8(text));
    all_valid = all_valid && !iban.empty();
    std::cout << (iban.empty() ? std::string("invalid") : Cp1252ToUtf8(iban)) << '\n';
  }
  return all_valid ? kExitWritten : kExitFailed;
}

int RunDemo(const DemoOptions& options) {
  const ComPtr<CPayManager> manager = CPayManager::New();
  const std::size_t payments = ReadBatch(simdjson::padded_string(DemoBatchJson()), "demo batch", *manager.get());

  const std::string directory = AnsiTextFromUtf8(options.directory);
  std::error_code error;
  std::filesystem::create_directories(AnsiNameToPath(directory), error);
  if (error) {
    std::cerr << "payfile: " << options.directory << ": the folder cannot be made: " << error.message() << '\n';
    return kExitFailed;
  }

  std::optional<ScopedClock> clock;
  if (const std::optional<SYSTEMTIME> now = FixedTimeOf(options.now)) clock.emplace(FixedClock(*now));
  for (const DemoFile& file : kDemoFiles) {
    FileRequest request;
    request.file_type = file.file_type;
    request.file_name = directory + "/" + std::string(file.name);
    request.pay_period = std::string(kDemoPayPeriod);
    request.swiss = file.swiss;
    request.display_name = options.directory + "/" + std::string(file.name);
    const WriteResult result = WritePaymentFile(*manager.get(), request);
    if (result.status != WriteStatus::kWritten) {
      std::cerr << result.message << '\n';
      return kExitFailed;
    }
    const std::uintmax_t size = std::filesystem::file_size(AnsiNameToPath(request.file_name), error);
    std::cout << request.display_name << ": " << (error ? 0 : size) << " bytes, " << payments << " payments\n";
  }
  return kExitWritten;
}

int Run(int argc, char** argv) {
  CLI::App app{
      "Turns a JSON batch of payment orders into a payment file for Swiss banks: DTA, EZAG or\n"
      "ISO 20022 pain.001.001.03 (Swiss or generic flavour).",
      "payfile"};
  app.set_version_flag("--version", "payfile " PAYFILE_VERSION);
  app.require_subcommand(0, 1);

  WriteOptions write_options;
  CLI::App* write = app.add_subcommand("write", "Write a JSON batch as a payment file");
  write->add_option("batch", write_options.batch_path, "Batch file in JSON; - reads standard input")->required();
  write->add_option("--type", write_options.type, "File type: dta, ezag or iso")
      ->required()
      ->transform(CLI::IsMember({"dta", "ezag", "iso"}, CLI::ignore_case));
  write->add_option("--out", write_options.out, "The payment file to write")->required();
  write->add_option("--period", write_options.period, "ISO: the pay period, the end of every end-to-end id");
  write->add_flag("--ch", write_options.swiss, "ISO: the Swiss flavour (pain.001.001.03.ch.02), else the generic one");
  write->add_option("--now", write_options.now, "Fixed local date and time for reproducible files")
      ->check(LocalDateTimeValidator());

  std::vector<std::string> iban_texts;
  CLI::App* check_iban = app.add_subcommand("check-iban", "Print the compact IBAN of each text, or invalid");
  check_iban->add_option("text", iban_texts, "Texts to check, such as \"CH93 0076 2011 6238 5295 7\"")->required();
  check_iban->footer("Exit status 0 when every text is a valid IBAN, 1 otherwise.");

  DemoOptions demo_options;
  CLI::App* demo = app.add_subcommand("demo", "Write a sample batch as DTA, EZAG and both ISO flavours");
  demo->add_option("dir", demo_options.directory, "Folder for the files")->capture_default_str();
  demo->add_option("--now", demo_options.now, "Fixed local date and time for reproducible files")
      ->check(LocalDateTimeValidator());

  const inspect::InspectCommand inspect = inspect::AddInspectCommand(app);

  app.footer(
      "Exit status: 0 written, 1 the file could not be written, 2 usage error or bad batch.\n"
      "Run payfile COMMAND --help for the options of a command.");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kExitWritten : kExitUsage;
  }
  if (*write) return RunWrite(write_options);
  if (*check_iban) return RunCheckIban(iban_texts);
  if (*demo) return RunDemo(demo_options);
  if (inspect.Chosen()) return inspect.Run();
  std::cerr << "A command is required: write, check-iban or demo\nRun with --help for more information.\n";
  return kExitUsage;
}

}  // namespace
}  // namespace ordexa::payfile

int main(int argc, char** argv) {
  try {
    return ordexa::payfile::Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "payfile: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "payfile: unexpected failure\n";
  }
  return ordexa::payfile::kExitFailed;
}
