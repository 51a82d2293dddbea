// ChangeRecorder: the file system of the commands that makes each command one change in the
// History. Between Begin and End, before a call first alters a path (creates, renames from or
// over, removes), the path's bytes are noted and stored crash-safely; End adds what every noted
// path holds afterwards. A temporary file made anew notes, besides itself, the file it is made
// to replace (file_names.h), and their notes reach the disk together with the temporary file's
// own flush, before the rename that alters that file: the flushes of a command wait for the
// disk together instead of one after another. Temporary files thereby drop out by themselves (absent before and
// after), and a command is recorded without knowing which files it writes. Outside Begin and
// End every call passes through unrecorded.
//
// An exclusive directory lock the command takes between Begin and End is held until End has
// stored the change: no other process can change, undo or redo the portfolio while its files
// are changed but the change is not yet in the history.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "data/history.h"

namespace barvane {

class ChangeRecorder final : public FileSystemWrapper {
 public:
  // REQUIRES: `history` writes to `target` (or to the same disk through another wrapper).
  ChangeRecorder(FileSystem& target, History& history) : FileSystemWrapper(target), history_(history) {}

  History& history() { return history_; }
  // The file system under the recorder, for work that is no change of its own (undo, redo).
  FileSystem& unrecorded() { return target(); }

  // Opens a change made by the command `words` on the portfolio `portfolioDir` (empty: the
  // change is listed only under the portfolios whose files it alters).
  // REQUIRES: no change open.
  void Begin(std::vector<std::string> words, const std::string& portfolioDir);
  // Closes it: a change that altered any file is stored in the history. False when the
  // history could not store it (it is then completed at the next start).
  [[nodiscard]] bool End();

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override;
  std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) override;
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override;
  std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) override;
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override;
  std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode mode,
                                                  FileIdentity* identity, bool* busy) override;

 private:
  // Notes `path`'s bytes if this change has not, and those of the file `ahead` (unless empty),
  // which a temporary file is made to replace, where they can be read; false (and the call
  // refused) when `path`'s cannot be read or stored, since the change could then not be undone.
  // A file `replacedWhole` by the call (renamed over, removed), like `ahead`, may be kept by
  // the history under a further name instead of copied. The notes are on the disk when Note
  // returns unless `later`.
  bool Note(const std::string& path, bool replacedWhole, bool later = false, const std::string& ahead = {});
  // Whether `path` is a file the history keeps under a further name, which a write in place
  // would alter.
  bool IsKept(const std::string& path);
  std::string Absolute(const std::string& path);

  History& history_;
  bool open_ = false;
  Change change_;
  std::set<std::string> noted_;
  std::unique_ptr<PortfolioLock> live_;  // from the first file noted until the change is stored
  struct HeldLock {
    FileIdentity identity;
    std::shared_ptr<DirectoryLock> lock;
  };
  std::vector<HeldLock> held_;  // the change's exclusive locks, until it is stored
};

// Begin on construction, End on destruction: the change of one command.
class ChangeScope {
 public:
  ChangeScope(ChangeRecorder& recorder, std::vector<std::string> words, const std::string& portfolioDir)
      : recorder_(recorder) {
    recorder_.Begin(std::move(words), portfolioDir);
  }
  ~ChangeScope() { (void)recorder_.End(); }
  ChangeScope(const ChangeScope&) = delete;
  ChangeScope& operator=(const ChangeScope&) = delete;

 private:
  ChangeRecorder& recorder_;
};

}  // namespace barvane
