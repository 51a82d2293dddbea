// The portfolio repair: mends what the check finds and can be mended without guessing (see
// CheckSeries and MendIndexFiles), one change per directory for its index files, then one per
// symbol: its quote file and its index records replaced together, crash-safely, or not at all.
// A symbol with nothing to mend, or whose quote file another record shares, is not touched;
// neither is an index file that is in step.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/fs.h"
#include "tools/portfolio_check.h"

namespace barvane {

// Told around each change the repair writes (a directory's index files, or one symbol's
// files), so that each becomes a change of its own in the history. `symbol` is "-" for the
// index files.
struct RepairChangeHooks {
  std::function<void(const std::string& dir, const std::string& symbol)> begin;
  std::function<void()> end;
};

enum class RepairOutcome { kDone, kCancelled, kNoPortfolio, kFailed };

struct RepairResult {
  RepairOutcome outcome = RepairOutcome::kDone;
  // What was mended, in the check's line form (the text says what was done), in walk order.
  std::vector<CheckProblem> mends;
  std::string failure;  // for kFailed: which change could not be written
};

// Mends the portfolio `dir` and its sub-portfolios. Stops at the first change that cannot be
// written (kFailed; that change left nothing behind, the earlier ones stand) or when
// `progress` cancels (kCancelled, between two changes). kNoPortfolio when the MASTER of `dir`
// cannot be read.
RepairResult RepairPortfolio(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                             const RepairChangeHooks& hooks = {});

// What RepairPortfolio would mend, without writing anything.
std::vector<CheckProblem> PlannedMends(FileSystem& fs, const std::string& dir);

}  // namespace barvane
