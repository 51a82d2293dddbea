// The Portfolio Check window offscreen: the check it runs on opening, its list, a double-click
// that leads the main view to the problem's day, and the repair with its question.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

#include "gui/portfolio_check_dlg.h"
#include "tools/portfolio_check_view.h"
#include "window_harness.h"

namespace barvane {
namespace {

const DayNumber kMonday = YmdToDay(98, 6, 15);

QStringList RowTexts(QTreeWidget* list, int row) {
  QStringList texts;
  for (int c = 0; c < list->columnCount(); ++c) texts << list->topLevelItem(row)->text(c);
  return texts;
}

TEST(CheckWindow, ListsTheProblemsLeadsToTheirDayAndRepairs) {
  test::GuiWindow w;
  auto zero = test::WeekdayQuotes(kMonday, 5);
  zero[3].close = 0;
  test::Build(w.Dir("P"), test::Portfolio({test::Symbol(1, "KEEP", test::Fields28(), test::WeekdayQuotes(kMonday, 4)),
                                           test::Symbol(2, "ZERO", test::Fields28(), zero)}));
  Bytes quotes = test::ReadBytes(w.Dir("P/F1.DAT"));
  quotes[2] = 9;
  test::WriteBytes(w.Dir("P/F1.DAT"), quotes);
  w.Open();
  ASSERT_TRUE(w.Enabled(kCmdCheckPortfolio));

  w.frame->action(kCmdCheckPortfolio)->trigger();
  CPortfolioCheckDlg* check = w.frame->view()->checkWindow();
  ASSERT_NE(check, nullptr);
  EXPECT_TRUE(check->isVisible());
  EXPECT_FALSE(check->isModal());
  EXPECT_EQ(check->windowTitle(), "Portfolio Check");
  QTreeWidget* list = check->problemList();
  EXPECT_EQ(list->headerItem()->text(0), "Symbol");
  EXPECT_EQ(list->headerItem()->text(1), "Date");
  EXPECT_EQ(list->headerItem()->text(2), "Problem");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(RowTexts(list, 0), (QStringList{"KEEP", "-", "header counts 8 quotes, the file holds 4"}));
  EXPECT_EQ(RowTexts(list, 1), (QStringList{"ZERO", "06/18/98", "close is zero"}));
  EXPECT_TRUE(check->repairButton()->isEnabled());

  // A double-click on the zero close makes ZERO current with 06/18/98 selected.
  const QRect rect = list->visualItemRect(list->topLevelItem(1));
  // The view takes a double-click on the row it saw pressed.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(w.state().m_seriesSymbol, "ZERO");
  EXPECT_EQ(w.state().QuoteDateText(w.state().m_selQuoteRow), "06/18/98");
  EXPECT_EQ(w.frame->view()->quoteGrid()->currentIndex().row(), w.state().m_selQuoteRow);

  w.answer = true;
  check->repairButton()->click();
  ASSERT_EQ(w.questions.size(), 1u);
  EXPECT_NE(w.questions[0].find("KEEP  -  set the header count to 4"), std::string::npos);
  EXPECT_TRUE(w.messages.empty());
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(RowTexts(list, 0), (QStringList{"ZERO", "06/18/98", "close is zero"}));
  EXPECT_FALSE(check->repairButton()->isEnabled());
  EXPECT_EQ(w.state().m_seriesSymbol, "ZERO");
}

}  // namespace
}  // namespace barvane
