// Decoding downloaded text.
#include "exchange/text_decoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "data/code_page.h"
#include "exchange/column_titles.h"

namespace barvane {
namespace {

constexpr const char* kUtf16Name = "UTF-16";
// The pages proposed for bytes that are no UTF-8, the multi-byte ones first: their rules
// refuse most text of another page, while every single-byte page takes almost any bytes.
constexpr const char* kProposedPages[] = {"GBK", "Shift-JIS", "windows-1251", "windows-1252"};

std::string EncodingKey(std::string_view name) {
  std::string key;
  for (char c : name) {
    if (c == '-' || c == '_') continue;
    key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return key;
}

// The offset of the first byte that breaks UTF-8, or the size when none does.
std::size_t Utf8Break(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    // Quote text is nearly all ASCII: eight bytes at a time while no byte has its high bit.
    if (i + 8 <= bytes.size()) {
      std::uint64_t eight = 0;
      std::memcpy(&eight, bytes.data() + i, 8);
      if ((eight & 0x8080808080808080u) == 0) {
        i += 8;
        continue;
      }
    }
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > bytes.size() || (n == 2 && b < 0xC2)) return i;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return i;
    }
    i += n;
  }
  return bytes.size();
}

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

bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string* out) {
  if (bytes.size() % 2 != 0) return false;
  out->clear();
  const auto unit = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char32_t>(bigEndian ? a << 8 | b : b << 8 | a);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return false;
      const char32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(c, out);
  }
  return true;
}

bool ConvertText(std::string_view bytes, const std::string& name, std::string* out) {
  const std::string key = EncodingKey(name);
  if (key == "utf8") {
    if (Utf8Break(bytes) != bytes.size()) return false;
    out->assign(bytes);
    return true;
  }
  if (key == "utf16") return Utf16ToUtf8(bytes, false, out);
  const std::string platform = key == "gbk" ? "gbk" : key == "shiftjis" ? "shift_jis" : name;
  return PlatformTextToUtf8(platform, bytes, out);
}

// How many cells of the first lines of `text` are titles the table knows.
int KnownTitles(std::string_view text) {
  int known = 0;
  std::size_t at = 0;
  for (int line = 0; line < 10 && at < text.size(); ++line) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::size_t cell = at;
    for (std::size_t i = at; i <= end; ++i) {
      if (i == end || std::string_view(",;\t\r").find(text[i]) != std::string_view::npos) {
        std::string_view title = text.substr(cell, i - cell);
        while (!title.empty() && (title.front() == '"' || title.front() == ' ')) title.remove_prefix(1);
        while (!title.empty() && (title.back() == '"' || title.back() == ' ')) title.remove_suffix(1);
        known += FieldTitled(title) != TitledField::kNone;
        cell = i + 1;
      }
    }
    at = end + 1;
  }
  return known;
}

}  // namespace

const std::vector<std::string>& ImportEncodingNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all = {kUtf8Name, kUtf16Name, "GBK", "Shift-JIS"};
    for (const std::string& page : CodePageNames()) all.push_back(page);
    return all;
  }();
  return names;
}

std::string ImportEncodingNamed(std::string_view name) {
  std::string key = EncodingKey(name);
  if (key == "sjis" || key == "cp932") key = "shiftjis";
  if (key == "cp936") key = "gbk";
  for (const std::string& known : ImportEncodingNames()) {
    if (EncodingKey(known) == key) return known;
  }
  return "";
}

bool DecodeImportText(std::string_view bytes, const std::string& encoding, DecodedText* text,
                      std::string* error) {
  *text = DecodedText{};
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    text->encoding = kUtf8Name;
  } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const bool bigEndian = bytes[0] == '\xFE';
    if (!Utf16ToUtf8(bytes.substr(2), bigEndian, &text->utf8)) {
      *error = "The text starts as UTF-16 but breaks off or holds a lone surrogate.";
      return false;
    }
    text->encoding = kUtf16Name;
    return true;
  } else if (!encoding.empty()) {
    text->encoding = encoding;
  } else if (const std::size_t at = Utf8Break(bytes); at == bytes.size()) {
    text->encoding = kUtf8Name;
  } else {
    int best = -1;
    for (const char* page : kProposedPages) {
      std::string utf8;
      if (!ConvertText(bytes, page, &utf8)) continue;
      const int known = KnownTitles(utf8);
      if (known <= best) continue;
      best = known;
      text->utf8 = std::move(utf8);
      text->encoding = page;
    }
    if (best < 0) {
      *error = "The text is no UTF-8 (byte " + std::to_string(at + 1) +
               ") and fits none of GBK, Shift-JIS, windows-1251 and windows-1252.\n"
               "Choose its encoding.";
      return false;
    }
    text->proposed = true;
    return true;
  }
  if (!ConvertText(bytes, text->encoding, &text->utf8)) {
    *error = "The text does not read as " + text->encoding + ".\nChoose another encoding.";
    return false;
  }
  return true;
}

}  // namespace barvane
