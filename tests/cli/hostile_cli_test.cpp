// barvane-cli on trees another user or a damaged disk prepared: planted links, FIFOs, huge
// sparse files and sub-portfolio links. Each command ends with a status and a message, and
// nothing outside the portfolio changes.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/symbol_list.h"
#include "editing/edit_quote.h"
#include "support/cli_run.h"
#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

using namespace test;
const Bytes kVictim = {'k', 'e', 'e', 'p'};

// P holds ABC, Q holds XYZ, OUT/victim lies beside them.
struct Tree {
  TempDir root;
  std::string p = root / "P/", q = root / "Q/", victim = root / "OUT/victim";
  Tree() {
    Built(p, {Daily(1, "ABC", 4)});
    Built(q, {Daily(1, "XYZ", 2)});
    std::filesystem::create_directory(root / "OUT");
    test::WriteBytes(victim, kVictim);
  }
};

TEST(HostileCli, LinkAtTheMasterSwapNameIsNeverWrittenThrough) {
  Tree t;
  std::filesystem::create_symlink(t.victim, t.q + "MASTER.~NU");
  const auto before = test::Snapshot(t.root.path());
  const CliRun run = Cli({"move-symbol", t.p, "ABC", t.q});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "The Symbol addition failed.\n\nReason: The portfolio files cannot be "
                     "written.\nNothing was changed.\n");
  EXPECT_EQ(test::Snapshot(t.root.path()), before);
  EXPECT_EQ(test::ReadBytes(t.victim), kVictim);
}

TEST(HostileCli, LinkAtTheQuoteTemporaryNameIsNeverWrittenThrough) {
  Tree t;
  for (const char* name : {"F1.NEW", "F1.BAK.NEW"}) {
    std::filesystem::create_symlink(t.victim, t.p + name);
    const auto before = test::Snapshot(t.root.path());
    const CliRun run = Cli({"edit", t.p, "ABC", "06/15/98", "10", "12", "9", "11", "3", "4"});
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_EQ(run.err, std::string(kEditQuoteFailedText) + "\n") << name;
    EXPECT_EQ(test::Snapshot(t.root.path()), before) << name;
    std::filesystem::remove(t.p + name);
  }
}

TEST(HostileCli, FifoAsMasterEndsTheCommandWithAMessage) {
  Tree t;
  std::filesystem::remove(t.p + "MASTER");
  ASSERT_TRUE(test::MakeFifo(t.p + "MASTER"));
  const CliRun run = Cli({"symbols", t.p});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, std::string(kSymbolGridFailureText) + "\n");
  EXPECT_EQ(Cli({"edit", t.p, "ABC", "06/15/98", "10", "12", "9", "11", "3", "4"}).status, 1);
}

TEST(HostileCli, HugeSparseMasterEndsTheCommandWithAMessage) {
  Tree t;
  std::filesystem::resize_file(t.p + "MASTER", std::uint64_t{64} << 30);
  const CliRun run = Cli({"symbols", t.p});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, std::string(kSymbolGridFailureText) + "\n");
  EXPECT_EQ(Cli({"delete-symbol", t.p, "ABC"}).status, 1);
  EXPECT_EQ(std::filesystem::file_size(t.p + "MASTER"), std::uint64_t{64} << 30);
}

TEST(HostileCli, SubPortfolioLinkLeadingOutsideIsNotFollowed) {
  Tree t;
  test::Build(t.root / "TOP", test::Portfolio({test::Symbol(2, "OWN", test::Fields28(), {})}, {"SUB"}));
  std::filesystem::create_directory_symlink(t.q, t.root / "TOP/SUB");
  const auto before = test::Snapshot(t.root.path());
  EXPECT_EQ(Cli({"quotes", t.root / "TOP", "XYZ"}).status, 1);
  EXPECT_EQ(Cli({"delete-quote", t.root / "TOP", "XYZ", "06/15/98"}).status, 1);
  EXPECT_EQ(Cli({"move-symbol", t.root / "TOP", "XYZ", t.p}).status, 1);
  EXPECT_EQ(test::Snapshot(t.root.path()), before);
}

}  // namespace
}  // namespace barvane
