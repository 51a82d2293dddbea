// The portfolio repair: mends what the check finds and can be mended without guessing (see
// CheckSeries and MendIndexFiles), each directory's index files first, then symbol by symbol
// (a symbol's quote file and index records replaced together, crash-safely), all as one change
// that stands whole or not at all. A symbol with nothing to mend, or whose quote file another
// record shares, is not touched; neither is an index file that is in step.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/fs.h"
#include "tools/portfolio_check.h"

namespace barvane {

// Told around the repair (`dir` the portfolio given), so that the whole of it becomes one
// change in the history.
struct RepairChangeHooks {
  std::function<void(const std::string& dir)> begin;
  std::function<void()> end;
};

enum class RepairOutcome { kDone, kCancelled, kNoPortfolio, kFailed };

struct RepairResult {
  RepairOutcome outcome = RepairOutcome::kDone;
  // What was mended, in the check's line form (the text says what was done), in walk order.
  std::vector<CheckProblem> mends;
  std::string failure;   // for kFailed: which files could not be written
  bool restored = true;  // for kFailed and kCancelled: every file written was put back
};

// Mends the portfolio `dir` and its sub-portfolios. Stops at the first mend that cannot be
// written (kFailed) or when `progress` cancels (kCancelled, between two symbols); every file
// the repair wrote before is then put back, and `mends` is empty. kNoPortfolio when the MASTER
// of `dir` cannot be read.
RepairResult RepairPortfolio(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                             const RepairChangeHooks& hooks = {});

// What RepairPortfolio would mend, without writing anything.
std::vector<CheckProblem> PlannedMends(FileSystem& fs, const std::string& dir);

}  // namespace barvane
