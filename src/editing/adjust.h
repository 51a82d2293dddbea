// Adjust: the quotes of a date range scaled by a price, a volume and an open-interest
// multiplier.
#pragma once

#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr int kAdjustFieldLimit = 8;  // of a multiplier
inline constexpr const char* kAdjustFailedText = "Adjust Edit Failed";

struct AdjustTexts {
  std::string from;  // MM/DD/YY
  std::string to;
  std::string price = "1";
  std::string volume = "1";
  std::string openInterest = "1";
};

// The whole series with multipliers of 1.
AdjustTexts ProposeAdjust(const ViewState& state);
// The message that refuses OK, or empty: a text too long, a two-digit year the series cannot
// take (ShortYearRefusal), or "Invalid Data Entered". From may lie after To.
std::string RefuseAdjust(const ViewState& state, const AdjustTexts& texts);
// After OK: scales the range; on success records the "Adjust" settings and refills the grid
// keeping the current quote current.
bool ApplyAdjust(ViewState& state, const AdjustTexts& texts);

}  // namespace barvane
