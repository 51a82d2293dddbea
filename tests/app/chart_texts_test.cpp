// The chart's words: intraday axis labels, the readout's figures and lines, the log scale's
// refusal.
#include "app/chart_texts.h"

#include <gtest/gtest.h>

#include <cmath>

namespace barvane {
namespace {

// Three days of twelve half-hour bars from 10:00, newest first, as the grid holds them.
QuoteGrid Intraday() {
  QuoteGrid grid;
  grid.style.times = true;
  for (int day = 3; day >= 1; --day) {
    for (int bar = 11; bar >= 0; --bar) {
      grid.rows.push_back({YmdToDay(2012, 3, 14 + day), {1, 2, 0.5f, 1, 100, NAN}, HmsToSeconds(10, 30 * bar, 0)});
    }
  }
  return grid;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Texts(const std::vector<AxisLabel>& labels) {
  Pairs texts;
  for (const AxisLabel& label : labels) texts.emplace_back(label.time, label.date);
  return texts;
}

TEST(TimeAxisLabels, AnIntradayAxisShowsTimesAndTheDateWhereTheDayChanges) {
  const QuoteGrid grid = Intraday();
  ChartViewport v;
  v.Reset(36, 296);  // 8 pixels a bar
  EXPECT_EQ(Texts(TimeAxisLabels(grid, v, 70)),  // a label every 9 bars
            (Pairs{{"10:00", "03/15/12"}, {"14:30", ""}, {"13:00", "03/16/12"}, {"11:30", "03/17/12"}}));
  // Zoomed out until every label has a day of its own: dates alone.
  EXPECT_EQ(Texts(TimeAxisLabels(grid, v, 100)), (Pairs{{"", "03/15/12"}, {"", "03/16/12"}, {"", "03/17/12"}}));
  // A daily series: dates only, on every label.
  QuoteGrid daily = grid;
  daily.style.times = false;
  for (const AxisLabel& label : TimeAxisLabels(daily, v, 70)) EXPECT_TRUE(label.time.empty() && !label.date.empty());
  EXPECT_EQ(WidestAxisLabel(grid).time, "00:00:00");
}

TEST(Readout, FiguresOfWhatTheSeriesHoldsInLinesAndTheLogScalesRefusalOfThem) {
  QuoteGrid grid = Intraday();
  grid.held = {true, true, true, true, true, true};
  grid.rows[0].values[5] = 310;
  EXPECT_EQ(ReadoutFigures(grid.rows[0], grid),
            (std::vector<std::string>{"03/17/12 15:30:00", "Open 1.0000", "High 2.0000", "Low 0.5000", "Close 1.0000",
                                      "Volume 100", "OI 310"}));
  grid.held = {false, false, false, true, false, false};
  grid.rows[5].values[3] = -12.25f;
  EXPECT_EQ(WidestReadoutFigures(grid), (std::vector<std::string>{"03/17/12 15:30:00", "Close -12.2500"}));

  const std::vector<double> widths = {50, 30, 30, 40};
  const std::pair<double, std::vector<std::size_t>> cases[] = {
      {200, {0}}, {165, {0}}, {164, {0, 3}}, {85, {0, 2}}, {84, {0, 1, 3}}, {40, {0, 1, 2, 3}}, {10, {0, 1, 2, 3}}};
  for (const auto& [lineWidth, starts] : cases) EXPECT_EQ(ReadoutLineStarts(widths, 5, lineWidth), starts) << lineWidth;
  EXPECT_TRUE(ReadoutLineStarts({}, 5, 100).empty());

  // The log scale's refusal names the lowest price at or below zero.
  grid = Intraday();
  EXPECT_EQ(LogScaleRefusal(grid), "");
  grid.rows[30].values[4] = 0;  // a volume of 0 is no price
  EXPECT_EQ(LogScaleRefusal(grid), "");
  grid.rows[20].values[3] = 0;
  grid.rows[30].values[2] = -2.5f;
  EXPECT_EQ(LogScaleRefusal(grid),
            "No log scale: a price at or below zero (-2.5000 on 03/15/12 12:30:00)");
}

}  // namespace
}  // namespace barvane
