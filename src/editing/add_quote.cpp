// Add quote.
#include "editing/add_quote.h"

#include "editing/quote_command.h"

namespace barvane {
namespace {

bool IsWeekend(DayNumber day) { return Weekday(day) == 0 || Weekday(day) == 6; }

DayNumber DayOfRow(const ViewState& state, int row) {
  return state.m_quotes.rows[static_cast<std::size_t>(row)].day;
}

DayNumber WeekdayBefore(DayNumber day) {
  do {
    --day;
  } while (IsWeekend(day));
  return day;
}

// The oldest row of the run of rows that holds row `row`'s day.
int OldestRowOfDay(const ViewState& state, int row) {
  const int n = static_cast<int>(state.m_quotes.rows.size());
  while (row + 1 < n && DayOfRow(state, row + 1) == DayOfRow(state, row)) ++row;
  return row;
}

// The rows of the current day's bars: the newest and the oldest.
std::pair<int, int> RowsOfCurrentDay(const ViewState& state) {
  int newest = state.m_selQuoteRow;
  while (newest > 0 && DayOfRow(state, newest - 1) == DayOfRow(state, newest)) --newest;
  return {newest, OldestRowOfDay(state, state.m_selQuoteRow)};
}

// What the add copies in a series with times: "the bar of 11/15/13 09:30:00" or "the 3 bars of
// 11/15/13 from 09:30:00 to 09:40:00".
std::string CopiedBarsText(const ViewState& state) {
  const auto [newest, oldest] = RowsOfCurrentDay(state);
  const auto& rows = state.m_quotes.rows;
  const std::string first = TimeText(rows[static_cast<std::size_t>(oldest)].time);
  if (newest == oldest) return "the bar of " + state.QuoteDayText(oldest) + " " + first;
  return "the " + std::to_string(oldest - newest + 1) + " bars of " + state.QuoteDayText(oldest) + " from " +
         first + " to " + TimeText(rows[static_cast<std::size_t>(newest)].time);
}

}  // namespace

std::optional<std::string> ProposeAddDate(const ViewState& state) {
  const int n = static_cast<int>(state.m_quotes.rows.size());
  const int r = state.m_selQuoteRow;
  if (r < 0 || r >= n) return std::nullopt;
  if (r + 1 == n) {
    if (r == 0) return std::nullopt;
    return state.QuoteDayText(r - 1);
  }
  if (r + 2 == n) return state.QuoteDayText(r);
  return DateText(WeekdayBefore(DayOfRow(state, r)), state.m_quotes.style.fourDigitYears);
}

std::string AddQuoteExplanation(const ViewState& state) {
  if (!state.m_quotes.style.times) return kAddExplanationText;
  const auto [newest, oldest] = RowsOfCurrentDay(state);
  if (newest == oldest) {
    return "The new quote will be a copy of " + CopiedBarsText(state) + ", at the same time. You may then edit it to suit.";
  }
  return "The new quotes will be copies of " + CopiedBarsText(state) + ", at the same times. You may then edit them to suit.";
}

std::string RefuseAddQuote(const ViewState& state, const std::string& proposedDate) {
  if (state.QuoteRowOf(proposedDate) >= 0) {
    if (!state.m_quotes.style.times) return "Date " + proposedDate + " already exists.";
    return "Date " + proposedDate + " already exists: Add quote would copy " + CopiedBarsText(state) + " to it.";
  }
  // The copies are written in front of the current day's first bar and dated the last weekday
  // before it; they keep the file in order only when that is the proposed day, after the older
  // quote, and the day's bars lie together.
  const int r = state.m_selQuoteRow;
  const DayNumber day = DayOfRow(state, r);
  const DayNumber before = WeekdayBefore(day);
  const int oldest = OldestRowOfDay(state, r);
  const int n = static_cast<int>(state.m_quotes.rows.size());
  const int newest = RowsOfCurrentDay(state).first;
  const bool together = state.QuoteRowsOfDay(day) == oldest - newest + 1;
  if (DateText(before, state.m_quotes.style.fourDigitYears) != proposedDate ||
      (oldest + 1 < n && DayOfRow(state, oldest + 1) >= before) || !together) {
    return "A quote for " + proposedDate + " cannot be added here without breaking the date order.";
  }
  return {};
}

bool ApplyAddQuote(ViewState& state, const std::string& proposedDate) {
  QuoteChange change;
  const DayNumber day = DayOfRow(state, state.m_selQuoteRow);
  change.fromDay = change.toDay = day;
  change.op = QuoteOp::kInsertCopy;
  const int bars = state.QuoteRowsOfDay(day);
  const std::string done =
      bars == 1 ? "Quote of " + proposedDate + " added to " + state.m_seriesSymbol
                : std::to_string(bars) + " quotes of " + proposedDate + " added to " + state.m_seriesSymbol +
                      ", copies of the bars of " + state.QuoteDayText(state.m_selQuoteRow);
  // The newest of the copies becomes current: the one of the day's last bar.
  return FinishQuoteCommand(state, change,
                            {kAddFailedText, "Add", {{"Date", proposedDate}}, OldestRowOfDay(state, state.m_selQuoteRow) + 1,
                             true, done});
}

}  // namespace barvane
