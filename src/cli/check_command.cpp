// The portfolio check and repair on the command line.
#include "cli/check_command.h"

#include <vector>

#include "cli/text_encoding.h"
#include "tools/portfolio_check.h"
#include "tools/portfolio_repair.h"

namespace barvane::cli {

std::string NoPortfolioText(const std::string& dir) {
  return "There is no portfolio in " + dir + ": its MASTER file cannot be read.";
}

int CheckCommand(ChangeRecorder& recorder, Ui& ui, const std::string& dir, bool repair, std::ostream& out) {
  FileSystem& fs = recorder;
  if (repair) {
    RepairChangeHooks hooks;
    hooks.begin = [&](const std::string&) { recorder.Begin({"check", dir, "--repair"}, dir); };
    // A change the history could not store is completed at its next start.
    hooks.end = [&] { (void)recorder.End(); };
    const RepairResult result = RepairPortfolio(fs, dir, nullptr, hooks);
    for (const CheckProblem& mend : result.mends) out << FileTextToUtf8(CheckLine(mend)) << '\n';
    if (result.outcome == RepairOutcome::kNoPortfolio) {
      ui.ShowMessage(NoPortfolioText(dir), MessageIcon::kStop);
      return 1;
    }
    if (result.outcome != RepairOutcome::kDone) {
      ui.ShowMessage(result.failure + (result.restored ? "; nothing was repaired, every file is as it was."
                                                       : "; the files repaired before could not all be put "
                                                         "back: undo the repair to give them back."),
                     MessageIcon::kStop);
      return 1;
    }
  }
  std::vector<CheckProblem> problems;
  if (CheckPortfolio(fs, dir, nullptr, &problems) == CheckOutcome::kNoPortfolio) {
    ui.ShowMessage(NoPortfolioText(dir), MessageIcon::kStop);
    return 1;
  }
  if (problems.empty()) return 0;
  if (!repair) {
    for (const CheckProblem& problem : problems) out << FileTextToUtf8(CheckLine(problem)) << '\n';
    return 1;
  }
  std::string left = "These problems need a person:";
  for (const CheckProblem& problem : problems) left += "\n" + FileTextToUtf8(CheckLine(problem));
  ui.ShowMessage(left, MessageIcon::kWarning);
  return 1;
}

}  // namespace barvane::cli
