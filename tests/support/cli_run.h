// Test support for the CLI tests (their target defines BARVANE_CLI_PATH): runs barvane-cli with
// words and captures its exit status and both outputs; the portfolios they start from.
#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane::test {

// Every CLI test process keeps the history of the changes it makes in a data directory of its
// own, never in the user's.
class TemporaryDataHome final : public testing::Environment {
 public:
  void SetUp() override { SetEnvironment(kDataHomeVariable, dir_.path()); }

 private:
  TempDir dir_;
};
inline testing::Environment* const kTemporaryDataHome = testing::AddGlobalTestEnvironment(new TemporaryDataHome);

struct CliRun {
  int status = -1;
  std::string out, err;
  bool operator==(const CliRun&) const = default;
};
inline void PrintTo(const CliRun& run, std::ostream* os) {
  *os << "status " << run.status << "\n--- out:\n" << run.out << "--- err:\n" << run.err;
}
// A command that did its work, printing `out` and nothing on standard error.
inline CliRun Done(const std::string& out = "") { return {0, out, ""}; }
// A command that failed with the message `err` and printed nothing else.
inline CliRun Failed(const std::string& err) { return {1, "", err}; }

using Texts = std::vector<std::string>;

inline CliRun Cli(const Texts& words) {
  TempDir capture;
  CliRun run;
  run.status = RunProgram(BARVANE_CLI_PATH, words, capture / "out", capture / "err");
  run.out = ReadText(capture / "out");
  run.err = ReadText(capture / "err");
  return run;
}

inline Texts Lines(const std::string& text) {
  Texts lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Writes a portfolio of `symbols` into `dir` and gives `dir` back.
inline std::string Built(const std::string& dir, std::vector<SymbolDescription> symbols) {
  Build(dir, Portfolio(std::move(symbols)));
  return dir;
}

// A test's own directory, with the portfolios and text files it starts from.
class CliTest : public testing::Test {
 protected:
  std::string Built(const std::string& name, std::vector<SymbolDescription> symbols) {
    return test::Built(root_ / name, std::move(symbols));
  }
  // Writes `text` into the file `name` and gives its path.
  std::string Text(const std::string& name, const std::string& text) {
    WriteBytes(root_ / name, Bytes(text.begin(), text.end()));
    return root_ / name;
  }
  std::map<std::string, Bytes> Files() const { return Snapshot(root_.path()); }

  TempDir root_;
};

}  // namespace barvane::test
