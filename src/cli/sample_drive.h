// The demo drive that `barvane-cli sample DIR` writes: three portfolios of realistic quotes in
// every record layout, for a first look at the editor and for the end-to-end tests.
#pragma once

#include <string>

#include "data/fs.h"

namespace barvane::cli {

// Writes under `root` (created when missing):
//   Stocks/            ACME (28 bytes, 5,000 quotes, an unrecorded 2-for-1 split with a price
//                      gap), BOLT (24 bytes with F<n>.DOP, a missing weekday), CRUX and DYNA
//                      (the two 20-byte layouts), a record with a blank symbol, sub-portfolio TECH
//   Stocks/TECH/       GIGA (16 bytes with F<n>.DOP), sub-portfolio SEMI
//   Stocks/TECH/SEMI/  HEXA (28 bytes)
//   Futures/           ESZ6 (intraday five-minute bars), CLF7 (daily with open interest)
//   Indices/           XAO (8 bytes), XJO (12 bytes with F<n>.DOP), XWK (weekly)
// Returns false when a file cannot be written.
[[nodiscard]] bool WriteSampleDrive(FileSystem& fs, const std::string& root);

}  // namespace barvane::cli
