// CDateEdit: a masked MM/DD/YY (or MM/DD/YYYY) date field. Typed digits go into the mask part by part; every
// other key is dropped (with a beep for characters), so arrows, Home, End and Delete do nothing;
// Enter and Escape go on to the dialog.
#pragma once

#include <QLineEdit>

#include "editing/entry_keys.h"

class CDateEdit final : public QLineEdit {
  Q_OBJECT

 public:
  explicit CDateEdit(QWidget* parent = nullptr);
  // The text the field opens with, all selected; also the mask's buffer.
  void Seed(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  barvane::DateMask m_mask;
};
