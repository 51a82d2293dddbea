// Day numbers, time seconds and the date and time encodings of the data files and the screen.
// A day number counts days with 1961-01-01 = 1; it is signed so that quotes from before 1961,
// which real files hold, keep their true dates (1960-12-31 is day 0). The calendar is the
// Gregorian one, so that 1900 and 2100 are common years and every weekday is the true one.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace barvane {

using DayNumber = std::int32_t;
using DaySeconds = std::int32_t;  // seconds since midnight

// No date at all: the day of an empty or unreadable date, distinct from every real day.
inline constexpr DayNumber kNoDate = std::numeric_limits<DayNumber>::min();
// The date text layout that every screen, dialog and export uses: MM/DD/YY.
inline constexpr int kScreenDateLayout = 3;
inline constexpr char kScreenDateSeparator = '/';

// Year counted from 1900 (or a full year above 1900), month 1..12, day of month. A month
// outside 1..12 gives kNoDate; a day beyond its month counts on into the next.
DayNumber YmdToDay(int year, int month, int day);

// The days a file date YYMMDD (YY = year - 1900, 0..255) can name: 01/01/1900 to 12/31/2155.
inline constexpr DayNumber kFirstFileDay = -22279;
inline constexpr DayNumber kLastFileDay = 71222;
// The days a two-digit year names without doubt: 01/01/1961 to 12/31/2060.
inline constexpr DayNumber kFirstShortYearDay = 1;
inline constexpr DayNumber kLastShortYearDay = 36525;

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

// A time value HHMMSS as seconds since midnight; 0 when the value is no time of day (negative,
// not finite or huge). Every clock time HHMMSS reads back exactly through TimeSecondsToFloat,
// so that a bar keeps its own second.
DaySeconds TimeFloatToSeconds(double value);
// The time value HHMMSS of `seconds`, as the files store it.
float TimeSecondsToFloat(DaySeconds seconds);
DaySeconds HmsToSeconds(int hours, int minutes, int seconds);
struct Hms {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
};
Hms SecondsToHms(DaySeconds seconds);

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

// How one series shows its quotes' dates and times. A two-digit year would name another
// century for a day outside 1961..2060, so a series holding any such day shows every one of
// its dates with four digits; a series whose layout holds TIME shows each bar's time.
struct DateStyle {
  bool fourDigitYears = false;
  bool times = false;
};
// True for kNoDate and the days from kFirstShortYearDay to kLastShortYearDay.
inline bool ShowsTwoDigitYear(DayNumber day) {
  return day == kNoDate || (day >= kFirstShortYearDay && day <= kLastShortYearDay);
}

// MM/DD/YY, or MM/DD/YYYY with `fourDigitYears`; zeros for kNoDate.
std::string DateText(DayNumber day, bool fourDigitYears);
// HH:MM:SS.
std::string TimeText(DaySeconds seconds);
// The text that names one quote: its date in `style`, then a blank and its time when the
// style shows times ("11/15/13 09:05:00").
std::string MomentText(DayNumber day, DaySeconds seconds, DateStyle style);

// A date typed by a user: MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD, naming a real day the files can
// hold. A two-digit year 61..99 is 1961..1999 and
// 00..60 is 2000..2060. kNoDate for anything else.
DayNumber ReadDateText(std::string_view text);
// A time of day typed by a user: H:MM or H:MM:SS (hours 0..23, one or two digits). False for
// anything else.
bool ReadTimeText(std::string_view text, DaySeconds* time);

// One quote's address: its day and, for a series with times, the bar's time when given.
struct QuoteMoment {
  DayNumber day = kNoDate;
  std::optional<DaySeconds> time;
};
// A date as ReadDateText takes it, optionally followed by a blank or `T` and a time as
// ReadTimeText takes it ("11/15/13 09:15", "2013-11-15T09:15:00"). False for anything else.
bool ReadMomentText(std::string_view text, QuoteMoment* moment);

}  // namespace barvane
