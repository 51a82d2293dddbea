// The symbol commands and the date update on portfolios with EMASTER and XMASTER, the real
// vendor portfolio among them: every index file that holds the symbol changes with it, the
// three stay in step, and no other byte moves.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "data/file_names.h"
#include "data/index_files.h"
#include "data/rewrite.h"
#include "support/no_sync_fs.h"
#include "support/portfolio_builder.h"
#include "support/tool_view.h"
#include "tools/copy_symbol.h"
#include "tools/delete_symbol.h"
#include "tools/edit_symbol.h"

namespace barvane {
namespace {

using test::Daily;
using test::TempDir;
using Files = std::map<std::string, Bytes>;

class VendorCopy : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = test::CopyFixture("hsi-mini-futures", tmp_);
    if (dir_.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
    before_ = test::Snapshot(dir_);
  }
  std::set<std::string> ChangedFiles() const { return test::Changed(before_, test::Snapshot(dir_)); }

  TempDir tmp_;
  std::string dir_;
  Files before_;
};

TEST_F(VendorCopy, EditChangesTheIndexFilesThatHoldTheSymbolOnly) {
  test::ToolView tv(dir_);
  tv.Select("HSM__2022F");
  ASSERT_TRUE(EditSymbol(tv.view, {"HSM2022F", "Jan 22"}));
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "xmaster.bak"}));
  EXPECT_EQ(test::ReadBytes(dir_ + "xmaster.bak"), before_["xmaster"]);
  EXPECT_TRUE(test::IndexFilesInStep(dir_));
  test::ToolView again(dir_);
  again.Select("HSM2022F");
  EXPECT_EQ(again.view.m_symbolRows[static_cast<std::size_t>(again.view.m_selSymbolRow)].name, "Jan 22");
  EXPECT_EQ(again.view.m_quoteCount, 43);

  // A MASTER symbol's edit changes MASTER and EMASTER. The vendor's own backups held what the
  // files held: they are written again with those bytes.
  tv.Select("HSM__2000V");
  ASSERT_TRUE(EditSymbol(tv.view, {"HSI2000V", "Oct 2000"}));
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "xmaster.bak", "master", "emaster"}));
  EXPECT_EQ(test::ReadBytes(dir_ + "master.bak"), before_["master"]);
  EXPECT_EQ(test::ReadBytes(dir_ + "emaster.bak"), before_["emaster"]);
  EXPECT_TRUE(test::IndexFilesInStep(dir_));
  // EMASTER holds 14 symbol characters.
  tv.Select("HSM__2000X");
  EXPECT_FALSE(EditSymbol(tv.view, {"FIFTEEN_LETTERS", "x"}));
  EXPECT_EQ(tv.ui.messages.back(), "The symbol may hold at most 14 characters in this portfolio");
}

TEST_F(VendorCopy, DeleteTakesTheSymbolOutOfEveryIndexFileThatHoldsIt) {
  test::ToolView tv(dir_);
  tv.Select("HSM__2022F");
  ASSERT_TRUE(DeleteSymbol(tv.view));
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "F258.mwd"}));
  EXPECT_EQ(tv.view.m_symbolCount, 265);
  EXPECT_TRUE(test::IndexFilesInStep(dir_));

  tv.Select("HSM__2000X");
  ASSERT_TRUE(DeleteSymbol(tv.view));
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "F258.mwd", "master", "emaster", "F2.dat"}));
  const Bytes master = test::ReadBytes(dir_ + "master");
  // One record fewer; the highest number in use stays 255.
  EXPECT_EQ(Bytes(master.begin(), master.begin() + 4), (Bytes{254, 0, 255, 0}));
  EXPECT_EQ(Bytes(master.begin() + 4, master.begin() + 53), Bytes(before_["master"].begin() + 4, before_["master"].begin() + 53));
  EXPECT_TRUE(test::IndexFilesInStep(dir_));
}

TEST_F(VendorCopy, MoveIntoAFullMasterGoesToXmasterAndBackAndACopyOutKeepsTheFullNameAndFieldSet) {
  // A small three-index portfolio beside the vendor's.
  const std::string small = tmp_ / "SMALL/";
  test::Build(small, test::Extended(test::Portfolio({Daily(1, "ONE", 4)})));
  const Bytes quotes = test::ReadBytes(small + "F1.DAT");
  test::ToolView tv(small);
  tv.Select("ONE");
  ASSERT_TRUE(CopySymbol(tv.view, dir_, true));
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "F267.MWD"}));
  EXPECT_EQ(test::ReadBytes(dir_ + "F267.MWD"), quotes);
  const Bytes xm = test::ReadBytes(dir_ + "xmaster");
  EXPECT_EQ(xm.size(), 150u * 13);
  EXPECT_EQ(xm[18] | xm[19] << 8, 268);
  EXPECT_TRUE(test::IndexFilesInStep(dir_));
  EXPECT_TRUE(test::IndexFilesInStep(small));
  EXPECT_EQ(test::FileNames(small), (std::vector<std::string>{"EMASTER", "MASTER"}));

  // Back from XMASTER into the small portfolio's MASTER and EMASTER, quotes and all.
  test::ToolView vendor(dir_);
  vendor.Select("ONE");
  EXPECT_EQ(vendor.view.m_quoteCount, 4);
  ASSERT_TRUE(CopySymbol(vendor.view, small, true));
  EXPECT_EQ(test::ReadBytes(small + "F1.DAT"), quotes);
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster"}));
  EXPECT_TRUE(test::IndexFilesInStep(dir_));
  EXPECT_TRUE(test::IndexFilesInStep(small));
  test::ToolView back(small);
  back.Select("ONE");
  EXPECT_EQ(back.view.m_quoteCount, 4);

  // A copy out of XMASTER changes no more of the vendor's files.
  vendor.Select("HSM__2022F");
  ASSERT_TRUE(CopySymbol(vendor.view, small, false));
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster"}));
  EXPECT_EQ(test::ReadBytes(small + "F2.DAT"), before_["F258.mwd"]);
  EXPECT_TRUE(test::IndexFilesInStep(small));
  const Bytes em = test::ReadBytes(small + "EMASTER");
  ASSERT_EQ(em.size(), 192u * 3);
  EXPECT_EQ(em[192 * 2 + 7], 0x7F);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(em.data()) + 192 * 2 + 139), "Hang Seng Mini 202201");
}

TEST_F(VendorCopy, DeleteOfFirstOrLastQuoteMovesTheDatesOfEveryIndexFile) {
  QuoteChange change;
  change.op = QuoteOp::kDelete;
  change.fromDay = change.toDay = YmdToDay(2021, 11, 30);  // the first quote of HSM__2022F
  ASSERT_EQ(RewriteQuotes(FileSystem::Default(), change, dir_, "HSM__2022F"), kSuccess);
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "xmaster.bak", "F258.mwd", "F258.BAK"}));
  const Bytes xm = test::ReadBytes(dir_ + "xmaster");
  std::int32_t first = 0;
  std::memcpy(&first, xm.data() + 150 * 2 + 108, 4);
  EXPECT_EQ(first, 20211201);

  change.fromDay = change.toDay = YmdToDay(2000, 10, 30);  // the last quote of HSM__2000V
  ASSERT_EQ(RewriteQuotes(FileSystem::Default(), change, dir_, "HSM__2000V"), kSuccess);
  EXPECT_EQ(ChangedFiles(), (std::set<std::string>{"xmaster", "xmaster.bak", "F258.mwd", "F258.BAK", "master",
                                                   "emaster", "F1.dat", "F1.BAK"}));
  EXPECT_TRUE(test::IndexFilesInStep(dir_));
  test::ToolView tv(dir_);
  tv.Select("HSM__2000V");
  EXPECT_EQ(tv.view.m_lastDateText, "10/27/00");
}

TEST(ExtendedSymbols, AFullMasterWithEmasterTakesTheNextSymbolIntoANewXmaster) {
  TempDir root;
  std::vector<SymbolDescription> many;
  for (int n = 1; n <= 255; ++n) many.push_back(test::Symbol(n, "S" + std::to_string(n), test::Fields8(), {}));
  test::NoSyncFs noSync;
  ASSERT_TRUE(WritePortfolio(noSync, root / "FULL", test::Extended(test::Portfolio(many))));
  test::Build(root / "SRC", test::Portfolio({Daily(7, "ABC", 3, test::Fields20Prices(), true)}));
  test::ToolView tv(root / "SRC");
  tv.Select("ABC");
  ASSERT_TRUE(CopySymbol(tv.view, root / "FULL", false));
  EXPECT_TRUE(test::Exists(root / "FULL/F256.MWD"));
  EXPECT_TRUE(test::Exists(root / "FULL/F256.DOP"));
  EXPECT_TRUE(test::IndexFilesInStep(root / "FULL"));
  const Bytes xm = test::ReadBytes(root / "FULL/XMASTER");
  ASSERT_EQ(xm.size(), 300u);
  EXPECT_EQ(xm[150 + 70], 0x2F);  // DATE, OPEN, HIGH, LOW, CLOSE
}

TEST(ExtendedSymbols, BlankSymbolsAreRepairedInEveryIndexFile) {
  TempDir tmp;
  PortfolioDescription p = test::Extended(test::Portfolio({Daily(1, "", 2), Daily(300, "", 2)}));
  p.symbols[0].name = "FIRST";
  p.symbols[1].name = "LATER";
  test::Build(tmp.path(), p);
  test::ToolView tv(tmp.path());
  ASSERT_EQ(tv.view.m_symbolCount, 2);
  EXPECT_TRUE(test::IndexFilesInStep(tmp.path()));
  IndexFiles files;
  ASSERT_TRUE(ReadIndexFiles(FileSystem::Default(), tmp.path(), &files));
  EXPECT_TRUE(FindEntryByGridText(files, "FIRST"));
  EXPECT_TRUE(FindEntryByGridText(files, "LATER"));
  EXPECT_FALSE(test::Exists(tmp / "MASTER.bak"));
}

TEST_F(VendorCopy, BlankSymbolRepairKeepsTheVendorsLowerCaseBackup) {
  Bytes master = before_["master"];
  std::memset(master.data() + kMasterRecordSize + kMasterSymbol, ' ', 16);
  test::WriteBytes(dir_ + "master", master);
  test::ToolView tv(dir_);
  EXPECT_TRUE(tv.ui.messages.empty());
  EXPECT_EQ(test::ReadBytes(dir_ + "master.bak"), before_["master.bak"]);
  // Listed names, since on Windows "MASTER.bak" would open the vendor's "master.bak".
  for (const std::string& name : test::FileNames(dir_)) {
    EXPECT_TRUE(name != "MASTER.bak" && name != "MASTER.~NU") << name;
  }
  EXPECT_NE(test::ReadBytes(dir_ + "master"), master);
}

TEST(ExtendedSymbols, MasterAndEmasterThatDisagreeAreNotedOnceAndMasterFollowed) {
  TempDir tmp;
  test::Build(tmp.path(), test::Extended(test::Portfolio({Daily(1, "AAA", 2), Daily(2, "BBB", 2)})));
  Bytes em = test::ReadBytes(tmp / "EMASTER");
  em.resize(192 * 2);
  em[0] = 1;
  test::WriteBytes(tmp / "EMASTER", em);
  test::ToolView tv(tmp.path());
  EXPECT_EQ(tv.view.m_symbolCount, 2);
  EXPECT_TRUE(tv.ui.messages.empty());
  EXPECT_EQ(tv.ui.notices, std::vector<std::string>{"MASTER lists 2 symbols and EMASTER 1; the symbols of MASTER are shown"});
}

}  // namespace
}  // namespace barvane
