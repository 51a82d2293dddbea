// The code pages' tables from iconv, the converter of the C library on Linux and other POSIX
// systems.
#include <iconv.h>

#include <cstring>
#include <string>

#include "data/code_page.h"

namespace barvane {
namespace {

// iconv's name of each page: the Windows pages under their CP names, which every iconv knows.
std::string IconvName(const std::string& name) {
  if (name.starts_with("windows-")) return "CP" + name.substr(8);
  std::string upper = name;
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  return upper;
}

}  // namespace

bool PlatformTextToUtf8(const std::string& name, std::string_view bytes, std::string* utf8) {
  // Shift-JIS as Windows writes it, with its extensions, which is what files hold.
  const std::string iconvName = name == "shift_jis" ? "CP932" : IconvName(name);
  iconv_t cd = iconv_open("UTF-8", iconvName.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  utf8->assign(bytes.size() * 3 + 4, '\0');
  char* inAt = const_cast<char*>(bytes.data());
  char* outAt = utf8->data();
  std::size_t inLeft = bytes.size(), outLeft = utf8->size();
  const bool converted =
      iconv(cd, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
  iconv_close(cd);
  utf8->resize(utf8->size() - outLeft);
  return converted;
}

bool PlatformCharacterTable(const std::string& name, CharacterTable* table) {
  iconv_t cd = iconv_open("UTF-32LE", IconvName(name).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (std::size_t b = 0; b < table->size(); ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8] = {};
    char* inAt = &in;
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    (void)iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh state for each byte
    const bool converted =
        iconv(cd, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) &&
        inLeft == 0 && outLeft == sizeof out - 4;
    (*table)[b] =
        converted ? static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24) : 0;
  }
  iconv_close(cd);
  return true;
}

}  // namespace barvane
