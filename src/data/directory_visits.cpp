// The rule for entering directories.
#include "data/directory_visits.h"

namespace barvane {

bool DirectoryVisits::EnterStart(const std::string& path) {
  FileInfo info;
  return fs_.Stat(path.empty() ? "." : path, &info) && Visit(info);
}

bool DirectoryVisits::Enter(const std::string& path) {
  FileInfo info;
  return fs_.StatNoFollow(path, &info) && Visit(info);
}

bool DirectoryVisits::Visit(const FileInfo& info) {
  return info.kind == DirEntry::Kind::kDirectory && visited_.insert(info.identity).second;
}

}  // namespace barvane
