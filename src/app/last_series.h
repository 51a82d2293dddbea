// The portfolio and symbol the window showed when it closed, stored in the settings and shown
// again at the next start.
#pragma once

#include "app/view_state.h"

namespace barvane {

inline constexpr const char* kLastSeriesSection = "Last";

// Stores the current portfolio list entry as "Portfolio" and the current symbol row's symbol
// as "Symbol" in section "Last"; stores nothing while no portfolio is current.
void RememberSeries(ViewState& state);

// After the start-up scan: the stored portfolio, when the portfolio list holds it, becomes the
// current one, and then the stored symbol, when its grid holds it, the current symbol row with
// its quotes loaded. What is no longer there is passed over without a word.
void RestoreSeries(ViewState& state);

}  // namespace barvane
