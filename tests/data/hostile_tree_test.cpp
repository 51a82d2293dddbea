// Portfolio trees built to mislead the sub-portfolio search: links leading out of the tree or
// back into it, and a directory named many times over. The search stays inside, enters each
// directory once and ends.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/master.h"
#include "data/rewrite.h"
#include "support/counting_fs.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// A portfolio at `dir` of the symbol `symbol` and the sub-portfolios `subs`.
void Build(const std::string& dir, const std::string& symbol, std::vector<std::string> subs = {},
           std::vector<QuoteValues> quotes = {}) {
  test::Build(dir, Portfolio({Symbol(1, symbol, Fields28(), std::move(quotes))}, std::move(subs)));
}

Status Find(FileSystem& fs, const std::string& dir, const std::string& key, std::string* found) {
  MasterRecord record;
  return FindMasterRecord(fs, dir, key, &record, found);
}

TEST(HostileTree, SubPortfolioLinkLeadingOutsideIsNotFollowed) {
  TempDir tmp;
  Build(tmp / "P", "TOP", {"SUB"});
  Build(tmp / "OUT", "ABC", {}, WeekdayQuotes(kMonday, 3));
  std::filesystem::create_directory_symlink(tmp / "OUT", tmp / "P/SUB");
  const auto before = Snapshot(tmp.path());
  std::string found;
  EXPECT_EQ(Find(Fs(), tmp / "P", "ABC", &found), kFileNotFound);
  const QuoteChange change{.fromDay = kMonday, .toDay = kMonday, .time = {}, .op = QuoteOp::kDelete};
  EXPECT_EQ(RewriteQuotes(Fs(), change, tmp / "P", "ABC"), kFileNotFound);
  EXPECT_EQ(Snapshot(tmp.path()), before);
}

// Links to the portfolio itself, to its parent and, beside the real directory, to a sibling. A
// hard link to a directory cannot be made; a bind mount would be one, a link is refused.
TEST(HostileTree, SubPortfolioLinksBackIntoTheTreeEndAndATwinIsSearchedOnce) {
  TempDir tmp;
  Build(tmp / "P", "TOP", {"SELF", "UP", "SUB", "TWIN"});
  Build(tmp / "P/SUB", "ABC", {"BACK"});
  std::filesystem::create_directory_symlink(".", tmp / "P/SELF");
  std::filesystem::create_directory_symlink("..", tmp / "P/UP");
  std::filesystem::create_directory_symlink("SUB", tmp / "P/TWIN");
  std::filesystem::create_directory_symlink("..", tmp / "P/SUB/BACK");
  std::string found;
  EXPECT_EQ(Find(Fs(), tmp / "P", "ABC", &found), kSuccess);
  EXPECT_EQ(found, tmp / "P/SUB/");
  EXPECT_EQ(Find(Fs(), tmp / "P", "NONE", &found), kFileNotFound);
}

TEST(HostileTree, SubPortfolioNamedTwiceAtEachOf24LevelsIsSearchedOnce) {
  constexpr int kLevels = 24;
  TempDir tmp;
  std::string dir = tmp / "P";
  for (int level = 0; level < kLevels; ++level) {
    Build(dir, "L" + std::to_string(level), {"S", "S"});
    dir += "/S";
  }
  CountingFs fs;
  std::string found;
  EXPECT_EQ(Find(fs, tmp / "P", "NONE", &found), kFileNotFound);
  // Each level's MASTER is read once when entered and once more for each sub-portfolio record
  // passed: never 2^24 times.
  EXPECT_LE(fs.opened, 4 * kLevels);
  EXPECT_EQ(Find(fs, tmp / "P", "L23", &found), kSuccess);
}

}  // namespace
}  // namespace barvane
