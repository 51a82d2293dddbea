// Shortest round-trip texts of floats, padded to a column's decimals, and their reading.
#include "data/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace barvane {

char* PutFloatText(char* out, float value, int minDecimals) {
  if (!std::isfinite(value)) return std::to_chars(out, out + kLongestFloatText, value).ptr;
  // The shortest digits come in scientific form ("8.02e+09"); fixed form would rather show the
  // float's exact value when that is as long (8019999744), which is not what was typed.
  char scientific[32];
  const char* const end =
      std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific).ptr;
  const char* p = scientific;
  if (*p == '-') *out++ = *p++;
  char digits[16];
  int count = 0;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits[count++] = *p;
  }
  ++p;
  if (*p == '+') ++p;
  int exponent = 0;
  std::from_chars(p, end, exponent);
  const int whole = exponent + 1;  // digits before the point
  int decimals = 0;
  if (whole <= 0) {
    *out++ = '0';
    *out++ = '.';
    std::memset(out, '0', static_cast<std::size_t>(-whole));
    out += -whole;
    std::memcpy(out, digits, static_cast<std::size_t>(count));
    out += count;
    decimals = count - whole;
  } else if (whole >= count) {
    std::memcpy(out, digits, static_cast<std::size_t>(count));
    std::memset(out + count, '0', static_cast<std::size_t>(whole - count));
    out += whole;
  } else {
    std::memcpy(out, digits, static_cast<std::size_t>(whole));
    out[whole] = '.';
    std::memcpy(out + whole + 1, digits + whole, static_cast<std::size_t>(count - whole));
    out += count + 1;
    decimals = count - whole;
  }
  if (decimals >= minDecimals) return out;
  if (decimals == 0) *out++ = '.';
  std::memset(out, '0', static_cast<std::size_t>(minDecimals - decimals));
  return out + (minDecimals - decimals);
}

std::string FloatText(float value, int minDecimals) {
  char text[kLongestFloatText];
  return std::string(text, PutFloatText(text, value, minDecimals));
}

std::errc ReadFloatText(std::string_view text, float* value) {
  float read = 0;
  const char* const end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, read, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) return result.ec;
  if (result.ec != std::errc() || result.ptr != end) return std::errc::invalid_argument;
  *value = read;
  return std::errc();
}

}  // namespace barvane
