// The quote file rewrite, the MASTER date update and the quote search.
#include "data/rewrite.h"

#include <algorithm>
#include <cstring>

#include "data/field_layout.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/master.h"
#include "data/mbf.h"
#include "data/quote_series.h"

namespace barvane {
namespace {

constexpr int kMaxSearchSteps = 64;
constexpr std::int32_t kLargestRecordNumber = 0xFFFF;

// A symbol's quote file with what is needed to read its records.
struct QuoteFile {
  MasterRecord record;
  std::string dir;  // where its MASTER and data files are, ending in "/"
  FieldLayout layout;
  std::string path;
  Bytes bytes;

  std::size_t length() const { return static_cast<std::size_t>(record.recordLength()); }
  std::size_t recordsPresent() const { return bytes.size() / length(); }  // header included
  std::uint8_t* quote(std::size_t q) { return bytes.data() + length() * (q + 1); }
  float field(std::size_t q, int quantity) {
    const int p = layout.position[static_cast<std::size_t>(quantity)];
    return p == 0 ? 0.0f : ReadMbf(quote(q) + 4 * (p - 1));
  }
  DayNumber day(std::size_t q) { return DateFloatToDay(field(q, kDate)); }
  DaySeconds seconds(std::size_t q) { return TimeFloatToSeconds(field(q, kTime)); }
};

Status OpenQuoteFile(FileSystem& fs, const std::string& dir, const std::string& symbol,
                     QuoteFile* file) {
  if (Status s = FindMasterRecord(fs, dir, symbol, &file->record, &file->dir); s != kSuccess) {
    return s;
  }
  if (Status s = ReadSymbolLayout(fs, file->dir, file->record, &file->layout);
      s != kSuccess) {
    return s;
  }
  file->path = FindNoCase(fs, file->dir, QuoteFileName(file->record.fileNumber()));
  if (file->path.empty() ||
      !ReadWholeFile(fs, file->path, &file->bytes, LargestQuoteFile(file->length()))) {
    return kFileOpen;
  }
  if (file->bytes.size() < file->length()) return kFileRead;
  return kSuccess;
}

// The quote search over the file's bytes; see findrec.
std::int32_t SearchQuotes(QuoteFile& file, DayNumber day, DaySeconds seconds, DayNumber* foundDay,
                          DaySeconds* foundTime) {
  const float target = DayToDateFloat(day);
  const float targetTime = file.layout.holds(kTime) ? TimeSecondsToFloat(seconds) : 0.0f;
  std::int32_t lo = 0;
  std::int32_t hi = static_cast<std::int32_t>(QuoteHeaderRecordNumber(file.bytes.data())) - 2;
  std::int32_t prev = 0;
  std::int32_t answer = kFileRead;
  bool haveRecord = false;
  float date = 0, time = 0;
  for (int step = 0; step < kMaxSearchSteps; ++step) {
    std::int32_t mid = (lo + hi + 1) / 2;
    if (mid == prev) {
      if (lo != 0) {
        answer = mid;
        break;
      }
      mid = 0;
    }
    if (mid < 0 || static_cast<std::size_t>(mid) + 2 > file.recordsPresent()) {
      answer = kFileRead;
      haveRecord = false;
      break;
    }
    haveRecord = true;
    date = file.field(static_cast<std::size_t>(mid), kDate);
    time = file.field(static_cast<std::size_t>(mid), kTime);
    if ((date == target && time == targetTime) || mid == 0) {
      answer = mid;
      break;
    }
    if (date > target || (date == target && time > targetTime)) {
      hi = mid;
    } else {
      lo = mid;
    }
    prev = mid;
  }
  if (!haveRecord) return kFileRead;
  if (date < target || (date == target && time < targetTime)) answer = kRecordNotFound;
  if (foundDay) *foundDay = DateFloatToDay(date);
  if (foundTime) *foundTime = TimeFloatToSeconds(time);
  return answer;
}

// The index dates a delete of quote `i` must move, from the old quote file.
RecordUpdate DatesAfterDelete(QuoteFile& file, std::int32_t i) {
  RecordUpdate dates;
  const std::int32_t c = QuotesAnnounced(file.bytes.data());
  auto dateOf = [&](std::int32_t q) -> std::optional<std::array<std::uint8_t, 4>> {
    if (q < 0 || static_cast<std::size_t>(q) + 2 > file.recordsPresent()) return std::nullopt;
    return DayToMbfDate(file.day(static_cast<std::size_t>(q)));
  };
  if (i == 0 && c > 1) {
    dates.firstDate = dateOf(1);
  } else if (i == c - 1 && c > 1) {
    dates.lastDate = dateOf(c - 2);
  } else if (i == 0 && c == 1) {
    dates.firstDate = dates.lastDate = dateOf(0);
  }
  return dates;
}

// The index writes that put `update` into every index record of `fileNumber` beside the
// MASTER at `masterPath`, each changed file's old bytes to be kept as its .BAK. False when the
// index files cannot be read.
bool IndexUpdateWrites(FileSystem& fs, const std::string& masterPath, int fileNumber,
                       const RecordUpdate& update, std::vector<IndexFileWrite>* writes) {
  IndexFiles files;
  if (masterPath.empty() || !ReadIndexFilesOf(fs, masterPath, &files)) return false;
  IndexFiles updated = WithDates(files, fileNumber, update.firstDate, update.lastDate);
  if (update.recordLength || update.fieldCount) updated = WithRecordSize(updated, fileNumber, update.recordLength, update.fieldCount);
  *writes = IndexWrites(fs, updated, files, IndexReplace::kBackupAndNew);
  return true;
}

// The number of the quote that the address of a kSet or kDelete names (the first of its day in
// a file without TIME), or the status that refuses the change. Every record is looked at: a
// file out of date order still has its quote found, and in a file with TIME a day that holds
// several bars is never taken for one of them.
Status FindAddressedQuote(QuoteFile& file, const QuoteChange& change, std::size_t* found) {
  const std::size_t quotes = std::min(file.recordsPresent() - 1,
                                      static_cast<std::size_t>(std::max(QuotesAnnounced(file.bytes.data()), 0)));
  int matches = 0;
  for (std::size_t q = 0; q < quotes; ++q) {
    // A file without TIME holds every quote at 00:00:00, as the grid shows it.
    if (file.day(q) != change.fromDay || (change.time && file.seconds(q) != *change.time)) continue;
    if (++matches == 1) *found = q;
  }
  if (matches == 0) return kDayNotInFile;
  return matches == 1 || !file.layout.holds(kTime) ? kSuccess : kSeveralQuotes;
}

// The new content of the quote file with `change` applied to quote `only` (kSet, kDelete) or
// to the quotes of its day range; `*removed` and `*inserted` count the records left out and
// added.
Bytes ApplyChange(QuoteFile& file, const QuoteChange& change, std::size_t only, int* removed,
                  int* inserted) {
  const std::size_t length = file.length();
  const std::size_t quotes = file.recordsPresent() - 1;
  Bytes out;
  out.reserve(file.bytes.size() + (change.op == QuoteOp::kInsertCopy ? length : 0));
  out.insert(out.end(), file.bytes.begin(), file.bytes.begin() + static_cast<long>(length));
  const int fields = file.record.fieldCount();
  for (std::size_t q = 0; q < quotes; ++q) {
    // The old bytes stay untouched: they become the backup and, on failure, the file again.
    std::uint8_t record[256];
    std::memcpy(record, file.quote(q), length);
    const DayNumber d = file.day(q);
    // Without TIME an edit sets every quote of its day, as the day is all that tells them apart.
    const bool one = change.op == QuoteOp::kDelete || (change.op == QuoteOp::kSet && file.layout.holds(kTime));
    if (one ? q == only : d >= change.fromDay && d <= change.toDay) {
      switch (change.op) {
        case QuoteOp::kSet:
        case QuoteOp::kMultiply:
          for (int k = kOpen; k < kQuantityCount; ++k) {
            const int p = file.layout.position[static_cast<std::size_t>(k)];
            if (p == 0 || p > fields) continue;
            if (change.op == QuoteOp::kSet && change.keep[static_cast<std::size_t>(k - kOpen)])
              continue;
            std::uint8_t* field = record + 4 * (p - 1);
            const float v = change.value[static_cast<std::size_t>(k - kOpen)];
            WriteMbf(change.op == QuoteOp::kSet ? v : ReadMbf(field) * v, field);
          }
          break;
        case QuoteOp::kDelete:
          ++*removed;
          continue;
        case QuoteOp::kInsertCopy: {
          // A quote without a date (or of a day that near it) has no weekday before it that a
          // day number holds.
          if (d < kNoDate + 8) break;
          // Every bar of the day is copied, as one block in front of the day's first bar, so
          // that the copies keep their times and the file its order.
          if (q != 0 && file.day(q - 1) == d) break;
          DayNumber before = d - 1;
          while (Weekday(before) == 0 || Weekday(before) == 6) --before;
          const auto date = DayToMbfDate(before);
          for (std::size_t c = q; c < quotes && file.day(c) == d; ++c) {
            const std::size_t at = out.size();
            out.insert(out.end(), file.quote(c), file.quote(c) + length);
            std::memcpy(out.data() + at + 4 * (file.layout.position[kDate] - 1), date.data(), 4);
            ++*inserted;
          }
          break;
        }
        case QuoteOp::kInsertNew:  // InsertNewQuote's work
          break;
      }
    }
    out.insert(out.end(), record, record + length);
  }
  return out;
}

// The quote file with a new quote of `change.fromDay` (at `change.time` in a file with TIME)
// in date and time order; the index dates it moves into `*dates`. kDayInFile when the day (the
// bar of that time) has a quote already.
Status InsertNewQuote(QuoteFile& file, const QuoteChange& change, Bytes* out, RecordUpdate* dates) {
  const std::size_t length = file.length();
  const std::size_t quotes = file.recordsPresent() - 1;
  const bool timed = file.layout.holds(kTime);
  const DaySeconds time = timed ? change.time.value_or(0) : 0;
  std::size_t at = quotes;
  for (std::size_t q = 0; q < quotes; ++q) {
    const DayNumber d = file.day(q);
    const DaySeconds t = timed ? file.seconds(q) : 0;
    if (d == change.fromDay && t == time) return kDayInFile;
    if (d > change.fromDay || (d == change.fromDay && t > time)) {
      at = q;
      break;
    }
  }
  Bytes record(length, 0);
  const auto date = DayToMbfDate(change.fromDay);
  std::memcpy(record.data() + 4 * (file.layout.position[kDate] - 1), date.data(), 4);
  if (timed) WriteMbf(TimeSecondsToFloat(time), record.data() + 4 * (file.layout.position[kTime] - 1));
  const int fields = file.record.fieldCount();
  for (int k = kOpen; k < kQuantityCount; ++k) {
    const int p = file.layout.position[static_cast<std::size_t>(k)];
    if (p == 0 || p > fields) continue;
    WriteMbf(change.value[static_cast<std::size_t>(k - kOpen)], record.data() + 4 * (p - 1));
  }
  const auto split = file.bytes.begin() + static_cast<long>(length * (at + 1));
  out->assign(file.bytes.begin(), split);
  out->insert(out->end(), record.begin(), record.end());
  out->insert(out->end(), split, file.bytes.begin() + static_cast<long>(length * (quotes + 1)));
  if (at == 0) dates->firstDate = date;
  if (at == quotes) dates->lastDate = date;
  return kSuccess;
}

}  // namespace

Status RewriteQuotes(FileSystem& fs, const QuoteChange& change, const std::string& dir,
                     const std::string& symbol) {
  QuoteFile file;
  if (Status s = OpenQuoteFile(fs, dir, symbol, &file); s != kSuccess) return s;

  RecordUpdate dates;
  std::size_t only = 0;
  if (change.op == QuoteOp::kSet || change.op == QuoteOp::kDelete) {
    if (Status s = FindAddressedQuote(file, change, &only); s != kSuccess) return s;
  }
  if (change.op == QuoteOp::kDelete) dates = DatesAfterDelete(file, static_cast<std::int32_t>(only));

  int removed = 0, inserted = 0;
  Bytes updated;
  if (change.op == QuoteOp::kInsertNew) {
    if (Status s = InsertNewQuote(file, change, &updated, &dates); s != kSuccess) return s;
    inserted = 1;
  } else {
    updated = ApplyChange(file, change, only, &removed, &inserted);
  }
  const std::int32_t records =
      QuoteHeaderRecordNumber(file.bytes.data()) + inserted - removed;
  if (records > kLargestRecordNumber) return kFileWrite;
  const auto r = static_cast<std::uint16_t>(std::max(records, 0));
  updated[2] = static_cast<std::uint8_t>(r & 0xFF);
  updated[3] = static_cast<std::uint8_t>(r >> 8);
  return ReplaceSeriesFiles(fs, file.dir, file.record.fileNumber(), file.path, file.bytes,
                            &updated, dates);
}

Status ReplaceSeriesFiles(FileSystem& fs, const std::string& dir, int fileNumber,
                          const std::string& quotePath, const Bytes& oldQuotes,
                          const Bytes* newQuotes, const RecordUpdate& update) {
  const std::string newPath = dir + QuoteNewName(fileNumber);
  PendingBackup quoteBackup(fs);
  if (newQuotes && (!quoteBackup.Write(ResolveNoCase(fs, dir, QuoteBackupName(fileNumber)), oldQuotes) ||
                    !ReplaceFile(fs, quotePath, newPath, *newQuotes, &oldQuotes))) {
    return kFileWrite;
  }
  IndexFilesWrite indexWrite(fs);
  bool ok = true;
  if (!update.empty()) {
    std::vector<IndexFileWrite> writes;
    ok = IndexUpdateWrites(fs, FindNoCase(fs, dir, kMasterName), fileNumber, update, &writes) &&
         indexWrite.Apply(std::move(writes));
  }
  // The backups replace the previous ones only once every file holds its new bytes.
  if (!ok || !indexWrite.Commit() || (newQuotes && !quoteBackup.Commit())) {
    // The change is all or nothing: the quote file (and the index files) get their old bytes back.
    indexWrite.Undo();
    if (newQuotes) (void)ReplaceFile(fs, quotePath, newPath, oldQuotes);
    return kFileWrite;
  }
  return kSuccess;
}

int UpdateMasterDate(FileSystem& fs, const std::string& masterPath,
                     const std::array<std::uint8_t, 4>& mbfDate, int fileNumber, int which) {
  RecordUpdate dates;
  (which == 0 ? dates.firstDate : dates.lastDate) = mbfDate;
  std::vector<IndexFileWrite> writes;
  return IndexUpdateWrites(fs, masterPath, fileNumber, dates, &writes) && WriteIndexFiles(fs, std::move(writes))
             ? 0
             : 1;
}

std::int32_t findrec(FileSystem& fs, const std::string& dir, const std::string& symbol,
                     DayNumber day, DaySeconds seconds, DayNumber* foundDay, DaySeconds* foundTime) {
  QuoteFile file;
  if (Status s = OpenQuoteFile(fs, dir, symbol, &file); s != kSuccess) return s;
  return SearchQuotes(file, day, seconds, foundDay, foundTime);
}

}  // namespace barvane
