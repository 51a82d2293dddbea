// Test support: the settings store's place, one part per platform.
#include "support/settings_place.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <atomic>
#include <filesystem>
#include <map>

#include "support/portfolio_builder.h"

namespace barvane::test {
namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

std::string Render(const Sections& sections) {
  std::string text;
  for (const auto& [section, values] : sections) {
    text += "[" + section + "]\n";
    for (const auto& [name, value] : values) text += name + "=" + value + "\n";
  }
  return text;
}

#ifdef _WIN32

std::wstring Wide(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}
std::string Narrow(const std::wstring& wide) {
  const std::u8string text = std::filesystem::path(wide).u8string();
  return std::string(text.begin(), text.end());
}

#endif

}  // namespace

#ifdef _WIN32

SettingsPlace::SettingsPlace() {
  static std::atomic<int> count{0};
  location_ = "Software\\Orvell Software\\Barvane Tests\\" + std::to_string(::GetCurrentProcessId()) + "-" +
              std::to_string(++count);
}

SettingsPlace::~SettingsPlace() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) ::RegDeleteTreeW(root, Wide(location_).c_str());
}

std::string SettingsPlace::Contents() const {
  Sections sections;
  HKEY store = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(location_).c_str(), 0, KEY_READ, &store) != ERROR_SUCCESS) return "";
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (::RegEnumKeyExW(store, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    auto& values = sections[Narrow(std::wstring(name, length))];
    HKEY section = nullptr;
    if (::RegOpenKeyExW(store, name, 0, KEY_READ, &section) != ERROR_SUCCESS) continue;
    for (DWORD j = 0;; ++j) {
      wchar_t valueName[256];
      wchar_t data[1024];
      DWORD nameLength = 256, size = sizeof(data), type = 0;
      if (::RegEnumValueW(section, j, valueName, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                          &size) != ERROR_SUCCESS) {
        break;
      }
      std::wstring text(data, size / sizeof(wchar_t));
      if (!text.empty() && text.back() == L'\0') text.pop_back();
      values[Narrow(std::wstring(valueName, nameLength))] = type == REG_SZ ? Narrow(text) : "(not REG_SZ)";
    }
    ::RegCloseKey(section);
  }
  ::RegCloseKey(store);
  return Render(sections);
}

#else

SettingsPlace::SettingsPlace() : dir_(std::make_unique<TempDir>()), location_(dir_->path()) {}

SettingsPlace::~SettingsPlace() = default;

// The file's plain lines; the tests that use this store no text that needs an escape.
std::string SettingsPlace::Contents() const {
  const Bytes bytes = ReadBytes(*dir_ / "Barvane.conf");
  Sections sections;
  std::string section, line;
  for (char c : std::string(bytes.begin(), bytes.end())) {
    if (c != '\n') {
      line += c;
      continue;
    }
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      sections[section];
    } else if (const auto equals = line.find('='); equals != std::string::npos) {
      sections[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
    line.clear();
  }
  return Render(sections);
}

#endif

}  // namespace barvane::test
