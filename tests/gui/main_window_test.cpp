// The main window driven offscreen: start-up on a drive, the enabling of its commands and their
// icons, the symbol grid's failure paths, column widths and placement kept in the settings, and
// what a click or a key does in the grids.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <map>
#include <set>

#include "app/portfolio_walk.h"
#include "app/symbol_columns.h"
#include "app/search_filter.h"
#include "app/user_guide.h"
#include "cli/sample_drive.h"
#include "gui/edit_quote_dlg.h"
#include "gui/help_wnd.h"
#include "gui/search_filter_dlg.h"
#include "gui/series_facts_dlg.h"
#include "gui/tool_icons.h"
#include "window_harness.h"

namespace barvane {
namespace {

using test::Build;
using test::Fields28;
using test::Symbol;
using test::WeekdayQuotes;

// The main window with its grids, title and panes at hand.
struct Window : test::GuiWindow {
  QTableView* symbols() { return frame->view()->symbolGrid(); }
  QTableView* quotes() { return frame->view()->quoteGrid(); }
  std::string Title() { return frame->windowTitle().toStdString(); }
  std::string Panes() { return (frame->symbolPaneText() + " | " + frame->quotePaneText()).toStdString(); }

  static std::vector<std::string> Column(QTableView* grid, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < grid->model()->rowCount(); ++r) texts.push_back(CellText(grid, r, column));
    return texts;
  }
  static std::vector<int> Widths(QTableView* grid) {
    std::vector<int> widths;
    for (int c = 0; c < grid->model()->columnCount(); ++c) widths.push_back(grid->columnWidth(c));
    return widths;
  }
};

// Ten weekday quotes, 01/01/24 to 01/12/24.
PortfolioDescription TwoSymbols() {
  return test::Portfolio({Symbol(1, "ZED", Fields28(), WeekdayQuotes(YmdToDay(2024, 1, 1), 10)),
                          Symbol(2, "ABC", Fields28(), WeekdayQuotes(YmdToDay(2023, 6, 1), 25))});
}

// A MASTER announcing `announced` records of which `present` exist; only AAA has quotes.
void WriteCountedMaster(const std::string& dir, int announced, int present) {
  PortfolioDescription p = test::Portfolio(Symbol(1, "AAA", Fields28(), WeekdayQuotes(YmdToDay(2024, 1, 1), 3)));
  Build(dir, p);
  for (int i = 1; i < present; ++i) p.symbols.push_back(Symbol(i % 254 + 2, "S" + std::to_string(i), Fields28(), {}));
  Bytes master = MasterFileBytes(p);
  master[0] = static_cast<std::uint8_t>(announced & 0xFF);
  master[1] = static_cast<std::uint8_t>(announced >> 8);
  test::WriteBytes(dir + "/MASTER", master);
}

// Every command of the enabling table.
constexpr CommandId kTableCommands[] = {kCmdEditQuote,    kCmdSplit,       kCmdAdjust,       kCmdDeleteQuote,
                                        kCmdAddQuote,     kCmdDataFacts,   kCmdDeleteSymbol, kCmdEditSymbol,
                                        kCmdSplitSearch,  kCmdExport,      kCmdMoveSymbol,   kCmdCopySymbol,
                                        kCmdSearchFilter, kCmdReScan};

// The enabled actions of the table, one letter each, once checked against the view state.
std::string Enabled(Window& w) {
  std::string marks;
  for (CommandId c : kTableCommands) {
    EXPECT_EQ(w.Enabled(c), w.state().CommandEnabled(c)) << c;
    marks += w.Enabled(c) ? 'x' : '.';
  }
  return marks;
}

TEST(MainWindow, StartUpListsPortfoliosAndShowsTheFirstSymbolNewestFirst) {
  Window w;
  ASSERT_TRUE(cli::WriteSampleDrive(w.fs, w.drive.path()));
  w.Open();
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(w.frame->view()->driveCombo()->currentText().toStdString(), "Drive: " + w.fs.drive());
  EXPECT_EQ(w.Portfolios(), (std::vector<std::string>{w.Dir("Futures"), w.Dir("Indices"), w.Dir("Stocks"),
                                                  w.Dir("Stocks/TECH"), w.Dir("Stocks/TECH/SEMI")}));
  EXPECT_EQ(w.PortfolioRow(), 0);
  EXPECT_EQ(Window::Column(w.symbols(), 0), (std::vector<std::string>{"CLF7", "ESZ6"}));
  EXPECT_EQ(w.Title(), "Barvane - " + w.Dir("Futures") + " - CLF7");

  const int n = w.state().m_quoteCount;
  ASSERT_GT(n, 30);
  EXPECT_EQ(w.quotes()->model()->rowCount(), n);
  EXPECT_EQ(Window::Column(w.quotes(), 0).front(), w.state().m_lastDateText);
  EXPECT_EQ(Window::Column(w.quotes(), 0).back(), w.state().m_firstDateText);
  EXPECT_EQ(w.quotes()->currentIndex().row(), 0);
  EXPECT_EQ(w.Panes(), "Symbol 1 of 2 | Quote " + std::to_string(n) + " of " + std::to_string(n));

  // A click on the tenth quote counts it from the oldest end.
  Window::Click(w.quotes(), 9);
  EXPECT_EQ(w.frame->quotePaneText().toStdString(), "Quote " + std::to_string(n - 9) + " of " + std::to_string(n));

  w.PickPortfolio(2);
  EXPECT_EQ(Window::Column(w.symbols(), 0), 
            (std::vector<std::string>{"ACME", "BOLT", "CRUX", "DYNA", "ECHOPHARMA      ", "TECH"}));
  EXPECT_EQ(w.Title(), "Barvane - " + w.Dir("Stocks") + " - ACME");
  EXPECT_EQ(w.Panes(), "Symbol 1 of 6 | Quote 5000 of 5000");
}

// The messages told, the commands on as Enabled gives them, the title and the panes, "|" apart.
std::string Shown(Window& w) {
  std::string told;
  for (const std::string& message : w.messages) told += message + "|";
  return told + Enabled(w) + "|" + w.Title() + "|" + w.Panes();
}

// Which counts of a MASTER fail is the symbol list's to decide; the window tells a failure and
// leaves both grids empty.
TEST(MainWindow, CommandsTitleAndPanesFollowWhatTheDriveHoldsAndAFailedFillLeavesTheGridsEmpty) {
  {
    Window w;  // no portfolio anywhere
    w.Create();
    for (CommandId c : {kCmdReScan, kCmdSearchFilter, kCmdDataFacts}) EXPECT_FALSE(w.Enabled(c)) << "before start";
    w.Open();
    EXPECT_EQ(Shown(w), NoPortfoliosText(w.fs.drive()) + "|............xx|Barvane|No Symbols Read | No Quotes Read");
  }
  {
    Window w;  // a MASTER of no records
    Build(w.Dir("EMPTY"), PortfolioDescription{});
    w.Open();
    EXPECT_EQ(Shown(w), "............xx|Barvane - " + w.Dir("EMPTY") + " - (no symbols)|No Symbols Read | No Quotes Read");
  }
  {
    Window w;  // two portfolios with quotes: every command of the table is on
    Build(w.Dir("ONE"), TwoSymbols());
    Build(w.Dir("TWO"), TwoSymbols());
    w.Open();
    EXPECT_EQ(Enabled(w), "xxxxxxxxxxxxxx");
  }
  {
    Window w;
    WriteCountedMaster(w.Dir("BAD"), 5, 6);
    w.Open();
    EXPECT_EQ(Shown(w), "Failure while filling symbols grid|............xx|Barvane|No Symbols Read | No Quotes Read");
    EXPECT_EQ(w.icons, std::vector<MessageIcon>{MessageIcon::kStop});
    EXPECT_EQ(w.symbols()->model()->rowCount() + w.quotes()->model()->rowCount(), 0);
    EXPECT_EQ(w.Portfolios().size(), 1u);
  }
  Window w;
  WriteCountedMaster(w.Dir("BIG"), 300, 300);
  w.Open();
  EXPECT_EQ(Shown(w), "File has 300 symbols.\nWill only display the first 255 symbols|xxxxxxxxxx..xx|Barvane - " + w.Dir("BIG") +
                          " - AAA|Symbol 1 of 255 | Quote 3 of 3");
  EXPECT_EQ(w.symbols()->model()->rowCount(), 255);
}

TEST(MainWindow, MasterAndEmasterThatDisagreeAreNotedInTheStatusBarWithoutAMessageBox) {
  Window w;
  Build(w.Dir("P"), test::Extended(test::Portfolio({Symbol(1, "AAA", Fields28(), WeekdayQuotes(YmdToDay(98, 6, 15), 2)),
                                                    Symbol(2, "BBB", Fields28(), WeekdayQuotes(YmdToDay(98, 6, 15), 2))})));
  Bytes emaster = test::ReadBytes(w.Dir("P/EMASTER"));
  emaster.resize(192 * 2);
  emaster[0] = 1;
  test::WriteBytes(w.Dir("P/EMASTER"), emaster);
  w.Open();
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(w.frame->statusBar()->currentMessage(),
            "MASTER lists 2 symbols and EMASTER 1; the symbols of MASTER are shown");
  EXPECT_EQ(Window::Column(w.symbols(), 0), (std::vector<std::string>{"AAA", "BBB"}));
}

TEST(MainWindow, ColumnWidthsAreStoredOnCloseAndUnfittingOnesFallBack) {
  // The symbol list's name column takes what is left, so only the symbol column's width is the user's.
  Window fresh;
  Build(fresh.Dir("P"), TwoSymbols());
  fresh.Open();
  const int symbolDefault = Window::Widths(fresh.symbols())[0];
  const std::vector<int> quoteDefaults = Window::Widths(fresh.quotes());
  EXPECT_EQ(quoteDefaults, std::vector<int>(7, quoteDefaults[0]));
  const int symbolWidth = fresh.symbols()->viewport()->width();

  fresh.symbols()->setColumnWidth(0, 60);
  fresh.quotes()->setColumnWidth(6, 33);
  fresh.frame->close();
  EXPECT_EQ(fresh.settings.ReadInt("SymbolGrid", "col0", -1), 60);
  EXPECT_EQ(fresh.settings.ReadInt("QuoteGrid", "col0", -1), quoteDefaults[0]);
  EXPECT_EQ(fresh.settings.ReadInt("QuoteGrid", "col6", -1), 33);

  const int half = symbolWidth / 2 + 1;
  for (auto [col0, col1, shown] : {std::tuple{0, 50, symbolDefault}, std::tuple{symbolWidth + 1, 50, symbolDefault},
                                   std::tuple{half, half, symbolDefault}, std::tuple{60, 70, 60}}) {
    Window w;
    Build(w.Dir("P"), TwoSymbols());
    w.settings.WriteInt("SymbolGrid", "col0", col0);
    w.settings.WriteInt("SymbolGrid", "col1", col1);
    for (int c = 0; c < 7; ++c) w.settings.WriteInt("QuoteGrid", "col" + std::to_string(c), c == 3 ? 0 : 40);
    w.Open();
    EXPECT_EQ(Window::Widths(w.symbols())[0], shown) << col0 << " " << col1;
    EXPECT_EQ(Window::Widths(w.quotes()), quoteDefaults);
  }
}

// The sorts, the portfolio and the symbol last shown come back at the next start.
TEST(MainWindow, AHeaderClickSortsKeepsTheCurrentRowIsRememberedAndFactsAndFilterFollowTheView) {
  Window w;
  Build(w.Dir("P"), TwoSymbols());
  Build(w.Dir("Q"), TwoSymbols());
  w.Open();
  EXPECT_EQ(Window::Column(w.symbols(), kSymbolListQuotes), (std::vector<std::string>{"25", "10"}));
  Window::ClickHeader(w.symbols()->horizontalHeader(), kSymbolListQuotes);
  EXPECT_EQ(Window::Column(w.symbols(), kSymbolListSymbol), (std::vector<std::string>{"ZED", "ABC"}));
  EXPECT_EQ(w.symbols()->currentIndex().row(), 1);
  EXPECT_EQ(w.state().m_seriesSymbol, "ABC");
  Window::ClickHeader(w.symbols()->horizontalHeader(), kSymbolListQuotes);
  Window::ClickHeader(w.frame->view()->portfolioList()->horizontalHeader(), 0);
  EXPECT_EQ(w.Portfolios(), (std::vector<std::string>{w.Dir("Q"), w.Dir("P")}));
  EXPECT_EQ(w.PortfolioRow(), 1);
  w.PickPortfolio(0);
  Window::Click(w.symbols(), 1);  // ZED
  w.frame->close();
  EXPECT_EQ(w.settings.ReadString("Last", "Portfolio", ""), w.Dir("Q"));
  EXPECT_EQ(w.settings.ReadString("Last", "Symbol", ""), "ZED");

  w.frame.reset();
  w.Open();
  EXPECT_EQ(w.Portfolios(), (std::vector<std::string>{w.Dir("Q"), w.Dir("P")}));
  EXPECT_EQ(Window::Column(w.symbols(), kSymbolListSymbol), (std::vector<std::string>{"ABC", "ZED"}));
  const QHeaderView* header = w.symbols()->horizontalHeader();
  EXPECT_EQ(std::pair(header->sortIndicatorSection(), header->sortIndicatorOrder()),
            std::pair(static_cast<int>(kSymbolListQuotes), Qt::DescendingOrder));
  EXPECT_EQ(w.Title(), "Barvane - " + w.Dir("Q") + " - ZED");
  EXPECT_EQ(w.PortfolioRow(), 0);
  EXPECT_EQ(w.symbols()->currentIndex().row(), 1);
  EXPECT_EQ(w.quotes()->model()->rowCount(), 10);

  // The facts and filter dialogs work on the view state.
  QStringList facts;
  Window::WhenOpens<CSeriesFactsDlg>([&facts](CSeriesFactsDlg* dialog) {
    facts = dialog->texts();
    dialog->accept();
  });
  w.frame->action(kCmdDataFacts)->trigger();
  ASSERT_EQ(facts.size(), 26);
  EXPECT_EQ(facts[0].toStdString(), w.Dir("Q"));
  EXPECT_EQ(facts[4], QStringLiteral("10"));
  EXPECT_EQ(facts[9], QStringLiteral("ZED             "));

  // An unknown drive keeps the dialog open with its message; a path on the drive rescans it.
  Window::WhenOpens<CSearchFilterDlg>([&w](CSearchFilterDlg* dialog) {
    dialog->limitBox()->setChecked(true);
    dialog->pathEdit()->setText(QStringLiteral("relative/Q"));
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(w.messages, std::vector<std::string>{kUnknownFilterDriveText});
    dialog->limitBox()->setChecked(false);
    EXPECT_FALSE(dialog->pathEdit()->isEnabled());
    dialog->limitBox()->setChecked(true);
    dialog->pathEdit()->setText(QString::fromStdString(w.Dir("Q")));
    dialog->accept();
  });
  w.frame->action(kCmdSearchFilter)->trigger();
  EXPECT_EQ(w.Portfolios().size(), 1u);
  EXPECT_EQ(w.Portfolios()[0], w.Dir("Q"));
  EXPECT_EQ(w.settings.ReadInt("Search", "Limit", -1), 1);
  EXPECT_EQ(w.settings.ReadString("Search", "Name", ""), w.Dir("Q"));
}


TEST(MainWindow, ClickLoadsAtOnceKeysWhenTheSelectionSettlesEnterEditsAQuoteAndCtrlCCopiesRows) {
  Window w;
  w.Open(TwoSymbols());
  ASSERT_EQ(Window::Column(w.symbols(), 0), (std::vector<std::string>{"ABC", "ZED"}));
  EXPECT_EQ(w.quotes()->model()->rowCount(), 25);

  w.symbols()->setFocus();
  QTest::keyClick(w.symbols(), Qt::Key_Down);
  EXPECT_EQ(w.Title(), "Barvane - " + w.Dir("P") + " - ZED");
  EXPECT_EQ(w.state().m_seriesSymbol, "ABC");  // keys may still be repeating
  ASSERT_TRUE(QTest::qWaitFor([&w] { return w.state().m_seriesSymbol == "ZED"; }, 2000));
  EXPECT_EQ(Window::Column(w.quotes(), 0).front(), "01/12/24");
  EXPECT_EQ(w.Panes(), "Symbol 2 of 2 | Quote 10 of 10");

  Window::Click(w.symbols(), 0);  // ABC
  EXPECT_EQ(w.state().m_seriesSymbol, "ABC");
  EXPECT_EQ(Window::Column(w.quotes(), 0).back(), "06/01/23");
  EXPECT_EQ(w.Panes(), "Symbol 1 of 2 | Quote 25 of 25");

  // A command given before the keys settle works on the symbol the title names.
  QTest::keyClick(w.symbols(), Qt::Key_Down);
  std::string shown;
  Window::WhenOpens<CEditQuoteDlg>([&shown](CEditQuoteDlg* d) {
    shown = d->dateText().toStdString();
    d->reject();
  });
  w.frame->action(kCmdEditQuote)->trigger();
  EXPECT_EQ(shown, "01/12/24");
  EXPECT_EQ(w.state().m_seriesSymbol, "ZED");

  // Enter or a double-click on a quote opens Edit quote on it.
  std::vector<std::string> edited;
  auto record = [&edited](CEditQuoteDlg* d) {
    edited.push_back(d->dateText().toStdString());
    d->reject();
  };
  Window::Click(w.quotes(), 2, 3);
  Window::WhenOpens<CEditQuoteDlg>(record);
  QTest::keyClick(w.quotes(), Qt::Key_Return);
  Window::WhenOpens<CEditQuoteDlg>(record);
  const QPoint third = w.quotes()->visualRect(w.quotes()->model()->index(2, 3)).center();
  QTest::mousePress(w.quotes()->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(w.quotes()->viewport(), Qt::LeftButton, {}, third);
  const std::string day = Window::Column(w.quotes(), 0)[2];
  EXPECT_EQ(edited, (std::vector<std::string>{day, day}));

  // Ctrl+C copies the selected rows whole as tab-separated text.
  QTableView* quotes = w.quotes();
  quotes->setFocus();
  for (int row : {3, 1}) {
    quotes->selectionModel()->select(QItemSelection(quotes->model()->index(row, 0), quotes->model()->index(row, 6)),
                                     row == 3 ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select);
  }
  QTest::keyClick(quotes, Qt::Key_C, Qt::ControlModifier);
  auto line = [&](int row) {
    std::string text;
    for (int c = 0; c < 7; ++c) text += (c ? "\t" : "") + Window::CellText(quotes, row, c);
    return text + "\n";
  };
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), line(1) + line(3));

  w.symbols()->setFocus();
  QTest::keyClick(w.symbols(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "ZED\tZED Ltd         \n");
}

TEST(MainWindow, F1OpensTheUsersGuideAtTheCommandInUse) {
  Window w;
  w.Open(TwoSymbols());
  EXPECT_TRUE(w.frame->action(kCmdHelpTopics)->isEnabled());
  w.frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
  QTest::keyClick(w.frame.get(), Qt::Key_F1);
  CHelpWnd* help = w.frame->helpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  const QString text = help->browser()->toPlainText();
  // The user's guide, none of the builder's matters.
  EXPECT_TRUE(text.startsWith("Barvane user's guide")) << text.left(80).toStdString();
  for (const char* key : {"Ctrl+F", "Ctrl+G", "Insert", "Tab, Shift+Tab", "Ctrl+Z"}) EXPECT_TRUE(text.contains(key)) << key;
  for (const char* builders : {"barvane-cli", "cmake", "Layout", "flock"}) EXPECT_FALSE(text.contains(builders)) << builders;
  for (const auto& [command, heading] : GuideSections()) EXPECT_TRUE(help->ShowSection(heading)) << heading;
  EXPECT_FALSE(help->ShowSection("Split Data"));
  w.frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
  QTest::keyClick(w.frame.get(), Qt::Key_F1);
  EXPECT_EQ(w.frame->helpWindow(), help);  // one window, brought forward
  EXPECT_EQ(help->browser()->textCursor().block().text(), "Barvane user's guide");

  // In a command's dialog: a guide of its own (the dialog blocks the others), at that command.
  w.Run(kCmdSplit, [](QDialog* d) {
    QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_F1);
    auto* guide = d->findChild<CHelpWnd*>();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->browser()->textCursor().block().text(), "Split");
    guide->close();
    test::GuiWindow::Cancel(d);
  });
}

// The icon drawn on a clear 32 by 32 image, which stays clear without one.
QImage Drawn(const QIcon& icon = QIcon()) {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  icon.paint(&painter, image.rect());
  return image;
}

// Over an empty drive: the placement kept for the size of the screen the window is on, each
// entry of every menu, the bar included, with its own Alt letter, and each tool button with its
// own glyph.
TEST(MainWindow, PlacementIsKeptPerScreenAndEachMenuLetterAndButtonGlyphIsItsOwn) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const std::string section = "Screen " + std::to_string(screen.width()) + "x" + std::to_string(screen.height());
  Window w;
  for (auto [key, value] : {std::pair{"x", screen.x() + 10}, std::pair{"y", screen.y() + 20}, std::pair{"cx", 600},
                            std::pair{"cy", 450}}) {
    w.settings.WriteInt(section, key, value);  // what another screen keeps is the core's to tell apart
  }
  w.Open();
  EXPECT_EQ(w.frame->size(), QSize(600, 450));
  w.frame->move(screen.x() - 50, screen.y() + 30);
  w.frame->resize(640, 480);
  QTest::qWait(20);
  for (auto [key, value] : {std::pair{"x", screen.x()}, std::pair{"y", screen.y() + 30}, std::pair{"cx", 640},
                            std::pair{"cy", 480}}) {
    EXPECT_EQ(w.settings.ReadInt(section, key, -1), value) << key;  // kept on the screen
  }

  std::vector<QWidget*> menus = {w.frame->menuBar()};
  for (QAction* a : w.frame->menuBar()->actions()) menus.push_back(a->menu());
  for (QWidget* menu : menus) {
    std::map<QChar, QString> taken;
    for (QAction* a : menu->actions()) {
      const qsizetype at = a->text().indexOf(QLatin1Char('&'));
      if (a->isSeparator()) continue;
      ASSERT_GE(at, 0) << a->text().toStdString();
      const QChar letter = a->text().at(at + 1).toLower();
      EXPECT_FALSE(taken.count(letter)) << a->text().toStdString() << " and " << taken[letter].toStdString();
      taken[letter] = a->text();
    }
  }

  const QList<QAction*> buttons = w.frame->findChild<QToolBar*>()->actions();
  std::vector<QImage> drawn;
  std::set<QString> paths;
  for (CommandId command : {kCmdExit, kCmdSplitSearch, kCmdSearchFilter, kCmdReScan, kCmdDeleteSymbol, kCmdMoveSymbol,
                            kCmdCopySymbol, kCmdEditSymbol, kCmdDataFacts, kCmdEditQuote, kCmdSplit, kCmdAdjust,
                            kCmdAddQuote, kCmdDeleteQuote, kCmdExport, kCmdAbout}) {
    QAction* action = w.frame->action(command);
    SCOPED_TRACE(action->toolTip().toStdString());
    EXPECT_TRUE(buttons.contains(action));
    EXPECT_FALSE(action->icon().isNull());
    const QString path = OwnToolIconPath(command);
    EXPECT_TRUE(paths.insert(path).second);
    const QImage own = Drawn(QIcon(path));
    EXPECT_NE(own, Drawn()) << "nothing drawn";
    for (const QImage& other : drawn) EXPECT_NE(own, other);
    drawn.push_back(own);
  }
  EXPECT_EQ(buttons.size() - 4, static_cast<qsizetype>(drawn.size()));  // and the four separators
  EXPECT_TRUE(OwnToolIconPath(kCmdToggleToolBar).isEmpty());
  EXPECT_FALSE(w.frame->windowIcon().isNull());
  EXPECT_NE(Drawn(AppIcon()), Drawn());
}

}  // namespace
}  // namespace barvane
