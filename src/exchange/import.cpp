// Import of quote text into a portfolio.
#include "exchange/import.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "data/field_layout.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/master.h"
#include "data/mbf.h"
#include "data/portfolio_lock.h"
#include "data/portfolio_writer.h"
#include "data/quote_series.h"
#include "tools/copy_symbol.h"
#include "tools/file_journal.h"

namespace barvane {
namespace {

constexpr int kMostQuotes = 0xFFFF - 1;  // the header's record number counts the header too

// A file the import replaces (or makes), with its new bytes.
struct FileChange {
  std::string path;
  std::string temporaryPath;
  Bytes bytes;
};

// The index files of one directory, as they were and as the import leaves them.
struct IndexChange {
  IndexFiles before, after;
};

struct Plan {
  ImportPlanSummary summary;
  std::string makeDirectory;        // a new portfolio's directory, when it does not exist yet
  std::vector<FileChange> changes;  // in the order they are made
  std::map<std::string, IndexChange> index;  // by directory, written after every quote file
};

// The time of day that a TIME field value holds, in seconds; -1 when it is no time.
int SecondsOf(float value) {
  if (!(value >= 0 && value < 240000) || value != std::floor(value)) return -1;
  const int v = static_cast<int>(value);
  if (v / 100 % 100 > 59 || v % 100 > 59) return -1;
  return v / 10000 * 3600 + v / 100 % 100 * 60 + v % 100;
}

// The fields of a new quote file: the date, the time for an intraday text, and the columns
// the text holds, in their order.
std::vector<FieldDescription> FieldsFor(const ImportedText& quotes) {
  std::vector<FieldDescription> fields{{kDate, 0, 0}};
  if (quotes.intraday) fields.push_back({kTime, 0, 0});
  for (int c = 0; c < kImportColumnCount; ++c) {
    if (quotes.columns[static_cast<std::size_t>(c)])
      fields.push_back({static_cast<Quantity>(kOpen + c), 0, 0});
  }
  return fields;
}

// Whether a reader finds `fields` from the record length alone (20-byte records are guessed
// from their first quote, so they always get a layout file).
bool LengthImpliesLayout(const std::vector<FieldDescription>& fields) {
  std::vector<Quantity> q;
  for (const FieldDescription& f : fields) q.push_back(f.quantity);
  const std::vector<std::vector<Quantity>> implied = {
      {kDate, kClose},
      {kDate, kClose, kVolume},
      {kDate, kHigh, kLow, kClose},
      {kDate, kOpen, kHigh, kLow, kClose, kVolume},
      {kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}};
  return std::find(implied.begin(), implied.end(), q) != implied.end();
}

SymbolDescription NewSymbol(const ImportRequest& request, const ImportedText& quotes,
                            int fileNumber) {
  SymbolDescription symbol;
  symbol.fileNumber = fileNumber;
  symbol.symbol = request.symbol;
  symbol.name = request.name.empty() ? request.symbol : request.name;
  symbol.fields = FieldsFor(quotes);
  symbol.withLayoutFile = !LengthImpliesLayout(symbol.fields);
  if (quotes.intraday) symbol.periodicity = 'I';
  for (const ImportedQuote& q : quotes.quotes) {
    symbol.quotes.push_back(
        {q.day, q.seconds, q.values[0], q.values[1], q.values[2], q.values[3], q.values[4], q.values[5]});
  }
  return symbol;
}

// The index record of a new symbol, its quote records described by the columns it holds.
NewIndexEntry IndexEntryOf(const SymbolDescription& symbol) {
  NewIndexEntry entry;
  const Bytes record = MasterRecordBytes(symbol);
  std::copy(record.begin(), record.end(), entry.record.bytes.begin());
  for (const FieldDescription& field : symbol.fields) entry.fieldSet |= FieldSetBit(field.quantity);
  return entry;
}

void AddDataFiles(const std::string& dir, const SymbolDescription& symbol, Plan* plan) {
  const std::string dat = dir + QuoteFileName(symbol.fileNumber);
  plan->changes.push_back({dat, dir + QuoteNewName(symbol.fileNumber), QuoteFileBytes(symbol)});
  if (symbol.withLayoutFile) {
    const std::string text = LayoutFileText(symbol);
    const std::string dop = dir + LayoutFileName(symbol.fileNumber);
    plan->changes.push_back({dop, CopyTemporaryPath(dop), Bytes(text.begin(), text.end())});
  }
}

// The index files the import changed, after the quote files and MASTER last: until MASTER
// is in place a new directory is no portfolio, and no MASTER names a symbol whose other files
// are not yet written.
void AddIndexFiles(FileSystem& fs, Plan* plan) {
  for (auto& [dir, index] : plan->index) {
    std::vector<IndexFileWrite> writes = IndexWrites(fs, index.after, index.before, IndexReplace::kSwap);
    for (auto it = writes.rbegin(); it != writes.rend(); ++it) {
      plan->changes.push_back({it->path, CopyTemporaryPath(it->path), std::move(it->contents)});
    }
  }
}

bool PlanNewPortfolio(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
                      Plan* plan, std::string* error) {
  const std::string dir = WithTrailingSlash(request.dir);
  auto [at, first] = plan->index.try_emplace(dir);
  if (first) {
    if (!fs.IsDirectory(WithoutTrailingSlash(dir))) {
      if (fs.IsRegularFile(WithoutTrailingSlash(dir))) {
        *error = request.dir + "\nis a file, not a folder.";
        return false;
      }
      plan->makeDirectory = dir;
    }
    IndexFiles& empty = at->second.before;
    empty.dir = dir;
    empty.master = {dir + kMasterName, Bytes(kMasterRecordSize, 0)};
    empty.emaster = {dir + kEmasterName, Bytes(kEmasterRecordSize, 0)};
    at->second.after = empty;
  }
  IndexFiles& files = at->second.after;
  const int m = files.masterCount() + 1;
  if (m > kLargestMasterFileNumber) {
    *error = kPortfolioFullText;
    return false;
  }
  const SymbolDescription symbol = NewSymbol(request, quotes, m);
  AddDataFiles(dir, symbol, plan);
  files = WithEntryAdded(files, IndexEntryOf(symbol), m);
  plan->summary.newPortfolio = plan->summary.newSymbol = true;
  if (plan->summary.fileNumber == 0) plan->summary.fileNumber = m;
  plan->summary.added += static_cast<int>(quotes.quotes.size());
  return true;
}

// The index files of `dir` as the import has left them so far, read when first needed.
IndexFiles* IndexOf(FileSystem& fs, const std::string& dir, const std::string& masterPath,
                    const std::string& given, Plan* plan, std::string* error) {
  const auto known = plan->index.find(dir);
  if (known != plan->index.end()) return &known->second.after;
  IndexFiles files;
  const bool read = ReadIndexFilesOf(fs, masterPath, &files);
  if (!files.masterWhole()) {
    *error = "The MASTER file of\n" + given + "\ncannot be read.";
    return nullptr;
  }
  if (!read) {
    *error = "The index files of\n" + given + "\ncannot be read.";
    return nullptr;
  }
  IndexChange& change = plan->index[dir];
  change.before = files;
  change.after = std::move(files);
  return &change.after;
}

bool PlanNewSymbol(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
                   const std::string& masterPath, Plan* plan, std::string* error) {
  const std::string dir = WithTrailingSlash(request.dir);
  IndexFiles* files = IndexOf(fs, dir, masterPath, request.dir, plan, error);
  if (files == nullptr) return false;
  // Beyond a full MASTER the symbol goes into XMASTER, made when the portfolio has none.
  const int m = NextFreeFileNumber(fs, *files);
  if (m == 0) {
    *error = kPortfolioFullText;
    return false;
  }
  // EMASTER takes the new record at MASTER's place for it.
  const Bytes& emaster = files->emaster.bytes;
  const int count = files->masterCount();
  if (m <= kLargestMasterFileNumber && files->hasEmaster() &&
      (emaster.size() < kEmasterRecordSize * static_cast<std::size_t>(count + 1) ||
       emaster[0] != count)) {
    *error = "The EMASTER file of\n" + request.dir + "\ndoes not match its MASTER file.";
    return false;
  }
  const SymbolDescription symbol = NewSymbol(request, quotes, m);
  AddDataFiles(dir, symbol, plan);
  *files = WithEntryAdded(*files, IndexEntryOf(symbol), m);
  plan->summary.newSymbol = true;
  if (plan->summary.fileNumber == 0) plan->summary.fileNumber = m;
  plan->summary.added += static_cast<int>(quotes.quotes.size());
  return true;
}

bool PlanMerge(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
               const MasterRecord& record, const std::string& recordDir, Plan* plan,
               std::string* error) {
  const int n = record.fileNumber();
  FieldLayout layout;
  if (ReadSymbolLayout(fs, recordDir, record, &layout) != kSuccess) {
    *error = "The quote file layout of " + request.symbol + " cannot be read.";
    return false;
  }
  const bool timed = layout.holds(kTime);
  if (timed != quotes.intraday) {
    *error = timed ? request.symbol +
                         " holds quotes of several times a day, and the text has no times.\n"
                         "Nothing was imported."
                   : request.symbol +
                         " is a daily series, and the text holds quotes of several times a day.\n"
                         "Import them as a new symbol. Nothing was imported.";
    return false;
  }
  const std::string path = FindNoCase(fs, recordDir, QuoteFileName(n));
  Bytes old;
  const auto length = static_cast<std::size_t>(record.recordLength());
  if (path.empty() || !ReadWholeFile(fs, path, &old) || old.size() < length) {
    *error = "The quote file " + recordDir + QuoteFileName(n) + "\ncannot be read.";
    return false;
  }
  const auto count = static_cast<std::size_t>(std::min<std::int64_t>(
      QuotesAnnounced(old.data()), static_cast<std::int64_t>(old.size() / length) - 1));
  const std::size_t datePlace = 4 * static_cast<std::size_t>(layout.position[kDate] - 1);
  const std::size_t timePlace = timed ? 4 * static_cast<std::size_t>(layout.position[kTime] - 1) : 0;
  if (timed && layout.position[kTime] > record.fieldCount()) {
    *error = "The quote file layout of " + request.symbol + " cannot be read.";
    return false;
  }
  // A quote's place in time: its day, and for an intraday series its second of the day.
  const auto keyOf = [&](DayNumber day, int seconds) { return std::int64_t{day} * 86400 + seconds; };
  const auto keyAt = [&](std::size_t q) {
    const std::uint8_t* at = old.data() + length * (q + 1);
    const DayNumber day = DateFloatToDay(ReadMbf(at + datePlace));
    const int seconds = timed && day != kNoDate ? SecondsOf(ReadMbf(at + timePlace)) : 0;
    return seconds < 0 ? keyOf(kNoDate, 0) : keyOf(day, seconds);
  };
  for (std::size_t q = 1; q < count; ++q) {
    if (keyAt(q) <= keyAt(q - 1)) {
      *error = "The quotes of " + request.symbol + " are not in date order.\nNothing was imported.";
      return false;
    }
  }
  // Writes the text's numbers into the quantities the record holds; with `all`, zero where
  // the line has none.
  auto fill = [&](std::uint8_t* out, const ImportedQuote& quote, bool all) {
    for (int c = 0; c < kImportColumnCount; ++c) {
      const int p = layout.position[static_cast<std::size_t>(kOpen + c)];
      if (p == 0 || p > record.fieldCount()) continue;
      const bool present = quote.present[static_cast<std::size_t>(c)];
      if (present || all)
        WriteMbf(present ? quote.values[static_cast<std::size_t>(c)] : 0.0f, out + 4 * (p - 1));
    }
  };
  Bytes merged(old.begin(), old.begin() + static_cast<long>(length));
  std::size_t q = 0;
  ImportPlanSummary& summary = plan->summary;
  const int added = summary.added, replaced = summary.replaced, dropped = summary.dropped;
  // An old quote the text does not name: kept, or dropped by an exact import.
  const auto keepOld = [&](std::size_t index) {
    if (request.exact) {
      ++summary.dropped;
      return;
    }
    merged.insert(merged.end(), old.begin() + static_cast<long>(length * (index + 1)),
                  old.begin() + static_cast<long>(length * (index + 2)));
  };
  for (const ImportedQuote& quote : quotes.quotes) {
    const std::int64_t key = keyOf(quote.day, timed ? quote.seconds : 0);
    for (; q < count && keyAt(q) < key; ++q) keepOld(q);
    const std::size_t at = merged.size();
    if (q < count && keyAt(q) == key) {
      merged.insert(merged.end(), old.begin() + static_cast<long>(length * (q + 1)),
                    old.begin() + static_cast<long>(length * (q + 2)));
      ++q;
      if (!request.replace && !request.exact) {
        ++summary.kept;
        continue;
      }
      fill(merged.data() + at, quote, false);
      ++summary.replaced;
      continue;
    }
    merged.resize(at + length, 0);
    const auto date = DayToMbfDate(quote.day);
    std::memcpy(merged.data() + at + datePlace, date.data(), 4);
    if (timed) WriteMbf(TimeSecondsToFloat(quote.seconds), merged.data() + at + timePlace);
    fill(merged.data() + at, quote, true);
    ++summary.added;
  }
  for (; q < count; ++q) keepOld(q);
  const std::size_t total = merged.size() / length - 1;
  if (total > static_cast<std::size_t>(kMostQuotes)) {
    *error = "A quote file holds at most 65534 quotes.\nNothing was imported.";
    return false;
  }
  if (summary.fileNumber == 0) summary.fileNumber = n;
  if (added == summary.added && replaced == summary.replaced && dropped == summary.dropped) return true;
  merged[2] = static_cast<std::uint8_t>((total + 1) & 0xFF);
  merged[3] = static_cast<std::uint8_t>((total + 1) >> 8);

  const std::string masterPath = FindNoCase(fs, recordDir, kMasterName);
  IndexFiles* files = IndexOf(fs, recordDir, masterPath, recordDir, plan, error);
  if (files == nullptr) return false;
  const auto dateAt = [&](std::size_t index) {
    MbfDate date;
    std::copy_n(merged.data() + length * index + datePlace, 4, date.begin());
    return date;
  };
  *files = WithDates(*files, n, dateAt(1), dateAt(total));
  const std::string backup = ResolveNoCase(fs, recordDir, QuoteBackupName(n));
  plan->changes.push_back({backup, CopyTemporaryPath(backup), old});
  plan->changes.push_back({path, recordDir + QuoteNewName(n), std::move(merged)});
  return true;
}

// Plans the import of `quotes`, the text of one symbol, by `request`.
bool PlanSymbol(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
                Plan* plan, std::string* error) {
  if (quotes.quotes.empty()) {
    *error = "The text holds no quotes.";
    return false;
  }
  const std::string dir = WithTrailingSlash(request.dir);
  const std::string masterPath =
      fs.IsDirectory(WithoutTrailingSlash(dir)) ? FindNoCase(fs, dir, kMasterName) : "";
  if (!masterPath.empty()) {
    MasterRecord record;
    std::string recordDir;
    const Status found = FindMasterRecord(fs, dir, request.symbol, &record, &recordDir);
    if (found == kSuccess) {
      for (const FileChange& change : plan->changes) {
        if (change.path == FindNoCase(fs, recordDir, QuoteFileName(record.fileNumber()))) {
          *error = "The text names " + request.symbol + " twice, apart.\nNothing was imported.";
          return false;
        }
      }
      return PlanMerge(fs, request, quotes, record, recordDir, plan, error);
    }
    if (found != kFileNotFound) {
      *error = "The MASTER files of\n" + request.dir + "\ncannot be read.";
      return false;
    }
  }
  if (request.symbol.empty() || request.symbol.size() > kImportSymbolLimit ||
      request.symbol.find_first_of(" \t") != std::string::npos) {
    *error = request.byTicker ? "The ticker \"" + request.symbol +
                                    "\" is no symbol: a symbol has 1 to 14 characters without blanks."
                              : "A new symbol needs 1 to 14 characters without blanks.";
    return false;
  }
  if (request.name.size() > kImportNameLimit) {
    *error = "An issue name has at most 16 characters.";
    return false;
  }
  if (std::none_of(quotes.columns.begin(), quotes.columns.end(), [](bool c) { return c; })) {
    *error = "The text has no numbers for a new symbol.";
    return false;
  }
  if (quotes.quotes.size() > static_cast<std::size_t>(kMostQuotes)) {
    *error = "A quote file holds at most 65534 quotes.\nNothing was imported.";
    return false;
  }
  // A new portfolio's second symbol joins the first in the index files the plan holds.
  return masterPath.empty() ? PlanNewPortfolio(fs, request, quotes, plan, error)
                                    : PlanNewSymbol(fs, request, quotes, masterPath, plan, error);
}

// The quotes of ticker `t`, with the columns and times they hold.
ImportedText TickerText(const ImportedText& quotes, int t) {
  ImportedText text;
  text.intraday = quotes.intraday;
  for (const ImportedQuote& quote : quotes.quotes) {
    if (quote.ticker != t) continue;
    text.quotes.push_back(quote);
    for (std::size_t c = 0; c < kImportColumnCount; ++c) text.columns[c] = text.columns[c] || quote.present[c];
  }
  return text;
}

bool MakePlan(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes, Plan* plan,
              std::string* error) {
  *plan = Plan{};
  if (!request.byTicker) {
    if (quotes.tickers.size() > 1) {
      *error = "The text holds the quotes of " + std::to_string(quotes.tickers.size()) +
               " tickers (" + quotes.tickers[0] + ", " + quotes.tickers[1] +
               (quotes.tickers.size() > 2 ? ", ..." : "") +
               ").\nImport them by ticker, each into its own symbol.";
      return false;
    }
    if (!PlanSymbol(fs, request, quotes, plan, error)) return false;
  } else {
    if (quotes.tickers.empty()) {
      *error = "The text names no ticker: no column is titled as one.\nImport it into a symbol.";
      return false;
    }
    for (std::size_t t = 0; t < quotes.tickers.size(); ++t) {
      ImportRequest one = request;
      one.symbol = quotes.tickers[t];
      one.name = t < quotes.names.size() ? quotes.names[t].substr(0, kImportNameLimit) : "";
      if (!PlanSymbol(fs, one, TickerText(quotes, static_cast<int>(t)), plan, error)) {
        if (quotes.tickers.size() > 1) *error = quotes.tickers[t] + ": " + *error;
        return false;
      }
    }
  }
  AddIndexFiles(fs, plan);
  return true;
}

// The directories a by-ticker import may change: the portfolio's own, and each one whose
// MASTER names a ticker already.
std::vector<std::string> TickerDirectories(FileSystem& fs, const ImportRequest& request,
                                           const ImportedText& quotes) {
  const std::string dir = WithTrailingSlash(request.dir);
  std::vector<std::string> dirs = {dir};
  if (!fs.IsDirectory(WithoutTrailingSlash(dir)) || FindNoCase(fs, dir, kMasterName).empty()) return dirs;
  for (const std::string& ticker : quotes.tickers) {
    MasterRecord record;
    std::string recordDir;
    if (FindMasterRecord(fs, dir, ticker, &record, &recordDir) == kSuccess &&
        std::find(dirs.begin(), dirs.end(), recordDir) == dirs.end()) {
      dirs.push_back(recordDir);
    }
  }
  return dirs;
}

}  // namespace

bool PlanImport(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
                ImportPlanSummary* summary, std::string* error) {
  Plan plan;
  if (!MakePlan(fs, request, quotes, &plan, error)) return false;
  *summary = plan.summary;
  return true;
}

bool ImportQuotes(FileSystem& fs, Ui& ui, const ImportRequest& request, const ImportedText& quotes,
                  ImportPlanSummary* summary) {
  // The plan is made under the lock, so that no other Barvane changes what it was made from.
  PortfolioLock lock(fs);
  Plan plan;
  std::string error;
  if (request.byTicker) {
    // Each directory the plan changes, found before the lock and checked again under it.
    const std::vector<std::string> dirs = TickerDirectories(fs, request, quotes);
    if (!lock.Acquire(dirs, LockMode::kExclusive)) {
      ui.ShowMessage(lock.failureText(), MessageIcon::kStop);
      return false;
    }
    if (MakePlan(fs, request, quotes, &plan, &error)) {
      for (const auto& [dir, index] : plan.index) {
        if (std::find(dirs.begin(), dirs.end(), dir) != dirs.end()) continue;
        ui.ShowMessage("The portfolio changed while the import was made ready.\n"
                       "Nothing was imported; import again.", MessageIcon::kStop);
        return false;
      }
    }
  } else if (!lock.AcquireForSymbol(request.dir, request.symbol, {})) {
    ui.ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }
  if (!error.empty() || (!request.byTicker && !MakePlan(fs, request, quotes, &plan, &error))) {
    ui.ShowMessage(error, MessageIcon::kStop);
    return false;
  }
  *summary = plan.summary;
  if (!plan.makeDirectory.empty() && !MakeDirectories(fs, plan.makeDirectory)) {
    ui.ShowMessage("The folder " + request.dir + "\ncannot be made.\nNothing was imported.",
                   MessageIcon::kStop);
    return false;
  }
  FileJournal journal(fs);
  for (const FileChange& change : plan.changes) {
    if (journal.Replace(change.path, change.temporaryPath, change.bytes)) continue;
    const bool restored = journal.RollBack();
    ui.ShowMessage(restored
                       ? "The portfolio files cannot be written.\nNothing was imported."
                       : "The portfolio files cannot be written,\nand some could not be put back.",
                   MessageIcon::kStop);
    return false;
  }
  return true;
}

}  // namespace barvane
