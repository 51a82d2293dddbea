// The real file system of the platform (POSIX or Win32) against the contract of fs.h: the
// rewrite in place, the crash-safe replace, names beyond ASCII, any-case lookup, the locks and,
// on Windows, a file another program holds open.
#include "data/fs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "data/file_ops.h"
#include "support/counting_fs.h"
#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

using namespace test;

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool Append(WritableFile& file, const std::string& text) {
  return file.Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(RewriteInPlace, LeavesExactlyTheNewBytesWhateverTheOldFileHeld) {
  TempDir dir;
  FileSystem& fs = FileSystem::Default();
  const std::string path = dir / "out.txt";
  // The first made when missing.
  const std::pair<const char*, std::string> cases[] = {
      {nullptr, "new"}, {"0123456789", "abc"}, {"xy", "abcdef"}, {"same", "SAME"}, {"gone", ""}};
  for (const auto& [before, after] : cases) {
    if (before) WriteBytes(path, B(before));
    auto file = fs.OpenForRewrite(path);
    ASSERT_TRUE(file);
    ASSERT_TRUE(Append(*file, after));
    ASSERT_TRUE(file->Close());
    EXPECT_EQ(ReadBytes(path), B(after)) << after;
  }
  // Cut where the writing stopped when dropped unclosed.
  WriteBytes(path, B("a longer old text"));
  auto dropped = fs.OpenForRewrite(path);
  ASSERT_TRUE(dropped);
  ASSERT_TRUE(Append(*dropped, "half"));
  dropped.reset();
  EXPECT_EQ(ReadBytes(path), B("half"));
}

TEST(RewriteInPlace, WrappersKeepTheirCreateAndWhatCannotBeOpenedGivesNull) {
  TempDir dir;
  CountingFs counting;
  WriteBytes(dir / "out.txt", B("0123456789"));
  auto file = counting.OpenForRewrite(dir / "out.txt");
  ASSERT_TRUE(file);
  EXPECT_EQ(counting.creates, 1);
  ASSERT_TRUE(Append(*file, "abc"));
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(ReadBytes(dir / "out.txt"), B("abc"));

  EXPECT_FALSE(FileSystem::Default().OpenForRewrite(dir / "no/such/dir.txt"));
  WriteBytes(dir / "locked.txt", B("keep"));
  std::filesystem::permissions(dir / "locked.txt", std::filesystem::perms(0444));
  if (IsSuperuser()) return;  // the superuser writes it all the same
  EXPECT_FALSE(FileSystem::Default().OpenForRewrite(dir / "locked.txt"));
  EXPECT_EQ(ReadBytes(dir / "locked.txt"), B("keep"));
}

TEST(FileSystemContract, ReplaceTakesTheNewBytesOrRefusesAndKeepsTheOld) {
  TempDir dir;
  FileSystem& fs = FileSystem::Default();
  const std::string path = dir / "F1.DAT", temporary = dir / "F1.NEW";
  WriteBytes(path, B("old bytes"));
  const Bytes stale = B("not what the file holds");
  EXPECT_FALSE(ReplaceFile(fs, path, temporary, B("refused"), &stale));
  EXPECT_EQ(ReadBytes(path), B("old bytes"));
  const Bytes read = B("old bytes");
  ASSERT_TRUE(ReplaceFile(fs, path, temporary, B("new"), &read));
  EXPECT_EQ(ReadBytes(path), B("new"));
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"F1.DAT"});
  // A leftover temporary of a stopped command is replaced; a directory in its place is not.
  WriteBytes(temporary, B("leftover"));
  ASSERT_TRUE(ReplaceFile(fs, path, temporary, B("again"), nullptr));
  EXPECT_EQ(ReadBytes(path), B("again"));
  ASSERT_TRUE(fs.CreateDirectory(temporary));
  EXPECT_FALSE(ReplaceFile(fs, path, temporary, B("never"), nullptr));
  EXPECT_EQ(ReadBytes(path), B("again"));
}

TEST(FileSystemContract, NamesBeyondAsciiRoundTripThroughEveryCall) {
  TempDir dir;
  FileSystem& fs = FileSystem::Default();
  for (const std::string name : {"Données", "Сбербанк"}) {
    const std::string sub = dir / name;
    ASSERT_TRUE(fs.CreateDirectory(sub)) << name;
    auto file = fs.CreateExclusive(sub + "/MASTER");
    ASSERT_TRUE(file) << name;
    ASSERT_TRUE(Append(*file, name) && file->Sync() && file->Close());
    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(fs, sub + "/MASTER", &bytes));
    EXPECT_EQ(bytes, B(name));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs.ListDirectory(dir.path(), &entries));
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) {
      return e.name == name && e.kind == DirEntry::Kind::kDirectory;
    })) << name;
    const std::string real = fs.RealPath(sub);
    ASSERT_GE(real.size(), name.size());
    EXPECT_EQ(real.substr(real.size() - name.size()), name);
    EXPECT_EQ(FindNoCase(fs, sub + "/", "master"), sub + "/MASTER");
  }
}

TEST(FileSystemContract, AnyCaseLookupPrefersTheExactNameAndTellsFilesFromDirectories) {
  TempDir dir;
  CountingFs fs;
  WriteBytes(dir / "master", B("m"));
  ASSERT_TRUE(fs.CreateDirectory(dir / "Sub"));
  const std::pair<std::string, std::string> files[] = {
      {"MASTER", "master"}, {"master", "master"}, {"MaStEr", "master"}, {"EMASTER", ""}, {"SUB", ""},
      {"MAST*", ""},        {"MASTER?", ""}};
  for (const auto& [asked, found] : files) {
    EXPECT_EQ(FindNoCase(fs, dir.path(), asked), found.empty() ? "" : dir / found) << asked;
  }
  EXPECT_EQ(FindNoCase(fs, dir.path(), "sub", DirEntry::Kind::kDirectory), dir / "Sub");
  EXPECT_EQ(ResolveNoCase(fs, dir.path(), "F1.DAT"), dir / "F1.DAT");
  // Windows is asked for the stored name and lists nothing; elsewhere only "master" itself is
  // found without a listing.
#ifdef _WIN32
  EXPECT_EQ(fs.listings, 0);
#else
  EXPECT_GT(fs.listings, 0);
#endif
}

TEST(FileSystemContract, LocksConflictAsReadersAndWritersDoAndLeaveNoFileInTheDirectory) {
  TempDir dir;
  FileSystem& fs = FileSystem::Default();
  WriteBytes(dir / "MASTER", B("m"));
  FileInfo info;
  ASSERT_TRUE(fs.Stat(dir.path(), &info));
  struct Case {
    LockMode held, wanted;
    bool granted;
  };
  const Case cases[] = {{LockMode::kShared, LockMode::kShared, true},
                        {LockMode::kShared, LockMode::kExclusive, false},
                        {LockMode::kExclusive, LockMode::kShared, false},
                        {LockMode::kExclusive, LockMode::kExclusive, false}};
  for (const Case& c : cases) {
    FileIdentity identity;
    bool busy = true;
    auto held = fs.TryLockDirectory(dir.path(), c.held, &identity, &busy);
    ASSERT_TRUE(held);
    EXPECT_FALSE(busy);
    EXPECT_EQ(identity, info.identity);
    auto second = fs.TryLockDirectory(dir.path(), c.wanted, &identity, &busy);
    EXPECT_EQ(second != nullptr, c.granted);
    EXPECT_EQ(busy, !c.granted);
    second.reset();
    held.reset();
    EXPECT_TRUE(fs.TryLockDirectory(dir.path(), LockMode::kExclusive, &identity, &busy));
  }
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"MASTER"});
  bool busy = true;
  FileIdentity identity;
  EXPECT_FALSE(fs.TryLockDirectory(dir / "none", LockMode::kShared, &identity, &busy));
  EXPECT_FALSE(busy);
}

#ifdef _WIN32
// The C run-time opens files without FILE_SHARE_DELETE, as many programs do: while it holds
// one, Windows refuses to replace or remove it.
TEST(FileSystemContract, AFileHeldOpenByAnotherProgramIsWaitedForThenRefusedUnchanged) {
  TempDir dir;
  FileSystem& fs = FileSystem::Default();
  const std::string path = dir / "F1.DAT";
  WriteBytes(path, B("old"));
  {
    std::ifstream holder(path, std::ios::binary);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(ReplaceFile(fs, path, dir / "F1.NEW", B("new"), nullptr));
    EXPECT_FALSE(fs.Remove(path));
  }
  EXPECT_EQ(ReadBytes(path), B("old"));
  EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"F1.DAT"});

  // Let go within the wait, the file is replaced after all.
  auto holder = std::make_unique<std::ifstream>(path, std::ios::binary);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    holder.reset();
  });
  EXPECT_TRUE(ReplaceFile(fs, path, dir / "F1.NEW", B("new"), nullptr));
  release.join();
  EXPECT_EQ(ReadBytes(path), B("new"));
}
#endif

}  // namespace
}  // namespace barvane
