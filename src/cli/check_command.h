// barvane-cli check DIR [--repair]: one line a problem, SYMBOL<TAB>DATE<TAB>what is wrong; with
// --repair one line a mend, and what is left for a person on standard error.
#pragma once

#include <ostream>
#include <string>

#include "app/ui.h"
#include "data/fs.h"

namespace barvane::cli {

// Exit status: 0 when nothing is (left) wrong, 1 when a problem is (left) or the command
// failed.
int CheckCommand(FileSystem& fs, Ui& ui, const std::string& dir, bool repair, std::ostream& out);

}  // namespace barvane::cli
