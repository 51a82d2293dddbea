// The portfolio check: one small portfolio per fault kind with its exact lines, the order of
// the lines, sub-portfolios, progress and Cancel.
#include "tools/portfolio_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "data/mbf.h"
#include "support/check_lines.h"

namespace barvane {
namespace {

using test::CheckLines;
using test::kMonday;
using test::Lines;
using test::MasterAt;
using test::Patch;
using test::TempDir;

// The report with each line of many quotes given as the problems it opens to.
Lines BarLines(const std::string& dir) {
  Lines lines;
  for (const CheckProblem& p : test::Problems(dir)) {
    if (p.bars.empty()) lines.push_back(CheckLine(p));
    for (const CheckProblem& bar : p.bars) lines.push_back(CheckLine(bar));
  }
  return lines;
}

SymbolDescription Clean(int fileNumber, const std::string& symbol) { return test::Daily(fileNumber, symbol, 5); }

// A portfolio of the clean symbol KEEP (F1) and `faulty` (F2).
void BuildWith(const std::string& dir, SymbolDescription faulty) {
  test::Build(dir, test::Portfolio({Clean(1, "KEEP"), std::move(faulty)}));
}

std::vector<QuoteValues> Quotes(int count, const std::function<void(std::vector<QuoteValues>&)>& spoil,
                                DayNumber first = kMonday) {
  auto quotes = test::WeekdayQuotes(first, count);
  spoil(quotes);
  return quotes;
}

// Two copies of 06/16/98 alike and two of 06/17/98 that differ.
SymbolDescription Twice() {
  return test::Symbol(2, "TWICE", test::Fields28(), Quotes(4, [](auto& q) {
                        q.insert(q.begin() + 1, q[1]);
                        QuoteValues other = q[3];
                        other.close += 0.125f;
                        q.insert(q.begin() + 3, other);
                      }));
}

// Bars of 09:05, 09:10 and 09:15 (09:15 twice), then a bar with a zero open, of periodicity I
// with a TIME field and, when `withOi`, an open interest.
SymbolDescription IntradayBars(bool withOi) {
  std::vector<QuoteValues> bars;
  for (int m : {5, 10, 15, 15}) bars.push_back({kMonday, HmsToSeconds(9, m, 0), 4, 5, 3, 4, 100, 7});
  bars.push_back({kMonday + 1, HmsToSeconds(9, 5, 0), 0, 5, 3, 4, 100, 7});
  auto fields = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
  if (!withOi) fields.pop_back();
  auto symbol = test::Symbol(1, "BARS", fields, bars);
  symbol.periodicity = 'I';
  return symbol;
}

struct Case {
  const char* what;
  std::function<void(const std::string& dir)> make;
  Lines lines;
  bool bars = false;  // the lines as BarLines gives them
};

TEST(PortfolioCheck, ReportsEachFaultWithItsExactLines) {
  const auto with = [](SymbolDescription faulty) {
    return [faulty](const std::string& dir) { BuildWith(dir, faulty); };
  };
  const auto alone = [](SymbolDescription symbol) {
    return [symbol](const std::string& dir) { test::Build(dir, test::Portfolio(symbol)); };
  };
  // KEEP beside `faulty`, with `bytes` at `at` in the file `name`.
  const auto patched = [](SymbolDescription faulty, std::string name, std::size_t at, Bytes bytes) {
    return [=](const std::string& dir) {
      BuildWith(dir, faulty);
      Patch(dir + name, at, bytes);
    };
  };
  const auto zeroClose = Quotes(2, [](auto& q) { q[1].close = 0; });
  const auto backAdjusted = Quotes(
      2400,
      [](auto& q) {
        for (std::size_t i = 0; i < 2312; ++i) q[i].open -= 800, q[i].high -= 800, q[i].low -= 800, q[i].close -= 800;
        q[2320].close = 0;
      },
      YmdToDay(86, 9, 1));
  const Case cases[] = {
      {"a clean portfolio of every layout", [](const std::string& dir) {
         const auto q = test::WeekdayQuotes(kMonday, 3);
         test::Build(dir, test::Portfolio({test::Symbol(1, "A8", test::Fields8(), q), test::Symbol(2, "B12", test::Fields12(), q),
                                           test::Symbol(3, "C16", test::Fields16(), q),
                                           test::Symbol(4, "D20", test::Fields20Prices(), q),
                                           test::Symbol(5, "E20", test::Fields20Volume(), q),
                                           test::Symbol(6, "F24", test::Fields24(), q, true),
                                           test::Symbol(7, "G28", test::Fields28(), {}), Clean(8, "H28")}));
       },
       {}},
      {"quotes out of date order",
       with(test::Symbol(2, "ORDER", test::Fields28(), Quotes(5, [](auto& q) { std::swap(q[1], q[2]); }))),
       {"ORDER\t06/16/98\tout of date order after 06/17/98"}},
      {"identical and different quotes of one day, together", with(Twice()),
       {"TWICE\t06/16/98\trepeated days on 2 days, 06/16/98 to 06/17/98"}},
      {"identical and different quotes of one day, each", with(Twice()),
       {"TWICE\t06/16/98\t2 identical quotes of this day", "TWICE\t06/17/98\t2 different quotes of this day"},
       true},
      {"10:30:06 and 10:30:07 are two moments; only the two bars of 10:30:07 are one",
       [](const std::string& dir) {
         std::vector<QuoteValues> q(4, QuoteValues{kMonday, HmsToSeconds(10, 30, 7), 4, 5, 3, 4, 100, 0});
         q[0].time = HmsToSeconds(10, 0, 0);
         q[1].time = HmsToSeconds(10, 30, 6);
         test::Build(dir, test::Portfolio(test::Symbol(
                              1, "TICK", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}), q, true)));
       },
       {"TICK\t06/15/98\t2 identical quotes of 10:30:07"}},
      // Without a layout file the check reads an intraday series as the grid does: TIME after
      // DATE for 28-byte records of periodicity I, the EMASTER field set for 32-byte ones.
      {"a 28-byte intraday series", alone(IntradayBars(false)),
       {"BARS\t06/15/98\t2 identical quotes of 09:15:00", "BARS\t06/16/98\topen is zero at 09:05:00"}},
      {"a 32-byte intraday series",
       [](const std::string& dir) { test::Build(dir, test::Extended(test::Portfolio(IntradayBars(true)))); },
       {"BARS\t06/15/98\t2 identical quotes of 09:15:00", "BARS\t06/16/98\topen is zero at 09:05:00"}},
      {"days before 1961 in four-digit years",
       with(test::Symbol(2, "OLD", test::Fields28(), Quotes(4, [](auto& q) {
                           std::swap(q[1], q[2]);
                           q[3].high = q[3].low - 1;
                         }, YmdToDay(1928, 10, 1)))),
       {"OLD\t10/02/1928\tout of date order after 10/03/1928", "OLD\t10/04/1928\thigh 9.25 below low 10.25"}},
      {"copies of a day apart by a quote without a date", [](const std::string& dir) {
         test::Build(dir, test::Portfolio(test::Symbol(1, "GAP", test::Fields28(), Quotes(3, [](auto& q) { q[2] = q[0]; }))));
         Patch(dir + "F1.DAT", 2 * 28, {0, 0, 0, 0});
       },
       {"GAP\t-\tquote 2 of the file has no valid date", "GAP\t06/15/98\t2 identical quotes of this day"}},
      {"prices as a user reads them; a high below the low leaves the open and close unmentioned",
       with(test::Symbol(2, "PRICE", test::Fields28(), Quotes(6, [](auto& q) {
                           q[0].high = 4.1f, q[0].low = 4.2f;
                           q[1].open = q[1].high + 0.25f;
                           q[2].close = q[2].low - 0.0625f;
                           q[3].close = 0;
                           q[4].low = -1.5f;
                           q[5].open = 0.0035f, q[5].low = 0.004f;
                         }))),
       {"PRICE\t06/15/98\thigh 4.10 below low 4.20", "PRICE\t06/16/98\topen 11.00 above high 10.75",
        "PRICE\t06/17/98\tclose 9.9375 below low 10.00", "PRICE\t06/22/98\topen 0.0035 below low 0.004",
        "PRICE\t06/18/98\tclose is zero", "PRICE\t06/19/98\tlow -1.50 is negative"}, true},
      {"a back-adjusted continuous future: years of negative prices, then positive ones",
       with(test::Symbol(2, "CL", test::Fields28(), backAdjusted)),
       {"CL\t09/01/86\tnegative prices on 2,312 quotes, 09/01/86 to " + ScreenDate(backAdjusted[2311].day),
        "CL\t" + ScreenDate(backAdjusted[2320].day) + "\tclose is zero"}},
      {"only the prices the layout holds (no open in 16 bytes)",
       alone(test::Symbol(1, "HLC", test::Fields16(), Quotes(3, [](auto& q) {
                            q[1].open = 0;
                            q[2].high = 1;
                          }))),
       {"HLC\t06/17/98\thigh 1.00 below low 10.00"}},
      {"a header count above the records present", patched(Clean(2, "COUNT"), "F2.DAT", 2, {8, 0}),
       {"COUNT\t-\theader counts 7 quotes, the file holds 5"}},
      {"a piece of a quote at the end", [](const std::string& dir) {
         test::Build(dir, test::Portfolio(Clean(3, "TAIL")));
         Bytes tail = test::ReadBytes(dir + "F3.DAT");
         tail.insert(tail.end(), {1, 2, 3});
         test::WriteBytes(dir + "F3.DAT", tail);
       },
       {"TAIL\t-\tthe file ends in 3 bytes that make no whole quote"}},
      {"index dates against the first and last quote", [&](const std::string& dir) {
         with(Clean(2, "DATES"))(dir);
         Bytes date(4);
         WriteMbf(DayToDateFloat(kMonday + 1), date.data());
         Patch(dir + "MASTER", MasterAt(2, kMasterFirstDate), date);
         Patch(dir + "MASTER", MasterAt(2, kMasterLastDate), {0, 0, 0, 0});
       },
       {"DATES\t06/15/98\tthe index says the first quote is 06/16/98, the file's is 06/15/98",
        "DATES\t06/19/98\tthe index gives no valid last date, the file's is 06/19/98"}},
      {"a missing quote file and ones no record names (F013 names no file number)",
       [&](const std::string& dir) {
         with(Clean(2, "GONE"))(dir);
         std::filesystem::rename(dir + "F2.DAT", dir + "F12.DAT");
         test::WriteBytes(dir + "f13.dat", {});
         test::WriteBytes(dir + "F013.DAT", {});
       },
       {"-\t-\tquote file F12.DAT is named by no record", "-\t-\tquote file f13.dat is named by no record",
        "GONE\t-\tquote file F2.DAT is missing"}},
      {"a record length that contradicts its fields",
       patched(Clean(2, "SHAPE"), "MASTER", MasterAt(2, kMasterRecordLength), {24}),
       {"SHAPE\t-\trecord length 24 disagrees with its 7 fields"}},
      {"a record length of no layout", [](const std::string& dir) {
         test::Build(dir, test::Portfolio(Clean(3, "ODD")));
         Patch(dir + "MASTER", MasterAt(1, kMasterRecordLength), {36});
         Patch(dir + "MASTER", MasterAt(1, kMasterFieldCount), {9});
       },
       {"ODD\t-\trecord length 36 has no known field layout"}},
      // An exponent byte of 1 makes a value that is no number; named once for each field.
      {"values that are no number", [&](const std::string& dir) {
         with(Clean(2, "NAN"))(dir);
         for (std::size_t field : {2, 3, 5}) Patch(dir + "F2.DAT", 2 * 28 + 4 * field + 3, {1});  // high, low, volume
         Patch(dir + "F2.DAT", 3 * 28 + 4 * 4 + 3, {1});  // the third quote's close
       },
       {"NAN\t06/16/98\thigh is not a number", "NAN\t06/16/98\tlow is not a number",
        "NAN\t06/16/98\tvolume is not a number", "NAN\t06/17/98\tclose is not a number"}, true},
      {"the MASTER count and records sharing a file", patched(Clean(1, "SHARE"), "MASTER", 0, {3, 0}),
       {"-\t-\tMASTER counts 3 records, the file holds 2", "KEEP\t-\tshares its quote file F1.DAT with SHARE",
        "SHARE\t-\tshares its quote file F1.DAT with KEEP"}},
      {"index files out of step, and an XMASTER symbol checked", [](const std::string& dir) {
         test::Build(dir, test::Extended(test::Portfolio(
                              {Clean(1, "KEEP"), test::Symbol(300, "WIDE", test::Fields28(), Quotes(3, [](auto& q) { q[1].close = 0; }))})));
         Bytes stale(4);
         WriteIeee(DayToDateFloat(kMonday + 1), stale.data());
         Patch(dir + "EMASTER", 192 + 72, stale);
         test::WriteBytes(dir + "F301.MWD", {});
       },
       {"-\t-\tquote file F301.MWD is named by no record", "KEEP\t-\tEMASTER's record and MASTER's disagree on the dates",
        "WIDE\t06/16/98\tclose is zero"}},
      {"sub-portfolios as the symbol search enters them", [&](const std::string& dir) {
         test::Build(dir, test::Portfolio({Clean(1, "TOP")}, {"SUB", "LOST", "NOMASTER"}));
         test::Build(dir + "SUB", test::Portfolio({test::Symbol(1, "TOP", test::Fields28(), zeroClose)}, {"DEEP"}));
         test::Build(dir + "SUB/DEEP", test::Portfolio(test::Symbol(4, "LOW", test::Fields28(), zeroClose)));
         std::filesystem::create_directory(dir + "NOMASTER");
       },
       {"-\t-\tsub-portfolio directory LOST is missing", "-\t-\tsub-portfolio NOMASTER has no readable MASTER file",
        "LOW\t06/16/98\tclose is zero (in SUB/DEEP)", "TOP\t06/16/98\tclose is zero (in SUB)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    c.make(dir.path());
    EXPECT_EQ(c.bars ? BarLines(dir.path()) : CheckLines(dir.path()), c.lines);
  }
}

// A record length of 1 to 3 bytes with a quote file shorter than its header: read within it.
TEST(PortfolioCheck, ReadsNoQuoteFileBeyondItsBytesWhateverTheRecordLength) {
  for (const std::uint8_t length : {1, 2, 3, 4}) {
    SCOPED_TRACE(int{length});
    TempDir dir;
    BuildWith(dir.path(), Clean(2, "SHORT"));
    Patch(dir / "MASTER", MasterAt(2, kMasterRecordLength), {length});
    test::WriteBytes(dir / "F2.DAT", {1, 2});
    EXPECT_EQ(CheckLines(dir.path()),
              (Lines{"SHORT\t-\trecord length " + std::to_string(length) + " disagrees with its 7 fields"}));
  }
}

TEST(PortfolioCheck, SortsBySymbolThenDayGivesTheProblemsDirectoryAndTellsProgressToACancel) {
  TempDir dir, empty;
  auto quotes = Quotes(3, [](auto& q) { q[2].close = 0, q[0].open = 0; });
  test::Build(dir.path(), test::Portfolio({test::Symbol(1, "zed", test::Fields28(), quotes),
                                           test::Symbol(2, "Abc", test::Fields28(), quotes)}));
  Patch(dir / "F1.DAT", 2, {9, 0});
  const std::vector<CheckProblem> problems = test::Problems(dir.path());
  EXPECT_EQ(test::LinesOf(problems), (Lines{"Abc\t06/15/98\tzero prices on 2 quotes, 06/15/98 to 06/17/98",
                                            "zed\t-\theader counts 8 quotes, the file holds 3",
                                            "zed\t06/15/98\tzero prices on 2 quotes, 06/15/98 to 06/17/98"}));
  ASSERT_EQ(problems.size(), 3u);
  ASSERT_EQ(problems[0].bars.size(), 2u);
  EXPECT_EQ(std::tie(problems[0].dir, problems[0].bars[1].day, problems[1].mendable, problems[2].mendable),
            std::make_tuple(dir.path(), kMonday + 2, true, false));

  std::vector<std::pair<int, int>> told;
  std::vector<CheckProblem> cancelled;
  const auto progress = [&](int done, int total) {
    told.emplace_back(done, total);
    return done < 1;
  };
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), dir.path(), progress, &cancelled), CheckOutcome::kCancelled);
  EXPECT_EQ(told, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
  EXPECT_EQ(test::LinesOf(cancelled), (Lines{"zed\t-\theader counts 8 quotes, the file holds 3",
                                             "zed\t06/15/98\tzero prices on 2 quotes, 06/15/98 to 06/17/98"}));
  EXPECT_EQ(CheckPortfolio(FileSystem::Default(), empty.path(), nullptr, &cancelled), CheckOutcome::kNoPortfolio);
}

}  // namespace
}  // namespace barvane
