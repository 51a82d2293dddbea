// barvane-cli's quote commands end to end: exit statuses, the exact messages on standard
// error, and the files a refused or failed command leaves as they were.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/quote_grid.h"
#include "editing/add_quote.h"
#include "support/cli_run.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// ABC trades Monday 06/08/98 to Tuesday 06/16/98 except Friday 06/12.
class QuoteCli : public testing::Test {
 protected:
  void SetUp() override {
    auto quotes = test::WeekdayQuotes(YmdToDay(98, 6, 8), 7);
    quotes.erase(quotes.begin() + 4);
    test::Build(dir_.path(), test::Portfolio(test::Symbol(1, "ABC", test::Fields28(), quotes)));
    before_ = test::Snapshot(dir_.path());
  }
  CliRun Run(std::vector<std::string> words) {
    words.insert(words.begin() + 1, {dir_.path(), "ABC"});
    return Cli(words);
  }
  TempDir dir_;
  std::map<std::string, Bytes> before_;
};

TEST_F(QuoteCli, RefusalsAndFailuresTellWhyWithStatusOneAndTouchNothing) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"split", "06/16/98", "0", "1"}, "Invalid Data Entered\n"},
      {{"split", "06/05/98", "2", "1"}, "Invalid Data Entered\n"},
      {{"adjust", "06/08/98", "06/16/98", "1", "1", "abc"}, "Invalid Data Entered\n"},
      {{"edit", "06/16/98", "N/A", "1", "1", "1", "1", "1"}, "Invalid Data Entered\n"},
      {{"delete-quote", "06/12/98"}, "failure in delete quote for findrec\nDelete Edit Failed\n"},
      {{"add-quote", "06/11/98"}, "Date 06/10/98 already exists.\n"}};
  for (const auto& [words, err] : cases) {
    const CliRun run = Run(words);
    EXPECT_EQ(run.status, 1) << words[0];
    EXPECT_EQ(run.err, err) << words[0];
    EXPECT_EQ(test::Snapshot(dir_.path()), before_) << words[0];
  }
}

TEST_F(QuoteCli, AddQuoteOnTheGapDayAddsExactlyOneCopy) {
  const auto before = Lines(Cli({"quotes", dir_.path(), "ABC"}).out);
  const CliRun run = Run({"add-quote", "06/15/98"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  auto want = before;
  want.insert(want.begin() + 2, "06/12/98" + before[1].substr(8));
  EXPECT_EQ(Lines(Cli({"quotes", dir_.path(), "ABC"}).out), want);
  // The gap is filled: a second add is refused.
  EXPECT_EQ(Run({"add-quote", "06/15/98"}).err, "Date 06/12/98 already exists.\n");
}

TEST_F(QuoteCli, NewQuoteAddsAMissingDayAndSaysYesToItsQuestionOnStandardError) {
  const auto before = Lines(Cli({"quotes", dir_.path(), "ABC"}).out);
  CliRun run = Run({"new-quote", "06/12/98", "10.8", "11", "10.5", "10.9", "1000", "0"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  auto want = before;
  want.insert(want.begin() + 2, "06/12/98\t10.8000\t11.0000\t10.5000\t10.9000\t1000\t0");
  EXPECT_EQ(Lines(Cli({"quotes", dir_.path(), "ABC"}).out), want);

  run = Run({"new-quote", "06/12/98", "1", "1", "1", "1", "1", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Date 06/12/98 already exists.\n");

  // Negative prices as typed; the window would ask about them, the command line stores them.
  run = Run({"new-quote", "06/17/98", "-5", "-6", "-7", "-4", "1", "2"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "The open -5.0000 lies above the high -6.0000.\n"
            "The close -4.0000 lies above the high -6.0000.\n\nStore it all the same?\n");
  want.insert(want.begin(), "06/17/98\t-5.0000\t-6.0000\t-7.0000\t-4.0000\t1\t2");
  EXPECT_EQ(Lines(Cli({"quotes", dir_.path(), "ABC"}).out), want);
  const std::string history = Cli({"history", dir_.path()}).out;
  EXPECT_NE(history.find("new-quote " + dir_.path() + " ABC 06/17/98 -5 -6 -7 -4 1 2"), std::string::npos) << history;

  run = Run({"edit", "06/17/98", "-5", "-3.5", "-7", "-4", "1", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(Cli({"quotes", dir_.path(), "ABC"}).out)[0], "06/17/98\t-5.0000\t-3.5000\t-7.0000\t-4.0000\t1\t2");
}

TEST(QuoteCliSingle, EditGivenTheGridsTextForAValueKeepsItsStoredBytes) {
  TempDir dir;
  auto quotes = test::WeekdayQuotes(YmdToDay(98, 6, 15), 2);
  quotes[1].open = 12.3456789f;
  quotes[1].volume = 1000.75f;
  const SymbolDescription symbol = test::Symbol(1, "ABC", test::Fields28(), quotes);
  test::Build(dir.path(), test::Portfolio({symbol}));
  const QuoteValues& q = quotes[1];
  const CliRun run =
      Cli({"edit", dir.path(), "ABC", "06/16/98", PriceText(q.open), PriceText(q.high),
           PriceText(q.low), "11", CountText(q.volume), CountText(q.openInterest)});
  ASSERT_EQ(run.status, 0) << run.err;
  SymbolDescription want = symbol;
  want.quotes[1].close = 11;
  EXPECT_EQ(test::ReadBytes(dir / "F1.DAT"), QuoteFileBytes(want));
}

TEST(QuoteCliSingle, AddToASeriesOfOneQuoteIsRefused) {
  TempDir dir;
  test::Build(dir.path(), test::Portfolio(test::Symbol(1, "ONE", test::Fields8(),
                                                       test::WeekdayQuotes(YmdToDay(98, 6, 15), 1))));
  const auto before = test::Snapshot(dir.path());
  const CliRun run = Cli({"add-quote", dir.path(), "ONE", "06/15/98"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, std::string(kAddToSingleQuoteText) + "\n");
  EXPECT_EQ(test::Snapshot(dir.path()), before);
}

// A series from 1928 to 2024: a two-digit year in the DATE that picks a row is refused as every
// command refuses it; the four-digit one adds the missing Tuesday of 1928.
TEST(QuoteCliFourDigitYears, AddQuoteAndEditRefuseTwoDigitYears) {
  TempDir dir;
  std::vector<QuoteValues> quotes = test::WeekdayQuotes(YmdToDay(1928, 10, 1), 8);
  quotes.erase(quotes.begin() + 6);  // Tuesday 10/09/1928
  for (const QuoteValues& q : test::WeekdayQuotes(YmdToDay(2024, 11, 4), 2)) quotes.push_back(q);
  test::Build(dir.path(), test::Portfolio(test::Symbol(1, "OLD", test::Fields28(), quotes)));
  const auto before = test::Snapshot(dir.path());
  const std::string refusal = "Type the year in full, as 10/10/1928 or 10/10/2028: this series shows four-digit years.\n";
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"add-quote", dir.path(), "OLD", "10/10/28"},
        std::vector<std::string>{"edit", dir.path(), "OLD", "10/10/28", "1", "1", "1", "1", "1", "1"}}) {
    const CliRun run = Cli(words);
    EXPECT_EQ(run.status, 1) << words[0];
    EXPECT_EQ(run.err, refusal) << words[0];
  }
  EXPECT_EQ(test::Snapshot(dir.path()), before);
  const CliRun run = Cli({"add-quote", dir.path(), "OLD", "10/10/1928"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(Cli({"quotes", dir.path(), "OLD"}).out)[3].substr(0, 11), "10/09/1928\t");
}

TEST_F(QuoteCli, DateWordsTakeFourDigitYearsAndIsoDates) {
  EXPECT_EQ(Run({"split", "06/15/1998", "2", "1"}).status, 0);
  EXPECT_EQ(Run({"adjust", "1998-06-08", "06/09/1998", "2", "1", "1"}).status, 0);
  const CliRun run = Run({"delete-quote", "1998-06-16"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(Run({"quotes"}).out).size(), 5u);
}

// Three bars a day: the time after a blank or "T" names one of them; a date alone names none.
TEST(QuoteCliIntraday, ABarIsNamedByItsDateAndTime) {
  TempDir dir;
  std::vector<QuoteValues> bars;
  for (DayNumber day : {YmdToDay(98, 6, 15), YmdToDay(98, 6, 16)}) {
    for (int m : {5, 10, 15}) bars.push_back({day, HmsToSeconds(9, m, 0), 4, 5, 3, 4, 100, 0});
  }
  auto symbol = test::Symbol(1, "BARS", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), bars);
  symbol.periodicity = 'I';
  test::Build(dir.path(), test::Portfolio(symbol));
  const auto before = test::Snapshot(dir.path());
  const std::string several = "06/16/98 holds 3 quotes: give the time as well, e.g. 06/16/98 09:05:00\n";
  const CliRun edit = Cli({"edit", dir.path(), "BARS", "06/16/98", "1", "5", "1", "2", "7", "0"});
  EXPECT_EQ(edit.status, 1);
  EXPECT_EQ(edit.err, several + "Single Date Edit Failed\n");
  const CliRun erase = Cli({"delete-quote", dir.path(), "BARS", "06/16/98"});
  EXPECT_EQ(erase.status, 1);
  EXPECT_EQ(erase.err, several + "Delete Edit Failed\n");
  // Add quote copies a day's bars to the weekday before; the message says which.
  const CliRun add = Cli({"add-quote", dir.path(), "BARS", "06/16/98 09:10"});
  EXPECT_EQ(add.status, 1);
  EXPECT_EQ(add.err, "Date 06/15/98 already exists: Add quote would copy the 3 bars of 06/16/98 from 09:05:00 to "
                     "09:15:00 to it.\n");
  EXPECT_EQ(test::Snapshot(dir.path()), before);

  EXPECT_EQ(Cli({"edit", dir.path(), "BARS", "06/16/98 09:10", "1", "5", "1", "2", "7", "0"}).status, 0);
  EXPECT_EQ(Cli({"delete-quote", dir.path(), "BARS", "1998-06-16T09:15:00"}).status, 0);
  EXPECT_EQ(Lines(Cli({"quotes", dir.path(), "BARS"}).out),
            (std::vector<std::string>{"06/16/98\t09:10:00\t1.0000\t5.0000\t1.0000\t2.0000\t7\tN/A",
                                      "06/16/98\t09:05:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A",
                                      "06/15/98\t09:15:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A",
                                      "06/15/98\t09:10:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A",
                                      "06/15/98\t09:05:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A"}));
}

// Bars one second apart stay apart: shown, addressed, edited, deleted, exported and imported
// each with its own second; a time without seconds is the bar at :00.
TEST(QuoteCliIntraday, EveryBarKeepsItsOwnSecond) {
  TempDir dir;
  const DayNumber day = YmdToDay(98, 6, 16);
  std::vector<QuoteValues> bars;
  for (int s : {0, 1, 7, 59}) bars.push_back({day, HmsToSeconds(9, 30, s), 4, 5, 3, 4, float(100 + s), 0});
  auto symbol = test::Symbol(1, "SECS", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), bars);
  symbol.periodicity = 'I';
  test::Build(dir.path(), test::Portfolio(symbol));
  const auto quotes = [&] { return Lines(Cli({"quotes", dir.path(), "SECS"}).out); };
  EXPECT_EQ(quotes(), (std::vector<std::string>{"06/16/98\t09:30:59\t4.0000\t5.0000\t3.0000\t4.0000\t159\tN/A",
                                                "06/16/98\t09:30:07\t4.0000\t5.0000\t3.0000\t4.0000\t107\tN/A",
                                                "06/16/98\t09:30:01\t4.0000\t5.0000\t3.0000\t4.0000\t101\tN/A",
                                                "06/16/98\t09:30:00\t4.0000\t5.0000\t3.0000\t4.0000\t100\tN/A"}));

  const auto before = test::Snapshot(dir.path());
  for (const char* missing : {"06/16/98 09:30:06", "06/16/98 09:30:02", "06/16/98 09:31"}) {
    EXPECT_EQ(Cli({"edit", dir.path(), "SECS", missing, "1", "5", "1", "2", "7", "0"}).status, 1) << missing;
    EXPECT_EQ(Cli({"delete-quote", dir.path(), "SECS", missing}).status, 1) << missing;
  }
  EXPECT_EQ(test::Snapshot(dir.path()), before);

  EXPECT_EQ(Cli({"edit", dir.path(), "SECS", "06/16/98 09:30", "1", "5", "1", "2", "7", "0"}).status, 0);
  EXPECT_EQ(Cli({"edit", dir.path(), "SECS", "06/16/98 09:30:07", "2", "5", "1", "2", "8", "0"}).status, 0);
  EXPECT_EQ(Cli({"delete-quote", dir.path(), "SECS", "1998-06-16T09:30:01"}).status, 0);
  const std::vector<std::string> after = {"06/16/98\t09:30:59\t4.0000\t5.0000\t3.0000\t4.0000\t159\tN/A",
                                          "06/16/98\t09:30:07\t2.0000\t5.0000\t1.0000\t2.0000\t8\tN/A",
                                          "06/16/98\t09:30:00\t1.0000\t5.0000\t1.0000\t2.0000\t7\tN/A"};
  EXPECT_EQ(quotes(), after);

  const std::string text = dir.path() + "/secs.txt";
  ASSERT_EQ(Cli({"export", dir.path(), "SECS", text, "--omit", "oi"}).status, 0);
  const Bytes exported = test::ReadBytes(text);
  EXPECT_EQ(std::string(exported.begin(), exported.end()),
            "06/16/98 09:30:00 1.0000 5.0000 1.0000 2.0000 7.00\r\n"
            "06/16/98 09:30:07 2.0000 5.0000 1.0000 2.0000 8.00\r\n"
            "06/16/98 09:30:59 4.0000 5.0000 3.0000 4.0000 159.00\r\n");
  const std::string fresh = dir.path() + "/fresh";
  ASSERT_EQ(Cli({"import", fresh, "SECS", text}).status, 0);
  EXPECT_EQ(Lines(Cli({"quotes", fresh, "SECS"}).out), after);
  // The same quantities in the same places: the quote records come back byte for byte.
  const Bytes old = test::ReadBytes(dir.path() + "/F1.DAT"), now = test::ReadBytes(fresh + "/F1.DAT");
  ASSERT_EQ(old.size(), now.size());
  EXPECT_TRUE(std::equal(old.begin() + 28, old.end(), now.begin() + 28));
}

// Each value shows, exports and imports back as the very float the file held, byte for byte.
TEST(QuoteCliNumbers, EveryFloatSurvivesShowExportAndImport) {
  struct Case {
    float value;
    const char* price;
    const char* count;
    const char* exported;  // as a volume
  };
  const Case cases[] = {{1.09405f, "1.09405", "1.09405", "1.09405"},
                        {0.00004f, "0.00004", "0.00004", "0.00004"},
                        {4669.1f, "4669.1000", "4669.1", "4669.10"},
                        {8020000000.0f, "8020000000.0000", "8020000000", "8020000000.00"},
                        {123456790.0f, "123456790.0000", "123456790", "123456790.00"},
                        {-37.63f, "-37.6300", "-37.63", "-37.63"},
                        {1e-7f, "0.0000001", "0.0000001", "0.0000001"}};
  TempDir dir;
  std::vector<QuoteValues> quotes;
  std::vector<std::string> shown, exported;
  DayNumber day = YmdToDay(98, 6, 8);
  for (const Case& c : cases) {
    const float v = c.value;
    quotes.push_back({day, 0, v, v, v, v, v, v});
    const std::string p = c.price, n = c.count;
    shown.insert(shown.begin(), ScreenDate(day) + "\t" + p + "\t" + p + "\t" + p + "\t" + p + "\t" + n + "\t" + n);
    exported.push_back(ScreenDate(day) + " " + p + " " + p + " " + p + " " + p + " " + c.exported + " " + c.exported + "\r");
    ++day;
  }
  test::Build(dir.path(), test::Portfolio(test::Symbol(1, "NUMS", test::Fields28(), quotes)));
  EXPECT_EQ(Lines(Cli({"quotes", dir.path(), "NUMS"}).out), shown);
  const std::string text = dir.path() + "/nums.txt";
  ASSERT_EQ(Cli({"export", dir.path(), "NUMS", text}).status, 0);
  const Bytes written = test::ReadBytes(text);
  EXPECT_EQ(Lines(std::string(written.begin(), written.end())), exported);
  const std::string fresh = dir.path() + "/fresh";
  const CliRun import = Cli({"import", fresh, "NUMS", text});
  ASSERT_EQ(import.status, 0) << import.err;
  const Bytes old = test::ReadBytes(dir.path() + "/F1.DAT"), now = test::ReadBytes(fresh + "/F1.DAT");
  ASSERT_EQ(old.size(), now.size());
  EXPECT_TRUE(std::equal(old.begin() + 28, old.end(), now.begin() + 28));
}

}  // namespace
}  // namespace barvane
