// File texts (symbols, names) are 8-bit Latin-1; paths are the file system's bytes (UTF-8);
// the terminal speaks UTF-8.
#pragma once

#include <string>
#include <vector>

namespace barvane::cli {

std::string Latin1ToUtf8(const std::string& latin1);
// Characters above U+00FF (and malformed bytes) are kept as the bytes they came in.
std::string Utf8ToLatin1(const std::string& utf8);
// A message that may hold both kinds of text: shown as it is when it already reads as UTF-8
// (a path), else taken for Latin-1.
std::string MessageToUtf8(const std::string& text);
// The indexes of the words of `command` that are file texts rather than paths or numbers.
std::vector<std::size_t> TextWords(const std::string& command);

}  // namespace barvane::cli
