// barvane-cli under a portfolio's code page: a Windows-1251 portfolio read, edited and copied
// with --codepage, to the byte in MASTER, EMASTER and XMASTER; refusals of what the page cannot
// hold; the same bytes read under the default page as they always were; every symbol usable as
// `symbols` prints it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;

std::string Field(const std::string& path, std::size_t at, std::size_t size) {
  return ReadText(path).substr(at, size);
}

// ЛУКОЙЛ "Сбербанк" in MASTER and EMASTER, ГАЗП "Газпром" numbered 300 in XMASTER, all in
// Windows-1251.
class CodePageCli : public CliTest {
 protected:
  void SetUp() override {
    auto lukoil = Daily(1, "\xCB\xD3\xCA\xCE\xC9\xCB", 2);
    lukoil.name = "\xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA";
    auto gazprom = Daily(300, "\xC3\xC0\xC7\xCF", 2);
    gazprom.name = "\xC3\xE0\xE7\xEF\xF0\xEE\xEC";
    Build(dir_, Extended(Portfolio({lukoil, gazprom})));
  }
  std::string dir_ = root_ / "RU";
};

TEST_F(CodePageCli, ReadsNamesAndSymbolsInThePortfoliosCodePageAndRefusesWhatItCannotHold) {
  EXPECT_EQ(Cli({"symbols", dir_, "--codepage", "windows-1251"}), Done("ГАЗП\tГазпром\nЛУКОЙЛ\tСбербанк        \n"));
  const CliRun facts = Cli({"--codepage", "windows-1251", "facts", dir_, "ЛУКОЙЛ"});
  EXPECT_EQ(facts.status, 0) << facts.err;
  EXPECT_NE(facts.out.find("Name of issue: Сбербанк"), std::string::npos);
  EXPECT_EQ(Cli({"quotes", dir_, "ГАЗП", "--codepage", "WINDOWS-1251"}).status, 0);

  // The default page reads the same bytes as the Latin letters they always showed.
  EXPECT_EQ(Cli({"symbols", dir_}), Done("ÃÀÇÏ\tÃàçïðîì\nËÓÊÎÉË\tÑáåðáàíê        \n"));
  EXPECT_EQ(Cli({"quotes", dir_, "ËÓÊÎÉË"}).status, 0);

  // What a page cannot hold is refused, and nothing changes.
  const auto before = Files();
  EXPECT_EQ(Cli({"edit-symbol", dir_, "ЛУКОЙЛ", "MÜNCH", "Name", "--codepage", "windows-1251"}),
            Failed("The symbol holds \"Ü\", a character that the code page windows-1251 has not\n"));
  EXPECT_EQ(Cli({"edit-symbol", dir_, "ЛУКОЙЛ", "LKOH", "Ωmega", "--codepage", "windows-1251"}),
            Failed("The name holds \"Ω\", a character that the code page windows-1251 has not\n"));
  EXPECT_EQ(Cli({"quotes", dir_, "ГАЗП"}),
            Failed("The symbol holds \"Г\", a character that the code page windows-1252 has not\n"));
  EXPECT_EQ(Files(), before);
}

TEST_F(CodePageCli, EditsAndCopiesCyrillicTextsToTheByte) {
  const std::string cp[] = {"--codepage", "windows-1251"};
  // A name of twelve letters is twelve bytes in the page.
  EXPECT_EQ(Cli({"edit-symbol", dir_, "ЛУКОЙЛ", "ЛКОХ", "Газпромнефть", cp[0], cp[1]}), Done());
  const std::string master = dir_ + "/MASTER", emaster = dir_ + "/EMASTER";
  EXPECT_EQ(Field(master, 53 + 7, 16), "\xC3\xE0\xE7\xEF\xF0\xEE\xEC\xED\xE5\xF4\xF2\xFC    ");
  EXPECT_EQ(Field(master, 53 + 36, 16), "\xCB\xCA\xCE\xD5            ");
  EXPECT_EQ(Field(emaster, 192 + 11, 14), std::string("\xCB\xCA\xCE\xD5", 4) + std::string(10, '\0'));
  EXPECT_EQ(Field(emaster, 192 + 32, 16), "\xC3\xE0\xE7\xEF\xF0\xEE\xEC\xED\xE5\xF4\xF2\xFC" + std::string(4, '\0'));

  EXPECT_EQ(Cli({"edit-symbol", dir_, "ГАЗП", "ГАЗПРОМ", "Газпром", cp[0], cp[1]}), Done());
  EXPECT_EQ(Field(dir_ + "/XMASTER", 150 + 1, 14), "\xC3\xC0\xC7\xCF\xD0\xCE\xCC" + std::string(7, '\0'));

  const std::string other = Built("X", {Daily(1, "X", 2, Fields8())});
  EXPECT_EQ(Cli({"copy-symbol", dir_, "ЛКОХ", other, cp[0], cp[1]}), Done());
  EXPECT_EQ(Field(other + "/MASTER", 2 * 53 + 7, 16), Field(master, 53 + 7, 16));
  EXPECT_EQ(Field(other + "/MASTER", 2 * 53 + 36, 16), Field(master, 53 + 36, 16));
  EXPECT_EQ(Cli({"symbols", other, cp[0], cp[1]}), Done("X\tX Ltd           \nЛКОХ\tГазпромнефть    \n"));
}

// Whatever `symbols` prints names its symbol, and none of it holds a control byte: a symbol
// ends at its first blank or control byte, and one that such a byte leads shows its name, in
// MASTER, EMASTER and XMASTER alike. Reading never changes a byte of the files.
TEST_F(CodePageCli, EverySymbolLooksUpAsSymbolsPrintsItAndNoneShowsAControlByte) {
  const std::pair<int, const char*> symbols[] = {{1, "M\xDCNCH"}, {2, ""},        {3, " LEAD"},   {4, "XY\x01Z"},
                                                 {5, "\x01" "BAD"}, {300, "NL\nX"}, {301, "\x01\x02\x7F"}};
  std::vector<SymbolDescription> described;
  for (const auto& [number, text] : symbols) {
    described.push_back(Daily(number, text, static_cast<int>(described.size()) + 1));
  }
  described[1].name = "Blank One", described[6].name = "All Control";
  const std::string dir = root_ / "P";
  Build(dir, Extended(Portfolio(described)));
  const auto before = Files();
  const Texts rows = Lines(Cli({"symbols", dir}).out);
  ASSERT_EQ(rows, (Texts{" LEAD Ltd       \t LEAD Ltd       ", "?BAD Ltd        \t?BAD Ltd        ",
                         "All Control\tAll Control", "Blank One       \tBlank One       ",
                         "MÜNCH\tM\xC3\x9CNCH Ltd       ", "NL\tNL?X Ltd", "XY\tXY?Z Ltd        "}));
  const std::size_t expected[] = {3, 5, 7, 2, 1, 6, 4};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string symbol = rows[i].substr(0, rows[i].find('\t'));
    const CliRun quotes = Cli({"quotes", dir, symbol});
    EXPECT_EQ(quotes.status, 0) << symbol << quotes.err;
    EXPECT_EQ(Lines(quotes.out).size(), expected[i]) << symbol;
  }
  const CliRun check = Cli({"check", dir});
  for (const std::string& text : {check.out, check.err, Cli({"facts", dir, "?BAD Ltd"}).out}) {
    EXPECT_EQ(std::count_if(text.begin(), text.end(), [](char c) { return (c >= 0 && c < 0x20 && c != '\t' && c != '\n') || c == 0x7F; }), 0) << text;
  }
  EXPECT_EQ(Files(), before);
  // The commands that pick a grid row take them too.
  EXPECT_EQ(Cli({"edit-symbol", dir, "Blank One       ", "BLNK", "Blank One"}), Done());
  EXPECT_EQ(Cli({"delete-symbol", dir, "?BAD Ltd        "}), Done());
  // Delete refills the grid, whose repair gives the blank symbols their names; a name's blank
  // ends its symbol as any blank does.
  EXPECT_EQ(Cli({"symbols", dir}),
            Done(" LEAD Ltd       \t LEAD Ltd       \nAll\tAll Control\nBLNK\tBlank One       \n"
                 "MÜNCH\tM\xC3\x9CNCH Ltd       \nNL\tNL?X Ltd\nXY\tXY?Z Ltd        \n"));
}

}  // namespace
}  // namespace barvane
