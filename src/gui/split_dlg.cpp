// The split dialog.
#include "gui/split_dlg.h"

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

CSplitDlg::CSplitDlg(ViewState& state, const SplitTexts& texts, QWidget* parent)
    : QDialog(parent), m_state(state), m_date(new CDateEdit(this)), m_new(new CNumberEdit(this)),
      m_old(new CNumberEdit(this)) {
  setWindowTitle(QStringLiteral("Split Data"));
  auto* dateBox = new QGroupBox(QStringLiteral("Split Date"), this);
  (new QVBoxLayout(dateBox))->addWidget(m_date);
  auto* ratios = new QGroupBox(QStringLiteral("Ratios"), this);
  auto* form = new QFormLayout(ratios);
  form->addRow(QStringLiteral("New Shares"), m_new);
  form->addRow(QStringLiteral("Old Shares"), m_old);
  m_new->setMaxLength(kSplitRatioLimit);
  m_old->setMaxLength(kSplitRatioLimit);
  m_date->Seed(FromLatin1(texts.date));
  m_new->setText(FromLatin1(texts.newShares));
  m_old->setText(FromLatin1(texts.oldShares));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSplitDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dateBox);
  layout->addWidget(ratios);
  layout->addWidget(buttons);
  adjustSize();
  CentreOnScreen(this);
}

SplitTexts CSplitDlg::texts() const { return {Text(m_date), Text(m_new), Text(m_old)}; }

void CSplitDlg::accept() {
  const std::string refusal = RefuseSplit(m_state, texts());
  if (!refusal.empty()) {
    m_state.ui().ShowMessage(refusal);
    return;
  }
  QDialog::accept();
}
