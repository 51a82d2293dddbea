// Start-up and exit order of the application.
#include "gui/barvane_app.h"

#include <QMessageBox>
#include <clocale>
#include <exception>

#include "data/fs.h"
#include "gui/tool_icons.h"

using namespace barvane;

CBarvaneApp::CBarvaneApp(int& argc, char** argv) : QApplication(argc, argv) {
  // Qt takes the user's locale for the C library too; under one with a decimal comma "%f"
  // would write "1,5000" into the grid and the export and read a typed "1.5" as 1.
  std::setlocale(LC_NUMERIC, "C");
  setApplicationName(QStringLiteral("Barvane"));
  setOrganizationName(QStringLiteral("Orvell Software"));
  // The desktop entry's name, so that a desktop shows its icon for our windows.
  setDesktopFileName(QStringLiteral("barvane"));
  setWindowIcon(AppIcon());
}

bool CBarvaneApp::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    QMessageBox::critical(activeWindow(), QStringLiteral("Barvane"),
                          QStringLiteral("The command stopped: ") + QString::fromLocal8Bit(e.what()));
  } catch (...) {
    QMessageBox::critical(activeWindow(), QStringLiteral("Barvane"),
                          QStringLiteral("The command stopped on an unexpected error."));
  }
  return false;
}

// The window goes before the store it writes its last settings to.
CBarvaneApp::~CBarvaneApp() {
  m_frame.reset();
  m_settings.reset();
}

bool CBarvaneApp::InitInstance(const std::string& searchPath) {
  FileSystem& fs = FileSystem::Default();
  m_settings = std::make_unique<SettingsStore>(fs);
  bool created = false;
  if (m_settings->OpenRootKey(SettingsStore::DefaultLocation(), &created) && created) {
    m_settings->ImportIniFile(SettingsStore::SystemIniPath());
  }
  m_frame = std::make_unique<CMainFrame>(fs, *m_settings);
  if (!searchPath.empty()) m_frame->view()->state().OverrideSearchFilter(searchPath);
  m_frame->show();
  return true;
}
