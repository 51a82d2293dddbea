// The read-only commands of barvane-cli: symbols, quotes and facts. Each returns the exit
// status (0 done, 1 failed) and writes its rows to `out`.
#pragma once

#include <ostream>
#include <string>

#include "app/ui.h"
#include "data/fs.h"

namespace barvane::cli {

int ListSymbols(FileSystem& fs, Ui& ui, const std::string& dir, std::ostream& out);
int ListQuotes(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& symbol,
               std::ostream& out);
int ShowFacts(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& symbol,
              std::ostream& out);

}  // namespace barvane::cli
