// Portfolio locks: what two holders may share, what keeps one out and for how long, the order
// that keeps two commands from waiting on each other, and the portfolio left without a file.
#include "data/portfolio_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

using std::chrono::milliseconds;
using namespace test;

constexpr milliseconds kShortWait{50};

class PortfolioLockTest : public testing::Test {
 protected:
  void SetUp() override {
    Build(p_, Portfolio({Symbol(1, "TOP", Fields8(), {})}, {"SUB"}));
    Build(p_ + "SUB", Portfolio(Symbol(1, "ABC", Fields8(), {})));
    Build(q_, Portfolio(Symbol(1, "XYZ", Fields8(), {})));
  }
  TempDir tmp_;
  std::string p_ = tmp_ / "P/", q_ = tmp_ / "Q/";
};

TEST_F(PortfolioLockTest, ExclusiveLockKeepsOthersOutNamingThePortfolioAndSharedOnesGoTogether) {
  PortfolioLock first(Fs()), second(Fs());
  ASSERT_TRUE(first.Acquire({p_}, LockMode::kExclusive));
  for (LockMode mode : {LockMode::kExclusive, LockMode::kShared}) {
    EXPECT_FALSE(second.Acquire({q_, p_}, mode, kShortWait));
    EXPECT_EQ(second.failureText(), PortfolioBusyText(p_));
    EXPECT_EQ(second.failureText(), "The portfolio\n" + tmp_ / "P" +
                                        "\nis in use by another Barvane command. Nothing was "
                                        "done; try again when it has finished.");
  }
  // Refused, it holds nothing: Q is free.
  PortfolioLock third(Fs());
  EXPECT_TRUE(third.Acquire({q_}, LockMode::kExclusive, kShortWait));
  first.Release();
  third.Release();
  // Shared holders go together and keep an exclusive one out.
  ASSERT_TRUE(first.Acquire({p_}, LockMode::kShared));
  EXPECT_TRUE(third.Acquire({p_}, LockMode::kShared, kShortWait));
  EXPECT_FALSE(second.Acquire({p_}, LockMode::kExclusive, kShortWait));
  first.Release();
  third.Release();
  EXPECT_TRUE(second.Acquire({p_}, LockMode::kExclusive, kShortWait));
}

TEST_F(PortfolioLockTest, AWaitingCommandGoesOnWhenTheHolderFinishes) {
  auto holder = std::make_unique<PortfolioLock>(Fs());
  ASSERT_TRUE(holder->Acquire({p_}, LockMode::kExclusive));
  std::thread finisher([&] {
    std::this_thread::sleep_for(milliseconds(100));
    holder->Release();
  });
  PortfolioLock waiter(Fs());
  EXPECT_TRUE(waiter.Acquire({p_}, LockMode::kExclusive, milliseconds(5000)));
  finisher.join();
}

TEST_F(PortfolioLockTest, ManyPathsToOneDirectoryLockItOnce) {
  std::filesystem::create_directory_symlink(tmp_ / "P", tmp_ / "LINK");
  PortfolioLock lock(Fs());
  EXPECT_TRUE(lock.Acquire({p_, tmp_ / "P", tmp_ / "LINK", p_ + "SUB/..", ""},
                           LockMode::kExclusive, kShortWait));
}

TEST_F(PortfolioLockTest, MissingDirectoriesArePassedOverAndNoFileIsAdded) {
  const auto before = FileNames(p_);
  PortfolioLock lock(Fs());
  EXPECT_TRUE(lock.Acquire({tmp_ / "NONE", p_ + "MASTER", p_}, LockMode::kExclusive, kShortWait));
  EXPECT_EQ(FileNames(p_), before);
}

TEST_F(PortfolioLockTest, UnreadableDirectoryIsRefusedWithItsName) {
  if (IsSuperuser()) GTEST_SKIP() << "the superuser reads every directory";
  std::filesystem::permissions(q_, std::filesystem::perms::owner_write | std::filesystem::perms::owner_exec);
  PortfolioLock lock(Fs());
  EXPECT_FALSE(lock.Acquire({q_}, LockMode::kExclusive, kShortWait));
  EXPECT_EQ(lock.failureText(), PortfolioUnlockableText(q_));
  std::filesystem::permissions(q_, std::filesystem::perms::owner_all);
}

TEST_F(PortfolioLockTest, SymbolLockTakesTheSubPortfolioThatHoldsIt) {
  PortfolioLock command(Fs());
  ASSERT_TRUE(command.AcquireForSymbol(p_, "ABC", {q_}));
  for (const std::string& dir : {p_, p_ + "SUB", q_}) {
    PortfolioLock other(Fs());
    EXPECT_FALSE(other.Acquire({dir}, LockMode::kShared, kShortWait)) << dir;
  }
  command.Release();
  EXPECT_TRUE(command.AcquireForSymbol(p_, "MISSING", {}));
}

TEST_F(PortfolioLockTest, OppositeOrdersNeverWaitOnEachOther) {
  auto worker = [&](std::vector<std::string> dirs, int* acquired) {
    for (int i = 0; i < 200; ++i) {
      PortfolioLock lock(Fs());
      *acquired += lock.Acquire(dirs, LockMode::kExclusive, milliseconds(5000));
    }
  };
  int a = 0, b = 0;
  std::thread one(worker, std::vector<std::string>{p_, q_}, &a);
  std::thread two(worker, std::vector<std::string>{q_, p_}, &b);
  one.join();
  two.join();
  EXPECT_EQ(std::tuple(a, b), std::tuple(200, 200));
}

}  // namespace
}  // namespace barvane
