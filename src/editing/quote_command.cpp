// The end of a quote command.
#include "editing/quote_command.h"

#include <algorithm>

#include "data/portfolio_lock.h"
#include "data/typed_date.h"

namespace barvane {

bool FinishQuoteCommand(ViewState& state, const QuoteChange& change, const QuoteCommandEnd& end) {
  PortfolioLock lock(state.fs());
  if (!lock.AcquireForSymbol(state.m_portfolioDir, state.m_seriesSymbol, {})) {
    state.ui().ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }
  const Status status = RewriteQuotes(state.fs(), change, state.m_portfolioDir, state.m_seriesSymbol);
  if (status != kSuccess) {
    if (status == kDayNotInFile && change.op == QuoteOp::kDelete) state.ui().ShowMessage(kFindrecFailureText);
    if (status == kSeveralQuotes) state.ui().ShowMessage("Several quotes answer to that date and time.");
    state.ui().ShowMessage(end.failureText);
    if (end.refillOnFailure) state.FillQuotesGrid(0);
    return false;
  }
  for (const auto& [key, text] : end.settings) state.settings().WriteString(end.section, key, text);
  if (end.refillRow == kKeepPlace) {
    state.RefillQuotesKeepingPlace();
  } else {
    state.FillQuotesGrid(end.refillRow);
  }
  if (!end.doneText.empty()) state.ui().ShowDone(end.doneText);
  return true;
}

DayNumber DayOfText(const std::string& dateText) { return ReadDateText(dateText); }

std::string AddressOneQuote(const ViewState& state, const std::string& text, QuoteChange* change) {
  if (std::string refusal = ShortYearRefusal(text, state.m_quotes.style); !refusal.empty()) return refusal;
  QuoteMoment moment;
  if (!ReadMomentText(text, &moment)) return kNoQuoteAddress;
  change->fromDay = change->toDay = moment.day;
  change->time = moment.time;
  if (moment.time || !state.m_quotes.style.times) return {};
  const int count = state.QuoteRowsOfDay(moment.day);
  if (count < 2) return {};
  // The example is the day's first bar, the oldest of its rows.
  const auto& rows = state.m_quotes.rows;
  const auto first = std::find_if(rows.rbegin(), rows.rend(),
                                  [&](const QuoteGridRow& row) { return row.day == moment.day; });
  return text + " holds " + std::to_string(count) + " quotes: give the time as well, e.g. " + text + ' ' +
         TimeText(first->time);
}

}  // namespace barvane
