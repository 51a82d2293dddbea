// Status codes of the data-file routines: 0 is success, a negative value a failure.
#pragma once

#include <cstdint>
#include <string>

namespace barvane {

using Status = std::int16_t;

inline constexpr Status kSuccess = 0;
inline constexpr Status kInvalidParm = -1;
inline constexpr Status kFileOpen = -2;
inline constexpr Status kMalloc = -3;
inline constexpr Status kFileRead = -4;
inline constexpr Status kFileWrite = -5;
inline constexpr Status kFileSeek = -6;
inline constexpr Status kFileExists = -7;
inline constexpr Status kFileNotFound = -8;
inline constexpr Status kRecordNotFound = -9;
inline constexpr Status kUnknown = -15;
inline constexpr Status kNoUsableLayout = -100;  // has no text
inline constexpr Status kDayNotInFile = -200;    // has no text
inline constexpr Status kDayInFile = -201;       // has no text
inline constexpr Status kSeveralQuotes = -202;   // has no text

// The stored text of a status code 0 to -15; empty for a code without one.
std::string StatusText(Status status);

}  // namespace barvane
