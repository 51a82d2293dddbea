// The user's guide (doc/user-guide.md, built into the window and installed beside the README):
// the section that tells of each command, so that F1 opens the guide at the command in use.
#pragma once

#include <utility>
#include <vector>

#include "app/command_ids.h"

namespace barvane {

// The heading of the section on Undo, Redo and History, which are no commands of the view.
inline constexpr const char* kUndoGuideSection = "Undo, redo and history";

// Each command the guide tells of, with the heading of its section.
const std::vector<std::pair<CommandId, const char*>>& GuideSections();
// The heading of the section on `command`; "" for one the guide tells of only in general.
const char* GuideSection(CommandId command);

}  // namespace barvane
