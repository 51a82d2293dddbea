// The symbol grid's rows from MASTER files, sound and damaged.
#include "app/symbol_list.h"

#include <gtest/gtest.h>

#include "data/master.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"

namespace barvane {
namespace {

using test::Build;
using test::Fields28;
using test::RecordingUi;
using test::Symbol;
using test::TempDir;

std::vector<std::string> Symbols(const SymbolListing& listing) {
  std::vector<std::string> symbols;
  for (const auto& row : listing.rows) symbols.push_back(row.symbol);
  return symbols;
}

// A MASTER whose header announces `announced` records and that holds `present` of them.
void WriteMaster(const std::string& path, int announced, int present) {
  PortfolioDescription p;
  for (int i = 1; i <= present; ++i) p.symbols.push_back(Symbol(i % 255 + 1, std::string("S").append(std::to_string(i)), Fields28(), {}));
  Bytes master = MasterFileBytes(p);
  master[0] = static_cast<std::uint8_t>(announced & 0xFF);
  master[1] = static_cast<std::uint8_t>((announced >> 8) & 0xFF);
  test::WriteBytes(path, master);
}

// The rows of `dir`'s MASTER into `listing`; false when the listing failed.
bool List(const TempDir& dir, RecordingUi& ui, SymbolListing* listing, const std::string& name = "MASTER") {
  return ReadSymbolListing(FileSystem::Default(), dir / name, ui, listing);
}

TEST(SymbolList, RowsStandInCaseInsensitiveOrderWithTiesByBytes) {
  TempDir dir;
  PortfolioDescription p;
  for (const char* s : {"beta", "Alpha", "BETA", "alpha2", "Beta"}) p.symbols.push_back(Symbol(static_cast<int>(p.symbols.size()) + 1, s, Fields28(), {}));
  Build(dir.path(), p);
  RecordingUi ui;
  SymbolListing listing;
  ASSERT_TRUE(List(dir, ui, &listing));
  EXPECT_EQ(Symbols(listing), (std::vector<std::string>{"Alpha", "alpha2", "BETA", "Beta", "beta"}));
  EXPECT_EQ(listing.rows[0].name, "Alpha Ltd       ");
  EXPECT_TRUE(ui.messages.empty());
}

// Bytes from 0x80 up are letters; a blank, a control byte or 0x7F ends the symbol, and a symbol
// that one leads is blank. No row shows a control byte.
TEST(SymbolList, SymbolEndsAtBlankOrControlByteAndABlankOneShowsItsName) {
  TempDir dir;
  PortfolioDescription p;
  // The fifth is Cyrillic in windows-1251.
  for (const char* s : {"ABC", "XY\x01Z", "QR\xE9S", " LEAD", "\xCB\xD3\xCA\xCE\xC9\xCB", "  \x01 ", "DEL\x7F" "X"}) {
    p.symbols.push_back(Symbol(static_cast<int>(p.symbols.size()) + 1, s, Fields28(), {}));
  }
  p.symbols[5].name = "Blank Symbol";
  Build(dir.path(), p);
  RecordingUi ui;
  SymbolListing listing;
  ASSERT_TRUE(List(dir, ui, &listing));
  EXPECT_EQ(Symbols(listing), (std::vector<std::string>{" LEAD Ltd       ", "ABC", "Blank Symbol    ", "DEL",
                                                        "QR\xE9S", "XY", "\xCB\xD3\xCA\xCE\xC9\xCB"}));
  EXPECT_EQ(listing.rows[3].name, "DEL?X Ltd       ");
  EXPECT_EQ(listing.rows[5].name, "XY?Z Ltd        ");
  for (const SymbolRow& row : listing.rows) EXPECT_EQ(row.blankSymbol, row.symbol.find("  ") != std::string::npos) << row.symbol;
  EXPECT_TRUE(listing.needsRepair);
}

// The repair writes a blank symbol's name into it, up to a zero in the name and with no zero
// after all 16 bytes, and changes no other byte.
TEST(SymbolList, RepairGivesABlankSymbolItsNameUpToAZeroAndChangesNothingElse) {
  TempDir dir;
  Build(dir.path(), test::Portfolio({Symbol(1, "ZED", Fields28(), {}), Symbol(2, "ABC", Fields28(), {})}));
  Bytes master = test::ReadBytes(dir / "MASTER");
  auto put = [&master](int record, std::size_t at, const std::string& text) {
    std::copy(text.begin(), text.end(), master.begin() + record * kMasterRecordSize + at);
  };
  put(1, kMasterIssueName, "SIXTEEN CHARS OK");
  put(1, kMasterSymbol, std::string(16, ' '));
  master[kMasterRecordSize + 52] = 0x77;
  put(2, kMasterIssueName, std::string("ECHO\0PHARMA12345", 16));
  put(2, kMasterSymbol, std::string("  \x01\0 EFGH\x90JKLMNO", 16));  // blanks and a control byte
  test::WriteBytes(dir / "MASTER", master);
  RecordingUi ui;
  SymbolListing listing;
  ASSERT_TRUE(List(dir, ui, &listing));
  ASSERT_TRUE(listing.needsRepair);
  ASSERT_TRUE(RepairBlankSymbols(FileSystem::Default(), dir / "MASTER"));
  put(1, kMasterSymbol, "SIXTEEN CHARS OK");
  put(2, kMasterSymbol, std::string("ECHO\0EFGH\0JKLMNO", 16));
  EXPECT_EQ(test::ReadBytes(dir / "MASTER"), master);
  EXPECT_EQ(test::FileNames(dir.path()), (std::vector<std::string>{"F1.DAT", "F2.DAT", "MASTER"}));
  EXPECT_TRUE(ui.messages.empty());
}

// Counts that disagree with the records fail; more than 255 are announced and the first 255
// listed; an empty portfolio is no failure, but a missing or headerless MASTER is.
TEST(SymbolList, CountsBoundariesAndMissingFiles) {
  for (auto [announced, present] : {std::pair{5, 6}, std::pair{5, 4}, std::pair{-1, 0}}) {
    TempDir dir;
    WriteMaster(dir / "MASTER", announced, present);
    RecordingUi ui;
    SymbolListing listing;
    EXPECT_FALSE(List(dir, ui, &listing)) << announced;
    EXPECT_TRUE(listing.rows.empty());
    EXPECT_EQ(ui.messages, std::vector<std::string>{kSymbolGridFailureText});
    EXPECT_EQ(ui.icons, std::vector<MessageIcon>{MessageIcon::kStop});
  }
  TempDir dir;
  WriteMaster(dir / "MASTER", 300, 300);
  RecordingUi ui;
  SymbolListing listing;
  ASSERT_TRUE(List(dir, ui, &listing));
  EXPECT_EQ(listing.rows.size(), 255u);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"File has 300 symbols.\nWill only display the first 255 symbols"});

  ui.messages.clear();
  WriteMaster(dir / "MASTER", 0, 0);
  EXPECT_TRUE(List(dir, ui, &listing));
  EXPECT_TRUE(ui.messages.empty());
  test::WriteBytes(dir / "MASTER", Bytes(52, 0));
  EXPECT_FALSE(List(dir, ui, &listing));
  EXPECT_FALSE(List(dir, ui, &listing, "NOWHERE"));
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, kSymbolGridFailureText));
}

}  // namespace
}  // namespace barvane
