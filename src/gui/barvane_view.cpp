// The main view's controls over the view state.
#include "gui/barvane_view.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFocusFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/drives.h"
#include "app/grid_copy.h"
#include "app/last_series.h"
#include "app/symbol_filter.h"
#include "app/user_guide.h"
#include "data/file_names.h"
#include "data/printed.h"
#include "data/series_facts.h"
#include "data/typed_date.h"
#include "editing/add_quote.h"
#include "editing/adjust.h"
#include "editing/delete_quote.h"
#include "editing/edit_quote.h"
#include "editing/new_quote.h"
#include "editing/split.h"
#include "exchange/export.h"
#include "exchange/export_all.h"
#include "exchange/import.h"
#include "gui/add_quote_dlg.h"
#include "gui/adjust_dlg.h"
#include "gui/delete_quote_dlg.h"
#include "gui/delete_symbol_dlg.h"
#include "gui/edit_quote_dlg.h"
#include "gui/edit_symbol_dlg.h"
#include "gui/export_dlg.h"
#include "gui/help_wnd.h"
#include "gui/history_dlg.h"
#include "gui/import_dlg.h"
#include "gui/move_symbol_dlg.h"
#include "gui/new_quote_dlg.h"
#include "gui/qt_text.h"
#include "gui/row_delegate.h"
#include "gui/search_filter_dlg.h"
#include "gui/series_facts_dlg.h"
#include "gui/split_dlg.h"
#include "gui/split_search_dlg.h"
#include "gui/work_progress.h"
#include "tools/check_marks.h"
#include "tools/copy_symbol.h"
#include "tools/delete_symbol.h"
#include "tools/edit_symbol.h"
#include "tools/split_candidates.h"
#include "tools/undo.h"

using namespace barvane;

namespace {

constexpr int kStartTimerMs = 100;  // timer 102 of the start-up
// Longer than the gap between repeated keys, short enough to feel immediate.
constexpr int kSymbolSettleMs = 250;

QTableView* MakeGrid(QAbstractItemModel* model, QWidget* parent) {
  auto* grid = new QTableView(parent);
  grid->setModel(model);
  grid->setItemDelegate(new RowDelegate(grid));
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setShowGrid(false);
  grid->setWordWrap(false);
  grid->setSortingEnabled(false);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
  grid->horizontalHeader()->setSectionsClickable(false);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid->horizontalHeader()->setStretchLastSection(false);
  return grid;
}

// Stored widths that do not fit the grid give way to the defaults for every column.
std::vector<int> ColumnWidths(SettingsStore& settings, const char* section, const std::vector<int>& defaults,
                              int gridWidth) {
  std::vector<int> widths;
  int sum = 0;
  bool usable = true;
  for (std::size_t c = 0; c < defaults.size(); ++c) {
    const int w = settings.ReadInt(section, "col" + std::to_string(c), defaults[c]);
    usable = usable && w > 0 && w <= gridWidth;
    sum += w;
    widths.push_back(w);
  }
  return usable && sum <= gridWidth ? widths : defaults;
}

// A file text as the history keeps words: UTF-8, as the command line takes them.
std::string Utf8(const CodePage& page, const std::string& bytes) { return page.ToUtf8(bytes); }

}  // namespace

CBarvaneView::CBarvaneView(FileSystem& fs, SettingsStore& settings, QtUi::MessageHandler messages, QWidget* parent)
    : QWidget(parent),
      m_ui(this, std::move(messages)),
      m_history(fs, DefaultHistoryDirectory(), HistoryLimits::FromEnvironment()),
      m_recorder(fs, m_history),
      m_state(m_recorder, settings, m_ui),
      m_portfolioModel(m_state),
      m_symbolModel(m_state),
      m_quoteModel(m_state),
      m_driveCombo(new QComboBox(this)),
      m_portfolioList(MakeGrid(&m_portfolioModel, this)),
      m_symbolFilter(new QLineEdit(this)),
      m_symbolGrid(MakeGrid(&m_symbolModel, this)),
      m_quoteGrid(MakeGrid(&m_quoteModel, this)),
      m_chart(new CChartPane(m_state, m_quoteGrid, this)),
      m_focusFrame(new QFocusFrame(this)) {
  auto* portfolios = new QGroupBox(QStringLiteral("Portfolios"), this);
  auto* portfolioLayout = new QVBoxLayout(portfolios);
  portfolioLayout->addWidget(m_driveCombo);
  portfolioLayout->addWidget(m_portfolioList, 1);
  m_driveCombo->setMinimumContentsLength(8);
  m_driveCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  // A path keeps its start and its last directory, which tell portfolios apart.
  m_portfolioList->setTextElideMode(Qt::ElideMiddle);
  m_portfolioList->horizontalHeader()->setStretchLastSection(true);
  for (QTableView* list : {m_portfolioList, m_symbolGrid}) {
    list->horizontalHeader()->setSectionsClickable(true);
    list->horizontalHeader()->setSortIndicatorShown(true);
  }
  connect(m_portfolioList->horizontalHeader(), &QHeaderView::sectionClicked, this, [this] {
    m_state.SortPortfolios();
    Refresh();
  });
  connect(m_symbolGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    m_state.SortSymbols(column);
    Refresh();
  });

  auto* symbols = new QGroupBox(QStringLiteral("Symbols"), this);
  auto* symbolLayout = new QVBoxLayout(symbols);
  m_symbolFilter->setPlaceholderText(QStringLiteral("Filter symbols and names (Ctrl+F)"));
  m_symbolFilter->setClearButtonEnabled(true);
  m_symbolFilter->setMaxLength(16);
  symbolLayout->addWidget(m_symbolFilter);
  symbolLayout->addWidget(m_symbolGrid, 1);
  m_symbolGrid->horizontalHeader()->setStretchLastSection(true);  // no gap at the right
  auto* quotes = new QGroupBox(QStringLiteral("Quotes"), this);
  auto* quoteSplit = new QSplitter(Qt::Horizontal, quotes);
  quoteSplit->addWidget(m_quoteGrid);
  quoteSplit->addWidget(m_chart);
  quoteSplit->setStretchFactor(0, 0);
  quoteSplit->setStretchFactor(1, 1);
  quoteSplit->setChildrenCollapsible(false);
  (new QVBoxLayout(quotes))->addWidget(quoteSplit);

  // The lists share the top, the quotes have the rest; every border can be dragged.
  auto* topSplit = new QSplitter(Qt::Horizontal, this);
  topSplit->addWidget(portfolios);
  topSplit->addWidget(symbols);
  topSplit->setStretchFactor(0, 1);
  topSplit->setStretchFactor(1, 2);
  topSplit->setChildrenCollapsible(false);
  auto* mainSplit = new QSplitter(Qt::Vertical, this);
  mainSplit->addWidget(topSplit);
  mainSplit->addWidget(quotes);
  mainSplit->setStretchFactor(0, 1);
  mainSplit->setStretchFactor(1, 2);
  mainSplit->setChildrenCollapsible(false);
  m_splitters = {topSplit, mainSplit, quoteSplit};
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(mainSplit);

  // Tab moves between the panes, never through the cells: the lists, the grid, the chart. The
  // drive list and the filter box take the mouse, and Ctrl+F reaches the filter.
  m_driveCombo->setFocusPolicy(Qt::ClickFocus);
  m_symbolFilter->setFocusPolicy(Qt::ClickFocus);
  m_symbolGrid->setTabKeyNavigation(false);
  m_quoteGrid->setTabKeyNavigation(false);
  setTabOrder(m_portfolioList, m_symbolGrid);
  setTabOrder(m_symbolGrid, m_quoteGrid);
  setTabOrder(m_quoteGrid, m_chart);
  // The pane that has the keyboard wears a frame in the selection colour, drawn by the style.
  QPalette framePalette = m_focusFrame->palette();
  framePalette.setColor(QPalette::WindowText, palette().color(QPalette::Active, QPalette::Highlight));
  m_focusFrame->setPalette(framePalette);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    QWidget* pane = now;
    while (pane && pane != m_portfolioList && pane != m_symbolGrid && pane != m_quoteGrid && pane != m_chart) {
      pane = pane->parentWidget();
    }
    // Focus in another window (a dialog, the check) leaves the frame where the keyboard returns.
    if (pane || (now && now->window() == window())) m_focusFrame->setWidget(pane);
  });
  connect(m_symbolFilter, &QLineEdit::textChanged, this, &CBarvaneView::FilterSymbols);
  m_symbolFilter->installEventFilter(this);

  m_ui.SetCodePage(&m_state.m_codePage);
  m_ui.SetRepaint([this] {
    // A search changes no quotes: what it found is what needs painting.
    if (m_splitSearch && m_splitSearch->searching()) {
      m_splitSearch->ShowProgress();
      return;
    }
    m_quoteModel.Refresh();
    m_quoteGrid->repaint();
  });

  connect(m_driveCombo, &QComboBox::activated, this, [this](int index) {
    if (index < 0 || index >= static_cast<int>(m_state.m_drives.size())) return;
    RepairRecorded([&] { m_state.ChangeDrive(m_state.m_drives[static_cast<std::size_t>(index)]); });
    Refresh();
  });
  connect(m_portfolioList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (m_refreshing || !current.isValid()) return;
            RepairRecorded([&] { m_state.SelectPortfolio(current.row()); });
            Refresh();
          });
  m_quoteGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);  // rows to copy
  m_symbolGrid->installEventFilter(this);
  m_quoteGrid->installEventFilter(this);
  m_symbolSettle.setSingleShot(true);
  m_symbolSettle.setInterval(kSymbolSettleMs);
  connect(&m_symbolSettle, &QTimer::timeout, this, &CBarvaneView::LoadSymbolQuotes);
  connect(m_symbolGrid, &QTableView::clicked, this, [this](const QModelIndex& index) {
    m_state.SelectSymbolRow(m_symbolModel.StateRow(index.row()));
    LoadSymbolQuotes();
  });
  connect(m_symbolGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (m_refreshing || !current.isValid()) return;
            m_state.SelectSymbolRow(m_symbolModel.StateRow(current.row()));
            m_symbolSettle.start();
            emit StateChanged();
          });
  connect(m_quoteGrid, &QTableView::doubleClicked, this, [this] { RunCommand(kCmdEditQuote); });
  connect(m_quoteGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (m_refreshing || !current.isValid()) return;
            m_state.SelectQuoteRow(current.row());
            emit StateChanged();
          });
}

void CBarvaneView::LoadSymbolQuotes() {
  m_symbolSettle.stop();
  m_ui.SetWaitCursor(true);
  m_state.FillQuotesGrid(0);
  m_ui.SetWaitCursor(false);
  RefreshQuotes();
  emit StateChanged();
}

bool CBarvaneView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == m_symbolFilter) {
    // Down or Enter goes on to the symbols shown; Escape clears the filter.
    if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      m_symbolGrid->setFocus(Qt::TabFocusReason);
      return true;
    }
    if (key->key() == Qt::Key_Escape && !m_symbolFilter->text().isEmpty()) {
      m_symbolFilter->clear();
      return true;
    }
    return QWidget::eventFilter(watched, event);
  }
  auto* grid = watched == m_quoteGrid    ? m_quoteGrid
               : watched == m_symbolGrid ? m_symbolGrid
                                         : nullptr;
  if (grid && key->matches(QKeySequence::Copy)) {
    CopyRows(grid);
    return true;
  }
  if (grid == m_quoteGrid && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    RunCommand(kCmdEditQuote);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void CBarvaneView::CopyRows(QTableView* grid) {
  std::vector<int> rows;
  for (const QModelIndex& index : grid->selectionModel()->selectedRows())
    rows.push_back(grid == m_symbolGrid ? m_symbolModel.StateRow(index.row()) : index.row());
  std::sort(rows.begin(), rows.end());
  const std::string text = grid == m_quoteGrid ? CopyQuoteRows(m_state.m_quotes, rows)
                                               : CopySymbolRows(m_state.m_symbolRows, rows);
  QGuiApplication::clipboard()->setText(FromLatin1(text));
}

void CBarvaneView::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (m_timerStarted) return;
  m_timerStarted = true;
  QTimer::singleShot(kStartTimerMs, this, &CBarvaneView::Start);
}

void CBarvaneView::Start() {
  InsertColumns();
  RestoreSplitters();
  // What a crash cut short is finished before any file is read.
  RecoverHistory(m_history);
  RepairRecorded([this] {
    m_state.SetUpDrives();
    RestoreSeries(m_state);
  });
  m_started = true;
  Refresh();
}

void CBarvaneView::InsertColumns() {
  SettingsStore& settings = m_state.settings();
  // Wide enough for the texts they hold: a symbol, a date, a price like -12345.6789; the name
  // has what is left of the grid.
  const QFontMetrics metrics = m_symbolGrid->fontMetrics();
  const auto fitting = [&metrics](const char* text) { return metrics.horizontalAdvance(QString::fromLatin1(text)) + 12; };
  std::vector<int> symbolDefaults = {fitting("XXXXXXXXXX"), 0,           fitting("00/00/0000"), fitting("00/00/0000"),
                                     fitting("Quarterly"),  fitting("00,000")};
  int others = 0;
  for (int w : symbolDefaults) others += w;
  const int symbolWidth = m_symbolGrid->viewport()->width();
  symbolDefaults[kSymbolListName] = std::max(symbolDefaults[kSymbolListSymbol], symbolWidth - others);
  const auto symbolWidths = ColumnWidths(settings, "SymbolGrid", symbolDefaults, std::max(symbolWidth, others + symbolDefaults[kSymbolListName]));
  for (int c = 0; c < kSymbolListColumns; ++c) m_symbolGrid->setColumnWidth(c, symbolWidths[static_cast<std::size_t>(c)]);
  const int quoteText = m_quoteGrid->fontMetrics().horizontalAdvance(QStringLiteral("-12345.6789")) + 12;
  const int quoteWidth = m_quoteGrid->viewport()->width();
  const auto quoteWidths = ColumnWidths(settings, "QuoteGrid", std::vector<int>(7, quoteText), std::max(quoteWidth, 7 * quoteText));
  for (int c = 0; c < 7; ++c) m_quoteGrid->setColumnWidth(c, quoteWidths[static_cast<std::size_t>(c)]);
}

namespace {

constexpr const char* kWindowSection = "Window";
constexpr std::array<const char*, 3> kSplitterKeys = {"Lists", "Panes", "Quotes"};

}  // namespace

void CBarvaneView::RestoreSplitters() {
  SettingsStore& settings = m_state.settings();
  for (std::size_t i = 0; i < m_splitters.size(); ++i) {
    const QStringList parts = QString::fromStdString(settings.ReadString(kWindowSection, kSplitterKeys[i], "")).split(QLatin1Char(','));
    QList<int> sizes;
    for (const QString& part : parts) {
      bool ok = false;
      const int size = part.toInt(&ok);
      if (ok && size > 0) sizes.push_back(size);
    }
    if (sizes.size() == 2) {
      // Kept sizes are shared out in proportion; the chart keeps a third of a smaller window too.
      const int total = sizes[0] + sizes[1];
      if (i == 2 && sizes[1] < total / 3) sizes = {total - total / 3, total / 3};
      m_splitters[i]->setSizes(sizes);
    } else if (i == 0) {
      // A handful of portfolios needs a quarter of the width; the symbols' names the rest.
      const int total = m_splitters[i]->width();
      m_splitters[i]->setSizes({total / 4, total - total / 4});
    } else if (i == 1) {
      // Room for a dozen symbols at 800x600 without starving the quote grid.
      const int total = m_splitters[i]->height();
      m_splitters[i]->setSizes({total * 2 / 5, total - total * 2 / 5});
    } else {
      // The grid as wide as its columns, but the chart never less than a third.
      int columns = m_quoteGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * m_quoteGrid->frameWidth();
      for (int c = 0; c < 7; ++c) columns += m_quoteGrid->columnWidth(c);
      const int total = m_splitters[i]->width();
      const int grid = std::min(columns, total * 2 / 3);
      m_splitters[i]->setSizes({grid, total - grid});
    }
  }
}

void CBarvaneView::SaveColumnWidths() {
  SettingsStore& settings = m_state.settings();
  auto save = [&settings](const char* section, QTableView* grid, int count) {
    for (int c = 0; c < count; ++c) {
      std::string name = "col";
      name += std::to_string(c);
      settings.WriteInt(section, name, grid->columnWidth(c));
    }
  };
  save("SymbolGrid", m_symbolGrid, kSymbolListColumns);
  save("QuoteGrid", m_quoteGrid, 7);
  for (std::size_t i = 0; i < m_splitters.size(); ++i) {
    const QList<int> sizes = m_splitters[i]->sizes();
    settings.WriteString(kWindowSection, kSplitterKeys[i], std::to_string(sizes.value(0)) + "," + std::to_string(sizes.value(1)));
  }
}

void CBarvaneView::FilterSymbols(const QString& text) {
  m_state.m_symbolFilter = text.toStdString();
  m_refreshing = true;
  m_symbolModel.Refresh();
  m_refreshing = false;
  if (m_symbolModel.GridRow(m_state.m_selSymbolRow) < 0 && m_symbolModel.rowCount() > 0) {
    m_state.SelectSymbolRow(m_symbolModel.StateRow(0));
    m_symbolSettle.start();  // its quotes load once the typing rests
  }
  m_refreshing = true;
  SelectGridRows();
  m_refreshing = false;
  emit StateChanged();
}

bool CBarvaneView::GoToDate(const QString& text) {
  const std::string typed = ToLatin1(text.trimmed());
  if (const std::string refusal = ShortYearRefusal(typed, m_state.m_quotes.style); !refusal.empty()) {
    m_ui.ShowMessage(refusal, MessageIcon::kNone);
    return false;
  }
  const DayNumber day = ReadDateText(typed);
  if (day == kNoDate) {
    m_ui.ShowMessage("Please enter a date as MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD.", MessageIcon::kNone);
    return false;
  }
  const int row = QuoteRowOnOrBefore(m_state.m_quotes, day);
  if (row < 0) return false;
  m_state.SelectQuoteRow(row);
  RefreshQuotes();
  m_quoteGrid->setFocus(Qt::ShortcutFocusReason);
  emit StateChanged();
  return true;
}

void CBarvaneView::Refresh() {
  m_symbolSettle.stop();  // the state has loaded what it shows now
  m_refreshing = true;
  m_driveCombo->clear();
  int current = -1;
  for (std::size_t i = 0; i < m_state.m_drives.size(); ++i) {
    m_driveCombo->addItem(FromPath(DriveEntryText(m_state.m_drives[i])));
    if (m_state.m_drives[i] == m_state.m_drive) current = static_cast<int>(i);
  }
  m_driveCombo->setCurrentIndex(current);
  m_portfolioModel.Refresh();
  const QModelIndex portfolio = m_portfolioModel.index(m_state.m_selPortfolio, 0);
  if (portfolio.isValid()) {
    m_portfolioList->selectionModel()->setCurrentIndex(portfolio, QItemSelectionModel::ClearAndSelect |
                                                                      QItemSelectionModel::Rows);
    m_portfolioList->scrollTo(portfolio);
  }
  ShowSortIndicators();
  m_symbolModel.Refresh();
  m_quoteModel.Refresh();
  SelectGridRows();
  m_refreshing = false;
  MarkChart();
  emit StateChanged();
}

void CBarvaneView::ShowSortIndicators() {
  const auto order = [](const ListSort& sort) { return sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder; };
  m_portfolioList->horizontalHeader()->setSortIndicator(0, order(m_state.m_portfolioSort));
  m_symbolGrid->horizontalHeader()->setSortIndicator(m_state.m_symbolSort.column, order(m_state.m_symbolSort));
}

void CBarvaneView::RefreshQuotes() {
  m_refreshing = true;
  m_quoteModel.Refresh();
  SelectGridRows();
  m_refreshing = false;
  MarkChart();
}

void CBarvaneView::SelectGridRows() {
  if (!m_state.m_symbolRows.empty()) {
    const QModelIndex symbol = m_symbolModel.index(m_symbolModel.GridRow(m_state.m_selSymbolRow), 0);
    if (symbol.isValid()) {
      m_symbolGrid->selectionModel()->setCurrentIndex(
          symbol, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      m_symbolGrid->scrollTo(symbol);  // a restored symbol may lie far down
    } else {
      m_symbolGrid->selectionModel()->clear();
    }
  }
  if (m_state.m_quoteCount != 0) {
    const QModelIndex quote = m_quoteModel.index(m_state.m_selQuoteRow, 0);
    m_quoteGrid->selectionModel()->setCurrentIndex(quote,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_quoteGrid->scrollTo(quote);
  }
}

bool CBarvaneView::Handles(CommandId command) const {
  switch (command) {
    case kCmdDataFacts:
    case kCmdSearchFilter:
    case kCmdReScan:
    case kCmdEditQuote:
    case kCmdSplit:
    case kCmdAdjust:
    case kCmdDeleteQuote:
    case kCmdAddQuote:
    case kCmdNewQuote:
    case kCmdFindSymbol:
    case kCmdGoToDate:
    case kCmdSplitSearch:
    case kCmdCheckPortfolio:
    case kCmdCharacterSet:
    case kCmdExport:
    case kCmdExportAll:
    case kCmdImportQuotes:
    case kCmdImportSymbol:
    case kCmdEditSymbol:
    case kCmdDeleteSymbol:
    case kCmdMoveSymbol:
    case kCmdCopySymbol:
      return true;
    default:
      return false;
  }
}

void CBarvaneView::RunCommand(CommandId command) {
  // Every command works on the symbol that the title names.
  if (m_symbolSettle.isActive()) LoadSymbolQuotes();
  if (!m_started || !m_state.CommandEnabled(command)) return;
  const char* outer = m_guideSection;
  m_guideSection = GuideSection(command);
  switch (command) {
    case kCmdReScan:
      RepairRecorded([this] { m_state.ScanDrive(); });
      Refresh();
      break;
    case kCmdSearchFilter: EditSearchFilter(); break;
    case kCmdDataFacts: ShowFacts(); break;
    case kCmdEditQuote: EditQuote(); break;
    case kCmdSplit: EnterSplit(ProposeSplit(m_state)); break;
    case kCmdAdjust: AdjustQuotes(); break;
    case kCmdDeleteQuote: DeleteQuote(); break;
    case kCmdAddQuote: AddQuote(); break;
    case kCmdNewQuote: NewQuote(); break;
    case kCmdFindSymbol:
      m_symbolFilter->setFocus(Qt::ShortcutFocusReason);
      m_symbolFilter->selectAll();
      break;
    case kCmdGoToDate: {
      bool ok = false;
      const QString text = QInputDialog::getText(this, QStringLiteral("Go to Date"),
                                                 m_state.m_quotes.style.fourDigitYears
                                                     ? QStringLiteral("Date (MM/DD/YYYY or YYYY-MM-DD):")
                                                     : QStringLiteral("Date (MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD):"),
                                                 QLineEdit::Normal, FromLatin1(m_state.QuoteDateText(m_state.m_selQuoteRow)), &ok);
      if (ok) GoToDate(text);
      break;
    }
    case kCmdSplitSearch: SplitSearch(); break;
    case kCmdCheckPortfolio: CheckPortfolio(); break;
    case kCmdCharacterSet: ChooseCodePage(); break;
    case kCmdExport: Export(); break;
    case kCmdExportAll: ExportAll(); break;
    case kCmdImportQuotes: Import(false); break;
    case kCmdImportSymbol: Import(true); break;
    case kCmdEditSymbol: EditSymbol(); break;
    case kCmdDeleteSymbol: DeleteSymbol(); break;
    case kCmdMoveSymbol: MoveSymbol(); break;
    case kCmdCopySymbol: CopySymbol(); break;
    default: break;
  }
  m_guideSection = outer;
}

void CBarvaneView::ShowFacts() {
  if (m_state.m_symbolRows.empty()) return;
  const std::string symbol = m_state.m_symbolRows[static_cast<std::size_t>(m_state.m_selSymbolRow)].symbol;
  SeriesFacts facts;
  // The dialog opens even when the facts cannot be gathered; it then shows nothing.
  const bool gathered = GatherSeriesFacts(m_state.fs(), m_state.m_portfolioDir, symbol, &facts) == 0;
  CSeriesFactsDlg dialog(this);
  if (gathered) dialog.SetFacts(facts, m_state.m_codePage);
  dialog.exec();
}

void CBarvaneView::EditSearchFilter() {
  CSearchFilterDlg dialog(m_state.m_drives, this);
  dialog.m_limit = m_state.m_search.limit;
  dialog.m_path = FromPath(m_state.m_search.path);
  dialog.SetMessageHandler([this](const std::string& text) { m_ui.ShowMessage(text, MessageIcon::kNone); });
  if (dialog.exec() != QDialog::Accepted) return;
  RepairRecorded([&] { m_state.ApplySearchFilter(dialog.m_limit, ToPath(dialog.m_path)); });
  Refresh();
}

void CBarvaneView::QuotesChanged() {
  RefreshQuotes();
  emit StateChanged();
}

void CBarvaneView::EditQuote() {
  const int highlighted = m_state.m_selQuoteRow;
  const auto store = [this](const EditQuoteTexts& texts, const EditQuoteTexts& shown) {
    std::vector<std::string> words = {"edit", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol)};
    words.insert(words.end(), texts.begin(), texts.end());
    const bool stored = Recorded(words, [&] { return ApplyEditQuote(m_state, texts, shown); });
    QuotesChanged();
    return stored;
  };
  CEditQuoteDlg dialog(m_state, store, this);
  if (dialog.exec() == QDialog::Accepted) {
    store(dialog.texts(), dialog.shownTexts());
    return;
  }
  // Navigation moved the current row; the highlighted row is current again.
  m_state.m_selQuoteRow = highlighted;
  QuotesChanged();
}

void CBarvaneView::EnterSplit(const SplitTexts& proposed) {
  CSplitDlg dialog(m_state, proposed, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const SplitTexts texts = dialog.texts();
  Recorded({"split", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol), texts.date, texts.newShares, texts.oldShares},
           [&] { return ApplySplit(m_state, texts); });
  QuotesChanged();
}

void CBarvaneView::AdjustQuotes() {
  CAdjustDlg dialog(m_state, ProposeAdjust(m_state), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const AdjustTexts texts = dialog.texts();
  Recorded({"adjust", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol), texts.from, texts.to, texts.price,
            texts.volume, texts.openInterest},
           [&] { return ApplyAdjust(m_state, texts); });
  QuotesChanged();
}

void CBarvaneView::DeleteQuote() {
  const std::string date = ProposeDeleteDate(m_state);
  CDeleteQuoteDlg dialog(m_ui, date, this);
  if (dialog.exec() != QDialog::Accepted) return;
  Recorded({"delete-quote", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol), date},
           [&] { return ApplyDeleteQuote(m_state, date); });
  QuotesChanged();
}

void CBarvaneView::AddQuote() {
  const auto proposed = ProposeAddDate(m_state);
  if (!proposed) {
    m_ui.ShowMessage(kAddToSingleQuoteText, MessageIcon::kNone);
    return;
  }
  if (const std::string refusal = RefuseAddQuote(m_state, *proposed); !refusal.empty()) {
    m_ui.ShowMessage(refusal, MessageIcon::kNone);
    return;
  }
  CAddQuoteDlg dialog(*proposed, AddQuoteExplanation(m_state), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const bool added = Recorded(
      {"add-quote", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol), m_state.QuoteDateText(m_state.m_selQuoteRow)},
      [&] { return ApplyAddQuote(m_state, *proposed); });
  QuotesChanged();
  if (added) EditQuote();
}

void CBarvaneView::NewQuote() {
  CNewQuoteDlg dialog(m_state, ProposeNewQuote(m_state), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const NewQuoteTexts texts = dialog.texts();
  std::vector<std::string> words = {"new-quote", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol)};
  words.insert(words.end(), texts.begin(), texts.end());
  Recorded(words, [&] { return ApplyNewQuote(m_state, texts); });
  QuotesChanged();
}

void CBarvaneView::SplitSearch() {
  // Owned by the main frame, so that it stays above the main window and goes with it.
  auto* window = new CSplitSearchDlg(m_state, this->window());
  m_splitSearch = window;
  connect(window, &QDialog::finished, this, &CBarvaneView::StateChanged);
  connect(window, &QDialog::finished, this, &CBarvaneView::MarkChart);
  connect(window, &CSplitSearchDlg::ShownChanged, this, &CBarvaneView::MarkChart);
  connect(window, &CSplitSearchDlg::OpenRequested, this,
          [this, window](std::size_t candidate) { OpenCandidate(window->candidates()[candidate]); });
  connect(window, &CSplitSearchDlg::SplitRequested, this, [this, window](std::size_t candidate) {
    const SplitCandidate c = window->candidates()[candidate];
    // p for q: p new shares for q old ones.
    m_guideSection = GuideSection(kCmdSplit);
    if (OpenCandidate(c)) EnterSplit({c.dateText, std::to_string(c.ratio.p), std::to_string(c.ratio.q)});
    m_guideSection = "";
  });
  SetGuideSection(window, GuideSection(kCmdSplitSearch));
  window->show();
  emit StateChanged();
}

bool CBarvaneView::OpenCandidate(const SplitCandidate& candidate) {
  const bool opened = OpenSplitCandidate(m_state, candidate);
  Refresh();
  m_symbolGrid->scrollTo(m_symbolGrid->currentIndex());
  return opened;
}

void CBarvaneView::MarkChart() {
  std::vector<CChartPane::Mark> marks;
  if (m_splitSearch && m_state.m_splitSearchOpen) {
    for (const CandidateMark& mark : CandidateMarks(m_state, m_splitSearch->candidates(), m_splitSearch->shown())) {
      marks.push_back({mark.row, FromLatin1(mark.label), CChartPane::MarkKind::kCandidate});
    }
  }
  if (m_check && m_check->isVisible()) {
    m_check->RecheckSeries(m_state.m_portfolioDir, m_state.m_seriesSymbol);
    for (const ProblemMark& mark : ProblemMarks(m_state, m_check->problems())) {
      marks.push_back({mark.row, FromLatin1(mark.label), CChartPane::MarkKind::kProblem});
    }
  }
  m_chart->SetMarks(std::move(marks));
}

void CBarvaneView::CheckPortfolio() {
  if (!m_check) {
    // Owned by the main frame, so that it stays above the main window and goes with it.
    m_check = new CPortfolioCheckDlg(m_state, [this] { Refresh(); }, this->window());
    m_check->setAttribute(Qt::WA_DeleteOnClose);
    SetGuideSection(m_check, GuideSection(kCmdCheckPortfolio));
    connect(m_check, &CPortfolioCheckDlg::Checked, this, &CBarvaneView::MarkChart);
    connect(m_check, &QDialog::finished, this, &CBarvaneView::MarkChart);
    // The repair is one change, named as the command line names it.
    m_check->SetRepairHooks({[this](const std::string& dir) {
                               ++m_historyGeneration;
                               m_recorder.Begin({"check", dir, "--repair"}, dir);
                             },
                             [this] { (void)m_recorder.End(); }});
  }
  m_check->show();
  m_check->raise();
  m_check->RunCheck();
}

namespace {

// The user's documents folder (else the home folder): where an export goes when none went before.
std::string DocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return ToPath(documents.isEmpty() ? QDir::homePath() : documents);
}

}  // namespace

void CBarvaneView::Export() {
  ExportChoices proposed = ReadExportChoices(m_state.settings());
  const std::string folder = ProposedExportFolder(proposed.path, DocumentsFolder());
  proposed.path = ProposedExportPath(proposed.path, m_state.m_seriesSymbol, DocumentsFolder());
  CExportDlg dialog(m_ui, proposed, this);
  if (dialog.exec() != QDialog::Accepted) return;
  ExportChoices chosen = dialog.choices();
  // A bare file name goes into the folder proposed, never the program's working folder.
  if (RootLength(chosen.path) == 0) chosen.path = folder + chosen.path;
  ExportQuotes(m_state, chosen);
}

void CBarvaneView::ExportAll() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QString::fromLatin1(kExportAllTitle),
      FromPath(ProposedExportFolder(ReadExportChoices(m_state.settings()).path, DocumentsFolder())));
  if (folder.isEmpty()) return;
  ExportChoices stored = ReadExportChoices(m_state.settings());
  stored.path = ToPath(folder);
  CExportDlg dialog(m_ui, stored, this);
  dialog.setWindowTitle(QString::fromLatin1(kExportAllTitle));
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string outDir = ToPath(dialog.pathEdit()->text());
  std::vector<ExportedFile> files;
  const bool complete =
      barvane::ExportAll(m_state.fs(), m_ui, m_state.m_portfolioDir, outDir, dialog.choices(),
                         WorkProgress(QStringLiteral("Exporting..."), this), &files);
  m_ui.ShowMessage(std::to_string(files.size()) + " files written to\n" + outDir +
                       (complete ? "" : "\n\nNot every symbol was exported."),
                   complete ? MessageIcon::kInformation : MessageIcon::kWarning);
}

void CBarvaneView::Import(bool newSymbol) {
  ImportRequest proposal;
  proposal.dir = m_state.m_portfolioDir;
  if (!newSymbol) proposal.symbol = m_state.m_seriesSymbol;
  CImportDlg dialog(m_state.fs(), proposal, newSymbol, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const ImportRequest request = dialog.request();
  std::vector<std::string> words = {"import", request.dir, Utf8(m_state.m_codePage, request.symbol),
                                     ToPath(dialog.fileEdit()->text())};
  if (request.byTicker) words = {"import", request.dir, ToPath(dialog.fileEdit()->text()), "--by-ticker"};
  if (!request.name.empty()) words.insert(words.end(), {"--name", Utf8(m_state.m_codePage, request.name)});
  if (request.replace) words.push_back("--replace");
  ImportPlanSummary summary;
  if (!Recorded(words, [&] { return ImportQuotes(m_state.fs(), m_ui, request, dialog.quotes(), &summary); })) {
    return;
  }
  if (summary.newPortfolio) {
    m_ui.ShowMessage("The portfolio\n" + request.dir + "\nwas made. ReScan (F5) lists it.", MessageIcon::kInformation);
    return;
  }
  if (WithTrailingSlash(request.dir) != WithTrailingSlash(m_state.m_portfolioDir)) return;
  const std::string what =
      request.byTicker ? GroupedNumber(dialog.quotes().tickers.size()) + " tickers" : request.symbol;
  if (summary.newSymbol) {
    // The selection goes with the new symbol (the first ticker's, for a text of several).
    ShowSymbol(request.byTicker ? dialog.quotes().tickers.front() : request.symbol);
    m_ui.ShowDone(what + " made with " + GroupedNumber(summary.added) + " imported days");
    return;
  }
  m_state.RefillQuotesKeepingPlace();
  Refresh();
  m_ui.ShowDone(what + " imported: " + GroupedNumber(summary.added) + " days added, " +
                GroupedNumber(summary.replaced) + " replaced, " + GroupedNumber(summary.kept) + " kept");
}

void CBarvaneView::ShowSymbol(std::string symbol) {
  RepairRecorded([this] { m_state.FillSymbolGrid(0); });
  for (std::size_t r = 0; r < m_state.m_symbolRows.size(); ++r) {
    if (m_state.m_symbolRows[r].symbol != symbol) continue;
    m_state.SelectSymbolRow(static_cast<int>(r));
    m_state.FillQuotesGrid(0);
    break;
  }
  Refresh();
}

void CBarvaneView::ChooseCodePage() {
  QStringList titles;
  for (const std::string& name : CodePageNames()) titles << QString::fromStdString(CodePageTitle(name));
  bool chosen = false;
  const QString title = QInputDialog::getItem(
      this, QStringLiteral("Character Set"), QStringLiteral("Symbols and names of this portfolio are written in:"),
      titles, static_cast<int>(titles.indexOf(QString::fromStdString(CodePageTitle(m_state.m_codePage.name())))),
      false, &chosen);
  const auto at = static_cast<std::size_t>(std::max<qsizetype>(titles.indexOf(title), 0));
  const std::optional<CodePage> page = CodePage::Named(CodePageNames()[at]);
  if (!chosen || !page) return;
  m_state.SetCodePage(*page);
  // The same bytes in other letters: the grid's order by byte may change.
  m_state.FillSymbolGrid(m_state.m_selSymbolRow);
  Refresh();
}

void CBarvaneView::EditSymbol() {
  CEditSymbolDlg dialog(m_ui, m_state.m_codePage, EditSymbolStartTexts(m_state), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const SymbolTexts texts = dialog.texts();
  if (Recorded({"edit-symbol", m_state.m_portfolioDir, Utf8(m_state.m_codePage, SymbolToDelete(m_state)), Utf8(m_state.m_codePage, texts.symbol), Utf8(m_state.m_codePage, texts.name)},
               [&] { return barvane::EditSymbol(m_state, texts); })) {
    // The list is sorted again, and stays on the symbol under its new text.
    ShowSymbol(m_state.m_symbolRows[static_cast<std::size_t>(m_state.m_selSymbolRow)].symbol);
  }
}

void CBarvaneView::DeleteSymbol() {
  m_ui.Beep();
  CDeleteSymbolDlg dialog(SymbolToDelete(m_state), m_state.m_codePage, this);
  if (dialog.exec() != QDialog::Accepted) return;
  Recorded({"delete-symbol", m_state.m_portfolioDir, Utf8(m_state.m_codePage, SymbolToDelete(m_state))},
           [this] { return barvane::DeleteSymbol(m_state); });
  Refresh();
}

void CBarvaneView::MoveSymbol() { TransferSymbol(true); }
void CBarvaneView::CopySymbol() { TransferSymbol(false); }

void CBarvaneView::TransferSymbol(bool move) {
  CMoveSymbolDlg dialog(DestinationChoices(m_state), move,
                        {m_state.m_portfolioDir, m_state.m_codePage.ToUtf8(m_state.m_seriesSymbol),
                         m_state.m_codePage.ToUtf8(m_state.m_seriesName)},
                        this);
  if (dialog.exec() != QDialog::Accepted || dialog.destination().empty()) return;
  // A copy leaves the current portfolio, and so the grids, as they were.
  const std::string destination = dialog.destination();
  const bool done = Recorded({move ? "move-symbol" : "copy-symbol", m_state.m_portfolioDir, Utf8(m_state.m_codePage, m_state.m_seriesSymbol),
                              destination},
                             [&] { return barvane::CopySymbol(m_state, destination, move); });
  if (done && move) Refresh();
  emit StateChanged();
}

std::string CBarvaneView::UndoTitle(bool undo) {
  const std::pair<std::string, int> key{m_state.m_portfolioDir, m_historyGeneration};
  if (key != m_titlesOf) {
    m_titlesOf = key;
    Change change;
    const bool open = m_started && !key.first.empty();
    m_undoTitle = open && NextToUndo(m_history, key.first, &change) ? ChangeTitle(change) : "";
    m_redoTitle = open && NextToRedo(m_history, key.first, &change) ? ChangeTitle(change) : "";
  }
  return undo ? m_undoTitle : m_redoTitle;
}

bool CBarvaneView::UndoChange(bool undo) {
  const std::string dir = m_state.m_portfolioDir;
  if (!m_started || dir.empty()) return false;
  ++m_historyGeneration;
  UndoOutcome outcome = undo ? Undo(m_history, dir, false) : Redo(m_history, dir, false);
  if (!outcome.done && outcome.changedSince &&
      m_ui.AskYesNo(outcome.message + "\n\n" + (undo ? "Undo" : "Redo") + " it all the same?")) {
    outcome = undo ? Undo(m_history, dir, true) : Redo(m_history, dir, true);
  }
  if (!outcome.done) {
    if (!outcome.changedSince) m_ui.ShowMessage(outcome.message, MessageIcon::kStop);
    emit StateChanged();
    return false;
  }
  RefillAfterUndo();
  m_ui.ShowDone((undo ? "Undone: " : "Redone: ") + ChangeTitle(outcome.change));
  return true;
}

void CBarvaneView::RefillAfterUndo() {
  const std::string symbol = m_state.m_seriesSymbol;
  const ViewState::QuotePlace place = m_state.CurrentQuotePlace();
  RepairRecorded([this] { m_state.FillSymbolGrid(0); });
  for (std::size_t r = 0; r < m_state.m_symbolRows.size(); ++r) {
    if (m_state.m_symbolRows[r].symbol != symbol) continue;
    m_state.SelectSymbolRow(static_cast<int>(r));
    m_state.FillQuotesGrid(0);
    m_state.ReturnToQuotePlace(place);
    break;
  }
  Refresh();
}

void CBarvaneView::ShowHistory() {
  if (!m_started || m_state.m_portfolioDir.empty()) return;
  CHistoryDlg dialog(m_history, m_state.m_portfolioDir, [this](bool undo) { return UndoChange(undo); }, this);
  SetGuideSection(&dialog, kUndoGuideSection);
  dialog.exec();
}
