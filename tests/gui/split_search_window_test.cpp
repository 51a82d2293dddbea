// The split search window offscreen: beside the main window, its commands held while it is
// open; a line opens its symbol on its day, Enter and "Split..." offer a prefilled Split, the
// chart marks what is listed, and the lines can be hidden by ratio and price and sorted.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "gui/date_edit.h"
#include "gui/number_edit.h"
#include "gui/split_dlg.h"
#include "gui/split_search_dlg.h"
#include "window_harness.h"

namespace barvane {
namespace {

using test::Fields28;
using test::kMonday;
using test::Symbol;

// `count` weekday quotes closing at `before` until quote `at`, at `after` from there on, each
// day's range 1% either side of its close.
std::vector<QuoteValues> JumpAt(int count, int at, float before, float after) {
  auto quotes = test::WeekdayQuotes(kMonday, count, before);
  for (int i = 0; i < count; ++i) {
    auto& q = quotes[static_cast<std::size_t>(i)];
    q.open = q.close = i < at ? before : after;
    q.high = q.close * 1.01f;
    q.low = q.close * 0.99f;
  }
  return quotes;
}

struct SearchWindow : test::GuiWindow {
  SearchWindow() {
    Open(test::Portfolio({Symbol(1, "ZED", Fields28(), JumpAt(8, 3, 100, 50)),
                          Symbol(2, "ABC", Fields28(), JumpAt(8, 5, 0.01f, 0.02f)),
                          Symbol(3, "MID", Fields28(), JumpAt(8, 2, 40, 10))}));
    frame->action(kCmdSplitSearch)->trigger();
    search = frame->view()->splitSearchWindow();
    search->searchButton()->click();
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (int i = 0; i < search->resultList()->count(); ++i) {
      lines.push_back(search->resultList()->item(i)->text().toStdString());
    }
    return lines;
  }
  void Choose(int line) { search->resultList()->setCurrentRow(line); }
  CSplitSearchDlg* search = nullptr;
};

constexpr auto kCandidate = CChartPane::MarkKind::kCandidate;
const std::string kAbc = "ABC possible 1 for 2 split on 06/22/98";
const std::string kMid = "MID possible 4 for 1 split on 06/17/98";
const std::string kZed = "ZED possible 2 for 1 split on 06/18/98";

TEST(SplitSearchWindow, FindsTheHalvingSavesItAndFreesTheCommandsOnClose) {
  test::GuiWindow w;
  test::Build(w.Dir("P"), test::Portfolio({Symbol(1, "FLAT", Fields28(), test::WeekdayQuotes(kMonday, 5)),
                                           Symbol(2, "HALF", Fields28(), JumpAt(6, 4, 100, 50)),
                                           Symbol(3, "ONE", Fields28(), JumpAt(1, 1, 100, 50))}));
  test::Build(w.Dir("Q"), test::Portfolio(Symbol(1, "CALM", Fields28(), test::WeekdayQuotes(kMonday, 5))));
  w.Open();
  w.frame->action(kCmdSplitSearch)->trigger();
  CSplitSearchDlg* search = w.frame->view()->splitSearchWindow();
  ASSERT_NE(search, nullptr);
  EXPECT_TRUE(search->isVisible() && !search->isModal() && w.state().m_splitSearchOpen);
  EXPECT_FALSE(search->windowFlags() & Qt::WindowCloseButtonHint);
  // Split search and edit symbol wait for it to close; delete symbol does not.
  EXPECT_TRUE(!w.Enabled(kCmdSplitSearch) && !w.Enabled(kCmdEditSymbol) && w.Enabled(kCmdDeleteSymbol));
  EXPECT_TRUE(!search->saveButton()->isEnabled() && search->statusText()->text().isEmpty());

  // A message in the middle of the search shows above what has been found so far.
  std::vector<std::string> shownWithMessage;
  w.onMessage = [&shownWithMessage, search](const std::string&) {
    shownWithMessage = {search->statusText()->text().toStdString(), std::to_string(search->resultList()->count())};
  };
  search->searchButton()->click();
  w.onMessage = nullptr;
  EXPECT_EQ(w.messages, std::vector<std::string>{"For symbol ONE\nSplitSearch cannot perform search\nas there are "
                                                 "fewer than 2 quotes."});
  EXPECT_EQ(shownWithMessage, (std::vector<std::string>{"HALF", "1"}));
  ASSERT_EQ(search->resultList()->count(), 1);
  EXPECT_EQ(search->resultList()->item(0)->text().toStdString(),
            "HALF possible 2 for 1 split on " + ScreenDate(JumpAt(6, 4, 100, 50)[4].day));
  EXPECT_TRUE(search->statusText()->text() == "Done search" && search->saveButton()->isEnabled());
  w.messages.clear();

  SaveFileRequest asked{};
  search->SetSavePrompt([&](QWidget*, const SaveFileRequest& request) {
    asked = request;
    return QString::fromStdString(w.Dir("found.txt"));
  });
  search->saveButton()->click();
  EXPECT_TRUE(asked.initialName == "result" && asked.confirmOverwrite);
  EXPECT_EQ(test::ReadText(w.Dir("found.txt")), search->resultList()->item(0)->text().toStdString() + "\r\n");

  // The window searches whichever portfolio is current; lines of earlier searches stay.
  w.PickPortfolio(1);
  search->searchButton()->click();
  EXPECT_EQ(w.messages, std::vector<std::string>{"No candidate splits found"});
  EXPECT_EQ(search->resultList()->count(), 1);

  search->closeButton()->click();
  EXPECT_TRUE(!w.state().m_splitSearchOpen && w.Enabled(kCmdSplitSearch) && w.Enabled(kCmdEditSymbol));
  EXPECT_TRUE(QTest::qWaitFor([&w] { return w.frame->view()->splitSearchWindow() == nullptr; }, 2000));

  w.frame->action(kCmdSplitSearch)->trigger();  // a fresh window, closed by Escape
  search = w.frame->view()->splitSearchWindow();
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->resultList()->count(), 0);
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_TRUE(!w.state().m_splitSearchOpen && w.Enabled(kCmdEditSymbol));
}

TEST(SplitSearchWindow, ALineOpensItsSymbolOnItsDayEnterOffersItsSplitAndLinesHideAndSort) {
  SearchWindow w;
  ASSERT_EQ(w.Lines(), (std::vector<std::string>{kAbc, kMid, kZed}));
  EXPECT_TRUE(w.search->searchButton()->isDefault() && !w.search->splitButton()->isEnabled());
  QListWidget* list = w.search->resultList();
  const QPoint zed = list->visualItemRect(list->item(2)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, zed);
  EXPECT_EQ(w.state().m_seriesSymbol, "ABC");  // a click only chooses the line
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, zed);
  EXPECT_EQ(w.state().m_seriesSymbol, "ZED");
  EXPECT_EQ(w.state().m_selQuoteRow, 4);  // quote 3 of 8, newest first
  EXPECT_EQ(w.frame->view()->quoteGrid()->currentIndex().row(), 4);
  EXPECT_EQ(w.frame->view()->symbolGrid()->currentIndex().row(), 2);
  EXPECT_EQ(w.frame->windowTitle().toStdString(), "Barvane - " + w.Dir("P") + " - ZED");
  EXPECT_EQ(w.frame->view()->chartPane()->currentRow(), 4);
  EXPECT_EQ(w.Marks(kCandidate), std::vector<std::string>{"4 2 for 1"});
  EXPECT_TRUE(w.search->splitButton()->isDefault());

  // Enter offers the split prefilled and OK applies it: ABC's closes of 0.01 become 0.02.
  w.Choose(0);
  std::vector<std::string> offered;
  SearchWindow::WhenOpens<CSplitDlg>([&offered](CSplitDlg* split) {
    offered = {split->dateField()->text().toStdString(), split->newField()->text().toStdString(),
               split->oldField()->text().toStdString()};
    test::GuiWindow::Ok(split);
  });
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(offered, (std::vector<std::string>{"06/22/98", "1", "2"}));
  EXPECT_EQ(w.state().m_seriesSymbol, "ABC");
  EXPECT_EQ(w.QuoteCell(7, 4) + " " + w.QuoteCell(0, 4), "0.0200 0.0200");  // before the day and on it
  EXPECT_TRUE(w.messages.empty());

  // Lines hide by ratio and price and sort by symbol or date.
  using Lines = std::vector<std::string>;
  w.search->orderBox()->setCurrentIndex(2);
  EXPECT_EQ(w.Lines(), (Lines{kMid, kZed, kAbc}));
  w.search->orderBox()->setCurrentIndex(1);
  EXPECT_EQ(w.Lines(), (Lines{kAbc, kMid, kZed}));
  w.search->ratioBox(0)->setChecked(false);  // 1 for 2
  EXPECT_EQ(w.Lines(), (Lines{kMid, kZed}));
  w.search->ratioBox(0)->setChecked(true);
  w.search->priceField()->setText(QStringLiteral("0.05"));  // ABC's closes lie below
  EXPECT_EQ(w.Lines(), (Lines{kMid, kZed}));
  w.search->priceField()->setText(QStringLiteral("45"));  // MID: the higher close, 40, too
  EXPECT_EQ(w.Lines(), (Lines{kZed}));

  // The current line stays current through a new order; the chart marks only what is listed.
  w.search->priceField()->clear();
  w.Choose(1);
  SearchWindow::WhenOpens<CSplitDlg>(test::GuiWindow::Cancel);
  QTest::keyClick(w.search->resultList(), Qt::Key_Return);  // opens MID, then its Split
  EXPECT_EQ(w.state().m_seriesSymbol, "MID");
  w.search->orderBox()->setCurrentIndex(2);
  EXPECT_EQ(w.search->resultList()->currentItem()->text().toStdString(), kMid);
  EXPECT_EQ(w.Marks(kCandidate), Lines{"5 4 for 1"});
  w.search->ratioBox(7)->setChecked(false);  // 4 for 1
  EXPECT_TRUE(w.Marks(kCandidate).empty());

  // Save As still writes every line found, in the order found.
  w.search->SetSavePrompt([&w](QWidget*, const SaveFileRequest&) { return QString::fromStdString(w.Dir("r.txt")); });
  w.search->saveButton()->click();
  EXPECT_EQ(test::ReadText(w.Dir("r.txt")), kAbc + "\r\n" + kMid + "\r\n" + kZed + "\r\n");

  // Closing the window takes its marks off the chart.
  w.search->ratioBox(7)->setChecked(true);
  ASSERT_EQ(w.Marks(kCandidate), Lines{"5 4 for 1"});
  w.search->closeButton()->click();
  EXPECT_TRUE(w.Marks(kCandidate).empty());
}
}  // namespace
}  // namespace barvane
