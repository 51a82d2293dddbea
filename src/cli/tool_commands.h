// The portfolio-tool commands of barvane-cli: split-search, export, export-all, import, edit-symbol,
// delete-symbol, copy-symbol and move-symbol. Each returns the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/ui.h"
#include "data/fs.h"

namespace barvane::cli {

// Whether `command` is one of the portfolio-tool commands.
bool IsToolCommand(const std::string& command);

// `words` are the command's words after its name. split-search writes its result lines to
// `out`, export-all its files, one line each: the symbol, a TAB, the file. Returns 2 when the words are wrong, 1 when the command failed or was refused, 0 when
// it was done.
int RunToolCommand(FileSystem& fs, Ui& ui, const std::string& command,
                   const std::vector<std::string>& words, std::ostream& out);

}  // namespace barvane::cli
