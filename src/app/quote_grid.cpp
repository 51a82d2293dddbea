// Reading the quote grid newest first in windows of 400 quotes.
#include "app/quote_grid.h"

#include <algorithm>
#include <limits>

#include "data/number_text.h"
#include "data/quote_series.h"

namespace barvane {
namespace {

constexpr int kRowsPerProgressStep = 10;
constexpr std::int32_t kRowsOfFirstScreen = 30;

std::string NumberText(float value, int minDecimals) {
  return Held(value) ? FloatText(value, minDecimals) : "N/A";
}

// The day of quote `first`, or kNoDate when it cannot be read.
DayNumber DayOfQuote(FileSystem& fs, const std::string& dir, const std::string& symbol,
                     std::int32_t first) {
  QuoteSeries one;
  if (AllocSeries(&one, 1) != kSuccess) return kNoDate;
  const bool read = LoadSeries(fs, &one, dir, symbol, first, 1) == kSuccess && one.count == 1;
  return read ? one.date(0) : kNoDate;
}

}  // namespace

std::string PriceText(float value) { return NumberText(value, 4); }
std::string CountText(float value) { return NumberText(value, 0); }

std::vector<QuoteColumn> QuoteColumns(DateStyle style) {
  std::vector<QuoteColumn> columns;
  for (int c = 0; c < kQuoteColumnKinds; ++c) {
    if (c != kQuoteTimeColumn || style.times) columns.push_back(static_cast<QuoteColumn>(c));
  }
  return columns;
}

std::string QuoteCellText(const QuoteGridRow& row, QuoteColumn column, DateStyle style) {
  if (column == kQuoteDateColumn) return DateText(row.day, style.fourDigitYears);
  if (column == kQuoteTimeColumn) return TimeText(row.time);
  const float value = row.values[static_cast<std::size_t>(column - kQuoteOpenColumn)];
  return column <= kQuoteCloseColumn ? PriceText(value) : CountText(value);
}

std::vector<std::string> QuoteRowTexts(const QuoteGridRow& row, DateStyle style) {
  std::vector<std::string> texts;
  for (QuoteColumn c : QuoteColumns(style)) texts.push_back(QuoteCellText(row, c, style));
  return texts;
}

bool FillQuoteGrid(FileSystem& fs, const std::string& dir, const std::string& symbol, Ui& ui,
                   QuoteGrid* grid) {
  *grid = QuoteGrid{};
  QuoteSeries series;
  if (LoadSeries(fs, &series, dir, symbol, 0, 0) != kSuccess) {
    ui.ShowMessage(kQuoteGridErrorText);
    return false;
  }
  grid->quoteCount = std::min(series.quotesInFile, series.quotesPresent);
  std::array<bool, 6>& held = grid->held;
  for (int k = 0; k < 6; ++k) held[static_cast<std::size_t>(k)] = series.info->holds(kOpen + k);
  grid->timed = series.info->holds(kTime);
  grid->style.times = grid->timed;
  if (AllocSeries(&series, kQuoteGridWindow) != kSuccess) {
    ui.ShowMessage(kQuoteGridNoBufferText);
    return false;
  }
  grid->rows.reserve(static_cast<std::size_t>(grid->quoteCount));
  bool twoDigits = true;
  ui.BeginProgress(grid->quoteCount - 1);
  std::int32_t row = 0;
  int tick = 0;
  while (row != grid->quoteCount) {
    const std::int32_t chunk = std::min(grid->quoteCount - row, kQuoteGridWindow);
    const std::int32_t start = grid->quoteCount - row - chunk;
    if (LoadSeries(fs, &series, dir, symbol, start, chunk) != kSuccess ||
        series.count != static_cast<std::uint32_t>(chunk)) {
      ui.ShowMessage(kQuoteGridErrorText);
      break;
    }
    for (std::uint32_t j = series.count; j-- > 0; ++row) {
      QuoteGridRow r;
      r.day = series.date(j);
      r.time = series.time(j);
      twoDigits = twoDigits && ShowsTwoDigitYear(r.day);
      for (std::size_t k = 0; k < 6; ++k) {
        r.values[k] = held[k] ? series.value(kOpen + static_cast<int>(k), j) : std::numeric_limits<float>::quiet_NaN();
      }
      grid->rows.push_back(r);
      if (++tick == kRowsPerProgressStep) {
        ui.StepProgress();
        tick = 0;
      }
      if (row + 1 == kRowsOfFirstScreen) ui.RepaintNow();
    }
  }
  ui.EndProgress();
  grid->style.fourDigitYears = !twoDigits;
  const bool any = grid->quoteCount > 0;
  grid->firstDateText = DateText(any ? DayOfQuote(fs, dir, symbol, 0) : kNoDate, !twoDigits);
  grid->lastDateText =
      DateText(any ? DayOfQuote(fs, dir, symbol, grid->quoteCount - 1) : kNoDate, !twoDigits);
  return true;
}

}  // namespace barvane
