// The context menu with a filtered Paste.
#include "gui/filtered_paste.h"

#include <QAction>
#include <QMenu>
#include <memory>

void ShowMenuWithFilteredPaste(QLineEdit* edit, const QPoint& globalPos, const std::function<void()>& paste) {
  std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
  if (QAction* standard = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
    auto* filtered = new QAction(standard->text(), menu.get());
    filtered->setEnabled(standard->isEnabled());
    QObject::connect(filtered, &QAction::triggered, edit, paste);
    menu->insertAction(standard, filtered);
    menu->removeAction(standard);
  }
  menu->exec(globalPos);
}
