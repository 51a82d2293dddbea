// FileJournal: the files a command that changes several files has changed so far, each with
// what it held before, so that a failure part way through can put every one of them back and
// the command is all or nothing as far as the user can see.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/file_ops.h"
#include "data/fs.h"
#include "data/index_files.h"

namespace barvane {

class FileJournal {
 public:
  explicit FileJournal(FileSystem& fs) : fs_(fs) {}

  // Makes `contents` the content of `path` crash-safely through `temporaryPath`, first noting
  // what `path` held (or that it did not exist). On failure leaves `path` as it was and
  // notes nothing.
  [[nodiscard]] bool Replace(const std::string& path, const std::string& temporaryPath,
                             const Bytes& contents);
  // Removes `path` after noting its bytes; a missing file is passed over. On failure leaves
  // `path` as it was.
  [[nodiscard]] bool Remove(const std::string& path);

  // Puts every noted file back, the latest first: old contents written back crash-safely,
  // files that did not exist removed. Returns false when some file could not be put back.
  bool RollBack();

 private:
  struct Entry {
    std::string path;
    std::string temporaryPath;
    std::optional<Bytes> old;  // none: the file did not exist
  };

  FileSystem& fs_;
  std::vector<Entry> entries_;
};

// Performs the index file `writes` through `journal`: each backup, then each file. On failure
// returns false; the journal's RollBack then puts back what was written.
[[nodiscard]] bool JournalIndexWrites(FileJournal& journal, const std::vector<IndexFileWrite>& writes);

}  // namespace barvane
