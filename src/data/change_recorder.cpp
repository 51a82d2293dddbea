// Recording a command's file effects as one change.
#include "data/change_recorder.h"

#include <algorithm>
#include <ctime>

#include "data/file_names.h"

namespace barvane {
namespace {

// A lock the recorder keeps: the command's copy lets go when it is dropped, the recorder's at End.
class SharedLock final : public DirectoryLock {
 public:
  explicit SharedLock(std::shared_ptr<DirectoryLock> lock) : lock_(std::move(lock)) {}

 private:
  std::shared_ptr<DirectoryLock> lock_;
};

// A temporary file of the change, whose flush also flushes what the history noted so far.
class RecordedFile final : public WritableFile {
 public:
  RecordedFile(History& history, std::unique_ptr<WritableFile> file) : history_(history), file_(std::move(file)) {}
  bool Append(const std::uint8_t* data, std::size_t n) override { return file_->Append(data, n); }
  bool Sync() override { return history_.FlushRecording(file_.get()); }
  bool Close() override { return file_->Close(); }

 private:
  History& history_;
  std::unique_ptr<WritableFile> file_;
};

}  // namespace

void ChangeRecorder::Begin(std::vector<std::string> words, const std::string& portfolioDir) {
  change_ = {};
  change_.words = std::move(words);
  change_.time = static_cast<std::int64_t>(std::time(nullptr));
  if (!portfolioDir.empty()) change_.portfolios.push_back(history_.PortfolioKey(portfolioDir));
  noted_.clear();
  open_ = true;
}

bool ChangeRecorder::End() {
  if (!open_) return true;
  open_ = false;
  const bool stored = change_.files.empty() || history_.Commit(std::move(change_));
  live_.reset();
  held_.clear();
  return stored;
}

std::unique_ptr<DirectoryLock> ChangeRecorder::TryLockDirectory(const std::string& dir, LockMode mode,
                                                                FileIdentity* identity, bool* busy) {
  if (!open_) return target().TryLockDirectory(dir, mode, identity, busy);
  FileInfo info;
  if (target().Stat(dir, &info)) {
    const auto held = std::find_if(held_.begin(), held_.end(),
                                   [&](const HeldLock& h) { return h.identity == info.identity; });
    if (held != held_.end()) {
      *busy = false;
      *identity = held->identity;
      return std::make_unique<SharedLock>(held->lock);
    }
  }
  auto lock = target().TryLockDirectory(dir, mode, identity, busy);
  if (!lock || mode != LockMode::kExclusive) return lock;
  held_.push_back({*identity, std::shared_ptr<DirectoryLock>(std::move(lock))});
  return std::make_unique<SharedLock>(held_.back().lock);
}

std::string ChangeRecorder::Absolute(const std::string& path) {
  const std::string dir = DirectoryOf(path);
  std::string real = target().RealPath(dir.empty() ? "." : dir);
  if (real.empty()) return path;
  return WithTrailingSlash(real) + path.substr(dir.size());
}

bool ChangeRecorder::Note(const std::string& path, bool replacedWhole, bool later, const std::string& ahead) {
  if (!open_) return true;
  const std::size_t firstNew = change_.files.size();
  for (const std::string* noted : {&path, &ahead}) {
    if (noted->empty()) continue;
    const std::string absolute = Absolute(*noted);
    if (noted_.count(absolute) || (!change_.files.empty() && change_.files.back().path == absolute)) continue;
    if (!live_ && !(live_ = history_.LockLive())) return false;
    FileChange file;
    file.path = absolute;
    FileInfo info;
    if ((replacedWhole || noted == &ahead) && target().StatNoFollow(absolute, &info) &&
        info.kind == DirEntry::Kind::kFile) {
      file.replacedWhole = true;
    } else if (target().IsRegularFile(absolute)) {
      Bytes before;
      if (!ReadWholeFile(target(), absolute, &before)) {
        // A file noted ahead is noted again when it is altered, if it is.
        if (noted == &ahead) continue;
        change_.files.resize(firstNew);
        return false;
      }
      file.before = std::move(before);
    }
    change_.files.push_back(std::move(file));
  }
  // Stored before the call goes ahead: after a crash the next start finds what to give back.
  if (change_.files.size() > firstNew) {
    if (!history_.SaveRecording(&change_, firstNew)) {
      change_.files.resize(firstNew);
      return false;
    }
    for (std::size_t i = firstNew; i < change_.files.size(); ++i) noted_.insert(change_.files[i].path);
  }
  return later || history_.FlushRecording(nullptr);
}

bool ChangeRecorder::IsKept(const std::string& path) {
  FileInfo at, kept;
  if (!open_ || !target().Stat(path, &at)) return false;
  return std::any_of(change_.files.begin(), change_.files.end(), [&](const FileChange& file) {
    return file.kept && target().Stat(history_.KeptPath(change_.id, *file.kept), &kept) &&
           kept.identity == at.identity;
  });
}

std::unique_ptr<WritableFile> ChangeRecorder::CreateForWrite(const std::string& path) {
  return !IsKept(path) && Note(path, false) ? target().CreateForWrite(path) : nullptr;
}

std::unique_ptr<WritableFile> ChangeRecorder::OpenForRewrite(const std::string& path) {
  return !IsKept(path) && Note(path, false) ? target().OpenForRewrite(path) : nullptr;
}

std::unique_ptr<WritableFile> ChangeRecorder::ReopenForRewrite(const std::string& path) {
  return !IsKept(path) && Note(path, false) ? target().ReopenForRewrite(path) : nullptr;
}

std::unique_ptr<WritableFile> ChangeRecorder::OpenForAppend(const std::string& path) {
  return !IsKept(path) && Note(path, false) ? target().OpenForAppend(path) : nullptr;
}

std::unique_ptr<WritableFile> ChangeRecorder::CreateExclusive(const std::string& path) {
  if (!open_) return target().CreateExclusive(path);
  // A leftover at the temporary name is removed only while it has no other name: it is copied.
  if (!Note(path, false, true, TemporaryTarget(path))) return nullptr;
  auto file = target().CreateExclusive(path);
  return file ? std::make_unique<RecordedFile>(history_, std::move(file)) : nullptr;
}

bool ChangeRecorder::Rename(const std::string& from, const std::string& to) {
  // `from` lives on under the new name, so that it is copied.
  return Note(from, false) && Note(to, true) && target().Rename(from, to);
}

bool ChangeRecorder::Remove(const std::string& path) { return Note(path, true) && target().Remove(path); }

bool ChangeRecorder::SyncFiles(const std::vector<std::string>& paths, WritableFile* open) {
  // Files flushed together (export-all's) take the recording with them, before any replaces another.
  return open_ ? history_.FlushRecording(open, paths) : target().SyncFiles(paths, open);
}

}  // namespace barvane
