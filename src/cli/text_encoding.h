// File texts are 8-bit Latin-1; the terminal speaks UTF-8.
#pragma once

#include <string>

namespace barvane::cli {

std::string Latin1ToUtf8(const std::string& latin1);
// Characters above U+00FF (and malformed bytes) are kept as the bytes they came in.
std::string Utf8ToLatin1(const std::string& utf8);

}  // namespace barvane::cli
