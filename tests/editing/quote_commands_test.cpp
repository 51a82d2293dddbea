// The five quote commands on small portfolios: the bytes each leaves on disk, the settings a
// success records, and the refusals and failures that leave every file as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/settings_store.h"
#include "app/view_state.h"
#include "data/mbf.h"
#include "data/rewrite.h"
#include "editing/add_quote.h"
#include "editing/adjust.h"
#include "editing/delete_quote.h"
#include "editing/edit_quote.h"
#include "editing/field_check.h"
#include "editing/new_quote.h"
#include "editing/quote_sanity.h"
#include "editing/split.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/settings_place.h"

namespace barvane {
namespace {

using test::Snapshot;
using test::WeekdayQuotes;

const DayNumber kMonday = YmdToDay(98, 6, 15);

void Scale(QuoteValues* q, float prices, float counts) {
  for (float* p : {&q->open, &q->high, &q->low, &q->close}) *p *= prices;
  q->volume *= counts;
  q->openInterest *= counts;
}

// Symbol "ABC" (file 1) beside "OTHER" (file 2), opened as the command line opens a series.
class QuoteCommands : public testing::Test {
 protected:
  void Make(std::vector<FieldDescription> fields, std::vector<QuoteValues> quotes) {
    MakeSymbol(test::Symbol(1, "ABC", std::move(fields), std::move(quotes)));
  }
  void MakeSymbol(SymbolDescription symbol) {
    quotes_ = symbol.quotes;
    portfolio_ = test::Portfolio({test::Symbol(2, "OTHER", test::Fields8(), WeekdayQuotes(kMonday, 2)), symbol});
    portfolio_.filler = 0x5A;
    test::Build(dir_.path(), portfolio_);
    bool created = false;
    ASSERT_TRUE(settings_.OpenRootKey(settingsPlace_.location(), &created));
    ASSERT_TRUE(state_.OpenSeries(dir_.path(), "ABC"));
    before_ = Snapshot(dir_.path());
  }
  // F1.DAT holds `quotes` and F1.BAK its previous bytes; MASTER is rewritten for them only when
  // `masterMoves`; no other file changed.
  void ExpectQuotes(const std::vector<QuoteValues>& quotes, bool masterMoves = false) {
    PortfolioDescription p = portfolio_;
    p.symbols[1].quotes = quotes;
    auto want = before_;
    want["F1.DAT"] = QuoteFileBytes(p.symbols[1]);
    want["F1.BAK"] = before_["F1.DAT"];
    if (masterMoves) {
      want["MASTER"] = MasterFileBytes(p);
      want["MASTER.BAK"] = before_["MASTER"];
    }
    EXPECT_EQ(Snapshot(dir_.path()), want);
    before_ = Snapshot(dir_.path());
  }
  void ExpectNothingWritten() {
    EXPECT_EQ(Snapshot(dir_.path()), before_);
    EXPECT_EQ(Settings(), "");
  }
  std::string Settings() { return settingsPlace_.Contents(); }

  test::TempDir dir_;
  test::SettingsPlace settingsPlace_;
  SettingsStore settings_{FileSystem::Default()};
  test::RecordingUi ui_;
  ViewState state_{FileSystem::Default(), settings_, ui_};
  std::vector<QuoteValues> quotes_;
  PortfolioDescription portfolio_;
  std::map<std::string, Bytes> before_;
};

// A file of DATE, CLOSE and VOL: the fields it lacks show as N/A and are never read or written.
TEST_F(QuoteCommands, NewQuoteRefusesTakenDaysAndBadValuesAndEditWritesOnlyTheFieldsTheFileStores) {
  Make(test::Fields12(), WeekdayQuotes(kMonday, 4));
  EXPECT_EQ(ProposeNewQuote(state_), (NewQuoteTexts{"06/19/98", "N/A", "N/A", "N/A", "", "", "N/A"}));
  const std::pair<NewQuoteTexts, std::string> cases[] = {
      {{"06/17/98", "", "", "", "10", "1", ""}, "Date 06/17/98 already exists."},
      {{"06/15/98", "", "", "", "10", "1", ""}, "Date 06/15/98 already exists."},
      {{"13/01/98", "", "", "", "10", "1", ""}, kInvalidDataText},
      {{"02/29/98", "", "", "", "10", "1", ""}, kInvalidDataText},
      {{"06/19/98", "", "", "", "", "1", ""}, kInvalidDataText},
      {{"06/19/98", "", "", "", "10", "-", ""}, kInvalidDataText},
      {{"06/19/98", "", "", "", "12345678901", "1", ""}, TooLongText(10)},
      {{"06/19/98", "x", "", "", "1234567890", "1", "y"}, ""},
  };
  for (const auto& [texts, refusal] : cases) EXPECT_EQ(RefuseNewQuote(state_, texts), refusal) << texts[0];
  ExpectNothingWritten();

  const EditQuoteTexts shown = EditQuoteFields(state_, 1);
  ASSERT_EQ(shown, (EditQuoteTexts{"06/17/98", "N/A", "N/A", "N/A", "10.5000", "1002", "N/A"}));
  EditQuoteTexts texts = shown;
  texts[4] = "12.5";
  texts[5] = "3000";
  texts[6] = "77";  // open interest is not stored: never written
  EXPECT_EQ(RefuseEditQuote(state_, texts, shown), "");
  state_.m_selQuoteRow = 2;
  ASSERT_TRUE(ApplyEditQuote(state_, texts, shown));
  quotes_[2].close = 12.5f;
  quotes_[2].volume = 3000;
  ExpectQuotes(quotes_);
  EXPECT_EQ(Settings(),
            "[Edit]\nClose=12.5\nDate=06/17/98\nHi=N/A\nLo=N/A\nOI=77\nOpen=N/A\nVol=3000\n");
  EXPECT_EQ(state_.m_selQuoteRow, 2);  // the edited quote stays current
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.done, (std::vector<std::string>{"Close and Volume set for ABC on 06/17/98"}));
}

TEST_F(QuoteCommands, EditKeepsTheStoredBytesOfEveryValueWhoseTextIsUnchanged) {
  // More digits than the grid's four decimals, and two quotes of one day with their own values.
  std::vector<QuoteValues> quotes = WeekdayQuotes(kMonday, 4);
  for (std::size_t i = 0; i < quotes.size(); ++i) {
    quotes[i].open = 1.23456789f + static_cast<float>(i);
    quotes[i].high = 2.00004999f + static_cast<float>(i);
    quotes[i].volume = 1234.56f;
  }
  quotes[2].day = quotes[1].day;
  quotes[2].open = 7.77777f;
  Make(test::Fields28(), quotes);
  const int row = state_.QuoteRowOf("06/16/98");
  ASSERT_EQ(row, 1);
  const EditQuoteTexts shown = EditQuoteFields(state_, row);
  ASSERT_EQ(shown[1], "7.77777");
  EditQuoteTexts texts = shown;
  texts[4] = "9.5";
  texts[2] = "2.0000";  // retyped as a different text: written, rounded as typed
  EXPECT_EQ(RefuseEditQuote(state_, texts, shown), "");
  ASSERT_TRUE(ApplyEditQuote(state_, texts, shown));
  for (std::size_t i : {std::size_t{1}, std::size_t{2}}) {
    quotes[i].close = 9.5f;
    quotes[i].high = 2.0f;
  }
  ExpectQuotes(quotes);
  EXPECT_EQ(ui_.done, (std::vector<std::string>{"High and Close set for ABC on 06/16/98"}));

  // Nothing changed: the file is rewritten with every byte as it was.
  ASSERT_TRUE(ApplyEditQuote(state_, EditQuoteFields(state_, 0), EditQuoteFields(state_, 0)));
  ExpectQuotes(quotes);
  EXPECT_EQ(ui_.done.back(), "No value changed for ABC on 06/18/98");
}

TEST_F(QuoteCommands, EditSplitAndAdjustRefuseBadValuesAndEditAndNewQuoteAskAboutOddBars) {
  Make(test::Fields28(), WeekdayQuotes(kMonday, 3));
  const EditQuoteTexts texts = EditQuoteFields(state_, 0);
  auto refusal = [&](std::size_t field, const std::string& text, const std::string& shownText) {
    EditQuoteTexts t = texts, shown = texts;
    t[field] = text;
    shown[field] = shownText;
    return RefuseEditQuote(state_, t, shown);
  };
  EXPECT_EQ(refusal(1, "N/A", texts[1]), kInvalidDataText);
  EXPECT_EQ(refusal(6, ".", texts[6]), kInvalidDataText);
  EXPECT_EQ(refusal(5, "12345678901", texts[5]), TooLongText(10));
  EXPECT_EQ(refusal(5, "1234567890", texts[5]), "");
  // Unchanged texts are not read: a stored negative value ("N/A") or a wide volume stays as is.
  EXPECT_EQ(refusal(1, "N/A", "N/A"), "");
  EXPECT_EQ(refusal(5, "12345678901", "12345678901"), "");
  // A letters-only open interest multiplier, a day after the last, an overlong multiplier.
  EXPECT_EQ(RefuseAdjust(state_, {"06/15/98", "06/17/98", "1", "1", "abc"}), kInvalidDataText);
  EXPECT_EQ(RefuseAdjust(state_, {"06/15/98", "06/18/98", "1", "1", "1"}), kInvalidDataText);
  EXPECT_EQ(RefuseAdjust(state_, {"06/15/98", "06/17/98", "123456789", "1", "1"}), TooLongText(8));
  for (SplitTexts t : std::initializer_list<SplitTexts>{
           {"06/16/98", "0", "1"}, {"06/16/98", "1", "."}, {"06/16/98", "", "1"},
           {"06/12/98", "2", "1"}, {"06/18/98", "2", "1"}, {"6/16/98", "2", "1"}}) {
    EXPECT_EQ(RefuseSplit(state_, t), kInvalidDataText) << t.date << " " << t.newShares << ":" << t.oldShares;
  }
  EXPECT_EQ(RefuseSplit(state_, {"06/16/98", "123456", "1"}), TooLongText(5));
  EXPECT_EQ(RefuseSplit(state_, {"06/17/98", "0.5", "1"}), "");
  // Within 1961 to 2060 a two-digit year names one day, as it always did.
  EXPECT_EQ(RefuseSplit(state_, {"06/16/98", "2", "1"}), "");
  EXPECT_EQ(RefuseSplit(state_, {"06/16/1998", "2", "1"}), "");
  EXPECT_EQ(RefuseNewQuote(state_, {"06/18/98", "1", "1", "1", "1", "1", "1"}), "");
  // Edit and New quote ask about the bar they would store (closes 10, 10.25, 10.5).
  const EditQuoteTexts shown = EditQuoteFields(state_, 1);
  EditQuoteTexts typed = shown;
  typed[4] = "1025";  // a lost point, above the stored high too
  EXPECT_EQ(EditQuoteQuestion(state_, typed, shown),
            "The close 1025.0000 lies above the high 10.7500.\n"
            "The close is more than ten times the neighbouring closes.\n\nStore it all the same?");
  EXPECT_EQ(EditQuoteQuestion(state_, shown, shown), "");
  EXPECT_EQ(NewQuoteQuestion(state_, {"06/12/98", "0.5", "0.5", "0.5", "0.5", "0", "0"}),
            "The open, high, low and close are less than a tenth of the neighbouring closes.\n\n"
            "Store it all the same?");
  ExpectNothingWritten();
}

TEST(EditNavigation, ButtonsAndStepsStopAtBothEnds) {
  auto buttons = [](EditNavigation n) { return std::array{n.previous, n.next, n.first, n.last}; };
  EXPECT_EQ(buttons(NavigationOf(0, 1)), (std::array{false, false, false, false}));
  EXPECT_EQ(buttons(NavigationOf(0, 5)), (std::array{true, false, true, false}));
  EXPECT_EQ(buttons(NavigationOf(4, 5)), (std::array{false, true, false, true}));
  EXPECT_EQ(buttons(NavigationOf(2, 5)), (std::array{true, true, true, true}));
  EXPECT_EQ(Navigate(Navigate(2, 5, EditStep::kFirst), 5, EditStep::kPrevious), 4);
  EXPECT_EQ(Navigate(Navigate(2, 5, EditStep::kLast), 5, EditStep::kNext), 0);
  EXPECT_EQ(Navigate(2, 5, EditStep::kNext), 1);
  EXPECT_EQ(Navigate(2, 5, EditStep::kPrevious), 3);
}

TEST_F(QuoteCommands, SplitScalesPricesByOldOverNewBeforeTheSplitDateAndEachCommandReports) {
  Make(test::Fields28(), WeekdayQuotes(kMonday, 5));
  EXPECT_EQ(ProposeSplit(state_).date, "06/19/98");
  ASSERT_TRUE(ApplySplit(state_, {"06/18/98", "2", "1"}));
  for (int i = 0; i < 3; ++i) Scale(&quotes_[i], 0.5f, 2.0f);
  ExpectQuotes(quotes_);
  ASSERT_TRUE(ApplySplit(state_, {"06/17/98", "3", "2"}));
  for (int i = 0; i < 2; ++i) Scale(&quotes_[i], 2.0f / 3.0f, 1.5f);
  ExpectQuotes(quotes_);
  EXPECT_EQ(Settings(), "[Split]\nDate=06/17/98\nNew=3\nOld=2\n");
  // On the first date no quote lies before it: the file is rewritten as it was.
  ASSERT_TRUE(ApplySplit(state_, {"06/15/98", "2", "1"}));
  ExpectQuotes(quotes_);

  // Each success reports what changed and a failure reports nothing.
  ui_.done.clear();
  ASSERT_TRUE(ApplySplit(state_, {"06/18/98", "1", "4"}));
  ASSERT_TRUE(ApplyAdjust(state_, {"06/15/98", "06/16/98", "0.01", "100", "1"}));
  ASSERT_TRUE(ApplyDeleteQuote(state_, "06/17/98"));
  state_.m_selQuoteRow = 1;  // Thursday 06/18, after the deleted Wednesday
  ASSERT_TRUE(ApplyAddQuote(state_, "06/17/98"));
  EXPECT_FALSE(ApplyDeleteQuote(state_, "06/13/98"));
  EXPECT_EQ(
      ui_.done,
      (std::vector<std::string>{
          "Split 1 for 4 applied to ABC before 06/18/98",
          "Prices x0.01, volume x100 and open interest x1 applied to ABC from 06/15/98 to 06/16/98",
          "Quote of 06/17/98 deleted from ABC", "Quote of 06/17/98 added to ABC"}));
}

TEST_F(QuoteCommands, AdjustScalesTheRangeAndSkipsFieldsTheFileLacks) {
  Make(test::Fields24(), WeekdayQuotes(kMonday, 5));
  AdjustTexts t = ProposeAdjust(state_);
  EXPECT_EQ(t.from + " " + t.to, "06/15/98 06/19/98");
  t = {"06/17/98", "06/16/98", "2", "2", "2"};  // From after To: nothing in range
  EXPECT_EQ(RefuseAdjust(state_, t), "");
  ASSERT_TRUE(ApplyAdjust(state_, t));
  ExpectQuotes(quotes_);
  t = {"06/16/98", "06/17/98", "0.5", "2", "3"};
  ASSERT_TRUE(ApplyAdjust(state_, t));
  for (int i : {1, 2}) Scale(&quotes_[i], 0.5f, 2.0f);
  ExpectQuotes(quotes_);
  EXPECT_EQ(Settings(), "[Adjust]\nDate1=06/16/98\nDate2=06/17/98\nOIMult=3\nPriceMult=0.5\nVolMult=2\n");
}

TEST_F(QuoteCommands, DeleteOfADayWithoutAQuoteTouchesNothingAndOfTheNewestMovesTheMasterLastDate) {
  Make(test::Fields28(), WeekdayQuotes(kMonday, 14));  // up to Thursday 07/02/98
  for (const char* day : {"06/20/98", "06/31/98", "13/01/98"}) {
    ui_.messages.clear();
    EXPECT_FALSE(ApplyDeleteQuote(state_, day)) << day;
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{kFindrecFailureText, kDeleteFailedText})) << day;
  }
  ExpectNothingWritten();
  const std::string date = ProposeDeleteDate(state_);
  EXPECT_EQ(DeleteConfirmationText(date), "You are about to delete the data for date\n07/02/98\nAre you sure?");
  ASSERT_TRUE(ApplyDeleteQuote(state_, date));
  quotes_.pop_back();
  ExpectQuotes(quotes_, true);
  EXPECT_EQ(state_.m_lastDateText, "07/01/98");
  EXPECT_EQ(state_.m_quoteCount, 13);
  EXPECT_EQ(Settings(), "[Delete]\nDate=07/02/98\n");
}

TEST_F(QuoteCommands, AddFillsTheFridayBeforeMondayWithACopyOfMonday) {
  auto quotes = WeekdayQuotes(YmdToDay(98, 6, 8), 7);
  quotes.erase(quotes.begin() + 4);  // no Friday 06/12
  Make(test::Fields28(), quotes);
  state_.m_selQuoteRow = 1;  // Monday 06/15
  ASSERT_EQ(ProposeAddDate(state_), "06/12/98");
  EXPECT_EQ(RefuseAddQuote(state_, "06/12/98"), "");
  EXPECT_EQ(AddQuoteExplanation(state_), kAddExplanationText);
  ASSERT_TRUE(ApplyAddQuote(state_, "06/12/98"));
  QuoteValues friday = quotes_[4];
  friday.day = kMonday - 3;
  quotes_.insert(quotes_.begin() + 4, friday);
  ExpectQuotes(quotes_);
  EXPECT_EQ(state_.m_selQuoteRow, 2);
  EXPECT_EQ(state_.QuoteDateText(2), "06/12/98");
  EXPECT_EQ(Settings(), "[Add]\nDate=06/12/98\n");

  // Rows: 06/16 06/15 06/12 06/11 06/10 06/09 06/08. No gap is left to fill.
  for (const auto& [row, date] : {std::pair{1, "06/12/98"}, {3, "06/10/98"}, {5, "06/09/98"}, {6, "06/09/98"}}) {
    state_.m_selQuoteRow = row;
    EXPECT_EQ(ProposeAddDate(state_), date) << row;
    EXPECT_EQ(RefuseAddQuote(state_, date), std::string("Date ") + date + " already exists.") << row;
  }
}

TEST_F(QuoteCommands, AddToASeriesOfOneQuoteProposesNothing) {
  Make(test::Fields8(), WeekdayQuotes(kMonday, 1));
  state_.m_selQuoteRow = 0;
  EXPECT_EQ(ProposeAddDate(state_), std::nullopt);
}

// Before a Saturday the add fills the Friday; before a Sunday that follows a Saturday it would
// break the date order.
TEST_F(QuoteCommands, AddToAWeekendSeriesKeepsTheDateOrder) {
  std::vector<QuoteValues> quotes = WeekdayQuotes(kMonday, 4);
  for (int i = 0; i < 3; ++i) quotes[i].day = YmdToDay(98, 6, 6) + 7 * i;  // Saturdays
  quotes[3].day = YmdToDay(98, 6, 21);  // a Sunday
  Make(test::Fields12(), quotes);
  state_.m_selQuoteRow = 0;  // Sunday 06/21, after Saturday 06/20
  ASSERT_EQ(ProposeAddDate(state_), "06/19/98");
  EXPECT_EQ(RefuseAddQuote(state_, "06/19/98"),
            "A quote for 06/19/98 cannot be added here without breaking the date order.");
  ExpectNothingWritten();
  state_.m_selQuoteRow = 1;  // Saturday 06/20
  ASSERT_EQ(ProposeAddDate(state_), "06/19/98");
  ASSERT_EQ(RefuseAddQuote(state_, "06/19/98"), "");
  ASSERT_TRUE(ApplyAddQuote(state_, "06/19/98"));
  QuoteValues friday = quotes_[2];
  friday.day -= 1;
  quotes_.insert(quotes_.begin() + 2, friday);
  ExpectQuotes(quotes_);
}

TEST_F(QuoteCommands, NewQuoteWritesTheTypedDayInItsPlaceMinusSignsKept) {
  Make(test::Fields28(), WeekdayQuotes(kMonday, 5));  // Monday 06/15 to Friday 06/19
  EXPECT_EQ(ProposeNewQuote(state_), (NewQuoteTexts{"06/22/98", "", "", "", "", "", ""}));
  const NewQuoteTexts texts = {"06/22/98", "-1.5", "-1.2", "-2", "-1.25", "100", "5"};
  EXPECT_EQ(RefuseNewQuote(state_, texts), "");
  EXPECT_EQ(NewQuoteQuestion(state_, texts), "");
  ASSERT_TRUE(ApplyNewQuote(state_, texts));
  quotes_.push_back({kMonday + 7, 0, -1.5f, -1.2f, -2, -1.25f, 100, 5});
  ExpectQuotes(quotes_, true);
  EXPECT_EQ(state_.m_selQuoteRow, 0);
  EXPECT_EQ(EditQuoteFields(state_, 0), (EditQuoteTexts{"06/22/98", "-1.5000", "-1.2000", "-2.0000", "-1.2500", "100", "5"}));
  EXPECT_EQ(ui_.done, (std::vector<std::string>{"Quote of 06/22/98 added to ABC"}));

  // A Saturday between two weekdays: in its place, the index dates as they were, made current.
  ASSERT_TRUE(ApplyNewQuote(state_, {"06/20/98", "11", "11", "11", "11", "0", "0"}));
  quotes_.insert(quotes_.begin() + 5, {kMonday + 5, 0, 11, 11, 11, 11, 0, 0});
  ExpectQuotes(quotes_);
  EXPECT_EQ(state_.QuoteDateText(state_.m_selQuoteRow), "06/20/98");
}

TEST(QuoteSanity, AsksAboutContradictionsAndFarValuesOnlyForTypedPrices) {
  const float na = std::nanf("");
  const std::string ask = std::string("\n\n") + kStoreAnywayText;
  struct Case {
    std::array<float, 4> price;
    std::array<bool, 4> typed;
    std::vector<float> closes;
    std::string question;
  };
  const Case cases[] = {
      {{10, 11, 9, 10.5f}, {true, true, true, true}, {10}, ""},
      {{10, 11, 9, 12}, {false, false, false, true}, {10}, "The close 12.0000 lies above the high 11.0000." + ask},
      {{8, 11, 9, 10}, {true, false, false, false}, {10}, "The open 8.0000 lies below the low 9.0000." + ask},
      {{10, 9, 11, 10}, {false, true, false, false}, {10}, "The high 9.0000 lies below the low 11.0000." + ask},
      {{10, 11, 9, 12}, {false, false, false, false}, {10}, ""},  // nothing typed: nothing asked
      {{na, 11, 9, 12}, {false, true, true, true}, {}, "The close 12.0000 lies above the high 11.0000." + ask},
      {{na, na, na, 12}, {false, false, false, true}, {}, ""},  // no high or low to compare with
      // Ten times and a tenth are still likely; beyond either against every neighbour asks.
      {{100, 100, 100, 100}, {true, true, true, true}, {10, 20}, ""},
      {{1, 1, 1, 1}, {true, true, true, true}, {10}, ""},
      {{101, 101, 101, 101}, {true, true, true, true}, {10, 10.05f},
       "The open, high, low and close are more than ten times the neighbouring closes." + ask},
      {{0.99f, 1, 0.5f, 1}, {true, false, false, false}, {10, 12},
       "The open is less than a tenth of the neighbouring closes." + ask},
      {{101, 101, 101, 101}, {true, true, true, true}, {10, 50}, ""},  // near one neighbour
      {{101, 101, 101, 101}, {true, true, true, true}, {na, 0}, ""},   // no neighbour to judge by
      {{-5, -4, -6, -5}, {true, true, true, true}, {-5.25f}, ""},      // back-adjusted prices
      {{-70, -4, -60, -5}, {true, false, false, false}, {-50},
       "The open -70.0000 lies below the low -60.0000." + ask},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SanityQuestion({c.price, c.typed}, c.closes), c.question) << c.price[0] << " " << c.price[3];
  }
}

TEST_F(QuoteCommands, AFailedRewriteShowsTheCommandsTextAndRecordsNothing) {
  Make(test::Fields28(), WeekdayQuotes(kMonday, 5));
  std::filesystem::remove(dir_ / "F1.DAT");
  before_ = Snapshot(dir_.path());
  state_.m_selQuoteRow = 0;
  EXPECT_FALSE(ApplyEditQuote(state_, EditQuoteFields(state_, 0), EditQuoteFields(state_, 0)));
  EXPECT_FALSE(ApplySplit(state_, {"06/17/98", "2", "1"}));
  EXPECT_FALSE(ApplyAdjust(state_, ProposeAdjust(state_)));
  EXPECT_FALSE(ApplyAddQuote(state_, "06/18/98"));
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{kEditQuoteFailedText, kSplitFailedText, kAdjustFailedText,
                                                    kAddFailedText, kQuoteGridErrorText}));
  ExpectNothingWritten();
}

// Quotes of 1928 beside quotes of 2026 show four-digit years, and a typed two-digit year could
// be 1929 or 2029: every command refuses it with the same words and writes nothing. Every command
// reaches the old days by their four-digit dates and writes their true date values.
TEST_F(QuoteCommands, EveryCommandWorksOnDaysBefore1961AndRefusesTwoDigitYearsThere) {
  std::vector<QuoteValues> quotes = WeekdayQuotes(YmdToDay(1928, 10, 1), 6);  // Mon 10/01 .. Mon 10/08
  for (const QuoteValues& q : WeekdayQuotes(YmdToDay(2026, 11, 2), 2)) quotes.push_back(q);
  Make(test::Fields28(), quotes);
  ASSERT_EQ(ProposeNewQuote(state_)[0], "11/04/2026");
  const std::string refusal = "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years.";
  EXPECT_EQ(RefuseNewQuote(state_, {"11/10/29", "1", "1", "1", "1", "1", "1"}), refusal);
  EXPECT_EQ(RefuseSplit(state_, {"11/10/29", "2", "1"}), refusal);
  EXPECT_EQ(RefuseAdjust(state_, {"10/01/1928", "11/10/29", "2", "1", "1"}), refusal);
  EXPECT_EQ(RefuseAdjust(state_, {"11/10/29", "11/03/2026", "2", "1", "1"}), refusal);
  EditQuoteTexts shown = EditQuoteFields(state_, 0), texts = shown;
  texts[0] = "11/10/29";
  texts[4] = "5";
  EXPECT_FALSE(ApplyEditQuote(state_, texts, shown));
  EXPECT_FALSE(ApplyDeleteQuote(state_, "11/10/29"));
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{refusal, kEditQuoteFailedText, refusal, kDeleteFailedText}));
  ExpectNothingWritten();
  ui_.messages.clear();

  ASSERT_EQ(state_.m_firstDateText, "10/01/1928");
  ASSERT_EQ(state_.QuoteDateText(7), "10/01/1928");
  state_.m_selQuoteRow = 5;
  EXPECT_EQ(ProposeSplit(state_).date, "10/03/1928");

  shown = EditQuoteFields(state_, 6), texts = shown;
  ASSERT_EQ(shown[0], "10/02/1928");
  texts[4] = "99";
  ASSERT_TRUE(ApplyEditQuote(state_, texts, shown));
  quotes_[1].close = 99;
  ExpectQuotes(quotes_);

  ASSERT_TRUE(ApplySplit(state_, {"10/03/1928", "2", "1"}));
  for (int i : {0, 1}) Scale(&quotes_[i], 0.5f, 2.0f);
  ExpectQuotes(quotes_);
  ASSERT_TRUE(ApplyAdjust(state_, {"1928-10-04", "10/05/1928", "10", "1", "1"}));
  for (int i : {3, 4}) Scale(&quotes_[i], 10.0f, 1.0f);
  ExpectQuotes(quotes_);

  ASSERT_TRUE(ApplyDeleteQuote(state_, "10/01/1928"));  // the first quote: MASTER's first date moves
  quotes_.erase(quotes_.begin());
  ExpectQuotes(quotes_, true);
  EXPECT_EQ(state_.m_firstDateText, "10/02/1928");
  ASSERT_TRUE(ApplyDeleteQuote(state_, "10/04/1928"));
  quotes_.erase(quotes_.begin() + 2);
  ExpectQuotes(quotes_);

  state_.m_selQuoteRow = state_.QuoteRowOf("10/05/1928");
  ASSERT_EQ(ProposeAddDate(state_), "10/04/1928");
  ASSERT_EQ(RefuseAddQuote(state_, "10/04/1928"), "");
  ASSERT_TRUE(ApplyAddQuote(state_, "10/04/1928"));
  QuoteValues thursday = quotes_[2];
  thursday.day = YmdToDay(1928, 10, 4);
  quotes_.insert(quotes_.begin() + 2, thursday);
  ExpectQuotes(quotes_);
  // The date value other programs read: 281004 for 10/04/1928, in the third quote.
  EXPECT_EQ(test::ReadBytes(dir_ / "F1.DAT").size(), 28u * 8);
  EXPECT_EQ(ReadMbf(test::ReadBytes(dir_ / "F1.DAT").data() + 28 * 3), 281004.0f);

  // With four digits the day lands in 1929, between the quotes of 1928 and 2026.
  const NewQuoteTexts typed = {"11/10/1929", "1", "2", "0.5", "1.5", "10", "0"};
  ASSERT_EQ(RefuseNewQuote(state_, typed), "");
  ASSERT_TRUE(ApplyNewQuote(state_, typed));
  quotes_.insert(quotes_.begin() + 5, {YmdToDay(1929, 11, 10), 0, 1, 2, 0.5f, 1.5f, 10, 0});
  ExpectQuotes(quotes_);
  EXPECT_EQ(ReadMbf(test::ReadBytes(dir_ / "F1.DAT").data() + 28 * 6), 291110.0f);
  EXPECT_EQ(state_.QuoteDateText(state_.m_selQuoteRow), "11/10/1929");
  EXPECT_TRUE(ui_.messages.empty());
}

// Three five-minute bars a day, with and without open interest: a 28-byte record whose layout
// the intraday periodicity implies, and a 32-byte one named by its layout file.
class IntradayCommands : public QuoteCommands, public testing::WithParamInterface<bool> {
 protected:
  void MakeBars(std::vector<DayNumber> days) {
    std::vector<QuoteValues> bars;
    float close = 100;
    for (DayNumber day : days) {
      for (int m : {5, 10, 15}) {
        close += 1;
        bars.push_back({day, HmsToSeconds(9, m, 0), close - 0.5f, close + 1, close - 1, close, 10.0f * close, 7});
      }
    }
    auto fields = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
    if (!GetParam()) fields.pop_back();
    SymbolDescription symbol = test::Symbol(1, "ABC", fields, bars, GetParam());
    symbol.periodicity = 'I';
    MakeSymbol(symbol);
  }
};

// A date alone names none of a day's bars, and is refused with nothing written.
TEST_P(IntradayCommands, EditAndDeleteChangeTheSelectedBarOnly) {
  MakeBars({kMonday, kMonday + 1, kMonday + 2});
  ASSERT_TRUE(state_.m_quotes.style.times);
  const EditQuoteTexts shown = EditQuoteFields(state_, 4);
  ASSERT_EQ(shown[0], "06/16/98 09:10:00");
  EditQuoteTexts texts = shown;
  texts[0] = "06/16/98";
  texts[4] = "1";
  EXPECT_FALSE(ApplyEditQuote(state_, texts, shown));
  EXPECT_FALSE(ApplyDeleteQuote(state_, "06/16/98"));
  EXPECT_FALSE(ApplyDeleteQuote(state_, "06/16/98 09:20"));  // no bar at that time
  const std::string several = "06/16/98 holds 3 quotes: give the time as well, e.g. 06/16/98 09:05:00";
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{several, kEditQuoteFailedText, several, kDeleteFailedText,
                                                    kFindrecFailureText, kDeleteFailedText}));
  ExpectNothingWritten();
  ui_.messages.clear();

  state_.m_selQuoteRow = 4;  // Tuesday 09:10, the middle bar
  texts = shown;
  texts[1] = "1.5";
  ASSERT_TRUE(ApplyEditQuote(state_, texts, shown));
  quotes_[4].open = 1.5f;
  ExpectQuotes(quotes_);
  EXPECT_EQ(state_.m_selQuoteRow, 4);
  EXPECT_EQ(ui_.done.back(), "Open set for ABC on 06/16/98 09:10:00");

  ASSERT_EQ(ProposeDeleteDate(state_), "06/16/98 09:10:00");
  ASSERT_TRUE(ApplyDeleteQuote(state_, ProposeDeleteDate(state_)));
  quotes_.erase(quotes_.begin() + 4);
  ExpectQuotes(quotes_);
  EXPECT_EQ(state_.QuoteDateText(state_.m_selQuoteRow), "06/16/98 09:05:00");  // its older neighbour

  // The forms a command line gives: seconds left out, "T", four-digit years.
  ASSERT_TRUE(ApplyDeleteQuote(state_, "1998-06-17T09:15"));
  quotes_.pop_back();
  ExpectQuotes(quotes_, true);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_P(IntradayCommands, SplitAdjustAndAddCoverWholeDays) {
  MakeBars({kMonday, kMonday + 2, kMonday + 3});  // no Tuesday
  ASSERT_TRUE(ApplySplit(state_, {"06/17/98", "2", "1"}));
  for (int i = 0; i < 3; ++i) Scale(&quotes_[static_cast<std::size_t>(i)], 0.5f, 2.0f);
  ExpectQuotes(quotes_);
  ASSERT_TRUE(ApplyAdjust(state_, {"06/18/98", "06/18/98", "3", "1", "1"}));
  for (int i = 6; i < 9; ++i) Scale(&quotes_[static_cast<std::size_t>(i)], 3.0f, 1.0f);
  ExpectQuotes(quotes_);

  // Add on Wednesday's middle bar: Tuesday gets a copy of each of Wednesday's bars.
  state_.m_selQuoteRow = 4;
  ASSERT_EQ(ProposeAddDate(state_), "06/16/98");
  ASSERT_EQ(RefuseAddQuote(state_, "06/16/98"), "");
  EXPECT_EQ(AddQuoteExplanation(state_), "The new quotes will be copies of the 3 bars of 06/17/98 from 09:05:00 to "
                                         "09:15:00, at the same times. You may then edit them to suit.");
  ASSERT_TRUE(ApplyAddQuote(state_, "06/16/98"));
  std::vector<QuoteValues> tuesday(quotes_.begin() + 3, quotes_.begin() + 6);
  for (QuoteValues& q : tuesday) q.day = kMonday + 1;
  quotes_.insert(quotes_.begin() + 3, tuesday.begin(), tuesday.end());
  ExpectQuotes(quotes_);
  EXPECT_EQ(state_.QuoteDateText(state_.m_selQuoteRow), "06/16/98 09:15:00");
  EXPECT_EQ(ui_.done.back(), "3 quotes of 06/16/98 added to ABC, copies of the bars of 06/17/98");
  // Now Tuesday exists: the refusal says what the add would copy.
  state_.m_selQuoteRow = 4;
  EXPECT_EQ(RefuseAddQuote(state_, "06/16/98"),
            "Date 06/16/98 already exists: Add quote would copy the 3 bars of 06/17/98 from 09:05:00 to 09:15:00 to it.");
}

TEST_P(IntradayCommands, NewQuoteNamesItsBarByDateAndTimeAndPutsItInItsPlace) {
  MakeBars({kMonday, kMonday + 1});
  EXPECT_EQ(ProposeNewQuote(state_)[0], "06/16/98 09:20:00");  // one step of the bars on
  const std::pair<const char*, std::string> refused[] = {
      {"06/16/98", kNewQuoteMomentText},
      {"06/16/98 24:00", kNewQuoteMomentText},
      {"06/16/98 09:10", "Date 06/16/98 09:10:00 already exists."},
      {"1998-06-16T09:10:00", "Date 06/16/98 09:10:00 already exists."},
  };
  for (const auto& [text, want] : refused) {
    EXPECT_EQ(RefuseNewQuoteMoment(state_, text), want) << text;
    EXPECT_EQ(RefuseNewQuote(state_, {text, "1", "1", "1", "1", "1", "1"}), want) << text;
  }
  // A second away from a bar is a bar of its own.
  const NewQuoteTexts texts = {"06/16/98 09:10:01", "1", "2", "0.5", "1.5", "10", "3"};
  ASSERT_EQ(RefuseNewQuote(state_, texts), "");
  ASSERT_TRUE(ApplyNewQuote(state_, texts));
  quotes_.insert(quotes_.begin() + 5, {kMonday + 1, HmsToSeconds(9, 10, 1), 1, 2, 0.5f, 1.5f, 10, 3});
  ExpectQuotes(quotes_);
  EXPECT_EQ(state_.QuoteDateText(state_.m_selQuoteRow), "06/16/98 09:10:01");
  EXPECT_EQ(ui_.done.back(), "Quote of 06/16/98 09:10:01 added to ABC");
  // Made again, the same bar is refused by the rewrite as well: nothing written.
  EXPECT_FALSE(ApplyNewQuote(state_, texts));
  ExpectNothingWritten();
}

INSTANTIATE_TEST_SUITE_P(RecordsOf28And32Bytes, IntradayCommands, testing::Bool());

}  // namespace
}  // namespace barvane
