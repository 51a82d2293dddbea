// The chart's words, without a window: the labels under its time axis (times of day for a
// series with times, with the date where the day changes), the readout of one quote broken
// into lines without cutting a figure, and why a series cannot have a log scale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/chart_geometry.h"
#include "app/quote_grid.h"

namespace barvane {

// One label under the time axis.
struct AxisLabel {
  int bar = 0;
  std::string time;  // the bar's time of day ("09:35"), for a series with times
  std::string date;  // the bar's date: always for a daily series, else where the day changes
};

// The labels of the bars in view of `grid`: every stride-th bar counted from bar 0, so that a
// label stays on its bar while panning, the stride being the fewest bars wider than
// `labelWidth` pixels. A series with times has a time on every label and a date on the first
// one in view and on each whose day differs from the label before; once every label falls on
// a day of its own the times are left out.
std::vector<AxisLabel> TimeAxisLabels(const QuoteGrid& grid, const ChartViewport& viewport, double labelWidth);
// The widest texts a label of `grid` may have, to measure `labelWidth` by: its time and date.
AxisLabel WidestAxisLabel(const QuoteGrid& grid);

// The readout of `row`: its date (and time), then each quantity the series holds, named
// ("Open 12.5000", ..., "Volume 1200", "OI 310").
std::vector<std::string> ReadoutFigures(const QuoteGridRow& row, const QuoteGrid& grid);
// The same figures at the widest they reach in practice, for the room the readout keeps.
std::vector<std::string> WidestReadoutFigures(const QuoteGrid& grid);
// Greedy lines of figures `widths` wide, `gap` apart, in lines `lineWidth` wide: the index of
// the first figure of each line. A figure never breaks; one wider than a line has a line of
// its own.
std::vector<std::size_t> ReadoutLineStarts(const std::vector<double>& widths, double gap, double lineWidth);

// Why `grid` cannot be drawn on a log scale ("" when it can): a price at or below zero, the
// lowest named with its date.
std::string LogScaleRefusal(const QuoteGrid& grid);

}  // namespace barvane
