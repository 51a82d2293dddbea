// The number field's key filter.
#include "gui/number_edit.h"

#include <QApplication>
#include <QKeyEvent>

#include "editing/entry_keys.h"

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  // Keys without text (arrows, Home, Delete) and the clipboard shortcuts pass as usual.
  if (text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const QChar c = text.at(0);
    if (c.unicode() >= 128 || !barvane::NumberFieldAccepts(static_cast<char>(c.unicode()), m_signAllowed)) {
      QApplication::beep();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}
