// New quote: a day (or in a series with times, a bar) the series lacks, typed in whole (its
// date, its time, and six values) and written in its place in date and time order, anywhere in
// the series.
#pragma once

#include <array>
#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kNewQuoteTitle = "New Quote";
inline constexpr const char* kNewQuoteFailedText = "New Quote Failed";
inline constexpr const char* kNewQuoteMomentText =
    "This series holds times of day: give the date and the bar's time, as MM/DD/YY HH:MM:SS.";

// Date (MM/DD/YY, with the bar's time HH:MM:SS after a blank in a series with times), open,
// high, low, close, volume, open interest.
using NewQuoteTexts = std::array<std::string, 7>;

// After the newest quote, its year in the series' digits: in a series with times the next bar
// of the newest day, one step of its last two bars on (else the weekday after, at the time the
// newest day's first bar has); otherwise the weekday after (today's bar, as a rule). The values
// are empty for the quantities the series holds and "N/A" for the others.
NewQuoteTexts ProposeNewQuote(const ViewState& state);

// The message that refuses the date (and time) of a new quote, or empty: a two-digit year the
// series cannot take (ShortYearRefusal); a text that is no date and time in a series with times
// (kNewQuoteMomentText), or no date alone in one without (kInvalidDataText); or a moment the
// series holds ("Date 11/15/13 09:35:00 already exists."). The window asks it before the
// values are typed.
std::string RefuseNewQuoteMoment(const ViewState& state, const std::string& text);

// The message that refuses OK, or empty: RefuseNewQuoteMoment's, a value text longer than 10
// characters, or one that does not read as a number for a quantity the series holds.
std::string RefuseNewQuote(const ViewState& state, const NewQuoteTexts& texts);

// The question to ask before the quote is stored (see SanityQuestion), or empty. Asked after
// RefuseNewQuote passed; the command line prints it and goes on.
std::string NewQuoteQuestion(const ViewState& state, const NewQuoteTexts& texts);

// After OK: writes the quote in its place; on success refills the grid with the new quote
// current and reports it. On failure the files are as they were.
bool ApplyNewQuote(ViewState& state, const NewQuoteTexts& texts);

}  // namespace barvane
