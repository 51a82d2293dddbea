// The help window over the user's guide built into the program.
#include "gui/help_wnd.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr const char* kGuideSectionProperty = "guideSection";

}  // namespace

CHelpWnd::CHelpWnd(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Barvane Help"));
  QFile guide(QStringLiteral(":/help/user-guide.md"));
  m_browser->setOpenExternalLinks(true);
  m_browser->setMarkdown(guide.open(QIODevice::ReadOnly) ? QString::fromUtf8(guide.readAll()) : QString());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_browser);
  layout->addWidget(buttons);
  resize(720, 640);
}

bool CHelpWnd::ShowSection(const QString& heading) {
  QTextBlock block = m_browser->document()->begin();
  if (!heading.isEmpty()) {
    while (block.isValid() && (block.blockFormat().headingLevel() == 0 || block.text() != heading)) block = block.next();
    if (!block.isValid()) return false;
  }
  m_browser->setTextCursor(QTextCursor(block));
  // The section's heading at the top, not merely somewhere in view.
  m_browser->verticalScrollBar()->setValue(m_browser->verticalScrollBar()->maximum());
  m_browser->ensureCursorVisible();
  return true;
}

void SetGuideSection(QWidget* window, const char* heading) {
  window->setProperty(kGuideSectionProperty, QString::fromLatin1(heading));
}

QString GuideSectionOf(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    const QString section = widget->window()->property(kGuideSectionProperty).toString();
    if (!section.isEmpty()) return section;
    widget = widget->window();
  }
  return {};
}
