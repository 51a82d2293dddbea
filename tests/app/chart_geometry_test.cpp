// The chart's arithmetic: the bars in view at each zoom and pan, pixels to bars and back, the
// merged columns of a long series and the scales and ticks of the axes.
#include "app/chart_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace barvane {
namespace {

// `count` quotes newest first, the close of bar i being i + 1 (grid row 0 the highest).
std::vector<QuoteGridRow> Rising(int count) {
  std::vector<QuoteGridRow> rows;
  for (int bar = count - 1; bar >= 0; --bar) {
    const float c = static_cast<float>(bar + 1);
    rows.push_back({bar + 1, {c, c + 0.5f, c - 0.5f, c, 100.0f, -1.0f}});
  }
  return rows;
}

// The bars in view, "first-last".
std::string InView(const ChartViewport& v) { return std::to_string(v.FirstVisible()) + "-" + std::to_string(v.LastVisible()); }

// A column as "first-last at x: open high low close volume".
std::string Text(const ChartColumn& c) {
  std::ostringstream out;
  out << c.firstBar << "-" << c.lastBar << " at " << c.x << ": " << c.open << " " << c.high << " " << c.low << " " << c.close << " " << c.volume;
  return out.str();
}

TEST(ChartViewport, NewSeriesShowsTheNewestBarsAtTheDefaultWidthAndBarAtClipsToTheSeries) {
  ChartViewport v;
  v.Reset(1000, 800);
  EXPECT_EQ(v.barWidth(), ChartViewport::kDefaultBarWidth);
  EXPECT_EQ(InView(v), "901-999");
  EXPECT_DOUBLE_EQ(v.XOfBar(999), 792);  // whole, and apart from the frame
  // A short series is shown whole, as wide as the closest zoom allows.
  v.Reset(10, 800);
  EXPECT_EQ(v.barWidth(), ChartViewport::kMaxBarWidth);
  EXPECT_EQ(InView(v), "0-9");
  EXPECT_DOUBLE_EQ(v.XOfBar(0), 24);
  v.Reset(50, 800);
  EXPECT_DOUBLE_EQ(v.barWidth(), 792.0 / 50);
  EXPECT_EQ(v.LastVisible(), 49);
  // Nothing to show.
  v.Reset(0, 800);
  EXPECT_LT(v.LastVisible(), v.FirstVisible());
  EXPECT_EQ(v.BarAt(10), -1);

  // The bar at a pixel is the slot under it, clipped to the series.
  v.Reset(1000, 800);  // bar 901 spans 4..12
  const std::pair<double, int> cases[] = {{4, 901}, {11.99, 901}, {12, 902}, {795.9, 999},
                                          {1e6, 999}, {0, 900}, {-1e6, 0}};
  for (const auto& [x, bar] : cases) EXPECT_EQ(v.BarAt(x), bar) << x;
  for (int bar : {901, 950, 999}) EXPECT_EQ(v.BarAt(v.XOfBar(bar)), bar);
}

TEST(ChartViewport, ZoomKeepsTheBarUnderTheCursorAndStopsAtItsLimits) {
  ChartViewport v;
  v.Reset(65000, 650);
  const double x = v.XOfBar(64950);
  v.ZoomAt(2, x);
  EXPECT_EQ(v.barWidth(), 16);
  EXPECT_EQ(v.BarAt(x), 64950);
  v.ZoomAt(1000, x);
  EXPECT_EQ(v.barWidth(), ChartViewport::kMaxBarWidth);
  EXPECT_EQ(v.BarAt(x), 64950);
  // Out as far as it goes: the whole series across the pane, and no further.
  v.ZoomAt(1e-9, 300);
  EXPECT_DOUBLE_EQ(v.barWidth(), 642.0 / 65000);
  EXPECT_EQ(InView(v), "0-64999");
  // A few bars never grow wider than the closest zoom.
  v.Reset(3, 650);
  v.ZoomAt(100, 0);
  EXPECT_EQ(v.barWidth(), ChartViewport::kMaxBarWidth);
}

TEST(ChartViewport, PanAndEnsureVisibleStayInsideTheSeries) {
  ChartViewport v;
  v.Reset(1000, 800);
  v.Pan(80);  // dragged right: ten older bars
  EXPECT_EQ(InView(v), "891-989");
  v.Pan(-1e6);
  EXPECT_EQ(v.LastVisible(), 999);
  v.Pan(1e6);
  EXPECT_EQ(InView(v), "0-98");
  // Already in view: nothing moves; beyond either edge: the least pan that shows it.
  v.EnsureVisible(50);
  EXPECT_EQ(v.FirstVisible(), 0);
  v.EnsureVisible(100);
  EXPECT_EQ(InView(v), "2-100");
  v.EnsureVisible(0);
  EXPECT_EQ(v.FirstVisible(), 0);
  v.EnsureVisible(1000);  // outside the series: ignored
  EXPECT_EQ(v.FirstVisible(), 0);
  // A jump puts the bar in the middle, as far as the series allows.
  v.EnsureVisible(500);
  EXPECT_DOUBLE_EQ(v.XOfBar(500), 400);
  v.EnsureVisible(998);
  EXPECT_EQ(v.LastVisible(), 999);
  v.EnsureVisible(899);  // the bar beyond the left edge: a step
  EXPECT_EQ(v.FirstVisible(), 899);
  v.EnsureVisible(896);  // further: a jump
  EXPECT_DOUBLE_EQ(v.XOfBar(896), 400);
  // A refill with one quote fewer keeps the zoom and the place; a view at the newest bar stays
  // there through a narrower pane.
  const int first = v.FirstVisible();
  v.Resize(999, 800);
  EXPECT_EQ(v.barWidth(), ChartViewport::kDefaultBarWidth);
  EXPECT_EQ(v.FirstVisible(), first);
  v.EnsureVisible(998);
  v.Resize(999, 400);
  EXPECT_DOUBLE_EQ(v.XOfBar(998), 392);
}

TEST(ChartColumns, WideBarsAreOneColumnEachNarrowOnesMergeAndMissingValuesComeFromTheClose) {
  const auto rows = Rising(20);
  ChartViewport v;
  v.Reset(20, 800);
  const auto columns = ChartColumns(rows, v);
  ASSERT_EQ(columns.size(), 20u);
  EXPECT_EQ(Text(columns.front()), "0-0 at 23.8: 1 1.5 0.5 1 100");
  EXPECT_EQ(Text(columns.back()), "19-19 at 776.2: 20 20.5 19.5 20 100");
  EXPECT_DOUBLE_EQ(columns[3].x, v.XOfBar(3));

  // Narrow bars merge into one column a pixel.
  const auto many = Rising(65000);
  v.Reset(65000, 658);
  v.ZoomAt(1e-9, 0);  // 100 bars to a pixel
  const auto merged = ChartColumns(many, v);
  ASSERT_EQ(merged.size(), 650u);
  EXPECT_EQ(Text(merged[1]), "100-199 at 5.5: 101 200.5 100.5 200 10000");
  EXPECT_EQ(merged.back().lastBar, 64999);

  // Missing values are filled from the close; quotes without one are left out.
  const float na = std::nanf("");
  const std::vector<QuoteGridRow> gaps = {
      {3, {na, na, na, 10, na, na}},  // close only
      {2, {1, 2, 0.5f, na, 7, na}},   // no close
      {1, {4, na, na, 2, 9, na}}};    // open and close
  v.Reset(3, 300);
  const auto filled = ChartColumns(gaps, v);
  ASSERT_EQ(filled.size(), 2u);
  EXPECT_EQ(Text(filled[0]), "0-0 at 24: 4 4 2 2 9");
  EXPECT_EQ(Text(filled[1]), "2-2 at 104: 10 10 10 10 0");
  // Closes with no other price, or others equal to the close, draw as a line.
  EXPECT_FALSE(ClosesOnly(gaps));
  EXPECT_TRUE(ClosesOnly({gaps[0], {1, {2, 2, na, 2, 9, na}}}));
}

void ExpectTicks(const std::vector<double>& ticks, const std::vector<double>& expected) {
  ASSERT_EQ(ticks.size(), expected.size());
  for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], expected[i], 1e-12) << i;
}

TEST(ChartScales, PricesFitWithAMarginVolumesStartAtZeroLogScalesNeedPositivePricesAndTicksAreRound) {
  std::vector<ChartColumn> columns(2);
  columns[0] = {0, 0, 0, 10, 12, 8, 11, 500};
  columns[1] = {1, 1, 0, 11, 11.5f, 10, 13, 1500};  // a close above the high counts
  const ValueScale price = PriceScaleOf(columns, 10, 110);
  EXPECT_DOUBLE_EQ(price.low, 7.75);
  EXPECT_DOUBLE_EQ(price.high, 13.25);
  EXPECT_DOUBLE_EQ(price.Y(price.low), 110);
  EXPECT_DOUBLE_EQ(price.Y(price.high), 10);
  EXPECT_DOUBLE_EQ(price.ValueAt(price.Y(9.3)), 9.3);
  const ValueScale volume = VolumeScaleOf(columns, 200, 300);
  EXPECT_EQ(volume.low, 0);
  EXPECT_EQ(volume.high, 1500);
  EXPECT_DOUBLE_EQ(volume.Y(750), 250);
  // A flat series opens around its price; no columns at all still give a usable scale.
  const ValueScale flat = PriceScaleOf({{0, 0, 0, 2, 2, 2, 2, 0}}, 0, 100);
  EXPECT_LT(flat.low, 2);
  EXPECT_GT(flat.high, 2);
  EXPECT_DOUBLE_EQ(flat.Y(2), 50);
  EXPECT_EQ(VolumeScaleOf({}, 0, 100).high, 1);
  EXPECT_EQ(PriceScaleOf({}, 0, 100).Y(0), 100);

  // A log scale gives equal ratios equal room, and only to positive prices.
  columns[0] = {0, 0, 0, 1, 1, 1, 1, 0};
  columns[1] = {1, 1, 0, 100, 100, 100, 100, 0};
  const ValueScale logScale = PriceScaleOf(columns, 0, 100, true);
  ASSERT_TRUE(logScale.log);
  EXPECT_NEAR(logScale.Y(10) - logScale.Y(100), logScale.Y(1) - logScale.Y(10), 1e-9);
  EXPECT_NEAR(logScale.Y(logScale.low), 100, 1e-9);
  EXPECT_NEAR(logScale.ValueAt(logScale.Y(37.5)), 37.5, 1e-9);
  EXPECT_LT(logScale.low, 1);
  EXPECT_GT(logScale.high, 100);
  // A price at or below zero (back-adjusted) keeps the linear scale.
  columns[0].low = -2;
  EXPECT_FALSE(PriceScaleOf(columns, 0, 100, true).log);
  columns[0].low = 0;
  EXPECT_FALSE(PriceScaleOf(columns, 0, 100, true).log);

  // Axis ticks are round steps inside the range.
  ExpectTicks(AxisTicks(0, 10, 5), {0, 2, 4, 6, 8, 10});
  ExpectTicks(AxisTicks(0.013, 0.047, 4), {0.02, 0.03, 0.04});
  ExpectTicks(AxisTicks(95, 460, 4), {100, 200, 300, 400});
  EXPECT_TRUE(AxisTicks(5, 5, 4).empty());
  EXPECT_TRUE(AxisTicks(6, 5, 4).empty());
  EXPECT_TRUE(AxisTicks(0, 1, 0).empty());
}

}  // namespace
}  // namespace barvane
