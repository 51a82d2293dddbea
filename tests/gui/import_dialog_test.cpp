// The import dialog offscreen: the preview of the columns found, the date order, what is
// ignored, the rows as they will be stored and the days added, replaced and kept; the date
// order chosen where the file cannot tell; and OK only for an import that can be done.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "gui/import_dlg.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using test::kMonday;

// The dialog's preview of what it read, as the user sees it.
std::string Preview(CImportDlg& dialog) { return dialog.previewLabel()->text().toStdString(); }

// `text` written as `path` and chosen in the dialog, which reads it at once.
void Choose(CImportDlg& dialog, const std::string& path, const std::string& text) {
  test::WriteBytes(path, Bytes(text.begin(), text.end()));
  dialog.fileEdit()->setText(QString::fromStdString(path));
  dialog.Preview();
}

TEST(ImportDialog, PreviewsTheRowsAndTheDaysBeforeAnythingIsWrittenAndNamesANewSymbol) {
  test::TempDir dir;
  test::Build(dir / "P", test::Portfolio(test::Symbol(1, "ABC", test::Fields28(),
                                                      test::WeekdayQuotes(kMonday, 2))));
  const auto before = test::Snapshot(dir / "P");
  CImportDlg dialog(FileSystem::Default(), {dir / "P", "ABC", "", false}, false, nullptr);
  EXPECT_FALSE(dialog.okButton()->isEnabled());
  Choose(dialog, dir / "in.txt", "DATE CLOSE\n06/17/98 2.5\n06/15/98 1.25\n");
  EXPECT_EQ(Preview(dialog),
            "Columns: Date = DATE, Close = CLOSE\nDates: month/day/year, told by \"06/17/98\" (line 2)\n"
            "Lines ignored: 1 (title row and blank lines)\nFirst row: 06/15/1998 1.2500\n"
            "Last row: 06/17/1998 2.5000\nNew days: 1   Replaced: 0   Kept: 1");
  EXPECT_TRUE(dialog.okButton()->isEnabled());
  dialog.replaceBox()->setChecked(true);
  EXPECT_TRUE(dialog.previewLabel()->text().endsWith("New days: 1   Replaced: 1   Kept: 0")) << Preview(dialog);
  EXPECT_TRUE(dialog.request().replace);

  Choose(dialog, dir / "in.txt", "06/17/98 2.5\n06/18/98 x\n");
  EXPECT_EQ(Preview(dialog), "Line 2: \"x\" is no number.");
  EXPECT_FALSE(dialog.okButton()->isEnabled());
  EXPECT_EQ(test::Snapshot(dir / "P"), before);  // nothing written but the text
  EXPECT_EQ(test::FileNames(dir.path()), (std::vector<std::string>{"P", "in.txt"}));

  // A new symbol is named in the dialog, and a new folder makes a new portfolio.
  CImportDlg named(FileSystem::Default(), {dir / "P", "", "", false}, true, nullptr);
  Choose(named, dir / "in.txt", "06/17/98 2.5\n");
  named.symbolEdit()->setText("NEW");
  named.nameEdit()->setText("New Ltd");
  named.Preview();
  EXPECT_NE(Preview(named).find("A new symbol (file number 2)."), std::string::npos) << Preview(named);
  EXPECT_TRUE(named.okButton()->isEnabled());
  EXPECT_EQ(named.request().name, "New Ltd");
  named.folderEdit()->setText(QString::fromStdString(dir / "Q"));
  named.Preview();
  EXPECT_NE(Preview(named).find("A new portfolio with a new symbol."), std::string::npos) << Preview(named);
  named.symbolEdit()->setText("");
  named.Preview();
  EXPECT_EQ(Preview(named), "A new symbol needs 1 to 14 characters without blanks.");
  EXPECT_FALSE(named.okButton()->isEnabled());
}

TEST(ImportDialog, TheDateOrderIsChosenWhereTheFileCannotTellIt) {
  test::TempDir dir;
  CImportDlg dialog(FileSystem::Default(), {dir / "Q", "NEW", "", false}, true, nullptr);
  Choose(dialog, dir / "in.txt",
         "<TICKER>;<PER>;<DATE>;<TIME>;<CLOSE>;Adj Close\nX;5;03/01/22;100000;2,5;1,25\nX;5;04/01/22;100500;3;1,5\n");
  EXPECT_EQ(Preview(dialog),
            "Line 2: no date of the text tells the day from the month (\"03/01/22\").\n"
            "Choose the order: --dates dmy, mdy or ymd.");
  EXPECT_FALSE(dialog.okButton()->isEnabled());
  dialog.datesBox()->setCurrentIndex(1);
  EXPECT_EQ(Preview(dialog),
            "Columns: Date = <DATE>, Time = <TIME>, Close = <CLOSE>\n"
            "Dates: day/month/year (chosen)\nLines ignored: 1 (title row and blank lines)\n"
            "Columns ignored: <TICKER>, <PER>, Adj Close\n"
            "First row: 01/03/2022 10:00:00 2.5000\nLast row: 01/04/2022 10:05:00 3.0000\n"
            "A new portfolio with a new symbol.\nNew days: 2   Replaced: 0   Kept: 0");
  EXPECT_TRUE(dialog.okButton()->isEnabled());
  dialog.adjustedBox()->setChecked(true);
  EXPECT_NE(Preview(dialog).find("First row: 01/03/2022 10:00:00 1.2500\n"), std::string::npos) << Preview(dialog);
  EXPECT_EQ(dialog.quotes().quotes.back().values[3], 1.5f);
}

TEST(ImportDialog, TheTableShowsEachCellUnderItsFieldAndARefusalKeepsOkOff) {
  test::TempDir dir;
  // A broker's file without titles (DD/MM/YY, a time of 0): read with the time, never shifted.
  CImportDlg dialog(FileSystem::Default(), {dir / "Q", "", "", false}, true, nullptr);
  Choose(dialog, dir / "in.txt", "13/01/22,0,10,11,9,10.5,100\n14/01/22,0,10.5,12,10,11,200\n");
  QTableWidget* table = dialog.previewTable();
  QStringList headings;
  for (int c = 0; c < table->columnCount(); ++c) headings << table->horizontalHeaderItem(c)->text();
  EXPECT_EQ(headings.join(","), "Date,Time,Open,High,Low,Close,Volume");
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->verticalHeaderItem(1)->text() + " " + table->item(1, 0)->text(), "2 14/01/22");
  EXPECT_EQ(dialog.symbolEdit()->text(), "in");  // proposed from the file's name
  EXPECT_TRUE(dialog.okButton()->isEnabled());

  // The same cells under titles that shift them: refused, the table still shown.
  Choose(dialog, dir / "in.txt", "Date,Open,High,Low,Close,Volume,OpenInt\n13/01/22,0,10,11,9,10.5,100\n");
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "Open");
  EXPECT_EQ(Preview(dialog).rfind("Line 2: a high below the low.\n", 0), 0u) << Preview(dialog);
  EXPECT_FALSE(dialog.okButton()->isEnabled());

  // Two tickers: listed, each into its own symbol.
  Choose(dialog, dir / "two.txt", "<TICKER>,<DTYYYYMMDD>,<CLOSE>\nAAA,20240102,1\nBBB,20240102,2\n");
  EXPECT_NE(Preview(dialog).find("Tickers, each into its own symbol: AAA, BBB\n"), std::string::npos) << Preview(dialog);
  EXPECT_TRUE(dialog.request().byTicker && !dialog.symbolEdit()->isEnabled() && dialog.okButton()->isEnabled());

  // A chosen encoding that does not fit the bytes refuses.
  Choose(dialog, dir / "in.txt", "Date,Close\n2024-01-02,1 \x80\n");
  dialog.encodingBox()->setCurrentText("Shift-JIS (Japanese)");
  EXPECT_EQ(Preview(dialog), "The text does not read as Shift-JIS.\nChoose another encoding.");
  EXPECT_FALSE(dialog.okButton()->isEnabled());
}

}  // namespace
}  // namespace barvane
