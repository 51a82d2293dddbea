// CNumberEdit: a number field that takes digits, "." and control keys (and a minus sign where
// allowed); a comma typed or pasted becomes the decimal point; any other typed character is
// dropped with a beep, and a paste that holds one changes nothing and beeps.
#pragma once

#include <QLineEdit>

class CNumberEdit final : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;
  void SetSignAllowed(bool allowed) { m_signAllowed = allowed; }
  // Puts `text` in at the caret (over the selection) as the filter takes it.
  void PasteText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  bool m_signAllowed = false;
};
