// The index files taken together: the real vendor portfolios read as one list in step, the
// layouts the builder writes, and each change reaching every file that holds the symbol and
// no byte besides.
#include "data/index_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>

#include "data/file_names.h"
#include "data/mbf.h"
#include "data/quote_series.h"
#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

std::int32_t Int32At(const Bytes& bytes, std::size_t at) {
  std::int32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

int Int16At(const Bytes& bytes, std::size_t at) { return bytes[at] | bytes[at + 1] << 8; }

std::string TextAt(const Bytes& bytes, std::size_t at, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(bytes.data() + at), size);
  return text.substr(0, text.find('\0'));
}

// The offsets at which two equally long byte strings differ.
std::set<std::size_t> Differences(const Bytes& a, const Bytes& b) {
  std::set<std::size_t> at;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    if (a[i] != b[i]) at.insert(i);
  }
  return at;
}

bool AllWithin(const std::set<std::size_t>& offsets, std::size_t from, std::size_t to) {
  return std::all_of(offsets.begin(), offsets.end(), [&](std::size_t o) { return o >= from && o < to; });
}

// AAA (long name) and BBB in MASTER and EMASTER, XXX numbered 300 in XMASTER.
PortfolioDescription ThreeSymbols() {
  SymbolDescription a = Symbol(1, "AAA", Fields28(), WeekdayQuotes(kMonday, 5));
  a.name = "Alpha Aluminium Holdings";
  return Extended(Portfolio({a, Symbol(2, "BBB", Fields8(), WeekdayQuotes(kMonday, 3)),
                             Symbol(300, "XXX", Fields28(), WeekdayQuotes(kMonday, 4))}));
}

IndexFiles Read(const std::string& dir) {
  IndexFiles files;
  EXPECT_TRUE(ReadIndexFiles(Fs(), dir, &files));
  return files;
}

TEST(IndexFiles, RealPortfoliosReadAsOneListInStep) {
  TempDir tmp;
  const std::string asx = CopyFixture("asx-mining", tmp);
  const std::string hsi = CopyFixture("hsi-mini-futures", tmp);
  if (asx.empty() || hsi.empty()) GTEST_SKIP() << "the shared fixtures are not beside this checkout";

  const IndexFiles asxFiles = Read(asx);
  EXPECT_FALSE(asxFiles.hasXmaster());
  EXPECT_EQ(IndexEntries(asxFiles).size(), 215u);
  EXPECT_EQ(IndexFilesOutOfStep(asxFiles), std::vector<std::string>{});
  EXPECT_EQ(IndexDisagreement(asxFiles), "");

  const IndexFiles files = Read(hsi);
  EXPECT_EQ(files.emaster.path, hsi + "emaster");
  EXPECT_EQ(files.xmaster.path, hsi + "xmaster");
  const std::vector<IndexEntry> entries = IndexEntries(files);
  ASSERT_EQ(entries.size(), 266u);
  EXPECT_EQ(IndexFilesOutOfStep(files), std::vector<std::string>{});
  for (int i = 0; i < 255; ++i) EXPECT_EQ(entries[static_cast<std::size_t>(i)].emasterIndex, i + 1);

  const MasterRecord& first = entries[0].record;
  EXPECT_EQ(std::tuple(first.symbolText().substr(0, 10), first.nameText(), first.longName, int(first.fieldSet)),
            std::tuple("HSM__2000V", "Hang Seng Mini 2", "Hang Seng Mini 200010", 0x7F));
  const IndexEntry& x = entries[255];
  ASSERT_TRUE(x.inXmaster());
  const MasterRecord& r = x.record;
  EXPECT_EQ(std::tuple(x.xmasterIndex, r.fileNumber(), GridSymbolText(r.bytes.data() + kMasterSymbol), r.longName,
                       r.recordLength(), r.fieldCount(), r.periodicity(), entries.back().record.fileNumber()),
            std::tuple(1, 256, "HSM__2021X", "Hang Seng Mini 202111", 28, 7, 'D', 266));
  EXPECT_EQ(std::tuple(ReadMbf(r.bytes.data() + kMasterFirstDate), ReadMbf(r.bytes.data() + kMasterLastDate)),
            std::tuple(1210930.0f, 1211129.0f));
  MasterRecord found;
  std::string foundDir;
  ASSERT_EQ(FindMasterRecord(Fs(), hsi, "hsm__2022f", &found, &foundDir), kSuccess);
  EXPECT_EQ(found.fileNumber(), 258);
  EXPECT_EQ(foundDir, hsi);
  EXPECT_EQ(found.firstDate(), 1211130.0f);
}

TEST(IndexFiles, TheBuilderWritesTheVendorLayouts) {
  TempDir tmp;
  Build(tmp.path(), ThreeSymbols());
  EXPECT_TRUE(IndexFilesInStep(tmp.path()));
  EXPECT_TRUE(Exists(tmp / "F300.MWD"));
  EXPECT_FALSE(Exists(tmp / "F300.DAT"));

  const Bytes master = ReadBytes(tmp / "MASTER");
  const Bytes em = ReadBytes(tmp / "EMASTER");
  ASSERT_EQ(master.size(), 53u * 3);
  ASSERT_EQ(em.size(), 192u * 3);
  EXPECT_EQ(NonZeroRuns(em, 0, 192), "0:02 2:02");
  const std::size_t r = 192;
  EXPECT_EQ(Bytes(em.begin() + r, em.begin() + r + 3), (Bytes{'6', '6', 1}));
  EXPECT_EQ(std::tuple(em[r + 6], em[r + 7], em[r + 60], em[2 * r + 7]), std::tuple(7, 0x7F, 'D', 0x09));  // 0x09: DATE and CLOSE
  EXPECT_EQ(TextAt(em, r + 11, 14) + "|" + TextAt(em, r + 32, 16) + "|" + TextAt(em, r + 139, 52),
            "AAA|Alpha Aluminium |Alpha Aluminium Holdings");
  EXPECT_EQ(std::tuple(ReadIeee(em.data() + r + 64), Int32At(em, r + 126)), std::tuple(980615.0f, 19980615));

  const Bytes xm = ReadBytes(tmp / "XMASTER");
  ASSERT_EQ(xm.size(), 150u * 2);
  EXPECT_EQ(NonZeroRuns(xm, 0, 150), "0:5dfe584d 10:01 14:01 18:2d01");  // next number 301
  EXPECT_EQ(std::tuple(xm[150], TextAt(xm, 151, 14), TextAt(xm, 166, 45), Int16At(xm, 150 + 65), xm[150 + 70],
                       Int32At(xm, 150 + 108), Int32At(xm, 150 + 116)),
            std::tuple(1, "XXX", "XXX Ltd", 300, 0x7F, 19980615, 19980618));
}

TEST(IndexFiles, NewTextsDatesAndRemovalsReachTheSymbolsRecordsAndNothingElse) {
  TempDir tmp;
  Build(tmp.path(), ThreeSymbols());
  const IndexFiles files = Read(tmp.path());
  const std::optional<IndexEntry> a = FindEntryByGridText(files, "AAA");
  ASSERT_TRUE(a);
  EXPECT_EQ(SymbolRoom(files, *a), 14u);
  const IndexFiles changed = WithTexts(files, *a, "AAB", "Short");
  EXPECT_TRUE(changed.master.changed && changed.emaster.changed && !changed.xmaster.changed);
  const auto masterDiff = Differences(files.master.bytes, changed.master.bytes);
  EXPECT_TRUE(AllWithin(masterDiff, 53 + 7, 53 + 52));
  const auto emDiff = Differences(files.emaster.bytes, changed.emaster.bytes);
  EXPECT_FALSE(emDiff.empty());
  for (std::size_t o : emDiff) {
    const std::size_t f = o - 192;
    EXPECT_TRUE((f >= 11 && f < 25) || (f >= 32 && f < 48) || (f >= 139 && f < 191)) << f;
  }
  EXPECT_EQ(TextAt(changed.emaster.bytes, 192 + 139, 52), "");
  EXPECT_EQ(IndexFilesOutOfStep(changed), std::vector<std::string>{});

  const std::optional<IndexEntry> x = FindEntryByGridText(files, "XXX");
  ASSERT_TRUE(x && x->inXmaster());
  const IndexFiles renamed = WithTexts(files, *x, "XYZ", "A name longer than sixteen");
  EXPECT_TRUE(!renamed.master.changed && !renamed.emaster.changed && renamed.xmaster.changed);
  EXPECT_TRUE(AllWithin(Differences(files.xmaster.bytes, renamed.xmaster.bytes), 150 + 1, 150 + 61));
  EXPECT_EQ(TextAt(renamed.xmaster.bytes, 166, 45), "A name longer than sixteen");

  // New dates reach every record of the number.
  const DayNumber day = YmdToDay(2001, 2, 3);
  const IndexFiles master = WithDates(files, 1, DayToMbfDate(day), std::nullopt);
  EXPECT_EQ(std::tuple(ReadMbf(master.master.bytes.data() + 53 + 25), ReadIeee(master.emaster.bytes.data() + 192 + 64),
                       Int32At(master.emaster.bytes, 192 + 126)), std::tuple(1010203.0f, 1010203.0f, 20010203));
  EXPECT_EQ(IndexFilesOutOfStep(master), std::vector<std::string>{});
  EXPECT_FALSE(master.xmaster.changed);

  const IndexFiles xDates = WithDates(files, 300, DayToMbfDate(day), DayToMbfDate(day + 1));
  EXPECT_FALSE(xDates.master.changed || xDates.emaster.changed);
  EXPECT_EQ(std::tuple(Int32At(xDates.xmaster.bytes, 150 + 104), Int32At(xDates.xmaster.bytes, 150 + 108),
                       Int32At(xDates.xmaster.bytes, 150 + 116)), std::tuple(20010203, 20010203, 20010204));

  // Removing a symbol drops its records and counts it out.
  const IndexFiles withoutB = WithoutEntry(files, *FindEntryByGridText(files, "BBB"));
  EXPECT_EQ(withoutB.master.bytes.size(), 53u * 2);
  // The second number stays the highest number in use: AAA's 1 once BBB's 2 is gone.
  EXPECT_EQ(Bytes(withoutB.master.bytes.begin(), withoutB.master.bytes.begin() + 4), (Bytes{1, 0, 1, 0}));
  EXPECT_EQ(withoutB.emaster.bytes.size(), 192u * 2);
  EXPECT_EQ(IndexFilesOutOfStep(withoutB), std::vector<std::string>{});
  const IndexFiles withoutX = WithoutEntry(files, *FindEntryByGridText(files, "XXX"));
  EXPECT_FALSE(withoutX.master.changed || withoutX.emaster.changed);
  ASSERT_EQ(withoutX.xmaster.bytes.size(), 150u);
  EXPECT_EQ(NonZeroRuns(withoutX.xmaster.bytes, 0, 150), "0:5dfe584d 18:2d01");
}

// A symbol is blank when a blank or control byte leads it; one that such a byte ends, or of
// letters from 0x80 up (Cyrillic in windows-1251), is the user's and the repair leaves it alone.
// A name that a control byte leads gives a symbol as blank: repairing it once is enough.
TEST(IndexFiles, BlankSymbolRepairTouchesOnlySymbolsThatAPrintableByteDoesNotLead) {
  TempDir tmp;
  PortfolioDescription p = Extended(Portfolio(
      {Symbol(1, "LE\x01" "AD", Fields8(), {}), Symbol(2, "\xCB\xD3\xCA\xCE\xC9\xCB", Fields8(), {}),
       Symbol(3, " \x01 ", Fields8(), {}), Symbol(300, "\xC3\xC0\xC7\xCF", Fields8(), {}),
       Symbol(301, "", Fields8(), {}), Symbol(4, "\x7F", Fields8(), {})}));
  p.symbols[2].name = "Blank";
  p.symbols[4].name = "Wide Blank";
  p.symbols[5].name = "\x02Odd";
  Build(tmp.path(), p);
  const IndexFiles files = Read(tmp.path());
  EXPECT_EQ(GridSymbolText(files.master.bytes.data() + 53 + kMasterSymbol), "LE");
  const IndexFiles repaired = WithBlankSymbolsRepaired(files);
  EXPECT_TRUE(AllWithin(Differences(files.master.bytes, repaired.master.bytes), 3 * 53 + 36, 4 * 53 + 52));
  EXPECT_EQ(TextAt(repaired.master.bytes, 3 * 53 + 36, 16), "Blank           ");
  EXPECT_EQ(TextAt(repaired.master.bytes, 4 * 53 + 36, 16), "\x02Odd            ");
  IndexFiles again = repaired;
  again.master.changed = again.emaster.changed = false;
  EXPECT_FALSE(WithBlankSymbolsRepaired(again).master.changed);
  EXPECT_TRUE(AllWithin(Differences(files.emaster.bytes, repaired.emaster.bytes), 3 * 192 + 11, 4 * 192 + 25));
  EXPECT_EQ(TextAt(repaired.emaster.bytes, 3 * 192 + 11, 14), "Blank");
  EXPECT_TRUE(AllWithin(Differences(files.xmaster.bytes, repaired.xmaster.bytes), 2 * 150 + 1, 2 * 150 + 15));
  EXPECT_EQ(TextAt(repaired.xmaster.bytes, 2 * 150 + 1, 14), "Wide Blank");
  EXPECT_EQ(IndexFilesOutOfStep(repaired), std::vector<std::string>{});
}

TEST(IndexFiles, AddedSymbolsGoToMasterAndEmasterOrToXmaster) {
  TempDir tmp;
  PortfolioDescription two = ThreeSymbols();
  two.symbols.pop_back();
  Build(tmp.path(), two);
  const IndexFiles files = Read(tmp.path());
  EXPECT_FALSE(files.hasXmaster());
  const IndexEntry b = *FindEntryByGridText(files, "BBB");
  NewIndexEntry added{b.record, EmasterRecordOf(files, b), std::nullopt, 0x09};

  const IndexFiles five = WithEntryAdded(files, added, 5);
  EXPECT_EQ(Bytes(five.master.bytes.begin(), five.master.bytes.begin() + 4), (Bytes{3, 0, 5, 0}));
  EXPECT_EQ(std::tuple(five.master.bytes[53 * 3], five.emaster.bytes[192 * 3 + 2]), std::tuple(5, 5));
  EXPECT_FALSE(five.xmaster.changed);
  // The second record of each file stands as it was, and the new one is the old one renumbered.
  Bytes expected(files.emaster.bytes.begin() + 192 * 2, files.emaster.bytes.begin() + 192 * 3);
  expected[2] = 5;
  EXPECT_EQ(Bytes(five.emaster.bytes.begin() + 192 * 3, five.emaster.bytes.end()), expected);
  EXPECT_EQ(IndexFilesOutOfStep(five), std::vector<std::string>{});

  const IndexFiles big = WithEntryAdded(files, added, 400);
  EXPECT_FALSE(big.master.changed || big.emaster.changed);
  ASSERT_TRUE(big.xmaster.changed);
  ASSERT_EQ(big.xmaster.bytes.size(), 300u);
  EXPECT_EQ(NonZeroRuns(big.xmaster.bytes, 0, 150), "0:5dfe584d 10:01 14:01 18:9101");
  EXPECT_EQ(std::tuple(Int16At(big.xmaster.bytes, 150 + 65), TextAt(big.xmaster.bytes, 151, 14), big.xmaster.bytes[150 + 70]),
            std::tuple(400, "BBB", 0x09));
  EXPECT_EQ(IndexFilesOutOfStep(big), std::vector<std::string>{});
  const auto writes = IndexWrites(Fs(), big, files, IndexReplace::kSwap);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(std::tuple(writes[0].path, writes[0].created, writes[0].temporaryPath),
            std::tuple(tmp / "XMASTER", true, tmp / "XMASTER.~NU"));
}

TEST(IndexFiles, DisagreementOfMasterAndEmasterIsNamed) {
  TempDir tmp;
  Build(tmp.path(), ThreeSymbols());
  IndexFiles files = Read(tmp.path());
  files.emaster.bytes[192 * 2 + 2] = 9;
  EXPECT_EQ(IndexDisagreement(files),
            "MASTER and EMASTER disagree on the file number of record 2 (2 and 9); the symbols of "
            "MASTER are shown");
  files.emaster.bytes.resize(192 * 2);
  files.emaster.bytes[0] = 1;
  EXPECT_EQ(IndexDisagreement(files), "MASTER lists 2 symbols and EMASTER 1; the symbols of MASTER are shown");
  // MASTER is trusted: every symbol is still listed, BBB without EMASTER facts.
  const auto entries = IndexEntries(files);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].emasterIndex, 0);
}

TEST(FieldSets, GiveTheQuantitiesInFileOrder) {
  using P = std::array<std::int16_t, kQuantityCount>;
  EXPECT_EQ(LayoutOfFieldSet(0x7F).position, (P{1, 0, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(LayoutOfFieldSet(0xFF).position, (P{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(LayoutOfFieldSet(0x9F).position, (P{1, 2, 0, 3, 4, 5, 6, 0}));
  EXPECT_EQ(FieldSetOfLayout(LayoutOfFieldSet(0x9F)), 0x9F);
  FieldLayout closeFirst;
  closeFirst.position[kDate] = 1;
  closeFirst.position[kClose] = 2;
  closeFirst.position[kHigh] = 3;
  EXPECT_EQ(FieldSetOfLayout(closeFirst), 0);
}

// Quotes of an intraday series, TIME after DATE, with the day's weekday-quotes prices.
SymbolDescription Intraday(int fileNumber, std::vector<FieldDescription> fields) {
  auto quotes = WeekdayQuotes(kMonday, 3);
  for (std::size_t i = 0; i < quotes.size(); ++i) quotes[i].time = HmsToSeconds(9, 30 + static_cast<int>(i), 0);
  SymbolDescription s = Symbol(fileNumber, "TICK", std::move(fields), quotes);
  s.periodicity = 'I';
  return s;
}

TEST(FieldSets, DecideTheLayoutWithoutDopAndIntradayReadsTimeWhereItFits) {
  const auto withTime = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume});
  for (bool extended : {false, true}) {
    SCOPED_TRACE(extended ? "field set from EMASTER" : "intraday length table");
    TempDir tmp;
    PortfolioDescription p = Portfolio(Intraday(1, withTime));
    p.extended = extended;
    Build(tmp.path(), p);
    QuoteSeries s;
    ASSERT_EQ(AllocSeries(&s, 10), kSuccess);
    ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "TICK", 0, 10), kSuccess);
    ASSERT_EQ(s.count, 3u);
    EXPECT_EQ(s.time(1), HmsToSeconds(9, 31, 0));
    EXPECT_EQ(s.value(kOpen, 1), 10.25f - 0.125f);
    EXPECT_EQ(s.value(kClose, 1), 10.25f);
    EXPECT_EQ(s.value(kOpenInterest, 1), -1.0f);
  }
  // A field set wins over the record-length table: 20 bytes of DATE, HIGH, LOW, CLOSE, VOL
  // whose volume is small enough to pass for a close.
  TempDir tmp;
  SymbolDescription v = Symbol(1, "VOL", Fields20Volume(), WeekdayQuotes(kMonday, 2));
  for (auto& q : v.quotes) q.volume = q.high;
  Build(tmp.path(), Extended(Portfolio(v)));
  QuoteSeries s;
  ASSERT_EQ(AllocSeries(&s, 10), kSuccess);
  ASSERT_EQ(LoadSeries(Fs(), &s, tmp.path(), "VOL", 0, 10), kSuccess);
  EXPECT_EQ(s.value(kOpen, 0), -1.0f);
  EXPECT_EQ(s.value(kVolume, 0), v.quotes[0].high);

  // An intraday length without room for TIME keeps the table.
  Build(tmp / "SHORT", Portfolio(Intraday(1, Fields8())));
  FieldLayout layout;
  MasterRecord record;
  std::string dir;
  ASSERT_EQ(FindMasterRecord(Fs(), tmp / "SHORT", "TICK", &record, &dir), kSuccess);
  ASSERT_EQ(ReadSymbolLayout(Fs(), dir, record, &layout), kSuccess);
  EXPECT_FALSE(layout.holds(kTime));
  EXPECT_EQ(layout.position[kClose], 2);
}

}  // namespace
}  // namespace barvane
