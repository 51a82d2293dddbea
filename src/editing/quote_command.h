// The common end of the five quote commands: the rewrite, the command's failure message, the
// settings a success records (in their order), and the refill of the quote grid.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/view_state.h"
#include "data/rewrite.h"

namespace barvane {

using SettingTexts = std::vector<std::pair<const char*, std::string>>;

// The refill after a success keeps the quote that was current (or its neighbour) current.
inline constexpr int kKeepPlace = -1;

struct QuoteCommandEnd {
  const char* failureText;  // shown when the rewrite fails
  const char* section;      // of the settings recorded on success
  SettingTexts settings;
  int refillRow;              // made current by the refill after a success, or kKeepPlace
  bool refillOnFailure = false;  // refill with row 0 after a failure too
  std::string doneText = {};     // reported after a success
};

// Rewrites the current series with `change`. On success records the settings, refills the grid
// with `end.refillRow` current, reports `end.doneText` and returns true; on failure shows the
// rewrite's own message (if any) and `end.failureText`, and returns false.
bool FinishQuoteCommand(ViewState& state, const QuoteChange& change, const QuoteCommandEnd& end);

// The day of a date text in any form the date fields take; kNoDate when it names none.
DayNumber DayOfText(const std::string& dateText);

// Reads `text` as the address of one quote of the current series: a date, with the bar's time
// where a series with times holds several bars that day. On success sets the change's fromDay, toDay and time and
// returns the empty text; otherwise returns why not: kNoQuoteAddress for a text that names no
// day, ShortYearRefusal's text for a two-digit year the series cannot take, or "11/15/13 holds
// 2 quotes: give the time as well, e.g. 11/15/13 09:05:00".
std::string AddressOneQuote(const ViewState& state, const std::string& text, QuoteChange* change);
inline constexpr const char* kNoQuoteAddress = "no day";

}  // namespace barvane
