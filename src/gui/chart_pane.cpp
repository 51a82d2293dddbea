// The chart pane: painting and the mouse and keys.
#include "gui/chart_pane.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "app/chart_texts.h"
#include "gui/qt_text.h"

using namespace barvane;

namespace {

constexpr double kZoomStep = 1.25;     // one notch of the wheel, one + or -
constexpr int kDragThreshold = 4;      // pixels before a press becomes a drag
constexpr double kVolumeShare = 0.22;  // of the bar area's height, at the bottom
constexpr int kGap = 6;

const QColor kRising(0, 140, 70);
const QColor kFalling(205, 40, 40);
const QColor kVolumeBar(120, 140, 175);
const QColor kCloseLine(30, 80, 160);
const QColor kGridLine(228, 228, 228);
const QColor kCandidate(235, 125, 0);
const QColor kProblem(160, 30, 200);  // apart from the rising and falling colours
constexpr int kSignHalfWidth = 5;     // of a problem's triangle
const QString kFigureGap = QStringLiteral("   ");

// A problem's sign: a triangle pointing down at the bar, its top edge at `top`.
void PaintProblemSign(QPainter& painter, int x, int top) {
  const QPoint points[] = {{x - kSignHalfWidth, top}, {x + kSignHalfWidth, top}, {x, top + 2 * kSignHalfWidth - 1}};
  painter.setPen(kProblem);
  painter.setBrush(kProblem);
  painter.drawPolygon(points, 3);
}

QColor Veil(const QColor& base) {
  QColor veil = base;
  veil.setAlpha(210);
  return veil;
}

int Decimals(double step) {
  if (step >= 1) return 0;
  return std::min(4, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

}  // namespace

CChartPane::CChartPane(const ViewState& state, QTableView* grid, QWidget* parent)
    : QWidget(parent), m_state(state), m_grid(grid) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(QStringLiteral("Wheel or +/- to zoom, drag or Page Up/Down to pan, click or Left/Right to choose a quote"));
  connect(m_grid->model(), &QAbstractItemModel::modelReset, this, &CChartPane::Reload);
  connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { FollowGrid(current.isValid() ? current.row() : -1); });
  Reload();
}

QRect CChartPane::PlotRect() const {
  const QFontMetrics metrics = fontMetrics();
  const int axis = metrics.horizontalAdvance(QStringLiteral("00000.0000")) + 2 * kGap;
  const int header = ReadoutLineCount() * metrics.height() + kGap;
  const int footer = DateLines() * metrics.height() + kGap;
  return rect().adjusted(kGap, header + kGap / 2, -axis, -footer - kGap / 2);
}

void CChartPane::SetMarks(std::vector<Mark> marks) {
  m_marks = std::move(marks);
  update();
}

void CChartPane::Reload() {
  // The early repaint of a long fill shows the first rows: the chart waits for all of them.
  m_loading = m_state.m_quotes.lastDateText.empty() && !m_state.m_quotes.rows.empty();
  m_currentRow = -1;
  m_hoverRow = -1;
  update();
  if (m_loading) return;
  const QuoteGrid& grid = m_state.m_quotes;
  m_line = ClosesOnly(grid.rows);
  m_widestFigures.clear();
  if (!grid.rows.empty()) {
    for (const std::string& figure : WidestReadoutFigures(grid)) m_widestFigures << FromLatin1(figure);
  }
  const QString refusal = FromLatin1(barvane::LogScaleRefusal(grid));
  if (refusal != m_logRefusal) {
    m_logRefusal = refusal;
    emit LogScaleRefusalChanged();
  }
  std::string series = m_state.m_portfolioDir;
  series += '\n';
  series += m_state.m_seriesSymbol;
  const double width = PlotRect().width();
  if (series == m_series) {
    m_viewport.Resize(barCount(), width);
  } else {
    m_viewport.Reset(barCount(), width);
    m_series = std::move(series);
    m_marks.clear();
  }
}

void CChartPane::FollowGrid(int row) {
  if (m_loading) return;
  m_currentRow = row;
  if (row >= 0) m_viewport.EnsureVisible(BarOfRow(barCount(), row));
  update();
}

void CChartPane::SelectBar(int bar) {
  const int count = barCount();
  if (bar < 0 || bar >= count) return;
  const QModelIndex index = m_grid->model()->index(BarOfRow(count, bar), 0);
  m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  m_grid->scrollTo(index);
}

void CChartPane::ZoomAt(double factor, double x) {
  m_viewport.ZoomAt(factor, x);
  update();
}

void CChartPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_viewport.Resize(barCount(), PlotRect().width());
  if (m_currentRow >= 0) m_viewport.EnsureVisible(BarOfRow(barCount(), m_currentRow));
}

void CChartPane::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const double x = event->position().x() - PlotRect().left();
  if (delta.y() != 0) {
    ZoomAt(std::pow(kZoomStep, delta.y() / 120.0), x);
  } else if (delta.x() != 0) {
    m_viewport.Pan(delta.x() / 120.0 * m_viewport.width() / 10);
    update();
  }
  event->accept();
}

void CChartPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  m_pressed = true;
  m_dragging = false;
  m_pressAt = event->position().toPoint();
  m_dragFrom = event->position().x();
}

void CChartPane::mouseMoveEvent(QMouseEvent* event) {
  const QRect plot = PlotRect();
  const QPoint at = event->position().toPoint();
  const int hover = plot.contains(at) && barCount() > 0 ? BarOfRow(barCount(), m_viewport.BarAt(at.x() - plot.left())) : -1;
  if (hover != m_hoverRow || (hover >= 0 && at.y() != m_hoverY)) {
    m_hoverRow = hover;
    m_hoverY = at.y();
    update();
  }
  if (!m_pressed) return;
  if (!m_dragging && (event->position().toPoint() - m_pressAt).manhattanLength() < kDragThreshold) return;
  if (!m_dragging) setCursor(Qt::ClosedHandCursor);
  m_dragging = true;
  m_viewport.Pan(event->position().x() - m_dragFrom);
  m_dragFrom = event->position().x();
  update();
}

void CChartPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_pressed) return QWidget::mouseReleaseEvent(event);
  m_pressed = false;
  if (m_dragging) {
    unsetCursor();
    return;
  }
  SelectBar(m_viewport.BarAt(event->position().x() - PlotRect().left()));
}

void CChartPane::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  m_hoverRow = -1;
  update();
}

void CChartPane::SetLogScale(bool on) {
  m_logScale = on;
  update();
}

void CChartPane::keyPressEvent(QKeyEvent* event) {
  const int count = barCount();
  const int bar = m_currentRow >= 0 ? BarOfRow(count, m_currentRow) : count - 1;
  const double at = m_currentRow >= 0 ? m_viewport.XOfBar(bar) : m_viewport.width();
  switch (event->key()) {
    case Qt::Key_Left: SelectBar(bar - 1); break;
    case Qt::Key_Right: SelectBar(bar + 1); break;
    case Qt::Key_Home: SelectBar(0); break;
    case Qt::Key_End: SelectBar(count - 1); break;
    case Qt::Key_PageUp:
      m_viewport.Pan(m_viewport.width() * 0.9);
      update();
      break;
    case Qt::Key_PageDown:
      m_viewport.Pan(-m_viewport.width() * 0.9);
      update();
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomAt(kZoomStep, at); break;
    case Qt::Key_Minus: ZoomAt(1 / kZoomStep, at); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

void CChartPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const QRect plot = PlotRect();
  if (m_loading || plot.width() < 2 || plot.height() < 20) return;
  if (barCount() == 0) {
    // No axis for nothing: a series without quotes says so.
    PaintFigures(painter);
    if (!m_state.m_seriesSymbol.empty()) {
      painter.setPen(palette().color(QPalette::Mid));
      painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No quotes"));
    }
    return;
  }
  const int volumeHeight = static_cast<int>(plot.height() * kVolumeShare);
  const int priceBottom = plot.bottom() - volumeHeight - kGap;
  const std::vector<ChartColumn> columns = ChartColumns(m_state.m_quotes.rows, m_viewport);
  const ValueScale price = PriceScaleOf(columns, plot.top(), priceBottom, logScale());
  const ValueScale volume = VolumeScaleOf(columns, priceBottom + kGap * 2, plot.bottom());

  painter.setClipRect(plot);
  if (m_currentRow >= 0) {
    const double width = std::max(m_viewport.barWidth(), 3.0);
    const double x = plot.left() + m_viewport.XOfBar(BarOfRow(barCount(), m_currentRow));
    QColor band = palette().color(QPalette::Highlight);
    band.setAlpha(70);
    painter.fillRect(QRectF(x - width / 2, plot.top(), width, plot.height()), band);
  }
  painter.setClipping(false);
  PaintAxes(painter, plot, price);
  PaintDates(painter, plot);
  painter.setClipRect(plot);
  PaintMarks(painter, plot, plot.bottom());
  PaintBars(painter, columns, plot, price, volume);
  PaintMarkLabels(painter, plot);
  PaintLegend(painter, plot, priceBottom);
  if (m_hoverRow >= 0) {
    // The crosshair: the bar under the mouse, and the price level it points at.
    const int x = plot.left() + static_cast<int>(std::floor(m_viewport.XOfBar(BarOfRow(barCount(), m_hoverRow))));
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawLine(x, plot.top(), x, plot.bottom());
    if (m_hoverY <= priceBottom) painter.drawLine(plot.left(), m_hoverY, plot.right(), m_hoverY);
  }
  painter.setClipping(false);
  painter.setPen(palette().color(QPalette::Mid));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot.adjusted(0, 0, -1, -1));
  painter.drawLine(plot.left(), priceBottom + kGap, plot.right(), priceBottom + kGap);
  PaintFigures(painter);
}

void CChartPane::PaintAxes(QPainter& painter, const QRect& plot, const ValueScale& price) const {
  const int lineHeight = fontMetrics().height();
  const int maxTicks = std::max(2, static_cast<int>((price.bottom - price.top) / (lineHeight * 3)));
  const std::vector<double> ticks = AxisTicks(price.low, price.high, maxTicks);
  const int decimals = ticks.size() > 1 ? Decimals(ticks[1] - ticks[0]) : 4;
  for (double value : ticks) {
    const int y = static_cast<int>(std::lround(price.Y(value)));
    painter.setPen(kGridLine);
    painter.drawLine(plot.left() + 1, y, plot.right() - 1, y);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(plot.right() + kGap, y - lineHeight / 2, width() - plot.right() - kGap, lineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::number(value, 'f', decimals));
  }
}

void CChartPane::PaintDates(QPainter& painter, const QRect& plot) const {
  const QuoteGrid& grid = m_state.m_quotes;
  const QFontMetrics metrics = fontMetrics();
  const AxisLabel widest = WidestAxisLabel(grid);
  const int labelWidth = std::max(metrics.horizontalAdvance(FromLatin1(widest.date)),
                                  metrics.horizontalAdvance(FromLatin1(widest.time))) +
                         3 * kGap;
  const int lineHeight = metrics.height();
  const int top = plot.bottom() + 2;
  for (const AxisLabel& label : TimeAxisLabels(grid, m_viewport, labelWidth)) {
    const int x = plot.left() + static_cast<int>(std::lround(m_viewport.XOfBar(label.bar)));
    if (x - labelWidth / 2 < 0 || x + labelWidth / 2 > width()) continue;  // no cut-off labels
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(x, plot.bottom(), x, top + 2);
    painter.setPen(palette().color(QPalette::Text));
    int line = 0;
    for (const std::string* text : {&label.time, &label.date}) {
      if (text->empty()) continue;
      painter.drawText(QRect(x - labelWidth / 2, top + 2 + line++ * lineHeight, labelWidth, lineHeight),
                       Qt::AlignHCenter | Qt::AlignTop, FromLatin1(*text));
    }
  }
}

void CChartPane::PaintBars(QPainter& painter, const std::vector<ChartColumn>& columns, const QRect& plot,
                           const ValueScale& price, const ValueScale& volume) const {
  // Batched by colour: one call per kind of stroke, whatever the number of bars.
  std::vector<QLineF> risingWicks, fallingWicks, volumeLines;
  std::vector<QRectF> risingBodies, fallingBodies, volumeBars;
  const bool candles = m_viewport.barWidth() >= 3;
  if (m_line) {
    // Closes only: their line, with a dot on each close where the bars are wide apart.
    std::vector<QPointF> closes;
    closes.reserve(columns.size());
    for (const ChartColumn& c : columns) closes.emplace_back(std::floor(plot.left() + c.x) + 0.5, price.Y(c.close));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kCloseLine, 1.5));
    painter.drawPolyline(closes.data(), static_cast<int>(closes.size()));
    if (m_viewport.barWidth() >= 6 || closes.size() == 1) {
      painter.setBrush(kCloseLine);
      for (const QPointF& at : closes) painter.drawEllipse(at, 2.0, 2.0);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
  }
  const double bodyWidth = std::max(1.0, std::floor(m_viewport.barWidth() * 0.7));
  risingWicks.reserve(columns.size());
  fallingWicks.reserve(columns.size());
  for (const ChartColumn& c : columns) {
    const double x = std::floor(plot.left() + c.x) + 0.5;
    const bool rising = c.close >= c.open;
    const double high = price.Y(c.high), low = price.Y(c.low);
    if (!m_line) (rising ? risingWicks : fallingWicks).emplace_back(x, high, x, std::max(low, high + 1));
    const double v = volume.Y(c.volume);
    if (candles) {
      const double top = price.Y(std::max(c.open, c.close)), bottom = price.Y(std::min(c.open, c.close));
      if (!m_line) {
        (rising ? risingBodies : fallingBodies).emplace_back(x - bodyWidth / 2, top, bodyWidth, std::max(bottom - top, 1.0));
      }
      volumeBars.emplace_back(x - bodyWidth / 2, v, bodyWidth, volume.bottom - v);
    } else {
      volumeLines.emplace_back(x, volume.bottom, x, v);
    }
  }
  painter.setPen(kVolumeBar);
  painter.setBrush(kVolumeBar);
  painter.drawLines(volumeLines.data(), static_cast<int>(volumeLines.size()));
  painter.drawRects(volumeBars.data(), static_cast<int>(volumeBars.size()));
  for (const auto& [colour, wicks, bodies] : {std::tuple{kRising, &risingWicks, &risingBodies},
                                               std::tuple{kFalling, &fallingWicks, &fallingBodies}}) {
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawLines(wicks->data(), static_cast<int>(wicks->size()));
    painter.drawRects(bodies->data(), static_cast<int>(bodies->size()));
  }
}

std::vector<const CChartPane::Mark*> CChartPane::VisibleMarks() const {
  const int count = barCount();
  const int first = m_viewport.FirstVisible(), last = m_viewport.LastVisible();
  std::vector<const Mark*> visible;
  for (const Mark& mark : m_marks) {
    const int bar = BarOfRow(count, mark.row);
    if (mark.row >= 0 && mark.row < count && bar >= first && bar <= last) visible.push_back(&mark);
  }
  // The newest rows come first in the grid, the oldest bars first on the chart.
  std::stable_sort(visible.begin(), visible.end(), [](const Mark* a, const Mark* b) { return a->row > b->row; });
  return visible;
}

void CChartPane::PaintMarks(QPainter& painter, const QRect& plot, int volumeBottom) const {
  const int count = barCount();
  const QPen dashed(kCandidate, 1, Qt::DashLine);
  QColor band = kProblem;
  band.setAlpha(55);
  const double bandWidth = std::max(m_viewport.barWidth(), 3.0);
  for (const Mark* mark : VisibleMarks()) {
    const double at = m_viewport.XOfBar(BarOfRow(count, mark->row));
    if (mark->kind == MarkKind::kProblem) {
      painter.fillRect(QRectF(plot.left() + at - bandWidth / 2, plot.top(), bandWidth, volumeBottom - plot.top()), band);
    } else {
      const int x = plot.left() + static_cast<int>(std::floor(at));
      painter.setPen(dashed);
      painter.drawLine(x, plot.top(), x, volumeBottom);
    }
  }
}

void CChartPane::PaintMarkLabels(QPainter& painter, const QRect& plot) const {
  const int count = barCount();
  const QFontMetrics metrics = fontMetrics();
  const int lineHeight = metrics.height();
  std::vector<const Mark*> marks = VisibleMarks();
  for (const Mark* mark : marks) {
    if (mark->kind == MarkKind::kProblem) {
      PaintProblemSign(painter, plot.left() + static_cast<int>(std::floor(m_viewport.XOfBar(BarOfRow(count, mark->row)))),
                       plot.top() + 1);
    }
  }
  // Candidates on the top line, problems below their signs. The current quote's labels are
  // placed first; a label that would run into one placed is left to the tooltip.
  std::stable_partition(marks.begin(), marks.end(), [this](const Mark* m) { return m->row == m_currentRow; });
  std::vector<QRect> placed;
  for (const Mark* mark : marks) {
    const bool problem = mark->kind == MarkKind::kProblem;
    const int x = plot.left() + static_cast<int>(std::floor(m_viewport.XOfBar(BarOfRow(count, mark->row))));
    const int top = problem ? plot.top() + 2 * kSignHalfWidth + 1 : plot.top() + 2;
    const int textWidth = metrics.horizontalAdvance(mark->label) + 4;
    int left = x + 4;
    if (left + textWidth > plot.right()) left = x - 4 - textWidth;  // near the right edge: before the bar
    const QRect box(left, top, textWidth, lineHeight);
    const QRect room = box.adjusted(-metrics.averageCharWidth(), 0, metrics.averageCharWidth(), 0);
    if (left < plot.left() ||
        std::any_of(placed.begin(), placed.end(), [&room](const QRect& r) { return r.intersects(room); })) {
      continue;
    }
    placed.push_back(box);
    painter.fillRect(box, Veil(palette().color(QPalette::Base)));
    painter.setPen(problem ? kProblem : kCandidate);
    painter.drawText(box, Qt::AlignCenter, mark->label);
  }
}

void CChartPane::PaintLegend(QPainter& painter, const QRect& plot, int priceBottom) const {
  bool shown[2] = {false, false};
  for (const Mark& mark : m_marks) shown[mark.kind == MarkKind::kProblem ? 1 : 0] = true;
  if (!shown[0] && !shown[1]) return;
  const QFontMetrics metrics = fontMetrics();
  const QString texts[2] = {QStringLiteral("split candidate"), QStringLiteral("check problem")};
  constexpr int kSample = 2 * kSignHalfWidth + 2;  // the room of each kind's sign
  int width = kGap;
  for (int kind = 0; kind < 2; ++kind) {
    if (shown[kind]) width += kSample + kGap / 2 + metrics.horizontalAdvance(texts[kind]) + kGap;
  }
  const int height = metrics.height() + kGap / 2;
  const QRect box(plot.right() - kGap - width, priceBottom - kGap / 2 - height, width, height);
  painter.setPen(palette().color(QPalette::Mid));
  painter.setBrush(Veil(palette().color(QPalette::Base)));
  painter.drawRect(box);
  int x = box.left() + kGap;
  for (int kind = 0; kind < 2; ++kind) {
    if (!shown[kind]) continue;
    const int middle = x + kSample / 2;
    if (kind == 1) {
      PaintProblemSign(painter, middle, box.center().y() - kSignHalfWidth + 1);
    } else {
      painter.setPen(QPen(kCandidate, 1, Qt::DashLine));
      painter.drawLine(middle, box.top() + 2, middle, box.bottom() - 2);
    }
    x += kSample + kGap / 2;
    painter.setPen(kind == 1 ? kProblem : kCandidate);
    const int textWidth = metrics.horizontalAdvance(texts[kind]);
    painter.drawText(QRect(x, box.top(), textWidth, box.height()), Qt::AlignLeft | Qt::AlignVCenter, texts[kind]);
    x += textWidth + kGap;
  }
}

QString CChartPane::MarkTextAt(int x) const {
  const QRect plot = PlotRect();
  if (x < plot.left() || x > plot.right()) return {};
  const int count = barCount();
  const double reach = std::max(4.0, m_viewport.barWidth() / 2);
  QStringList lines;
  for (const Mark* mark : VisibleMarks()) {
    if (std::abs(plot.left() + m_viewport.XOfBar(BarOfRow(count, mark->row)) - x) > reach) continue;
    const QString date =
        FromLatin1(QuoteMomentText(m_state.m_quotes.rows[static_cast<std::size_t>(mark->row)], m_state.m_quotes.style));
    lines << date + QStringLiteral("  ") +
                 (mark->kind == MarkKind::kProblem ? mark->label
                                                   : QStringLiteral("possible %1 split").arg(mark->label));
  }
  return lines.join(QLatin1Char('\n'));
}

bool CChartPane::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString marks = MarkTextAt(help->pos().x());
  QToolTip::showText(help->globalPos(), marks.isEmpty() ? toolTip() : marks, this);
  return true;
}

QStringList CChartPane::ReadoutFiguresShown() const {
  const auto& rows = m_state.m_quotes.rows;
  QStringList figures;
  const QString symbol = FromFileText(m_state.m_codePage, m_state.m_seriesSymbol);
  if (!symbol.isEmpty()) figures << symbol;
  const int shown = m_hoverRow >= 0 ? m_hoverRow : m_currentRow;
  if (shown < 0 || shown >= static_cast<int>(rows.size())) return figures;
  for (const std::string& figure : ReadoutFigures(rows[static_cast<std::size_t>(shown)], m_state.m_quotes)) {
    figures << FromLatin1(figure);
  }
  return figures;
}

QStringList CChartPane::WrapFigures(const QStringList& figures) const {
  const QFontMetrics metrics = fontMetrics();
  std::vector<double> widths;
  for (const QString& figure : figures) widths.push_back(metrics.horizontalAdvance(figure));
  const std::vector<std::size_t> starts =
      ReadoutLineStarts(widths, metrics.horizontalAdvance(kFigureGap), width() - 2 * kGap);
  QStringList lines;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : widths.size();
    lines << figures.mid(static_cast<qsizetype>(starts[k]), static_cast<qsizetype>(end - starts[k])).join(kFigureGap);
  }
  return lines;
}

QStringList CChartPane::ReadoutLines() const { return WrapFigures(ReadoutFiguresShown()); }

int CChartPane::ReadoutLineCount() const {
  QStringList widest = m_widestFigures;
  widest.prepend(FromFileText(m_state.m_codePage, m_state.m_seriesSymbol));
  const auto lines = std::max(WrapFigures(widest).size(), ReadoutLines().size());
  return std::max(1, static_cast<int>(lines));
}

void CChartPane::PaintFigures(QPainter& painter) const {
  const QFontMetrics metrics = fontMetrics();
  const int lineHeight = metrics.height();
  const QStringList lines = ReadoutLines();
  painter.setPen(palette().color(QPalette::Text));
  QRect line(kGap, kGap / 2, width() - 2 * kGap, lineHeight + kGap / 2);
  for (qsizetype k = 0; k < lines.size(); ++k) {
    if (k != 0) line.translate(0, lineHeight);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, lines[k]);
  }
  const int shown = m_hoverRow >= 0 ? m_hoverRow : m_currentRow;
  // What the check found on this day follows the figures it concerns, when it fits there.
  for (const Mark& mark : m_marks) {
    if (mark.kind != MarkKind::kProblem || mark.row != shown || shown < 0 || lines.isEmpty()) continue;
    const int left = line.left() + metrics.horizontalAdvance(lines.back() + kFigureGap);
    if (left + metrics.horizontalAdvance(mark.label) > line.right()) continue;
    painter.setPen(kProblem);
    painter.drawText(QRect(left, line.top(), line.right() - left, line.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     mark.label);
  }
}
