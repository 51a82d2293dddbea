// Add quote: the missing weekday before the current quote, added as a copy of that quote and
// then edited.
#pragma once

#include <optional>
#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kAddFailedText = "Add Quote Failed";
inline constexpr const char* kAddExplanationText =
    "The new quote will be added using the same data as the following day. You may then edit it to suit.";

inline constexpr const char* kAddToSingleQuoteText =
    "A series of a single quote has no following day to copy: no quote can be added.";

// The proposed new date: the last weekday before the current quote (for the two oldest rows a
// date the grid holds already). None for a series of one quote, which takes no add.
std::optional<std::string> ProposeAddDate(const ViewState& state);

// The message that refuses the add before the dialog opens, or empty: "Date %s already
// exists.", or, where a copy could not keep the file in date order (weekend-dated or
// several quotes on the current day), a message saying so.
std::string RefuseAddQuote(const ViewState& state, const std::string& proposedDate);

// After OK: inserts the copy; on success records the "Add" setting and refills the grid with
// the new quote current (the caller then edits it). On failure refills with row 0.
bool ApplyAddQuote(ViewState& state, const std::string& proposedDate);

}  // namespace barvane
