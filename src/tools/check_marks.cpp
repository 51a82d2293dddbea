// The check's problems of the shown series, and that series checked again.
#include "tools/check_marks.h"

#include <algorithm>
#include <map>

#include "data/file_names.h"
#include "tools/check_runs.h"

namespace barvane {
namespace {

bool SameProblem(const CheckProblem& a, const CheckProblem& b) {
  return a.symbol == b.symbol && a.where == b.where && a.dir == b.dir && a.day == b.day && a.text == b.text &&
         a.mendable == b.mendable && std::equal(a.bars.begin(), a.bars.end(), b.bars.begin(), b.bars.end(), SameProblem);
}

}  // namespace

std::vector<ProblemMark> ProblemMarks(const ViewState& view, const std::vector<CheckProblem>& problems) {
  const std::string dir = WithTrailingSlash(view.m_portfolioDir);
  std::map<DayNumber, std::string> labels;
  const auto mark = [&labels](const CheckProblem& p) {
    if (p.day == kNoDate) return;
    std::string& label = labels[p.day];
    if (!label.empty()) label += "; ";
    label += p.text;
  };
  for (const CheckProblem& p : problems) {
    if (p.symbol != view.m_seriesSymbol || WithTrailingSlash(p.dir) != dir) continue;
    // A line of many quotes marks each on its own day with its own problem.
    if (p.bars.empty()) mark(p);
    for (const CheckProblem& bar : p.bars) mark(bar);
  }
  std::vector<ProblemMark> marks;
  if (labels.empty()) return marks;
  // One pass over the grid, however long the series.
  const std::vector<QuoteGridRow>& rows = view.m_quotes.rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const auto found = labels.find(rows[r].day);
    if (found != labels.end()) marks.push_back({static_cast<int>(r), found->second});
  }
  return marks;
}

bool RecheckSeries(FileSystem& fs, const std::string& checkedDir, const std::string& dir,
                   const std::string& symbol, std::vector<CheckProblem>* problems) {
  if (checkedDir.empty() || symbol.empty()) return false;
  const std::string top = WithTrailingSlash(checkedDir);
  const std::string seriesDir = WithTrailingSlash(dir);
  if (!seriesDir.starts_with(top)) return false;
  PortfolioTree tree;
  if (!ReadPortfolioTree(fs, top, &tree)) return false;
  const auto ofSeries = [&](const CheckProblem& p) {
    return p.symbol == symbol && WithTrailingSlash(p.dir) == seriesDir;
  };
  // As CheckPortfolio finds them: the index files' problems first, then each record's series.
  std::vector<CheckProblem> fresh;
  std::copy_if(tree.problems.begin(), tree.problems.end(), std::back_inserter(fresh), ofSeries);
  Bytes quotes;
  for (const CheckedSymbol& s : tree.symbols) {
    if (s.symbol != symbol || WithTrailingSlash(s.dir) != seriesDir) continue;
    const SeriesVerdict verdict = CheckSymbol(fs, s, &quotes);
    for (CheckProblem& p : SeriesReport(s, verdict)) fresh.push_back(std::move(p));
  }
  SortProblems(&fresh);

  std::vector<CheckProblem> old;
  std::copy_if(problems->begin(), problems->end(), std::back_inserter(old), ofSeries);
  if (std::equal(old.begin(), old.end(), fresh.begin(), fresh.end(), SameProblem)) return false;
  std::erase_if(*problems, ofSeries);
  problems->insert(problems->end(), fresh.begin(), fresh.end());
  SortProblems(problems);
  return true;
}

}  // namespace barvane
