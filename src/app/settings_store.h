// SettingsStore: the program's persistent settings as sections of named text values, kept in
// one text file per user on Unix and in the registry on Windows. No cache: every read reads the
// store, every write writes it (a file is replaced crash-safely). Failures are silent: reads
// fall back to their defaults, writes are dropped.
#pragma once

#include <optional>
#include <string>

#include "data/fs.h"

namespace barvane {

// A stored text longer than this counts as missing when read.
inline constexpr std::size_t kLongestSettingText = 259;
inline constexpr const char* kSettingsFileName = "Barvane.conf";
inline constexpr const char* kIniFileName = "Barvane.INI";

class SettingsStore {
 public:
  explicit SettingsStore(FileSystem& fs) : fs_(fs) {}

  // Where the store is. Unix: a directory, $BARVANE_CONFIG_DIR, else $XDG_CONFIG_HOME
  // (default ~/.config) followed by "Orvell Software/Barvane". Windows: the key path
  // "Software\Orvell Software\Barvane" below HKEY_CURRENT_USER; a value missing there is read
  // from the same path below HKEY_LOCAL_MACHINE, where an administrator may set defaults.
  static std::string DefaultLocation();
  // The first-run INI file: Barvane.INI in $BARVANE_SYSTEM_DIR, else in the first entry of
  // $XDG_CONFIG_DIRS (default /etc/xdg; the Windows directory on Windows).
  static std::string SystemIniPath();

  // Uses the store at `location` (see DefaultLocation), creating it empty when missing.
  // `*created` tells whether the store did not exist before (the first run). Returns false
  // when the store cannot be created; reads then still answer from what exists.
  bool OpenRootKey(const std::string& location, bool* created);

  // The stored text read as "%d" reads it; `fallback` when missing, too long or not a number.
  int ReadInt(const std::string& section, const std::string& name, int fallback) const;
  std::string ReadString(const std::string& section, const std::string& name,
                         const std::string& fallback) const;
  bool WriteInt(const std::string& section, const std::string& name, int value);
  bool WriteString(const std::string& section, const std::string& name, const std::string& text);

  // Copies the sections and pairs of the INI file at `iniPath` into the store; a missing file
  // imports nothing, a section that cannot be made ends the import.
  void ImportIniFile(const std::string& iniPath);

  // The store's file on Unix, its key path on Windows; empty until opened.
  const std::string& path() const { return path_; }

 private:
  std::optional<std::string> Read(const std::string& section, const std::string& name) const;

  FileSystem& fs_;
  std::string path_;
};

}  // namespace barvane
