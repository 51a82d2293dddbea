// scan, symbols, quotes and facts: the portfolio list, the grids and the facts dialog as text.
#include "cli/read_commands.h"

#include <cstdio>

#include "app/portfolio_walk.h"
#include "app/quote_grid.h"
#include "app/symbol_list.h"
#include "cli/text_encoding.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/master.h"
#include "data/printed.h"
#include "data/series_facts.h"

namespace barvane::cli {

int ScanPortfolios(FileSystem& fs, Ui& ui, const std::string& root, const std::string& filterPath,
                   std::ostream& out) {
  if (!fs.IsDirectory(root)) {
    ui.ShowMessage(root + " is not a directory", MessageIcon::kStop);
    return 1;
  }
  const SearchFilter filter = SearchFilter::Make(!filterPath.empty(), filterPath);
  const auto found = PortfolioListOrder(WalkDirectory(fs, root, filter, ui));
  if (found.empty()) ui.ShowMessage(NoPortfoliosText(WithoutTrailingSlash(root)));
  for (const std::string& dir : found) out << dir << '\n';
  return 0;
}

int ListSymbols(FileSystem& fs, Ui& ui, const std::string& dir, std::ostream& out) {
  const std::string masterPath = FindNoCase(fs, WithTrailingSlash(dir), kMasterName);
  SymbolListing listing;
  if (!ReadSymbolListing(fs, masterPath, ui, &listing)) return 1;
  for (const SymbolRow& row : listing.rows) {
    out << FileTextToUtf8(row.symbol) << '\t' << FileTextToUtf8(row.name) << '\n';
  }
  return 0;
}

int ListQuotes(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& symbol,
               std::ostream& out) {
  QuoteGrid grid;
  if (!FillQuoteGrid(fs, dir, symbol, ui, &grid)) return 1;
  std::string line;
  for (const QuoteGridRow& row : grid.rows) {
    line.clear();
    for (const std::string& text : QuoteRowTexts(row, grid.style)) {
      if (!line.empty()) line += '\t';
      line += text;
    }
    line += '\n';
    out << line;
  }
  return grid.rows.size() == static_cast<std::size_t>(grid.quoteCount) ? 0 : 1;
}

int ShowFacts(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& symbol,
              std::ostream& out) {
  SeriesFacts facts;
  if (GatherSeriesFacts(fs, dir, symbol, &facts) != 0) {
    ui.ShowMessage("The facts of " + symbol + " cannot be read", MessageIcon::kStop);
    return 1;
  }
  out << "Path: " << facts.path << '\n'
      << "File number: " << int{facts.fileNumber} << '\n'
      << "DAT file record length: " << int{facts.recordLength} << '\n'
      << "DAT file number of fields: " << int{facts.fieldCount} << '\n'
      << "Number of quotes: " << facts.quotes << '\n'
      << "Name of issue: " << FileTextToUtf8(facts.name) << '\n'
      << "First date in file: " << Printed("%6.0f", facts.firstDate) << '\n'
      << "Last date in file: " << Printed("%6.0f", facts.lastDate) << '\n'
      << "Data format: " << facts.dataFormat << '\n'
      << "Symbol: " << FileTextToUtf8(facts.symbol) << '\n';
  static const char* const kLabels[kQuantityCount] = {"Date", "Time",  "Open", "High",
                                                      "Low",  "Close", "Vol",  "OI"};
  for (std::size_t q = 0; q < kQuantityCount; ++q) {
    out << kLabels[q] << ": " << facts.inputFormat[q] << '\t' << facts.displayFormat[q] << '\n';
  }
  return 0;
}

}  // namespace barvane::cli
