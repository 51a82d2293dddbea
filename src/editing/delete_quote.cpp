// Delete quote.
#include "editing/delete_quote.h"

#include "editing/field_check.h"
#include "editing/quote_command.h"

namespace barvane {

std::string ProposeDeleteDate(const ViewState& state) { return state.QuoteDateText(state.m_selQuoteRow); }

std::string DeleteConfirmationText(const std::string& dateText) {
  return "You are about to delete the data for date\n" + dateText + "\nAre you sure?";
}

bool ApplyDeleteQuote(ViewState& state, const std::string& dateText) {
  QuoteChange change;
  if (const std::string refusal = AddressOneQuote(state, dateText, &change); !refusal.empty()) {
    // A day that does not exist (06/31/98) has no quote to delete; it never names another day.
    state.ui().ShowMessage(refusal == kNoQuoteAddress ? kFindrecFailureText : refusal);
    state.ui().ShowMessage(kDeleteFailedText);
    return false;
  }
  change.op = QuoteOp::kDelete;
  return FinishQuoteCommand(state, change,
                            {kDeleteFailedText,
                             "Delete",
                             {{"Date", dateText}},
                             kKeepPlace,
                             false,
                             "Quote of " + dateText + " deleted from " + state.m_seriesSymbol});
}

}  // namespace barvane
