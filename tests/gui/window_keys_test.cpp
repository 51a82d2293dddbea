// The window driven by keyboard and mouse as a trader drives it: Tab between the panes, the
// symbol filter, the crosshair, go to a date, New quote with negative values, full years and
// times, and the splitters kept across a restart.
#include <gtest/gtest.h>

#include <QFocusFrame>
#include <QLineEdit>
#include <QSplitter>

#include "gui/date_edit.h"
#include "gui/new_quote_dlg.h"
#include "gui/number_edit.h"
#include "window_harness.h"

namespace barvane {
namespace {

using test::kMonday;

// A portfolio of three symbols; MID trades Monday 06/15/98 to Wednesday 06/17/98.
struct KeysWindow : test::GuiWindow {
  KeysWindow() {
    Open(test::Portfolio({test::Symbol(1, "ALPHA", test::Fields28(), test::WeekdayQuotes(kMonday, 5)),
                          test::Symbol(2, "MID", test::Fields28(), test::WeekdayQuotes(kMonday, 3)),
                          test::Symbol(3, "ZED", test::Fields28(), {})}));
  }
  CBarvaneView* view() { return frame->view(); }
  void Show(const std::string& symbol) {
    for (std::size_t r = 0; r < state().m_symbolRows.size(); ++r) {
      if (state().m_symbolRows[r].symbol == symbol) view()->symbolGrid()->selectRow(static_cast<int>(r));
    }
    QTest::qWait(400);  // the quotes load once the selection rests
  }
  std::vector<std::string> Quotes() {
    std::vector<std::string> lines;
    for (const QuoteGridRow& row : state().m_quotes.rows) {
      std::string line;
      for (const std::string& cell : QuoteRowTexts(row, state().m_quotes.style)) line += cell + " ";
      lines.push_back(line);
    }
    return lines;
  }
};

TEST(WindowKeys, TabMovesBetweenThePanesTheFilterCountsWhatItShowsAndSplittersKeepTheirPlace) {
  KeysWindow w;
  w.frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
  CBarvaneView* v = w.view();
  v->portfolioList()->setFocus();
  const std::string symbol = w.state().m_seriesSymbol;
  const std::vector<QWidget*> order = {v->symbolGrid(), v->quoteGrid(), v->chartPane(), v->portfolioList()};
  QFocusFrame* frame = v->focusFrame();
  const QColor highlight = v->palette().color(QPalette::Active, QPalette::Highlight);
  for (QWidget* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << QApplication::focusWidget()->metaObject()->className();
    // The pane with the keyboard shows it: a frame around it in the selection colour.
    EXPECT_EQ(frame->widget(), next);
    ASSERT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->geometry().contains(next->geometry().adjusted(-1, -1, 1, 1).topLeft() + QPoint(1, 1)));
    const QImage painted = frame->grab().toImage();
    EXPECT_EQ(painted.pixelColor(0, painted.height() / 2), highlight);
    EXPECT_EQ(painted.pixelColor(painted.width() / 2, painted.height() - 1), highlight);
  }
  // Outside the four panes (the filter box) none wears it.
  v->symbolFilter()->setFocus();
  EXPECT_EQ(frame->widget(), nullptr);
  v->portfolioList()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), v->chartPane());
  QTest::qWait(400);
  EXPECT_EQ(w.state().m_seriesSymbol, symbol);  // no symbol loaded on the way

  // The filter shows the matching symbols in order and counts them.
  w.frame->action(kCmdFindSymbol)->trigger();
  QLineEdit* filter = w.view()->symbolFilter();
  EXPECT_EQ(QApplication::focusWidget(), filter);
  QTest::keyClicks(filter, "E");
  QTableView* grid = w.view()->symbolGrid();
  ASSERT_EQ(grid->model()->rowCount(), 1);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "ZED");
  QTest::qWait(400);
  EXPECT_EQ(w.state().m_seriesSymbol, "ZED");  // the one shown became current
  EXPECT_EQ(w.frame->symbolPaneText(), "Symbol 1 of 1 shown, 3 in all");
  filter->selectAll();
  QTest::keyClicks(filter, "alp");
  EXPECT_EQ(grid->model()->rowCount(), 1);
  // ZED, current, is hidden: the one shown becomes current.
  EXPECT_EQ(w.frame->symbolPaneText(), "Symbol 1 of 1 shown, 3 in all");
  QTest::keyClick(filter, Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), grid);
  filter->clear();
  EXPECT_EQ(grid->model()->rowCount(), 3);
  EXPECT_EQ(w.frame->symbolPaneText().toStdString().rfind("Symbol ", 0), 0u);

  // The splitters keep their place across a restart.
  w.frame->resize(800, 600);
  QTest::qWait(50);
  QSplitter* quotes = w.view()->splitter(2);
  EXPECT_GE(quotes->sizes().value(1) * 3, quotes->width() - quotes->handleWidth() - 3);  // the chart a third
  w.view()->splitter(0)->setSizes({150, 500});
  w.view()->splitter(1)->setSizes({100, 400});
  const QList<int> lists = w.view()->splitter(0)->sizes(), panes = w.view()->splitter(1)->sizes();
  w.frame->close();
  EXPECT_EQ(w.settings.ReadString("Window", "Lists", ""), std::to_string(lists[0]) + "," + std::to_string(lists[1]));
  w.frame.reset();
  w.Open();
  QTest::qWait(50);
  EXPECT_EQ(w.view()->splitter(0)->sizes(), lists);
  EXPECT_EQ(w.view()->splitter(1)->sizes(), panes);
}

// An empty series says so on the chart; the crosshair reads the bar under the mouse.
TEST(WindowKeys, TheCrosshairReadsTheBarUnderTheMouseGoToDateFindsADayAndNewQuoteRefusesATakenOne) {
  KeysWindow w;
  w.Show("ZED");
  CChartPane* chart = w.view()->chartPane();
  EXPECT_EQ(chart->ReadoutLines(), QStringList{"ZED"});
  w.Show("ALPHA");  // 06/15/98 to 06/19/98
  const QRect plot = chart->PlotRect();
  QTest::mouseMove(chart, QPoint(plot.right() - 2, plot.center().y()));
  ASSERT_EQ(chart->hoverRow(), 0);
  EXPECT_EQ(chart->ReadoutLines().join("   ").left(18), "ALPHA   06/19/98  ");
  QTest::mouseMove(chart, QPoint(plot.left() - 3, plot.center().y()));
  EXPECT_EQ(chart->hoverRow(), -1);

  ASSERT_EQ(w.state().m_quoteCount, 5);
  EXPECT_TRUE(w.view()->GoToDate("06/17/98"));
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/17/98");
  EXPECT_EQ(w.view()->quoteGrid()->currentIndex().row(), w.state().m_selQuoteRow);
  EXPECT_TRUE(w.view()->GoToDate("1998-06-21"));  // a Sunday: the Friday before
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/19/98");
  EXPECT_FALSE(w.view()->GoToDate("06/31/98"));
  EXPECT_EQ(w.messages.back(), "Please enter a date as MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD.");
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/19/98");

  // New quote refuses a day the series holds before any value, then stores the one typed.
  w.Show("MID");
  const Bytes before = test::ReadBytes(w.Dir("P/F2.DAT"));
  ASSERT_TRUE(w.Enabled(kCmdNewQuote));
  w.Run<CNewQuoteDlg>(kCmdNewQuote, [&w](CNewQuoteDlg* dialog) {
    EXPECT_EQ(dialog->dateField()->text(), "06/18/98");
    EXPECT_EQ(dialog->timeField(), nullptr);
    EXPECT_TRUE(dialog->field(0)->isEnabled());
    QTest::keyClicks(dialog->dateField(), "061798");
    EXPECT_EQ(dialog->momentNote(), "Date 06/17/98 already exists.");
    EXPECT_FALSE(dialog->field(0)->isEnabled());
    test::GuiWindow::Ok(dialog);
    EXPECT_EQ(w.messages.back(), "Date 06/17/98 already exists.");
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClicks(dialog->dateField(), "062298");
    EXPECT_EQ(dialog->momentNote(), "");
    const char* values[] = {"-1.5", "-1.2", "-2", "-1.25", "100", "5"};
    for (int i = 0; i < 6; ++i) QTest::keyClicks(dialog->field(i), values[i]);
    test::GuiWindow::Ok(dialog);
  });
  EXPECT_NE(test::ReadBytes(w.Dir("P/F2.DAT")), before);
  EXPECT_EQ(w.Quotes().front(), "06/22/98 -1.5000 -1.2000 -2.0000 -1.2500 100 5 ");
  EXPECT_EQ(w.state().m_selQuoteRow, 0);
  EXPECT_TRUE(w.questions.empty());
}

// A series from 1928 to 2024: the date fields take four-digit years only.
TEST(WindowKeys, NewQuoteAndGoToDateTakeTheYearInFullWhereTheSeriesShowsIt) {
  test::GuiWindow w;
  std::vector<QuoteValues> quotes = test::WeekdayQuotes(YmdToDay(1928, 10, 1), 2);
  for (const QuoteValues& q : test::WeekdayQuotes(YmdToDay(2024, 11, 4), 2)) quotes.push_back(q);
  w.Open(test::Portfolio(test::Symbol(1, "DOW", test::Fields28(), quotes)));
  const std::string refusal = "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years.";
  EXPECT_FALSE(w.frame->view()->GoToDate("11/10/29"));
  EXPECT_EQ(w.messages, std::vector<std::string>{refusal});
  w.Run<CNewQuoteDlg>(kCmdNewQuote, [&w](CNewQuoteDlg* dialog) {
    EXPECT_EQ(dialog->dateField()->text(), "11/06/2024");
    QTest::keyClicks(dialog->dateField(), "11101929");
    EXPECT_EQ(dialog->dateField()->text(), "11/10/1929");
    const char* values[] = {"1", "2", "0,5", "1,5", "10", "0"};
    for (int i = 0; i < 6; ++i) QTest::keyClicks(dialog->field(i), values[i]);
    test::GuiWindow::Ok(dialog);
  });
  quotes.insert(quotes.begin() + 2, {YmdToDay(1929, 11, 10), 0, 1, 2, 0.5f, 1.5f, 10, 0});
  EXPECT_EQ(test::ReadBytes(w.Dir("P/F1.DAT")), QuoteFileBytes(test::Symbol(1, "DOW", test::Fields28(), quotes)));
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "11/10/1929");
  EXPECT_EQ(w.messages.size(), 1u);
}

// Five-minute bars on two days: New quote asks for the bar's time, and refuses a bar the series
// holds before any value is typed.
TEST(WindowKeys, NewQuoteOnASeriesWithTimesTakesTheBarsTimeBeforeItsValues) {
  test::GuiWindow w;
  std::vector<QuoteValues> bars;
  for (DayNumber day : {kMonday, kMonday + 1}) {
    for (int m : {5, 10, 15}) bars.push_back({day, HmsToSeconds(9, m, 0), 10, 11, 9, 10, 100, 0});
  }
  SymbolDescription symbol = test::Symbol(1, "HSI", {}, bars, false);
  for (Quantity q : {kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}) symbol.fields.push_back({q, 0, 0});
  symbol.periodicity = 'I';
  w.Open(test::Portfolio(symbol));
  w.Run<CNewQuoteDlg>(kCmdNewQuote, [&w](CNewQuoteDlg* dialog) {
    ASSERT_NE(dialog->timeField(), nullptr);
    EXPECT_EQ(dialog->dateField()->text(), "06/16/98");
    EXPECT_EQ(dialog->timeField()->text(), "09:20:00");
    dialog->timeField()->setText("09:10:00");
    EXPECT_EQ(dialog->momentNote(), "Date 06/16/98 09:10:00 already exists.");
    EXPECT_FALSE(dialog->field(3)->isEnabled());
    dialog->timeField()->setText("09:12:30");
    EXPECT_EQ(dialog->momentNote(), "");
    EXPECT_TRUE(dialog->field(3)->isEnabled());
    EXPECT_FALSE(dialog->field(5)->isEnabled());  // no open interest in these files
    const char* values[] = {"10", "11", "9", "10,5", "100"};
    for (int i = 0; i < 5; ++i) QTest::keyClicks(dialog->field(i), values[i]);
    test::GuiWindow::Ok(dialog);
  });
  symbol.quotes.insert(symbol.quotes.begin() + 5, {kMonday + 1, HmsToSeconds(9, 12, 30), 10, 11, 9, 10.5f, 100, 0});
  EXPECT_EQ(test::ReadBytes(w.Dir("P/F1.DAT")), QuoteFileBytes(symbol));
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/16/98 09:12:30");
  EXPECT_TRUE(w.messages.empty());
}
}  // namespace
}  // namespace barvane
