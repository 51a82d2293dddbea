// Conversion between the 4-byte Microsoft Binary Format floats that the data files hold and
// IEEE single floats. Both forms share their 23 fraction bits; only the sign's place and the
// exponent bias differ, so the conversion is exact and never rounds.
#pragma once

#include <cstdint>

namespace barvane {

// Converts one value; `src` and `dst` may be the same 4 bytes. An exponent byte of 0 gives +0.0.
void MbfToIeee(const std::uint8_t* src, std::uint8_t* dst);

// Converts one value; `src` and `dst` may be the same 4 bytes. +0.0 and -0.0 give 4 zero bytes.
void IeeeToMbf(const std::uint8_t* src, std::uint8_t* dst);

// The value of the MBF float stored at `src`.
float ReadMbf(const std::uint8_t* src);

// Stores `value` at `dst` as an MBF float.
void WriteMbf(float value, std::uint8_t* dst);

// The IEEE float stored little-endian at `src` (a field already converted in place).
float ReadIeee(const std::uint8_t* src);

// Stores `value` little-endian at `dst` as an IEEE float.
void WriteIeee(float value, std::uint8_t* dst);

}  // namespace barvane
