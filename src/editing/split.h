// Split: every quote before the split date has its prices multiplied by Old / New and its
// volume and open interest by New / Old.
#pragma once

#include <string>

#include "app/view_state.h"

namespace barvane {

inline constexpr int kSplitRatioLimit = 5;
inline constexpr const char* kSplitFailedText = "Split Edit Failed";

struct SplitTexts {
  std::string date;  // MM/DD/YY
  std::string newShares = "1";
  std::string oldShares = "1";
};

// The date of the current quote row and a ratio of 1 for 1.
SplitTexts ProposeSplit(const ViewState& state);
// The message that refuses OK, or empty: a text too long, a two-digit year the series cannot
// take (ShortYearRefusal), or "Invalid Data Entered".
std::string RefuseSplit(const ViewState& state, const SplitTexts& texts);
// After OK: scales the quotes before the date; on success records the "Split" settings and
// refills the grid keeping the current quote current.
bool ApplySplit(ViewState& state, const SplitTexts& texts);

}  // namespace barvane
