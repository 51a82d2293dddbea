// Chart viewport, scales and pixel columns.
#include "app/chart_geometry.h"

#include <algorithm>
#include <cmath>

namespace barvane {

void ChartViewport::Reset(int bars, double width) {
  bars_ = std::max(bars, 0);
  width_ = std::max(width, 2 * kEndGap + 1);
  barWidth_ = kDefaultBarWidth;
  Clamp();
  leftBar_ = bars_ - BarsAcross();
  Clamp();
}

void ChartViewport::Resize(int bars, double width) {
  // A view that ends at the newest bar keeps ending there.
  const bool atEnd = leftBar_ + BarsAcross() >= bars_;
  bars_ = std::max(bars, 0);
  width_ = std::max(width, 2 * kEndGap + 1);
  Clamp();
  if (atEnd) {
    leftBar_ = bars_ - BarsAcross();
    Clamp();
  }
}

double ChartViewport::FitWidth() const {
  const double fit = bars_ > 0 ? (width_ - 2 * kEndGap) / bars_ : kMaxBarWidth;
  return std::clamp(fit, kMinBarWidth, kMaxBarWidth);
}

void ChartViewport::Clamp() {
  barWidth_ = std::clamp(barWidth_, FitWidth(), kMaxBarWidth);
  const double lastLeft = std::max(0.0, bars_ - BarsAcross());
  leftBar_ = std::clamp(leftBar_, 0.0, lastLeft);
}

int ChartViewport::FirstVisible() const {
  return std::clamp(static_cast<int>(std::floor(leftBar_)), 0, bars_);
}

int ChartViewport::LastVisible() const {
  const int last = static_cast<int>(std::ceil(leftBar_ + BarsAcross())) - 1;
  return std::clamp(last, -1, bars_ - 1);
}

double ChartViewport::XOfBar(int bar) const { return kEndGap + (bar + 0.5 - leftBar_) * barWidth_; }

int ChartViewport::BarAt(double x) const {
  if (bars_ == 0) return -1;
  const double bar = std::floor(leftBar_ + (x - kEndGap) / barWidth_);
  return static_cast<int>(std::clamp(bar, 0.0, static_cast<double>(bars_ - 1)));
}

void ChartViewport::ZoomAt(double factor, double x) {
  const double anchor = leftBar_ + (x - kEndGap) / barWidth_;
  barWidth_ *= factor;
  Clamp();
  leftBar_ = anchor - (x - kEndGap) / barWidth_;
  Clamp();
}

void ChartViewport::Pan(double dx) {
  leftBar_ -= dx / barWidth_;
  Clamp();
}

void ChartViewport::EnsureVisible(int bar) {
  if (bar < 0 || bar >= bars_) return;
  if (bar + 1 < leftBar_ - 1 || bar > leftBar_ + BarsAcross() + 1) {
    leftBar_ = bar + 0.5 - BarsAcross() / 2;
  } else if (bar < leftBar_) {
    leftBar_ = bar;
  } else if (bar + 1 > leftBar_ + BarsAcross()) {
    leftBar_ = bar + 1 - BarsAcross();
  }
  Clamp();
}

double ValueScale::Y(double value) const {
  if (high == low) return (top + bottom) / 2;
  const double share = log ? std::log(value / low) / std::log(high / low) : (value - low) / (high - low);
  return bottom - share * (bottom - top);
}

double ValueScale::ValueAt(double y) const {
  if (top == bottom) return low;
  const double share = (bottom - y) / (bottom - top);
  return log ? low * std::pow(high / low, share) : low + share * (high - low);
}

namespace {

// The prices of one quote as drawn; false for a quote without a close.
bool BarPrices(const QuoteGridRow& row, ChartColumn* bar) {
  const float close = row.values[3];
  if (!Held(close)) return false;
  const float open = Held(row.values[0]) ? row.values[0] : close;
  bar->open = open;
  bar->close = close;
  bar->high = Held(row.values[1]) ? row.values[1] : std::max(open, close);
  bar->low = Held(row.values[2]) ? row.values[2] : std::min(open, close);
  bar->volume = Held(row.values[4]) ? std::max(row.values[4], 0.0f) : 0.0f;
  return true;
}

float Lowest(const ChartColumn& c) { return std::min({c.low, c.open, c.close}); }
float Highest(const ChartColumn& c) { return std::max({c.high, c.open, c.close}); }

}  // namespace

std::vector<ChartColumn> ChartColumns(const std::vector<QuoteGridRow>& rows,
                                      const ChartViewport& viewport) {
  std::vector<ChartColumn> columns;
  const int count = static_cast<int>(rows.size());
  const int first = viewport.FirstVisible();
  const int last = std::min(viewport.LastVisible(), count - 1);
  if (last < first) return columns;
  const bool merge = viewport.barWidth() < 1;
  columns.reserve(merge ? static_cast<std::size_t>(viewport.width()) + 2
                        : static_cast<std::size_t>(last - first + 1));
  long pixel = 0;
  bool open = false;  // the last column may still take bars
  for (int bar = first; bar <= last; ++bar) {
    ChartColumn b;
    if (!BarPrices(rows[static_cast<std::size_t>(BarOfRow(count, bar))], &b)) continue;
    b.firstBar = b.lastBar = bar;
    if (!merge) {
      b.x = viewport.XOfBar(bar);
      columns.push_back(b);
      continue;
    }
    const long at = static_cast<long>(std::floor((bar - viewport.leftBar()) * viewport.barWidth()));
    if (open && at == pixel) {
      ChartColumn& c = columns.back();
      c.lastBar = bar;
      c.close = b.close;
      c.high = std::max(c.high, b.high);
      c.low = std::min(c.low, b.low);
      c.volume += b.volume;
      continue;
    }
    pixel = at;
    open = true;
    b.x = ChartViewport::kEndGap + static_cast<double>(at) + 0.5;
    columns.push_back(b);
  }
  return columns;
}

bool ClosesOnly(const std::vector<QuoteGridRow>& rows) {
  return std::all_of(rows.begin(), rows.end(), [](const QuoteGridRow& row) {
    const float close = row.values[3];
    return std::all_of(row.values.begin(), row.values.begin() + 3,
                       [close](float price) { return !Held(price) || price == close; });
  });
}

ValueScale PriceScaleOf(const std::vector<ChartColumn>& columns, double top, double bottom, bool log) {
  ValueScale scale{0, 1, top, bottom};
  if (columns.empty()) return scale;
  float low = Lowest(columns.front()), high = Highest(columns.front());
  for (const ChartColumn& c : columns) {
    low = std::min(low, Lowest(c));
    high = std::max(high, Highest(c));
  }
  if (log && low > 0) {
    // The same margin, in the logarithm's terms.
    const double lowLog = std::log(static_cast<double>(low)), highLog = std::log(static_cast<double>(high));
    const double margin = highLog > lowLog ? (highLog - lowLog) * 0.05 : 0.05;
    scale.low = std::exp(lowLog - margin);
    scale.high = std::exp(highLog + margin);
    scale.log = true;
    return scale;
  }
  double margin = (static_cast<double>(high) - low) * 0.05;
  if (margin <= 0) margin = std::max(std::fabs(static_cast<double>(high)) * 0.05, 0.0001);
  scale.low = low - margin;
  scale.high = high + margin;
  return scale;
}

ValueScale VolumeScaleOf(const std::vector<ChartColumn>& columns, double top, double bottom) {
  float most = 0;
  for (const ChartColumn& c : columns) most = std::max(most, c.volume);
  return {0, most > 0 ? static_cast<double>(most) : 1.0, top, bottom};
}

std::vector<double> AxisTicks(double low, double high, int maxCount) {
  std::vector<double> ticks;
  if (!(high > low) || maxCount < 1) return ticks;
  const double raw = (high - low) / maxCount;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * power;
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * power >= raw) {
      step = m * power;
      break;
    }
  }
  for (long k = static_cast<long>(std::ceil(low / step)); k * step <= high; ++k) {
    ticks.push_back(static_cast<double>(k) * step);
  }
  return ticks;
}

}  // namespace barvane
