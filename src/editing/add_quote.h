// Add quote: the missing weekday before the current quote, added as a copy of that quote and
// then edited. In a series of several bars a day the new day gets a copy of every bar of the
// current day, at the same times.
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

// The dialog's words on how the new quote is made: kAddExplanationText, or in a series with
// times which bars are copied ("The new quotes will be copies of the 3 bars of 11/15/13 from
// 09:30:00 to 09:40:00, at the same times. ...").
std::string AddQuoteExplanation(const ViewState& state);

// The message that refuses the add before the dialog opens, or empty: "Date %s already
// exists." (in a series with times followed by which bars the add copies), or, where the copies could not keep the file in date order (weekend-dated, or the
// current day's bars not lying together), a message saying so.
std::string RefuseAddQuote(const ViewState& state, const std::string& proposedDate);

// After OK: inserts the copy (the copies of the day's bars); on success records the "Add"
// setting and refills the grid with the new quote (the newest copy) current, which the caller
// then edits. On failure refills with row 0.
bool ApplyAddQuote(ViewState& state, const std::string& proposedDate);

}  // namespace barvane
