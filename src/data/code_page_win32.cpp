// The code pages' tables from Windows' own converter, MultiByteToWideChar.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "data/code_page.h"

namespace barvane {
namespace {

// Windows' number of each page; 0 for the ISO pages Windows has no converter for (10, 14 and
// 16; 11 is close to, but not, Windows' Thai page).
UINT WindowsCodePage(const std::string& name) {
  if (name.starts_with("windows-")) return static_cast<UINT>(std::stoi(name.substr(8)));
  if (name.starts_with("cp")) return static_cast<UINT>(std::stoi(name.substr(2)));
  if (name == "koi8-r") return 20866;
  if (name.starts_with("iso-8859-")) {
    const int part = std::stoi(name.substr(9));
    if (part <= 9 || part == 13 || part == 15) return static_cast<UINT>(28590 + part);
  }
  return 0;
}

}  // namespace

bool PlatformTextToUtf8(const std::string& name, std::string_view bytes, std::string* utf8) {
  const UINT page = name == "gbk" ? 936 : name == "shift_jis" ? 932 : WindowsCodePage(name);
  utf8->clear();
  if (bytes.empty()) return page != 0 && IsValidCodePage(page);
  if (page == 0 || !IsValidCodePage(page) || bytes.size() > 0x3FFFFFFF) return false;
  const int size = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (wide <= 0) return false;
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), wide);
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  utf8->assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8->data(), length, nullptr, nullptr);
  return true;
}

bool PlatformCharacterTable(const std::string& name, CharacterTable* table) {
  const UINT page = WindowsCodePage(name);
  if (page == 0 || !IsValidCodePage(page)) return false;
  for (std::size_t b = 0; b < table->size(); ++b) {
    const char in = static_cast<char>(b);
    wchar_t out[2] = {};
    const int written = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, &in, 1, out, 2);
    (*table)[b] = written == 1 ? static_cast<char32_t>(out[0]) : 0;
  }
  return true;
}

}  // namespace barvane
