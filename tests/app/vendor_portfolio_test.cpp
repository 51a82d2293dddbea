// A real vendor portfolio: every symbol lists and loads with the facts and dates its files hold.
#include <gtest/gtest.h>

#include "app/quote_grid.h"
#include "app/symbol_list.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/mbf.h"
#include "data/series_facts.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"

namespace barvane {
namespace {

struct Vendor {
  const char* name;
  const char* master;
  std::size_t symbols;
  SymbolRow first, last;  // the grid's first and last rows, full names from XMASTER included
};

class VendorPortfolio : public testing::TestWithParam<Vendor> {};

TEST_P(VendorPortfolio, EverySymbolListsAndLoadsWithTheDatesItsFilesHold) {
  test::TempDir tmp;
  const std::string dir = test::CopyFixture(GetParam().name, tmp);
  if (dir.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  FileSystem& fs = FileSystem::Default();
  test::RecordingUi ui;
  SymbolListing listing;
  ASSERT_TRUE(ReadSymbolListing(fs, dir + GetParam().master, ui, &listing));
  ASSERT_EQ(listing.rows.size(), GetParam().symbols);
  EXPECT_EQ(listing.rows.front().symbol + "|" + listing.rows.front().name,
            GetParam().first.symbol + "|" + GetParam().first.name);
  EXPECT_EQ(listing.rows.back().symbol + "|" + listing.rows.back().name,
            GetParam().last.symbol + "|" + GetParam().last.name);
  EXPECT_FALSE(listing.needsRepair);
  EXPECT_TRUE(test::IndexFilesInStep(dir));

  for (const SymbolRow& row : listing.rows) {
    SCOPED_TRACE(row.symbol);
    SeriesFacts facts;
    ASSERT_EQ(GatherSeriesFacts(fs, dir, row.symbol, &facts), 0);
    EXPECT_EQ(std::to_string(facts.recordLength) + " " + std::to_string(facts.fieldCount) + " " + facts.dataFormat +
                  " " + facts.displayFormat[kOpenInterest], "28 7 D Daily Whole Num.");

    QuoteGrid grid;
    ASSERT_TRUE(FillQuoteGrid(fs, dir, row.symbol, ui, &grid));
    ASSERT_EQ(grid.quoteCount, facts.quotes);
    ASSERT_EQ(grid.rows.size(), static_cast<std::size_t>(facts.quotes));
    ASSERT_FALSE(grid.rows.empty());

    // The grid's dates are the quote file's own first and last records.
    const Bytes dat = test::ReadBytes(FindNoCase(fs, dir, QuoteFileName(facts.fileNumber)));
    const std::size_t last = static_cast<std::size_t>(facts.quotes);
    EXPECT_EQ(std::pair(grid.rows.back().day, grid.rows.front().day),
              std::pair(DateFloatToDay(ReadMbf(dat.data() + 28)), DateFloatToDay(ReadMbf(dat.data() + 28 * last))));
    EXPECT_EQ(grid.firstDateText + " " + grid.lastDateText,
              ScreenDate(DateFloatToDay(facts.firstDate)) + " " + ScreenDate(DateFloatToDay(facts.lastDate)));
    for (std::size_t r = 1; r < grid.rows.size(); ++r) ASSERT_LT(grid.rows[r].day, grid.rows[r - 1].day);
  }
  // No word of a 255-symbol limit where 255 are in MASTER and the rest in XMASTER.
  EXPECT_TRUE(ui.messages.empty() && ui.notices.empty());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, VendorPortfolio,
                         testing::Values(Vendor{"asx-mining", "MASTER", 215, {"AAJ", "Aruma Resources Ltd"},
                                                {"DUO", "Dourado Res.Ltd "}},
                                         Vendor{"hsi-mini-futures", "master", 266,
                                                {"HSM__2000V", "Hang Seng Mini 200010"},
                                                {"HSM__2023H", "Hang Seng Mini 202303"}}),
                         [](const auto& test) { return std::string(test.param.name).substr(0, 3); });

}  // namespace
}  // namespace barvane
