// Test support: the real file system seen as a machine with one drive, mounted at a test's
// temporary directory, whose working directory is that drive; a walk never leaves it.
#pragma once

#include <string>
#include <vector>

#include "data/file_names.h"
#include "data/fs.h"

namespace barvane::test {

class SingleDriveFs final : public FileSystemWrapper {
 public:
  explicit SingleDriveFs(const std::string& root)
      : FileSystemWrapper(FileSystem::Default()), drive_(WithoutTrailingSlash(root)) {}

  bool ListMounts(std::vector<MountEntry>* mounts) override {
    *mounts = {MountEntry{drive_, "ext4"}};
    return true;
  }
  std::string CurrentDirectory() override { return drive_; }

  const std::string& drive() const { return drive_; }

 private:
  std::string drive_;
};

}  // namespace barvane::test
