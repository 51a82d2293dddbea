// Edit quote: one day's six values, proposed from the quote grid row, stepped through with
// First, Last, Next and Previous, and written with a set-values rewrite. Only the values whose
// text the user changed are written: the grid shows four decimals, and a value the user did not
// touch must keep every digit (and every byte) the file holds.
#pragma once

#include <array>
#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr int kEditValueLimit = 10;
inline constexpr const char* kEditQuoteFailedText = "Single Date Edit Failed";

// Date (with the bar's time for a series with times), open, high, low, close, volume, open
// interest.
using EditQuoteTexts = std::array<std::string, 7>;

// The texts of quote grid row `row`.
EditQuoteTexts EditQuoteFields(const ViewState& state, int row);

struct EditNavigation {
  bool previous = false, next = false, first = false, last = false;
};
enum class EditStep { kFirst, kLast, kNext, kPrevious };

// Which buttons row `row` of `count` enables: Next and Last lead to newer quotes (row 0 is the
// newest), Previous and First to older ones.
EditNavigation NavigationOf(int row, int count);
int Navigate(int row, int count, EditStep step);

// In both calls below `shown` holds the texts the day was shown with (its grid row's): a value
// text equal to its shown text is unchanged, is never read, and is not written.

// Whether a value text differs from the one the day was shown with.
bool EditTextsChanged(const EditQuoteTexts& texts, const EditQuoteTexts& shown);
// The question before First, Last, Next or Previous leave a day whose values were changed:
// "Store the changes to 11/15/13 09:30:00 first?" (Yes stores them as OK would, No drops them,
// Cancel stays on the day).
std::string StoreChangesQuestion(const EditQuoteTexts& shown);

// The message that refuses OK, or empty: a changed value text longer than 10 characters, or a
// changed text that does not read as a number for a field the quote file stores ("N/A" and any
// other text stay acceptable for a field it does not store).
std::string RefuseEditQuote(ViewState& state, const EditQuoteTexts& texts,
                            const EditQuoteTexts& shown);

// The question to ask before the day is stored with `texts` (see SanityQuestion), or empty.
// Asked after RefuseEditQuote passed; the command line prints it and goes on.
std::string EditQuoteQuestion(const ViewState& state, const EditQuoteTexts& texts,
                              const EditQuoteTexts& shown);

// After OK: sets the changed values of the one quote that the date text names (its date, and
// its time where the day holds several bars), each unchanged one keeping its stored bytes; on
// success records the "Edit" settings, refills the grid and reports which values were set. A
// date that names no quote, or several, fails with nothing written.
bool ApplyEditQuote(ViewState& state, const EditQuoteTexts& texts, const EditQuoteTexts& shown);

}  // namespace barvane
