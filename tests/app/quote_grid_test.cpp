// The quote grid read newest first in windows, and its texts.
#include "app/quote_grid.h"

#include <gtest/gtest.h>

#include "support/portfolio_builder.h"
#include "support/recording_ui.h"

namespace barvane {
namespace {

using test::Build;
using test::RecordingUi;
using test::Symbol;
using test::TempDir;
using test::WeekdayQuotes;

const DayNumber kMonday = YmdToDay(1998, 6, 15);

QuoteGrid Fill(const std::string& dir, const std::string& symbol, RecordingUi& ui, bool* ok = nullptr) {
  QuoteGrid grid;
  const bool filled = FillQuoteGrid(FileSystem::Default(), dir, symbol, ui, &grid);
  if (ok) *ok = filled;
  return grid;
}

// The grid of `symbol`, alone in a portfolio, read without a message.
QuoteGrid GridOf(const SymbolDescription& symbol) {
  TempDir dir;
  Build(dir.path(), test::Portfolio(symbol));
  RecordingUi ui;
  const QuoteGrid grid = Fill(dir.path(), symbol.symbol, ui);
  EXPECT_TRUE(ui.messages.empty());
  return grid;
}

TEST(QuoteGrid, WindowBoundariesKeepEveryQuoteNewestFirst) {
  for (int count : {1, 399, 400, 401, 800, 801}) {
    const QuoteGrid grid = GridOf(Symbol(1, "ACME", test::Fields28(), WeekdayQuotes(kMonday, count)));
    ASSERT_EQ(grid.rows.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(grid.quoteCount, count);
    const auto quotes = WeekdayQuotes(kMonday, count);
    for (int r = 0; r < count; ++r) ASSERT_EQ(grid.rows[static_cast<std::size_t>(r)].day, quotes[static_cast<std::size_t>(count - 1 - r)].day) << count << " row " << r;
    EXPECT_EQ(grid.firstDateText, "06/15/98");
    EXPECT_EQ(grid.lastDateText, ScreenDate(quotes.back().day));
  }
}

// "N/A" only for a quantity the series does not hold; a negative value shows as the number it is.
TEST(QuoteGrid, TextsOfHeldMissingAndNegativeQuantitiesAndOfBarTimes) {
  const struct {
    std::vector<FieldDescription> fields;
    QuoteValues quote;
    std::vector<std::string> texts;
    std::array<bool, 6> held;
  } cases[] = {
      {test::Fields20Volume(), {kMonday, 0, 10, 10.75f, 9.75f, 10.25f, 0, 0},
       {"06/15/98", "N/A", "10.7500", "9.7500", "10.2500", "0", "N/A"}, {false, true, true, true, true, false}},
      {test::Fields28(), {kMonday, 0, -1.0f, -0.5f, -12.25f, -0.00004f, -1.0f, -3.0f},
       {"06/15/98", "-1.0000", "-0.5000", "-12.2500", "-0.00004", "-1", "-3"}, {true, true, true, true, true, true}},
  };
  for (const auto& c : cases) {
    const QuoteGrid grid = GridOf(Symbol(1, "ACME", c.fields, {c.quote}));
    ASSERT_EQ(grid.rows.size(), 1u);
    EXPECT_EQ(QuoteRowTexts(grid.rows[0], grid.style), c.texts);
    EXPECT_EQ(grid.held, c.held);
  }
  EXPECT_EQ(PriceText(0.00006f), "0.00006");
  EXPECT_EQ(CountText(1234567.0f), "1234567");

  // Bars of a series with times show their time after the date.
  std::vector<QuoteValues> bars = WeekdayQuotes(kMonday, 3);
  for (std::size_t i = 0; i < bars.size(); ++i) {
    bars[i].day = kMonday;
    bars[i].time = HmsToSeconds(9, 5 + 5 * static_cast<int>(i), 0);
  }
  auto symbol = Symbol(1, "BARS", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), bars);
  symbol.periodicity = 'I';
  const QuoteGrid grid = GridOf(symbol);
  ASSERT_EQ(grid.rows.size(), 3u);
  EXPECT_TRUE(grid.style.times);
  EXPECT_EQ(QuoteColumns(grid.style).size(), 8u);
  EXPECT_EQ(QuoteRowTexts(grid.rows[0], grid.style),
            (std::vector<std::string>{"06/15/98", "09:15:00", "10.3750", "11.0000", "10.0000", "10.5000", "1002", "N/A"}));
  EXPECT_EQ(QuoteMomentText(grid.rows[2], grid.style), "06/15/98 09:05:00");
}

// Any one quote outside 1961..2060 gives the whole series four-digit years; nothing else does.
TEST(QuoteGrid, YearsShowFourDigitsOnlyInASeriesReachingBeyondTheTwoDigitCentury) {
  struct Case {
    DayNumber odd;  // one quote's day, amid quotes of 1998
    bool fourDigits;
    const char* oddText;
  };
  const Case cases[] = {
      {kFirstShortYearDay, false, "01/01/61"},     {kLastShortYearDay, false, "12/31/60"},
      {kFirstShortYearDay - 1, true, "12/31/1960"}, {kLastShortYearDay + 1, true, "01/01/2061"},
      {YmdToDay(1928, 10, 1), true, "10/01/1928"},  {kFirstFileDay, true, "01/01/1900"},
      {kLastFileDay, true, "12/31/2155"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.oddText);
    auto quotes = WeekdayQuotes(kMonday, 3);
    QuoteValues odd = quotes[1];
    odd.day = c.odd;
    quotes.insert(c.odd < kMonday ? quotes.begin() : quotes.end(), odd);
    const QuoteGrid grid = GridOf(Symbol(1, "LONG", test::Fields28(), quotes));
    ASSERT_EQ(grid.rows.size(), 4u);
    EXPECT_EQ(grid.style.fourDigitYears, c.fourDigits);
    EXPECT_FALSE(grid.style.times);
    const std::size_t oddRow = c.odd < kMonday ? 3 : 0;
    EXPECT_EQ(QuoteRowTexts(grid.rows[oddRow], grid.style)[0], c.oddText);
    EXPECT_EQ(QuoteRowTexts(grid.rows[oddRow == 0 ? 3 : 0], grid.style)[0],
              c.fourDigits ? (oddRow == 0 ? "06/15/1998" : "06/17/1998") : (oddRow == 0 ? "06/15/98" : "06/17/98"));
    EXPECT_EQ(c.odd < kMonday ? grid.firstDateText : grid.lastDateText, c.oddText);
  }
}

// A header promising more quotes than the file holds shows those held; an empty series is
// no failure, an unknown symbol is.
TEST(QuoteGrid, ShortFilesEmptySeriesAndUnknownSymbols) {
  TempDir dir;
  Build(dir.path(), test::Portfolio({Symbol(1, "SHRT", test::Fields28(), WeekdayQuotes(kMonday, 450)),
                                     Symbol(2, "NONE", test::Fields28(), {})}));
  Bytes dat = test::ReadBytes(dir / "F1.DAT");
  dat[2] = 0xE8;  // R = 1000
  dat[3] = 0x03;
  test::WriteBytes(dir / "F1.DAT", dat);
  RecordingUi ui;
  bool ok = false;
  QuoteGrid grid = Fill(dir.path(), "SHRT", ui, &ok);
  ASSERT_EQ(grid.rows.size(), 450u);
  EXPECT_EQ(grid.rows[0].day, WeekdayQuotes(kMonday, 450).back().day);
  EXPECT_EQ(grid.lastDateText, ScreenDate(grid.rows[0].day));

  grid = Fill(dir.path(), "NONE", ui, &ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(grid.rows.empty());
  EXPECT_EQ(grid.firstDateText, "00/00/00");
  EXPECT_EQ(grid.lastDateText, "00/00/00");
  EXPECT_TRUE(ui.messages.empty());

  grid = Fill(dir.path(), "MISSING", ui, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ui.messages, std::vector<std::string>{kQuoteGridErrorText});
}

}  // namespace
}  // namespace barvane
