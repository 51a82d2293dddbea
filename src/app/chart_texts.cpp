// The chart's axis labels, readout lines and log-scale refusal.
#include "app/chart_texts.h"

#include <algorithm>
#include <cmath>

namespace barvane {
namespace {

constexpr std::array<const char*, 6> kReadoutNames = {"Open", "High", "Low", "Close", "Volume", "OI"};
constexpr std::size_t kPrices = 4;  // the first four quantities are prices

// Minutes are enough for bars on whole minutes; seconds only where a bar has them.
std::string AxisTime(DaySeconds seconds) {
  std::string text = TimeText(seconds);
  if (text.ends_with(":00")) text.resize(text.size() - 3);
  return text;
}

std::string Figure(std::size_t quantity, float value) {
  return std::string(kReadoutNames[quantity]) + ' ' + (quantity < kPrices ? PriceText(value) : CountText(value));
}

}  // namespace

std::vector<AxisLabel> TimeAxisLabels(const QuoteGrid& grid, const ChartViewport& viewport, double labelWidth) {
  std::vector<AxisLabel> labels;
  const int count = static_cast<int>(grid.rows.size());
  if (count == 0 || viewport.barWidth() <= 0) return labels;
  const int stride = std::max(1, static_cast<int>(std::ceil(labelWidth / viewport.barWidth())));
  const int first = (viewport.FirstVisible() + stride - 1) / stride * stride;
  const int last = std::min(viewport.LastVisible(), count - 1);
  const bool fourDigits = grid.style.fourDigitYears;
  bool dayShared = false;  // two labels fall on one day
  DayNumber before = kNoDate;
  for (int bar = first; bar <= last; bar += stride) {
    const QuoteGridRow& row = grid.rows[static_cast<std::size_t>(BarOfRow(count, bar))];
    AxisLabel label{bar, {}, {}};
    if (!grid.style.times || labels.empty() || row.day != before) {
      label.date = DateText(row.day, fourDigits);
    } else {
      dayShared = true;
    }
    if (grid.style.times) label.time = AxisTime(row.time);
    before = row.day;
    labels.push_back(std::move(label));
  }
  if (grid.style.times && !dayShared && labels.size() > 1) {
    for (AxisLabel& label : labels) label.time.clear();
  }
  return labels;
}

AxisLabel WidestAxisLabel(const QuoteGrid& grid) {
  return {0, grid.style.times ? TimeText(0) : "", DateText(kNoDate, grid.style.fourDigitYears)};
}

std::vector<std::string> ReadoutFigures(const QuoteGridRow& row, const QuoteGrid& grid) {
  std::vector<std::string> figures = {QuoteMomentText(row, grid.style)};
  for (std::size_t q = 0; q < row.values.size(); ++q) {
    if (grid.held[q]) figures.push_back(Figure(q, row.values[q]));
  }
  return figures;
}

std::vector<std::string> WidestReadoutFigures(const QuoteGrid& grid) {
  // Digits are as wide as each other in every screen font: the value of the most digits, with
  // a sign when any is negative, is as wide as a figure gets (bar the odd extra decimal).
  std::array<float, 6> most{};
  std::array<bool, 6> negative{};
  for (const QuoteGridRow& row : grid.rows) {
    for (std::size_t q = 0; q < row.values.size(); ++q) {
      if (!Held(row.values[q])) continue;
      most[q] = std::max(most[q], std::fabs(row.values[q]));
      negative[q] = negative[q] || row.values[q] < 0;
    }
  }
  QuoteGridRow widest;
  if (!grid.rows.empty()) widest = grid.rows.front();
  for (std::size_t q = 0; q < widest.values.size(); ++q) widest.values[q] = negative[q] ? -most[q] : most[q];
  return ReadoutFigures(widest, grid);
}

std::vector<std::size_t> ReadoutLineStarts(const std::vector<double>& widths, double gap, double lineWidth) {
  std::vector<std::size_t> starts;
  double used = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (starts.empty() || used + gap + widths[i] > lineWidth) {
      starts.push_back(i);
      used = widths[i];
    } else {
      used += gap + widths[i];
    }
  }
  return starts;
}

std::string LogScaleRefusal(const QuoteGrid& grid) {
  const QuoteGridRow* lowestRow = nullptr;
  float lowest = 0;
  for (const QuoteGridRow& row : grid.rows) {
    for (std::size_t q = 0; q < kPrices; ++q) {
      const float value = row.values[q];
      if (Held(value) && value <= 0 && (lowestRow == nullptr || value < lowest)) {
        lowest = value;
        lowestRow = &row;
      }
    }
  }
  if (lowestRow == nullptr) return "";
  return "No log scale: a price at or below zero (" + PriceText(lowest) + " on " +
         QuoteMomentText(*lowestRow, grid.style) + ")";
}

}  // namespace barvane
