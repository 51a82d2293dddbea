// What Ctrl+C puts on the clipboard from a grid: whole rows as the grid shows them, cells
// separated by tabs and each row ended by a line end, so that a spreadsheet takes them apart.
#pragma once

#include <string>
#include <vector>

#include "app/quote_grid.h"
#include "app/symbol_list.h"

namespace barvane {

// The rows of `grid` numbered in `rows`, in that order; numbers outside the grid are skipped.
std::string CopyQuoteRows(const QuoteGrid& grid, const std::vector<int>& rows);
std::string CopySymbolRows(const std::vector<SymbolRow>& symbols, const std::vector<int>& rows);

}  // namespace barvane
