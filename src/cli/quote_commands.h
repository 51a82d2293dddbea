// The quote-editing commands of barvane-cli: edit, split, adjust, delete-quote and add-quote,
// each the dialog's OK with the given texts. Each returns the exit status.
#pragma once

#include <string>
#include <vector>

#include "app/ui.h"
#include "data/fs.h"

namespace barvane::cli {

// `words` are the command's words after its name: DIR SYMBOL and the command's texts. Returns
// 2 when their number is wrong.
int RunQuoteCommand(FileSystem& fs, Ui& ui, const std::string& command, const std::vector<std::string>& words);

// Whether `command` is one of the quote-editing commands.
bool IsQuoteCommand(const std::string& command);

}  // namespace barvane::cli
