// Test support: the real file system, counting the calls whose number a test bounds and the
// bytes written.
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
    return Counted(target().CreateExclusive(path));
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

 private:
  class File final : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> file, std::uint64_t* written) : file_(std::move(file)), written_(written) {}
    bool Append(const std::uint8_t* data, std::size_t n) override {
      *written_ += n;
      return file_->Append(data, n);
    }
    bool Sync() override { return file_->Sync(); }
    bool Close() override { return file_->Close(); }

   private:
    std::unique_ptr<WritableFile> file_;
    std::uint64_t* written_;
  };
  std::unique_ptr<WritableFile> Counted(std::unique_ptr<WritableFile> file) {
    return file ? std::make_unique<File>(std::move(file), &written) : nullptr;
  }
};

}  // namespace barvane::test
