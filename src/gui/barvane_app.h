// CBarvaneApp: the application object. It owns the settings store from start-up to exit
// (opened with the first-run INI import) and the main window.
#pragma once

#include <QApplication>
#include <memory>

#include "app/settings_store.h"
#include "gui/main_frame.h"

class CBarvaneApp final : public QApplication {
  Q_OBJECT

 public:
  CBarvaneApp(int& argc, char** argv);
  ~CBarvaneApp() override;

  // Opens the settings store and creates the main window; `searchPath` (empty: none) sets
  // the portfolio search filter for this run without saving it.
  bool InitInstance(const std::string& searchPath);

  // Delivers `event`; an exception thrown by a command ends that command with a message, not
  // the program.
  bool notify(QObject* receiver, QEvent* event) override;

  barvane::SettingsStore& settings() { return *m_settings; }
  CMainFrame* mainFrame() const { return m_frame.get(); }

 private:
  std::unique_ptr<barvane::SettingsStore> m_settings;
  std::unique_ptr<CMainFrame> m_frame;
};
