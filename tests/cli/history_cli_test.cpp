// barvane-cli history, undo and redo: every changing command of a run on the real ASX portfolio
// walked back to the exact bytes before it and forward to the exact bytes after it, the
// history's lines, and the refusals.
#include <gtest/gtest.h>

#include <regex>

#include "data/file_names.h"
#include "support/cli_run.h"

namespace barvane {
namespace {

using namespace test;

// The command and its words of a history line.
std::string WordsOf(const std::string& line) { return line.substr(line.rfind('\t') + 1); }

// A small destination portfolio DEST, and P: ABC with five quotes. (Each test process keeps
// its history in a data directory of its own.)
class HistoryCli : public CliTest {
 protected:
  using Both = std::pair<std::map<std::string, Bytes>, std::map<std::string, Bytes>>;
  Both State(const std::string& dir) { return {Snapshot(dir), Snapshot(dest_)}; }

  std::string dest_ = Built("DEST", {Daily(1, "ONE", 5)});
  std::string p_ = Built("P", {Daily(1, "ABC", 5)});
};

TEST_F(HistoryCli, AsxRunIsUndoneAndRedoneStepByStepToTheExactBytes) {
  const std::string asx = CopyFixture("asx-mining", root_);
  if (asx.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";
  const std::vector<Texts> run = {
      {"split", asx, "ADY", "12/16/10", "2", "1"},
      {"edit", asx, "ADY", "03/14/12", "0.05", "0.051", "0.048", "0.05", "88560", "0"},
      {"delete-quote", asx, "ADY", "03/15/12"},
      {"adjust", asx, "ADY", "01/03/11", "03/13/12", "2", "1", "1"},
      {"add-quote", asx, "AAJ", "01/21/11"},
      {"edit-symbol", asx, "AAJ", "AAJX", "Aruma X"},
      {"delete-symbol", asx, "AAM"},
      {"copy-symbol", asx, "ABC", dest_},
      {"move-symbol", asx, "ABU", dest_},
  };
  std::vector<Both> states = {State(asx)};
  for (const auto& words : run) {
    const auto r = Cli(words);
    ASSERT_EQ(r.status, 0) << words[0] << ": " << r.err;
    ASSERT_NE(State(asx), states.back()) << words[0] << " changed nothing";
    states.push_back(State(asx));
  }

  const auto history = Lines(Cli({"history", asx}).out);
  ASSERT_EQ(history.size(), run.size());
  const std::regex line(R"(\d+\t\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\t.*)");
  for (const std::string& h : history) EXPECT_TRUE(std::regex_match(h, line)) << h;
  EXPECT_EQ(history[0].substr(0, 2), "1\t");
  EXPECT_EQ(WordsOf(history[0]), "move-symbol " + asx + " ABU " + dest_);
#ifdef _WIN32
  EXPECT_EQ(WordsOf(history[3]), "edit-symbol " + asx + " AAJ AAJX \"Aruma X\"");  // as cmd.exe quotes
#else
  EXPECT_EQ(WordsOf(history[3]), "edit-symbol " + asx + " AAJ AAJX 'Aruma X'");
#endif
  EXPECT_EQ(Lines(Cli({"history", dest_}).out).size(), 2u);  // the copy and the move

  for (std::size_t i = run.size(); i-- > 0;) {
    EXPECT_EQ(Cli({"undo", asx}), Done("Undone: " + WordsOf(history[run.size() - 1 - i]) + "\n"));
    ASSERT_EQ(State(asx), states[i]) << "after undoing " << run[i][0];
  }
  EXPECT_EQ(Cli({"undo", asx}), Failed("Nothing to undo in " + WithoutTrailingSlash(asx) + "\n"));
  EXPECT_EQ(Cli({"history", asx}), Done());

  for (std::size_t i = 0; i < run.size(); ++i) {
    const auto r = Cli({"redo", asx});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(State(asx), states[i + 1]) << "after redoing " << run[i][0];
  }
  EXPECT_EQ(Cli({"redo", asx}), Failed("Nothing to redo in " + WithoutTrailingSlash(asx) + "\n"));
  EXPECT_EQ(Lines(Cli({"history", asx}).out).size(), run.size());
}

TEST_F(HistoryCli, UndoOverAFileChangedByAnotherProgramIsRefusedUnlessForced) {
  const auto before = Snapshot(p_);
  ASSERT_EQ(Cli({"split", p_, "ABC", "06/18/98", "2", "1"}).status, 0);
  Bytes dat = ReadBytes(p_ + "/F1.DAT");
  dat.back() ^= 1;
  WriteBytes(p_ + "/F1.DAT", dat);
  const auto changed = Snapshot(p_);

  EXPECT_EQ(Cli({"undo", p_}), Failed(p_ + "/F1.DAT\nwas changed after \"split " + p_ + " ABC 06/18/98 2 1\", by another "
                                      "program or another change.\nNothing was undone.\nWith --force it is undone all the same.\n"));
  EXPECT_EQ(Snapshot(p_), changed);

  ASSERT_EQ(Cli({"undo", p_, "--force"}).status, 0);
  EXPECT_EQ(Snapshot(p_), before);
}

// Reads and failures record nothing; a new change ends the redo of what was undone.
TEST_F(HistoryCli, OnlyChangesAreRecordedAndANewOneEndsTheRedo) {
  EXPECT_EQ(Cli({"quotes", p_, "ABC"}).status, 0);
  EXPECT_EQ(Cli({"export", p_, "ABC", root_ / "out.txt"}).status, 0);
  EXPECT_EQ(Cli({"delete-quote", p_, "ABC", "01/01/99"}).status, 1);
  EXPECT_EQ(Cli({"history", p_}), Done());
  EXPECT_EQ(Cli({"undo", p_}).status, 1);

  ASSERT_EQ(Cli({"split", p_, "ABC", "06/18/98", "2", "1"}).status, 0);
  ASSERT_EQ(Cli({"undo", p_}).status, 0);
  ASSERT_EQ(Cli({"delete-quote", p_, "ABC", "06/17/98"}).status, 0);
  EXPECT_EQ(Cli({"redo", p_}).status, 1);
  const auto history = Lines(Cli({"history", p_}).out);
  ASSERT_EQ(history.size(), 1u);
  EXPECT_NE(history[0].find("delete-quote"), std::string::npos);
}

}  // namespace
}  // namespace barvane
