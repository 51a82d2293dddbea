// barvane-cli end to end for the portfolio tools: outputs, messages, exit statuses and the
// files each command leaves.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// P holds HALF (a 2 for 1 drop at its third quote), ONE (a single quote) and KEEP; Q holds X.
struct Drive {
  TempDir root;
  std::string p = root / "P", q = root / "Q";
  Drive() {
    auto half = test::WeekdayQuotes(kMonday, 4, 100);
    for (std::size_t i = 2; i < 4; ++i) {
      half[i].close = 50;
      half[i].high = 51;
      half[i].low = 49;
    }
    test::Build(p, test::Portfolio({test::Symbol(1, "HALF", test::Fields16(), half),
                                    test::Symbol(2, "ONE", test::Fields16(), test::WeekdayQuotes(kMonday, 1)),
                                    test::Symbol(3, "KEEP", test::Fields28(), test::WeekdayQuotes(kMonday, 2))}));
    test::Build(q, test::Portfolio(test::Symbol(1, "X", test::Fields8(), test::WeekdayQuotes(kMonday, 2))));
  }
};

TEST(ToolsCli, SplitSearchPrintsLinesAndTellsMessages) {
  Drive d;
  const CliRun run = Cli({"split-search", d.p});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "HALF possible 2 for 1 split on 06/17/98\n");
  EXPECT_EQ(run.err, "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.\n");
  EXPECT_EQ(Cli({"split-search", d.root / "none"}).status, 1);
}

TEST(ToolsCli, ExportWritesTheChoicesAndReplacesOnlyWithForce) {
  Drive d;
  const std::string file = d.root / "out.txt";
  CliRun run = Cli({"export", d.p, "KEEP", file, "--delim", "comma", "--omit", "open,vol", "--title", "--newest"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadText(file),
            "DATE,HIGH,LOW,CLOSE,OI\r\n06/16/98,10.7500,9.7500,10.2500,51.00\r\n"
            "06/15/98,10.5000,9.5000,10.0000,50.00\r\n");
  test::WriteBytes(file, {'o', 'l', 'd'});
  run = Cli({"export", d.p, "KEEP", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file + "\nThis file already exists\n\nReplace existing file?\n");
  EXPECT_EQ(test::ReadText(file), "old");
  run = Cli({"export", d.p, "KEEP", file, "--force"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(test::ReadText(file).substr(0, 10), "06/15/98 9");
  EXPECT_EQ(Cli({"export", d.p, "KEEP", d.root / "no/dir.txt"}).err, "file export error\n");
}

TEST(ToolsCli, SymbolCommandsChangeTheFilesAndRefuseWithMessages) {
  Drive d;
  CliRun run = Cli({"edit-symbol", d.p, "KEEP", "KE EP", "Name"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no blanks"), std::string::npos);
  run = Cli({"edit-symbol", d.p, "KEEP", "KEPT", "Caf\xC3\xA9"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadText(d.p + "/MASTER").substr(53 * 3 + 7, 16), "Caf\xE9            ");
  EXPECT_EQ(Cli({"symbols", d.p}).out, "HALF\tHALF Ltd        \nKEPT\tCaf\xC3\xA9            \nONE\tONE Ltd         \n");

  run = Cli({"move-symbol", d.p, "kept", d.q});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Cli({"symbols", d.q}).out, "KEPT\tCaf\xC3\xA9            \nX\tX Ltd           \n");
  EXPECT_TRUE(test::Exists(d.q + "/F2.DAT"));
  EXPECT_FALSE(test::Exists(d.p + "/F3.DAT"));
  run = Cli({"copy-symbol", d.p, "HALF", d.q});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(test::Exists(d.q + "/F3.DAT"));
  run = Cli({"copy-symbol", d.p, "HALF", d.q});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "The Symbol addition failed.\n\nReason: Symbol HALF already exists in\n" + d.q + "\n");

  run = Cli({"delete-symbol", d.p, "ONE"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Cli({"symbols", d.p}).out, "HALF\tHALF Ltd        \n");
  EXPECT_EQ(Cli({"delete-symbol", d.p, "ONE"}).status, 1);
}

TEST(ToolsCli, ExportAllWritesWhatExportWritesAndListsTheFiles) {
  Drive d;
  const std::string out = d.root / "all";
  CliRun run = Cli({"export-all", d.p, out, "--delim", "tab", "--title", "--newest"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"HALF\t" + out + "/HALF.txt",
                                                      "KEEP\t" + out + "/KEEP.txt",
                                                      "ONE\t" + out + "/ONE.txt"}));
  for (const std::string symbol : {"HALF", "KEEP", "ONE"}) {
    const std::string one = d.root / "one.txt";
    ASSERT_EQ(Cli({"export", d.p, symbol, one, "--delim", "tab", "--title", "--newest", "--force"}).status, 0);
    EXPECT_EQ(test::ReadText(out + "/" + symbol + ".txt"), test::ReadText(one)) << symbol;
  }
  run = Cli({"export-all", d.p, out});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("Replace existing files?"), std::string::npos);
  EXPECT_EQ(Cli({"export-all", d.p, out, "--force"}).status, 0);
  EXPECT_EQ(test::ReadText(out + "/ONE.txt"), "06/15/98 N/A 10.5000 9.5000 10.0000 N/A N/A\r\n");
}

TEST(ToolsCli, ImportMakesAPortfolioMergesAndRefusesABadLine) {
  Drive d;
  const std::string text = d.root / "keep.txt";
  ASSERT_EQ(Cli({"export", d.p, "KEEP", text, "--title"}).status, 0);
  const std::string fresh = d.root / "NEW/PORT";
  CliRun run = Cli({"import", fresh, "KEEP", text, "--name", "Keep Ltd"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Cli({"symbols", fresh}).out, "KEEP\tKeep Ltd        \n");
  EXPECT_EQ(Cli({"quotes", fresh, "KEEP"}).out, Cli({"quotes", d.p, "KEEP"}).out);
  EXPECT_EQ(Lines(Cli({"scan", d.root / "NEW"}).out), std::vector<std::string>{fresh});

  const std::string more = "Date,Close,Open,High,Low,Volume,OpenInt\n1998-06-17,12,11,13,10,5,6\n";
  test::WriteBytes(d.root / "more.txt", Bytes(more.begin(), more.end()));
  ASSERT_EQ(Cli({"import", fresh, "keep", d.root / "more.txt"}).status, 0);
  EXPECT_EQ(Lines(Cli({"quotes", fresh, "KEEP"}).out).front(),
            "06/17/98\t11.0000\t13.0000\t10.0000\t12.0000\t5\t6");

  const std::string bad = "06/18/98 1 2 3 4 5 6\n06/19/98 1 2 x 4 5 6\n";
  test::WriteBytes(d.root / "bad.txt", Bytes(bad.begin(), bad.end()));
  const auto before = test::Snapshot(d.root / "NEW");
  run = Cli({"import", fresh, "KEEP", d.root / "bad.txt", "--replace"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, d.root / "bad.txt\nLine 2: \"x\" is no number.\nNothing was imported.\n");
  EXPECT_EQ(test::Snapshot(d.root / "NEW"), before);
  EXPECT_EQ(Cli({"import", fresh, "KEEP", d.root / "none.txt"}).status, 1);
}

TEST(ToolsCli, ImportIntoAVendorsFullMasterJoinsXmasterAndChecksClean) {
  TempDir tmp;
  const std::string hsi = test::CopyFixture("hsi-mini-futures", tmp);
  if (hsi.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  const std::string text = "Date,Open,High,Low,Close,Volume,OpenInt\n"
                           "2023-12-04,16550,16700,16500,16650,1300,310\n"
                           "2023-12-01,16500,16600,16400,16550,1200,300\n";
  test::WriteBytes(tmp / "dec.txt", Bytes(text.begin(), text.end()));
  const auto vendor = test::Snapshot(hsi);
  const CliRun run = Cli({"import", hsi, "HSMNEW", tmp / "dec.txt", "--name", "HSM Dec 23"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "");
  // The import's own tests pin the quotes and the bytes; here the words, the check and the undo.
  EXPECT_EQ(Lines(Cli({"symbols", hsi}).out).back(), "HSMNEW\tHSM Dec 23");
  const CliRun check = Cli({"check", hsi});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "");
  // One change, undone whole.
  ASSERT_EQ(Cli({"undo", hsi}).status, 0);
  EXPECT_EQ(test::Snapshot(hsi), vendor);
}

}  // namespace
}  // namespace barvane
