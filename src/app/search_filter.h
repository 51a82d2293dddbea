// The portfolio search filter: when on, the walk enters only the paths on the way to the filter
// path and those that contain it (compared as upper-case text, not by path components).
#pragma once

#include <string>
#include <vector>

namespace barvane {

inline constexpr const char* kUnknownFilterDriveText =
    "The Search Filter path refers to an unknown drive";

struct SearchFilter {
  bool limit = false;
  std::string path;       // as the user typed it
  std::string pathUpper;  // the form the test compares

  static SearchFilter Make(bool limit, const std::string& path);

  // Whether the walk may enter `dir`.
  bool Passes(const std::string& dir) const;
};

// A filter path is acceptable when it is absolute and lies on a listed drive.
bool FilterPathAcceptable(const std::vector<std::string>& drives, const std::string& path);

// Whether the filter changed: the limit differs, or it is on and the path differs ignoring case.
bool FilterChanged(const SearchFilter& before, const SearchFilter& after);

// The drive that the rescan after a filter change walks: the drive of the filter path, else
// the drive of the working directory, else the last listed.
std::string DriveForRescan(const std::vector<std::string>& drives, const SearchFilter& filter,
                           const std::string& workingDirectory);

}  // namespace barvane
