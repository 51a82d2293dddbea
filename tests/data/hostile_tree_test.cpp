// Portfolio trees built to mislead the sub-portfolio search: links leading out of the tree or
// back into it, and a directory named many times over. The search stays inside, enters each
// directory once and ends.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/master.h"
#include "data/rewrite.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using test::TempDir;

const DayNumber kMonday = YmdToDay(98, 6, 15);

// Counts the files opened for reading.
class CountingFs final : public FileSystemWrapper {
 public:
  CountingFs() : FileSystemWrapper(FileSystem::Default()) {}
  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    ++opened;
    return target().OpenForRead(path);
  }
  int opened = 0;
};

Status Find(FileSystem& fs, const std::string& dir, const std::string& key, std::string* found) {
  MasterRecord record;
  return FindMasterRecord(fs, dir, key, &record, found);
}

TEST(HostileTree, SubPortfolioLinkLeadingOutsideIsNotFollowed) {
  TempDir tmp;
  test::Build(tmp / "P", test::Portfolio({test::Symbol(1, "TOP", test::Fields28(), {})}, {"SUB"}));
  test::Build(tmp / "OUT", test::Portfolio(test::Symbol(1, "ABC", test::Fields28(),
                                                        test::WeekdayQuotes(kMonday, 3))));
  std::filesystem::create_directory_symlink(tmp / "OUT", tmp / "P/SUB");
  const auto before = test::Snapshot(tmp.path());
  std::string found;
  EXPECT_EQ(Find(FileSystem::Default(), tmp / "P", "ABC", &found), kFileNotFound);
  QuoteChange change;
  change.op = QuoteOp::kDelete;
  change.fromDay = change.toDay = kMonday;
  EXPECT_EQ(RewriteQuotes(FileSystem::Default(), change, tmp / "P", "ABC"), kFileNotFound);
  EXPECT_EQ(test::Snapshot(tmp.path()), before);
}

TEST(HostileTree, SubPortfolioLinksBackIntoTheTreeEnd) {
  TempDir tmp;
  test::Build(tmp / "P", test::Portfolio({test::Symbol(1, "TOP", test::Fields28(), {})},
                                         {"SELF", "UP", "SUB"}));
  test::Build(tmp / "P/SUB", test::Portfolio({test::Symbol(1, "ABC", test::Fields28(), {})}, {"BACK"}));
  std::filesystem::create_directory_symlink(".", tmp / "P/SELF");
  std::filesystem::create_directory_symlink("..", tmp / "P/UP");
  std::filesystem::create_directory_symlink("..", tmp / "P/SUB/BACK");
  std::string found;
  EXPECT_EQ(Find(FileSystem::Default(), tmp / "P", "ABC", &found), kSuccess);
  EXPECT_EQ(found, tmp / "P/SUB/");
  EXPECT_EQ(Find(FileSystem::Default(), tmp / "P", "NONE", &found), kFileNotFound);
}

TEST(HostileTree, SubPortfolioNamedTwiceAtEachOf24LevelsIsSearchedOnce) {
  constexpr int kLevels = 24;
  TempDir tmp;
  std::string dir = tmp / "P";
  for (int level = 0; level < kLevels; ++level) {
    test::Build(dir, test::Portfolio({test::Symbol(1, "L" + std::to_string(level), test::Fields8(), {})},
                                     {"S", "S"}));
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

TEST(HostileTree, SameDirectoryUnderTwoNamesIsSearchedOnce) {
  TempDir tmp;
  test::Build(tmp / "P", test::Portfolio({test::Symbol(1, "TOP", test::Fields28(), {})}, {"A", "B"}));
  test::Build(tmp / "P/A", test::Portfolio(test::Symbol(1, "ABC", test::Fields28(), {})));
  // A hard link to a directory cannot be made; a bind mount would be one, a link is refused.
  std::filesystem::create_directory_symlink("A", tmp / "P/B");
  std::string found;
  EXPECT_EQ(Find(FileSystem::Default(), tmp / "P", "ABC", &found), kSuccess);
  EXPECT_EQ(found, tmp / "P/A/");
}

}  // namespace
}  // namespace barvane
