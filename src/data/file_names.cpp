// Portfolio file names.
#include "data/file_names.h"

namespace barvane {
namespace {

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

std::string WithTrailingSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string WithoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace barvane
