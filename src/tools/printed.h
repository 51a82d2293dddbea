// Printed: a message text with numbers put in by a printf format, as the program's fixed texts
// carry them ("high %.2f below low %.2f").
#pragma once

#include <cstdio>
#include <string>

namespace barvane {

// REQUIRES: the text fits in 299 characters (longer is cut).
std::string Printed(const char* format, auto... values) {
  char text[300];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

}  // namespace barvane
