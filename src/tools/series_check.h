// CheckSeries: what is wrong with one symbol's files (its MASTER record, F<n>.DAT and F<n>.DOP)
// and, for what can be mended without guessing, the files as the repair writes them. It works
// on bytes already read, so that a check of a whole portfolio reads each file once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/dates.h"
#include "data/file_ops.h"
#include "data/master.h"
#include "data/rewrite.h"

namespace barvane {

struct SeriesFiles {
  MasterRecord record;                        // as stored: its dates are MBF values
  std::string quoteName;                      // the quote file's name as messages give it
  const Bytes* quotes = nullptr;              // F<n>.DAT; null when the file is missing
  const std::string_view* dopText = nullptr;  // F<n>.DOP; null when the symbol has none
};

struct SeriesProblem {
  DayNumber day = kNoDate;  // kNoDate when it concerns no one day
  std::string text;
  bool mendable = false;  // false: it needs a person
  DaySeconds time = 0;    // of the bar it concerns, in a series whose quotes hold a time
  std::vector<SeriesProblem> bars{};  // of a line that tells one kind on many quotes: their own
  std::size_t quotes = 1;           // how many quotes it tells of, when it has a day
};

// When a quote was: its day, and its time in a series whose quotes hold one.
using QuoteStamp = std::pair<DayNumber, DaySeconds>;

// One thing the repair does.
struct SeriesMend {
  DayNumber day = kNoDate;
  std::string text;
  bool operator==(const SeriesMend&) const = default;
};

struct SeriesVerdict {
  std::vector<SeriesProblem> problems;  // in the order found
  bool fourDigitYears = false;          // the series shows its dates with four-digit years
  bool timed = false;                   // its quotes hold a time
  // What the repair writes: the quote file's new bytes (when it changes) and the record's new
  // fields, and a line for each mend.
  std::optional<Bytes> mendedQuotes;
  RecordUpdate mendedRecord;
  std::vector<SeriesMend> mends;
};

// Checks one symbol: the record length against its field count and the file; a missing or
// unreadable quote file or layout; the header count against the records present; a piece
// after the last whole quote; each quote's date, and its prices (zero or negative, a high
// below the low, an open or close outside high and low); dates out of order; two quotes of
// one day (identical or not); the index dates against the first and last quote.
// Sorting, leaving out identical copies of a quote, the header count, the trailing piece, the
// index dates and a record length or field count that only one reading of the file bears out
// are mended; everything else is left to a person. Reads and writes no file.
SeriesVerdict CheckSeries(const SeriesFiles& files);

// A price as the check's texts give it: two decimals, more when the value needs them.
std::string CheckPriceText(float value);

}  // namespace barvane
