// Symbol grid rows from a portfolio's index files.
#include "app/symbol_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/list_order.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/master.h"
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
  for (const IndexEntry& entry : entries) {
    SymbolRow row;
    row.name = ShownText(ShownName(entry.record));
    row.symbol = GridSymbolText(entry.record.bytes.data() + kMasterSymbol);
    row.subPortfolio = entry.record.isSubPortfolio();
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
