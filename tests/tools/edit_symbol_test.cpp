// Edit symbol: the record bytes written, the backup, the grid row, and every refusal.
#include "tools/edit_symbol.h"

#include <gtest/gtest.h>

#include "support/portfolio_builder.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::Daily;
using test::ReadBytes;
using test::TempDir;

// ZED first in the file, ALPHA second: grid row 0 is the file's second record.
void BuildTwo(const TempDir& dir) {
  test::Build(dir.path(),
              test::Portfolio({Daily(4, "ZED", 2, test::Fields8()), Daily(2, "ALPHA", 3, test::Fields28(), true)}));
}

std::string Field(const Bytes& master, int record, std::size_t at) {
  const auto begin = master.begin() + 53 * record + static_cast<long>(at);
  return std::string(begin, begin + 16);
}

TEST(EditSymbol, WritesBothTextsPaddedAndKeepsEveryOtherByte) {
  TempDir dir;
  BuildTwo(dir);
  const Bytes before = ReadBytes(dir / "MASTER");
  const auto quoteFiles = std::vector<Bytes>{ReadBytes(dir / "F2.DAT"), ReadBytes(dir / "F2.DOP")};
  test::ToolView tv(dir.path());
  tv.Select("ALPHA");
  const SymbolTexts start = EditSymbolStartTexts(tv.view);
  EXPECT_EQ(start.symbol + "|" + start.name, "ALPHA|ALPHA Ltd");  // the grid shows it with trailing blanks

  ASSERT_TRUE(EditSymbol(tv.view, {"BETA.X", "Beta \xE9tude"}));
  EXPECT_EQ(tv.ui.done, std::vector<std::string>{"Symbol ALPHA is now BETA.X, Beta \xE9tude"});
  Bytes expected = before;
  const std::string name = "Beta \xE9tude      ", symbol = "BETA.X          ";
  std::copy(name.begin(), name.end(), expected.begin() + 106 + 7);
  std::copy(symbol.begin(), symbol.end(), expected.begin() + 106 + 36);
  EXPECT_EQ(ReadBytes(dir / "MASTER"), expected);
  EXPECT_EQ(ReadBytes(dir / "MASTER.BAK"), before);
  EXPECT_EQ(test::FileNames(dir.path()),
            (std::vector<std::string>{"F2.DAT", "F2.DOP", "F4.DAT", "MASTER", "MASTER.BAK"}));
  EXPECT_EQ((std::vector<Bytes>{ReadBytes(dir / "F2.DAT"), ReadBytes(dir / "F2.DOP")}), quoteFiles);
  EXPECT_EQ((std::vector<std::string>{tv.view.m_symbolRows[0].symbol, tv.view.m_symbolRows[0].name,
                                      tv.view.m_seriesSymbol, tv.view.m_seriesName}),
            (std::vector<std::string>{"BETA.X", "Beta \xE9tude", "BETA.X", "Beta \xE9tude"}));
  EXPECT_TRUE(tv.ui.messages.empty());

  // Sixteen characters fill the field, an empty name is blanks, and the text of another symbol
  // is accepted.
  tv.Select("ZED");
  ASSERT_TRUE(EditSymbol(tv.view, {"ABCDEFGHIJKLMNOP", ""}));
  const Bytes after = ReadBytes(dir / "MASTER");
  EXPECT_EQ(Field(after, 1, 36), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(Field(after, 1, 7), std::string(16, ' '));
  EXPECT_EQ(after[53 + 52], 0xA4);  // the spare byte after the symbol field
  tv.Select("BETA.X");
  EXPECT_TRUE(EditSymbol(tv.view, {"ABCDEFGHIJKLMNOP", "Twin"}));
}

TEST(EditSymbol, RefusesTextsThatWouldNotReadBackAsTyped) {
  TempDir dir;
  BuildTwo(dir);
  test::ToolView tv(dir.path());
  const auto untouched = test::Snapshot(dir.path());
  const std::string badSymbol = "The symbol may hold no blanks or control characters";
  const std::vector<std::pair<SymbolTexts, std::string>> cases = {
      {{"", "Name"}, "You must enter a symbol"},
      {{"   ", "Name"}, badSymbol},
      {{"AB C", "Name"}, badSymbol},
      {{"ABC ", "Name"}, badSymbol},
      {{"AB\tC", "Name"}, badSymbol},
      {{"AB\x7F", "Name"}, badSymbol},
      {{"ABCDEFGHIJKLMNOPQ", "Name"}, "The symbol may hold at most 16 characters"},
      {{"ABC", "12345678901234567"}, "The name may hold at most 16 characters"},
      {{"ABC", "Bad\x01Name"}, "The name may not hold control characters"},
      {{"ABC", "Bad\x7FName"}, "The name may not hold control characters"},
  };
  for (const auto& [texts, message] : cases) {
    SCOPED_TRACE(texts.symbol + "/" + texts.name);
    tv.ui.messages.clear();
    EXPECT_FALSE(EditSymbol(tv.view, texts));
    EXPECT_EQ(tv.ui.messages, std::vector<std::string>{message});
  }
  EXPECT_EQ(test::Snapshot(dir.path()), untouched);
  EXPECT_EQ(tv.view.m_symbolRows[0].symbol, "ALPHA");
}

TEST(EditSymbol, ChangesOnlyTheFirstOfDuplicatesAndNothingWhenTheSymbolIsGone) {
  TempDir dir;
  test::Build(dir.path(), test::Portfolio({Daily(1, "DUP", 2, test::Fields8()), Daily(2, "DUP", 2, test::Fields8())}));
  const Bytes before = ReadBytes(dir / "MASTER");
  test::ToolView tv(dir.path());
  ASSERT_TRUE(EditSymbol(tv.view, {"ONE", "First"}));
  const Bytes after = ReadBytes(dir / "MASTER");
  EXPECT_EQ(Field(after, 1, 36), "ONE             ");
  EXPECT_EQ(Bytes(after.begin() + 106, after.end()), Bytes(before.begin() + 106, before.end()));

  tv.view.m_symbolRows[0].symbol = "GONE";
  const auto untouched = test::Snapshot(dir.path());
  EXPECT_FALSE(EditSymbol(tv.view, {"TWO", "Second"}));
  EXPECT_EQ(test::Snapshot(dir.path()), untouched);
  EXPECT_EQ(tv.ui.messages.back(), "The Symbol edit failed.\n\nReason: Symbol GONE is no longer in\n" +
                                       dir.path() + "MASTER\nNothing was changed.");
}

}  // namespace
}  // namespace barvane
