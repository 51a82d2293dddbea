// The check's problems in the view, and the repair from the window.
#include "tools/portfolio_check_view.h"

#include "data/file_names.h"
#include "data/file_ops.h"
#include "tools/check_runs.h"
#include "tools/portfolio_repair.h"

namespace barvane {
namespace {

// A check line for a message box: the columns apart by blanks rather than tabs.
std::string MessageLine(const CheckProblem& problem) {
  std::string line = CheckLine(problem);
  std::string text;
  for (char c : line) {
    if (c == '\t') {
      text += "  ";
    } else {
      text += c;
    }
  }
  return text;
}

std::string Counted(std::size_t n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

void OpenPortfolioOf(ViewState& view, const std::string& dir) {
  if (WithTrailingSlash(view.m_portfolioDir) == dir && view.m_masterPathValid) return;
  for (std::size_t i = 0; i < view.m_portfolios.size(); ++i) {
    if (WithTrailingSlash(view.m_portfolios[i]) == dir) return view.SelectPortfolio(static_cast<int>(i));
  }
  // A sub-portfolio that the portfolio list does not show.
  const std::string master = FindNoCase(view.fs(), dir, kMasterName);
  (void)view.SetMasterPath(master.empty() ? dir + kMasterName : master);
  view.FillSymbolGrid(0);
}

}  // namespace

std::string KindOfLine(const CheckProblem& line) {
  const std::string kind = ProblemKind(line.bars.empty() ? line.text : line.bars.front().text);
  return kind.empty() ? kFilesKind : kind;
}

bool ShowProblem(ViewState& view, const CheckProblem& problem) {
  OpenPortfolioOf(view, WithTrailingSlash(problem.dir));
  if (problem.symbol == kNoSymbolText) return true;
  for (std::size_t r = 0; r < view.m_symbolRows.size(); ++r) {
    if (view.m_symbolRows[r].symbol != problem.symbol) continue;
    view.SelectSymbolRow(static_cast<int>(r));
    view.FillQuotesGrid(0);
    if (problem.day != kNoDate) view.SelectQuoteRow(view.QuoteRowOf(DateText(problem.day, true)));
    return true;
  }
  return false;
}

std::string RepairQuestion(const std::vector<CheckProblem>& planned) {
  std::string text = "The repair will make these changes:\n";
  for (std::size_t i = 0; i < planned.size() && i < kMendsListed; ++i) text += "\n" + MessageLine(planned[i]);
  if (planned.size() > kMendsListed) {
    text += "\n... and " + std::to_string(planned.size() - kMendsListed) + " more";
  }
  text += "\n\nEach changed quote file keeps its old content in F<n>.BAK, each changed index file in"
          " MASTER.BAK, EMASTER.BAK or XMASTER.BAK.\nRepair now?";
  return text;
}

bool RepairFromView(ViewState& view, const std::string& dir, const CheckProgress& progress,
                    const RepairChangeHooks& hooks) {
  Ui& ui = view.ui();
  ui.SetWaitCursor(true);
  const std::vector<CheckProblem> planned = PlannedMends(view.fs(), dir);
  ui.SetWaitCursor(false);
  if (planned.empty()) {
    ui.ShowMessage(kNothingToMendText, MessageIcon::kInformation);
    return false;
  }
  if (!ui.AskYesNo(RepairQuestion(planned))) return false;
  const RepairResult result = RepairPortfolio(view.fs(), dir, progress, hooks);
  switch (result.outcome) {
    case RepairOutcome::kDone:
      ui.ShowDone("Repair of " + dir + " done: " + Counted(result.mends.size(), "mend"));
      break;
    case RepairOutcome::kCancelled:
    case RepairOutcome::kFailed:
    case RepairOutcome::kNoPortfolio: {
      const std::string why = result.outcome == RepairOutcome::kCancelled ? "The repair was cancelled"
                              : result.failure.empty()                     ? "The portfolio " + dir + " cannot be read"
                                                                           : result.failure;
      ui.ShowMessage(why + (result.restored ? ".\nNothing was repaired; every file is as it was."
                                            : ".\nThe files repaired before could not all be put back; undo the "
                                              "repair to give them back."),
                     MessageIcon::kStop);
      break;
    }
  }
  const int symbolRow = view.m_selSymbolRow;
  const int quoteRow = view.m_selQuoteRow;
  view.FillSymbolGrid(symbolRow);
  view.SelectQuoteRow(quoteRow);
  return true;
}

}  // namespace barvane
