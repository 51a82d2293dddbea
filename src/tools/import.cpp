// Import of quote text into a portfolio.
#include "tools/import.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "data/field_layout.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/master.h"
#include "data/mbf.h"
#include "data/portfolio_lock.h"
#include "data/portfolio_writer.h"
#include "data/quote_series.h"
#include "tools/copy_symbol.h"
#include "tools/file_journal.h"
#include "tools/master_image.h"

namespace barvane {
namespace {

constexpr const char* kEmasterName = "EMASTER";
constexpr std::size_t kEmasterRecordSize = 192;
constexpr int kMostQuotes = 0xFFFF - 1;  // the header's record number counts the header too

// A file the import replaces (or makes), with its new bytes.
struct FileChange {
  std::string path;
  std::string temporaryPath;
  Bytes bytes;
};

struct Plan {
  ImportPlanSummary summary;
  std::string makeDirectory;        // a new portfolio's directory, when it does not exist yet
  std::vector<FileChange> changes;  // in the order they are made
};

void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutIeee(Bytes& bytes, std::size_t at, float value) { WriteIeee(value, bytes.data() + at); }

std::uint32_t YyyymmddOf(DayNumber day) {
  const Ymd ymd = DayToYmd(day);
  return static_cast<std::uint32_t>((ymd.year + 1900) * 10000 + ymd.month * 100 + ymd.day);
}

// Sets the dates of the symbol records of `fileNumber` in a MASTER image.
void SetMasterDates(Bytes& master, int fileNumber, DayNumber first, DayNumber last) {
  const int count = std::max<int>(0, MasterRecordCount(master.data()));
  for (int i = 1;
       i <= count && kMasterRecordSize * static_cast<std::size_t>(i + 1) <= master.size(); ++i) {
    const std::size_t at = kMasterRecordSize * static_cast<std::size_t>(i);
    MasterRecord record;
    std::memcpy(record.bytes.data(), master.data() + at, kMasterRecordSize);
    if (record.fileNumber() != fileNumber || record.isSubPortfolio()) continue;
    WriteMbf(DayToDateFloat(first), master.data() + at + kMasterFirstDate);
    WriteMbf(DayToDateFloat(last), master.data() + at + kMasterLastDate);
  }
}

// Sets the dates of the records of `fileNumber` in an EMASTER image.
void SetEmasterDates(Bytes& emaster, int fileNumber, DayNumber first, DayNumber last) {
  const int count = emaster.empty() ? 0 : emaster[0];
  for (int i = 1;
       i <= count && kEmasterRecordSize * static_cast<std::size_t>(i + 1) <= emaster.size(); ++i) {
    const std::size_t at = kEmasterRecordSize * static_cast<std::size_t>(i);
    if (emaster[at + 2] != fileNumber) continue;
    PutIeee(emaster, at + 64, DayToDateFloat(first));
    PutIeee(emaster, at + 72, DayToDateFloat(last));
    PutLe32(emaster, at + 126, YyyymmddOf(first));
  }
}

// The EMASTER record of a new daily symbol.
Bytes EmasterRecordBytes(const SymbolDescription& symbol) {
  Bytes bytes(kEmasterRecordSize, 0);
  bytes[0] = bytes[1] = '6';
  bytes[2] = static_cast<std::uint8_t>(symbol.fileNumber);
  bytes[6] = static_cast<std::uint8_t>(symbol.fields.size());
  static constexpr std::uint8_t kFieldBit[kQuantityCount] = {0x01, 0x80, 0x20, 0x02,
                                                             0x04, 0x08, 0x10, 0x40};
  for (const FieldDescription& field : symbol.fields) bytes[7] |= kFieldBit[field.quantity];
  bytes[9] = ' ';
  std::memcpy(bytes.data() + 11, symbol.symbol.data(),
              std::min<std::size_t>(symbol.symbol.size(), 14));
  std::memcpy(bytes.data() + 32, symbol.name.data(), std::min<std::size_t>(symbol.name.size(), 16));
  bytes[60] = static_cast<std::uint8_t>(symbol.periodicity);
  const DayNumber first = symbol.quotes.front().day, last = symbol.quotes.back().day;
  PutIeee(bytes, 64, DayToDateFloat(first));
  PutIeee(bytes, 72, DayToDateFloat(last));
  PutLe32(bytes, 126, YyyymmddOf(first));
  return bytes;
}

// The fields of a new quote file: the date and the columns the text holds, in their order.
std::vector<FieldDescription> FieldsFor(const ImportedText& quotes) {
  std::vector<FieldDescription> fields{{kDate, 0, 0}};
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
  for (const ImportedQuote& q : quotes.quotes) {
    symbol.quotes.push_back(
        {q.day, 0, q.values[0], q.values[1], q.values[2], q.values[3], q.values[4], q.values[5]});
  }
  return symbol;
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

bool PlanNewPortfolio(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
                      Plan* plan, std::string* error) {
  const std::string dir = WithTrailingSlash(request.dir);
  if (!fs.IsDirectory(WithoutTrailingSlash(dir))) {
    if (fs.IsRegularFile(WithoutTrailingSlash(dir))) {
      *error = request.dir + "\nis a file, not a folder.";
      return false;
    }
    plan->makeDirectory = dir;
  }
  PortfolioDescription portfolio;
  portfolio.symbols.push_back(NewSymbol(request, quotes, 1));
  const SymbolDescription& symbol = portfolio.symbols.front();
  AddDataFiles(dir, symbol, plan);
  Bytes emaster(kEmasterRecordSize, 0);
  emaster[0] = 1;
  emaster[2] = 1;
  const Bytes record = EmasterRecordBytes(symbol);
  emaster.insert(emaster.end(), record.begin(), record.end());
  plan->changes.push_back({dir + kEmasterName, CopyTemporaryPath(dir + kEmasterName), emaster});
  // MASTER last: until it is in place the directory is no portfolio.
  plan->changes.push_back({dir + kMasterName, dir + MasterNewName(), MasterFileBytes(portfolio)});
  plan->summary.newPortfolio = plan->summary.newSymbol = true;
  plan->summary.fileNumber = 1;
  plan->summary.added = static_cast<int>(quotes.quotes.size());
  return true;
}

bool PlanNewSymbol(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
                   const std::string& masterPath, Plan* plan, std::string* error) {
  const std::string dir = WithTrailingSlash(request.dir);
  MasterImage master;
  if (!master.Read(fs, masterPath)) {
    *error = "The MASTER file of\n" + request.dir + "\ncannot be read.";
    return false;
  }
  const std::string emasterPath = FindNoCase(fs, dir, kEmasterName);
  Bytes emaster;
  if (!emasterPath.empty()) {
    if (!ReadWholeFile(fs, emasterPath, &emaster) ||
        emaster.size() < kEmasterRecordSize * static_cast<std::size_t>(master.count() + 1) ||
        emaster[0] != master.count()) {
      *error = "The EMASTER file of\n" + request.dir + "\ndoes not match its MASTER file.";
      return false;
    }
  }
  const int m =
      master.headerCount() >= kMostSymbolsInPortfolio ? 0 : FreeFileNumber(fs, master, dir);
  if (m == 0) {
    *error = kPortfolioFullText;
    return false;
  }
  const SymbolDescription symbol = NewSymbol(request, quotes, m);
  AddDataFiles(dir, symbol, plan);
  if (!emasterPath.empty()) {
    const Bytes record = EmasterRecordBytes(symbol);
    const auto end =
        emaster.begin() +
        static_cast<long>(kEmasterRecordSize * static_cast<std::size_t>(master.count() + 1));
    emaster.insert(end, record.begin(), record.end());
    emaster[0] = static_cast<std::uint8_t>(master.count() + 1);
    emaster[2] = static_cast<std::uint8_t>(std::max<int>(emaster[2], m));
    plan->changes.push_back({emasterPath, CopyTemporaryPath(emasterPath), emaster});
  }
  MasterRecord record;
  const Bytes recordBytes = MasterRecordBytes(symbol);
  std::copy(recordBytes.begin(), recordBytes.end(), record.bytes.begin());
  Bytes newMaster = master.WithRecordAdded(record);
  // The second header number is the highest file number in use.
  const int highest = std::max(master.headerSecond(), m);
  newMaster[2] = static_cast<std::uint8_t>(highest & 0xFF);
  newMaster[3] = static_cast<std::uint8_t>(highest >> 8);
  plan->changes.push_back({masterPath, dir + MasterNewName(), newMaster});
  plan->summary.newSymbol = true;
  plan->summary.fileNumber = m;
  plan->summary.added = static_cast<int>(quotes.quotes.size());
  return true;
}

bool PlanMerge(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes,
               const MasterRecord& record, const std::string& recordDir, Plan* plan,
               std::string* error) {
  const int n = record.fileNumber();
  FieldLayout layout;
  if (ReadFieldLayout(fs, recordDir, n, record.recordLength(), record.fieldCount(), &layout) !=
      kSuccess) {
    *error = "The quote file layout of " + request.symbol + " cannot be read.";
    return false;
  }
  if (layout.holds(kTime)) {
    *error =
        request.symbol + " holds quotes of several times a day;\nimport takes daily quotes only.";
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
  auto dayOf = [&](std::size_t q) {
    return DateFloatToDay(ReadMbf(old.data() + length * (q + 1) + datePlace));
  };
  for (std::size_t q = 1; q < count; ++q) {
    if (dayOf(q) <= dayOf(q - 1)) {
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
  for (const ImportedQuote& quote : quotes.quotes) {
    for (; q < count && dayOf(q) < quote.day; ++q) {
      merged.insert(merged.end(), old.begin() + static_cast<long>(length * (q + 1)),
                    old.begin() + static_cast<long>(length * (q + 2)));
    }
    const std::size_t at = merged.size();
    if (q < count && dayOf(q) == quote.day) {
      merged.insert(merged.end(), old.begin() + static_cast<long>(length * (q + 1)),
                    old.begin() + static_cast<long>(length * (q + 2)));
      ++q;
      if (!request.replace) {
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
    fill(merged.data() + at, quote, true);
    ++summary.added;
  }
  for (; q < count; ++q) {
    merged.insert(merged.end(), old.begin() + static_cast<long>(length * (q + 1)),
                  old.begin() + static_cast<long>(length * (q + 2)));
  }
  const std::size_t total = merged.size() / length - 1;
  if (total > static_cast<std::size_t>(kMostQuotes)) {
    *error = "A quote file holds at most 65534 quotes.\nNothing was imported.";
    return false;
  }
  summary.fileNumber = n;
  if (summary.added == 0 && summary.replaced == 0) return true;
  merged[2] = static_cast<std::uint8_t>((total + 1) & 0xFF);
  merged[3] = static_cast<std::uint8_t>((total + 1) >> 8);

  const std::string masterPath = FindNoCase(fs, recordDir, kMasterName);
  Bytes master;
  if (masterPath.empty() || !ReadWholeFile(fs, masterPath, &master) ||
      master.size() < kMasterRecordSize) {
    *error = "The MASTER file of\n" + recordDir + "\ncannot be read.";
    return false;
  }
  const DayNumber first = DateFloatToDay(ReadMbf(merged.data() + length + datePlace));
  const DayNumber last = DateFloatToDay(ReadMbf(merged.data() + length * total + datePlace));
  SetMasterDates(master, n, first, last);
  const std::string backup = ResolveNoCase(fs, recordDir, QuoteBackupName(n));
  plan->changes.push_back({backup, CopyTemporaryPath(backup), old});
  plan->changes.push_back({path, recordDir + QuoteNewName(n), std::move(merged)});
  plan->changes.push_back({masterPath, recordDir + MasterNewName(), std::move(master)});
  const std::string emasterPath = FindNoCase(fs, recordDir, kEmasterName);
  Bytes emaster;
  if (!emasterPath.empty() && ReadWholeFile(fs, emasterPath, &emaster)) {
    SetEmasterDates(emaster, n, first, last);
    plan->changes.push_back({emasterPath, CopyTemporaryPath(emasterPath), std::move(emaster)});
  }
  return true;
}

bool MakePlan(FileSystem& fs, const ImportRequest& request, const ImportedText& quotes, Plan* plan,
              std::string* error) {
  *plan = Plan{};
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
    if (found == kSuccess) return PlanMerge(fs, request, quotes, record, recordDir, plan, error);
    if (found != kFileNotFound) {
      *error = "The MASTER files of\n" + request.dir + "\ncannot be read.";
      return false;
    }
  }
  if (request.symbol.empty() || request.symbol.size() > kImportSymbolLimit ||
      request.symbol.find_first_of(" \t") != std::string::npos) {
    *error = "A new symbol needs 1 to 14 characters without blanks.";
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
  return masterPath.empty() ? PlanNewPortfolio(fs, request, quotes, plan, error)
                            : PlanNewSymbol(fs, request, quotes, masterPath, plan, error);
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
  if (!lock.AcquireForSymbol(request.dir, request.symbol, {})) {
    ui.ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }
  Plan plan;
  std::string error;
  if (!MakePlan(fs, request, quotes, &plan, &error)) {
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
