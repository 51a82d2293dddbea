// The read-only commands of barvane-cli: scan, symbols, quotes and facts. Each returns the exit
// status (0 done, 1 failed) and writes its rows to `out`.
#pragma once

#include <ostream>
#include <string>

#include "app/ui.h"
#include "data/fs.h"

namespace barvane::cli {

// `filterPath` empty: the filter is off.
int ScanPortfolios(FileSystem& fs, Ui& ui, const std::string& root, const std::string& filterPath,
                   std::ostream& out);
int ListSymbols(FileSystem& fs, Ui& ui, const std::string& dir, std::ostream& out);
int ListQuotes(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& symbol,
               std::ostream& out);
int ShowFacts(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& symbol,
              std::ostream& out);

}  // namespace barvane::cli
