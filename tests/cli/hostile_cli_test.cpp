// barvane-cli on trees another user or a damaged disk prepared: planted links, FIFOs, huge
// sparse files and sub-portfolio links. Each command ends with a status and a message, and
// nothing outside the portfolio changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "app/symbol_list.h"
#include "editing/edit_quote.h"
#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;
const Bytes kVictim = {'k', 'e', 'e', 'p'};

// P holds ABC, Q holds XYZ, OUT/victim lies beside them.
class HostileCli : public CliTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(root_ / "OUT");
    WriteBytes(victim_, kVictim);
  }
  std::string p_ = Built("P/", {Daily(1, "ABC", 4)}), q_ = Built("Q/", {Daily(1, "XYZ", 2)});
  std::string victim_ = root_ / "OUT/victim";
  const Texts edit_ = {"edit", p_, "ABC", "06/15/98", "10", "12", "9", "11", "3", "4"};
};

TEST_F(HostileCli, LinkAtATemporaryNameIsNeverWrittenThrough) {
  const std::string editFailed = std::string(kEditQuoteFailedText) + "\n";
  const std::tuple<std::string, Texts, std::string> cases[] = {
      {q_ + "MASTER.~NU", {"move-symbol", p_, "ABC", q_},
       "The Symbol addition failed.\n\nReason: The portfolio files cannot be written.\nNothing was changed.\n"},
      {p_ + "F1.NEW", edit_, editFailed},
      {p_ + "F1.BAK.NEW", edit_, editFailed}};
  for (const auto& [link, words, err] : cases) {
    SCOPED_TRACE(link);
    std::filesystem::create_symlink(victim_, link);
    const auto before = Files();
    EXPECT_EQ(Cli(words), Failed(err));
    EXPECT_EQ(Files(), before);
    std::filesystem::remove(link);
  }
}

TEST_F(HostileCli, FifoAsMasterEndsTheCommandWithAMessage) {
  std::filesystem::remove(p_ + "MASTER");
  ASSERT_TRUE(MakeFifo(p_ + "MASTER"));
  EXPECT_EQ(Cli({"symbols", p_}), Failed(std::string(kSymbolGridFailureText) + "\n"));
  EXPECT_EQ(Cli(edit_).status, 1);
}

TEST_F(HostileCli, HugeSparseMasterEndsTheCommandWithAMessage) {
  std::filesystem::resize_file(p_ + "MASTER", std::uint64_t{64} << 30);
  EXPECT_EQ(Cli({"symbols", p_}), Failed(std::string(kSymbolGridFailureText) + "\n"));
  EXPECT_EQ(Cli({"delete-symbol", p_, "ABC"}).status, 1);
  EXPECT_EQ(std::filesystem::file_size(p_ + "MASTER"), std::uint64_t{64} << 30);
}

TEST_F(HostileCli, SubPortfolioLinkLeadingOutsideIsNotFollowed) {
  const std::string top = root_ / "TOP";
  Build(top, Portfolio({Daily(2, "OWN", 0)}, {"SUB"}));
  std::filesystem::create_directory_symlink(q_, top + "/SUB");
  const auto before = Files();
  EXPECT_EQ(Cli({"quotes", top, "XYZ"}).status, 1);
  EXPECT_EQ(Cli({"delete-quote", top, "XYZ", "06/15/98"}).status, 1);
  EXPECT_EQ(Cli({"move-symbol", top, "XYZ", p_}).status, 1);
  EXPECT_EQ(Files(), before);
}

}  // namespace
}  // namespace barvane
