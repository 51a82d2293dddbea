// The order of the program's sorted lists (the symbol grid, the portfolio list, the drive
// list): ascending by text ignoring ASCII letter case, ties broken by byte order.
#pragma once

#include <string>

namespace barvane {

bool ListOrderLess(const std::string& a, const std::string& b);

// `text` with ASCII letters in upper case.
std::string AsciiUpper(std::string text);

}  // namespace barvane
