// Keeping and putting back the files a command alters.
#include "data/rollback_fs.h"

#include "data/file_names.h"

namespace barvane {

bool RollbackFs::Keep(const std::string& path) {
  if (paths_.count(path)) return true;
  Kept kept{path, std::nullopt};
  if (target().IsRegularFile(path)) {
    Bytes bytes;
    if (!ReadWholeFile(target(), path, &bytes)) return false;
    kept.bytes = std::move(bytes);
  }
  kept_.push_back(std::move(kept));
  paths_.insert(path);
  return true;
}

bool RollbackFs::RollBack() {
  bool ok = true;
  for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
    ok = (it->bytes ? ReplaceFile(target(), it->path, CopyTemporaryPath(it->path), *it->bytes)
                    : RemoveIfPresent(target(), it->path)) &&
         ok;
  }
  if (ok) {
    kept_.clear();
    paths_.clear();
  }
  return ok;
}

std::unique_ptr<WritableFile> RollbackFs::CreateForWrite(const std::string& path) {
  return Keep(path) ? target().CreateForWrite(path) : nullptr;
}

std::unique_ptr<WritableFile> RollbackFs::OpenForRewrite(const std::string& path) {
  return Keep(path) ? target().OpenForRewrite(path) : nullptr;
}

std::unique_ptr<WritableFile> RollbackFs::ReopenForRewrite(const std::string& path) {
  return Keep(path) ? target().ReopenForRewrite(path) : nullptr;
}

std::unique_ptr<WritableFile> RollbackFs::OpenForAppend(const std::string& path) {
  return Keep(path) ? target().OpenForAppend(path) : nullptr;
}

std::unique_ptr<WritableFile> RollbackFs::CreateExclusive(const std::string& path) {
  return Keep(path) ? target().CreateExclusive(path) : nullptr;
}

bool RollbackFs::Rename(const std::string& from, const std::string& to) {
  return Keep(from) && Keep(to) && target().Rename(from, to);
}

bool RollbackFs::Remove(const std::string& path) { return Keep(path) && target().Remove(path); }

bool RollbackFs::Link(const std::string& existing, const std::string& newPath) {
  return Keep(newPath) && target().Link(existing, newPath);
}

}  // namespace barvane
