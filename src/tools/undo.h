// Undo and redo: a change of the History given back or made again, every file it touched
// getting its exact recorded bytes, all or nothing and crash-safely. A change that touched two
// portfolios is undone in both. Undo refuses when a file no longer holds what the change left
// there (and redo when it no longer holds what the change found), since something else has
// changed it since; forcing overrides that.
#pragma once

#include <string>

#include "data/history.h"

namespace barvane {

struct UndoOutcome {
  bool done = false;
  bool changedSince = false;  // refused because a file was changed by something else
  std::string message;        // why it was not done
  Change change;              // the change undone or redone (or refused); files without bytes
};

// The change Undo of portfolio `dir` would give back: the newest listed and in effect.
[[nodiscard]] bool NextToUndo(History& history, const std::string& dir, Change* change);
// The change Redo of `dir` would make again: the one undone last.
[[nodiscard]] bool NextToRedo(History& history, const std::string& dir, Change* change);

// Undoes NextToUndo of `dir` through history.fs(). On success every file the change touched
// holds its bytes from before the change (a file the change created is gone), the change is
// marked undone and done is true. Otherwise every file keeps its bytes and the message says
// why: nothing to undo, a file changed since (unless `force`), or a file that cannot be
// written.
UndoOutcome Undo(History& history, const std::string& dir, bool force);
// Redoes NextToRedo of `dir`, as Undo does, each file getting its bytes from after the change.
UndoOutcome Redo(History& history, const std::string& dir, bool force);

// Finishes what a crash left unfinished: a change being recorded is completed with what its
// files hold now; an undo or redo under way is carried to its end for every file that still
// holds the bytes it started from.
void RecoverHistory(History& history);

// The change named for a menu: "Split of ADY on 12/16/10".
std::string ChangeTitle(const Change& change);

}  // namespace barvane
