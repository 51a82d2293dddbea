// Lookup, whole reads and crash-safe replacement over FileSystem.
#include "data/file_ops.h"

#include <algorithm>

#include "data/file_names.h"

namespace barvane {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
           return lower(x) == lower(y);
         });
}

bool HasKind(FileSystem& fs, const std::string& path, DirEntry::Kind kind) {
  return kind == DirEntry::Kind::kDirectory ? fs.IsDirectory(path) : fs.IsRegularFile(path);
}

}  // namespace

std::string FindNoCase(FileSystem& fs, const std::string& dir, const std::string& name,
                       DirEntry::Kind kind) {
  // A system whose names ignore case knows the stored name without a listing.
  if (const auto stored = fs.StoredName(dir + name)) {
    // A match through an old MS-DOS short name ("MASTER~1") is no match.
    if (stored->empty() || !EqualsIgnoringCase(*stored, name) || !HasKind(fs, dir + *stored, kind)) return {};
    return dir + *stored;
  }
#ifndef _WIN32
  // Windows would find the name in any case here and hide how it is stored.
  if (HasKind(fs, dir + name, kind)) return dir + name;
#endif
  std::vector<DirEntry> entries;
  if (!fs.ListDirectory(dir, &entries)) return {};
  std::string best;
  for (const DirEntry& entry : entries) {
    if (!EqualsIgnoringCase(entry.name, name)) continue;
    // Listings do not resolve symbolic links, so the kind is checked on the path.
    if (!HasKind(fs, dir + entry.name, kind)) continue;
    if (best.empty() || entry.name < best) best = entry.name;
  }
  return best.empty() ? std::string() : dir + best;
}

std::string ResolveNoCase(FileSystem& fs, const std::string& dir, const std::string& name) {
  std::string found = FindNoCase(fs, dir, name);
  return found.empty() ? dir + name : found;
}

bool ReadWholeFile(FileSystem& fs, const std::string& path, Bytes* contents,
                   std::uint64_t largest) {
  contents->clear();
  auto file = fs.OpenForRead(path);
  std::uint64_t size = 0;
  if (!file || !file->Size(&size) || size > largest) return false;
  // One byte more than the size tells a file that grew since: it is refused, not cut.
  contents->resize(static_cast<std::size_t>(size) + 1);
  std::size_t got = 0;
  if (!file->ReadAt(0, contents->size(), contents->data(), &got) || got > size) {
    contents->clear();
    return false;
  }
  contents->resize(got);
  return true;
}

bool ReplaceFile(FileSystem& fs, const std::string& path, const std::string& temporaryPath,
                 const Bytes& contents, const Bytes* expected) {
  auto file = fs.CreateExclusive(temporaryPath);
  if (!file) return false;
  bool ok = file->Append(contents.data(), contents.size());
  ok = ok && file->Sync();
  ok = file->Close() && ok;
  file.reset();
  // Checked last, so that the file can change unseen only while it is being renamed.
  if (ok && expected) {
    Bytes now;
    ok = ReadWholeFile(fs, path, &now, expected->size()) && now == *expected;
  }
  ok = ok && fs.Rename(temporaryPath, path);
  if (!ok) {
    (void)fs.Remove(temporaryPath);
    return false;
  }
  // The new content is in place; a failed directory flush only weakens its durability.
  (void)fs.SyncDirectory(DirectoryOf(path));
  return true;
}

PendingBackup::~PendingBackup() {
  if (!temporaryPath_.empty()) (void)fs_.Remove(temporaryPath_);
}

bool PendingBackup::Write(const std::string& backupPath, const Bytes& contents) {
  const std::string temporaryPath = CopyTemporaryPath(backupPath);
  auto file = fs_.CreateExclusive(temporaryPath);
  if (!file) return false;
  bool ok = file->Append(contents.data(), contents.size());
  ok = ok && file->Sync();
  ok = file->Close() && ok;
  if (!ok) {
    file.reset();
    (void)fs_.Remove(temporaryPath);
    return false;
  }
  backupPath_ = backupPath;
  temporaryPath_ = temporaryPath;
  return true;
}

bool PendingBackup::Commit() {
  if (temporaryPath_.empty()) return false;
  std::optional<Bytes> previous;
  if (fs_.IsRegularFile(backupPath_)) {
    Bytes bytes;
    if (!ReadWholeFile(fs_, backupPath_, &bytes)) return false;
    previous = std::move(bytes);
  }
  if (!fs_.Rename(temporaryPath_, backupPath_)) return false;
  temporaryPath_.clear();
  committed_ = true;
  previous_ = std::move(previous);
  (void)fs_.SyncDirectory(DirectoryOf(backupPath_));
  return true;
}

bool PendingBackup::Revert() {
  if (!committed_) return true;
  const bool ok = previous_ ? ReplaceFile(fs_, backupPath_, CopyTemporaryPath(backupPath_), *previous_)
                            : RemoveIfPresent(fs_, backupPath_);
  if (ok) {
    committed_ = false;
    previous_.reset();
  }
  return ok;
}

bool WriteFileSafely(FileSystem& fs, const std::string& target, const Bytes& contents) {
  return ReplaceFile(fs, target, CopyTemporaryPath(target), contents);
}

bool CreateDirectories(FileSystem& fs, const std::string& dir) {
  if (dir.empty() || fs.IsDirectory(dir)) return true;
  const std::string parent = DirectoryOf(WithoutTrailingSlash(dir));
  if (!parent.empty() && parent != dir && !CreateDirectories(fs, WithoutTrailingSlash(parent))) return false;
  return fs.CreateDirectory(WithoutTrailingSlash(dir));
}

bool RemoveIfPresent(FileSystem& fs, const std::string& path) {
  if (!fs.IsRegularFile(path)) return true;
  if (!fs.Remove(path)) return false;
  // Without the flush a power loss could bring the file back after what follows is on disk.
  (void)fs.SyncDirectory(DirectoryOf(path));
  return true;
}

bool MakeDirectories(FileSystem& fs, const std::string& dir) {
  const std::string path = WithoutTrailingSlash(dir);
  if (path.empty() || fs.IsDirectory(path)) return !path.empty();
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash >= RootLength(path) && !MakeDirectories(fs, path.substr(0, slash))) {
    return false;
  }
  return fs.CreateDirectory(path);
}


}  // namespace barvane
