// ListingCacheFs: the file system with each directory's listing read once and remembered, for
// passes over a whole portfolio (split search, export of every symbol) that look up many files
// of one directory whatever their letter case. A call through it that changes the disk forgets
// every listing (a path through a symbolic link names its directory two ways), so a lookup
// never misses a file made through it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "data/fs.h"

namespace barvane {

class ListingCacheFs final : public FileSystemWrapper {
 public:
  explicit ListingCacheFs(FileSystem& target) : FileSystemWrapper(target) {}

  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override;
  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool Link(const std::string& existing, const std::string& newPath) override;
  bool CreateDirectory(const std::string& path) override;

 private:
  std::map<std::string, std::vector<DirEntry>> listings_;  // by the directory's normal form
};

}  // namespace barvane
