// Latin-1 <-> UTF-8 for the command line's words and output.
#include "cli/text_encoding.h"

namespace barvane::cli {

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string out;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const bool twoByteLatin1 = (c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80;
    if (twoByteLatin1) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      ++i;
    } else {
      out += utf8[i];
    }
  }
  return out;
}

std::string MessageToUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return Latin1ToUtf8(text);
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return Latin1ToUtf8(text);
    }
    i += length;
  }
  return text;
}

std::vector<std::size_t> TextWords(const std::string& command) {
  if (command == "edit-symbol") return {2, 3, 4};
  if (command == "sample" || command == "scan" || command == "symbols" || command == "split-search" ||
      command == "export-all") {
    return {};
  }
  return {2};  // the SYMBOL after DIR
}

}  // namespace barvane::cli
