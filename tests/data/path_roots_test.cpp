// Roots of absolute paths ("/", and on Windows "X:/" and "//server/share/") and what is built on
// them: joins, trailing "/" and the walk up to the root when directories are made.
#include <gtest/gtest.h>

#include "data/file_names.h"
#include "data/file_ops.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

TEST(PathRoots, EachFormHasItsRootOnItsOwnSystemOnly) {
  struct Case {
    const char* path;
    std::size_t unixRoot, windowsRoot;
    const char* unixBare;  // WithoutTrailingSlash
    const char* windowsBare;
  };
  const Case cases[] = {
      {"/", 1, 1, "/", "/"},
      {"/data/", 1, 1, "/data", "/data"},
      {"//", 1, 1, "/", "/"},
      {"data//", 0, 0, "data", "data"},
      {"", 0, 0, "", ""},
      {"C:/", 0, 3, "C:", "C:/"},
      {"c:/Data/", 0, 3, "c:/Data", "c:/Data"},
      {"C:", 0, 0, "C:", "C:"},
      {"C:data", 0, 0, "C:data", "C:data"},
      {"1:/", 0, 0, "1:", "1:"},
      {"//server/share/", 1, 15, "//server/share", "//server/share/"},
      {"//server/share", 1, 14, "//server/share", "//server/share"},
      {"//server/share/q/", 1, 15, "//server/share/q", "//server/share/q"},
      {"//server/", 1, 0, "//server", "//server"},
      {"//server//x", 1, 0, "//server//x", "//server//x"},
      {"///x", 1, 1, "///x", "///x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(RootLength(c.path), kWindows ? c.windowsRoot : c.unixRoot);
    EXPECT_EQ(IsAbsolutePath(c.path), (kWindows ? c.windowsRoot : c.unixRoot) > 0);
    EXPECT_EQ(WithoutTrailingSlash(c.path), kWindows ? c.windowsBare : c.unixBare);
  }
}

TEST(PathRoots, JoinsPutOneSlashBetween) {
  const std::pair<std::string, std::string> cases[] = {
      {"/", "/data"}, {"/a", "/a/data"}, {"/a/", "/a/data"}, {"C:/", "C:/data"}, {"//s/sh/", "//s/sh/data"},
      {"//s/sh", "//s/sh/data"}, {"", "data"}};
  for (const auto& [dir, joined] : cases) EXPECT_EQ(JoinPath(dir, "data"), joined) << dir;
}

TEST(PathRoots, MakingDirectoriesStopsAtTheRoot) {
  test::TempDir tmp;
  // The temporary directory is absolute: its root is "/" or "X:/", and the walk up ends there.
  const std::string deep = tmp / "a/b/c";
  ASSERT_GT(RootLength(deep), 0u);
  EXPECT_TRUE(MakeDirectories(FileSystem::Default(), deep));
  EXPECT_TRUE(CreateDirectories(FileSystem::Default(), tmp / "d/e/"));
  EXPECT_TRUE(FileSystem::Default().IsDirectory(deep));
  EXPECT_TRUE(FileSystem::Default().IsDirectory(tmp / "d/e"));
  const std::string root = deep.substr(0, RootLength(deep));
  EXPECT_TRUE(MakeDirectories(FileSystem::Default(), root));
  EXPECT_TRUE(CreateDirectories(FileSystem::Default(), root));
}

}  // namespace
}  // namespace barvane
