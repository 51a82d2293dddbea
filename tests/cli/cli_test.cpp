// barvane-cli end to end: words, outputs, messages and exit statuses of the read commands and
// the sample drive.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/cli_run.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// Wrong words for any command: the usage on standard error, status 2, and nothing written.
TEST(Cli, WrongWordsGiveUsageAndStatusTwoAndChangeNothing) {
  TempDir root;
  const std::string p = Built(root / "P", {Daily(1, "ABC", 3)}), file = root / "out.txt";
  const auto before = Snapshot(root.path());
  for (const Texts& words : std::initializer_list<Texts>{
           {}, {"symbols"}, {"quotes", p}, {"frobnicate", "x"}, {"split", p, "ABC", "06/16/98", "2"},
           {"delete-quote", p, "ABC"}, {"add-quote", p, "ABC", "06/15/98", "x"},
           {"new-quote", p, "ABC", "06/12/98", "1", "1", "1", "1", "1"}, {"delete-symbol", p},
           {"move-symbol", p, "ABC"}, {"export", p, "ABC", file, "--delim", "semicolon"},
           {"export", p, "ABC", file, "--omit", "date"}, {"export-all", p},
           {"export-all", p, root / "all", "--omit", "date"}, {"import", p, "ABC"},
           {"import", p, "ABC", file, "--name"}, {"import", p, "ABC", file, "--merge"}, {"history"},
           {"history", p, "b"}, {"undo"}, {"undo", p, "--fast"}, {"redo", p, "--force", "x"}, {"check"},
           {"check", p, "--mend"}}) {
    std::string line;
    for (const std::string& word : words) line += " " + word;
    SCOPED_TRACE(line);
    const CliRun run = Cli(words);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("usage: barvane-cli", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  for (const Texts& words : {Texts{"symbols", p, "--codepage", "utf-8"}, Texts{"symbols", p, "--codepage"}}) {
    const CliRun run = Cli(words);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("--codepage takes one of: windows-1250 windows-1251 ", 0), 0u) << run.err;
  }
  EXPECT_EQ(Snapshot(root.path()), before);
}

TEST(Cli, SampleDriveListsItsPortfoliosSymbolsAndQuotes) {
  TempDir dir;
  ASSERT_EQ(Cli({"sample", dir / "drive"}).status, 0);
  const CliRun symbols = Cli({"symbols", dir / "drive/Stocks"});
  ASSERT_EQ(symbols.status, 0) << symbols.err;
  EXPECT_EQ(Lines(symbols.out), (std::vector<std::string>{
                                    "ACME\tAcme Industries ", "BOLT\tBolt Energy     ",
                                    "CRUX\tCrux Minerals   ", "DYNA\tDyna Logistics  ",
                                    "ECHOPHARMA      \tECHOPHARMA      ", "TECH\tTECH       <DIR>"}));
  const CliRun quotes = Cli({"quotes", dir / "drive/Stocks", "acme"});
  ASSERT_EQ(quotes.status, 0) << quotes.err;
  const auto rows = Lines(quotes.out);
  ASSERT_EQ(rows.size(), 5000u);
  EXPECT_EQ(rows.back().substr(0, 9), "01/02/04\t");
  EXPECT_EQ(std::count(rows[0].begin(), rows[0].end(), '\t'), 6);

  // A symbol two levels down is found from the top portfolio.
  const CliRun hexa = Cli({"quotes", dir / "drive/Stocks", "HEXA"});
  EXPECT_EQ(hexa.status, 0);
  EXPECT_EQ(Lines(hexa.out).size(), 1800u);
  const CliRun intraday = Cli({"facts", dir / "drive/Futures", "ESZ6"});
  EXPECT_NE(intraday.out.find("Data format: I Intra-day\n"), std::string::npos);
  EXPECT_NE(intraday.out.find("Time: Whole Num.\tWhole Num.\n"), std::string::npos);
  // Several bars a day, each with its time; an index from 1928 with four-digit years.
  const auto bars = Lines(Cli({"quotes", dir / "drive/Futures", "ESZ6"}).out);
  ASSERT_EQ(bars.size(), 780u);
  EXPECT_EQ(bars[0].substr(0, 18), "11/13/26\t15:55:00\t");
  EXPECT_EQ(bars[1].substr(0, 18), "11/13/26\t15:50:00\t");
  const auto history = Lines(Cli({"quotes", dir / "drive/Indices", "XIN"}).out);
  ASSERT_EQ(history.size(), 25000u);
  EXPECT_EQ(history.back().substr(0, 11), "10/01/1928\t");
}

TEST(Cli, FactsPrintEveryLineOfTheDialog) {
  TempDir dir;
  auto symbol = test::Symbol(200, "FACT", test::Fields24(), test::WeekdayQuotes(YmdToDay(1999, 12, 30), 4), true);
  symbol.fields[1].inputCode = -5;
  symbol.fields[1].displayCode = 2;
  symbol.fields[5].displayCode = 1000;
  test::Build(dir.path(), test::Portfolio(symbol));
  const CliRun run = Cli({"facts", dir.path(), "FACT"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Path: " + dir.path() + "\n"
                     "File number: 200\n"
                     "DAT file record length: 24\n"
                     "DAT file number of fields: 6\n"
                     "Number of quotes: 4\n"
                     "Name of issue: FACT Ltd        \n"
                     "First date in file: 991230\n"
                     "Last date in file: 1000104\n"
                     "Data format: D Daily\n"
                     "Symbol: FACT            \n"
                     "Date: Whole Num.\tWhole Num.\n"
                     "Time: \t\n"
                     "Open: 32nds\t100ths\n"
                     "High: Whole Num.\tWhole Num.\n"
                     "Low: Whole Num.\tWhole Num.\n"
                     "Close: Whole Num.\tWhole Num.\n"
                     "Vol: Whole Num.\t1,000s\n"
                     "OI: \t\n");
}

TEST(Cli, FailuresGoToStandardErrorWithStatusOne) {
  TempDir dir;
  CliRun run = Cli({"symbols", dir / "none"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Failure while filling symbols grid\n");
  test::Build(dir.path(), test::Portfolio(test::Symbol(1, "ONE", test::Fields28(), {})));
  run = Cli({"quotes", dir.path(), "TWO"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Error in FillQuotesGrid\n");
  EXPECT_EQ(Cli({"facts", dir.path(), "TWO"}).status, 1);
}

TEST(Cli, NamesAreLatin1InFilesAndUtf8OnTheTerminal) {
  TempDir dir;
  auto symbol = test::Symbol(1, "CAFE", test::Fields8(), {});
  symbol.name = "Caf\xE9 Holdings";
  test::Build(dir.path(), test::Portfolio(symbol));
  EXPECT_EQ(Cli({"symbols", dir.path()}).out, "CAFE\tCaf\xC3\xA9 Holdings   \n");
  // The issue name is a key too, typed in UTF-8.
  EXPECT_EQ(Cli({"facts", dir.path(), "caf\xC3\xA9 holdings"}).status, 0);

  // Paths are the file system's own bytes: a UTF-8 directory name is found and printed as is.
  const std::string utf8Dir = dir / "Caf\xC3\xA9";
  test::Build(utf8Dir, test::Portfolio(test::Symbol(1, "ONE", test::Fields8(), {})));
  EXPECT_EQ(Cli({"symbols", utf8Dir}).out, "ONE\tONE Ltd         \n");
  const CliRun scan = Cli({"scan", dir.path()});
  EXPECT_NE(scan.out.find(utf8Dir + "\n"), std::string::npos) << scan.out;
  EXPECT_EQ(Cli({"symbols", utf8Dir + "/none"}).err, "Failure while filling symbols grid\n");
}

TEST(Cli, ScanListsPortfoliosInListOrderAndSaysWhenThereAreNone) {
  TempDir dir;
  for (const char* d : {"beta", "alpha", "Alpha", "Gamma/delta", "Gamma/MASTER"}) {
    std::filesystem::create_directories(dir / d);
    test::WriteBytes(dir / d + "/MASTER", {});
  }
  CliRun run = Cli({"scan", dir.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, dir / "Alpha\n" + dir / "alpha\n" + dir / "beta\n" + dir / "Gamma/delta\n" +
                         dir / "Gamma/MASTER\n");
  EXPECT_EQ(Cli({"scan", dir.path(), "--filter", dir / "ALPHA"}).out,
            dir / "Alpha\n" + dir / "alpha\n");
  run = Cli({"scan", dir / "Gamma/delta/"});
  EXPECT_EQ(run.out, dir / "Gamma/delta\n");
  run = Cli({"scan", dir / "beta", "--filter", "/nowhere"});
  EXPECT_EQ(run.out, dir / "beta\n");
  std::filesystem::create_directories(dir / "empty/.hidden");
  test::WriteBytes(dir / "empty/.hidden/MASTER", {});
  run = Cli({"scan", dir / "empty"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "No master files found on drive " + dir / "empty" +
                         "\n\n(Is your Portfolio Search Filter setting correct?)\n");
}

TEST(Cli, XmasterSymbolsListAndLoadLikeMasterSymbols) {
  TempDir tmp;
  const std::string dir = test::CopyFixture("hsi-mini-futures", tmp);
  if (dir.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  const CliRun symbols = Cli({"symbols", dir});
  ASSERT_EQ(symbols.status, 0) << symbols.err;
  const auto lines = Lines(symbols.out);
  ASSERT_EQ(lines.size(), 266u);
  EXPECT_EQ(lines.back(), "HSM__2023H\tHang Seng Mini 202303");
  EXPECT_EQ(symbols.err, "");
  const CliRun quotes = Cli({"quotes", dir, "HSM__2021X"});
  ASSERT_EQ(quotes.status, 0) << quotes.err;
  EXPECT_EQ(Lines(quotes.out).front(), "11/29/21\t24092.0000\t24156.0000\t23688.0000\t23905.0000\t29717\t5157");
  EXPECT_EQ(Lines(Cli({"facts", dir, "HSM__2021X"}).out)[1], "File number: 256");
}

TEST(Cli, MasterAndEmasterThatDisagreeAreNotedOnStandardError) {
  TempDir tmp;
  test::Build(tmp.path(), test::Extended(test::Portfolio(
                              {test::Symbol(1, "AAA", test::Fields8(), test::WeekdayQuotes(YmdToDay(99, 1, 4), 2))})));
  Bytes em = test::ReadBytes(tmp / "EMASTER");
  em[192 + 2] = 7;
  test::WriteBytes(tmp / "EMASTER", em);
  const CliRun run = Cli({"symbols", tmp.path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "AAA\tAAA Ltd         \n");
  EXPECT_EQ(run.err,
            "MASTER and EMASTER disagree on the file number of record 1 (1 and 7); the symbols of MASTER are "
            "shown\n");
}

}  // namespace
}  // namespace barvane
