// What the files say about one quote series: the MASTER record's facts, the number of quotes
// and the formats of its field layout, as the Data facts command shows them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/field_layout.h"
#include "data/fs.h"

namespace barvane {

struct SeriesFacts {
  std::string path;  // the portfolio directory as given
  int fileNumber = 0;
  std::uint8_t recordLength = 0;
  std::uint8_t fieldCount = 0;
  std::int32_t quotes = 0;  // R - 1 of the quote file's header
  std::string name;         // the name field as shown (ShownText), trailing blanks kept
  float firstDate = 0;      // date values YYMMDD
  float lastDate = 0;
  std::string dataFormat;  // "D Daily", ... or "ERROR"
  std::string symbol;      // the symbol field as shown (ShownText)
  std::array<std::string, kQuantityCount> inputFormat;    // empty for a quantity not held
  std::array<std::string, kQuantityCount> displayFormat;
};

// "D Daily" and the like for a periodicity letter; "ERROR" for an unknown letter.
std::string PeriodicityText(char letter);
// "Whole Num.", "100ths", "32nds", "1,000s" ...; empty for a code without a text.
std::string FormatCodeText(int code);

// Gathers the facts of `symbol` found from `dir`. Returns 0 when they were gathered and 1
// (with `*facts` untouched) when the symbol, its layout or its quote file cannot be read.
[[nodiscard]] int GatherSeriesFacts(FileSystem& fs, const std::string& dir,
                                    const std::string& symbol, SeriesFacts* facts);

}  // namespace barvane
