// The quote grid as data: every quote of a series newest first, read the way the grid reads it
// (the count, then windows of 400 from the newest end), and the texts of its columns.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ui.h"
#include "data/dates.h"
#include "data/fs.h"

namespace barvane {

// Every column a quote grid can have; Time only for a series whose layout holds TIME.
enum QuoteColumn : int {
  kQuoteDateColumn,
  kQuoteTimeColumn,
  kQuoteOpenColumn,
  kQuoteHighColumn,
  kQuoteLowColumn,
  kQuoteCloseColumn,
  kQuoteVolumeColumn,
  kQuoteOpenInterestColumn,
  kQuoteColumnKinds
};
inline constexpr std::array<const char*, kQuoteColumnKinds> kQuoteColumnHeadings = {
    "Date", "Time", "Open", "High", "Low", "Close", "Volume", "Open Interest"};
inline constexpr std::int32_t kQuoteGridWindow = 400;
inline constexpr const char* kQuoteGridErrorText = "Error in FillQuotesGrid";
inline constexpr const char* kQuoteGridNoBufferText = "Too many bars";

struct QuoteGridRow {
  DayNumber day = 0;
  // Open, high, low, close, volume, open interest; NaN for a quantity the series does not hold
  // (a held value may be negative: back-adjusted futures have negative prices).
  std::array<float, 6> values{};
  DaySeconds time = 0;  // 0 for a series without times
};

inline bool Held(float value) { return value == value; }

struct QuoteGrid {
  std::vector<QuoteGridRow> rows;  // row 0 is the newest quote
  std::int32_t quoteCount = 0;     // the quotes the file holds, as counted before reading
  DateStyle style;                 // how the series shows its dates and times
  std::string firstDateText;       // of the oldest quote, in `style` ("00/00/00" when none)
  std::string lastDateText;        // of the newest
  std::array<bool, 6> held{};      // which of the six quantities the series holds
  bool timed = false;              // the series' quotes carry a time of day
};

// A price with at least four decimals and every further one its float needs (FloatText);
// "N/A" for a quantity not held.
std::string PriceText(float value);
// A volume or open interest as the shortest whole number that reads back as its float (decimals
// only when it has a fraction); "N/A" for a quantity not held.
std::string CountText(float value);
// The grid's columns in their order.
std::vector<QuoteColumn> QuoteColumns(DateStyle style);
// The text of one column of a row.
std::string QuoteCellText(const QuoteGridRow& row, QuoteColumn column, DateStyle style);
// The texts of a row, one for each of the grid's columns.
std::vector<std::string> QuoteRowTexts(const QuoteGridRow& row, DateStyle style);
// The text that names the row's quote: its date, and its time for a series with times.
inline std::string QuoteMomentText(const QuoteGridRow& row, DateStyle style) {
  return MomentText(row.day, row.time, style);
}

// Reads every quote of `symbol` found from `dir`, and chooses the style of its dates from
// every quote's day and the TIME of its layout. When the count cannot be read, tells `ui`
// kQuoteGridErrorText and returns false with an empty grid; when a window cannot be read,
// tells `ui` the same and keeps the rows read so far. A header promising more quotes than the
// file holds gives the quotes it holds. Reads only.
[[nodiscard]] bool FillQuoteGrid(FileSystem& fs, const std::string& dir, const std::string& symbol,
                                 Ui& ui, QuoteGrid* grid);

}  // namespace barvane
