// MASTER, EMASTER and XMASTER read as one list and changed together.
#include "data/index_files.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "data/file_names.h"
#include "data/mbf.h"

namespace barvane {
namespace {

constexpr std::uint8_t kXmasterMagic[4] = {0x5D, 0xFE, 0x58, 0x4D};
constexpr std::uint8_t kXmasterRecordMarker = 0x01;
constexpr std::uint8_t kEmasterMarker[2] = {0x36, 0x36};
constexpr std::size_t kFileNumberCount = 0x10000;

int Read16(const Bytes& bytes, std::size_t at) {
  return at + 2 <= bytes.size() ? (bytes[at] | bytes[at + 1] << 8) : 0;
}

void Write16(Bytes& bytes, std::size_t at, int value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::int32_t Read32(const std::uint8_t* at) {
  return static_cast<std::int32_t>(at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24);
}

void Write32(std::uint8_t* at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

std::string TextUpToZero(const std::uint8_t* bytes, std::size_t size) {
  const void* zero = std::memchr(bytes, 0, size);
  return std::string(reinterpret_cast<const char*>(bytes),
                     zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) : size);
}

std::string WithoutTrailingBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// `text` in a zero-terminated field of `size` bytes (no terminator when it fills the field).
void PutZeroPadded(std::uint8_t* field, std::size_t size, const std::string& text) {
  for (std::size_t i = 0; i < size; ++i) field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

void PutBlankPadded(std::uint8_t* field, std::size_t size, const std::string& text) {
  for (std::size_t i = 0; i < size; ++i) field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

// The records a file holds after its header, whole ones only.
int PresentRecords(const Bytes& bytes, std::size_t recordSize) {
  return bytes.size() < recordSize ? 0 : static_cast<int>(bytes.size() / recordSize - 1);
}

std::uint8_t* RecordAt(Bytes& bytes, std::size_t recordSize, int index) {
  return bytes.data() + recordSize * static_cast<std::size_t>(index);
}

const std::uint8_t* RecordAt(const Bytes& bytes, std::size_t recordSize, int index) {
  return bytes.data() + recordSize * static_cast<std::size_t>(index);
}

int XmasterRecords(const IndexFiles& files) {
  return std::min(files.xmasterCount(), PresentRecords(files.xmaster.bytes, kXmasterRecordSize));
}

int MasterRecords(const IndexFiles& files) {
  return std::min(files.masterCount(), PresentRecords(files.master.bytes, kMasterRecordSize));
}

int XmasterNumber(const std::uint8_t* record) { return record[kXmasterFileNumber] | record[kXmasterFileNumber + 1] << 8; }

// The EMASTER record for MASTER record `index` of file number `fileNumber`: the record of the
// same place when its number agrees, else the first with that number; 0 when none.
int EmasterIndexFor(const IndexFiles& files, int index, int fileNumber) {
  const Bytes& em = files.emaster.bytes;
  const int present = PresentRecords(em, kEmasterRecordSize);
  if (index <= present && RecordAt(em, kEmasterRecordSize, index)[kEmasterFileNumber] == fileNumber) {
    return index;
  }
  for (int i = 1; i <= present; ++i) {
    if (RecordAt(em, kEmasterRecordSize, i)[kEmasterFileNumber] == fileNumber) return i;
  }
  return 0;
}

void TakeEmasterFacts(const std::uint8_t* em, MasterRecord* record) {
  record->fieldSet = em[kEmasterFieldSet];
  const std::string shortName = TextUpToZero(em + kEmasterIssueName, kMasterTextSize);
  const std::string longName = TextUpToZero(em + kEmasterLongName, kEmasterLongNameSize);
  record->longName = longName.size() > shortName.size() ? longName : shortName;
  record->intradayMinutes = em[kEmasterIntradayMinutes] | em[kEmasterIntradayMinutes + 1] << 8;
}

// The MBF date value of a 32-bit YYYYMMDD; zero for no date.
void PutMbfOfDateNumber(std::uint8_t* at, std::int32_t number) {
  const float value = number <= 0 ? 0.0f : static_cast<float>(number - 19000000);
  WriteMbf(value, at);
}

}  // namespace

std::int32_t DateNumberOfValue(float value) {
  // Beyond this the sum would not fit in 32 bits; no date comes near it.
  constexpr float kLargest = 2.0e9f;
  return value > 0 && value < kLargest ? static_cast<std::int32_t>(value) + 19000000 : 0;
}

bool SameDateValue(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

namespace {

// The YYYYMMDD of an MBF date value; 0 for no date.
std::int32_t DateNumberOfMbf(const std::uint8_t* at) { return DateNumberOfValue(ReadMbf(at)); }

std::string LongestName(const MasterRecord& record) {
  const std::string shortName = WithoutTrailingBlanks(record.nameText());
  const std::string longName = WithoutTrailingBlanks(record.longName);
  return longName.size() > shortName.size() ? longName : shortName;
}

}  // namespace

Bytes EmasterRecordFor(const NewIndexEntry& entry, int fileNumber) {
  Bytes em(kEmasterRecordSize, 0);
  const MasterRecord& r = entry.record;
  std::memcpy(em.data(), kEmasterMarker, 2);
  em[kEmasterFileNumber] = static_cast<std::uint8_t>(fileNumber);
  em[kEmasterFieldCount] = static_cast<std::uint8_t>(r.fieldCount());
  em[kEmasterFieldSet] = entry.fieldSet;
  em[9] = ' ';
  PutZeroPadded(em.data() + kEmasterSymbol, kEmasterSymbolSize, GridSymbolText(r.bytes.data() + kMasterSymbol));
  const std::string name = LongestName(r);
  PutZeroPadded(em.data() + kEmasterIssueName, kMasterTextSize, name.substr(0, kMasterTextSize));
  if (name.size() > kMasterTextSize) {
    PutZeroPadded(em.data() + kEmasterLongName, kEmasterLongNameSize, name.substr(0, kEmasterLongNameSize));
  }
  em[kEmasterPeriodicity] = static_cast<std::uint8_t>(r.periodicity());
  Write16(em, kEmasterIntradayMinutes, r.intradayMinutes);
  WriteIeee(ReadMbf(r.bytes.data() + kMasterFirstDate), em.data() + kEmasterFirstDate);
  WriteIeee(ReadMbf(r.bytes.data() + kMasterLastDate), em.data() + kEmasterLastDate);
  Write32(em.data() + kEmasterFirstDateNumber, DateNumberOfMbf(r.bytes.data() + kMasterFirstDate));
  return em;
}

Bytes XmasterRecordFor(const NewIndexEntry& entry, int fileNumber) {
  Bytes xm(kXmasterRecordSize, 0);
  const MasterRecord& r = entry.record;
  xm[0] = kXmasterRecordMarker;
  PutZeroPadded(xm.data() + kXmasterSymbol, kXmasterSymbolSize, GridSymbolText(r.bytes.data() + kMasterSymbol));
  PutZeroPadded(xm.data() + kXmasterIssueName, kXmasterIssueNameSize, LongestName(r).substr(0, kXmasterIssueNameSize));
  xm[kXmasterPeriodicity] = static_cast<std::uint8_t>(r.periodicity());
  Write16(xm, kXmasterIntradayMinutes, r.intradayMinutes);
  Write16(xm, kXmasterFileNumber, fileNumber);
  xm[kXmasterFieldSet] = entry.fieldSet;
  const std::int32_t first = DateNumberOfMbf(r.bytes.data() + kMasterFirstDate);
  Write32(xm.data() + kXmasterStartDate, first);
  Write32(xm.data() + kXmasterFirstDate, first);
  Write32(xm.data() + kXmasterLastDate, DateNumberOfMbf(r.bytes.data() + kMasterLastDate));
  return xm;
}

Bytes NewXmasterHeader() {
  Bytes header(kXmasterRecordSize, 0);
  std::memcpy(header.data(), kXmasterMagic, 4);
  Write16(header, kXmasterNextNumber, kLargestMasterFileNumber + 1);
  return header;
}

namespace {

// The highest file number of MASTER's symbol records.
int HighestMasterNumber(const Bytes& master, int count) {
  int highest = 0;
  for (int i = 1; i <= count; ++i) {
    MasterRecord record;
    std::memcpy(record.bytes.data(), RecordAt(master, kMasterRecordSize, i), kMasterRecordSize);
    if (!record.isSubPortfolio()) highest = std::max(highest, record.fileNumber());
  }
  return highest;
}

// After MASTER gained or lost one record: the count moves by `delta`. Without EMASTER the second
// number moves with it as it always has; vendor software that writes EMASTER keeps the highest
// file number there, and lowering that would let it hand out a number still in use.
void AdjustMasterHeader(IndexFiles& files, int delta) {
  Bytes& master = files.master.bytes;
  const int count = static_cast<std::int16_t>(Read16(master, 0)) + delta;
  Write16(master, 0, count);
  if (files.hasEmaster()) {
    Write16(master, 2, HighestMasterNumber(master, std::max(0, std::min(count, PresentRecords(master, kMasterRecordSize)))));
    Bytes& em = files.emaster.bytes;
    if (em.size() >= 4) {
      std::copy(master.begin(), master.begin() + 4, em.begin());
      files.emaster.changed = true;
    }
  } else {
    Write16(master, 2, static_cast<std::int16_t>(Read16(master, 2)) + delta);
  }
}

void AdjustXmasterCounts(Bytes& xm, int delta) {
  Write16(xm, kXmasterCount, Read16(xm, kXmasterCount) + delta);
  Write16(xm, kXmasterCountAgain, Read16(xm, kXmasterCountAgain) + delta);
}

void EraseRecord(Bytes& bytes, std::size_t recordSize, int index) {
  const auto at = bytes.begin() + static_cast<long>(recordSize * static_cast<std::size_t>(index));
  bytes.erase(at, at + static_cast<long>(recordSize));
}

void InsertRecord(Bytes& bytes, std::size_t recordSize, int index, const Bytes& record) {
  const std::size_t at = std::min(bytes.size(), recordSize * static_cast<std::size_t>(index));
  bytes.insert(bytes.begin() + static_cast<long>(at), record.begin(), record.end());
}

// No index file holds more records than a 16-bit count can announce.
std::uint64_t LargestFile(std::size_t recordSize) { return std::uint64_t{0x10000} * recordSize; }

bool ReadOptional(FileSystem& fs, const std::string& dir, const char* name, std::size_t recordSize,
                  IndexFile* file) {
  file->path = FindNoCase(fs, dir, name);
  return file->path.empty() || ReadWholeFile(fs, file->path, &file->bytes, LargestFile(recordSize));
}

const char* NameOf(const IndexFiles& files, const IndexFile& file) {
  if (&file == &files.master) return kMasterName;
  return &file == &files.emaster ? kEmasterName : kXmasterName;
}

}  // namespace

std::uint8_t FieldSetBit(int quantity) {
  static constexpr std::uint8_t kBits[kQuantityCount] = {0x01, 0x80, 0x20, 0x02, 0x04, 0x08, 0x10, 0x40};
  return kBits[quantity];
}

FieldLayout LayoutOfFieldSet(std::uint8_t fieldSet) {
  FieldLayout layout;
  std::int16_t p = 1;
  for (int q = 0; q < kQuantityCount; ++q) {
    if (fieldSet & FieldSetBit(q)) layout.position[static_cast<std::size_t>(q)] = p++;
  }
  return layout;
}

std::uint8_t FieldSetOfLayout(const FieldLayout& layout) {
  std::uint8_t set = 0;
  for (int q = 0; q < kQuantityCount; ++q) {
    if (layout.holds(q)) set |= FieldSetBit(q);
  }
  const FieldLayout canonical = LayoutOfFieldSet(set);
  return canonical.position == layout.position ? set : 0;
}

int IndexFiles::masterCount() const {
  return master.bytes.size() < 2 ? 0 : std::max<int>(0, MasterRecordCount(master.bytes.data()));
}

int IndexFiles::xmasterCount() const { return Read16(xmaster.bytes, kXmasterCount); }

bool IndexFiles::masterWhole() const {
  return master.bytes.size() >= kMasterRecordSize && MasterRecordCount(master.bytes.data()) >= 0 &&
         PresentRecords(master.bytes, kMasterRecordSize) >= masterCount();
}

int ZeroSlotsBeyond(const Bytes& bytes, std::size_t recordSize, int count) {
  if (count < 0 || bytes.size() % recordSize != 0) return 0;
  const int present = PresentRecords(bytes, recordSize);
  if (present <= count) return 0;
  const auto from = bytes.begin() + static_cast<long>(recordSize * (static_cast<std::size_t>(count) + 1));
  return std::all_of(from, bytes.end(), [](std::uint8_t b) { return b == 0; }) ? present - count : 0;
}

SpareSlots ZeroSlotsBeyondCounts(const IndexFiles& files) {
  SpareSlots spare;
  if (files.master.bytes.size() >= kMasterRecordSize) {
    spare.master = ZeroSlotsBeyond(files.master.bytes, kMasterRecordSize, MasterRecordCount(files.master.bytes.data()));
  }
  if (files.hasEmaster() && files.emaster.bytes.size() >= kEmasterRecordSize) {
    spare.emaster = ZeroSlotsBeyond(files.emaster.bytes, kEmasterRecordSize,
                                    static_cast<std::int16_t>(Read16(files.emaster.bytes, 0)));
  }
  if (files.hasXmaster() && files.xmaster.bytes.size() >= kXmasterRecordSize) {
    spare.xmaster = ZeroSlotsBeyond(files.xmaster.bytes, kXmasterRecordSize, files.xmasterCount());
  }
  return spare;
}

IndexFiles WithoutSpareSlots(const IndexFiles& files) {
  IndexFiles out = files;
  const SpareSlots spare = ZeroSlotsBeyondCounts(files);
  const auto cut = [](IndexFile& file, std::size_t recordSize, int slots) {
    if (slots == 0) return;
    file.bytes.resize(file.bytes.size() - recordSize * static_cast<std::size_t>(slots));
    file.changed = true;
  };
  cut(out.master, kMasterRecordSize, spare.master);
  cut(out.emaster, kEmasterRecordSize, spare.emaster);
  cut(out.xmaster, kXmasterRecordSize, spare.xmaster);
  return out;
}

bool ReadIndexFiles(FileSystem& fs, const std::string& dir, IndexFiles* files) {
  const std::string masterPath = FindNoCase(fs, WithTrailingSlash(dir), kMasterName);
  if (masterPath.empty()) {
    *files = IndexFiles{};
    files->dir = WithTrailingSlash(dir);
    return false;
  }
  return ReadIndexFilesOf(fs, masterPath, files);
}

bool ReadIndexFilesOf(FileSystem& fs, const std::string& masterPath, IndexFiles* files) {
  *files = IndexFiles{};
  files->dir = DirectoryOf(masterPath);
  files->master.path = masterPath;
  if (!ReadWholeFile(fs, files->master.path, &files->master.bytes, kLargestMasterFile) ||
      files->master.bytes.size() < kMasterRecordSize) {
    return false;
  }
  return ReadOptional(fs, files->dir, kEmasterName, kEmasterRecordSize, &files->emaster) &&
         ReadOptional(fs, files->dir, kXmasterName, kXmasterRecordSize, &files->xmaster);
}

MasterRecord XmasterRecordAsMaster(const std::uint8_t* xm) {
  MasterRecord record;
  record.fieldSet = xm[kXmasterFieldSet];
  const int fields = std::popcount(record.fieldSet);
  record.bytes[kMasterRecordLength] = static_cast<std::uint8_t>(4 * fields);
  record.bytes[kMasterFieldCount] = static_cast<std::uint8_t>(fields);
  record.longName = TextUpToZero(xm + kXmasterIssueName, kXmasterIssueNameSize);
  const std::string shortName = record.longName.substr(0, kMasterTextSize);
  std::memcpy(record.bytes.data() + kMasterIssueName, shortName.data(), shortName.size());
  PutMbfOfDateNumber(record.bytes.data() + kMasterFirstDate, Read32(xm + kXmasterFirstDate));
  PutMbfOfDateNumber(record.bytes.data() + kMasterLastDate, Read32(xm + kXmasterLastDate));
  record.bytes[kMasterPeriodicity] = xm[kXmasterPeriodicity];
  record.intradayMinutes = xm[kXmasterIntradayMinutes] | xm[kXmasterIntradayMinutes + 1] << 8;
  std::memcpy(record.bytes.data() + kMasterSymbol, xm + kXmasterSymbol, kXmasterSymbolSize);
  record.extendedFileNumber = XmasterNumber(xm);
  return record;
}

std::vector<IndexEntry> IndexEntries(const IndexFiles& files, int masterLimit) {
  std::vector<IndexEntry> entries;
  const int masterRecords = std::min(MasterRecords(files), masterLimit);
  const int xmasterRecords = XmasterRecords(files);
  entries.reserve(static_cast<std::size_t>(std::max(0, masterRecords) + std::max(0, xmasterRecords)));
  for (int i = 1; i <= masterRecords; ++i) {
    IndexEntry entry;
    entry.masterIndex = i;
    std::memcpy(entry.record.bytes.data(), RecordAt(files.master.bytes, kMasterRecordSize, i), kMasterRecordSize);
    if (files.hasEmaster() && !entry.record.isSubPortfolio()) {
      entry.emasterIndex = EmasterIndexFor(files, i, entry.record.fileNumber());
      if (entry.emasterIndex != 0) {
        TakeEmasterFacts(RecordAt(files.emaster.bytes, kEmasterRecordSize, entry.emasterIndex), &entry.record);
      }
    }
    entries.push_back(std::move(entry));
  }
  for (int j = 1; j <= xmasterRecords; ++j) {
    IndexEntry entry;
    entry.xmasterIndex = j;
    entry.record = XmasterRecordAsMaster(RecordAt(files.xmaster.bytes, kXmasterRecordSize, j));
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<IndexEntry> FindEntryByGridText(const IndexFiles& files, const std::string& gridText) {
  for (IndexEntry& entry : IndexEntries(files)) {
    const std::string shown = GridSymbolText(entry.record.bytes.data() + kMasterSymbol);
    // The grid shows a blank symbol by its name.
    if (shown == gridText || (shown.empty() && ShownText(entry.record.nameText()) == gridText)) return std::move(entry);
  }
  return std::nullopt;
}

bool OtherEntryUses(const IndexFiles& files, int fileNumber, const IndexEntry& entry) {
  for (const IndexEntry& other : IndexEntries(files)) {
    if (other.masterIndex == entry.masterIndex && other.xmasterIndex == entry.xmasterIndex) continue;
    if (!other.record.isSubPortfolio() && other.record.fileNumber() == fileNumber) return true;
  }
  return false;
}

void AddEmasterFacts(FileSystem& fs, const std::string& dir, int index, MasterRecord* record) {
  const std::string path = FindNoCase(fs, dir, kEmasterName);
  if (path.empty()) return;
  auto file = fs.OpenForRead(path);
  std::uint8_t em[kEmasterRecordSize];
  std::size_t got = 0;
  if (file && file->ReadAt(kEmasterRecordSize * static_cast<std::uint64_t>(index), sizeof em, em, &got) &&
      got == sizeof em && em[kEmasterFileNumber] == record->fileNumber()) {
    TakeEmasterFacts(em, record);
    return;
  }
  // Out of step: the record with the same number, if EMASTER has one.
  IndexFiles files;
  files.emaster.path = path;
  if (!ReadWholeFile(fs, path, &files.emaster.bytes, LargestFile(kEmasterRecordSize))) return;
  const int found = EmasterIndexFor(files, index, record->fileNumber());
  if (found != 0) TakeEmasterFacts(RecordAt(files.emaster.bytes, kEmasterRecordSize, found), record);
}

Status FindXmasterRecord(FileSystem& fs, const std::string& dir, std::string_view key,
                         MasterRecord* record) {
  IndexFiles files;
  if (!ReadOptional(fs, dir, kXmasterName, kXmasterRecordSize, &files.xmaster) || !files.hasXmaster()) return kFileNotFound;
  const int records = XmasterRecords(files);
  for (int j = 1; j <= records; ++j) {
    MasterRecord candidate = XmasterRecordAsMaster(RecordAt(files.xmaster.bytes, kXmasterRecordSize, j));
    if (!MasterRecordMatches(candidate, key)) continue;
    MbfToIeee(candidate.bytes.data() + kMasterFirstDate, candidate.bytes.data() + kMasterFirstDate);
    MbfToIeee(candidate.bytes.data() + kMasterLastDate, candidate.bytes.data() + kMasterLastDate);
    *record = std::move(candidate);
    return kSuccess;
  }
  return kFileNotFound;
}

std::string IndexDisagreement(const IndexFiles& files) {
  if (!files.hasEmaster()) return {};
  const Bytes& em = files.emaster.bytes;
  const int masterCount = files.masterCount();
  const int emasterCount = em.size() >= 2 ? static_cast<std::int16_t>(Read16(em, 0)) : -1;
  if (emasterCount != masterCount || PresentRecords(em, kEmasterRecordSize) < masterCount) {
    return "MASTER lists " + std::to_string(masterCount) + " symbols and EMASTER " +
           std::to_string(std::max(0, std::min(emasterCount, PresentRecords(em, kEmasterRecordSize)))) +
           "; the symbols of MASTER are shown";
  }
  const int records = MasterRecords(files);
  for (int i = 1; i <= records; ++i) {
    const int m = RecordAt(files.master.bytes, kMasterRecordSize, i)[kMasterFileNumber];
    const int e = RecordAt(em, kEmasterRecordSize, i)[kEmasterFileNumber];
    if (m != e) {
      return "MASTER and EMASTER disagree on the file number of record " + std::to_string(i) + " (" +
             std::to_string(m) + " and " + std::to_string(e) + "); the symbols of MASTER are shown";
    }
  }
  return {};
}

std::vector<std::string> IndexFilesOutOfStep(const IndexFiles& files) {
  std::vector<std::string> problems;
  const int count = MasterRecords(files);
  if (files.hasEmaster()) {
    const Bytes& em = files.emaster.bytes;
    if (em.size() < kEmasterRecordSize || !std::equal(em.begin(), em.begin() + 4, files.master.bytes.begin())) {
      problems.push_back("EMASTER's header does not repeat MASTER's counts");
    }
    if (PresentRecords(em, kEmasterRecordSize) != count) {
      problems.push_back("EMASTER holds " + std::to_string(PresentRecords(em, kEmasterRecordSize)) +
                         " records and MASTER " + std::to_string(count));
    }
    for (int i = 1; i <= std::min(count, PresentRecords(em, kEmasterRecordSize)); ++i) {
      MasterRecord m;
      std::memcpy(m.bytes.data(), RecordAt(files.master.bytes, kMasterRecordSize, i), kMasterRecordSize);
      if (m.isSubPortfolio()) continue;
      const std::uint8_t* e = RecordAt(em, kEmasterRecordSize, i);
      const std::string at = " of record " + std::to_string(i);
      if (e[kEmasterFileNumber] != m.fileNumber()) problems.push_back("file number" + at);
      if (TextUpToZero(e + kEmasterSymbol, kEmasterSymbolSize) !=
          GridSymbolText(m.bytes.data() + kMasterSymbol).substr(0, kEmasterSymbolSize)) {
        problems.push_back("symbol" + at);
      }
      if (WithoutTrailingBlanks(TextUpToZero(e + kEmasterIssueName, kMasterTextSize)) !=
          WithoutTrailingBlanks(m.nameText())) {
        problems.push_back("name" + at);
      }
      // The 32-bit first date is left out: vendor files hold it stale.
      if (!SameDateValue(ReadIeee(e + kEmasterFirstDate), ReadMbf(m.bytes.data() + kMasterFirstDate)) ||
          !SameDateValue(ReadIeee(e + kEmasterLastDate), ReadMbf(m.bytes.data() + kMasterLastDate))) {
        problems.push_back("dates" + at);
      }
      if (e[kEmasterFieldCount] != m.fieldCount()) problems.push_back("number of fields" + at);
    }
  }
  if (files.hasXmaster()) {
    const Bytes& xm = files.xmaster.bytes;
    const int present = PresentRecords(xm, kXmasterRecordSize);
    if (files.xmasterCount() != present || Read16(xm, kXmasterCountAgain) != present) {
      problems.push_back("XMASTER's header counts do not match its " + std::to_string(present) + " records");
    }
    for (int j = 1; j <= present; ++j) {
      const int n = XmasterNumber(RecordAt(xm, kXmasterRecordSize, j));
      if (n <= kLargestMasterFileNumber || n >= Read16(xm, kXmasterNextNumber)) {
        problems.push_back("XMASTER record " + std::to_string(j) + " has file number " + std::to_string(n));
      }
    }
  }
  std::vector<bool> seen(kFileNumberCount, false);
  for (const IndexEntry& entry : IndexEntries(files)) {
    if (entry.record.isSubPortfolio()) continue;
    const auto n = static_cast<std::size_t>(entry.record.fileNumber());
    if (seen[n]) problems.push_back("file number " + std::to_string(n) + " is used twice");
    seen[n] = true;
  }
  return problems;
}

IndexFiles WithTexts(const IndexFiles& files, const IndexEntry& entry, const std::string& symbol,
                     const std::string& name) {
  IndexFiles out = files;
  if (entry.masterIndex != 0) {
    std::uint8_t* r = RecordAt(out.master.bytes, kMasterRecordSize, entry.masterIndex);
    PutBlankPadded(r + kMasterIssueName, kMasterTextSize, name);
    PutBlankPadded(r + kMasterSymbol, kMasterTextSize, symbol);
    out.master.changed = true;
  }
  if (entry.emasterIndex != 0) {
    std::uint8_t* r = RecordAt(out.emaster.bytes, kEmasterRecordSize, entry.emasterIndex);
    PutZeroPadded(r + kEmasterSymbol, kEmasterSymbolSize, symbol);
    PutZeroPadded(r + kEmasterIssueName, kMasterTextSize, name.substr(0, kMasterTextSize));
    PutZeroPadded(r + kEmasterLongName, kEmasterLongNameSize,
                  name.size() > kMasterTextSize ? name.substr(0, kEmasterLongNameSize) : std::string());
    out.emaster.changed = true;
  }
  if (entry.xmasterIndex != 0) {
    std::uint8_t* r = RecordAt(out.xmaster.bytes, kXmasterRecordSize, entry.xmasterIndex);
    PutZeroPadded(r + kXmasterSymbol, kXmasterSymbolSize, symbol);
    PutZeroPadded(r + kXmasterIssueName, kXmasterIssueNameSize, name.substr(0, kXmasterIssueNameSize));
    out.xmaster.changed = true;
  }
  return out;
}

std::size_t SymbolRoom(const IndexFiles& /*files*/, const IndexEntry& entry) {
  return entry.emasterIndex != 0 || entry.xmasterIndex != 0 ? kEmasterSymbolSize : kMasterTextSize;
}

IndexFiles WithDates(const IndexFiles& files, int fileNumber, std::optional<MbfDate> first,
                     std::optional<MbfDate> last) {
  IndexFiles out = files;
  if (fileNumber <= kLargestMasterFileNumber) {
    // A trailing piece shorter than a record is no record and is not carried over.
    Bytes& master = out.master.bytes;
    master.resize(master.size() / kMasterRecordSize * kMasterRecordSize);
    for (int i = 1; i <= PresentRecords(master, kMasterRecordSize); ++i) {
      std::uint8_t* r = RecordAt(master, kMasterRecordSize, i);
      MasterRecord record;
      std::memcpy(record.bytes.data(), r, kMasterRecordSize);
      if (record.fileNumber() != fileNumber || record.isSubPortfolio()) continue;
      if (first) std::memcpy(r + kMasterFirstDate, first->data(), 4);
      if (last) std::memcpy(r + kMasterLastDate, last->data(), 4);
    }
    out.master.changed = true;
    Bytes& em = out.emaster.bytes;
    for (int i = 1; i <= PresentRecords(em, kEmasterRecordSize); ++i) {
      std::uint8_t* r = RecordAt(em, kEmasterRecordSize, i);
      if (r[kEmasterFileNumber] != fileNumber) continue;
      if (first) {
        WriteIeee(ReadMbf(first->data()), r + kEmasterFirstDate);
        Write32(r + kEmasterFirstDateNumber, DateNumberOfMbf(first->data()));
      }
      if (last) WriteIeee(ReadMbf(last->data()), r + kEmasterLastDate);
      out.emaster.changed = true;
    }
    return out;
  }
  Bytes& xm = out.xmaster.bytes;
  for (int j = 1; j <= XmasterRecords(out); ++j) {
    std::uint8_t* r = RecordAt(xm, kXmasterRecordSize, j);
    if (XmasterNumber(r) != fileNumber) continue;
    if (first) {
      // The start date follows the first date only where it was the first date.
      if (Read32(r + kXmasterStartDate) == Read32(r + kXmasterFirstDate)) {
        Write32(r + kXmasterStartDate, DateNumberOfMbf(first->data()));
      }
      Write32(r + kXmasterFirstDate, DateNumberOfMbf(first->data()));
    }
    if (last) Write32(r + kXmasterLastDate, DateNumberOfMbf(last->data()));
    out.xmaster.changed = true;
  }
  return out;
}

IndexFiles WithRecordSize(const IndexFiles& files, int fileNumber, std::optional<std::uint8_t> recordLength,
                          std::optional<std::uint8_t> fieldCount) {
  IndexFiles out = files;
  if (fileNumber > kLargestMasterFileNumber) return out;
  for (int i = 1; i <= PresentRecords(out.master.bytes, kMasterRecordSize); ++i) {
    std::uint8_t* r = RecordAt(out.master.bytes, kMasterRecordSize, i);
    MasterRecord record;
    std::memcpy(record.bytes.data(), r, kMasterRecordSize);
    if (record.fileNumber() != fileNumber || record.isSubPortfolio()) continue;
    if (recordLength) r[kMasterRecordLength] = *recordLength;
    if (fieldCount) r[kMasterFieldCount] = *fieldCount;
    out.master.changed = true;
  }
  for (int i = 1; fieldCount && i <= PresentRecords(out.emaster.bytes, kEmasterRecordSize); ++i) {
    std::uint8_t* r = RecordAt(out.emaster.bytes, kEmasterRecordSize, i);
    if (r[kEmasterFileNumber] != fileNumber) continue;
    r[kEmasterFieldCount] = *fieldCount;
    out.emaster.changed = true;
  }
  return out;
}

IndexFiles WithoutEntry(const IndexFiles& files, const IndexEntry& entry) {
  IndexFiles out = files;
  if (entry.emasterIndex != 0) {
    EraseRecord(out.emaster.bytes, kEmasterRecordSize, entry.emasterIndex);
    out.emaster.changed = true;
  }
  if (entry.masterIndex != 0) {
    EraseRecord(out.master.bytes, kMasterRecordSize, entry.masterIndex);
    AdjustMasterHeader(out, -1);
    out.master.changed = true;
  }
  if (entry.xmasterIndex != 0) {
    EraseRecord(out.xmaster.bytes, kXmasterRecordSize, entry.xmasterIndex);
    AdjustXmasterCounts(out.xmaster.bytes, -1);
    out.xmaster.changed = true;
  }
  return out;
}

IndexFiles WithBlankSymbolsRepaired(const IndexFiles& files) {
  IndexFiles out = files;
  Bytes& master = out.master.bytes;
  for (int i = 1; i <= PresentRecords(master, kMasterRecordSize); ++i) {
    std::uint8_t* symbol = RecordAt(master, kMasterRecordSize, i) + kMasterSymbol;
    if (!GridSymbolText(symbol).empty()) continue;
    MasterRecord record;
    std::memcpy(record.bytes.data(), RecordAt(master, kMasterRecordSize, i), kMasterRecordSize);
    const std::string name = record.nameText();
    for (std::size_t k = 0; k < kMasterTextSize; ++k) {
      if (k < name.size()) {
        symbol[k] = static_cast<std::uint8_t>(name[k]);
      } else if (k == name.size() || symbol[k] <= 0x20 || symbol[k] >= 0x80) {
        symbol[k] = 0;
      }
    }
    // A name that a control byte leads leaves the symbol blank: rewriting it again at every
    // opening would change nothing.
    if (std::memcmp(symbol, record.bytes.data() + kMasterSymbol, kMasterTextSize) == 0) continue;
    out.master.changed = true;
    if (out.hasEmaster()) {
      const int e = EmasterIndexFor(out, i, record.fileNumber());
      if (e != 0) {
        PutZeroPadded(RecordAt(out.emaster.bytes, kEmasterRecordSize, e) + kEmasterSymbol, kEmasterSymbolSize,
                      GridSymbolText(symbol).substr(0, kEmasterSymbolSize));
        out.emaster.changed = true;
      }
    }
  }
  for (int j = 1; j <= XmasterRecords(out); ++j) {
    std::uint8_t* r = RecordAt(out.xmaster.bytes, kXmasterRecordSize, j);
    std::uint8_t field[kMasterTextSize] = {};
    std::memcpy(field, r + kXmasterSymbol, kXmasterSymbolSize);
    if (!GridSymbolText(field).empty()) continue;
    std::uint8_t name[kMasterTextSize] = {};
    std::memcpy(name, r + kXmasterIssueName, kMasterTextSize);
    PutZeroPadded(r + kXmasterSymbol, kXmasterSymbolSize,
                  TextUpToZero(name, kMasterTextSize).substr(0, kXmasterSymbolSize));
    out.xmaster.changed = true;
  }
  return out;
}

IndexFiles WithEntryAdded(const IndexFiles& files, const NewIndexEntry& entry, int fileNumber) {
  IndexFiles out = files;
  if (fileNumber <= kLargestMasterFileNumber) {
    const int index = files.masterCount() + 1;
    MasterRecord record = entry.record;
    record.bytes[kMasterFileNumber] = static_cast<std::uint8_t>(fileNumber);
    InsertRecord(out.master.bytes, kMasterRecordSize, index,
                 Bytes(record.bytes.begin(), record.bytes.end()));
    out.master.changed = true;
    if (out.hasEmaster()) {
      Bytes em = entry.emasterRecord ? *entry.emasterRecord : EmasterRecordFor(entry, fileNumber);
      em[kEmasterFileNumber] = static_cast<std::uint8_t>(fileNumber);
      Bytes& emaster = out.emaster.bytes;
      if (emaster.size() < kEmasterRecordSize) emaster.resize(kEmasterRecordSize, 0);
      InsertRecord(emaster, kEmasterRecordSize, std::min(index, PresentRecords(emaster, kEmasterRecordSize) + 1), em);
      out.emaster.changed = true;
    }
    AdjustMasterHeader(out, +1);
    return out;
  }
  if (!out.hasXmaster() || out.xmaster.bytes.size() < kXmasterRecordSize) out.xmaster.bytes = NewXmasterHeader();
  Bytes xm = entry.xmasterRecord ? *entry.xmasterRecord : XmasterRecordFor(entry, fileNumber);
  Write16(xm, kXmasterFileNumber, fileNumber);
  InsertRecord(out.xmaster.bytes, kXmasterRecordSize, XmasterRecords(out) + 1, xm);
  AdjustXmasterCounts(out.xmaster.bytes, +1);
  Write16(out.xmaster.bytes, kXmasterNextNumber,
          std::max(Read16(out.xmaster.bytes, kXmasterNextNumber), fileNumber + 1));
  out.xmaster.changed = true;
  return out;
}

bool MasterHasRoom(const IndexFiles& files) {
  if (files.masterCount() >= kLargestMasterFileNumber) return false;
  return files.hasEmaster() ||
         static_cast<std::int16_t>(Read16(files.master.bytes, 2)) < kLargestMasterFileNumber;
}

bool TakesExtendedSymbols(const IndexFiles& files) { return files.hasXmaster() || files.hasEmaster(); }

std::vector<bool> UsedFileNumbers(const IndexFiles& files) {
  std::vector<bool> used(kFileNumberCount, false);
  used[0] = true;
  for (const IndexEntry& entry : IndexEntries(files)) {
    used[static_cast<std::size_t>(entry.record.fileNumber())] = true;
  }
  return used;
}

namespace {

// Numbers that the directory's files already carry: F<m>.anything in any letter case.
bool NumbersOfFiles(FileSystem& fs, const std::string& dir, std::vector<bool>* used) {
  std::vector<DirEntry> entries;
  if (!fs.ListDirectory(dir, &entries)) return false;
  for (const DirEntry& entry : entries) {
    const std::string& name = entry.name;
    if (name.size() < 3 || (name[0] != 'F' && name[0] != 'f')) continue;
    std::size_t end = 1;
    std::size_t number = 0;
    while (end < name.size() && end < 7 && name[end] >= '0' && name[end] <= '9') {
      number = number * 10 + static_cast<std::size_t>(name[end] - '0');
      ++end;
    }
    if (end > 1 && end < name.size() && name[end] == '.' && number < used->size()) (*used)[number] = true;
  }
  return true;
}

}  // namespace

int NextFreeFileNumber(FileSystem& fs, const IndexFiles& files) {
  std::vector<bool> used = UsedFileNumbers(files);
  if (!NumbersOfFiles(fs, files.dir, &used)) return 0;
  const auto lowestFree = [&](std::size_t from) {
    for (std::size_t m = from; m < used.size(); ++m) {
      if (!used[m]) return static_cast<int>(m);
    }
    return 0;
  };
  int m = MasterHasRoom(files) ? lowestFree(1) : 0;
  if (m > kLargestMasterFileNumber) m = 0;
  if (m == 0 && TakesExtendedSymbols(files)) m = lowestFree(kLargestMasterFileNumber + 1);
  return m;
}

std::optional<Bytes> EmasterRecordOf(const IndexFiles& files, const IndexEntry& entry) {
  if (entry.emasterIndex == 0) return std::nullopt;
  const std::uint8_t* r = RecordAt(files.emaster.bytes, kEmasterRecordSize, entry.emasterIndex);
  return Bytes(r, r + kEmasterRecordSize);
}

std::optional<Bytes> XmasterRecordOf(const IndexFiles& files, const IndexEntry& entry) {
  if (entry.xmasterIndex == 0) return std::nullopt;
  const std::uint8_t* r = RecordAt(files.xmaster.bytes, kXmasterRecordSize, entry.xmasterIndex);
  return Bytes(r, r + kXmasterRecordSize);
}

std::vector<IndexFileWrite> IndexWrites(FileSystem& fs, const IndexFiles& after, const IndexFiles& before,
                                        IndexReplace how) {
  std::vector<IndexFileWrite> writes;
  for (const IndexFile* file : {&after.master, &after.emaster, &after.xmaster}) {
    if (!file->changed) continue;
    const std::string name = NameOf(after, *file);
    const IndexFile& old = file == &after.master ? before.master
                           : file == &after.emaster ? before.emaster
                                                    : before.xmaster;
    IndexFileWrite write;
    write.path = file->path.empty() ? after.dir + name : file->path;
    write.created = old.path.empty();
    write.old = old.bytes;
    write.contents = file->bytes;
    switch (how) {
      case IndexReplace::kBackupAndNew:
        write.temporaryPath = after.dir + IndexNewName(name);
        if (!write.created) write.backupPath = ResolveNoCase(fs, after.dir, IndexBackupName(name));
        break;
      case IndexReplace::kSwap: write.temporaryPath = after.dir + IndexSwapName(name); break;
      case IndexReplace::kRepair: {
        // Built on the program's own upper-case name: a vendor's lower-case "master" plus
        // ".bak" would be the vendor's backup itself, which the repair must not consume.
        write.temporaryPath = RepairTemporaryPath(after.dir + name);
        FileInfo existing;
        if (fs.StatNoFollow(write.temporaryPath, &existing)) {
          write.temporaryPath = after.dir + IndexSwapName(name);
        }
        break;
      }
    }
    writes.push_back(std::move(write));
  }
  return writes;
}

bool IndexFilesWrite::Apply(std::vector<IndexFileWrite> writes) {
  writes_ = std::move(writes);
  replaced_ = 0;
  backups_.clear();
  for (const IndexFileWrite& write : writes_) {
    if (write.backupPath.empty()) continue;
    backups_.push_back(std::make_unique<PendingBackup>(fs_));
    if (!backups_.back()->Write(write.backupPath, write.old)) {
      backups_.clear();
      return false;
    }
  }
  for (; replaced_ < writes_.size(); ++replaced_) {
    const IndexFileWrite& write = writes_[replaced_];
    // A file another program changed since it was read is refused rather than overwritten.
    if (!ReplaceFile(fs_, write.path, write.temporaryPath, write.contents, write.created ? nullptr : &write.old)) {
      Undo();
      return false;
    }
  }
  return true;
}

bool IndexFilesWrite::Commit() {
  for (std::size_t k = 0; k < backups_.size(); ++k) {
    if (backups_[k]->Commit()) continue;
    // The user's previous backups stand again, not some of them new.
    while (k-- > 0) (void)backups_[k]->Revert();
    return false;
  }
  return true;
}

void IndexFilesWrite::Undo() {
  for (std::size_t k = backups_.size(); k-- > 0;) (void)backups_[k]->Revert();
  for (std::size_t k = replaced_; k-- > 0;) {
    const IndexFileWrite& write = writes_[k];
    if (write.created) {
      (void)RemoveIfPresent(fs_, write.path);
    } else {
      (void)ReplaceFile(fs_, write.path, write.temporaryPath, write.old);
    }
  }
  replaced_ = 0;
  backups_.clear();
}

bool WriteIndexFiles(FileSystem& fs, std::vector<IndexFileWrite> writes) {
  IndexFilesWrite write(fs);
  if (!write.Apply(std::move(writes))) return false;
  if (write.Commit()) return true;
  write.Undo();
  return false;
}

}  // namespace barvane
