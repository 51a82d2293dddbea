// The history store on its directory.
#include "data/history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <system_error>
#include <tuple>

#include "data/file_names.h"
#include "data/packing.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

// The first layout kept every state's bytes whole; the second packs them, keeps the state
// after as a digest (or as the index of the file whose before-state it equals) and ends in a
// checksum. The parts of a recording are of the second layout with a magic of their own (those of
// older versions have the change's), so that a change added after them in their file is never
// taken for a part, nor a part for the change.
constexpr char kMagicOld[8] = {'B', 'V', 'H', 'I', 'S', 'T', '1', '\n'};
constexpr char kMagic[8] = {'B', 'V', 'H', 'I', 'S', 'T', '2', '\n'};
constexpr char kMagicRecording[8] = {'B', 'V', 'H', 'I', 'S', 'T', 'R', '\n'};
constexpr std::size_t kPrefixSize = sizeof kMagic + 4;
constexpr std::size_t kChecksumSize = 8;
// No command touches more; a larger count is a damaged file, not a reason to allocate.
constexpr std::uint32_t kMostItems = 1u << 16;
// The old layout's flags.
constexpr std::uint8_t kHasBefore = 1, kHasAfter = 2;
// The new layout's: the after-state's bytes, the index of the file whose before-state it is, or
// its digest; and the before-state kept as a file of its own, known by its number.
constexpr std::uint8_t kAfterBytes = 2, kAfterOfFile = 4, kAfterDigest = 8, kBeforeKept = 16;

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
  bool Block(std::uint8_t* out, std::size_t n) {
    if (size_ - at_ < n) return false;
    std::memcpy(out, data_ + at_, n);
    at_ += n;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Where a state's bytes lie after the header, and how they are packed.
struct Blob {
  std::uint64_t length = 0, stored = 0;
  Packing packing = Packing::kNone;
};

struct FileLayout {
  std::uint8_t flags = 0;
  Blob before, after;
  std::uint32_t afterOfFile = 0;
  std::uint32_t kept = 0;
};

void WriteBlob(Writer* header, const Blob& blob) {
  header->Number(blob.length, 8);
  header->Number(static_cast<std::uint8_t>(blob.packing), 1);
  header->Number(blob.stored, 8);
}

bool ReadBlob(Reader* in, Blob* blob) {
  std::uint64_t packing = 0;
  if (!in->Number(8, &blob->length) || !in->Number(1, &packing) || !in->Number(8, &blob->stored)) return false;
  blob->packing = static_cast<Packing>(packing);
  return true;
}

// The file: magic, header size, header (id, time, words, portfolios, per file its path, which
// states it has and where they lie), the states' bytes in file order, then the checksum of all
// before it. Before-states are packed when `pack`, those in `ready` (by path) as packed there.
// An after-state with bytes that equal another file's before-state is kept as that file's index.
Bytes Serialize(const Change& change, bool pack, const std::map<std::string, PackedState>& ready = {},
                const char* magic = kMagic) {
  Writer header;
  header.Number(change.id, 8);
  header.Number(static_cast<std::uint64_t>(change.time), 8);
  for (const auto* texts : {&change.words, &change.portfolios}) {
    header.Number(texts->size(), 4);
    for (const std::string& text : *texts) header.Text(text);
  }
  header.Number(change.files.size(), 4);
  // Whole bytes are copied once, into the file's bytes.
  std::vector<Bytes> packed;
  packed.reserve(2 * change.files.size());
  std::vector<const Bytes*> blobs;
  const auto addBlob = [&](const Bytes& bytes, const PackedState* packedAhead) {
    Blob blob{bytes.size(), 0, Packing::kNone};
    if (packedAhead) {
      blob.packing = packedAhead->packing;
      blobs.push_back(&packedAhead->bytes);
    } else {
      if (pack) packed.push_back(Pack(bytes, &blob.packing));
      blobs.push_back(pack ? &packed.back() : &bytes);
    }
    blob.stored = blobs.back()->size();
    return blob;
  };
  for (const FileChange& file : change.files) {
    header.Text(file.path);
    std::uint8_t flags = file.kept ? kHasBefore | kBeforeKept : file.before ? kHasBefore : 0;
    std::uint32_t ofFile = 0;
    if (file.after) {
      const auto same = std::find_if(change.files.begin(), change.files.end(),
                                     [&](const FileChange& other) { return other.before == file.after; });
      ofFile = static_cast<std::uint32_t>(same - change.files.begin());
      flags |= same != change.files.end() ? kAfterOfFile : kAfterBytes;
    } else if (file.afterDigest) {
      flags |= kAfterDigest;
    }
    header.Number(flags, 1);
    if (file.kept) {
      header.Number(*file.kept, 4);
    } else if (file.before) {
      const auto ahead = ready.find(file.path);
      const bool fits = pack && ahead != ready.end() && ahead->second.length == file.before->size();
      WriteBlob(&header, addBlob(*file.before, fits ? &ahead->second : nullptr));
    }
    if (flags & kAfterBytes) WriteBlob(&header, addBlob(*file.after, nullptr));
    if (flags & kAfterOfFile) header.Number(ofFile, 4);
    if (flags & kAfterDigest) {
      header.Number(file.afterDigest->length, 8);
      header.out.insert(header.out.end(), file.afterDigest->digest.begin(), file.afterDigest->digest.end());
    }
  }
  Writer all;
  std::size_t size = kPrefixSize + header.out.size() + kChecksumSize;
  for (const Bytes* blob : blobs) size += blob->size();
  all.out.reserve(size);
  all.out.assign(magic, magic + sizeof kMagic);
  all.Number(header.out.size(), 4);
  all.out.insert(all.out.end(), header.out.begin(), header.out.end());
  for (const Bytes* blob : blobs) all.out.insert(all.out.end(), blob->begin(), blob->end());
  all.Number(Checksum(all.out.data(), all.out.size()), 8);
  return all.out;
}

// The header size from the first kPrefixSize bytes, and in `old` whether the file is of the old
// layout; false when they are no change file's.
bool ParsePrefix(const std::uint8_t* prefix, std::uint32_t* headerSize, bool* old) {
  *old = std::memcmp(prefix, kMagicOld, sizeof kMagicOld) == 0;
  if (!*old && std::memcmp(prefix, kMagic, sizeof kMagic) != 0 &&
      std::memcmp(prefix, kMagicRecording, sizeof kMagic) != 0) {
    return false;
  }
  std::uint64_t size = 0;
  Reader(prefix + sizeof kMagic, 4).Number(4, &size);
  *headerSize = static_cast<std::uint32_t>(size);
  return true;
}

// The header into `change`, each file's states present but empty, where they lie in `layouts`.
bool ParseHeader(const std::uint8_t* data, std::size_t size, bool old, Change* change,
                 std::vector<FileLayout>* layouts) {
  Reader in(data, size);
  std::uint64_t time = 0;
  std::uint32_t files = 0;
  if (!in.Number(8, &change->id) || !in.Number(8, &time) || !in.Texts(&change->words) ||
      !in.Texts(&change->portfolios) || !in.Count(&files)) {
    return false;
  }
  change->time = static_cast<std::int64_t>(time);
  change->files.assign(files, {});
  layouts->assign(files, {});
  for (std::uint32_t i = 0; i < files; ++i) {
    FileChange& file = change->files[i];
    FileLayout& layout = (*layouts)[i];
    std::uint64_t flags = 0;
    if (!in.Text(&file.path) || !in.Number(1, &flags)) return false;
    if (old) {
      // Both states' bytes whole, their sizes always given.
      if (!in.Number(8, &layout.before.stored) || !in.Number(8, &layout.after.stored)) return false;
      layout.before.length = layout.before.stored;
      layout.after.length = layout.after.stored;
      layout.flags = static_cast<std::uint8_t>((flags & kHasBefore) | (flags & kHasAfter ? kAfterBytes : 0));
    } else {
      layout.flags = static_cast<std::uint8_t>(flags);
      std::uint64_t ofFile = 0, kept = 0;
      if ((flags & kBeforeKept && !in.Number(4, &kept)) ||
          (flags & kHasBefore && !(flags & kBeforeKept) && !ReadBlob(&in, &layout.before)) || (flags & kAfterBytes && !ReadBlob(&in, &layout.after)) ||
          (flags & kAfterOfFile && (!in.Number(4, &ofFile) || ofFile >= files))) {
        return false;
      }
      layout.afterOfFile = static_cast<std::uint32_t>(ofFile);
      layout.kept = static_cast<std::uint32_t>(kept);
      if (flags & kBeforeKept) file.kept = layout.kept;
      if (flags & kAfterDigest) {
        file.afterDigest.emplace();
        if (!in.Number(8, &file.afterDigest->length) || !in.Block(file.afterDigest->digest.data(), 32)) return false;
      }
    }
    if (layout.flags & kHasBefore) file.before.emplace();
    if (layout.flags & (kAfterBytes | kAfterOfFile)) file.after.emplace();
  }
  return true;
}

// The size of a whole file of `headerSize` and these layouts.
std::uint64_t FileSize(bool old, std::uint32_t headerSize, const std::vector<FileLayout>& layouts) {
  std::uint64_t size = kPrefixSize + headerSize + (old ? 0 : kChecksumSize);
  for (const FileLayout& layout : layouts) {
    if ((layout.flags & (kHasBefore | kBeforeKept)) == kHasBefore) size += layout.before.stored;
    if (layout.flags & kAfterBytes) size += layout.after.stored;
  }
  return size;
}

// Whether `bytes`, of the second layout, end in the checksum of what they hold.
bool ChecksumHolds(std::span<const std::uint8_t> bytes) {
  std::uint64_t sum = 0;
  return bytes.size() >= kPrefixSize + kChecksumSize &&
         Reader(bytes.data() + bytes.size() - kChecksumSize, kChecksumSize).Number(8, &sum) &&
         sum == Checksum(bytes.data(), bytes.size() - kChecksumSize);
}

bool BeginsWith(std::span<const std::uint8_t> bytes, const char (&magic)[8]) {
  return bytes.size() >= sizeof magic && std::memcmp(bytes.data(), magic, sizeof magic) == 0;
}

// The size of the part of a recording that `bytes` begin with, as its header tells; 0 when they
// begin with no whole header of one. A recording's later parts follow its first in one file, and
// its change may follow them; the `first` part may be an older version's.
std::size_t RecordingPartSize(std::span<const std::uint8_t> bytes, bool first) {
  std::uint32_t headerSize = 0;
  bool old = false;
  Change change;
  std::vector<FileLayout> layouts;
  if (!(BeginsWith(bytes, kMagicRecording) || (first && BeginsWith(bytes, kMagic))) || bytes.size() < kPrefixSize ||
      !ParsePrefix(bytes.data(), &headerSize, &old) || bytes.size() - kPrefixSize < headerSize ||
      !ParseHeader(bytes.data() + kPrefixSize, headerSize, false, &change, &layouts)) {
    return 0;
  }
  const std::uint64_t size = FileSize(false, headerSize, layouts);
  return size <= bytes.size() ? static_cast<std::size_t>(size) : 0;
}

// The change's own bytes among those of its file, which may begin with the parts of the recording
// it was added to; none when the file holds no more than such parts.
std::span<const std::uint8_t> ChangeOf(std::span<const std::uint8_t> bytes) {
  while (BeginsWith(bytes, kMagicRecording)) {
    const std::size_t size = RecordingPartSize(bytes, false);
    if (size == 0) return {};
    bytes = bytes.subspan(size);
  }
  return bytes;
}

// Reads the before-bytes a change keeps as its file number `n`.
using KeptReader = std::function<bool(std::uint32_t n, Bytes* bytes)>;

// `bytes` as a change; a before-state kept as a file of its own is read through `readKept`, and
// without one makes the bytes no change.
bool Parse(std::span<const std::uint8_t> bytes, Change* change, const KeptReader& readKept = {}) {
  std::uint32_t headerSize = 0;
  bool old = false;
  if (bytes.size() < kPrefixSize || !ParsePrefix(bytes.data(), &headerSize, &old) ||
      bytes.size() - kPrefixSize < headerSize) {
    return false;
  }
  if (!old && !ChecksumHolds(bytes)) return false;
  std::vector<FileLayout> layouts;
  if (!ParseHeader(bytes.data() + kPrefixSize, headerSize, old, change, &layouts) ||
      FileSize(old, headerSize, layouts) != bytes.size()) {
    return false;
  }
  std::size_t at = kPrefixSize + headerSize;
  const std::size_t end = bytes.size() - (old ? 0 : kChecksumSize);
  if (end < at) return false;
  for (std::size_t i = 0; i < change->files.size(); ++i) {
    FileChange& file = change->files[i];
    const FileLayout& layout = layouts[i];
    if (layout.flags & kBeforeKept && (!readKept || !readKept(layout.kept, &*file.before))) return false;
    for (auto [state, blob, flag] : {std::tuple{&file.before, layout.before, kHasBefore},
                                     std::tuple{&file.after, layout.after, kAfterBytes}}) {
      if (!(layout.flags & flag) || (flag == kHasBefore && layout.flags & kBeforeKept)) continue;
      // The sizes summed to the file's size, but a crafted file may make that sum wrap.
      if (blob.stored > end - at) return false;
      if (!Unpack(blob.packing, bytes.data() + at, static_cast<std::size_t>(blob.stored), blob.length, &**state)) {
        return false;
      }
      at += static_cast<std::size_t>(blob.stored);
    }
  }
  for (std::size_t i = 0; i < change->files.size(); ++i) {
    if (!(layouts[i].flags & kAfterOfFile)) continue;
    const FileChange& of = change->files[layouts[i].afterOfFile];
    if (!of.before) return false;
    change->files[i].after = of.before;
  }
  return true;
}

// Writes `bytes` to `file` and closes it, unflushed; false when there is no file or either fails.
bool WriteAndClose(std::unique_ptr<WritableFile> file, const Bytes& bytes) {
  if (!file) return false;
  const bool ok = file->Append(bytes.data(), bytes.size());
  return file->Close() && ok;
}

// Writes `bytes` as the store file `path`, made anew under its own name: a crash may leave it
// torn, which its checksum tells. Not flushed. On failure removes what it made.
bool WriteUnflushed(FileSystem& fs, const std::string& path, const Bytes& bytes) {
  auto file = fs.CreateExclusive(path);
  if (!file) return false;
  if (WriteAndClose(std::move(file), bytes)) return true;
  (void)fs.Remove(path);
  return false;
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

// The id of a store file numbered within its change, "<digits>.<kind><digits>", and in `n` its
// number; 0 when `name` is none. Later parts of a recording are "rec" and their number is the
// index of their first file; before-states kept as files of their own are "keep".
std::uint64_t NumberedOf(const std::string& name, const std::string& kind, std::uint64_t* n) {
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos || name.compare(dot + 1, kind.size(), kind) != 0) return 0;
  const std::string digits = name.substr(dot + 1 + kind.size());
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  *n = std::stoull(digits);
  return IdOf(name.substr(0, dot) + "." + kind, kind);
}

// Whether `name` is the temporary file through which the store writes one of its own files.
bool IsOwnTemporary(const std::string& name) {
  const std::string suffix = CopyTemporaryPath("");
  if (!name.ends_with(suffix)) return false;
  const std::string target = name.substr(0, name.size() - suffix.size());
  std::uint64_t first = 0;
  if (NumberedOf(target, "rec", &first) != 0) return true;
  for (const char* extension : {"chg", "rec", "undone", "undoing", "redoing"}) {
    if (IdOf(target, extension) != 0) return true;
  }
  return false;
}

bool Lists(const Change& change, const std::string& key) {
  return std::find(change.portfolios.begin(), change.portfolios.end(), key) != change.portfolios.end();
}

// The file of the last change dropped, kept for the next recording to take over, and the
// largest kept so.
constexpr char kSpare[] = "spare";
constexpr std::uint64_t kSpareMost = 64 << 10;

bool WriteMark(FileSystem& fs, const std::string& path) { return WriteFileSafely(fs, path, {}); }

}  // namespace

bool HeldAfter(const FileChange& file, const std::optional<Bytes>& state) {
  if (file.afterDigest) {
    return state && state->size() == file.afterDigest->length &&
           StrongDigest(state->data(), state->size()) == file.afterDigest->digest;
  }
  return state == file.after;
}

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

std::string History::KeptPath(std::uint64_t id, std::uint32_t n) const {
  return PathOf(id, ("keep" + std::to_string(n)).c_str());
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
  if (!file || !file->Size(&stored->size)) return false;
  // The header of each part of the recording the change may follow, then the change's own. A file
  // cut short by a crash is no change; the checksum is left to Load.
  for (std::uint64_t at = 0;;) {
    std::uint8_t prefix[kPrefixSize];
    std::size_t got = 0;
    std::uint32_t headerSize = 0;
    bool old = false;
    if (stored->size - at < kPrefixSize || !file->ReadAt(at, kPrefixSize, prefix, &got) || got != kPrefixSize ||
        !ParsePrefix(prefix, &headerSize, &old) || stored->size - at - kPrefixSize < headerSize) {
      return false;
    }
    Bytes header(headerSize);
    std::vector<FileLayout> layouts;
    stored->change = {};
    if (!file->ReadAt(at + kPrefixSize, headerSize, header.data(), &got) || got != headerSize ||
        !ParseHeader(header.data(), header.size(), old, &stored->change, &layouts)) {
      return false;
    }
    const std::uint64_t size = FileSize(old, headerSize, layouts);
    const bool part = std::memcmp(prefix, kMagicRecording, sizeof kMagic) == 0;
    if (!part && size == stored->size - at) break;
    if (!part || size >= stored->size - at) return false;
    at += size;
  }
  for (const FileChange& changed : stored->change.files) {
    FileInfo info;
    if (changed.kept && fs_.Stat(KeptPath(id, *changed.kept), &info)) {
      stored->size += info.size;
    }
  }
  stored->change.undone = fs_.IsRegularFile(PathOf(id, "undone"));
  return stored->change.id == id;
}

bool History::ReadAll(std::vector<Stored>* all) {
  all->clear();
  std::vector<DirEntry> entries;
  if (!fs_.IsDirectory(directory_)) return true;
  if (!fs_.ListDirectory(directory_, &entries)) return false;
  std::vector<std::uint64_t> ids;
  std::set<std::uint64_t> undone;
  for (const DirEntry& entry : entries) {
    if (const std::uint64_t id = IdOf(entry.name, "chg"); id != 0) ids.push_back(id);
    const std::uint64_t marked = IdOf(entry.name, "undone");
    if (marked != 0 && entry.kind == DirEntry::Kind::kFile) undone.insert(marked);
  }
  std::sort(ids.begin(), ids.end());
  std::map<std::uint64_t, Known> known;
  for (std::uint64_t id : ids) {
    Known now;
    const auto before = known_.find(id);
    // A damaged entry is passed over rather than hiding every other change.
    if (!fs_.Stat(PathOf(id, "chg"), &now.file)) continue;
    if (before != known_.end() && before->second.file.identity == now.file.identity &&
        before->second.file.size == now.file.size) {
      now.stored = std::move(before->second.stored);
    } else if (!ReadStored(id, &now.stored)) {
      continue;
    }
    now.stored.change.undone = undone.count(id) > 0;
    all->push_back(now.stored);
    known.emplace(id, std::move(now));
  }
  known_ = std::move(known);
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

bool History::ParseStored(std::span<const std::uint8_t> bytes, std::uint64_t id, Change* change) {
  return Parse(bytes, change,
               [&](std::uint32_t n, Bytes* kept) {
                 return ReadWholeFile(fs_, KeptPath(id, n), kept);
               }) &&
         change->id == id;
}

bool History::Load(std::uint64_t id, Change* change) {
  Bytes bytes;
  if (!ReadWholeFile(fs_, PathOf(id, "chg"), &bytes) || !ParseStored(ChangeOf(bytes), id, change)) return false;
  change->undone = fs_.IsRegularFile(PathOf(id, "undone"));
  LoadAfters(change);
  return true;
}

void History::LoadAfters(Change* change) {
  // The old layout's marks are empty: its change files hold the bytes after themselves.
  for (const char* mark : {"undone", "undoing"}) {
    Bytes bytes;
    Change afters;
    if (!ReadWholeFile(fs_, PathOf(change->id, mark), &bytes) || !Parse(bytes, &afters) || afters.id != change->id ||
        afters.files.size() != change->files.size()) {
      continue;
    }
    for (std::size_t i = 0; i < afters.files.size(); ++i) {
      FileChange& file = change->files[i];
      // What the files held when the undo began, which a forced undo may find changed.
      if (afters.files[i].path != file.path || !afters.files[i].after) continue;
      file.after = std::move(afters.files[i].after);
      file.afterDigest.reset();
    }
    return;
  }
}

std::uint64_t History::NewId(const std::vector<DirEntry>& entries) {
  std::uint64_t highest = 0;
  for (const DirEntry& entry : entries) {
    const std::size_t dot = entry.name.find('.');
    if (dot == std::string::npos) continue;
    highest = std::max(highest, IdOf(entry.name, entry.name.substr(dot + 1)));
  }
  return highest + 1;
}

bool History::StoredWhole(std::uint64_t id) {
  Bytes bytes;
  std::uint32_t headerSize = 0;
  bool old = false;
  Change change;
  if (!ReadWholeFile(fs_, PathOf(id, "chg"), &bytes)) return false;
  const std::span<const std::uint8_t> own = ChangeOf(bytes);
  if (own.size() < kPrefixSize || !ParsePrefix(own.data(), &headerSize, &old)) return false;
  return old ? Parse(own, &change) : ChecksumHolds(own);
}

void History::NoteUnflushed(const std::string& path) {
  // The directory holds new names, which must reach the disk as well.
  for (const std::string& unflushed : {path, WithoutTrailingSlash(directory_)}) {
    if (std::find(unflushed_.begin(), unflushed_.end(), unflushed) == unflushed_.end()) unflushed_.push_back(unflushed);
  }
}

void History::NoteUnsettled(const std::vector<DirEntry>& entries) {
  std::set<std::uint64_t> recorded, settling;
  for (const DirEntry& entry : entries) {
    if (const std::uint64_t id = IdOf(entry.name, "rec"); id != 0) recorded.insert(id);
  }
  for (const DirEntry& entry : entries) {
    const std::uint64_t id = IdOf(entry.name, "chg");
    if (id == 0 || !recorded.count(id)) continue;
    const std::string recording = PathOf(id, "rec");
    if (std::find(settled_.begin(), settled_.end(), recording) != settled_.end() || !StoredWhole(id)) continue;
    settling.insert(id);
    NoteUnflushed(PathOf(id, "chg"));
    settled_.push_back(recording);
  }
  // The first parts go first: later parts left without theirs are a crash's leftovers.
  for (const DirEntry& entry : entries) {
    std::uint64_t first = 0;
    if (settling.count(NumberedOf(entry.name, "rec", &first))) settled_.push_back(directory_ + entry.name);
  }
}

bool History::Settle() {
  std::vector<DirEntry> entries;
  if (!fs_.IsDirectory(directory_)) return true;
  if (!fs_.ListDirectory(directory_, &entries)) return false;
  NoteUnsettled(entries);
  return FlushRecording(nullptr);
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
  // Recordings live until the change is stored: their bytes are kept whole, which is quicker.
  const auto forgetKept = [&] {
    Change made = *change;
    made.files.erase(made.files.begin(), made.files.begin() + static_cast<long>(std::min(firstNew, made.files.size())));
    RemoveKept(made);
    for (std::size_t i = firstNew; i < change->files.size(); ++i) change->files[i].kept.reset();
  };
  if (change->id != 0) {
    Change part;
    part.id = change->id;
    if (KeepBefores(change, firstNew)) {
      part.files.assign(change->files.begin() + static_cast<long>(std::min(firstNew, change->files.size())),
                        change->files.end());
      const Bytes bytes = Serialize(part, false, {}, kMagicRecording);
      if (appending_ == change->id && AppendToRecording(change->id, bytes)) {
        NoteUnflushed(PathOf(change->id, "rec"));
        PackAhead(*change, firstNew);
        return true;
      }
      // An append that failed may have left torn bytes at the recording's end, after which no part
      // could be read: the later parts take files of their own.
      appending_ = 0;
      const std::string path = PathOf(change->id, ("rec" + std::to_string(firstNew)).c_str());
      if (WriteUnflushed(fs_, path, bytes)) {
        NoteUnflushed(path);
        PackAhead(*change, firstNew);
        return true;
      }
    }
    forgetKept();
    return false;
  }
  // The id is taken and its recording made visible under one lock, on the store's parent
  // because live changes share the store's own: another process's NewId then sees it.
  PortfolioLock lock(fs_);
  if (!lock.Acquire({DirectoryOf(WithoutTrailingSlash(directory_))}, LockMode::kExclusive)) return false;
  std::vector<DirEntry> entries;
  if (!fs_.ListDirectory(directory_, &entries)) return false;
  change->id = NewId(entries);
  // The changes stored since the last recording reach the disk with this one.
  NoteUnsettled(entries);
  const std::string path = PathOf(change->id, "rec");
  if (KeepBefores(change, 0) && WriteRecording(path, Serialize(*change, false, {}, kMagicRecording))) {
    appending_ = change->id;
    NoteUnflushed(path);
    packingAhead_.clear();
    PackAhead(*change, 0);
    return true;
  }
  forgetKept();
  change->id = 0;
  return false;
}

bool History::WriteRecording(const std::string& path, const Bytes& bytes) {
  // The file of a dropped change is taken over where there is one: some file systems take far
  // longer to make a file, and to free one, than to rename one. A crash before the flush may
  // leave its old bytes under the new name, which name another id: a torn recording.
  const std::string spare = directory_ + kSpare;
  FileInfo info;
  if (fs_.StatNoFollow(spare, &info) && info.kind == DirEntry::Kind::kFile && fs_.Rename(spare, path)) {
    if (WriteAndClose(fs_.ReopenForRewrite(path), bytes)) return true;
    (void)fs_.Remove(path);
  }
  return WriteUnflushed(fs_, path, bytes);
}

bool History::AppendToRecording(std::uint64_t id, const Bytes& bytes) {
  // Some file systems take far longer to make a file, and to free one, than to add to one.
  return WriteAndClose(fs_.OpenForAppend(PathOf(id, "rec")), bytes);
}

bool History::KeepBefores(Change* change, std::size_t first) {
  for (std::size_t i = first; i < change->files.size(); ++i) {
    FileChange& file = change->files[i];
    if (!file.replacedWhole || file.before || file.kept) continue;
    // A file larger than any read could keep would be refused at the undo: it is refused now.
    FileInfo info;
    const auto n = static_cast<std::uint32_t>(i);
    if (fs_.StatNoFollow(file.path, &info) && info.size <= kLargestWholeRead &&
        fs_.Link(file.path, KeptPath(change->id, n))) {
      file.kept = n;
      continue;
    }
    Bytes bytes;
    if (!ReadWholeFile(fs_, file.path, &bytes)) return false;
    file.before = std::move(bytes);
  }
  return true;
}

void History::RemoveKept(const Change& change) {
  for (const FileChange& file : change.files) {
    if (file.kept) (void)fs_.Remove(KeptPath(change.id, *file.kept));
  }
}

void History::PackAhead(const Change& change, std::size_t first) {
  // Below this a thread costs about what it saves.
  constexpr std::size_t kLeast = 64 << 10;
  for (std::size_t i = first; i < change.files.size(); ++i) {
    const FileChange& file = change.files[i];
    if (!file.before || file.before->size() < kLeast) continue;
    try {
      // The thread packs a copy: the command may drop the file's note while it runs.
      packingAhead_.push_back({change.id, file.path, std::async(std::launch::async, [bytes = *file.before] {
                                 PackedState state{bytes.size(), Packing::kNone, {}};
                                 state.bytes = Pack(bytes, &state.packing);
                                 return state;
                               })});
    } catch (const std::system_error&) {
      return;  // no thread to be had: the commit packs the rest itself
    }
  }
}

bool History::FlushRecording(WritableFile* open, const std::vector<std::string>& with) {
  if (unflushed_.empty()) return with.empty() ? !open || open->Sync() : fs_.SyncFiles(with, open);
  std::vector<std::string> all = with;
  all.insert(all.end(), unflushed_.begin(), unflushed_.end());
  if (!fs_.SyncFiles(all, open)) return false;
  unflushed_.clear();
  // Their changes are on the disk now.
  for (const std::string& path : settled_) (void)fs_.Remove(path);
  settled_.clear();
  return true;
}

bool History::ListParts(std::uint64_t id, std::vector<std::string>* paths) {
  std::vector<DirEntry> entries;
  if (!fs_.ListDirectory(directory_, &entries)) return false;
  std::vector<std::pair<std::uint64_t, std::string>> parts;
  for (const DirEntry& entry : entries) {
    std::uint64_t first = 0;
    if (NumberedOf(entry.name, "rec", &first) == id) parts.emplace_back(first, directory_ + entry.name);
  }
  std::sort(parts.begin(), parts.end());
  paths->clear();
  for (auto& part : parts) paths->push_back(std::move(part.second));
  return true;
}

bool History::ParseRecording(const Bytes& bytes, std::uint64_t id, Change* change) {
  std::span<const std::uint8_t> rest(bytes);
  for (bool first = true;; first = false) {
    const std::size_t size = RecordingPartSize(rest, first);
    Change part;
    // A part torn by a crash was never flushed, so no file it notes was altered yet.
    if (size == 0 || !ParseStored(rest.first(size), id, &part)) return !first;
    if (first) {
      *change = std::move(part);
    } else {
      for (FileChange& file : part.files) change->files.push_back(std::move(file));
    }
    rest = rest.subspan(size);
    if (rest.empty()) return true;
  }
}

bool History::LoadRecording(std::uint64_t id, Change* change) {
  Bytes bytes;
  std::vector<std::string> parts;
  if (!ReadWholeFile(fs_, PathOf(id, "rec"), &bytes) || !ParseRecording(bytes, id, change) || !ListParts(id, &parts)) {
    return false;
  }
  for (const std::string& path : parts) {
    Change part;
    // A part torn by a crash, or without a file it keeps, was never flushed, so no file it notes
    // was altered yet.
    if (!ReadWholeFile(fs_, path, &bytes) || !ParseStored(bytes, id, &part)) continue;
    for (FileChange& file : part.files) change->files.push_back(std::move(file));
  }
  return true;
}

void History::RemoveRecording(std::uint64_t id) {
  // Not waited for: a recording back after a crash beside its stored change is a leftover.
  // The first part goes first: later parts left without it are a crash's leftovers.
  std::vector<std::string> parts;
  (void)fs_.Remove(PathOf(id, "rec"));
  if (ListParts(id, &parts)) {
    for (const std::string& path : parts) (void)fs_.Remove(path);
  }
  unflushed_.clear();
  settled_.clear();
  packingAhead_.clear();
}

bool History::Commit(Change change) {
  // A recording of names alone (bytes before kept as files of their own) takes the change at its
  // end and becomes its file under a further name: some file systems take far longer to make a
  // file. One holding bytes is left alone, so as not to keep them a second time unpacked.
  const bool grow = appending_ == change.id &&
                    std::none_of(change.files.begin(), change.files.end(),
                                 [](const FileChange& file) { return file.before && !file.kept; });
  appending_ = 0;
  // Read back for the comparisons below: the file kept is still in the page cache.
  for (FileChange& file : change.files) {
    if (!file.kept || file.before) continue;
    file.before.emplace();
    if (!ReadWholeFile(fs_, KeptPath(change.id, *file.kept), &*file.before)) {
      return false;
    }
  }
  std::vector<FileChange> changed;
  Change unchanged;
  unchanged.id = change.id;
  for (FileChange& file : change.files) {
    if (fs_.IsRegularFile(file.path)) {
      Bytes after;
      if (!ReadWholeFile(fs_, file.path, &after)) return false;
      file.after = std::move(after);
    } else {
      file.after.reset();
    }
    (file.before != file.after ? changed : unchanged.files).push_back(std::move(file));
  }
  change.files = std::move(changed);
  if (change.files.empty()) {
    RemoveRecording(change.id);
    RemoveKept(unchanged);
    return true;
  }
  for (FileChange& file : change.files) {
    const std::string key = PortfolioKey(DirectoryOf(file.path));
    if (!Lists(change, key)) change.portfolios.push_back(key);
    // Bytes after that another file held before are kept as that file's (a backup of the file
    // replaced); the rest only as a digest, until an undo takes them.
    const bool another = std::any_of(change.files.begin(), change.files.end(),
                                     [&](const FileChange& other) { return other.before == file.after; });
    if (file.after && !another) {
      file.afterDigest = StateDigest{file.after->size(), StrongDigest(file.after->data(), file.after->size())};
      file.after.reset();
    }
  }
  change.undone = false;
  std::map<std::string, PackedState> packed;
  for (PackingAhead& ahead : packingAhead_) {
    if (ahead.id == change.id) packed.emplace(ahead.path, ahead.packed.get());
  }
  packingAhead_.clear();
  const std::string path = PathOf(change.id, "chg");
  const Bytes bytes = Serialize(change, true, packed);
  const bool grown = grow && AppendToRecording(change.id, bytes) && fs_.Link(PathOf(change.id, "rec"), path);
  if (!grown && (!CreateDirectories(fs_, WithoutTrailingSlash(directory_)) || !WriteUnflushed(fs_, path, bytes))) {
    return false;
  }
  // The older changes go before any flush, so that the disk takes their removal with it rather
  // than after it; a crash meanwhile leaves the recording, which completes the change as stored.
  Prune(change);
  // A recording on the disk whole completes the change as stored after a crash, as long as its
  // files are as the change left them. So the change file waits for the store's next flush, which
  // comes before anything else alters them: the next recording's or an undo's (NoteUnsettled).
  // Only then does the recording go. Files the change kept but left unchanged are named only by
  // the recording, and go at once, with it.
  const bool keptUnchanged =
      std::any_of(unchanged.files.begin(), unchanged.files.end(), [](const FileChange& file) { return file.kept; });
  if (unflushed_.empty() && !keptUnchanged) {
    packingAhead_.clear();
    return true;
  }
  if (!fs_.SyncFiles({path, WithoutTrailingSlash(directory_)}, nullptr)) return false;
  RemoveRecording(change.id);
  RemoveKept(unchanged);
  return true;
}

bool History::Drop(const Change& change) {
  // A change dropped returns after a crash at worst, to be dropped again; its undone mark goes
  // only once it is gone for good, so that it never returns as a change in effect. The files
  // it keeps go after it: one left behind is a leftover.
  const std::uint64_t id = change.id;
  // A recording left beside the change would complete it again.
  (void)fs_.Remove(PathOf(id, "rec"));
  // Its file stays for the next recording unless it holds bytes worth giving the disk back.
  const std::string path = PathOf(id, "chg");
  FileInfo info;
  const bool spare = fs_.Stat(path, &info) && info.size <= kSpareMost && fs_.Rename(path, directory_ + kSpare);
  if (!spare && !fs_.Remove(path)) return false;
  RemoveKept(change);
  return !fs_.IsRegularFile(PathOf(id, "undone")) ||
         (fs_.SyncDirectory(WithoutTrailingSlash(directory_)) && RemoveIfPresent(fs_, PathOf(id, "undone")));
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
      (void)Drop(c);
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
  // Files kept under further names hold their bytes unpacked: over the cap, the oldest changes
  // take them in packed before any change goes.
  for (Stored& stored : kept) {
    if (total <= limits_.maxBytes) break;
    if (!wanted.count(stored.change.id) || stored.change.id == latest.id) continue;
    std::uint64_t size = 0;
    if (PackKept(stored.change, &size)) {
      total -= stored.size - std::min(size, stored.size);
      stored.size = size;
    }
  }
  // Then the oldest go until the store fits, up to the latest change: the oldest kept change is
  // the oldest of each of its portfolios, so no portfolio is left with a gap.
  for (const Stored& stored : kept) {
    const bool tooLarge = total > limits_.maxBytes && stored.change.id < latest.id;
    if (wanted.count(stored.change.id) && !tooLarge) continue;
    if (wanted.count(stored.change.id)) total -= stored.size;
    (void)Drop(stored.change);
  }
}

bool History::PackKept(const Change& listed, std::uint64_t* size) {
  if (std::none_of(listed.files.begin(), listed.files.end(), [](const FileChange& file) { return file.kept; })) {
    return false;
  }
  Bytes bytes;
  Change change;
  if (!ReadWholeFile(fs_, PathOf(listed.id, "chg"), &bytes) || !ParseStored(ChangeOf(bytes), listed.id, &change)) {
    return false;
  }
  for (FileChange& file : change.files) file.kept.reset();
  bytes = Serialize(change, true);
  // The change stands whole with its bytes before the files go: a crash leaves them as leftovers.
  if (!WriteFileSafely(fs_, PathOf(listed.id, "chg"), bytes)) return false;
  RemoveKept(listed);
  *size = bytes.size();
  return true;
}

bool History::MarkApplying(const Change& change, bool undo) {
  // The change must be on the disk before its files are put back.
  if (!Settle()) return false;
  if (!undo) return WriteMark(fs_, PathOf(change.id, "redoing"));
  Change afters;
  afters.id = change.id;
  afters.time = change.time;
  for (const FileChange& file : change.files) {
    afters.files.emplace_back().path = file.path;
    afters.files.back().after = file.after;
  }
  return WriteFileSafely(fs_, PathOf(change.id, "undoing"), Serialize(afters, true));
}

bool History::MarkApplied(std::uint64_t id, bool undo) {
  if (!undo) return RemoveIfPresent(fs_, PathOf(id, "undone")) && RemoveIfPresent(fs_, PathOf(id, "redoing"));
  // The bytes after that the undo kept become the mark of the change undone.
  const std::string undoing = PathOf(id, "undoing");
  const bool marked = fs_.IsRegularFile(undoing) ? fs_.Rename(undoing, PathOf(id, "undone"))
                                                 : WriteMark(fs_, PathOf(id, "undone"));
  return marked && fs_.SyncDirectory(WithoutTrailingSlash(directory_));
}

bool History::ClearApplying(std::uint64_t id, bool undo) {
  return RemoveIfPresent(fs_, PathOf(id, undo ? "undoing" : "redoing"));
}

bool History::FindPending(Pending* pending) {
  *pending = {};
  std::vector<std::uint64_t> ids;
  if (!ListIds(&pending->recordings, "rec")) return false;
  // A recording beside its change stored whole is only waiting to be removed.
  std::erase_if(pending->recordings, [&](std::uint64_t id) { return StoredWhole(id); });
  for (bool undo : {true, false}) {
    if (!ListIds(&ids, undo ? "undoing" : "redoing")) return false;
    for (std::uint64_t id : ids) pending->applies.emplace_back(id, undo);
  }
  return true;
}

void History::RemoveLeftovers() {
  (void)Settle();
  std::vector<DirEntry> entries;
  if (!fs_.IsDirectory(directory_) || !fs_.ListDirectory(directory_, &entries)) return;
  bool removed = false;
  // Recordings first: a file kept for a recording removed here is then a leftover as well.
  for (const bool keptFiles : {false, true}) {
    for (const DirEntry& entry : entries) {
      std::uint64_t first = 0, n = 0;
      const std::uint64_t kept = NumberedOf(entry.name, "keep", &n);
      if ((kept != 0) != keptFiles) continue;
      const std::uint64_t part = NumberedOf(entry.name, "rec", &first);
      const std::uint64_t recording = part != 0 ? part : IdOf(entry.name, "rec");
      const std::uint64_t changed = IdOf(entry.name, "chg");
      // A later part of a recording whose first part is gone belongs to a change already stored
      // (Settle has removed the recordings of the others); a first part torn by a crash was
      // never flushed, so that none of its files was altered. A change file torn beside its
      // recording is made again from it. A kept file belongs to its recording, else to its
      // stored change if that names it.
      Stored stored;
      Bytes bytes;
      Change torn;
      const bool orphan =
          (part != 0 && !fs_.IsRegularFile(PathOf(part, "rec"))) ||
          (part == 0 && recording != 0 && ReadWholeFile(fs_, directory_ + entry.name, &bytes) &&
           !ParseRecording(bytes, recording, &torn)) ||
          (changed != 0 && fs_.IsRegularFile(PathOf(changed, "rec")) && !StoredWhole(changed)) ||
          (kept != 0 && !fs_.IsRegularFile(PathOf(kept, "rec")) &&
           !(ReadStored(kept, &stored) && std::any_of(stored.change.files.begin(), stored.change.files.end(),
                                                      [&](const FileChange& file) { return file.kept == n; })));
      if (!orphan && !IsOwnTemporary(entry.name)) continue;
      const std::string path = directory_ + entry.name;
      // Looked at without following links: a link planted under such a name is not the store's.
      FileInfo info;
      if (!fs_.StatNoFollow(path, &info) || info.kind != DirEntry::Kind::kFile) continue;
      removed = fs_.Remove(path) || removed;
    }
  }
  if (removed) (void)fs_.SyncDirectory(directory_);
}

}  // namespace barvane
