// CBarvaneView: the form of the main window (drive list, portfolio list, symbol grid, quote
// grid) presenting the view state. It turns the user's acts into calls on the state and
// refreshes the controls afterwards; it decides nothing itself.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>

#include "app/view_state.h"
#include "editing/split.h"
#include "gui/chart_pane.h"
#include "gui/grid_models.h"
#include "gui/qt_ui.h"
#include "data/change_recorder.h"
#include "gui/portfolio_check_dlg.h"
#include "gui/split_search_dlg.h"

class QComboBox;
class QFocusFrame;
class QLineEdit;
class QSplitter;
class QStatusBar;
class QTableView;

class CBarvaneView final : public QWidget {
  Q_OBJECT

 public:
  CBarvaneView(barvane::FileSystem& fs, barvane::SettingsStore& settings, QtUi::MessageHandler messages,
               QWidget* parent);

  barvane::ViewState& state() { return m_state; }
  bool started() const { return m_started; }
  void SetStatusBar(QStatusBar* bar) { m_ui.SetStatusBar(bar); }
  QtUi& ui() { return m_ui; }

  // The commands the view handles; false for one it does not (yet) offer.
  bool Handles(barvane::CommandId command) const;
  void RunCommand(barvane::CommandId command);
  // The user's guide's section on the command running now (its dialog open), "" when none.
  const char* guideSection() const { return m_guideSection; }
  // Column widths as the headers have them now, into "SymbolGrid" and "QuoteGrid", and the
  // splitters' sizes into "Window".
  void SaveColumnWidths();
  // The symbol filter box's text changed: the grid shows what it leaves, the current symbol
  // kept when it is among them, else the first shown made current.
  void FilterSymbols(const QString& text);
  // Makes the quote on `text`'s day (or the newest before it) current; false, after telling
  // the user, for a text that names no day.
  bool GoToDate(const QString& text);

  QComboBox* driveCombo() const { return m_driveCombo; }
  QTableView* portfolioList() const { return m_portfolioList; }
  QTableView* symbolGrid() const { return m_symbolGrid; }
  QLineEdit* symbolFilter() const { return m_symbolFilter; }
  QSplitter* splitter(int which) const { return m_splitters[static_cast<std::size_t>(which)]; }
  QTableView* quoteGrid() const { return m_quoteGrid; }
  CChartPane* chartPane() const { return m_chart; }
  // Around the pane that has the keyboard.
  QFocusFrame* focusFrame() const { return m_focusFrame; }
  barvane::History& history() { return m_history; }
  // The title of the change Undo (or Redo) would give back in the current portfolio, as
  // ChangeTitle names it; empty when there is none.
  std::string UndoTitle(bool undo);
  // Undoes (or redoes) that change, asking first when a file was changed since by something
  // else; the grids refill. False, after telling why, when it was not done.
  bool UndoChange(bool undo);
  // The History window of the current portfolio.
  void ShowHistory();

  // The split search window while it is open, else null.
  CSplitSearchDlg* splitSearchWindow() const { return m_splitSearch; }
  // The portfolio check window while it is open, else null.
  CPortfolioCheckDlg* checkWindow() const { return m_check; }

 signals:
  // Title, status panes or command enabling may have changed.
  void StateChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Ctrl+C in either grid, Enter in the quote grid.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Start();
  void InsertColumns();
  // The header arrows as the state's sorts have them.
  void ShowSortIndicators();
  // The splitters' stored sizes, or a start where the chart has at least a third of the width.
  void RestoreSplitters();
  void Refresh();
  void RefreshQuotes();
  void SelectGridRows();
  // The quotes of the current symbol row, once the keyboard has settled on it.
  void LoadSymbolQuotes();
  void CopyRows(QTableView* grid);
  void ShowFacts();
  void EditQuote();
  void EnterSplit(const barvane::SplitTexts& proposed);
  void AdjustQuotes();
  void DeleteQuote();
  void AddQuote();
  void NewQuote();
  // After a quote command: the grid refilled, the current row highlighted.
  void QuotesChanged();
  void SplitSearch();
  void CheckPortfolio();
  // Portfolio > Character set: the code page of the current portfolio's symbols and names.
  void ChooseCodePage();
  // The split search window's candidate on its day; false when it is not there any more.
  bool OpenCandidate(const barvane::SplitCandidate& candidate);
  // The chart marks the series' candidates listed in the split search window and, while the
  // check window is open, its problems (the series checked again, so that they name its days
  // as the files hold them now).
  void MarkChart();
  void Export();
  // Every symbol of the portfolio into a chosen folder, with the Export dialog's choices.
  void ExportAll();
  // Quotes from a text file into the current symbol, or (`newSymbol`) a new symbol or portfolio.
  void Import(bool newSymbol);
  void EditSymbol();
  void DeleteSymbol();
  void MoveSymbol();
  void CopySymbol();
  void TransferSymbol(bool move);
  // The symbol grid read again with `symbol` (when listed) current and its quotes shown. A copy:
  // the grid's rows it may come from are replaced.
  void ShowSymbol(std::string symbol);
  void EditSearchFilter();
  // Runs `command` as one change of the history under `words`, the command line's words for it.
  template <typename Command>
  auto Recorded(std::vector<std::string> words, Command command) {
    barvane::ChangeScope change(m_recorder, std::move(words), m_state.m_portfolioDir);
    ++m_historyGeneration;
    return command();
  }
  // Runs `fill`, which may mend blank symbols of the portfolio it opens, as one change.
  template <typename Fill>
  void RepairRecorded(Fill fill) {
    barvane::ChangeScope change(m_recorder, {"blank-symbol-repair"}, "");
    ++m_historyGeneration;
    fill();
  }
  // After an undo or redo: both grids read again, the current symbol and quote row kept.
  void RefillAfterUndo();

  QtUi m_ui;
  barvane::History m_history;
  barvane::ChangeRecorder m_recorder;  // the file system of every command
  barvane::ViewState m_state;
  // Undo and redo titles, read again when the portfolio or the history changed.
  int m_historyGeneration = 0;
  std::pair<std::string, int> m_titlesOf{"", -1};
  std::string m_undoTitle, m_redoTitle;
  PortfolioListModel m_portfolioModel;
  SymbolGridModel m_symbolModel;
  QuoteGridModel m_quoteModel;
  QComboBox* m_driveCombo;
  QTableView* m_portfolioList;
  QLineEdit* m_symbolFilter;
  QTableView* m_symbolGrid;
  QTableView* m_quoteGrid;
  CChartPane* m_chart;
  QFocusFrame* m_focusFrame;
  std::array<QSplitter*, 3> m_splitters{};  // lists | symbols, top / quotes, grid | chart
  QPointer<CSplitSearchDlg> m_splitSearch;
  QPointer<CPortfolioCheckDlg> m_check;
  QTimer m_symbolSettle;  // runs while keys move the symbol selection
  bool m_timerStarted = false;
  bool m_started = false;
  bool m_refreshing = false;
  const char* m_guideSection = "";
};
