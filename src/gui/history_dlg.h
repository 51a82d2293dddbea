// CHistoryDlg: "History", the changes Barvane made to the current portfolio, newest first, the
// undone ones marked. "Undo to here" undoes every change from the newest down to the selected
// one; "Redo to here" redoes every undone change up to the selected one. Each step goes through
// the main view, which asks, tells and refills its grids as for Edit > Undo.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "data/history.h"

class QPushButton;
class QTreeWidget;

class CHistoryDlg final : public QDialog {
  Q_OBJECT

 public:
  // Undoes (true) or redoes (false) the next change of the portfolio; false when it did not.
  using Step = std::function<bool(bool undo)>;

  CHistoryDlg(barvane::History& history, std::string dir, Step step, QWidget* parent);

  QTreeWidget* list() const { return m_list; }
  QPushButton* undoButton() const { return m_undo; }
  QPushButton* redoButton() const { return m_redo; }
  // Fills the list from the history again, the selected change kept where it still is.
  void Reload();

 private:
  // Steps until the selected change is undone (or redone), or a step fails.
  void StepToSelected(bool undo);
  void UpdateButtons();
  const barvane::Change* Selected() const;

  barvane::History& m_history;
  std::string m_dir;
  Step m_step;
  std::vector<barvane::Change> m_changes;  // as listed
  QTreeWidget* m_list;
  QPushButton* m_undo;
  QPushButton* m_redo;
};
