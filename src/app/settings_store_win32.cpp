// The settings store in the registry: HKEY_CURRENT_USER\<key path>\<section>\<name>, each value
// a REG_SZ text whose stored length counts its terminating zero. Values missing there are read
// from the same path below HKEY_LOCAL_MACHINE, which a normal user can read but not write.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "app/ini_import.h"
#include "app/settings_store.h"
#include "data/file_ops.h"

namespace barvane {
namespace {

// UTF-8 as UTF-16; false for a text that is not UTF-8, which could not come back as written.
bool Utf16(const std::string& text, std::wstring* wide) {
  wide->clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return false;
  wide->resize(static_cast<std::size_t>(n));
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide->data(), n) == n;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

// The key of `section` below the store's key path; false when a text is not UTF-8.
bool SectionKey(const std::string& keyPath, const std::string& section, std::wstring* key) {
  return !keyPath.empty() && !section.empty() && Utf16(keyPath + "\\" + section, key);
}

std::optional<std::string> Query(HKEY root, const std::wstring& key, const std::wstring& name) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  std::wstring text;
  LONG result = ::RegQueryValueExW(h, name.c_str(), nullptr, &type, nullptr, &size);
  if (result == ERROR_SUCCESS && type == REG_SZ) {
    text.resize(size / sizeof(wchar_t));
    result = ::RegQueryValueExW(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    text.resize(size / sizeof(wchar_t));
  }
  ::RegCloseKey(h);
  if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  // The stored zero, when the writer stored one, is no part of the text.
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return Utf8(text);
}

bool CreateForValues(const std::wstring& key, HKEY* h) {
  return ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                           nullptr, h, nullptr) == ERROR_SUCCESS;
}

// Stores `text` with its terminating zero, as the programs of the registry's first days read it.
bool SetText(HKEY h, const std::string& name, const std::string& text) {
  std::wstring wideName, wideText;
  if (!Utf16(name, &wideName) || !Utf16(text, &wideText)) return false;
  const DWORD size = static_cast<DWORD>((wideText.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(h, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideText.c_str()),
                          size) == ERROR_SUCCESS;
}

}  // namespace

bool SettingsStore::OpenRootKey(const std::string& location, bool* created) {
  path_ = location;
  *created = false;
  std::wstring key;
  if (location.empty() || !Utf16(location, &key)) return false;
  HKEY h = nullptr;
  DWORD disposition = 0;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &h, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(h);
  *created = disposition == REG_CREATED_NEW_KEY;
  return true;
}

std::optional<std::string> SettingsStore::Read(const std::string& section, const std::string& name) const {
  std::wstring key, wideName;
  if (!SectionKey(path_, section, &key) || !Utf16(name, &wideName)) return std::nullopt;
  auto text = Query(HKEY_CURRENT_USER, key, wideName);
  if (!text) text = Query(HKEY_LOCAL_MACHINE, key, wideName);
  if (text && text->size() > kLongestSettingText) return std::nullopt;
  return text;
}

bool SettingsStore::WriteString(const std::string& section, const std::string& name,
                                const std::string& text) {
  std::wstring key;
  HKEY h = nullptr;
  if (!SectionKey(path_, section, &key) || !CreateForValues(key, &h)) return false;
  const bool stored = SetText(h, name, text);
  ::RegCloseKey(h);
  return stored;
}

void SettingsStore::ImportIniFile(const std::string& iniPath) {
  Bytes bytes;
  if (!ReadWholeFile(fs_, iniPath, &bytes)) return;
  std::string section;
  HKEY h = nullptr;
  for (const IniPair& pair :
       ParseIniText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
    if (h == nullptr || pair.section != section) {
      if (h != nullptr) ::RegCloseKey(h);
      h = nullptr;
      section = pair.section;
      std::wstring key;
      // A section that cannot be made ends the import; the pairs stored so far stay.
      if (!SectionKey(path_, section, &key) || !CreateForValues(key, &h)) return;
    }
    (void)SetText(h, pair.name, pair.value);  // a text that is not UTF-8 is passed over
  }
  if (h != nullptr) ::RegCloseKey(h);
}

}  // namespace barvane
