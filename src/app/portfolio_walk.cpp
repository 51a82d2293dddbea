// The drive walk with an explicit stack, so no depth of tree can overflow anything.
#include "app/portfolio_walk.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>

#include "app/list_order.h"
#include "data/directory_visits.h"
#include "data/file_names.h"

namespace barvane {
namespace {

// The progress window needs a repaint now and then, not for each of 50,000 directories.
constexpr std::chrono::milliseconds kProgressInterval{40};

bool IsMasterName(const std::string& name) { return AsciiUpper(name) == kMasterName; }

}  // namespace

std::vector<std::string> WalkDirectory(FileSystem& fs, const std::string& root,
                                       const SearchFilter& filter, Ui& ui) {
  std::vector<std::string> found;
  const std::string start = WithoutTrailingSlash(root);
  std::set<std::string> otherMounts;
  std::vector<MountEntry> mounts;
  if (fs.ListMounts(&mounts)) {
    for (const MountEntry& m : mounts) otherMounts.insert(m.mountPoint);
  }
  // Mount points are absolute and tidy; a root given as "." or "/a/../b" is compared in that
  // form, so that the walk notices a mount below it all the same.
  std::error_code ignored;
  const std::u8string tidy = std::filesystem::absolute(std::u8string(start.begin(), start.end()), ignored)
                                 .lexically_normal()
                                 .generic_u8string();
  const std::string absoluteStart = WithoutTrailingSlash(std::string(tidy.begin(), tidy.end()));
  otherMounts.erase(absoluteStart);
  auto isOtherMount = [&](const std::string& child) {
    std::string below = child.substr(start.size());
    if (!below.empty() && below[0] == '/') below.erase(0, 1);
    return otherMounts.count(JoinPath(absoluteStart, below)) != 0;
  };

  using Clock = std::chrono::steady_clock;
  Clock::time_point lastReport = Clock::now() - kProgressInterval;
  DirectoryVisits visits(fs);
  (void)visits.EnterStart(start);
  std::vector<std::string> pending{start};
  std::vector<DirEntry> entries;
  std::vector<std::string> subdirs;
  while (!pending.empty()) {
    const std::string dir = std::move(pending.back());
    pending.pop_back();
    const Clock::time_point now = Clock::now();
    if (now - lastReport >= kProgressInterval) {
      lastReport = now;
      if (!ui.ShowScanProgress(dir, static_cast<int>(found.size()))) break;
    }
    if (!fs.ListDirectory(dir, &entries)) continue;
    subdirs.clear();
    bool hasMaster = false;
    for (const DirEntry& entry : entries) {
      // A link is resolved only when it is named MASTER, so the walk still stats almost nothing.
      if (IsMasterName(entry.name) &&
          (entry.kind == DirEntry::Kind::kFile ||
           (entry.kind == DirEntry::Kind::kOther && fs.IsRegularFile(JoinPath(dir, entry.name))))) {
        hasMaster = true;
      }
      if (entry.kind != DirEntry::Kind::kDirectory || entry.name[0] == '.') continue;
      std::string child = JoinPath(dir, entry.name);
      if (isOtherMount(child) || !filter.Passes(child) || !visits.Enter(child)) continue;
      subdirs.push_back(std::move(child));
    }
    if (hasMaster) {
      found.push_back(dir);
      if (!ui.ShowScanProgress(dir, static_cast<int>(found.size()))) break;
    }
    // The last listed subdirectory is walked first.
    for (std::string& child : subdirs) pending.push_back(std::move(child));
  }
  return found;
}

std::vector<std::string> PortfolioListOrder(std::vector<std::string> found) {
  std::sort(found.begin(), found.end(), ListOrderLess);
  return found;
}

std::string NoPortfoliosText(const std::string& drive) {
  return "No master files found on drive " + drive +
         "\n\n(Is your Portfolio Search Filter setting correct?)";
}

}  // namespace barvane
