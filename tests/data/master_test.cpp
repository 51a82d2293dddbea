// The MASTER index: which record a key names, and the depth-first search of sub-portfolios.
#include "data/master.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "data/file_names.h"
#include "data/mbf.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// A MASTER file from raw records, its header counting `count` of them (the records as given
// when negative).
Bytes MasterOf(const std::vector<Bytes>& records, int count = -1) {
  Bytes bytes(kMasterRecordSize, 0x5A);
  const auto n = static_cast<std::uint16_t>(count < 0 ? records.size() : count);
  bytes[0] = static_cast<std::uint8_t>(n & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(n >> 8);
  for (const Bytes& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
  return bytes;
}

SymbolDescription Named(int fileNumber, const std::string& symbol) {
  return Symbol(fileNumber, symbol, Fields8(), WeekdayQuotes(kMonday, 3));
}

struct Found {
  Status status = kUnknown;
  MasterRecord record;
  std::string dir;
};

Found Find(const std::string& dir, std::string_view key) {
  Found f;
  f.status = FindMasterRecord(Fs(), dir, key, &f.record, &f.dir);
  return f;
}

// The symbol's own record wins over a sub-portfolio listed before it, and comes back as stored
// with its dates in IEEE.
TEST(MasterSearch, OwnRecordsWinOverSubPortfoliosListedBeforeThemAndReturnAsStored) {
  TempDir tmp;
  Build(tmp / "SUB", Portfolio({Named(1, "ABC")}));
  const SymbolDescription s = Named(2, "ABC");
  WriteBytes(tmp / "MASTER", MasterOf({SubPortfolioRecordBytes("SUB", 0x5A), MasterRecordBytes(s)}));
  const Found f = Find(tmp.path(), "ABC");
  ASSERT_EQ(f.status, kSuccess);
  EXPECT_EQ(f.record.fileNumber(), 2);
  EXPECT_EQ(f.dir, tmp.path());
  EXPECT_EQ(std::tuple(f.record.firstDate(), f.record.lastDate()), std::tuple(980615.0f, 980617.0f));
  Bytes expected = MasterRecordBytes(s);
  MbfToIeee(expected.data() + kMasterFirstDate, expected.data() + kMasterFirstDate);
  MbfToIeee(expected.data() + kMasterLastDate, expected.data() + kMasterLastDate);
  EXPECT_EQ(Bytes(f.record.bytes.begin(), f.record.bytes.end()), expected);
  EXPECT_EQ(f.record.nameText() + "|" + f.record.symbolText(), "ABC Ltd         |ABC             ");
}

TEST(MasterSearch, FindsTwoLevelsDownPastEmptySiblingsWhateverTheLetterCase) {
  TempDir tmp;
  const std::string top = WithoutTrailingSlash(tmp.path());  // given without its "/"
  Build(top, Portfolio({Named(1, "TOP")}, {"EMPTY", "BAD", "ONE"}));
  std::filesystem::create_directory(top + "/EMPTY");  // without a MASTER
  std::filesystem::create_directory(top + "/BAD");    // with a MASTER short of its count
  WriteBytes(top + "/BAD/MASTER", MasterOf({MasterRecordBytes(Named(1, "DEEP"))}, 2));
  Build(top + "/One", Portfolio({Named(1, "MID")}, {"TWO"}));
  Build(top + "/One/TWO", Portfolio({Named(9, "DEEP")}));
  std::filesystem::rename(top + "/One/MASTER", top + "/One/master");
  std::filesystem::rename(top + "/MASTER", top + "/Master");
  const Found f = Find(top, "deep");
  ASSERT_EQ(f.status, kSuccess);
  EXPECT_EQ(f.dir, top + "/One/TWO/");
  EXPECT_EQ(f.record.fileNumber(), 9);
  EXPECT_TRUE(Exists(f.dir + QuoteFileName(f.record.fileNumber())));
  EXPECT_EQ(Find(top, "MID").dir, top + "/One/");
}

// Names leading out of the portfolio are not followed; an empty or short MASTER names nothing.
TEST(MasterSearch, NamesLeadingOutAndEmptyOrShortMastersFindNothing) {
  TempDir tmp;
  Build(tmp.path(), Portfolio({Named(1, "OUTSIDE")}));
  Build(tmp / "P", Portfolio({Named(2, "INSIDE")}, {"..", "."}));
  EXPECT_EQ(Find(tmp / "P", "OUTSIDE").status, kFileNotFound);
  EXPECT_EQ(Find(tmp / "P", "INSIDE").status, kSuccess);
  // N = 0 with a record after it, a count of more than the file holds, no whole header.
  const Bytes record = MasterRecordBytes(Named(1, "OUTSIDE"));
  for (const Bytes& master : {MasterOf({record}, 0), MasterOf({record}, 2), Bytes(kMasterRecordSize - 1, 1)}) {
    WriteBytes(tmp / "MASTER", master);
    EXPECT_EQ(Find(tmp.path(), "OUTSIDE").status, kFileNotFound) << master.size();
  }
  std::filesystem::remove(tmp / "MASTER");
  EXPECT_EQ(Find(tmp.path(), "OUTSIDE").status, kFileNotFound);
}

// Every key through the finder and through the search, compared field by field.
void ExpectFinderAgreesWithSearch(const std::string& dir, const std::vector<std::string>& keys) {
  MasterRecordFinder finder(Fs(), dir);
  for (const std::string& key : keys) {
    const Found searched = Find(dir, key);
    Found found;
    found.status = finder.Find(key, &found.record, &found.dir);
    EXPECT_EQ(found.status, searched.status) << key;
    if (searched.status != kSuccess) continue;
    const MasterRecord &a = found.record, &b = searched.record;
    EXPECT_EQ(std::tie(found.dir, a.bytes, a.extendedFileNumber, a.fieldSet, a.longName),
              std::tie(searched.dir, b.bytes, b.extendedFileNumber, b.fieldSet, b.longName)) << key;
  }
}

// A key names a record by its issue name or by its symbol cut to the key's words, the first
// record in file order winning; the finder answers as the search does.
TEST(MasterRecordFinder, NamesARecordByIssueNameOrBySymbolCutToTheKeysWordsAsTheSearchDoes) {
  TempDir tmp;
  SymbolDescription named = Named(5, "QQ");
  named.name = "ZED";
  SymbolDescription longName = Named(301, "ABC");
  longName.name = "A name longer than sixteen characters";
  SymbolDescription blankDir = Named(8, "QB");
  blankDir.name = " SUB       <DIR>";  // no sub-portfolio: its name starts with a blank
  PortfolioDescription p;
  p.symbols = {Named(1, "ABC"), Named(2, "ABC D"), Named(3, "XY Z  W"), Named(4, "abc"), named,
               Named(6, "ZED"), Named(300, "XM"), longName, Named(7, ""), blankDir};
  p.subPortfolios = {"SUB"};
  p.extended = true;
  Build(tmp.path(), p);
  Build(tmp / "SUB", Portfolio({Named(1, "DEEP"), Named(2, "ABC")}));
  const std::pair<const char*, int> cases[] = {
      {"abc ltd", 1}, {"aBc", 1},   {"ABC", 1},   {"ABC D", 2}, {"ABC L", 0},  {"AB", 0},     {"xy", 3},
      {"XY Z", 3},    {"XY Z ", 3}, {"XY Z  W", 3}, {"XY Q", 0}, {"ZED", 5},   {"zed", 5},    {"QQ", 5},
      {"XM", 300},    {"xm ltd", 300}, {"A name longer than sixteen characters", 0}, {"QB", 8},
      {"DEEP", 1},    {"deep", 1},  {"NONE", 0},  {"", 7},      {" ", 7},     {"SUB", 0}};
  std::vector<std::string> keys;
  for (const auto& [key, fileNumber] : cases) {
    const Found f = Find(tmp.path(), key);
    EXPECT_EQ(f.status, fileNumber ? kSuccess : kFileNotFound) << key;
    EXPECT_EQ(fileNumber ? f.record.fileNumber() : 0, fileNumber) << key;
    keys.push_back(key);
  }
  ExpectFinderAgreesWithSearch(tmp.path(), keys);
  EXPECT_EQ(Find(tmp.path(), "DEEP").dir, tmp / "SUB/");

  // A MASTER short of its count: neither it nor its XMASTER names anything.
  Bytes master = ReadBytes(tmp / "MASTER");
  master[0] = static_cast<std::uint8_t>(master[0] + 1);
  WriteBytes(tmp / "MASTER", master);
  EXPECT_EQ(Find(tmp.path(), "XM").status, kFileNotFound);
  ExpectFinderAgreesWithSearch(tmp.path(), keys);
}

}  // namespace
}  // namespace barvane
