// Export all: every file byte for byte what Export writes for its symbol, the file names,
// sub-portfolios left out, the replace question, unreadable symbols, and cancelling.
#include "exchange/export_all.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/mbf.h"
#include "support/counting_fs.h"
#include "support/faulty_fs.h"
#include "support/float_text_reference.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/system_calls.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::FaultyFs;
using test::TempDir;

const DayNumber kJan2 = YmdToDay(98, 1, 2);

// What Export writes for `symbol` of `dir` with `choices`, through the view as the window has it.
Bytes ExportOf(const std::string& dir, const std::string& symbol, ExportChoices choices, const std::string& path) {
  test::ToolView tv(dir);
  EXPECT_TRUE(tv.view.OpenSeries(dir, symbol)) << symbol;
  choices.path = path;
  EXPECT_EQ(ExportQuotes(tv.view, choices), ExportResult::kDone) << symbol;
  return test::ReadBytes(path);
}

std::vector<ExportChoices> EveryKindOfChoice() {
  std::vector<ExportChoices> all(4);
  all[1].titleRow = all[1].newestFirst = true;
  all[2].delimiter = 1;
  all[2].omit[kExportOpen] = all[2].omit[kExportOpenInterest] = true;
  all[3].delimiter = 2;
  all[3].titleRow = true;
  all[3].omit.fill(true);
  return all;
}

TEST(ExportFileName, KeepsSafeCharactersNumbersRepeatsAndGoesToTheLastFolderUsed) {
  std::set<std::string> taken;
  EXPECT_EQ(ExportFileName("BHP", &taken), "BHP.txt");
  EXPECT_EQ(ExportFileName("bhp", &taken), "bhp_2.txt");
  EXPECT_EQ(ExportFileName("BHP", &taken), "BHP_3.txt");
  EXPECT_EQ(ExportFileName("BHP_2", &taken), "BHP_2_2.txt");
  EXPECT_EQ(ExportFileName("A/B C\\..\xE9-x", &taken), "A_B_C_.._-x.txt");
  EXPECT_EQ(ExportFileName("", &taken), "_.txt");
  EXPECT_EQ(ExportFileName("?", &taken), "__2.txt");

  // The proposal is the symbol's file in the last folder used, else in the documents.
  const std::string docs = "/home/u/Documents";
  EXPECT_EQ(ProposedExportPath("/home/u/exports/GE.txt", "BHP", docs), "/home/u/exports/BHP.txt");
  EXPECT_EQ(ProposedExportPath("output.txt", "A/B", docs), "/home/u/Documents/A_B.txt");
  EXPECT_EQ(ProposedExportPath("sub/output.txt", "GE", docs), "/home/u/Documents/GE.txt");
  EXPECT_EQ(ProposedExportPath("/out.txt", "GE", docs), "/GE.txt");
  EXPECT_EQ(ProposedExportPath("", "GE", docs + "/"), "/home/u/Documents/GE.txt");
  EXPECT_EQ(ProposedExportFolder("", docs), "/home/u/Documents/");
}

TEST(ExportAll, EveryFileIsWhatExportWritesForItsSymbol) {
  TempDir dir;
  auto odd = test::WeekdayQuotes(kJan2, 850);
  odd[3].open = -2;
  test::Build(dir / "P",
              test::Portfolio(
                  {test::Symbol(1, "LONG", test::Fields28(), odd),
                   test::Symbol(7, "SHORT", test::Fields8(), test::WeekdayQuotes(kJan2, 1)),
                   test::Symbol(3, "EMPTY", test::Fields24(), {}),
                   test::Symbol(4, "A/B", test::Fields20Volume(), test::WeekdayQuotes(kJan2, 3))}, {"SUB"}));
  test::Build(dir / "P/SUB", test::Portfolio(test::Symbol(1, "INSUB", test::Fields28(),
                                                          test::WeekdayQuotes(kJan2, 2))));
  for (const ExportChoices& choices : EveryKindOfChoice()) {
    test::RecordingUi ui;
    std::vector<ExportedFile> files;
    const std::string out = dir / "out";
    ASSERT_TRUE(ExportAll(FileSystem::Default(), ui, dir / "P", out, choices, {}, &files));
    EXPECT_TRUE(ui.messages.empty());
    std::vector<std::string> symbols;
    for (const ExportedFile& file : files) {
      symbols.push_back(file.symbol);
      EXPECT_EQ(test::ReadBytes(file.path), ExportOf(dir / "P", file.symbol, choices, dir / "one.txt"));
    }
    EXPECT_EQ(symbols, (std::vector<std::string>{"A/B", "EMPTY", "LONG", "SHORT"}));
    EXPECT_EQ(test::FileNames(out),
              (std::vector<std::string>{"A_B.txt", "EMPTY.txt", "LONG.txt", "SHORT.txt"}));
    EXPECT_EQ(files[0].path, out + "/A_B.txt");
  }
}

// What a plain dump prints for a 7-field quote file with `choices`: each record's date as
// MM/DD/YY from its YYMMDD value, prices with four decimals or more, volume and open interest
// with two or more, "N/A" below zero.
std::string PlainDump(const Bytes& file, const ExportChoices& choices) {
  constexpr std::size_t kRecord = 28;
  const char delimiter = choices.delimiter == 1 ? ',' : choices.delimiter == 2 ? '\t' : ' ';
  std::vector<std::string> lines;
  const std::size_t records = std::min<std::size_t>(file.size() / kRecord, file[2] | file[3] << 8);
  for (std::size_t r = 1; r < records; ++r) {
    const std::uint8_t* record = file.data() + kRecord * r;
    const auto yymmdd = static_cast<int>(ReadMbf(record));
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", yymmdd / 100 % 100, yymmdd % 100, yymmdd / 10000 % 100);
    std::string line = text;
    for (int c = 0; c < kExportColumnCount; ++c) {
      if (choices.omit[static_cast<std::size_t>(c)]) continue;
      const float value = ReadMbf(record + 4 + 4 * c);
      line += delimiter;
      line += value < 0 ? "N/A" : test::ReferenceFloatText(value, c < kExportVolume ? 4 : 2);
    }
    lines.push_back(line + "\r\n");
  }
  if (choices.newestFirst) std::reverse(lines.begin(), lines.end());
  std::string text = choices.titleRow ? ExportTitleLine(choices, DateStyle{}) + "\r\n" : "";
  for (const std::string& line : lines) text += line;
  return text;
}

TEST(ExportAll, RealPortfoliosReadAsAPlainDumpPrintsTheirQuoteFiles) {
  TempDir dir;
  for (const char* fixture : {"asx-mining", "hsi-mini-futures"}) {
    const std::string portfolio = test::CopyFixture(fixture, dir);
    if (portfolio.empty()) GTEST_SKIP() << "no shared fixtures";
    IndexFiles index;
    ASSERT_TRUE(ReadIndexFiles(FileSystem::Default(), portfolio, &index));
    // Newest first with a title row, then commas with columns left out, into folders it makes.
    for (const ExportChoices& choices : {EveryKindOfChoice()[1], EveryKindOfChoice()[2]}) {
      test::RecordingUi ui;
      std::vector<ExportedFile> files;
      ASSERT_TRUE(ExportAll(FileSystem::Default(), ui, portfolio, dir / "a/b/out", choices, {}, &files));
      ASSERT_EQ(files.size(), index.masterCount() + index.xmasterCount()) << fixture;
      for (const ExportedFile& file : files) {
        const auto entry = FindEntryByGridText(index, file.symbol);
        ASSERT_TRUE(entry) << file.symbol;
        ASSERT_EQ(entry->record.recordLength(), 28);
        const Bytes quotes = test::ReadBytes(
            FindNoCase(FileSystem::Default(), portfolio, QuoteFileName(entry->record.fileNumber())));
        ASSERT_EQ(test::ReadText(file.path), PlainDump(quotes, choices)) << fixture << " " << file.symbol;
      }
    }
  }
}

TEST(ExportAll, UnreadableSymbolsAreToldAndPassedOverAndCancelStops) {
  TempDir dir;
  test::Build(
      dir / "P",
      test::Portfolio({test::Symbol(1, "ONE", test::Fields8(), test::WeekdayQuotes(kJan2, 2)),
                       test::Symbol(2, "GONE", test::Fields8(), test::WeekdayQuotes(kJan2, 2)),
                       test::Symbol(3, "TRI", test::Fields8(), test::WeekdayQuotes(kJan2, 2))}));
  ASSERT_EQ(std::remove((dir / "P/F2.DAT").c_str()), 0);
  test::RecordingUi ui;
  std::vector<ExportedFile> files;
  EXPECT_FALSE(ExportAll(FileSystem::Default(), ui, dir / "P", dir / "out", {}, {}, &files));
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             "For symbol GONE\nthe quotes cannot be read; no file written."});
  EXPECT_EQ(test::FileNames(dir / "out"), (std::vector<std::string>{"ONE.txt", "TRI.txt"}));

  files.clear();
  std::vector<int> seen;
  const auto cancelAtFirst = [&](int done, int total) {
    seen.push_back(done * 10 + total);
    return false;
  };
  EXPECT_FALSE(ExportAll(FileSystem::Default(), ui, dir / "P", dir / "out2", {}, cancelAtFirst, &files));
  EXPECT_EQ(seen, std::vector<int>{13});
  EXPECT_EQ(test::FileNames(dir / "out2"), std::vector<std::string>{});

  EXPECT_FALSE(ExportAll(FileSystem::Default(), ui, dir / "none", dir / "out3", {}, {}, &files));
  EXPECT_EQ(ui.messages.back(), kSymbolGridFailureText);
  EXPECT_FALSE(test::Exists(dir / "out3"));
}

// Portfolio P of ONE and TWO, whose export files in OUT hold bytes of an earlier export.
class ExportAllOver : public testing::Test {
 protected:
  void SetUp() override {
    test::Build(dir_ / "P", test::Portfolio({test::Symbol(1, "ONE", test::Fields8(), test::WeekdayQuotes(kJan2, 40)),
                                             test::Symbol(2, "TWO", test::Fields8(), test::WeekdayQuotes(kJan2, 3))}));
    std::filesystem::create_directory(out_);
    test::WriteBytes(out_ + "/ONE.txt", Bytes(5000, 'o'));
    test::WriteBytes(out_ + "/TWO.txt", Bytes(5000, 't'));
    old_ = test::Snapshot(out_);
  }
  std::map<std::string, Bytes> New() {
    return {{"ONE.txt", ExportOf(dir_ / "P", "ONE", {}, dir_ / "one.out")},
            {"TWO.txt", ExportOf(dir_ / "P", "TWO", {}, dir_ / "two.out")}};
  }

  TempDir dir_;
  std::string out_ = dir_ / "OUT";
  std::map<std::string, Bytes> old_;
};

TEST_F(ExportAllOver, AsksOnceBeforeReplacingAndWritesNothingOnNo) {
  std::filesystem::remove(out_ + "/ONE.txt");
  test::RecordingUi ui;
  ui.answer = false;
  std::vector<ExportedFile> files;
  EXPECT_FALSE(ExportAll(FileSystem::Default(), ui, dir_ / "P", out_, {}, {}, &files));
  EXPECT_EQ(ui.questions, std::vector<std::string>{out_ + "/TWO.txt\nThis file already exists\n\nReplace existing files?"});
  EXPECT_EQ(test::Snapshot(out_), test::Without(old_, "ONE.txt"));
  EXPECT_TRUE(files.empty());
}

TEST_F(ExportAllOver, LinkOrOtherFileAtAnExportNameIsRefusedNamingIt) {
  TempDir other;
  const Bytes victim = {'F', '2'};
  test::WriteBytes(other / "F2.DAT", victim);
  const std::vector<std::function<void(const std::string&)>> plants = {
      [&](const std::string& at) { std::filesystem::create_symlink(other / "F2.DAT", at); },
      [&](const std::string& at) { std::filesystem::create_symlink(other / "made-by-export", at); },
      [&](const std::string& at) { ASSERT_TRUE(test::MakeFifo(at)); },
      [&](const std::string& at) { std::filesystem::create_directory(at); },
  };
  for (std::size_t i = 0; i < plants.size(); ++i) {
    SCOPED_TRACE(i);
    std::filesystem::remove_all(out_ + "/TWO.txt");
    plants[i](out_ + "/TWO.txt");
    test::RecordingUi ui;
    std::vector<ExportedFile> files;
    EXPECT_FALSE(ExportAll(FileSystem::Default(), ui, dir_ / "P", out_, {}, {}, &files));
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               out_ + "/TWO.txt\nis not a regular file but a link or another kind of file.\n"
                                      "Nothing was exported."});
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(test::ReadBytes(out_ + "/ONE.txt"), old_.at("ONE.txt"));
    EXPECT_EQ(test::ReadBytes(other / "F2.DAT"), victim);
    EXPECT_FALSE(test::Exists(other / "made-by-export"));
  }
}

// A failure or a crash at every step: each export file holds its old bytes or its new ones,
// never a mix, and a failure that stops before the renames replaces none.
TEST_F(ExportAllOver, FaultAtAnyStepLeavesEveryFileOldOrNew) {
  const std::map<std::string, Bytes> fresh = New();
  for (const FaultyFs::Mode mode : {FaultyFs::Mode::kFailOne, FaultyFs::Mode::kCrash}) {
    test::AtEveryStep(mode, [&](FaultyFs& faulty) {
      std::filesystem::remove_all(out_);
      std::filesystem::create_directory(out_);
      for (const auto& [name, bytes] : old_) test::WriteBytes(out_ + "/" + name, bytes);
      test::RecordingUi ui;
      std::vector<ExportedFile> files;
      const bool done = ExportAll(faulty, ui, dir_ / "P", out_, {}, {}, &files);
      if (!faulty.faulted()) {
        ASSERT_TRUE(done);
        EXPECT_EQ(test::Snapshot(out_), fresh);
        return;
      }
      std::size_t replaced = 0;
      for (const auto& [name, bytes] : fresh) {
        const Bytes now = test::ReadBytes(out_ + "/" + name);
        EXPECT_TRUE(now == bytes || now == old_.at(name)) << name << " is torn";
        replaced += now == bytes;
      }
      if (mode == FaultyFs::Mode::kFailOne && !done) {
        EXPECT_EQ(files.size(), replaced);
        EXPECT_TRUE(ui.messages.back().starts_with(kExportErrorText)) << ui.messages.back();
      }
      // A crash leaves no visible stray, and the next export clears what it hid.
      std::vector<std::string> names = test::FileNames(out_);
      std::erase_if(names, [](const std::string& name) { return name.starts_with("."); });
      EXPECT_EQ(names, (std::vector<std::string>{"ONE.txt", "TWO.txt"}));
      ASSERT_TRUE(ExportAll(FileSystem::Default(), ui, dir_ / "P", out_, {}, {}, &files));
      EXPECT_EQ(test::FileNames(out_), (std::vector<std::string>{"ONE.txt", "TWO.txt"}));
    });
  }
}

// The files are flushed together and the folder once, not each file in turn; their temporary
// names are hidden, and those a stopped export left are removed by the next, only they.
TEST_F(ExportAllOver, FlushesOnceThroughHiddenTemporariesAndClearsThoseLeftBefore) {
  TempDir other;
  test::WriteBytes(other / "victim", {'v'});
  const std::vector<std::string> leftovers = {".ONE.txt.barvane-tmp", ".GONE.txt.barvane-tmp"};
  const std::vector<std::string> others = {"ONE.txt.NEW", ".barvane-tmp", "ONE.txt.barvane-tmp", ".notes"};
  for (const auto* names : {&leftovers, &others}) {
    for (const std::string& name : *names) test::WriteBytes(out_ + "/" + name, {1});
  }
  std::filesystem::create_symlink(other / "victim", out_ + "/.LINK.txt.barvane-tmp");
  test::CountingFs logged;
  test::RecordingUi ui;
  std::vector<ExportedFile> files;
  ASSERT_TRUE(ExportAll(logged, ui, dir_ / "P", out_, {}, {}, &files));
  EXPECT_EQ(logged.made, (std::vector<std::string>{".ONE.txt.barvane-tmp", ".TWO.txt.barvane-tmp"}));
  EXPECT_EQ(logged.flushes, (std::vector<std::string>{"flush 2 files", "flush folder"}));
  std::vector<std::string> expected = others;
  expected.insert(expected.end(), {".LINK.txt.barvane-tmp", "ONE.txt", "TWO.txt"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(test::FileNames(out_), expected);
  EXPECT_EQ(test::ReadBytes(out_ + "/ONE.txt"), New().at("ONE.txt"));
  EXPECT_EQ(test::ReadBytes(other / "victim"), (Bytes{'v'}));
}

TEST(ExportTemporaryName, IsHiddenBesideItsFileAndRecognisedByItsPattern) {
  EXPECT_EQ(ExportTemporaryPath("/out/ALPHA.txt"), "/out/.ALPHA.txt.barvane-tmp");
  EXPECT_EQ(ExportTemporaryPath("ALPHA.txt"), ".ALPHA.txt.barvane-tmp");
  for (const auto& [name, ours] : std::vector<std::pair<std::string, bool>>{
           {".ALPHA.txt.barvane-tmp", true}, {".a.barvane-tmp", true}, {"..barvane-tmp", false},
           {".barvane-tmp", false}, {"ALPHA.txt.barvane-tmp", false}, {".ALPHA.txt.barvane-tmp2", false},
           {".ALPHA.txt.NEW", false}, {"", false}}) {
    EXPECT_EQ(IsExportTemporaryName(name), ours) << name;
  }
}

}  // namespace
}  // namespace barvane
