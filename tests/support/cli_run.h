// Test support for the CLI tests (their target defines BARVANE_CLI_PATH): runs barvane-cli with
// words and captures its exit status and both outputs; the portfolios they start from.
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

using Texts = std::vector<std::string>;

inline Texts Lines(const std::string& text) {
  Texts lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Monday 06/15/98, where the tests' quote series begin.
inline const DayNumber kMonday = YmdToDay(98, 6, 15);

// A symbol of `count` weekday quotes from kMonday in the full 28-byte layout.
inline SymbolDescription Daily(int fileNumber, const std::string& symbol, int count) {
  return Symbol(fileNumber, symbol, Fields28(), WeekdayQuotes(kMonday, count));
}

// Writes a portfolio of `symbols` into `dir` and gives `dir` back.
inline std::string Built(const std::string& dir, std::vector<SymbolDescription> symbols) {
  Build(dir, Portfolio(std::move(symbols)));
  return dir;
}

}  // namespace barvane::test
