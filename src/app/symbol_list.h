// The symbol grid as data: the rows that a portfolio's MASTER file gives, in grid order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/ui.h"
#include "data/dates.h"
#include "data/fs.h"
#include "data/master.h"

namespace barvane {

inline constexpr int kMostSymbolsShown = 255;
inline constexpr const char* kSymbolGridFailureText = "Failure while filling symbols grid";

struct SymbolRow {
  std::string symbol;  // the grid's column 0: the issue name when the symbol field is blank
  std::string name;    // column 1: the name field up to a zero byte, trailing blanks kept
  bool blankSymbol = false;
  bool subPortfolio = false;  // the record stands for a sub-portfolio ("<DIR>")
  // What the index files say of the series, read without opening its quote file.
  DayNumber firstDay = kNoDate;
  DayNumber lastDay = kNoDate;
  char periodicity = ' ';
  int intradayMinutes = 0;  // 0 when the index files do not say
  // The whole records after its header that the quote file's size holds; -1 without a quote file.
  std::int64_t quoteCount = -1;
};

struct SymbolListing {
  std::vector<SymbolRow> rows;  // in grid order
  bool needsRepair = false;     // some record has a blank symbol
};

// Gives every record whose symbol is blank its issue name as symbol (in MASTER at most the 16
// bytes of the field, followed by a zero byte when shorter), in the MASTER at `masterPath` and
// the EMASTER and XMASTER beside it, each replaced crash-safely under the portfolio's lock, all
// or nothing. Returns false, with every file as it was, when one cannot be locked, read or
// replaced.
[[nodiscard]] bool RepairBlankSymbols(FileSystem& fs, const std::string& masterPath);

// Reads the symbols of the MASTER at `masterPath`, and of the XMASTER beside it, as the symbol
// grid lists them, each with the longest name the index files hold, its dates and periodicity,
// and its length as its quote file's size tells it (no quote file is opened). A MASTER header announcing
// more than 255 records is told through `ui` and its first 255 are listed; a MASTER and EMASTER
// that disagree are noted through `ui` and MASTER is followed. Returns false, after telling
// `ui` kSymbolGridFailureText, when the MASTER cannot be read, has no header, announces a
// negative count, or holds fewer or more records than announced (up to the 255 limit; slots
// beyond the count that are all zero bytes are not records), or an
// EMASTER or XMASTER present cannot be read. Writes nothing (the repair is the caller's).
[[nodiscard]] bool ReadSymbolListing(FileSystem& fs, const std::string& masterPath, Ui& ui,
                                     SymbolListing* listing);

}  // namespace barvane
