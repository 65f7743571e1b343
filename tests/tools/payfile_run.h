// Runs the built payfile binary in a temporary folder and collects its exit status and output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa::payfile_test {

using test::ReadWholeFile;

inline const std::string kPayfile = PAYFILE_BINARY;

// The batches and expected files next to this header.
inline std::string DataPath(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / name).string();
}

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// SameBytes(): names the first differing offset with some context, not the whole files.
inline testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
  if (expected == actual) return testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at < 20 ? 0 : at - 20;
  return testing::AssertionFailure() << "sizes " << expected.size() << " and " << actual.size()
                                     << ", first difference at " << at
                                     << "\n  expected: " << testing::PrintToString(expected.substr(from, 60))
                                     << "\n  actual:   " << testing::PrintToString(actual.substr(from, 60));
}

struct RunResult {
  int status = -1;
  std::string out, err;
};

// RunPayfile(): payfile with `args` in `dir`; `input` arrives through a pipe, not a file.
inline RunResult RunPayfile(const test::TempDir& dir, const std::vector<std::string>& args,
                            const std::string& input = {}) {
  const std::string in = dir.Path(".stdin"), out = dir.Path(".stdout"), err = dir.Path(".stderr");
  test::WriteWholeFile(in, input);
  std::string command = "cd " + ShellQuoted(dir.path()) + " && cat " + ShellQuoted(in) + " | " + ShellQuoted(kPayfile);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  command += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
  const int raw = std::system(command.c_str());
  return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(out).value_or(""),
          ReadWholeFile(err).value_or("")};
}

// Skips every test when the tool is not part of the build.
class PayfileTest : public testing::Test {
 protected:
  void SetUp() override {
    if (kPayfile.empty()) GTEST_SKIP() << "payfile is not built";
  }
};

}  // namespace ordexa::payfile_test
