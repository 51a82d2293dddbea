// The new quote dialog.
#include "gui/new_quote_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "editing/edit_quote.h"
#include "gui/date_edit.h"
#include "gui/number_edit.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

CNewQuoteDlg::CNewQuoteDlg(ViewState& state, const NewQuoteTexts& texts, QWidget* parent)
    : QDialog(parent), m_state(state), m_date(new CDateEdit(this)), m_note(new QLabel(this)) {
  setWindowTitle(QString::fromLatin1(kNewQuoteTitle));
  const DateStyle style = m_state.m_quotes.style;
  auto* box = new QGroupBox(this);
  auto* form = new QFormLayout(box);
  form->addRow(style.fourDigitYears ? QStringLiteral("Date (MM/DD/YYYY):") : QStringLiteral("Date (MM/DD/YY):"), m_date);
  const std::string& moment = texts[0];
  const std::size_t blank = moment.find(' ');
  m_date->Seed(FromLatin1(moment.substr(0, blank)));
  if (style.times) {
    m_time = new QLineEdit(FromLatin1(blank == std::string::npos ? "" : moment.substr(blank + 1)), box);
    m_time->setMaxLength(8);
    form->addRow(QStringLiteral("Time (HH:MM:SS):"), m_time);
    connect(m_time, &QLineEdit::textChanged, this, &CNewQuoteDlg::CheckMoment);
  }
  m_note->setWordWrap(true);
  form->addRow(m_note);
  const char* labels[] = {"Open:", "High:", "Low:", "Close:", "Volume:", "Open Interest:"};
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    auto* field = new CNumberEdit(box);
    field->SetSignAllowed(true);
    field->setMaxLength(kEditValueLimit);
    field->setText(FromLatin1(texts[i + 1]));
    m_fields[i] = field;
    form->addRow(QString::fromLatin1(labels[i]), field);
  }
  connect(m_date, &QLineEdit::textChanged, this, &CNewQuoteDlg::CheckMoment);
  CheckMoment();
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

std::string CNewQuoteDlg::MomentText() const {
  std::string text = ToLatin1(m_date->text());
  if (m_time) text += ' ' + ToLatin1(m_time->text().trimmed());
  return text;
}

QString CNewQuoteDlg::momentNote() const { return m_note->text(); }

void CNewQuoteDlg::CheckMoment() {
  const std::string refusal = RefuseNewQuoteMoment(m_state, MomentText());
  m_note->setText(FromLatin1(refusal));
  for (std::size_t i = 0; i < m_fields.size(); ++i) m_fields[i]->setEnabled(refusal.empty() && m_state.m_quotes.held[i]);
}

NewQuoteTexts CNewQuoteDlg::texts() const {
  NewQuoteTexts texts;
  texts[0] = MomentText();
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
