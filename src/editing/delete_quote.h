// Delete quote: one day removed from the quote file after a Yes to the confirmation.
#pragma once

#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kDeleteFailedText = "Delete Edit Failed";

// The date of the current quote row.
std::string ProposeDeleteDate(const ViewState& state);
// The question the dialog's OK asks.
std::string DeleteConfirmationText(const std::string& dateText);
// After a confirmed OK: removes the one quote that the text names (its date, and its time
// where the day holds several bars); on success records the "Delete" setting and refills the
// grid. A text that names no real day fails as a day without a quote does; a date alone of a
// day with several bars is refused. Nothing is written then.
bool ApplyDeleteQuote(ViewState& state, const std::string& dateText);

}  // namespace barvane
