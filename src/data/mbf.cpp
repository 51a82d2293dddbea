// MBF <-> IEEE single conversion on little-endian byte images.
#include "data/mbf.h"

#include <bit>
#include <cstring>

namespace barvane {

void MbfToIeee(const std::uint8_t* src, std::uint8_t* dst) {
  std::uint8_t b[4];
  std::memcpy(b, src, 4);
  if (b[3] == 0) {
    std::memset(dst, 0, 4);
    return;
  }
  const std::uint8_t sign = b[2] & 0x80;
  const std::uint8_t exponent = static_cast<std::uint8_t>(b[3] - 2);
  dst[0] = b[0];
  dst[1] = b[1];
  dst[2] = static_cast<std::uint8_t>(((exponent & 1) << 7) | (b[2] & 0x7F));
  dst[3] = static_cast<std::uint8_t>(sign | (exponent >> 1));
}

void IeeeToMbf(const std::uint8_t* src, std::uint8_t* dst) {
  std::uint8_t b[4];
  std::memcpy(b, src, 4);
  if ((b[0] | b[1] | b[2] | (b[3] & 0x7F)) == 0) {
    std::memset(dst, 0, 4);
    return;
  }
  const std::uint8_t sign = b[3] & 0x80;
  const std::uint8_t exponent = static_cast<std::uint8_t>((b[3] << 1) | (b[2] >> 7));
  dst[0] = b[0];
  dst[1] = b[1];
  dst[2] = static_cast<std::uint8_t>(sign | (b[2] & 0x7F));
  dst[3] = static_cast<std::uint8_t>(exponent + 2);
}

float ReadIeee(const std::uint8_t* src) {
  std::uint32_t bits = static_cast<std::uint32_t>(src[0]) | static_cast<std::uint32_t>(src[1]) << 8 |
                       static_cast<std::uint32_t>(src[2]) << 16 |
                       static_cast<std::uint32_t>(src[3]) << 24;
  return std::bit_cast<float>(bits);
}

void WriteIeee(float value, std::uint8_t* dst) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) dst[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void WriteMbf(float value, std::uint8_t* dst) {
  std::uint8_t ieee[4];
  WriteIeee(value, ieee);
  IeeeToMbf(ieee, dst);
}

}  // namespace barvane
