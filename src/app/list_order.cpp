// List order and ASCII case folding.
#include "app/list_order.h"

namespace barvane {
namespace {

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

}  // namespace

bool ListOrderLess(const std::string& a, const std::string& b) {
  const std::string fa = AsciiLower(a), fb = AsciiLower(b);
  return fa != fb ? fa < fb : a < b;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

}  // namespace barvane
