// CEditQuoteDlg: "Edit Selected Quote", one day's six values with First, Last, Next and
// Previous to step through the days (which moves the view's current quote row). It opens on
// the first value with its text selected, and keeps the texts each day was shown with, so that
// only what the user changed is written. A step away from changed values first asks whether
// to store them.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "app/view_state.h"
#include "editing/edit_quote.h"

class QLabel;
class QPushButton;
class CNumberEdit;

class CEditQuoteDlg final : public QDialog {
  Q_OBJECT

 public:
  // Stores typed texts over the texts shown, as OK's command does; true when they are stored.
  using Store = std::function<bool(const barvane::EditQuoteTexts& texts, const barvane::EditQuoteTexts& shown)>;

  CEditQuoteDlg(barvane::ViewState& state, Store store, QWidget* parent);

  barvane::EditQuoteTexts texts() const;
  // The texts of the day shown, as it was shown.
  const barvane::EditQuoteTexts& shownTexts() const { return m_shown; }
  // Refused texts keep the dialog open; so does a No to the question about unlikely values.
  void accept() override;

  QPushButton* button(barvane::EditStep step) const;
  CNumberEdit* field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
  QString dateText() const;

 private:
  void ShowRow();
  // Stores changed values first when the user says Yes, stays when the user cancels.
  void Step(barvane::EditStep step);
  // OK's checks of the texts typed: true when they may be stored.
  bool Checked();

  barvane::ViewState& m_state;
  Store m_store;
  barvane::EditQuoteTexts m_shown;
  QLabel* m_date;
  std::array<CNumberEdit*, 6> m_fields{};
  QPushButton* m_previous;
  QPushButton* m_next;
  QPushButton* m_first;
  QPushButton* m_last;
};
