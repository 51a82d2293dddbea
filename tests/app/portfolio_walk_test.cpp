// The drive walk on temporary trees: its order, what it never enters, the filter, cancelling,
// and a tree deeper than any recursion could go.
#include "app/portfolio_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "data/file_names.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

namespace fsys = std::filesystem;
using test::RecordingUi;
using test::TempDir;
using Paths = std::vector<std::string>;

// The real file system with listings sorted by name, chosen mounts, and one directory that
// cannot be listed; real listing order is arbitrary.
class FixedFs final : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  bool descending = false;
  std::vector<MountEntry> mounts;
  std::string unlistable;

  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    if (dir == unlistable || !target().ListDirectory(dir, entries)) return false;
    std::sort(entries->begin(), entries->end(), [this](const DirEntry& a, const DirEntry& b) {
      return descending ? a.name > b.name : a.name < b.name;
    });
    return true;
  }
  bool ListMounts(std::vector<MountEntry>* out) override {
    *out = mounts;
    return true;
  }
};

// A temporary tree walked through a FixedFs, with a Ui that records.
class PortfolioWalk : public testing::Test {
 protected:
  // Creates below the root each empty file named, or each directory named with a trailing "/".
  void Make(std::initializer_list<std::string> paths) {
    for (const std::string& path : paths) {
      fsys::create_directories(fsys::path(root / path).parent_path());
      if (path.back() != '/') test::WriteBytes(root / path, {});
    }
  }
  // `dirs` as the walk writes them below the root; "" stands for the root itself.
  Paths Under(Paths dirs) {
    for (auto& d : dirs) d = d.empty() ? WithoutTrailingSlash(root.path()) : root / d;
    return dirs;
  }
  Paths Walk(const SearchFilter& filter = {}) { return WalkDirectory(fs, root.path(), filter, ui); }

  TempDir root;
  FixedFs fs{FileSystem::Default()};
  RecordingUi ui;
};

TEST_F(PortfolioWalk, DepthFirstWithTheLastListedSubdirectoryFirst) {
  Make({"MASTER", "a/MASTER", "a/x/MASTER", "a/y/MASTER", "b/MASTER", "c/z/MASTER"});
  EXPECT_EQ(Walk(), Under({"", "c/z", "b", "a", "a/y", "a/x"}));
  fs.descending = true;
  EXPECT_EQ(Walk(), Under({"", "a", "a/x", "a/y", "b", "c/z"}));
}

TEST_F(PortfolioWalk, NeverEntersDotNamesLinksOrUnreadableDirectories) {
  // A directory named MASTER is walked, not listed.
  Make({".hidden/MASTER", "..x/in/MASTER", "d/MASTER/master", "e/master", "f/MaStEr", "h/MASTER.BAK",
        "u/MASTER", "u/v/MASTER", "g/"});
  fsys::create_directory_symlink(root.path(), root / "g/loop");
  fsys::create_directory_symlink(root / "e", root / "g/link");
  // A MASTER that links to a file counts; one that links to a directory does not.
  fsys::create_directories(root / "k");
  fsys::create_symlink(root / "e/master", root / "k/MASTER");
  fsys::create_directories(root / "l");
  fsys::create_directory_symlink(root / "g", root / "l/MASTER");
  // Permissions do not stop root, so the double refuses the listing instead.
  if (test::IsSuperuser()) fs.unlistable = root / "u";
  fsys::permissions(root / "u", fsys::perms::none);
  const Paths found = Walk();
  fsys::permissions(root / "u", fsys::perms::owner_all);
  EXPECT_EQ(found, Under({"k", "f", "e", "d/MASTER"}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PortfolioWalk, StaysOnTheMountItStartsOn) {
  Make({"m/MASTER", "m2/MASTER", "n/MASTER", "n/m/MASTER"});
  const std::string start = WithoutTrailingSlash(root.path());
  fs.mounts = {{"/", "ext4"}, {start, "ext4"}, {start + "/m", "vfat"}, {"/proc", "proc"}};
  EXPECT_EQ(Walk(), Under({"n", "n/m", "m2"}));
  // A root given untidily still sees the mount below it.
  const std::string untidy = start + "/n/..";
  EXPECT_EQ(WalkDirectory(fs, untidy, SearchFilter{}, ui),
            (Paths{untidy + "/n", untidy + "/n/m", untidy + "/m2"}));
}

TEST_F(PortfolioWalk, FilterAdmitsItsAncestorsAndEverythingContainingIt) {
  Make({"MASTER", "x/MASTER", "x/DATA/MASTER", "x/DATA/sub/MASTER", "x/DATABASE/MASTER",
        "x/DATABASE/deep/MASTER", "x/DAT/MASTER", "x/DAT/below/MASTER", "x/OTHER/MASTER",
        "x/OTHER/DATA/MASTER"});
  EXPECT_EQ(Walk(SearchFilter::Make(true, root / "x/data")),
            Under({"", "x", "x/DATABASE", "x/DATABASE/deep", "x/DATA", "x/DATA/sub", "x/DAT"}));
  // The root is searched and listed whatever the filter says.
  EXPECT_EQ(Walk(SearchFilter::Make(true, "/elsewhere/q")), Under({""}));
  EXPECT_EQ(Walk(SearchFilter::Make(false, "/elsewhere/q")).size(), 10u);
}

TEST_F(PortfolioWalk, ReportsEachFindAndStopsWhenCancelled) {
  Make({"a/MASTER", "b/MASTER", "c/MASTER"});
  ui.cancelAtFound = 2;
  EXPECT_EQ(Walk(), Under({"c", "b"}));
  ASSERT_GE(ui.progress.size(), 3u);
  EXPECT_EQ(ui.progress.front(), std::make_pair(WithoutTrailingSlash(root.path()), 0));
  EXPECT_EQ(ui.progress.back(), std::make_pair(root / "b", 2));
  EXPECT_NE(std::find(ui.progress.begin(), ui.progress.end(), std::make_pair(root / "c", 1)),
            ui.progress.end());
}

// "/" holding MASTER and "d", each "d" holding "d" down to the deepest, which holds MASTER.
class DeepFs final : public FileSystemWrapper {
 public:
  explicit DeepFs(std::size_t depth) : FileSystemWrapper(FileSystem::Default()) {
    for (std::size_t i = 0; i < depth; ++i) deepest_ += "/d";
  }
  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    // Any other path, one with a doubled or trailing "/" say, does not exist.
    if (dir != "/" && (dir.size() % 2 || deepest_.compare(0, dir.size(), dir))) return false;
    entries->clear();
    if (dir == "/" || dir == deepest_) entries->push_back({"MASTER", DirEntry::Kind::kFile});
    if (dir != deepest_) entries->push_back({"d", DirEntry::Kind::kDirectory});
    return true;
  }
  bool StatNoFollow(const std::string& path, FileInfo* info) override {
    info->kind = DirEntry::Kind::kDirectory;
    info->identity = {1, path.size()};
    return true;
  }
  bool ListMounts(std::vector<MountEntry>* mounts) override {
    *mounts = {{"/", "ext4"}};
    return true;
  }

 private:
  std::string deepest_;
};

TEST_F(PortfolioWalk, WalksATreeTenThousandLevelsDeepFromTheSystemRoot) {
  DeepFs deep(10000);
  const Paths found = WalkDirectory(deep, "/", SearchFilter{}, ui);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], "/");
  EXPECT_EQ(found[1].size(), 20000u);
}

}  // namespace
}  // namespace barvane
