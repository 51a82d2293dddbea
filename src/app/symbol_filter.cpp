// The symbol filter and the go-to-date.
#include "app/symbol_filter.h"

#include <algorithm>

#include "data/printed.h"

namespace barvane {
std::vector<int> ShownSymbolRows(const std::vector<SymbolRow>& rows, const std::string& text, const CodePage& page) {
  std::vector<int> shown;
  std::string bytes;
  if (!page.FromUtf8(text, &bytes)) return shown;
  const std::string wanted = page.CaseFolded(bytes);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (wanted.empty() || page.CaseFolded(rows[r].symbol).find(wanted) != std::string::npos ||
        page.CaseFolded(rows[r].name).find(wanted) != std::string::npos) {
      shown.push_back(static_cast<int>(r));
    }
  }
  return shown;
}

std::string FilteredSymbolPaneText(int position, int shown, int total) {
  if (position < 1) return GroupedNumber(shown) + " of " + GroupedNumber(total) + " shown";
  return "Symbol " + GroupedNumber(position) + " of " + GroupedNumber(shown) + " shown, " + GroupedNumber(total) +
         " in all";
}

int QuoteRowOnOrBefore(const QuoteGrid& grid, DayNumber day) {
  const auto& rows = grid.rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].day <= day) return static_cast<int>(r);
  }
  return static_cast<int>(rows.size()) - 1;
}

}  // namespace barvane
