// The portfolio check as the window offers it: leading the view from a problem to its
// portfolio, symbol and day, and the repair of the current portfolio with its confirmation,
// its report and the grids refilled.
#pragma once

#include <string>
#include <vector>

#include "app/view_state.h"
#include "tools/portfolio_check.h"
#include "tools/portfolio_repair.h"

namespace barvane {

inline constexpr const char* kCheckTitle = "Portfolio Check";
inline constexpr const char* kRepairButtonText = "Repair what can be mended";
inline constexpr const char* kNothingToMendText =
    "Nothing that the check found here can be mended without a person.";
inline constexpr std::size_t kMendsListed = 15;

// The kind a report line is filtered by: the kind of problem it tells (ProblemKind), else
// kFilesKind for what concerns the files and the index rather than quotes.
inline constexpr const char* kFilesKind = "files and index";
std::string KindOfLine(const CheckProblem& line);

// Opens the problem's portfolio (a sub-portfolio as a portfolio of its own), makes its symbol
// the current row and, when it has a day, that day's quote row. False, with the portfolio
// open, when its grid has no row of that symbol.
bool ShowProblem(ViewState& view, const CheckProblem& problem);

// The question before a repair: the first kMendsListed of the mends planned, how many more,
// and where the old files stay.
std::string RepairQuestion(const std::vector<CheckProblem>& planned);

// Repairs the portfolio `dir` (the one checked, whatever the view shows now) once the user said
// Yes to RepairQuestion, tells the outcome and refills the view's grids, keeping the current
// rows. Tells kNothingToMendText when nothing can be mended. Returns true when a file may have
// changed.
// `hooks` are told around each change the repair writes, as RepairPortfolio tells them.
bool RepairFromView(ViewState& view, const std::string& dir, const CheckProgress& progress,
                    const RepairChangeHooks& hooks = {});

}  // namespace barvane
