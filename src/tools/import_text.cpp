// Reading quote text for Import.
#include "tools/import_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "app/list_order.h"

namespace barvane {
namespace {

constexpr int kDateColumn = -1;

// The column a title names: -1 the date, 0..5 open to open interest, -2 none.
int ColumnNamed(const std::string& name) {
  const std::string upper = AsciiUpper(name);
  if (upper == "DATE") return kDateColumn;
  static const std::map<std::string, int> kNames = {
      {"OPEN", 0}, {"HIGH", 1}, {"LOW", 2},     {"CLOSE", 3},
      {"VOL", 4},  {"VOLUME", 4}, {"OI", 5}, {"OPENINT", 5}};
  const auto found = kNames.find(upper);
  return found == kNames.end() ? -2 : found->second;
}

// The fields of a line: split at every tab, every comma, or runs of blanks, whichever the
// first line uses.
std::vector<std::string> Fields(std::string_view line, char delimiter) {
  std::vector<std::string> fields;
  if (delimiter == ' ') {
    std::size_t at = 0;
    while (true) {
      at = line.find_first_not_of(' ', at);
      if (at == std::string_view::npos) break;
      const std::size_t end = std::min(line.find(' ', at), line.size());
      fields.emplace_back(line.substr(at, end - at));
      at = end;
    }
    return fields;
  }
  std::size_t at = 0;
  while (true) {
    const std::size_t end = line.find(delimiter, at);
    std::string_view field = line.substr(at, end == std::string_view::npos ? line.npos : end - at);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    fields.emplace_back(field);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return fields;
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
  int n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

// A date in one of the four forms, checked against the calendar; 0 when it does not read.
DayNumber ReadDate(std::string_view text) {
  int year = 0, month = 0, day = 0;
  if (text.size() == 8 && AllDigits(text)) {
    year = Number(text.substr(0, 4));
    month = Number(text.substr(4, 2));
    day = Number(text.substr(6, 2));
  } else if (text.size() == 10 && text[4] == '-' && text[7] == '-' && AllDigits(text.substr(0, 4)) &&
             AllDigits(text.substr(5, 2)) && AllDigits(text.substr(8, 2))) {
    year = Number(text.substr(0, 4));
    month = Number(text.substr(5, 2));
    day = Number(text.substr(8, 2));
  } else if ((text.size() == 8 || text.size() == 10) && text[2] == '/' && text[5] == '/' &&
             AllDigits(text.substr(0, 2)) && AllDigits(text.substr(3, 2)) &&
             AllDigits(text.substr(6))) {
    month = Number(text.substr(0, 2));
    day = Number(text.substr(3, 2));
    year = Number(text.substr(6));
    // Two-digit years read as the entry fields read them: below 60 in the 2000s.
    if (text.size() == 8) year += year < 60 ? 2000 : 1900;
  } else {
    return 0;
  }
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
      (month == 2 && day == 29 && year % 4 != 0)) {
    return 0;
  }
  return YmdToDay(year - 1900, month, day);
}

// A value: a decimal number read to the nearest single-precision float, or "N/A" (-1).
bool ReadValue(const std::string& text, float* value, bool* missing) {
  *missing = text == "N/A" || text == "n/a";
  if (*missing) {
    *value = 0;
    return true;
  }
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, *value, std::chars_format::general);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

std::string LineText(int line) { return "Line " + std::to_string(line) + ": "; }

}  // namespace

bool ReadImportText(std::string_view text, ImportedText* quotes, std::string* error) {
  *quotes = ImportedText{};
  std::vector<std::pair<int, std::string_view>> lines;  // number, text without its line end
  for (std::size_t at = 0, number = 1; at < text.size(); ++number) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") != std::string_view::npos) {
      lines.emplace_back(static_cast<int>(number), line);
    }
    at = end + 1;
  }
  if (lines.empty()) {
    *error = "The text holds no quotes.";
    return false;
  }
  const std::string_view first = lines.front().second;
  const char delimiter = first.find('\t') != std::string_view::npos ? '\t'
                         : first.find(',') != std::string_view::npos ? ','
                                                                    : ' ';
  // Where each field of a line goes: the date, a value column, or (title rows only) nowhere.
  std::vector<int> layout;
  std::size_t firstQuote = 0;
  const std::vector<std::string> titles = Fields(first, delimiter);
  if (!titles.empty() && ColumnNamed(titles.front()) != -2) {
    std::array<bool, kImportColumnCount + 1> seen{};
    for (const std::string& title : titles) {
      const int column = ColumnNamed(title);
      if (column == -2) {
        *error = LineText(lines.front().first) + "\"" + title + "\" names no column.";
        return false;
      }
      if (seen[static_cast<std::size_t>(column + 1)]) {
        *error = LineText(lines.front().first) + "the column \"" + title + "\" is named twice.";
        return false;
      }
      seen[static_cast<std::size_t>(column + 1)] = true;
      layout.push_back(column);
    }
    if (!seen[0]) {
      *error = LineText(lines.front().first) + "no column is named Date.";
      return false;
    }
    firstQuote = 1;
  } else {
    switch (titles.size()) {
      case 7: layout = {kDateColumn, 0, 1, 2, 3, 4, 5}; break;
      case 6: layout = {kDateColumn, 0, 1, 2, 3, 4}; break;
      case 5: layout = {kDateColumn, 0, 1, 2, 3}; break;
      case 2: layout = {kDateColumn, 3}; break;
      default:
        *error = LineText(lines.front().first) + std::to_string(titles.size()) +
                 " columns, and no title row naming them.";
        return false;
    }
  }

  std::map<DayNumber, int> lineOfDay;
  for (std::size_t l = firstQuote; l < lines.size(); ++l) {
    const auto [number, line] = lines[l];
    const std::vector<std::string> fields = Fields(line, delimiter);
    if (fields.size() != layout.size()) {
      *error = LineText(number) + std::to_string(fields.size()) + " columns where " +
               std::to_string(layout.size()) + " were expected.";
      *quotes = ImportedText{};
      return false;
    }
    ImportedQuote quote;
    std::string dateText;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (layout[f] == kDateColumn) {
        dateText = fields[f];
        quote.day = ReadDate(fields[f]);
        if (quote.day == 0) {
          *error = LineText(number) + "\"" + fields[f] + "\" is no date.";
          *quotes = ImportedText{};
          return false;
        }
        continue;
      }
      bool missing = false;
      const auto column = static_cast<std::size_t>(layout[f]);
      if (!ReadValue(fields[f], &quote.values[column], &missing)) {
        *error = LineText(number) + "\"" + fields[f] + "\" is no number.";
        *quotes = ImportedText{};
        return false;
      }
      quote.present[column] = !missing;
      if (!missing) quotes->columns[column] = true;
    }
    const auto [known, added] = lineOfDay.emplace(quote.day, number);
    if (!added) {
      *error = LineText(number) + "a second quote of " + dateText + " (the first is on line " +
               std::to_string(known->second) + ").";
      *quotes = ImportedText{};
      return false;
    }
    quotes->quotes.push_back(quote);
  }
  if (quotes->quotes.empty()) {
    *error = "The text holds no quotes.";
    return false;
  }
  std::sort(quotes->quotes.begin(), quotes->quotes.end(),
            [](const ImportedQuote& a, const ImportedQuote& b) { return a.day < b.day; });
  quotes->lines = lines.back().first;
  return true;
}

}  // namespace barvane
