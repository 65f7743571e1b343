// payfile: turns a JSON batch of payment orders into a DTA, EZAG or ISO 20022 (2009 or 2019) payment file
// through the payment component, checks batches and IBANs, prints the batch schema, and
// writes a demo set of files. The command line is here; the commands are in commands.cpp.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/inspect/inspect_command.h"
#include "tools/payfile/commands.h"
#include "tools/payfile/local_date.h"

#ifndef PAYFILE_VERSION
#define PAYFILE_VERSION "0.0.0"
#endif

namespace ordexa::payfile {
namespace {

// --now: refused by the command line parser unless it is a valid local date and time.
CLI::Validator LocalDateTimeValidator() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const LocalDateParse parse = ParseLocalDateTime(text, false);
        return parse.ok ? std::string() : "\"" + text + "\" " + parse.error;
      },
      "YYYY-MM-DDTHH:MM:SS");
}

void AddTypeOptions(CLI::App& command, std::string& type, std::string& period, bool& swiss) {
  command.add_option("--type", type, "File type: dta, ezag, iso (pain.001.001.03) or iso2019 (pain.001.001.09)")
      ->required()
      ->transform(CLI::IsMember({"dta", "ezag", "iso", "iso2019"}, CLI::ignore_case));
  command.add_option("--period", period, "ISO: the pay period, the end of every end-to-end id");
  command.add_flag("--ch", swiss,
                   "ISO: the Swiss flavour (pain.001.001.03.ch.02, iso2019: pain.001.001.09.ch.03), else the "
                   "generic one");
}

int Run(int argc, char** argv) {
  CLI::App app{
      "Turns a JSON batch of payment orders into a payment file for Swiss banks: ISO 20022\n"
      "pain.001.001.09 (--type iso2019 --ch, what Swiss banks take today), pain.001.001.03, DTA or EZAG.",
      "payfile"};
  app.set_version_flag("--version", "payfile " PAYFILE_VERSION);
  app.require_subcommand(0, 1);

  WriteOptions write_options;
  CLI::App* write = app.add_subcommand("write", "Write a JSON batch as a payment file");
  write->add_option("batch", write_options.batch_path, "Batch file in JSON; - reads standard input")->required();
  AddTypeOptions(*write, write_options.type, write_options.period, write_options.swiss);
  write
      ->add_option("--out", write_options.out,
                   "The payment file to write; an existing file is replaced. - writes it to standard output")
      ->required();
  write->add_flag("--strict", write_options.strict, "Write nothing when the batch has warnings (exit status 2)");
  write->add_option("--now", write_options.now, "Fixed local date and time for reproducible files")
      ->check(LocalDateTimeValidator());
  write->footer(
      "Warnings (what the format will cut or the bank refuse) go to standard error; the file is\n"
      "written all the same unless --strict is given. iso2019: a batch the writer refuses is not\n"
      "written (exit status 1). The file is written as NAME.tmp and replaces an existing NAME only\n"
      "when it is complete; the batch file itself is never an output.");

  CheckOptions check_options;
  CLI::App* check = app.add_subcommand("check", "Report what a file type would cut or the bank refuse, write nothing");
  check->add_option("batch", check_options.batch_path, "Batch file in JSON; - reads standard input")->required();
  AddTypeOptions(*check, check_options.type, check_options.period, check_options.swiss);
  check->add_option("--now", check_options.now, "Fixed local date and time: the day of writing to check against")
      ->check(LocalDateTimeValidator());
  check->footer("Exit status 0 without warnings, 1 with warnings, 2 for a bad batch.");

  CLI::App* schema = app.add_subcommand("schema", "Print the JSON Schema of batch files");

  std::vector<std::string> iban_texts;
  CLI::App* check_iban = app.add_subcommand("check-iban", "Print the compact IBAN of each text, or why it is none");
  check_iban->add_option("text", iban_texts, "Texts to check, such as \"CH93 0076 2011 6238 5295 7\"")->required();
  check_iban->footer("Exit status 0 when every text is a valid IBAN, 1 otherwise.");

  DemoOptions demo_options;
  CLI::App* demo =
      app.add_subcommand("demo", "Write sample batches and the files of every type and flavour made from them");
  demo->add_option("dir", demo_options.directory, "Folder for the files")->capture_default_str();
  demo->add_option("--now", demo_options.now, "Fixed local date and time for reproducible files")
      ->check(LocalDateTimeValidator());

  const inspect::InspectCommand inspect = inspect::AddInspectCommand(app);

  app.footer(
      "Exit status: 0 done (the file is written, warnings or not); 1 the file could not be written\n"
      "(check: the batch has warnings); 2 usage error, bad or empty batch, or warnings with --strict.\n"
      "Run payfile COMMAND --help for the options of a command.");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kExitDone : kExitUsage;
  }
  if (*write) return RunWrite(write_options);
  if (*check) return RunCheck(check_options);
  if (*schema) return RunSchema();
  if (*check_iban) return RunCheckIban(iban_texts);
  if (*demo) return RunDemo(demo_options);
  if (inspect.Chosen()) return inspect.Run();
  std::cerr << "A command is required: write, check, schema, check-iban, demo or inspect\n"
               "Run with --help for more information.\n";
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
