// barvane-cli under a portfolio's code page: a Windows-1251 portfolio read, edited and copied
// with --codepage, to the byte in MASTER, EMASTER and XMASTER; refusals of what the page cannot
// hold; the same bytes read under the default page as they always were; every symbol usable as
// `symbols` prints it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/cli_run.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

std::string Field(const Bytes& bytes, std::size_t at, std::size_t size) {
  return std::string(bytes.begin() + static_cast<long>(at),
                     bytes.begin() + static_cast<long>(at + size));
}

// ЛУКОЙЛ "Сбербанк" in MASTER and EMASTER, ГАЗП "Газпром" numbered 300 in XMASTER, all in
// Windows-1251.
struct CyrillicPortfolio {
  TempDir root;
  std::string dir = root / "RU";
  CyrillicPortfolio() {
    auto lukoil = test::Symbol(1, "\xCB\xD3\xCA\xCE\xC9\xCB", test::Fields28(),
                               test::WeekdayQuotes(kMonday, 2));
    lukoil.name = "\xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA";
    auto gazprom =
        test::Symbol(300, "\xC3\xC0\xC7\xCF", test::Fields28(), test::WeekdayQuotes(kMonday, 2));
    gazprom.name = "\xC3\xE0\xE7\xEF\xF0\xEE\xEC";
    test::Build(dir, test::Extended(test::Portfolio({lukoil, gazprom})));
  }
};

TEST(CodePageCli, ReadsNamesAndSymbolsInThePortfoliosCodePage) {
  CyrillicPortfolio p;
  const CliRun run = Cli({"symbols", p.dir, "--codepage", "windows-1251"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.out), (Texts{"ГАЗП\tГазпром", "ЛУКОЙЛ\tСбербанк        "}));
  const CliRun facts = Cli({"--codepage", "windows-1251", "facts", p.dir, "ЛУКОЙЛ"});
  EXPECT_EQ(facts.status, 0) << facts.err;
  EXPECT_NE(facts.out.find("Name of issue: Сбербанк"), std::string::npos);
  EXPECT_EQ(Cli({"quotes", p.dir, "ГАЗП", "--codepage", "WINDOWS-1251"}).status, 0);

  // The default page reads the same bytes as the Latin letters they always showed.
  EXPECT_EQ(Lines(Cli({"symbols", p.dir}).out),
            (Texts{"ÃÀÇÏ\tÃàçïðîì", "ËÓÊÎÉË\tÑáåðáàíê        "}));
  EXPECT_EQ(Cli({"quotes", p.dir, "ËÓÊÎÉË"}).status, 0);
}

TEST(CodePageCli, EditsAndCopiesCyrillicTextsToTheByte) {
  CyrillicPortfolio p;
  const std::string cp[] = {"--codepage", "windows-1251"};
  // A name of twelve letters is twelve bytes in the page.
  const CliRun edit = Cli({"edit-symbol", p.dir, "ЛУКОЙЛ", "ЛКОХ", "Газпромнефть", cp[0], cp[1]});
  ASSERT_EQ(edit.status, 0) << edit.err;
  const Bytes master = test::ReadBytes(p.dir + "/MASTER");
  EXPECT_EQ(Field(master, 53 + 7, 16), "\xC3\xE0\xE7\xEF\xF0\xEE\xEC\xED\xE5\xF4\xF2\xFC    ");
  EXPECT_EQ(Field(master, 53 + 36, 16), "\xCB\xCA\xCE\xD5            ");
  const Bytes emaster = test::ReadBytes(p.dir + "/EMASTER");
  EXPECT_EQ(Field(emaster, 192 + 11, 14),
            std::string("\xCB\xCA\xCE\xD5", 4) + std::string(10, '\0'));
  EXPECT_EQ(Field(emaster, 192 + 32, 16),
            "\xC3\xE0\xE7\xEF\xF0\xEE\xEC\xED\xE5\xF4\xF2\xFC" + std::string(4, '\0'));

  ASSERT_EQ(Cli({"edit-symbol", p.dir, "ГАЗП", "ГАЗПРОМ", "Газпром", cp[0], cp[1]}).status, 0);
  const Bytes xmaster = test::ReadBytes(p.dir + "/XMASTER");
  EXPECT_EQ(Field(xmaster, 150 + 1, 14), "\xC3\xC0\xC7\xCF\xD0\xCE\xCC" + std::string(7, '\0'));

  TempDir other;
  test::Build(other.path(), test::Portfolio(test::Symbol(1, "X", test::Fields8(),
                                                         test::WeekdayQuotes(kMonday, 2))));
  ASSERT_EQ(Cli({"copy-symbol", p.dir, "ЛКОХ", other.path(), cp[0], cp[1]}).status, 0);
  const Bytes copied = test::ReadBytes(other / "MASTER");
  EXPECT_EQ(Field(copied, 2 * 53 + 7, 16), Field(master, 53 + 7, 16));
  EXPECT_EQ(Field(copied, 2 * 53 + 36, 16), Field(master, 53 + 36, 16));
  EXPECT_EQ(Lines(Cli({"symbols", other.path(), cp[0], cp[1]}).out),
            (Texts{"X\tX Ltd           ", "ЛКОХ\tГазпромнефть    "}));
}

TEST(CodePageCli, RefusesACharacterThePageCannotHoldAndAnUnknownPage) {
  CyrillicPortfolio p;
  const auto before = test::Snapshot(p.root.path());
  const CliRun latin =
      Cli({"edit-symbol", p.dir, "ЛУКОЙЛ", "MÜNCH", "Name", "--codepage", "windows-1251"});
  EXPECT_EQ(latin.status, 1);
  EXPECT_EQ(latin.err,
            "The symbol holds \"Ü\", a character that the code page windows-1251 has not\n");
  const CliRun name =
      Cli({"edit-symbol", p.dir, "ЛУКОЙЛ", "LKOH", "Ωmega", "--codepage", "windows-1251"});
  EXPECT_EQ(name.err,
            "The name holds \"Ω\", a character that the code page windows-1251 has not\n");
  const CliRun byDefault = Cli({"quotes", p.dir, "ГАЗП"});
  EXPECT_EQ(byDefault.status, 1);
  EXPECT_EQ(byDefault.err,
            "The symbol holds \"Г\", a character that the code page windows-1252 has not\n");
  EXPECT_EQ(test::Snapshot(p.root.path()), before);
}

// Whatever `symbols` prints names its symbol, and none of it holds a control byte: a symbol
// ends at its first blank or control byte, and one that such a byte leads shows its name, in
// MASTER, EMASTER and XMASTER alike. Reading never changes a byte of the files.
TEST(CodePageCli, EverySymbolLooksUpAsSymbolsPrintsItAndNoneShowsAControlByte) {
  TempDir dir;
  const std::pair<int, const char*> symbols[] = {{1, "M\xDCNCH"}, {2, ""},        {3, " LEAD"},   {4, "XY\x01Z"},
                                                 {5, "\x01" "BAD"}, {300, "NL\nX"}, {301, "\x01\x02\x7F"}};
  PortfolioDescription portfolio;
  for (const auto& [number, text] : symbols) {
    const int quotes = static_cast<int>(portfolio.symbols.size()) + 1;
    portfolio.symbols.push_back(test::Symbol(number, text, test::Fields28(), test::WeekdayQuotes(kMonday, quotes)));
  }
  portfolio.symbols[1].name = "Blank One";
  portfolio.symbols[6].name = "All Control";
  test::Build(dir.path(), test::Extended(portfolio));
  const auto before = test::Snapshot(dir.path());
  const Texts rows = Lines(Cli({"symbols", dir.path()}).out);
  ASSERT_EQ(rows, (Texts{" LEAD Ltd       \t LEAD Ltd       ", "?BAD Ltd        \t?BAD Ltd        ",
                         "All Control\tAll Control", "Blank One       \tBlank One       ",
                         "MÜNCH\tM\xC3\x9CNCH Ltd       ", "NL\tNL?X Ltd", "XY\tXY?Z Ltd        "}));
  const std::size_t expected[] = {3, 5, 7, 2, 1, 6, 4};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string symbol = rows[i].substr(0, rows[i].find('\t'));
    const CliRun quotes = Cli({"quotes", dir.path(), symbol});
    EXPECT_EQ(quotes.status, 0) << symbol << quotes.err;
    EXPECT_EQ(Lines(quotes.out).size(), expected[i]) << symbol;
  }
  const CliRun check = Cli({"check", dir.path()});
  for (const std::string& text : {check.out, check.err, Cli({"facts", dir.path(), "?BAD Ltd"}).out}) {
    EXPECT_EQ(std::count_if(text.begin(), text.end(), [](char c) { return (c >= 0 && c < 0x20 && c != '\t' && c != '\n') || c == 0x7F; }), 0) << text;
  }
  EXPECT_EQ(test::Snapshot(dir.path()), before);
  // The commands that pick a grid row take them too.
  const CliRun edit = Cli({"edit-symbol", dir.path(), "Blank One       ", "BLNK", "Blank One"});
  EXPECT_EQ(edit.status, 0) << edit.err;
  const CliRun removed = Cli({"delete-symbol", dir.path(), "?BAD Ltd        "});
  EXPECT_EQ(removed.status, 0) << removed.err;
  // Delete refills the grid, whose repair gives the blank symbols their names; a name's blank
  // ends its symbol as any blank does.
  EXPECT_EQ(Lines(Cli({"symbols", dir.path()}).out),
            (Texts{" LEAD Ltd       \t LEAD Ltd       ", "All\tAll Control", "BLNK\tBlank One       ",
                   "MÜNCH\tM\xC3\x9CNCH Ltd       ", "NL\tNL?X Ltd", "XY\tXY?Z Ltd        "}));
}

}  // namespace
}  // namespace barvane
