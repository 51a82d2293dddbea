// CMainFrame: the main window with its menu, tool bar, status bar panes, placement (restored
// at start, stored after every move or resize) and the column widths saved on close.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>

#include "app/command_ids.h"
#include "gui/barvane_view.h"
#include "gui/help_wnd.h"

class QLabel;

class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame(barvane::FileSystem& fs, barvane::SettingsStore& settings, QtUi::MessageHandler messages = {},
             QWidget* parent = nullptr);

  CBarvaneView* view() const { return m_view; }
  // The help window once F1 has opened it in this window, else null.
  CHelpWnd* helpWindow() const { return m_help; }
  QAction* action(barvane::CommandId command) const { return m_actions.at(command); }
  QAction* undoAction() const { return m_undo; }
  QAction* redoAction() const { return m_redo; }
  QAction* historyAction() const { return m_history; }
  QAction* logScaleAction() const { return m_logScale; }
  QString symbolPaneText() const;
  QString quotePaneText() const;
  // Enabling, title and status panes from the view state.
  void UpdateCommandUi();

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, barvane::CommandId command, const QString& text, const QString& statusTip,
                      const QString& toolTip);
  void CreateMenusAndToolBar();
  // Edit: Undo and Redo, named after the change they give back, and the History window.
  void CreateEditMenu();
  void CreateStatusBar();
  void RestorePlacement();
  void StorePlacement();
  // Log Price Scale: unchecked and disabled, with the reason, for a series that cannot have it.
  void UpdateLogScale();
  // The guide at `section` ("" for its beginning), over the window of `from`.
  void ShowHelp(QWidget* from, const QString& section);
  void ShowAbout();

  barvane::SettingsStore& m_settings;
  CBarvaneView* m_view;
  std::map<barvane::CommandId, QAction*> m_actions;
  QPointer<CHelpWnd> m_help;  // made on the first F1, kept for the next
  QAction* m_undo = nullptr;
  QAction* m_redo = nullptr;
  QAction* m_history = nullptr;
  QAction* m_logScale = nullptr;
  QLabel* m_symbolPane = nullptr;
  QLabel* m_quotePane = nullptr;
  bool m_placed = false;
};
