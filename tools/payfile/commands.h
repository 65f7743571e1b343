// The commands of payfile, each a function of its options that prints what it has to say
// and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace ordexa::payfile {

// Exit status: done (written, or checked without warnings); the file could not be written
// (for check: the batch has warnings); usage error, bad batch, or a batch refused by --strict.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct WriteOptions {
  std::string batch_path;
  std::string type;
  std::string out;
  std::string period;
  bool swiss = false;
  bool strict = false;
  std::string now;
};

struct CheckOptions {
  std::string batch_path;
  std::string type;
  std::string period;
  bool swiss = false;
  std::string now;  // the day of writing the check assumes (2019 ISO: a day in the past)
};

struct DemoOptions {
  std::string directory = "demo-out";
  std::string now;
};

// RunWrite(): reads the batch, prints the warnings of the check pass to standard error,
// writes the file (with --strict only when there are no warnings). For the 2019 ISO file
// the check comes first and a batch with a refusal is not written (exit status 1).
int RunWrite(const WriteOptions& options);

// RunCheck(): reads the batch and prints the warnings of the check pass to standard
// output, then a summary line; 0 without warnings, 1 with.
int RunCheck(const CheckOptions& options);

// RunSchema(): prints the JSON Schema of batch files.
int RunSchema();

// RunCheckIban(): the compact IBAN of each text, or "invalid"; 0 when all are valid.
int RunCheckIban(const std::vector<std::string>& texts);

// RunDemo(): writes the sample batch as batch.json and as the four payment files, and
// the 2019 sample batch as batch-2019.json and as both flavours of the 2019 ISO file.
int RunDemo(const DemoOptions& options);

}  // namespace ordexa::payfile
