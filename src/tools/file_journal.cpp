// Undoable file changes for the multi-file symbol commands.
#include "tools/file_journal.h"

#include "data/file_names.h"

namespace barvane {

bool FileJournal::Replace(const std::string& path, const std::string& temporaryPath,
                          const Bytes& contents) {
  Entry entry{path, temporaryPath, std::nullopt};
  if (fs_.IsRegularFile(path)) {
    Bytes old;
    if (!ReadWholeFile(fs_, path, &old)) return false;
    entry.old = std::move(old);
  }
  if (!ReplaceFile(fs_, path, temporaryPath, contents)) return false;
  entries_.push_back(std::move(entry));
  return true;
}

bool FileJournal::Remove(const std::string& path) {
  if (!fs_.IsRegularFile(path)) return true;
  Bytes old;
  if (!ReadWholeFile(fs_, path, &old) || !fs_.Remove(path)) return false;
  // Flushed before anything that counts on the file being gone, such as an undo marked done.
  (void)fs_.SyncDirectory(DirectoryOf(path));
  entries_.push_back({path, CopyTemporaryPath(path), std::move(old)});
  return true;
}

bool FileJournal::RollBack() {
  bool ok = true;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->old) {
      ok = ReplaceFile(fs_, it->path, it->temporaryPath, *it->old) && ok;
    } else {
      ok = RemoveIfPresent(fs_, it->path) && ok;
    }
  }
  entries_.clear();
  return ok;
}

bool JournalIndexWrites(FileJournal& journal, const std::vector<IndexFileWrite>& writes) {
  for (const IndexFileWrite& write : writes) {
    if (!write.backupPath.empty() &&
        !journal.Replace(write.backupPath, CopyTemporaryPath(write.backupPath), write.old)) {
      return false;
    }
  }
  for (const IndexFileWrite& write : writes) {
    if (!journal.Replace(write.path, write.temporaryPath, write.contents)) return false;
  }
  return true;
}

}  // namespace barvane
