// Day numbers, time ticks and the date and time encodings of the data files and the screen.
// A day number counts days with 1961-01-01 = 1; it is signed so that quotes from before 1961,
// which real files hold, keep their true dates (1960-12-31 is day 0). Every year divisible by 4
// is a leap year.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace barvane {

using DayNumber = std::int32_t;
using TimeTicks = std::uint16_t;  // 2-second steps since midnight

// No date at all: the day of an empty or unreadable date, distinct from every real day.
inline constexpr DayNumber kNoDate = std::numeric_limits<DayNumber>::min();
// The date text layout that every screen, dialog and export uses: MM/DD/YY.
inline constexpr int kScreenDateLayout = 3;
inline constexpr char kScreenDateSeparator = '/';

// Year counted from 1900 (or a full year above 1900), month 1..12, day of month. A month
// outside 1..12 gives kNoDate.
DayNumber YmdToDay(int year, int month, int day);

struct Ymd {
  int year = 0;  // counted from 1900
  int month = 0;
  int day = 0;
};
// REQUIRES: day != kNoDate.
Ymd DayToYmd(DayNumber day);

// 0 for Sunday, 1..5 for Monday to Friday, 6 for Saturday.
int Weekday(DayNumber day);

// A date value YYMMDD (YY counted from 1900) as a day number; kNoDate when the value is no date.
DayNumber DateFloatToDay(double value);
// The date value YYMMDD of `day`; 0 for kNoDate.
float DayToDateFloat(DayNumber day);
// The MBF bytes of the date value of `day`, ready to be stored in a file.
std::array<std::uint8_t, 4> DayToMbfDate(DayNumber day);

// A time value HHMMSS as ticks; 0 when the value is no time of day.
TimeTicks TimeFloatToTicks(double value);
TimeTicks HmsToTicks(int hours, int minutes, int seconds);
struct Hms {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
};
Hms TicksToHms(TimeTicks ticks);

// Reads a date text in one of the layouts 1..12 the lenient way the entry fields rely on
// (leading blanks and one double quote skipped, each part read as atoi reads it); kNoDate for
// empty text, a layout outside 1..12 or an all-zero date. Month and day are not checked.
DayNumber ParseDate(std::string_view text, int layout);

// The text of `day` in `layout` with `separator`; zeros for kNoDate, empty for an unknown layout.
std::string FormatDate(DayNumber day, int layout, char separator);

// MM/DD/YY, as every grid and dialog shows a date.
inline std::string ScreenDate(DayNumber day) {
  return FormatDate(day, kScreenDateLayout, kScreenDateSeparator);
}

}  // namespace barvane
