// The file operations that the data routines build on the FileSystem interface: lookup
// whatever the letter case, whole-file reads, and the crash-safe replacement of a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/fs.h"

namespace barvane {

using Bytes = std::vector<std::uint8_t>;

// The path of the entry of `dir` named `name` in any ASCII letter case (the exact name
// preferred), or empty when there is none. `dir` ends in "/" or is empty.
std::string FindNoCase(FileSystem& fs, const std::string& dir, const std::string& name,
                       DirEntry::Kind kind = DirEntry::Kind::kFile);

// The existing file as FindNoCase finds it, else `dir` + `name` (for a file to be created).
std::string ResolveNoCase(FileSystem& fs, const std::string& dir, const std::string& name);

// Reads the whole file. On failure leaves `*contents` empty.
[[nodiscard]] bool ReadWholeFile(FileSystem& fs, const std::string& path, Bytes* contents);

// Makes `contents` the content of `path` crash-safely: writes `temporaryPath` whole, flushes
// it, renames it over `path` in one step and flushes the directory. After a crash `path`
// holds its old or its new bytes, never a mix. On failure removes `temporaryPath` and leaves
// `path` as it was.
[[nodiscard]] bool ReplaceFile(FileSystem& fs, const std::string& path,
                               const std::string& temporaryPath, const Bytes& contents);

// Writes `contents` to `target` through CopyTemporaryPath(target), replacing any older file.
[[nodiscard]] bool WriteFileSafely(FileSystem& fs, const std::string& target, const Bytes& contents);

// Removes `path` if it exists; true when it no longer exists.
[[nodiscard]] bool RemoveIfPresent(FileSystem& fs, const std::string& path);

}  // namespace barvane
