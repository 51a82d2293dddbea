// Test support: the real file system, counting the calls whose number a test bounds and the
// bytes written, and noting the files made exclusively and each flush.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/fs.h"

namespace barvane::test {

class CountingFs final : public FileSystemWrapper {
 public:
  CountingFs() : FileSystemWrapper(FileSystem::Default()) {}

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    ++creates;
    return Counted(target().CreateForWrite(path));
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    made.push_back(path.substr(path.rfind('/') + 1));
    return Counted(target().CreateExclusive(path));
  }
  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override {
    flushes.push_back("flush " + std::to_string(paths.size()) + " files");
    return target().SyncFiles(paths, open);
  }
  bool SyncDirectory(const std::string& dir) override {
    flushes.push_back("flush folder");
    return target().SyncDirectory(dir);
  }
  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    ++opened;
    return target().OpenForRead(path);
  }
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    ++listings;
    return target().ListDirectory(dir, entries);
  }

  int creates = 0, opened = 0, listings = 0;
  std::uint64_t written = 0;
  std::vector<std::string> made, flushes;

 private:
  class File final : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> file, CountingFs* fs) : file_(std::move(file)), fs_(fs) {}
    bool Append(const std::uint8_t* data, std::size_t n) override {
      fs_->written += n;
      return file_->Append(data, n);
    }
    bool Sync() override {
      fs_->flushes.push_back("flush one file");
      return file_->Sync();
    }
    bool Close() override { return file_->Close(); }

   private:
    std::unique_ptr<WritableFile> file_;
    CountingFs* fs_;
  };
  std::unique_ptr<WritableFile> Counted(std::unique_ptr<WritableFile> file) {
    return file ? std::make_unique<File>(std::move(file), this) : nullptr;
  }
};

}  // namespace barvane::test
