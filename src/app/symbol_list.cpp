// Symbol grid rows from a MASTER file.
#include "app/symbol_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/list_order.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/master.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

bool ReadRecords(FileSystem& fs, const std::string& masterPath, Ui& ui, SymbolListing* listing) {
  Bytes master;
  if (masterPath.empty() || !ReadWholeFile(fs, masterPath, &master, kLargestMasterFile) ||
      master.size() < kMasterRecordSize) {
    return false;
  }
  int announced = MasterRecordCount(master.data());
  if (announced < 0) return false;
  if (announced > kMostSymbolsShown) {
    char text[128];
    std::snprintf(text, sizeof text, "File has %d symbols.\nWill only display the first %d symbols",
                  announced, kMostSymbolsShown);
    ui.ShowMessage(text);
    announced = kMostSymbolsShown;
  }
  const std::size_t present = master.size() / kMasterRecordSize - 1;
  const int read = static_cast<int>(std::min<std::size_t>(present, static_cast<std::size_t>(announced)));
  for (int i = 1; i <= read; ++i) {
    MasterRecord record;
    std::memcpy(record.bytes.data(), master.data() + kMasterRecordSize * static_cast<std::size_t>(i),
                kMasterRecordSize);
    SymbolRow row;
    row.name = record.nameText();
    row.symbol = GridSymbolText(record.bytes.data() + kMasterSymbol);
    row.subPortfolio = record.isSubPortfolio();
    if (row.symbol.empty()) {
      row.symbol = row.name;
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

std::string GridSymbolText(const std::uint8_t* symbolField) {
  std::string text;
  for (std::size_t i = 0; i < kMasterTextSize; ++i) {
    const std::uint8_t c = symbolField[i];
    if (c <= 0x20 || c >= 0x80) break;
    text += static_cast<char>(c);
  }
  return text;
}

bool RepairBlankSymbols(FileSystem& fs, const std::string& masterPath) {
  PortfolioLock lock(fs);
  if (!lock.Acquire({DirectoryOf(masterPath)}, LockMode::kExclusive)) return false;
  Bytes master;
  if (!ReadWholeFile(fs, masterPath, &master, kLargestMasterFile) || master.size() < kMasterRecordSize) return false;
  for (std::size_t at = kMasterRecordSize; at + kMasterRecordSize <= master.size(); at += kMasterRecordSize) {
    std::uint8_t* symbol = master.data() + at + kMasterSymbol;
    if (!GridSymbolText(symbol).empty()) continue;
    MasterRecord record;
    std::memcpy(record.bytes.data(), master.data() + at, kMasterRecordSize);
    const std::string name = record.nameText();
    for (std::size_t i = 0; i < kMasterTextSize; ++i) {
      if (i < name.size()) {
        symbol[i] = static_cast<std::uint8_t>(name[i]);
      } else if (i == name.size() || symbol[i] <= 0x20 || symbol[i] >= 0x80) {
        symbol[i] = 0;
      }
    }
  }
  return ReplaceFile(fs, masterPath, RepairTemporaryPath(masterPath), master);
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
