// The number field's key and paste filter.
#include "gui/number_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>

#include "editing/entry_keys.h"
#include "gui/filtered_paste.h"
#include "gui/qt_text.h"

void CNumberEdit::PasteText(const QString& text) {
  std::string pasted;
  if (!barvane::NumberFieldPaste(ToLatin1(text), m_signAllowed, &pasted)) {
    QApplication::beep();
    return;
  }
  insert(FromLatin1(pasted));
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    PasteText(QApplication::clipboard()->text());
    return;
  }
  const QString text = event->text();
  // Keys without text (arrows, Home, Delete) and the other clipboard shortcuts pass as usual.
  if (text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const QChar c = text.at(0);
    const char put = c.unicode() < 128 ? barvane::NumberFieldChar(static_cast<char>(c.unicode()), m_signAllowed) : '\0';
    if (put == '\0') {
      QApplication::beep();
      return;
    }
    if (put != c.unicode()) {
      insert(QString(QLatin1Char(put)));
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void CNumberEdit::contextMenuEvent(QContextMenuEvent* event) {
  ShowMenuWithFilteredPaste(this, event->globalPos(), [this] { PasteText(QApplication::clipboard()->text()); });
}
