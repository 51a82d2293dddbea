// The check's problems of the shown series as quote grid rows, and that series checked again
// after its files changed.
#include "tools/check_marks.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/check_lines.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::kMonday;
using test::Lines;
using test::LinesOf;
using test::Problems;
using test::TempDir;

// Each mark as "row: label".
Lines Texts(const std::vector<ProblemMark>& marks) {
  Lines texts;
  for (const ProblemMark& m : marks) texts.push_back(std::to_string(m.row) + ": " + m.label);
  return texts;
}

// HILO: a zero open and a high below the low on 06/16/98, two different quotes of 06/19/98.
std::vector<QuoteValues> HiloQuotes(bool faulty) {
  auto quotes = test::WeekdayQuotes(kMonday, 6);
  if (faulty) quotes[1].open = 0, quotes[1].high = 4.1f, quotes[1].low = 4.2f;
  quotes[4].day = quotes[3].day, quotes[4].close += 0.5f;
  return quotes;
}

// P holds HILO and ZERO (a zero close on 06/18/98) and the sub-portfolio SUB, whose own HILO
// has a zero close on 06/16/98 and a header that counts one quote too many.
void BuildTree(const TempDir& root, bool faulty = true) {
  auto zero = test::WeekdayQuotes(kMonday, 5);
  zero[3].close = 0;
  test::Build(root / "P", test::Portfolio({test::Symbol(1, "HILO", test::Fields28(), HiloQuotes(faulty)),
                                           test::Symbol(2, "ZERO", test::Fields28(), zero)}, {"SUB"}));
  auto sub = test::WeekdayQuotes(kMonday, 3);
  if (faulty) sub[1].close = 0;
  test::Build(root / "P/SUB", test::Portfolio(test::Symbol(1, "HILO", test::Fields28(), sub)));
  test::Patch(root / "P/SUB/F1.DAT", 2, {5});
}

TEST(ProblemMarks, AreTheRowsOfTheShownSeriesDaysWithTheirProblemsJoined) {
  TempDir root;
  BuildTree(root);
  test::ToolView tv(root / "P");
  tv.Select("HILO");
  const auto problems = Problems(root / "P");
  ASSERT_EQ(LinesOf(problems), (Lines{"HILO\t06/16/98\topen is zero", "HILO\t06/16/98\thigh 4.10 below low 4.20",
                                      "HILO\t06/18/98\t2 different quotes of this day",
                                      "HILO\t-\theader counts 4 quotes, the file holds 3 (in SUB)",
                                      "HILO\t06/16/98\tclose is zero (in SUB)", "ZERO\t06/18/98\tclose is zero"}));
  // Newest first: 06/22, 06/18 twice, 06/17, 06/16, 06/15. SUB's HILO and ZERO are not this
  // series; a problem of no day has no row.
  EXPECT_EQ(Texts(ProblemMarks(tv.view, problems)),
            (Lines{"1: 2 different quotes of this day", "2: 2 different quotes of this day",
                   "4: open is zero; high 4.10 below low 4.20"}));
  EXPECT_EQ(tv.view.QuoteDateText(4), "06/16/98");

  tv.Select("ZERO");  // rows 06/19, 06/18, ...
  EXPECT_EQ(Texts(ProblemMarks(tv.view, problems)), Lines{"1: close is zero"});
  EXPECT_EQ(tv.view.QuoteDateText(1), "06/18/98");

  // A day the grid does not hold, and no problems at all.
  EXPECT_TRUE(ProblemMarks(tv.view, {{"ZERO", "", root / "P/", YmdToDay(98, 7, 1), "close is zero", false}}).empty());
  EXPECT_TRUE(ProblemMarks(tv.view, {}).empty());

  // The sub-portfolio opened as a portfolio of its own.
  test::ToolView sub(root / "P/SUB");
  sub.Select("HILO");
  EXPECT_EQ(Texts(ProblemMarks(sub.view, problems)), Lines{"1: close is zero"});
  EXPECT_EQ(sub.view.QuoteDateText(1), "06/16/98");
}

TEST(RecheckSeries, PutsWhatTheChangedFilesHoldInPlaceOfWhatTheCheckFound) {
  TempDir root, mended;
  BuildTree(root);
  BuildTree(mended, false);
  FileSystem& fs = FileSystem::Default();
  auto problems = Problems(root / "P");
  const auto before = LinesOf(problems);
  EXPECT_FALSE(RecheckSeries(fs, root / "P", root / "P", "HILO", &problems));
  EXPECT_EQ(LinesOf(problems), before);

  test::WriteBytes(root / "P/F1.DAT", test::ReadBytes(mended / "P/F1.DAT"));
  // Outside the portfolio checked, or with no portfolio or no symbol, the problems stay.
  EXPECT_FALSE(RecheckSeries(fs, root / "P/SUB", root / "P", "HILO", &problems));
  EXPECT_FALSE(RecheckSeries(fs, "", root / "P", "HILO", &problems));
  EXPECT_FALSE(RecheckSeries(fs, root / "P", root / "P", "", &problems));
  EXPECT_EQ(LinesOf(problems), before);
  EXPECT_TRUE(RecheckSeries(fs, root / "P", root / "P", "HILO", &problems));
  EXPECT_EQ(LinesOf(problems), LinesOf(Problems(root / "P")));
  EXPECT_EQ(LinesOf(problems), (Lines{"HILO\t06/18/98\t2 different quotes of this day",
                                      "HILO\t-\theader counts 4 quotes, the file holds 3 (in SUB)",
                                      "HILO\t06/16/98\tclose is zero (in SUB)", "ZERO\t06/18/98\tclose is zero"}));

  // The sub-portfolio's series, seen from the portfolio checked: its problems stay "in SUB".
  test::WriteBytes(root / "P/SUB/F1.DAT", test::ReadBytes(mended / "P/SUB/F1.DAT"));
  EXPECT_TRUE(RecheckSeries(fs, root / "P", root / "P/SUB", "HILO", &problems));
  EXPECT_EQ(LinesOf(problems), LinesOf(Problems(root / "P")));
  EXPECT_EQ(LinesOf(problems), (Lines{"HILO\t06/18/98\t2 different quotes of this day",
                                      "HILO\t-\theader counts 4 quotes, the file holds 3 (in SUB)",
                                      "ZERO\t06/18/98\tclose is zero"}));
  // A series that gets a problem it did not have.
  test::WriteBytes(root / "P/F1.DAT", test::ReadBytes(mended / "P/F2.DAT"));
  EXPECT_TRUE(RecheckSeries(fs, root / "P", root / "P/", "HILO", &problems));
  EXPECT_EQ(LinesOf(problems), LinesOf(Problems(root / "P")));
  // Without its MASTER the portfolio is not read again.
  const auto last = LinesOf(problems);
  test::WriteBytes(root / "P/F1.DAT", test::ReadBytes(mended / "P/F1.DAT"));
  std::remove((root / "P/MASTER").c_str());
  EXPECT_FALSE(RecheckSeries(fs, root / "P", root / "P", "HILO", &problems));
  EXPECT_EQ(LinesOf(problems), last);
}

}  // namespace
}  // namespace barvane
