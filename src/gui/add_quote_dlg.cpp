// The add quote dialog.
#include "gui/add_quote_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/qt_text.h"

CAddQuoteDlg::CAddQuoteDlg(const std::string& newDate, const std::string& explanation, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Add Data"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("New Date:"), new QLabel(FromLatin1(newDate), this));
  auto* words = new QLabel(FromLatin1(explanation), this);
  words->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(words);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}
