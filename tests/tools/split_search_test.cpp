// Split search: the candidate test at its boundaries, the windows of 400 sharing one quote,
// the texts of lines and messages, and the saved results file.
#include "tools/split_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/mbf.h"
#include "support/portfolio_builder.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::kMonday;
using test::TempDir;

SplitQuote Q(float high, float low, float close) { return {kMonday, high, low, close}; }

std::string Ratio(const SplitQuote& a, const SplitQuote& b) {
  SplitRatio r;
  return IsSplitCandidate(a, b, &r) ? std::to_string(r.p) + " for " + std::to_string(r.q) : "";
}

TEST(SplitCandidate, EveryRatioInItsOrderAndNoneForFourThirds) {
  const std::vector<std::pair<float, std::string>> ratios = {
      {0.5f, "1 for 2"}, {1 / 3.0f, "1 for 3"}, {0.25f, "1 for 4"}, {2, "2 for 1"},
      {2 / 3.0f, "2 for 3"}, {3, "3 for 1"}, {1.5f, "3 for 2"}, {4, "4 for 1"},
      {4 / 3.0f, ""}, {0.75f, ""}, {1, ""}, {5, ""}};
  for (const auto& [r, expected] : ratios) {
    SCOPED_TRACE(r);
    const float c0 = 1000 * r, c1 = 1000;
    // Ranges far apart on the side of the move, so that only the ratio decides.
    const SplitQuote a = c0 > c1 ? Q(c0, c0, c0) : Q(c0, 0, c0);
    const SplitQuote b = c0 > c1 ? Q(0, 0, c1) : Q(1e7f, c1 * 10, c1);
    EXPECT_EQ(Ratio(a, b), expected);
  }
}

TEST(SplitCandidate, TheWorkedExampleItsGapAndTheExclusiveBandEdgesAndGapThreshold) {
  EXPECT_EQ(Ratio(Q(101, 98, 100), Q(52, 49, 50)), "2 for 1");
  EXPECT_EQ(Ratio(Q(101, 60, 100), Q(55, 49, 50)), "");
  // A rise: the gap is between the earlier high and the later low.
  EXPECT_EQ(Ratio(Q(52, 49, 50), Q(101, 98, 100)), "1 for 2");
  EXPECT_EQ(Ratio(Q(52, 49, 50), Q(101, 60, 100)), "");
  // R just inside and exactly at the band edges of 2 for 1 (1.8 and 2.2); 2.2f and 1.8f lie on the
  // outer side of the double limits 2.2 and 1.8.
  const auto withClose0 = [](float c0) { return Ratio(Q(c0, c0, c0), Q(0, 0, 1)); };
  EXPECT_EQ((std::vector<std::string>{withClose0(std::nextafter(2.2f, 0.0f)), withClose0(std::nextafter(1.8f, 3.0f)),
                                      withClose0(2.2f), withClose0(1.8f)}),
            (std::vector<std::string>{"2 for 1", "2 for 1", "", ""}));
  // Gap equal to 0.8 x |C0 - C1| (100 - 50 gives 40): not a candidate; just above it is.
  EXPECT_EQ(Ratio(Q(101, 90, 100), Q(50, 49, 50)), "");
  EXPECT_EQ(Ratio(Q(101, 90.0001f, 100), Q(50, 49, 50)), "2 for 1");
  // Zero closes and series without highs and lows (-1 for both: gap 0).
  EXPECT_EQ(Ratio(Q(101, 98, 0), Q(52, 49, 50)), "");
  EXPECT_EQ(Ratio(Q(101, 98, 100), Q(52, 49, 0)), "");
  EXPECT_EQ(Ratio(Q(-1, -1, 100), Q(-1, -1, 50)), "");
}

// Flat quotes with one halving between quote `at` - 1 and `at`.
std::vector<QuoteValues> HalvedAt(int count, int at) {
  auto quotes = test::WeekdayQuotes(kMonday, count, 100);
  for (int i = 0; i < count; ++i) {
    const float c = i < at ? 100.0f : 50.0f;
    quotes[static_cast<std::size_t>(i)].close = c;
    quotes[static_cast<std::size_t>(i)].high = c + 1;
    quotes[static_cast<std::size_t>(i)].low = c - 1;
  }
  return quotes;
}

TEST(SplitSearch, EveryPairOnceAcrossWindowsInGridOrder) {
  TempDir dir;
  // 401 quotes: windows 0..399 and 399..400; the pairs 398/399 and 399/400 each found once.
  auto b = HalvedAt(401, 400);
  auto a = HalvedAt(400, 399);
  test::Build(dir.path(),
              test::Portfolio({test::Symbol(1, "BBB", test::Fields16(), b),
                               test::Symbol(2, "AAA", test::Fields16(), a),
                               test::Symbol(3, "CCC", test::Fields16(), HalvedAt(2, 1)),
                               test::Symbol(4, "ONE", test::Fields16(), HalvedAt(1, 1))}));
  test::ToolView tv(dir.path());
  SplitSearch search;
  ASSERT_TRUE(search.Search(tv.view));
  EXPECT_EQ(search.lines(), (std::vector<std::string>{
                                "AAA possible 2 for 1 split on " + ScreenDate(a[399].day),
                                "BBB possible 2 for 1 split on " + ScreenDate(b[400].day),
                                "CCC possible 2 for 1 split on " + ScreenDate(kMonday + 1)}));
  EXPECT_EQ(tv.ui.messages, std::vector<std::string>{
                                "For symbol ONE\nSplitSearch cannot perform search\nas there are "
                                "fewer than 2 quotes."});
  EXPECT_EQ(search.status(), "Done search");
  EXPECT_TRUE(search.canSave());

  ASSERT_TRUE(search.Search(tv.view));  // a second search appends
  EXPECT_EQ(search.lines().size(), 6u);
  ASSERT_TRUE(search.SaveResults(FileSystem::Default(), tv.ui, dir / "result.txt"));
  std::string expected;
  for (const auto& line : search.lines()) expected += line + "\r\n";
  EXPECT_EQ(test::ReadText(dir / "result.txt"), expected);
}

TEST(SplitSearch, UnreadableSymbolsAreToldAndSkippedAndNothingFoundIsTold) {
  TempDir dir;
  test::Build(dir.path(), test::Portfolio({test::Daily(1, "FLAT", 5, test::Fields16()),
                                           test::Daily(2, "NOFILE", 5, test::Fields16()),
                                           test::Symbol(3, "NOHL", test::Fields8(), HalvedAt(3, 1))}));
  std::filesystem::remove(dir / "F2.DAT");
  test::ToolView tv(dir.path());
  tv.ui.messages.clear();
  SplitSearch search;
  ASSERT_TRUE(search.Search(tv.view));
  EXPECT_TRUE(search.lines().empty());
  EXPECT_FALSE(search.canSave());
  EXPECT_EQ(tv.ui.messages,
            (std::vector<std::string>{"For symbol NOFILE\nSplitSearch cannot read the number of quotes.",
                                      "No candidate splits found"}));
  EXPECT_FALSE(search.SaveResults(FileSystem::Default(), tv.ui, dir / "no/such/dir.txt"));
  EXPECT_EQ(tv.ui.messages.back(), "The search results cannot be written to\n" + dir / "no/such/dir.txt");
}

// Every consecutive pair of each quote file, read whole, in grid order: what the search must
// find however it reads the files.
std::vector<std::string> EveryPairTested(const std::string& dir, const ViewState& view) {
  IndexFiles index;
  EXPECT_TRUE(ReadIndexFiles(FileSystem::Default(), dir, &index));
  std::vector<std::string> lines;
  for (const SymbolRow& row : view.m_symbolRows) {
    const auto entry = FindEntryByGridText(index, row.symbol);
    EXPECT_TRUE(entry && entry->record.recordLength() == 28) << row.symbol;
    if (!entry) continue;
    const Bytes file = test::ReadBytes(
        FindNoCase(FileSystem::Default(), dir, QuoteFileName(entry->record.fileNumber())));
    const std::size_t records = std::min<std::size_t>(file.size() / 28, file[2] | file[3] << 8);
    std::vector<SplitQuote> quotes;
    for (std::size_t r = 1; r < records; ++r) {
      const std::uint8_t* record = file.data() + 28 * r;
      quotes.push_back({DateFloatToDay(ReadMbf(record)), ReadMbf(record + 8), ReadMbf(record + 12),
                        ReadMbf(record + 16)});
    }
    for (std::size_t i = 1; i < quotes.size(); ++i) {
      SplitRatio ratio;
      if (IsSplitCandidate(quotes[i - 1], quotes[i], &ratio)) {
        lines.push_back(SplitCandidateLine(row.symbol, ratio, quotes[i].day));
      }
    }
  }
  return lines;
}

TEST(SplitSearch, RealPortfoliosGiveEveryCandidatePairOfTheirFiles) {
  TempDir dir;
  for (const auto& [fixture, count] : {std::pair{"asx-mining", 653u}, {"hsi-mini-futures", 0u}}) {
    const std::string portfolio = test::CopyFixture(fixture, dir);
    if (portfolio.empty()) GTEST_SKIP() << "no shared fixtures";
    test::ToolView tv(portfolio);
    SplitSearch search;
    ASSERT_TRUE(search.Search(tv.view));
    EXPECT_EQ(search.lines().size(), count);
    EXPECT_EQ(search.lines(), EveryPairTested(portfolio, tv.view)) << fixture;
  }
}

}  // namespace
}  // namespace barvane
