// The portfolio check: every symbol of a portfolio and of its sub-portfolios (entered depth
// first, each MASTER's own records before its sub-portfolios, as the symbol search goes) is
// checked with CheckSeries, and the index files with it: the MASTER's record count, quote
// files that no record names, records that share a quote file, sub-portfolios that cannot be
// entered. Each file is read once. The repair (portfolio_repair.h) walks the same way.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/dates.h"
#include "data/fs.h"
#include "data/master.h"
#include "tools/series_check.h"

namespace barvane {

inline constexpr const char* kNoSymbolText = "-";

struct CheckProblem {
  std::string symbol;  // as the symbol grid shows it; "-" for a problem of no one symbol
  std::string where;   // the sub-portfolio path below the checked portfolio; empty for its own
  std::string dir;     // the directory whose MASTER lists the symbol, ending in "/"
  DayNumber day = kNoDate;  // kNoDate when the problem has no day
  std::string text;
  bool mendable = false;        // false: it needs a person
  bool fourDigitYears = false;  // the day's series shows four-digit years
  std::vector<CheckProblem> bars{};  // of a line that tells one kind on many quotes: their own
  std::size_t quotes = 1;          // how many quotes it tells of, when it has a day
};

// "SYMBOL<TAB>MM/DD/YY<TAB>what is wrong", "-" for no day; a sub-portfolio's problem ends in
// " (in SUB)".
std::string CheckLine(const CheckProblem& problem);

// Puts problems in the order they are shown: by symbol as the symbol grid sorts, then by
// sub-portfolio, then by day (no day first), else as found.
void SortProblems(std::vector<CheckProblem>* problems);

// Told before each symbol is checked (done of total) and once at the end; false cancels.
using CheckProgress = std::function<bool(int done, int total)>;

// One symbol record of the tree, as the walk finds it.
struct CheckedSymbol {
  std::string symbol;  // as the grid shows it
  std::string where;
  std::string dir;
  MasterRecord record;  // as stored: dates MBF
  std::string quotePath, dopPath;  // empty when the file is missing
  bool sharesQuoteFile = false;    // another record of its MASTER names the same file number
};

// A directory of the tree whose MASTER was read.
struct PortfolioDirectory {
  std::string dir;  // ending in "/"
  std::string where;
};

// The portfolio tree: its symbols and the problems of its index files.
struct PortfolioTree {
  std::vector<CheckedSymbol> symbols;  // in walk order
  std::vector<CheckProblem> problems;
  std::vector<PortfolioDirectory> directories;  // in walk order
};

// Reads the MASTER of `dir` and, through it, of every sub-portfolio, and lists each directory
// once. Returns false when the MASTER of `dir` itself cannot be read or has no header.
[[nodiscard]] bool ReadPortfolioTree(FileSystem& fs, const std::string& dir, PortfolioTree* tree);

// The problems of one series as the report gives them: its kinds gathered (GroupByKind).
std::vector<CheckProblem> SeriesReport(const CheckedSymbol& symbol, const SeriesVerdict& verdict);

// Reads the files of `symbol` (once each) and checks them; `*quotes` receives the quote
// file's bytes as read. A quote or layout file that exists but cannot be read is a problem
// that needs a person.
SeriesVerdict CheckSymbol(FileSystem& fs, const CheckedSymbol& symbol, Bytes* quotes);

enum class CheckOutcome { kDone, kCancelled, kNoPortfolio };

// Checks the portfolio `dir` and gives its problems, sorted, each series' problems of one kind
// on many quotes as one problem (GroupByKind). kNoPortfolio when its MASTER
// cannot be read; kCancelled (with the problems found so far) when `progress` said so.
// Reads only.
CheckOutcome CheckPortfolio(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                            std::vector<CheckProblem>* problems);

}  // namespace barvane
