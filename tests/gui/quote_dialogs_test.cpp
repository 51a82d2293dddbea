// The quote dialogs offscreen: the entry fields' keys, the edit dialog's navigation, and each
// command run from the window with its dialog answered OK or Cancel.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QStatusBar>

#include "gui/add_quote_dlg.h"
#include "gui/adjust_dlg.h"
#include "gui/date_edit.h"
#include "gui/delete_quote_dlg.h"
#include "gui/edit_quote_dlg.h"
#include "gui/number_edit.h"
#include "gui/split_dlg.h"
#include "window_harness.h"

namespace barvane {
namespace {

using test::kMonday;

// A window over one portfolio of one symbol.
struct QuoteWindow : test::GuiWindow {
  explicit QuoteWindow(std::vector<QuoteValues> quotes) {
    Open(test::Portfolio(test::Symbol(1, "ACME", test::Fields28(), std::move(quotes))));
  }
  Bytes Dat() { return test::ReadBytes(Dir("P/F1.DAT")); }
};

// The key filters themselves are the core's; here each field applies them to keys and pastes.
TEST(EntryFields, TypedKeysAndPastesGoThroughTheFieldsOwnFilters) {
  CNumberEdit number;
  QTest::keyClicks(&number, "1.5-a7");
  EXPECT_EQ(number.text(), "1.57");
  QTest::keyClick(&number, Qt::Key_Backspace);
  EXPECT_EQ(number.text(), "1.5");
  number.SetSignAllowed(true);
  number.clear();
  QTest::keyClicks(&number, "-1,14");
  EXPECT_EQ(number.text(), "-1.14");
  // A paste is taken whole or not at all, never key by key.
  for (const auto& [pasted, want] : {std::pair{"-37,63\r\n", "-37.63"}, std::pair{"1,140.50", ""}}) {
    number.clear();
    QApplication::clipboard()->setText(QString::fromLatin1(pasted));
    QTest::keySequence(&number, QKeySequence::Paste);
    EXPECT_EQ(number.text().toStdString(), want) << pasted;
  }

  CDateEdit date;
  date.Seed("06/15/98");
  EXPECT_EQ(date.selectedText(), "06/15/98");  // typing starts at the month at once
  QTest::keyClicks(&date, "070499");
  EXPECT_EQ(date.text(), "07/04/99");
  EXPECT_EQ(date.selectedText(), "07");
  for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Slash}) QTest::keyClick(&date, key);
  EXPECT_EQ(date.text(), "07/04/99");
  date.setCursorPosition(2);  // between the month and its slash: no digit goes there
  QTest::keyClick(&date, Qt::Key_1);
  EXPECT_EQ(date.text(), "07/04/99");
  EXPECT_EQ(date.selectedText(), "07");
  date.Seed("06/15/1928");
  for (const auto& [pasted, want] : {std::pair{"1929-11-10", "11/10/1929"}, std::pair{"11/12/29", "11/10/1929"}}) {
    QApplication::clipboard()->setText(QString::fromLatin1(pasted));
    QTest::keySequence(&date, QKeySequence::Paste);
    EXPECT_EQ(date.text().toStdString(), want) << pasted;
  }
  EXPECT_EQ(date.selectedText(), "11");  // typing goes on at the month
  QTest::keyClicks(&date, "0102");
  EXPECT_EQ(date.text(), "01/02/1929");
}

// The dialog opens on the newest quote, tabs through what is enabled and Cancel keeps the row.
// Then no number for a stored field is refused by OK and by a Yes to storing it before a step,
// which then stays on the day, as a No to an unlikely close does, at a step or at OK. Values
// not typed keep their bytes when another is.
TEST(EditQuoteDialog, TabsThroughWhatIsEnabledRefusesNoNumberAndWritesOnlyWhatIsTyped) {
  auto quotes = test::WeekdayQuotes(kMonday, 3);
  for (QuoteValues& q : quotes) {
    q.open = 3.14159265f;
    q.high = 14.00006f;
    q.low = 1.99999f;
    q.volume = 1500.5f;
  }
  QuoteWindow w(quotes);
  std::vector<QWidget*> order;
  w.Run<CEditQuoteDlg>(kCmdEditQuote, [&order](CEditQuoteDlg* edit) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(edit));
    EXPECT_EQ(QApplication::focusWidget(), edit->field(0));
    EXPECT_EQ(edit->field(0)->selectedText().toStdString(), "3.1415927");
    for (int i = 0; i < 11; ++i) {
      order.push_back(QApplication::focusWidget());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    auto* box = edit->findChild<QDialogButtonBox*>();
    // At the newest quote Next and Last are disabled and skipped.
    std::vector<QWidget*> want;
    for (int i = 0; i < 6; ++i) want.push_back(edit->field(i));
    want.insert(want.end(), {edit->button(EditStep::kPrevious), edit->button(EditStep::kFirst),
                             box->button(QDialogButtonBox::Ok), box->button(QDialogButtonBox::Cancel), edit->field(0)});
    EXPECT_EQ(order, want);
    EXPECT_EQ(edit->dateText(), "06/17/98");
    edit->button(EditStep::kFirst)->click();
    edit->button(EditStep::kPrevious)->click();
    EXPECT_EQ(edit->dateText(), "06/15/98");
    EXPECT_FALSE(edit->button(EditStep::kFirst)->isEnabled());
    EXPECT_EQ(edit->field(0)->maxLength(), 10);
    QuoteWindow::Cancel(edit);
  });
  ASSERT_EQ(order.size(), 11u);
  EXPECT_EQ(w.state().m_selQuoteRow, 0);

  const Bytes before = w.Dat();
  w.Run<CEditQuoteDlg>(kCmdEditQuote, [&](CEditQuoteDlg* edit) {
    edit->button(EditStep::kPrevious)->click();  // 06/16/98
    edit->field(3)->setText("N/A");
    QuoteWindow::Ok(edit);
    EXPECT_TRUE(edit->isVisible());
    edit->field(3)->setText(".");
    edit->button(EditStep::kFirst)->click();
    EXPECT_EQ(w.messages, std::vector<std::string>(2, "Invalid Data Entered"));
    EXPECT_EQ(edit->dateText(), "06/16/98");
    w.answer = false;
    edit->field(3)->setText("500");
    edit->button(EditStep::kFirst)->click();
    EXPECT_EQ(edit->dateText(), "06/16/98");
    edit->field(3)->selectAll();
    QTest::keyClicks(edit->field(3), "-106");  // the minus gets through
    QuoteWindow::Ok(edit);
    EXPECT_TRUE(edit->isVisible());  // No: the dialog stays with the values typed
    EXPECT_EQ(edit->field(3)->text(), "-106");
    EXPECT_EQ(w.Dat(), before);
    w.answer = true;
    QuoteWindow::Ok(edit);
  });
  ASSERT_EQ(w.questions.size(), 5u);
  EXPECT_EQ(w.questions[2].rfind("The close 500.0000", 0), 0u) << w.questions[2];
  EXPECT_EQ(w.questions[3], "The close -106.0000 lies below the low 1.99999.\n"
                           "The close is more than ten times the neighbouring closes.\n\nStore it all the same?");
  EXPECT_EQ(w.questions[4], w.questions[3]);
  EXPECT_EQ(w.QuoteCell(1, 4), "-106.0000");
  EXPECT_EQ(w.settings.ReadString("Edit", "Date", ""), "06/16/98");
  EXPECT_EQ(w.state().m_selQuoteRow, 1);  // the edited quote stays current

  // The close typed, reached by Tab, is written alone: every other value keeps its bytes.
  w.Run(kCmdEditQuote, [](QDialog* d) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "9.5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  });
  quotes[1].close = 9.5f;
  EXPECT_EQ(w.Dat(), QuoteFileBytes(test::Symbol(1, "ACME", test::Fields28(), quotes)));
  EXPECT_EQ(w.questions.size(), 5u);
}

// A changed close, then Previous: Yes stores it on the day shown and steps, No drops it and
// steps, Cancel stays on the day with the typed text.
TEST(EditQuoteDialog, AStepAwayFromChangedValuesAsksWhetherToStoreThemFirst) {
  struct Case {
    Answer choice;
    const char* shownAfter;    // the day and the close in the dialog after the step
    const char* closeWritten;  // of 06/17/98 in the grid
  };
  for (const Case& c : {Case{Answer::kYes, "06/16/98 10.2500", "11.0000"}, Case{Answer::kNo, "06/16/98 10.2500", "10.5000"},
                        Case{Answer::kCancel, "06/17/98 11", "10.5000"}}) {
    QuoteWindow w(test::WeekdayQuotes(kMonday, 3));
    const Bytes before = w.Dat();
    w.choice = c.choice;
    std::string shownAfter;
    w.Run<CEditQuoteDlg>(kCmdEditQuote, [&](CEditQuoteDlg* edit) {
      edit->button(EditStep::kPrevious)->click();  // nothing changed: no question
      edit->button(EditStep::kNext)->click();
      ASSERT_TRUE(w.questions.empty());
      edit->field(3)->setText("11");
      edit->button(EditStep::kPrevious)->click();
      shownAfter = (edit->dateText() + " " + edit->field(3)->text()).toStdString();
      QuoteWindow::Cancel(edit);
    });
    SCOPED_TRACE(c.shownAfter);
    EXPECT_EQ(w.questions, std::vector<std::string>{"Store the changes to 06/17/98 first?"});
    EXPECT_EQ(shownAfter, c.shownAfter);
    EXPECT_EQ(w.QuoteCell(0, 4), c.closeWritten);
    EXPECT_EQ(w.Dat() == before, c.choice != Answer::kYes);
    EXPECT_EQ(w.settings.ReadString("Edit", "Close", ""), c.choice == Answer::kYes ? "11" : "");
    EXPECT_TRUE(w.messages.empty());
  }
}

TEST(SplitAdjustAndDeleteDialogs, DateFieldsPassOnEnterAndEscapeSplitRefusesARatioOfZeroAndDeleteAsks) {
  QuoteWindow w(test::WeekdayQuotes(kMonday, 4));
  const Bytes before = w.Dat();
  for (CommandId command : {kCmdSplit, kCmdAdjust}) {
    w.Run(command, [command](QDialog* d) {
      QWidget* date = command == kCmdSplit ? static_cast<CSplitDlg*>(d)->dateField()
                                           : static_cast<CAdjustDlg*>(d)->toField();
      date->setFocus();
      QTest::keyClick(date, Qt::Key_Escape);
      EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(w.Dat(), before) << command;
  }

  w.Run<CSplitDlg>(kCmdSplit, [&w](CSplitDlg* split) {
    EXPECT_EQ(split->dateField()->text(), "06/18/98");
    split->newField()->setText("0");
    QuoteWindow::Ok(split);
    EXPECT_EQ(w.messages, std::vector<std::string>{"Invalid Data Entered"});
    EXPECT_TRUE(split->isVisible());
    w.messages.clear();
    split->newField()->setText("2");
    split->dateField()->setFocus();
    QTest::keyClick(split->dateField(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(split->isVisible());
  });
  EXPECT_EQ(w.QuoteCell(0, 4), "10.7500");  // the split day keeps its close
  EXPECT_EQ(w.QuoteCell(1, 4), "5.2500");   // the day before is halved
  EXPECT_EQ(w.settings.ReadString("Split", "New", ""), "2");
  EXPECT_EQ(w.frame->statusBar()->currentMessage(),
            "Split 2 for 1 applied to ACME before 06/18/98");
  w.Run<CAdjustDlg>(kCmdAdjust, [](CAdjustDlg* adjust) {
    adjust->priceField()->setText("2");
    adjust->fromField()->setFocus();
    QTest::keyClick(adjust->fromField(), Qt::Key_Return);
    EXPECT_FALSE(adjust->isVisible());
  });
  EXPECT_EQ(w.QuoteCell(1, 4), "10.5000");
  EXPECT_TRUE(w.messages.empty());

  // Delete quote: No keeps its dialog open, Cancel then changes nothing, OK and Yes delete.
  const Bytes adjusted = w.Dat();
  w.answer = false;
  w.Run(kCmdDeleteQuote, [](QDialog* d) {
    QuoteWindow::Ok(d);
    EXPECT_TRUE(d->isVisible());
    QuoteWindow::Cancel(d);
  });
  EXPECT_EQ(w.questions, std::vector<std::string>{"You are about to delete the data for date\n06/18/98\nAre you sure?"});
  EXPECT_EQ(w.Dat(), adjusted);
  w.answer = true;
  w.Run(kCmdDeleteQuote, QuoteWindow::Ok);
  EXPECT_EQ(w.state().m_quoteCount, 3);
  EXPECT_EQ(w.state().m_lastDateText, "06/17/98");
}

TEST(AddQuoteDialog, AddsTheMissingFridayAndOpensTheEditOnIt) {
  auto quotes = test::WeekdayQuotes(YmdToDay(1998, 6, 10), 5);  // Wed 06/10 to Tue 06/16
  quotes.erase(quotes.begin() + 2);                              // no Friday 06/12
  QuoteWindow w(quotes);
  w.state().m_selQuoteRow = 1;  // Monday 06/15
  std::string editedDate;
  w.Run<CAddQuoteDlg>(kCmdAddQuote, [&editedDate](CAddQuoteDlg* d) {
    QuoteWindow::WhenOpens<CEditQuoteDlg>([&editedDate](CEditQuoteDlg* edit) {
      editedDate = edit->dateText().toStdString();
      QuoteWindow::Cancel(edit);
    });
    QuoteWindow::Ok(d);
  });
  EXPECT_EQ(editedDate, "06/12/98");
  EXPECT_EQ(w.state().m_quoteCount, 5);
  EXPECT_EQ(w.state().QuoteDateText(2), "06/12/98");
  EXPECT_EQ(w.settings.ReadString("Add", "Date", ""), "06/12/98");
  EXPECT_TRUE(w.messages.empty());
}

}  // namespace
}  // namespace barvane
