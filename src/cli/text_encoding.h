// Symbols and names are bytes of the portfolio's code page in the files; paths are the file
// system's bytes (UTF-8); the terminal speaks UTF-8. One command works in one code page, the
// one its --codepage word names, windows-1252 without it.
#pragma once

#include <string>
#include <vector>

#include "data/code_page.h"

namespace barvane::cli {

void UseCodePage(const CodePage& page);
const CodePage& FileCodePage();

// A file text (symbol, name, a line that holds them) as UTF-8.
std::string FileTextToUtf8(const std::string& bytes);
// A message that may hold both kinds of text: shown as it is when it already reads as UTF-8
// (a path), else taken for the code page's bytes.
std::string MessageToUtf8(const std::string& text);
// The indexes of the words of `command` that are file texts rather than paths or numbers.
std::vector<std::size_t> TextWords(const std::string& command);

}  // namespace barvane::cli
