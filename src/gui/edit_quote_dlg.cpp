// The edit quote dialog.
#include "gui/edit_quote_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "gui/number_edit.h"

using namespace barvane;

CEditQuoteDlg::CEditQuoteDlg(ViewState& state, Store store, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_store(std::move(store)),
      m_date(new QLabel(QStringLiteral("date value"), this)),
      m_previous(new QPushButton(QStringLiteral("Previous"), this)),
      m_next(new QPushButton(QStringLiteral("Next"), this)),
      m_first(new QPushButton(QStringLiteral("First"), this)),
      m_last(new QPushButton(QStringLiteral("Last"), this)) {
  setWindowTitle(QStringLiteral("Edit Selected Quote"));
  auto* box = new QGroupBox(this);
  auto* grid = new QGridLayout(box);
  const char* labels[] = {"Date:", "Open:", "High:", "Low:", "Close:", "Volume:", "Open Interest:"};
  grid->addWidget(new QLabel(QString::fromLatin1(labels[0]), box), 0, 0);
  grid->addWidget(m_date, 0, 1);
  for (int i = 0; i < 6; ++i) {
    auto* field = new CNumberEdit(box);
    field->SetSignAllowed(true);
    m_fields[static_cast<std::size_t>(i)] = field;
    grid->addWidget(new QLabel(QString::fromLatin1(labels[i + 1]), box), i + 1, 0);
    grid->addWidget(field, i + 1, 1);
  }
  // The fields first, then the steps, then OK and Cancel (the order of the resource).
  auto* steps = new QHBoxLayout;
  for (QPushButton* b : {m_previous, m_next, m_first, m_last}) {
    b->setAutoDefault(false);
    steps->addWidget(b);
  }
  connect(m_previous, &QPushButton::clicked, this, [this] { Step(EditStep::kPrevious); });
  connect(m_next, &QPushButton::clicked, this, [this] { Step(EditStep::kNext); });
  connect(m_first, &QPushButton::clicked, this, [this] { Step(EditStep::kFirst); });
  connect(m_last, &QPushButton::clicked, this, [this] { Step(EditStep::kLast); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditQuoteDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addLayout(steps);
  layout->addWidget(buttons);
  QWidget* previous = m_fields.back();
  for (QWidget* next : std::initializer_list<QWidget*>{m_previous, m_next, m_first, m_last,
                                                       buttons->button(QDialogButtonBox::Ok),
                                                       buttons->button(QDialogButtonBox::Cancel)}) {
    setTabOrder(previous, next);
    previous = next;
  }
  for (std::size_t i = 1; i < m_fields.size(); ++i) setTabOrder(m_fields[i - 1], m_fields[i]);
  ShowRow();
  m_fields.front()->setFocus(Qt::OtherFocusReason);
  adjustSize();
  CentreOnScreen(this);
}

void CEditQuoteDlg::ShowRow() {
  const int row = m_state.m_selQuoteRow;
  m_shown = EditQuoteFields(m_state, row);
  m_date->setText(FromLatin1(m_shown[0]));
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    // A stored value wider than the field must show whole, or it would read as changed.
    const QString text = FromLatin1(m_shown[i + 1]);
    m_fields[i]->setMaxLength(std::max(kEditValueLimit, static_cast<int>(text.size())));
    m_fields[i]->setText(text);
  }
  m_fields.front()->selectAll();
  const EditNavigation nav = NavigationOf(row, m_state.m_quoteCount);
  m_previous->setEnabled(nav.previous);
  m_next->setEnabled(nav.next);
  m_first->setEnabled(nav.first);
  m_last->setEnabled(nav.last);
}

void CEditQuoteDlg::Step(EditStep step) {
  if (const EditQuoteTexts typed = texts(); EditTextsChanged(typed, m_shown)) {
    switch (m_state.ui().AskYesNoCancel(StoreChangesQuestion(m_shown))) {
      case Answer::kCancel: return;
      case Answer::kNo: break;
      case Answer::kYes:
        if (!Checked() || !m_store(typed, m_shown)) return;
        break;
    }
  }
  m_state.m_selQuoteRow = Navigate(m_state.m_selQuoteRow, m_state.m_quoteCount, step);
  ShowRow();
}

EditQuoteTexts CEditQuoteDlg::texts() const {
  EditQuoteTexts texts;
  texts[0] = ToLatin1(m_date->text());
  for (std::size_t i = 0; i < m_fields.size(); ++i) texts[i + 1] = ToLatin1(m_fields[i]->text());
  return texts;
}

QString CEditQuoteDlg::dateText() const { return m_date->text(); }

QPushButton* CEditQuoteDlg::button(EditStep step) const {
  switch (step) {
    case EditStep::kFirst: return m_first;
    case EditStep::kLast: return m_last;
    case EditStep::kNext: return m_next;
    case EditStep::kPrevious: return m_previous;
  }
  return nullptr;
}

bool CEditQuoteDlg::Checked() {
  const std::string refusal = RefuseEditQuote(m_state, texts(), m_shown);
  if (!refusal.empty()) {
    m_state.ui().ShowMessage(refusal);
    return false;
  }
  const std::string question = EditQuoteQuestion(m_state, texts(), m_shown);
  return question.empty() || m_state.ui().AskYesNo(question);
}

void CEditQuoteDlg::accept() {
  if (Checked()) QDialog::accept();
}
