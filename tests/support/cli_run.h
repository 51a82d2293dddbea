// Test support: runs barvane-cli with words and captures its exit status and both outputs.
// Only the CLI tests include it; their target defines BARVANE_CLI_PATH.
#pragma once

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
};

inline CliRun Cli(const std::vector<std::string>& words) {
  TempDir capture;
  CliRun run;
  run.status = RunProgram(BARVANE_CLI_PATH, words, capture / "out", capture / "err");
  const Bytes out = ReadBytes(capture / "out"), err = ReadBytes(capture / "err");
  run.out.assign(out.begin(), out.end());
  run.err.assign(err.begin(), err.end());
  return run;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace barvane::test
