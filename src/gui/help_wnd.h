// CHelpWnd: "Barvane Help", the user's part of the README, opened by F1 and Help Topics. It
// stays open beside the main window while the user works.
#pragma once

#include <QDialog>

class QTextBrowser;

class CHelpWnd final : public QDialog {
  Q_OBJECT

 public:
  explicit CHelpWnd(QWidget* parent);

  QTextBrowser* browser() const { return m_browser; }

 private:
  QTextBrowser* m_browser;
};
