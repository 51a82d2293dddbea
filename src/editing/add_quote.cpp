// Add quote.
#include "editing/add_quote.h"

#include "editing/quote_command.h"

namespace barvane {
namespace {

bool IsWeekend(DayNumber day) { return Weekday(day) == 0 || Weekday(day) == 6; }

DayNumber DayOfRow(const ViewState& state, int row) {
  return state.m_quotes.rows[static_cast<std::size_t>(row)].day;
}

}  // namespace

std::optional<std::string> ProposeAddDate(const ViewState& state) {
  const int n = static_cast<int>(state.m_quotes.rows.size());
  const int r = state.m_selQuoteRow;
  if (r < 0 || r >= n) return std::nullopt;
  if (r + 1 == n) {
    if (r == 0) return std::nullopt;
    return state.QuoteDateText(r - 1);
  }
  if (r + 2 == n) return state.QuoteDateText(r);
  DayNumber d = DayOfRow(state, r);
  do {
    --d;
  } while (IsWeekend(d));
  return ScreenDate(d);
}

std::string RefuseAddQuote(const ViewState& state, const std::string& proposedDate) {
  if (state.QuoteRowOf(proposedDate) >= 0) return "Date " + proposedDate + " already exists.";
  // The copy is written in front of the current quote and dated the last weekday before it;
  // it keeps the file in order only when that is the proposed day, after the older quote,
  // and the current day has no other quote.
  const int r = state.m_selQuoteRow;
  const DayNumber day = DayOfRow(state, r);
  DayNumber before = day - 1;
  while (IsWeekend(before)) --before;
  const bool alone = (r == 0 || DayOfRow(state, r - 1) != day) && DayOfRow(state, r + 1) != day;
  if (ScreenDate(before) != proposedDate || DayOfRow(state, r + 1) >= before || !alone) {
    return "A quote for " + proposedDate + " cannot be added here without breaking the date order.";
  }
  return {};
}

bool ApplyAddQuote(ViewState& state, const std::string& proposedDate) {
  QuoteChange change;
  change.fromDay = change.toDay = DayOfRow(state, state.m_selQuoteRow);
  change.op = QuoteOp::kInsertCopy;
  return FinishQuoteCommand(state, change,
                            {kAddFailedText,
                             "Add",
                             {{"Date", proposedDate}},
                             state.m_selQuoteRow + 1,
                             true,
                             "Quote of " + proposedDate + " added to " + state.m_seriesSymbol});
}

}  // namespace barvane
