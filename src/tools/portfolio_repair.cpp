// The repair of a portfolio tree, symbol by symbol.
#include "tools/portfolio_repair.h"

#include "data/field_layout.h"
#include "data/index_files.h"
#include "data/portfolio_lock.h"
#include "data/rewrite.h"
#include "data/rollback_fs.h"
#include "tools/portfolio_repair_index.h"

namespace barvane {
namespace {

// What a symbol of `dir` that EMASTER lacks gets as its field set: its quote records' layout,
// as every reader takes it.
FieldSetOf FieldSetsOf(FileSystem& fs, const std::string& dir) {
  return [&fs, dir](const MasterRecord& record) -> std::uint8_t {
    FieldLayout layout;
    return ReadSymbolLayout(fs, dir, record, &layout) == kSuccess ? FieldSetOfLayout(layout) : 0;
  };
}

// Opens the repair's change on construction (when it writes) and closes it on destruction.
class RepairChange {
 public:
  RepairChange(const RepairChangeHooks* hooks, const std::string& dir) : hooks_(hooks) {
    if (hooks_ && hooks_->begin) hooks_->begin(dir);
  }
  ~RepairChange() {
    if (hooks_ && hooks_->end) hooks_->end();
  }
  RepairChange(const RepairChange&) = delete;
  RepairChange& operator=(const RepairChange&) = delete;

 private:
  const RepairChangeHooks* hooks_;
};

RepairResult Repair(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                    const RepairChangeHooks* hooks);

// The repair through `journal`: on a failure or a cancel every file it wrote is put back.
RepairResult RepairAllOrNothing(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                                const RepairChangeHooks& hooks) {
  RepairChange change(&hooks, dir);
  RollbackFs journal(fs);
  RepairResult result = Repair(journal, dir, progress, &hooks);
  if (result.outcome == RepairOutcome::kDone || result.outcome == RepairOutcome::kNoPortfolio) return result;
  result.mends.clear();
  result.restored = journal.RollBack();
  return result;
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
    std::vector<std::string> dirs;
    for (const PortfolioDirectory& portfolio : tree.directories) dirs.push_back(portfolio.dir);
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
  // The index files first, so that the symbols' date mends reach every index file in step.
  for (const PortfolioDirectory& portfolio : tree.directories) {
    IndexFiles before;
    if (!ReadIndexFiles(fs, portfolio.dir, &before)) {
      // An EMASTER or XMASTER that cannot be read is left alone; MASTER may still be mended.
      if (before.master.bytes.size() < kMasterRecordSize) continue;
      before.emaster = IndexFile{};
      before.xmaster = IndexFile{};
    }
    const IndexMend mend = MendIndexFiles(before, FieldSetsOf(fs, portfolio.dir));
    if (mend.mends.empty()) continue;
    if (write && !WriteIndexFiles(fs, IndexWrites(fs, mend.files, before, IndexReplace::kBackupAndNew))) {
      result.outcome = RepairOutcome::kFailed;
      result.failure = "The index files in " + portfolio.dir + " cannot be replaced";
      return result;
    }
    for (const std::string& text : mend.mends) {
      result.mends.push_back({kNoSymbolText, portfolio.where, portfolio.dir, kNoDate, text, true});
    }
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
    if (write && ReplaceSeriesFiles(fs, symbol.dir, symbol.record.fileNumber(), symbol.quotePath, quotes,
                                    verdict.mendedQuotes ? &*verdict.mendedQuotes : nullptr,
                                    verdict.mendedRecord) != kSuccess) {
      result.outcome = RepairOutcome::kFailed;
      result.failure = "The files of " + symbol.symbol + " in " + symbol.dir + " cannot be replaced";
      return result;
    }
    for (const SeriesMend& mend : verdict.mends) {
      result.mends.push_back(
          {symbol.symbol, symbol.where, symbol.dir, mend.day, mend.text, true, verdict.fourDigitYears});
    }
  }
  if (progress) progress(total, total);
  return result;
}

}  // namespace

RepairResult RepairPortfolio(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                             const RepairChangeHooks& hooks) {
  return RepairAllOrNothing(fs, dir, progress, hooks);
}

std::vector<CheckProblem> PlannedMends(FileSystem& fs, const std::string& dir) {
  return Repair(fs, dir, nullptr, nullptr).mends;
}

}  // namespace barvane
