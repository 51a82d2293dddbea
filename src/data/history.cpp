// The history store on its directory.
#include "data/history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "data/file_names.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

constexpr char kMagic[8] = {'B', 'V', 'H', 'I', 'S', 'T', '1', '\n'};
constexpr std::size_t kPrefixSize = sizeof kMagic + 4;
// No command touches more; a larger count is a damaged file, not a reason to allocate.
constexpr std::uint32_t kMostItems = 1u << 16;
constexpr std::uint8_t kHasBefore = 1, kHasAfter = 2;

class Writer {
 public:
  void Number(std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Text(const std::string& text) {
    Number(text.size(), 4);
    out.insert(out.end(), text.begin(), text.end());
  }
  Bytes out;
};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Number(int bytes, std::uint64_t* value) {
    if (size_ - at_ < static_cast<std::size_t>(bytes)) return false;
    *value = 0;
    for (int i = 0; i < bytes; ++i) *value |= std::uint64_t{data_[at_++]} << (8 * i);
    return true;
  }
  bool Count(std::uint32_t* count) {
    std::uint64_t value = 0;
    if (!Number(4, &value) || value > kMostItems) return false;
    *count = static_cast<std::uint32_t>(value);
    return true;
  }
  bool Text(std::string* text) {
    std::uint64_t length = 0;
    if (!Number(4, &length) || size_ - at_ < length) return false;
    text->assign(reinterpret_cast<const char*>(data_ + at_), static_cast<std::size_t>(length));
    at_ += static_cast<std::size_t>(length);
    return true;
  }
  bool Texts(std::vector<std::string>* texts) {
    std::uint32_t count = 0;
    if (!Count(&count)) return false;
    texts->resize(count);
    for (std::string& text : *texts) {
      if (!Text(&text)) return false;
    }
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

struct FileSizes {
  std::uint64_t before = 0, after = 0;
};

// The file: magic, header size, header (id, time, words, portfolios, per file its path, which
// states it has and their sizes), then every file's before and after bytes in file order.
Bytes Serialize(const Change& change) {
  Writer header;
  header.Number(change.id, 8);
  header.Number(static_cast<std::uint64_t>(change.time), 8);
  for (const auto* texts : {&change.words, &change.portfolios}) {
    header.Number(texts->size(), 4);
    for (const std::string& text : *texts) header.Text(text);
  }
  header.Number(change.files.size(), 4);
  for (const FileChange& file : change.files) {
    header.Text(file.path);
    header.Number((file.before ? kHasBefore : 0) | (file.after ? kHasAfter : 0), 1);
    header.Number(file.before ? file.before->size() : 0, 8);
    header.Number(file.after ? file.after->size() : 0, 8);
  }
  Writer all;
  all.out.assign(kMagic, kMagic + sizeof kMagic);
  all.Number(header.out.size(), 4);
  all.out.insert(all.out.end(), header.out.begin(), header.out.end());
  for (const FileChange& file : change.files) {
    for (const auto* state : {&file.before, &file.after}) {
      if (*state) all.out.insert(all.out.end(), (*state)->begin(), (*state)->end());
    }
  }
  return all.out;
}

// The header size from the first kPrefixSize bytes; false when they are no change file's.
bool ParsePrefix(const std::uint8_t* prefix, std::uint32_t* headerSize) {
  if (std::memcmp(prefix, kMagic, sizeof kMagic) != 0) return false;
  std::uint64_t size = 0;
  Reader(prefix + sizeof kMagic, 4).Number(4, &size);
  *headerSize = static_cast<std::uint32_t>(size);
  return true;
}

// The header into `change`, each file's states present but empty, their sizes in `sizes`.
bool ParseHeader(const std::uint8_t* data, std::size_t size, Change* change,
                 std::vector<FileSizes>* sizes) {
  Reader in(data, size);
  std::uint64_t time = 0;
  std::uint32_t files = 0;
  if (!in.Number(8, &change->id) || !in.Number(8, &time) || !in.Texts(&change->words) ||
      !in.Texts(&change->portfolios) || !in.Count(&files)) {
    return false;
  }
  change->time = static_cast<std::int64_t>(time);
  change->files.assign(files, {});
  sizes->assign(files, {});
  for (std::uint32_t i = 0; i < files; ++i) {
    FileChange& file = change->files[i];
    std::uint64_t flags = 0;
    if (!in.Text(&file.path) || !in.Number(1, &flags) || !in.Number(8, &(*sizes)[i].before) ||
        !in.Number(8, &(*sizes)[i].after)) {
      return false;
    }
    if (flags & kHasBefore) file.before.emplace();
    if (flags & kHasAfter) file.after.emplace();
  }
  return true;
}

bool Parse(const Bytes& bytes, Change* change) {
  std::uint32_t headerSize = 0;
  if (bytes.size() < kPrefixSize || !ParsePrefix(bytes.data(), &headerSize) ||
      bytes.size() - kPrefixSize < headerSize) {
    return false;
  }
  std::vector<FileSizes> sizes;
  if (!ParseHeader(bytes.data() + kPrefixSize, headerSize, change, &sizes)) return false;
  std::size_t at = kPrefixSize + headerSize;
  for (std::size_t i = 0; i < change->files.size(); ++i) {
    FileChange& file = change->files[i];
    for (auto [state, size] : {std::pair{&file.before, sizes[i].before}, std::pair{&file.after, sizes[i].after}}) {
      if (!*state) continue;
      if (bytes.size() - at < size) return false;
      (*state)->assign(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + size));
      at += static_cast<std::size_t>(size);
    }
  }
  return at == bytes.size();
}

// The id of a store file name "<digits>.<extension>", or 0.
std::uint64_t IdOf(const std::string& name, const std::string& extension) {
  const std::size_t dot = name.find('.');
  if (dot == 0 || dot == std::string::npos || name.substr(dot + 1) != extension || dot > 19) return 0;
  std::uint64_t id = 0;
  for (std::size_t i = 0; i < dot; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    id = id * 10 + static_cast<std::uint64_t>(name[i] - '0');
  }
  return id;
}

// The id of a later part of a recording, "<digits>.rec<digits>", and in `first` the index of
// its first file; 0 when `name` is none.
std::uint64_t PartOf(const std::string& name, std::uint64_t* first) {
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos || name.compare(dot + 1, 3, "rec") != 0) return 0;
  const std::string digits = name.substr(dot + 4);
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  *first = std::stoull(digits);
  return IdOf(name.substr(0, dot) + ".rec", "rec");
}

// Whether `name` is the temporary file through which the store writes one of its own files.
bool IsOwnTemporary(const std::string& name) {
  const std::string suffix = CopyTemporaryPath("");
  if (!name.ends_with(suffix)) return false;
  const std::string target = name.substr(0, name.size() - suffix.size());
  std::uint64_t first = 0;
  if (PartOf(target, &first) != 0) return true;
  for (const char* extension : {"chg", "rec", "undone", "undoing", "redoing"}) {
    if (IdOf(target, extension) != 0) return true;
  }
  return false;
}

bool Lists(const Change& change, const std::string& key) {
  return std::find(change.portfolios.begin(), change.portfolios.end(), key) != change.portfolios.end();
}

bool WriteMark(FileSystem& fs, const std::string& path) { return WriteFileSafely(fs, path, {}); }

}  // namespace

HistoryLimits HistoryLimits::FromEnvironment() {
  HistoryLimits limits;
  const std::string megabytes = EnvironmentVariable("BARVANE_HISTORY_MB");
  char* end = nullptr;
  const unsigned long long value = std::strtoull(megabytes.c_str(), &end, 10);
  if (!megabytes.empty() && *end == '\0' && value > 0 && value < (1ull << 40)) {
    limits.maxBytes = static_cast<std::uint64_t>(value) << 20;
  }
  return limits;
}

std::string DefaultHistoryDirectory() {
  return WithTrailingSlash(UserDataDirectory()) + "Orvell Software/Barvane/History";
}

std::string WordsText(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    const bool plain = !word.empty() && std::none_of(word.begin(), word.end(), [](char c) {
#ifdef _WIN32
      return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == 0x7F;
#else
      return static_cast<unsigned char>(c) <= ' ' || c == '\'' || c == '"' || c == '\\' || c == 0x7F;
#endif
    });
    if (plain) {
      line += word;
      continue;
    }
#ifdef _WIN32
    line += '"';
    std::size_t backslashes = 0;
    for (char c : word) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
      backslashes = 0;
      line += c;
    }
    line.append(2 * backslashes, '\\');  // before the closing quote
    line += '"';
#else
    line += '\'';
    for (char c : word) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += '\'';
#endif
  }
  return line;
}

History::History(FileSystem& fs, std::string directory, HistoryLimits limits)
    : fs_(fs), directory_(WithTrailingSlash(std::move(directory))), limits_(limits) {}

std::string History::PortfolioKey(const std::string& dir) {
  const std::string real = fs_.RealPath(dir.empty() ? "." : dir);
  return WithoutTrailingSlash(real.empty() ? dir : real);
}

std::string History::PathOf(std::uint64_t id, const char* extension) const {
  std::string digits = std::to_string(id);
  if (digits.size() < 12) digits.insert(0, 12 - digits.size(), '0');
  return directory_ + digits + "." + extension;
}

bool History::ListIds(std::vector<std::uint64_t>* ids, const char* extension) {
  ids->clear();
  if (!fs_.IsDirectory(directory_)) return true;
  std::vector<DirEntry> entries;
  if (!fs_.ListDirectory(directory_, &entries)) return false;
  for (const DirEntry& entry : entries) {
    if (const std::uint64_t id = IdOf(entry.name, extension); id != 0) ids->push_back(id);
  }
  std::sort(ids->begin(), ids->end());
  return true;
}

bool History::ReadStored(std::uint64_t id, Stored* stored) {
  auto file = fs_.OpenForRead(PathOf(id, "chg"));
  std::uint8_t prefix[kPrefixSize];
  std::size_t got = 0;
  std::uint32_t headerSize = 0;
  if (!file || !file->Size(&stored->size) || !file->ReadAt(0, kPrefixSize, prefix, &got) ||
      got != kPrefixSize || !ParsePrefix(prefix, &headerSize) || stored->size - kPrefixSize < headerSize) {
    return false;
  }
  Bytes header(headerSize);
  std::vector<FileSizes> sizes;
  if (!file->ReadAt(kPrefixSize, headerSize, header.data(), &got) || got != headerSize ||
      !ParseHeader(header.data(), header.size(), &stored->change, &sizes)) {
    return false;
  }
  stored->change.undone = fs_.IsRegularFile(PathOf(id, "undone"));
  return stored->change.id == id;
}

bool History::ReadAll(std::vector<Stored>* all) {
  std::vector<std::uint64_t> ids;
  if (!ListIds(&ids, "chg")) return false;
  all->clear();
  for (std::uint64_t id : ids) {
    Stored stored;
    // A damaged entry is passed over rather than hiding every other change.
    if (ReadStored(id, &stored)) all->push_back(std::move(stored));
  }
  return true;
}

bool History::List(const std::string& dir, std::vector<Change>* changes) {
  std::vector<Stored> all;
  if (!ReadAll(&all)) return false;
  const std::string key = PortfolioKey(dir);
  changes->clear();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (Lists(it->change, key)) changes->push_back(std::move(it->change));
  }
  return true;
}

bool History::Load(std::uint64_t id, Change* change) {
  Bytes bytes;
  if (!ReadWholeFile(fs_, PathOf(id, "chg"), &bytes) || !Parse(bytes, change) || change->id != id) return false;
  change->undone = fs_.IsRegularFile(PathOf(id, "undone"));
  return true;
}

std::uint64_t History::NewId() {
  std::uint64_t highest = 0;
  std::vector<DirEntry> entries;
  if (fs_.ListDirectory(directory_, &entries)) {
    for (const DirEntry& entry : entries) {
      const std::size_t dot = entry.name.find('.');
      if (dot == std::string::npos) continue;
      highest = std::max(highest, IdOf(entry.name, entry.name.substr(dot + 1)));
    }
  }
  return highest + 1;
}

std::unique_ptr<PortfolioLock> History::LockStore(LockMode mode, std::chrono::milliseconds wait) {
  if (!CreateDirectories(fs_, WithoutTrailingSlash(directory_))) return nullptr;
  auto lock = std::make_unique<PortfolioLock>(fs_);
  if (!lock->Acquire({WithoutTrailingSlash(directory_)}, mode, wait)) return nullptr;
  return lock;
}

std::unique_ptr<PortfolioLock> History::LockLive() { return LockStore(LockMode::kShared, kPortfolioLockWait); }

std::unique_ptr<PortfolioLock> History::LockForRecovery() {
  return LockStore(LockMode::kExclusive, std::chrono::milliseconds{0});
}

bool History::SaveRecording(Change* change, std::size_t firstNew) {
  if (!CreateDirectories(fs_, WithoutTrailingSlash(directory_))) return false;
  if (change->id != 0) {
    Change part;
    part.id = change->id;
    part.files.assign(change->files.begin() + static_cast<long>(std::min(firstNew, change->files.size())),
                      change->files.end());
    const std::string name = "rec" + std::to_string(firstNew);
    return WriteFileSafely(fs_, PathOf(change->id, name.c_str()), Serialize(part));
  }
  // The id is taken and its recording made visible under one lock, on the store's parent
  // because live changes share the store's own: another process's NewId then sees it.
  PortfolioLock lock(fs_);
  if (!lock.Acquire({DirectoryOf(WithoutTrailingSlash(directory_))}, LockMode::kExclusive)) return false;
  change->id = NewId();
  if (WriteFileSafely(fs_, PathOf(change->id, "rec"), Serialize(*change))) return true;
  change->id = 0;
  return false;
}

bool History::ListParts(std::uint64_t id, std::vector<std::string>* paths) {
  std::vector<DirEntry> entries;
  if (!fs_.ListDirectory(directory_, &entries)) return false;
  std::vector<std::pair<std::uint64_t, std::string>> parts;
  for (const DirEntry& entry : entries) {
    std::uint64_t first = 0;
    if (PartOf(entry.name, &first) == id) parts.emplace_back(first, directory_ + entry.name);
  }
  std::sort(parts.begin(), parts.end());
  paths->clear();
  for (auto& part : parts) paths->push_back(std::move(part.second));
  return true;
}

bool History::LoadRecording(std::uint64_t id, Change* change) {
  Bytes bytes;
  std::vector<std::string> parts;
  if (!ReadWholeFile(fs_, PathOf(id, "rec"), &bytes) || !Parse(bytes, change) || change->id != id ||
      !ListParts(id, &parts)) {
    return false;
  }
  for (const std::string& path : parts) {
    Change part;
    if (!ReadWholeFile(fs_, path, &bytes) || !Parse(bytes, &part) || part.id != id) return false;
    for (FileChange& file : part.files) change->files.push_back(std::move(file));
  }
  return true;
}

bool History::RemoveRecording(std::uint64_t id) {
  // The first part goes first: later parts left without it are a crash's leftovers.
  std::vector<std::string> parts;
  if (!RemoveIfPresent(fs_, PathOf(id, "rec")) || !ListParts(id, &parts)) return false;
  for (const std::string& path : parts) (void)RemoveIfPresent(fs_, path);
  return true;
}

bool History::Commit(Change change) {
  std::vector<FileChange> kept;
  for (FileChange& file : change.files) {
    if (fs_.IsRegularFile(file.path)) {
      Bytes after;
      if (!ReadWholeFile(fs_, file.path, &after)) return false;
      file.after = std::move(after);
    } else {
      file.after.reset();
    }
    if (file.before != file.after) kept.push_back(std::move(file));
  }
  change.files = std::move(kept);
  if (change.files.empty()) return RemoveRecording(change.id);
  for (const FileChange& file : change.files) {
    const std::string key = PortfolioKey(DirectoryOf(file.path));
    if (!Lists(change, key)) change.portfolios.push_back(key);
  }
  change.undone = false;
  if (!CreateDirectories(fs_, WithoutTrailingSlash(directory_)) ||
      !WriteFileSafely(fs_, PathOf(change.id, "chg"), Serialize(change)) || !RemoveRecording(change.id)) {
    return false;
  }
  Prune(change);
  return true;
}

bool History::Drop(std::uint64_t id) {
  // The change goes first: a mark left without its change is ignored.
  return RemoveIfPresent(fs_, PathOf(id, "chg")) && RemoveIfPresent(fs_, PathOf(id, "undone"));
}

void History::Prune(const Change& latest) {
  std::vector<Stored> all;
  if (!ReadAll(&all)) return;
  std::vector<Stored> kept;
  for (Stored& stored : all) {
    const Change& c = stored.change;
    const bool redoBranch =
        c.undone && c.id < latest.id &&
        std::any_of(c.portfolios.begin(), c.portfolios.end(), [&](const std::string& p) { return Lists(latest, p); });
    if (redoBranch) {
      (void)Drop(c.id);
    } else {
      kept.push_back(std::move(stored));
    }
  }
  // A change is kept while a portfolio it is listed under has fewer newer ones than the limit,
  // and so is every change of a portfolio newer than one kept there: an undo never has to step
  // over a change that is gone.
  std::set<std::uint64_t> wanted;
  std::map<std::string, int> newer;
  for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
    for (const std::string& p : it->change.portfolios) {
      if (newer[p]++ < limits_.changesPerPortfolio) wanted.insert(it->change.id);
    }
  }
  for (bool grew = true; grew;) {
    grew = false;
    std::map<std::string, std::uint64_t> oldestWanted;
    for (const Stored& stored : kept) {
      if (!wanted.count(stored.change.id)) continue;
      for (const std::string& p : stored.change.portfolios) oldestWanted.emplace(p, stored.change.id);
    }
    for (const Stored& stored : kept) {
      const Change& c = stored.change;
      const bool newerThanKept = std::any_of(c.portfolios.begin(), c.portfolios.end(), [&](const std::string& p) {
        const auto oldest = oldestWanted.find(p);
        return oldest != oldestWanted.end() && oldest->second < c.id;
      });
      if (newerThanKept && wanted.insert(c.id).second) grew = true;
    }
  }
  std::uint64_t total = 0;
  for (const Stored& stored : kept) total += wanted.count(stored.change.id) ? stored.size : 0;
  // Then the oldest go until the store fits, up to the latest change: the oldest kept change is
  // the oldest of each of its portfolios, so no portfolio is left with a gap.
  for (const Stored& stored : kept) {
    const bool tooLarge = total > limits_.maxBytes && stored.change.id < latest.id;
    if (wanted.count(stored.change.id) && !tooLarge) continue;
    if (wanted.count(stored.change.id)) total -= stored.size;
    (void)Drop(stored.change.id);
  }
}

bool History::MarkApplying(std::uint64_t id, bool undo) {
  return WriteMark(fs_, PathOf(id, undo ? "undoing" : "redoing"));
}

bool History::MarkApplied(std::uint64_t id, bool undo) {
  const bool marked = undo ? WriteMark(fs_, PathOf(id, "undone")) : RemoveIfPresent(fs_, PathOf(id, "undone"));
  return marked && RemoveIfPresent(fs_, PathOf(id, undo ? "undoing" : "redoing"));
}

bool History::ClearApplying(std::uint64_t id, bool undo) {
  return RemoveIfPresent(fs_, PathOf(id, undo ? "undoing" : "redoing"));
}

bool History::FindPending(Pending* pending) {
  *pending = {};
  std::vector<std::uint64_t> ids;
  if (!ListIds(&pending->recordings, "rec")) return false;
  for (bool undo : {true, false}) {
    if (!ListIds(&ids, undo ? "undoing" : "redoing")) return false;
    for (std::uint64_t id : ids) pending->applies.emplace_back(id, undo);
  }
  return true;
}

void History::RemoveLeftovers() {
  std::vector<DirEntry> entries;
  if (!fs_.IsDirectory(directory_) || !fs_.ListDirectory(directory_, &entries)) return;
  bool removed = false;
  for (const DirEntry& entry : entries) {
    std::uint64_t first = 0;
    const std::uint64_t part = PartOf(entry.name, &first);
    // A later part of a recording whose first part is gone belongs to a change already stored.
    const bool orphan = part != 0 && !fs_.IsRegularFile(PathOf(part, "rec"));
    if (!orphan && !IsOwnTemporary(entry.name)) continue;
    const std::string path = directory_ + entry.name;
    // Looked at without following links: a link planted under such a name is not the store's.
    FileInfo info;
    if (!fs_.StatNoFollow(path, &info) || info.kind != DirEntry::Kind::kFile) continue;
    removed = fs_.Remove(path) || removed;
  }
  if (removed) (void)fs_.SyncDirectory(directory_);
}

}  // namespace barvane
