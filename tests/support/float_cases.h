// Test support: floats whose texts are easy to get wrong, with the texts each must show, for
// the text functions' own tests and for the round trip through the CLI.
#pragma once

#include <cfloat>
#include <cstddef>

namespace barvane::test {

struct FloatCase {
  float value;
  const char* price;   // grid, dialogs, readout, Ctrl+C
  const char* count;   // grid volume and open interest
  const char* volume;  // export volume and open interest
};

// The first kQuoteFloatCases make a quote series: prices a quote file holds, none of them zero.
inline constexpr std::size_t kQuoteFloatCases = 7;
inline constexpr FloatCase kFloatCases[] = {
    {1.09405f, "1.09405", "1.09405", "1.09405"},
    {0.00004f, "0.00004", "0.00004", "0.00004"},
    {4669.1f, "4669.1000", "4669.1", "4669.10"},
    {8020000000.0f, "8020000000.0000", "8020000000", "8020000000.00"},
    {123456790.0f, "123456790.0000", "123456790", "123456790.00"},
    {-37.63f, "-37.6300", "-37.63", "-37.63"},
    {1e-7f, "0.0000001", "0.0000001", "0.0000001"},
    {0.0f, "0.0000", "0", "0.00"},
    {16777215.0f, "16777215.0000", "16777215", "16777215.00"},
    {FLT_MAX, "340282350000000000000000000000000000000.0000", "340282350000000000000000000000000000000",
     "340282350000000000000000000000000000000.00"},
};

}  // namespace barvane::test
