// CNewQuoteDlg: "New Quote", a day (in a series with times, a bar) the series lacks: its date in
// the masked date field, its time (HH:MM:SS) where the series has times, and its six values, a
// minus sign allowed. The date and time are checked as they are typed: while they name no new
// bar the values take nothing and a note under them says why. Values the series does not hold
// show "N/A" and take nothing.
#pragma once

#include <QDialog>
#include <array>

#include "app/view_state.h"
#include "editing/new_quote.h"

class QLabel;
class QLineEdit;
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
  QLineEdit* timeField() const { return m_time; }  // null for a series without times
  CNumberEdit* field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
  QString momentNote() const;

 private:
  std::string MomentText() const;
  void CheckMoment();

  barvane::ViewState& m_state;
  CDateEdit* m_date;
  QLineEdit* m_time = nullptr;
  QLabel* m_note;
  std::array<CNumberEdit*, 6> m_fields{};
};
