// The history commands of barvane-cli (history, undo, redo), and which commands run as a
// change of the history. Each returns the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/ui.h"
#include "data/history.h"

namespace barvane::cli {

// Whether `command` may change a portfolio, so that a run of it is recorded as one change:
// every command but the ones that only read or write outside portfolios.
bool IsRecordedCommand(const std::string& command);

bool IsHistoryCommand(const std::string& command);

// `words` are the command's words after its name. history writes its lines to `out`, undo and
// redo the line naming what they did. Returns 2 when the words are wrong, 1 when the command
// was refused or failed, 0 when it was done.
int RunHistoryCommand(History& history, Ui& ui, const std::string& command,
                      const std::vector<std::string>& words, std::ostream& out);

}  // namespace barvane::cli
