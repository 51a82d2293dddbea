// Portfolio file names.
#include "data/file_names.h"

#include <algorithm>

namespace barvane {
namespace {

constexpr std::string_view kExportTemporarySuffix = ".barvane-tmp";

std::string DataFileName(int fileNumber, const char* extension) {
  // Built piece by piece: GCC 12 warns falsely on a chain of operator+ here.
  std::string name = "F";
  name += std::to_string(fileNumber);
  name += '.';
  name += extension;
  return name;
}

}  // namespace

std::string QuoteFileName(int fileNumber) {
  return DataFileName(fileNumber, fileNumber > kLargestMasterFileNumber ? "MWD" : "DAT");
}
std::string LayoutFileName(int fileNumber) { return DataFileName(fileNumber, "DOP"); }
std::string QuoteBackupName(int fileNumber) { return DataFileName(fileNumber, "BAK"); }
std::string QuoteNewName(int fileNumber) { return DataFileName(fileNumber, "NEW"); }

std::string MasterBackupName() { return IndexBackupName(kMasterName); }
std::string MasterNewName() { return IndexNewName(kMasterName); }
std::string MasterSwapName() { return IndexSwapName(kMasterName); }
std::string IndexBackupName(const std::string& indexName) { return indexName + ".BAK"; }
std::string IndexNewName(const std::string& indexName) { return indexName + ".NEW"; }
std::string IndexSwapName(const std::string& indexName) { return indexName + ".~NU"; }

std::string RepairTemporaryPath(const std::string& masterPath) { return masterPath + ".bak"; }

std::string CopyTemporaryPath(const std::string& target) { return target + ".NEW"; }

std::string TemporaryTarget(const std::string& path) {
  const std::size_t slash = path.rfind('/') + 1;  // 0 without a folder
  const std::string name = path.substr(slash);
  if (name.size() > 5 && name[0] == 'F' && name.ends_with(".NEW") &&
      name.find_first_not_of("0123456789", 1) == name.size() - 4 && name.size() - 5 <= 5) {
    return path.substr(0, slash) + QuoteFileName(std::stoi(name.substr(1, name.size() - 5)));
  }
  for (const char* suffix : {".NEW", ".~NU", ".bak"}) {
    if (name.size() > 4 && name.ends_with(suffix)) return path.substr(0, path.size() - 4);
  }
  return {};
}

std::string ExportTemporaryPath(const std::string& path) {
  const std::size_t name = path.rfind('/') + 1;  // 0 without a folder
  return path.substr(0, name) + "." + path.substr(name) + std::string(kExportTemporarySuffix);
}

bool IsExportTemporaryName(std::string_view name) {
  return name.size() > 1 + kExportTemporarySuffix.size() && name.front() == '.' &&
         name.ends_with(kExportTemporarySuffix) && name.find('/') == std::string_view::npos;
}

std::size_t RootLength(std::string_view path) {
#ifdef _WIN32
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '/') return 3;
  if (path.size() > 2 && path[0] == '/' && path[1] == '/' && path[2] != '/') {
    const std::size_t serverEnd = path.find('/', 2);
    if (serverEnd == std::string_view::npos || serverEnd + 1 >= path.size() || path[serverEnd + 1] == '/') {
      return 0;  // a server without a share names no directory
    }
    const std::size_t shareEnd = path.find('/', serverEnd + 1);
    return shareEnd == std::string_view::npos ? path.size() : shareEnd + 1;
  }
#endif
  return !path.empty() && path[0] == '/' ? 1 : 0;
}

bool IsAbsolutePath(std::string_view path) { return RootLength(path) > 0; }

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string WithTrailingSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string WithoutTrailingSlash(std::string dir) {
  const std::size_t keep = std::max<std::size_t>(RootLength(dir), 1);
  while (dir.size() > keep && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace barvane
