// The new quote dialog.
#include "gui/new_quote_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "editing/edit_quote.h"
#include "gui/date_edit.h"
#include "gui/number_edit.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

CNewQuoteDlg::CNewQuoteDlg(ViewState& state, const NewQuoteTexts& texts, QWidget* parent)
    : QDialog(parent), m_state(state), m_date(new CDateEdit(this)) {
  setWindowTitle(QString::fromLatin1(kNewQuoteTitle));
  auto* box = new QGroupBox(this);
  auto* form = new QFormLayout(box);
  form->addRow(m_state.m_quotes.style.fourDigitYears ? QStringLiteral("Date (MM/DD/YYYY):")
                                                     : QStringLiteral("Date (MM/DD/YY):"),
               m_date);
  m_date->Seed(FromLatin1(texts[0]));
  const char* labels[] = {"Open:", "High:", "Low:", "Close:", "Volume:", "Open Interest:"};
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    auto* field = new CNumberEdit(box);
    field->SetSignAllowed(true);
    field->setMaxLength(kEditValueLimit);
    field->setText(FromLatin1(texts[i + 1]));
    field->setEnabled(m_state.m_quotes.held[i]);
    m_fields[i] = field;
    form->addRow(QString::fromLatin1(labels[i]), field);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CNewQuoteDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addWidget(buttons);
  m_date->setFocus(Qt::OtherFocusReason);
  adjustSize();
  CentreOnScreen(this);
}

NewQuoteTexts CNewQuoteDlg::texts() const {
  NewQuoteTexts texts;
  texts[0] = ToLatin1(m_date->text());
  for (std::size_t i = 0; i < m_fields.size(); ++i) texts[i + 1] = ToLatin1(m_fields[i]->text());
  return texts;
}

void CNewQuoteDlg::accept() {
  const NewQuoteTexts entered = texts();
  const std::string refusal = RefuseNewQuote(m_state, entered);
  if (!refusal.empty()) {
    m_state.ui().ShowMessage(refusal);
    return;
  }
  const std::string question = NewQuoteQuestion(m_state, entered);
  if (!question.empty() && !m_state.ui().AskYesNo(question)) return;
  QDialog::accept();
}
