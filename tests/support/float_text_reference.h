// The text a float should show, worked out the slow way with printf and strtof, as a second
// opinion beside the program's own: the fewest significant digits that read back as the float,
// in plain digits, padded with zeros to `minDecimals` decimals.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace barvane::test {

inline std::string ReferenceFloatText(float value, int minDecimals) {
  char text[512];
  if (!std::isfinite(value)) {
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
  }
  for (int precision = 0; precision < 9; ++precision) {  // digits after the first significant one
    std::snprintf(text, sizeof text, "%.*e", precision, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  const char* const e = std::strchr(text, 'e');
  const int exponent = std::atoi(e + 1);
  const bool negative = text[0] == '-';
  std::string digits;
  for (const char* p = text + negative; p < e; ++p) {
    if (*p != '.') digits += *p;
  }
  int point = exponent + 1;  // digits before the decimal point
  if (point <= 0) {
    digits.insert(0, static_cast<std::size_t>(1 - point), '0');
    point = 1;
  }
  if (static_cast<int>(digits.size()) < point) digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
  std::string decimals = digits.substr(static_cast<std::size_t>(point));
  if (static_cast<int>(decimals.size()) < minDecimals) decimals.append(static_cast<std::size_t>(minDecimals) - decimals.size(), '0');
  return (negative ? "-" : "") + digits.substr(0, static_cast<std::size_t>(point)) +
         (decimals.empty() ? "" : "." + decimals);
}

}  // namespace barvane::test
