// MBF conversion, day numbers, date and time texts, the two-digit year rule, and the texts
// put together for messages.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "data/dates.h"
#include "data/mbf.h"
#include "data/printed.h"
#include "data/status.h"
#include "data/typed_date.h"

namespace barvane {
namespace {

using Four = std::array<std::uint8_t, 4>;

Four Mbf(float v) {
  Four b{};
  WriteMbf(v, b.data());
  return b;
}

TEST(Mbf, KnownBytesConvertBothWaysAndInPlace) {
  const Four one = {0x00, 0x00, 0x00, 0x81};
  Four ieee;
  MbfToIeee(one.data(), ieee.data());
  EXPECT_EQ(ieee, (Four{0x00, 0x00, 0x80, 0x3F}));
  EXPECT_EQ(Mbf(-1.0f), (Four{0x00, 0x00, 0x80, 0x81}));
  EXPECT_EQ(Mbf(0.0f), Four{});
  EXPECT_EQ(Mbf(-0.0f), Four{});
  // A zero exponent is zero whatever the other bytes.
  const Four zero = {0x12, 0x34, 0xD6, 0x00};
  EXPECT_EQ(ReadMbf(zero.data()), 0.0f);
  EXPECT_FALSE(std::signbit(ReadMbf(zero.data())));
  for (float v : {1.0f, -2.5f, 1000104.0f, 0.0001f, 123456.789f, -3.4e37f, 1.2e-38f}) {
    std::uint8_t b[4];
    WriteIeee(v, b);
    IeeeToMbf(b, b);
    MbfToIeee(b, b);
    EXPECT_EQ(ReadIeee(b), v);
  }
}

TEST(Days, EpochLeapYearsTheTwoDigitCenturyAndDaysBefore1961) {
  EXPECT_EQ(FormatDate(14245, 3, '/') + " " + FormatDate(14245, 2, '-'), "01/01/00 2000-01-01");
  EXPECT_EQ(YmdToDay(2099, 12, 31), 50769);
  const DayNumber d = DateFloatToDay(280103.0);  // Tuesday 3 January 1928
  EXPECT_LT(d, 0);
  EXPECT_EQ(std::tuple(FormatDate(d, 2, '-'), Weekday(d), DayToDateFloat(d)), std::tuple("1928-01-03", 2, 280103.0f));
  // Day 0 is a day like any other.
  EXPECT_EQ(FormatDate(0, 2, '-') + " " + FormatDate(YmdToDay(60, 2, 29), 2, '-'), "1960-12-31 1960-02-29");
  // A rewrite's range may end at any day number; its YYMMDD value goes far beyond 32 bits.
  EXPECT_GT(DayToDateFloat(std::numeric_limits<DayNumber>::max()), 5.8e10f);
  EXPECT_LT(DayToDateFloat(std::numeric_limits<DayNumber>::min() + 1), -5.8e10f);  // min() is no date
  EXPECT_EQ(DateFloatToDay(1000104.0), 14248);
  EXPECT_EQ(ScreenDate(DateFloatToDay(601231.0)), "12/31/60");
  for (double bad : {0.0, std::nan(""), 1e30}) EXPECT_EQ(DateFloatToDay(bad), kNoDate) << bad;
  for (int month : {0, 13}) EXPECT_EQ(YmdToDay(99, month, 1), kNoDate) << month;
  EXPECT_EQ(DayToMbfDate(kNoDate), Four{});
}

TEST(ParseDate, LeadingBlanksOneQuoteAndAtoiPairs) {
  const std::tuple<const char*, int, DayNumber> cases[] = {
      {"  \"03/15/05", 3, 16145}, {"00/00/00", 3, kNoDate}, {"", 3, kNoDate}, {"   ", 3, kNoDate},
      {"01/01/00", 13, kNoDate},  {"01/01/00", 0, kNoDate}, {"12/31/60", 3, 0}, {"01/01/61", 3, 1},
      {"20000104", 8, 14248},     {"12/31/99", 3, 14244},   {"01/01/00", 3, 14245}, {"01/01/59", 3, 35795},
      {"7/01/00", 3, ParseDate("07/01/00", 3)},        // the pair "7/" reads 7
      {"19590104", 8, YmdToDay(2059, 1, 4)}};          // 1900..1959 mean 2000..2059
  for (const auto& [text, layout, day] : cases) EXPECT_EQ(ParseDate(text, layout), day) << text;
}

TEST(FormatDate, EveryLayoutDayZeroAndUnknownLayouts) {
  const DayNumber d = YmdToDay(2005, 3, 15);
  const char* expected[] = {"05-03-15", "2005-03-15", "03-15-05", "03-15-2005", "15-03-05",
                            "15-03-2005", "050315", "20050315", "031505", "03152005",
                            "150305", "15032005"};
  for (int layout = 1; layout <= 12; ++layout) {
    EXPECT_EQ(FormatDate(d, layout, '-'), expected[layout - 1]) << layout;
    EXPECT_EQ(ParseDate(FormatDate(d, layout, '-'), layout), d) << layout;
  }
  EXPECT_EQ(FormatDate(kNoDate, 3, '/'), "00/00/00");
  EXPECT_EQ(FormatDate(0, 3, '/'), "12/31/60");
  EXPECT_EQ(FormatDate(d, 13, '/'), "");
}

TEST(Time, EverySecondOfTheFileValueReadsAndWritesBack) {
  struct Case {
    double value;
    DaySeconds seconds;
    const char* text;
  };
  const Case cases[] = {
      {0.0, 0, "00:00:00"},         {1.0, 1, "00:00:01"},           {93000.0, 34200, "09:30:00"},
      {93001.0, 34201, "09:30:01"}, {93007.0, 34207, "09:30:07"},   {93059.0, 34259, "09:30:59"},
      {170517.0, 61517, "17:05:17"}, {235959.0, 86399, "23:59:59"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TimeFloatToSeconds(c.value), c.seconds) << c.value;
    EXPECT_EQ(TimeSecondsToFloat(c.seconds), static_cast<float>(c.value)) << c.value;
    EXPECT_EQ(TimeText(c.seconds), c.text) << c.value;
  }
  const Hms hms = SecondsToHms(HmsToSeconds(9, 30, 7));
  EXPECT_EQ(hms.hours * 10000 + hms.minutes * 100 + hms.seconds, 93007);
  // No time of day: the bar reads as midnight rather than as a wrapped count.
  for (double bad : {std::nan(""), -93000.0, 1.0e9}) EXPECT_EQ(TimeFloatToSeconds(bad), 0) << bad;
}

TEST(Status, StoredTextsAndCodesWithout) {
  for (const auto& [status, text] : {std::pair{kSuccess, "Sucessfull"}, {kFileNotFound, "File Not Found"},
                                     {kUnknown, "Unknown"}, {kNoUsableLayout, ""}, {kDayNotInFile, ""}}) {
    EXPECT_EQ(StatusText(status), text) << status;
  }
}

// The days at the edges of what the files hold and of what a two-digit year names.
TEST(Days, EdgeAndCenturyDaysRoundTripThroughFileTextAndArithmetic) {
  struct Edge {
    DayNumber day;
    float value;      // YYMMDD as the files hold it
    const char* text;  // four-digit form
    const char* iso;
    int weekday;
    bool twoDigits;
  };
  const Edge edges[] = {
      {kFirstFileDay, 101.0f, "01/01/1900", "1900-01-01", 1, false},
      {0, 601231.0f, "12/31/1960", "1960-12-31", 6, false},
      {1, 610101.0f, "01/01/1961", "1961-01-01", 0, true},
      {kLastShortYearDay, 1601231.0f, "12/31/2060", "2060-12-31", 5, true},
      {kLastShortYearDay + 1, 1610101.0f, "01/01/2061", "2061-01-01", 6, false},
      {kLastFileDay, 2551231.0f, "12/31/2155", "2155-12-31", 3, false},
  };
  for (const Edge& e : edges) {
    SCOPED_TRACE(e.text);
    EXPECT_EQ(DateFloatToDay(e.value), e.day);
    EXPECT_EQ(DayToDateFloat(e.day), e.value);
    const auto mbf = DayToMbfDate(e.day);
    EXPECT_EQ(DateFloatToDay(ReadMbf(mbf.data())), e.day);
    EXPECT_EQ(DateText(e.day, true), e.text);
    EXPECT_EQ(ReadDateText(e.text), e.day);
    EXPECT_EQ(ReadDateText(e.iso), e.day);
    EXPECT_EQ(ShowsTwoDigitYear(e.day), e.twoDigits);
    if (e.twoDigits) {
      EXPECT_EQ(ReadDateText(DateText(e.day, false)), e.day);
    }
    EXPECT_EQ(Weekday(e.day), e.weekday);
    EXPECT_EQ(DayToYmd(e.day + 1).day, e.day == 0 || e.day == kLastShortYearDay || e.day == kLastFileDay ? 1 : 2);
  }
  EXPECT_EQ(ReadDateText("12/31/1899"), kNoDate);
  EXPECT_EQ(ReadDateText("01/01/2156"), kNoDate);
  EXPECT_EQ(DateText(kNoDate, true), "00/00/0000");
  EXPECT_NE(kNoDate, kFirstFileDay - 1);
  // Century years follow the Gregorian rule, and every day between the edges reads back.
  for (const auto& [year, days] : {std::pair{0, 1}, {100, 2}, {200, 1}}) {  // 1900 and 2100 common
    EXPECT_EQ(YmdToDay(year, 3, 1) - YmdToDay(year, 2, 28), days) << year;
  }
  EXPECT_EQ(ReadDateText("02/29/1900"), kNoDate);
  EXPECT_EQ(ReadDateText("02/29/2100"), kNoDate);
  EXPECT_EQ(Weekday(YmdToDay(2100, 3, 1)), 1);  // a Monday
  for (DayNumber d = kFirstFileDay; d <= kLastFileDay; ++d) {
    const Ymd ymd = DayToYmd(d);
    ASSERT_EQ(YmdToDay(ymd.year, ymd.month, ymd.day), d) << d;
    ASSERT_EQ(DateFloatToDay(DayToDateFloat(d)), d) << d;
  }
}

TEST(DateTexts, UserTextsInEveryFormReadOrRefuse) {
  const std::pair<const char*, DayNumber> cases[] = {
      {"11/15/13", YmdToDay(2013, 11, 15)},   {"11/15/2013", YmdToDay(2013, 11, 15)},
      {"2013-11-15", YmdToDay(2013, 11, 15)}, {"1/05/2013", kNoDate},
      {"10/01/28", YmdToDay(2028, 10, 1)},    {"10/01/1928", YmdToDay(28, 10, 1)},
      {"12/31/60", kLastShortYearDay},        {"01/01/61", 1},
      {"02/29/2000", YmdToDay(2000, 2, 29)},  {"02/30/2000", kNoDate},
      {"13/01/2000", kNoDate},                {"00/10/2000", kNoDate},
      {"11/15/013", kNoDate},                 {"11/15/13 ", kNoDate},
      {"2013-11-15T09:15", kNoDate},          {"2013/11/15", kNoDate},
      {"", kNoDate},                          {"11-15-13", kNoDate},
  };
  for (const auto& [text, day] : cases) EXPECT_EQ(ReadDateText(text), day) << text;
}

TEST(DateTexts, MomentsCarryAnOptionalTime) {
  struct Case {
    const char* text;
    bool reads;
    int hours, minutes, seconds;  // -1: no time
  };
  const Case cases[] = {
      {"11/15/13 09:15", true, 9, 15, 0},   {"2013-11-15T09:15:00", true, 9, 15, 0},
      {"11/15/2013 23:59:58", true, 23, 59, 58}, {"11/15/13", true, -1, 0, 0},
      {"11/15/13 9:05", true, 9, 5, 0},     {"11/15/13 24:00", false, 0, 0, 0},
      {"11/15/13 09:60", false, 0, 0, 0},   {"11/15/13 09:5", false, 0, 0, 0},
      {"11/15/13  09:15", false, 0, 0, 0},  {"11/15/13 09:15:", false, 0, 0, 0},
      {"11/15/13T", false, 0, 0, 0},        {"11/15/13x09:15", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    QuoteMoment moment;
    ASSERT_EQ(ReadMomentText(c.text, &moment), c.reads) << c.text;
    if (!c.reads) continue;
    EXPECT_EQ(moment.day, YmdToDay(2013, 11, 15)) << c.text;
    ASSERT_EQ(moment.time.has_value(), c.hours >= 0) << c.text;
    if (moment.time) {
      EXPECT_EQ(*moment.time, HmsToSeconds(c.hours, c.minutes, c.seconds)) << c.text;
    }
  }
  EXPECT_EQ(MomentText(YmdToDay(2013, 11, 15), HmsToSeconds(9, 5, 0), {false, true}), "11/15/13 09:05:00");
  EXPECT_EQ(MomentText(YmdToDay(28, 10, 1), 0, {true, false}), "10/01/1928");
}

TEST(TypedDate, OnlyATwoDigitYearOfARealDayIsRefusedAndOnlyWhereYearsShowFourDigits) {
  const DateStyle fourDigits{true, false}, twoDigits{false, true};
  const std::pair<const char*, const char*> refused[] = {
      {"11/10/29", "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years."},
      {"11/10/29 09:30", "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years."},
      {"01/02/75T09:30:00", "Type the year in full, as 01/02/1975 or 01/02/2075: this series shows four-digit years."},
      {"02/29/00", "Type the year in full, as 02/29/2000: this series shows four-digit years."},
  };
  for (const auto& [text, want] : refused) {
    EXPECT_EQ(ShortYearRefusal(text, fourDigits), want) << text;
    EXPECT_EQ(ShortYearRefusal(text, twoDigits), "") << text;
  }
  // Four digits, texts that are no date (the caller's own refusal), and days that do not exist.
  for (const char* text : {"11/10/1929", "1929-11-10", "11/10/1929 09:30", "", "11/10/2", "11/10/299", "11-10-29",
                           "13/10/29", "02/30/29", "11/10/29x", "1/10/29", " 11/10/29"}) {
    EXPECT_EQ(ShortYearRefusal(text, fourDigits), "") << text;
  }
}

TEST(Printed, PutsInStringsWholeHoweverLongTheText) {
  const std::string dir = "/home/trader/" + std::string(400, 'x');
  EXPECT_EQ(Printed("Portfolio %s is not in the portfolio list", dir),
            "Portfolio " + dir + " is not in the portfolio list");
  EXPECT_EQ(Printed("%s %s above high %.2f", "close", std::string("3.50"), 2.95),
            "close 3.50 above high 2.95");
  EXPECT_EQ(Printed("Quote %d of %zu", 7, std::size_t{65535}), "Quote 7 of 65535");
}

}  // namespace
}  // namespace barvane
