// Symbol grid rows from a portfolio's index files.
#include "app/symbol_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "app/list_order.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/master.h"
#include "data/mbf.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

// The name the grid shows: the longest the index files hold, MASTER's as it stands otherwise.
std::string ShownName(const MasterRecord& record) {
  std::string name = record.nameText();
  std::string shortName = name;
  while (!shortName.empty() && shortName.back() == ' ') shortName.pop_back();
  std::string longName = record.longName;
  while (!longName.empty() && longName.back() == ' ') longName.pop_back();
  return longName.size() > shortName.size() ? longName : name;
}

// The size of each file of `dir` by its name in upper case (the upper-case name preferred);
// none when the directory cannot be listed.
std::unordered_map<std::string, std::uint64_t> FileSizes(FileSystem& fs, const std::string& dir) {
  std::unordered_map<std::string, std::string> names;
  std::vector<DirEntry> entries;
  if (!fs.ListDirectory(dir, &entries)) return {};
  for (const DirEntry& entry : entries) {
    const std::string upper = AsciiUpper(entry.name);
    if (entry.name == upper) {
      names[upper] = entry.name;
    } else {
      names.emplace(upper, entry.name);
    }
  }
  std::unordered_map<std::string, std::uint64_t> sizes;
  for (const auto& [upper, name] : names) {
    FileInfo info;
    if (upper.starts_with('F') && fs.Stat(dir + name, &info) && info.kind == DirEntry::Kind::kFile) sizes[upper] = info.size;
  }
  return sizes;
}

void AddSeriesFacts(const MasterRecord& record, const std::unordered_map<std::string, std::uint64_t>& sizes,
                    SymbolRow* row) {
  row->firstDay = DateFloatToDay(ReadMbf(record.bytes.data() + kMasterFirstDate));
  row->lastDay = DateFloatToDay(ReadMbf(record.bytes.data() + kMasterLastDate));
  row->periodicity = record.periodicity();
  row->intradayMinutes = record.intradayMinutes;
  const auto size = sizes.find(QuoteFileName(record.fileNumber()));
  if (size == sizes.end() || record.recordLength() == 0) return;
  const auto records = static_cast<std::int64_t>(size->second / static_cast<std::uint64_t>(record.recordLength()));
  row->quoteCount = std::max<std::int64_t>(0, records - 1);
}

bool ReadRecords(FileSystem& fs, const std::string& masterPath, Ui& ui, SymbolListing* listing) {
  IndexFiles files;
  if (masterPath.empty() || !ReadIndexFilesOf(fs, masterPath, &files)) return false;
  int announced = MasterRecordCount(files.master.bytes.data());
  if (announced < 0) return false;
  if (announced > kMostSymbolsShown) {
    char text[128];
    std::snprintf(text, sizeof text, "File has %d symbols.\nWill only display the first %d symbols",
                  announced, kMostSymbolsShown);
    ui.ShowMessage(text);
    announced = kMostSymbolsShown;
  }
  if (const std::string disagreement = IndexDisagreement(files); !disagreement.empty()) {
    ui.ShowNotice(disagreement);
  }
  // Spare slots of zeros after the records counted are room left, not records.
  const std::size_t present = files.master.bytes.size() / kMasterRecordSize - 1 -
                              static_cast<std::size_t>(ZeroSlotsBeyondCounts(files).master);
  const std::vector<IndexEntry> entries = IndexEntries(files, announced);
  listing->rows.reserve(entries.size());
  const auto sizes = FileSizes(fs, files.dir);
  for (const IndexEntry& entry : entries) {
    SymbolRow row;
    row.name = ShownText(ShownName(entry.record));
    row.symbol = GridSymbolText(entry.record.bytes.data() + kMasterSymbol);
    row.subPortfolio = entry.record.isSubPortfolio();
    if (!row.subPortfolio) AddSeriesFacts(entry.record, sizes, &row);
    if (row.symbol.empty()) {
      row.symbol = ShownText(entry.record.nameText());
      row.blankSymbol = true;
      listing->needsRepair = true;
    }
    listing->rows.push_back(std::move(row));
  }
  std::stable_sort(listing->rows.begin(), listing->rows.end(),
                   [](const SymbolRow& a, const SymbolRow& b) { return ListOrderLess(a.symbol, b.symbol); });
  // A count that disagrees with the records present either way means a damaged index.
  return static_cast<int>(std::min<std::size_t>(present, kMostSymbolsShown)) == announced;
}

}  // namespace

bool RepairBlankSymbols(FileSystem& fs, const std::string& masterPath) {
  PortfolioLock lock(fs);
  if (!lock.Acquire({DirectoryOf(masterPath)}, LockMode::kExclusive)) return false;
  IndexFiles files;
  if (!ReadIndexFilesOf(fs, masterPath, &files)) return false;
  return WriteIndexFiles(fs, IndexWrites(fs, WithBlankSymbolsRepaired(files), files, IndexReplace::kRepair));
}

bool ReadSymbolListing(FileSystem& fs, const std::string& masterPath, Ui& ui,
                       SymbolListing* listing) {
  *listing = SymbolListing{};
  if (ReadRecords(fs, masterPath, ui, listing)) return true;
  *listing = SymbolListing{};
  ui.ShowMessage(kSymbolGridFailureText, MessageIcon::kStop);
  return false;
}

}  // namespace barvane
