// payfile inspect: reading the file, choosing the rendering, the exit status.
#include "tools/inspect/inspect_command.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

#include "tools/inspect/inspect.h"
#include "tools/inspect/report.h"

namespace ordexa::inspect {
namespace {

std::optional<std::string> ReadContent(const std::string& file, std::string& error) {
  if (file == "-") return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  std::error_code ignored;
  if (std::filesystem::is_directory(file, ignored)) {
    error = "it is a folder; inspect reads one payment file";
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    error = "read error";
    return std::nullopt;
  }
  return content.str();
}

}  // namespace

int RunInspect(const InspectCommandOptions& options, std::ostream& out, std::ostream& err) {
  const std::string name = options.file == "-" ? "<stdin>" : options.file;
  std::string error;
  const std::optional<std::string> content = ReadContent(options.file, error);
  if (!content) {
    err << "payfile: " << name << ": cannot be read: " << error << '\n';
    return kExitUnreadable;
  }
  try {
    // Blocks are written as they are read, so a large file is never held listed whole.
    if (options.json) {
      JsonWriter writer(out);
      const Inspection inspection =
          InspectContent(*content, name, {options.schema_path},
                         [&writer](const Inspection& read, const Block& block) { writer.WriteBlock(read, block); });
      writer.Finish(inspection);
      return inspection.Passes() ? kExitPasses : kExitProblems;
    }
    ListingWriter writer(out, !options.problems_only);
    const Inspection inspection =
        InspectContent(*content, name, {options.schema_path},
                       [&writer](const Inspection& read, const Block& block) { writer.WriteBlock(read, block); });
    writer.Finish(inspection);
    return inspection.Passes() ? kExitPasses : kExitProblems;
  } catch (const InspectError& failure) {
    err << "payfile: " << failure.what() << '\n';
    return kExitUnreadable;
  }
}

int InspectCommand::Run() const { return RunInspect(*options_, std::cout, std::cerr); }

InspectCommand AddInspectCommand(CLI::App& app) {
  auto options = std::make_shared<InspectCommandOptions>();
  CLI::App* command = app.add_subcommand(
      "inspect", "List a DTA, EZAG, pain.001.001.03 or pain.001.001.09 file field by field and report what is wrong with it");
  command->add_option("file", options->file, "The payment file; - reads standard input")->required();
  command->add_flag("--json", options->json, "The listing and the problems as JSON");
  command->add_flag("--problems", options->problems_only, "Only the problems, no listing");
  command->add_option("--schema", options->schema_path, "ISO: also validate against this XML schema (.xsd)")
      ->check(CLI::ExistingFile);
  command->footer(
      "Exit status 0 when the file passes, 1 when it has problems, 2 when it cannot be read or recognised.");
  return InspectCommand(command, std::move(options));
}

}  // namespace ordexa::inspect
