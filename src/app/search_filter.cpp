// The search filter's test and checks.
#include "app/search_filter.h"

#include "app/drives.h"
#include "app/list_order.h"

namespace barvane {

SearchFilter SearchFilter::Make(bool limit, const std::string& path) {
  return SearchFilter{limit, path, AsciiUpper(path)};
}

bool SearchFilter::Passes(const std::string& dir) const {
  if (!limit) return true;
  const std::string upper = AsciiUpper(dir);
  return upper.find(pathUpper) != std::string::npos || pathUpper.find(upper) != std::string::npos;
}

bool FilterPathAcceptable(const std::vector<std::string>& drives, const std::string& path) {
  return !DriveOfPath(drives, path).empty();
}

bool FilterChanged(const SearchFilter& before, const SearchFilter& after) {
  return before.limit != after.limit || (after.limit && before.pathUpper != after.pathUpper);
}

std::string DriveForRescan(const std::vector<std::string>& drives, const SearchFilter& filter,
                           const std::string& workingDirectory) {
  const std::string drive = DriveOfPath(drives, filter.path);
  return drive.empty() ? ChooseDrive(drives, {}, workingDirectory) : drive;
}

}  // namespace barvane
