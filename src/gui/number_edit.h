// CNumberEdit: a number field that takes digits, "." and control keys (and a minus sign where
// allowed); any other typed character is dropped with a beep.
#pragma once

#include <QLineEdit>

class CNumberEdit final : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;
  void SetSignAllowed(bool allowed) { m_signAllowed = allowed; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool m_signAllowed = false;
};
