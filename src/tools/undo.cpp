// Undo, redo and the recovery of both.
#include "tools/undo.h"

#include <algorithm>
#include <optional>

#include "data/file_names.h"
#include "data/portfolio_lock.h"
#include "tools/file_journal.h"

namespace barvane {
namespace {

// What `path` holds now; none when it does not exist. False when it exists but cannot be read.
bool CurrentState(FileSystem& fs, const std::string& path, std::optional<Bytes>* state) {
  state->reset();
  if (!fs.IsRegularFile(path)) return true;
  Bytes bytes;
  if (!ReadWholeFile(fs, path, &bytes)) return false;
  *state = std::move(bytes);
  return true;
}

// Whether `now` is what the file held where the undo (or redo) starts: after the change (or
// before it).
bool HoldsStart(const FileChange& file, bool undo, const std::optional<Bytes>& now) {
  return undo ? HeldAfter(file, now) : now == file.before;
}
const std::optional<Bytes>& EndState(const FileChange& file, bool undo) { return undo ? file.before : file.after; }
// Whether the history keeps the bytes the file gets: a redo needs those an undo kept.
bool EndKnown(const FileChange& file, bool undo) { return undo || !file.afterDigest; }

// The files in the order they are put back: an undo takes the command's steps backwards, so
// that no index record ever names a quote file that is not there yet.
std::vector<const FileChange*> Order(const Change& change, bool undo) {
  std::vector<const FileChange*> files;
  for (const FileChange& file : change.files) files.push_back(&file);
  if (undo) std::reverse(files.begin(), files.end());
  return files;
}

std::string Verb(bool undo) { return undo ? "undone" : "redone"; }

// How often the choice is made again when the change chosen under the lock turns out to touch
// a portfolio not yet locked (another process changed the history in between).
constexpr int kChoices = 3;

UndoOutcome Apply(History& history, const std::string& dir, bool undo, bool force) {
  FileSystem& fs = history.fs();
  UndoOutcome outcome;
  const std::unique_ptr<PortfolioLock> live = history.LockLive();
  if (!live) {
    outcome.message = "The history is in use. Nothing was " + Verb(undo) + ".";
    return outcome;
  }
  // The change is chosen and its files checked under the locks of every portfolio it touched,
  // so that no other command changes, undoes or redoes one of them in between.
  PortfolioLock lock(fs);
  std::vector<std::string> locked = {history.PortfolioKey(dir)};
  Change change;
  for (int choice = 1;; ++choice) {
    if (!lock.Acquire(locked, LockMode::kExclusive)) {
      outcome.message = lock.failureText();
      return outcome;
    }
    if (!(undo ? NextToUndo(history, dir, &change) : NextToRedo(history, dir, &change))) {
      outcome.message = std::string("Nothing to ") + (undo ? "undo" : "redo") + " in " + WithoutTrailingSlash(dir);
      return outcome;
    }
    const std::size_t lockedBefore = locked.size();
    for (const std::string& portfolio : change.portfolios) {
      if (std::find(locked.begin(), locked.end(), portfolio) == locked.end()) locked.push_back(portfolio);
    }
    if (locked.size() == lockedBefore) break;
    lock.Release();
    if (choice == kChoices) {
      outcome.message = PortfolioBusyText(dir);
      return outcome;
    }
  }
  const std::string named = "\"" + WordsText(change.words) + "\"";
  if (!history.Load(change.id, &change) ||
      !std::all_of(change.files.begin(), change.files.end(), [&](const FileChange& f) { return EndKnown(f, undo); })) {
    outcome.message = "The history of " + named + " cannot be read. Nothing was " + Verb(undo) + ".";
    return outcome;
  }
  outcome.change = change;
  for (FileChange& file : outcome.change.files) file.before = file.after = std::nullopt;

  // What the files hold now is, for an undo, what a redo will need: kept with the mark.
  Change kept = change;
  for (FileChange& file : kept.files) {
    std::optional<Bytes> now;
    if (!CurrentState(fs, file.path, &now)) {
      outcome.message = file.path + " cannot be read. Nothing was " + Verb(undo) + ".";
      return outcome;
    }
    if (!force && !HoldsStart(file, undo, now)) {
      outcome.changedSince = true;
      outcome.message = file.path + "\nwas changed after " + named + ", by another program or another change.\n" +
                        "Nothing was " + Verb(undo) + ".";
      return outcome;
    }
    file.after = std::move(now);
  }

  if (!history.MarkApplying(kept, undo)) {
    outcome.message = "The history cannot be written. Nothing was " + Verb(undo) + ".";
    return outcome;
  }
  FileJournal journal(fs);
  bool ok = true;
  for (const FileChange* file : Order(change, undo)) {
    const std::optional<Bytes>& end = EndState(*file, undo);
    ok = end ? journal.Replace(file->path, CopyTemporaryPath(file->path), *end) : journal.Remove(file->path);
    if (!ok) break;
  }
  if (!ok) {
    if (journal.RollBack()) {
      (void)history.ClearApplying(change.id, undo);
      outcome.message = "The portfolio files cannot be written. Nothing was " + Verb(undo) + ".";
    } else {
      // The mark of work under way stays, so that the next start carries it to its end.
      outcome.message = "The portfolio files cannot be written, and some could not be put back.";
    }
    return outcome;
  }
  // Should the mark fail, the next start finds the work under way and completes it.
  (void)history.MarkApplied(change.id, undo);
  outcome.change.undone = undo;
  outcome.done = true;
  return outcome;
}

std::string Word(const Change& change, std::size_t i) { return i < change.words.size() ? change.words[i] : ""; }

}  // namespace

bool NextToUndo(History& history, const std::string& dir, Change* change) {
  std::vector<Change> changes;
  if (!history.List(dir, &changes)) return false;
  const auto it = std::find_if(changes.begin(), changes.end(), [](const Change& c) { return !c.undone; });
  if (it == changes.end()) return false;
  *change = std::move(*it);
  return true;
}

bool NextToRedo(History& history, const std::string& dir, Change* change) {
  std::vector<Change> changes;
  if (!history.List(dir, &changes)) return false;
  // Newest first: the undone change nearest the ones in effect was undone last.
  const auto it = std::find_if(changes.rbegin(), changes.rend(), [](const Change& c) { return c.undone; });
  if (it == changes.rend()) return false;
  *change = std::move(*it);
  return true;
}

UndoOutcome Undo(History& history, const std::string& dir, bool force) { return Apply(history, dir, true, force); }
UndoOutcome Redo(History& history, const std::string& dir, bool force) { return Apply(history, dir, false, force); }

void RecoverHistory(History& history) {
  FileSystem& fs = history.fs();
  // Pending files of a change another process is making now are alive, not a crash's leftovers.
  const std::unique_ptr<PortfolioLock> alone = history.LockForRecovery();
  if (!alone) return;
  history.RemoveLeftovers();
  History::Pending pending;
  if (!history.FindPending(&pending)) return;
  for (std::uint64_t id : pending.recordings) {
    Change change;
    if (history.LoadRecording(id, &change)) (void)history.Commit(std::move(change));
  }
  for (const auto& [id, undo] : pending.applies) {
    Change change;
    if (history.Load(id, &change)) {
      for (const FileChange* file : Order(change, undo)) {
        std::optional<Bytes> now;
        // A file that holds neither state was changed by something else: it is left alone.
        if (!CurrentState(fs, file->path, &now) || !HoldsStart(*file, undo, now) || !EndKnown(*file, undo)) continue;
        const std::optional<Bytes>& end = EndState(*file, undo);
        (void)(end ? ReplaceFile(fs, file->path, CopyTemporaryPath(file->path), *end)
                   : RemoveIfPresent(fs, file->path));
      }
    }
    (void)history.MarkApplied(id, undo);
  }
}

std::string ChangeTitle(const Change& change) {
  const std::string command = Word(change, 0), symbol = Word(change, 2);
  if (command == "edit") return "Edit of " + symbol + " on " + Word(change, 3);
  if (command == "split") return "Split of " + symbol + " on " + Word(change, 3);
  if (command == "adjust") return "Adjust of " + symbol + " from " + Word(change, 3) + " to " + Word(change, 4);
  if (command == "delete-quote") return "Delete of " + symbol + " on " + Word(change, 3);
  if (command == "import") {
    const std::string file = Word(change, 3);
    return "Import of " + file.substr(file.rfind('/') + 1) + " into " + symbol;
  }
  if (command == "export-all") return "Export of every symbol to " + Word(change, 2);
  if (command == "new-quote") return "New quote of " + symbol + " on " + Word(change, 3);
  if (command == "add-quote") return "Add of " + symbol + " before " + Word(change, 3);
  if (command == "edit-symbol") return "Edit of symbol " + symbol;
  if (command == "delete-symbol") return "Delete of symbol " + symbol;
  if (command == "copy-symbol") return "Copy of " + symbol + " to " + Word(change, 3);
  if (command == "move-symbol") return "Move of " + symbol + " to " + Word(change, 3);
  if (command == "blank-symbol-repair") return "Repair of blank symbols";
  if (command == "check" && Word(change, 2) == "--repair") {
    // Older histories hold a change a symbol ("-" for the index files).
    if (change.words.size() < 4) return "Repair of the portfolio";
    return Word(change, 3) == "-" ? "Repair of the MASTER" : "Repair of " + Word(change, 3);
  }
  return WordsText(change.words);
}

}  // namespace barvane
