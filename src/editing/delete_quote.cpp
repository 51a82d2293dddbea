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
  DayNumber day = 0;
  if (!ReadDateField(dateText, &day)) {
    // Read leniently, a day that does not exist (06/31/98) names another one (07/01/98), whose
    // quote would go instead: such a text has no quote to delete.
    state.ui().ShowMessage(kFindrecFailureText);
    state.ui().ShowMessage(kDeleteFailedText);
    return false;
  }
  QuoteChange change;
  change.fromDay = change.toDay = day;
  change.op = QuoteOp::kDelete;
  return FinishQuoteCommand(state, change,
                            {kDeleteFailedText,
                             "Delete",
                             {{"Date", dateText}},
                             0,
                             false,
                             "Quote of " + dateText + " deleted from " + state.m_seriesSymbol});
}

}  // namespace barvane
