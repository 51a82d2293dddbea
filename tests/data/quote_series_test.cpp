// The quote reader: field layouts, the windows LoadSeries reads, and the two storage
// arrangements of a series.
#include "data/quote_series.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "data/mbf.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;
using P = std::array<std::int16_t, kQuantityCount>;

// A portfolio in `dir` with the one symbol "ABC" (file number 1).
void BuildOne(const TempDir& dir, std::vector<FieldDescription> fields,
              std::vector<QuoteValues> quotes) {
  Build(dir.path(), Portfolio({Symbol(1, "ABC", fields, quotes)}));
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, Bytes(text.begin(), text.end()));
}

P Positions(const TempDir& dir, int length, int fields, Status expected = kSuccess) {
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(Fs(), dir.path(), 1, length, fields, &layout), expected);
  return layout.position;
}

// Day, time, open ... open interest of quote `i`, and of what the builder wrote.
std::vector<double> Row(const QuoteSeries& s, std::uint32_t i) {
  std::vector<double> row{double(s.date(i)), double(s.time(i))};
  for (int q = kOpen; q < kQuantityCount; ++q) row.push_back(s.value(q, i));
  return row;
}
std::vector<double> Row(const QuoteValues& q) {
  return {double(q.day), 0, q.open, q.high, q.low, q.close, q.volume, q.openInterest};
}

// A full file (R = 65535: the record number is unsigned) reads whole, and block and column
// arrays give the same quotes.
TEST(SeriesStorage, FullFilesReadWholeAndBlockAndColumnArraysGiveTheSameQuotes) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(YmdToDay(0, 1, 1), 65534);
  BuildOne(tmp, Fields28(), quotes);
  for (std::int32_t capacity : {2321, 2322, 65534}) {
    QuoteSeries s;
    ASSERT_EQ(AllocSeries(&s, capacity), kSuccess);
    EXPECT_EQ(s.usesBlock(), capacity == 2321);
    ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, capacity), kSuccess);
    EXPECT_EQ(s.quotesInFile, 65534);
    ASSERT_EQ(s.count, std::uint32_t(capacity));
    for (std::uint32_t i = 0; i < s.count; ++i) ASSERT_EQ(Row(s, i), Row(quotes[i])) << i;
  }
}

TEST(SeriesWindows, ReadTheRequestedQuotesAndStopAtTheLastTheFileHolds) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 10);  // R = 11
  BuildOne(tmp, Fields28(), quotes);
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 5), kSuccess);
  // First quote, count asked, count read, the quote read first; -1 counts back from the end.
  for (const auto& [first, asked, count, at] : {std::tuple{-1, 1, 1u, 9}, {9, 5, 1u, 9}, {-1, 50, 5u, 5}}) {
    ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", first, asked), kSuccess);  // the capacity rules
    ASSERT_EQ(s.count, count);
    EXPECT_EQ(Row(s, 0), Row(quotes[at])) << first << " " << asked;
  }
  EXPECT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 10, 1), kRecordNotFound);
  EXPECT_EQ(s.quotesInFile, 10);

  // A header that promises more than the file holds reads what is there.
  Bytes bytes = ReadBytes(tmp / "F1.DAT");
  bytes[2] = 21;                    // promises 20 quotes
  bytes.resize(bytes.size() + 13);  // and ends in a piece of a record
  WriteBytes(tmp / "F1.DAT", bytes);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 5, 50), kSuccess);
  EXPECT_EQ(std::tuple(s.count, s.quotesInFile, s.quotesPresent), std::tuple(5u, 20, 10));
  EXPECT_EQ(Row(s, 4), Row(quotes[9]));
  bytes[2] = 0;  // R = 0: no quotes, whatever follows
  WriteBytes(tmp / "F1.DAT", bytes);
  EXPECT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 1), kRecordNotFound);
  EXPECT_EQ(s.quotesInFile, 0);
}

TEST(SeriesValues, QuantitiesTheFileLacksReadAsMinusOneAndTimeAsZero) {
  TempDir tmp;
  const DayNumber before1961 = YmdToDay(28, 1, 3);
  BuildOne(tmp, Fields8(), {{before1961, 0, 0, 0, 0, 2.5f, 0, 0}});
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 1), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 1), kSuccess);
  EXPECT_EQ(Row(s, 0), (std::vector<double>{double(before1961), 0, -1, -1, -1, 2.5, -1, -1}));
  EXPECT_EQ(ScreenDate(s.date(0)), "01/03/28");
}

TEST(SeriesFile, AHeldFileGivesEveryWindowAsSeparateReadsDo) {
  TempDir tmp;
  // Month ends, a leap day, the century, dates before 1961, and dates that are no whole day.
  std::vector<QuoteValues> quotes = WeekdayQuotes(YmdToDay(59, 12, 28), 6);
  for (const DayNumber day : {YmdToDay(96, 2, 28), YmdToDay(96, 2, 29), YmdToDay(96, 3, 1),
                              YmdToDay(99, 12, 31), YmdToDay(100, 1, 3), YmdToDay(100, 1, 31),
                              YmdToDay(100, 2, 1), YmdToDay(100, 2, 2)}) {
    quotes.push_back({day, 0, 1, 2, 0.5f, 1.5f, 100, 7});
  }
  BuildOne(tmp, Fields28(), quotes);
  Bytes bytes = ReadBytes(tmp / "F1.DAT");
  WriteMbf(1000230.0f, bytes.data() + 28 * 13);  // quote 12 on February 30th
  WriteMbf(1000202.5f, bytes.data() + 28 * 14);  // quote 13 on no whole day
  bytes[2] = 30;                                 // promises more than the file holds
  WriteBytes(tmp / "F1.DAT", bytes);

  SeriesFile file;
  ASSERT_EQ(file.Open(Fs(), tmp.path(), "ABC"), kSuccess);
  EXPECT_EQ(std::tuple(file.quotesInFile(), file.quotesPresent()), std::tuple(29, 14));
  file.HoldWholeFile();
  QuoteSeries held, apart;
  ASSERT_EQ(AllocSeries(&held, 5), kSuccess);
  ASSERT_EQ(AllocSeries(&apart, 5), kSuccess);
  for (std::int32_t first = 0; first < 16; first += 3) {
    SCOPED_TRACE(first);
    const Status status = file.Load(&held, first, 5);
    ASSERT_EQ(status, LoadSeries(Fs(), &apart, tmp.path(), "ABC", first, 5));
    if (status != kSuccess) continue;
    ASSERT_EQ(held.count, apart.count);
    for (std::uint32_t i = 0; i < held.count; ++i) EXPECT_EQ(Row(held, i), Row(apart, i));
  }
  ASSERT_EQ(file.Load(&held, 0, 5), kSuccess);
  EXPECT_EQ(held.date(4), YmdToDay(60, 1, 1));
  ASSERT_EQ(file.Load(&held, 10, 5), kSuccess);
  EXPECT_EQ(std::tuple(held.count, held.date(2), held.date(3)), std::tuple(4u, YmdToDay(100, 3, 1), YmdToDay(100, 2, 2)));
}

TEST(SeriesFile, QuantitiesNotAskedForReadAsMinusOneAndTheDateAsNoDate) {
  TempDir tmp;
  const std::vector<QuoteValues> quotes = WeekdayQuotes(kMonday, 3);
  BuildOne(tmp, Fields28(), quotes);
  SeriesFile file;
  ASSERT_EQ(file.Open(Fs(), tmp.path(), "ABC"), kSuccess);
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 3), kSuccess);
  ASSERT_EQ(file.Load(&s, 0, 3, 1u << kHigh | 1u << kClose), kSuccess);
  ASSERT_EQ(s.count, 3u);
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Row(s, i), (std::vector<double>{double(kNoDate), 0, -1, quotes[i].high, -1,
                                              quotes[i].close, -1, -1}));
  }
  ASSERT_EQ(file.Load(&s, 1, 2, 1u << kDate), kSuccess);
  EXPECT_EQ(Row(s, 1), (std::vector<double>{double(quotes[2].day), 0, -1, -1, -1, -1, -1, -1}));
}

TEST(AssumedLayout, TwentyByteRecordsAreDecidedByTheirFirstQuote) {
  TempDir prices, volume, zero;
  BuildOne(prices, Fields20Prices(), {{kMonday, 0, 1.5f, 1.7f, 1.4f, 1.6f, 0, 0}});
  BuildOne(volume, Fields20Volume(), {{kMonday, 0, 0, 1.7f, 1.4f, 1.6f, 3.5f, 0}});
  BuildOne(zero, Fields20Prices(), {{kMonday, 0, 1.5f, 1.7f, 1.4f, 0, 0, 0}});
  EXPECT_EQ(Positions(prices, 20, 5), (P{1, 0, 2, 3, 4, 5, 0, 0}));
  EXPECT_EQ(Positions(volume, 20, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));
  EXPECT_EQ(Positions(zero, 20, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));
  EXPECT_EQ(Positions(prices, 24, 6), (P{1, 0, 2, 3, 4, 5, 6, 0}));
}

TEST(LayoutText, NamesMatchByKeywordPrefixInAnyCaseAndTheLaterLineWins) {
  const FieldLayout layout = ParseLayoutText(
      "\"DATE\",0,0\r\n"
      "\"close\",2,3\r\n"
      " \"HIGH\",1,1\r\n"  // not a layout line
      "\"PRICE\",4,4\r\n"  // no keyword: takes no field
      "\"VOLUME\",,0,,100\n"
      "\"CLOSE\",-3,5\n");
  EXPECT_EQ(layout.position, (P{1, 0, 0, 0, 0, 4, 3, 0}));
  EXPECT_EQ(layout.inputCode, (P{0, 0, 0, 0, 0, -3, 0, 0}));
  EXPECT_EQ(layout.displayCode, (P{0, 0, 0, 0, 0, 5, 100, 0}));
}

TEST(LayoutRefusals, UnusableLayoutsGiveMinus100AndAnEmptyLayout) {
  TempDir tmp;
  BuildOne(tmp, Fields28(), WeekdayQuotes(kMonday, 1));
  const P none{};
  EXPECT_EQ(Positions(tmp, 36, 9, kNoUsableLayout), none);
  EXPECT_EQ(Positions(tmp, 0, 0, kNoUsableLayout), none);
  WriteText(tmp / "F1.DOP", "\"CLOSE\",0,0\n\"VOL\",0,0\n");
  EXPECT_EQ(Positions(tmp, 8, 2, kNoUsableLayout), none);  // no DATE
  WriteText(tmp / "f1.dop", "\"DATE\"\n\"HIGH\"\n\"LOW\"\n\"CLOSE\"\n\"VOL\"\n");
  std::remove((tmp / "F1.DOP").c_str());                    // found in lower case
  EXPECT_EQ(Positions(tmp, 16, 4, kNoUsableLayout), none);  // a fifth field in four
  EXPECT_EQ(Positions(tmp, 16, 5, kNoUsableLayout), none);  // five fields in 16 bytes
  EXPECT_EQ(Positions(tmp, 0, 5, kNoUsableLayout), none);
  EXPECT_EQ(Positions(tmp, 36, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));  // a layout file allows any
}

}  // namespace
}  // namespace barvane
