// The portfolio tree that the fuzz targets build from the fuzzer's bytes: /P with
// sub-directories A and B three levels down, a link back to /P inside it, a link out of it to
// /OUT (a portfolio of its own), and whatever MASTER and data files the bytes make.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "memory_fs.h"

namespace barvane::fuzz {

inline constexpr const char* kTop = "/P/";
inline constexpr const char* kOutside = "/OUT/";

inline Bytes TakeBytes(FuzzedDataProvider& data, std::size_t most) {
  const std::string text = data.ConsumeRandomLengthString(most);
  return Bytes(text.begin(), text.end());
}

// The directories of the tree, parents first.
inline std::vector<std::string> TreeDirectories() {
  std::vector<std::string> dirs{"/P"};
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    if (std::count(dirs[i].begin(), dirs[i].end(), '/') > 3) continue;
    for (const char* name : {"/A", "/B"}) dirs.push_back(dirs[i] + name);
  }
  return dirs;
}

// Builds the tree with a MASTER of up to `masterBytes` in each directory that the bytes give one.
inline void BuildTree(FuzzedDataProvider& data, MemoryFs& fs, std::size_t masterBytes) {
  fs.dirs.insert("/OUT");
  fs.files["/OUT/MASTER"] = TakeBytes(data, masterBytes);
  for (const std::string& dir : TreeDirectories()) {
    fs.dirs.insert(dir);
    if (data.ConsumeBool()) fs.files[dir + "/MASTER"] = TakeBytes(data, masterBytes);
  }
  fs.links["/P/A/L"] = "/P";
  fs.links["/P/B/X"] = "/OUT";
}

}  // namespace barvane::fuzz
