// CDateEdit: a masked MM/DD/YY (or MM/DD/YYYY) date field. Typed digits go into the mask part by
// part; every other key is dropped (with a beep for characters), so arrows, Home, End and Delete
// do nothing; Enter and Escape go on to the dialog. A pasted date (MM/DD/YYYY or YYYY-MM-DD,
// and MM/DD/YY where the mask has two-digit years) fills the whole mask; any other paste beeps
// and says beside the field why it was refused.
#pragma once

#include <QLineEdit>

#include "editing/entry_keys.h"

class CDateEdit final : public QLineEdit {
  Q_OBJECT

 public:
  explicit CDateEdit(QWidget* parent = nullptr);
  // The text the field opens with, all selected; also the mask's buffer.
  void Seed(const QString& text);
  // Puts `text` into the mask as a whole date, or refuses it.
  void PasteText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  barvane::DateMask m_mask;
};
