// CNewQuoteDlg: "New Quote", a day the series lacks: its date in the masked date field and its
// six values, a minus sign allowed. Values the series does not hold show "N/A" and take nothing.
#pragma once

#include <QDialog>
#include <array>

#include "app/view_state.h"
#include "editing/new_quote.h"

class CDateEdit;
class CNumberEdit;

class CNewQuoteDlg final : public QDialog {
  Q_OBJECT

 public:
  CNewQuoteDlg(barvane::ViewState& state, const barvane::NewQuoteTexts& texts, QWidget* parent);

  barvane::NewQuoteTexts texts() const;
  // Refused texts keep the dialog open; so does a No to the question about unlikely values.
  void accept() override;

  CDateEdit* dateField() const { return m_date; }
  CNumberEdit* field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }

 private:
  barvane::ViewState& m_state;
  CDateEdit* m_date;
  std::array<CNumberEdit*, 6> m_fields{};
};
