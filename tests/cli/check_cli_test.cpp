// barvane-cli check: its lines, exit statuses, the repair's lines and what it leaves for a
// person, its single undoable change, and its refusals.
#include <gtest/gtest.h>

#include <tuple>

#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;

// KEEP is clean; SORT's quotes are out of order (its MASTER dates then disagree too); ZERO has
// a zero close; "\xC9TAIN", a symbol of a letter beyond ASCII, has a header that counts one
// quote too many.
class CheckCli : public CliTest {
 protected:
  void SetUp() override {
    auto mixed = WeekdayQuotes(kMonday, 3);
    std::swap(mixed[0], mixed[2]);
    auto zero = WeekdayQuotes(kMonday, 2);
    zero[1].close = 0;
    Build(dir_, Portfolio({Daily(1, "KEEP", 2), Symbol(2, "SORT", Fields24(), mixed),
                           Symbol(3, "ZERO", Fields16(), zero), Daily(4, "\xC9TAIN", 2, Fields8())}));
    Patch(dir_ + "F4.DAT", 2, {4});
  }
  std::string dir_ = root_ / "P/";
};

TEST_F(CheckCli, ListsEachProblemAndRepairsWhatItCanAsOneUndoableChange) {
  const auto before = Files();
  EXPECT_EQ(Cli({"check", dir_}),
            (CliRun{1, "SORT\t06/15/98\tout of date order on 2 quotes to 06/16/98\n"
                       "SORT\t06/15/98\tthe index says the first quote is 06/17/98, the file's is 06/15/98\n"
                       "SORT\t06/17/98\tthe index says the last quote is 06/15/98, the file's is 06/17/98\n"
                       "ZERO\t06/16/98\tclose is zero\n"
                       "\xC3\x89TAIN\t-\theader counts 3 quotes, the file holds 2\n", ""}));
  EXPECT_EQ(Cli({"history", dir_}), Done());

  EXPECT_EQ(Cli({"check", dir_, "--repair"}),
            (CliRun{1, "SORT\t-\tsorted the quotes by date\n"
                       "SORT\t06/15/98\tset the index first date to 06/15/98\n"
                       "SORT\t06/17/98\tset the index last date to 06/17/98\n"
                       "\xC3\x89TAIN\t-\tset the header count to 2\n",
                       "These problems need a person:\nZERO\t06/16/98\tclose is zero\n"}));
  EXPECT_EQ(Cli({"check", dir_}), (CliRun{1, "ZERO\t06/16/98\tclose is zero\n", ""}));

  const Texts history = Lines(Cli({"history", dir_}).out);
  ASSERT_EQ(history.size(), 1u);
  EXPECT_TRUE(history[0].ends_with("\tcheck " + dir_ + " --repair")) << history[0];
  ASSERT_EQ(Cli({"undo", dir_}).status, 0);
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Cli({"undo", dir_}).status, 1);

  TempDir clean;
  EXPECT_EQ(Cli({"check", test::Built(clean / "P", {Daily(1, "KEEP", 2)})}), Done());
  EXPECT_EQ(Cli({"check", clean.path()}),
            Failed("There is no portfolio in " + clean.path() + ": its MASTER file cannot be read.\n"));
  EXPECT_EQ(Cli({"check", clean.path(), "--repair"}).status, 1);
}

// Slots of zeros after the records a header counts open as the header says and are removed
// by the repair as one undoable change; a slot that holds anything stays for a person.
TEST_F(CheckCli, EmptySlotsBeyondTheCountsOpenAndAreRemovedUndoably) {
  const std::string dir = root_ / "S/";
  Build(dir, Extended(Portfolio({Daily(1, "KEEP", 2), Daily(300, "WIDE", 2)})));
  const auto clean = Files();
  for (const auto& [name, size, slots] : {std::tuple{"MASTER", 53, 1}, std::tuple{"EMASTER", 192, 2},
                                          std::tuple{"XMASTER", 150, 1}}) {
    Bytes bytes = ReadBytes(dir + name);
    bytes.insert(bytes.end(), static_cast<std::size_t>(size * slots), 0);
    WriteBytes(dir + name, bytes);
  }
  const auto padded = Files();
  EXPECT_EQ(Cli({"symbols", dir}), Done("KEEP\tKEEP Ltd        \nWIDE\tWIDE Ltd\n"));
  EXPECT_EQ(Cli({"quotes", dir, "WIDE"}).status, 0);

  EXPECT_EQ(Cli({"check", dir}),
            (CliRun{1, "-\t-\tMASTER holds 1 empty record slot after the 1 record it counts\n"
                       "-\t-\tEMASTER holds 2 empty record slots after the 1 record it counts\n"
                       "-\t-\tXMASTER holds 1 empty record slot after the 1 record it counts\n", ""}));
  EXPECT_EQ(Cli({"check", dir, "--repair"}),
            Done("-\t-\tremoved 1 empty record slot after the 1 record MASTER counts\n"
                 "-\t-\tremoved 2 empty record slots after the 1 record EMASTER counts\n"
                 "-\t-\tremoved 1 empty record slot after the 1 record XMASTER counts\n"));
  EXPECT_EQ(Without(Files(), ".BAK"), clean);
  ASSERT_EQ(Cli({"undo", dir}).status, 0);
  EXPECT_EQ(Without(Files(), ".BAK"), padded);

  // One byte in a spare slot: the slot may be a record a person has to judge.
  Patch(dir + "MASTER", 2 * 53 + 36, {'Q'});
  const Bytes master = ReadBytes(dir + "MASTER");
  EXPECT_EQ(Cli({"symbols", dir}).status, 1);
  const Texts lines = Lines(Cli({"check", dir}).out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "-\t-\tMASTER counts 1 records, the file holds 2"), lines.end());
  EXPECT_EQ(Cli({"check", dir, "--repair"}).status, 1);
  EXPECT_EQ(ReadBytes(dir + "MASTER"), master);
}

}  // namespace
}  // namespace barvane
