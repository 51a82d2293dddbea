// The symbol grid as data: the rows that a portfolio's MASTER file gives, in grid order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/ui.h"
#include "data/fs.h"

namespace barvane {

inline constexpr int kMostSymbolsShown = 255;
inline constexpr const char* kSymbolGridFailureText = "Failure while filling symbols grid";

struct SymbolRow {
  std::string symbol;  // the grid's column 0: the issue name when the symbol field is blank
  std::string name;    // column 1: the name field up to a zero byte, trailing blanks kept
  bool blankSymbol = false;
  bool subPortfolio = false;  // the record stands for a sub-portfolio ("<DIR>")
};

struct SymbolListing {
  std::vector<SymbolRow> rows;  // in grid order
  bool needsRepair = false;     // some record has a blank symbol
};

// The symbol text the grid shows for a record's 16 symbol bytes: up to the first byte that is
// a blank, a control byte or 0x80 and above.
std::string GridSymbolText(const std::uint8_t* symbolField);

// Reads the symbols of the MASTER at `masterPath` as the symbol grid lists them. A header
// announcing more than 255 records is told through `ui` and the first 255 are listed. Returns
// false, after telling `ui` kSymbolGridFailureText, when the MASTER cannot be read, has no
// header, announces a negative count, or holds fewer or more records than announced (up to
// the 255 limit). Writes nothing (the blank-symbol repair is the caller's).
// Gives every record whose symbol is blank its issue name as symbol (at most the 16 bytes of
// the field, followed by a zero byte when shorter), replacing the MASTER crash-safely under the
// portfolio's lock. Returns false, with the MASTER as it was, when it cannot be locked, read
// or replaced.
[[nodiscard]] bool RepairBlankSymbols(FileSystem& fs, const std::string& masterPath);

[[nodiscard]] bool ReadSymbolListing(FileSystem& fs, const std::string& masterPath, Ui& ui,
                                     SymbolListing* listing);

}  // namespace barvane
