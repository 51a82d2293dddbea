// ImportText: the reading of delimited quote text for Import: the export's own format (space,
// comma or tab between the columns, with or without its title row, oldest or newest first)
// and text whose first line names its columns (Date, Open, High, Low, Close, Volume, OpenInt,
// in any order and letter case). Dates read as MM/DD/YY, MM/DD/YYYY, YYYYMMDD or YYYY-MM-DD.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "data/dates.h"

namespace barvane {

// The value columns a text may hold, in the export's order (open ... open interest).
inline constexpr int kImportColumnCount = 6;

struct ImportedQuote {
  DayNumber day = 0;
  std::array<float, kImportColumnCount> values{};  // 0 where the text has N/A or no column
  std::array<bool, kImportColumnCount> present{};  // a number stands in the column
};

struct ImportedText {
  std::vector<ImportedQuote> quotes;               // oldest first, one a day
  std::array<bool, kImportColumnCount> columns{};  // which columns hold a value on some line
  int lines = 0;                                   // lines of text read, title row included
};

// Reads `text`. Without a title row a line holds the date and 6 values (open to open
// interest), or 1 (close), 4 (open to close) or 5 (open to volume). A value is a decimal
// number or "N/A"; blank lines are passed over. On failure returns false with `*error`
// naming the line ("Line 7: ...") and `*quotes` empty: a date or number that does not read, a
// wrong count of columns, an unknown or repeated column name, two quotes of one day, no
// quote at all.
[[nodiscard]] bool ReadImportText(std::string_view text, ImportedText* quotes, std::string* error);

}  // namespace barvane
