// The entry fields' key filters.
#include "editing/entry_keys.h"

#include <algorithm>
#include <span>

#include "data/typed_date.h"

namespace barvane {
namespace {

struct MaskStep {
  FieldSelection before;
  int position;
  FieldSelection after;
};

// Without the blanks and line ends around it, as a text copied from a grid cell or a line comes.
std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

constexpr MaskStep kSteps[] = {
    {{0, 0}, 0, {1, 2}}, {{0, 1}, 0, {1, 2}}, {{0, 2}, 0, {1, 2}}, {{0, 8}, 0, {1, 2}},
    {{1, 2}, 1, {3, 5}}, {{3, 5}, 3, {4, 5}}, {{4, 4}, 3, {4, 5}}, {{4, 5}, 4, {6, 8}},
    {{6, 8}, 6, {7, 8}}, {{6, 7}, 6, {7, 8}}, {{7, 8}, 7, {0, 2}},
};
// The same with a four-digit year, for a series whose dates show one.
constexpr MaskStep kLongYearSteps[] = {
    {{0, 0}, 0, {1, 2}},  {{0, 1}, 0, {1, 2}},  {{0, 2}, 0, {1, 2}},  {{0, 10}, 0, {1, 2}},
    {{1, 2}, 1, {3, 5}},  {{3, 5}, 3, {4, 5}},  {{4, 4}, 3, {4, 5}},  {{4, 5}, 4, {6, 10}},
    {{6, 10}, 6, {7, 10}}, {{6, 7}, 6, {7, 10}}, {{7, 10}, 7, {8, 10}}, {{8, 10}, 8, {9, 10}},
    {{9, 10}, 9, {0, 2}},
};

}  // namespace

char NumberFieldChar(char c, bool signAllowed) {
  const auto u = static_cast<unsigned char>(c);
  if (c == ',') return '.';
  return u < 32 || c == '.' || (c >= '0' && c <= '9') || (signAllowed && c == '-') ? c : '\0';
}

bool NumberFieldPaste(std::string_view text, bool signAllowed, std::string* pasted) {
  text = Trimmed(text);
  std::string result;
  for (char c : text) {
    const char put = NumberFieldChar(c, signAllowed);
    if (put == '\0' || static_cast<unsigned char>(put) < 32) return false;
    result += put;
  }
  if (std::count(result.begin(), result.end(), '.') > 1) return false;
  *pasted = result;
  return true;
}

void DateMask::Seed(const std::string& text) {
  buffer_ = text.size() == 10 ? "00/00/0000" : "00/00/00";
  for (std::size_t i = 0; i < text.size() && i < buffer_.size(); ++i) buffer_[i] = text[i];
}

DateKey DateMask::OnChar(char c, FieldSelection* selection) {
  if (c == '\t') return DateKey::kPassedOn;
  if (c < '0' || c > '9') return DateKey::kDropped;
  const bool longYear = buffer_.size() == 10;
  for (const MaskStep& step : longYear ? std::span<const MaskStep>(kLongYearSteps) : std::span<const MaskStep>(kSteps)) {
    if (step.before.start == selection->start && step.before.end == selection->end) {
      buffer_[static_cast<std::size_t>(step.position)] = c;
      *selection = step.after;
      return DateKey::kWritten;
    }
  }
  const int start = selection->start;
  if (start == 4) {
    *selection = {3, 5};
  } else if (start == 7 || (longYear && (start == 8 || start == 9))) {
    *selection = {6, longYear ? 10 : 8};
  } else {
    *selection = {0, 2};
  }
  return DateKey::kRefused;
}

std::string DateMask::Paste(std::string_view text) {
  text = Trimmed(text);
  const bool longYear = buffer_.size() == 10;
  if (std::string refusal = ShortYearRefusal(text, DateStyle{longYear, false}); !refusal.empty()) {
    return refusal;
  }
  const DayNumber day = ReadDateText(text);
  if (day == kNoDate || (!longYear && !ShowsTwoDigitYear(day))) {
    return longYear ? "Paste a date as MM/DD/YYYY or YYYY-MM-DD."
                    : "Paste a date from 1961 to 2060 as MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD.";
  }
  buffer_ = DateText(day, longYear);
  return {};
}

}  // namespace barvane
