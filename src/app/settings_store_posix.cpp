// The settings store on its text file, where there is no registry.
#include "app/settings_store.h"

#include "app/ini_import.h"
#include "app/settings_file.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

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

bool SettingsStore::OpenRootKey(const std::string& location, bool* created) {
  path_ = WithTrailingSlash(location) + kSettingsFileName;
  *created = false;
  if (fs_.IsRegularFile(path_)) return true;
  if (!CreateDirectories(fs_, location) || !Save(fs_, path_, SettingsData{})) return false;
  *created = true;
  return true;
}

std::optional<std::string> SettingsStore::Read(const std::string& section, const std::string& name) const {
  auto text = Load(fs_, path_).Get(section, name);
  if (text && text->size() > kLongestSettingText) return std::nullopt;
  return text;
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
