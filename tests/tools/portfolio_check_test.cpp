// The portfolio check: one small portfolio per fault kind with its exact lines, the order of
// the lines, sub-portfolios, progress and Cancel, and the real vendor portfolios.
#include "tools/portfolio_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/mbf.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using test::TempDir;
using Lines = std::vector<std::string>;

const DayNumber kMonday = YmdToDay(98, 6, 15);

Lines CheckLines(const std::string& dir) {
  std::vector<CheckProblem> problems;
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), dir, nullptr, &problems), CheckOutcome::kDone);
  Lines lines;
  for (const CheckProblem& p : problems) lines.push_back(CheckLine(p));
  return lines;
}

// The report with each line of many quotes given as the problems it opens to.
Lines BarLines(const std::string& dir) {
  std::vector<CheckProblem> problems;
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), dir, nullptr, &problems), CheckOutcome::kDone);
  Lines lines;
  for (const CheckProblem& p : problems) {
    if (p.bars.empty()) lines.push_back(CheckLine(p));
    for (const CheckProblem& bar : p.bars) lines.push_back(CheckLine(bar));
  }
  return lines;
}

SymbolDescription Clean(int fileNumber, const std::string& symbol, int count = 5) {
  return test::Symbol(fileNumber, symbol, test::Fields28(), test::WeekdayQuotes(kMonday, count));
}

// A portfolio of the clean symbol KEEP (F1) and `faulty` (F2).
void BuildWith(const TempDir& dir, SymbolDescription faulty) {
  test::Build(dir.path(), test::Portfolio({Clean(1, "KEEP"), std::move(faulty)}));
}

void PatchBytes(const std::string& path, std::size_t at, const Bytes& bytes) {
  Bytes contents = test::ReadBytes(path);
  std::copy(bytes.begin(), bytes.end(), contents.begin() + static_cast<long>(at));
  test::WriteBytes(path, contents);
}

// The offset in MASTER of byte `field` of record `record` (1-based).
std::size_t MasterAt(int record, std::size_t field) { return kMasterRecordSize * static_cast<std::size_t>(record) + field; }

TEST(PortfolioCheck, FindsNothingInACleanPortfolioOfEveryLayout) {
  TempDir dir;
  test::Build(dir.path(),
              test::Portfolio({test::Symbol(1, "A8", test::Fields8(), test::WeekdayQuotes(kMonday, 3)),
                               test::Symbol(2, "B12", test::Fields12(), test::WeekdayQuotes(kMonday, 3)),
                               test::Symbol(3, "C16", test::Fields16(), test::WeekdayQuotes(kMonday, 3)),
                               test::Symbol(4, "D20", test::Fields20Prices(), test::WeekdayQuotes(kMonday, 3)),
                               test::Symbol(5, "E20", test::Fields20Volume(), test::WeekdayQuotes(kMonday, 3)),
                               test::Symbol(6, "F24", test::Fields24(), test::WeekdayQuotes(kMonday, 3), true),
                               test::Symbol(7, "G28", test::Fields28(), {}),
                               Clean(8, "H28")}));
  EXPECT_EQ(CheckLines(dir.path()), Lines{});
}

TEST(PortfolioCheck, ReportsQuotesOutOfDateOrder) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 5);
  std::swap(quotes[1], quotes[2]);
  BuildWith(dir, test::Symbol(2, "ORDER", test::Fields28(), quotes));
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"ORDER\t06/16/98\tout of date order after 06/17/98"}));
}

TEST(PortfolioCheck, TellsIdenticalFromDifferentQuotesOfOneDay) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 4);
  quotes.insert(quotes.begin() + 1, quotes[1]);
  QuoteValues other = quotes[3];
  other.close += 0.125f;
  quotes.insert(quotes.begin() + 3, other);
  BuildWith(dir, test::Symbol(2, "TWICE", test::Fields28(), quotes));
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"TWICE\t06/16/98\trepeated days on 2 days, 06/16/98 to 06/17/98"}));
  EXPECT_EQ(BarLines(dir.path()), (Lines{"TWICE\t06/16/98\t2 identical quotes of this day",
                                           "TWICE\t06/17/98\t2 different quotes of this day"}));
}

TEST(PortfolioCheck, TellsQuotesOfOneMomentApartInAnIntradayFile) {
  TempDir dir;
  // 10:30:06 and 10:30:07 are two moments; only the two bars of 10:30:07 are one.
  std::vector<QuoteValues> quotes(4, QuoteValues{kMonday, HmsToSeconds(10, 30, 7), 4, 5, 3, 4, 100, 0});
  quotes[0].time = HmsToSeconds(10, 0, 0);
  quotes[1].time = HmsToSeconds(10, 30, 6);
  test::Build(dir.path(), test::Portfolio(test::Symbol(
                              1, "TICK", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}),
                              quotes, true)));
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"TICK\t06/15/98\t2 identical quotes of 10:30:07"}));
}

// Bars of 09:05, 09:10 and 09:15 (09:15 twice), then a bar with a zero open.
std::vector<QuoteValues> IntradayBars() {
  std::vector<QuoteValues> bars;
  for (int m : {5, 10, 15, 15}) bars.push_back({kMonday, HmsToSeconds(9, m, 0), 4, 5, 3, 4, 100, 7});
  bars.push_back({kMonday + 1, HmsToSeconds(9, 5, 0), 0, 5, 3, 4, 100, 7});
  return bars;
}

// Without a layout file the check reads an intraday series as the grid does: TIME after DATE
// for 28-byte records of periodicity I, the EMASTER field set for 32-byte ones.
TEST(PortfolioCheck, ReadsIntradaySeriesWithTheGridsLayout) {
  const std::vector<Quantity> withTime = {kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume};
  std::vector<Quantity> withOi = withTime;
  withOi.push_back(kOpenInterest);
  for (const bool extended : {false, true}) {
    SCOPED_TRACE(extended);
    TempDir dir;
    std::vector<FieldDescription> fields;
    for (Quantity q : extended ? withOi : withTime) fields.push_back({q, 0, 0});
    auto symbol = test::Symbol(1, "BARS", fields, IntradayBars());
    symbol.periodicity = 'I';
    test::Build(dir.path(), extended ? test::Extended(test::Portfolio(symbol)) : test::Portfolio(symbol));
    EXPECT_EQ(CheckLines(dir.path()), (Lines{"BARS\t06/15/98\t2 identical quotes of 09:15:00",
                                             "BARS\t06/16/98\topen is zero at 09:05:00"}));
  }
}

TEST(PortfolioCheck, GivesTheDaysOfASeriesBefore1961WithFourDigitYears) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(YmdToDay(1928, 10, 1), 4);
  std::swap(quotes[1], quotes[2]);
  quotes[3].high = quotes[3].low - 1;
  BuildWith(dir, test::Symbol(2, "OLD", test::Fields28(), quotes));
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"OLD\t10/02/1928\tout of date order after 10/03/1928",
                                           "OLD\t10/04/1928\thigh 9.25 below low 10.25"}));
}

TEST(PortfolioCheck, FindsCopiesOfADaySeparatedByAQuoteWithoutADate) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  quotes[2] = quotes[0];
  test::Build(dir.path(), test::Portfolio(test::Symbol(1, "GAP", test::Fields28(), quotes)));
  Bytes contents = test::ReadBytes(dir / "F1.DAT");
  std::fill_n(contents.begin() + 2 * 28, 4, 0);
  test::WriteBytes(dir / "F1.DAT", contents);
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"GAP\t-\tquote 2 of the file has no valid date",
                                           "GAP\t06/15/98\t2 identical quotes of this day"}));
}

TEST(PortfolioCheck, ReportsPricesAsAUserReadsThem) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 6);
  quotes[0].high = 4.1f, quotes[0].low = 4.2f;  // the open and close then go unmentioned
  quotes[1].open = quotes[1].high + 0.25f;
  quotes[2].close = quotes[2].low - 0.0625f;
  quotes[3].close = 0;
  quotes[4].low = -1.5f;
  quotes[5].open = 0.0035f, quotes[5].low = 0.004f;
  BuildWith(dir, test::Symbol(2, "PRICE", test::Fields28(), quotes));
  EXPECT_EQ(BarLines(dir.path()), (Lines{"PRICE\t06/15/98\thigh 4.10 below low 4.20",
                                         "PRICE\t06/16/98\topen 11.00 above high 10.75",
                                         "PRICE\t06/17/98\tclose 9.9375 below low 10.00",
                                         "PRICE\t06/22/98\topen 0.0035 below low 0.004",
                                         "PRICE\t06/18/98\tclose is zero",
                                         "PRICE\t06/19/98\tlow -1.50 is negative"}));
}

// A back-adjusted continuous future: years of negative prices, then positive ones.
TEST(PortfolioCheck, ReportsABackAdjustedSeriesInRuns) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(YmdToDay(86, 9, 1), 2400);
  for (std::size_t i = 0; i < 2312; ++i) {
    quotes[i].open -= 800, quotes[i].high -= 800, quotes[i].low -= 800, quotes[i].close -= 800;
  }
  quotes[2320].close = 0;
  BuildWith(dir, test::Symbol(2, "CL", test::Fields28(), quotes));
  EXPECT_EQ(CheckLines(dir.path()),
            (Lines{"CL\t09/01/86\tnegative prices on 2,312 quotes, 09/01/86 to " + ScreenDate(quotes[2311].day),
                   "CL\t" + ScreenDate(quotes[2320].day) + "\tclose is zero"}));
}

TEST(PortfolioCheck, ChecksOnlyThePricesTheLayoutHolds) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  quotes[1].open = 0;  // not in a 16-byte file
  quotes[2].high = 1;  // below the low
  test::Build(dir.path(), test::Portfolio(test::Symbol(1, "HLC", test::Fields16(), quotes)));
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"HLC\t06/17/98\thigh 1.00 below low 10.00"}));
}

TEST(PortfolioCheck, ComparesTheHeaderCountWithTheRecordsPresent) {
  TempDir dir;
  BuildWith(dir, test::Symbol(2, "COUNT", test::Fields28(), test::WeekdayQuotes(kMonday, 5)));
  PatchBytes(dir / "F2.DAT", 2, {8, 0});
  test::Build(dir / "TAIL", test::Portfolio(Clean(3, "TAIL")));
  Bytes tail = test::ReadBytes(dir / "TAIL/F3.DAT");
  tail.insert(tail.end(), {1, 2, 3});
  test::WriteBytes(dir / "TAIL/F3.DAT", tail);
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"COUNT\t-\theader counts 7 quotes, the file holds 5"}));
  EXPECT_EQ(CheckLines(dir / "TAIL"), (Lines{"TAIL\t-\tthe file ends in 3 bytes that make no whole quote"}));
}

TEST(PortfolioCheck, ComparesTheIndexDatesWithTheFirstAndLastQuote) {
  TempDir dir;
  BuildWith(dir, Clean(2, "DATES"));
  Bytes date(4);
  WriteMbf(DayToDateFloat(kMonday + 1), date.data());
  PatchBytes(dir / "MASTER", MasterAt(2, kMasterFirstDate), date);
  PatchBytes(dir / "MASTER", MasterAt(2, kMasterLastDate), {0, 0, 0, 0});
  EXPECT_EQ(CheckLines(dir.path()),
            (Lines{"DATES\t06/15/98\tthe index says the first quote is 06/16/98, the file's is 06/15/98",
                   "DATES\t06/19/98\tthe index gives no valid last date, the file's is 06/19/98"}));
}

TEST(PortfolioCheck, ReportsAMissingQuoteFileAndOneNoRecordNames) {
  TempDir dir;
  BuildWith(dir, Clean(2, "GONE"));
  std::filesystem::rename(dir / "F2.DAT", dir / "F12.DAT");
  test::WriteBytes(dir / "f13.dat", {});
  test::WriteBytes(dir / "F013.DAT", {});  // no file number names it this way
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"-\t-\tquote file F12.DAT is named by no record",
                                           "-\t-\tquote file f13.dat is named by no record",
                                           "GONE\t-\tquote file F2.DAT is missing"}));
}

TEST(PortfolioCheck, ReportsARecordLengthThatContradictsItsFields) {
  TempDir dir;
  BuildWith(dir, Clean(2, "SHAPE"));
  PatchBytes(dir / "MASTER", MasterAt(2, kMasterRecordLength), {24});
  test::Build(dir / "ODD", test::Portfolio(Clean(3, "ODD")));
  PatchBytes(dir / "ODD/MASTER", MasterAt(1, kMasterRecordLength), {36});
  PatchBytes(dir / "ODD/MASTER", MasterAt(1, kMasterFieldCount), {9});
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"SHAPE\t-\trecord length 24 disagrees with its 7 fields"}));
  EXPECT_EQ(CheckLines(dir / "ODD"), (Lines{"ODD\t-\trecord length 36 has no known field layout"}));
}

// A record length of 1 to 3 bytes with a quote file shorter than its header: read within it.
TEST(PortfolioCheck, ReadsNoQuoteFileBeyondItsBytesWhateverTheRecordLength) {
  for (const std::uint8_t length : {1, 2, 3, 4}) {
    SCOPED_TRACE(int{length});
    TempDir dir;
    BuildWith(dir, Clean(2, "SHORT"));
    PatchBytes(dir / "MASTER", MasterAt(2, kMasterRecordLength), {length});
    test::WriteBytes(dir / "F2.DAT", {1, 2});
    EXPECT_EQ(CheckLines(dir.path()),
              (Lines{"SHORT\t-\trecord length " + std::to_string(length) + " disagrees with its 7 fields"}));
  }
}

// An exponent byte of 1 makes a value that is no number; check names it once for each field.
TEST(PortfolioCheck, ReportsValuesThatAreNoNumberAndLeavesThemToAPerson) {
  TempDir dir;
  BuildWith(dir, Clean(2, "NAN"));
  const std::size_t second = 2 * 28;
  for (std::size_t field : {2, 3, 5}) PatchBytes(dir / "F2.DAT", second + 4 * field + 3, {1});  // high, low, volume
  PatchBytes(dir / "F2.DAT", 3 * 28 + 4 * 4 + 3, {1});  // the third quote's close
  EXPECT_EQ(BarLines(dir.path()), (Lines{"NAN\t06/16/98\thigh is not a number", "NAN\t06/16/98\tlow is not a number",
                                           "NAN\t06/16/98\tvolume is not a number",
                                           "NAN\t06/17/98\tclose is not a number"}));
}

TEST(PortfolioCheck, ReportsTheMasterCountAndRecordsSharingAFile) {
  TempDir dir;
  BuildWith(dir, Clean(1, "SHARE"));
  PatchBytes(dir / "MASTER", 0, {3, 0});
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"-\t-\tMASTER counts 3 records, the file holds 2",
                                           "KEEP\t-\tshares its quote file F1.DAT with SHARE",
                                           "SHARE\t-\tshares its quote file F1.DAT with KEEP"}));
}

TEST(PortfolioCheck, ReportsIndexFilesOutOfStepAndChecksXmasterSymbols) {
  TempDir dir;
  auto zero = test::WeekdayQuotes(kMonday, 3);
  zero[1].close = 0;
  test::Build(dir.path(), test::Extended(test::Portfolio(
                              {Clean(1, "KEEP"), test::Symbol(300, "WIDE", test::Fields28(), zero)})));
  Bytes stale(4);
  WriteIeee(DayToDateFloat(kMonday + 1), stale.data());
  PatchBytes(dir / "EMASTER", 192 + 72, stale);
  test::WriteBytes(dir / "F301.MWD", {});
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"-\t-\tquote file F301.MWD is named by no record",
                                           "KEEP\t-\tEMASTER's record and MASTER's disagree on the dates",
                                           "WIDE\t06/16/98\tclose is zero"}));
}

TEST(PortfolioCheck, ChecksSubPortfoliosAsTheSymbolSearchEntersThem) {
  TempDir dir;
  auto bad = test::WeekdayQuotes(kMonday, 2);
  bad[1].close = 0;
  test::Build(dir.path(), test::Portfolio({Clean(1, "TOP")}, {"SUB", "LOST", "NOMASTER"}));
  test::Build(dir / "SUB", test::Portfolio({test::Symbol(1, "TOP", test::Fields28(), bad)}, {"DEEP"}));
  test::Build(dir / "SUB/DEEP", test::Portfolio(test::Symbol(4, "LOW", test::Fields28(), bad)));
  std::filesystem::create_directory(dir / "NOMASTER");
  EXPECT_EQ(CheckLines(dir.path()), (Lines{"-\t-\tsub-portfolio directory LOST is missing",
                                           "-\t-\tsub-portfolio NOMASTER has no readable MASTER file",
                                           "LOW\t06/16/98\tclose is zero (in SUB/DEEP)",
                                           "TOP\t06/16/98\tclose is zero (in SUB)"}));
}

TEST(PortfolioCheck, SortsBySymbolThenDayAndGivesTheProblemsDirectory) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  quotes[2].close = 0;
  quotes[0].open = 0;
  test::Build(dir.path(), test::Portfolio({test::Symbol(1, "zed", test::Fields28(), quotes),
                                           test::Symbol(2, "Abc", test::Fields28(), quotes)}));
  PatchBytes(dir / "F1.DAT", 2, {9, 0});
  std::vector<CheckProblem> problems;
  ASSERT_EQ(CheckPortfolio(FileSystem::Default(), dir.path(), nullptr, &problems), CheckOutcome::kDone);
  Lines lines;
  for (const CheckProblem& p : problems) lines.push_back(CheckLine(p));
  EXPECT_EQ(lines, (Lines{"Abc\t06/15/98\tzero prices on 2 quotes, 06/15/98 to 06/17/98",
                          "zed\t-\theader counts 8 quotes, the file holds 3",
                          "zed\t06/15/98\tzero prices on 2 quotes, 06/15/98 to 06/17/98"}));
  EXPECT_EQ(problems[0].dir, dir.path());
  EXPECT_EQ(problems[0].bars.size(), 2u);
  EXPECT_EQ(problems[0].bars[1].day, kMonday + 2);
  EXPECT_TRUE(problems[1].mendable);
  EXPECT_FALSE(problems[2].mendable);
}

TEST(PortfolioCheck, TellsProgressAndStopsWhenCancelled) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  quotes[0].close = 0;
  test::Build(dir.path(), test::Portfolio({test::Symbol(1, "A", test::Fields28(), quotes),
                                           test::Symbol(2, "B", test::Fields28(), quotes)}));
  std::vector<std::pair<int, int>> told;
  std::vector<CheckProblem> problems;
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), dir.path(),
                           [&](int done, int total) {
                             told.emplace_back(done, total);
                             return done < 1;
                           },
                           &problems),
            CheckOutcome::kCancelled);
  EXPECT_EQ(told, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].symbol, "A");
}

TEST(PortfolioCheck, RefusesADirectoryWithoutAMaster) {
  TempDir dir;
  std::vector<CheckProblem> problems;
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), dir.path(), nullptr, &problems),
            CheckOutcome::kNoPortfolio);
}

TEST(PortfolioCheck, FindsNothingInTheRealVendorPortfolios) {
  // Every quote of both is in order, once a day, with sound prices; every header count and
  // MASTER date agrees with its file.
  for (const char* name : {"asx-mining", "hsi-mini-futures"}) {
    TempDir into;
    const std::string dir = test::CopyFixture(name, into);
    if (dir.empty()) GTEST_SKIP() << "the shared fixtures are not beside the project";
    EXPECT_EQ(CheckLines(dir), Lines{}) << name;
  }
}

}  // namespace
}  // namespace barvane
