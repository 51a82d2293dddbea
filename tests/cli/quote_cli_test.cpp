// barvane-cli's quote commands end to end: exit statuses, the exact messages on standard
// error, and the files a refused or failed command leaves as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "app/quote_grid.h"
#include "editing/add_quote.h"
#include "support/cli_run.h"
#include "support/float_cases.h"

namespace barvane {
namespace {

using namespace test;

// The quote records of two quote files (all but the header) are the same bytes.
void ExpectSameRecords(const std::string& a, const std::string& b) {
  const Bytes old = ReadBytes(a + "/F1.DAT"), now = ReadBytes(b + "/F1.DAT");
  ASSERT_EQ(old.size(), now.size());
  EXPECT_TRUE(std::equal(old.begin() + 28, old.end(), now.begin() + 28));
}

// ABC trades Monday 06/08/98 to Tuesday 06/16/98 except Friday 06/12.
class QuoteCli : public CliTest {
 protected:
  void SetUp() override {
    auto quotes = WeekdayQuotes(YmdToDay(98, 6, 8), 7);
    quotes.erase(quotes.begin() + 4);
    Build(dir_, Portfolio(Symbol(1, "ABC", Fields28(), quotes)));
    before_ = Files();
  }
  CliRun RunOnAbc(Texts words) {
    words.insert(words.begin() + 1, {dir_, "ABC"});
    return Cli(words);
  }
  Texts Quotes() { return Lines(Cli({"quotes", dir_, "ABC"}).out); }
  // BARS in B: a bar at each of `times` on each of `days`, its volume 100 and its second.
  void BuildBars(const std::vector<DaySeconds>& times, const std::vector<DayNumber>& days) {
    std::vector<QuoteValues> bars;
    for (DayNumber day : days) {
      for (DaySeconds t : times) bars.push_back({day, t, 4, 5, 3, 4, float(100 + t % 60), 0});
    }
    Build(bars_, Portfolio(Intraday(1, "BARS", bars)));
  }

  std::string dir_ = root_ / "P", bars_ = root_ / "B";
  std::map<std::string, Bytes> before_;
};

TEST_F(QuoteCli, RefusalsAndFailuresTellWhyWithStatusOneAndTouchNothing) {
  const std::pair<Texts, std::string> cases[] = {
      {{"split", "06/16/98", "0", "1"}, "Invalid Data Entered\n"},
      {{"split", "06/05/98", "2", "1"}, "Invalid Data Entered\n"},
      {{"adjust", "06/08/98", "06/16/98", "1", "1", "abc"}, "Invalid Data Entered\n"},
      {{"edit", "06/16/98", "N/A", "1", "1", "1", "1", "1"}, "Invalid Data Entered\n"},
      {{"delete-quote", "06/12/98"}, "failure in delete quote for findrec\nDelete Edit Failed\n"},
      {{"add-quote", "06/11/98"}, "Date 06/10/98 already exists.\n"},
      {{"new-quote", "06/11/98", "1", "1", "1", "1", "1", "1"}, "Date 06/11/98 already exists.\n"}};
  for (const auto& [words, err] : cases) {
    SCOPED_TRACE(words[0] + " " + words[1]);
    EXPECT_EQ(RunOnAbc(words), Failed(err));
    EXPECT_EQ(Files(), before_);
  }
  const std::string one = Built("ONE", {Daily(1, "ONE", 1, Fields8())});
  const auto oneBefore = Files();
  EXPECT_EQ(Cli({"add-quote", one, "ONE", "06/15/98"}), Failed(std::string(kAddToSingleQuoteText) + "\n"));
  EXPECT_EQ(Files(), oneBefore);
}

TEST_F(QuoteCli, NewQuoteAddsAMissingDayAndSaysYesToItsQuestionOnStandardError) {
  auto want = Quotes();
  EXPECT_EQ(RunOnAbc({"new-quote", "06/12/98", "10.8", "11", "10.5", "10.9", "1000", "0"}), Done());
  want.insert(want.begin() + 2, "06/12/98\t10.8000\t11.0000\t10.5000\t10.9000\t1000\t0");
  EXPECT_EQ(Quotes(), want);

  // Negative prices as typed; the window would ask about them, the command line stores them.
  EXPECT_EQ(RunOnAbc({"new-quote", "06/17/98", "-5", "-6", "-7", "-4", "1", "2"}),
            (CliRun{0, "", "The open -5.0000 lies above the high -6.0000.\n"
                           "The close -4.0000 lies above the high -6.0000.\n\nStore it all the same?\n"}));
  want.insert(want.begin(), "06/17/98\t-5.0000\t-6.0000\t-7.0000\t-4.0000\t1\t2");
  EXPECT_EQ(Quotes(), want);
  const std::string history = Cli({"history", dir_}).out;
  EXPECT_NE(history.find("new-quote " + dir_ + " ABC 06/17/98 -5 -6 -7 -4 1 2"), std::string::npos) << history;

  EXPECT_EQ(RunOnAbc({"edit", "06/17/98", "-5", "-3.5", "-7", "-4", "1", "2"}), Done());
  EXPECT_EQ(Quotes()[0], "06/17/98\t-5.0000\t-3.5000\t-7.0000\t-4.0000\t1\t2");
}

// A series from 1928 to 2024: a two-digit year in the DATE that picks a row is refused as every
// command refuses it; the four-digit one adds the missing Tuesday of 1928.
TEST_F(QuoteCli, AddQuoteAndEditRefuseTwoDigitYears) {
  std::vector<QuoteValues> quotes = WeekdayQuotes(YmdToDay(1928, 10, 1), 8);
  quotes.erase(quotes.begin() + 6);  // Tuesday 10/09/1928
  for (const QuoteValues& q : WeekdayQuotes(YmdToDay(2024, 11, 4), 2)) quotes.push_back(q);
  const std::string dir = Built("OLD", {Symbol(1, "OLD", Fields28(), quotes)});
  const auto before = Files();
  const CliRun refused = Failed("Type the year in full, as 10/10/1928 or 10/10/2028: this series shows four-digit years.\n");
  EXPECT_EQ(Cli({"add-quote", dir, "OLD", "10/10/28"}), refused);
  EXPECT_EQ(Cli({"edit", dir, "OLD", "10/10/28", "1", "1", "1", "1", "1", "1"}), refused);
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Cli({"add-quote", dir, "OLD", "10/10/1928"}), Done());
  EXPECT_EQ(Lines(Cli({"quotes", dir, "OLD"}).out)[3].substr(0, 11), "10/09/1928\t");
}

TEST_F(QuoteCli, DateWordsTakeFourDigitYearsAndIsoDates) {
  EXPECT_EQ(RunOnAbc({"split", "06/15/1998", "2", "1"}), Done());
  EXPECT_EQ(RunOnAbc({"adjust", "1998-06-08", "06/09/1998", "2", "1", "1"}), Done());
  EXPECT_EQ(RunOnAbc({"delete-quote", "1998-06-16"}), Done());
  EXPECT_EQ(Quotes().size(), 5u);
}

TEST_F(QuoteCli, EditGivenTheGridsTextForAValueKeepsItsStoredBytes) {
  auto quotes = WeekdayQuotes(kMonday, 2);
  quotes[1].open = 12.3456789f, quotes[1].volume = 1000.75f;
  SymbolDescription symbol = Symbol(1, "ABC", Fields28(), quotes);
  Build(dir_, Portfolio(symbol));
  const QuoteValues& q = quotes[1];
  EXPECT_EQ(RunOnAbc({"edit", "06/16/98", PriceText(q.open), PriceText(q.high), PriceText(q.low), "11",
                      CountText(q.volume), CountText(q.openInterest)}),
            (CliRun{0, "", "The open 12.345679 lies above the high 10.7500.\nThe close 11.0000 lies above the high "
                           "10.7500.\n\nStore it all the same?\n"}));
  symbol.quotes[1].close = 11;
  EXPECT_EQ(ReadBytes(dir_ + "/F1.DAT"), QuoteFileBytes(symbol));
}

// Three bars a day: the time after a blank or "T" names one of them; a date alone names none.
TEST_F(QuoteCli, ABarIsNamedByItsDateAndTime) {
  BuildBars({HmsToSeconds(9, 5, 0), HmsToSeconds(9, 10, 0), HmsToSeconds(9, 15, 0)}, {kMonday, kMonday + 1});
  const auto before = Files();
  const std::string several = "06/16/98 holds 3 quotes: give the time as well, e.g. 06/16/98 09:05:00\n";
  EXPECT_EQ(Cli({"edit", bars_, "BARS", "06/16/98", "1", "5", "1", "2", "7", "0"}),
            Failed(several + "Single Date Edit Failed\n"));
  EXPECT_EQ(Cli({"delete-quote", bars_, "BARS", "06/16/98"}), Failed(several + "Delete Edit Failed\n"));
  // Add quote copies a day's bars to the weekday before; the message says which.
  EXPECT_EQ(Cli({"add-quote", bars_, "BARS", "06/16/98 09:10"}),
            Failed("Date 06/15/98 already exists: Add quote would copy the 3 bars of 06/16/98 from 09:05:00 to "
                   "09:15:00 to it.\n"));
  EXPECT_EQ(Files(), before);

  EXPECT_EQ(Cli({"edit", bars_, "BARS", "06/16/98 09:10", "1", "5", "1", "2", "7", "0"}).status, 0);
  EXPECT_EQ(Cli({"delete-quote", bars_, "BARS", "1998-06-16T09:15:00"}).status, 0);
  EXPECT_EQ(Cli({"quotes", bars_, "BARS"}), Done("06/16/98\t09:10:00\t1.0000\t5.0000\t1.0000\t2.0000\t7\tN/A\n"
                                                 "06/16/98\t09:05:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A\n"
                                                 "06/15/98\t09:15:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A\n"
                                                 "06/15/98\t09:10:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A\n"
                                                 "06/15/98\t09:05:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A\n"));
}

// Bars one second apart stay apart: shown, addressed, edited, deleted, exported and imported
// each with its own second; a time without seconds is the bar at :00.
TEST_F(QuoteCli, EveryBarKeepsItsOwnSecond) {
  BuildBars({HmsToSeconds(9, 30, 0), HmsToSeconds(9, 30, 1), HmsToSeconds(9, 30, 7), HmsToSeconds(9, 30, 59)},
            {kMonday + 1});
  EXPECT_EQ(Cli({"quotes", bars_, "BARS"}), Done("06/16/98\t09:30:59\t4.0000\t5.0000\t3.0000\t4.0000\t159\tN/A\n"
                                                 "06/16/98\t09:30:07\t4.0000\t5.0000\t3.0000\t4.0000\t107\tN/A\n"
                                                 "06/16/98\t09:30:01\t4.0000\t5.0000\t3.0000\t4.0000\t101\tN/A\n"
                                                 "06/16/98\t09:30:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A\n"));
  const auto before = Files();
  for (const char* missing : {"06/16/98 09:30:06", "06/16/98 09:30:02", "06/16/98 09:31"}) {
    EXPECT_EQ(Cli({"edit", bars_, "BARS", missing, "1", "5", "1", "2", "7", "0"}).status, 1) << missing;
    EXPECT_EQ(Cli({"delete-quote", bars_, "BARS", missing}).status, 1) << missing;
  }
  EXPECT_EQ(Files(), before);

  EXPECT_EQ(Cli({"edit", bars_, "BARS", "06/16/98 09:30", "1", "5", "1", "2", "7", "0"}).status, 0);
  EXPECT_EQ(Cli({"edit", bars_, "BARS", "06/16/98 09:30:07", "2", "5", "1", "2", "8", "0"}).status, 0);
  EXPECT_EQ(Cli({"delete-quote", bars_, "BARS", "1998-06-16T09:30:01"}).status, 0);
  const CliRun after = Done("06/16/98\t09:30:59\t4.0000\t5.0000\t3.0000\t4.0000\t159\tN/A\n"
                            "06/16/98\t09:30:07\t2.0000\t5.0000\t1.0000\t2.0000\t8\tN/A\n"
                            "06/16/98\t09:30:00\t1.0000\t5.0000\t1.0000\t2.0000\t7\tN/A\n");
  EXPECT_EQ(Cli({"quotes", bars_, "BARS"}), after);

  const std::string text = root_ / "bars.txt", fresh = root_ / "fresh";
  ASSERT_EQ(Cli({"export", bars_, "BARS", text, "--omit", "oi"}).status, 0);
  EXPECT_EQ(ReadText(text), "06/16/98 09:30:00 1.0000 5.0000 1.0000 2.0000 7.00\r\n"
                            "06/16/98 09:30:07 2.0000 5.0000 1.0000 2.0000 8.00\r\n"
                            "06/16/98 09:30:59 4.0000 5.0000 3.0000 4.0000 159.00\r\n");
  ASSERT_EQ(Cli({"import", fresh, "BARS", text}).status, 0);
  EXPECT_EQ(Cli({"quotes", fresh, "BARS"}), after);
  // The same quantities in the same places: the quote records come back byte for byte.
  ExpectSameRecords(bars_, fresh);
}

// Each value shows, exports and imports back as the very float the file held, byte for byte.
TEST_F(QuoteCli, EveryFloatSurvivesShowExportAndImport) {
  std::vector<QuoteValues> quotes;
  Texts shown, exported;
  DayNumber day = YmdToDay(98, 6, 8);
  for (const FloatCase& c : std::span(kFloatCases).first(kQuoteFloatCases)) {
    const float v = c.value;
    quotes.push_back({day, 0, v, v, v, v, v, v});
    const std::string p = c.price, n = c.count;
    shown.insert(shown.begin(), ScreenDate(day) + "\t" + p + "\t" + p + "\t" + p + "\t" + p + "\t" + n + "\t" + n);
    exported.push_back(ScreenDate(day) + " " + p + " " + p + " " + p + " " + p + " " + c.volume + " " + c.volume + "\r");
    ++day;
  }
  Build(dir_, Portfolio(Symbol(1, "NUMS", Fields28(), quotes)));
  EXPECT_EQ(Lines(Cli({"quotes", dir_, "NUMS"}).out), shown);
  const std::string text = root_ / "nums.txt", fresh = root_ / "fresh";
  ASSERT_EQ(Cli({"export", dir_, "NUMS", text}).status, 0);
  EXPECT_EQ(Lines(ReadText(text)), exported);
  EXPECT_EQ(Cli({"import", fresh, "NUMS", text}), Done());
  ExpectSameRecords(dir_, fresh);
}

}  // namespace
}  // namespace barvane
