// A real vendor portfolio: every symbol lists and loads with the facts and dates its files hold.
#include <gtest/gtest.h>

#include "app/quote_grid.h"
#include "app/symbol_list.h"
#include "data/file_ops.h"
#include "data/mbf.h"
#include "data/series_facts.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"

namespace barvane {
namespace {

TEST(VendorPortfolio, EverySymbolListsAndLoadsWithTheDatesItsFilesHold) {
  test::TempDir tmp;
  const std::string dir = test::CopyFixture("asx-mining", tmp);
  if (dir.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  FileSystem& fs = FileSystem::Default();
  test::RecordingUi ui;
  SymbolListing listing;
  ASSERT_TRUE(ReadSymbolListing(fs, dir + "MASTER", ui, &listing));
  ASSERT_EQ(listing.rows.size(), 215u);
  EXPECT_FALSE(listing.needsRepair);

  for (const SymbolRow& row : listing.rows) {
    SCOPED_TRACE(row.symbol);
    SeriesFacts facts;
    ASSERT_EQ(GatherSeriesFacts(fs, dir, row.symbol, &facts), 0);
    EXPECT_EQ(facts.recordLength, 28);
    EXPECT_EQ(facts.fieldCount, 7);
    EXPECT_EQ(facts.dataFormat, "D Daily");
    EXPECT_EQ(facts.displayFormat[kOpenInterest], "Whole Num.");

    QuoteGrid grid;
    ASSERT_TRUE(FillQuoteGrid(fs, dir, row.symbol, ui, &grid));
    ASSERT_EQ(grid.quoteCount, facts.quotes);
    ASSERT_EQ(grid.rows.size(), static_cast<std::size_t>(facts.quotes));
    ASSERT_FALSE(grid.rows.empty());

    // The grid's dates are the quote file's own first and last records.
    const Bytes dat = test::ReadBytes(dir + "F" + std::to_string(facts.fileNumber) + ".DAT");
    const std::size_t last = static_cast<std::size_t>(facts.quotes);
    EXPECT_EQ(grid.rows.back().day, DateFloatToDay(ReadMbf(dat.data() + 28)));
    EXPECT_EQ(grid.rows.front().day, DateFloatToDay(ReadMbf(dat.data() + 28 * last)));
    EXPECT_EQ(grid.firstDateText, ScreenDate(DateFloatToDay(facts.firstDate)));
    EXPECT_EQ(grid.lastDateText, ScreenDate(DateFloatToDay(facts.lastDate)));
    for (std::size_t r = 1; r < grid.rows.size(); ++r) ASSERT_LT(grid.rows[r].day, grid.rows[r - 1].day);
  }
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace barvane
