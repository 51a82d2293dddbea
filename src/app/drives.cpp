// The drive list from the system's mounts.
#include "app/drives.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "app/list_order.h"
#include "data/file_names.h"

namespace barvane {
namespace {

bool IsBelow(const std::string& path, const std::string& dir) {
  return path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 &&
         (dir.back() == '/' || path[dir.size()] == '/');
}

// Windows takes "d:/" for "D:/"; the drive list may name it either way.
std::string WithUpperDriveLetter(std::string path) {
  if (RootLength(path) == 3) path[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  return path;
}

}  // namespace

std::string DriveEntryText(const std::string& mountPoint) { return "Drive: " + mountPoint; }

bool IsPseudoFileSystem(const MountEntry& mount) {
  static const std::set<std::string> kPseudoTypes = {
      "proc",      "sysfs",    "devtmpfs",  "devpts",     "cgroup",     "cgroup2",
      "mqueue",    "debugfs",  "tracefs",   "securityfs", "pstore",     "bpf",
      "configfs",  "fusectl",  "hugetlbfs", "autofs",     "binfmt_misc", "efivarfs",
      "rpc_pipefs", "nsfs",    "selinuxfs", "ramfs",      "fuse.gvfsd-fuse", "fuse.portal"};
  if (kPseudoTypes.count(mount.type)) return true;
  for (const char* system : {"/proc", "/sys", "/dev", "/run"}) {
    if (mount.mountPoint == system || IsBelow(mount.mountPoint, system)) {
      return mount.type == "tmpfs" || std::string(system) != "/run";
    }
  }
  return false;
}

std::vector<std::string> ListDrives(FileSystem& fs) {
  std::vector<MountEntry> mounts;
  std::vector<std::string> drives;
  if (!fs.ListMounts(&mounts)) return drives;
  for (const MountEntry& mount : mounts) {
    if (IsPseudoFileSystem(mount)) continue;
    if (std::find(drives.begin(), drives.end(), mount.mountPoint) == drives.end()) {
      drives.push_back(mount.mountPoint);
    }
  }
  std::sort(drives.begin(), drives.end(), [](const std::string& a, const std::string& b) {
    return ListOrderLess(DriveEntryText(a), DriveEntryText(b));
  });
  return drives;
}

std::string DriveOfPath(const std::vector<std::string>& drives, const std::string& path) {
  std::string best;
  if (!IsAbsolutePath(path)) return best;
  const std::string at = WithUpperDriveLetter(path);
  for (const std::string& drive : drives) {
    const std::string root = WithUpperDriveLetter(drive);
    if ((at == root || IsBelow(at, root)) && drive.size() >= best.size()) best = drive;
  }
  return best;
}

std::string ChooseDrive(const std::vector<std::string>& drives, const std::string& saved,
                        const std::string& workingDirectory) {
  if (drives.empty()) return {};
  const std::string wanted = saved.empty() ? DriveOfPath(drives, workingDirectory) : saved;
  if (std::find(drives.begin(), drives.end(), wanted) != drives.end()) return wanted;
  return drives.back();
}

}  // namespace barvane
