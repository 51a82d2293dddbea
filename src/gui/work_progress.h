// The progress of long work, symbol by symbol, as the window shows it. Nothing shows until the
// work has run about half a second from its first step, so a question the work asks before
// that step (Replace? Repair now?) is never covered or blocked by it; then a window with the
// label, a bar that follows the steps and Cancel, which only it takes input.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// The steps callback the long commands take: told `done` of `total` before or after each
// symbol, false once the user pressed Cancel. The window goes with the last copy of it.
std::function<bool(int done, int total)> WorkProgress(const QString& label, QWidget* owner);
