// INI parsing for the first-run import.
#include "app/ini_import.h"

namespace barvane {
namespace {

constexpr std::size_t kLongestPiece = 519;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<IniPair> ParseIniText(std::string_view text) {
  std::vector<IniPair> pairs;
  std::string section;
  bool inSection = false;
  while (!text.empty()) {
    // A line buffer of 520 bytes: a longer line is read as several.
    std::size_t length = std::min(text.find('\n'), kLongestPiece - 1) + 1;
    length = std::min(length, text.size());
    const std::string_view line = Trim(text.substr(0, length));
    text.remove_prefix(length);

    const std::size_t open = line.find('['), close = line.find(']');
    if (open != std::string_view::npos && close != std::string_view::npos &&
        close - open + 1 == line.size()) {
      section = std::string(Trim(line.substr(1, line.size() - 2)));
      inSection = true;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !inSection) continue;
    pairs.push_back({section, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))});
  }
  return pairs;
}

}  // namespace barvane
