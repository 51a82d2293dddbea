// Delete symbol: the MASTER bytes and the files left after each deletion, and the refusals.
#include "tools/delete_symbol.h"

#include <gtest/gtest.h>

#include "support/portfolio_builder.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::Daily;
using test::Exists;
using test::ReadBytes;
using test::TempDir;

Bytes RecordOf(const Bytes& master, int i) {
  return Bytes(master.begin() + 53 * i, master.begin() + 53 * (i + 1));
}

// F3 CCC, F1 AAA and F2 BBB in that file order, so grid rows and file positions differ.
void BuildThree(const TempDir& dir) {
  test::Build(dir.path(), test::Portfolio({Daily(3, "CCC", 3), Daily(1, "AAA", 2, test::Fields8()),
                                           Daily(2, "BBB", 4, test::Fields28(), true)}));
  test::WriteBytes(dir / "F2.BAK", {1, 2, 3});
}

TEST(DeleteSymbol, LeavesOutTheRecordAndDeletesItsThreeFiles) {
  TempDir dir;
  BuildThree(dir);
  const Bytes before = ReadBytes(dir / "MASTER");
  test::ToolView tv(dir.path());
  tv.Select("BBB");
  ASSERT_EQ(tv.view.m_selSymbolRow, 1);

  // Nothing changes when the index no longer holds the symbol or cannot be read.
  const auto untouched = test::Snapshot(dir.path());
  tv.view.m_symbolRows[1].symbol = "GONE";
  EXPECT_FALSE(DeleteSymbol(tv.view));
  EXPECT_EQ(test::Snapshot(dir.path()), untouched);
  EXPECT_EQ(tv.ui.messages, std::vector<std::string>{"The Symbol deletion failed.\n\nReason: Symbol GONE is no longer in\n" +
                                                     dir.path() + "MASTER\nNothing was changed."});
  Bytes damaged = before;
  damaged[0] = 4;  // announces a record the file does not hold
  test::WriteBytes(dir / "MASTER", damaged);
  tv.view.m_symbolRows[1].symbol = "BBB";
  EXPECT_FALSE(DeleteSymbol(tv.view));
  EXPECT_EQ(ReadBytes(dir / "MASTER"), damaged);
  EXPECT_EQ(tv.ui.messages.back(), "The Symbol deletion failed.\n\nReason: The MASTER file\n" +
                                       dir.path() + "MASTER\ncannot be read.");
  test::WriteBytes(dir / "MASTER", before);
  EXPECT_EQ(test::Snapshot(dir.path()), untouched);
  tv.ui.messages.clear();

  ASSERT_TRUE(DeleteSymbol(tv.view));
  EXPECT_EQ(tv.ui.done, std::vector<std::string>{"Symbol BBB deleted from " + tv.view.m_portfolioDir});
  Bytes expected(before.begin(), before.begin() + 53 * 3);  // BBB's record was the last
  expected[0] -= 1;
  expected[2] -= 1;
  auto files = untouched;
  files["MASTER"] = expected;
  for (const char* gone : {"F2.DAT", "F2.DOP", "F2.BAK"}) files.erase(gone);
  EXPECT_EQ(test::Snapshot(dir.path()), files);
  ASSERT_EQ(tv.view.m_symbolRows.size(), 2u);
  EXPECT_EQ(std::tie(tv.view.m_symbolRows[1].symbol, tv.view.m_selSymbolRow, tv.view.m_seriesSymbol),
            std::make_tuple("CCC", 0, "AAA"));
  EXPECT_TRUE(tv.ui.messages.empty());
}

TEST(DeleteSymbol, OfTheOnlySymbolLeavesAnEmptyIndex) {
  TempDir dir;
  test::Build(dir.path(), test::Portfolio(Daily(9, "ONLY", 2, test::Fields8())));
  const Bytes before = ReadBytes(dir / "MASTER");
  test::ToolView tv(dir.path());
  ASSERT_TRUE(DeleteSymbol(tv.view));
  Bytes header(before.begin(), before.begin() + 53);
  header[0] = 0;
  header[2] = 8;
  EXPECT_EQ(ReadBytes(dir / "MASTER"), header);
  EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"MASTER"});
  EXPECT_TRUE(tv.view.m_symbolRows.empty());
  EXPECT_EQ(tv.view.m_symbolCount, 0);
}

TEST(DeleteSymbol, OfDuplicateTextsRemovesOnlyTheFirstAndKeepsSharedFiles) {
  TempDir dir;
  // Two DUP records, the second sharing file number 1 with AAA: its files stay for AAA.
  test::Build(dir.path(), test::Portfolio({Daily(2, "DUP", 2, test::Fields8()), Daily(1, "DUP", 3, test::Fields8()),
                                           Daily(1, "AAA", 3, test::Fields8())}));
  const Bytes before = ReadBytes(dir / "MASTER");
  test::ToolView tv(dir.path());
  tv.Select("DUP");
  ASSERT_TRUE(DeleteSymbol(tv.view));
  const Bytes after = ReadBytes(dir / "MASTER");
  ASSERT_EQ(after.size(), 53u * 3);
  EXPECT_EQ(after[0], 2);
  EXPECT_EQ(RecordOf(after, 1), RecordOf(before, 2));
  EXPECT_EQ(RecordOf(after, 2), RecordOf(before, 3));
  EXPECT_FALSE(Exists(dir / "F2.DAT"));

  tv.Select("DUP");
  ASSERT_TRUE(DeleteSymbol(tv.view));
  EXPECT_EQ(ReadBytes(dir / "MASTER")[0], 1);
  EXPECT_TRUE(Exists(dir / "F1.DAT"));
}

}  // namespace
}  // namespace barvane
