// CNumberEdit: a number field that takes digits, "." and control keys; any other typed
// character is dropped with a beep.
#pragma once

#include <QLineEdit>

class CNumberEdit final : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
