// The search filter dialog.
#include "gui/search_filter_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "app/search_filter.h"

CSearchFilterDlg::CSearchFilterDlg(std::vector<std::string> drives, QWidget* parent)
    : QDialog(parent),
      m_drives(std::move(drives)),
      m_limitBox(new QCheckBox(QStringLiteral("Only search for Portfolios in paths like that below"), this)),
      m_pathEdit(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Portfolio Search Filter"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSearchFilterDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSearchFilterDlg::reject);
  // The typed path is kept while the box is off, so switching back on restores it.
  connect(m_limitBox, &QCheckBox::toggled, m_pathEdit, &QLineEdit::setEnabled);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_limitBox);
  layout->addWidget(m_pathEdit);
  layout->addWidget(buttons);
  m_pathEdit->setMinimumWidth(360);
}

int CSearchFilterDlg::exec() {
  m_limitBox->setChecked(m_limit);
  m_pathEdit->setText(m_path);
  m_pathEdit->setEnabled(m_limit);
  return QDialog::exec();
}

void CSearchFilterDlg::accept() {
  m_limit = m_limitBox->isChecked();
  m_path = m_pathEdit->text();
  if (m_limit && !barvane::FilterPathAcceptable(m_drives, ToPath(m_path))) {
    if (m_show) m_show(barvane::kUnknownFilterDriveText);
    return;
  }
  QDialog::accept();
}
