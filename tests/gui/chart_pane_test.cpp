// The chart beside the quote grid, offscreen: its current bar and the grid's current row in
// step both ways, the mouse and keys that choose, zoom and pan, a new series starting at its
// newest quotes, the readout's lines and the log scale a series with negative prices refuses.
#include "gui/chart_pane.h"

#include <gtest/gtest.h>

#include <QStatusBar>
#include <QWheelEvent>

#include "window_harness.h"

namespace barvane {
namespace {

using test::Fields28;
using test::kMonday;
using test::Symbol;

struct ChartWindow : test::GuiWindow {
  ChartWindow() {
    auto negative = test::WeekdayQuotes(kMonday, 5);
    negative[1].low = -1.5f;  // back-adjusted
    Open(test::Portfolio({Symbol(1, "LONG", Fields28(), test::WeekdayQuotes(kMonday, 600)),
                          Symbol(2, "SHORT", Fields28(), test::WeekdayQuotes(kMonday, 5)),
                          Symbol(3, "XNEG", Fields28(), negative)}));
    chart()->resize(700, 400);
  }
  CChartPane* chart() { return frame->view()->chartPane(); }
  QTableView* grid() { return frame->view()->quoteGrid(); }
  int gridRow() { return grid()->currentIndex().row(); }
  // The widget x of the bar of grid row `row`.
  QPoint PointOfRow(int row) {
    const int bar = BarOfRow(600, row);
    const QRect plot = chart()->PlotRect();
    return {plot.left() + static_cast<int>(chart()->viewport().XOfBar(bar)), plot.center().y()};
  }
  void ClickSymbol(int row) { Click(frame->view()->symbolGrid(), row); }
};

TEST(ChartPane, FollowsTheGridTheGridFollowsAClickOnABarAndTheReadoutWrapsWithoutCuttingAFigure) {
  ChartWindow w;
  ASSERT_EQ(w.state().m_seriesSymbol, "LONG");
  EXPECT_EQ(w.chart()->currentRow(), 0);
  EXPECT_EQ(w.chart()->viewport().LastVisible(), 599);
  // The readout takes two lines where one is too narrow, and cuts no figure.
  w.chart()->resize(1200, 400);
  const QStringList wide = w.chart()->ReadoutLines();
  ASSERT_EQ(wide.size(), 1);
  EXPECT_TRUE(wide[0].startsWith("LONG   09/29/00   Open 159.6250")) << wide[0].toStdString();
  EXPECT_TRUE(wide[0].endsWith("   OI 649")) << wide[0].toStdString();
  const int top = w.chart()->PlotRect().top();
  w.chart()->resize(300, 400);
  const QStringList narrow = w.chart()->ReadoutLines();
  EXPECT_GE(narrow.size(), 2);
  EXPECT_EQ(narrow.join("   "), wide[0]);
  for (const QString& line : narrow) EXPECT_LE(w.chart()->fontMetrics().horizontalAdvance(line), 300 - 12) << line.toStdString();
  EXPECT_GE(w.chart()->PlotRect().top(), top + (narrow.size() - 1) * w.chart()->fontMetrics().height());
  w.chart()->resize(700, 400);
  // A row far down the grid: the chart brings its bar into the middle.
  w.grid()->selectionModel()->setCurrentIndex(w.grid()->model()->index(450, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_EQ(std::pair(w.chart()->currentRow(), w.state().m_selQuoteRow), std::pair(450, 450));
  EXPECT_NEAR(w.chart()->viewport().XOfBar(149), w.chart()->viewport().width() / 2, 8);
  // A click on another bar makes its row current in the grid, the state and the status pane.
  QTest::mouseClick(w.chart(), Qt::LeftButton, {}, w.PointOfRow(440));
  EXPECT_EQ(std::tuple(w.gridRow(), w.state().m_selQuoteRow, w.chart()->currentRow()), std::tuple(440, 440, 440));
  EXPECT_EQ(w.frame->quotePaneText(), "Quote 160 of 600");
}

TEST(ChartPane, KeysMoveTheCurrentQuoteZoomAndPanTheWheelZoomsAtTheCursorAndADragPans) {
  ChartWindow w;
  w.chart()->setFocus();
  QTest::keyClick(w.chart(), Qt::Key_Left);
  EXPECT_EQ(w.gridRow(), 1);
  QTest::keyClick(w.chart(), Qt::Key_Right);
  QTest::keyClick(w.chart(), Qt::Key_Right);  // already the newest
  EXPECT_EQ(w.gridRow(), 0);
  QTest::keyClick(w.chart(), Qt::Key_Home);
  EXPECT_EQ(w.gridRow(), 599);
  EXPECT_EQ(w.chart()->viewport().FirstVisible(), 0);
  QTest::keyClick(w.chart(), Qt::Key_End);
  EXPECT_EQ(w.gridRow(), 0);

  const double width = w.chart()->viewport().barWidth();
  QTest::keyClick(w.chart(), Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(w.chart()->viewport().barWidth(), width * 1.25);
  EXPECT_EQ(w.chart()->viewport().LastVisible(), 599);  // zoomed about the current bar
  QTest::keyClick(w.chart(), Qt::Key_Minus);
  EXPECT_DOUBLE_EQ(w.chart()->viewport().barWidth(), width);
  const int last = w.chart()->viewport().LastVisible();
  QTest::keyClick(w.chart(), Qt::Key_PageUp);
  EXPECT_LT(w.chart()->viewport().LastVisible(), last - 50);
  QTest::keyClick(w.chart(), Qt::Key_PageDown);
  EXPECT_EQ(w.chart()->viewport().LastVisible(), last);
  EXPECT_EQ(w.gridRow(), 0);  // panning chooses nothing

  const QPoint at = w.PointOfRow(20);
  QWheelEvent in(at, w.chart()->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w.chart(), &in);
  EXPECT_DOUBLE_EQ(w.chart()->viewport().barWidth(), ChartViewport::kDefaultBarWidth * 1.25 * 1.25);
  EXPECT_EQ(w.chart()->viewport().BarAt(at.x() - w.chart()->PlotRect().left()), BarOfRow(600, 20));

  const int first = w.chart()->viewport().FirstVisible();
  QTest::mousePress(w.chart(), Qt::LeftButton, {}, at);
  QTest::mouseMove(w.chart(), at + QPoint(60, 0));
  QTest::mouseMove(w.chart(), at + QPoint(125, 0));
  QTest::mouseRelease(w.chart(), Qt::LeftButton, {}, at + QPoint(125, 0));
  EXPECT_EQ(w.chart()->viewport().FirstVisible(), first - 10);  // 12.5 pixels a bar
  EXPECT_EQ(w.gridRow(), 0);
}

TEST(ChartPane, AnotherSymbolStartsAfreshTheSameOneKeepsItsZoomAndNegativePricesRefuseTheLogScale) {
  ChartWindow w;
  QTest::keyClick(w.chart(), Qt::Key_Plus);
  QTest::keyClick(w.chart(), Qt::Key_Home);
  const double zoomed = w.chart()->viewport().barWidth();
  w.ClickSymbol(0);  // LONG read again
  EXPECT_EQ(w.chart()->viewport().barWidth(), zoomed);
  EXPECT_EQ(w.chart()->viewport().LastVisible(), 599);
  w.ClickSymbol(1);
  ASSERT_EQ(w.state().m_seriesSymbol, "SHORT");
  EXPECT_EQ(w.chart()->viewport().bars(), 5);
  EXPECT_EQ(w.chart()->viewport().barWidth(), ChartViewport::kMaxBarWidth);
  EXPECT_EQ(w.chart()->currentRow(), 0);
  EXPECT_FALSE(w.chart()->grab().isNull());

  // A series with a price below zero turns the log scale off and greys it with the reason.
  QAction* log = w.frame->logScaleAction();
  log->trigger();
  EXPECT_TRUE(w.chart()->logScale());
  w.ClickSymbol(2);
  ASSERT_EQ(w.state().m_seriesSymbol, "XNEG");
  const QString why = "No log scale: a price at or below zero (-1.5000 on 06/16/98)";
  EXPECT_FALSE(log->isEnabled() || log->isChecked() || w.chart()->logScale());
  EXPECT_EQ(log->toolTip(), why);
  EXPECT_EQ(w.frame->statusBar()->currentMessage(), why);
  w.ClickSymbol(0);  // asked for still, and given again
  EXPECT_TRUE(log->isEnabled() && log->isChecked() && w.chart()->logScale());
  EXPECT_EQ(w.settings.ReadInt("Chart", "LogScale", 0), 1);
}
}  // namespace
}  // namespace barvane
