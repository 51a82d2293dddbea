// The main frame's bars, placement and close.
#include "gui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/last_series.h"
#include "app/window_placement.h"
#include "gui/help_wnd.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "gui/tool_icons.h"

using namespace barvane;

namespace {

// The usable area (without the desktop's panels) of `screen`, or of the primary screen.
ScreenRect UsableArea(const QScreen* screen) {
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  return {area.x(), area.y(), area.width(), area.height()};
}

}  // namespace

CMainFrame::CMainFrame(FileSystem& fs, SettingsStore& settings, QtUi::MessageHandler messages, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_view(new CBarvaneView(fs, settings, std::move(messages), this)) {
  setWindowTitle(QStringLiteral("Barvane"));
  setWindowIcon(AppIcon());
  setCentralWidget(m_view);
  CreateMenusAndToolBar();
  CreateStatusBar();
  m_view->SetStatusBar(statusBar());
  connect(m_view, &CBarvaneView::StateChanged, this, &CMainFrame::UpdateCommandUi);
  RestorePlacement();
  UpdateCommandUi();
  m_placed = true;
  qApp->installEventFilter(this);
}

QAction* CMainFrame::AddCommand(QMenu* menu, CommandId command, const QString& text, const QString& statusTip,
                                const QString& toolTip) {
  auto* action = menu->addAction(text);
  action->setStatusTip(statusTip);
  action->setToolTip(toolTip.isEmpty() ? statusTip : toolTip);
  m_actions[command] = action;
  if (m_view->Handles(command)) {
    connect(action, &QAction::triggered, this, [this, command] { m_view->RunCommand(command); });
  }
  return action;
}

void CMainFrame::CreateMenusAndToolBar() {
  QMenu* app = menuBar()->addMenu(QStringLiteral("&Barvane"));
  QAction* exit = AddCommand(app, kCmdExit, QStringLiteral("E&xit"), QStringLiteral("Quit the application"),
                             QStringLiteral("Quit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
  bar->setObjectName(QStringLiteral("Toolbar"));
  bar->setIconSize(QSize(16, 15));

  CreateEditMenu();

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* toolbar = bar->toggleViewAction();
  toolbar->setText(QStringLiteral("&Toolbar"));
  toolbar->setStatusTip(QStringLiteral("Show or hide the toolbar"));
  view->addAction(toolbar);
  m_actions[kCmdToggleToolBar] = toolbar;
  QAction* status = view->addAction(QStringLiteral("&Status Bar"));
  status->setCheckable(true);
  status->setChecked(true);
  status->setStatusTip(QStringLiteral("Show or hide the status bar"));
  connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  m_actions[kCmdToggleStatusBar] = status;
  view->addSeparator();
  // A disabled item's reason shows as its tooltip.
  view->setToolTipsVisible(true);
  m_logScale = view->addAction(QStringLiteral("&Log Price Scale"));
  m_logScale->setCheckable(true);
  m_view->chartPane()->SetLogScale(m_settings.ReadInt("Chart", "LogScale", 0) != 0);
  connect(m_logScale, &QAction::toggled, this, [this](bool on) {
    m_view->chartPane()->SetLogScale(on);
    m_settings.WriteInt("Chart", "LogScale", on ? 1 : 0);
  });
  connect(m_view->chartPane(), &CChartPane::LogScaleRefusalChanged, this, &CMainFrame::UpdateLogScale);
  UpdateLogScale();

  QMenu* portfolio = menuBar()->addMenu(QStringLiteral("&Portfolio"));
  AddCommand(portfolio, kCmdSplitSearch, QStringLiteral("&Split Search..."),
             QStringLiteral("Search this portfolio for possible splits"), QStringLiteral("Split search"));
  AddCommand(portfolio, kCmdCheckPortfolio, QStringLiteral("&Check..."),
             QStringLiteral("Check this portfolio's files for faults and mend what needs no guess"),
             QStringLiteral("Check portfolio"));
  AddCommand(portfolio, kCmdCharacterSet, QStringLiteral("C&haracter Set..."),
             QStringLiteral("Choose the code page in which this portfolio's symbols and names are written"),
             QStringLiteral("Character set"));
  AddCommand(portfolio, kCmdSearchFilter, QStringLiteral("Search &Filter..."), QStringLiteral("Filter"),
             QStringLiteral("Filter"));
  QAction* rescan = AddCommand(portfolio, kCmdReScan, QStringLiteral("&ReScan\tF5"),
                               QStringLiteral("ReScan drive(s) for portfolios"), QStringLiteral("ReScan"));
  rescan->setShortcut(QKeySequence(Qt::Key_F5));
  portfolio->addSeparator();
  AddCommand(portfolio, kCmdExportAll, QStringLiteral("Export &All..."),
             QStringLiteral("Export every symbol of this portfolio, each into its own file"), QStringLiteral("Export All"));
  AddCommand(portfolio, kCmdImportSymbol, QStringLiteral("&Import..."),
             QStringLiteral("Import quotes as a new symbol or a new portfolio"), QStringLiteral("Import"));

  QMenu* symbol = menuBar()->addMenu(QStringLiteral("&Symbol"));
  AddCommand(symbol, kCmdDeleteSymbol, QStringLiteral("&Delete"), QStringLiteral("Delete Symbol"),
             QStringLiteral("Delete Symbol"));
  AddCommand(symbol, kCmdMoveSymbol, QStringLiteral("&Move..."), QStringLiteral("Move"), QStringLiteral("Move"));
  AddCommand(symbol, kCmdCopySymbol, QStringLiteral("&Copy..."), QStringLiteral("Copy"), QStringLiteral("Copy"));
  symbol->addSeparator();
  QAction* find = AddCommand(symbol, kCmdFindSymbol, QStringLiteral("&Find..."),
                             QStringLiteral("Filter the symbol list by symbol or name"), QStringLiteral("Find symbol"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  AddCommand(symbol, kCmdEditSymbol, QStringLiteral("&Edit..."), QStringLiteral("Edit the symbol and name"),
             QStringLiteral("Edit Symbol"));
  AddCommand(symbol, kCmdDataFacts, QStringLiteral("&About..."),
             QStringLiteral("Facts about the selected quote series"), QStringLiteral("Data facts"));

  QMenu* quotes = menuBar()->addMenu(QStringLiteral("&Quotes"));
  AddCommand(quotes, kCmdEditQuote, QStringLiteral("&Edit..."), QStringLiteral("Edit the selected day's data"),
             QStringLiteral("Edit data"));
  AddCommand(quotes, kCmdSplit, QStringLiteral("&Split..."), QStringLiteral("Enter a split"),
             QStringLiteral("Enter split"));
  AddCommand(quotes, kCmdAdjust, QStringLiteral("Ad&just..."), QStringLiteral("Scale the volume or price"),
             QStringLiteral("Scale values"));
  quotes->addSeparator();
  QAction* newQuote = AddCommand(quotes, kCmdNewQuote, QStringLiteral("&New..."),
                                 QStringLiteral("Type in a day the series lacks"), QStringLiteral("New quote"));
  newQuote->setShortcut(QKeySequence(Qt::Key_Insert));
  AddCommand(quotes, kCmdAddQuote, QStringLiteral("&Add..."), QStringLiteral("Add a single quote"),
             QStringLiteral("Add quote"));
  AddCommand(quotes, kCmdDeleteQuote, QStringLiteral("&Delete..."), QStringLiteral("Delete a single quote"),
             QStringLiteral("Delete quote"));
  quotes->addSeparator();
  QAction* goTo = AddCommand(quotes, kCmdGoToDate, QStringLiteral("&Go to Date..."),
                             QStringLiteral("Make the quote of a date current"), QStringLiteral("Go to date"));
  goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  AddCommand(quotes, kCmdExport, QStringLiteral("E&xport..."), QStringLiteral("Export quotes"),
             QStringLiteral("Export"));
  AddCommand(quotes, kCmdImportQuotes, QStringLiteral("&Import..."),
             QStringLiteral("Import quotes into the current symbol"), QStringLiteral("Import"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  QAction* topics = AddCommand(help, kCmdHelpTopics, QStringLiteral("&Help Topics\tF1"), {}, {});
  topics->setShortcut(QKeySequence(Qt::Key_F1));
  connect(topics, &QAction::triggered, this, [this] { ShowHelp(this, {}); });
  help->addSeparator();
  QAction* about = AddCommand(help, kCmdAbout, QStringLiteral("&About Barvane..."),
                              QStringLiteral("Display program information, version number and copyright"),
                              QStringLiteral("About Barvane"));
  connect(about, &QAction::triggered, this, &CMainFrame::ShowAbout);

  const std::vector<std::vector<CommandId>> groups = {
      {kCmdExit},
      {kCmdSplitSearch, kCmdSearchFilter, kCmdReScan},
      {kCmdDeleteSymbol, kCmdMoveSymbol, kCmdCopySymbol, kCmdEditSymbol, kCmdDataFacts},
      {kCmdEditQuote, kCmdSplit, kCmdAdjust, kCmdAddQuote, kCmdDeleteQuote, kCmdExport},
      {kCmdAbout}};
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (g != 0) bar->addSeparator();
    for (CommandId command : groups[g]) {
      m_actions[command]->setIcon(ToolIcon(command));
      bar->addAction(m_actions[command]);
    }
  }
}

void CMainFrame::CreateEditMenu() {
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  m_undo = edit->addAction(QStringLiteral("&Undo"));
  m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  m_undo->setStatusTip(QStringLiteral("Undo the last change to this portfolio"));
  connect(m_undo, &QAction::triggered, this, [this] { m_view->UndoChange(true); });
  m_redo = edit->addAction(QStringLiteral("&Redo"));
  m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  m_redo->setStatusTip(QStringLiteral("Redo the change undone last"));
  connect(m_redo, &QAction::triggered, this, [this] { m_view->UndoChange(false); });
  edit->addSeparator();
  m_history = edit->addAction(QStringLiteral("&History..."));
  m_history->setStatusTip(QStringLiteral("The changes made to this portfolio, to undo or redo"));
  connect(m_history, &QAction::triggered, this, [this] { m_view->ShowHistory(); });
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->showMessage(QStringLiteral("For Help, press F1"));
  m_symbolPane = new QLabel(bar);
  m_quotePane = new QLabel(bar);
  for (auto [pane, sizing] : {std::pair{m_symbolPane, "Symbols: xxxxxxxxxxxxxxxx"},
                              std::pair{m_quotePane, "Quotes: xxxxxxxxxxxxxxxx"}}) {
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QString::fromLatin1(sizing)) + 8);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(pane);
  }
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
    // On a small screen a long message is cut at the panes; the tip shows it whole.
    bar->setToolTip(message);
    if (message.isEmpty()) bar->showMessage(QStringLiteral("For Help, press F1"));
  });
}

void CMainFrame::UpdateCommandUi() {
  const ViewState& state = m_view->state();
  for (auto& [command, action] : m_actions) {
    if (command == kCmdExit || command == kCmdAbout || command == kCmdToggleToolBar ||
        command == kCmdToggleStatusBar || command == kCmdHelpTopics) {
      continue;
    }
    action->setEnabled(m_view->started() && m_view->Handles(command) && state.CommandEnabled(command));
  }
  for (auto [action, undo] : {std::pair{m_undo, true}, std::pair{m_redo, false}}) {
    const std::string title = m_view->UndoTitle(undo);
    const QString verb = undo ? QStringLiteral("&Undo") : QStringLiteral("&Redo");
    action->setText(title.empty() ? verb : verb + QLatin1Char(' ') + QString::fromStdString(title));
    action->setEnabled(!title.empty());
  }
  m_history->setEnabled(m_view->started() && !state.m_portfolioDir.empty());
  setWindowTitle(FromMessage(state.m_codePage, state.m_title));
  m_symbolPane->setText(symbolPaneText());
  m_quotePane->setText(quotePaneText());
}

QString CMainFrame::symbolPaneText() const { return FromLatin1(m_view->state().SymbolPaneText()); }
QString CMainFrame::quotePaneText() const { return FromLatin1(m_view->state().QuotePaneText()); }

void CMainFrame::RestorePlacement() {
  const ScreenRect placed = barvane::RestorePlacement(m_settings, UsableArea(nullptr));
  resize(placed.width, placed.height);
  move(placed.x, placed.y);
}

void CMainFrame::StorePlacement() {
  if (!m_placed || isMinimized()) return;
  barvane::StorePlacement(m_settings, UsableArea(screen()), {x(), y(), width(), height()});
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  StorePlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  StorePlacement();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_view->SaveColumnWidths();
  RememberSeries(m_view->state());
  if (m_help) m_help->close();
  QMainWindow::closeEvent(event);
}

void CMainFrame::UpdateLogScale() {
  const CChartPane* chart = m_view->chartPane();
  const QString& refusal = chart->LogScaleRefusal();
  const bool asked = m_settings.ReadInt("Chart", "LogScale", 0) != 0;
  const QSignalBlocker quiet(m_logScale);
  m_logScale->setEnabled(refusal.isEmpty());
  m_logScale->setChecked(refusal.isEmpty() && asked);
  const QString tip =
      refusal.isEmpty() ? QStringLiteral("Draw the chart's prices on a logarithmic scale, for long histories") : refusal;
  m_logScale->setStatusTip(tip);
  m_logScale->setToolTip(tip);
  // Whoever asked for the log scale is told why this series goes without it.
  if (!refusal.isEmpty() && asked) statusBar()->showMessage(refusal);
}

void CMainFrame::ShowHelp(QWidget* from, const QString& section) {
  // A modal dialog blocks every window but its own: the guide opens as one of them.
  QWidget* modal = QApplication::activeModalWidget();
  CHelpWnd* help = m_help;
  if (modal != nullptr && from->window() != this) {
    help = modal->findChild<CHelpWnd*>(QString(), Qt::FindDirectChildrenOnly);
    if (help == nullptr) {
      help = new CHelpWnd(modal);
      help->setAttribute(Qt::WA_DeleteOnClose);
    }
  } else if (!help) {
    help = m_help = new CHelpWnd(this);
  }
  help->show();
  help->ShowSection(section);
  help->raise();
  help->activateWindow();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // F1 in a command's dialog or window, or a question it asks, opens the guide at that command.
  // In this window the Help Topics shortcut takes F1 before any widget sees it.
  if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
      static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier || !watched->isWidgetType()) {
    return QMainWindow::eventFilter(watched, event);
  }
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() == this || qobject_cast<CHelpWnd*>(widget->window()) != nullptr) return false;
  QString section = GuideSectionOf(widget);
  if (section.isEmpty()) section = QString::fromLatin1(m_view->guideSection());
  ShowHelp(widget, section);
  return true;
}

void CMainFrame::ShowAbout() {
  QDialog about(this);
  about.setWindowTitle(QStringLiteral("About Barvane"));
  auto* layout = new QVBoxLayout(&about);
  layout->addWidget(new QLabel(QStringLiteral("Barvane Version 0.1\n\n"
                                              "An editor for MetaStock / CompuTrac price data.\n"
                                              "Copyright (C) 2026 Orvell Software"),
                               &about));
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
  connect(ok, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  layout->addWidget(ok);
  about.adjustSize();
  CentreOnScreen(&about);
  about.exec();
}
