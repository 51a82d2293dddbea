// The clipboard text of grid rows: cells as the grid shows them, tabs between, a line end after
// each row, rows in the order asked, and rows outside the grid passed over.
#include "app/grid_copy.h"

#include <gtest/gtest.h>

#include <cmath>

namespace barvane {
namespace {

TEST(GridCopy, RowsComeWholeTabSeparatedWithLineEndsAndStrayRowsAreSkipped) {
  QuoteGrid grid;
  grid.rows.push_back({YmdToDay(2024, 3, 4), {10.5f, 11.25f, 9.125f, 12.0f, 1500.0f, std::nanf("")}});
  grid.rows.push_back({YmdToDay(2024, 3, 1), {1.23456f, 2.0f, 1.0f, 1.5f, 0.0f, 7.0f}});
  grid.rows.push_back({YmdToDay(2024, 2, 29), {-1.0f, -0.5f, -2.0f, -1.25f, -1.0f, -7.0f}});
  EXPECT_EQ(CopyQuoteRows(grid, {0, 1}),
            "03/04/24\t10.5000\t11.2500\t9.1250\t12.0000\t1500\tN/A\n"
            "03/01/24\t1.23456\t2.0000\t1.0000\t1.5000\t0\t7\n");
  EXPECT_EQ(CopyQuoteRows(grid, {1, -1, 3}), "03/01/24\t1.23456\t2.0000\t1.0000\t1.5000\t0\t7\n");
  // A negative value is a number like any: "N/A" is only for a quantity not held.
  EXPECT_EQ(CopyQuoteRows(grid, {2}), "02/29/24\t-1.0000\t-0.5000\t-2.0000\t-1.2500\t-1\t-7\n");
  EXPECT_EQ(CopyQuoteRows(grid, {}), "");

  const std::vector<SymbolRow> symbols = {{"ADY", "ADMIRALTY RES   "}, {"BHP", "BHP BILLITON"}};
  EXPECT_EQ(CopySymbolRows(symbols, {1, 0, 5}), "BHP\tBHP BILLITON\nADY\tADMIRALTY RES   \n");
}

}  // namespace
}  // namespace barvane
