// The walk of a drive for portfolios: every directory holding a MASTER file, found depth first
// without crossing into another mounted file system.
#pragma once

#include <string>
#include <vector>

#include "app/search_filter.h"
#include "app/ui.h"
#include "data/fs.h"

namespace barvane {

// Walks the drive mounted at (or the tree rooted at) `root` and returns the directories whose
// MASTER (in any letter case, a regular file or a link to one) was found, in the order found: depth first, each
// directory's subdirectories in the reverse of their listing order. Names beginning with "."
// are never entered, nor symbolic links (the rule of DirectoryVisits), other mounts, or directories the filter refuses (the
// root itself is never filtered); unreadable directories are skipped. Reports the directory
// being searched and each find through `ui` (throttled); stops early when `ui` asks to cancel.
// The root is written as given, without a trailing "/" unless it is "/".
std::vector<std::string> WalkDirectory(FileSystem& fs, const std::string& root,
                                       const SearchFilter& filter, Ui& ui);

// The found directories in the portfolio list's order.
std::vector<std::string> PortfolioListOrder(std::vector<std::string> found);

// The message of a scan that found nothing on `drive`.
std::string NoPortfoliosText(const std::string& drive);

}  // namespace barvane
