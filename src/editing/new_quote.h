// New quote: a day the series lacks, typed in whole (its date and six values) and written in its
// place in date order, anywhere in the series.
#pragma once

#include <array>
#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kNewQuoteTitle = "New Quote";
inline constexpr const char* kNewQuoteFailedText = "New Quote Failed";
inline constexpr const char* kNewQuoteTimedText =
    "This series holds times of day: New quote adds days to daily series only.";

// Date (MM/DD/YY), open, high, low, close, volume, open interest.
using NewQuoteTexts = std::array<std::string, 7>;

// The weekday after the newest quote (today's bar, as a rule), its year in the series' digits,
// with the values empty for the
// quantities the series holds and "N/A" for the others.
NewQuoteTexts ProposeNewQuote(const ViewState& state);

// The message that refuses OK, or empty: a series with times, a two-digit year the series
// cannot take (ShortYearRefusal), a date that is no real day, a day
// the series has ("Date %s already exists."), a value text longer than 10 characters, or one
// that does not read as a number for a quantity the series holds.
std::string RefuseNewQuote(const ViewState& state, const NewQuoteTexts& texts);

// The question to ask before the quote is stored (see SanityQuestion), or empty. Asked after
// RefuseNewQuote passed; the command line prints it and goes on.
std::string NewQuoteQuestion(const ViewState& state, const NewQuoteTexts& texts);

// After OK: writes the quote in its place; on success refills the grid with the new quote
// current and reports it. On failure the files are as they were.
bool ApplyNewQuote(ViewState& state, const NewQuoteTexts& texts);

}  // namespace barvane
