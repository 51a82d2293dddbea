// Printed: a message text with values put in by a printf format, as the program's fixed texts
// carry them ("high %.2f below low %.2f", "Portfolio %s is not in the portfolio list").
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace barvane {
namespace printed_detail {

// A std::string goes to %s as its characters; passing the object itself through the ellipsis
// would be undefined.
inline const char* Argument(const std::string& text) { return text.c_str(); }

template <typename T>
  requires std::is_arithmetic_v<T> || std::is_pointer_v<T>
T Argument(T value) {
  return value;
}

}  // namespace printed_detail

// The whole text, however long: a portfolio's path may be.
std::string Printed(const char* format, const auto&... values) {
  const int length = std::snprintf(nullptr, 0, format, printed_detail::Argument(values)...);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, printed_detail::Argument(values)...);
  return text;
}

// A count as reports and panes give it: 2312 as "2,312".
inline std::string GroupedNumber(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (auto at = static_cast<long>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return n < 0 ? "-" + digits : digits;
}

}  // namespace barvane
