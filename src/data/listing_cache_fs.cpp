// Remembered directory listings.
#include "data/listing_cache_fs.h"

#include <filesystem>

namespace barvane {
namespace {

// One spelling for every way of naming a directory ("a/b", "a/b/", "a/./b/").
std::string NormalDirectory(const std::string& dir) {
  return (std::filesystem::path(dir) / "").lexically_normal().string();
}

}  // namespace

bool ListingCacheFs::ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) {
  const std::string key = NormalDirectory(dir);
  const auto known = listings_.find(key);
  if (known != listings_.end()) {
    *entries = known->second;
    return true;
  }
  if (!target().ListDirectory(dir, entries)) return false;
  listings_[key] = *entries;
  return true;
}

std::unique_ptr<WritableFile> ListingCacheFs::CreateForWrite(const std::string& path) {
  listings_.clear();
  return target().CreateForWrite(path);
}

bool ListingCacheFs::Rename(const std::string& from, const std::string& to) {
  listings_.clear();
  return target().Rename(from, to);
}

bool ListingCacheFs::Remove(const std::string& path) {
  listings_.clear();
  return target().Remove(path);
}

bool ListingCacheFs::Link(const std::string& existing, const std::string& newPath) {
  listings_.clear();
  return target().Link(existing, newPath);
}

bool ListingCacheFs::CreateDirectory(const std::string& path) {
  listings_.clear();
  return target().CreateDirectory(path);
}

}  // namespace barvane
