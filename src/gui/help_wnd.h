// CHelpWnd: "Barvane Help", the user's guide built into the program, opened by F1 and Help
// Topics at the section on the command in use. It stays open beside the window it was opened
// from while the user works.
#pragma once

#include <QDialog>

class QTextBrowser;

class CHelpWnd final : public QDialog {
  Q_OBJECT

 public:
  explicit CHelpWnd(QWidget* parent);

  QTextBrowser* browser() const { return m_browser; }
  // Scrolls the section headed `heading` to the top, or the guide's beginning for "". False
  // when the guide has no such section (the view then stays where it was).
  bool ShowSection(const QString& heading);

 private:
  QTextBrowser* m_browser;
};

// Marks `window` (a command's dialog or window) as the place of the guide's section `heading`,
// which F1 in it, or in a message it opens, shows.
void SetGuideSection(QWidget* window, const char* heading);
// The section marked on `widget` or on the first window it belongs to that has one; "" when none.
QString GuideSectionOf(const QWidget* widget);
