// Several barvane-cli processes changing one portfolio at once: each change that reports done
// is in the files, a refused one changed nothing, and every quote history is listed exactly
// once afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "data/portfolio_lock.h"
#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;

std::string Quoted(const std::string& word) { return "'" + word + "'"; }

class Concurrency : public CliTest {
 protected:
  // Runs `script` in a POSIX shell; it starts its commands in the background and waits for them.
  void RunScript(const std::string& script) {
    const std::string path = Text("run.sh", script + "wait\n");
    ASSERT_EQ(std::system(("sh " + path).c_str()), 0);
  }
  // Runs every command line at once and returns each one's exit status.
  std::vector<int> RunAtOnce(const std::vector<Texts>& runs) {
    std::string script;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      script += "( " + Quoted(BARVANE_CLI_PATH);
      for (const std::string& word : runs[i]) script += " " + Quoted(word);
      const std::string n = std::to_string(i);
      script += " >/dev/null 2>" + root_ / ("err" + n) + "; echo $? >" + root_ / ("status" + n) + " ) &\n";
    }
    RunScript(script);
    std::vector<int> statuses;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      statuses.push_back(std::stoi(ReadText(root_ / ("status" + std::to_string(i)))));
      EXPECT_LE(statuses.back(), 1) << ReadText(root_ / ("err" + std::to_string(i)));
    }
    return statuses;
  }
};

TEST_F(Concurrency, TenParallelMovesIntoOnePortfolioLoseNoHistory) {
  constexpr int kMoves = 10;
  const std::string dest = Built("DEST", {Daily(1, "HOME", 3)});
  std::vector<Texts> runs;
  std::map<std::string, std::string> quotesOf;  // symbol -> its quote grid
  for (int i = 0; i < kMoves; ++i) {
    const std::string symbol = "S" + std::to_string(i);
    Build(root_ / symbol, Portfolio(Symbol(1, symbol, Fields28(), WeekdayQuotes(kMonday, 5 + i, 10.0f + float(i)))));
    quotesOf[symbol] = Cli({"quotes", root_ / symbol, symbol}).out;
    runs.push_back({"move-symbol", root_ / symbol, symbol, dest});
  }

  const std::vector<int> statuses = RunAtOnce(runs);
  const Texts inDest = Lines(Cli({"symbols", dest}).out);
  int moved = 0;
  for (int i = 0; i < kMoves; ++i) {
    const std::string symbol = "S" + std::to_string(i), src = root_ / symbol;
    SCOPED_TRACE(symbol);
    const bool done = statuses[static_cast<std::size_t>(i)] == 0;
    moved += done;
    EXPECT_EQ(std::count_if(inDest.begin(), inDest.end(),
                            [&](const std::string& line) { return line.starts_with(symbol + "\t"); }),
              done ? 1 : 0);
    EXPECT_EQ(Lines(Cli({"symbols", src}).out).size(), done ? 0u : 1u);
    EXPECT_EQ(Cli({"quotes", done ? dest : src, symbol}), Done(quotesOf[symbol]));
  }
  EXPECT_GT(moved, 0);
  EXPECT_EQ(inDest.size(), static_cast<std::size_t>(moved + 1));
}

TEST_F(Concurrency, ParallelChangesOfDifferentPortfoliosKeepAHistoryEach) {
  constexpr int kPortfolios = 12;
  std::vector<Texts> runs;
  std::vector<std::map<std::string, Bytes>> before;
  for (int i = 0; i < kPortfolios; ++i) {
    const std::string dir = Built("P" + std::to_string(i), {Daily(1, "ABC", 3)});
    before.push_back(Snapshot(dir));
    runs.push_back({"edit", dir, "ABC", "06/16/98", "7", "7", "7", "7", "7", "7"});
  }
  EXPECT_EQ(RunAtOnce(runs), std::vector<int>(kPortfolios, 0));
  for (int i = 0; i < kPortfolios; ++i) {
    const std::string dir = runs[static_cast<std::size_t>(i)][1];
    const CliRun history = Cli({"history", dir});
    ASSERT_EQ(Lines(history.out).size(), 1u) << dir << "\n" << history.out << history.err;
    ASSERT_EQ(Cli({"undo", dir}).status, 0) << dir;
    EXPECT_EQ(Snapshot(dir), before[static_cast<std::size_t>(i)]) << dir;
  }
}

TEST_F(Concurrency, TwentyParallelEditsOfOneSymbolAllLand) {
  constexpr int kEdits = 20;
  const std::string dir = Built("P", {Daily(1, "ABC", kEdits)});
  std::vector<Texts> runs;
  for (const std::string& line : Lines(Cli({"quotes", dir, "ABC"}).out)) {
    const std::string v = std::to_string(100 + runs.size());
    runs.push_back({"edit", dir, "ABC", line.substr(0, line.find('\t')), v, v, v, v, v, v});
  }
  ASSERT_EQ(runs.size(), static_cast<std::size_t>(kEdits));
  const std::vector<int> statuses = RunAtOnce(runs);
  const Texts after = Lines(Cli({"quotes", dir, "ABC"}).out);
  ASSERT_EQ(after.size(), static_cast<std::size_t>(kEdits));
  for (std::size_t i = 0; i < after.size(); ++i) {
    const bool changed = after[i].find("\t" + std::to_string(100 + i) + ".") != std::string::npos;
    EXPECT_EQ(changed, statuses[i] == 0) << after[i];
  }
  EXPECT_NE(std::count(statuses.begin(), statuses.end(), 0), 0);
}

// Processes editing, undoing and redoing one portfolio at once leave a history that undoes to
// the original bytes: every change that stands is recorded, and none is recorded twice.
TEST_F(Concurrency, ParallelChangesAndUndosLeaveAHistoryThatUndoesToTheOriginal) {
  const std::string dir = Built("P", {Daily(1, "ABC", 8), Daily(2, "XYZ", 8)});
  const auto original = Snapshot(dir);
  const std::string cli = Quoted(BARVANE_CLI_PATH) + " ", at = " " + Quoted(dir);
  std::string script;
  for (int p = 0; p < 6; ++p) {
    const std::string day = "06/" + std::to_string(15 + p % 5) + "/98", v = std::to_string(50 + p);
    const std::string symbol = p % 2 ? "XYZ" : "ABC";
    script += "( for i in 1 2 3; do " + cli + "edit" + at + " " + symbol + " " + day + " " + v + " " + v + " " + v +
              " " + v + " 1 1; " + cli + "undo" + at + "; " + cli + "redo" + at + "; " + cli + "undo" + at +
              "; done ) >/dev/null 2>&1 &\n";
  }
  RunScript(script);

  CliRun undo;
  for (int undone = 0; (undo = Cli({"undo", dir})).status == 0; ++undone) ASSERT_LT(undone, 200);
  EXPECT_EQ(undo, Failed("Nothing to undo in " + dir + "\n"));
  EXPECT_EQ(Snapshot(dir), original);
}

// A command that changes a portfolio another one uses waits for it, then refuses naming it and
// changes nothing; commands that only read share it.
TEST_F(Concurrency, ChangesOfAPortfolioInUseAreRefusedNamingItAndReadsShareIt) {
  const Texts edit = {"edit", "", "ABC", "06/15/98", "10", "12", "9", "11", "3", "4"};
  for (const Texts& words : {edit, Texts{"undo", ""}, Texts{"check", "", "--repair"}}) {
    SCOPED_TRACE(words[0]);
    const std::string dir = Built(words[0], {Daily(1, "ABC", 3)});
    Texts change = edit, refused = words;
    change[1] = refused[1] = dir;
    ASSERT_EQ(Cli(change).status, 0);  // a change for the undo
    const auto before = Files();
    PortfolioLock reader(FileSystem::Default());
    ASSERT_TRUE(reader.Acquire({dir}, LockMode::kShared));
    EXPECT_EQ(Cli({"symbols", dir}).status, 0);
    const CliRun run = Cli(refused);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(PortfolioBusyText(dir)), std::string::npos) << run.err;
    EXPECT_EQ(Files(), before);
    reader.Release();
    EXPECT_EQ(Cli(refused).status, 0);
  }
}

}  // namespace
}  // namespace barvane
