// Date and time arithmetic. Divisions and remainders are floored so that days before 1961
// (negative day numbers) convert and fall on the right weekday.
#include "data/dates.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "data/mbf.h"

namespace barvane {
namespace {

constexpr int kMonthStart[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Beyond this a float value cannot be a date or time of the files (and would overflow an int).
constexpr double kLargestEncodedValue = 1.0e8;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

int MonthStart(int month, bool leap) { return kMonthStart[month - 1] + (leap && month > 2 ? 1 : 0); }

// The atoi reading of the two characters at `pos` (blanks, a sign, then digits).
int TwoCharsAsInt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  std::string pair(text.substr(pos, 2));
  return std::atoi(pair.c_str());
}

struct PartOffsets {
  int century, year, month, day;  // -1: the layout has no century
};
constexpr PartOffsets kLayouts[12] = {
    {-1, 0, 3, 6}, {0, 2, 5, 8}, {-1, 6, 0, 3}, {6, 8, 0, 3}, {-1, 6, 3, 0}, {6, 8, 3, 0},
    {-1, 0, 2, 4}, {0, 2, 4, 6}, {-1, 4, 0, 2}, {4, 6, 0, 2}, {-1, 4, 2, 0}, {4, 6, 2, 0},
};

}  // namespace

DayNumber YmdToDay(int year, int month, int day) {
  if (month < 1 || month > 12) return kNoDate;
  if (year > 1900) year -= 1900;
  std::int64_t days =
      MonthStart(month, false) + FloorDiv(std::int64_t{year - 61} * 1461, 4) + day;
  if (month > 2 && FloorMod(year, 4) == 0) ++days;
  return static_cast<DayNumber>(days);
}

Ymd DayToYmd(DayNumber day) {
  const std::int64_t n = day;
  const std::int64_t q = FloorDiv(4 * n - 1, 1461);
  const std::int64_t r = n - FloorDiv(q * 1461, 4);
  Ymd ymd;
  ymd.year = static_cast<int>(q + 61);
  const bool leap = FloorMod(ymd.year, 4) == 0;
  int month = 1;
  for (int i = 0; i < 12; ++i) {
    if (MonthStart(i + 1, leap) < r) month = i + 1;
  }
  ymd.month = month;
  ymd.day = static_cast<int>(r - MonthStart(month, leap));
  return ymd;
}

int Weekday(DayNumber day) { return static_cast<int>(FloorMod(std::int64_t{day} - 1, 7)); }

DayNumber DateFloatToDay(double value) {
  if (!std::isfinite(value) || std::fabs(value) > kLargestEncodedValue) return kNoDate;
  // A whole value, as every file date is, splits exactly in integers (both truncate).
  if (const auto whole = static_cast<std::int32_t>(value); whole == value) {
    return YmdToDay(whole / 10000, whole % 10000 / 100, whole % 100);
  }
  const double yy = std::trunc(value / 10000);
  const double mm = std::trunc((value - yy * 10000) / 100);
  const double dd = std::trunc(value - yy * 10000 - mm * 100);
  return YmdToDay(static_cast<int>(yy), static_cast<int>(mm), static_cast<int>(dd));
}

float DayToDateFloat(DayNumber day) {
  if (day == kNoDate) return 0;
  const Ymd ymd = DayToYmd(day);
  // Wide: a day number far outside the file's dates (a rewrite's range end) has a year whose
  // YYMMDD does not fit in an int.
  return static_cast<float>(std::int64_t{ymd.year} * 10000 + ymd.month * 100 + ymd.day);
}

std::array<std::uint8_t, 4> DayToMbfDate(DayNumber day) {
  std::array<std::uint8_t, 4> bytes{};
  WriteMbf(DayToDateFloat(day), bytes.data());
  return bytes;
}

TimeTicks TimeFloatToTicks(double value) {
  if (!std::isfinite(value) || std::fabs(value) > kLargestEncodedValue) return 0;
  const double hh = std::trunc(value / 10000);
  const double mm = std::trunc((value - hh * 10000) / 100);
  const double ss = std::trunc(value - hh * 10000 - mm * 100);
  return HmsToTicks(static_cast<int>(hh), static_cast<int>(mm), static_cast<int>(ss));
}

TimeTicks HmsToTicks(int hours, int minutes, int seconds) {
  return static_cast<TimeTicks>(hours * 1800 + minutes * 30 + seconds / 2);
}

Hms TicksToHms(TimeTicks ticks) {
  return Hms{ticks / 1800, (ticks % 1800) / 30, 2 * (ticks % 1800 % 30)};
}

DayNumber ParseDate(std::string_view text, int layout) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  if (start < text.size() && text[start] == '"') ++start;
  text.remove_prefix(start);
  if (text.empty() || layout < 1 || layout > 12) return kNoDate;
  const PartOffsets& parts = kLayouts[layout - 1];
  const int cc = parts.century < 0 ? 0 : TwoCharsAsInt(text, static_cast<std::size_t>(parts.century));
  const int yy = TwoCharsAsInt(text, static_cast<std::size_t>(parts.year));
  const int mm = TwoCharsAsInt(text, static_cast<std::size_t>(parts.month));
  const int dd = TwoCharsAsInt(text, static_cast<std::size_t>(parts.day));
  int century = parts.century < 0 ? 0 : cc * 100 - 1900;
  if (yy == 0 && mm == 0 && dd == 0) return kNoDate;
  if (yy < 60 && century == 0) century = 100;
  return YmdToDay(yy + century, mm, dd);
}

std::string FormatDate(DayNumber day, int layout, char separator) {
  int cc = 0, yy = 0, mm = 0, dd = 0;
  if (day != kNoDate) {
    const Ymd ymd = DayToYmd(day);
    cc = static_cast<int>(FloorDiv(ymd.year, 100)) + 19;
    yy = static_cast<int>(FloorMod(ymd.year, 100));
    mm = ymd.month;
    dd = ymd.day;
  }
  char buffer[64];
  const char s = separator;
  switch (layout) {
    case 1: std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i", yy, s, mm, s, dd); break;
    case 2: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%c%.2i%c%.2i", cc, yy, s, mm, s, dd); break;
    case 3: std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i", mm, s, dd, s, yy); break;
    case 4: std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i%.2i", mm, s, dd, s, cc, yy); break;
    case 5: std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i", dd, s, mm, s, yy); break;
    case 6: std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i%.2i", dd, s, mm, s, cc, yy); break;
    case 7: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i", yy, mm, dd); break;
    case 8: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i%.2i", cc, yy, mm, dd); break;
    case 9: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i", mm, dd, yy); break;
    case 10: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i%.2i", mm, dd, cc, yy); break;
    case 11: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i", dd, mm, yy); break;
    case 12: std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i%.2i", dd, mm, cc, yy); break;
    default: return {};
  }
  return buffer;
}

}  // namespace barvane
