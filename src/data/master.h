// The MASTER file: a portfolio's index of 53-byte records, record 0 a header holding the record
// count, and FindMasterRecord, the search through a portfolio and its sub-portfolios by which
// every reader and writer of quote files turns a symbol text into its record and directory.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/fs.h"
#include "data/status.h"

namespace barvane {

inline constexpr std::size_t kMasterRecordSize = 53;
inline constexpr std::size_t kMasterTextSize = 16;

// Byte offsets within a record.
inline constexpr std::size_t kMasterFileNumber = 0;
inline constexpr std::size_t kMasterRecordLength = 3;
inline constexpr std::size_t kMasterFieldCount = 4;
inline constexpr std::size_t kMasterIssueName = 7;
inline constexpr std::size_t kMasterFirstDate = 25;
inline constexpr std::size_t kMasterLastDate = 29;
inline constexpr std::size_t kMasterPeriodicity = 33;
inline constexpr std::size_t kMasterSymbol = 36;

// The largest MASTER: 65,536 records, the header included.
inline constexpr std::uint64_t kLargestMasterFile = std::uint64_t{0x10000} * kMasterRecordSize;

// Sub-portfolios nested deeper than this are not searched.
inline constexpr int kMaxPortfolioDepth = 32;

// One symbol's record in MASTER's form: its 53 bytes, and what the extended index files add.
// A symbol of XMASTER is given the same form (its file number, above 255, kept beside the
// bytes), so that every reader of quote files serves both.
struct MasterRecord {
  std::array<std::uint8_t, kMasterRecordSize> bytes{};
  int extendedFileNumber = 0;   // an XMASTER symbol's file number; 0 for a MASTER record
  std::uint8_t fieldSet = 0;    // EMASTER's or XMASTER's field set; 0 when none is known
  std::string longName;         // the longest issue name the index files hold for it
  int intradayMinutes = 0;      // EMASTER's or XMASTER's bar length of an intraday series; 0 unknown

  int fileNumber() const {
    return extendedFileNumber != 0 ? extendedFileNumber : bytes[kMasterFileNumber];
  }
  int recordLength() const { return bytes[kMasterRecordLength]; }
  int fieldCount() const { return bytes[kMasterFieldCount]; }
  char periodicity() const { return static_cast<char>(bytes[kMasterPeriodicity]); }
  // The 16 name bytes up to the first zero byte, trailing blanks kept.
  std::string nameText() const;
  // The 16 symbol bytes up to the first zero byte, trailing blanks kept.
  std::string symbolText() const;
  // The first and last dates as IEEE values (after FindMasterRecord converted them).
  float firstDate() const;
  float lastDate() const;
  // A record standing for a sub-portfolio: "<DIR>" at name positions 11 to 15 and a name
  // that does not start with a blank.
  bool isSubPortfolio() const;
  // The sub-portfolio's directory name: the first 8 name characters without trailing
  // blanks; empty when that name could lead outside the portfolio ("/", "\\", "." or "..").
  std::string subPortfolioName() const;
};

// Whether a byte of a symbol or name is a character to see in every code page: not a blank,
// not a control byte. Bytes from 0x80 up are letters.
bool IsPrintableByte(std::uint8_t c);

// A symbol or name as every face shows it: each control byte (below 0x20, and 0x7F) as '?', so
// that no listing carries one; a text of the files names its record in this form too.
std::string ShownText(std::string_view text);

// The symbol text the grid shows for a record's 16 symbol bytes: up to the first byte that is
// not IsPrintableByte (a zero, a blank, a control byte). Empty for a blank symbol, one that such
// a byte leads: the grid shows its name instead and the blank-symbol repair gives it one.
std::string GridSymbolText(const std::uint8_t* symbolField);

// The first 16-bit number of a MASTER header: the number of records that follow it.
std::int16_t MasterRecordCount(const std::uint8_t* header);

// Whether `record` is what `key` names: its name (trailing blanks removed from both) or its
// symbol cut to as many blank-separated words as the key has, ignoring ASCII letter case.
bool MasterRecordMatches(const MasterRecord& record, std::string_view key);

// Searches the MASTER file of `dir` and then its sub-portfolios, depth first, each MASTER's
// own records, then its XMASTER's, before its sub-portfolios, for the first record that `key`
// names. A MASTER record found takes its field set and long name from EMASTER when EMASTER's
// record of the same place has the same file number. A sub-portfolio is entered only as a real
// directory (never a link) and at most once.
// On success returns kSuccess with the record (its two dates converted to IEEE) and the
// directory whose MASTER holds it, ending in "/". Returns kFileNotFound when no record
// matches or the starting MASTER cannot be read, kFileRead when a record could not be read
// while the search walked to the sub-portfolios. Reads only.
[[nodiscard]] Status FindMasterRecord(FileSystem& fs, const std::string& dir,
                                      std::string_view key, MasterRecord* record,
                                      std::string* recordDir);

// FindMasterRecord for many keys in one portfolio, as a pass over all its symbols needs: the
// index files of `dir` are read once, when made, and a key is looked up in them without a
// search through their records. A key that no record there names, and every key when those
// files could not be read whole, goes to FindMasterRecord (the sub-portfolios).
class MasterRecordFinder {
 public:
  MasterRecordFinder(FileSystem& fs, const std::string& dir);

  // What FindMasterRecord(fs, dir, key, record, recordDir) gives, for the index files of `dir`
  // as they were when the finder was made.
  [[nodiscard]] Status Find(std::string_view key, MasterRecord* record, std::string* recordDir);

 private:
  FileSystem& fs_;
  std::string dir_;                     // ending in "/"
  std::vector<MasterRecord> records_;   // the symbols of MASTER, then XMASTER, dates IEEE
  // Each text a key may be to name a record (ASCII letters lower-cased): its name without
  // trailing blanks, and its symbol cut before each blank and whole. The first record wins.
  std::unordered_map<std::string, std::size_t> firstNamed_, firstBySymbol_;
};

}  // namespace barvane
