// Drives: one per mounted real file system, named by its mount point and listed as
// "Drive: " + mount point, and the choice of the drive to walk.
#pragma once

#include <string>
#include <vector>

#include "data/fs.h"

namespace barvane {

// "Drive: /home" for the drive mounted at /home, as the drive list shows it.
std::string DriveEntryText(const std::string& mountPoint);

// Whether a mount is a pseudo file system (proc, sysfs, cgroup, devpts, tmpfs under /run ...)
// rather than a place that can hold portfolios.
bool IsPseudoFileSystem(const MountEntry& mount);

// The mount points of the real file systems, once each, in the drive list's order.
std::vector<std::string> ListDrives(FileSystem& fs);

// The drive that holds `path`: the longest mount point of `drives` that is `path` or one of its
// ancestors; empty when `path` is not absolute or lies on no listed drive.
std::string DriveOfPath(const std::vector<std::string>& drives, const std::string& path);

// The drive to walk at start-up: the saved one when it is listed (else the last listed); with
// nothing saved, the drive of the working directory (else the last listed). Empty when no
// drive is listed.
std::string ChooseDrive(const std::vector<std::string>& drives, const std::string& saved,
                        const std::string& workingDirectory);

}  // namespace barvane
