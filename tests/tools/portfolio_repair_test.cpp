// The portfolio repair: the bytes it writes (sorted, without identical copies, counts and
// dates mended, everything else as it was), symbols it must not touch, and every write step
// under an I/O failure and a crash.
#include "tools/portfolio_repair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "data/index_files.h"
#include "data/mbf.h"
#include "support/check_lines.h"
#include "support/faulty_fs.h"

namespace barvane {
namespace {

using test::CheckLines;
using test::FaultyFs;
using test::kMonday;
using test::LinesOf;
using test::MasterAt;
using test::Patch;
using test::Snapshot;
using test::TempDir;
using Files = std::map<std::string, Bytes>;
using test::Lines;
using test::Without;

SymbolDescription Clean(int fileNumber, const std::string& symbol) { return test::Daily(fileNumber, symbol, 5); }

// What the repair of `dir` mends, as lines.
Lines Mends(const std::string& dir) { return LinesOf(RepairPortfolio(FileSystem::Default(), dir, nullptr).mends); }

// KEEP is clean; MEND holds its five quotes out of order, one twice, a wrong header count, a
// trailing piece and a wrong last date; PERSON has a high below its low and a wrong first date.
std::vector<QuoteValues> PersonQuotes() {
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  quotes[1].high = quotes[1].low - 1;
  return quotes;
}

void BuildFaulty(const std::string& dir) {
  auto mixed = test::WeekdayQuotes(kMonday, 5);
  std::swap(mixed[1], mixed[3]);
  mixed.push_back(mixed[2]);
  test::Build(dir, test::Portfolio({Clean(1, "KEEP"), test::Symbol(2, "MEND", test::Fields28(), mixed),
                                    test::Symbol(3, "PERSON", test::Fields28(), PersonQuotes())}));
  Patch(dir + "F2.DAT", 2, {3, 0});
  Bytes quotes = test::ReadBytes(dir + "F2.DAT");
  quotes.insert(quotes.end(), {9, 9, 9, 9, 9});
  test::WriteBytes(dir + "F2.DAT", quotes);
  Patch(dir + "MASTER", MasterAt(3, kMasterFirstDate), {0, 0, 0, 0});
}

void BuildMended(const std::string& dir) {
  test::Build(dir, test::Portfolio({Clean(1, "KEEP"), Clean(2, "MEND"),
                                    test::Symbol(3, "PERSON", test::Fields28(), PersonQuotes())}));
}

// The plan, which writes nothing, is exactly what the repair then does.
TEST(PortfolioRepair, MendsWhatNeedsNoGuessAndLeavesTheRestToAPerson) {
  TempDir dir, mended, empty;
  BuildFaulty(dir.path());
  BuildMended(mended.path());
  const Files before = Snapshot(dir.path());
  const Lines planned = LinesOf(PlannedMends(FileSystem::Default(), dir.path()));
  EXPECT_EQ(Snapshot(dir.path()), before);

  const RepairResult result = RepairPortfolio(FileSystem::Default(), dir.path(), nullptr);
  EXPECT_EQ(result.outcome, RepairOutcome::kDone);
  EXPECT_EQ(LinesOf(result.mends), planned);
  EXPECT_EQ(planned,
            (Lines{"MEND\t-\tset the header count to 6", "MEND\t-\tremoved the 5 bytes after the last whole quote",
                   "MEND\t-\tsorted the quotes by date",
                   "MEND\t06/17/98\tremoved 1 identical copy of a quote of this day",
                   "MEND\t06/19/98\tset the index last date to 06/19/98",
                   "PERSON\t06/15/98\tset the index first date to 06/15/98"}));

  // The clean symbol and the quotes that need a person are not touched.
  Files after = Snapshot(dir.path()), expected = before;
  expected["F2.DAT"] = test::ReadBytes(mended / "F2.DAT");
  expected["F2.BAK"] = before.at("F2.DAT");
  expected["MASTER"] = test::ReadBytes(mended / "MASTER");
  EXPECT_EQ(after["MASTER.BAK"].size(), before.at("MASTER").size());
  after.erase("MASTER.BAK");
  EXPECT_EQ(after, expected);

  EXPECT_EQ(CheckLines(dir.path()), (Lines{"PERSON\t06/16/98\thigh 8.75 below low 9.75"}));
  EXPECT_EQ(Mends(dir.path()), Lines{});
  EXPECT_EQ(RepairPortfolio(FileSystem::Default(), empty.path(), nullptr).outcome, RepairOutcome::kNoPortfolio);
}

TEST(PortfolioRepair, TakesTheReadingOfARecordThatTheFileBearsOut) {
  TempDir dir;
  test::Build(dir.path(), test::Portfolio({Clean(1, "LENGTH"), Clean(2, "FIELDS"), Clean(3, "NEITHER")}));
  Patch(dir / "MASTER", MasterAt(1, kMasterRecordLength), {24});
  Patch(dir / "MASTER", MasterAt(2, kMasterFieldCount), {6});
  Patch(dir / "MASTER", MasterAt(3, kMasterRecordLength), {24});
  Patch(dir / "F3.DAT", 2, {9, 0});
  const RepairResult result = RepairPortfolio(FileSystem::Default(), dir.path(), nullptr);
  EXPECT_EQ(LinesOf(result.mends), (Lines{"LENGTH\t-\tset the record length to 28",
                                          "FIELDS\t-\tset the number of fields to 7"}));
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"NEITHER\t-\trecord length 24 disagrees with its 7 fields"}));
  const Bytes master = test::ReadBytes(dir / "MASTER");
  EXPECT_EQ((Bytes{master[MasterAt(1, kMasterRecordLength)], master[MasterAt(2, kMasterFieldCount)]}), (Bytes{28, 7}));
}

TEST(PortfolioRepair, LeavesRecordsThatShareAQuoteFileAndQuotesWithoutADate) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  std::swap(quotes[0], quotes[2]);
  test::Build(dir.path(), test::Portfolio({test::Symbol(1, "A", test::Fields28(), quotes),
                                           test::Symbol(1, "B", test::Fields28(), quotes),
                                           test::Symbol(2, "C", test::Fields28(), quotes)}));
  Patch(dir / "F2.DAT", 28 * 2, {0, 0, 0, 0});
  const Files before = Snapshot(dir.path());
  EXPECT_EQ(Mends(dir.path()), Lines{});
  EXPECT_EQ(Snapshot(dir.path()), before);
  EXPECT_EQ(CheckLines(dir.path()),
            (Lines{"A\t-\tshares its quote file F1.DAT with B",
                   "A\t06/15/98\tout of date order on 2 quotes, 06/15/98 to 06/16/98",
                   "A\t06/15/98\tthe index says the first quote is 06/17/98, the file's is 06/15/98",
                   "A\t06/17/98\tthe index says the last quote is 06/15/98, the file's is 06/17/98",
                   "B\t-\tshares its quote file F1.DAT with A",
                   "B\t06/15/98\tout of date order on 2 quotes, 06/15/98 to 06/16/98",
                   "B\t06/15/98\tthe index says the first quote is 06/17/98, the file's is 06/15/98",
                   "B\t06/17/98\tthe index says the last quote is 06/15/98, the file's is 06/17/98",
                   "C\t-\tquote 2 of the file has no valid date",
                   "C\t06/15/98\tout of date order after 06/17/98",
                   "C\t06/15/98\tthe index says the first quote is 06/17/98, the file's is 06/15/98",
                   "C\t06/17/98\tthe index says the last quote is 06/15/98, the file's is 06/17/98"}));
}

TEST(PortfolioRepair, RemovesARepeatedBarFromA32ByteIntradayFile) {
  TempDir dir;
  std::vector<QuoteValues> bars;
  for (int m : {5, 10, 10, 15}) bars.push_back({kMonday, HmsToSeconds(9, m, 0), 4, 5, 3, 4, 100, 7});
  auto symbol = test::Symbol(1, "BARS", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}),
                             bars);
  symbol.periodicity = 'I';
  test::Build(dir.path(), test::Extended(test::Portfolio(symbol)));
  const Bytes before = test::ReadBytes(dir / "F1.DAT");
  EXPECT_EQ(Mends(dir.path()), (Lines{"BARS\t06/15/98\tremoved 1 identical copy of a quote of 09:10:00"}));
  bars.erase(bars.begin() + 2);
  symbol.quotes = bars;
  EXPECT_EQ(test::ReadBytes(dir / "F1.DAT"), QuoteFileBytes(symbol));
  EXPECT_EQ(test::ReadBytes(dir / "F1.BAK"), before);
  EXPECT_EQ(CheckLines(dir.path()), Lines{});
}

// A MASTER date that is no number is mended from the quotes, in EMASTER too, once: the next
// repair finds nothing, and a value no number can hold in a quote is left to a person.
TEST(PortfolioRepair, MendsAnIndexDateThatIsNoNumberOnce) {
  TempDir dir;
  test::Build(dir.path(), test::Extended(test::Portfolio({Clean(1, "KEEP"), Clean(2, "NAN")})));
  Patch(dir / "MASTER", MasterAt(2, kMasterFirstDate) + 3, {1});
  Patch(dir / "F2.DAT", 2 * 28 + 4 * 4 + 3, {1});
  EXPECT_EQ(Mends(dir.path()),
            (Lines{"-\t-\tset the dates of EMASTER's record 2 to 00/00/00 and 06/19/98",
                   "NAN\t06/15/98\tset the index first date to 06/15/98"}));
  EXPECT_EQ(Mends(dir.path()), Lines{});
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"NAN\t06/16/98\tclose is not a number"}));
}

// An XMASTER symbol's mend reaches XMASTER alone.
TEST(PortfolioRepair, MendsAnXmasterSymbolAndItsDatesInXmaster) {
  TempDir dir, mended;
  auto mixed = test::WeekdayQuotes(kMonday, 4);
  std::swap(mixed[0], mixed[3]);
  const auto build = [](const std::string& at, std::vector<QuoteValues> quotes) {
    test::Build(at, test::Extended(test::Portfolio({Clean(1, "KEEP"), test::Symbol(300, "WIDE", test::Fields28(), quotes)})));
  };
  build(dir.path(), mixed);
  build(mended.path(), test::WeekdayQuotes(kMonday, 4));
  EXPECT_EQ(Mends(dir.path()),
            (Lines{"WIDE\t-\tsorted the quotes by date", "WIDE\t06/15/98\tset the index first date to 06/15/98",
                   "WIDE\t06/18/98\tset the index last date to 06/18/98"}));
  EXPECT_EQ(Without(Snapshot(dir.path()), ".BAK"), Snapshot(mended.path()));
  EXPECT_EQ(CheckLines(dir.path()), Lines{});
}

// The portfolios a failed repair must leave as they were, each with the backups of earlier
// changes in place: the faulty one, and one whose MASTER counts too many, whose EMASTER's
// records are out of order and whose XMASTER's counts are wrong, a change of all three.
void BuildFaultyWithBackups(const std::string& dir) {
  BuildFaulty(dir);
  for (const std::string name : {"MASTER.BAK", "F2.BAK", "F3.BAK"}) test::WriteBytes(dir + name, Bytes(name.begin(), name.end()));
}

void BuildIndexOutOfStepWithBackups(const std::string& dir) {
  test::Build(dir, test::Extended(test::Portfolio({Clean(1, "ALPHA"), Clean(2, "BETA"), Clean(3, "GAMMA"),
                                                   Clean(300, "WIDE"), Clean(301, "WIDER")})));
  Patch(dir + "MASTER", 0, {4});
  Bytes emaster = test::ReadBytes(dir + "EMASTER");
  std::rotate(emaster.begin() + kEmasterRecordSize, emaster.begin() + 2 * kEmasterRecordSize, emaster.end());
  test::WriteBytes(dir + "EMASTER", emaster);
  Patch(dir + "XMASTER", kXmasterCount, {3});
  for (const std::string name : {"MASTER.BAK", "EMASTER.BAK", "XMASTER.BAK"}) test::WriteBytes(dir + name, Bytes(name.begin(), name.end()));
}

using Builder = void (*)(const std::string& dir);

class RepairFaults : public testing::TestWithParam<Builder> {
 protected:
  void SetUp() override {
    GetParam()(reference_.path());
    old_ = Snapshot(reference_.path());
    ASSERT_EQ(RepairPortfolio(FileSystem::Default(), reference_.path(), nullptr).outcome, RepairOutcome::kDone);
    new_ = Snapshot(reference_.path());
  }

  void AtEveryStep(FaultyFs::Mode mode,
                   const std::function<void(RepairOutcome, const Files&, const std::string&)>& check) {
    test::AtEveryStep(mode, [&](FaultyFs& fs) {
      TempDir dir;
      GetParam()(dir.path());
      const RepairOutcome outcome = RepairPortfolio(fs, dir.path(), nullptr).outcome;
      if (fs.faulted()) return check(outcome, Snapshot(dir.path()), dir.path());
      EXPECT_EQ(outcome, RepairOutcome::kDone);
      EXPECT_EQ(Snapshot(dir.path()), new_);
      EXPECT_GE(fs.calls(), 10);
    });
  }

  // Every file but MASTER, backups aside, is wholly old or wholly new; so is each record of
  // MASTER.
  void ExpectWhole(const Files& after) {
    const Files kept = Without(Without(after, ".BAK"), ".NEW");
    ASSERT_EQ(kept.size(), Without(old_, ".BAK").size());
    for (const auto& [name, bytes] : kept) {
      if (name == "MASTER") continue;
      EXPECT_TRUE(bytes == old_.at(name) || bytes == new_.at(name)) << name << " is torn";
    }
    const Bytes& master = kept.at("MASTER");
    ASSERT_EQ(master.size(), old_.at("MASTER").size());
    const auto record = [](const Bytes& m, int r) {
      return Bytes(m.begin() + static_cast<long>(MasterAt(r, 0)), m.begin() + static_cast<long>(MasterAt(r + 1, 0)));
    };
    for (int r = 0; r <= 3; ++r) {
      EXPECT_TRUE(record(master, r) == record(old_.at("MASTER"), r) ||
                  record(master, r) == record(new_.at("MASTER"), r))
          << "MASTER record " << r << " is torn";
    }
  }

  TempDir reference_;
  Files old_, new_;
};

// The repair stands whole or not at all: a failure at any symbol puts back every file the
// symbols before it had mended, backups included, and the next repair goes through.
TEST_P(RepairFaults, AReportedFailureLeavesEveryFileAsItWas) {
  AtEveryStep(FaultyFs::Mode::kFailOne, [&](RepairOutcome outcome, const Files& after, const std::string& dir) {
    if (outcome == RepairOutcome::kDone) {
      EXPECT_EQ(after, new_);
      return;
    }
    EXPECT_EQ(outcome, RepairOutcome::kFailed);
    EXPECT_EQ(after, old_);
    EXPECT_EQ(RepairPortfolio(FileSystem::Default(), dir, nullptr).failure, "");
  });
}

TEST_P(RepairFaults, CancelPutsBackWhatTheSymbolsBeforeMended) {
  for (int symbols = 1; symbols <= 2; ++symbols) {
    TempDir dir;
    GetParam()(dir.path());
    const RepairResult result =
        RepairPortfolio(FileSystem::Default(), dir.path(), [symbols](int done, int) { return done < symbols; });
    EXPECT_EQ(std::make_tuple(result.outcome, result.mends.size(), result.restored),
              std::make_tuple(RepairOutcome::kCancelled, std::size_t{0}, true)) << symbols;
    EXPECT_EQ(Snapshot(dir.path()), old_) << symbols;
  }
}

// A crash between a symbol's two files leaves its index dates behind its quotes; no file is
// ever torn, and the next repair finishes the work.
TEST_P(RepairFaults, ACrashLeavesEveryFileAndEveryIndexRecordOldOrNew) {
  AtEveryStep(FaultyFs::Mode::kCrash, [&](RepairOutcome, const Files& after, const std::string& dir) {
    ExpectWhole(after);
    ASSERT_EQ(RepairPortfolio(FileSystem::Default(), dir, nullptr).outcome, RepairOutcome::kDone);
    EXPECT_EQ(Without(Without(Snapshot(dir), ".BAK"), ".NEW"), Without(new_, ".BAK"));
  });
}

INSTANTIATE_TEST_SUITE_P(Portfolios, RepairFaults,
                         testing::Values(BuildFaultyWithBackups, BuildIndexOutOfStepWithBackups),
                         [](const testing::TestParamInfo<Builder>& p) { return p.index == 0 ? "QuotesAndDates" : "IndexFiles"; });

}  // namespace
}  // namespace barvane
