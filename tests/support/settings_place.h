// Test support: a settings store's own place for one test, removed with everything in it: a
// directory on Unix, a key path below HKEY_CURRENT_USER (and HKEY_LOCAL_MACHINE) on Windows.
#pragma once

#include <memory>
#include <string>

namespace barvane::test {

class TempDir;

class SettingsPlace {
 public:
  SettingsPlace();
  ~SettingsPlace();
  SettingsPlace(const SettingsPlace&) = delete;
  SettingsPlace& operator=(const SettingsPlace&) = delete;

  // What SettingsStore::OpenRootKey takes.
  const std::string& location() const { return location_; }
  // What the store holds, as "[section]\nname=value\n" lines, sections and names in byte order.
  std::string Contents() const;

 private:
  std::unique_ptr<TempDir> dir_;
  std::string location_;
};

}  // namespace barvane::test
