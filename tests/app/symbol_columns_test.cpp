// The symbol grid's columns from the index files of a portfolio with MASTER, EMASTER and
// XMASTER, and the orders a click on each header gives.
#include "app/symbol_columns.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/list_order.h"
#include "data/file_names.h"
#include "support/counting_fs.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"

namespace barvane {
namespace {

using test::Fields28;
using test::Symbol;
using test::WeekdayQuotes;

struct Columns : testing::Test {
  void SetUp() override {
    SymbolDescription day = Symbol(1, "DAY", Fields28(), WeekdayQuotes(YmdToDay(2024, 1, 1), 1200));
    SymbolDescription gone = Symbol(2, "GONE", Fields28(), WeekdayQuotes(YmdToDay(2000, 1, 3), 2));
    gone.periodicity = 'M';
    SymbolDescription old = Symbol(3, "OLD", Fields28(), WeekdayQuotes(YmdToDay(1958, 3, 3), 3));
    old.periodicity = 'W';
    SymbolDescription tick = Symbol(300, "TICK", Fields28(), WeekdayQuotes(YmdToDay(2023, 6, 1), 10));
    tick.periodicity = 'I';
    tick.intradayMinutes = 5;
    test::Build(dir.path(), test::Extended(test::Portfolio({day, gone, old, tick})));
    std::filesystem::remove(dir / QuoteFileName(2));
    // A piece of a record at the end counts for no quote.
    Bytes dayFile = test::ReadBytes(dir / QuoteFileName(1));
    dayFile.resize(dayFile.size() + 27, 0);
    test::WriteBytes(dir / QuoteFileName(1), dayFile);
    test::RecordingUi ui;
    ASSERT_TRUE(ReadSymbolListing(fs, dir / "MASTER", ui, &listing));
  }

  std::vector<std::string> Symbols(ListSort sort) const {
    std::vector<std::string> symbols;
    for (std::size_t r : SymbolRowOrder(listing.rows, sort)) symbols.push_back(listing.rows[r].symbol);
    return symbols;
  }

  test::TempDir dir;
  test::CountingFs fs;
  SymbolListing listing;
};

TEST_F(Columns, ComeFromTheIndexFilesWithoutOpeningAQuoteFileAndSortBothWaysWithGapsLast) {
  EXPECT_EQ(fs.opened, 3);  // MASTER, EMASTER and XMASTER, and no quote file
  ASSERT_TRUE(SymbolDatesNeedFullYears(listing.rows));  // 1958 is no MM/DD/YY date
  std::vector<std::string> rows;
  for (const SymbolRow& row : listing.rows) {
    std::string text = row.symbol;
    for (SymbolColumn c : {kSymbolListFirst, kSymbolListLast, kSymbolListPeriodicity, kSymbolListQuotes}) text += "|" + SymbolCellText(row, c, true);
    rows.push_back(text);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"DAY|01/01/2024|08/04/2028|Daily|1,200",
                                            "GONE|01/03/2000|01/04/2000|Monthly|",
                                            "OLD|03/03/1958|03/05/1958|Weekly|3",
                                            "TICK|06/01/2023|06/14/2023|5 min|10"}));
  EXPECT_EQ(SymbolCellText(listing.rows[1], kSymbolListFirst, false), "01/03/00");
  EXPECT_EQ(PeriodicityName('I', 0), "Intraday");
  EXPECT_EQ(PeriodicityName('\x01', 0), "");

  // Every column sorts both ways, rows lacking a value last.
  using Order = std::vector<std::string>;
  const struct {
    ListSort sort;
    Order symbols;
  } cases[] = {
      {{kSymbolListSymbol, false}, {"DAY", "GONE", "OLD", "TICK"}},
      {{kSymbolListSymbol, true}, {"TICK", "OLD", "GONE", "DAY"}},
      {{kSymbolListName, true}, {"TICK", "OLD", "GONE", "DAY"}},
      {{kSymbolListFirst, false}, {"OLD", "GONE", "TICK", "DAY"}},
      {{kSymbolListLast, true}, {"DAY", "TICK", "GONE", "OLD"}},
      {{kSymbolListPeriodicity, false}, {"TICK", "DAY", "OLD", "GONE"}},
      {{kSymbolListPeriodicity, true}, {"GONE", "OLD", "DAY", "TICK"}},
      {{kSymbolListQuotes, false}, {"OLD", "TICK", "DAY", "GONE"}},
      {{kSymbolListQuotes, true}, {"DAY", "TICK", "OLD", "GONE"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Symbols(c.sort), c.symbols) << c.sort.column << c.sort.descending;
  EXPECT_EQ(SortAfterClick({kSymbolListFirst, false}, kSymbolListFirst).descending, true);
  EXPECT_EQ(SortAfterClick({kSymbolListFirst, true}, kSymbolListQuotes).descending, false);
}

}  // namespace
}  // namespace barvane
