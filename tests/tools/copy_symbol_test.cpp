// Copy and Move symbol: file numbers, MASTER bytes of both portfolios, the quote files under
// their new numbers, and the refusals that leave both portfolios as they were.
#include "tools/copy_symbol.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/no_sync_fs.h"
#include "support/portfolio_builder.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::Exists;
using test::NoSyncFs;
using test::ReadBytes;
using test::TempDir;

SymbolDescription Sym(int n, const std::string& text, bool dop = false) {
  return test::Daily(n, text, n + 1, dop ? test::Fields28() : test::Fields8(), dop);
}

Bytes RecordOf(const Bytes& master, int i) {
  return Bytes(master.begin() + 53 * i, master.begin() + 53 * (i + 1));
}

// SRC holds ABC (number 7, with F7.DOP and F7.BAK) and KEEP; DEST uses numbers 1, 2 and 4.
struct TwoPortfolios {
  TempDir root;
  std::string src = root / "SRC/", dest = root / "DEST/";
  TwoPortfolios() {
    test::Build(src, test::Portfolio({Sym(3, "KEEP"), Sym(7, "ABC", true)}));
    test::WriteBytes(src + "F7.BAK", {7, 7, 7});
    test::Build(dest, test::Portfolio({Sym(1, "ONE"), Sym(4, "FOUR"), Sym(2, "TWO")}));
  }
};

TEST(CopySymbol, TakesTheLowestFreeNumberAndAppendsTheRecord) {
  TwoPortfolios p;
  const auto srcBefore = test::Snapshot(p.src);
  const Bytes destBefore = ReadBytes(p.dest + "MASTER");
  test::ToolView tv(p.src);
  tv.Select("ABC");
  ASSERT_TRUE(CopySymbol(tv.view, p.dest, false));
  EXPECT_EQ(tv.ui.done, std::vector<std::string>{"Symbol ABC copied to " +
                                                 p.dest.substr(0, p.dest.size() - 1)});

  Bytes expected = destBefore, record = RecordOf(ReadBytes(p.src + "MASTER"), 2);
  expected[0] += 1, expected[2] += 1;
  record[0] = 3;
  expected.insert(expected.end(), record.begin(), record.end());
  EXPECT_EQ(ReadBytes(p.dest + "MASTER"), expected);
  EXPECT_EQ(ReadBytes(p.dest + "F3.DAT"), ReadBytes(p.src + "F7.DAT"));
  EXPECT_EQ(ReadBytes(p.dest + "F3.DOP"), ReadBytes(p.src + "F7.DOP"));
  EXPECT_FALSE(Exists(p.dest + "F3.BAK"));
  EXPECT_EQ(test::Snapshot(p.src), srcBefore);
  EXPECT_EQ(tv.view.m_seriesSymbol, "ABC");  // a copy does not refill the grid
  EXPECT_TRUE(tv.ui.messages.empty());
  // The choices of destination leave out the current portfolio.
  tv.view.m_portfolios = {"/b", "/A", "/c"};
  tv.view.m_selPortfolio = 1;
  EXPECT_EQ(DestinationChoices(tv.view), (std::vector<std::string>{"/b", "/c"}));
}

TEST(CopySymbol, SkipsNumbersThatFilesOfTheDestinationCarryAndStartsAtOne) {
  TwoPortfolios p;
  test::WriteBytes(p.dest + "f3.dat", {1});  // no record names it, yet it is someone's data
  test::WriteBytes(p.dest + "F5.BAK", {2});
  test::ToolView tv(p.src);
  tv.view.m_seriesSymbol = " abc ";  // looked up upper-cased and trimmed, whatever its case
  ASSERT_TRUE(CopySymbol(tv.view, p.dest, false));
  EXPECT_EQ(RecordOf(ReadBytes(p.dest + "MASTER"), 4)[0], 6);
  EXPECT_EQ(ReadBytes(p.dest + "f3.dat"), Bytes{1});
  EXPECT_EQ(ReadBytes(p.dest + "F6.DAT"), ReadBytes(p.src + "F7.DAT"));

  // Into an empty portfolio: number one.
  test::Build(p.root / "EMPTY", PortfolioDescription{});
  tv.Select("KEEP");
  ASSERT_TRUE(CopySymbol(tv.view, p.root / "EMPTY", false));
  const Bytes after = ReadBytes(p.root / "EMPTY/MASTER");
  ASSERT_EQ(after.size(), 106u);
  EXPECT_EQ((Bytes{after[0], after[53]}), (Bytes{1, 1}));
  EXPECT_EQ(test::FileNames(p.root / "EMPTY"), (std::vector<std::string>{"F1.DAT", "MASTER"}));
}

TEST(MoveSymbol, TakesExactlyItsRecordAndFilesOutOfTheSourceDirectoryAlone) {
  TwoPortfolios p;
  const Bytes srcMaster = ReadBytes(p.src + "MASTER");
  const Bytes dat = ReadBytes(p.src + "F7.DAT"), dop = ReadBytes(p.src + "F7.DOP");
  test::ToolView tv(p.src);
  tv.Select("ABC");
  ASSERT_TRUE(CopySymbol(tv.view, p.dest, true));
  EXPECT_EQ(tv.ui.done, std::vector<std::string>{"Symbol ABC moved to " + p.dest.substr(0, p.dest.size() - 1)});

  Bytes expected(srcMaster.begin(), srcMaster.begin() + 106);
  expected[0] -= 1, expected[2] -= 1;
  EXPECT_EQ(ReadBytes(p.src + "MASTER"), expected);
  EXPECT_EQ(test::FileNames(p.src), (std::vector<std::string>{"F3.DAT", "MASTER"}));
  EXPECT_EQ(ReadBytes(p.dest + "F3.DAT"), dat);
  EXPECT_EQ(ReadBytes(p.dest + "F3.DOP"), dop);
  EXPECT_EQ(test::FileNames(p.dest),
            (std::vector<std::string>{"F1.DAT", "F2.DAT", "F3.DAT", "F3.DOP", "F4.DAT", "MASTER"}));
  ASSERT_EQ(tv.view.m_symbolRows.size(), 1u);  // refilled, first row current
  EXPECT_EQ(tv.view.m_seriesSymbol, "KEEP");

  // From a sub-portfolio: that directory changes, its parent does not.
  test::Build(p.root / "TOP", test::Portfolio({Sym(1, "TOPONE")}, {"SUB"}));
  test::Build(p.root / "TOP/SUB", test::Portfolio({Sym(1, "DEEP")}));
  const Bytes topDat = ReadBytes(p.root / "TOP/F1.DAT"), topMaster = ReadBytes(p.root / "TOP/MASTER");
  const Bytes deepDat = ReadBytes(p.root / "TOP/SUB/F1.DAT");
  test::ToolView top(p.root / "TOP");
  top.view.m_seriesSymbol = "DEEP";
  ASSERT_TRUE(CopySymbol(top.view, p.dest, true));
  EXPECT_EQ(ReadBytes(p.root / "TOP/F1.DAT"), topDat);
  EXPECT_EQ(ReadBytes(p.root / "TOP/MASTER"), topMaster);
  EXPECT_EQ(test::FileNames(p.root / "TOP/SUB"), std::vector<std::string>{"MASTER"});
  EXPECT_EQ(ReadBytes(p.root / "TOP/SUB/MASTER")[0], 0);
  EXPECT_EQ(ReadBytes(p.dest + "F5.DAT"), deepDat);
}

TEST(CopySymbol, RefusalsChangeNothingAnywhere) {
  TwoPortfolios p;
  test::Build(p.root / "HAS", test::Portfolio({Sym(1, "X")}, {"IN"}));
  test::Build(p.root / "HAS/IN", test::Portfolio({Sym(5, "abc")}));
  std::filesystem::create_directories(p.root / "NOMASTER/x");
  Bytes full = ReadBytes(p.dest + "MASTER");
  full[2] = 255;  // the second header number at the limit
  test::Build(p.root / "FULL", PortfolioDescription{});
  test::WriteBytes(p.root / "FULL/MASTER", full);
  const auto before = test::Snapshot(p.root.path());
  test::ToolView tv(p.src);
  struct Case { std::string symbol, destination, message; };
  const std::vector<Case> cases = {
      {"ABC", p.root / "HAS", "The Symbol addition failed.\n\nReason: Symbol ABC already exists in\n" + p.root / "HAS"},
      {"ABC", p.src, "The Symbol addition failed.\n\nReason: Symbol ABC already exists in\n" + p.root / "SRC"},
      {"ABC", p.root / "FULL", kPortfolioFullText},
      {"ABC", p.root / "NOMASTER", "The Symbol addition failed.\n\nReason: The MASTER file of\n" +
                                       p.root / "NOMASTER\ncannot be read."},
      {"NONE", p.dest, "The Symbol addition failed.\n\nReason: Symbol NONE was not found in\n" + p.root / "SRC"},
      {"ABC", "", ""},
  };
  for (const Case& c : cases) {
    for (bool move : {false, true}) {
      SCOPED_TRACE(c.destination + (move ? " move" : " copy"));
      tv.ui.messages.clear();
      tv.view.m_seriesSymbol = c.symbol;
      EXPECT_FALSE(CopySymbol(tv.view, c.destination, move));
      EXPECT_EQ(tv.ui.messages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
      EXPECT_EQ(test::Snapshot(p.root.path()), before);
    }
  }
}

TEST(CopySymbol, TheTwoHundredFiftyFifthSymbolFitsAndTheNextDoesNot) {
  TwoPortfolios p;
  std::vector<SymbolDescription> many;
  for (int n = 1; n <= 254; ++n) many.push_back(test::Symbol(n, "S" + std::to_string(n), test::Fields8(), {}));
  // Written without flushes: 255 flushed files would take seconds.
  NoSyncFs noSync;
  ASSERT_TRUE(WritePortfolio(noSync, p.root / "BIG", test::Portfolio(many)));
  test::ToolView tv(p.src);
  tv.view.m_seriesSymbol = "ABC";
  ASSERT_TRUE(CopySymbol(tv.view, p.root / "BIG", false));
  const Bytes after = ReadBytes(p.root / "BIG/MASTER");
  EXPECT_EQ(after[0], 255);
  EXPECT_EQ(after[53 * 255], 255);
  const auto before = test::Snapshot(p.root / "BIG");
  tv.view.m_seriesSymbol = "KEEP";
  EXPECT_FALSE(CopySymbol(tv.view, p.root / "BIG", false));
  EXPECT_EQ(tv.ui.messages, std::vector<std::string>{kPortfolioFullText});
  EXPECT_EQ(test::Snapshot(p.root / "BIG"), before);
}

}  // namespace
}  // namespace barvane
