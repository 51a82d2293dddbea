// Code pages: the platform's table of each page, and the conversions through it.
#include "data/code_page.h"

#include <algorithm>

namespace barvane {
namespace {

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character that starts at `text[*at]`, advancing `*at` past it; false for a byte that
// starts no well-formed UTF-8 sequence (`*at` then stays).
bool NextUtf8(std::string_view text, std::size_t* at, char32_t* c) {
  const auto lead = static_cast<unsigned char>(text[*at]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    length = 1;
    value = lead;
  } else if ((lead & 0xE0) == 0xC0 && lead >= 0xC2) {
    length = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
  } else {
    return false;
  }
  if (*at + length > text.size()) return false;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[*at + k]);
    if ((next & 0xC0) != 0x80) return false;
    value = value << 6 | (next & 0x3F);
  }
  // Overlong forms and surrogates are no characters.
  if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
      (value >= 0xD800 && value <= 0xDFFF)) {
    return false;
  }
  *at += length;
  *c = value;
  return true;
}

bool IsUtf8(std::string_view text) {
  char32_t c;
  for (std::size_t at = 0; at < text.size();) {
    if (!NextUtf8(text, &at, &c)) return false;
  }
  return true;
}

char LowerAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

const std::vector<std::string>& CodePageNames() {
  static const std::vector<std::string> kNames = [] {
    std::vector<std::string> names;
    for (int n = 1250; n <= 1258; ++n) names.push_back("windows-" + std::to_string(n));
    names.insert(names.end(), {"cp437", "cp850", "cp866", "koi8-r"});
    for (int n = 1; n <= 16; ++n) {
      if (n != 12) names.push_back("iso-8859-" + std::to_string(n));  // there is no part 12
    }
    return names;
  }();
  return kNames;
}

std::string CodePageTitle(std::string_view name) {
  struct Title {
    const char* key;  // the name in lower case, without '-' and '_'
    const char* title;
  };
  static constexpr Title kTitles[] = {
      {"windows1250", "Windows-1250 (Central European)"}, {"windows1251", "Windows-1251 (Cyrillic)"},
      {"windows1252", "Windows-1252 (Western European)"}, {"windows1253", "Windows-1253 (Greek)"},
      {"windows1254", "Windows-1254 (Turkish)"},          {"windows1255", "Windows-1255 (Hebrew)"},
      {"windows1256", "Windows-1256 (Arabic)"},           {"windows1257", "Windows-1257 (Baltic)"},
      {"windows1258", "Windows-1258 (Vietnamese)"},       {"cp437", "CP437 (DOS, English)"},
      {"cp850", "CP850 (DOS, Western European)"},         {"cp866", "CP866 (DOS, Cyrillic)"},
      {"koi8r", "KOI8-R (Russian)"},                      {"iso88591", "ISO-8859-1 (Western European)"},
      {"iso88592", "ISO-8859-2 (Central European)"},      {"iso88593", "ISO-8859-3 (South European)"},
      {"iso88594", "ISO-8859-4 (North European)"},        {"iso88595", "ISO-8859-5 (Cyrillic)"},
      {"iso88596", "ISO-8859-6 (Arabic)"},                {"iso88597", "ISO-8859-7 (Greek)"},
      {"iso88598", "ISO-8859-8 (Hebrew)"},                {"iso88599", "ISO-8859-9 (Turkish)"},
      {"iso885910", "ISO-8859-10 (Nordic)"},              {"iso885911", "ISO-8859-11 (Thai)"},
      {"iso885913", "ISO-8859-13 (Baltic)"},              {"iso885914", "ISO-8859-14 (Celtic)"},
      {"iso885915", "ISO-8859-15 (Western European, euro)"}, {"iso885916", "ISO-8859-16 (South-Eastern European)"},
      {"gbk", "GBK (Chinese)"},                           {"shiftjis", "Shift-JIS (Japanese)"},
      {"utf8", "UTF-8 (Unicode)"},                        {"utf16", "UTF-16 (Unicode)"}};
  std::string key;
  for (char c : name) {
    if (c != '-' && c != '_') key += LowerAsciiLetter(c);
  }
  for (const Title& t : kTitles) {
    if (key == t.key) return t.title;
  }
  return std::string(name);
}

namespace {

// The small letter of a capital of the alphabets the pages hold (Latin, Greek, Cyrillic);
// every other character as it is.
char32_t SmallLetter(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x130) return 'i';
  if (c == 0x178) return 0xFF;
  // Latin Extended-A: capital and small side by side, the capital first.
  const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  const bool evenCapitals = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  if ((oddCapitals && c % 2 == 1) || (evenCapitals && c % 2 == 0)) return c + 1;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 0x25;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 0x3F;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;  // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c == 0x490) return 0x491;
  return c;
}

}  // namespace

CodePage::CodePage() {
  if (std::optional<CodePage> page = Named(kDefaultCodePage)) {
    *this = std::move(*page);
    return;
  }
  // Without the platform's table, Latin-1 reads and writes the same bytes.
  name_ = kDefaultCodePage;
  for (std::size_t b = 0; b < chars_.size(); ++b) chars_[b] = static_cast<char32_t>(b);
  FoldCase();
}

CodePage::CodePage(std::string name, const CharacterTable& table)
    : name_(std::move(name)), chars_(table) {
  for (std::size_t b = 1; b < chars_.size(); ++b) {
    if (chars_[b] != 0) continue;
    // An undefined byte keeps a character of its own: C1 control characters where Windows
    // puts them, private-use ones elsewhere.
    chars_[b] =
        b >= 0x80 && b < 0xA0 ? static_cast<char32_t>(b) : static_cast<char32_t>(0xF700 + b);
  }
  FoldCase();
}

void CodePage::FoldCase() {
  for (std::size_t b = 0; b < chars_.size(); ++b) {
    const char32_t small = SmallLetter(chars_[b]);
    const auto found = small == chars_[b] ? chars_.end() : std::find(chars_.begin(), chars_.end(), small);
    small_[b] = static_cast<unsigned char>(found == chars_.end() ? b : static_cast<std::size_t>(found - chars_.begin()));
  }
}

std::string CodePage::CaseFolded(std::string_view bytes) const {
  std::string folded(bytes);
  for (char& b : folded) b = static_cast<char>(small_[static_cast<unsigned char>(b)]);
  return folded;
}

std::optional<CodePage> CodePage::Named(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), LowerAsciiLetter);
  const std::vector<std::string>& names = CodePageNames();
  if (std::find(names.begin(), names.end(), lower) == names.end()) return std::nullopt;
  CharacterTable table{};
  if (!PlatformCharacterTable(lower, &table)) return std::nullopt;
  return CodePage(lower, table);
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) AppendUtf8(chars_[static_cast<unsigned char>(b)], &out);
  return out;
}

bool CodePage::FromUtf8(std::string_view text, std::string* bytes, std::string* refused) const {
  bytes->clear();
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    char32_t c = 0;
    if (!NextUtf8(text, &at, &c)) {
      if (refused) *refused = std::string(1, text[start]);
      return false;
    }
    const auto found = c < 0x80 && chars_[c] == c ? chars_.begin() + c
                                                  : std::find(chars_.begin(), chars_.end(), c);
    if (found == chars_.end()) {
      if (refused) *refused = std::string(text.substr(start, at - start));
      return false;
    }
    *bytes += static_cast<char>(found - chars_.begin());
  }
  return true;
}

std::string CodePage::MessageToUtf8(const std::string& text) const {
  return IsUtf8(text) ? text : ToUtf8(text);
}

std::string CodePage::Refusal(std::string_view text, const std::string& what) const {
  std::string bytes, refused;
  if (FromUtf8(text, &bytes, &refused)) return {};
  if (!IsUtf8(refused)) return "The " + what + " is no UTF-8 text";
  return "The " + what + " holds \"" + refused + "\", a character that the code page " + name_ +
         " has not";
}

}  // namespace barvane
