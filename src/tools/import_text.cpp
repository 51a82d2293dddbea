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
int ColumnNamed(std::string_view name) {
  const std::string upper = AsciiUpper(std::string(name));
  if (upper == "DATE") return kDateColumn;
  static const std::map<std::string, int> kNames = {{"OPEN", 0},  {"HIGH", 1},   {"LOW", 2},
                                                    {"CLOSE", 3}, {"VOL", 4},    {"VOLUME", 4},
                                                    {"OI", 5},    {"OPENINT", 5}};
  const auto found = kNames.find(upper);
  return found == kNames.end() ? -2 : found->second;
}

// The fields of a line: split at every tab, every comma, or runs of blanks, whichever the
// first line uses; blanks around a tab- or comma-separated field are not part of it.
void SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>* fields) {
  fields->clear();
  if (delimiter == ' ') {
    std::size_t at = 0;
    while (true) {
      at = line.find_first_not_of(' ', at);
      if (at == std::string_view::npos) break;
      const std::size_t end = std::min(line.find(' ', at), line.size());
      fields->push_back(line.substr(at, end - at));
      at = end;
    }
    return;
  }
  std::size_t at = 0;
  while (true) {
    const std::size_t end = line.find(delimiter, at);
    std::string_view field = line.substr(at, end == std::string_view::npos ? line.npos : end - at);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    fields->push_back(field);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
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

// A date in one of the four forms, checked against the calendar; kNoDate when it does not read.
DayNumber ReadDate(std::string_view text) {
  int year = 0, month = 0, day = 0;
  if (text.size() == 8 && AllDigits(text)) {
    year = Number(text.substr(0, 4));
    month = Number(text.substr(4, 2));
    day = Number(text.substr(6, 2));
  } else if (text.size() == 10 && text[4] == '-' && text[7] == '-' &&
             AllDigits(text.substr(0, 4)) && AllDigits(text.substr(5, 2)) &&
             AllDigits(text.substr(8, 2))) {
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
    return kNoDate;
  }
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
      (month == 2 && day == 29 && year % 4 != 0)) {
    return kNoDate;
  }
  return YmdToDay(year - 1900, month, day);
}

// A value: a decimal number read to the nearest single-precision float, or "N/A" (-1).
bool ReadValue(std::string_view text, float* value, bool* missing) {
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
  const char delimiter = first.find('\t') != std::string_view::npos  ? '\t'
                         : first.find(',') != std::string_view::npos ? ','
                                                                     : ' ';
  // Where each field of a line goes: the date, a value column, or (title rows only) nowhere.
  std::vector<int> layout;
  std::size_t firstQuote = 0;
  std::vector<std::string_view> titles;
  SplitFields(first, delimiter, &titles);
  if (!titles.empty() && ColumnNamed(titles.front()) != -2) {
    std::array<bool, kImportColumnCount + 1> seen{};
    for (const std::string_view title : titles) {
      const int column = ColumnNamed(title);
      if (column == -2) {
        *error = LineText(lines.front().first) + "\"" + std::string(title) + "\" names no column.";
        return false;
      }
      if (seen[static_cast<std::size_t>(column + 1)]) {
        *error = LineText(lines.front().first) + "the column \"" + std::string(title) +
                 "\" is named twice.";
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
      case 7:
        layout = {kDateColumn, 0, 1, 2, 3, 4, 5};
        break;
      case 6:
        layout = {kDateColumn, 0, 1, 2, 3, 4};
        break;
      case 5:
        layout = {kDateColumn, 0, 1, 2, 3};
        break;
      case 2:
        layout = {kDateColumn, 3};
        break;
      default:
        *error = LineText(lines.front().first) + std::to_string(titles.size()) +
                 " columns, and no title row naming them.";
        return false;
    }
  }

  std::vector<std::string_view> fields;
  std::vector<int> lineOfQuote;
  quotes->quotes.reserve(lines.size());
  lineOfQuote.reserve(lines.size());
  const auto refuse = [&](int number, const std::string& what) {
    *error = LineText(number) + what;
    *quotes = ImportedText{};
    return false;
  };
  for (std::size_t l = firstQuote; l < lines.size(); ++l) {
    const auto [number, line] = lines[l];
    SplitFields(line, delimiter, &fields);
    if (fields.size() != layout.size()) {
      return refuse(number, std::to_string(fields.size()) + " columns where " +
                                std::to_string(layout.size()) + " were expected.");
    }
    ImportedQuote quote;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (layout[f] == kDateColumn) {
        quote.day = ReadDate(fields[f]);
        if (quote.day == kNoDate) return refuse(number, "\"" + std::string(fields[f]) + "\" is no date.");
        continue;
      }
      bool missing = false;
      const auto column = static_cast<std::size_t>(layout[f]);
      if (!ReadValue(fields[f], &quote.values[column], &missing)) {
        return refuse(number, "\"" + std::string(fields[f]) + "\" is no number.");
      }
      quote.present[column] = !missing;
      if (!missing) quotes->columns[column] = true;
    }
    quotes->quotes.push_back(quote);
    lineOfQuote.push_back(number);
  }
  // Oldest first; of two quotes of one day the later line is refused, the first such line.
  std::vector<std::size_t> order(quotes->quotes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return quotes->quotes[a].day != quotes->quotes[b].day
               ? quotes->quotes[a].day < quotes->quotes[b].day
               : a < b;
  });
  std::size_t repeat = order.size(), firstOfDay = 0;
  const auto dayAt = [&](std::size_t i) { return quotes->quotes[order[i]].day; };
  for (std::size_t i = 1; i < order.size(); ++i) {
    const bool secondOfItsDay = dayAt(i) == dayAt(i - 1) && (i == 1 || dayAt(i - 2) != dayAt(i));
    if (secondOfItsDay && order[i] < repeat) {
      repeat = order[i];
      firstOfDay = order[i - 1];
    }
  }
  if (repeat != order.size()) {
    return refuse(lineOfQuote[repeat],
                  "a second quote of " + ScreenDate(quotes->quotes[repeat].day) +
                      " (the first is on line " + std::to_string(lineOfQuote[firstOfDay]) + ").");
  }
  std::vector<ImportedQuote> sorted;
  sorted.reserve(order.size());
  for (std::size_t i : order) sorted.push_back(quotes->quotes[i]);
  quotes->quotes = std::move(sorted);
  if (quotes->quotes.empty()) {
    *error = "The text holds no quotes.";
    return false;
  }
  quotes->lines = lines.back().first;
  return true;
}

}  // namespace barvane
