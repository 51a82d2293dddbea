// The symbol filter's rows and pane text, and the day and row a go-to-date lands on.
#include "app/symbol_filter.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

TEST(SymbolFilter, SymbolOrNameContainsTheTextInAnyLetterCaseAndThePaneCountsTheRowsShown) {
  const std::vector<SymbolRow> rows = {{"ADY", "ADMIRALTY RES   "}, {"BHP", "BHP Billiton"}, {"GE", "GENERAL ELEC"},
                                       {"XBHP", "other"}};
  const std::pair<std::string, std::vector<int>> cases[] = {
      {"", {0, 1, 2, 3}}, {"bhp", {1, 3}}, {"BILL", {1}}, {"res ", {0}},
      {"e", {0, 2, 3}}, {"zz", {}},          {"ADMIRALTY RES    ", {}}};
  for (const auto& [text, shown] : cases) EXPECT_EQ(ShownSymbolRows(rows, text, CodePage()), shown) << text;

  // The pane counts the shown rows with grouped digits.
  EXPECT_EQ(FilteredSymbolPaneText(3, 41, 2846), "Symbol 3 of 41 shown, 2,846 in all");
  EXPECT_EQ(FilteredSymbolPaneText(0, 41, 2846), "41 of 2,846 shown");
  EXPECT_EQ(FilteredSymbolPaneText(1, 1, 1), "Symbol 1 of 1 shown, 1 in all");
  EXPECT_EQ(FilteredSymbolPaneText(0, 0, 65535), "0 of 65,535 shown");
}

// Names as the files hold them, in the bytes of their page; the filter is typed in UTF-8.
TEST(SymbolFilter, IgnoresLetterCaseInThePortfoliosOwnAlphabet) {
  const struct {
    const char* page;
    std::vector<SymbolRow> rows;
    const char* typed;
    std::vector<int> shown;
  } cases[] = {
      {"windows-1251", {{"AKM", "\xC0\xCA\xCC\xC5 MINING"}, {"B", "\xE0\xEA\xEC\xE5"}, {"C", "OTHER"}},
       "Акме", {0, 1}},
      {"windows-1251", {{"AKM", "\xC0\xCA\xCC\xC5 MINING"}, {"B", "\xE0\xEA\xEC\xE5"}}, "АКМЕ m", {0}},
      {"windows-1251", {{"YO", "\xA8\xCB\xCA\xC0"}, {"E", "\xC5\xCB\xCA\xC0"}}, "ёлка", {0}},
      {"koi8-r", {{"AKM", "\xE1\xEB\xED\xE5"}}, "акме", {0}},
      {"windows-1253", {{"OTE", "\xCF\xD4\xC5"}, {"X", "\xEF\xF4\xE5"}}, "οτε", {0, 1}},
      {"windows-1250", {{"LOD", "\xA3\xD3" "D\xAF"}}, "łódż", {0}},
      {"windows-1252", {{"CAF", "CAF\xC9 ROYAL"}, {"CAFE", "CAFE"}}, "café", {0}},
      {"windows-1252", {{"AKM", "AKME"}}, "Акме", {}},  // a letter the page has not
      {"windows-1252", {{"AKM", "AKME"}}, "", {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.page) + " " + c.typed);
    const std::optional<CodePage> page = CodePage::Named(c.page);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(ShownSymbolRows(c.rows, c.typed, *page), c.shown);
  }
}

TEST(GoToDate, ReadsThreeLayoutsOfRealDaysOnlyAndLandsOnTheDayOrTheQuoteBefore) {
  const std::pair<std::string, DayNumber> good[] = {
      {"06/15/98", YmdToDay(1998, 6, 15)},   {"06/15/1998", YmdToDay(1998, 6, 15)},
      {"1998-06-15", YmdToDay(1998, 6, 15)}, {"01/02/60", YmdToDay(2060, 1, 2)},
      {"12/31/61", YmdToDay(1961, 12, 31)},  {"02/29/2000", YmdToDay(2000, 2, 29)},
      {"1955-03-01", YmdToDay(1955, 3, 1)}};
  for (const auto& [text, want] : good) {
    EXPECT_EQ(ReadDateText(text), want) << text;
  }
  for (const char* text : {"", "6/15/98", "13/01/98", "02/30/98", "00/10/98", "06/00/98", "1998-6-15", "06-15-98",
                           "ab/cd/ef", "06/15/98 ", "02/29/1999"}) {
    EXPECT_EQ(ReadDateText(text), kNoDate) << text;
  }
  // It lands on the day or the newest quote before it.
  QuoteGrid grid;
  EXPECT_EQ(QuoteRowOnOrBefore(grid, YmdToDay(1998, 6, 15)), -1);
  for (int d : {19, 17, 15}) grid.rows.push_back({YmdToDay(1998, 6, d), {}});  // newest first
  const std::pair<int, int> cases[] = {{20, 0}, {19, 0}, {18, 1}, {17, 1}, {16, 2}, {15, 2}, {14, 2}};
  for (const auto& [day, row] : cases) EXPECT_EQ(QuoteRowOnOrBefore(grid, YmdToDay(1998, 6, day)), row) << day;
}

}  // namespace
}  // namespace barvane
