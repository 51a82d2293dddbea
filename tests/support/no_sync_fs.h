// Test and benchmark support: the real file system whose flushes do nothing, so that writing
// thousands of files costs the program's own work and not the disk's flush latency.
#pragma once

#include <memory>
#include <string>

#include "data/fs.h"

namespace barvane::test {

class NoSyncFs final : public FileSystemWrapper {
 public:
  NoSyncFs() : FileSystemWrapper(FileSystem::Default()) {}

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    auto file = target().CreateForWrite(path);
    return file ? std::make_unique<File>(std::move(file)) : nullptr;
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    auto file = target().CreateExclusive(path);
    return file ? std::make_unique<File>(std::move(file)) : nullptr;
  }
  bool SyncDirectory(const std::string&) override { return true; }
  bool SyncFiles(const std::vector<std::string>&, WritableFile*) override { return true; }

 private:
  class File final : public WritableFile {
   public:
    explicit File(std::unique_ptr<WritableFile> file) : file_(std::move(file)) {}
    bool Append(const std::uint8_t* data, std::size_t n) override { return file_->Append(data, n); }
    bool Sync() override { return true; }
    bool Close() override { return file_->Close(); }

   private:
    std::unique_ptr<WritableFile> file_;
  };
};

}  // namespace barvane::test
