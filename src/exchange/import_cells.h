// The cells of downloaded quote text, read one at a time: dates in every common form (with a
// time in the same cell or without), times of day, and numbers with a currency sign, thousands
// separators, a decimal comma or a K/M/B multiplier. What a cell alone cannot tell (the order
// of day and month, which mark is the decimal one) is left for the whole file to decide.
#pragma once

#include <string_view>

#include "data/dates.h"

namespace barvane {

// The order of day and month in dates like 03/01/22: decided from the file, or given.
enum class DateOrder { kUndecided, kDayFirst, kMonthFirst, kYearFirst };

// A date as its cell writes it. A form that names its order (20220103, 2022-01-03, Jan 03,
// 2022) is `ordered`; in a cell like 03/01/22 `a`, `b` and `c` are its numbers as written.
struct CellDate {
  bool ordered = true;
  int year = 0, month = 0, day = 0;  // ordered: the full year, month, day as written
  int a = 0, b = 0, c = 0;           // otherwise
  bool fullYear = false;             // otherwise: `c` has four digits
  int seconds = -1;                  // a time in the same cell ("2022-01-03 09:30"); -1: none
};

// Reads a date cell: YYYYMMDD, YYMMDD, YYYY-MM-DD, YYYY.MM.DD, YYYY/MM/DD, YYYY年M月D日,
// N/N/YY(YY), N.N.YY(YY), N-N-YY(YY), "Jul 01, 2020", "01-Jul-2020", "01-Jul-20", "1 Jul 2020",
// each with or without " HH:MM[:SS]" or "THH:MM[:SS]" after it (the seconds may have a
// fraction of zeros, and a zone may follow, which is passed over). Month and day are not
// checked here.
bool ReadDateCell(std::string_view cell, CellDate* date);

// The year, month and day of `date` read in `order` (ordered dates ignore it), checked against
// the calendar of the files' day numbers (every fourth year a leap year); two-digit years
// 61-99 are 1961-1999, 00-60 are 2000-2060. False when no such
// day exists or the order is undecided for a date that needs one.
bool ResolveDate(const CellDate& date, DateOrder order, int* year, int* month, int* day);

// How a time of day written as one number is read: not at all, as HHMM (930 and 0930 are
// 09:30), or as HHMMSS (93000 and 093000 are 09:30:00). A file writes all its times one way,
// so the widest cell of a column decides it.
enum class TimeDigits { kNone, kHourMinute, kHourMinuteSecond };

// Reads a time of day: H:MM, HH:MM or HH:MM:SS, or one number read as `digits` says (0 is
// midnight either way). Seconds since midnight.
bool ReadTimeCell(std::string_view cell, TimeDigits digits, int* seconds);

// The way the widest of `cells` writes a time as one number (kNone when one is no number).
TimeDigits TimeDigitsOf(std::string_view widest);

// Reads a Unix time: whole seconds (9 or 10 digits, from 1973 on), milliseconds (12 or 13
// digits) or microseconds (15 or 16), told apart by their size and read as UTC. The day and
// the second of that day.
bool ReadEpochCell(std::string_view cell, DayNumber* day, int* seconds);

// What a number cell says about the decimal mark of its file.
enum class DecimalHint {
  kNone,      // no mark at all, or only one that could be either (1,234 or 1.234)
  kPoint,     // 1.5, 1,234.5, 1,234,567
  kComma,     // 1,5, 1.234,5, 1.234.567
  kUnclear,   // a single comma before exactly three digits: 1,234
};
DecimalHint DecimalHintOf(std::string_view cell);

// kMissing: "N/A", what the export writes for a field its series lacks; kEmpty: a download's
// empty cell ("", "-", "null", "NaN").
enum class CellNumber { kNumber, kMissing, kEmpty, kNoNumber, kBeyondRange };

// Reads a value cell with `decimal` ('.' or ',') as its decimal mark and the other as the
// thousands separator: an optional sign, an optional currency sign ($, R$, US$, €, £, ¥), the
// digits, an optional exponent and an optional K, M or B. "N/A" and "n/a" are kMissing,
// "null", "NaN", "-" and a blank cell kEmpty; a number beyond what a double holds, either way, is
// kBeyondRange. A plain decimal is rounded once, straight to the nearest float.
CellNumber ReadNumberCell(std::string_view cell, char decimal, double* value);

}  // namespace barvane
