// FileSystem on POSIX calls: the only place where the program talks to the operating system.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "data/fs.h"

namespace barvane {
namespace {

// /proc/self/mounts writes blanks, tabs, newlines and backslashes in paths as octal escapes.
std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

class PosixReadableFile final : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override { ::close(fd_); }

  bool ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* buffer,
              std::size_t* got) override {
    *got = 0;
    while (*got < n) {
      const ssize_t r = ::pread(fd_, buffer + *got, n - *got, static_cast<off_t>(offset + *got));
      if (r < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (r == 0) break;
      *got += static_cast<std::size_t>(r);
    }
    return true;
  }

  bool Size(std::uint64_t* size) override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
  }

 private:
  int fd_;
};

class PosixWritableFile final : public WritableFile {
 public:
  // With `cutAtClose` the file is cut where the appended bytes end when it is closed or dropped.
  explicit PosixWritableFile(int fd, bool cutAtClose = false) : fd_(fd), cutAtClose_(cutAtClose) {}
  ~PosixWritableFile() override {
    if (fd_ < 0) return;
    if (cutAtClose_) (void)::ftruncate(fd_, written_);
    ::close(fd_);
  }

  bool Append(const std::uint8_t* data, std::size_t n) override {
    while (n > 0) {
      const ssize_t w = ::write(fd_, data, n);
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += w;
      n -= static_cast<std::size_t>(w);
      written_ += w;
    }
    return true;
  }

  bool Sync() override { return ::fsync(fd_) == 0; }

  bool Close() override {
    const int fd = fd_;
    fd_ = -1;
    const bool cut = !cutAtClose_ || ::ftruncate(fd, written_) == 0;
    return ::close(fd) == 0 && cut;
  }

 private:
  int fd_;
  bool cutAtClose_;
  off_t written_ = 0;
};

class PosixDirectoryLock final : public DirectoryLock {
 public:
  explicit PosixDirectoryLock(int fd) : fd_(fd) {}
  // Closing the only descriptor of the directory releases its lock.
  ~PosixDirectoryLock() override { ::close(fd_); }

 private:
  int fd_;
};

int OpenExclusive(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

// How many flushes SyncFiles has waiting at once.
constexpr std::size_t kSyncThreads = 32;

// A file that a stopped command of this user left behind, which only this program would write.
bool IsOwnLeftover(const struct stat& st) {
  return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}

FileInfo InfoOf(const struct stat& st) {
  FileInfo info;
  info.kind = S_ISREG(st.st_mode)   ? DirEntry::Kind::kFile
              : S_ISDIR(st.st_mode) ? DirEntry::Kind::kDirectory
                                    : DirEntry::Kind::kOther;
  info.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  info.size = static_cast<std::uint64_t>(st.st_size);
  return info;
}

// The existing regular file `path` opened for writing with `flags` as well, never through a
// symbolic link; with `onlyName`, only a file of this user that has no other name. -1 when there is
// none such.
int OpenExistingFile(const std::string& path, int flags, bool onlyName) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | flags);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && (onlyName ? IsOwnLeftover(st) : S_ISREG(st.st_mode))) return fd;
  ::close(fd);
  return -1;
}

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    // Without O_NONBLOCK the open of a FIFO would wait for a writer that never comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixReadableFile>(fd);
  }

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
  }

  std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      // Nothing to cut: a device or a FIFO is written as CreateForWrite would.
      return std::make_unique<PosixWritableFile>(fd);
    }
    return std::make_unique<PosixWritableFile>(fd, true);
  }

  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    int fd = OpenExclusive(path);
    if (fd < 0 && errno == EEXIST) {
      struct stat st {};
      if (::lstat(path.c_str(), &st) == 0 && IsOwnLeftover(st) && ::unlink(path.c_str()) == 0) {
        fd = OpenExclusive(path);
      }
    }
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
  }

  std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) override {
    const int fd = OpenExistingFile(path, 0, true);
    return fd < 0 ? nullptr : std::make_unique<PosixWritableFile>(fd, true);
  }

  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    const int fd = OpenExistingFile(path, O_APPEND, false);
    return fd < 0 ? nullptr : std::make_unique<PosixWritableFile>(fd);
  }

  bool Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  bool Link(const std::string& existing, const std::string& newPath) override {
    // linkat without AT_SYMLINK_FOLLOW names the link itself, never its target; what was linked
    // is looked at afterwards, since `existing` may have been swapped meanwhile.
    if (::linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, newPath.c_str(), 0) != 0) return false;
    struct stat st {};
    if (::lstat(newPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
    ::unlink(newPath.c_str());
    return false;
  }

  bool CreateDirectory(const std::string& path) override {
    return ::mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && IsDirectory(path));
  }

  bool SyncDirectory(const std::string& dir) override {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
  }

  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override {
    // A file of a wrapper's is flushed through it, first; one of ours joins the others.
    auto* own = dynamic_cast<PosixWritableFile*>(open);
    if (open && !own && !open->Sync()) return false;
    // Each flush mostly waits for the disk; waiting together, they share its journal commits.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> ok{true};
    const auto work = [&] {
      for (std::size_t i = next++; i < paths.size(); i = next++) {
        const int fd = ::open(paths[i].c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        const bool synced = fd >= 0 && ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) &&
                            ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!synced) ok = false;
      }
    };
    std::vector<std::thread> helpers;
    const std::size_t threads = std::min(paths.size() + (own ? 1 : 0), kSyncThreads);
    for (std::size_t t = 1; t < threads; ++t) {
      try {
        helpers.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // fewer threads: the flushes take longer, not fail
      }
    }
    // The open file has the most bytes to write: its flush starts at once, not after another's.
    if (own && !own->Sync()) ok = false;
    work();
    for (std::thread& helper : helpers) helper.join();
    return ok;
  }

  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    entries->clear();
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return false;
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      DirEntry entry{name, DirEntry::Kind::kOther};
      unsigned char type = e->d_type;
      if (type == DT_UNKNOWN) {
        struct stat st {};
        const std::string full = dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
        if (::lstat(full.c_str(), &st) == 0) {
          type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
        }
      }
      if (type == DT_REG) entry.kind = DirEntry::Kind::kFile;
      if (type == DT_DIR) entry.kind = DirEntry::Kind::kDirectory;
      entries->push_back(std::move(entry));
    }
    ::closedir(d);
    return true;
  }

  bool IsRegularFile(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  bool IsDirectory(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool Stat(const std::string& path, FileInfo* info) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    *info = InfoOf(st);
    return true;
  }

  bool StatNoFollow(const std::string& path, FileInfo* info) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    *info = InfoOf(st);
    return true;
  }

  std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode mode,
                                                  FileIdentity* identity, bool* busy) override {
    *busy = false;
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    int locked = -1;
    if (::fstat(fd, &st) == 0) {
      do {
        locked = ::flock(fd, (mode == LockMode::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB);
      } while (locked != 0 && errno == EINTR);
      *busy = locked != 0 && errno == EWOULDBLOCK;
    }
    if (locked != 0) {
      ::close(fd);
      return nullptr;
    }
    *identity = InfoOf(st).identity;
    return std::make_unique<PosixDirectoryLock>(fd);
  }

  bool ListMounts(std::vector<MountEntry>* mounts) override {
    mounts->clear();
    std::ifstream in("/proc/self/mounts");
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
      std::istringstream fields(line);
      std::string device, point, type;
      if (!(fields >> device >> point >> type)) continue;
      MountEntry entry{UnescapeMountField(point), type};
      while (entry.mountPoint.size() > 1 && entry.mountPoint.back() == '/') entry.mountPoint.pop_back();
      mounts->push_back(std::move(entry));
    }
    return true;
  }

  std::string CurrentDirectory() override {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
  }

  std::string RealPath(const std::string& path) override {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
  }
};

}  // namespace

FileSystem& FileSystem::Default() {
  static PosixFileSystem fs;
  return fs;
}

std::string EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? std::string(value) : std::string();
}

void PassStandardOutputBytes() {}

bool LocalTime(std::time_t time, std::tm* local) { return ::localtime_r(&time, local) != nullptr; }

std::string UserDataDirectory() {
  const std::string dir = EnvironmentVariable("XDG_DATA_HOME");
  return dir.empty() ? EnvironmentVariable("HOME") + "/.local/share" : dir;
}

}  // namespace barvane
