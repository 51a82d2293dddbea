// CPortfolioCheckDlg: "Portfolio Check", the modeless window that checks the current portfolio
// (with a progress window and Cancel), lists the problems one line per symbol and kind (symbol,
// first date, quotes, problem, a mark where the repair mends it), each line opening to its
// quotes, sorted on a header click and filtered by kind; it leads the main view to a problem on
// a double-click, and offers "Repair what can be mended". While it is open the chart marks the
// problems of the series shown, checked again as they are shown.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "app/view_state.h"
#include "tools/portfolio_check.h"
#include "tools/portfolio_repair.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CPortfolioCheckDlg final : public QDialog {
  Q_OBJECT

 public:
  // `viewChanged` is called after the view state changed under the window (a problem shown,
  // a repair made), so that the main view presents it.
  CPortfolioCheckDlg(barvane::ViewState& state, std::function<void()> viewChanged, QWidget* parent);

  // Checks the view's current portfolio and lists what it finds.
  void RunCheck();
  // Leads the main view to the problem of list item `item` (a line or one of its quotes).
  void ShowProblemOf(QTreeWidgetItem* item);
  void Repair();
  // Checks the series `symbol` of portfolio `dir` again when it lies in the portfolio checked,
  // and lists what it finds in place of what the check found for it.
  void RecheckSeries(const std::string& dir, const std::string& symbol);
  // Told around each change a repair writes, so that the history records it.
  void SetRepairHooks(barvane::RepairChangeHooks hooks) { m_repairHooks = std::move(hooks); }

  QTreeWidget* problemList() const { return m_list; }
  QLabel* statusText() const { return m_status; }
  QComboBox* kindFilter() const { return m_kinds; }
  QPushButton* checkButton() const { return m_checkButton; }
  QPushButton* repairButton() const { return m_repairButton; }
  const std::vector<barvane::CheckProblem>& problems() const { return m_problems; }

 signals:
  // A check (not a series checked again) listed its problems.
  void Checked();

 private:
  barvane::RepairChangeHooks m_repairHooks;
  void CheckDirectory(const std::string& dir);
  void ShowProblems();
  // The kinds of the lines listed, as the filter offers them.
  void ListKinds();
  void ApplyFilter();
  const barvane::CheckProblem* ProblemOf(QTreeWidgetItem* item) const;

  barvane::ViewState& m_state;
  std::function<void()> m_viewChanged;
  std::vector<barvane::CheckProblem> m_problems;
  std::string m_checkedDir;
  bool m_cancelled = false;  // the check listed was cancelled
  QTreeWidget* m_list;
  QComboBox* m_kinds;
  QLabel* m_status;
  QPushButton* m_checkButton;
  QPushButton* m_repairButton;
  QPushButton* m_closeButton;
};
