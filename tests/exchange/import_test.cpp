// Import: round trips through every export layout into a new portfolio, merges with and
// without replacing, new symbols beside MASTER and EMASTER and into XMASTER, refusals that
// write nothing, and every write step under an I/O failure and a crash.
#include "exchange/import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "app/portfolio_walk.h"
#include "data/file_names.h"
#include "data/mbf.h"
#include "data/portfolio_lock.h"
#include "data/quote_series.h"
#include "exchange/export.h"
#include "support/faulty_fs.h"
#include "support/portfolio_builder.h"
#include "support/check_lines.h"
#include "support/recording_ui.h"
#include "support/tool_view.h"
#include "tools/copy_symbol.h"

namespace barvane {
namespace {

using test::Changed;
using test::CheckLines;
using test::FaultyFs;
using test::kMonday;
using test::NonZeroRuns;
using test::Snapshot;
using test::TempDir;
using Files = std::map<std::string, Bytes>;
using Texts = std::vector<std::string>;
using Row = std::vector<double>;
using Rows = std::vector<Row>;

ImportedText TextOf(const std::string& text) {
  ImportedText quotes;
  std::string error;
  EXPECT_TRUE(ReadImportText(text, {}, &quotes, &error)) << error;
  return quotes;
}

// Imports `text` into `symbol` of `dir`; without a symbol, each ticker into its own.
bool Import(FileSystem& fs, const std::string& dir, const std::string& symbol,
            const std::string& text, bool replace = false, ImportPlanSummary* summary = nullptr) {
  test::RecordingUi ui;
  ImportPlanSummary ownSummary;
  ImportRequest request{dir, symbol, "", replace};
  request.byTicker = symbol.empty();
  return ImportQuotes(fs, ui, request, TextOf(text), summary ? summary : &ownSummary);
}

// The messages of an import that must refuse.
Texts RefusalOf(const ImportRequest& request, const std::string& text) {
  test::RecordingUi ui;
  ImportPlanSummary summary;
  EXPECT_FALSE(ImportQuotes(FileSystem::Default(), ui, request, TextOf(text), &summary));
  return ui.messages;
}

// The plan's counts: new portfolio, new symbol, file number, days added, replaced and kept.
auto Counts(const ImportPlanSummary& s) {
  return std::make_tuple(s.newPortfolio, s.newSymbol, s.fileNumber, s.added, s.replaced, s.kept);
}

// Every quote of `symbol` as its date, its time when `withTimes`, and its seven values, read
// back through the quote reader.
Rows Quotes(const std::string& dir, const std::string& symbol, bool withTimes = false) {
  QuoteSeries s;
  EXPECT_EQ(AllocSeries(&s, 1000), kSuccess);
  Rows rows;
  if (LoadSeries(FileSystem::Default(), &s, dir, symbol, 0, 1000) != kSuccess) return rows;
  for (std::uint32_t i = 0; i < s.count; ++i) {
    Row row{double(s.date(i))};
    if (withTimes) row.push_back(s.time(i));
    for (int q = kOpen; q < kQuantityCount; ++q) row.push_back(s.value(q, i));
    rows.push_back(row);
  }
  return rows;
}

std::string ExportText(const std::string& dir, const std::string& symbol, ExportChoices choices, const std::string& path) {
  test::ToolView tv(dir);
  EXPECT_TRUE(tv.view.OpenSeries(dir, symbol));
  choices.path = path;
  EXPECT_EQ(ExportQuotes(tv.view, choices), ExportResult::kDone);
  return test::ReadText(path);
}

// Every export layout of odd quotes across 400, a history from 1928 and three five-minute bars
// a day: export, import into a new portfolio and export again give the same bytes, every quote
// and every bar's time kept.
TEST(ImportRoundTrip, EveryExportLayoutReadsBackQuoteForQuote) {
  TempDir dir;
  auto odd = test::WeekdayQuotes(YmdToDay(61, 6, 1), 450);
  odd[5].openInterest = 0, odd[6].volume = 1234567.0f, odd[7].close = 0.0001f;
  auto history = test::WeekdayQuotes(YmdToDay(1928, 1, 3), 700);
  for (const QuoteValues& q : test::WeekdayQuotes(YmdToDay(2026, 11, 2), 5)) history.push_back(q);
  std::vector<QuoteValues> bars;
  for (int d = 0; d < 4; ++d) {
    for (int m : {5, 10, 15}) bars.push_back({kMonday + d, HmsToSeconds(9, m, 0), 1, 2, 0.5f, 1.0f + m / 16.0f, 10, 0});
  }
  auto intraday = test::Symbol(3, "BARS", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), bars);
  intraday.periodicity = 'I';
  test::Build(dir / "P", test::Portfolio({test::Symbol(1, "SRC", test::Fields28(), odd),
                                          test::Symbol(2, "HIST", test::Fields28(), history), intraday}));
  struct Case {
    std::string symbol;
    int delimiter;
    bool title, newest;
    std::vector<int> omit;
    bool layoutFile;  // the column set is none that a record length implies
  };
  // Without a title row and without open, the six columns look like those of an export
  // without open interest: the bars tell them apart.
  const std::vector<Case> cases = {
      {"SRC", 0, false, false, {}, false},
      {"SRC", 1, true, true, {}, false},
      {"SRC", 2, false, true, {}, false},
      {"SRC", 1, true, false, {kExportOpen, kExportOpenInterest}, true},
      {"SRC", 2, true, true, {kExportOpen, kExportHigh, kExportLow, kExportVolume}, true},
      {"SRC", 1, false, false, {kExportOpen}, true},
      {"SRC", 1, false, false, {kExportOpenInterest}, false},
      {"HIST", 0, false, false, {}, false},
      {"HIST", 1, true, false, {}, false},
      {"HIST", 2, false, false, {}, false},
      {"BARS", 0, false, false, {}, true},
      {"BARS", 1, true, false, {}, true},
      {"BARS", 2, false, false, {}, true}};
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbol + " " + std::to_string(n));
    ExportChoices choices;
    choices.delimiter = c.delimiter;
    choices.titleRow = c.title;
    choices.newestFirst = c.newest;
    for (int o : c.omit) choices.omit[static_cast<std::size_t>(o)] = true;
    const std::string target = dir / ("NEW" + std::to_string(n++));
    const std::string text = ExportText(dir / "P", c.symbol, choices, dir / "x.txt");
    ImportPlanSummary summary;
    EXPECT_TRUE(Import(FileSystem::Default(), target, "DST", text, false, &summary));
    EXPECT_TRUE(ExportText(target, "DST", choices, dir / "y.txt") == text);
    EXPECT_EQ(Counts(summary), std::make_tuple(true, true, 1, c.symbol == "SRC" ? 450 : c.symbol == "HIST" ? 705 : 12, 0, 0));
    auto expected = Quotes(dir / "P", c.symbol, true);
    for (auto& row : expected) {
      for (int o : c.omit) row[static_cast<std::size_t>(2 + o)] = -1.0;
    }
    EXPECT_TRUE(Quotes(target, "DST", true) == expected);
    EXPECT_EQ(test::Exists(target + "/F1.DOP"), c.layoutFile);
  }
}

// Without and with an issue name: MASTER and EMASTER of exactly these bytes, and a folder the
// walk finds.
TEST(ImportNewPortfolio, HoldsExactlyTheseMasterAndEmasterAndTheWalkFindsIt) {
  struct Case {
    std::string name, text, master, emaster;
    Rows quotes;
  };
  const Case cases[] = {
      {"", "Date,Close,Volume\n19980616,2,300\n19980615,1,200\n",
       "0:01 2:01 53:01 56:0c03 60:58595a20202020202020202020202020 78:70686f9480686f9444 "
       "89:58595a20202020202020202020202020",
       "0:01 2:01 192:363601 198:0319 201:20 203:58595a 224:58595a 252:44 256:70686f49 "
       "264:80686f49 318:47e13001",
       {{double(kMonday), -1, -1, -1, 1, 200, -1}, {double(kMonday + 1), -1, -1, -1, 2, 300, -1}}},
      {"Xyz Holdings", "Date,Open,High,Low,Close,Volume\n19600104,1,2,0.5,1.5,100\n19980616,2,3,1.5,2.5,200\n",
       "0:01 2:01 53:01 56:1806 60:58797a20486f6c64696e677320202020 78:8082129480686f9444 "
       "89:58595a20202020202020202020202020",
       "0:01 2:01 192:363601 198:063f 201:20 203:58595a 224:58797a20486f6c64696e6773 252:44 "
       "256:80821249 264:80686f49 318:e8122b01",
       {{double(YmdToDay(60, 1, 4)), 1, 2, 0.5, 1.5, 100, -1}, {double(kMonday + 1), 2, 3, 1.5, 2.5, 200, -1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string target = dir / "a/b/NEW";
    test::RecordingUi ui;
    ImportPlanSummary summary;
    ASSERT_TRUE(ImportQuotes(FileSystem::Default(), ui, {target, "XYZ", c.name, false}, TextOf(c.text), &summary));
    EXPECT_EQ(test::FileNames(target), (Texts{"EMASTER", "F1.DAT", "MASTER"}));
    const Bytes master = test::ReadBytes(target + "/MASTER");
    ASSERT_EQ(master.size(), 2 * kMasterRecordSize);
    EXPECT_EQ(NonZeroRuns(master, 0, master.size()), c.master);
    const Bytes emaster = test::ReadBytes(target + "/EMASTER");
    ASSERT_EQ(emaster.size(), 2u * 192);
    EXPECT_EQ(NonZeroRuns(emaster, 0, emaster.size()), c.emaster);
    EXPECT_EQ(Quotes(target, "XYZ"), c.quotes);
    EXPECT_EQ(WalkDirectory(FileSystem::Default(), WithoutTrailingSlash(dir.path()), SearchFilter{}, ui), Texts{target});
  }
}

// A portfolio with ABC (file 2, days 0..4 of kMonday's week) and a F1.* file that keeps
// number 1 taken.
void BuildMergeRoot(const TempDir& root) {
  test::Build(root / "P", test::Portfolio({test::Daily(2, "ABC", 5), test::Daily(3, "HLC", 2, test::Fields16())}));
  test::WriteBytes(root / "P/F1.BAK", {1});
}

const std::string kLaterDays =
    "DATE OPEN HIGH LOW CLOSE VOL OI\n06/22/98 5 6 4.5 5.5 N/A 60\n06/19/98 1 2 0.5 1.5 10 N/A\n"
    "06/18/98 1 2 0.5 1.5 10 20\n06/12/98 3 4 2.5 3.5 30 40\n";

TEST(ImportMerge, AddsMissingDaysAndKeepsOrReplacesTheOthers) {
  for (const bool replace : {false, true}) {
    SCOPED_TRACE(replace);
    TempDir root;
    BuildMergeRoot(root);
    const Bytes old = test::ReadBytes(root / "P/F2.DAT");
    const auto before = Quotes(root / "P", "ABC");
    ImportPlanSummary summary;
    ASSERT_TRUE(Import(FileSystem::Default(), root / "P", "abc", kLaterDays, replace, &summary));
    EXPECT_EQ(Counts(summary), std::make_tuple(false, false, 2, 2, replace ? 2 : 0, replace ? 0 : 2));
    const auto after = Quotes(root / "P", "ABC");
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[0], (Row{double(kMonday - 3), 3, 4, 2.5, 3.5, 30, 40}));
    EXPECT_EQ(after[1], before[0]);
    EXPECT_EQ(after[6], (Row{double(kMonday + 7), 5, 6, 4.5, 5.5, 0, 60}));
    EXPECT_EQ(after[4], (replace ? Row{double(kMonday + 3), 1, 2, 0.5, 1.5, 10, 20} : before[3]));
    // N/A keeps the old number of a replaced day.
    EXPECT_EQ(after[5], (replace ? Row{double(kMonday + 4), 1, 2, 0.5, 1.5, 10, before[4][6]} : before[4]));
    // The untouched records keep every byte, their spare ones included.
    const Bytes now = test::ReadBytes(root / "P/F2.DAT");
    EXPECT_TRUE(std::equal(old.begin() + 28, old.begin() + 28 * 4, now.begin() + 28 * 2));
    EXPECT_EQ(now[2], 8);
    EXPECT_EQ(test::ReadBytes(root / "P/F2.BAK"), old);
    const Bytes master = test::ReadBytes(root / "P/MASTER");
    EXPECT_EQ(ReadMbf(master.data() + kMasterRecordSize + kMasterFirstDate), 980612.0f);
    EXPECT_EQ(ReadMbf(master.data() + kMasterRecordSize + kMasterLastDate), 980622.0f);
  }
}

TEST(ImportMerge, WritesOnlyTheQuantitiesTheFileHoldsNothingWhenNothingIsNewAndANewSymbolsRecord) {
  TempDir root;
  BuildMergeRoot(root);
  ASSERT_TRUE(Import(FileSystem::Default(), root / "P", "HLC", kLaterDays));
  const auto after = Quotes(root / "P", "HLC");
  ASSERT_EQ(after.size(), 6u);
  EXPECT_EQ(after[0], (Row{double(kMonday - 3), -1, 4, 2.5, 3.5, -1, -1}));
  EXPECT_EQ(test::ReadBytes(root / "P/F3.DAT").size(), 7u * 16);

  const Files before = Snapshot(root.path());
  ImportPlanSummary summary;
  ASSERT_TRUE(Import(FileSystem::Default(), root / "P", "HLC", "06/15/98 9\n06/16/98 9\n", false, &summary));
  EXPECT_EQ(Counts(summary), std::make_tuple(false, false, 3, 0, 0, 2));
  EXPECT_EQ(Snapshot(root.path()), before);

  // A new symbol beside MASTER alone gets exactly this record.
  const Bytes old = test::ReadBytes(root / "P/MASTER");
  ASSERT_TRUE(Import(FileSystem::Default(), root / "P", "NEW", kLaterDays));
  const Bytes master = test::ReadBytes(root / "P/MASTER");
  ASSERT_EQ(master.size(), old.size() + kMasterRecordSize);
  EXPECT_EQ(Bytes(master.begin(), master.begin() + 4), (Bytes{3, 0, 4, 0}));
  EXPECT_TRUE(std::equal(old.begin() + 4, old.end(), master.begin() + 4));
  EXPECT_EQ(NonZeroRuns(master, old.size(), master.size()),
            "0:04 3:1c07 7:4e455720202020202020202020202020 25:40686f94e0686f9444 "
            "36:4e455720202020202020202020202020");
  EXPECT_FALSE(test::Exists(root / "P/EMASTER"));
}

TEST(ImportIndexBytes, ANewSymbolInAVendorPortfolioTakesTheFreeNumberAndExactlyTheseRecords) {
  TempDir dir;
  const std::string asx = test::CopyFixture("asx-mining", dir);
  if (asx.empty()) GTEST_SKIP() << "no shared fixtures";
  const Bytes oldMaster = test::ReadBytes(asx + "MASTER"), oldEmaster = test::ReadBytes(asx + "EMASTER");
  test::RecordingUi ui;
  ImportPlanSummary summary;
  ASSERT_TRUE(ImportQuotes(FileSystem::Default(), ui, {asx, "ZZNEW", "Zed New Limited", false},
                           TextOf("1998-01-02 1 2 0.5 1.5\n1998-01-05 1 2 0.5 1.75\n"), &summary));
  EXPECT_EQ(Counts(summary), std::make_tuple(false, true, 4, 2, 0, 0));
  EXPECT_FALSE(test::Exists(asx + "F4.BAK"));
  // Open, high, low and close are no layout a record length implies.
  EXPECT_TRUE(test::Exists(asx + "F4.DOP"));
  Bytes master = test::ReadBytes(asx + "MASTER"), emaster = test::ReadBytes(asx + "EMASTER");
  ASSERT_EQ(master.size(), oldMaster.size() + kMasterRecordSize);
  ASSERT_EQ(emaster.size(), oldEmaster.size() + 192);
  EXPECT_EQ(Bytes(master.begin(), master.begin() + 4), (Bytes{216, 0, 255, 0}));
  EXPECT_EQ(emaster[0], 216);
  EXPECT_TRUE(std::equal(oldMaster.begin() + 4, oldMaster.end(), master.begin() + 4));
  EXPECT_TRUE(std::equal(oldEmaster.begin() + 1, oldEmaster.end(), emaster.begin() + 1));
  EXPECT_EQ(NonZeroRuns(master, oldMaster.size(), master.size()),
            "0:04 3:1405 7:5a6564204e6577204c696d6974656420 25:60486f9490486f9444 "
            "36:5a5a4e45572020202020202020202020");
  EXPECT_EQ(NonZeroRuns(emaster, oldEmaster.size(), emaster.size()),
            "0:363604 6:052f 9:20 11:5a5a4e4557 32:5a6564204e6577204c696d69746564 60:44 "
            "64:60486f49 72:90486f49 126:46df3001");
  EXPECT_EQ(Quotes(asx, "ZZNEW").size(), 2u);
  EXPECT_EQ(Quotes(asx, "Zed New Limited").back(), (Row{double(YmdToDay(98, 1, 5)), 1, 2, 0.5, 1.75, -1, -1}));

  // A merge moves the dates of the symbol's records (DDD, the first of both files) alone.
  const Bytes withNew = master, withNewE = emaster;
  ASSERT_TRUE(Import(FileSystem::Default(), asx, "DDD", "1975-01-02 1\n2031-01-03 2\n"));
  master = test::ReadBytes(asx + "MASTER");
  emaster = test::ReadBytes(asx + "EMASTER");
  EXPECT_EQ(NonZeroRuns(master, kMasterRecordSize, 2 * kMasterRecordSize),
            "0:8065 3:1c07 7:3344205265736f7572636573204c7464 25:60213794b8ec1f9544 "
            "36:44444420202020202020202020202020");
  EXPECT_EQ(NonZeroRuns(emaster, 192, 2 * 192),
            "0:363680 6:077f 9:20 11:444444 32:3344205265736f7572636573204c7464 60:44 64:60213749 "
            "72:b8ec9f49 126:d65c2d01");
  EXPECT_TRUE(std::equal(master.begin() + 2 * kMasterRecordSize, master.end(),
                         withNew.begin() + 2 * kMasterRecordSize));
  EXPECT_TRUE(std::equal(emaster.begin() + 2 * 192, emaster.end(), withNewE.begin() + 2 * 192));
}

int Le16(const Bytes& bytes, std::size_t at) { return bytes[at] | bytes[at + 1] << 8; }

const std::string kDecember =
    "Date,Open,High,Low,Close,Volume,OpenInt\n20231201,16500,16600,16400,16550,1200,300\n"
    "20231204,16550,16700,16500,16650,1300,310\n";

TEST(ImportIntoXmaster, ANewSymbolBeyondTheVendorsFullMasterJoinsItsXmaster) {
  TempDir tmp;
  const std::string hsi = test::CopyFixture("hsi-mini-futures", tmp);
  if (hsi.empty()) GTEST_SKIP() << "no shared fixtures";
  const Files before = Snapshot(hsi);
  test::RecordingUi ui;
  ImportPlanSummary summary;
  ASSERT_TRUE(ImportQuotes(FileSystem::Default(), ui, {hsi, "HSMNEW", "HSM Dec 23", false}, TextOf(kDecember), &summary));
  EXPECT_EQ(Counts(summary), std::make_tuple(false, true, 267, 2, 0, 0));
  EXPECT_EQ(Changed(before, Snapshot(hsi)), (std::set<std::string>{"xmaster", "F267.MWD"}));
  const Bytes xm = test::ReadBytes(hsi + "xmaster");
  ASSERT_EQ(xm.size(), 150u * 13);
  EXPECT_EQ((std::vector<int>{Le16(xm, 10), Le16(xm, 14), Le16(xm, 18)}), (std::vector<int>{12, 12, 268}));
  EXPECT_TRUE(std::equal(xm.begin() + 20, xm.end() - 150, before.at("xmaster").begin() + 20));
  EXPECT_EQ(NonZeroRuns(xm, 150 * 12, 150 * 13),
            "0:0148534d4e4557 16:48534d20446563203233 62:44 65:0b01 70:7f 104:21b4340121b43401 "
            "116:24b43401");
  const double first = YmdToDay(2023, 12, 1);
  EXPECT_EQ(Quotes(hsi, "HSMNEW"),
            (Rows{{first, 16500, 16600, 16400, 16550, 1200, 300}, {first + 3, 16550, 16700, 16500, 16650, 1300, 310}}));
  EXPECT_TRUE(test::IndexFilesInStep(hsi));
  EXPECT_EQ(CheckLines(hsi), std::vector<std::string>{});

  // Merges move the XMASTER dates: of the new symbol, and of the vendor's last one.
  ASSERT_TRUE(Import(FileSystem::Default(), hsi, "HSMNEW", "20231130 1 2 0.5 1.5 5 6\n20231205 1 2 0.5 1.5 5 6\n"));
  ASSERT_TRUE(Import(FileSystem::Default(), hsi, "HSM__2023H", "20300102 3 4 2.5 3.5 7 8\n"));
  const Bytes merged = test::ReadBytes(hsi + "xmaster");
  EXPECT_EQ(NonZeroRuns(merged, 150 * 12 + 104, 150 * 12 + 120), "0:dab33401dab33401 12:25b43401");
  EXPECT_EQ(NonZeroRuns(merged, 150 * 11 + 104, 150 * 11 + 120), "0:398b3401398b3401 12:46c13501");
  EXPECT_EQ(Changed(before, Snapshot(hsi)),
            (std::set<std::string>{"xmaster", "F267.MWD", "F267.BAK", "F266.mwd", "F266.BAK"}));
  EXPECT_EQ(Quotes(hsi, "HSM__2023H").back(), (Row{double(YmdToDay(2030, 1, 2)), 3, 4, 2.5, 3.5, 7, 8}));
  EXPECT_EQ(CheckLines(hsi), std::vector<std::string>{});
}

// A MASTER of `count` symbols numbered 1 up (no quote files), with EMASTER when `extended`.
void BuildFullMaster(const std::string& dir, int count, bool extended) {
  PortfolioDescription portfolio;
  for (int n = 1; n <= count; ++n) portfolio.symbols.push_back(test::Symbol(n, "S" + std::to_string(n), test::Fields8(), {}));
  portfolio.extended = extended;
  std::filesystem::create_directories(dir);
  test::WriteBytes(dir + "/MASTER", MasterFileBytes(portfolio));
  if (extended) test::WriteBytes(dir + "/EMASTER", EmasterFileBytes(portfolio));
}

TEST(ImportIntoXmaster, AFullMasterWithEmasterGetsANewXmaster) {
  TempDir root;
  BuildFullMaster(root / "FULL", 255, true);
  const Files before = Snapshot(root / "FULL");
  ImportPlanSummary summary;
  ASSERT_TRUE(Import(FileSystem::Default(), root / "FULL", "NEW", "06/15/98 1 2 0.5 1.5\n", false, &summary));
  EXPECT_EQ(Counts(summary), std::make_tuple(false, true, 256, 1, 0, 0));
  EXPECT_EQ(Changed(before, Snapshot(root / "FULL")), (std::set<std::string>{"XMASTER", "F256.MWD", "F256.DOP"}));
  const Bytes xm = test::ReadBytes(root / "FULL/XMASTER");
  ASSERT_EQ(xm.size(), 300u);
  EXPECT_EQ(NonZeroRuns(xm, 0, 150), "0:5dfe584d 10:01 14:01 18:0101");
  EXPECT_EQ(NonZeroRuns(xm, 150, 300),
            "0:014e4557 16:4e4557 62:44 66:01 70:2f 104:47e1300147e13001 116:47e13001");
  EXPECT_EQ(Quotes(root / "FULL", "NEW"), (Rows{{double(kMonday), 1, 2, 0.5, 1.5, -1, -1}}));
}

TEST(ImportIntoXmaster, AMasterAloneTakesItsLastNumberThenRefuses) {
  TempDir root;
  BuildFullMaster(root / "P", 254, false);
  ImportPlanSummary summary;
  ASSERT_TRUE(Import(FileSystem::Default(), root / "P", "LAST", "06/15/98 1\n", false, &summary));
  EXPECT_EQ(Counts(summary), std::make_tuple(false, true, 255, 1, 0, 0));
  const Bytes master = test::ReadBytes(root / "P/MASTER");
  EXPECT_EQ(Bytes(master.begin(), master.begin() + 4), (Bytes{255, 0, 255, 0}));

  // Full by either header number, nothing is written and the user is told so.
  for (const std::uint8_t count : {255, 254}) {
    SCOPED_TRACE(count);
    Bytes full = master;
    full[0] = count;
    full.resize(kMasterRecordSize * (count + 1u));
    test::WriteBytes(root / "P/MASTER", full);
    const Files before = Snapshot(root.path());
    EXPECT_EQ(RefusalOf({root / "P", "MORE", "", false}, "06/15/98 1\n"), Texts{kPortfolioFullText});
    EXPECT_EQ(Snapshot(root.path()), before);
  }
}

// An intraday series of three bars a day on two days, DATE TIME OPEN HIGH LOW CLOSE VOL.
void BuildIntraday(const std::string& dir) {
  std::vector<QuoteValues> bars;
  for (const DayNumber day : {kMonday, kMonday + 1}) {
    for (const int m : {0, 5, 10}) bars.push_back({day, HmsToSeconds(9, 30 + m, 0), 1, 2, 0.5f, 1.5f, float(m), 0});
  }
  SymbolDescription symbol = test::Symbol(1, "BARS", FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), bars, true);
  symbol.periodicity = 'I';
  test::Build(dir, test::Portfolio(symbol));
}

const std::string kLaterBars =
    "Date,Time,Open,High,Low,Close,Volume\n1998-06-16,09:35:00,3,4,2.5,3.5,77\n"
    "1998-06-16,09:37:01,3,4,2.5,3.5,78\n1998-06-17,16:00:00,5,6,4.5,5.5,79\n";

using Bars = std::vector<std::vector<float>>;

// The date, time and the five values of each record of a 28-byte intraday quote file.
Bars BarsOf(const Bytes& file) {
  Bars bars;
  for (std::size_t at = 28; at + 28 <= file.size(); at += 28) {
    std::vector<float> bar;
    for (std::size_t f = 0; f < 7; ++f) bar.push_back(ReadMbf(file.data() + at + 4 * f));
    bars.push_back(bar);
  }
  return bars;
}

TEST(ImportIntraday, LinesWithTimesMakeAnIntradaySeriesWithEverySecond) {
  TempDir root;
  ASSERT_TRUE(Import(FileSystem::Default(), root / "Q", "MIN", kLaterBars));
  const Bytes dat = test::ReadBytes(root / "Q/F1.DAT");
  EXPECT_EQ(BarsOf(dat), (Bars{{980616, 93500, 3, 4, 2.5f, 3.5f, 77}, {980616, 93701, 3, 4, 2.5f, 3.5f, 78},
                                {980617, 160000, 5, 6, 4.5f, 5.5f, 79}}));
  EXPECT_EQ(dat[2], 4);
  EXPECT_EQ(test::ReadText(root / "Q/F1.DOP").substr(0, 22), "\"DATE\",0,0\r\n\"TIME\",0,0");
  const Bytes master = test::ReadBytes(root / "Q/MASTER"), emaster = test::ReadBytes(root / "Q/EMASTER");
  // MASTER's periodicity and record length, EMASTER's field set and periodicity.
  EXPECT_EQ((Bytes{master[kMasterRecordSize + kMasterPeriodicity], master[kMasterRecordSize + kMasterRecordLength],
                   emaster[192 + 7], emaster[192 + 60]}),
            (Bytes{'I', 28, 0xBF, 'I'}));
}

TEST(ImportIntraday, BarsMergeByDateAndTime) {
  for (const bool replace : {false, true}) {
    SCOPED_TRACE(replace);
    TempDir root;
    BuildIntraday(root / "I");
    const Bytes old = test::ReadBytes(root / "I/F1.DAT");
    ImportPlanSummary summary;
    ASSERT_TRUE(Import(FileSystem::Default(), root / "I", "BARS", kLaterBars, replace, &summary));
    EXPECT_EQ(Counts(summary), std::make_tuple(false, false, 1, 2, replace ? 1 : 0, replace ? 0 : 1));
    const auto bars = BarsOf(test::ReadBytes(root / "I/F1.DAT"));
    ASSERT_EQ(bars.size(), 8u);
    EXPECT_EQ(Bars(bars.begin() + 4, bars.end()),
              (Bars{replace ? Bars::value_type{980616, 93500, 3, 4, 2.5f, 3.5f, 77}
                            : Bars::value_type{980616, 93500, 1, 2, 0.5f, 1.5f, 5},
                    {980616, 93701, 3, 4, 2.5f, 3.5f, 78}, {980616, 94000, 1, 2, 0.5f, 1.5f, 10},
                    {980617, 160000, 5, 6, 4.5f, 5.5f, 79}}));
    EXPECT_EQ(test::ReadBytes(root / "I/F1.BAK"), old);
    EXPECT_EQ(ReadMbf(test::ReadBytes(root / "I/MASTER").data() + kMasterRecordSize + kMasterLastDate), 980617.0f);
  }
}

// Two tickers of one text: one into the existing ABC, one into a new symbol NEW.
const std::string kTwoTickers =
    "<TICKER>,<NAME>,<DTYYYYMMDD>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>\n"
    "NEW,New Ltd,19980622,1,2,0.5,1.5,20\nABC,Abc,19980622,5,6,4.5,5.5,10\n"
    "NEW,New Ltd,19980623,1,2,0.5,1.75,30\n";

TEST(ImportByTicker, EachTickerFillsItsOwnSymbolExistingOrNew) {
  for (const char* dir : {"P", "FRESH"}) {
    SCOPED_TRACE(dir);
    TempDir root;
    BuildMergeRoot(root);
    const auto abc = Quotes(root / "P", "ABC");
    ImportPlanSummary summary;
    ASSERT_TRUE(Import(FileSystem::Default(), root / dir, "", kTwoTickers, false, &summary));
    EXPECT_EQ(summary.added, 3);
    EXPECT_EQ(summary.newPortfolio, std::string(dir) == "FRESH");
    EXPECT_EQ(Quotes(root / dir, "NEW"),
              (Rows{{double(kMonday + 7), 1, 2, 0.5, 1.5, 20, -1}, {double(kMonday + 8), 1, 2, 0.5, 1.75, 30, -1}}));
    auto merged = std::string(dir) == "P" ? abc : Rows{};
    merged.push_back({double(kMonday + 7), 5, 6, 4.5, 5.5, 10, std::string(dir) == "P" ? 0.0 : -1.0});
    EXPECT_EQ(Quotes(root / dir, "ABC"), merged);
  }
}

TEST(ImportRefusals, WriteNothingAndSayWhy) {
  TempDir root;
  BuildMergeRoot(root);
  BuildIntraday(root / "I");
  Bytes unsorted = test::ReadBytes(root / "P/F3.DAT");
  std::swap_ranges(unsorted.begin() + 16, unsorted.begin() + 32, unsorted.begin() + 32);
  test::WriteBytes(root / "P/F3.DAT", unsorted);
  test::WriteBytes(root / "FILE", {'x'});
  // An EMASTER that lists other records than MASTER gets no record at a guessed place.
  test::Build(root / "E", test::Extended(test::Portfolio(test::Daily(1, "ONE", 2, test::Fields8()))));
  test::Patch(root / "E/EMASTER", 0, {2});
  const Files before = Snapshot(root.path());
  const std::string p = root / "P", one = "1998-06-12 1\n";
  const std::vector<std::tuple<ImportRequest, std::string, std::string>> cases = {
      {{p, "HLC", "", false}, one, "The quotes of HLC are not in date order.\nNothing was imported."},
      {{p, "TOOLONGSYMBOL15", "", false}, one, "A new symbol needs 1 to 14 characters without blanks."},
      {{p, "TWO WORDS", "", false}, one, "A new symbol needs 1 to 14 characters without blanks."},
      {{p, "NEW", "A name of 17 char", false}, one, "An issue name has at most 16 characters."},
      {{root / "FILE", "NEW", "", false}, one, root / "FILE\nis a file, not a folder."},
      {{p, "NEW", "", false}, "DATE\n1998-06-12\n", "The text has no numbers for a new symbol."},
      {{root / "E", "NEW", "", false}, one, "The EMASTER file of\n" + root / "E" + "\ndoes not match its MASTER file."},
      {{p, "ABC", "", true}, kLaterBars,
       "ABC is a daily series, and the text holds quotes of several times a day.\n"
       "Import them as a new symbol. Nothing was imported."},
      {{root / "I", "BARS", "", true}, kLaterDays,
       "BARS holds quotes of several times a day, and the text has no times.\nNothing was imported."},
      {{p, "ABC", "", false}, kTwoTickers,
       "The text holds the quotes of 2 tickers (NEW, ABC).\nImport them by ticker, each into its own symbol."},
  };
  for (const auto& [request, text, message] : cases) {
    SCOPED_TRACE(request.dir + " " + request.symbol);
    EXPECT_EQ(RefusalOf(request, text), Texts{message});
  }
  PortfolioLock reader(FileSystem::Default());
  ASSERT_TRUE(reader.Acquire({p}, LockMode::kShared));
  EXPECT_EQ(RefusalOf({p, "ABC", "", true}, kLaterDays), Texts{PortfolioBusyText(p)});
  EXPECT_EQ(Snapshot(root.path()), before);
}

// Each import under a failure, and a crash, at every step that changes the disk.
using Operation = std::function<bool(FileSystem&, const TempDir&)>;

Operation OperationNamed(const std::string& name) {
  return [name](FileSystem& fs, const TempDir& root) {
    if (name == "Merge") return Import(fs, root / "P", "ABC", kLaterDays, true);
    if (name == "NewSymbol") return Import(fs, root / "P", "NEW", kLaterDays);
    if (name == "IntoXmaster") return Import(fs, root / "FULL", "NEW", kLaterDays);
    if (name == "IntradayMerge") return Import(fs, root / "I", "BARS", kLaterBars, true);
    if (name == "ByTicker") return Import(fs, root / "P", "", kTwoTickers);
    if (name == "ByTickerNewPortfolio") return Import(fs, root / "Q", "", kTwoTickers);
    return Import(fs, root / "Q", "NEW", kLaterDays);
  };
}

// The merge root beside a full MASTER with EMASTER, each file an import may back up already
// holding the backup of an earlier change.
void BuildFaultRoot(const TempDir& root) {
  BuildMergeRoot(root);
  BuildIntraday(root / "I");
  BuildFullMaster(root / "FULL", 255, true);
  for (const char* name : {"P/F2.BAK", "P/MASTER.BAK", "I/F1.BAK", "FULL/MASTER.BAK", "FULL/EMASTER.BAK"}) {
    test::WriteBytes(root / name, Bytes(name, name + std::char_traits<char>::length(name)));
  }
}

class ImportFaults : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    operation_ = OperationNamed(GetParam());
    BuildFaultRoot(reference_);
    old_ = Snapshot(reference_.path());
    ASSERT_TRUE(operation_(FileSystem::Default(), reference_));
    new_ = Snapshot(reference_.path());
  }

  void AtEveryStep(FaultyFs::Mode mode, const std::function<void(bool, const Files&)>& check) {
    test::AtEveryStep(mode, [&](FaultyFs& fs) {
      TempDir root;
      BuildFaultRoot(root);
      const bool ok = operation_(fs, root);
      if (fs.faulted()) return check(ok, Snapshot(root.path()));
      EXPECT_TRUE(ok);
      EXPECT_EQ(Snapshot(root.path()), new_);
    });
  }

  Operation operation_;
  TempDir reference_;
  Files old_, new_;
};

TEST_P(ImportFaults, AReportedFailureLeavesEveryOldByte) {
  AtEveryStep(FaultyFs::Mode::kFailOne, [&](bool ok, const Files& after) { EXPECT_EQ(after, ok ? new_ : old_); });
}

TEST_P(ImportFaults, ACrashLeavesEveryFileOldOrNew) {
  AtEveryStep(FaultyFs::Mode::kCrash, [&](bool, const Files& after) {
    test::ExpectEachFileOldOrNew(old_, new_, after, [](const std::string& name) { return name.ends_with(".NEW"); });
  });
}

INSTANTIATE_TEST_SUITE_P(Imports, ImportFaults,
                         testing::Values("Merge", "NewSymbol", "IntoXmaster", "NewPortfolio",
                                         "IntradayMerge", "ByTicker", "ByTickerNewPortfolio"));

}  // namespace
}  // namespace barvane
