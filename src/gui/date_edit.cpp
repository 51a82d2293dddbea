// The date field over the mask's state machine.
#include "gui/date_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QToolTip>

#include "gui/filtered_paste.h"
#include "gui/qt_text.h"

CDateEdit::CDateEdit(QWidget* parent) : QLineEdit(parent) { setMaxLength(8); }

void CDateEdit::Seed(const QString& text) {
  m_mask.Seed(ToLatin1(text));
  setMaxLength(static_cast<int>(m_mask.text().size()));
  setText(text);
  selectAll();  // the first digit typed then starts the month, not a beep
}

void CDateEdit::PasteText(const QString& text) {
  const std::string refusal = m_mask.Paste(ToLatin1(text));
  if (!refusal.empty()) {
    QApplication::beep();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), FromLatin1(refusal), this);
    return;
  }
  setText(FromLatin1(m_mask.text()));
  setSelection(0, 2);
}

void CDateEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    PasteText(QApplication::clipboard()->text());
    return;
  }
  if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  // Enter and Escape belong to the dialog: its default button and Cancel.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
      event->key() == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  const QString typed = event->text();
  if (typed.size() != 1 || typed.at(0).unicode() < 32 || typed.at(0).unicode() >= 128) {
    if (typed.size() == 1 && typed.at(0).unicode() != 0) QApplication::beep();
    return;  // key-downs without a character are swallowed
  }
  barvane::FieldSelection selection{selectionStart(), selectionEnd()};
  if (!hasSelectedText()) selection = {cursorPosition(), cursorPosition()};
  const barvane::DateKey result = m_mask.OnChar(static_cast<char>(typed.at(0).unicode()), &selection);
  if (result == barvane::DateKey::kWritten) setText(FromLatin1(m_mask.text()));
  if (result == barvane::DateKey::kWritten || result == barvane::DateKey::kRefused) {
    setSelection(selection.start, selection.end - selection.start);
  }
  if (result != barvane::DateKey::kWritten) QApplication::beep();
}

void CDateEdit::contextMenuEvent(QContextMenuEvent* event) {
  ShowMenuWithFilteredPaste(this, event->globalPos(), [this] { PasteText(QApplication::clipboard()->text()); });
}
