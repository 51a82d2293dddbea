// A file system held in memory for the fuzz targets: files, directories and directory links,
// built from the fuzzer's bytes, with an optional failure at one chosen changing call. Paths
// are absolute; a directory link stands for the directory it names.
#pragma once

#include <map>
#include <set>
#include <string>

#include "data/file_ops.h"
#include "data/fs.h"

namespace barvane::fuzz {

class MemoryFs final : public FileSystem {
 public:
  std::map<std::string, Bytes> files;         // path -> bytes
  std::set<std::string> dirs{"/"};            // without a trailing "/" (the root is "/")
  std::map<std::string, std::string> links;   // link path -> the directory it leads to
  int failAt = 0;  // the changing call (1, 2, ...) that fails; 0: none
  int calls = 0;

  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override;
  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override;
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool SyncDirectory(const std::string&) override { return true; }
  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override {
    if (open && !open->Sync()) return false;
    for (const std::string& path : paths) {
      if (!IsRegularFile(path) && !IsDirectory(path)) return false;
    }
    return true;
  }
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override;
  bool IsRegularFile(const std::string& path) override { return files.count(Resolve(path)) != 0; }
  bool IsDirectory(const std::string& path) override { return dirs.count(Resolve(path)) != 0; }
  bool Stat(const std::string& path, FileInfo* info) override;
  bool StatNoFollow(const std::string& path, FileInfo* info) override;
  std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode,
                                                  FileIdentity* identity, bool* busy) override;
  bool ListMounts(std::vector<MountEntry>* mounts) override;
  std::string CurrentDirectory() override { return "/"; }
  std::string RealPath(const std::string& path) override;

  // `path` tidied ("//" and a trailing "/" dropped) with every directory link resolved.
  std::string Resolve(const std::string& path) const;
  // Whether the next changing call may go ahead.
  bool Step() { return ++calls != failAt; }

 private:
  bool Describe(const std::string& resolved, FileInfo* info);
  std::map<std::string, std::uint64_t> inodes_;
};

}  // namespace barvane::fuzz
