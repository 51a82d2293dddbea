// The settings store on its text file.
#include "app/settings_store.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/ini_import.h"
#include "app/settings_file.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

#ifdef _WIN32
// A path from the environment in the program's form, with "/".
std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
#endif

SettingsData Load(FileSystem& fs, const std::string& path) {
  Bytes bytes;
  if (path.empty() || !ReadWholeFile(fs, path, &bytes)) return {};
  return SettingsData::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// For a write: false when the store exists but cannot be read, since replacing it then would
// drop every value it holds.
bool LoadForWrite(FileSystem& fs, const std::string& path, SettingsData* data) {
  Bytes bytes;
  if (path.empty()) return false;
  if (!ReadWholeFile(fs, path, &bytes)) {
    *data = {};
    return !fs.IsRegularFile(path);
  }
  *data = SettingsData::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

bool Save(FileSystem& fs, const std::string& path, const SettingsData& data) {
  const std::string text = data.Serialize();
  return !path.empty() && WriteFileSafely(fs, path, Bytes(text.begin(), text.end()));
}

}  // namespace

std::string SettingsStore::DefaultDirectory() {
  std::string dir = EnvironmentVariable("BARVANE_CONFIG_DIR");
  if (!dir.empty()) return dir;
#ifdef _WIN32
  dir = WindowsPath(EnvironmentVariable("APPDATA"));
#else
  dir = EnvironmentVariable("XDG_CONFIG_HOME");
  if (dir.empty()) dir = EnvironmentVariable("HOME") + "/.config";
#endif
  return WithTrailingSlash(dir) + "Orvell Software/Barvane";
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

bool SettingsStore::OpenRootKey(const std::string& directory, bool* created) {
  path_ = WithTrailingSlash(directory) + kSettingsFileName;
  *created = false;
  if (fs_.IsRegularFile(path_)) return true;
  if (!CreateDirectories(fs_, directory) || !Save(fs_, path_, SettingsData{})) return false;
  *created = true;
  return true;
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

std::optional<std::string> SettingsStore::Read(const std::string& section, const std::string& name) const {
  auto text = Load(fs_, path_).Get(section, name);
  if (text && text->size() > kLongestSettingText) return std::nullopt;
  return text;
}

bool SettingsStore::WriteInt(const std::string& section, const std::string& name, int value) {
  return WriteString(section, name, std::to_string(value));
}

bool SettingsStore::WriteString(const std::string& section, const std::string& name,
                                const std::string& text) {
  // Two programs writing at once would each replace the file with their own values only.
  PortfolioLock lock(fs_);
  if (!lock.Acquire({DirectoryOf(path_)}, LockMode::kExclusive)) return false;
  SettingsData data;
  if (!LoadForWrite(fs_, path_, &data)) return false;
  data.Set(section, name, text);
  return Save(fs_, path_, data);
}

void SettingsStore::ImportIniFile(const std::string& iniPath) {
  Bytes bytes;
  SettingsData data;
  PortfolioLock lock(fs_);
  if (!lock.Acquire({DirectoryOf(path_)}, LockMode::kExclusive) ||
      !ReadWholeFile(fs_, iniPath, &bytes) || !LoadForWrite(fs_, path_, &data)) {
    return;
  }
  for (const IniPair& pair :
       ParseIniText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
    data.Set(pair.section, pair.name, pair.value);
  }
  (void)Save(fs_, path_, data);
}

}  // namespace barvane
