// barvane-cli check DIR [--repair]: one line a problem, SYMBOL<TAB>DATE<TAB>what is wrong; with
// --repair one line a mend, and what is left for a person on standard error.
#pragma once

#include <ostream>
#include <string>

#include "app/ui.h"
#include "data/change_recorder.h"

namespace barvane::cli {

// Exit status: 0 when nothing is (left) wrong, 1 when a problem is (left) or the command
// failed. Each change of the repair goes into the history as "check DIR --repair SYMBOL".
// The refusal of a folder that holds no portfolio.
std::string NoPortfolioText(const std::string& dir);

int CheckCommand(ChangeRecorder& recorder, Ui& ui, const std::string& dir, bool repair, std::ostream& out);

}  // namespace barvane::cli
