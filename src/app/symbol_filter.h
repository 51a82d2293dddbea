// The symbol filter box and the go-to-date of the main window: which symbol grid rows a text
// leaves shown, how the status pane counts them, and which quote row a typed date lands on.
#pragma once

#include <string>
#include <vector>

#include "app/quote_grid.h"
#include "app/symbol_list.h"
#include "data/code_page.h"

namespace barvane {

// The rows, in grid order, whose symbol or name (bytes of `page`) contains the typed UTF-8
// `text`, letter case ignored in the page's alphabet; every row for an empty text, none for a
// text with a character the page has not.
std::vector<int> ShownSymbolRows(const std::vector<SymbolRow>& rows, const std::string& text, const CodePage& page);

// The symbol pane under a filter: "Symbol 3 of 41 shown, 2,846 in all" for the current row at
// `position` (1-based) of `shown`; without a current row among them "41 of 2,846 shown".
std::string FilteredSymbolPaneText(int position, int shown, int total);

// The row of the newest quote on or before `day`; the oldest row when every quote is later;
// -1 for an empty grid.
int QuoteRowOnOrBefore(const QuoteGrid& grid, DayNumber day);

}  // namespace barvane
