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

struct QuoteCommandEnd {
  const char* failureText;  // shown when the rewrite fails
  const char* section;      // of the settings recorded on success
  SettingTexts settings;
  int refillRow;              // made current by the refill after a success
  bool refillOnFailure = false;  // refill with row 0 after a failure too
  std::string doneText = {};     // reported after a success
};

// Rewrites the current series with `change`. On success records the settings, refills the grid
// with `end.refillRow` current, reports `end.doneText` and returns true; on failure shows the
// rewrite's own message (if any) and `end.failureText`, and returns false.
bool FinishQuoteCommand(ViewState& state, const QuoteChange& change, const QuoteCommandEnd& end);

// The day of every editable date text is MM/DD/YY; ParseDate of it.
DayNumber DayOfText(const std::string& dateText);

}  // namespace barvane
