// CBarvaneView: the form of the main window (drive list, portfolio list, symbol grid, quote
// grid) presenting the view state. It turns the user's acts into calls on the state and
// refreshes the controls afterwards; it decides nothing itself.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "app/view_state.h"
#include "editing/split.h"
#include "gui/chart_pane.h"
#include "gui/grid_models.h"
#include "gui/qt_ui.h"
#include "gui/portfolio_check_dlg.h"
#include "gui/split_search_dlg.h"

class QComboBox;
class QListWidget;
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
  // Column widths as the headers have them now, into "SymbolGrid" and "QuoteGrid".
  void SaveColumnWidths();

  QComboBox* driveCombo() const { return m_driveCombo; }
  QListWidget* portfolioList() const { return m_portfolioList; }
  QTableView* symbolGrid() const { return m_symbolGrid; }
  QTableView* quoteGrid() const { return m_quoteGrid; }
  CChartPane* chartPane() const { return m_chart; }
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
  // After a quote command: the grid refilled, the current row highlighted.
  void QuotesChanged();
  void SplitSearch();
  void CheckPortfolio();
  // The split search window's candidate on its day; false when it is not there any more.
  bool OpenCandidate(const barvane::SplitCandidate& candidate);
  // The chart marks the split search window's listed candidates of the series shown.
  void MarkCandidates();
  void Export();
  void EditSymbol();
  void DeleteSymbol();
  void MoveSymbol();
  void CopySymbol();
  void TransferSymbol(bool move);
  // After Edit symbol: the grid shows the row's new texts, the row still current.
  void SymbolRowChanged();
  void EditSearchFilter();

  QtUi m_ui;
  barvane::ViewState m_state;
  SymbolGridModel m_symbolModel;
  QuoteGridModel m_quoteModel;
  QComboBox* m_driveCombo;
  QListWidget* m_portfolioList;
  QTableView* m_symbolGrid;
  QTableView* m_quoteGrid;
  CChartPane* m_chart;
  QPointer<CSplitSearchDlg> m_splitSearch;
  QPointer<CPortfolioCheckDlg> m_check;
  QTimer m_symbolSettle;  // runs while keys move the symbol selection
  bool m_timerStarted = false;
  bool m_started = false;
  bool m_refreshing = false;
};
