// barvane-cli end to end for the portfolio tools: outputs, messages, exit statuses and the
// files each command leaves.
#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;

// P holds HALF (a 2 for 1 drop at its third quote), ONE (a single quote) and KEEP; Q holds X.
class ToolsCli : public CliTest {
 protected:
  void SetUp() override {
    auto half = WeekdayQuotes(kMonday, 4, 100);
    for (std::size_t i = 2; i < 4; ++i) {
      half[i].close = 50;
      half[i].high = 51;
      half[i].low = 49;
    }
    Build(p_, Portfolio({Symbol(1, "HALF", Fields16(), half), Daily(2, "ONE", 1, Fields16()), Daily(3, "KEEP", 2)}));
  }
  std::string p_ = root_ / "P", q_ = Built("Q", {Daily(1, "X", 2, Fields8())});
};

TEST_F(ToolsCli, SplitSearchPrintsLinesAndTellsMessages) {
  EXPECT_EQ(Cli({"split-search", p_}),
            (CliRun{0, "HALF possible 2 for 1 split on 06/17/98\n",
                    "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.\n"}));
  EXPECT_EQ(Cli({"split-search", root_ / "none"}).status, 1);
}

TEST_F(ToolsCli, ExportWritesTheChoicesAndReplacesOnlyWithForce) {
  const std::string file = root_ / "out.txt";
  EXPECT_EQ(Cli({"export", p_, "KEEP", file, "--delim", "comma", "--omit", "open,vol", "--title", "--newest"}),
            Done());
  EXPECT_EQ(ReadText(file),
            "DATE,HIGH,LOW,CLOSE,OI\r\n06/16/98,10.7500,9.7500,10.2500,51.00\r\n"
            "06/15/98,10.5000,9.5000,10.0000,50.00\r\n");
  Text("out.txt", "old");
  EXPECT_EQ(Cli({"export", p_, "KEEP", file}), Failed(file + "\nThis file already exists\n\nReplace existing file?\n"));
  EXPECT_EQ(ReadText(file), "old");
  EXPECT_EQ(Cli({"export", p_, "KEEP", file, "--force"}), Done());
  EXPECT_EQ(ReadText(file).substr(0, 10), "06/15/98 9");
  EXPECT_EQ(Cli({"export", p_, "KEEP", root_ / "no/dir.txt"}), Failed("file export error\n"));
}

TEST_F(ToolsCli, SymbolCommandsChangeTheFilesAndRefuseWithMessages) {
  EXPECT_EQ(Cli({"edit-symbol", p_, "KEEP", "KE EP", "Name"}), Failed("The symbol may hold no blanks or control characters\n"));
  EXPECT_EQ(Cli({"edit-symbol", p_, "KEEP", "KEPT", "Caf\xC3\xA9"}), Done());
  EXPECT_EQ(ReadText(p_ + "/MASTER").substr(53 * 3 + 7, 16), "Caf\xE9            ");
  EXPECT_EQ(Cli({"symbols", p_}), Done("HALF\tHALF Ltd        \nKEPT\tCaf\xC3\xA9            \nONE\tONE Ltd         \n"));

  EXPECT_EQ(Cli({"move-symbol", p_, "kept", q_}), Done());
  EXPECT_EQ(Cli({"symbols", q_}), Done("KEPT\tCaf\xC3\xA9            \nX\tX Ltd           \n"));
  EXPECT_EQ(Cli({"copy-symbol", p_, "HALF", q_}), Done());
  EXPECT_EQ(Cli({"copy-symbol", p_, "HALF", q_}),
            Failed("The Symbol addition failed.\n\nReason: Symbol HALF already exists in\n" + q_ + "\n"));

  EXPECT_EQ(Cli({"delete-symbol", p_, "ONE"}), Done());
  EXPECT_EQ(Cli({"symbols", p_}), Done("HALF\tHALF Ltd        \n"));
  EXPECT_EQ(Cli({"delete-symbol", p_, "ONE"}).status, 1);
}

TEST_F(ToolsCli, ExportAllWritesTheChoicesAndListsTheFiles) {
  const std::string out = root_ / "all";
  EXPECT_EQ(Cli({"export-all", p_, out, "--delim", "tab", "--title", "--newest"}),
            Done("HALF\t" + out + "/HALF.txt\nKEEP\t" + out + "/KEEP.txt\nONE\t" + out + "/ONE.txt\n"));
  EXPECT_EQ(ReadText(out + "/KEEP.txt"), "DATE\tOPEN\tHIGH\tLOW\tCLOSE\tVOL\tOI\r\n"
                                         "06/16/98\t10.1250\t10.7500\t9.7500\t10.2500\t1001.00\t51.00\r\n"
                                         "06/15/98\t9.8750\t10.5000\t9.5000\t10.0000\t1000.00\t50.00\r\n");
  EXPECT_EQ(Cli({"export-all", p_, out}), Failed(out + "/HALF.txt\nThis file already exists\n\nReplace existing files?\n"));
  EXPECT_EQ(Cli({"export-all", p_, out, "--force"}).status, 0);
  EXPECT_EQ(ReadText(out + "/ONE.txt"), "06/15/98 N/A 10.5000 9.5000 10.0000 N/A N/A\r\n");
}

TEST_F(ToolsCli, ImportByTickerIsOneChangeAndTellsWhatItSkipped) {
  const std::string text = Text("two.txt", "<TICKER>,<DTYYYYMMDD>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>\n"
                                           "KEEP,19980622,1,2,0.5,1.5,20\nFRESH,19980622,5,6,4.5,5.5,-\n"
                                           "FRESH,19980623,null,null,null,null,null\nSource: a broker\n");
  const auto before = Snapshot(p_);
  EXPECT_EQ(Cli({"import", p_, "KEEP", text}).status, 1);
  EXPECT_EQ(Snapshot(p_), before);
  EXPECT_EQ(Cli({"import", p_, text, "--by-ticker"}),
            Done("ignored: <TICKER>\nskipped line 5 below the quotes: \"Source: a broker\"\n"
                 "skipped 1 row without prices: line 4\n"));
  EXPECT_NE(Cli({"symbols", p_}).out.find("FRESH\tFRESH"), std::string::npos);
  EXPECT_EQ(Cli({"import", p_, text, "--by-ticker", "--encoding", "klingon"}).status, 1);
  ASSERT_EQ(Cli({"undo", p_}).status, 0);
  EXPECT_EQ(Snapshot(p_), before);
}

TEST_F(ToolsCli, ImportMakesAPortfolioMergesAndRefusesABadLine) {
  const std::string text = root_ / "keep.txt", fresh = root_ / "NEW/PORT";
  ASSERT_EQ(Cli({"export", p_, "KEEP", text, "--title"}).status, 0);
  EXPECT_EQ(Cli({"import", fresh, "KEEP", text, "--name", "Keep Ltd"}), Done());
  EXPECT_EQ(Cli({"symbols", fresh}), Done("KEEP\tKeep Ltd        \n"));
  EXPECT_EQ(Cli({"quotes", fresh, "KEEP"}).out, Cli({"quotes", p_, "KEEP"}).out);

  Text("more.txt", "Date,Close,Open,High,Low,Volume,OpenInt\n1998-06-17,12,11,13,10,5,6\n");
  ASSERT_EQ(Cli({"import", fresh, "keep", root_ / "more.txt"}).status, 0);
  EXPECT_EQ(Lines(Cli({"quotes", fresh, "KEEP"}).out).front(), "06/17/98\t11.0000\t13.0000\t10.0000\t12.0000\t5\t6");

  const std::string bad = Text("bad.txt", "06/18/98 1 2 3 4 5 6\n06/19/98 1 2 x 4 5 6\n");
  const auto before = Snapshot(root_ / "NEW");
  EXPECT_EQ(Cli({"import", fresh, "KEEP", bad, "--replace"}),
            Failed(bad + "\nLine 2: \"x\" is no number.\nNothing was imported.\n"));
  EXPECT_EQ(Snapshot(root_ / "NEW"), before);
  EXPECT_EQ(Cli({"import", fresh, "KEEP", root_ / "none.txt"}).status, 1);
}

TEST_F(ToolsCli, ImportIntoAVendorsFullMasterIsOneChange) {
  const std::string hsi = CopyFixture("hsi-mini-futures", root_);
  if (hsi.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  const std::string text = Text("dec.txt", "Date,Open,High,Low,Close,Volume,OpenInt\n"
                                           "2023-12-04,16550,16700,16500,16650,1300,310\n"
                                           "2023-12-01,16500,16600,16400,16550,1200,300\n");
  const auto vendor = Snapshot(hsi);
  EXPECT_EQ(Cli({"import", hsi, "HSMNEW", text, "--name", "HSM Dec 23"}), Done());
  // The import's own tests pin the quotes, the bytes and a clean check; here the words and one
  // change, undone whole.
  ASSERT_EQ(Cli({"undo", hsi}).status, 0);
  EXPECT_EQ(Snapshot(hsi), vendor);
}

}  // namespace
}  // namespace barvane
