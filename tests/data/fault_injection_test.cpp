// Quote rewrites and index date updates (MASTER alone, and with EMASTER and XMASTER) under an
// I/O failure, and a crash, at every step that changes the disk: a failure must leave every file
// of the portfolio, the user's previous backups included, with its old bytes and no temporary
// file behind; a crash must leave every file whole, old or new.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "data/file_names.h"
#include "data/rewrite.h"
#include "support/faulty_fs.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

using Files = std::map<std::string, Bytes>;  // name in the portfolio tree -> bytes

// Three five-minute bars on each of three days.
SymbolDescription Bars() {
  std::vector<QuoteValues> bars;
  for (DayNumber day = kMonday; day < kMonday + 3; ++day) {
    for (int m : {5, 10, 15}) bars.push_back({day, HmsToSeconds(9, m, 0), 4, 5, 3, 4, 100, 0});
  }
  auto symbol = Symbol(3, "BAR", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), bars);
  symbol.periodicity = 'I';
  return symbol;
}

// The portfolio every case starts from: a symbol in a sub-portfolio beside one at the top, and
// a series of bars; `extended`: the sub-portfolio holds EMASTER, and XYZ in XMASTER.
void BuildPortfolio(const std::string& dir, bool extended) {
  Build(dir, Portfolio({Symbol(2, "TOP", Fields8(), WeekdayQuotes(kMonday, 3)), Bars()}, {"SUB"}));
  PortfolioDescription sub = Portfolio({Symbol(1, "ABC", Fields28(), WeekdayQuotes(kMonday, 6))});
  if (extended) {
    sub.symbols.push_back(Symbol(300, "XYZ", Fields28(), WeekdayQuotes(kMonday, 6)));
    sub = test::Extended(sub);
  }
  Build(dir + "SUB", sub);
  // Every backup a command may replace already holds an earlier change's, with bytes no command
  // writes, which a failed command must not lose.
  std::vector<std::string> backups = {QuoteBackupName(2), QuoteBackupName(3), MasterBackupName(),
                                      "SUB/" + QuoteBackupName(1), "SUB/" + MasterBackupName()};
  if (extended) {
    for (const std::string& name : {QuoteBackupName(300), IndexBackupName(kEmasterName), IndexBackupName(kXmasterName)}) {
      backups.push_back("SUB/" + name);
    }
  }
  for (const std::string& name : backups) WriteBytes(dir + name, Bytes(name.begin(), name.end()));
}

bool Extended(const std::string& name) { return name.ends_with("X"); }

using Operation = std::function<Status(FileSystem&, const std::string& dir)>;

// A change of one quote of `symbol`: of `day`, or of its bar at `time`.
Operation QuoteRewrite(const std::string& symbol, QuoteOp op, DayNumber day, std::optional<DaySeconds> time = {}) {
  QuoteChange change{.fromDay = day, .toDay = day, .time = time, .op = op};
  if (op == QuoteOp::kSet) change.value = {1, 2, 3, 4, 5, 6};
  return [change, symbol](FileSystem& fs, const std::string& dir) { return RewriteQuotes(fs, change, dir, symbol); };
}

class FaultInjection : public testing::TestWithParam<const char*> {
 protected:
  static Operation OperationNamed(const std::string& name) {
    const DaySeconds middleBar = HmsToSeconds(9, 10, 0);  // of the middle day
    const std::map<std::string, Operation> operations = {
        {"Set", QuoteRewrite("ABC", QuoteOp::kSet, kMonday + 1)},
        {"DeleteNewest", QuoteRewrite("ABC", QuoteOp::kDelete, kMonday + 7)},  // quote 5 of 6
        {"DeleteNewestX", QuoteRewrite("ABC", QuoteOp::kDelete, kMonday + 7)},
        {"DeleteXmasterX", QuoteRewrite("XYZ", QuoteOp::kDelete, kMonday + 7)},
        {"SetBar", QuoteRewrite("BAR", QuoteOp::kSet, kMonday + 1, middleBar)},
        {"DeleteBar", QuoteRewrite("BAR", QuoteOp::kDelete, kMonday + 1, middleBar)},
        {"UpdateMasterDate", [](FileSystem& fs, const std::string& dir) {
           return UpdateMasterDate(fs, dir + "SUB/MASTER", DayToMbfDate(kMonday), 1, 1) == 0 ? kSuccess : kFileWrite;
         }}};
    return operations.at(name);
  }

  void SetUp() override {
    operation_ = OperationNamed(GetParam());
    extended_ = Extended(GetParam());
    BuildPortfolio(reference_.path(), extended_);
    old_ = Snapshot(reference_.path());
    ASSERT_EQ(operation_(FileSystem::Default(), reference_.path()), kSuccess);
    new_ = Snapshot(reference_.path());
    ASSERT_NE(new_, old_);
  }

  // Runs the operation with a fault at step 1, 2, ... until a run meets no fault, which must
  // then succeed; `check` judges what each faulty run left.
  void AtEveryStep(FaultyFs::Mode mode, const std::function<void(Status, const Files&)>& check) {
    test::AtEveryStep(mode, [&](FaultyFs& fs) {
      TempDir tmp;
      BuildPortfolio(tmp.path(), extended_);
      const Status status = operation_(fs, tmp.path());
      if (fs.faulted()) return check(status, Snapshot(tmp.path()));
      EXPECT_EQ(status, kSuccess);
      EXPECT_EQ(Snapshot(tmp.path()), new_);
      EXPECT_GE(fs.calls(), 4);  // the protocol has steps to fault at all
    });
  }

  TempDir reference_;
  Operation operation_;
  bool extended_ = false;
  Files old_, new_;
};

TEST_P(FaultInjection, AFailedStepLeavesOldBytesAndNoTemporaryFile) {
  AtEveryStep(FaultyFs::Mode::kFailOne, [&](Status status, const Files& after) {
    EXPECT_NE(status, kSuccess);
    // No file left over and none missing, each with its old bytes, backups included.
    EXPECT_EQ(after, old_);
  });
}

TEST_P(FaultInjection, ACrashLeavesEveryFileWholeOldOrNew) {
  AtEveryStep(FaultyFs::Mode::kCrash, [&](Status status, const Files& after) {
    EXPECT_NE(status, kSuccess);
    for (const auto& [name, bytes] : old_) {
      ASSERT_TRUE(after.count(name)) << name << " is gone";
      EXPECT_TRUE(after.at(name) == bytes || after.at(name) == new_.at(name)) << name << " is torn";
    }
    for (const auto& [name, bytes] : after) {
      if (old_.count(name) || name.ends_with(".NEW")) continue;
      EXPECT_TRUE(new_.count(name) && new_.at(name) == bytes) << name << " is torn";
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultInjection,
                         testing::Values("Set", "DeleteNewest", "UpdateMasterDate", "DeleteNewestX",
                                         "DeleteXmasterX", "SetBar", "DeleteBar"));

}  // namespace
}  // namespace barvane
