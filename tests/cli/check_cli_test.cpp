// barvane-cli check: its lines, exit statuses, the repair's lines and what it leaves for a
// person, and its refusals.
#include <gtest/gtest.h>

#include <tuple>

#include "support/cli_run.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// KEEP is clean; SORT's quotes are out of order (its MASTER dates then disagree too); ZERO has
// a zero close; "\xC9TAIN", a symbol of a letter beyond ASCII, has a header that counts one
// quote too many.
void BuildPortfolio(const std::string& dir) {
  auto mixed = test::WeekdayQuotes(kMonday, 3);
  std::swap(mixed[0], mixed[2]);
  auto zero = test::WeekdayQuotes(kMonday, 2);
  zero[1].close = 0;
  test::Build(dir, test::Portfolio({Daily(1, "KEEP", 2),
                                    test::Symbol(2, "SORT", test::Fields24(), mixed),
                                    test::Symbol(3, "ZERO", test::Fields16(), zero),
                                    test::Symbol(4, "\xC9TAIN", test::Fields8(), test::WeekdayQuotes(kMonday, 2))}));
  Bytes quotes = test::ReadBytes(dir + "F4.DAT");
  quotes[2] = 4;
  test::WriteBytes(dir + "F4.DAT", quotes);
}

TEST(CheckCli, ListsEachProblemAndExitsOneOrZeroWhenClean) {
  TempDir dir;
  BuildPortfolio(dir.path());
  const CliRun run = Cli({"check", dir.path()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(test::Lines(run.out),
            (Texts{"SORT\t06/15/98\tout of date order on 2 quotes, 06/15/98 to 06/16/98",
                   "SORT\t06/15/98\tthe index says the first quote is 06/17/98, the file's is 06/15/98",
                   "SORT\t06/17/98\tthe index says the last quote is 06/15/98, the file's is 06/17/98",
                   "ZERO\t06/16/98\tclose is zero",
                   "\xC3\x89TAIN\t-\theader counts 3 quotes, the file holds 2"}));
  EXPECT_EQ(run.err, "");

  TempDir clean;
  Built(clean.path(), {Daily(1, "KEEP", 2)});
  const CliRun none = Cli({"check", clean.path()});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
}

TEST(CheckCli, RepairWritesALineAMendAndLeavesTheRestToAPerson) {
  TempDir dir;
  BuildPortfolio(dir.path());
  const Bytes keep = test::ReadBytes(dir / "F1.DAT");
  const CliRun run = Cli({"check", dir.path(), "--repair"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(test::Lines(run.out), (Texts{"SORT\t-\tsorted the quotes by date",
                                   "SORT\t06/15/98\tset the index first date to 06/15/98",
                                   "SORT\t06/17/98\tset the index last date to 06/17/98",
                                   "\xC3\x89TAIN\t-\tset the header count to 2"}));
  EXPECT_EQ(run.err, "These problems need a person:\nZERO\t06/16/98\tclose is zero\n");
  EXPECT_EQ(test::ReadBytes(dir / "F1.DAT"), keep);
  EXPECT_FALSE(test::Exists(dir / "F1.BAK"));

  const CliRun again = Cli({"check", dir.path()});
  EXPECT_EQ(test::Lines(again.out), (Texts{"ZERO\t06/16/98\tclose is zero"}));
}

TEST(CheckCli, TheRepairOfEverySymbolIsOneChangeThatUndoGivesBack) {
  TempDir dir;
  BuildPortfolio(dir.path());
  const auto before = test::Snapshot(dir.path());
  ASSERT_EQ(Cli({"check", dir.path()}).status, 1);
  EXPECT_EQ(Cli({"history", dir.path()}).out, "");
  ASSERT_EQ(Cli({"check", dir.path(), "--repair"}).status, 1);
  const Texts history = test::Lines(Cli({"history", dir.path()}).out);
  ASSERT_EQ(history.size(), 1u);
  EXPECT_TRUE(history[0].ends_with("\tcheck " + dir.path() + " --repair")) << history[0];

  ASSERT_EQ(Cli({"undo", dir.path()}).status, 0);
  EXPECT_EQ(test::Snapshot(dir.path()), before);
  EXPECT_EQ(Cli({"undo", dir.path()}).status, 1);
}

// Slots of zeros after the records a header counts open as the header says and are removed
// by the repair as one undoable change; a slot that holds anything stays for a person.
TEST(CheckCli, EmptySlotsBeyondTheCountsOpenAndAreRemovedUndoably) {
  TempDir dir;
  test::Build(dir.path(), test::Extended(test::Portfolio(
                              {Daily(1, "KEEP", 2),
                               test::Symbol(300, "WIDE", test::Fields28(), test::WeekdayQuotes(kMonday, 2))})));
  const auto clean = test::Snapshot(dir.path());
  for (const auto& [name, size, slots] : {std::tuple{"MASTER", 53, 1}, std::tuple{"EMASTER", 192, 2},
                                          std::tuple{"XMASTER", 150, 1}}) {
    Bytes bytes = test::ReadBytes(dir / name);
    bytes.insert(bytes.end(), static_cast<std::size_t>(size * slots), 0);
    test::WriteBytes(dir / name, bytes);
  }
  const auto padded = test::Snapshot(dir.path());
  const CliRun symbols = Cli({"symbols", dir.path()});
  EXPECT_EQ(symbols.status, 0);
  EXPECT_EQ(test::Lines(symbols.out), (Texts{"KEEP\tKEEP Ltd        ", "WIDE\tWIDE Ltd"}));
  EXPECT_EQ(Cli({"quotes", dir.path(), "WIDE"}).status, 0);

  const CliRun check = Cli({"check", dir.path()});
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(test::Lines(check.out), (Texts{"-\t-\tMASTER holds 1 empty record slot after the 1 record it counts",
                                           "-\t-\tEMASTER holds 2 empty record slots after the 1 record it counts",
                                           "-\t-\tXMASTER holds 1 empty record slot after the 1 record it counts"}));
  const CliRun repair = Cli({"check", dir.path(), "--repair"});
  EXPECT_EQ(repair.status, 0);
  EXPECT_EQ(repair.err, "");
  EXPECT_EQ(test::Lines(repair.out), (Texts{"-\t-\tremoved 1 empty record slot after the 1 record MASTER counts",
                                            "-\t-\tremoved 2 empty record slots after the 1 record EMASTER counts",
                                            "-\t-\tremoved 1 empty record slot after the 1 record XMASTER counts"}));
  auto repaired = test::Snapshot(dir.path());
  std::erase_if(repaired, [](const auto& entry) { return entry.first.ends_with(".BAK"); });
  EXPECT_EQ(repaired, clean);
  ASSERT_EQ(Cli({"undo", dir.path()}).status, 0);
  auto undone = test::Snapshot(dir.path());
  std::erase_if(undone, [](const auto& entry) { return entry.first.ends_with(".BAK"); });
  EXPECT_EQ(undone, padded);

  // One byte in a spare slot: the slot may be a record a person has to judge.
  Bytes master = test::ReadBytes(dir / "MASTER");
  master[2 * 53 + 36] = 'Q';
  test::WriteBytes(dir / "MASTER", master);
  EXPECT_EQ(Cli({"symbols", dir.path()}).status, 1);
  const Texts lines = test::Lines(Cli({"check", dir.path()}).out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "-\t-\tMASTER counts 1 records, the file holds 2"), lines.end());
  const CliRun left = Cli({"check", dir.path(), "--repair"});
  EXPECT_EQ(left.status, 1);
  EXPECT_EQ(test::ReadBytes(dir / "MASTER"), master);
}

TEST(CheckCli, RefusesWithoutAPortfolio) {
  TempDir dir;
  const CliRun none = Cli({"check", dir.path()});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "There is no portfolio in " + dir.path() + ": its MASTER file cannot be read.\n");
  EXPECT_EQ(Cli({"check", dir.path(), "--repair"}).status, 1);
}

}  // namespace
}  // namespace barvane
