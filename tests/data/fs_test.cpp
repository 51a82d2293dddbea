// The real file system's rewrite in place: the file ends as CreateForWrite would leave it.
#include "data/fs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/portfolio_builder.h"
#include "support/system_calls.h"

namespace barvane {
namespace {

using test::TempDir;

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool Append(WritableFile& file, const std::string& text) {
  return file.Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Counts the creations a wrapper sees.
class CountingFs final : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    ++creates;
    return FileSystemWrapper::CreateForWrite(path);
  }
  int creates = 0;
};

TEST(RewriteInPlace, LeavesExactlyTheNewBytesWhateverTheOldFileHeld) {
  TempDir dir;
  FileSystem& fs = FileSystem::Default();
  const std::string path = dir / "out.txt";
  const std::pair<std::string, std::string> cases[] = {
      {"0123456789", "abc"}, {"xy", "abcdef"}, {"same", "SAME"}, {"gone", ""}};
  for (const auto& [before, after] : cases) {
    test::WriteBytes(path, B(before));
    auto file = fs.OpenForRewrite(path);
    ASSERT_TRUE(file);
    ASSERT_TRUE(Append(*file, after));
    ASSERT_TRUE(file->Close());
    EXPECT_EQ(test::ReadBytes(path), B(after)) << before;
  }

  // Made when missing, and cut where the writing stopped when dropped unclosed.
  auto made = fs.OpenForRewrite(dir / "new.txt");
  ASSERT_TRUE(made);
  ASSERT_TRUE(Append(*made, "new"));
  ASSERT_TRUE(made->Close());
  EXPECT_EQ(test::ReadBytes(dir / "new.txt"), B("new"));
  test::WriteBytes(path, B("a longer old text"));
  auto dropped = fs.OpenForRewrite(path);
  ASSERT_TRUE(dropped);
  ASSERT_TRUE(Append(*dropped, "half"));
  dropped.reset();
  EXPECT_EQ(test::ReadBytes(path), B("half"));
}

TEST(RewriteInPlace, WrappersKeepTheirCreateAndWhatCannotBeOpenedGivesNull) {
  TempDir dir;
  CountingFs counting(FileSystem::Default());
  test::WriteBytes(dir / "out.txt", B("0123456789"));
  auto file = counting.OpenForRewrite(dir / "out.txt");
  ASSERT_TRUE(file);
  EXPECT_EQ(counting.creates, 1);
  ASSERT_TRUE(Append(*file, "abc"));
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(test::ReadBytes(dir / "out.txt"), B("abc"));

  EXPECT_FALSE(FileSystem::Default().OpenForRewrite(dir / "no/such/dir.txt"));
  test::WriteBytes(dir / "locked.txt", B("keep"));
  std::filesystem::permissions(dir / "locked.txt", std::filesystem::perms(0444));
  if (test::IsSuperuser()) return;  // the superuser writes it all the same
  EXPECT_FALSE(FileSystem::Default().OpenForRewrite(dir / "locked.txt"));
  EXPECT_EQ(test::ReadBytes(dir / "locked.txt"), B("keep"));
}

}  // namespace
}  // namespace barvane
