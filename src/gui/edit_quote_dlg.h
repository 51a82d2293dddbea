// CEditQuoteDlg: "Edit Selected Quote", one day's six values with First, Last, Next and
// Previous to step through the days (which moves the view's current quote row).
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
  void accept() override;

  QPushButton* button(barvane::EditStep step) const;
  CNumberEdit* field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
  QString dateText() const;

 private:
  void ShowRow();
  void Step(barvane::EditStep step);

  barvane::ViewState& m_state;
  QLabel* m_date;
  std::array<CNumberEdit*, 6> m_fields{};
  QPushButton* m_previous;
  QPushButton* m_next;
  QPushButton* m_first;
  QPushButton* m_last;
};
