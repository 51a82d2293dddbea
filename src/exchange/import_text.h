// ImportText: the reading of quote text for Import, as people download it: the export's own
// format, and the files of the common sources (a title row naming the columns in their words,
// or one of the usual shapes without it), in their encodings, with the title lines above and
// the source line below the quotes that downloads carry. The reader never guesses: what the
// file cannot decide (the columns of a shape without a title row, the order of day and month,
// the decimal mark) is refused with a message that says how to decide it, and a reading under
// which more than 1 row in 100 fails the bar check is refused, since it misreads the columns.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "data/dates.h"
#include "exchange/import_cells.h"
#include "exchange/text_decoding.h"

namespace barvane {

// The value columns a text may hold, in the export's order (open ... open interest).
inline constexpr int kImportColumnCount = 6;
// The dates a quote file's date field holds exactly (its value YYYMMDD counts years from 1900).
inline constexpr int kImportFirstYear = 1900;
inline constexpr int kImportLastYear = 3577;

struct ImportOptions {
  DateOrder dates = DateOrder::kUndecided;  // the order of day and month when the file cannot tell
  bool adjusted = false;  // the adjusted close as Close, open, high and low scaled with it
  std::string encoding;   // one of ImportEncodingNames(); empty: decided from the bytes
};

struct ImportedQuote {
  DayNumber day = 0;
  int seconds = 0;  // the time of day, for an intraday text
  std::array<float, kImportColumnCount> values{};  // 0 where the text has N/A or no column
  std::array<bool, kImportColumnCount> present{};  // a number stands in the column
  int ticker = 0;  // its index in ImportedText::tickers
  int line = 0;    // the line of the text it stands on
};

// The first and last lines of the table, cell by cell, under the field each column goes to.
struct ImportPreview {
  std::vector<std::string> fields;  // "Date", "Time", "Open", ..., "Ticker", "left out"
  std::vector<int> lines;
  std::vector<std::vector<std::string>> rows;
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
  std::string orderReason;  // who decided the order: "chosen", or the date and line that tell
  // The tickers the rows name, in the order they first appear (quotes are grouped by ticker,
  // each group oldest first), and the issue name each row names for it; empty without a
  // ticker column.
  std::vector<std::string> tickers;
  std::vector<std::string> names;
  std::string encoding;  // the encoding the bytes were read in
  // What was decided and passed over, one line each: a proposed encoding, the lines above and
  // below the quotes, the rows without prices, the rows filled from their close, the rows that
  // fail the bar check.
  std::vector<std::string> notes;
  ImportPreview preview;  // also after a refusal, as far as the text was read
};

// Reads `text` (bytes in any encoding DecodeImportText reads): cells are separated by tabs,
// semicolons, commas or runs of blanks, whichever splits the most lines into one number of
// cells; a cell may stand in double quotes; line ends are LF or CR LF; blank lines are passed
// over, and so are lines of another width without a date above and below the quotes. A row
// whose price cells are all empty, "-", "null", "NaN" or "N/A" is skipped; an empty or "-"
// volume or open interest is 0; a row with a close alone takes it as its open, high and low.
// The columns go by their titles, else by their cells: a shape without a title row is taken
// only when it is the one under which 99 rows in 100 hold the bar check (low <= open, close
// <= high, low <= high, not every price zero, dates in one order). On failure returns false
// with `*error` naming the line ("Line 7: ...") and `quotes->quotes` empty.
[[nodiscard]] bool ReadImportText(std::string_view text, const ImportOptions& options,
                                  ImportedText* quotes, std::string* error);

// "day/month/year", "month/day/year" or "year/month/day"; empty for kUndecided.
std::string DateOrderText(DateOrder order);

}  // namespace barvane
