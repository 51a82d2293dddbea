// The large portfolios the benchmarks run on: one series as long as a quote file's 16-bit
// record number allows, and a tree of full MASTER files whose sought symbol comes last.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/fs.h"
#include "data/portfolio_writer.h"

namespace barvane::bench {

// R = 32767 is the largest record number a signed 16-bit header count holds.
inline constexpr int kLargeSeriesQuotes = 32766;
// File numbers are one byte, so no MASTER holds more symbol records than this.
inline constexpr int kMasterTreeRecords = 255;
// Sub-portfolios below the top MASTER: SUB1, SUB1/SUB2, SUB1/SUB2/SUB3.
inline constexpr int kMasterTreeDepth = 3;

inline constexpr const char* kLargeSeriesSymbol = "LONGRUN";
inline constexpr const char* kDeepSymbol = "DEEPLAST";

// `count` daily quotes, weekdays from Monday 1961-01-02 on, as a bounded random walk of
// prices in cents with volume and open interest; the same `seed` gives the same quotes.
std::vector<QuoteValues> RandomWalkQuotes(int count, std::uint32_t seed);

// Writes into `dir` a portfolio with the one symbol kLargeSeriesSymbol, file number 1, of
// kLargeSeriesQuotes quotes in 28-byte records (DATE OPEN HIGH LOW CLOSE VOL OI) and no
// F1.DOP. Returns false on failure.
[[nodiscard]] bool WriteLargeSeries(FileSystem& fs, const std::string& dir);

// Writes into `dir` a MASTER of kMasterTreeRecords records, the last naming sub-portfolio
// SUB1, and below it SUB1, SUB2 and SUB3 likewise, SUB3 holding only symbols, its last one
// kDeepSymbol. Every symbol has a header-only F<n>.DAT. Returns false on failure.
[[nodiscard]] bool WriteMasterTree(FileSystem& fs, const std::string& dir);

}  // namespace barvane::bench
