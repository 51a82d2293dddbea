// The symbol filter and the go-to-date.
#include "app/symbol_filter.h"

#include <algorithm>
#include <cctype>

#include "data/printed.h"

namespace barvane {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::vector<int> ShownSymbolRows(const std::vector<SymbolRow>& rows, const std::string& text) {
  const std::string wanted = Lower(text);
  std::vector<int> shown;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (wanted.empty() || Lower(rows[r].symbol).find(wanted) != std::string::npos ||
        Lower(rows[r].name).find(wanted) != std::string::npos) {
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
