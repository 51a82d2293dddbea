// Shortest round-trip texts of floats, padded to a column's decimals, and their reading.
#include "data/number_text.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace barvane {
namespace {

constexpr char kDecimalDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The most decimals the short cut tries: a float below 2^24 times 10^8 is below 2^53, so every
// product and difference it takes stays exact in a double.
constexpr int kMostQuickDecimals = 8;
constexpr std::array<double, kMostQuickDecimals + 1> kPowersOfTen = {1,      10,      100,      1000,     10000,
                                                                     100000, 1000000, 10000000, 100000000};
constexpr std::array<std::uint64_t, kMostQuickDecimals + 1> kWholePowersOfTen = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Writes the `count` lowest decimal digits of `n`, leading zeros included, ending before `end`.
void WriteDigitsBefore(char* end, std::uint32_t n, int count) {
  for (; count >= 2; count -= 2) {
    end -= 2;
    std::memcpy(end, kDecimalDigitPairs + 2 * (n % 100), 2);
    n /= 100;
  }
  if (count == 1) end[-1] = static_cast<char>('0' + n % 10);
}

int CountOfDigits(std::uint32_t n) {
  int count = 1;
  for (; n >= 10; n /= 10) ++count;
  return count;
}

// Writes `units` / 10^decimals with `decimals` decimals, then zeros up to `minDecimals`.
char* PutFixed(char* out, std::uint64_t units, int decimals, int minDecimals) {
  const auto scale = kWholePowersOfTen[static_cast<std::size_t>(decimals)];
  const auto whole = static_cast<std::uint32_t>(units / scale);
  const int wholeDigits = CountOfDigits(whole);
  WriteDigitsBefore(out + wholeDigits, whole, wholeDigits);
  out += wholeDigits;
  const int shown = decimals > minDecimals ? decimals : minDecimals;
  if (shown == 0) return out;
  *out++ = '.';
  WriteDigitsBefore(out + decimals, static_cast<std::uint32_t>(units % scale), decimals);
  std::memset(out + decimals, '0', static_cast<std::size_t>(shown - decimals));
  return out + shown;
}

// The short cut for a positive float below 2^24: the fewest decimals whose nearest number lies
// strictly inside the float's rounding interval, so that it reads back as the float and no
// shorter text does; among texts of that length it is the nearest, as the shortest digits are.
// A whole float is its own shortest text. Null when the answer needs the general path: a
// number on the interval's very edge or halfway between two candidates, or more than
// kMostQuickDecimals decimals.
char* PutQuickly(char* out, float value, int minDecimals) {
  if (value == std::trunc(value)) return PutFixed(out, static_cast<std::uint64_t>(value), 0, minDecimals);
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const double halfGapAbove = (static_cast<double>(std::bit_cast<float>(bits + 1)) - value) / 2;
  const double halfGapBelow = (value - static_cast<double>(std::bit_cast<float>(bits - 1))) / 2;
  // Where a column's decimals leave room for one candidate at most, fewer decimals give the
  // same padded text, so the search starts there.
  int decimals = halfGapAbove * kPowersOfTen[static_cast<std::size_t>(minDecimals)] < 0.5 ? minDecimals : 1;
  for (; decimals <= kMostQuickDecimals; ++decimals) {
    const double power = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const double scaled = static_cast<double>(value) * power;
    const double nearest = (scaled + 0x1p52) - 0x1p52;  // to the nearest whole number
    const double off = scaled - nearest;  // the candidate lies below the float when positive
    const double room = (off > 0 ? halfGapBelow : halfGapAbove) * power;
    if (std::fabs(off) < room) {
      if (std::fabs(off) == 0.5) return nullptr;
      return PutFixed(out, static_cast<std::uint64_t>(nearest), decimals, minDecimals);
    }
    if (std::fabs(off) == room) return nullptr;
  }
  return nullptr;
}

// The general path: the shortest digits in scientific form, laid out in plain digits.
char* PutGenerally(char* out, float value, int minDecimals) {
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

}  // namespace

char* PutFloatText(char* out, float value, int minDecimals) {
  if (!std::isfinite(value)) return std::to_chars(out, out + kLongestFloatText, value).ptr;
  const float size = std::fabs(value);
  if (size < 0x1p24f && (value > 0 || (value == 0 && !std::signbit(value)))) {
    if (char* end = PutQuickly(out, value, minDecimals)) return end;
  } else if (size < 0x1p24f && value < 0) {
    *out = '-';
    if (char* end = PutQuickly(out + 1, size, minDecimals)) return end;
  }
  return PutGenerally(out, value, minDecimals);
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
