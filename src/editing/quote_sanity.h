// The sanity of a bar about to be stored: prices that contradict each other or lie far from the
// neighbouring closes are likely typing slips, so the user is asked before they are written.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace barvane {

inline constexpr const char* kStoreAnywayText = "Store it all the same?";

// The prices of a bar as they would be stored: open, high, low, close, NaN for a price the
// series does not hold; `typed` marks those the user typed.
struct BarPrices {
  std::array<float, 4> price{};
  std::array<bool, 4> typed{};
};

// The question to ask before storing `bar`, or empty when nothing looks wrong: an open or close
// outside the high and the low, or a high below the low (only when a price was typed), or a typed
// price more than ten times or less than a tenth of every neighbouring close (the closes of the
// quotes before and after it; NaN or zero ones are passed over). Prices compare by size, so that
// negative back-adjusted prices are judged as positive ones are.
std::string SanityQuestion(const BarPrices& bar, const std::vector<float>& neighbourCloses);

}  // namespace barvane
