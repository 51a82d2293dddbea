// Edit, Delete, Copy and Move symbol, on portfolios of MASTER alone and of MASTER, EMASTER and
// XMASTER, under an I/O failure, and a crash, at every step that
// changes the disk: a reported failure leaves every file, the previous backups included, with
// its old bytes and no temporary file; a crash leaves every file whole, old or new, and every
// quote file's bytes somewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "support/faulty_fs.h"
#include "support/portfolio_builder.h"
#include "support/tool_view.h"
#include "tools/copy_symbol.h"
#include "tools/delete_symbol.h"
#include "tools/edit_symbol.h"

namespace barvane {
namespace {

using test::FaultyFs;
using test::Snapshot;
using test::TempDir;
using Files = std::map<std::string, Bytes>;

// `extended`: both portfolios hold EMASTER, and SRC an XMASTER symbol too, so that every
// command replaces two or three index files that must change together.
void BuildRoot(const TempDir& root, bool extended) {
  PortfolioDescription src =
      test::Portfolio({test::Daily(3, "KEEP", 3, test::Fields8()), test::Daily(7, "ABC", 5, test::Fields28(), true)});
  PortfolioDescription dest = test::Portfolio({test::Daily(1, "ONE", 2, test::Fields8())});
  if (extended) {
    src.symbols.push_back(test::Daily(300, "ZED", 2));
    src = test::Extended(src);
    dest = test::Extended(dest);
  }
  test::Build(root / "SRC", src);
  test::WriteBytes(root / "SRC/F7.BAK", {7, 7});
  test::Build(root / "DEST", dest);
  // Backups of earlier changes, which a failed command must leave as they are.
  for (const char* name : {"SRC/MASTER.BAK", "SRC/EMASTER.BAK", "SRC/XMASTER.BAK", "DEST/MASTER.BAK",
                           "DEST/EMASTER.BAK"}) {
    test::WriteBytes(root / name, Bytes(name, name + std::char_traits<char>::length(name)));
  }
}

using Operation = std::function<bool(FileSystem&, const TempDir&)>;

Operation OperationNamed(std::string name) {
  if (name.ends_with("X")) name.pop_back();
  return [name](FileSystem& fs, const TempDir& root) {
    test::ToolView tv(fs, root / "SRC");
    tv.Select("ABC");
    if (name == "Edit") return EditSymbol(tv.view, {"NEWABC", "New name"});
    if (name == "Delete") return DeleteSymbol(tv.view);
    return CopySymbol(tv.view, root / "DEST", name == "Move");
  };
}

bool IsTemporary(const std::string& name) {
  return name.ends_with(".NEW") || name.ends_with(".~NU");
}

class SymbolFaults : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    operation_ = OperationNamed(GetParam());
    extended_ = std::string(GetParam()).ends_with("X");
    BuildRoot(reference_, extended_);
    old_ = Snapshot(reference_.path());
    ASSERT_TRUE(operation_(FileSystem::Default(), reference_));
    new_ = Snapshot(reference_.path());
    ASSERT_NE(new_, old_);
  }

  void AtEveryStep(FaultyFs::Mode mode, const std::function<void(bool, const Files&)>& check) {
    test::AtEveryStep(mode, [&](FaultyFs& fs) {
      TempDir root;
      BuildRoot(root, extended_);
      const bool ok = operation_(fs, root);
      if (fs.faulted()) return check(ok, Snapshot(root.path()));
      EXPECT_TRUE(ok);
      EXPECT_EQ(Snapshot(root.path()), new_);
      EXPECT_GE(fs.calls(), 4);
    });
  }

  TempDir reference_;
  Operation operation_;
  bool extended_ = false;
  Files old_, new_;
};

TEST_P(SymbolFaults, AReportedFailureLeavesOldBytesAndASuccessNewBytes) {
  AtEveryStep(FaultyFs::Mode::kFailOne, [&](bool ok, const Files& after) { EXPECT_EQ(after, ok ? new_ : old_); });
}

TEST_P(SymbolFaults, ACrashLeavesEveryFileOldOrNewAndNoQuotesLost) {
  AtEveryStep(FaultyFs::Mode::kCrash, [&](bool, const Files& after) {
    test::ExpectEachFileOldOrNew(old_, new_, after, IsTemporary);
    std::vector<Bytes> kept, wanted;
    for (const auto& [name, bytes] : after) {
      if (!IsTemporary(name)) kept.push_back(bytes);
    }
    for (const auto& entry : new_) wanted.push_back(entry.second);
    const auto in = [](const std::vector<Bytes>& all, const Bytes& bytes) {
      return std::find(all.begin(), all.end(), bytes) != all.end();
    };
    for (const auto& [name, bytes] : old_) {
      if (name.ends_with(".DAT") && in(wanted, bytes)) {
        EXPECT_TRUE(in(kept, bytes)) << name << " is lost";
      }
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Commands, SymbolFaults,
                         testing::Values("Edit", "Delete", "Copy", "Move", "EditX", "DeleteX", "CopyX", "MoveX"));

}  // namespace
}  // namespace barvane
