// The adjust dialog.
#include "gui/adjust_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "gui/date_edit.h"
#include "gui/number_edit.h"

using namespace barvane;

namespace {

std::string Text(const QLineEdit* edit) { return ToLatin1(edit->text()); }

}  // namespace

CAdjustDlg::CAdjustDlg(ViewState& state, const AdjustTexts& texts, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_from(new CDateEdit(this)),
      m_to(new CDateEdit(this)),
      m_price(new CNumberEdit(this)),
      m_volume(new CNumberEdit(this)),
      m_openInterest(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Adjust Data"));
  auto* dates = new QGroupBox(QStringLiteral("Dates"), this);
  auto* dateForm = new QFormLayout(dates);
  dateForm->addRow(QStringLiteral("From:"), m_from);
  dateForm->addRow(QStringLiteral("To:"), m_to);
  auto* multipliers = new QGroupBox(QStringLiteral("Multipliers"), this);
  auto* form = new QFormLayout(multipliers);
  form->addRow(QStringLiteral("Price"), m_price);
  form->addRow(QStringLiteral("Volume"), m_volume);
  form->addRow(QStringLiteral("Open Interest"), m_openInterest);
  for (QLineEdit* edit : {static_cast<QLineEdit*>(m_price), static_cast<QLineEdit*>(m_volume), m_openInterest}) {
    edit->setMaxLength(kAdjustFieldLimit);
  }
  m_from->Seed(FromLatin1(texts.from));
  m_to->Seed(FromLatin1(texts.to));
  m_price->setText(FromLatin1(texts.price));
  m_volume->setText(FromLatin1(texts.volume));
  m_openInterest->setText(FromLatin1(texts.openInterest));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAdjustDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dates);
  layout->addWidget(multipliers);
  layout->addWidget(buttons);
  adjustSize();
  CentreOnScreen(this);
}

AdjustTexts CAdjustDlg::texts() const {
  return {Text(m_from), Text(m_to), Text(m_price), Text(m_volume), Text(m_openInterest)};
}

void CAdjustDlg::accept() {
  const std::string refusal = RefuseAdjust(m_state, texts());
  if (!refusal.empty()) {
    m_state.ui().ShowMessage(refusal);
    return;
  }
  QDialog::accept();
}
