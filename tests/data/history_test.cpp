// The history store and the recorder: what a change holds, how portfolios are known, the
// bounds, and a recording that cannot be stored.
#include "data/history.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/change_recorder.h"
#include "data/file_names.h"
#include "data/rewrite.h"
#include "support/counting_fs.h"
#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

using test::ReadBytes;
using test::Snapshot;
using test::TempDir;

const DayNumber kMonday = YmdToDay(98, 6, 15);
#ifdef _WIN32
constexpr bool kLinks = false;  // the store copies every file there
#else
constexpr bool kLinks = true;  // the store keeps a file replaced whole by a further name
#endif

void BuildPortfolio(const std::string& dir, const std::string& symbol = "ABC") {
  test::Build(dir, test::Portfolio(test::Symbol(1, symbol, test::Fields28(), test::WeekdayQuotes(kMonday, 6))));
}

QuoteChange DeleteOf(DayNumber day) {
  QuoteChange change;
  change.op = QuoteOp::kDelete;
  change.fromDay = change.toDay = day;
  return change;
}

QuoteChange Doubling() {
  QuoteChange change;
  change.op = QuoteOp::kMultiply;
  change.value = {2, 2, 2, 2, 1, 1};
  change.toDay = kMonday + 100;
  return change;
}

std::string Real(const std::string& path) { return std::filesystem::canonical(path).generic_string(); }

// Writes `bytes` to `name` in `dir` as one recorded change.
void Record(ChangeRecorder& recorder, const std::string& dir, const std::string& name, const Bytes& bytes) {
  ChangeScope scope(recorder, {"write", dir, name}, dir);
  ASSERT_TRUE(WriteFileSafely(recorder, WithTrailingSlash(dir) + name, bytes));
}

// The store's files but its recordings, which stay until the store's next flush.
std::vector<std::string> StoredNames(const std::string& dir) {
  std::vector<std::string> names = test::FileNames(dir);
  std::erase_if(names, [](const std::string& name) { return name.find(".rec") != std::string::npos; });
  return names;
}

class HistoryTest : public testing::Test {
 protected:
  TempDir root_, data_;
  std::string dir_ = root_ / "P/";
  History history_{FileSystem::Default(), data_.path()};
  ChangeRecorder recorder_{FileSystem::Default(), history_};
};

// A file system on which no file can have a further name, as when the store is on another.
class NoLinksFs final : public FileSystemWrapper {
 public:
  NoLinksFs() : FileSystemWrapper(FileSystem::Default()) {}
  bool Link(const std::string&, const std::string&) override { return false; }
};

// A file replaced whole is kept by a further name where it can be, else copied into the change.
TEST_F(HistoryTest, ChangeHoldsEveryTouchedFileBeforeAndAfterWithoutTemporaries) {
  NoLinksFs noLinks;
  for (FileSystem* fs : {&FileSystem::Default(), static_cast<FileSystem*>(&noLinks)}) {
    const bool links = kLinks && fs == &FileSystem::Default();
    SCOPED_TRACE(links ? "links" : "no links");
    std::filesystem::remove_all(dir_);
    std::filesystem::remove_all(data_.path());
    BuildPortfolio(dir_);
    const auto before = Snapshot(dir_);
    History history(*fs, data_.path());
    ChangeRecorder recorder(FileSystem::Default(), history);
    {
      ChangeScope scope(recorder, {"delete-quote", dir_, "ABC", "06/15/98"}, dir_);
      ASSERT_EQ(RewriteQuotes(recorder, DeleteOf(kMonday), dir_, "ABC"), kSuccess);
    }
    const auto after = Snapshot(dir_);
    std::vector<Change> listed;
    ASSERT_TRUE(history.List(dir_, &listed));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].words, (std::vector<std::string>{"delete-quote", dir_, "ABC", "06/15/98"}));
    EXPECT_EQ(listed[0].portfolios, std::vector<std::string>{Real(dir_)});
    EXPECT_FALSE(listed[0].undone);

    Change change;
    ASSERT_TRUE(history.Load(listed[0].id, &change));
    std::map<std::string, FileChange> files;
    for (const FileChange& file : change.files) files[file.path.substr(Real(dir_).size() + 1)] = file;
    // The quote file, its backup, the MASTER (the first date moved) and its backup; no .NEW.
    ASSERT_EQ(files.size(), 4u);
    std::vector<std::string> stored{"000000000001.chg"};
    for (const char* name : {"F1.DAT", "MASTER"}) {
      EXPECT_EQ(files[name].before, before.at(name)) << name;
      EXPECT_EQ(files[name].kept.has_value(), links) << name;
      if (files[name].kept) stored.push_back("000000000001.keep" + std::to_string(*files[name].kept));
      // Kept as a digest only, until an undo takes the bytes.
      EXPECT_FALSE(files[name].after) << name;
      EXPECT_TRUE(HeldAfter(files[name], after.at(name))) << name;
      EXPECT_FALSE(HeldAfter(files[name], before.at(name))) << name;
    }
    for (const char* name : {"F1.BAK", "MASTER.BAK"}) {
      EXPECT_FALSE(files[name].before) << name;
      // A backup holds what its file held before: kept as that, not twice.
      EXPECT_EQ(files[name].after, after.at(name)) << name;
    }
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(StoredNames(data_.path()), stored);
  }
}

// The history's further name of a file must not see it written in place; one that no change
// names is a leftover of a crash.
TEST_F(HistoryTest, KeptFileIsNeverWrittenInPlaceAndOneNoChangeNamesIsALeftover) {
  BuildPortfolio(dir_);
  const Bytes master = ReadBytes(dir_ + "MASTER");
  {
    ChangeScope scope(recorder_, {"write", dir_}, dir_);
    auto temporary = recorder_.CreateExclusive(CopyTemporaryPath(dir_ + "MASTER"));
    ASSERT_TRUE(temporary);
    ASSERT_TRUE(temporary->Close());
    EXPECT_FALSE(recorder_.OpenForRewrite(dir_ + "MASTER"));
    EXPECT_FALSE(recorder_.CreateForWrite(dir_ + "MASTER"));
    ASSERT_TRUE(recorder_.Rename(CopyTemporaryPath(dir_ + "MASTER"), dir_ + "MASTER"));
    auto file = recorder_.OpenForRewrite(dir_ + "MASTER");  // a file of its own again
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Append(master.data(), 10));
    ASSERT_TRUE(file->Close());
  }
  // The recording stays until the store's next flush.
  std::vector<std::string> names = test::FileNames(data_.path());
  ASSERT_EQ(names, (std::vector<std::string>{"000000000001.chg", "000000000001.keep1", "000000000001.rec"}));
  EXPECT_EQ(ReadBytes(data_ / names[1]), master);
  test::WriteBytes(data_ / "000000000001.keep7", {1});
  test::WriteBytes(data_ / "000000000005.keep0", {1});
  history_.RemoveLeftovers();
  names.pop_back();
  EXPECT_EQ(test::FileNames(data_.path()), names);
}

// The old bytes are large enough to be packed while the command runs.
TEST_F(HistoryTest, FileRewrittenInPlaceIsHeldBeforeAndAfter) {
  BuildPortfolio(dir_);
  Bytes older(100000);
  for (std::size_t i = 0; i < older.size(); ++i) older[i] = static_cast<std::uint8_t>(i * i >> 7);
  test::WriteBytes(dir_ + "OUT.txt", older);
  {
    ChangeScope scope(recorder_, {"write", dir_}, dir_);
    auto file = recorder_.OpenForRewrite(dir_ + "OUT.txt");
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Append(reinterpret_cast<const std::uint8_t*>("new"), 3));
    ASSERT_TRUE(file->Close());
  }
  EXPECT_EQ(ReadBytes(dir_ + "OUT.txt"), (Bytes{'n', 'e', 'w'}));
  std::vector<Change> listed;
  ASSERT_TRUE(history_.List(dir_, &listed));
  ASSERT_EQ(listed.size(), 1u);
  Change change;
  ASSERT_TRUE(history_.Load(listed[0].id, &change));
  ASSERT_EQ(change.files.size(), 1u);
  EXPECT_EQ(change.files[0].before, older);
  EXPECT_TRUE(HeldAfter(change.files[0], Bytes{'n', 'e', 'w'}));
  for (const std::optional<Bytes>& other : {std::optional<Bytes>(), std::optional(Bytes{'n', 'e'}), std::optional(Bytes{'n', 'e', 'x'})}) {
    EXPECT_FALSE(HeldAfter(change.files[0], other));
  }
}

TEST_F(HistoryTest, CommandThatEndsWithEveryFileAsItWasLeavesNoChange) {
  BuildPortfolio(dir_);
  {
    ChangeScope scope(recorder_, {"delete-quote", dir_, "ABC", "01/01/99"}, dir_);
    ASSERT_EQ(RewriteQuotes(recorder_, DeleteOf(kMonday + 200), dir_, "ABC"), kDayNotInFile);
  }
  {
    ChangeScope scope(recorder_, {"rewrite", dir_}, dir_);
    ASSERT_TRUE(WriteFileSafely(recorder_, dir_ + "MASTER", ReadBytes(dir_ + "MASTER")));
  }
  ASSERT_TRUE(WriteFileSafely(recorder_, dir_ + "F9.DAT", {1}));  // outside any change
  std::vector<Change> listed;
  ASSERT_TRUE(history_.List(dir_, &listed));
  EXPECT_TRUE(listed.empty());
  EXPECT_TRUE(test::FileNames(data_.path()).empty());
}

TEST_F(HistoryTest, PortfolioIsKnownByItsRealPathHoweverSpelled) {
  BuildPortfolio(dir_);
  std::filesystem::create_directory_symlink(dir_, root_ / "link");
  Record(recorder_, root_ / "link/", "F2.DAT", {2});
  for (const std::string& spelling : {dir_, WithoutTrailingSlash(dir_), root_ / "link", root_ / "P/../link/"}) {
    std::vector<Change> listed;
    ASSERT_TRUE(history_.List(spelling, &listed));
    EXPECT_EQ(listed.size(), 1u) << spelling;
  }
  Change change;
  ASSERT_TRUE(history_.Load(1, &change));
  EXPECT_EQ(change.files.at(0).path, Real(dir_) + "/F2.DAT");
}

TEST_F(HistoryTest, KeepsTheNewestChangesOfEachPortfolioAndNoneNewerThanOneKept) {
  History history(FileSystem::Default(), data_.path(), {3, 1u << 30});
  ChangeRecorder recorder(FileSystem::Default(), history);
  const std::string a = root_ / "A", b = root_ / "B";
  std::filesystem::create_directory(a);
  std::filesystem::create_directory(b);
  {
    ChangeScope scope(recorder, {"copy-symbol", a, "X", b}, a);  // listed under both
    ASSERT_TRUE(WriteFileSafely(recorder, b + "/F1.DAT", {1}));
  }
  for (std::uint8_t i = 0; i < 5; ++i) Record(recorder, a, "F2.DAT", {i});
  std::vector<Change> listedA, listedB;
  ASSERT_TRUE(history.List(a, &listedA));
  ASSERT_TRUE(history.List(b, &listedB));
  std::vector<std::uint64_t> ids;
  for (const Change& c : listedA) ids.push_back(c.id);
  // The copy, which B still counts among its newest three, keeps every newer change of A: an
  // undo of A never steps over a change that is gone.
  EXPECT_EQ(ids, (std::vector<std::uint64_t>{6, 5, 4, 3, 2, 1}));
  ASSERT_EQ(listedB.size(), 1u);

  for (std::uint8_t i = 0; i < 3; ++i) Record(recorder, b, "F3.DAT", {i});
  ASSERT_TRUE(history.List(a, &listedA));
  EXPECT_EQ(listedA.size(), 3u);  // the copy is now old for both
  ASSERT_TRUE(history.List(b, &listedB));
  EXPECT_EQ(listedB.size(), 3u);
}

// `size` bytes that no packing makes smaller.
Bytes Noise(std::size_t size, std::uint32_t seed) {
  Bytes bytes(size);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
  return bytes;
}

TEST_F(HistoryTest, SizeCapDropsTheOldestChangesButNeverTheLatest) {
  History history(FileSystem::Default(), data_.path(), {50, 6000});
  ChangeRecorder recorder(FileSystem::Default(), history);
  const std::string a = root_ / "A";
  std::filesystem::create_directory(a);
  // What a change keeps is the bytes its files held before.
  test::WriteBytes(a + "/F1.DAT", Noise(2000, 1));
  test::WriteBytes(a + "/F2.DAT", Noise(2000, 2));
  test::WriteBytes(a + "/F3.DAT", Noise(10000, 3));  // alone larger than the cap
  Record(recorder, a, "F1.DAT", Bytes(200, 1));
  Record(recorder, a, "F2.DAT", Bytes(200, 2));
  Record(recorder, a, "F3.DAT", Bytes(1000, 3));
  std::vector<Change> listed;
  ASSERT_TRUE(history.List(a, &listed));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].id, 3u);
  Record(recorder, a, "F1.DAT", Bytes(100, 4));
  ASSERT_TRUE(history.List(a, &listed));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].id, 4u);
}

// Unpacked, the files kept under further names pass the cap; packed into their changes, all fit.
TEST_F(HistoryTest, SizeCapPacksKeptFilesBeforeItDropsAChange) {
  History history(FileSystem::Default(), data_.path(), {50, 5500});
  ChangeRecorder recorder(FileSystem::Default(), history);
  const std::string a = root_ / "A";
  std::filesystem::create_directory(a);
  test::WriteBytes(a + "/F1.DAT", Bytes(4000, 0));
  for (std::uint8_t i = 1; i <= 3; ++i) Record(recorder, a, "F1.DAT", Bytes(4000, i));
  std::vector<Change> listed;
  ASSERT_TRUE(history.List(a, &listed));
  ASSERT_EQ(listed.size(), 3u);
  for (const Change& change : listed) {
    Change loaded;
    ASSERT_TRUE(history.Load(change.id, &loaded));
    ASSERT_EQ(loaded.files.size(), 1u);
    EXPECT_EQ(loaded.files[0].before, Bytes(4000, static_cast<std::uint8_t>(change.id - 1)));
  }
  std::vector<std::string> names{"000000000001.chg", "000000000002.chg", "000000000003.chg"};
  if (kLinks) names.push_back("000000000003.keep1");  // the newest as it was
  EXPECT_EQ(StoredNames(data_.path()), names);
}

// Every stored change names its files' bytes after by this digest: it must stay BLAKE2b-256.
TEST(History, StrongDigestIsBlake2b256) {
  const auto hex = [](const Digest& digest) {
    std::string text;
    for (std::uint8_t byte : digest) {
      text += "0123456789abcdef"[byte >> 4];
      text += "0123456789abcdef"[byte & 15];
    }
    return text;
  };
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(hex(StrongDigest(abc, 0)), "0e5751c026e543b2e8ab2eb06099daa1d1e5df47778f7787faab45cdf12fe3a8");
  EXPECT_EQ(hex(StrongDigest(abc, 3)), "bddd813c634239723171ef3fee98579b94964e3bb1cb3e427262c8c068d52319");
}

TEST(HistoryLimits, SizeCapComesFromTheEnvironmentInMegabytes) {
  for (const auto& [text, bytes] : std::vector<std::pair<const char*, std::uint64_t>>{
           {"64", 64u << 20}, {"1", 1u << 20}, {"0", 512u << 20}, {"-3", 512u << 20}, {"12x", 512u << 20}, {"", 512u << 20}}) {
    test::SetEnvironment("BARVANE_HISTORY_MB", text);
    EXPECT_EQ(HistoryLimits::FromEnvironment().maxBytes, bytes) << text;
    EXPECT_EQ(HistoryLimits::FromEnvironment().changesPerPortfolio, 50);
  }
  test::SetEnvironment("BARVANE_HISTORY_MB", "");
}

TEST(History, WordsAreQuotedWhereTheSystemsCommandLineWouldSplitThem) {
  const std::vector<std::string> words = {"edit-symbol", "/a b/P", "X",         "it's",   "",
                                          "N/A",         "C:\\DATA\\P", "C:\\My Data\\", "a\\\"b c", "tab\there"};
#ifdef _WIN32
  EXPECT_EQ(WordsText(words), "edit-symbol \"/a b/P\" X it's \"\" N/A C:\\DATA\\P \"C:\\My Data\\\\\" "
                              "\"a\\\\\\\"b c\" \"tab\there\"");
#else
  EXPECT_EQ(WordsText(words), "edit-symbol '/a b/P' X 'it'\\''s' '' N/A 'C:\\DATA\\P' 'C:\\My Data\\' "
                              "'a\\\"b c' 'tab\there'");
#endif
}

TEST_F(HistoryTest, DamagedChangeFileIsPassedOver) {
  BuildPortfolio(dir_);
  for (std::uint8_t i = 1; i <= 3; ++i) Record(recorder_, dir_, "F2.DAT", {i});
  // 1: a byte of its states flipped; 2: cut short, as a crash leaves it; 4: no change file.
  Bytes flipped = ReadBytes(data_ / "000000000001.chg");
  flipped[flipped.size() - 12] ^= 1;
  test::WriteBytes(data_ / "000000000001.chg", flipped);
  Bytes cut = ReadBytes(data_ / "000000000002.chg");
  cut.resize(cut.size() - 1);
  test::WriteBytes(data_ / "000000000002.chg", cut);
  test::WriteBytes(data_ / "000000000004.chg", {'B', 'V'});
  std::vector<Change> listed;
  ASSERT_TRUE(history_.List(dir_, &listed));
  ASSERT_EQ(listed.size(), 2u);  // the header still reads
  EXPECT_EQ(listed[1].id, 1u);
  Change change;
  EXPECT_FALSE(history_.Load(1, &change));
  EXPECT_FALSE(history_.Load(2, &change));
  EXPECT_TRUE(history_.Load(3, &change));
}

// A change of many files (a whole portfolio's repair) stores each file's old bytes once while
// it is made, not every file again at each new one; a crash part way is completed whole.
TEST_F(HistoryTest, RecordingStoresEachFilesBytesOnceAndIsRecoveredWhole) {
  constexpr int kFiles = 40;
  constexpr std::size_t kSize = 5000;
  std::filesystem::create_directories(dir_);
  for (int i = 0; i < kFiles; ++i) test::WriteBytes(dir_ + "Q" + std::to_string(i), Bytes(kSize, 1));
  test::CountingFs counting;
  History history(counting, data_.path());
  ChangeRecorder recorder(FileSystem::Default(), history);
  recorder.Begin({"check", dir_, "--repair"}, dir_);
  for (int i = 0; i < kFiles; ++i) ASSERT_TRUE(WriteFileSafely(recorder, dir_ + "Q" + std::to_string(i), Bytes(kSize, 2)));
  EXPECT_LT(counting.written, 2 * kFiles * kSize);  // the recording and nothing but the recording

  // The process stops here; the next start stores the change with every file.
  History next(FileSystem::Default(), data_.path());
  History::Pending pending;
  ASSERT_TRUE(next.FindPending(&pending));
  ASSERT_EQ(pending.recordings, std::vector<std::uint64_t>{1});
  Change recorded;
  ASSERT_TRUE(next.LoadRecording(1, &recorded));
  // Each write noted its temporary file, then the file it replaced.
  ASSERT_EQ(recorded.files.size(), static_cast<std::size_t>(2 * kFiles));
  EXPECT_TRUE(recorded.files.back().path.ends_with("/Q" + std::to_string(kFiles - 1)));
  EXPECT_EQ(recorded.files.back().before, Bytes(kSize, 1));
  ASSERT_TRUE(next.Commit(std::move(recorded)));
  // The change, and the files it replaced under further names.
  EXPECT_EQ(StoredNames(data_.path()).size(), static_cast<std::size_t>(kLinks ? kFiles + 1 : 1));
  Change stored;
  ASSERT_TRUE(next.Load(1, &stored));
  EXPECT_EQ(stored.files.size(), static_cast<std::size_t>(kFiles));
  EXPECT_TRUE(HeldAfter(stored.files[7], Bytes(kSize, 2)));
}

// A change costs no flush of its own: its file reaches the disk with the store's next flush, and
// until then its recording, on the disk since before any file was altered, stands in for it.
TEST_F(HistoryTest, ChangeFileWaitsForTheNextFlushWhileItsRecordingStandsIn) {
  std::filesystem::create_directories(dir_);
  test::CountingFs counting;
  History history(counting, data_.path());
  ChangeRecorder recorder(FileSystem::Default(), history);
  Record(recorder, dir_, "Q", {1});
  EXPECT_EQ(counting.flushes, std::vector<std::string>{"flush 2 files"});  // with the file written
  EXPECT_EQ(test::FileNames(data_.path()), (std::vector<std::string>{"000000000001.chg", "000000000001.rec"}));

  // The next change's recording flushes it, in the same call; then its recording goes.
  counting.flushes.clear();
  Record(recorder, dir_, "Q", {2});
  EXPECT_EQ(counting.flushes, std::vector<std::string>{"flush 3 files"});
  std::vector<std::string> names = {"000000000001.chg", "000000000002.chg", "000000000002.keep1", "000000000002.rec"};
  if (!kLinks) names.erase(names.begin() + 2);
  EXPECT_EQ(test::FileNames(data_.path()), names);
  History::Pending pending;
  ASSERT_TRUE(History(FileSystem::Default(), data_.path()).FindPending(&pending));
  EXPECT_TRUE(pending.recordings.empty());
  // So does an undo, before it puts any file back.
  Change change;
  ASSERT_TRUE(history.Load(2, &change));
  ASSERT_TRUE(history.MarkApplying(change, true));
  EXPECT_FALSE(std::filesystem::exists(data_ / "000000000002.rec"));
}

// Power fails before a change file reaches the disk, losing its last page, or all of it but the
// part of the recording it was added to: the next start makes it again from the recording.
TEST_F(HistoryTest, ChangeFileLostToAPowerFailureIsMadeAgainFromItsRecording) {
  const std::string changeMagic = "BVHIST2\n";
  for (const std::uint8_t value : {1, 2}) {
    const bool changeLost = value == 2;
    SCOPED_TRACE(changeLost ? "change lost" : "last page lost");
    std::filesystem::remove_all(data_.path());
    std::filesystem::create_directories(dir_);
    Record(recorder_, dir_, "Q", {value});
    Bytes bytes = ReadBytes(data_ / "000000000001.chg");
    if (kLinks) {  // the recording's file, the change added after its part
      EXPECT_TRUE(std::filesystem::equivalent(data_ / "000000000001.chg", data_ / "000000000001.rec"));
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "BVHISTR\n");
    }
    if (changeLost) {
      bytes.erase(std::search(bytes.begin(), bytes.end(), changeMagic.begin(), changeMagic.end()), bytes.end());
    } else {
      std::fill(bytes.end() - 8, bytes.end(), 0);
    }
    test::WriteBytes(data_ / "000000000001.chg", bytes);
    History next(FileSystem::Default(), data_.path());
    next.RemoveLeftovers();
    History::Pending pending;
    ASSERT_TRUE(next.FindPending(&pending));
    ASSERT_EQ(pending.recordings, std::vector<std::uint64_t>{1});
    Change change;
    ASSERT_TRUE(next.LoadRecording(1, &change));
    ASSERT_TRUE(next.Commit(std::move(change)));
    ASSERT_TRUE(next.Load(1, &change));
    EXPECT_TRUE(HeldAfter(change.files.at(0), Bytes{value}));
  }
}

// The file of a change dropped stays as "spare" and becomes the next recording's. A crash that
// leaves only its new name, the old bytes in it, leaves a torn recording: the next start removes it.
TEST_F(HistoryTest, DroppedChangeFileIsTakenOverByTheNextRecording) {
  std::filesystem::create_directories(dir_);
  History history(FileSystem::Default(), data_.path(), {1, std::uint64_t{1} << 20});
  ChangeRecorder recorder(FileSystem::Default(), history);
  Record(recorder, dir_, "Q", {1});
  Record(recorder, dir_, "Q", {2});
  FileInfo spare, taken;
  ASSERT_TRUE(FileSystem::Default().Stat(data_ / "spare", &spare));
  const Bytes old = ReadBytes(data_ / "spare");
  Record(recorder, dir_, "Q", {3});
  ASSERT_TRUE(FileSystem::Default().Stat(data_ / "000000000003.rec", &taken));
  EXPECT_EQ(taken.identity, spare.identity);

  test::WriteBytes(data_ / "000000000004.rec", old);
  History next(FileSystem::Default(), data_.path());
  next.RemoveLeftovers();
  EXPECT_FALSE(std::filesystem::exists(data_ / "000000000004.rec"));
  History::Pending pending;
  ASSERT_TRUE(next.FindPending(&pending));
  EXPECT_TRUE(pending.recordings.empty());
}

// Temporary files flushed together, as export-all flushes them, take the recording with them.
TEST_F(HistoryTest, FilesFlushedTogetherTakeTheRecordingWithThem) {
  std::filesystem::create_directories(dir_);
  test::CountingFs counting;
  History history(counting, data_.path());
  ChangeRecorder recorder(FileSystem::Default(), history);
  ChangeScope scope(recorder, {"export-all", dir_}, dir_);
  std::vector<std::string> temporaries;
  for (const char* name : {"A.txt", "B.txt"}) {
    temporaries.push_back(CopyTemporaryPath(dir_ + name));
    ASSERT_TRUE(recorder.CreateExclusive(temporaries.back()));
  }
  ASSERT_TRUE(recorder.SyncFiles(temporaries, nullptr));
  EXPECT_EQ(counting.flushes, std::vector<std::string>{"flush 4 files"});  // and the recording and its folder
}

// A file system whose every append writes half its bytes and fails, as on a disk that fills.
class TornAppendsFs final : public FileSystemWrapper {
 public:
  TornAppendsFs() : FileSystemWrapper(FileSystem::Default()) {}
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    class Torn final : public WritableFile {
     public:
      explicit Torn(std::unique_ptr<WritableFile> file) : file_(std::move(file)) {}
      bool Append(const std::uint8_t* data, std::size_t n) override {
        (void)file_->Append(data, n / 2);
        return false;
      }
      bool Sync() override { return file_->Sync(); }
      bool Close() override { return file_->Close(); }

     private:
      std::unique_ptr<WritableFile> file_;
    };
    auto file = target().OpenForAppend(path);
    return file ? std::make_unique<Torn>(std::move(file)) : nullptr;
  }
};

// The parts of a recording noted later are added to its file. After an append that failed
// halfway, they take files of their own; a start after a crash reads every part either way, and
// the parts of an older version's recording as well.
TEST_F(HistoryTest, LaterPartsJoinTheRecordingOrAfterATornAppendStandApart) {
  TornAppendsFs torn;
  for (FileSystem* fs : {&FileSystem::Default(), static_cast<FileSystem*>(&torn)}) {
    SCOPED_TRACE(fs == &torn ? "torn" : "whole");
    std::filesystem::remove_all(data_.path());
    std::filesystem::create_directories(dir_);
    History history(*fs, data_.path());
    ChangeRecorder recorder(FileSystem::Default(), history);
    ChangeScope scope(recorder, {"export-all", dir_}, dir_);
    for (const char* name : {"A.txt", "B.txt", "C.txt"}) {
      ASSERT_TRUE(recorder.CreateExclusive(CopyTemporaryPath(dir_ + name)));
    }
    const std::vector<std::string> whole{"000000000001.rec"};
    const std::vector<std::string> apart{"000000000001.rec", "000000000001.rec2", "000000000001.rec4"};
    EXPECT_EQ(test::FileNames(data_.path()), fs == &torn ? apart : whole);
    Change recording;
    ASSERT_TRUE(History(FileSystem::Default(), data_.path()).LoadRecording(1, &recording));
    ASSERT_EQ(recording.files.size(), 6u);  // each temporary file and the file it replaces
    EXPECT_EQ(recording.files[5].path, Real(dir_) + "/C.txt");
    if (fs != &torn) continue;
    // As an older version leaves them after a crash: each part a file with the change's magic.
    const std::string part = "BVHISTR\n", change = "BVHIST2\n";
    for (const std::string& name : apart) {
      Bytes bytes = ReadBytes(data_ / name);
      bytes.erase(std::search(bytes.begin() + 1, bytes.end(), part.begin(), part.end()), bytes.end());
      std::copy(change.begin(), change.end(), bytes.begin());
      const std::uint64_t sum = Checksum(bytes.data(), bytes.size() - 8);
      for (int i = 0; i < 8; ++i) bytes[bytes.size() - 8 + i] = static_cast<std::uint8_t>(sum >> (8 * i));
      test::WriteBytes(data_ / name, bytes);
    }
    ASSERT_TRUE(History(FileSystem::Default(), data_.path()).LoadRecording(1, &recording));
    EXPECT_EQ(recording.files.size(), 6u);
  }
}

TEST(HistoryCrash, RecorderRefusesACallWhoseBeforeStateCannotBeStored) {
  TempDir root, data;
  BuildPortfolio(root.path());
  const auto original = Snapshot(root.path());
  test::WriteBytes(data / "History", {0});  // a file where the store's directory should be
  History history(FileSystem::Default(), data / "History");
  ChangeRecorder recorder(FileSystem::Default(), history);
  {
    ChangeScope scope(recorder, {"split", root.path(), "ABC", "06/18/98", "2", "1"}, root.path());
    EXPECT_EQ(RewriteQuotes(recorder, Doubling(), root.path(), "ABC"), kFileWrite);
  }
  EXPECT_EQ(Snapshot(root.path()), original);
}

}  // namespace
}  // namespace barvane
