// The chart pane's arithmetic, without a window: which bars of the quote grid are in view at
// what zoom, where a bar, a price or a volume falls in pixels, and how bars narrower than a
// pixel merge into one column, so that drawing costs the pixels across and not the quotes.
// Bars count oldest first: bar 0 is the oldest quote, the last bar is grid row 0.
#pragma once

#include <vector>

#include "app/quote_grid.h"

namespace barvane {

// The grid row of a bar and the bar of a grid row (the same mapping both ways).
inline int BarOfRow(int barCount, int row) { return barCount - 1 - row; }

class ChartViewport {
 public:
  static constexpr double kMaxBarWidth = 40;      // pixels per bar at the closest zoom
  static constexpr double kDefaultBarWidth = 8;   // a readable candle
  static constexpr double kMinBarWidth = 0.002;   // never more than 500 bars to a pixel
  // Pixels kept free between the frame and the series' first or last bar, so that both are
  // drawn whole and apart from the frame.
  static constexpr double kEndGap = 4;

  // A series of `bars` across `width` pixels: the newest bars at the default width; a series
  // too short to fill the pane at that width is shown whole, at most kMaxBarWidth a bar.
  void Reset(int bars, double width);
  // The same series refilled (after an edit) or the pane resized: the zoom stays, the view
  // is kept inside the series.
  void Resize(int bars, double width);

  int bars() const { return bars_; }
  double width() const { return width_; }
  double barWidth() const { return barWidth_; }
  // The bar (fractional) at the left edge of the bars' room (kEndGap inside the pane).
  double leftBar() const { return leftBar_; }

  // The bars at least partly in view, first to last inclusive; last < first when none are.
  int FirstVisible() const;
  int LastVisible() const;
  // The x of a bar's centre.
  double XOfBar(int bar) const;
  // The bar whose slot holds `x`, clipped to the series; -1 for an empty series.
  int BarAt(double x) const;

  // Multiplies the bar width by `factor` within the zoom limits, keeping the bar at `x` at x.
  void ZoomAt(double factor, double x);
  // Moves the bars `dx` pixels to the right (older bars come into view), within the series.
  void Pan(double dx);
  // Brings `bar` wholly into view: a bar next to the view by the least pan (a step of the
  // current quote), one further away into the middle (a jump).
  void EnsureVisible(int bar);

 private:
  double BarsAcross() const { return (width_ - 2 * kEndGap) / barWidth_; }
  // The narrowest bar: the whole series across the pane, within the zoom limits.
  double FitWidth() const;
  void Clamp();

  int bars_ = 0;
  double width_ = 1;
  double barWidth_ = kDefaultBarWidth;
  double leftBar_ = 0;
};

// A scale from values to pixels: `low` at `bottom`, `high` at `top` (top < bottom), linear or,
// with `log` (and low > 0), logarithmic.
struct ValueScale {
  double low = 0, high = 1;
  double top = 0, bottom = 1;
  bool log = false;
  double Y(double value) const;
  double ValueAt(double y) const;
};

// One drawn column: a single bar, or the bars that share a pixel column, merged (open of the
// first, close of the last, the extreme high and low, the volumes summed).
struct ChartColumn {
  int firstBar = 0, lastBar = 0;
  double x = 0;  // the centre
  float open = 0, high = 0, low = 0, close = 0, volume = 0;
};

// The columns of the bars in view, oldest first. A bar without a close is left out; a missing
// open counts as the close, a missing high or low as the higher or lower of open and close, a
// missing volume as 0.
std::vector<ChartColumn> ChartColumns(const std::vector<QuoteGridRow>& rows,
                                      const ChartViewport& viewport);

// True when no quote has an open, high or low other than its close (a series of closes only,
// or one whose other prices merely repeat the close): such a series is drawn as a line through
// its closes, since its candles would be dashes.
bool ClosesOnly(const std::vector<QuoteGridRow>& rows);

// The price scale that holds every column's range between `top` and `bottom`, with a margin
// so that no bar touches either edge; a flat or empty range is opened around its value. `log`
// asks for a logarithmic scale, which only prices all above zero get.
ValueScale PriceScaleOf(const std::vector<ChartColumn>& columns, double top, double bottom, bool log = false);
// The volume scale from 0 at `bottom` to the largest column volume at `top`.
ValueScale VolumeScaleOf(const std::vector<ChartColumn>& columns, double top, double bottom);

// Round values (1, 2 or 5 times a power of ten apart) inside low..high, at most about
// `maxCount` of them, ascending; none for an empty or inverted range.
std::vector<double> AxisTicks(double low, double high, int maxCount);

}  // namespace barvane
