// CEditQuoteDlg: "Edit Selected Quote", one day's six values with First, Last, Next and
// Previous to step through the days (which moves the view's current quote row). It opens on
// the first value with its text selected, and keeps the texts each day was shown with, so that
// only what the user changed is written.
#pragma once

#include <QDialog>
#include <array>

#include "app/view_state.h"
#include "editing/edit_quote.h"

class QLabel;
class QPushButton;
class CNumberEdit;

class CEditQuoteDlg final : public QDialog {
  Q_OBJECT

 public:
  CEditQuoteDlg(barvane::ViewState& state, QWidget* parent);

  barvane::EditQuoteTexts texts() const;
  // The texts of the day shown, as it was shown.
  const barvane::EditQuoteTexts& shownTexts() const { return m_shown; }
  void accept() override;

  QPushButton* button(barvane::EditStep step) const;
  CNumberEdit* field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
  QString dateText() const;

 private:
  void ShowRow();
  void Step(barvane::EditStep step);

  barvane::ViewState& m_state;
  barvane::EditQuoteTexts m_shown;
  QLabel* m_date;
  std::array<CNumberEdit*, 6> m_fields{};
  QPushButton* m_previous;
  QPushButton* m_next;
  QPushButton* m_first;
  QPushButton* m_last;
};
