// ImportText: the reading of quote text for Import, as people download it: the export's own
// format, and the files of the common sources (a title row naming the columns in their words,
// or one of the usual shapes without it). The reader never guesses: what the file cannot
// decide (the columns of a shape without a title row, the order of day and month, the decimal
// mark) is refused with a message that says how to decide it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "data/dates.h"
#include "exchange/import_cells.h"

namespace barvane {

// The value columns a text may hold, in the export's order (open ... open interest).
inline constexpr int kImportColumnCount = 6;
// The dates a quote file's date field holds exactly (its value YYYMMDD counts years from 1900).
inline constexpr int kImportFirstYear = 1900;
inline constexpr int kImportLastYear = 3577;

struct ImportOptions {
  DateOrder dates = DateOrder::kUndecided;  // the order of day and month when the file cannot tell
  bool adjusted = false;  // the adjusted close as Close, open, high and low scaled with it
};

struct ImportedQuote {
  DayNumber day = 0;
  int seconds = 0;  // the time of day, for an intraday text
  std::array<float, kImportColumnCount> values{};  // 0 where the text has N/A or no column
  std::array<bool, kImportColumnCount> present{};  // a number stands in the column
};

// Where the text's columns went: the date, the time, open ... open interest.
inline constexpr int kImportFieldCount = 2 + kImportColumnCount;

struct ImportedText {
  std::vector<ImportedQuote> quotes;               // oldest first, one a day (and time)
  std::array<bool, kImportColumnCount> columns{};  // which columns hold a value on some line
  bool intraday = false;  // lines carry times other than midnight: a bar each time
  int lines = 0;          // lines of text read, title row included
  // The column found for each field (its title, or "column 3" without a title row), empty
  // where the text has none.
  std::array<std::string, kImportFieldCount> found;
  std::vector<std::string> ignored;  // the columns not stored, as the title names them
  DateOrder order = DateOrder::kUndecided;  // the day/month order used, where the dates needed one
};

// Reads `text`: a UTF-8 byte-order mark is passed over; cells are separated by tabs,
// semicolons, commas or runs of blanks, whichever the first line uses; a cell may stand in
// double quotes; line ends are LF or CR LF; blank lines are passed over. Without a title row
// a line is one of the shapes whose cells it fits; where two fit, the one whose bars hold
// (low <= open, close <= high) on every line. On failure returns false with `*error` naming
// the line ("Line 7: ...") and `*quotes` empty.
[[nodiscard]] bool ReadImportText(std::string_view text, const ImportOptions& options,
                                  ImportedText* quotes, std::string* error);

// "day/month/year", "month/day/year" or "year/month/day"; empty for kUndecided.
std::string DateOrderText(DateOrder order);

}  // namespace barvane
