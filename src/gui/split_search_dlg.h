// CSplitSearchDlg: "Split Search", the modeless window that searches the current portfolio for
// unrecorded splits, lists the candidates (in the order found, by symbol or by date, without
// the ratios and price levels the user hides), opens a candidate's day in the main window and
// offers it to the Split dialog, and saves the lines. While it exists the view's
// m_splitSearchOpen is set; only Close or Escape end it.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <array>
#include <vector>

#include "app/view_state.h"
#include "gui/save_file_prompt.h"
#include "tools/split_candidates.h"
#include "tools/split_search.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
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

  // Every line found, taken apart (index i is line i of the search), and those listed, in
  // list order.
  const std::vector<barvane::SplitCandidate>& candidates() const { return m_candidates; }
  const std::vector<std::size_t>& shown() const { return m_shown; }

  QListWidget* resultList() const { return m_results; }
  QLabel* statusText() const { return m_status; }
  QPushButton* searchButton() const { return m_searchButton; }
  QPushButton* splitButton() const { return m_splitButton; }
  QPushButton* saveButton() const { return m_saveButton; }
  QPushButton* closeButton() const { return m_closeButton; }
  QComboBox* orderBox() const { return m_order; }
  QCheckBox* ratioBox(std::size_t place) const { return m_ratios[place]; }
  QLineEdit* priceField() const { return m_minimumPrice; }

 signals:
  // A double-click or Enter on a line: its day in the main window.
  void OpenRequested(std::size_t candidate);
  // "Split..." (Enter while a line is current): the Split dialog for it.
  void SplitRequested(std::size_t candidate);
  // The lines listed changed.
  void ShownChanged();

 private:
  void Search();
  void SaveAs();
  // Takes apart the lines found since the last call and lists those the filter shows.
  void ShowResults();
  // Lists the shown candidates again, in the chosen order, keeping the current one.
  void Relist();
  barvane::SplitCandidateFilter Filter() const;
  // The candidate of the current line, or -1.
  long CurrentCandidate() const;

  barvane::ViewState& m_state;
  barvane::SplitSearch m_search;
  std::vector<barvane::SplitCandidate> m_candidates;
  std::vector<std::size_t> m_shown;
  SaveFilePrompt m_savePrompt = AskSaveFileName;
  QListWidget* m_results;
  QLabel* m_status;
  QComboBox* m_order;
  std::array<QCheckBox*, barvane::kSplitRatios.size()> m_ratios{};
  QLineEdit* m_minimumPrice;
  QPushButton* m_searchButton;
  QPushButton* m_splitButton;
  QPushButton* m_saveButton;
  QPushButton* m_closeButton;
  QElapsedTimer m_sincePaint;
  bool m_searching = false;
};
