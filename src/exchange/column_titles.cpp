// Looking titles up in the built-in table.
#include "exchange/column_titles.h"

#include <map>

namespace barvane {
namespace {

// The lower-case letter of code point `c`, for the alphabets the table's titles use.
char32_t LowerLetter(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
    return c + 0x20;
  if (c == 0x401) return 0x451;  // Ё
  return c;
}

void AppendLetter(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

const std::map<std::string, TitledField, std::less<>>& TitleTable() {
  static const std::map<std::string, TitledField, std::less<>> table = [] {
    static const std::map<std::string_view, TitledField> kFields = {
        {"date", TitledField::kDate},         {"time", TitledField::kTime},
        {"open", TitledField::kOpen},         {"high", TitledField::kHigh},
        {"low", TitledField::kLow},           {"close", TitledField::kClose},
        {"volume", TitledField::kVolume},     {"openint", TitledField::kOpenInterest},
        {"adjclose", TitledField::kAdjustedClose}, {"ticker", TitledField::kTicker},
        {"name", TitledField::kName},         {"period", TitledField::kPeriod},
        {"shares", TitledField::kShares}, {"ticks", TitledField::kTicks}};
    std::map<std::string, TitledField, std::less<>> titles;
    const std::string_view text = ColumnTitleTable();
    for (std::size_t at = 0; at < text.size();) {
      std::size_t end = text.find('\n', at);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view line = text.substr(at, end - at);
      at = end + 1;
      const std::size_t gap = line.find(' ');
      if (line.empty() || line[0] == '#' || gap == std::string_view::npos) continue;
      const auto field = kFields.find(line.substr(0, gap));
      const std::size_t title = line.find_first_not_of(' ', gap);
      if (field != kFields.end() && title != std::string_view::npos)
        titles.emplace(TitleKey(line.substr(title)), field->second);
    }
    return titles;
  }();
  return table;
}

}  // namespace

std::string TitleKey(std::string_view title) {
  std::string key;
  for (std::size_t i = 0; i < title.size();) {
    const auto b = static_cast<unsigned char>(title[i]);
    const std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (n == 1) {
      if (std::string_view(" <>._-/%()#*\t").find(title[i]) == std::string_view::npos)
        key += static_cast<char>(LowerLetter(b));
    } else if (n == 2 && i + 1 < title.size()) {
      AppendLetter(LowerLetter(static_cast<char32_t>((b & 0x1F) << 6 | (title[i + 1] & 0x3F))), &key);
    } else {
      key += title.substr(i, n);
    }
    i += n;
  }
  return key;
}

TitledField FieldTitled(std::string_view title) {
  const auto found = TitleTable().find(TitleKey(title));
  return found == TitleTable().end() ? TitledField::kNone : found->second;
}

}  // namespace barvane
