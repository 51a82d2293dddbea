// The in-memory file system of the fuzz targets.
#include "memory_fs.h"

#include <algorithm>
#include <cstring>

namespace barvane::fuzz {
namespace {

std::string Tidy(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out.empty() ? "/" : out;
}

std::string ParentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

class MemoryReadable final : public ReadableFile {
 public:
  explicit MemoryReadable(Bytes bytes) : bytes_(std::move(bytes)) {}
  bool ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* buffer, std::size_t* got) override {
    *got = offset >= bytes_.size() ? 0 : std::min<std::size_t>(n, bytes_.size() - offset);
    if (*got) std::memcpy(buffer, bytes_.data() + offset, *got);
    return true;
  }
  bool Size(std::uint64_t* size) override {
    *size = bytes_.size();
    return true;
  }

 private:
  Bytes bytes_;
};

class MemoryWritable final : public WritableFile {
 public:
  MemoryWritable(MemoryFs& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  bool Append(const std::uint8_t* data, std::size_t n) override {
    if (!fs_.Step()) return false;
    Bytes& bytes = fs_.files[path_];
    bytes.insert(bytes.end(), data, data + n);
    return true;
  }
  bool Sync() override { return fs_.Step(); }
  bool Close() override { return fs_.Step(); }

 private:
  MemoryFs& fs_;
  std::string path_;
};

}  // namespace

std::string MemoryFs::Resolve(const std::string& path) const {
  std::string resolved = Tidy(path);
  // Links lead to directories given whole, so a few rounds resolve any chain a tree can hold.
  for (int round = 0; round < 8; ++round) {
    bool changed = false;
    for (const auto& [link, target] : links) {
      if (resolved == link || resolved.starts_with(link + "/")) {
        resolved = Tidy(target + resolved.substr(link.size()));
        changed = true;
        break;
      }
    }
    if (!changed) break;
  }
  return resolved;
}

std::unique_ptr<ReadableFile> MemoryFs::OpenForRead(const std::string& path) {
  const auto it = files.find(Resolve(path));
  return it == files.end() ? nullptr : std::make_unique<MemoryReadable>(it->second);
}

std::unique_ptr<WritableFile> MemoryFs::CreateForWrite(const std::string& path) {
  if (!Step() || !IsDirectory(ParentOf(Tidy(path)))) return nullptr;
  files[Resolve(path)].clear();
  return std::make_unique<MemoryWritable>(*this, Resolve(path));
}

std::unique_ptr<WritableFile> MemoryFs::CreateExclusive(const std::string& path) {
  const std::string tidy = Tidy(path);
  if (links.count(tidy) || dirs.count(tidy)) return nullptr;
  return CreateForWrite(tidy);
}

bool MemoryFs::Rename(const std::string& from, const std::string& to) {
  if (!Step()) return false;
  const auto it = files.find(Resolve(from));
  if (it == files.end() || dirs.count(Tidy(to))) return false;
  Bytes bytes = std::move(it->second);
  files.erase(it);
  links.erase(Tidy(to));
  files[Resolve(to)] = std::move(bytes);
  return true;
}

bool MemoryFs::Remove(const std::string& path) {
  return Step() && (files.erase(Tidy(path)) + links.erase(Tidy(path))) != 0;
}

bool MemoryFs::CreateDirectory(const std::string& path) {
  if (!IsDirectory(ParentOf(Tidy(path)))) return false;
  dirs.insert(Resolve(path));
  return true;
}

bool MemoryFs::ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) {
  entries->clear();
  const std::string resolved = Resolve(dir);
  if (!dirs.count(resolved)) return false;
  auto childName = [&](const std::string& path) -> std::string {
    if (path == resolved || ParentOf(path) != resolved) return {};
    return path.substr(path.rfind('/') + 1);
  };
  for (const auto& [path, bytes] : files) {
    if (auto name = childName(path); !name.empty()) entries->push_back({name, DirEntry::Kind::kFile});
  }
  for (const std::string& path : dirs) {
    if (auto name = childName(path); !name.empty()) entries->push_back({name, DirEntry::Kind::kDirectory});
  }
  for (const auto& [path, target] : links) {
    if (auto name = childName(path); !name.empty()) entries->push_back({name, DirEntry::Kind::kOther});
  }
  return true;
}

bool MemoryFs::Describe(const std::string& resolved, FileInfo* info) {
  if (files.count(resolved)) {
    info->kind = DirEntry::Kind::kFile;
    info->size = files[resolved].size();
  } else if (dirs.count(resolved)) {
    info->kind = DirEntry::Kind::kDirectory;
    info->size = 0;
  } else {
    return false;
  }
  const auto inode = inodes_.emplace(resolved, inodes_.size() + 1).first->second;
  info->identity = {1, inode};
  return true;
}

bool MemoryFs::Stat(const std::string& path, FileInfo* info) { return Describe(Resolve(path), info); }

bool MemoryFs::StatNoFollow(const std::string& path, FileInfo* info) {
  const std::string tidy = Tidy(path);
  if (links.count(tidy)) {
    info->kind = DirEntry::Kind::kOther;
    info->identity = {2, inodes_.emplace("link:" + tidy, inodes_.size() + 1).first->second};
    return true;
  }
  if (tidy == "/") return Describe(tidy, info);
  const std::string parent = Resolve(ParentOf(tidy));
  const std::string name = tidy.substr(tidy.rfind('/') + 1);
  return Describe(parent == "/" ? "/" + name : parent + "/" + name, info);
}

std::unique_ptr<DirectoryLock> MemoryFs::TryLockDirectory(const std::string& dir, LockMode,
                                                          FileIdentity* identity, bool* busy) {
  *busy = false;
  FileInfo info;
  if (!Stat(dir, &info) || info.kind != DirEntry::Kind::kDirectory) return nullptr;
  *identity = info.identity;
  return std::make_unique<DirectoryLock>();
}

std::string MemoryFs::RealPath(const std::string& path) {
  const std::string resolved = Resolve(path);
  return files.count(resolved) || dirs.count(resolved) ? resolved : std::string();
}

bool MemoryFs::ListMounts(std::vector<MountEntry>* mounts) {
  *mounts = {{"/", "memfs"}};
  return true;
}

}  // namespace barvane::fuzz
