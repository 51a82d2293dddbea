// Edit > Undo, Redo and the History window offscreen: named after the change, reached by the
// keyboard, giving the files back byte for byte and refilling the grids.
#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTreeWidget>

#include "gui/adjust_dlg.h"
#include "gui/history_dlg.h"
#include "gui/import_dlg.h"
#include "gui/number_edit.h"
#include "gui/split_dlg.h"
#include "window_harness.h"

namespace barvane {
namespace {

struct HistoryWindow : test::GuiWindow {
  HistoryWindow() {
    Open(test::Portfolio(test::Symbol(1, "ACME", test::Fields28(), test::WeekdayQuotes(test::kMonday, 4))));
  }
  std::map<std::string, Bytes> Files() { return test::Snapshot(Dir("P")); }
  std::string Close(int row) { return QuoteCell(row, 4); }
  void Split() {
    Run(kCmdSplit, [](QDialog* d) {
      static_cast<CSplitDlg*>(d)->newField()->setText("2");
      Ok(d);
    });
  }
  // Keys as the user types them into the window, which a closed dialog may have left inactive.
  void Keys(QKeyCombination keys) {
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keySequence(frame.get(), QKeySequence(keys));
  }
  // Opens the History window and hands it to `act`.
  void History(std::function<void(CHistoryDlg*)> act) {
    WhenOpens<CHistoryDlg>([act](CHistoryDlg* dialog) {
      act(dialog);
      dialog->reject();
    });
    frame->historyAction()->trigger();
  }
};

TEST(EditUndo, SplitAndImportAreUndoneByTheKeyboardAndAfterAnotherProgramsChangeOnlyOnAYes) {
  HistoryWindow w;
  EXPECT_FALSE(w.frame->undoAction()->isEnabled());
  EXPECT_EQ(w.frame->undoAction()->text(), "&Undo");
  const auto before = w.Files();
  w.Split();
  const auto after = w.Files();
  ASSERT_NE(after, before);
  EXPECT_EQ(w.frame->undoAction()->text(), "&Undo Split of ACME on 06/18/98");
  EXPECT_FALSE(w.frame->redoAction()->isEnabled());
  EXPECT_EQ(w.Close(1), "5.2500");

  w.Keys(Qt::CTRL | Qt::Key_Z);
  EXPECT_EQ(w.Files(), before);
  EXPECT_EQ(w.Close(1), "10.5000");  // the grid read again
  EXPECT_FALSE(w.frame->undoAction()->isEnabled());
  EXPECT_EQ(w.frame->redoAction()->text(), "&Redo Split of ACME on 06/18/98");
  EXPECT_EQ(w.frame->statusBar()->currentMessage(), "Undone: Split of ACME on 06/18/98");

  w.Keys(Qt::CTRL | Qt::Key_Y);
  EXPECT_EQ(w.Files(), after);
  EXPECT_EQ(w.Close(1), "5.2500");
  w.Keys(Qt::CTRL | Qt::Key_Z);
  w.Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
  EXPECT_EQ(w.Files(), after);
  EXPECT_TRUE(w.messages.empty());

  // A file changed by another program since is undone only when the user says so.
  Bytes dat = test::ReadBytes(w.Dir("P/F1.DAT"));
  dat.back() ^= 1;
  test::WriteBytes(w.Dir("P/F1.DAT"), dat);
  const auto changed = w.Files();
  w.answer = false;
  w.frame->undoAction()->trigger();
  ASSERT_EQ(w.questions.size(), 1u);
  EXPECT_NE(w.questions[0].find("was changed after \"split"), std::string::npos) << w.questions[0];
  EXPECT_TRUE(w.questions[0].ends_with("Nothing was undone.\n\nUndo it all the same?"));
  EXPECT_EQ(w.Files(), changed);
  w.answer = true;
  w.frame->undoAction()->trigger();
  EXPECT_EQ(w.Files(), before);

  // An import from the window is undone to the exact bytes.
  const std::string text = w.Dir("quotes.txt");
  test::WriteBytes(text, {'0', '6', '/', '2', '2', '/', '9', '8', ' ', '1', ' ', '2', ' ', '1', ' ', '2', '\n'});
  w.Run(kCmdImportQuotes, [text](QDialog* d) {
    QLineEdit* file = static_cast<CImportDlg*>(d)->fileEdit();
    file->setText(QString::fromStdString(text));
    emit file->editingFinished();
    HistoryWindow::Ok(d);
  });
  ASSERT_NE(w.Files(), before);
  EXPECT_EQ(w.QuoteCell(0, 0), "06/22/98");
  ASSERT_TRUE(w.frame->undoAction()->isEnabled());
  w.Keys(Qt::CTRL | Qt::Key_Z);
  EXPECT_EQ(w.Files(), before);
  EXPECT_TRUE(w.messages.empty());
}

TEST(HistoryWindow, UndoToHereAndRedoToHereWalkToTheSelectedChange) {
  HistoryWindow w;
  const auto start = w.Files();
  w.Split();
  const auto split = w.Files();
  w.Run(kCmdAdjust, [](QDialog* d) {
    static_cast<CAdjustDlg*>(d)->priceField()->setText("2");
    HistoryWindow::Ok(d);
  });
  w.Split();
  const auto end = w.Files();
  w.History([&](CHistoryDlg* d) {
    QTreeWidget* list = d->list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Split of ACME on 06/18/98");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "Adjust of ACME from 06/15/98 to 06/18/98");
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
    EXPECT_FALSE(d->redoButton()->isEnabled());
    list->setCurrentItem(list->topLevelItem(1));
    d->undoButton()->click();
    EXPECT_EQ(w.Files(), split);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Split of ACME on 06/18/98 (undone)");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "Adjust of ACME from 06/15/98 to 06/18/98 (undone)");
    EXPECT_TRUE(d->redoButton()->isEnabled());
    list->setCurrentItem(list->topLevelItem(2));
    d->undoButton()->click();
    EXPECT_EQ(w.Files(), start);
    list->setCurrentItem(list->topLevelItem(0));
    d->redoButton()->click();
    EXPECT_EQ(w.Files(), end);
  });
  EXPECT_EQ(w.Close(1), "5.2500");  // halved, doubled, halved
  EXPECT_TRUE(w.messages.empty());
}

}  // namespace
}  // namespace barvane
