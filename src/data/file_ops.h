// The file operations that the data routines build on the FileSystem interface: lookup
// whatever the letter case, bounded whole-file reads, and the crash-safe replacement of a file
// with the backup of its old bytes put in place only once the replacement stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/fs.h"

namespace barvane {

using Bytes = std::vector<std::uint8_t>;

// The path of the entry of `dir` named `name` in any ASCII letter case (the exact name
// preferred), or empty when there is none. `dir` ends in "/" or is empty. Where the system
// ignores case it is asked for the stored name; elsewhere `dir` is listed.
std::string FindNoCase(FileSystem& fs, const std::string& dir, const std::string& name,
                       DirEntry::Kind kind = DirEntry::Kind::kFile);

// The existing file as FindNoCase finds it, else `dir` + `name` (for a file to be created).
std::string ResolveNoCase(FileSystem& fs, const std::string& dir, const std::string& name);

// No file the program reads whole is larger than this; the formats bound most far lower.
inline constexpr std::uint64_t kLargestWholeRead = std::uint64_t{64} << 20;

// Reads the whole of the regular file `path`, refusing one of more than `largest` bytes, so
// that a crafted or damaged file costs no more memory than the format allows. On failure
// leaves `*contents` empty.
[[nodiscard]] bool ReadWholeFile(FileSystem& fs, const std::string& path, Bytes* contents,
                                 std::uint64_t largest = kLargestWholeRead);

// Makes `contents` the content of `path` crash-safely: creates `temporaryPath` exclusively
// (never writing through whatever was planted there), writes it whole, flushes it, renames it
// over `path` in one step and flushes the directory. After a crash `path` holds its old or its
// new bytes, never a mix. With `expected`, `path` is replaced only if it still holds exactly
// those bytes (what the command read), so that a change another program made meanwhile is
// refused rather than lost. On failure removes `temporaryPath` if it made it and leaves `path`
// as it was.
[[nodiscard]] bool ReplaceFile(FileSystem& fs, const std::string& path,
                               const std::string& temporaryPath, const Bytes& contents,
                               const Bytes* expected = nullptr);

// Writes `contents` to `target` through CopyTemporaryPath(target), replacing any older file.
[[nodiscard]] bool WriteFileSafely(FileSystem& fs, const std::string& target, const Bytes& contents);

// A backup copy written beside the file it keeps, but put in place over the previous backup only
// by Commit, once the command it belongs to has succeeded: a failed command leaves the previous
// backup as it was. A command that commits several backups one after another takes back those
// already in place with Revert when a later step fails. Destroyed uncommitted, it removes what
// it wrote.
class PendingBackup {
 public:
  explicit PendingBackup(FileSystem& fs) : fs_(fs) {}
  PendingBackup(const PendingBackup&) = delete;
  PendingBackup& operator=(const PendingBackup&) = delete;
  ~PendingBackup();

  // Writes `contents` whole and flushed to the temporary file of `backupPath`. On failure
  // leaves nothing behind.
  [[nodiscard]] bool Write(const std::string& backupPath, const Bytes& contents);
  // Renames the written copy over `backupPath`, first reading the previous backup so that
  // Revert can give it back. On failure `backupPath` is as it was. REQUIRES: Write succeeded.
  [[nodiscard]] bool Commit();
  // After Commit: gives `backupPath` its previous bytes back crash-safely, or removes it when
  // there was none. True when it stands as before (or nothing was committed).
  [[nodiscard]] bool Revert();

 private:
  FileSystem& fs_;
  std::string backupPath_;
  std::string temporaryPath_;  // empty when nothing is pending
  bool committed_ = false;
  std::optional<Bytes> previous_;  // the replaced backup's bytes; none: there was no backup
};

// Creates the directory `dir` and any missing parents; true when it exists afterwards.
[[nodiscard]] bool CreateDirectories(FileSystem& fs, const std::string& dir);

// Removes `path` if it exists and flushes its directory; true when it no longer exists.
[[nodiscard]] bool RemoveIfPresent(FileSystem& fs, const std::string& path);

// Makes the directory `dir` and every missing directory above it; true when it exists
// afterwards.
[[nodiscard]] bool MakeDirectories(FileSystem& fs, const std::string& dir);

}  // namespace barvane
