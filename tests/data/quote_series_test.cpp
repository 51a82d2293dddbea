// The quote reader: field layouts, the windows LoadSeries reads, and the two storage
// arrangements of a series.
#include "data/quote_series.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/file_names.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using test::Build;
using test::Portfolio;
using test::Symbol;
using test::TempDir;
using test::WeekdayQuotes;

FileSystem& Fs() { return FileSystem::Default(); }

const DayNumber kMonday = YmdToDay(98, 6, 15);

// A portfolio in `dir` with the one symbol "ABC" (file number 1).
void BuildOne(const TempDir& dir, std::vector<FieldDescription> fields,
              std::vector<QuoteValues> quotes, bool withLayoutFile = false) {
  Build(dir.path(),
        Portfolio({Symbol(1, "ABC", std::move(fields), std::move(quotes), withLayoutFile)}));
}

void WriteText(const std::string& path, const std::string& text) {
  test::WriteBytes(path, Bytes(text.begin(), text.end()));
}

// The field positions DATE ... OI of a layout.
std::array<std::int16_t, kQuantityCount> Positions(const TempDir& dir, int length, int fields,
                                                   Status expected = kSuccess) {
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(Fs(), dir.path(), 1, length, fields, &layout), expected);
  return layout.position;
}

using P = std::array<std::int16_t, kQuantityCount>;

void ExpectQuote(const QuoteSeries& s, std::uint32_t i, const QuoteValues& q) {
  EXPECT_EQ(s.date(i), q.day) << i;
  EXPECT_EQ(s.value(kOpen, i), q.open) << i;
  EXPECT_EQ(s.value(kHigh, i), q.high) << i;
  EXPECT_EQ(s.value(kLow, i), q.low) << i;
  EXPECT_EQ(s.value(kClose, i), q.close) << i;
  EXPECT_EQ(s.value(kVolume, i), q.volume) << i;
  EXPECT_EQ(s.value(kOpenInterest, i), q.openInterest) << i;
}

TEST(SeriesStorage, BlockAndColumnArraysGiveTheSameQuotes) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 2400);
  BuildOne(tmp, test::Fields28(), quotes);
  QuoteSeries block, arrays;
  ASSERT_EQ(AllocSeries(&block, 2321), kSuccess);
  ASSERT_EQ(AllocSeries(&arrays, 2322), kSuccess);
  EXPECT_TRUE(block.usesBlock());
  EXPECT_FALSE(arrays.usesBlock());
  ASSERT_EQ(LoadSeries(Fs(), &block, tmp.path(), "ABC", 0, 2321), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &arrays, tmp.path(), "ABC", 0, 2322), kSuccess);
  ASSERT_EQ(block.count, 2321u);
  ASSERT_EQ(arrays.count, 2322u);
  for (std::uint32_t i = 0; i < 2322; ++i) ExpectQuote(arrays, i, quotes[i]);
  for (std::uint32_t i = 0; i < 2321; ++i) ExpectQuote(block, i, quotes[i]);
  FreeSeries(&block);
  EXPECT_EQ(block.capacity, 0u);
  EXPECT_FALSE(block.info);
}

TEST(SeriesWindows, ReadTheRequestedQuotesAndStopAtTheLast) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 10);  // R = 11
  BuildOne(tmp, test::Fields28(), quotes);
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 5), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", -1, 1), kSuccess);
  ASSERT_EQ(s.count, 1u);
  ExpectQuote(s, 0, quotes[9]);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 9, 5), kSuccess);
  ASSERT_EQ(s.count, 1u);
  ExpectQuote(s, 0, quotes[9]);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", -1, 50), kSuccess);  // capacity rules
  ASSERT_EQ(s.count, 5u);
  ExpectQuote(s, 0, quotes[5]);
  EXPECT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 10, 1), kRecordNotFound);
  EXPECT_EQ(s.quotesInFile, 10);
  EXPECT_EQ(s.symbol, "ABC");
  EXPECT_EQ(s.directory, tmp.path());
}

TEST(SeriesWindows, CountZeroLoadsOnlyTheFacts) {
  TempDir tmp;
  BuildOne(tmp, test::Fields12(), WeekdayQuotes(kMonday, 4));
  QuoteSeries s;
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "abc", 0, 0), kSuccess);
  EXPECT_EQ(s.quotesInFile, 4);
  ASSERT_TRUE(s.info);
  EXPECT_EQ(s.info->record.fileNumber(), 1);
  EXPECT_EQ(s.info->layout.position, (P{1, 0, 0, 0, 0, 2, 3, 0}));
  EXPECT_EQ(LoadSeries(Fs(), &s, tmp.path(), "NONE", 0, 0), kFileNotFound);
  std::filesystem::remove(tmp / "F1.DAT");
  EXPECT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 0), kFileOpen);
}

TEST(SeriesValues, QuantitiesTheFileLacksReadAsMinusOneAndTimeAsZero) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 3);
  BuildOne(tmp, test::Fields8(), quotes);
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 3), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 3), kSuccess);
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(s.date(i), quotes[i].day);
    EXPECT_EQ(s.time(i), 0);
    EXPECT_EQ(s.value(kClose, i), quotes[i].close);
    for (int q : {kOpen, kHigh, kLow, kVolume, kOpenInterest}) EXPECT_EQ(s.value(q, i), -1.0f);
  }
}

TEST(SeriesValues, DatesBefore1961KeepTheirDay) {
  TempDir tmp;
  const DayNumber day = YmdToDay(28, 1, 3);
  ASSERT_LT(day, 0);
  BuildOne(tmp, test::Fields8(), {{day, 0, 0, 0, 0, 2.5f, 0, 0}});
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 1), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 1), kSuccess);
  EXPECT_EQ(s.date(0), day);
  EXPECT_EQ(ScreenDate(s.date(0)), "01/03/28");
}

TEST(SeriesHeader, RecordNumberIsUnsignedAndFullFilesReadWhole) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(YmdToDay(0, 1, 1), 65534);  // R = 65535
  BuildOne(tmp, test::Fields8(), quotes);
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 65534), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 65534), kSuccess);
  EXPECT_EQ(s.quotesInFile, 65534);
  ASSERT_EQ(s.count, 65534u);
  EXPECT_EQ(s.date(0), quotes.front().day);
  EXPECT_EQ(s.date(65533), quotes.back().day);
  EXPECT_EQ(s.value(kClose, 65533), quotes.back().close);
}

TEST(SeriesHeader, CountsBeyondTheFileReadWhatIsThere) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 10);
  BuildOne(tmp, test::Fields28(), quotes);
  Bytes bytes = test::ReadBytes(tmp / "F1.DAT");
  bytes[2] = 21;                    // promises 20 quotes
  bytes.resize(bytes.size() + 13);  // and ends in a piece of a record
  test::WriteBytes(tmp / "F1.DAT", bytes);
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 50), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 50), kSuccess);
  EXPECT_EQ(s.count, 10u);
  EXPECT_EQ(s.quotesInFile, 20);
  EXPECT_EQ(s.quotesPresent, 10);
  ExpectQuote(s, 9, quotes[9]);

  bytes[2] = 0;  // R = 0: no quotes, whatever follows
  test::WriteBytes(tmp / "F1.DAT", bytes);
  EXPECT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 1), kRecordNotFound);
  EXPECT_EQ(s.quotesInFile, 0);
}

TEST(AssumedLayout, TwentyByteRecordsAreDecidedByTheirFirstQuote) {
  TempDir prices, volume, zero;
  BuildOne(prices, test::Fields20Prices(), {{kMonday, 0, 1.5f, 1.7f, 1.4f, 1.6f, 0, 0}});
  BuildOne(volume, test::Fields20Volume(), {{kMonday, 0, 0, 1.7f, 1.4f, 1.6f, 3.5f, 0}});
  BuildOne(zero, test::Fields20Prices(), {{kMonday, 0, 1.5f, 1.7f, 1.4f, 0, 0, 0}});
  EXPECT_EQ(Positions(prices, 20, 5), (P{1, 0, 2, 3, 4, 5, 0, 0}));
  EXPECT_EQ(Positions(volume, 20, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));
  EXPECT_EQ(Positions(zero, 20, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));
  std::filesystem::remove(zero / "F1.DAT");
  Positions(zero, 20, 5, kNoUsableLayout);
}

TEST(AssumedLayout, TwentyFourByteRecordsHaveNoOpenInterest) {
  TempDir tmp;
  BuildOne(tmp, test::Fields24(), WeekdayQuotes(kMonday, 2));
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 2), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "ABC", 0, 2), kSuccess);
  EXPECT_EQ(s.value(kOpenInterest, 1), -1.0f);
  EXPECT_EQ(s.value(kOpen, 1), 10.125f);
  EXPECT_EQ(s.time(1), 0);
}

TEST(LayoutText, NamesMatchByKeywordPrefixInAnyCase) {
  const FieldLayout layout = ParseLayoutText(
      "\"DATE\",0,0\r\n"
      "\"close\",2,3\r\n"
      " \"HIGH\",1,1\r\n"  // not a layout line
      "\"PRICE\",4,4\r\n"  // no keyword: takes no field
      "\"VOLUME\",,0,,100\n"
      "\"OI\"\r\n");
  EXPECT_EQ(layout.position, (P{1, 0, 0, 0, 0, 2, 3, 4}));
  EXPECT_EQ(layout.inputCode, (P{0, 0, 0, 0, 0, 2, 0, 0}));
  EXPECT_EQ(layout.displayCode, (P{0, 0, 0, 0, 0, 3, 100, 0}));
}

TEST(LayoutText, AKeywordNamedTwiceKeepsItsLaterLine) {
  const FieldLayout layout = ParseLayoutText("\"DATE\",0,0\n\"CLOSE\",1,1\n\"CLOSE\",-3,5\n");
  EXPECT_EQ(layout.position, (P{1, 0, 0, 0, 0, 3, 0, 0}));
  EXPECT_EQ(layout.inputCode[kClose], -3);
  EXPECT_EQ(layout.displayCode[kClose], 5);
}

TEST(LayoutFile, ListingTheAssumedFieldsGivesTheAssumedLayout) {
  TempDir tmp;
  BuildOne(tmp, test::Fields16(), WeekdayQuotes(kMonday, 1), true);
  EXPECT_EQ(Positions(tmp, 16, 4), (P{1, 0, 0, 2, 3, 4, 0, 0}));
  std::filesystem::rename(tmp / "F1.DOP", tmp / "f1.dop");
  WriteText(tmp / "f1.dop", "\"DATE\"\n\"CLOSE\"\n");
  EXPECT_EQ(Positions(tmp, 16, 4), (P{1, 0, 0, 0, 0, 2, 0, 0}));  // found in lower case
}

TEST(LayoutRefusals, UnusableLayoutsGiveMinus100AndAnEmptyLayout) {
  TempDir tmp;
  BuildOne(tmp, test::Fields28(), WeekdayQuotes(kMonday, 1));
  const P none{};
  EXPECT_EQ(Positions(tmp, 36, 9, kNoUsableLayout), none);
  EXPECT_EQ(Positions(tmp, 0, 0, kNoUsableLayout), none);
  WriteText(tmp / "F1.DOP", "\"CLOSE\",0,0\n\"VOL\",0,0\n");
  EXPECT_EQ(Positions(tmp, 8, 2, kNoUsableLayout), none);  // no DATE
  WriteText(tmp / "F1.DOP", "\"DATE\"\n\"HIGH\"\n\"LOW\"\n\"CLOSE\"\n\"VOL\"\n");
  EXPECT_EQ(Positions(tmp, 16, 4, kNoUsableLayout), none);  // a fifth field in four
  EXPECT_EQ(Positions(tmp, 16, 5, kNoUsableLayout), none);  // five fields in 16 bytes
  EXPECT_EQ(Positions(tmp, 0, 5, kNoUsableLayout), none);
  EXPECT_EQ(Positions(tmp, 20, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));
  EXPECT_EQ(Positions(tmp, 36, 5), (P{1, 0, 0, 2, 3, 4, 5, 0}));  // a layout file allows any
}

TEST(LayoutRefusals, LoadSeriesPassesTheRefusalOn) {
  TempDir tmp;
  SymbolDescription s = Symbol(1, "ABC", test::Fields28(), WeekdayQuotes(kMonday, 1));
  s.fields.push_back(s.fields.back());
  s.fields.push_back(s.fields.back());  // 36-byte records
  Build(tmp.path(), Portfolio({s}));
  QuoteSeries series;
  ASSERT_EQ(AllocSeries(&series, 1), kSuccess);
  EXPECT_EQ(LoadSeries(Fs(), &series, tmp.path(), "ABC", 0, 1), kNoUsableLayout);
}

}  // namespace
}  // namespace barvane
