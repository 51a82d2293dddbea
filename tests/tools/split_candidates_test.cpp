// Split candidates: result lines taken apart, their closes read back, the filter and orders of
// the window, the opening of a candidate's day and its marks on the chart.
#include "tools/split_candidates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "support/portfolio_builder.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::kMonday;
using test::TempDir;

SplitCandidate Parsed(const std::string& line) {
  SplitCandidate c;
  EXPECT_TRUE(ParseSplitCandidateLine(line, &c)) << line;
  return c;
}

// Flat quotes with one halving between quote `at` - 1 and `at`, closes `before` then half.
std::vector<QuoteValues> HalvedAt(int count, int at, float before = 100) {
  auto quotes = test::WeekdayQuotes(kMonday, count, before);
  for (int i = 0; i < count; ++i) {
    const float c = i < at ? before : before / 2;
    auto& q = quotes[static_cast<std::size_t>(i)];
    q.close = c;
    q.high = c * 1.01f;
    q.low = c * 0.99f;
  }
  return quotes;
}

TEST(SplitCandidateLine, TakesApartWhatTheSearchWritesAndNothingElse) {
  for (SplitRatio ratio : kSplitRatios) {
    const SplitCandidate c = Parsed(SplitCandidateLine("BHP", ratio, kMonday));
    EXPECT_EQ(std::tie(c.symbol, c.ratio.p, c.ratio.q, c.dateText, c.day),
              std::make_tuple(std::string("BHP"), ratio.p, ratio.q, std::string("06/15/98"), kMonday));
    EXPECT_LT(c.closeAfter, 0);
  }
  // Two-digit years below 60 are this century's, as in the entry fields.
  EXPECT_EQ(Parsed("ADY possible 1 for 4 split on 12/16/10").day, YmdToDay(2010, 12, 16));
  // The last " possible " ends the symbol.
  EXPECT_EQ(Parsed("A possible B possible 3 for 2 split on 01/02/03").symbol, "A possible B");
  SplitCandidate c;
  for (const char* other : {"No candidate splits found", "", " possible 2 for 1 split on 06/15/98",
                            "XYZ possible 4 for 3 split on 06/15/98", "XYZ possible 2 for 2 split on 06/15/98",
                            "XYZ possible 2 for 1 split on 6/15/98", "XYZ possible 2 for 1 split on 06/15/98 ",
                            "XYZ possible 2 for  1 split on 06/15/98", "XYZ possible +2 for 1 split on 06/15/98",
                            "XYZ possible 2 for 1 split on 06-15-98", "XYZ possible 2 for 1 split on 06/15/9x",
                            "XYZ possible 2 for 1 split on"}) {
    EXPECT_FALSE(ParseSplitCandidateLine(other, &c)) << other;
  }
}

TEST(SplitCandidatePrices, ReadBackFromThePairTheSearchFound) {
  TempDir dir;
  const auto half = HalvedAt(6, 4);
  const auto cheap = HalvedAt(500, 450, 0.004f);
  test::Build(dir.path(), test::Portfolio({test::Symbol(1, "HALF", test::Fields28(), half),
                                           test::Symbol(2, "CHEAP", test::Fields28(), cheap),
                                           test::Symbol(3, "GONE", test::Fields28(), HalvedAt(3, 1))}));
  test::ToolView tv(dir.path());
  SplitSearch search;
  ASSERT_TRUE(search.Search(tv.view));
  ASSERT_TRUE(search.Search(tv.view));  // every line twice
  std::vector<SplitCandidate> candidates;
  for (const std::string& line : search.lines()) candidates.push_back(Parsed(line));
  ASSERT_EQ(candidates.size(), 6u);
  candidates.push_back(Parsed("HALF possible 2 for 1 split on " + ScreenDate(half[2].day)));  // no such pair
  candidates.push_back(Parsed(search.lines()[0]));  // another portfolio's
  for (SplitCandidate& c : candidates) c.dir = dir.path();
  candidates.back().dir = dir / "elsewhere";
  std::filesystem::remove(dir / "F3.DAT");
  ReadCandidatePrices(FileSystem::Default(), &candidates);
  for (const SplitCandidate& c : {candidates[0], candidates[3]}) {
    EXPECT_EQ(std::tie(c.symbol, c.closeBefore, c.closeAfter, c.day), std::make_tuple("CHEAP", 0.004f, 0.002f, cheap[450].day));
  }
  for (const SplitCandidate& c : {candidates[2], candidates[5]}) {
    EXPECT_EQ(std::tie(c.symbol, c.closeBefore, c.closeAfter), std::make_tuple("HALF", 100.0f, 50.0f));
  }
  for (std::size_t i : {1u, 4u, 6u, 7u}) EXPECT_LT(candidates[i].closeAfter, 0) << i;  // GONE, no pair
}

TEST(SplitCandidateFilter, HidesRatiosAndLowPricesAndOrdersBySymbolOrDay) {
  auto make = [](const char* symbol, SplitRatio ratio, DayNumber day, float before, float after) {
    return SplitCandidate{"P", symbol, ratio, ScreenDate(day), day, before, after};
  };
  const std::vector<SplitCandidate> candidates = {
      make("ZED", {2, 1}, kMonday + 7, 10, 5),       // 0
      make("ABC", {1, 2}, kMonday + 7, 0.01f, 0.02f),  // 1
      make("ABC", {2, 1}, kMonday, 8, 4),            // 2
      make("MID", {4, 1}, kMonday + 1, -1, -1),      // 3 unpriced
      make("ABC", {2, 1}, kMonday, 8, 4)};           // 4 a second search's copy of 2
  SplitCandidateFilter all;
  using V = std::vector<std::size_t>;
  EXPECT_EQ(ShownCandidates(candidates, all, CandidateOrder::kFound), (V{0, 1, 2, 3, 4}));
  EXPECT_EQ(ShownCandidates(candidates, all, CandidateOrder::kSymbol), (V{2, 4, 1, 3, 0}));
  EXPECT_EQ(ShownCandidates(candidates, all, CandidateOrder::kDate), (V{2, 4, 3, 1, 0}));

  SplitCandidateFilter filter;
  filter.ratios[3] = false;  // 2 for 1
  EXPECT_EQ(ShownCandidates(candidates, filter, CandidateOrder::kFound), (V{1, 3}));
  filter.ratios[3] = true;
  filter.minimumPrice = 5;  // the higher close counts; unpriced ones stay
  EXPECT_EQ(ShownCandidates(candidates, filter, CandidateOrder::kDate), (V{2, 4, 3, 0}));
  filter.minimumPrice = 8.5f;
  EXPECT_EQ(ShownCandidates(candidates, filter, CandidateOrder::kSymbol), (V{3, 0}));
  filter.minimumPrice = 0.02f;  // exactly the close: shown
  EXPECT_TRUE(ShowsCandidate(filter, candidates[1]));
  filter.minimumPrice = 0;
  EXPECT_FALSE(ShowsCandidate(filter, make("BAD", {4, 3}, kMonday, 4, 3)));
}

TEST(OpenSplitCandidate, SelectsThePortfolioTheSymbolAndTheDay) {
  TempDir drive;
  const std::string a = drive / "A", b = drive / "B";
  const auto half = HalvedAt(6, 4);
  test::Build(a, test::Portfolio(test::Daily(1, "ONLYA", 3)));
  test::Build(b, test::Portfolio({test::Daily(1, "FIRST", 3), test::Symbol(2, "HALF", test::Fields28(), half)}));
  test::ToolView tv(a);
  tv.view.m_portfolios = {a, b};
  tv.view.m_selPortfolio = 0;
  const auto in = [](const std::string& dir, SplitCandidate c) {
    c.dir = dir;
    return c;
  };
  const SplitCandidate found = in(b, Parsed("HALF possible 2 for 1 split on " + ScreenDate(half[4].day)));
  ASSERT_TRUE(OpenSplitCandidate(tv.view, found));
  // Newest first, quote 4 of 6 is row 1.
  const ViewState& v = tv.view;
  EXPECT_EQ(std::tie(v.m_portfolioDir, v.m_selPortfolio, v.m_seriesSymbol, v.m_selQuoteRow, v.m_title),
            std::make_tuple(b, 1, std::string("HALF"), 1, "Barvane - " + b + " - HALF"));
  EXPECT_TRUE(tv.ui.messages.empty());
  // The marks of the series shown: the shown candidates of this portfolio only.
  const std::vector<SplitCandidate> candidates = {
      found, in(b, Parsed("FIRST possible 2 for 1 split on 06/15/98")),
      in(b, Parsed("HALF possible 1 for 2 split on " + ScreenDate(half[0].day))), in(a, found)};
  std::vector<std::string> marks;
  for (const CandidateMark& m : CandidateMarks(tv.view, candidates, {0, 1, 2, 3})) {
    marks.push_back(std::to_string(m.row) + ": " + m.label);
  }
  EXPECT_EQ(marks, (std::vector<std::string>{"1: 2 for 1", "5: 1 for 2"}));
  EXPECT_TRUE(CandidateMarks(tv.view, candidates, {1, 3}).empty());

  // Gone since the search: the day, the symbol, the portfolio. Each is told; nothing is chosen.
  EXPECT_FALSE(OpenSplitCandidate(tv.view, in(b, Parsed("HALF possible 2 for 1 split on 01/01/99"))));
  EXPECT_FALSE(OpenSplitCandidate(tv.view, in(b, Parsed("LOST possible 2 for 1 split on 06/15/98"))));
  EXPECT_FALSE(OpenSplitCandidate(tv.view, in(drive / "C", found)));
  EXPECT_EQ(tv.ui.messages, (std::vector<std::string>{"HALF has no quote dated 01/01/99",
                                                      "Symbol LOST is not in the portfolio\n" + b,
                                                      "Portfolio " + drive / "C" + " is not in the portfolio list"}));
  EXPECT_EQ(tv.view.m_portfolioDir, b);
}

}  // namespace
}  // namespace barvane
