// The repair of a portfolio tree, symbol by symbol.
#include "tools/portfolio_repair.h"

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/portfolio_lock.h"
#include "data/rewrite.h"
#include "tools/printed.h"

namespace barvane {
namespace {

// The MASTER at `path` cut to its whole records, its header counting `present` of them,
// replaced crash-safely with the old one kept in MASTER.BAK.
bool MendMasterCount(FileSystem& fs, const std::string& path, int present) {
  Bytes old;
  if (!ReadWholeFile(fs, path, &old, kLargestMasterFile) || old.size() < kMasterRecordSize) return false;
  Bytes mended(old.begin(), old.begin() + static_cast<long>(kMasterRecordSize * (static_cast<std::size_t>(present) + 1)));
  mended[0] = static_cast<std::uint8_t>(present & 0xFF);
  mended[1] = static_cast<std::uint8_t>(present >> 8);
  const std::string dir = DirectoryOf(path);
  return ReplaceFileKeepingBackup(fs, path, dir + MasterNewName(), mended,
                                  ResolveNoCase(fs, dir, MasterBackupName()), old);
}

// One change: `write` between the hooks.
bool AsOneChange(const RepairChangeHooks& hooks, const std::string& dir, const std::string& symbol,
                 const std::function<bool()>& write) {
  if (hooks.begin) hooks.begin(dir, symbol);
  const bool ok = write();
  if (hooks.end) hooks.end();
  return ok;
}

RepairResult Repair(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                    const RepairChangeHooks* hooks) {
  const bool write = hooks != nullptr;
  RepairResult result;
  PortfolioTree tree;
  if (!ReadPortfolioTree(fs, dir, &tree)) {
    result.outcome = RepairOutcome::kNoPortfolio;
    return result;
  }
  PortfolioLock lock(fs);
  if (write) {
    std::vector<std::string> dirs{dir};
    for (const OvercountedMaster& master : tree.overcountedMasters) dirs.push_back(DirectoryOf(master.path));
    for (const CheckedSymbol& symbol : tree.symbols) dirs.push_back(symbol.dir);
    if (!lock.Acquire(dirs, LockMode::kExclusive)) {
      result.outcome = RepairOutcome::kFailed;
      result.failure = lock.failureText();
      return result;
    }
    // Read again under the lock, so that nothing another command changed meanwhile is undone.
    tree = PortfolioTree{};
    if (!ReadPortfolioTree(fs, dir, &tree)) {
      result.outcome = RepairOutcome::kNoPortfolio;
      return result;
    }
  }
  for (const OvercountedMaster& master : tree.overcountedMasters) {
    const std::string masterDir = DirectoryOf(master.path);
    if (write && !AsOneChange(*hooks, masterDir, kNoSymbolText, [&] {
          return MendMasterCount(fs, master.path, master.recordsPresent);
        })) {
      result.outcome = RepairOutcome::kFailed;
      result.failure = "The MASTER file in " + masterDir + " cannot be replaced";
      return result;
    }
    result.mends.push_back({kNoSymbolText, master.where, masterDir, 0,
                            Printed("set the MASTER record count to %d", master.recordsPresent), true});
  }
  const int total = static_cast<int>(tree.symbols.size());
  Bytes quotes;
  for (int i = 0; i < total; ++i) {
    if (progress && !progress(i, total)) {
      result.outcome = RepairOutcome::kCancelled;
      return result;
    }
    const CheckedSymbol& symbol = tree.symbols[static_cast<std::size_t>(i)];
    if (symbol.sharesQuoteFile) continue;
    const SeriesVerdict verdict = CheckSymbol(fs, symbol, &quotes);
    if (!verdict.mendedQuotes && verdict.mendedRecord.empty()) continue;
    if (write && !AsOneChange(*hooks, symbol.dir, symbol.symbol, [&] {
          return ReplaceSeriesFiles(fs, symbol.dir, symbol.record.fileNumber(), symbol.quotePath, quotes,
                                    verdict.mendedQuotes ? &*verdict.mendedQuotes : nullptr,
                                    verdict.mendedRecord) == kSuccess;
        })) {
      result.outcome = RepairOutcome::kFailed;
      result.failure = "The files of " + symbol.symbol + " in " + symbol.dir + " cannot be replaced";
      return result;
    }
    for (const SeriesMend& mend : verdict.mends) {
      result.mends.push_back({symbol.symbol, symbol.where, symbol.dir, mend.day, mend.text, true});
    }
  }
  if (progress) progress(total, total);
  return result;
}

}  // namespace

RepairResult RepairPortfolio(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                             const RepairChangeHooks& hooks) {
  return Repair(fs, dir, progress, &hooks);
}

std::vector<CheckProblem> PlannedMends(FileSystem& fs, const std::string& dir) {
  return Repair(fs, dir, nullptr, nullptr).mends;
}

}  // namespace barvane
