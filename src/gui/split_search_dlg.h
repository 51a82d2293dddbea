// CSplitSearchDlg: "Split Search", the modeless window that searches the current portfolio for
// unrecorded splits and saves the candidate lines. While it exists the view's
// m_splitSearchOpen is set; only Close or Escape end it.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "app/view_state.h"
#include "tools/split_search.h"
#include "gui/save_file_prompt.h"

class QLabel;
class QListWidget;
class QPushButton;

class CSplitSearchDlg final : public QDialog {
  Q_OBJECT

 public:
  CSplitSearchDlg(barvane::ViewState& state, QWidget* parent);

  // Replaces the save-file dialog of "Save As..." (tests answer it).
  void SetSavePrompt(SaveFilePrompt prompt) { m_savePrompt = std::move(prompt); }
  bool searching() const { return m_searching; }
  // What the search has found so far, in the controls at once and on screen at intervals, so
  // that painting does not slow a search of thousands of symbols.
  void ShowProgress();
  void done(int result) override;

  QListWidget* resultList() const { return m_results; }
  QLabel* statusText() const { return m_status; }
  QPushButton* searchButton() const { return m_searchButton; }
  QPushButton* saveButton() const { return m_saveButton; }
  QPushButton* closeButton() const { return m_closeButton; }

 private:
  void Search();
  void SaveAs();
  void ShowResults();

  barvane::ViewState& m_state;
  barvane::SplitSearch m_search;
  SaveFilePrompt m_savePrompt = AskSaveFileName;
  QListWidget* m_results;
  QLabel* m_status;
  QPushButton* m_searchButton;
  QPushButton* m_saveButton;
  QPushButton* m_closeButton;
  QElapsedTimer m_sincePaint;
  bool m_searching = false;
};
