// The repair of index files out of step: one small portfolio per kind, the lines the check and
// the repair give, the exact bytes of EMASTER and XMASTER after it, what is left to a person
// with the files untouched, and the real portfolios.
#include "tools/portfolio_repair_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "data/mbf.h"
#include "support/check_lines.h"
#include "tools/portfolio_check_view.h"
#include "tools/portfolio_repair.h"

namespace barvane {
namespace {

using test::kMonday;
using test::Lines;
using test::Patch;
using test::Snapshot;
using test::TempDir;
using test::Without;
using Files = std::map<std::string, Bytes>;

const std::string kOutOfStep = "-\t-\tthe index files disagree: ";

SymbolDescription Clean(int fileNumber, const std::string& symbol) { return test::Daily(fileNumber, symbol, 5); }

// ALPHA, BETA and GAMMA in MASTER and EMASTER, WIDE and WIDER in XMASTER.
PortfolioDescription Wide() {
  return test::Extended(test::Portfolio({Clean(1, "ALPHA"), Clean(2, "BETA"), Clean(3, "GAMMA"),
                                         Clean(300, "WIDE"), Clean(301, "WIDER")}));
}

std::size_t EmasterAt(int record, std::size_t field) {
  return kEmasterRecordSize * static_cast<std::size_t>(record) + field;
}

void EraseEmasterRecord(Bytes& emaster, int record) {
  const auto at = emaster.begin() + static_cast<long>(EmasterAt(record, 0));
  emaster.erase(at, at + static_cast<long>(kEmasterRecordSize));
}

// The check's lines, a mendable problem's ending in " (mendable)".
Lines Check(const std::string& dir) {
  Lines lines;
  for (const CheckProblem& p : test::Problems(dir)) lines.push_back(CheckLine(p) + (p.mendable ? " (mendable)" : ""));
  return lines;
}

Lines Repair(const std::string& dir) {
  const RepairResult result = RepairPortfolio(FileSystem::Default(), dir, nullptr);
  EXPECT_EQ(result.outcome, RepairOutcome::kDone) << result.failure;
  return test::LinesOf(result.mends);
}

// A portfolio built as Wide() and then spoilt, beside the clean one it should be repaired to.
class IndexRepair : public testing::Test {
 protected:
  void SetUp() override {
    test::Build(clean_.path(), Wide());
    test::Build(dir_.path(), Wide());
  }

  std::string Path(const std::string& name) const { return dir_ / name; }
  Bytes CleanBytes(const std::string& name) const { return test::ReadBytes(clean_ / name); }

  // The check tells `told`, every line mendable; the repair gives `mends`, keeps the spoilt
  // `name` in its .BAK, leaves every other file as `expected` (the clean portfolio when empty)
  // and a second check finds nothing.
  void ExpectRepairedTo(const Lines& told, const Lines& mends, const std::string& name, Files expected = {}) {
    Lines mendable = told;
    for (std::string& line : mendable) line += " (mendable)";
    EXPECT_EQ(Check(dir_.path()), mendable);
    const Bytes spoilt = test::ReadBytes(Path(name));
    if (expected.empty()) expected = Snapshot(clean_.path());
    EXPECT_EQ(Repair(dir_.path()), mends);
    const Files after = Snapshot(dir_.path());
    EXPECT_EQ(Without(after, ".BAK"), expected);
    EXPECT_EQ(after.at(name + ".BAK"), spoilt);
    EXPECT_EQ(Without(after, ".BAK").size() + 1, after.size()) << "only " << name << " was replaced";
    EXPECT_EQ(Check(dir_.path()), Lines{});
  }

  TempDir clean_, dir_;
};

TEST_F(IndexRepair, SetsEmastersHeaderToMastersCounts) {
  Patch(Path("EMASTER"), 0, {9, 0, 7});
  ExpectRepairedTo({kOutOfStep + "EMASTER's header does not repeat MASTER's counts"},
                   {"-\t-\tset EMASTER's header to MASTER's counts"}, "EMASTER");
}

TEST_F(IndexRepair, AddsTheRecordEmasterLacksFromMastersRecord) {
  Bytes emaster = test::ReadBytes(Path("EMASTER"));
  EraseEmasterRecord(emaster, 2);
  test::WriteBytes(Path("EMASTER"), emaster);
  // The new record holds what MASTER and the quote records tell, zeros where nothing does.
  Files expected = Snapshot(clean_.path());
  Bytes& em = expected.at("EMASTER");
  for (auto [from, to] :
       {std::pair{3, 6}, {8, 9}, {10, 11}, {25, 32}, {48, 60}, {76, 126}, {130, 139}, {191, 192}}) {
    std::fill(em.begin() + static_cast<long>(EmasterAt(2, static_cast<std::size_t>(from))),
              em.begin() + static_cast<long>(EmasterAt(2, static_cast<std::size_t>(to))), 0);
  }
  EXPECT_EQ(em[EmasterAt(2, kEmasterFieldSet)], 0x7F);
  ExpectRepairedTo({kOutOfStep + "EMASTER holds 2 records and MASTER 3",
                    "BETA\t-\tEMASTER's record and MASTER's disagree on the file number, the symbol and the name"},
                   {"-\t-\tadded EMASTER's record of BETA (F2.DAT)"}, "EMASTER", expected);
}

TEST_F(IndexRepair, DropsTheRecordOfASymbolMasterNoLongerLists) {
  Bytes master = test::ReadBytes(Path("MASTER"));
  master.erase(master.begin() + 2 * kMasterRecordSize, master.begin() + 3 * kMasterRecordSize);
  master[0] = 2;
  test::WriteBytes(Path("MASTER"), master);
  std::filesystem::remove(Path("F2.DAT"));
  std::filesystem::remove(clean_ / "F2.DAT");
  test::WriteBytes(clean_ / "MASTER", master);
  Bytes emaster = CleanBytes("EMASTER");
  EraseEmasterRecord(emaster, 2);
  emaster[0] = 2;
  test::WriteBytes(clean_ / "EMASTER", emaster);
  ExpectRepairedTo(
      {kOutOfStep + "EMASTER's header does not repeat MASTER's counts", kOutOfStep + "EMASTER holds 3 records and MASTER 2",
       "GAMMA\t-\tEMASTER's record and MASTER's disagree on the file number, the symbol and the name"},
      {"-\t-\tremoved EMASTER's record of BETA (F2.DAT), a file number MASTER does not list",
       "-\t-\tset EMASTER's header to MASTER's counts"},
      "EMASTER");
}

TEST_F(IndexRepair, PutsEmastersRecordsInMastersOrderEachKeptWhole) {
  Bytes emaster = test::ReadBytes(Path("EMASTER"));
  const auto at = [&emaster](int record) { return emaster.begin() + static_cast<long>(EmasterAt(record, 0)); };
  std::swap_ranges(at(1), at(2), at(3));
  test::WriteBytes(Path("EMASTER"), emaster);
  ExpectRepairedTo({"ALPHA\t-\tEMASTER's record and MASTER's disagree on the file number, the symbol and the name",
                    "GAMMA\t-\tEMASTER's record and MASTER's disagree on the file number, the symbol and the name"},
                   {"-\t-\tput EMASTER's records in MASTER's order"}, "EMASTER");
}

TEST_F(IndexRepair, GivesEachRecordMastersSymbolNameDatesAndNumberOfFields) {
  Patch(Path("EMASTER"), EmasterAt(1, kEmasterSymbol), {'A', 'L', 'P', 'H', 'X', 'X', 'X'});
  Patch(Path("EMASTER"), EmasterAt(2, kEmasterIssueName), {'B', 'e', 't', 'a', 0});
  Bytes stale(4);
  WriteIeee(DayToDateFloat(kMonday + 1), stale.data());
  Patch(Path("EMASTER"), EmasterAt(3, kEmasterFirstDate), stale);
  Patch(Path("EMASTER"), EmasterAt(3, kEmasterFirstDateNumber), {1, 2, 3, 4});
  Patch(Path("EMASTER"), EmasterAt(3, kEmasterLastDate), stale);
  Patch(Path("EMASTER"), EmasterAt(3, kEmasterFieldCount), {6});
  // The question before the repair names the index mends and the backup.
  const std::string question = RepairQuestion(PlannedMends(FileSystem::Default(), dir_.path()));
  EXPECT_NE(question.find("\n-  -  set the number of fields of EMASTER's record 3 to 7\n"), std::string::npos)
      << question;
  EXPECT_NE(question.find("EMASTER.BAK"), std::string::npos);
  ExpectRepairedTo({"ALPHA\t-\tEMASTER's record and MASTER's disagree on the symbol",
                    "BETA\t-\tEMASTER's record and MASTER's disagree on the name",
                    "GAMMA\t-\tEMASTER's record and MASTER's disagree on the dates and the number of fields"},
                   {"-\t-\tset the symbol of EMASTER's record 1 to ALPHA",
                    "-\t-\tset the name of EMASTER's record 2 to BETA Ltd",
                    "-\t-\tset the dates of EMASTER's record 3 to 06/15/98 and 06/19/98",
                    "-\t-\tset the number of fields of EMASTER's record 3 to 7"},
                   "EMASTER");
}

TEST(IndexRepairNames, KeepsALongNameThatGoesOnFromMastersAndClearsAnother) {
  auto portfolio = Wide();
  portfolio.symbols[0].name = "ALPHA EXPLORATION LIMITED";
  TempDir kept, cleared;
  test::Build(kept.path(), portfolio);
  test::Build(cleared.path(), portfolio);
  const Bytes clean = test::ReadBytes(kept / "EMASTER");
  const auto at = [](Bytes& bytes, std::size_t field) {
    return bytes.begin() + static_cast<long>(EmasterAt(1, field));
  };
  Bytes expected = clean;
  ASSERT_EQ(std::string(at(expected, kEmasterLongName), at(expected, kEmasterLongName) + 25),
            "ALPHA EXPLORATION LIMITED");

  Patch(kept / "EMASTER", EmasterAt(1, kEmasterIssueName), {'A', 'L', 'P', 0});
  EXPECT_EQ(Repair(kept.path()), (Lines{"-\t-\tset the name of EMASTER's record 1 to ALPHA EXPLORATIO"}));
  EXPECT_EQ(test::ReadBytes(kept / "EMASTER"), clean);

  const std::string other = "OMEGA GOLD      ";
  Patch(cleared / "MASTER", kMasterRecordSize + kMasterIssueName, Bytes(other.begin(), other.end()));
  EXPECT_EQ(Repair(cleared.path()), (Lines{"-\t-\tset the name of EMASTER's record 1 to OMEGA GOLD"}));
  std::fill(at(expected, kEmasterIssueName), at(expected, kEmasterIssueName) + 16, 0);
  std::copy(other.begin(), other.begin() + 10, at(expected, kEmasterIssueName));
  std::fill(at(expected, kEmasterLongName), at(expected, kEmasterLongName) + 52, 0);
  EXPECT_EQ(test::ReadBytes(cleared / "EMASTER"), expected);
}

TEST_F(IndexRepair, SetsXmastersCountsAndNextNumberFromItsRecords) {
  Patch(Path("XMASTER"), kXmasterCount, {5, 0});
  Patch(Path("XMASTER"), kXmasterCountAgain, {4, 0});
  Patch(Path("XMASTER"), kXmasterNextNumber, {0x2D, 0x01});  // 301, which WIDER uses
  ExpectRepairedTo(
      {kOutOfStep + "XMASTER's header counts do not match its 2 records", kOutOfStep + "XMASTER record 2 has file number 301"},
      {"-\t-\tset XMASTER's record counts to 2", "-\t-\tset XMASTER's next file number to 302"},
      "XMASTER");
}

TEST_F(IndexRepair, CutsMastersCountAndSetsEmastersHeaderAsOneChange) {
  Bytes master = test::ReadBytes(Path("MASTER"));
  master[0] = 5;
  master.insert(master.end(), 7, 0x33);
  test::WriteBytes(Path("MASTER"), master);
  Patch(Path("EMASTER"), 0, {5});
  std::vector<std::string> begun;
  int ended = 0;
  const RepairResult result =
      RepairPortfolio(FileSystem::Default(), dir_.path(), nullptr,
                      {[&](const std::string& dir) { begun.push_back(dir); }, [&] { ++ended; }});
  EXPECT_EQ(test::LinesOf(result.mends),
            (Lines{"-\t-\tset the MASTER record count to 3", "-\t-\tset EMASTER's header to MASTER's counts"}));
  EXPECT_EQ(begun, (Lines{dir_.path()}));
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(Without(Snapshot(dir_.path()), ".BAK"), Snapshot(clean_.path()));
  EXPECT_EQ(test::ReadBytes(Path("MASTER.BAK")), master);
}

// Each spoilt portfolio holds only what needs a person: the repair leaves every file as it was
// and the check says so.
TEST_F(IndexRepair, LeavesToAPersonWhatOnlyAGuessCouldMend) {
  const std::pair<std::function<void(const TempDir&, PortfolioDescription&)>, std::string> cases[] = {
      {[](const TempDir& dir, auto&) { Patch(dir / "XMASTER", kXmasterCount, {1, 0}); },
       "XMASTER's header counts do not match its 2 records"},
      {[](const TempDir& dir, auto&) {  // a number MASTER's range holds
         Patch(dir / "XMASTER", 2 * kXmasterRecordSize + kXmasterFileNumber, {200, 0});
       },
       "XMASTER record 2 has file number 200"},
      {[](const TempDir& dir, auto&) {  // one number twice
         Patch(dir / "EMASTER", EmasterAt(3, kEmasterFileNumber), {1});
       },
       "EMASTER's record and MASTER's disagree on the file number"},
      {[](const TempDir& dir, PortfolioDescription& portfolio) {  // a sub-portfolio EMASTER lacks
         portfolio.subPortfolios = {"SUB"};
         test::Build(dir.path(), portfolio);
         test::Build(dir / "SUB", test::Portfolio(Clean(1, "LOW")));
       },
       "EMASTER holds 3 records and MASTER 4"},
  };
  for (const auto& [spoil, told] : cases) {
    const std::string& line = told;  // a structured binding clang 14 cannot capture
    SCOPED_TRACE(line);
    TempDir dir;
    PortfolioDescription portfolio = Wide();
    test::Build(dir.path(), portfolio);
    spoil(dir, portfolio);
    const Files before = Snapshot(dir.path());
    const Lines lines = Check(dir.path());  // told, and not mendable
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [&line](const std::string& l) { return l.ends_with("\t" + line) || l.ends_with(": " + line); }),
              lines.end());
    EXPECT_EQ(Repair(dir.path()), Lines{});
    EXPECT_EQ(Snapshot(dir.path()), before);
  }
}

// A MASTER that counts too many is cut to its records (above); one that counts too few may have
// lost a record's count or gained a stray record, so its records stay, and EMASTER's with them.
TEST(IndexRepairBoundaries, AMasterCountingTooFewLeavesItsRecordsAndEmastersAlone) {
  TempDir dir;
  test::Build(dir.path(), Wide());
  Patch(dir / "MASTER", 0, {2});
  const Bytes master = test::ReadBytes(dir / "MASTER"), emaster = test::ReadBytes(dir / "EMASTER");
  EXPECT_EQ(Check(dir.path()), (Lines{"-\t-\tMASTER counts 2 records, the file holds 3",
                                      kOutOfStep + "EMASTER's header does not repeat MASTER's counts (mendable)",
                                      kOutOfStep + "EMASTER holds 3 records and MASTER 2",
                                      "-\t-\tquote file F3.DAT is named by no record"}));
  EXPECT_EQ(Repair(dir.path()), (Lines{"-\t-\tset EMASTER's header to MASTER's counts"}));
  Bytes expected = emaster;
  expected[0] = 2;
  EXPECT_EQ(test::ReadBytes(dir / "EMASTER"), expected);
  EXPECT_EQ(test::ReadBytes(dir / "MASTER"), master);
}

TEST(IndexRepairBoundaries, AnXmasterNumberAtTheTopLeavesTheNextNumberAlone) {
  for (const int highest : {0xFFFE, 0xFFFF}) {
    SCOPED_TRACE(highest);
    TempDir dir;
    test::Build(dir.path(), Wide());
    Patch(dir / "XMASTER", 2 * kXmasterRecordSize + kXmasterFileNumber,
          {static_cast<std::uint8_t>(highest), static_cast<std::uint8_t>(highest >> 8)});
    IndexFiles files;
    ASSERT_TRUE(ReadIndexFiles(FileSystem::Default(), dir.path(), &files));
    const IndexMend mend = MendIndexFiles(files, nullptr);
    EXPECT_EQ(mend.mends, highest == 0xFFFF ? Lines{} : Lines{"set XMASTER's next file number to 65535"});
    EXPECT_EQ(mend.files.xmaster.changed, highest == 0xFFFE);
    if (highest == 0xFFFF) continue;
    const auto next = mend.files.xmaster.bytes.begin() + kXmasterNextNumber;
    EXPECT_EQ(Bytes(next, next + 2), (Bytes{0xFF, 0xFF}));
  }
}

// Every quote of both real portfolios is in order, once a day, with sound prices; every header
// count, MASTER date and index record agrees: the check finds nothing and the repair does nothing.
TEST(RealPortfolios, AreFoundSoundAndLeftUntouched) {
  for (const char* name : {"asx-mining", "hsi-mini-futures"}) {
    SCOPED_TRACE(name);
    TempDir into;
    const std::string dir = test::CopyFixture(name, into);
    if (dir.empty()) GTEST_SKIP() << "the shared fixtures are not beside the project";
    const Files before = Snapshot(dir);
    EXPECT_EQ(Check(dir), Lines{});
    EXPECT_EQ(Repair(dir), Lines{});
    EXPECT_EQ(Snapshot(dir), before);
  }
}

}  // namespace
}  // namespace barvane
