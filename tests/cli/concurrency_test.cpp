// Several barvane-cli processes changing one portfolio at once: each change that reports done
// is in the files, a refused one changed nothing, and every quote history is listed exactly
// once afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "data/portfolio_lock.h"
#include "support/cli_run.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

std::string Quoted(const std::string& word) { return "'" + word + "'"; }

// Runs every command line at once in the background and returns each one's exit status.
std::vector<int> RunAtOnce(const TempDir& scratch, const std::vector<std::vector<std::string>>& runs) {
  std::string script;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    script += "( " + Quoted(BARVANE_CLI_PATH);
    for (const std::string& word : runs[i]) script += " " + Quoted(word);
    const std::string n = std::to_string(i);
    script += " >/dev/null 2>" + scratch / ("err" + n) + "; echo $? >" + scratch / ("status" + n) +
              " ) &\n";
  }
  script += "wait\n";
  test::WriteBytes(scratch / "run.sh", Bytes(script.begin(), script.end()));
  EXPECT_EQ(std::system(("sh " + scratch / "run.sh").c_str()), 0);
  std::vector<int> statuses;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Bytes text = test::ReadBytes(scratch / ("status" + std::to_string(i)));
    statuses.push_back(std::stoi(std::string(text.begin(), text.end())));
  }
  return statuses;
}

std::vector<std::string> Symbols(const std::string& dir) {
  const CliRun run = Cli({"symbols", dir});
  EXPECT_EQ(run.status, 0) << run.err;
  return Lines(run.out);
}

TEST(Concurrency, TenParallelMovesIntoOnePortfolioLoseNoHistory) {
  constexpr int kMoves = 10;
  TempDir root, scratch;
  const std::string dest = root / "DEST";
  Built(dest, {Daily(1, "HOME", 3)});
  std::vector<std::vector<std::string>> runs;
  std::map<std::string, std::string> quotesOf;  // symbol -> its quote grid
  for (int i = 0; i < kMoves; ++i) {
    const std::string symbol = "S" + std::to_string(i);
    const std::string src = root / symbol;
    test::Build(src, test::Portfolio(test::Symbol(
                         1, symbol, test::Fields28(),
                         test::WeekdayQuotes(kMonday, 5 + i, 10.0f + static_cast<float>(i)))));
    quotesOf[symbol] = Cli({"quotes", src, symbol}).out;
    runs.push_back({"move-symbol", src, symbol, dest});
  }

  const std::vector<int> statuses = RunAtOnce(scratch, runs);
  const std::vector<std::string> inDest = Symbols(dest);
  int moved = 0;
  for (int i = 0; i < kMoves; ++i) {
    const std::string symbol = "S" + std::to_string(i);
    const std::string src = root / symbol;
    SCOPED_TRACE(symbol);
    const long listed = std::count_if(inDest.begin(), inDest.end(), [&](const std::string& line) {
      return line.starts_with(symbol + "\t");
    });
    const std::vector<std::string> inSource = Symbols(src);
    if (statuses[static_cast<std::size_t>(i)] == 0) {
      ++moved;
      EXPECT_EQ(listed, 1);
      EXPECT_TRUE(inSource.empty());
      EXPECT_EQ(Cli({"quotes", dest, symbol}).out, quotesOf[symbol]);
    } else {
      EXPECT_EQ(statuses[static_cast<std::size_t>(i)], 1);
      EXPECT_EQ(listed, 0);
      EXPECT_EQ(inSource.size(), 1u);
      EXPECT_EQ(Cli({"quotes", src, symbol}).out, quotesOf[symbol]);
    }
  }
  EXPECT_GT(moved, 0);
  EXPECT_EQ(inDest.size(), static_cast<std::size_t>(moved + 1));
}

TEST(Concurrency, ParallelChangesOfDifferentPortfoliosKeepAHistoryEach) {
  constexpr int kPortfolios = 12;
  TempDir root, scratch;
  std::vector<std::vector<std::string>> runs;
  std::vector<std::map<std::string, Bytes>> before;
  for (int i = 0; i < kPortfolios; ++i) {
    const std::string dir = Built(root / ("P" + std::to_string(i)), {Daily(1, "ABC", 3)});
    before.push_back(test::Snapshot(dir));
    runs.push_back({"edit", dir, "ABC", "06/16/98", "7", "7", "7", "7", "7", "7"});
  }
  const std::vector<int> statuses = RunAtOnce(scratch, runs);
  for (std::size_t i = 0; i < statuses.size(); ++i) {
    const Bytes err = test::ReadBytes(scratch / ("err" + std::to_string(i)));
    EXPECT_EQ(statuses[i], 0) << std::string(err.begin(), err.end());
  }
  for (int i = 0; i < kPortfolios; ++i) {
    const std::string dir = root / ("P" + std::to_string(i));
    const CliRun history = Cli({"history", dir});
    ASSERT_EQ(Lines(history.out).size(), 1u) << dir << "\n" << history.out << history.err;
    ASSERT_EQ(Cli({"undo", dir}).status, 0) << dir;
    EXPECT_EQ(test::Snapshot(dir), before[static_cast<std::size_t>(i)]) << dir;
  }
}

TEST(Concurrency, TwentyParallelEditsOfOneSymbolAllLand) {
  constexpr int kEdits = 20;
  TempDir root, scratch;
  const std::string dir = Built(root / "P", {Daily(1, "ABC", kEdits)});
  std::vector<std::string> dates;
  std::vector<std::vector<std::string>> runs;
  for (const std::string& line : Lines(Cli({"quotes", dir, "ABC"}).out)) {
    dates.push_back(line.substr(0, line.find('\t')));
  }
  ASSERT_EQ(dates.size(), static_cast<std::size_t>(kEdits));
  for (int i = 0; i < kEdits; ++i) {
    const std::string v = std::to_string(100 + i);
    runs.push_back({"edit", dir, "ABC", dates[static_cast<std::size_t>(i)], v, v, v, v, v, v});
  }
  const std::vector<int> statuses = RunAtOnce(scratch, runs);
  const std::vector<std::string> after = Lines(Cli({"quotes", dir, "ABC"}).out);
  ASSERT_EQ(after.size(), static_cast<std::size_t>(kEdits));
  int edited = 0;
  for (int i = 0; i < kEdits; ++i) {
    const auto at = static_cast<std::size_t>(i);
    const bool changed = after[at].find("\t" + std::to_string(100 + i) + ".") != std::string::npos;
    if (statuses[at] == 0) ++edited;
    EXPECT_EQ(changed, statuses[at] == 0) << after[at];
    if (statuses[at] != 0) {
      EXPECT_EQ(statuses[at], 1);
    }
  }
  EXPECT_GT(edited, 0);
}

// Processes editing, undoing and redoing one portfolio at once leave a history that undoes to
// the original bytes: every change that stands is recorded, and none is recorded twice.
TEST(Concurrency, ParallelChangesAndUndosLeaveAHistoryThatUndoesToTheOriginal) {
  constexpr int kProcesses = 6;
  TempDir root, scratch;
  const std::string dir = root / "P";
  test::Build(dir, test::Portfolio({test::Symbol(1, "ABC", test::Fields28(), test::WeekdayQuotes(kMonday, 8)),
                                    test::Symbol(2, "XYZ", test::Fields28(), test::WeekdayQuotes(kMonday, 8))}));
  const auto original = test::Snapshot(dir);
  std::string script;
  for (int p = 0; p < kProcesses; ++p) {
    const std::string cli = Quoted(BARVANE_CLI_PATH) + " ";
    const std::string day = "06/" + std::to_string(15 + p % 5) + "/98", v = std::to_string(50 + p);
    const std::string symbol = p % 2 ? "XYZ" : "ABC";
    script += "( for i in 1 2 3; do " + cli + "edit " + Quoted(dir) + " " + symbol + " " + day + " " + v + " " + v +
              " " + v + " " + v + " 1 1; " + cli + "undo " + Quoted(dir) + "; " + cli + "redo " + Quoted(dir) + "; " +
              cli + "undo " + Quoted(dir) + "; done ) >/dev/null 2>&1 &\n";
  }
  script += "wait\n";
  test::WriteBytes(scratch / "run.sh", Bytes(script.begin(), script.end()));
  ASSERT_EQ(std::system(("sh " + scratch / "run.sh").c_str()), 0);

  CliRun undo;
  for (int undone = 0; (undo = Cli({"undo", dir})).status == 0; ++undone) ASSERT_LT(undone, 200);
  EXPECT_EQ(undo.err, "Nothing to undo in " + dir + "\n");
  EXPECT_EQ(test::Snapshot(dir), original);
}

// A command that changes a portfolio another one uses waits for it, then refuses naming it and
// changes nothing; commands that only read share it.
TEST(Concurrency, ChangesOfAPortfolioInUseAreRefusedNamingItAndReadsShareIt) {
  const Texts edit = {"edit", "", "ABC", "06/15/98", "10", "12", "9", "11", "3", "4"};
  for (const Texts& words : {edit, Texts{"undo", ""}, Texts{"check", "", "--repair"}}) {
    SCOPED_TRACE(words[0]);
    TempDir root;
    const std::string dir = Built(root / "P", {Daily(1, "ABC", 3)});
    Texts run = edit, change = words;
    run[1] = change[1] = dir;
    ASSERT_EQ(Cli(run).status, 0);  // a change for the undo
    const auto before = test::Snapshot(root.path());
    PortfolioLock reader(FileSystem::Default());
    ASSERT_TRUE(reader.Acquire({dir}, LockMode::kShared));
    EXPECT_EQ(Cli({"symbols", dir}).status, 0);
    const CliRun refused = Cli(change);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(PortfolioBusyText(dir)), std::string::npos) << refused.err;
    EXPECT_EQ(test::Snapshot(root.path()), before);
    reader.Release();
    EXPECT_EQ(Cli(change).status, 0);
  }
}

}  // namespace
}  // namespace barvane
