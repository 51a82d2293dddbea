// barvane-cli end to end: words, outputs, messages and exit statuses of the read commands and
// the sample drive.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;
using ReadCli = CliTest;

// Wrong words for any command: the usage on standard error, status 2, and nothing written.
TEST_F(ReadCli, WrongWordsGiveUsageAndStatusTwoAndChangeNothing) {
  const std::string p = Built("P", {Daily(1, "ABC", 3)}), file = root_ / "out.txt";
  const auto before = Files();
  const std::string usage = "usage: barvane-cli", codepage = "--codepage takes one of: windows-1250 windows-1251 ";
  for (const Texts& words : std::initializer_list<Texts>{
           {}, {"symbols"}, {"quotes", p}, {"frobnicate", "x"}, {"split", p, "ABC", "06/16/98", "2"},
           {"delete-quote", p, "ABC"}, {"add-quote", p, "ABC", "06/15/98", "x"},
           {"new-quote", p, "ABC", "06/12/98", "1", "1", "1", "1", "1"}, {"delete-symbol", p},
           {"move-symbol", p, "ABC"}, {"export", p, "ABC", file, "--delim", "semicolon"},
           {"export", p, "ABC", file, "--omit", "date"}, {"export-all", p},
           {"export-all", p, root_ / "all", "--omit", "date"}, {"import", p, "ABC"},
           {"import", p, "ABC", file, "--name"}, {"import", p, "ABC", file, "--merge"}, {"history"},
           {"history", p, "b"}, {"undo"}, {"undo", p, "--fast"}, {"redo", p, "--force", "x"}, {"check"},
           {"check", p, "--mend"}, {"symbols", p, "--codepage", "utf-8"}, {"symbols", p, "--codepage"}}) {
    std::string line;
    for (const std::string& word : words) line += " " + word;
    SCOPED_TRACE(line);
    const CliRun run = Cli(words);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(line.find("--codepage") == std::string::npos ? usage : codepage, 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(Files(), before);
}

TEST_F(ReadCli, SampleDriveListsItsPortfoliosSymbolsAndQuotes) {
  const std::string drive = root_ / "drive/";
  ASSERT_EQ(Cli({"sample", drive}).status, 0);
  EXPECT_EQ(Cli({"symbols", drive + "Stocks"}),
            Done("ACME\tAcme Industries \nBOLT\tBolt Energy     \nCRUX\tCrux Minerals   \n"
                 "DYNA\tDyna Logistics  \nECHOPHARMA      \tECHOPHARMA      \nTECH\tTECH       <DIR>\n"));
  const auto rows = Lines(Cli({"quotes", drive + "Stocks", "acme"}).out);
  ASSERT_EQ(rows.size(), 5000u);
  EXPECT_EQ(rows.back().substr(0, 9), "01/02/04\t");
  EXPECT_EQ(std::count(rows[0].begin(), rows[0].end(), '\t'), 6);
  // A symbol two levels down is found from the top portfolio.
  EXPECT_EQ(Lines(Cli({"quotes", drive + "Stocks", "HEXA"}).out).size(), 1800u);
  const CliRun intraday = Cli({"facts", drive + "Futures", "ESZ6"});
  EXPECT_NE(intraday.out.find("Data format: I Intra-day\n"), std::string::npos);
  EXPECT_NE(intraday.out.find("Time: Whole Num.\tWhole Num.\n"), std::string::npos);
  // Several bars a day, each with its time; an index from 1928 with four-digit years.
  const auto bars = Lines(Cli({"quotes", drive + "Futures", "ESZ6"}).out);
  ASSERT_EQ(bars.size(), 780u);
  EXPECT_EQ(bars[0].substr(0, 18) + bars[1].substr(0, 18), "11/13/26\t15:55:00\t11/13/26\t15:50:00\t");
  const auto history = Lines(Cli({"quotes", drive + "Indices", "XIN"}).out);
  ASSERT_EQ(history.size(), 25000u);
  EXPECT_EQ(history.back().substr(0, 11), "10/01/1928\t");
}

TEST_F(ReadCli, FactsPrintEveryLineOfTheDialogAndFailuresGoToStandardError) {
  auto symbol = Symbol(200, "FACT", Fields24(), WeekdayQuotes(YmdToDay(1999, 12, 30), 4), true);
  symbol.fields[1].inputCode = -5, symbol.fields[1].displayCode = 2, symbol.fields[5].displayCode = 1000;
  Build(root_.path(), Portfolio(symbol));
  EXPECT_EQ(Cli({"facts", root_.path(), "FACT"}),
            Done("Path: " + root_.path() + "\nFile number: 200\nDAT file record length: 24\n"
                 "DAT file number of fields: 6\nNumber of quotes: 4\nName of issue: FACT Ltd        \n"
                 "First date in file: 991230\nLast date in file: 1000104\nData format: D Daily\n"
                 "Symbol: FACT            \nDate: Whole Num.\tWhole Num.\nTime: \t\nOpen: 32nds\t100ths\n"
                 "High: Whole Num.\tWhole Num.\nLow: Whole Num.\tWhole Num.\nClose: Whole Num.\tWhole Num.\n"
                 "Vol: Whole Num.\t1,000s\nOI: \t\n"));
  EXPECT_EQ(Cli({"symbols", root_ / "none"}), Failed("Failure while filling symbols grid\n"));
  EXPECT_EQ(Cli({"quotes", root_.path(), "TWO"}), Failed("Error in FillQuotesGrid\n"));
  EXPECT_EQ(Cli({"facts", root_.path(), "TWO"}).status, 1);
}

TEST_F(ReadCli, NamesAreLatin1InFilesAndUtf8OnTheTerminal) {
  auto symbol = Symbol(1, "CAFE", Fields8(), {});
  symbol.name = "Caf\xE9 Holdings";
  Build(root_.path(), Portfolio(symbol));
  EXPECT_EQ(Cli({"symbols", root_.path()}), Done("CAFE\tCaf\xC3\xA9 Holdings   \n"));
  // The issue name is a key too, typed in UTF-8.
  EXPECT_EQ(Cli({"facts", root_.path(), "caf\xC3\xA9 holdings"}).status, 0);

  // Paths are the file system's own bytes: a UTF-8 directory name is found and printed as is.
  const std::string utf8Dir = Built("Caf\xC3\xA9", {Daily(1, "ONE", 0, Fields8())});
  EXPECT_EQ(Cli({"symbols", utf8Dir}), Done("ONE\tONE Ltd         \n"));
  const CliRun scan = Cli({"scan", root_.path()});
  EXPECT_NE(scan.out.find(utf8Dir + "\n"), std::string::npos) << scan.out;
  EXPECT_EQ(Cli({"symbols", utf8Dir + "/none"}), Failed("Failure while filling symbols grid\n"));
}

TEST_F(ReadCli, ScanListsPortfoliosInListOrderAndSaysWhenThereAreNone) {
  const std::string dir = root_.path();
  for (const char* d : {"beta", "alpha", "Alpha", "Gamma/delta", "Gamma/MASTER", "empty/.hidden"}) {
    std::filesystem::create_directories(dir + d);
    WriteBytes(dir + d + "/MASTER", {});
  }
  const std::string empty = dir + "empty";  // holds only a dot name, which is never entered
  EXPECT_EQ(Cli({"scan", dir}), Done(dir + "Alpha\n" + dir + "alpha\n" + dir + "beta\n" + dir + "Gamma/delta\n" +
                                     dir + "Gamma/MASTER\n"));
  EXPECT_EQ(Cli({"scan", dir, "--filter", dir + "ALPHA"}).out, dir + "Alpha\n" + dir + "alpha\n");
  EXPECT_EQ(Cli({"scan", dir + "Gamma/delta/"}).out, dir + "Gamma/delta\n");
  EXPECT_EQ(Cli({"scan", dir + "beta", "--filter", "/nowhere"}).out, dir + "beta\n");
  EXPECT_EQ(Cli({"scan", empty}),
            (CliRun{0, "", "No master files found on drive " + empty +
                               "\n\n(Is your Portfolio Search Filter setting correct?)\n"}));
}

TEST_F(ReadCli, XmasterSymbolsListAndLoadLikeMasterSymbols) {
  const std::string dir = CopyFixture("hsi-mini-futures", root_);
  if (dir.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  const CliRun symbols = Cli({"symbols", dir});
  ASSERT_EQ(symbols.status, 0) << symbols.err;
  EXPECT_EQ(symbols.err, "");
  const auto lines = Lines(symbols.out);
  ASSERT_EQ(lines.size(), 266u);
  EXPECT_EQ(lines.back(), "HSM__2023H\tHang Seng Mini 202303");
  EXPECT_EQ(Lines(Cli({"quotes", dir, "HSM__2021X"}).out).front(),
            "11/29/21\t24092.0000\t24156.0000\t23688.0000\t23905.0000\t29717\t5157");
  EXPECT_EQ(Lines(Cli({"facts", dir, "HSM__2021X"}).out)[1], "File number: 256");
}

TEST_F(ReadCli, MasterAndEmasterThatDisagreeAreNotedOnStandardError) {
  Build(root_.path(), Extended(Portfolio({Daily(1, "AAA", 2, Fields8())})));
  Patch(root_ / "EMASTER", 192 + 2, {7});
  EXPECT_EQ(Cli({"symbols", root_.path()}),
            (CliRun{0, "AAA\tAAA Ltd         \n",
                    "MASTER and EMASTER disagree on the file number of record 1 (1 and 7); the symbols of MASTER "
                    "are shown\n"}));
}

}  // namespace
}  // namespace barvane
