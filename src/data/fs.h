// The file system as the data routines see it: the one narrow interface through which every
// file effect of the program passes. Tests substitute an implementation that fails or stops at
// a chosen step; FileSystemWrapper forwards everything, so a double overrides only what it fakes.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace barvane {

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to `n` bytes at `offset` into `buffer`; `*got` tells how many were read (fewer
  // at the end of the file). Returns false on an I/O error.
  [[nodiscard]] virtual bool ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* buffer,
                                    std::size_t* got) = 0;
  [[nodiscard]] virtual bool Size(std::uint64_t* size) = 0;
};

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  [[nodiscard]] virtual bool Append(const std::uint8_t* data, std::size_t n) = 0;
  // Flushes what was appended to the disk.
  [[nodiscard]] virtual bool Sync() = 0;
  [[nodiscard]] virtual bool Close() = 0;
};

struct DirEntry {
  enum class Kind { kFile, kDirectory, kOther };
  std::string name;
  Kind kind = Kind::kOther;
};

// What tells one file or directory from every other on the machine, whatever the path to it.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

struct FileInfo {
  DirEntry::Kind kind = DirEntry::Kind::kOther;  // a symbolic link not followed is kOther
  FileIdentity identity;
  std::uint64_t size = 0;
};

// An advisory lock on a directory, held until the object is destroyed. Only programs that
// take the same locks are kept out; the files stay writable to everyone else.
class DirectoryLock {
 public:
  virtual ~DirectoryLock() = default;
};

enum class LockMode { kShared, kExclusive };

struct MountEntry {
  std::string mountPoint;  // absolute, without a trailing "/" (the root is "/")
  std::string type;        // "ext4", "proc", "tmpfs", ...
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The real file system of this machine.
  static FileSystem& Default();

  // Opens a regular file (a symbolic link to one followed) for reading without ever waiting
  // on it; null when it cannot be opened or is not a regular file (a FIFO, a device, ...).
  virtual std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) = 0;
  // Creates or truncates `path`, the file a user chose to write; null when that fails.
  virtual std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) = 0;
  // Like CreateForWrite, but an existing regular file is not cut to nothing first: the bytes
  // appended replace it from its start, and closing the file, or dropping it unclosed, cuts it
  // where they end. A file rewritten with about as many bytes keeps its disk space instead of
  // giving it up and taking it again (after which some file systems force the new bytes to
  // disk at the close). The file ends as CreateForWrite would leave it, unless the system stops
  // in between. Unless a file system overrides this, it is CreateForWrite (a wrapper's own).
  virtual std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) {
    return CreateForWrite(path);
  }
  // Creates `path` as a new file, exclusively and never through a symbolic link: the way every
  // temporary file is made. A regular file of this user with no other name standing there (a
  // leftover of a stopped command) is removed first; a link, a file of another user or anything
  // else there makes the call fail and stays as it was. Null on failure.
  virtual std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) = 0;
  // Opens the existing regular file `path` of this user that has no other name, never through a
  // symbolic link, to be rewritten as OpenForRewrite rewrites a file. Null where that cannot be
  // done (no such file, anything else there, no support here).
  virtual std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) {
    (void)path;
    return nullptr;
  }
  // Opens the existing regular file `path`, never through a symbolic link, to add bytes at its
  // end. Null where that cannot be done (no such file, anything else there, no support here),
  // so that a caller writes a file of its own instead.
  virtual std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) {
    (void)path;
    return nullptr;
  }
  // Replaces `to` with `from` in one atomic step.
  [[nodiscard]] virtual bool Rename(const std::string& from, const std::string& to) = 0;
  [[nodiscard]] virtual bool Remove(const std::string& path) = 0;
  // Gives the regular file `existing` the further name `newPath` on the same file system (a hard
  // link), replacing nothing at `newPath`. A link or anything else but a regular file at
  // `existing` is refused. False where it cannot be done (another file system, no support here),
  // so that a caller copies the bytes instead.
  [[nodiscard]] virtual bool Link(const std::string& existing, const std::string& newPath) {
    (void)existing;
    (void)newPath;
    return false;
  }
  // Creates the directory `path` (its parent must exist); true when it exists afterwards.
  [[nodiscard]] virtual bool CreateDirectory(const std::string& path) = 0;
  // Flushes the directory's entries (after a rename) to the disk.
  [[nodiscard]] virtual bool SyncDirectory(const std::string& dir) = 0;
  // Flushes to the disk what was written to each of `paths` (closed regular files, or
  // directories for their entries) and, unless null, to the open file `open` of this file
  // system, asking for every flush at once: the wait is about that of the slowest instead of
  // their sum. True when all are flushed; a path that is a link or anything else fails the call.
  [[nodiscard]] virtual bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) = 0;
  // The entries of `dir` without "." and "..", in the order the system gives them.
  [[nodiscard]] virtual bool ListDirectory(const std::string& dir,
                                           std::vector<DirEntry>* entries) = 0;
  // True when `path` names a regular file (symbolic links followed).
  virtual bool IsRegularFile(const std::string& path) = 0;
  virtual bool IsDirectory(const std::string& path) = 0;
  // What `path` leads to, symbolic links followed; false when it leads nowhere.
  [[nodiscard]] virtual bool Stat(const std::string& path, FileInfo* info) = 0;
  // What stands at `path` itself, a symbolic link not followed; false when nothing does.
  [[nodiscard]] virtual bool StatNoFollow(const std::string& path, FileInfo* info) = 0;
  // Takes a lock of `mode` on the directory `dir` (links followed) without waiting. On success
  // fills `*identity` with the directory's. Null when the directory cannot be opened, or when
  // another holder's lock conflicts: `*busy` then tells which.
  virtual std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode mode,
                                                          FileIdentity* identity, bool* busy) = 0;
  // Every mounted file system, pseudo ones included, in the system's order.
  [[nodiscard]] virtual bool ListMounts(std::vector<MountEntry>* mounts) = 0;
  // The process's working directory; empty when it cannot be had.
  virtual std::string CurrentDirectory() = 0;
  // `path` absolute, with every symbolic link, "." and ".." resolved; empty when it does not
  // exist or cannot be resolved.
  virtual std::string RealPath(const std::string& path) = 0;
  // The name under which the entry at `path` is stored, asked of a system whose names ignore
  // letter case (Windows); empty when nothing is there. Null where names tell case apart, so
  // that only a listing of the directory finds a name in another case.
  virtual std::optional<std::string> StoredName(const std::string& path) {
    (void)path;
    return std::nullopt;
  }
};

// The value of the environment variable `name` as UTF-8; empty when it is not set.
std::string EnvironmentVariable(const std::string& name);

// `time` as local calendar time, safely from any thread; false when the system cannot tell it.
bool LocalTime(std::time_t time, std::tm* local);

// Makes standard output and error pass every byte as written: Windows would otherwise write
// each line end as CR LF. Sends the console UTF-8.
void PassStandardOutputBytes();

// Where the program keeps a user's own data: $XDG_DATA_HOME (else ~/.local/share) on Unix,
// %LOCALAPPDATA% on Windows. Empty when the system tells neither.
std::string UserDataDirectory();

class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem& target) : target_(target) {}

  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    return target_.OpenForRead(path);
  }
  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    return target_.CreateForWrite(path);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    return target_.CreateExclusive(path);
  }
  std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) override {
    return target_.ReopenForRewrite(path);
  }
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    return target_.OpenForAppend(path);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return target_.Rename(from, to);
  }
  bool Remove(const std::string& path) override { return target_.Remove(path); }
  bool Link(const std::string& existing, const std::string& newPath) override {
    return target_.Link(existing, newPath);
  }
  bool CreateDirectory(const std::string& path) override { return target_.CreateDirectory(path); }
  bool SyncDirectory(const std::string& dir) override { return target_.SyncDirectory(dir); }
  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override {
    return target_.SyncFiles(paths, open);
  }
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    return target_.ListDirectory(dir, entries);
  }
  bool IsRegularFile(const std::string& path) override { return target_.IsRegularFile(path); }
  bool IsDirectory(const std::string& path) override { return target_.IsDirectory(path); }
  bool Stat(const std::string& path, FileInfo* info) override { return target_.Stat(path, info); }
  bool StatNoFollow(const std::string& path, FileInfo* info) override {
    return target_.StatNoFollow(path, info);
  }
  std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode mode,
                                                  FileIdentity* identity, bool* busy) override {
    return target_.TryLockDirectory(dir, mode, identity, busy);
  }
  bool ListMounts(std::vector<MountEntry>* mounts) override { return target_.ListMounts(mounts); }
  std::string CurrentDirectory() override { return target_.CurrentDirectory(); }
  std::string RealPath(const std::string& path) override { return target_.RealPath(path); }
  std::optional<std::string> StoredName(const std::string& path) override { return target_.StoredName(path); }

 protected:
  FileSystem& target() { return target_; }

 private:
  FileSystem& target_;
};

}  // namespace barvane
