// Symbol grid cell texts and sort orders.
#include "app/symbol_columns.h"

#include <algorithm>
#include <optional>

#include "app/list_order.h"
#include "data/printed.h"

namespace barvane {
namespace {

// A periodicity's place among the others: intraday bars by their length, then the days,
// weeks ... years. None for a letter the program does not know.
std::optional<long long> PeriodLength(const SymbolRow& row) {
  constexpr long long kMinutesPerDay = 24 * 60;
  switch (row.periodicity) {
    case 'I': return row.intradayMinutes;
    case 'D': return kMinutesPerDay;
    case 'W': return 7 * kMinutesPerDay;
    case 'M': return 31 * kMinutesPerDay;
    case 'Q': return 92 * kMinutesPerDay;
    case 'Y': return 366 * kMinutesPerDay;
    default: return std::nullopt;
  }
}

std::optional<long long> SortValue(const SymbolRow& row, int column) {
  switch (column) {
    case kSymbolListFirst: return row.firstDay == kNoDate ? std::nullopt : std::optional<long long>(row.firstDay);
    case kSymbolListLast: return row.lastDay == kNoDate ? std::nullopt : std::optional<long long>(row.lastDay);
    case kSymbolListPeriodicity: return PeriodLength(row);
    case kSymbolListQuotes: return row.quoteCount < 0 ? std::nullopt : std::optional<long long>(row.quoteCount);
    default: return std::nullopt;
  }
}

}  // namespace

ListSort SortAfterClick(ListSort sort, int column) {
  if (column == sort.column) return {column, !sort.descending};
  return {column, false};
}

std::string PeriodicityName(char letter, int intradayMinutes) {
  switch (letter) {
    case 'D': return "Daily";
    case 'W': return "Weekly";
    case 'M': return "Monthly";
    case 'Q': return "Quarterly";
    case 'Y': return "Yearly";
    case 'I': return intradayMinutes > 0 ? std::to_string(intradayMinutes) + " min" : "Intraday";
    default: return letter > ' ' && letter < 0x7F ? std::string(1, letter) : std::string();
  }
}

bool SymbolDatesNeedFullYears(const std::vector<SymbolRow>& rows) {
  return std::any_of(rows.begin(), rows.end(), [](const SymbolRow& row) {
    return !ShowsTwoDigitYear(row.firstDay) || !ShowsTwoDigitYear(row.lastDay);
  });
}

std::string SymbolCellText(const SymbolRow& row, SymbolColumn column, bool fullYears) {
  switch (column) {
    case kSymbolListFirst: return row.firstDay == kNoDate ? "" : DateText(row.firstDay, fullYears);
    case kSymbolListLast: return row.lastDay == kNoDate ? "" : DateText(row.lastDay, fullYears);
    case kSymbolListPeriodicity: return row.subPortfolio ? "" : PeriodicityName(row.periodicity, row.intradayMinutes);
    case kSymbolListQuotes: return row.quoteCount < 0 ? "" : GroupedNumber(row.quoteCount);
    default: return {};
  }
}

std::vector<std::size_t> SymbolRowOrder(const std::vector<SymbolRow>& rows, ListSort sort) {
  std::vector<std::size_t> order(rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto row = [&rows](std::size_t i) -> const SymbolRow& { return rows[i]; };
  std::stable_sort(order.begin(), order.end(),
                   [&row](std::size_t a, std::size_t b) { return ListOrderLess(row(a).symbol, row(b).symbol); });
  if (sort.column == kSymbolListSymbol || sort.column == kSymbolListName) {
    const bool byName = sort.column == kSymbolListName;
    std::stable_sort(order.begin(), order.end(), [&row, &sort, byName](std::size_t a, std::size_t b) {
      const std::string& x = byName ? row(a).name : row(a).symbol;
      const std::string& y = byName ? row(b).name : row(b).symbol;
      return sort.descending ? ListOrderLess(y, x) : ListOrderLess(x, y);
    });
    return order;
  }
  std::stable_sort(order.begin(), order.end(), [&row, &sort](std::size_t a, std::size_t b) {
    const std::optional<long long> x = SortValue(row(a), sort.column), y = SortValue(row(b), sort.column);
    if (!x || !y) return x.has_value() && !y.has_value();  // the rows without a value last
    return sort.descending ? *y < *x : *x < *y;
  });
  return order;
}

}  // namespace barvane
