// RollbackFs: the file system of a command that must change several files all or nothing.
// Before a call first alters a path (creates, renames from or over, removes) the path's bytes
// are kept in memory; RollBack gives every such path its kept bytes back, crash-safely.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/file_ops.h"
#include "data/fs.h"

namespace barvane {

class RollbackFs final : public FileSystemWrapper {
 public:
  explicit RollbackFs(FileSystem& target) : FileSystemWrapper(target) {}

  // Puts back every path altered so far, the last altered first: a file that did not exist is
  // removed, every other gets its old bytes through a fresh temporary file. True when every
  // path stands as it did; the paths are then forgotten.
  [[nodiscard]] bool RollBack();

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override;
  std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) override;
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override;
  std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) override;
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool Link(const std::string& existing, const std::string& newPath) override;

 private:
  // Keeps `path`'s bytes unless already kept; false (and the call refused) when a file there
  // cannot be read, since it could not be put back.
  bool Keep(const std::string& path);

  struct Kept {
    std::string path;
    std::optional<Bytes> bytes;  // none: no file stood there
  };
  std::vector<Kept> kept_;
  std::set<std::string> paths_;
};

}  // namespace barvane
