// A portfolio's index files taken together: MASTER and, when the portfolio has them, EMASTER
// (the same symbols with longer fields) and XMASTER (the symbols numbered above 255). They are
// read as one list of symbols, and every change of a symbol is made to each file that holds
// it, so that vendor software and other readers find the three in step.
//
// The pieces: ReadIndexFiles takes the files whole into memory; IndexEntries lists their
// symbols; the With... functions change one symbol in the bytes held, marking each file they
// touch; IndexWrites turns the touched files into replacements and WriteIndexFiles performs
// them all or nothing. A command that changes quote files too feeds IndexWrites to its own
// journal instead.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/dates.h"
#include "data/field_layout.h"
#include "data/file_ops.h"
#include "data/fs.h"
#include "data/master.h"

namespace barvane {

inline constexpr std::size_t kEmasterRecordSize = 192;
inline constexpr std::size_t kXmasterRecordSize = 150;

// EMASTER record offsets (record 0 is a header like MASTER's).
inline constexpr std::size_t kEmasterFileNumber = 2;
inline constexpr std::size_t kEmasterFieldCount = 6;
inline constexpr std::size_t kEmasterFieldSet = 7;
inline constexpr std::size_t kEmasterSymbol = 11;
inline constexpr std::size_t kEmasterSymbolSize = 14;
inline constexpr std::size_t kEmasterIssueName = 32;
inline constexpr std::size_t kEmasterPeriodicity = 60;
inline constexpr std::size_t kEmasterIntradayMinutes = 62;  // 16-bit
inline constexpr std::size_t kEmasterFirstDate = 64;  // IEEE YYYMMDD
inline constexpr std::size_t kEmasterLastDate = 72;
inline constexpr std::size_t kEmasterFirstDateNumber = 126;  // 32-bit YYYYMMDD
inline constexpr std::size_t kEmasterLongName = 139;
inline constexpr std::size_t kEmasterLongNameSize = 52;

// XMASTER header and record offsets (the header is one record long).
inline constexpr std::size_t kXmasterCount = 10;
inline constexpr std::size_t kXmasterCountAgain = 14;
inline constexpr std::size_t kXmasterNextNumber = 18;
inline constexpr std::size_t kXmasterSymbol = 1;
inline constexpr std::size_t kXmasterSymbolSize = 14;
inline constexpr std::size_t kXmasterIssueName = 16;
inline constexpr std::size_t kXmasterIssueNameSize = 45;
inline constexpr std::size_t kXmasterPeriodicity = 62;
inline constexpr std::size_t kXmasterIntradayMinutes = 63;  // 16-bit
inline constexpr std::size_t kXmasterFileNumber = 65;
inline constexpr std::size_t kXmasterFieldSet = 70;
inline constexpr std::size_t kXmasterStartDate = 104;  // 32-bit YYYYMMDD, often the first date
inline constexpr std::size_t kXmasterFirstDate = 108;
inline constexpr std::size_t kXmasterLastDate = 116;

// The 32-bit YYYYMMDD that goes with a date value YYYMMDD; 0 for no date: zero, below zero,
// or a value (too large, not a number) that no date has.
std::int32_t DateNumberOfValue(float value);
// Whether two index files hold one date value; two values that are not a number are one, so
// that a damaged date is found out of step (and mended) once.
bool SameDateValue(float a, float b);

// Field-set bits of EMASTER and XMASTER, by quantity (DATE, TIME, OPEN, ... OI).
std::uint8_t FieldSetBit(int quantity);
// The layout a field set gives: its quantities in the order DATE, TIME, OPEN ... OI.
FieldLayout LayoutOfFieldSet(std::uint8_t fieldSet);
// The field set that holds exactly the quantities of `layout`; 0 when its fields are not in
// that order (only F<n>.DOP can then describe the file).
std::uint8_t FieldSetOfLayout(const FieldLayout& layout);

struct IndexFile {
  std::string path;      // empty: the portfolio has no such file
  Bytes bytes;           // the whole file
  bool changed = false;  // set by the changes below
};

struct IndexFiles {
  std::string dir;  // ending in "/"
  IndexFile master, emaster, xmaster;

  bool hasEmaster() const { return !emaster.path.empty(); }
  bool hasXmaster() const { return !xmaster.path.empty(); }
  // The records the MASTER and XMASTER headers announce (0 for a file too short to say).
  int masterCount() const;
  int xmasterCount() const;
  // Whether MASTER holds at least the records its header announces.
  bool masterWhole() const;
};

// Record slots that a file holds beyond the count its header announces, every byte of them
// zero: room a writer set aside and never used. A file so padded is read as its header says.
struct SpareSlots {
  int master = 0, emaster = 0, xmaster = 0;
  bool any() const { return master + emaster + xmaster != 0; }
};
// The spare slots of each file; 0 for a file whose slots beyond its count are not all zero,
// or that ends in a piece of a record.
SpareSlots ZeroSlotsBeyondCounts(const IndexFiles& files);
// `files` without those slots, each file that loses some marked changed.
IndexFiles WithoutSpareSlots(const IndexFiles& files);
// The whole-record slots of `bytes` after its header and the `count` announced, when all of
// them are zero bytes and no piece of a record follows; 0 otherwise.
int ZeroSlotsBeyond(const Bytes& bytes, std::size_t recordSize, int count);

// Reads the MASTER of `dir` and its EMASTER and XMASTER when present, each in any letter case.
// Returns false when MASTER cannot be read or lacks a header, or when an EMASTER or XMASTER
// that exists cannot be read; `*files` then holds what was read.
[[nodiscard]] bool ReadIndexFiles(FileSystem& fs, const std::string& dir, IndexFiles* files);
// The same for the MASTER at `masterPath` and the EMASTER and XMASTER beside it.
[[nodiscard]] bool ReadIndexFilesOf(FileSystem& fs, const std::string& masterPath, IndexFiles* files);

// One symbol and the records that describe it.
struct IndexEntry {
  int masterIndex = 0;   // 1-based record of MASTER; 0 for a symbol of XMASTER
  int emasterIndex = 0;  // 1-based record of EMASTER for the same symbol; 0 when none
  int xmasterIndex = 0;  // 1-based record of XMASTER; 0 for a symbol of MASTER
  MasterRecord record;   // in MASTER's form, dates MBF as the files hold them

  bool inXmaster() const { return xmasterIndex != 0; }
};

// The records of MASTER that its header announces and the file holds, at most `masterLimit`
// of them (sub-portfolio records included), in file order, then every record of XMASTER.
std::vector<IndexEntry> IndexEntries(const IndexFiles& files, int masterLimit = 0x7FFF);

// The first entry whose symbol the symbol grid shows as `gridText` (a blank symbol by its
// name), MASTER before XMASTER.
std::optional<IndexEntry> FindEntryByGridText(const IndexFiles& files, const std::string& gridText);

// Whether a symbol record other than `entry`'s uses file number `fileNumber`.
bool OtherEntryUses(const IndexFiles& files, int fileNumber, const IndexEntry& entry);

// An XMASTER record in MASTER's form, dates MBF.
MasterRecord XmasterRecordAsMaster(const std::uint8_t* xmasterRecord);

// Fills the extended facts (field set, long name) of the MASTER record at `index` of the MASTER
// of `dir` from EMASTER's record of the same place, when that record has the same file number.
void AddEmasterFacts(FileSystem& fs, const std::string& dir, int index, MasterRecord* record);

// Searches the XMASTER of `dir` for the first record that `key` names (as MasterRecordMatches
// tells). Returns kSuccess with it in MASTER's form (dates IEEE), kFileNotFound otherwise.
[[nodiscard]] Status FindXmasterRecord(FileSystem& fs, const std::string& dir, std::string_view key,
                                       MasterRecord* record);

// Why MASTER and EMASTER disagree (counts, file numbers), or "" when they agree or there is
// no EMASTER. MASTER is the one to trust.
std::string IndexDisagreement(const IndexFiles& files);

// Every way in which the index files are out of step, one text each (none when they are in
// step): EMASTER's header or records against MASTER's (count, file numbers, symbols, names,
// first and last dates as floats, numbers of fields), XMASTER's counts against its records,
// numbers of XMASTER not above 255 or beyond its next number, and file numbers used twice.
std::vector<std::string> IndexFilesOutOfStep(const IndexFiles& files);

// The changes. Each returns the files with one symbol changed in every file that holds it.

// `entry` with a new symbol and issue name (MASTER's fields padded with blanks, EMASTER's and
// XMASTER's ending in zeros; EMASTER's long name cleared when the name fits the short one).
IndexFiles WithTexts(const IndexFiles& files, const IndexEntry& entry, const std::string& symbol,
                     const std::string& name);
// The longest symbol that every file holding `entry` can store.
std::size_t SymbolRoom(const IndexFiles& files, const IndexEntry& entry);

// Every record of file number `fileNumber` with a new first and/or last date, given as MASTER
// holds a date (MBF). MASTER is rewritten whole records only, for a MASTER symbol even when no
// record carries the number.
using MbfDate = std::array<std::uint8_t, 4>;
IndexFiles WithDates(const IndexFiles& files, int fileNumber, std::optional<MbfDate> first,
                     std::optional<MbfDate> last);

// Every record of file number `fileNumber` with a new record length and/or field count (MASTER;
// EMASTER holds the field count only, XMASTER neither).
IndexFiles WithRecordSize(const IndexFiles& files, int fileNumber, std::optional<std::uint8_t> recordLength,
                          std::optional<std::uint8_t> fieldCount);

// Without `entry`: its records leave each file, whose header counts drop by one.
IndexFiles WithoutEntry(const IndexFiles& files, const IndexEntry& entry);

// The symbol grid's blank-symbol repair: every record whose symbol is blank gets its issue
// name as symbol, in MASTER (as the grid reads it), EMASTER and XMASTER.
IndexFiles WithBlankSymbolsRepaired(const IndexFiles& files);

// A new symbol described by `record` (MASTER's form, dates MBF) and, when the source had them,
// its EMASTER or XMASTER record, added under file number `fileNumber`: 1..255 as MASTER's last
// record (and EMASTER's, when the portfolio has one), above 255 as XMASTER's last record
// (XMASTER created when missing). `fieldSet` describes its quote records for EMASTER and
// XMASTER.
struct NewIndexEntry {
  MasterRecord record;
  std::optional<Bytes> emasterRecord;  // the source's, copied with the number changed
  std::optional<Bytes> xmasterRecord;
  std::uint8_t fieldSet = 0;
};
IndexFiles WithEntryAdded(const IndexFiles& files, const NewIndexEntry& entry, int fileNumber);
// The EMASTER and XMASTER records, and the XMASTER header, that describe `entry` under
// `fileNumber` when there is no source record to copy; bytes they do not interpret are zero.
Bytes EmasterRecordFor(const NewIndexEntry& entry, int fileNumber);
Bytes XmasterRecordFor(const NewIndexEntry& entry, int fileNumber);
Bytes NewXmasterHeader();

// Whether MASTER can take another symbol: fewer than 255 records announced, and for a MASTER
// without EMASTER its second header number below 255 too.
bool MasterHasRoom(const IndexFiles& files);
// Whether a symbol numbered above 255 can be added (the portfolio has XMASTER or EMASTER).
bool TakesExtendedSymbols(const IndexFiles& files);
// The numbers that records of the index files use.
std::vector<bool> UsedFileNumbers(const IndexFiles& files);
// The number a new symbol gets: the lowest that neither a record of `files` nor a file of their
// directory (F<m>.anything, any letter case) uses, from 1 to 255 while MASTER has room, else
// above 255 when the portfolio takes such numbers (TakesExtendedSymbols). 0 when there is none
// or the directory cannot be listed.
int NextFreeFileNumber(FileSystem& fs, const IndexFiles& files);
// The EMASTER or XMASTER record of `entry` as stored, when it has one.
std::optional<Bytes> EmasterRecordOf(const IndexFiles& files, const IndexEntry& entry);
std::optional<Bytes> XmasterRecordOf(const IndexFiles& files, const IndexEntry& entry);

// How the touched files are replaced: through ".NEW" after a ".BAK" copy (Edit symbol, the date
// update), through ".~NU" (Delete, Copy, Move symbol), or through the name with ".bak" appended
// (the blank-symbol repair).
enum class IndexReplace { kBackupAndNew, kSwap, kRepair };

struct IndexFileWrite {
  std::string path;           // created when the portfolio had no such file
  std::string temporaryPath;  // through which it is replaced
  std::string backupPath;     // receives `old` first; empty: no backup
  bool created = false;       // the portfolio had no such file before
  Bytes old;
  Bytes contents;
};

// One write for each file of `after` that a change touched, MASTER first.
std::vector<IndexFileWrite> IndexWrites(FileSystem& fs, const IndexFiles& after, const IndexFiles& before,
                                        IndexReplace how);

// Index files replaced together, all or nothing, each one's backup put in place only once the
// command they belong to has succeeded.
class IndexFilesWrite {
 public:
  explicit IndexFilesWrite(FileSystem& fs) : fs_(fs) {}
  IndexFilesWrite(const IndexFilesWrite&) = delete;
  IndexFilesWrite& operator=(const IndexFilesWrite&) = delete;

  // Writes each backup aside, then replaces each file crash-safely in order. On failure puts
  // back every file already replaced, drops the backups and returns false.
  [[nodiscard]] bool Apply(std::vector<IndexFileWrite> writes);
  // Puts the backups in place. On failure the files stand replaced and every backup holds its
  // previous bytes; call Undo.
  [[nodiscard]] bool Commit();
  // Gives every replaced file, and every backup put in place, its old bytes back (a created
  // file is removed). Also after a successful Commit, for a command that fails later.
  void Undo();

 private:
  FileSystem& fs_;
  std::vector<IndexFileWrite> writes_;
  std::size_t replaced_ = 0;
  std::vector<std::unique_ptr<PendingBackup>> backups_;
};

// Apply and Commit of `writes`; on failure every index file keeps its old bytes, and every
// backup its old bytes too.
[[nodiscard]] bool WriteIndexFiles(FileSystem& fs, std::vector<IndexFileWrite> writes);

}  // namespace barvane
