// The texts of the 4-byte floats that quote files hold: every digit a float needs to read back
// as itself, and none that it does not hold (4669.1 is "4669.1", never "4669.1001").
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace barvane {

// Room that PutFloatText needs for any float and up to kMostPaddedDecimals decimals.
inline constexpr int kMostPaddedDecimals = 4;
inline constexpr std::size_t kLongestFloatText = 64;

// Writes the shortest decimal text that reads back as `value`, in plain digits (no exponent),
// with zeros added up to `minDecimals` decimals (a point only when there are decimals).
// Returns the end of the text.
// An infinity or NaN, which no quote file holds, writes "inf" or "nan".
// REQUIRES: room for kLongestFloatText characters at `out`; 0 <= minDecimals <=
// kMostPaddedDecimals.
char* PutFloatText(char* out, float value, int minDecimals);
std::string FloatText(float value, int minDecimals);

// Reads the whole of a decimal text ("-37.63", "4669.1", "1e-7", ".5") as the float nearest to
// it, rounded once, as a file would hold the number. Returns std::errc{} and sets `*value`;
// std::errc::invalid_argument when the text is not one number; std::errc::result_out_of_range
// when it lies beyond the floats or so near zero that no float but zero holds it.
[[nodiscard]] std::errc ReadFloatText(std::string_view text, float* value);

}  // namespace barvane
