// The scan progress window: the directory being searched and the MASTER files found.
#include "gui/scan_progress_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/screen_centre.h"

CScanProgressDlg::CScanProgressDlg(QWidget* owner)
    : QDialog(owner), m_path(new QLabel(this)), m_count(new QLabel(QStringLiteral("0"), this)) {
  setWindowTitle(QStringLiteral("Searching for Master Files"));
  setWindowModality(Qt::ApplicationModal);
  setAttribute(Qt::WA_DeleteOnClose, false);
  m_path->setMinimumWidth(420);
  m_path->setTextFormat(Qt::PlainText);
  m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_count->setMinimumWidth(40);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });

  auto* layout = new QGridLayout(this);
  layout->addWidget(m_path, 0, 0, 1, 3);
  layout->addWidget(new QLabel(QStringLiteral("Number of Master files found:"), this), 1, 0);
  layout->addWidget(m_count, 1, 1);
  layout->addWidget(cancel, 1, 2);
  adjustSize();
  CentreOnScreen(this);
}

void CScanProgressDlg::SetProgress(const QString& dir, int found) {
  m_path->setText(fontMetrics().elidedText(dir, Qt::ElideMiddle, m_path->width()));
  m_count->setText(QString::number(found));
}
