// Undo and redo through the history: a move across two portfolios and the blank-symbol repair
// given back byte for byte, the refusals after outside changes, and an I/O failure or a crash
// at every step of an undo or of a recorded command, after which the next start leaves every
// file old or new, no temporary file in the portfolios or the history, and the history
// agreeing with them.
#include "tools/undo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "data/change_recorder.h"
#include "data/file_names.h"
#include "data/portfolio_lock.h"
#include "data/rewrite.h"
#include "support/faulty_fs.h"
#include "support/portfolio_builder.h"
#include "support/tool_view.h"
#include "tools/copy_symbol.h"

namespace barvane {
namespace {

using test::FaultyFs;
using test::kMonday;
using test::Snapshot;
using test::TempDir;

using Files = std::map<std::string, Bytes>;

// The temporary files left in the history directory `dir`.
std::vector<std::string> StoreTemporaries(const std::string& dir) {
  std::vector<std::string> names = test::FileNames(dir);
  std::erase_if(names, [](const std::string& name) { return !name.ends_with(".NEW"); });
  return names;
}

// SRC holds KEEP (file 3) and ABC (file 7, with F7.DOP and F7.BAK); DEST holds ONE. A move of
// ABC from SRC to DEST is recorded as one change.
class UndoTest : public testing::Test {
 protected:
  void SetUp() override {
    test::Build(src_, test::Portfolio({test::Daily(3, "KEEP", 4, test::Fields8()),
                                       test::Daily(7, "ABC", 8, test::Fields28(), true)}));
    test::WriteBytes(src_ + "F7.BAK", {7, 7, 7});
    test::Build(dest_, test::Portfolio({test::Daily(1, "ONE", 2, test::Fields8())}));
    before_ = Snapshot(root_.path());
    {
      History history(FileSystem::Default(), data_.path());
      ChangeRecorder recorder(FileSystem::Default(), history);
      test::ToolView tv(recorder, src_);
      ChangeScope scope(recorder, {"move-symbol", src_, "ABC", dest_}, src_);
      tv.view.m_seriesSymbol = "ABC";
      ASSERT_TRUE(CopySymbol(tv.view, dest_, true));
    }
    after_ = Snapshot(root_.path());
  }
  // The move's state in the history: undone or in effect.
  bool Undone() {
    History history(FileSystem::Default(), data_.path());
    std::vector<Change> listed;
    EXPECT_TRUE(history.List(dest_, &listed));
    EXPECT_EQ(listed.size(), 1u);
    return !listed.empty() && listed[0].undone;
  }
  // Crashes `command` at each of its steps in turn: the files are then old or new, the history
  // agrees, and `back` returns them to `start` for the next step.
  void CrashAtEveryStep(decltype(&Undo) command, decltype(&Undo) back, const Files& start) {
    test::AtEveryStep(FaultyFs::Mode::kCrash, [&](FaultyFs& faulty) {
      {
        History history(faulty, data_.path());
        (void)command(history, src_, false);
      }
      History next(FileSystem::Default(), data_.path());
      RecoverHistory(next);
      const Files now = Snapshot(root_.path());
      ASSERT_TRUE(now == before_ || now == after_);
      EXPECT_EQ(StoreTemporaries(data_.path()), std::vector<std::string>{});
      EXPECT_EQ(Undone(), now == before_);
      if (!faulty.crashed() || now == start) return;
      ASSERT_TRUE(back(next, src_, false).done);
    });
  }

  TempDir root_, data_;
  std::string src_ = root_ / "SRC/", dest_ = root_ / "DEST/";
  Files before_, after_;
};

TEST_F(UndoTest, MoveIsUndoneAndRedoneUnlessAFileWasRemovedOrCreatedSince) {
  ASSERT_NE(after_, before_);
  History history(FileSystem::Default(), data_.path());
  const UndoOutcome undone = Undo(history, dest_, false);  // from either portfolio
  ASSERT_TRUE(undone.done) << undone.message;
  EXPECT_EQ(std::tie(undone.change.words, undone.change.undone),
            std::make_tuple(std::vector<std::string>{"move-symbol", src_, "ABC", dest_}, true));
  EXPECT_EQ(Snapshot(root_.path()), before_);
  EXPECT_TRUE(Undone());
  EXPECT_EQ(Undo(history, src_, false).message, "Nothing to undo in " + WithoutTrailingSlash(src_));

  const UndoOutcome redone = Redo(history, src_, false);
  ASSERT_TRUE(redone.done) << redone.message;
  EXPECT_EQ(Snapshot(root_.path()), after_);
  EXPECT_FALSE(Undone());
  EXPECT_EQ(Redo(history, dest_, false).message, "Nothing to redo in " + WithoutTrailingSlash(dest_));

  // The move removed F7.DAT from SRC; a file of that name made since is someone else's.
  test::WriteBytes(src_ + "F7.DAT", {1});
  UndoOutcome refused = Undo(history, src_, false);
  EXPECT_TRUE(!refused.done && refused.changedSince);
  EXPECT_EQ(refused.message, src_ + "F7.DAT\nwas changed after \"move-symbol " + src_ + " ABC " + dest_ +
                                 "\", by another program or another change.\nNothing was undone.");
  std::filesystem::remove(src_ + "F7.DAT");
  ASSERT_TRUE(Undo(history, src_, false).done);

  // Redo needs the files as the move found them: DEST's new file number is taken since.
  test::WriteBytes(dest_ + "F2.DAT", {2});
  const Files changed = Snapshot(root_.path());
  refused = Redo(history, src_, false);
  EXPECT_TRUE(refused.changedSince);
  EXPECT_EQ(Snapshot(root_.path()), changed);
  EXPECT_TRUE(Undone());
  ASSERT_TRUE(Redo(history, src_, true).done);
  EXPECT_EQ(Snapshot(root_.path()), after_);
}

// The real file system, noting each removal, each directory flush, each file made and renamed.
class EffectLogFs final : public FileSystemWrapper {
 public:
  EffectLogFs() : FileSystemWrapper(FileSystem::Default()) {}
  bool Remove(const std::string& path) override {
    log.push_back("remove " + path);
    return target().Remove(path);
  }
  bool SyncDirectory(const std::string& dir) override {
    log.push_back("sync " + WithTrailingSlash(dir));
    return target().SyncDirectory(dir);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    log.push_back("create " + path);
    return target().CreateExclusive(path);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    log.push_back("rename to " + to);
    return target().Rename(from, to);
  }
  std::vector<std::string> log;
};

// A file the undo removes is gone on the disk before the change is marked undone: after a
// power loss the mark never stands beside a file that came back.
TEST_F(UndoTest, EveryRemovalIsFlushedBeforeTheUndoIsMarked) {
  EffectLogFs logged;
  History history(logged, data_.path());
  ASSERT_TRUE(Undo(history, src_, false).done);
  const auto mark = std::find_if(logged.log.begin(), logged.log.end(),
                                 [](const std::string& e) { return e.find(".undone") != std::string::npos; });
  ASSERT_NE(mark, logged.log.end());
  int removals = 0;
  for (auto it = logged.log.begin(); it != mark; ++it) {
    if (!it->starts_with("remove ") || it->ends_with(".NEW")) continue;
    ++removals;
    const std::string flush = "sync " + DirectoryOf(it->substr(7));
    EXPECT_NE(std::find(it, mark, flush), mark) << *it << " is not flushed before the mark";
  }
  EXPECT_GT(removals, 0);
}

TEST_F(UndoTest, FailureAtAnyStepOfAnUndoLeavesEveryFileAsItWas) {
  test::AtEveryStep(FaultyFs::Mode::kFailOne, [&](FaultyFs& faulty) {
    History history(faulty, data_.path());
    const UndoOutcome outcome = Undo(history, src_, false);
    EXPECT_TRUE(outcome.done || faulty.faulted());
    History next(FileSystem::Default(), data_.path());
    if (!outcome.done) {
      EXPECT_TRUE(outcome.message.ends_with("cannot be written. Nothing was undone.")) << outcome.message;
      EXPECT_EQ(Snapshot(root_.path()), after_);
      EXPECT_FALSE(Undone());
    }
    RecoverHistory(next);  // a mark that failed is set right at the next start
    EXPECT_EQ(Snapshot(root_.path()), outcome.done ? before_ : after_);
    EXPECT_EQ(StoreTemporaries(data_.path()), std::vector<std::string>{});
    EXPECT_EQ(Undone(), outcome.done);
    if (!outcome.done || !faulty.faulted()) return;
    ASSERT_TRUE(Redo(next, src_, false).done);
  });
}

// A redo takes back what the undo before it kept of the files: a crash at any step of either
// leaves them old or new, a history that agrees, and a change that undoes again.
TEST_F(UndoTest, CrashAtAnyStepOfAnUndoOrARedoLeavesOldOrNewFilesAndAHistoryThatAgrees) {
  CrashAtEveryStep(Undo, Redo, after_);
  ASSERT_TRUE(Undone());  // by the last run, which no crash stopped
  CrashAtEveryStep(Redo, Undo, before_);
}

// A change of the layout before digests (every state's bytes whole, an empty mark when undone)
// still undoes and redoes.
TEST(UndoOldLayout, ChangeKeptWithItsBytesWholeIsUndoneAndRedone) {
  TempDir root, data;
  const std::string dir = std::filesystem::canonical(root.path()).generic_string();
  test::WriteBytes(dir + "/F1.DAT", {'n', 'e', 'w'});
  const auto number = [](Bytes* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  Bytes header;
  const auto text = [&](const std::string& t) {
    number(&header, t.size(), 4);
    header.insert(header.end(), t.begin(), t.end());
  };
  number(&header, 1, 8), number(&header, 1700000000, 8);  // id, time
  number(&header, 2, 4), text("edit"), text(dir);          // the words
  number(&header, 1, 4), text(dir);                        // the portfolios
  number(&header, 1, 4), text(dir + "/F1.DAT");            // the files
  number(&header, 3, 1), number(&header, 3, 8), number(&header, 3, 8);  // both states, 3 bytes each
  Bytes file = {'B', 'V', 'H', 'I', 'S', 'T', '1', '\n'};
  number(&file, header.size(), 4);
  file.insert(file.end(), header.begin(), header.end());
  for (const char* state : {"old", "new"}) file.insert(file.end(), state, state + 3);
  test::WriteBytes(data / "000000000001.chg", file);

  History history(FileSystem::Default(), data.path());
  ASSERT_TRUE(Undo(history, dir, false).done);
  EXPECT_EQ(test::ReadBytes(dir + "/F1.DAT"), (Bytes{'o', 'l', 'd'}));
  ASSERT_TRUE(Redo(history, dir, false).done);
  EXPECT_EQ(test::ReadBytes(dir + "/F1.DAT"), (Bytes{'n', 'e', 'w'}));
  test::WriteBytes(data / "000000000001.undone", {});  // an old undo's mark
  test::WriteBytes(dir + "/F1.DAT", {'o', 'l', 'd'});
  ASSERT_TRUE(Redo(history, dir, false).done);
  EXPECT_EQ(test::ReadBytes(dir + "/F1.DAT"), (Bytes{'n', 'e', 'w'}));
  test::WriteBytes(dir + "/F1.DAT", {'e', 'l', 's', 'e'});
  EXPECT_TRUE(Undo(history, dir, false).changedSince);
}

// The real file system, with `at` run before every directory lock and every removal, given the
// directory or path: there another process's command runs in the race tests.
class RaceFs final : public FileSystemWrapper {
 public:
  explicit RaceFs(std::function<void(const std::string&)> at)
      : FileSystemWrapper(FileSystem::Default()), at_(std::move(at)) {}
  std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode mode, FileIdentity* identity,
                                                  bool* busy) override {
    at_(dir);
    return target().TryLockDirectory(dir, mode, identity, busy);
  }
  bool Remove(const std::string& path) override {
    at_(path);
    return target().Remove(path);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    at_(from);
    return target().Rename(from, to);
  }

 private:
  std::function<void(const std::string&)> at_;
};

// Two symbols, and every change to them recorded as a command makes it: the lock first.
class UndoRace : public testing::Test {
 protected:
  void SetUp() override {
    test::Build(dir_, test::Portfolio({test::Daily(1, "ABC", 3), test::Daily(2, "XYZ", 3)}));
    original_ = Snapshot(root_.path());
  }
  // Sets the open of `symbol` on `day` to `value`, as one recorded command over `history`.
  void Edit(History& history, const std::string& symbol, DayNumber day, float value) {
    ChangeRecorder recorder(FileSystem::Default(), history);
    ChangeScope scope(recorder, {"edit", dir_, symbol}, dir_);
    PortfolioLock lock(recorder);
    ASSERT_TRUE(lock.Acquire({dir_}, LockMode::kExclusive));
    const QuoteChange open{{value}, {false, true, true, true, true, true}, day, day, std::nullopt};
    ASSERT_EQ(RewriteQuotes(recorder, open, dir_, symbol), kSuccess);
  }
  // Compared by identity: the paths may differ in their trailing slash, which Windows' own
  // file status calls refuse.
  bool IsPortfolio(const std::string& path) {
    FileInfo at, portfolio;
    return FileSystem::Default().Stat(path, &at) && FileSystem::Default().Stat(dir_, &portfolio) &&
           at.identity == portfolio.identity;
  }

  TempDir root_, data_;
  std::string dir_ = root_ / "P/";
  Files original_;
};

// Another undo that runs while this one waits for the portfolio: this one then gives back the
// change before, instead of finding its change undone and refusing (or, forced, doing nothing).
TEST_F(UndoRace, UndoChoosesItsChangeOnlyOnceThePortfolioIsLocked) {
  History history(FileSystem::Default(), data_.path());
  Edit(history, "ABC", kMonday, 50);
  Edit(history, "ABC", kMonday + 1, 60);
  UndoOutcome other;
  bool raced = false;
  RaceFs racing([&](const std::string& path) {
    if (raced || !IsPortfolio(path)) return;
    raced = true;
    other = Undo(history, dir_, false);
  });
  History mine(racing, data_.path());
  const UndoOutcome outcome = Undo(mine, dir_, false);
  ASSERT_TRUE(raced);
  ASSERT_TRUE(other.done) << other.message;
  ASSERT_TRUE(outcome.done) << outcome.message;
  EXPECT_NE(outcome.change.id, other.change.id);
  EXPECT_EQ(Snapshot(root_.path()), original_);
}

// A redo tried while another command's change is being stored, after its files are written
// (here: when that change drops the redo it replaces): the redo waits for the portfolio and is
// refused, instead of being done and then dropped from the history with its values in place.
TEST_F(UndoRace, ChangeIsStoredBeforeItsPortfolioIsUnlocked) {
  History history(FileSystem::Default(), data_.path());
  Edit(history, "ABC", kMonday, 50);
  ASSERT_TRUE(Undo(history, dir_, false).done);
  std::vector<Change> listed;
  ASSERT_TRUE(history.List(dir_, &listed));
  ASSERT_EQ(listed.size(), 1u);
  const std::string undoneChange = WithTrailingSlash(data_.path()) + "000000000001.chg";
  UndoOutcome redo;
  bool raced = false;
  RaceFs racing([&](const std::string& path) {
    if (raced || path != undoneChange) return;
    raced = true;
    redo = Redo(history, dir_, false);
  });
  History storing(racing, data_.path());
  Edit(storing, "XYZ", kMonday, 70);
  ASSERT_TRUE(raced);
  EXPECT_FALSE(redo.done);
  EXPECT_EQ(redo.message, PortfolioBusyText(history.PortfolioKey(dir_)));
  // The other command's change alone stands: undone, it leaves the files as they began.
  const UndoOutcome undone = Undo(history, dir_, false);
  ASSERT_TRUE(undone.done) << undone.message;
  Change next;
  EXPECT_FALSE(NextToUndo(history, dir_, &next));
  EXPECT_EQ(Snapshot(root_.path()), original_);
}

TEST(UndoRepair, BlankSymbolRepairIsUndoneToTheExactBytes) {
  TempDir root, data;
  PortfolioDescription p =
      test::Portfolio({test::Daily(1, "ABC", 2, test::Fields8()), test::Daily(2, "", 2, test::Fields8())});
  p.symbols[1].name = "Blank One";
  test::Build(root.path(), p);
  const Files before = Snapshot(root.path());
  History history(FileSystem::Default(), data.path());
  ChangeRecorder recorder(FileSystem::Default(), history);
  {
    ChangeScope scope(recorder, {"blank-symbol-repair", root.path()}, root.path());
    test::ToolView tv(recorder, root.path());
  }
  const Files repaired = Snapshot(root.path());
  ASSERT_NE(repaired, before);
  ASSERT_TRUE(Undo(history, root.path(), false).done);
  EXPECT_EQ(Snapshot(root.path()), before);
  ASSERT_TRUE(Redo(history, root.path(), false).done);
  EXPECT_EQ(Snapshot(root.path()), repaired);
}

// A crash at every step of a recorded delete (quote file, backups, MASTER dates, and the
// history's own writes): the next start completes the change from what the disk holds, and its
// undo gives back every byte from before the command, the earlier backups included. The quote
// file is large enough to be packed while the command runs; the recording takes over the file
// of a change dropped earlier.
TEST(UndoRecovery, RecordedCommandCrashedAtAnyStepIsCompletedAtTheNextStart) {
  test::AtEveryStep(FaultyFs::Mode::kCrash, [](FaultyFs& faulty) {
    TempDir root, data;
    test::Build(root.path(), test::Portfolio(test::Daily(1, "ABC", 2500)));
    test::WriteBytes(root / "F1.BAK", {1, 1});
    test::WriteBytes(root / "MASTER.BAK", {2, 2});
    const auto original = Snapshot(root.path());
    test::WriteBytes(data / "spare", Bytes(5000, 7));
    {
      History history(faulty, data.path());
      ChangeRecorder recorder(faulty, history);
      ChangeScope scope(recorder, {"delete-quote", root.path(), "ABC", "06/15/98"}, root.path());
      const QuoteChange monday{.fromDay = kMonday, .toDay = kMonday, .time = std::nullopt, .op = QuoteOp::kDelete};
      (void)RewriteQuotes(recorder, monday, root.path(), "ABC");
    }
    if (!faulty.crashed()) return;

    History history(FileSystem::Default(), data.path());
    RecoverHistory(history);
    History::Pending pending;
    ASSERT_TRUE(history.FindPending(&pending));
    EXPECT_TRUE(pending.recordings.empty());
    EXPECT_EQ(StoreTemporaries(data.path()), std::vector<std::string>{});
    std::vector<Change> listed;
    ASSERT_TRUE(history.List(root.path(), &listed));
    if (!listed.empty()) {
      const UndoOutcome undone = Undo(history, root.path(), false);
      ASSERT_TRUE(undone.done) << undone.message;
    }
    EXPECT_EQ(Snapshot(root.path()), original);
  });
}

// The store's own temporaries that a crash left go at the next start, but only when no other
// process is making a change, and only they: other names stay, and a link planted under such a
// name is neither followed nor removed.
TEST(UndoRecovery, NextStartRemovesOnlyTheStoresOwnLeftovers) {
  TempDir data, outside;
  const Bytes kept = {'k', 'e', 'e', 'p'};
  test::WriteBytes(outside / "victim", kept);
  const std::vector<std::string> own = {"000000000003.rec.NEW", "000000000004.chg.NEW", "000000000004.undone.NEW",
                                        "000000000005.undoing.NEW", "000000000005.redoing.NEW"};
  const std::vector<std::string> others = {"000000000006.rec.NEW.NEW", "000000000006.rec.new", "6.txt.NEW",
                                           "x6.rec.NEW", ".rec.NEW", "notes.NEW"};
  for (const auto* names : {&own, &others}) {
    for (const std::string& name : *names) test::WriteBytes(data / name, {1, 2, 3});
  }
  std::filesystem::create_symlink(outside / "victim", data / "000000000007.rec.NEW");
  std::filesystem::create_directory(data / "000000000008.chg.NEW");
  {
    History live(FileSystem::Default(), data.path());
    const auto recording = live.LockLive();  // another process is recording a change
    ASSERT_TRUE(recording);
    History starting(FileSystem::Default(), data.path());
    RecoverHistory(starting);
    for (const std::string& name : own) EXPECT_TRUE(test::Exists(data / name)) << name;
  }
  History history(FileSystem::Default(), data.path());
  RecoverHistory(history);
  for (const std::string& name : own) EXPECT_FALSE(test::Exists(data / name)) << name;
  for (const std::string& name : others) EXPECT_EQ(test::ReadBytes(data / name), (Bytes{1, 2, 3})) << name;
  EXPECT_TRUE(std::filesystem::is_symlink(data / "000000000007.rec.NEW"));
  EXPECT_TRUE(std::filesystem::is_directory(data / "000000000008.chg.NEW"));
  EXPECT_EQ(test::ReadBytes(outside / "victim"), kept);
}

TEST(ChangeTitle, NamesTheCommandItsSymbolAndDay) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"split", "/p", "ADY", "12/16/10", "2", "1"}, "Split of ADY on 12/16/10"},
      {{"adjust", "/p", "ADY", "01/03/11", "03/13/12", "2", "1", "1"}, "Adjust of ADY from 01/03/11 to 03/13/12"},
      {{"move-symbol", "/p", "ABU", "/q"}, "Move of ABU to /q"},
      {{"check", "/p", "--repair"}, "Repair of the portfolio"},
      {{"check", "/p", "--repair", "ADY"}, "Repair of ADY"},
      {{"import", "/p", "NEW", "/home/u/a b.txt", "--name", "N"}, "Import of a b.txt into NEW"},
      {{"new-quote", "/p", "GE", "06/22/98", "1", "1", "1", "1", "0", "0"}, "New quote of GE on 06/22/98"},
#ifdef _WIN32
      {{"renumber", "/p", "x y"}, "renumber /p \"x y\""},  // a command it has no words for shows as typed
#else
      {{"renumber", "/p", "x y"}, "renumber /p 'x y'"},
#endif
  };
  for (const auto& [words, title] : cases) {
    Change change;
    change.words = words;
    EXPECT_EQ(ChangeTitle(change), title);
  }
}

}  // namespace
}  // namespace barvane
