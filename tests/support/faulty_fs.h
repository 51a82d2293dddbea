// Test support: a file system that fails, or crashes at, one chosen step of the calls that
// change the disk, for the checks that every write path leaves old bytes or new bytes.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "data/file_ops.h"
#include "data/fs.h"

namespace barvane::test {

// Numbers every call that changes the disk (creating, appending, flushing, closing, renaming,
// removing, linking; a flush of several files is one call). kFailOne fails call `step` alone; kCrash
// lets no call from `step` on take effect, and the crashing append writes only half its bytes,
// as a machine losing power might.
class FaultyFs final : public FileSystemWrapper {
 public:
  enum class Mode { kFailOne, kCrash };
  FaultyFs(int step, Mode mode) : FileSystemWrapper(FileSystem::Default()), step_(step), mode_(mode) {}

  int calls() const { return calls_; }
  // Whether the run came to the chosen step: otherwise it went through untouched.
  bool faulted() const { return calls_ >= step_; }
  bool crashed() const { return mode_ == Mode::kCrash && faulted(); }

  // Whether the next changing call may go ahead.
  bool Step() {
    ++calls_;
    return mode_ == Mode::kFailOne ? calls_ != step_ : calls_ < step_;
  }

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    return Opened([&] { return target().CreateForWrite(path); });
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    return Opened([&] { return target().CreateExclusive(path); });
  }
  std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) override {
    return Opened([&] { return target().ReopenForRewrite(path); });
  }
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    return Opened([&] { return target().OpenForAppend(path); });
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return Step() && target().Rename(from, to);
  }
  bool Remove(const std::string& path) override { return Step() && target().Remove(path); }
  bool Link(const std::string& existing, const std::string& newPath) override {
    return Step() && target().Link(existing, newPath);
  }
  bool SyncDirectory(const std::string& dir) override {
    return !crashed() && target().SyncDirectory(dir);
  }
  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override {
    return Step() && target().SyncFiles(paths, open);
  }

 private:
  class File final : public WritableFile {
   public:
    File(FaultyFs& fs, std::unique_ptr<WritableFile> file) : fs_(fs), file_(std::move(file)) {}
    bool Append(const std::uint8_t* data, std::size_t n) override {
      if (fs_.Step()) return file_->Append(data, n);
      if (fs_.crashed()) (void)file_->Append(data, n / 2);
      return false;
    }
    bool Sync() override { return fs_.Step() && file_->Sync(); }
    bool Close() override { return fs_.Step() && file_->Close(); }

   private:
    FaultyFs& fs_;
    std::unique_ptr<WritableFile> file_;
  };

  // What `open` opens, as a step, its file's own calls counted too.
  template <typename Open>
  std::unique_ptr<WritableFile> Opened(Open open) {
    if (!Step()) return nullptr;
    auto file = open();
    return file ? std::make_unique<File>(*this, std::move(file)) : nullptr;
  }

  int calls_ = 0;
  const int step_;
  const Mode mode_;
};

// Calls `run` with a fault of `mode` at step 1, 2, ... up to the first run the fault never
// reaches, which is the last; the first failing check ends it early.
template <typename Run>
void AtEveryStep(FaultyFs::Mode mode, Run run, int limit = 1000) {
  for (int step = 1;; ++step) {
    SCOPED_TRACE(testing::Message() << (mode == FaultyFs::Mode::kCrash ? "crash" : "failure") << " at step " << step);
    FaultyFs fs(step, mode);
    run(fs);
    if (!fs.faulted() || testing::Test::HasFailure()) return;
    ASSERT_LT(step, limit) << "the fault never stops being reached";
  }
}

// Fails for each file that `after` holds with bytes, or lacks, as neither `old` nor `now` has it
// (a crash's check); the names `skip` accepts are passed over.
template <typename Skip>
void ExpectEachFileOldOrNew(const std::map<std::string, Bytes>& old, const std::map<std::string, Bytes>& now,
                            const std::map<std::string, Bytes>& after, Skip skip) {
  const auto state = [](const std::map<std::string, Bytes>& files, const std::string& name) {
    const auto it = files.find(name);
    return it == files.end() ? std::nullopt : std::optional<Bytes>(it->second);
  };
  for (const auto* files : {&old, &now, &after}) {
    for (const auto& [name, bytes] : *files) {
      const auto got = state(after, name);
      if (!skip(name)) {
        EXPECT_TRUE(got == state(old, name) || got == state(now, name)) << name << " is torn";
      }
    }
  }
}

}  // namespace barvane::test
