// Delete quote.
#include "editing/delete_quote.h"

#include "editing/quote_command.h"

namespace barvane {

std::string ProposeDeleteDate(const ViewState& state) { return state.QuoteDateText(state.m_selQuoteRow); }

std::string DeleteConfirmationText(const std::string& dateText) {
  return "You are about to delete the data for date\n" + dateText + "\nAre you sure?";
}

bool ApplyDeleteQuote(ViewState& state, const std::string& dateText) {
  QuoteChange change;
  change.fromDay = change.toDay = DayOfText(dateText);
  change.op = QuoteOp::kDelete;
  return FinishQuoteCommand(state, change, {kDeleteFailedText, "Delete", {{"Date", dateText}}, 0});
}

}  // namespace barvane
