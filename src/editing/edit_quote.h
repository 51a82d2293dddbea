// Edit quote: one day's six values, proposed from the quote grid row, stepped through with
// First, Last, Next and Previous, and written with a set-values rewrite.
#pragma once

#include <array>
#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr int kEditValueLimit = 10;
inline constexpr const char* kEditQuoteFailedText = "Single Date Edit Failed";

// Date, open, high, low, close, volume, open interest.
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

// The message that refuses OK, or empty: a value text longer than 10 characters, or a text
// that does not read as a number for a field the quote file stores ("N/A" and any other text
// stay acceptable for a field it does not store).
std::string RefuseEditQuote(ViewState& state, const EditQuoteTexts& texts);

// After OK: sets the six values of every quote of the day; on success records the "Edit"
// settings and refills the grid with the newest quote current.
bool ApplyEditQuote(ViewState& state, const EditQuoteTexts& texts);

}  // namespace barvane
