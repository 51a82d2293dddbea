// Quote file rewrites: the bytes each operation leaves, the MASTER dates a delete moves, the
// refusals that touch nothing, and the quote search that a delete relies on.
#include "data/rewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "data/master.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;
using Values = std::array<float, 6>;

const DayNumber kFriday = YmdToDay(98, 6, 12);

QuoteChange Change(QuoteOp op, DayNumber from, DayNumber to, Values values = {}) {
  return {.value = values, .fromDay = from, .toDay = to, .time = {}, .op = op};
}

// `q` with its six values replaced by `v` (kSet) or multiplied by it.
QuoteValues Applied(QuoteValues q, QuoteOp op, const Values& v) {
  float* fields[6] = {&q.open, &q.high, &q.low, &q.close, &q.volume, &q.openInterest};
  for (int k = 0; k < 6; ++k) *fields[k] = op == QuoteOp::kSet ? v[k] : *fields[k] * v[k];
  return q;
}

// A portfolio holding "OTHER" (file 2) and "ABC" (file 1), whose quotes the tests change.
class Rewrite : public testing::Test {
 protected:
  void Make(std::vector<FieldDescription> fields, int count = 5, const std::string& sub = "") {
    dir_ = root_ = tmp_.path() + sub;
    quotes_ = WeekdayQuotes(kMonday, count);
    portfolio_ = Portfolio({Symbol(2, "OTHER", Fields8(), WeekdayQuotes(kMonday, 2)),
                            Symbol(1, "ABC", fields, quotes_)});
    Build(dir_, portfolio_);
  }
  Status Run(QuoteOp op, DayNumber from, DayNumber to, Values v = {}) {
    oldQuotes_ = ReadBytes(dir_ + "F1.DAT");
    oldMaster_ = ReadBytes(dir_ + "MASTER");
    return RewriteQuotes(Fs(), Change(op, from, to, v), root_, "ABC");
  }
  // The quote file is what the builder writes for quotes_, its backup the old bytes; MASTER holds
  // their dates and its backup the old bytes when `masterMoved`, else it is untouched.
  void ExpectFiles(bool masterMoved = false) {
    PortfolioDescription p = portfolio_;
    p.symbols[1].quotes = quotes_;
    p.filler = 0x5A;
    EXPECT_EQ(ReadBytes(dir_ + "F1.DAT"), QuoteFileBytes(p.symbols[1]));
    EXPECT_EQ(ReadBytes(dir_ + "F1.BAK"), oldQuotes_);
    EXPECT_EQ(ReadBytes(dir_ + "MASTER"), masterMoved ? MasterFileBytes(p) : oldMaster_);
    EXPECT_EQ(Exists(dir_ + "MASTER.BAK") ? ReadBytes(dir_ + "MASTER.BAK") : Bytes{},
              masterMoved ? oldMaster_ : Bytes{});
    for (const auto& e : std::filesystem::recursive_directory_iterator(tmp_.path())) {
      EXPECT_NE(e.path().extension(), ".NEW") << e.path();
    }
  }

  TempDir tmp_;
  std::string dir_;   // where ABC's files are
  std::string root_;  // where the search for ABC starts
  std::vector<QuoteValues> quotes_;
  PortfolioDescription portfolio_;
  Bytes oldQuotes_, oldMaster_;
};

// Multiplying every quote by one leaves the file identical; a change of one quote changes only
// the fields the layout holds.
TEST_F(Rewrite, EachLayoutChangesOnlyTheFieldsItHolds) {
  const Values v{2, 3, 4, 5, 6, 7};
  int n = 0;
  for (const auto& fields :
       {Fields8(), Fields12(), Fields20Prices(), Fields20Volume(), Fields24(), Fields28()}) {
    for (QuoteOp op : {QuoteOp::kSet, QuoteOp::kMultiply}) {
      SCOPED_TRACE(testing::Message() << fields.size() * 4 << " bytes, op " << int(op));
      Make(fields, 5, std::to_string(++n) + "/");
      ASSERT_EQ(Run(QuoteOp::kMultiply, 0, 99999, {1, 1, 1, 1, 1, 1}), kSuccess);
      EXPECT_EQ(ReadBytes(dir_ + "F1.DAT"), oldQuotes_);
      ASSERT_EQ(Run(op, quotes_[2].day, quotes_[2].day, v), kSuccess);
      quotes_[2] = Applied(quotes_[2], op, v);
      ExpectFiles();
    }
  }
}

TEST_F(Rewrite, SplitScalesEveryQuoteBeforeTheSplitDayAndDropsATrailingPiece) {
  Make(Fields28(), 6);
  Bytes bytes = ReadBytes(dir_ + "F1.DAT");
  bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7});
  WriteBytes(dir_ + "F1.DAT", bytes);
  const Values m{0.5f, 0.5f, 0.5f, 0.5f, 2, 2};
  ASSERT_EQ(Run(QuoteOp::kMultiply, 0, quotes_[3].day - 1, m), kSuccess);
  for (int i = 0; i < 3; ++i) quotes_[i] = Applied(quotes_[i], QuoteOp::kMultiply, m);
  ExpectFiles();
}

TEST_F(Rewrite, BytesOutsideTheChangedFieldsAreCopiedAsTheyWere) {
  Make(Fields28(), 3);
  // Five fields named in seven: the last two of every record belong to no quantity.
  Bytes master = ReadBytes(dir_ + "MASTER");
  master[2 * kMasterRecordSize + kMasterFieldCount] = 5;
  WriteBytes(dir_ + "MASTER", master);
  const std::string dop = "\"DATE\"\n\"OPEN\"\n\"HIGH\"\n\"LOW\"\n\"CLOSE\"\n";
  WriteBytes(dir_ + "F1.DOP", Bytes(dop.begin(), dop.end()));
  const std::uint8_t oddZero[4] = {0x12, 0x34, 0x56, 0x00};  // a zero no writer would make
  Bytes bytes = ReadBytes(dir_ + "F1.DAT");
  std::copy(oddZero, oddZero + 4, bytes.begin() + 28 + 16);  // close of quote 0
  WriteBytes(dir_ + "F1.DAT", bytes);

  ASSERT_EQ(Run(QuoteOp::kSet, quotes_[1].day, quotes_[2].day, {1, 2, 3, 4, 5, 6}), kSuccess);
  for (int i : {1, 2}) {
    quotes_[i] = Applied(quotes_[i], QuoteOp::kSet,
                         {1, 2, 3, 4, quotes_[i].volume, quotes_[i].openInterest});
  }
  SymbolDescription s = portfolio_.symbols[1];
  s.quotes = quotes_;
  Bytes want = QuoteFileBytes(s);
  std::copy(oddZero, oddZero + 4, want.begin() + 28 + 16);
  EXPECT_EQ(ReadBytes(dir_ + "F1.DAT"), want);
}

// A new quote goes in date order and moves the index date it becomes; a copy inserted before
// Monday is Friday's and leaves MASTER alone.
TEST_F(Rewrite, NewQuoteGoesInDateOrderAndMovesTheIndexDateItBecomes) {
  const Values v{-2.5f, 3, -4, 1, 600, 0};  // negative prices are stored as they are
  struct Case {
    QuoteOp op;
    DayNumber day;
    std::size_t at;  // its place among the five quotes
    bool masterMoves;
  };
  const QuoteOp add = QuoteOp::kInsertNew, copy = QuoteOp::kInsertCopy;
  int n = 0;
  for (const Case& c : {Case{add, kFriday, 0, true}, Case{add, kMonday + 5, 5, true},
                        Case{add, kMonday + 3, 3, false}, Case{copy, kMonday, 0, false}}) {
    SCOPED_TRACE(n);
    Make(Fields28(), 5, std::to_string(++n) + "/");
    if (c.at == 3) {  // a gap in the middle: Thursday taken out first
      quotes_.erase(quotes_.begin() + 3);
      portfolio_.symbols[1].quotes = quotes_;
      Build(dir_, portfolio_);
    }
    ASSERT_EQ(Run(c.op, c.day, c.day, c.op == add ? v : Values{}), kSuccess);
    QuoteValues added = c.op == add ? QuoteValues{c.day, 0, v[0], v[1], v[2], v[3], v[4], v[5]} : quotes_[0];
    added.day = c.op == add ? c.day : kFriday;
    quotes_.insert(quotes_.begin() + static_cast<long>(c.at), added);
    ExpectFiles(c.masterMoves);
  }
}

// A delete moves the MASTER's last date when it takes the newest quote, its first date when it
// takes the oldest, and neither between. The top MASTER, which lists a symbol of the same file
// number, stays as it was.
TEST_F(Rewrite, DeleteMovesTheSubPortfoliosMasterDateOnlyForTheNewestOrOldest) {
  const std::tuple<std::size_t, std::vector<FieldDescription>, bool> cases[] = {
      {9, Fields28(), true}, {0, Fields12(), true}, {2, Fields8(), false}};
  for (const auto& [at, fields, masterMoves] : cases) {
    SCOPED_TRACE(at);
    const std::string top = tmp_ / std::to_string(at) + "/";
    Build(top, Portfolio({Symbol(1, "TOP", Fields8(), WeekdayQuotes(kMonday, 3))}, {"SUB"}));
    const Bytes topMaster = ReadBytes(top + "MASTER");
    Make(fields, 10, std::to_string(at) + "/SUB/");
    root_ = top;
    ASSERT_EQ(Run(QuoteOp::kDelete, quotes_[at].day, quotes_[at].day), kSuccess);
    quotes_.erase(quotes_.begin() + static_cast<long>(at));
    ExpectFiles(masterMoves);
    EXPECT_EQ(ReadBytes(top + "MASTER"), topMaster);
    EXPECT_FALSE(Exists(top + "MASTER.BAK"));
  }
}

TEST_F(Rewrite, DeleteOfADayWithoutAQuoteAndANewQuoteOfADayWithOneTouchNoFile) {
  Make(Fields28(), 10);
  const auto before = Snapshot(tmp_.path());
  for (DayNumber day : {quotes_[4].day + 1, kFriday, quotes_[9].day + 1}) {  // a Saturday,
    EXPECT_EQ(Run(QuoteOp::kDelete, day, day), kDayNotInFile);  // before the first, after the last
  }
  EXPECT_EQ(Run(QuoteOp::kInsertNew, quotes_[2].day, quotes_[2].day, {1, 1, 1, 1, 1, 1}), kDayInFile);
  EXPECT_EQ(Snapshot(tmp_.path()), before);
}

TEST(RewriteRefusals, LeaveEveryFileAsItWas) {
  TempDir tmp;
  Build(tmp.path(), Portfolio({Symbol(1, "ABC", Fields8(), WeekdayQuotes(0, 65534)),
                               Symbol(2, "WIDE", std::vector<FieldDescription>(9, {kDate, 0, 0}),
                                      WeekdayQuotes(kMonday, 1)),
                               Symbol(3, "GONE", Fields8(), WeekdayQuotes(kMonday, 1))}));
  std::filesystem::remove(tmp / "F3.DAT");
  const auto before = Snapshot(tmp.path());
  const QuoteChange insert = Change(QuoteOp::kInsertCopy, 0, 99999);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "NONE"), kFileNotFound);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "WIDE"), kNoUsableLayout);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "GONE"), kFileOpen);
  EXPECT_EQ(RewriteQuotes(Fs(), insert, tmp.path(), "ABC"), kFileWrite);  // R would pass 65535
  EXPECT_EQ(Snapshot(tmp.path()), before);
}

TEST(UpdateMasterDate, SetsTheDateOfSymbolRecordsOnlyAndDropsATrailingPiece) {
  TempDir tmp;
  // 0x5A, the spare byte of the sub-portfolio record, is also the symbol's file number.
  Build(tmp.path(),
        Portfolio({Symbol(0x5A, "ABC", Fields8(), WeekdayQuotes(kMonday, 2))}, {"SUB"}));
  Bytes old = ReadBytes(tmp / "MASTER");
  old.insert(old.end(), {9, 9, 9});
  WriteBytes(tmp / "MASTER", old);
  const auto date = DayToMbfDate(kFriday);
  ASSERT_EQ(UpdateMasterDate(Fs(), tmp / "MASTER", date, 0x5A, 1), 0);
  Bytes want(old.begin(), old.end() - 3);
  std::copy(date.begin(), date.end(), want.begin() + kMasterRecordSize + kMasterLastDate);
  EXPECT_EQ(ReadBytes(tmp / "MASTER"), want);
  EXPECT_EQ(ReadBytes(tmp / "MASTER.BAK"), old);
  EXPECT_EQ(UpdateMasterDate(Fs(), tmp / "NOMASTER", date, 0x5A, 1), 1);
}

TEST(Findrec, AnswersTheQuoteOfTheDayOrTheNextLater) {
  TempDir tmp;
  std::vector<QuoteValues> quotes;
  for (int d : {15, 17, 19, 22, 24}) quotes.push_back({YmdToDay(98, 6, d), 0, 0, 0, 0, 1, 0, 0});
  Build(tmp.path(), Portfolio({Symbol(1, "ABC", Fields8(), quotes)}));
  struct Case {
    int june, answer, foundJune;
  };
  for (const Case c : {Case{19, 2, 19}, Case{24, 4, 24}, Case{15, 0, 15}, Case{20, 3, 22},
                       Case{1, 0, 15}, Case{25, kRecordNotFound, 24}}) {
    DayNumber found = 0;
    EXPECT_EQ(findrec(Fs(), tmp.path(), "ABC", YmdToDay(98, 6, c.june), 0, &found, nullptr),
              c.answer)
        << c.june;
    EXPECT_EQ(found, YmdToDay(98, 6, c.foundJune)) << c.june;
  }
  EXPECT_EQ(findrec(Fs(), tmp.path(), "NONE", kMonday, 0, nullptr, nullptr), kFileNotFound);
}

}  // namespace
}  // namespace barvane
