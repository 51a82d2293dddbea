// DirectoryVisits: the one rule by which every descent through directories (the search of a
// portfolio's sub-portfolios, the walk of a drive) enters a directory: only a real directory,
// never a symbolic link to one, and each directory at most once, known by device and inode.
// So no link leads a search out of its tree, and no crafted tree makes one loop or repeat.
#pragma once

#include <set>
#include <string>

#include "data/fs.h"

namespace barvane {

class DirectoryVisits {
 public:
  explicit DirectoryVisits(FileSystem& fs) : fs_(fs) {}

  // Counts the directory a descent starts from as visited; given by the user, it may be
  // reached through a link. False when it is no directory.
  bool EnterStart(const std::string& path);
  // Whether the descent may enter `path`: a real directory not visited before. If so, counts
  // it as visited.
  bool Enter(const std::string& path);

 private:
  bool Visit(const FileInfo& info);

  FileSystem& fs_;
  std::set<FileIdentity> visited_;
};

}  // namespace barvane
