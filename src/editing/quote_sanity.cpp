// The sanity question of a bar.
#include "editing/quote_sanity.h"

#include <cmath>

#include "app/quote_grid.h"

namespace barvane {
namespace {

constexpr std::array<const char*, 4> kPriceNames = {"open", "high", "low", "close"};
constexpr int kOpenAt = 0, kHighAt = 1, kLowAt = 2, kCloseAt = 3;
constexpr float kFarFactor = 10.0f;

std::string Named(int p, float value) { return std::string("The ") + kPriceNames[static_cast<std::size_t>(p)] + " " + PriceText(value); }

// "The close is", "The open and close are", "The open, high and low are".
std::string Listed(const std::vector<const char*>& names) {
  std::string text = std::string("The ") + names.front();
  for (std::size_t i = 1; i < names.size(); ++i) text += (i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
  return text + (names.size() == 1 ? " is" : " are");
}

}  // namespace

std::string SanityQuestion(const BarPrices& bar, const std::vector<float>& neighbourCloses) {
  const auto& v = bar.price;
  bool anyTyped = false;
  for (bool t : bar.typed) anyTyped = anyTyped || t;
  if (!anyTyped) return {};
  std::string found;
  const auto add = [&found](const std::string& line) { found += line + "\n"; };
  const bool crossed = Held(v[kHighAt]) && Held(v[kLowAt]) && v[kHighAt] < v[kLowAt];
  if (crossed) add(Named(kHighAt, v[kHighAt]) + " lies below the low " + PriceText(v[kLowAt]) + ".");
  // Beside a high below the low, no open or close could lie between them: that says nothing more.
  for (int p : {kOpenAt, kCloseAt}) {
    const float x = v[static_cast<std::size_t>(p)];
    if (crossed || !Held(x)) continue;
    if (Held(v[kHighAt]) && x > v[kHighAt]) add(Named(p, x) + " lies above the high " + PriceText(v[kHighAt]) + ".");
    if (Held(v[kLowAt]) && x < v[kLowAt]) add(Named(p, x) + " lies below the low " + PriceText(v[kLowAt]) + ".");
  }
  std::vector<const char*> above, below;
  for (std::size_t p = 0; p < v.size(); ++p) {
    if (!bar.typed[p] || !Held(v[p])) continue;
    int compared = 0, far = 0, near = 0;
    for (float c : neighbourCloses) {
      if (!Held(c) || c == 0) continue;
      ++compared;
      far += std::fabs(v[p]) > kFarFactor * std::fabs(c) ? 1 : 0;
      near += std::fabs(v[p]) * kFarFactor < std::fabs(c) ? 1 : 0;
    }
    if (compared != 0 && far == compared) above.push_back(kPriceNames[p]);
    if (compared != 0 && near == compared) below.push_back(kPriceNames[p]);
  }
  if (!above.empty()) add(Listed(above) + " more than ten times the neighbouring closes.");
  if (!below.empty()) add(Listed(below) + " less than a tenth of the neighbouring closes.");
  return found.empty() ? found : found + "\n" + kStoreAnywayText;
}

}  // namespace barvane
