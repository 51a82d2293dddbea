// RewriteQuotes: the one way the program changes a quote file. The whole new file is built in
// memory from the old one with the change applied, the old file is kept as F<n>.BAK, and the
// new content replaces F<n>.DAT crash-safely. A delete of the first or last quote moves the
// MASTER dates too, after the quote file is in place; if that fails the quote file is put back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/dates.h"
#include "data/file_ops.h"
#include "data/fs.h"
#include "data/status.h"

namespace barvane {

enum class QuoteOp : std::int16_t { kSet = 1, kMultiply = 3, kDelete = 4, kInsertCopy = 5, kInsertNew = 6 };

struct QuoteChange {
  std::array<float, 6> value{};  // OPEN, HIGH, LOW, CLOSE, VOL, OI: new values or multipliers
  std::array<bool, 6> keep{};    // kSet only: true leaves that quantity's stored bytes alone
  DayNumber fromDay = 0;         // first day of the range, included
  DayNumber toDay = 0;           // last day of the range, included
  std::optional<DaySeconds> time;  // kSet, kDelete, kInsertNew: the bar of fromDay at this time
  QuoteOp op = QuoteOp::kSet;
};

// The message a delete of a day without a quote shows before its command's own message.
inline constexpr const char* kFindrecFailureText = "failure in delete quote for findrec";

// Applies `change` to the quotes of `symbol` found from `dir`. kSet and kDelete name one quote:
// the one of fromDay, at `time` when given; kSet replaces its held values but those marked
// keep (in a file without TIME those of every quote of the day), kDelete leaves it out (in a
// file without TIME the first quote of the day). kMultiply multiplies the held values of every
// quote of the days in the range (single precision); kInsertCopy writes before the first quote
// of each day of the range a copy of every quote of that day (one, or a day's bars), dated the
// last weekday before it; kInsertNew writes a new quote of fromDay (in a file with TIME at
// `time`, 00:00:00 when none is given) with the six values in its place in date and time order
// (its other bytes zero) and moves the index's first or last date when it becomes the first or
// last quote. Quantities the file does not hold are never written; every
// other byte of a record is copied as it was. On success returns kSuccess with F<n>.DAT
// replaced and its old bytes in F<n>.BAK. On failure every file keeps its old bytes and
// returns: the status of FindMasterRecord or ReadFieldLayout; kFileOpen when the quote file
// cannot be read; kDayNotInFile when no quote answers to the address of a kSet or kDelete,
// kSeveralQuotes when in a file with TIME more than one does; kDayInFile when a new quote's day
// (in a file with TIME, its day and time) has one already; kFileWrite when a file cannot be
// written or replaced (or an insert would overflow the header's 16-bit record number).
[[nodiscard]] Status RewriteQuotes(FileSystem& fs, const QuoteChange& change,
                                   const std::string& dir, const std::string& symbol);

// The index fields of a symbol record that move with a new content of its quote file; each
// field left empty stays as it is.
struct RecordUpdate {
  std::optional<std::array<std::uint8_t, 4>> firstDate, lastDate;  // MBF date values
  std::optional<std::uint8_t> recordLength, fieldCount;

  bool empty() const { return !firstDate && !lastDate && !recordLength && !fieldCount; }
};

// Puts a symbol's new files in place as one change: `newQuotes` (when given) becomes the quote
// file at `quotePath` with `oldQuotes` kept in F<n>.BAK, then `update` reaches every symbol
// record of `fileNumber` in the MASTER of `dir` (ending in "/"), the old MASTER kept in
// MASTER.BAK; the backups replace the previous ones only once both files are in place.
// Returns kSuccess, or kFileWrite with the quote file, the MASTER and their backups as they
// were.
[[nodiscard]] Status ReplaceSeriesFiles(FileSystem& fs, const std::string& dir, int fileNumber,
                                        const std::string& quotePath, const Bytes& oldQuotes,
                                        const Bytes* newQuotes, const RecordUpdate& update);

// Sets the first (which = 0) or last (which != 0) date of every symbol record with file
// number `fileNumber` in the MASTER file at `masterPath`, after copying it to MASTER.BAK.
// Returns 0 when the new MASTER is in place and 1 otherwise (the MASTER then unchanged).
[[nodiscard]] int UpdateMasterDate(FileSystem& fs, const std::string& masterPath,
                                   const std::array<std::uint8_t, 4>& mbfDate, int fileNumber,
                                   int which);

// Binary search of the quote file for `day` (and `seconds` when the layout has TIME): returns the
// 0-based number of the quote found with its day and seconds: the quote of that day, else for a
// day between two quotes the later one, for a day before the first quote quote 0. A day after
// the last quote, or between quotes 0 and 1 (the search then ends on quote 0, which lies
// before it), gives -9; other failures -8, -4, -100 or -2.
[[nodiscard]] std::int32_t findrec(FileSystem& fs, const std::string& dir,
                                   const std::string& symbol, DayNumber day, DaySeconds seconds,
                                   DayNumber* foundDay, DaySeconds* foundTime);

}  // namespace barvane
