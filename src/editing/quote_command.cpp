// The end of a quote command.
#include "editing/quote_command.h"

#include "data/portfolio_lock.h"

namespace barvane {

bool FinishQuoteCommand(ViewState& state, const QuoteChange& change, const QuoteCommandEnd& end) {
  PortfolioLock lock(state.fs());
  if (!lock.AcquireForSymbol(state.m_portfolioDir, state.m_seriesSymbol, {})) {
    state.ui().ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }
  const Status status = RewriteQuotes(state.fs(), change, state.m_portfolioDir, state.m_seriesSymbol);
  if (status != kSuccess) {
    if (status == kDayNotInFile) state.ui().ShowMessage(kFindrecFailureText);
    state.ui().ShowMessage(end.failureText);
    if (end.refillOnFailure) state.FillQuotesGrid(0);
    return false;
  }
  for (const auto& [key, text] : end.settings) state.settings().WriteString(end.section, key, text);
  state.FillQuotesGrid(end.refillRow);
  if (!end.doneText.empty()) state.ui().ShowDone(end.doneText);
  return true;
}

DayNumber DayOfText(const std::string& dateText) { return ParseDate(dateText, kScreenDateLayout); }

}  // namespace barvane
