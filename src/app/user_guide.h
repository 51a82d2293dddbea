// The user's part of the README, which the window's help shows.
#pragma once

#include <string>

namespace barvane {

inline constexpr const char* kUserGuideBegin = "<!-- help -->";
inline constexpr const char* kUserGuideEnd = "<!-- /help -->";

// The text from the line after the first kUserGuideBegin line up to the next kUserGuideEnd
// line (or the end); the whole of `readme` when it has no kUserGuideBegin line.
std::string UserGuideOf(const std::string& readme);

}  // namespace barvane
