// The symbol grid's columns: what each shows of a row, and the order a click on its header
// sorts the rows in. The portfolio list sorts the same way on its one column.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/symbol_list.h"

namespace barvane {

enum SymbolColumn { kSymbolListSymbol, kSymbolListName, kSymbolListFirst, kSymbolListLast, kSymbolListPeriodicity, kSymbolListQuotes, kSymbolListColumns };
inline constexpr std::array<const char*, kSymbolListColumns> kSymbolListHeadings = {
    "Symbol", "Name", "First", "Last", "Periodicity", "Quotes"};

// A list's order: the column clicked last, and whether it runs downwards (Z to A, newest first,
// most quotes first).
struct ListSort {
  int column = kSymbolListSymbol;
  bool descending = false;
};

// The order after a click on the header of `column`: the same column turns round, another
// starts ascending.
ListSort SortAfterClick(ListSort sort, int column);

// "Daily", "Weekly" ...; an intraday series by its bar length ("5 min") where the index files
// give it, else "Intraday"; an unknown letter as it stands ("" for one no text can show).
std::string PeriodicityName(char letter, int intradayMinutes);

// Whether some row's date needs four digits of year to name it (MM/DD/YY naming only 1961 to
// 2060), so that the grid shows every year in full.
bool SymbolDatesNeedFullYears(const std::vector<SymbolRow>& rows);

// The text of `row` in a column other than symbol and name (those are the portfolio's code-page
// bytes, shown as they stand): a date as MM/DD/YY, or MM/DD/YYYY with `fullYears`, "" for none;
// the quote count grouped ("1,024"), "" without a quote file.
std::string SymbolCellText(const SymbolRow& row, SymbolColumn column, bool fullYears);

// The indices of `rows` in the order of `sort`: texts as the list order has them, dates and
// counts by value with the rows that have none last, periodicities from the shortest bar to
// the longest. Rows that tie keep the order of their symbols.
std::vector<std::size_t> SymbolRowOrder(const std::vector<SymbolRow>& rows, ListSort sort);

}  // namespace barvane
