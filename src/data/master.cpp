// MASTER records and the portfolio tree search.
#include "data/master.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "data/directory_visits.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/mbf.h"

namespace barvane {
namespace {

std::string_view ViewUpToZero(const std::uint8_t* bytes, std::size_t size) {
  const void* zero = std::memchr(bytes, 0, size);
  const std::size_t length =
      zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) : size;
  return std::string_view(reinterpret_cast<const char*>(bytes), length);
}

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(static_cast<unsigned char>(a[i])) != Lower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
  return folded;
}

std::string_view NameField(const MasterRecord& record) {
  return ViewUpToZero(record.bytes.data() + kMasterIssueName, kMasterTextSize);
}

std::string_view SymbolField(const MasterRecord& record) {
  return ViewUpToZero(record.bytes.data() + kMasterSymbol, kMasterTextSize);
}

void ConvertDates(MasterRecord* record) {
  MbfToIeee(record->bytes.data() + kMasterFirstDate, record->bytes.data() + kMasterFirstDate);
  MbfToIeee(record->bytes.data() + kMasterLastDate, record->bytes.data() + kMasterLastDate);
}

// One MASTER file as the search sees it: its records, or none when it cannot be read whole.
struct Level {
  std::string path;  // the directory, ending in "/"
  int next = 0;      // 1-based index of the next record to examine for sub-portfolios
};

// Reads the MASTER of `dir`. Returns false when it cannot be opened or has no header.
bool ReadMaster(FileSystem& fs, const std::string& dir, Bytes* contents) {
  const std::string path = FindNoCase(fs, dir, kMasterName);
  if (path.empty() || !ReadWholeFile(fs, path, contents, kLargestMasterFile)) return false;
  return contents->size() >= kMasterRecordSize;
}

MasterRecord RecordAt(const Bytes& contents, int index) {
  MasterRecord record;
  std::memcpy(record.bytes.data(), contents.data() + kMasterRecordSize * static_cast<std::size_t>(index),
              kMasterRecordSize);
  return record;
}

bool HasRecord(const Bytes& contents, int index) {
  return contents.size() >= kMasterRecordSize * (static_cast<std::size_t>(index) + 1);
}

}  // namespace

std::string MasterRecord::nameText() const { return std::string(NameField(*this)); }

std::string MasterRecord::symbolText() const { return std::string(SymbolField(*this)); }

float MasterRecord::firstDate() const { return ReadIeee(bytes.data() + kMasterFirstDate); }
float MasterRecord::lastDate() const { return ReadIeee(bytes.data() + kMasterLastDate); }

bool MasterRecord::isSubPortfolio() const {
  return std::memcmp(bytes.data() + kMasterIssueName + 11, "<DIR>", 5) == 0 &&
         bytes[kMasterIssueName] != ' ';
}

std::string MasterRecord::subPortfolioName() const {
  const std::string name(TrimTrailingBlanks(ViewUpToZero(bytes.data() + kMasterIssueName, 8)));
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of("/\\") != std::string::npos) {
    return {};
  }
  return name;
}

bool IsPrintableByte(std::uint8_t c) { return c > 0x20 && c != 0x7F; }

std::string ShownText(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    if (static_cast<std::uint8_t>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return shown;
}

std::string GridSymbolText(const std::uint8_t* symbolField) {
  const std::string_view field = ViewUpToZero(symbolField, kMasterTextSize);
  const auto end = std::find_if(field.begin(), field.end(),
                                [](char c) { return !IsPrintableByte(static_cast<std::uint8_t>(c)); });
  return std::string(field.begin(), end);
}

std::int16_t MasterRecordCount(const std::uint8_t* header) {
  return static_cast<std::int16_t>(header[0] | header[1] << 8);
}

bool MasterRecordMatches(const MasterRecord& record, std::string_view key) {
  // The grid shows a blank symbol's name with its trailing blanks; that text names it too.
  if (EqualsIgnoringCase(TrimTrailingBlanks(key), TrimTrailingBlanks(ShownText(NameField(record))))) return true;
  const std::string_view symbol = SymbolField(record);
  std::size_t blanksInKey = 0;
  for (char c : key) blanksInKey += c == ' ';
  std::size_t cut = 0;
  std::size_t blanksSeen = 0;
  while (cut < symbol.size()) {
    if (symbol[cut] == ' ' && blanksSeen++ == blanksInKey) break;
    ++cut;
  }
  // The text the grid shows names the record too, even where a control byte ends it.
  return EqualsIgnoringCase(key, symbol.substr(0, cut)) ||
         EqualsIgnoringCase(key, GridSymbolText(record.bytes.data() + kMasterSymbol));
}

Status FindMasterRecord(FileSystem& fs, const std::string& dir, std::string_view key,
                        MasterRecord* record, std::string* recordDir) {
  std::vector<Level> levels{{WithTrailingSlash(dir), 0}};
  DirectoryVisits visits(fs);
  (void)visits.EnterStart(dir);
  Bytes contents;
  while (true) {
    Level& level = levels.back();
    int count = 0;
    const bool readable = ReadMaster(fs, level.path, &contents);
    if (readable) count = std::max<int>(0, MasterRecordCount(contents.data()));
    if (!readable || (level.next == 0 && !HasRecord(contents, count))) {
      // An unreadable or short MASTER counts as empty: the search goes on with its siblings.
      count = 0;
      level.next = 1;
    }

    if (level.next == 0) {
      for (int i = 1; i <= count; ++i) {
        MasterRecord candidate = RecordAt(contents, i);
        if (candidate.isSubPortfolio()) {
          if (level.next == 0) level.next = i;
        } else if (MasterRecordMatches(candidate, key)) {
          ConvertDates(&candidate);
          AddEmasterFacts(fs, level.path, i, &candidate);
          *record = std::move(candidate);
          *recordDir = level.path;
          return kSuccess;
        }
      }
      if (readable && FindXmasterRecord(fs, level.path, key, record) == kSuccess) {
        *recordDir = level.path;
        return kSuccess;
      }
      if (level.next == 0) level.next = count + 1;
    }

    while (level.next <= count) {
      if (!HasRecord(contents, level.next)) return kFileRead;
      const MasterRecord candidate = RecordAt(contents, level.next++);
      if (!candidate.isSubPortfolio()) continue;
      const std::string name = candidate.subPortfolioName();
      if (name.empty() || levels.size() >= kMaxPortfolioDepth) continue;
      const std::string sub = FindNoCase(fs, level.path, name, DirEntry::Kind::kDirectory);
      // A missing subdirectory is searched as an empty level would be: not at all. A link may
      // lead out of the tree and a directory seen before would be searched again, or forever.
      if (sub.empty() || !visits.Enter(sub)) continue;
      levels.push_back({sub + "/", 0});
      break;
    }
    if (levels.back().next != 0) {
      // No sub-portfolio was entered: this level is exhausted.
      if (levels.size() == 1) return kFileNotFound;
      levels.pop_back();
    }
  }
}

MasterRecordFinder::MasterRecordFinder(FileSystem& fs, const std::string& dir)
    : fs_(fs), dir_(WithTrailingSlash(dir)) {
  IndexFiles files;
  if (!ReadIndexFiles(fs, dir_, &files)) return;
  // FindMasterRecord searches neither a MASTER that holds fewer records than it announces nor
  // the XMASTER beside it.
  if (!HasRecord(files.master.bytes, files.masterCount())) return;
  for (IndexEntry& entry : IndexEntries(files)) {
    if (entry.record.isSubPortfolio()) continue;
    ConvertDates(&entry.record);
    records_.push_back(std::move(entry.record));
  }
  for (std::size_t at = 0; at < records_.size(); ++at) {
    firstNamed_.try_emplace(Folded(TrimTrailingBlanks(ShownText(NameField(records_[at])))), at);
    const std::string_view symbol = SymbolField(records_[at]);
    for (std::size_t blank = symbol.find(' '); blank != std::string_view::npos;
         blank = symbol.find(' ', blank + 1)) {
      firstBySymbol_.try_emplace(Folded(symbol.substr(0, blank)), at);
    }
    firstBySymbol_.try_emplace(Folded(symbol), at);
    firstBySymbol_.try_emplace(Folded(GridSymbolText(records_[at].bytes.data() + kMasterSymbol)), at);
  }
}

Status MasterRecordFinder::Find(std::string_view key, MasterRecord* record, std::string* recordDir) {
  const auto byName = firstNamed_.find(Folded(TrimTrailingBlanks(key)));
  const auto bySymbol = firstBySymbol_.find(Folded(key));
  std::size_t first = records_.size();
  if (byName != firstNamed_.end()) first = byName->second;
  if (bySymbol != firstBySymbol_.end()) first = std::min(first, bySymbol->second);
  if (first == records_.size()) return FindMasterRecord(fs_, dir_, key, record, recordDir);
  *record = records_[first];
  *recordDir = dir_;
  return kSuccess;
}

}  // namespace barvane
