// Reading the cells of quote text.
#include "exchange/import_cells.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/number_text.h"

namespace barvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The run of digits at `*at` (at most 8), advancing past it; its length.
int TakeDigits(std::string_view text, std::size_t* at, int* value) {
  int count = 0;
  *value = 0;
  while (*at < text.size() && IsDigit(text[*at]) && count < 9) {
    *value = *value * 10 + (text[*at] - '0');
    ++*at;
    ++count;
  }
  return count;
}

int FullYear(int twoDigits) { return twoDigits <= 60 ? 2000 + twoDigits : 1900 + twoDigits; }

// An English month name or its first three letters at `*at`, advancing past it; 0 for none.
int TakeMonthName(std::string_view text, std::size_t* at) {
  static constexpr std::string_view kNames[12] = {
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  std::size_t end = *at;
  while (end < text.size() && ((text[end] | 0x20) >= 'a' && (text[end] | 0x20) <= 'z')) ++end;
  std::string word;
  for (std::size_t i = *at; i < end; ++i) word += Lower(text[i]);
  for (int m = 0; m < 12; ++m) {
    if (word == kNames[m] || (word.size() == 3 && kNames[m].substr(0, 3) == word) ||
        (m == 8 && word == "sept")) {
      *at = end;
      return m + 1;
    }
  }
  return 0;
}

// H:MM or HH:MM:SS from `at` to the end; the seconds may carry a fraction of zeros.
bool TakeClock(std::string_view text, std::size_t at, int* seconds) {
  int h = 0, m = 0, s = 0;
  const int hd = TakeDigits(text, &at, &h);
  if (hd < 1 || hd > 2 || at >= text.size() || text[at] != ':') return false;
  ++at;
  if (TakeDigits(text, &at, &m) != 2) return false;
  if (at < text.size() && text[at] == ':') {
    ++at;
    if (TakeDigits(text, &at, &s) != 2) return false;
    if (at + 1 < text.size() && text[at] == '.') {
      ++at;
      while (at < text.size() && text[at] == '0') ++at;
    }
  }
  // A 12-hour clock, as spreadsheets in US settings write it: 12:05 AM is 00:05.
  const std::string_view rest = text.substr(at);
  const std::string_view half = rest.substr(rest.starts_with(' ') ? 1 : 0);
  const bool am = half == "AM" || half == "am", pm = half == "PM" || half == "pm";
  if (am || pm) {
    if (h < 1 || h > 12) return false;
    h = h % 12 + (pm ? 12 : 0);
  } else if (!rest.empty()) {
    return false;
  }
  if (h > 23 || m > 59 || s > 59) return false;
  *seconds = h * 3600 + m * 60 + s;
  return true;
}

// The length of the zone a clock time ends in: "Z", "+01:00", "-0500", "+09"; 0 for none.
std::size_t ZoneLength(std::string_view text) {
  if (text.ends_with('Z')) return 1;
  for (const std::size_t n : {6, 5, 3}) {
    if (text.size() <= n) continue;
    const std::string_view zone = text.substr(text.size() - n);
    if ((zone[0] == '+' || zone[0] == '-') && IsDigit(zone[1]) && IsDigit(zone[2]) &&
        (n == 3 || (n == 5 && IsDigit(zone[3]) && IsDigit(zone[4])) ||
         (n == 6 && zone[3] == ':' && IsDigit(zone[4]) && IsDigit(zone[5])))) {
      return n;
    }
  }
  return 0;
}

// What follows a date: nothing, or a blank or 'T' and a clock time. A zone after the time
// is passed over: the bar keeps the time its file shows, as the chart that wrote it did.
bool TakeTimeAfterDate(std::string_view text, std::size_t at, CellDate* date) {
  if (at == text.size()) return true;
  if (text[at] != ' ' && text[at] != 'T') return false;
  ++at;
  while (at < text.size() && text[at] == ' ') ++at;
  text.remove_suffix(ZoneLength(text.substr(at)));
  // Forex tick and bar files write "20240104 093000": the time as HHMMSS, or HHMM.
  const std::string_view rest = text.substr(at);
  if ((rest.size() == 4 || rest.size() == 6) && rest.find_first_not_of("0123456789") == std::string_view::npos) {
    int hhmmss = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), hhmmss);
    if (rest.size() == 4) hhmmss *= 100;
    const int h = hhmmss / 10000, m = hhmmss / 100 % 100, s = hhmmss % 100;
    date->seconds = h * 3600 + m * 60 + s;
    return h <= 23 && m <= 59 && s <= 59;
  }
  return TakeClock(text, at, &date->seconds);
}

// A CJK date's "年" (year), "月" (month) or "日" (day) at `*at`, advancing past it.
bool TakeCjkMark(std::string_view text, std::size_t* at, std::string_view mark) {
  if (text.substr(*at, mark.size()) != mark) return false;
  *at += mark.size();
  return true;
}

// "Jul 01, 2020" or "July 1 2020" from `at`.
bool TakeMonthFirstWords(std::string_view text, std::size_t at, CellDate* date) {
  date->month = TakeMonthName(text, &at);
  if (date->month == 0 || at >= text.size() || text[at] != ' ') return false;
  ++at;
  const int dd = TakeDigits(text, &at, &date->day);
  if (dd < 1 || dd > 2) return false;
  if (at < text.size() && text[at] == ',') ++at;
  if (at >= text.size() || text[at] != ' ') return false;
  ++at;
  if (TakeDigits(text, &at, &date->year) != 4) return false;
  return TakeTimeAfterDate(text, at, date);
}

// The length of the thousands separator at `at`: the one that `thousands` names, or one that no
// decimal mark can be mistaken for: a blank, a no-break or narrow no-break space (French,
// Russian) or an apostrophe (Swiss). 0 for none.
std::size_t GroupMarkAt(std::string_view cell, std::size_t at, char thousands) {
  const std::string_view rest = cell.substr(at);
  if (rest.front() == thousands || rest.front() == ' ' || rest.front() == '\'') return 1;
  for (const std::string_view mark : {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x99"}) {
    if (rest.starts_with(mark)) return mark.size();
  }
  return 0;
}

}  // namespace

bool ReadDateCell(std::string_view cell, CellDate* date) {
  *date = CellDate{};
  std::size_t at = 0;
  if (cell.empty()) return false;
  if (!IsDigit(cell[0])) return TakeMonthFirstWords(cell, 0, date);
  int first = 0;
  const int n = TakeDigits(cell, &at, &first);
  const char sep = at < cell.size() ? cell[at] : '\0';
  if (n == 8 && sep != '-' && sep != '.' && sep != '/') {
    date->year = first / 10000;
    date->month = first / 100 % 100;
    date->day = first % 100;
    return TakeTimeAfterDate(cell, at, date);
  }
  if (n == 6 && sep != '-' && sep != '.' && sep != '/') {
    date->year = FullYear(first / 10000);
    date->month = first / 100 % 100;
    date->day = first % 100;
    return TakeTimeAfterDate(cell, at, date);
  }
  if (n == 4 && TakeCjkMark(cell, &at, "\xE5\xB9\xB4")) {
    // 2024年1月4日
    date->year = first;
    const int md = TakeDigits(cell, &at, &date->month);
    if (md < 1 || md > 2 || !TakeCjkMark(cell, &at, "\xE6\x9C\x88")) return false;
    const int dd = TakeDigits(cell, &at, &date->day);
    if (dd < 1 || dd > 2 || !TakeCjkMark(cell, &at, "\xE6\x97\xA5")) return false;
    return TakeTimeAfterDate(cell, at, date);
  }
  if (n == 4 && (sep == '-' || sep == '.' || sep == '/')) {
    // Korean pages write "2024- 01- 04": a blank may follow each mark.
    const auto takeMark = [&] {
      if (at >= cell.size() || cell[at] != sep) return false;
      ++at;
      if (at < cell.size() && cell[at] == ' ') ++at;
      return true;
    };
    date->year = first;
    takeMark();
    const int md = TakeDigits(cell, &at, &date->month);
    if (md < 1 || md > 2 || !takeMark()) return false;
    const int dd = TakeDigits(cell, &at, &date->day);
    if (dd < 1 || dd > 2) return false;
    return TakeTimeAfterDate(cell, at, date);
  }
  if (n < 1 || n > 2 || (sep != '-' && sep != '.' && sep != '/' && sep != ' ')) return false;
  ++at;
  if (at < cell.size() && !IsDigit(cell[at])) {
    // 01-Jul-2020, 01-Jul-20, 1 Jul 2020
    date->day = first;
    date->month = TakeMonthName(cell, &at);
    if (date->month == 0 || at >= cell.size() || cell[at] != sep) return false;
    ++at;
    const int yd = TakeDigits(cell, &at, &date->year);
    if (yd == 2) {
      date->year = FullYear(date->year);
    } else if (yd != 4) {
      return false;
    }
    return TakeTimeAfterDate(cell, at, date);
  }
  if (sep == ' ') return false;
  date->ordered = false;
  date->a = first;
  const int bd = TakeDigits(cell, &at, &date->b);
  if (bd < 1 || bd > 2 || at >= cell.size() || cell[at] != sep) return false;
  ++at;
  const int cd = TakeDigits(cell, &at, &date->c);
  if (cd != 2 && cd != 4) return false;
  date->fullYear = cd == 4;
  return TakeTimeAfterDate(cell, at, date);
}

bool ResolveDate(const CellDate& date, DateOrder order, int* year, int* month, int* day) {
  if (date.ordered) {
    *year = date.year;
    *month = date.month;
    *day = date.day;
  } else if (order == DateOrder::kDayFirst || order == DateOrder::kMonthFirst) {
    *year = date.fullYear ? date.c : FullYear(date.c);
    *day = order == DateOrder::kDayFirst ? date.a : date.b;
    *month = order == DateOrder::kDayFirst ? date.b : date.a;
  } else if (order == DateOrder::kYearFirst && !date.fullYear) {
    *year = FullYear(date.a);
    *month = date.b;
    *day = date.c;
  } else {
    return false;
  }
  // The calendar of the files' day numbers, where every fourth year is a leap year.
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return *month >= 1 && *month <= 12 && *day >= 1 && *day <= kDays[*month - 1] &&
         (*month != 2 || *day != 29 || *year % 4 == 0);
}

bool ReadTimeCell(std::string_view cell, TimeDigits digits, int* seconds) {
  if (cell.find(':') != std::string_view::npos) return TakeClock(cell, 0, seconds);
  if (digits == TimeDigits::kNone) return false;
  std::size_t at = 0;
  int value = 0;
  const int n = TakeDigits(cell, &at, &value);
  if (at != cell.size() || n < 1 || n > 6) return false;
  if (digits == TimeDigits::kHourMinute) value *= 100;
  const int h = value / 10000, m = value / 100 % 100, s = value % 100;
  if (h > 23 || m > 59 || s > 59) return false;
  *seconds = h * 3600 + m * 60 + s;
  return true;
}

TimeDigits TimeDigitsOf(std::string_view widest) {
  if (widest.empty() || widest.size() > 6 ||
      widest.find_first_not_of("0123456789") != std::string_view::npos) {
    return TimeDigits::kNone;
  }
  return widest.size() <= 4 ? TimeDigits::kHourMinute : TimeDigits::kHourMinuteSecond;
}

bool ReadEpochCell(std::string_view cell, DayNumber* day, int* seconds) {
  const std::size_t n = cell.size();
  if (cell.find_first_not_of("0123456789") != std::string_view::npos ||
      !(n == 9 || n == 10 || n == 12 || n == 13 || n == 15 || n == 16) || cell[0] == '0') {
    return false;
  }
  std::int64_t value = 0;
  std::from_chars(cell.data(), cell.data() + n, value);
  if (n >= 15) value /= 1000;
  if (n >= 12) value /= 1000;
  static const DayNumber kUnixDay = YmdToDay(70, 1, 1);
  *day = kUnixDay + static_cast<DayNumber>(value / 86400);
  *seconds = static_cast<int>(value % 86400);
  return true;
}

DecimalHint DecimalHintOf(std::string_view cell) {
  int commas = 0, points = 0;
  std::size_t lastComma = 0, lastPoint = 0, end = cell.size();
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] == ',') {
      ++commas;
      lastComma = i;
    } else if (cell[i] == '.') {
      ++points;
      lastPoint = i;
    } else if (cell[i] == 'e' || cell[i] == 'E') {
      end = i;
      break;
    }
  }
  if (commas > 0 && points > 0) return lastComma > lastPoint ? DecimalHint::kComma : DecimalHint::kPoint;
  // The digits after the one mark decide: exactly three could be a group of thousands.
  const auto digitsAfter = [&](std::size_t mark) {
    std::size_t n = 0;
    while (mark + 1 + n < end && IsDigit(cell[mark + 1 + n])) ++n;
    return n;
  };
  if (commas > 1) return DecimalHint::kPoint;
  if (points > 1) return DecimalHint::kComma;
  if (commas == 1) return digitsAfter(lastComma) == 3 ? DecimalHint::kUnclear : DecimalHint::kComma;
  if (points == 1) return digitsAfter(lastPoint) == 3 ? DecimalHint::kNone : DecimalHint::kPoint;
  return DecimalHint::kNone;
}

CellNumber ReadNumberCell(std::string_view cell, char decimal, double* value) {
  if (cell.empty()) return CellNumber::kEmpty;
  if (!IsDigit(cell.front())) {
    if (cell == "N/A" || cell == "n/a") return CellNumber::kMissing;
    for (const std::string_view empty : {"-", "null", "NaN", "nan"}) {
      if (cell == empty) return CellNumber::kEmpty;
    }
  }
  bool negative = false;
  const auto takeSign = [&] {
    if (!cell.empty() && (cell.front() == '-' || cell.front() == '+')) {
      negative = cell.front() == '-';
      cell.remove_prefix(1);
      return true;
    }
    return false;
  };
  const bool signFirst = takeSign();
  const bool digitFirst = !cell.empty() && IsDigit(cell.front());
  for (const std::string_view currency : {"US$", "R$", "$", "\xE2\x82\xAC", "\xC2\xA3", "\xC2\xA5"}) {
    if (digitFirst) break;
    if (cell.starts_with(currency)) {
      cell.remove_prefix(currency.size());
      if (!cell.empty() && cell.front() == ' ') cell.remove_prefix(1);
      if (!signFirst) takeSign();
      break;
    }
  }
  double multiplier = 1;
  if (!cell.empty()) {
    switch (cell.back()) {
      case 'K': case 'k': multiplier = 1e3; break;
      case 'M': case 'm': multiplier = 1e6; break;
      case 'B': case 'b': multiplier = 1e9; break;
      default: break;
    }
    if (multiplier != 1) cell.remove_suffix(1);
  }
  // The digits with the decimal mark as '.', thousands separators checked and dropped.
  char buffer[64];
  std::size_t size = 0;
  const char thousands = decimal == '.' ? ',' : '.';
  int group = -1;  // digits since the last thousands separator; -1: none yet
  bool fraction = false, exponent = false;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    const char c = cell[i];
    if (size + 1 >= sizeof buffer) return CellNumber::kNoNumber;
    if (IsDigit(c)) {
      if (group >= 0 && !fraction && !exponent) ++group;
      buffer[size++] = c;
    } else if (const std::size_t mark = GroupMarkAt(cell, i, thousands); mark > 0 && !fraction && !exponent) {
      if (size == 0 || group == 0 || (group > 0 && group != 3)) return CellNumber::kNoNumber;
      group = 0;
      i += mark - 1;
    } else if (c == decimal && !fraction && !exponent) {
      if (group >= 0 && group != 3) return CellNumber::kNoNumber;
      fraction = true;
      buffer[size++] = '.';
    } else if ((c == 'e' || c == 'E') && size > 0 && !exponent) {
      if (group >= 0 && group != 3 && !fraction) return CellNumber::kNoNumber;
      exponent = true;
      buffer[size++] = 'e';
      if (i + 1 < cell.size() && (cell[i + 1] == '-' || cell[i + 1] == '+')) buffer[size++] = cell[++i];
    } else {
      return CellNumber::kNoNumber;
    }
  }
  if (group >= 0 && group != 3 && !fraction && !exponent) return CellNumber::kNoNumber;
  if (size == 0 || (!IsDigit(buffer[0]) && buffer[0] != '.')) return CellNumber::kNoNumber;
  // Rounding to a double and then to the file's float could miss the float nearest the text,
  // so a plain decimal goes straight to the float; one a float cannot hold is read as a double
  // for the message.
  float nearest = 0;
  if (multiplier == 1 && ReadFloatText(std::string_view(buffer, size), &nearest) == std::errc()) {
    *value = negative ? -double{nearest} : double{nearest};
    return CellNumber::kNumber;
  }
  const auto result = std::from_chars(buffer, buffer + size, *value, std::chars_format::general);
  if (result.ptr != buffer + size) return CellNumber::kNoNumber;
  if (result.ec == std::errc::result_out_of_range) return CellNumber::kBeyondRange;
  if (result.ec != std::errc() || !std::isfinite(*value)) return CellNumber::kNoNumber;
  *value *= multiplier;
  if (negative) *value = -*value;
  return CellNumber::kNumber;
}

}  // namespace barvane
