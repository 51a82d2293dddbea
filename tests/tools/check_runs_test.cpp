// The check's report by kind: which problems gather into one line, which keep their own, and
// the counts and ranges as a report writes them.
#include "tools/check_runs.h"

#include <gtest/gtest.h>

#include <tuple>

#include "data/printed.h"

namespace barvane {
namespace {

const DayNumber kMonday = YmdToDay(98, 6, 15);

std::vector<std::string> Lines(const std::vector<SeriesProblem>& problems) {
  std::vector<std::string> lines;
  for (const SeriesProblem& p : problems) {
    lines.push_back((p.day == 0 ? std::string("-") : ScreenDate(p.day)) + " " + p.text +
                    (p.mendable ? " (mendable)" : "") + (p.bars.empty() ? "" : " [" + std::to_string(p.bars.size()) + "]"));
  }
  return lines;
}

SeriesVerdict Daily(std::vector<SeriesProblem> problems) { return {.problems = std::move(problems)}; }

SeriesProblem On(int quote, const std::string& text, bool mendable = false) {
  return {static_cast<DayNumber>(kMonday + quote), text, mendable};
}

TEST(CheckKinds, NamesAndGathersEachKindOfASeriesIntoOneLineAndLeavesTheRest) {
  const struct { const char* what; std::vector<SeriesProblem> problems; std::vector<std::string> lines; } cases[] = {
      {"one quote stands alone", {On(0, "close -1.00 is negative")}, {"06/15/98 close -1.00 is negative"}},
      {"one quote with two negative prices stands alone",
       {On(0, "open -1.00 is negative"), On(0, "close -1.00 is negative")},
       {"06/15/98 open -1.00 is negative", "06/15/98 close -1.00 is negative"}},
      {"two quotes, every price negative", {On(0, "open -1.00 is negative"), On(0, "close -1.00 is negative"),
        On(1, "low -2.00 is negative")},
       {"06/15/98 negative prices on 2 quotes, 06/15/98 to 06/16/98 [3]"}},
      {"quotes apart gather all the same, the range from first to last",
       {On(4, "close -1.00 is negative"), On(0, "close -1.00 is negative"), On(9, "close -1.00 is negative")},
       {"06/15/98 negative prices on 3 quotes, 06/15/98 to 06/24/98 [3]"}},
      {"kinds apart on the same quotes",
       {On(0, "close is zero"), On(0, "high 1.00 below low 2.00"), On(1, "open is zero"),
        On(1, "high 1.00 below low 3.00"), On(2, "open 5.00 above high 4.00")},
       {"06/15/98 zero prices on 2 quotes, 06/15/98 to 06/16/98 [2]",
        "06/15/98 high below low on 2 quotes, 06/15/98 to 06/16/98 [2]", "06/17/98 open 5.00 above high 4.00"}},
      {"outside the range, above and below apart",
       {On(0, "open 5.00 above high 4.00"), On(1, "close 5.00 above high 4.00"),
        On(2, "close 1.00 below low 2.00"), On(3, "open 1.00 below low 2.00")},
       {"06/15/98 open or close above high on 2 quotes, 06/15/98 to 06/16/98 [2]",
        "06/17/98 open or close below low on 2 quotes, 06/17/98 to 06/18/98 [2]"}},
      {"mendable only when each is",
       {On(1, "out of date order after 06/20/98", true), On(2, "out of date order after 06/20/98", true),
        On(4, "2 identical quotes of this day", true), On(5, "2 different quotes of this day", false)},
       {"06/16/98 out of date order on 2 quotes, 06/16/98 to 06/17/98 (mendable) [2]",
        "06/19/98 repeated days on 2 days, 06/19/98 to 06/20/98 [2]"}},
      {"values that do not read", {On(3, "open is not a number"), On(7, "volume is not a number")},
       {"06/18/98 values that are not numbers on 2 quotes, 06/18/98 to 06/22/98 [2]"}},
      {"problems of no day or of no kind keep their lines",
       {{0, "header counts 3 quotes, the file holds 2", true},
        {0, "close is zero", false},
        On(0, "the index says the first quote is 06/16/98, the file's is 06/15/98", true),
        On(9, "the index says the last quote is 06/16/98, the file's is 06/24/98", true)},
       {"- header counts 3 quotes, the file holds 2 (mendable)", "- close is zero",
        "06/15/98 the index says the first quote is 06/16/98, the file's is 06/15/98 (mendable)",
        "06/24/98 the index says the last quote is 06/16/98, the file's is 06/24/98 (mendable)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Lines(GroupByKind(Daily(c.problems))), c.lines);
  }
  // The kind of each text.
  const std::pair<const char*, const char*> kinds[] = {
      {"close -1.00 is negative at 09:05:00", "negative prices"},
      {"open is zero", "zero prices"},
      {"3 quotes of this day, 2 of them identical copies", "repeated days"},
      {"header counts 3 quotes, the file holds 2", ""},
      {"the index says the last quote is 06/16/98, the file's is 06/24/98", ""},
  };
  for (const auto& [text, kind] : kinds) EXPECT_EQ(ProblemKind(text), kind) << text;
}

// The command line keeps its runs of consecutive quotes, each with its last day.
TEST(CheckRuns, TellsEachRunOfConsecutiveQuotesApartWithItsLastDay) {
  SeriesVerdict verdict = Daily({On(0, "close -1.00 is negative"), On(1, "close -2.00 is negative"),
                                 On(3, "open -1.00 is negative"), On(3, "close -1.00 is negative"),
                                 On(4, "close -1.00 is negative"), On(6, "close is zero")});
  for (int quote = 0; quote < 7; ++quote) verdict.quoteStamps.push_back({static_cast<DayNumber>(kMonday + quote), 0});
  EXPECT_EQ(Lines(GroupRuns(verdict)),
            (std::vector<std::string>{"06/15/98 negative prices on 2 quotes to 06/16/98",
                                      "06/18/98 negative prices on 2 quotes to 06/19/98", "06/21/98 close is zero"}));
}

TEST(CheckKinds, CountsTheBarsOfADayEachAndGivesTheFirstAndLastBarsTime) {
  SeriesVerdict verdict{.fourDigitYears = true, .timed = true};
  const DayNumber day = YmdToDay(1955, 3, 1);
  for (int minute : {5, 0, 15, 0}) {
    verdict.problems.push_back({day, "close -1.00 is negative at " + TimeText(HmsToSeconds(9, minute, 0)), false,
                                HmsToSeconds(9, minute, 0)});
  }
  const std::vector<SeriesProblem> grouped = GroupByKind(verdict);
  EXPECT_EQ(Lines(grouped),
            (std::vector<std::string>{"03/01/55 negative prices on 3 quotes, 03/01/1955 09:00:00 to 03/01/1955 09:15:00 [4]"}));
  ASSERT_EQ(grouped.size(), 1u);
  EXPECT_EQ(std::tie(grouped[0].time, grouped[0].bars[0].text),
            std::make_tuple(HmsToSeconds(9, 0, 0), std::string("close -1.00 is negative at 09:05:00")));
}

TEST(GroupedNumber, PutsACommaBetweenEachThreeDigits) {
  const std::pair<long long, const char*> cases[] = {{0, "0"},           {999, "999"},         {1000, "1,000"},
                                                     {2312, "2,312"},    {65535, "65,535"},    {123456, "123,456"},
                                                     {1234567, "1,234,567"}, {-2846, "-2,846"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(GroupedNumber(n), text);
}

}  // namespace
}  // namespace barvane
