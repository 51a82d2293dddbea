// Reading the quote grid newest first in windows of 400 quotes.
#include "app/quote_grid.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "data/quote_series.h"

namespace barvane {
namespace {

constexpr int kRowsPerProgressStep = 10;
constexpr std::int32_t kRowsOfFirstScreen = 30;

std::string NumberText(const char* format, float value) {
  if (!Held(value)) return "N/A";
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<double>(value));
  return text;
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

std::string PriceText(float value) { return NumberText("%.4f", value); }
std::string CountText(float value) { return NumberText("%.0f", value); }

std::string QuoteCellText(const QuoteGridRow& row, int column) {
  if (column == 0) return ScreenDate(row.day);
  const float value = row.values[static_cast<std::size_t>(column - 1)];
  return column <= 4 ? PriceText(value) : CountText(value);
}

std::array<std::string, kQuoteColumnCount> QuoteRowTexts(const QuoteGridRow& row) {
  std::array<std::string, kQuoteColumnCount> texts;
  for (int c = 0; c < kQuoteColumnCount; ++c) texts[static_cast<std::size_t>(c)] = QuoteCellText(row, c);
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
  if (AllocSeries(&series, kQuoteGridWindow) != kSuccess) {
    ui.ShowMessage(kQuoteGridNoBufferText);
    return false;
  }
  grid->rows.reserve(static_cast<std::size_t>(grid->quoteCount));
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
  const bool any = grid->quoteCount > 0;
  grid->firstDateText = ScreenDate(any ? DayOfQuote(fs, dir, symbol, 0) : kNoDate);
  grid->lastDateText = ScreenDate(any ? DayOfQuote(fs, dir, symbol, grid->quoteCount - 1) : kNoDate);
  return true;
}

}  // namespace barvane
