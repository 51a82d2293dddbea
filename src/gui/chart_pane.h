// CChartPane: the quote grid's series as candlesticks (a line for a series of closes only) with
// the volume below, beside the grid. It reads the grid's rows (never the files), draws only the
// bars in view (one column per pixel when zoomed far out), marks the current quote and the
// split candidates and check problems it is given (each kind its own colour and shape, named in
// a legend, the full text on hovering), follows the mouse with a crosshair whose bar the header
// reads out, and keeps its current bar and the grid's current row in step both ways. The wheel
// and +/- zoom; a drag, the horizontal wheel and Page Up/Down pan; a click, Left/Right and
// Home/End choose the current quote.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "app/chart_geometry.h"
#include "app/view_state.h"

class QPainter;
class QTableView;

class CChartPane final : public QWidget {
  Q_OBJECT

 public:
  enum class MarkKind { kCandidate, kProblem };
  struct Mark {
    int row = 0;  // a quote grid row
    QString label;
    MarkKind kind = MarkKind::kCandidate;
  };

  CChartPane(const barvane::ViewState& state, QTableView* grid, QWidget* parent);

  // Replaces the marked quotes (rows of the grid as it is now).
  void SetMarks(std::vector<Mark> marks);
  const std::vector<Mark>& marks() const { return m_marks; }
  const barvane::ChartViewport& viewport() const { return m_viewport; }
  // The bar area, without the axes and the line of figures, in widget pixels.
  QRect PlotRect() const;
  // The grid row drawn as current, -1 when none.
  int currentRow() const { return m_currentRow; }
  // What the marks at widget x `x` say, a line each ("06/16/98  high 4.10 below low 4.20");
  // empty when no mark is drawn there.
  QString MarkTextAt(int x) const;

  // The header's lines: the symbol and the figures of the bar under the mouse, else of the
  // current one, broken between figures where one line is too narrow.
  QStringList ReadoutLines() const;
  // The grid row under the mouse, -1 when the mouse is not over a bar.
  int hoverRow() const { return m_hoverRow; }
  // Asks for a log price scale; the series gets one unless LogScaleRefusal() says why not.
  void SetLogScale(bool on);
  bool logScale() const { return m_logScale && m_logRefusal.isEmpty(); }
  const QString& LogScaleRefusal() const { return m_logRefusal; }

  QSize sizeHint() const override { return {480, 320}; }
  QSize minimumSizeHint() const override { return {160, 120}; }

 signals:
  // A new series may refuse the log scale, or take it again.
  void LogScaleRefusalChanged();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The grid was refilled: a new series starts at its newest quotes, the same one keeps its
  // zoom and place.
  void Reload();
  void FollowGrid(int row);
  // Makes `bar` the grid's current row (which brings it back here through FollowGrid).
  void SelectBar(int bar);
  void ZoomAt(double factor, double x);
  int barCount() const { return static_cast<int>(m_state.m_quotes.rows.size()); }

  void PaintAxes(QPainter& painter, const QRect& plot, const barvane::ValueScale& price) const;
  void PaintDates(QPainter& painter, const QRect& plot) const;
  // The lines of the time axis's labels: two for a series with times (the time, the date).
  int DateLines() const { return m_state.m_quotes.style.times ? 2 : 1; }
  // The figures of the readout, the symbol first, and the lines of both the shown and the
  // widest figures take at the pane's width.
  QStringList ReadoutFiguresShown() const;
  int ReadoutLineCount() const;
  QStringList WrapFigures(const QStringList& figures) const;
  void PaintBars(QPainter& painter, const std::vector<barvane::ChartColumn>& columns, const QRect& plot,
                 const barvane::ValueScale& price, const barvane::ValueScale& volume) const;
  // The lines and bands of the marks, under the bars.
  void PaintMarks(QPainter& painter, const QRect& plot, int volumeBottom) const;
  // Their labels and problem signs, over the bars, and the legend of the kinds shown.
  void PaintMarkLabels(QPainter& painter, const QRect& plot) const;
  void PaintLegend(QPainter& painter, const QRect& plot, int priceBottom) const;
  // The marks drawn: in view, by bar.
  std::vector<const Mark*> VisibleMarks() const;
  void PaintFigures(QPainter& painter) const;

  const barvane::ViewState& m_state;
  QTableView* m_grid;
  barvane::ChartViewport m_viewport;
  std::vector<Mark> m_marks;
  std::string m_series;  // the directory and symbol the bars belong to
  int m_currentRow = -1;
  int m_hoverRow = -1;  // the crosshair's bar
  int m_hoverY = -1;
  bool m_logScale = false;
  QString m_logRefusal;          // why the series has no log scale, "" when it may
  QStringList m_widestFigures;   // the readout at its widest, for the room it keeps
  bool m_line = false;           // a series of closes only
  QPoint m_pressAt;
  double m_dragFrom = 0;
  bool m_loading = false;  // the grid is part way through a fill
  bool m_pressed = false;
  bool m_dragging = false;
};
