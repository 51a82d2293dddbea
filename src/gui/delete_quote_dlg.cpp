// The delete quote dialog.
#include "gui/delete_quote_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "editing/delete_quote.h"

CDeleteQuoteDlg::CDeleteQuoteDlg(barvane::Ui& ui, const std::string& dateText, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_date(dateText.substr(0, 100)) {
  setWindowTitle(QStringLiteral("Delete Data"));
  auto* box = new QGroupBox(QStringLiteral("Selected Date to Delete:"), this);
  auto* date = new QLabel(FromLatin1(m_date), box);
  date->setAlignment(Qt::AlignCenter);
  (new QVBoxLayout(box))->addWidget(date);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDeleteQuoteDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addWidget(buttons);
  setMinimumWidth(260);
  adjustSize();
  CentreOnScreen(this);
}

void CDeleteQuoteDlg::accept() {
  if (m_ui.AskYesNo(barvane::DeleteConfirmationText(m_date))) QDialog::accept();
}
