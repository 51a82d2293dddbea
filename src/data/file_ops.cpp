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
  if (HasKind(fs, dir + name, kind)) return dir + name;
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

bool ReadWholeFile(FileSystem& fs, const std::string& path, Bytes* contents) {
  contents->clear();
  auto file = fs.OpenForRead(path);
  std::uint64_t size = 0;
  if (!file || !file->Size(&size)) return false;
  contents->resize(static_cast<std::size_t>(size));
  std::size_t got = 0;
  if (!file->ReadAt(0, contents->size(), contents->data(), &got)) {
    contents->clear();
    return false;
  }
  contents->resize(got);
  return true;
}

bool ReplaceFile(FileSystem& fs, const std::string& path, const std::string& temporaryPath,
                 const Bytes& contents) {
  auto file = fs.CreateForWrite(temporaryPath);
  if (!file) return false;
  bool ok = file->Append(contents.data(), contents.size());
  ok = ok && file->Sync();
  ok = file->Close() && ok;
  file.reset();
  ok = ok && fs.Rename(temporaryPath, path);
  if (!ok) {
    (void)fs.Remove(temporaryPath);
    return false;
  }
  // The new content is in place; a failed directory flush only weakens its durability.
  (void)fs.SyncDirectory(DirectoryOf(path));
  return true;
}

bool WriteFileSafely(FileSystem& fs, const std::string& target, const Bytes& contents) {
  return ReplaceFile(fs, target, CopyTemporaryPath(target), contents);
}

bool RemoveIfPresent(FileSystem& fs, const std::string& path) {
  if (!fs.IsRegularFile(path)) return true;
  return fs.Remove(path);
}

}  // namespace barvane
