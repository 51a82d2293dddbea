// The portfolio check's problems on the chart: those of the series the view shows, as the
// quote grid rows of their days, and a fresh check of that one series, so that once its files
// have changed the marks tell what the files hold now, never what an earlier check found there.
#pragma once

#include <string>
#include <vector>

#include "app/view_state.h"
#include "tools/portfolio_check.h"

namespace barvane {

struct ProblemMark {
  int row = 0;        // of the quote grid
  std::string label;  // the problems of that row's day, "; " between them
};

// One mark for each quote grid row of a day with a problem of the series `view` shows (its
// portfolio directory and symbol); a day held twice has two rows, so two marks. In grid order.
// Problems of no day, and of a day the grid does not hold, give none.
std::vector<ProblemMark> ProblemMarks(const ViewState& view, const std::vector<CheckProblem>& problems);

// Checks the series `symbol` of portfolio `dir` again as the check of `checkedDir` (the
// portfolio checked, `dir` itself or a sub-portfolio below it) checks it, and puts what it finds
// in place of that series' problems in `*problems`, in the order CheckPortfolio gives. Returns
// true when they changed. Leaves `*problems` alone and returns false when `dir` lies outside
// `checkedDir` or the MASTER of `checkedDir` cannot be read. Reads only.
bool RecheckSeries(FileSystem& fs, const std::string& checkedDir, const std::string& dir,
                   const std::string& symbol, std::vector<CheckProblem>* problems);

}  // namespace barvane
