// The portfolio tool dialogs offscreen: the export dialog with its file chosen, and the symbol
// dialogs' texts, answers and effects.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QStandardPaths>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>

#include "data/master.h"
#include "gui/delete_symbol_dlg.h"
#include "gui/edit_symbol_dlg.h"
#include "gui/export_dlg.h"
#include "gui/move_symbol_dlg.h"
#include "window_harness.h"

namespace barvane {
namespace {

using test::Fields28;
using test::kMonday;
using test::Symbol;

// ABC (file 2) and ZED (file 1) in each named portfolio; `ZED` alone in each of `zedOnly`.
struct ToolWindow : test::GuiWindow {
  explicit ToolWindow(std::initializer_list<const char*> portfolios, std::initializer_list<const char*> zedOnly = {}) {
    for (const char* name : portfolios) {
      test::Build(Dir(name), test::Portfolio({Symbol(1, "ZED", Fields28(), test::WeekdayQuotes(kMonday, 3)),
                                              Symbol(2, "ABC", Fields28(), test::WeekdayQuotes(kMonday, 3, 20))}));
    }
    for (const char* name : zedOnly) {
      test::Build(Dir(name), test::Portfolio(Symbol(1, "ZED", Fields28(), test::WeekdayQuotes(kMonday, 3))));
    }
    Open();
  }
};

// The note of an export goes from the status bar when another portfolio is shown.
TEST(ExportDialog, WritesTheChosenFileStoresTheChoicesAndAsksBeforeReplacing) {
  ToolWindow w({"P", "Q"});
  const std::string path = w.Dir("quotes.txt");
  // The first export goes to the documents folder, never the working folder.
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString proposed = (documents.isEmpty() ? QDir::homePath() : documents) + "/ABC.txt";
  w.Run<CExportDlg>(kCmdExport, [&](CExportDlg* dialog) {
    EXPECT_EQ(dialog->pathEdit()->text(), proposed);  // named after the symbol
    EXPECT_EQ(dialog->pathEdit()->maxLength(), 200);
    EXPECT_TRUE(dialog->delimiterButton(0)->isChecked() && dialog->orderButton(0)->isChecked());
    EXPECT_FALSE(dialog->titleBox()->isChecked());
    SaveFileRequest asked{};
    dialog->SetSavePrompt([&](QWidget*, const SaveFileRequest& request) {
      asked = request;
      return QString::fromStdString(path);
    });
    dialog->browseButton()->click();
    EXPECT_EQ(asked.initialName, proposed);
    EXPECT_FALSE(asked.confirmOverwrite);  // the export itself asks
    EXPECT_EQ(dialog->pathEdit()->text().toStdString(), path);
    dialog->omitBox(kExportOpen)->setChecked(true);
    dialog->delimiterButton(1)->setChecked(true);
    dialog->orderButton(1)->setChecked(true);
    dialog->titleBox()->setChecked(true);
    test::GuiWindow::Ok(dialog);
  });
  const std::string exported = test::ReadText(path);
  EXPECT_EQ(exported,
            "DATE,HIGH,LOW,CLOSE,VOL,OI\r\n"
            "06/17/98,21.0000,20.0000,20.5000,1002.00,52.00\r\n"
            "06/16/98,20.7500,19.7500,20.2500,1001.00,51.00\r\n"
            "06/15/98,20.5000,19.5000,20.0000,1000.00,50.00\r\n");
  EXPECT_TRUE(w.questions.empty());
  EXPECT_EQ(w.frame->statusBar()->currentMessage().toStdString(), "ABC exported to " + path);

  // The next export offers the choices stored (what a replace asks and stores is the export's
  // own); a stored delimiter out of range sets no button.
  w.settings.WriteInt("XportSel", "Delim", 7);
  w.Run<CExportDlg>(kCmdExport, [&](CExportDlg* dialog) {
    EXPECT_EQ(dialog->pathEdit()->text().toStdString(), w.Dir("ABC.txt"));  // beside the last export
    for (int b = 0; b < 3; ++b) EXPECT_FALSE(dialog->delimiterButton(b)->isChecked()) << b;
    EXPECT_TRUE(dialog->orderButton(1)->isChecked());
    EXPECT_TRUE(dialog->omitBox(kExportOpen)->isChecked() && dialog->titleBox()->isChecked());
    test::GuiWindow::Cancel(dialog);
  });
  EXPECT_EQ(test::ReadText(path), exported);

  // A bare file name goes into the folder proposed, and the note names the whole path.
  w.Run(kCmdExport, [&](QDialog* d) {
    static_cast<CExportDlg*>(d)->pathEdit()->setText(QStringLiteral("bare.txt"));
    test::GuiWindow::Ok(d);
  });
  EXPECT_EQ(w.frame->statusBar()->currentMessage().toStdString(), "ABC exported to " + w.Dir("bare.txt"));
  EXPECT_FALSE(test::ReadText(w.Dir("bare.txt")).empty());

  const int other = 1 - w.state().m_selPortfolio;
  w.PickPortfolio(other);
  QTest::qWait(50);
  ASSERT_EQ(w.state().m_selPortfolio, other);
  EXPECT_EQ(w.frame->statusBar()->currentMessage(), "For Help, press F1");
}

TEST(EditAndDeleteSymbolDialogs, EditRefusesWhatCannotBeStoredAndRewritesTheRecordAndDeleteDefaultsToNo) {
  ToolWindow w({"P"});
  ASSERT_EQ(w.SymbolCell(0, 0), "ABC");
  const Bytes before = test::ReadBytes(w.Dir("P/MASTER"));
  w.Run<CEditSymbolDlg>(kCmdEditSymbol, [&w](CEditSymbolDlg* dialog) {
    EXPECT_EQ(dialog->symbolField()->text(), "ABC");
    EXPECT_EQ(dialog->nameField()->text(), "ABC Ltd");  // the grid shows it padded
    EXPECT_EQ(std::pair(dialog->symbolField()->maxLength(), dialog->nameField()->maxLength()), std::pair(16, 16));
    dialog->symbolField()->clear();
    test::GuiWindow::Ok(dialog);
    EXPECT_TRUE(dialog->isVisible());
    dialog->symbolField()->setText("ABD");
    dialog->nameField()->setText(QStringLiteral("ABD \u0416"));
    test::GuiWindow::Ok(dialog);
    EXPECT_TRUE(dialog->isVisible());
    dialog->nameField()->setText(QStringLiteral("ABD Caf\u00e9"));
    test::GuiWindow::Ok(dialog);
  });
  EXPECT_EQ(w.messages, (std::vector<std::string>{"You must enter a symbol",
            "The name holds \"\u0416\", a character that the code page windows-1252 has not"}));

  // The rest of the record's bytes are the edit's own to keep; the name goes in the code page.
  const Bytes master = test::ReadBytes(w.Dir("P/MASTER"));
  const auto name = master.begin() + 2 * kMasterRecordSize + kMasterIssueName;  // ABC's record
  EXPECT_EQ(std::string(name, name + 16), "ABD Caf\xe9        ");
  EXPECT_EQ(test::ReadBytes(w.Dir("P/MASTER.BAK")), before);
  EXPECT_EQ(w.SymbolCell(0, 0), "ABD");
  EXPECT_EQ(w.SymbolCell(0, 1), "ABD Caf\u00e9        ");  // as stored, like every row
  EXPECT_EQ(w.frame->windowTitle().toStdString(), "Barvane - " + w.Dir("P") + " - ABD");
  EXPECT_EQ(w.state().m_seriesSymbol, "ABD");
  w.messages.clear();

  // Delete symbol: No is the default and changes nothing; Yes deletes and refills the grid.
  const auto edited = test::Snapshot(w.Dir("P"));
  w.Run<CDeleteSymbolDlg>(kCmdDeleteSymbol, [](CDeleteSymbolDlg* dialog) {
    EXPECT_EQ(dialog->symbolText(), "ABD");
    EXPECT_TRUE(dialog->noButton()->isDefault() && !dialog->yesButton()->isDefault());
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  EXPECT_EQ(test::Snapshot(w.Dir("P")), edited);
  EXPECT_EQ(w.state().m_symbolCount, 2);
  w.Run(kCmdDeleteSymbol, [](QDialog* d) { static_cast<CDeleteSymbolDlg*>(d)->yesButton()->click(); });
  EXPECT_EQ(test::FileNames(w.Dir("P")), (std::vector<std::string>{"F1.DAT", "MASTER", "MASTER.BAK"}));
  EXPECT_EQ(w.frame->view()->symbolGrid()->model()->rowCount(), 1);
  EXPECT_EQ(w.SymbolCell(0, 0), "ZED");
  EXPECT_EQ(w.state().m_seriesSymbol, "ZED");
  EXPECT_TRUE(w.messages.empty());
}

TEST(CharacterSet, ShowsThePortfoliosNamesInTheChosenCodePageAndKeepsIt) {
  test::GuiWindow w;
  auto lukoil = Symbol(1, "\xCB\xD3\xCA\xCE\xC9\xCB", Fields28(), test::WeekdayQuotes(kMonday, 3));
  lukoil.name = "\xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA";
  test::Build(w.Dir("RU"), test::Portfolio(lukoil));
  const Bytes before = test::ReadBytes(w.Dir("RU/MASTER"));
  w.Open();
  EXPECT_EQ(w.SymbolCell(0, 0), "ËÓÊÎÉË");
  w.Run(kCmdCharacterSet, [](QDialog* d) {
    auto* dialog = qobject_cast<QInputDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->textValue(), "Windows-1252 (Western European)");
    dialog->setTextValue(QStringLiteral("Windows-1251 (Cyrillic)"));
    dialog->accept();
  });
  EXPECT_EQ(w.SymbolCell(0, 0), "ЛУКОЙЛ");
  EXPECT_EQ(w.SymbolCell(0, 1), "Сбербанк        ");
  EXPECT_EQ(w.frame->windowTitle().toStdString(), "Barvane - " + w.Dir("RU") + " - ЛУКОЙЛ");
  EXPECT_EQ(w.settings.ReadString("CodePage", w.Dir("RU"), ""), "windows-1251");
  EXPECT_EQ(test::ReadBytes(w.Dir("RU/MASTER")), before);

  // The filter reads the names through the page; how it matches is the core's to decide.
  w.frame->view()->symbolFilter()->setText(QStringLiteral("СБЕР"));
  EXPECT_EQ(w.frame->view()->symbolGrid()->model()->rowCount(), 1);
}

TEST(MoveSymbolDialog, OffersTheOtherPortfoliosAndCopiesOrMovesIntoTheChosenOne) {
  ToolWindow w({"P", "Q"}, {"R"});
  const auto sourceBefore = test::Snapshot(w.Dir("P"));
  w.Run<CMoveSymbolDlg>(kCmdCopySymbol, [&w](CMoveSymbolDlg* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Copy Symbol");
    EXPECT_EQ((dialog->symbolText()->text() + "|" + dialog->nameText()->text() + "|" + dialog->portfolioText()->text()).toStdString(),
              "ABC|ABC Ltd         |" + w.Dir("P"));
    QListWidget* list = dialog->portfolioList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ((list->item(0)->text() + "|" + list->item(1)->text()).toStdString(), w.Dir("Q") + "|" + w.Dir("R"));
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(1);
    test::GuiWindow::Ok(dialog);
  });
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(test::Snapshot(w.Dir("P")), sourceBefore);
  EXPECT_EQ(test::ReadBytes(w.Dir("R/F2.DAT")), test::ReadBytes(w.Dir("P/F2.DAT")));  // into R, not Q
  EXPECT_EQ(w.frame->view()->symbolGrid()->model()->rowCount(), 2);

  w.Run(kCmdMoveSymbol, [](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), "Move Symbol");
    test::GuiWindow::Cancel(d);
  });
  EXPECT_EQ(test::Snapshot(w.Dir("P")), sourceBefore);

  // Q holds ABC already: the move is refused and nothing changes anywhere.
  w.Run(kCmdMoveSymbol, test::GuiWindow::Ok);
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_EQ(w.messages[0], "The Symbol addition failed.\n\nReason: Symbol ABC already exists in\n" + w.Dir("Q"));
  EXPECT_EQ(test::Snapshot(w.Dir("P")), sourceBefore);
}

}  // namespace
}  // namespace barvane
