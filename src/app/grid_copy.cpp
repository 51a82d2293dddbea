// Grid rows as tab-separated text.
#include "app/grid_copy.h"

namespace barvane {
namespace {

template <typename Cells>
void AppendRow(const Cells& cells, std::string* out) {
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (c != 0) *out += '\t';
    *out += cells[c];
  }
  *out += '\n';
}

bool Inside(int row, std::size_t size) { return row >= 0 && static_cast<std::size_t>(row) < size; }

}  // namespace

std::string CopyQuoteRows(const QuoteGrid& grid, const std::vector<int>& rows) {
  std::string out;
  for (int row : rows) {
    if (Inside(row, grid.rows.size()))
      AppendRow(QuoteRowTexts(grid.rows[static_cast<std::size_t>(row)], grid.style), &out);
  }
  return out;
}

std::string CopySymbolRows(const std::vector<SymbolRow>& symbols, const std::vector<int>& rows) {
  std::string out;
  for (int row : rows) {
    if (!Inside(row, symbols.size())) continue;
    const SymbolRow& s = symbols[static_cast<std::size_t>(row)];
    AppendRow(std::vector<std::string>{s.symbol, s.name}, &out);
  }
  return out;
}

}  // namespace barvane
