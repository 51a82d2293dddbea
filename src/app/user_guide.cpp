// Cutting the user's part out of the README.
#include "app/user_guide.h"

namespace barvane {
namespace {

// The offset just past the line that is exactly `marker` (a "\r" before its end allowed),
// searching from `from`; npos when there is none.
std::size_t PastMarkerLine(const std::string& text, const std::string& marker, std::size_t from,
                           std::size_t* lineStart) {
  for (std::size_t at = text.find(marker, from); at != std::string::npos;
       at = text.find(marker, at + 1)) {
    if (at != 0 && text[at - 1] != '\n') continue;
    std::size_t end = at + marker.size();
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] != '\n') continue;
    *lineStart = at;
    return end < text.size() ? end + 1 : end;
  }
  return std::string::npos;
}

}  // namespace

std::string UserGuideOf(const std::string& readme) {
  std::size_t beginLine = 0, endLine = 0;
  const std::size_t begin = PastMarkerLine(readme, kUserGuideBegin, 0, &beginLine);
  if (begin == std::string::npos) return readme;
  const std::size_t end = PastMarkerLine(readme, kUserGuideEnd, begin, &endLine);
  return readme.substr(begin, end == std::string::npos ? std::string::npos : endLine - begin);
}

}  // namespace barvane
