// The first-run INI file: the pairs it holds, read by the rules the original import used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace barvane {

struct IniPair {
  std::string section;
  std::string name;   // the text before the first "=", untrimmed
  std::string value;  // the text after it, untrimmed
};

// Lines arrive in pieces of at most 519 characters, each trimmed of white space at both ends.
// "[name]" (its first "]" its last character) opens a section, named by what lies between the
// brackets without surrounding white space; a line holding "=" is a pair of the open section
// (dropped before any section); every other line is ignored.
std::vector<IniPair> ParseIniText(std::string_view text);

}  // namespace barvane
