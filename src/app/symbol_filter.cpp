// The symbol filter and the go-to-date.
#include "app/symbol_filter.h"

#include <algorithm>
#include <cctype>


namespace barvane {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The digits of text[from, from + count) as a number; -1 when one is no digit.
int Digits(const std::string& text, std::size_t from, std::size_t count) {
  int n = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
    n = n * 10 + (text[i] - '0');
  }
  return n;
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

std::string GroupedCount(int n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return n < 0 ? "-" + digits : digits;
}

std::string FilteredSymbolPaneText(int position, int shown, int total) {
  if (position < 1) return GroupedCount(shown) + " of " + GroupedCount(total) + " shown";
  return "Symbol " + GroupedCount(position) + " of " + GroupedCount(shown) + " shown, " + GroupedCount(total) +
         " in all";
}

bool ReadGoToDate(const std::string& text, DayNumber* day) {
  int year = -1, month = -1, dayOfMonth = -1;
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    year = Digits(text, 0, 4);
    month = Digits(text, 5, 2);
    dayOfMonth = Digits(text, 8, 2);
  } else if ((text.size() == 8 || text.size() == 10) && text[2] == '/' && text[5] == '/') {
    month = Digits(text, 0, 2);
    dayOfMonth = Digits(text, 3, 2);
    year = Digits(text, 6, text.size() - 6);
    // Two digits: 61 to 99 are the 1900s, 00 to 60 the 2000s.
    if (text.size() == 8 && year >= 0) year += year <= 60 ? 2000 : 1900;
  }
  if (year < 1 || month < 1 || month > 12 || dayOfMonth < 1) return false;
  const DayNumber d = YmdToDay(year, month, dayOfMonth);
  if (d == kNoDate || DayToYmd(d).day != dayOfMonth) return false;  // 02/30 is no day
  *day = d;
  return true;
}

int QuoteRowOnOrBefore(const QuoteGrid& grid, DayNumber day) {
  const auto& rows = grid.rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].day <= day) return static_cast<int>(r);
  }
  return static_cast<int>(rows.size()) - 1;
}

}  // namespace barvane
