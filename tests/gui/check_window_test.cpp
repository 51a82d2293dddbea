// The Portfolio Check window offscreen: the check it runs on opening, its list, a double-click
// that leads the main view to the problem's day, the repair with its question and its undo, and
// the problems of the shown symbol marked on the chart while the window is open.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTreeWidget>

#include "gui/edit_quote_dlg.h"
#include "gui/number_edit.h"
#include "gui/portfolio_check_dlg.h"
#include "gui/work_progress.h"
#include "tools/portfolio_check_view.h"
#include "window_harness.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace barvane {
namespace {

using test::kMonday;

// Every column of each line the filter shows, in the order shown.
std::vector<QStringList> ShownLines(QTreeWidget* list) {
  std::vector<QStringList> lines;
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item->isHidden()) continue;
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << item->text(c);
    lines.push_back(texts);
  }
  return lines;
}

// The view takes a double-click on the row it saw pressed.
void DoubleClick(QTreeWidget* list, QTreeWidgetItem* item) {
  const QRect rect = list->visualItemRect(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}
void DoubleClickRow(QTreeWidget* list, int row) { DoubleClick(list, list->topLevelItem(row)); }

// Opens the Portfolio Check window, which checks the current portfolio at once.
CPortfolioCheckDlg* OpenCheck(test::GuiWindow& w) {
  w.frame->action(kCmdCheckPortfolio)->trigger();
  return w.frame->view()->checkWindow();
}

// The record count in the header of the quote file at `path`, which counts the header too.
void SetHeaderCount(const std::string& path, std::uint8_t records) {
  Bytes quotes = test::ReadBytes(path);
  quotes[2] = records;
  test::WriteBytes(path, quotes);
}

TEST(CheckWindow, GroupsSortsFiltersLeadsToTheDayAndRepairsInOneChangeThatUndoTakesBack) {
  test::GuiWindow w;
  auto negative = test::WeekdayQuotes(kMonday, 40);
  for (std::size_t i = 0; i < 40; i += 2) negative[i].low = -1;  // 20 quotes apart
  auto zero = test::WeekdayQuotes(kMonday, 10);
  for (std::size_t i = 3; i < 6; ++i) zero[i].close = 0;
  auto hilo = zero;
  hilo[8].high = 4.1f, hilo[8].low = 4.2f;
  test::Build(w.Dir("P"), test::Portfolio({test::Symbol(1, "BRENT", test::Fields28(), negative),
                                           test::Symbol(2, "ZERO", test::Fields28(), zero),
                                           test::Symbol(3, "ALSO", test::Fields28(), hilo)}));
  SetHeaderCount(w.Dir("P/F2.DAT"), 99);  // what the repair mends
  const auto before = test::Snapshot(w.Dir("P"));
  w.Open();
  ASSERT_TRUE(w.Enabled(kCmdCheckPortfolio));
  CPortfolioCheckDlg* check = OpenCheck(w);
  ASSERT_NE(check, nullptr);
  EXPECT_TRUE(check->isVisible() && !check->isModal() && check->repairButton()->isEnabled());
  EXPECT_EQ(check->windowTitle(), "Portfolio Check");
  QTreeWidget* list = check->problemList();
  QStringList headings;
  for (int c = 0; c < list->columnCount(); ++c) headings << list->headerItem()->text(c);
  EXPECT_EQ(headings, (QStringList{"Symbol", "Date", "Quotes", "Problem", "Mend (1)"}));
  const std::vector<QStringList> bySymbol = {
      {"ALSO", "06/18/98", "3", "zero prices on 3 quotes, 06/18/98 to 06/22/98", ""},
      {"ALSO", "06/25/98", "1", "high 4.10 below low 4.20", ""},
      {"BRENT", "06/15/98", "20", "negative prices on 20 quotes, 06/15/98 to 08/06/98", ""},
      {"ZERO", "-", "", "header counts 98 quotes, the file holds 10", "can mend"},
      {"ZERO", "06/18/98", "3", "zero prices on 3 quotes, 06/18/98 to 06/22/98", ""}};
  EXPECT_EQ(ShownLines(list), bySymbol);

  // A run is one line that leads to its first day and opens to its quotes, each to its own day.
  DoubleClickRow(list, 0);
  EXPECT_EQ(w.state().m_seriesSymbol, "ALSO");
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/18/98");
  EXPECT_EQ(w.frame->view()->quoteGrid()->currentIndex().row(), w.state().m_selQuoteRow);
  QTreeWidgetItem* run = list->topLevelItem(0);
  ASSERT_EQ(run->childCount(), 3);
  EXPECT_EQ(run->child(2)->text(1), "06/22/98");
  EXPECT_EQ(run->child(2)->text(3), "close is zero");
  list->expandItem(run);
  DoubleClick(list, run->child(2));
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/22/98");

  // A click on a header sorts by that column; a second click turns the order round.
  const auto clickHeader = [list](int column) { test::GuiWindow::ClickHeader(list->header(), column); };
  clickHeader(2);
  EXPECT_EQ(ShownLines(list).front()[0], "ZERO");  // no quotes in particular first
  EXPECT_EQ(ShownLines(list).back()[2], "20");
  clickHeader(2);
  EXPECT_EQ(ShownLines(list).front()[2], "20");
  clickHeader(3);
  EXPECT_EQ(ShownLines(list).front()[3], "header counts 98 quotes, the file holds 10");
  clickHeader(1);
  EXPECT_EQ(ShownLines(list).back()[1], "06/25/98");

  // The filter: every kind the report holds, and what the repair mends.
  QComboBox* kinds = check->kindFilter();
  QStringList offered;
  for (int i = 0; i < kinds->count(); ++i) offered << kinds->itemText(i);
  EXPECT_EQ(offered, (QStringList{"Every kind", "files and index", "high below low", "negative prices", "zero prices",
                                  "What the repair mends"}));
  clickHeader(0);
  kinds->setCurrentText("zero prices");
  EXPECT_EQ(ShownLines(list), (std::vector<QStringList>{bySymbol[0], bySymbol[4]}));
  kinds->setCurrentText("What the repair mends");
  EXPECT_EQ(ShownLines(list), std::vector<QStringList>{bySymbol[3]});
  // A check again keeps the kind chosen.
  check->checkButton()->click();
  EXPECT_EQ(kinds->currentText(), "What the repair mends");
  EXPECT_EQ(ShownLines(list), std::vector<QStringList>{bySymbol[3]});

  kinds->setCurrentText("Every kind");
  w.answer = true;
  check->repairButton()->click();
  ASSERT_EQ(w.questions.size(), 1u);
  EXPECT_NE(w.questions[0].find("ZERO  -  set the header count to 10"), std::string::npos);
  EXPECT_EQ(ShownLines(list), (std::vector<QStringList>{bySymbol[0], bySymbol[1], bySymbol[2], bySymbol[4]}));
  EXPECT_FALSE(check->repairButton()->isEnabled());
  EXPECT_EQ(w.state().m_seriesSymbol, "ALSO");
  ASSERT_NE(test::Snapshot(w.Dir("P")), before);
  EXPECT_EQ(w.frame->undoAction()->text(), "&Undo Repair of the portfolio");
  w.frame->undoAction()->trigger();
  EXPECT_EQ(test::Snapshot(w.Dir("P")), before);
  EXPECT_TRUE(w.messages.empty());
}

template <typename T>
T* VisibleWindow() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<T*>(top); window && window->isVisible()) return window;
  }
  return nullptr;
}

TEST(CheckWindow, TheRepairQuestionAnsweredAfterTheProgressDelayStillRepairs) {
  test::GuiWindow w;
  std::vector<SymbolDescription> symbols;
  for (int n = 1; n <= 12; ++n) {
    symbols.push_back(test::Symbol(n, "S" + std::to_string(n), test::Fields28(), test::WeekdayQuotes(kMonday, 4)));
  }
  test::Build(w.Dir("P"), test::Portfolio(symbols));
  for (int n = 1; n <= 12; ++n) SetHeaderCount(w.Dir("P/F" + std::to_string(n) + ".DAT"), 9);  // 8 quotes
  w.Open();
  CPortfolioCheckDlg* check = OpenCheck(w);
  ASSERT_EQ(check->problemList()->topLevelItemCount(), 12);

  // The real question box, read for longer than any progress delay, then Yes clicked as a
  // person clicks: through the window system, which a modal window in front would block.
  w.frame->view()->ui().SetQuestionHandler(nullptr);
  bool progressWhileAsked = true;
  QTimer::singleShot(900, [&] {
    progressWhileAsked = VisibleWindow<QProgressDialog>() != nullptr;
    QMessageBox* question = VisibleWindow<QMessageBox>();
    ASSERT_NE(question, nullptr);
    QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);
  });
  check->repairButton()->click();
  EXPECT_FALSE(progressWhileAsked);
  EXPECT_TRUE(w.messages.empty()) << w.messages.front();
  EXPECT_EQ(check->problemList()->topLevelItemCount(), 0);
  EXPECT_EQ(test::ReadBytes(w.Dir("P/F5.DAT"))[2], 5);
}

TEST(CheckWindow, LongWorkShowsItsProgressOnlyAfterAMomentFollowsItAndCancels) {
  QWidget owner;
  auto step = WorkProgress(QStringLiteral("Repairing symbols..."), &owner);
  EXPECT_TRUE(step(0, 40));
  EXPECT_EQ(VisibleWindow<QProgressDialog>(), nullptr);
  QTest::qWait(600);
  EXPECT_TRUE(step(7, 40));
  QProgressDialog* window = VisibleWindow<QProgressDialog>();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->labelText() + QString(" %1 of %2").arg(window->value()).arg(window->maximum()),
            "Repairing symbols... 7 of 40");
  EXPECT_TRUE(step(8, 40));
  EXPECT_EQ(window->value(), 8);
  window->cancel();
  EXPECT_FALSE(step(9, 40));
  EXPECT_FALSE(step(10, 40));  // a cancel stands until the work stops
  EXPECT_EQ(VisibleWindow<QProgressDialog>(), nullptr);

  auto whole = WorkProgress(QStringLiteral("Checking symbols..."), &owner);
  EXPECT_TRUE(whole(0, 3));
  QTest::qWait(600);
  EXPECT_TRUE(whole(2, 3));
  ASSERT_NE(VisibleWindow<QProgressDialog>(), nullptr);
  EXPECT_TRUE(whole(3, 3));
  EXPECT_EQ(VisibleWindow<QProgressDialog>(), nullptr);  // gone once the work is done
}

constexpr auto kProblem = CChartPane::MarkKind::kProblem;

TEST(CheckWindow, TheChartMarksTheShownSymbolsProblemsOnTheirDaysAsTheDataChanges) {
  test::GuiWindow w;
  auto hilo = test::WeekdayQuotes(kMonday, 6);
  hilo[2].high = 4.1f;  // 06/17/98
  hilo[2].low = 4.2f;
  auto zero = test::WeekdayQuotes(kMonday, 5);
  zero[3].close = 0;  // 06/18/98
  w.Open(test::Portfolio({test::Symbol(1, "HILO", test::Fields28(), hilo),
                          test::Symbol(2, "ZERO", test::Fields28(), zero)}));
  CChartPane* chart = w.frame->view()->chartPane();
  chart->resize(700, 400);
  ASSERT_EQ(w.state().m_seriesSymbol, "HILO");
  EXPECT_TRUE(chart->marks().empty());

  CPortfolioCheckDlg* check = OpenCheck(w);
  ASSERT_NE(check, nullptr);
  QTreeWidget* list = check->problemList();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(ShownLines(list)[0], (QStringList{"HILO", "06/17/98", "1", "high 4.10 below low 4.20", ""}));
  // Newest first: 06/22, 06/19, 06/18, 06/17.
  EXPECT_EQ(w.Marks(kProblem), std::vector<std::string>{"3 high 4.10 below low 4.20"});
  const auto xOfRow = [chart](int row) {
    return chart->PlotRect().left() + static_cast<int>(chart->viewport().XOfBar(BarOfRow(chart->viewport().bars(), row)));
  };
  EXPECT_EQ(chart->MarkTextAt(xOfRow(3)), "06/17/98  high 4.10 below low 4.20");
  EXPECT_EQ(chart->MarkTextAt(xOfRow(1)), "");
  EXPECT_FALSE(chart->grab().isNull());

  // Another symbol, from the list and from the symbol grid: each shows its own.
  DoubleClickRow(list, 1);
  ASSERT_EQ(w.state().m_seriesSymbol, "ZERO");
  EXPECT_EQ(w.Marks(kProblem), std::vector<std::string>{"1 close is zero"});
  test::GuiWindow::Click(w.frame->view()->symbolGrid(), 0);
  ASSERT_EQ(w.state().m_seriesSymbol, "HILO");
  EXPECT_EQ(w.Marks(kProblem), std::vector<std::string>{"3 high 4.10 below low 4.20"});

  // A quote deleted before it: the mark stays on its day, now one row higher.
  ASSERT_EQ(w.state().m_selQuoteRow, 0);
  w.Run(kCmdDeleteQuote, test::GuiWindow::Ok);
  ASSERT_EQ(w.state().m_quoteCount, 5);
  EXPECT_EQ(w.Marks(kProblem), std::vector<std::string>{"2 high 4.10 below low 4.20"});
  EXPECT_EQ(w.state().QuoteDateText(2), "06/17/98");

  // The day mended in Edit quote: its mark and its line go.
  w.frame->view()->quoteGrid()->selectionModel()->setCurrentIndex(
      w.frame->view()->quoteGrid()->model()->index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  w.Run(kCmdEditQuote, [](QDialog* d) {
    static_cast<CEditQuoteDlg*>(d)->field(1)->setText("20");
    test::GuiWindow::Ok(d);
  });
  EXPECT_TRUE(w.messages.empty());
  EXPECT_TRUE(chart->marks().empty());
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(ShownLines(list)[0], (QStringList{"ZERO", "06/18/98", "1", "close is zero", ""}));

  // Closing the window takes its marks away.
  DoubleClickRow(list, 0);
  EXPECT_EQ(w.Marks(kProblem), std::vector<std::string>{"1 close is zero"});
  check->close();
  EXPECT_TRUE(chart->marks().empty());
}

}  // namespace
}  // namespace barvane
