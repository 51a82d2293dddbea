// The check in the window's terms: from a problem to its portfolio, symbol and day, and the
// repair with its question, its report and the grids refilled.
#include "tools/portfolio_check_view.h"

#include <gtest/gtest.h>

#include "support/check_lines.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::kMonday;
using test::Problems;
using test::TempDir;

// P holds KEEP and ZERO (a zero close on its third day) and the sub-portfolio SUB with LOW (a
// zero low on its second day) and a header that counts one quote too many.
void BuildTree(const TempDir& root) {
  auto zero = test::WeekdayQuotes(kMonday, 5);
  zero[2].close = 0;
  auto low = test::WeekdayQuotes(kMonday, 3);
  low[1].low = 0;
  test::Build(root / "P", test::Portfolio({test::Daily(1, "KEEP", 4), test::Symbol(2, "ZERO", test::Fields28(), zero)},
                                          {"SUB"}));
  test::Build(root / "P/SUB", test::Portfolio(test::Symbol(1, "LOW", test::Fields28(), low)));
  test::Patch(root / "P/SUB/F1.DAT", 2, {5});
}

TEST(ProblemInView, LeadsToTheSymbolAndTheQuoteRowOfTheDayInItsOwnPortfolio) {
  TempDir root;
  BuildTree(root);
  test::ToolView tv(root / "P");
  const auto problems = Problems(root / "P");
  ASSERT_EQ(test::LinesOf(problems), (test::Lines{"LOW\t-\theader counts 4 quotes, the file holds 3 (in SUB)",
                                                  "LOW\t06/16/98\tlow is zero (in SUB)",
                                                  "ZERO\t06/17/98\tclose is zero"}));
  EXPECT_TRUE(ShowProblem(tv.view, problems[2]));
  EXPECT_EQ(tv.view.m_seriesSymbol, "ZERO");
  EXPECT_EQ(tv.view.m_symbolRows[static_cast<std::size_t>(tv.view.m_selSymbolRow)].symbol, "ZERO");
  // Newest first: 06/17/98 is row 2.
  EXPECT_EQ(std::make_tuple(tv.view.m_selQuoteRow, tv.view.QuoteDateText(2)), std::make_tuple(2, "06/17/98"));

  // A sub-portfolio's problem opens it as a portfolio of its own.
  EXPECT_TRUE(ShowProblem(tv.view, problems[1]));
  EXPECT_EQ(tv.view.m_portfolioDir, root / "P/SUB");
  EXPECT_EQ(tv.view.m_seriesSymbol, "LOW");
  EXPECT_EQ(tv.view.QuoteDateText(tv.view.m_selQuoteRow), "06/16/98");
  // A problem of no day leaves the newest quote current; one of no symbol only opens.
  EXPECT_TRUE(ShowProblem(tv.view, problems[0]));
  EXPECT_EQ(tv.view.m_selQuoteRow, 0);
  EXPECT_TRUE(ShowProblem(tv.view, {kNoSymbolText, "", root / "P/", 0, "x", false}));
  EXPECT_EQ(tv.view.m_portfolioDir, root / "P");
  EXPECT_FALSE(ShowProblem(tv.view, {"GONE", "", root / "P/", 0, "x", false}));
}

TEST(ProblemInView, RepairAsksWhatItWillChangeAndRefillsTheGrids) {
  TempDir root;
  BuildTree(root);
  test::ToolView tv(root / "P");
  tv.Select("ZERO");
  tv.view.SelectQuoteRow(3);

  tv.ui.answer = false;
  EXPECT_FALSE(RepairFromView(tv.view, root / "P", nullptr));
  ASSERT_EQ(tv.ui.questions.size(), 1u);
  EXPECT_EQ(tv.ui.questions[0],
            "The repair will make these changes:\n\nLOW  -  set the header count to 3 (in SUB)\n\n"
            "Each changed quote file keeps its old content in F<n>.BAK, each changed index file in "
            "MASTER.BAK, EMASTER.BAK or XMASTER.BAK.\nRepair now?");
  EXPECT_EQ(Problems(root / "P").size(), 3u);

  tv.ui.answer = true;
  EXPECT_TRUE(RepairFromView(tv.view, root / "P", nullptr));
  EXPECT_EQ(tv.ui.done.back(), "Repair of " + root / "P" + " done: 1 mend");
  EXPECT_EQ(Problems(root / "P").size(), 2u);
  EXPECT_EQ(std::tie(tv.view.m_seriesSymbol, tv.view.m_selQuoteRow), std::make_tuple("ZERO", 3));

  EXPECT_FALSE(RepairFromView(tv.view, root / "P", nullptr));
  EXPECT_EQ(tv.ui.messages.back(), kNothingToMendText);
}

TEST(ProblemInView, TheQuestionListsFifteenMendsAndCountsTheRest) {
  std::vector<CheckProblem> planned(17, {"A", "", "/p/", 0, "set the header count to 2", true});
  const std::string question = RepairQuestion(planned);
  EXPECT_NE(question.find("\n... and 2 more\n"), std::string::npos);
  EXPECT_EQ(std::count(question.begin(), question.end(), '\n'), 1 + 15 + 1 + 2 + 1);
}

}  // namespace
}  // namespace barvane
