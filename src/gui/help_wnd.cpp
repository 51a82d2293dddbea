// The help window over the README built into the program.
#include "gui/help_wnd.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/user_guide.h"

CHelpWnd::CHelpWnd(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Barvane Help"));
  QFile readme(QStringLiteral(":/help/README.md"));
  const QByteArray text = readme.open(QIODevice::ReadOnly) ? readme.readAll() : QByteArray();
  m_browser->setOpenExternalLinks(true);
  m_browser->setMarkdown(QString::fromStdString(barvane::UserGuideOf(text.toStdString())));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_browser);
  layout->addWidget(buttons);
  resize(720, 640);
}
