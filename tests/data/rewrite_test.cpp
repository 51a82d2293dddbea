// Quote file rewrites: the bytes each operation leaves, the MASTER dates a delete moves, the
// refusals that touch nothing, and the quote search that a delete relies on.
#include "data/rewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "data/file_names.h"
#include "data/master.h"
#include "data/mbf.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using test::Build;
using test::Portfolio;
using test::ReadBytes;
using test::Symbol;
using test::TempDir;
using test::WeekdayQuotes;

FileSystem& Fs() { return FileSystem::Default(); }

const DayNumber kMonday = YmdToDay(98, 6, 15);
const DayNumber kFriday = YmdToDay(98, 6, 12);

using Values = std::array<float, 6>;

QuoteChange Change(QuoteOp op, DayNumber from, DayNumber to, Values values = {}) {
  QuoteChange c;
  c.op = op;
  c.fromDay = from;
  c.toDay = to;
  c.value = values;
  return c;
}

QuoteValues Scaled(QuoteValues q, const Values& m) {
  q.open *= m[0], q.high *= m[1], q.low *= m[2], q.close *= m[3];
  q.volume *= m[4], q.openInterest *= m[5];
  return q;
}

QuoteValues Set(QuoteValues q, const Values& v) {
  q.open = v[0], q.high = v[1], q.low = v[2], q.close = v[3];
  q.volume = v[4], q.openInterest = v[5];
  return q;
}

// The quote file the builder would write for `symbol` holding `quotes`.
Bytes QuoteFileWith(SymbolDescription symbol, std::vector<QuoteValues> quotes) {
  symbol.quotes = std::move(quotes);
  return QuoteFileBytes(symbol);
}

// The MASTER the builder would write for `portfolio`.
Bytes MasterWith(PortfolioDescription portfolio) {
  portfolio.filler = 0x5A;
  return MasterFileBytes(portfolio);
}

// Every file under `dir` with its bytes.
std::map<std::string, Bytes> Snapshot(const std::string& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) files[e.path().string()] = ReadBytes(e.path().string());
  }
  return files;
}

void ExpectNoTemporaries(const std::string& dir) {
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    EXPECT_NE(e.path().extension(), ".NEW") << e.path();
  }
}

std::uint16_t RecordNumber(const Bytes& quoteFile) {
  return static_cast<std::uint16_t>(quoteFile[2] | quoteFile[3] << 8);
}

TEST(RewriteBytes, EachLayoutChangesOnlyTheFieldsItHolds) {
  const Values v{2, 3, 4, 5, 6, 7};
  for (const auto& fields : {test::Fields8(), test::Fields12(), test::Fields20Prices(),
                             test::Fields20Volume(), test::Fields28()}) {
    for (QuoteOp op : {QuoteOp::kSet, QuoteOp::kMultiply}) {
      SCOPED_TRACE(testing::Message() << fields.size() * 4 << " bytes, op " << int(op));
      TempDir tmp;
      const auto quotes = WeekdayQuotes(kMonday, 5);
      const SymbolDescription s = Symbol(1, "ABC", fields, quotes);
      Build(tmp.path(), Portfolio({s}));
      const Bytes old = ReadBytes(tmp / "F1.DAT");
      const Bytes master = ReadBytes(tmp / "MASTER");
      ASSERT_EQ(RewriteQuotes(Fs(), Change(op, quotes[2].day, quotes[2].day, v), tmp.path(), "ABC"),
                kSuccess);
      auto expected = quotes;
      expected[2] = op == QuoteOp::kSet ? Set(quotes[2], v) : Scaled(quotes[2], v);
      EXPECT_EQ(ReadBytes(tmp / "F1.DAT"), QuoteFileWith(s, expected));
      EXPECT_EQ(ReadBytes(tmp / "F1.BAK"), old);
      EXPECT_EQ(ReadBytes(tmp / "MASTER"), master);
      EXPECT_FALSE(test::Exists(tmp / "MASTER.BAK"));
      ExpectNoTemporaries(tmp.path());
    }
  }
}

TEST(RewriteBytes, BytesOutsideTheChangedFieldsAreCopiedAsTheyWere) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 3);
  SymbolDescription s = Symbol(1, "ABC", test::Fields28(), quotes);
  Build(tmp.path(), Portfolio({s}));
  // Five fields named in seven: the last two of every record are bytes of no field.
  Bytes master = ReadBytes(tmp / "MASTER");
  master[kMasterRecordSize + kMasterFieldCount] = 5;
  test::WriteBytes(tmp / "MASTER", master);
  const std::string dop = "\"DATE\"\n\"OPEN\"\n\"HIGH\"\n\"LOW\"\n\"CLOSE\"\n";
  test::WriteBytes(tmp / "F1.DOP", Bytes(dop.begin(), dop.end()));
  Bytes old = ReadBytes(tmp / "F1.DAT");
  const std::uint8_t oddZero[4] = {0x12, 0x34, 0x56, 0x00};  // a zero no writer would make
  std::copy(oddZero, oddZero + 4, old.begin() + 28 * 1 + 16);
  test::WriteBytes(tmp / "F1.DAT", old);

  const Values v{1, 2, 3, 4, 5, 6};
  ASSERT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kSet, quotes[1].day, quotes[2].day, v), tmp.path(),
                          "ABC"),
            kSuccess);
  auto expected = quotes;
  for (int i : {1, 2})
    expected[i] = Set(quotes[i], {1, 2, 3, 4, quotes[i].volume, quotes[i].openInterest});
  Bytes want = QuoteFileWith(s, expected);
  std::copy(oddZero, oddZero + 4, want.begin() + 28 * 1 + 16);
  EXPECT_EQ(ReadBytes(tmp / "F1.DAT"), want);
}

TEST(RewriteBytes, SplitScalesEveryQuoteBeforeTheSplitDay) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 6);
  const SymbolDescription s = Symbol(1, "ABC", test::Fields28(), quotes);
  Build(tmp.path(), Portfolio({s}));
  const Values m{0.5f, 0.5f, 0.5f, 0.5f, 2, 2};
  ASSERT_EQ(
      RewriteQuotes(Fs(), Change(QuoteOp::kMultiply, 0, quotes[3].day - 1, m), tmp.path(), "ABC"),
      kSuccess);
  auto expected = quotes;
  for (int i = 0; i < 3; ++i) expected[i] = Scaled(quotes[i], m);
  EXPECT_EQ(ReadBytes(tmp / "F1.DAT"), QuoteFileWith(s, expected));
}

TEST(RewriteBytes, UnchangedValuesLeaveTheFileIdentical) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 4);
  Build(tmp.path(), Portfolio({Symbol(1, "ABC", test::Fields24(), quotes)}));
  const Bytes old = ReadBytes(tmp / "F1.DAT");
  ASSERT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kMultiply, 0, 99999, {1, 1, 1, 1, 1, 1}),
                          tmp.path(), "ABC"),
            kSuccess);
  EXPECT_EQ(ReadBytes(tmp / "F1.DAT"), old);
  const QuoteValues& q = quotes[1];
  ASSERT_EQ(
      RewriteQuotes(
          Fs(), Change(QuoteOp::kSet, q.day, q.day, {q.open, q.high, q.low, q.close, q.volume, 0}),
          tmp.path(), "ABC"),
      kSuccess);
  EXPECT_EQ(ReadBytes(tmp / "F1.DAT"), old);
}

TEST(RewriteBytes, ATrailingPieceOfARecordIsDropped) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 3);
  const SymbolDescription s = Symbol(1, "ABC", test::Fields12(), quotes);
  Build(tmp.path(), Portfolio({s}));
  Bytes old = ReadBytes(tmp / "F1.DAT");
  old.insert(old.end(), {1, 2, 3, 4, 5, 6, 7});
  test::WriteBytes(tmp / "F1.DAT", old);
  ASSERT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kMultiply, 0, 99999, {1, 1, 1, 1, 1, 1}),
                          tmp.path(), "ABC"),
            kSuccess);
  EXPECT_EQ(ReadBytes(tmp / "F1.DAT"), QuoteFileWith(s, quotes));
  EXPECT_EQ(ReadBytes(tmp / "F1.BAK"), old);
}

TEST(RewriteBytes, InsertBeforeMondayWritesFridaysCopyAndLeavesMasterAlone) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 3);
  const SymbolDescription s = Symbol(1, "ABC", test::Fields28(), quotes);
  Build(tmp.path(), Portfolio({s}));
  const Bytes master = ReadBytes(tmp / "MASTER");
  ASSERT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kInsertCopy, kMonday, kMonday), tmp.path(), "ABC"),
            kSuccess);
  auto expected = quotes;
  expected.insert(expected.begin(), quotes[0]);
  expected[0].day = kFriday;
  const Bytes now = ReadBytes(tmp / "F1.DAT");
  EXPECT_EQ(now, QuoteFileWith(s, expected));
  EXPECT_EQ(RecordNumber(now), 5);
  EXPECT_EQ(ReadBytes(tmp / "MASTER"), master);
  EXPECT_FALSE(test::Exists(tmp / "MASTER.BAK"));
}

class DeleteQuote : public testing::Test {
 protected:
  void SetUp() override {
    quotes_ = WeekdayQuotes(kMonday, 10);
    portfolio_ = Portfolio({Symbol(2, "OTHER", test::Fields8(), WeekdayQuotes(kMonday, 2)),
                            Symbol(1, "ABC", test::Fields28(), quotes_)});
    Build(tmp_.path(), portfolio_);
    oldMaster_ = ReadBytes(tmp_ / "MASTER");
  }
  // Deletes quote `q` and checks the quote file and the MASTER that result.
  void DeleteAndExpect(std::size_t q) {
    const Bytes oldQuotes = ReadBytes(tmp_ / "F1.DAT");
    ASSERT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kDelete, quotes_[q].day, quotes_[q].day),
                            tmp_.path(), "ABC"),
              kSuccess);
    auto left = quotes_;
    left.erase(left.begin() + static_cast<long>(q));
    const Bytes now = ReadBytes(tmp_ / "F1.DAT");
    EXPECT_EQ(now, QuoteFileWith(portfolio_.symbols[1], left));
    EXPECT_EQ(RecordNumber(now), 10);
    EXPECT_EQ(ReadBytes(tmp_ / "F1.BAK"), oldQuotes);
    PortfolioDescription after = portfolio_;
    after.symbols[1].quotes = left;
    EXPECT_EQ(ReadBytes(tmp_ / "MASTER"), MasterWith(after));
    ExpectNoTemporaries(tmp_.path());
  }

  TempDir tmp_;
  std::vector<QuoteValues> quotes_;
  PortfolioDescription portfolio_;
  Bytes oldMaster_;
};

TEST_F(DeleteQuote, OfTheNewestMovesTheMasterLastDate) {
  DeleteAndExpect(9);
  EXPECT_EQ(ReadBytes(tmp_ / "MASTER.BAK"), oldMaster_);
}

TEST_F(DeleteQuote, OfTheOldestMovesTheMasterFirstDate) { DeleteAndExpect(0); }

TEST_F(DeleteQuote, BetweenOthersLeavesTheMasterAlone) {
  DeleteAndExpect(4);
  EXPECT_FALSE(test::Exists(tmp_ / "MASTER.BAK"));
}

TEST_F(DeleteQuote, OfADayWithoutAQuoteTouchesNoFile) {
  const auto before = Snapshot(tmp_.path());
  for (DayNumber day :
       {quotes_[4].day + 1, kFriday, quotes_[9].day + 1}) {  // Saturday, before, after
    EXPECT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kDelete, day, day), tmp_.path(), "ABC"),
              kDayNotInFile);
  }
  EXPECT_EQ(Snapshot(tmp_.path()), before);
}

TEST(DeleteQuoteInSubPortfolio, MovesTheDateInTheMasterThatListsTheSymbol) {
  TempDir tmp;
  const auto quotes = WeekdayQuotes(kMonday, 4);
  // The same file number in the top MASTER must not be touched.
  Build(tmp.path(), Portfolio({Symbol(1, "TOP", test::Fields8(), quotes)}, {"SUB"}));
  PortfolioDescription sub = Portfolio({Symbol(1, "DEEP", test::Fields8(), quotes)});
  Build(tmp / "SUB", sub);
  const auto topBefore = ReadBytes(tmp / "MASTER");
  ASSERT_EQ(RewriteQuotes(Fs(), Change(QuoteOp::kDelete, quotes[3].day, quotes[3].day), tmp.path(),
                          "DEEP"),
            kSuccess);
  sub.symbols[0].quotes.pop_back();
  EXPECT_EQ(ReadBytes(tmp / "SUB/MASTER"), MasterWith(sub));
  EXPECT_EQ(ReadBytes(tmp / "SUB/F1.DAT"), QuoteFileBytes(sub.symbols[0]));
  EXPECT_EQ(ReadBytes(tmp / "MASTER"), topBefore);
  EXPECT_FALSE(test::Exists(tmp / "MASTER.BAK"));
}

TEST(RewriteRefusals, LeaveEveryFileAsItWas) {
  TempDir tmp;
  Build(tmp.path(), Portfolio({Symbol(1, "ABC", test::Fields8(), WeekdayQuotes(0, 65534)),
                               Symbol(2, "WIDE", std::vector<FieldDescription>(9, {kDate, 0, 0}),
                                      WeekdayQuotes(kMonday, 1)),
                               Symbol(3, "GONE", test::Fields8(), WeekdayQuotes(kMonday, 1))}));
  std::filesystem::remove(tmp / "F3.DAT");
  const auto before = Snapshot(tmp.path());
  const QuoteChange insert = Change(QuoteOp::kInsertCopy, 0, 99999);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "NONE"), kFileNotFound);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "WIDE"), kNoUsableLayout);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "GONE"), kFileOpen);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "ABC"), kFileWrite);  // R would pass 65535
  EXPECT_EQ(Snapshot(tmp.path()), before);
}

TEST(UpdateMasterDate, SetsTheDateOfSymbolRecordsOnly) {
  TempDir tmp;
  // 0x5A, the spare byte of the sub-portfolio record, is also the symbol's file number.
  Build(tmp.path(),
        Portfolio({Symbol(0x5A, "ABC", test::Fields8(), WeekdayQuotes(kMonday, 2))}, {"SUB"}));
  Bytes old = ReadBytes(tmp / "MASTER");
  old.insert(old.end(), {9, 9, 9});
  test::WriteBytes(tmp / "MASTER", old);
  const auto date = DayToMbfDate(kFriday);
  ASSERT_EQ(UpdateMasterDate(Fs(), tmp / "MASTER", date, 0x5A, 0), 0);
  Bytes want(old.begin(), old.end() - 3);
  std::copy(date.begin(), date.end(), want.begin() + kMasterRecordSize + kMasterFirstDate);
  EXPECT_EQ(ReadBytes(tmp / "MASTER"), want);
  EXPECT_EQ(ReadBytes(tmp / "MASTER.BAK"), old);
  ASSERT_EQ(UpdateMasterDate(Fs(), tmp / "MASTER", date, 0x5A, 1), 0);
  std::copy(date.begin(), date.end(), want.begin() + kMasterRecordSize + kMasterLastDate);
  EXPECT_EQ(ReadBytes(tmp / "MASTER"), want);
  EXPECT_EQ(UpdateMasterDate(Fs(), tmp / "NOMASTER", date, 0x5A, 1), 1);
  ExpectNoTemporaries(tmp.path());
}

TEST(Findrec, AnswersTheQuoteOfTheDayOrTheNextLater) {
  TempDir tmp;
  std::vector<QuoteValues> quotes;
  for (int d : {15, 17, 19, 22, 24}) quotes.push_back({YmdToDay(98, 6, d), 0, 0, 0, 0, 1, 0, 0});
  Build(tmp.path(), Portfolio({Symbol(1, "ABC", test::Fields8(), quotes)}));
  struct Case {
    int dayOfJune;
    std::int32_t answer;
    int foundDayOfJune;
  };
  for (const Case c : {Case{19, 2, 19}, Case{24, 4, 24}, Case{15, 0, 15}, Case{20, 3, 22},
                       Case{1, 0, 15}, Case{25, kRecordNotFound, 24}}) {
    DayNumber found = 0;
    EXPECT_EQ(findrec(Fs(), tmp.path(), "ABC", YmdToDay(98, 6, c.dayOfJune), 0, &found, nullptr),
              c.answer)
        << c.dayOfJune;
    EXPECT_EQ(found, YmdToDay(98, 6, c.foundDayOfJune)) << c.dayOfJune;
  }
  EXPECT_EQ(findrec(Fs(), tmp.path(), "NONE", kMonday, 0, nullptr, nullptr), kFileNotFound);
}

}  // namespace
}  // namespace barvane
