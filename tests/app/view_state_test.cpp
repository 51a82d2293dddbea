// The main view's state without a window: the enabling table, the MASTER path, the failures
// of the symbol fill and the levels of the reset.
#include "app/view_state.h"

#include <gtest/gtest.h>

#include "support/faulty_fs.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/settings_place.h"
#include "support/single_drive_fs.h"

namespace barvane {
namespace {

using test::Build;
using test::Fields28;
using test::Symbol;
using test::WeekdayQuotes;

class ViewStateTest : public testing::Test {
 protected:
  test::TempDir drive;
  test::SingleDriveFs fs{drive.path()};
  SettingsStore settings{fs};
  test::RecordingUi ui;
  ViewState state{fs, settings, ui};
};

// The enabled commands of `state`, as one letter each in the order of kCommands.
constexpr CommandId kCommands[] = {kCmdEditQuote,  kCmdSplit,       kCmdAdjust,     kCmdDeleteQuote,
                                   kCmdAddQuote,   kCmdDataFacts,   kCmdDeleteSymbol, kCmdEditSymbol,
                                   kCmdSplitSearch, kCmdExport,     kCmdMoveSymbol, kCmdCopySymbol,
                                   kCmdSearchFilter, kCmdReScan};
std::string Enabled(const ViewState& state) {
  std::string marks;
  for (CommandId c : kCommands) marks += state.CommandEnabled(c) ? 'x' : '.';
  return marks;
}

TEST_F(ViewStateTest, EnablingFollowsPortfoliosGridsAndTheSplitSearchWindow) {
  // Five quote commands, facts, delete and edit symbol, split search, export, move, copy,
  // filter, rescan.
  EXPECT_EQ(Enabled(state), "............xx");
  state.m_portfoliosFound = true;
  state.m_portfolios = {"/p"};
  state.m_symbolRows = {SymbolRow{"A", "A Ltd"}};
  state.m_symbolCount = 1;
  EXPECT_EQ(Enabled(state), ".....xxx....xx");
  state.m_quotes.rows.resize(1);
  EXPECT_EQ(Enabled(state), "xxxxxxxxxx..xx");
  state.m_portfolios.push_back("/q");
  EXPECT_EQ(Enabled(state), "xxxxxxxxxxxxxx");
  state.m_splitSearchOpen = true;
  EXPECT_EQ(Enabled(state), "xxxxxxx..xxxxx");
  state.m_splitSearchOpen = false;
  state.m_symbolCount = 0;
  EXPECT_EQ(Enabled(state), "xxxxxxxxx.xxxx");
  // Move and Copy ask for two portfolios and a symbol, not for a finished scan.
  state.m_portfoliosFound = false;
  EXPECT_EQ(Enabled(state), "..........xxxx");
}

TEST_F(ViewStateTest, AFillFailsWithoutAMasterPathWhichGivesTheDirectoryAndItsCodePage) {
  state.FillSymbolGrid(0);
  EXPECT_EQ(ui.messages, std::vector<std::string>{kSymbolGridFailureText});
  EXPECT_EQ(ui.icons, std::vector<MessageIcon>{MessageIcon::kStop});
  EXPECT_EQ(state.SymbolPaneText(), "No Symbols Read");
  // A MASTER path gives the directory; a rejected one changes nothing.
  ASSERT_TRUE(state.SetMasterPath("/MASTER"));
  EXPECT_EQ(state.m_portfolioDir, "/");
  ASSERT_TRUE(state.SetMasterPath("C:/MASTER"));
#ifdef _WIN32
  EXPECT_EQ(state.m_portfolioDir, "C:/");  // the root of the drive, not "C:"
#else
  EXPECT_EQ(state.m_portfolioDir, "C:");
#endif
  ASSERT_TRUE(state.SetMasterPath("/data/Stocks/master"));
  EXPECT_EQ(state.m_portfolioDir, "/data/Stocks");
  EXPECT_EQ(state.m_masterPath, "/data/Stocks/master");
  for (const char* bad : {"", "/data/MASTERS", "/data/XMASTER", "/data/MASTER/", "/data/MASTER.BAK"}) {
    EXPECT_FALSE(state.SetMasterPath(bad)) << bad;
    EXPECT_EQ(state.m_portfolioDir + " " + state.m_masterPath, "/data/Stocks /data/Stocks/master");
  }
  ASSERT_TRUE(state.SetMasterPath("MASTER"));
  EXPECT_EQ(state.m_portfolioDir, "");
  EXPECT_TRUE(state.m_masterPathValid);

  // Each portfolio keeps its code page in the settings.
  test::SettingsPlace place;
  bool created = false;
  ASSERT_TRUE(settings.OpenRootKey(place.location(), &created));
  ASSERT_TRUE(state.SetMasterPath("/data/RU/MASTER"));
  EXPECT_EQ(state.m_codePage.name(), "windows-1252");
  state.SetCodePage(*CodePage::Named("windows-1251"));
  ASSERT_TRUE(state.SetMasterPath("/data/US/MASTER"));
  EXPECT_EQ(state.m_codePage.name(), "windows-1252");
  ASSERT_TRUE(state.SetMasterPath("/data/RU/master"));
  EXPECT_EQ(state.m_codePage.name(), "windows-1251");
  EXPECT_EQ(settings.ReadString("CodePage", "/data/RU", ""), "windows-1251");
  // A page the program does not offer reads as the default.
  ASSERT_TRUE(settings.WriteString("CodePage", "/data/US", "ebcdic"));
  ASSERT_TRUE(state.SetMasterPath("/data/US/MASTER"));
  EXPECT_EQ(state.m_codePage.name(), "windows-1252");
}

TEST_F(ViewStateTest, RepairThatCannotWriteLeavesTheMasterAndFails) {
  PortfolioDescription p = test::Portfolio(Symbol(1, "AAA", Fields28(), WeekdayQuotes(YmdToDay(2024, 1, 1), 3)));
  p.symbols.push_back(Symbol(2, "", Fields28(), {}));
  Build(drive.path() + "P", p);
  const auto before = test::Snapshot(drive.path());
  test::FaultyFs failing(1, test::FaultyFs::Mode::kFailOne);  // the repair's first write fails
  ViewState blocked(failing, settings, ui);
  ASSERT_TRUE(blocked.SetMasterPath(drive.path() + "P/MASTER"));
  blocked.FillSymbolGrid(0);
  EXPECT_EQ(ui.messages, std::vector<std::string>{kSymbolGridFailureText});
  EXPECT_TRUE(blocked.m_symbolRows.empty());
  EXPECT_EQ(blocked.m_symbolCount, 0);
  EXPECT_EQ(test::Snapshot(drive.path()), before);
}

TEST_F(ViewStateTest, EachResetLevelEmptiesItsPartAndEveryLowerOne) {
  Build(drive.path() + "P", test::Portfolio(Symbol(1, "AAA", Fields28(), WeekdayQuotes(YmdToDay(2024, 1, 1), 3))));
  Build(drive.path() + "Q", test::Portfolio(Symbol(1, "BBB", Fields28(), WeekdayQuotes(YmdToDay(2024, 1, 1), 4))));
  auto fill = [this] {
    state.ScanDrive();
    ASSERT_EQ(state.m_portfolios.size(), 2u);
    ASSERT_EQ(state.m_quoteCount, 3);
  };
  auto parts = [this] {
    return std::to_string(state.m_portfoliosFound) + std::to_string(state.m_portfolios.size()) +
           std::to_string(state.m_symbolRows.size()) + std::to_string(state.m_symbolCount) +
           std::to_string(state.m_quotes.rows.size()) + std::to_string(state.m_quoteCount);
  };
  state.m_drive = fs.drive();
  fill();
  EXPECT_EQ(parts(), "121133");
  for (auto [level, left] : {std::pair{4, "121100"}, std::pair{3, "120000"}, std::pair{2, "100000"},
                             std::pair{1, "000000"}}) {
    fill();
    state.ResetView(level);
    EXPECT_EQ(parts(), left) << level;
  }
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace barvane
