// Writes whole portfolios (MASTER, and EMASTER and XMASTER when asked; F<n>.DAT or F<n>.MWD,
// F<n>.DOP) from a short description. The sample drive, the benchmarks and the tests'
// portfolio builder are made with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/dates.h"
#include "data/field_layout.h"
#include "data/file_ops.h"
#include "data/fs.h"

namespace barvane {

struct QuoteValues {
  DayNumber day = 0;
  DaySeconds time = 0;
  float open = 0, high = 0, low = 0, close = 0, volume = 0, openInterest = 0;
};

struct FieldDescription {
  Quantity quantity = kDate;
  std::int16_t inputCode = 0;
  std::int16_t displayCode = 0;
};

struct SymbolDescription {
  int fileNumber = 1;
  std::string symbol;  // padded with blanks to 16 bytes
  std::string name;    // padded with blanks to 16 bytes in MASTER; whole in EMASTER and XMASTER
  char periodicity = 'D';
  int intradayMinutes = 0;  // EMASTER's and XMASTER's bar length
  std::vector<FieldDescription> fields;  // in file order
  bool withLayoutFile = false;           // write F<n>.DOP from `fields`
  std::vector<QuoteValues> quotes;
  std::uint8_t filler = 0;  // every byte the program does not interpret
};

struct PortfolioDescription {
  std::vector<SymbolDescription> symbols;
  std::vector<std::string> subPortfolios;  // directory names, listed after the symbols
  std::uint8_t filler = 0;                 // the MASTER header's and sub-portfolio records' spare bytes
  // Writes EMASTER for the symbols numbered 1..255 and XMASTER for those above (MASTER lists
  // only the former); without it every symbol goes into MASTER.
  bool extended = false;
};

// The fields of the layout assumed for a record length without F<n>.DOP.
std::vector<FieldDescription> FieldsOf(std::initializer_list<Quantity> quantities);

Bytes MasterRecordBytes(const SymbolDescription& symbol);
Bytes SubPortfolioRecordBytes(const std::string& dirName, std::uint8_t filler);
Bytes MasterFileBytes(const PortfolioDescription& portfolio);
Bytes EmasterFileBytes(const PortfolioDescription& portfolio);
Bytes XmasterFileBytes(const PortfolioDescription& portfolio);
Bytes QuoteFileBytes(const SymbolDescription& symbol);
std::string LayoutFileText(const SymbolDescription& symbol);

// Writes the portfolio into `dir` (created when missing, ending in "/" or not): its MASTER and
// each symbol's files. Sub-portfolio directories are not created. Returns false on failure.
[[nodiscard]] bool WritePortfolio(FileSystem& fs, const std::string& dir,
                                  const PortfolioDescription& portfolio);

}  // namespace barvane
