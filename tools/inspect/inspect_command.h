// The `inspect` command of payfile: lists a DTA, EZAG, pain.001.001.03 or pain.001.001.09 file field by
// field and reports what is wrong with it.
#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <memory>
#include <string>

namespace ordexa::inspect {

struct InspectCommandOptions {
  std::string file;         // "-" reads standard input
  std::string schema_path;  // ISO: XML schema to validate against
  bool json = false;
  bool problems_only = false;
};

// Exit status: the file passes; it has problems; it cannot be read or recognised.
inline constexpr int kExitPasses = 0;
inline constexpr int kExitProblems = 1;
inline constexpr int kExitUnreadable = 2;

// RunInspect()
// Reads and inspects the file, writes the listing (or JSON) to `out` and failures to
// `err`; returns the exit status above.
int RunInspect(const InspectCommandOptions& options, std::ostream& out, std::ostream& err);

// The registered subcommand: whether the command line chose it, and running it.
class InspectCommand {
 public:
  InspectCommand(CLI::App* command, std::shared_ptr<InspectCommandOptions> options)
      : command_(command), options_(std::move(options)) {}
  bool Chosen() const { return command_->parsed(); }
  int Run() const;

 private:
  CLI::App* command_;
  std::shared_ptr<InspectCommandOptions> options_;
};

// AddInspectCommand()
// Registers `inspect FILE [--json] [--problems] [--schema XSD]` with the tool's parser; the
// options live as long as the returned command.
// Example: const InspectCommand inspect = AddInspectCommand(app);
//          ... app.parse(argc, argv); if (inspect.Chosen()) return inspect.Run();
InspectCommand AddInspectCommand(CLI::App& app);

}  // namespace ordexa::inspect
