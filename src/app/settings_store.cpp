// The settings store's parts that every platform shares: where it is, and texts as integers.
#include "app/settings_store.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "data/file_names.h"

namespace barvane {
namespace {

#ifdef _WIN32
// A path from the environment in the program's form, with "/".
std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
#endif

}  // namespace

std::string SettingsStore::DefaultLocation() {
#ifdef _WIN32
  return "Software\\Orvell Software\\Barvane";
#else
  std::string dir = EnvironmentVariable("BARVANE_CONFIG_DIR");
  if (!dir.empty()) return dir;
  dir = EnvironmentVariable("XDG_CONFIG_HOME");
  if (dir.empty()) dir = EnvironmentVariable("HOME") + "/.config";
  return WithTrailingSlash(dir) + "Orvell Software/Barvane";
#endif
}

std::string SettingsStore::SystemIniPath() {
  std::string dir = EnvironmentVariable("BARVANE_SYSTEM_DIR");
#ifdef _WIN32
  // The Windows directory, where the INI files of programs of that system's age are.
  if (dir.empty()) dir = WindowsPath(EnvironmentVariable("SystemRoot"));
#endif
  if (dir.empty()) {
    const std::string dirs = EnvironmentVariable("XDG_CONFIG_DIRS");
    dir = dirs.substr(0, dirs.find(':'));
  }
  if (dir.empty()) dir = "/etc/xdg";
  return WithTrailingSlash(dir) + kIniFileName;
}

int SettingsStore::ReadInt(const std::string& section, const std::string& name, int fallback) const {
  const auto text = Read(section, name);
  if (!text) return fallback;
  char* end = nullptr;
  const long value = std::strtol(text->c_str(), &end, 10);
  if (end == text->c_str()) return fallback;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string SettingsStore::ReadString(const std::string& section, const std::string& name,
                                      const std::string& fallback) const {
  return Read(section, name).value_or(fallback);
}

bool SettingsStore::WriteInt(const std::string& section, const std::string& name, int value) {
  return WriteString(section, name, std::to_string(value));
}

}  // namespace barvane
