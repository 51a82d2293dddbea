// Conversion between the 4-byte Microsoft Binary Format floats that the data files hold and
// IEEE single floats. Both forms share their 23 fraction bits; only the sign's place and the
// exponent bias differ, so the conversion is exact and never rounds.
#pragma once

#include <bit>
#include <cstdint>

namespace barvane {

// Converts one value; `src` and `dst` may be the same 4 bytes. An exponent byte of 0 gives +0.0.
void MbfToIeee(const std::uint8_t* src, std::uint8_t* dst);

// Converts one value; `src` and `dst` may be the same 4 bytes. +0.0 and -0.0 give 4 zero bytes.
void IeeeToMbf(const std::uint8_t* src, std::uint8_t* dst);

// The value of the MBF float stored at `src`: MbfToIeee on one 32-bit word, inline because
// every quote read passes here several times a record.
inline float ReadMbf(const std::uint8_t* src) {
  const std::uint32_t mbf = static_cast<std::uint32_t>(src[0]) |
                            static_cast<std::uint32_t>(src[1]) << 8 |
                            static_cast<std::uint32_t>(src[2]) << 16 |
                            static_cast<std::uint32_t>(src[3]) << 24;
  const std::uint32_t exponent = mbf >> 24;
  if (exponent == 0) return 0.0f;
  const std::uint32_t sign = (mbf & 0x00800000u) << 8;
  return std::bit_cast<float>(sign | ((exponent - 2) & 0xFFu) << 23 | (mbf & 0x007FFFFFu));
}

// Stores `value` at `dst` as an MBF float.
void WriteMbf(float value, std::uint8_t* dst);

// The IEEE float stored little-endian at `src` (a field already converted in place).
float ReadIeee(const std::uint8_t* src);

// Stores `value` little-endian at `dst` as an IEEE float.
void WriteIeee(float value, std::uint8_t* dst);

}  // namespace barvane
