// Date and time arithmetic. Divisions and remainders are floored so that days before 1961
// (negative day numbers) convert and fall on the right weekday.
#include "data/dates.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "data/mbf.h"

namespace barvane {
namespace {

// Beyond this a float value cannot be a date or time of the files (and would overflow an int).
constexpr double kLargestEncodedValue = 1.0e8;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

constexpr std::int64_t kDaysPerEra = 146097;
// Day 0 (1960-12-31) counted from 0000-03-01.
constexpr std::int64_t kDayOneFromEraStart = 716180;

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
  // Days of the Gregorian calendar counted in 400-year eras from 0000-03-01, March first so
  // that a leap day ends its year.
  const std::int64_t y = std::int64_t{year} + 1900 - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<DayNumber>(era * kDaysPerEra + dayOfEra - kDayOneFromEraStart);
}

Ymd DayToYmd(DayNumber day) {
  const std::int64_t z = std::int64_t{day} + kDayOneFromEraStart;
  const std::int64_t era = FloorDiv(z, kDaysPerEra);
  const std::int64_t dayOfEra = z - era * kDaysPerEra;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t m = (5 * dayOfYear + 2) / 153;
  Ymd ymd;
  ymd.day = static_cast<int>(dayOfYear - (153 * m + 2) / 5 + 1);
  ymd.month = static_cast<int>(m < 10 ? m + 3 : m - 9);
  ymd.year = static_cast<int>(yearOfEra + era * 400 + (ymd.month <= 2 ? 1 : 0) - 1900);
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

DaySeconds TimeFloatToSeconds(double value) {
  if (!std::isfinite(value) || value < 0 || value > kLargestEncodedValue) return 0;
  const double hh = std::trunc(value / 10000);
  const double mm = std::trunc((value - hh * 10000) / 100);
  const double ss = std::trunc(value - hh * 10000 - mm * 100);
  return HmsToSeconds(static_cast<int>(hh), static_cast<int>(mm), static_cast<int>(ss));
}

float TimeSecondsToFloat(DaySeconds seconds) {
  const Hms hms = SecondsToHms(seconds);
  return static_cast<float>(hms.hours * 10000 + hms.minutes * 100 + hms.seconds);
}

DaySeconds HmsToSeconds(int hours, int minutes, int seconds) {
  return hours * 3600 + minutes * 60 + seconds;
}

Hms SecondsToHms(DaySeconds seconds) {
  return Hms{seconds / 3600, seconds % 3600 / 60, seconds % 60};
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

std::string DateText(DayNumber day, bool fourDigitYears) {
  if (!fourDigitYears) return ScreenDate(day);
  int year = 0, month = 0, dayOfMonth = 0;
  if (day != kNoDate) {
    const Ymd ymd = DayToYmd(day);
    year = ymd.year + 1900;
    month = ymd.month;
    dayOfMonth = ymd.day;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2i/%.2i/%.4i", month, dayOfMonth, year);
  return buffer;
}

std::string TimeText(DaySeconds seconds) {
  const Hms hms = SecondsToHms(seconds);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2i:%.2i:%.2i", hms.hours, hms.minutes, hms.seconds);
  return buffer;
}

std::string MomentText(DayNumber day, DaySeconds seconds, DateStyle style) {
  std::string text = DateText(day, style.fourDigitYears);
  if (style.times) text += ' ' + TimeText(seconds);
  return text;
}

namespace {

// Reads 1..`most` digits at `*pos` (exactly `most` when `exact`) into `*value`.
bool ReadDigits(std::string_view text, std::size_t* pos, std::size_t most, bool exact, int* value) {
  std::size_t n = 0;
  int v = 0;
  while (*pos + n < text.size() && n < most && text[*pos + n] >= '0' && text[*pos + n] <= '9') {
    v = v * 10 + (text[*pos + n] - '0');
    ++n;
  }
  if (n == 0 || (exact && n != most)) return false;
  *pos += n;
  *value = v;
  return true;
}

bool ReadChar(std::string_view text, std::size_t* pos, char c) {
  if (*pos >= text.size() || text[*pos] != c) return false;
  ++*pos;
  return true;
}

// The date at the start of `text`, its length in `*used`.
DayNumber ReadDatePrefix(std::string_view text, std::size_t* used) {
  std::size_t pos = 0;
  int year = 0, month = 0, day = 0;
  if (text.size() >= 5 && text[4] == '-') {
    if (!ReadDigits(text, &pos, 4, true, &year) || !ReadChar(text, &pos, '-') ||
        !ReadDigits(text, &pos, 2, true, &month) || !ReadChar(text, &pos, '-') ||
        !ReadDigits(text, &pos, 2, true, &day)) {
      return kNoDate;
    }
  } else {
    if (!ReadDigits(text, &pos, 2, true, &month) || !ReadChar(text, &pos, '/') ||
        !ReadDigits(text, &pos, 2, true, &day) || !ReadChar(text, &pos, '/')) {
      return kNoDate;
    }
    const std::size_t start = pos;
    if (!ReadDigits(text, &pos, 4, false, &year) || (pos - start != 2 && pos - start != 4)) {
      return kNoDate;
    }
    if (pos - start == 2) year += year <= 60 ? 2000 : 1900;
  }
  if (year < 1900 || month < 1 || month > 12 || day < 1) return kNoDate;
  const DayNumber d = YmdToDay(year - 1900, month, day);
  const Ymd back = DayToYmd(d);
  if (back.month != month || back.day != day || d < kFirstFileDay || d > kLastFileDay) {
    return kNoDate;
  }
  *used = pos;
  return d;
}

}  // namespace

DayNumber ReadDateText(std::string_view text) {
  std::size_t used = 0;
  const DayNumber day = ReadDatePrefix(text, &used);
  return day != kNoDate && used == text.size() ? day : kNoDate;
}

bool ReadTimeText(std::string_view text, DaySeconds* time) {
  std::size_t pos = 0;
  int hours = 0, minutes = 0, seconds = 0;
  if (!ReadDigits(text, &pos, 2, false, &hours) || !ReadChar(text, &pos, ':') ||
      !ReadDigits(text, &pos, 2, true, &minutes)) {
    return false;
  }
  if (pos < text.size() && (!ReadChar(text, &pos, ':') || !ReadDigits(text, &pos, 2, true, &seconds))) {
    return false;
  }
  if (pos != text.size() || hours > 23 || minutes > 59 || seconds > 59) return false;
  *time = HmsToSeconds(hours, minutes, seconds);
  return true;
}

bool ReadMomentText(std::string_view text, QuoteMoment* moment) {
  std::size_t used = 0;
  const DayNumber day = ReadDatePrefix(text, &used);
  if (day == kNoDate) return false;
  QuoteMoment read{day, std::nullopt};
  if (used != text.size()) {
    if (text[used] != ' ' && text[used] != 'T') return false;
    DaySeconds seconds = 0;
    if (!ReadTimeText(text.substr(used + 1), &seconds)) return false;
    read.time = seconds;
  }
  *moment = read;
  return true;
}

}  // namespace barvane
