// Test support: runs barvane-cli with words and captures its exit status and both outputs.
// Only the CLI tests include it; their target defines BARVANE_CLI_PATH.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/portfolio_builder.h"

namespace barvane::test {

// Every CLI test process keeps the history of the changes it makes in a data directory of its
// own, never in the user's.
class TemporaryDataHome final : public testing::Environment {
 public:
  void SetUp() override { setenv("XDG_DATA_HOME", dir_.path().c_str(), 1); }

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
  std::string command = BARVANE_CLI_PATH;
  for (const std::string& word : words) {
    command.append(" '");
    for (char c : word) {
      if (c == '\'') {
        command.append("'\\''");
      } else {
        command += c;
      }
    }
    command += '\'';
  }
  command.append(" >").append(capture / "out").append(" 2>").append(capture / "err");
  CliRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
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
