// Runs the built payfile binary in a shell with given arguments and standard input, and
// collects its exit status, standard output and standard error.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace ordexa::payfile_test {

inline const std::string kPayfile = PAYFILE_BINARY;

// The data folder next to this file: batches and the expected files.
inline std::string DataPath(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / name).string();
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// SameBytes(): passes when both texts are equal, else names the first differing offset
// with a little context of each (whole files would drown the message).
inline testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
  if (expected == actual) return testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at < 20 ? 0 : at - 20;
  return testing::AssertionFailure() << "sizes " << expected.size() << " and " << actual.size()
                                     << ", first difference at offset " << at
                                     << "\n  expected: " << testing::PrintToString(expected.substr(from, 60))
                                     << "\n  actual:   " << testing::PrintToString(actual.substr(from, 60));
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// RunPayfile(): payfile with `args` in `dir`, `input` on standard input.
inline RunResult RunPayfile(const test::TempDir& dir, const std::vector<std::string>& args,
                            const std::string& input = {}) {
  const std::string in = dir.Path(".stdin"), out = dir.Path(".stdout"), err = dir.Path(".stderr");
  WriteBytes(in, input);
  std::string command = "cd " + ShellQuoted(dir.path()) + " && " + ShellQuoted(kPayfile);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  command += " <" + ShellQuoted(in) + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
  const int raw = std::system(command.c_str());
  RunResult result;
  result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadBytes(out);
  result.err = ReadBytes(err);
  return result;
}

}  // namespace ordexa::payfile_test

// Skips a test when the tool is not part of the build.
#define PAYFILE_REQUIRED()                                                                \
  do {                                                                                    \
    if (::ordexa::payfile_test::kPayfile.empty()) GTEST_SKIP() << "payfile is not built"; \
  } while (false)
