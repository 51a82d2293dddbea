// Runs in the check's report: which problems gather into one line, which keep their own, and
// the counts as a report writes them.
#include "tools/check_runs.h"

#include <gtest/gtest.h>

#include "data/printed.h"

namespace barvane {
namespace {

const DayNumber kMonday = YmdToDay(98, 6, 15);

std::vector<std::string> Lines(const std::vector<SeriesProblem>& problems) {
  std::vector<std::string> lines;
  for (const SeriesProblem& p : problems) {
    lines.push_back((p.day == 0 ? std::string("-") : ScreenDate(p.day)) + " " + p.text +
                    (p.mendable ? " (mendable)" : ""));
  }
  return lines;
}

SeriesVerdict Daily(std::vector<SeriesProblem> problems, std::vector<int> quotes) {
  SeriesVerdict verdict;
  verdict.problems = std::move(problems);
  for (int q : quotes) verdict.quoteStamps.emplace_back(static_cast<DayNumber>(kMonday + q), DaySeconds{0});
  return verdict;
}

std::vector<int> Consecutive(int count) {
  std::vector<int> quotes;
  for (int i = 0; i < count; ++i) quotes.push_back(i);
  return quotes;
}

SeriesProblem On(int quote, const std::string& text, bool mendable = false) {
  return {static_cast<DayNumber>(kMonday + quote), text, mendable};
}

TEST(CheckRuns, GathersConsecutiveQuotesOfOneKindAndLeavesTheRest) {
  const struct {
    const char* what;
    std::vector<SeriesProblem> problems;
    std::vector<std::string> lines;
  } cases[] = {
      {"one quote stands alone",
       {On(0, "close -1.00 is negative")},
       {"06/15/98 close -1.00 is negative"}},
      {"two quotes, every price negative",
       {On(0, "open -1.00 is negative"), On(0, "close -1.00 is negative"),
        On(1, "low -2.00 is negative")},
       {"06/15/98 negative prices on 2 quotes to 06/16/98"}},
      {"a clean quote between breaks the run",
       {On(0, "close -1.00 is negative"), On(2, "close -1.00 is negative"),
        On(3, "close -1.00 is negative")},
       {"06/15/98 close -1.00 is negative", "06/17/98 negative prices on 2 quotes to 06/18/98"}},
      {"kinds run apart on the same quotes",
       {On(0, "close is zero"), On(0, "high 1.00 below low 2.00"), On(1, "open is zero"),
        On(1, "high 1.00 below low 3.00"), On(2, "open 5.00 above high 4.00")},
       {"06/15/98 zero prices on 2 quotes to 06/16/98",
        "06/15/98 high below low on 2 quotes to 06/16/98", "06/17/98 open 5.00 above high 4.00"}},
      {"outside the range, above and below apart",
       {On(0, "open 5.00 above high 4.00"), On(1, "close 5.00 above high 4.00"),
        On(2, "close 1.00 below low 2.00"), On(3, "open 1.00 below low 2.00")},
       {"06/15/98 open or close above high on 2 quotes to 06/16/98",
        "06/17/98 open or close below low on 2 quotes to 06/18/98"}},
      {"out of order, mendable only when each is",
       {On(1, "out of date order after 06/20/98", true),
        On(2, "out of date order after 06/20/98", true),
        On(4, "out of date order after 06/20/98", true),
        On(5, "out of date order after 06/20/98", false)},
       {"06/16/98 out of date order on 2 quotes to 06/17/98 (mendable)",
        "06/19/98 out of date order on 2 quotes to 06/20/98"}},
      {"problems of no day or of another kind keep their lines",
       {{0, "header counts 3 quotes, the file holds 2", true},
        On(0, "2 identical quotes of this day", true),
        On(1, "2 identical quotes of this day", true)},
       {"- header counts 3 quotes, the file holds 2 (mendable)",
        "06/15/98 2 identical quotes of this day (mendable)",
        "06/16/98 2 identical quotes of this day (mendable)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Lines(GroupRuns(Daily(c.problems, Consecutive(10)))), c.lines);
  }
}

TEST(CheckRuns, CountsQuotesInDateOrderWhateverTheFileOrder) {
  // The file holds its days backwards and one day twice.
  const std::vector<SeriesProblem> problems = {
      On(3, "close -1.00 is negative"), On(2, "close -1.00 is negative"),
      On(2, "close -2.00 is negative"), On(1, "close -1.00 is negative")};
  EXPECT_EQ(Lines(GroupRuns(Daily(problems, {3, 2, 1, 0, 2}))),
            (std::vector<std::string>{"06/16/98 negative prices on 3 quotes to 06/18/98"}));
}

TEST(CheckRuns, CountsTheBarsOfADayEachAndEndsWithTheLastBarsTime) {
  SeriesVerdict verdict;
  verdict.timed = true;
  verdict.fourDigitYears = true;
  const DayNumber day = YmdToDay(1955, 3, 1);
  for (int minute : {0, 5, 10, 15}) verdict.quoteStamps.emplace_back(day, HmsToSeconds(9, minute, 0));
  for (int minute : {0, 5, 15}) {
    verdict.problems.push_back({day, "close -1.00 is negative at " + TimeText(HmsToSeconds(9, minute, 0)), false,
                                HmsToSeconds(9, minute, 0)});
  }
  EXPECT_EQ(Lines(GroupRuns(verdict)),
            (std::vector<std::string>{"03/01/55 negative prices on 2 quotes to 03/01/1955 09:05:00",
                                      "03/01/55 close -1.00 is negative at 09:15:00"}));
}

TEST(GroupedNumber, PutsACommaBetweenEachThreeDigits) {
  const std::pair<long long, const char*> cases[] = {{0, "0"},           {999, "999"},         {1000, "1,000"},
                                                     {2312, "2,312"},    {65535, "65,535"},    {123456, "123,456"},
                                                     {1234567, "1,234,567"}, {-2846, "-2,846"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(GroupedNumber(n), text);
}

}  // namespace
}  // namespace barvane
