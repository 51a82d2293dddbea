// The two-digit year refusal.
#include "data/typed_date.h"

namespace barvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// MM/DD/YY (in digits and slashes) and nothing more, or followed by the blank or "T" before a time.
bool StartsWithShortYearDate(std::string_view text) {
  if (text.size() < 8 || (text.size() > 8 && text[8] != ' ' && text[8] != 'T')) return false;
  for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u}) {
    if (!IsDigit(text[i])) return false;
  }
  return text[2] == '/' && text[5] == '/';
}

}  // namespace

std::string ShortYearRefusal(std::string_view text, DateStyle style) {
  if (!style.fourDigitYears || !StartsWithShortYearDate(text) ||
      ReadDateText(text.substr(0, 8)) == kNoDate) {
    return {};
  }
  // The day in each century the two digits may mean, where it exists (02/29/00 is 2000 only).
  std::string forms;
  for (const char* century : {"19", "20"}) {
    const std::string form = std::string(text.substr(0, 6)) + century + std::string(text.substr(6, 2));
    if (ReadDateText(form) == kNoDate) continue;
    forms += (forms.empty() ? "" : " or ") + form;
  }
  return "Type the year in full, as " + forms + ": this series shows four-digit years.";
}

}  // namespace barvane
