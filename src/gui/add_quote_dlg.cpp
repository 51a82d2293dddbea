// The add quote dialog.
#include "gui/add_quote_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "editing/add_quote.h"

CAddQuoteDlg::CAddQuoteDlg(const std::string& newDate, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Add Data"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("New Date:"), new QLabel(FromLatin1(newDate), this));
  auto* explanation = new QLabel(QString::fromLatin1(barvane::kAddExplanationText), this);
  explanation->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(explanation);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}
