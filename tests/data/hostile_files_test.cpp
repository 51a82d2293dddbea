// Files that another user or a damaged disk put in a portfolio's way: links planted at the
// temporary names, leftovers of a stopped command, FIFOs and huge sparse files. Nothing outside
// the portfolio may change, nothing may block or exhaust memory, and a failed change keeps the
// previous backup.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/field_layout.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/master.h"
#include "data/quote_series.h"
#include "data/rewrite.h"
#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

using namespace test;

constexpr std::uint64_t k64GiB = std::uint64_t{64} << 30;
const Bytes kVictim = {'k', 'e', 'e', 'p'};

void MakeSparse(const std::string& path, std::uint64_t size) {
  WriteBytes(path, {});
  std::filesystem::resize_file(path, size);
}

// P holds ABC (file 1) with five quotes; OUT/victim is a file beside the portfolio.
class HostileFiles : public testing::Test {
 protected:
  void SetUp() override {
    BuildPortfolio();
    std::filesystem::create_directory(tmp_ / "OUT");
    WriteBytes(victim_, kVictim);
  }
  void BuildPortfolio() { Build(dir_, Portfolio(Symbol(1, "ABC", Fields28(), WeekdayQuotes(kMonday, 5)))); }
  // Deleting the newest quote replaces F1.DAT and the MASTER, each with its backup.
  Status DeleteNewest(FileSystem& fs = Fs()) {
    const DayNumber day = kMonday + 4;
    return RewriteQuotes(fs, {.fromDay = day, .toDay = day, .time = {}, .op = QuoteOp::kDelete}, dir_, "ABC");
  }

  TempDir tmp_;
  std::string dir_ = tmp_ / "P/";
  std::string victim_ = tmp_ / "OUT/victim";
};

class LinkAtTemporaryName : public HostileFiles, public testing::WithParamInterface<const char*> {};

TEST_P(LinkAtTemporaryName, IsNeverWrittenThroughAndTheChangeIsRefused) {
  std::filesystem::create_symlink(victim_, dir_ + GetParam());
  const auto before = Snapshot(tmp_.path());
  EXPECT_EQ(DeleteNewest(), kFileWrite);
  EXPECT_EQ(Snapshot(tmp_.path()), before);
  EXPECT_EQ(ReadBytes(victim_), kVictim);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ + GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Names, LinkAtTemporaryName,
                         testing::Values("F1.NEW", "F1.BAK.NEW", "MASTER.NEW", "MASTER.BAK.NEW"));

TEST_F(HostileFiles, LinkAtRepairTemporaryNameIsNeverWrittenThrough) {
  const std::string master = dir_ + "MASTER";
  std::filesystem::create_symlink(victim_, RepairTemporaryPath(master));
  const Bytes old = ReadBytes(master);
  EXPECT_FALSE(ReplaceFile(Fs(), master, RepairTemporaryPath(master), {1, 2, 3}));
  EXPECT_EQ(ReadBytes(master), old);
  EXPECT_EQ(ReadBytes(victim_), kVictim);
}

TEST_F(HostileFiles, LeftoverTemporaryFilesOfAStoppedCommandAreReplacedButAHardLinkIsNot) {
  std::filesystem::create_hard_link(victim_, dir_ + "F1.NEW");
  EXPECT_EQ(DeleteNewest(), kFileWrite);
  EXPECT_EQ(ReadBytes(victim_), kVictim);
  std::filesystem::remove(dir_ + "F1.NEW");

  for (const char* name : {"F1.NEW", "F1.BAK.NEW", "MASTER.NEW", "MASTER.BAK.NEW"}) {
    WriteBytes(dir_ + name, {0xEE, 0xEE});
  }
  const Bytes oldQuotes = ReadBytes(dir_ + "F1.DAT");
  ASSERT_EQ(DeleteNewest(), kSuccess);
  EXPECT_EQ(ReadBytes(dir_ + "F1.BAK"), oldQuotes);
  EXPECT_EQ(FileNames(dir_), (std::vector<std::string>{"F1.BAK", "F1.DAT", "MASTER", "MASTER.BAK"}));
}

// Fails the rename that would put one chosen file in place.
class FailingRenameTo final : public FileSystemWrapper {
 public:
  explicit FailingRenameTo(std::string suffix) : FileSystemWrapper(FileSystem::Default()), suffix_(suffix) {}
  bool Rename(const std::string& from, const std::string& to) override {
    return !to.ends_with(suffix_) && target().Rename(from, to);
  }

 private:
  std::string suffix_;
};

TEST_F(HostileFiles, FailedReplaceLeavesThePreviousBackups) {
  // First without backups (none may appear), then with those of an earlier change; the last
  // rename, of F1.BAK, fails after MASTER.BAK is in place.
  for (const bool earlier : {false, true}) {
    if (earlier) {
      WriteBytes(dir_ + "F1.BAK", {9, 9, 9});
      WriteBytes(dir_ + "MASTER.BAK", {8, 8});
    }
    for (const char* failing : {"/F1.DAT", "/MASTER", "/MASTER.BAK", "/F1.BAK"}) {
      SCOPED_TRACE(testing::Message() << failing << (earlier ? " over earlier backups" : ""));
      const auto before = Snapshot(dir_);
      FailingRenameTo fs(failing);
      EXPECT_EQ(DeleteNewest(fs), kFileWrite);
      EXPECT_EQ(Snapshot(dir_), before);
    }
  }
  WriteBytes(dir_ + "MASTER.BAK", {8, 8});
  FailingRenameTo fs("/MASTER");
  EXPECT_EQ(UpdateMasterDate(fs, dir_ + "MASTER", DayToMbfDate(kMonday), 1, 1), 1);
  EXPECT_EQ(ReadBytes(dir_ + "MASTER.BAK"), (Bytes{8, 8}));
}

// Another program writes `changed` the moment the command creates `trigger`.
class ChangingMeanwhile final : public FileSystemWrapper {
 public:
  ChangingMeanwhile(std::string changed, std::string trigger)
      : FileSystemWrapper(FileSystem::Default()), changed_(changed), trigger_(trigger) {}
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    if (path.ends_with("/" + trigger_)) WriteBytes(changed_, {'o', 't', 'h'});
    return target().CreateExclusive(path);
  }

 private:
  std::string changed_, trigger_;
};

TEST_F(HostileFiles, FileChangedByAnotherProgramMeanwhileIsNotReplaced) {
  WriteBytes(dir_ + "F1.BAK", {9, 9, 9});
  for (const auto& [name, trigger] : {std::pair{"F1.DAT", "F1.NEW"}, {"MASTER", "MASTER.NEW"}}) {
    SCOPED_TRACE(name);
    ChangingMeanwhile fs(dir_ + name, trigger);
    auto expected = Snapshot(dir_);
    expected[name] = {'o', 't', 'h'};
    EXPECT_EQ(DeleteNewest(fs), kFileWrite);
    EXPECT_EQ(Snapshot(dir_), expected);
    BuildPortfolio();
  }
}

TEST_F(HostileFiles, FifoAsMasterOrQuoteFileIsRefusedWithoutWaiting) {
  for (const char* name : {"MASTER", "F1.DAT"}) {
    SCOPED_TRACE(name);
    std::filesystem::remove(dir_ + name);
    ASSERT_TRUE(MakeFifo(dir_ + name));
    const auto before = Snapshot(tmp_.path());
    Bytes contents;
    EXPECT_FALSE(ReadWholeFile(Fs(), dir_ + name, &contents));
    IndexFiles files;
    EXPECT_EQ(ReadIndexFiles(Fs(), dir_, &files), name[0] != 'M');
    EXPECT_EQ(DeleteNewest(), name[0] == 'M' ? kFileNotFound : kFileOpen);
    EXPECT_EQ(Snapshot(tmp_.path()), before);
    std::filesystem::remove(dir_ + name);
    BuildPortfolio();
  }
}

// An index file too large to be one is refused whole without reading it; so is any file read
// whole beyond its bound.
TEST_F(HostileFiles, HugeSparseIndexFileIsRefusedWithoutReadingIt) {
  for (const char* name : {"MASTER", "EMASTER", "XMASTER"}) {
    SCOPED_TRACE(name);
    const Bytes old = ReadBytes(dir_ + name);
    MakeSparse(dir_ + name, k64GiB);
    IndexFiles files;
    EXPECT_FALSE(ReadIndexFiles(Fs(), dir_, &files));
    if (name[0] == 'M') {
      MasterRecord record;
      std::string recordDir;
      EXPECT_EQ(FindMasterRecord(Fs(), dir_, "ABC", &record, &recordDir), kFileNotFound);
    }
    Bytes contents;
    EXPECT_FALSE(ReadWholeFile(Fs(), dir_ + name, &contents, kLargestMasterFile));
    EXPECT_FALSE(ReadWholeFile(Fs(), dir_ + name, &contents));
    EXPECT_EQ(std::filesystem::file_size(dir_ + name), k64GiB);
    if (old.empty()) {
      std::filesystem::remove(dir_ + name);
    } else {
      WriteBytes(dir_ + name, old);
    }
  }
  WriteBytes(dir_ + "X", Bytes(100, 1));
  Bytes contents;
  EXPECT_TRUE(ReadWholeFile(Fs(), dir_ + "X", &contents, 100));
  EXPECT_EQ(contents.size(), 100u);
  EXPECT_FALSE(ReadWholeFile(Fs(), dir_ + "X", &contents, 99));
  EXPECT_TRUE(contents.empty());
}

// A quote file larger than its header can count is refused; a layout file too large to be one
// counts as none, the layout following from the length.
TEST_F(HostileFiles, QuoteFileLargerThanItsHeaderCanCountAndHugeLayoutFileAreRefused) {
  MakeSparse(dir_ + "F1.DAT", LargestQuoteFile(28) + 28);
  const auto size = std::filesystem::file_size(dir_ + "F1.DAT");
  EXPECT_EQ(DeleteNewest(), kFileOpen);
  EXPECT_EQ(std::filesystem::file_size(dir_ + "F1.DAT"), size);
  EXPECT_FALSE(Exists(dir_ + "F1.BAK"));
  MakeSparse(dir_ + "F1.DOP", k64GiB);
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(Fs(), dir_, 1, 28, 7, &layout), kSuccess);
  EXPECT_EQ(layout.position[kOpenInterest], 7);
}

}  // namespace
}  // namespace barvane
