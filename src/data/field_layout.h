// Which 4-byte field of a quote record holds which quantity: read from the symbol's F<n>.DOP
// file, or assumed from the record length when there is none.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/fs.h"
#include "data/master.h"
#include "data/status.h"

namespace barvane {

// The quantities of a quote, in the order used by layouts, series columns and changes.
enum Quantity : int { kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest };
inline constexpr int kQuantityCount = 8;

// The keyword of each quantity in a F<n>.DOP file: "DATE", "TIME", ... "OI".
std::string_view QuantityKeyword(int quantity);

// A F<n>.DOP names at most eight quantities on short lines; anything larger is no layout file.
inline constexpr std::uint64_t kLargestLayoutFile = 16 * 1024;

struct FieldLayout {
  std::array<std::int16_t, kQuantityCount> position{};  // 1-based field; 0: not in the file
  std::array<std::int16_t, kQuantityCount> inputCode{};
  std::array<std::int16_t, kQuantityCount> displayCode{};

  bool holds(int quantity) const { return position[static_cast<std::size_t>(quantity)] != 0; }
};

// Reads the layout of symbol `fileNumber` in `dir` (ending in "/"): its F<n>.DOP when present,
// else the layout that the record length implies (for 20 bytes decided from the first quote
// of F<n>.DAT). Returns kNoUsableLayout, with `*layout` all zero, when the layout has no DATE,
// names a field beyond `fieldCount`, or the fields do not fit the record length, and when
// there is no F<n>.DOP and the record length is not one of 8, 12, 16, 20, 24 and 28.
[[nodiscard]] Status ReadFieldLayout(FileSystem& fs, const std::string& dir, int fileNumber,
                                     int recordLength, int fieldCount, FieldLayout* layout);

// The layout ReadSymbolLayout gives for `record` with `recordLength` and `fieldCount`, from
// files already in memory: `dopText` is the F<n>.DOP text (null when the symbol has none) and
// `firstQuote` the first quote record of the quote file, at least 24 bytes (null when the file
// holds no quote), which decides a 20-byte layout (24 bytes for an intraday series).
[[nodiscard]] Status LayoutFromFiles(const std::string_view* dopText, const std::uint8_t* firstQuote,
                                     const MasterRecord& record, int recordLength, int fieldCount,
                                     FieldLayout* layout);

// The layout of the symbol that `record` describes, its files in `dir`: its F<n>.DOP when
// present, else the field set that EMASTER or XMASTER gives (when it agrees with the field
// count), else the layout the record length implies, where an intraday series (periodicity I)
// long enough to hold DATE, TIME and a price has TIME after DATE. Fails as ReadFieldLayout.
[[nodiscard]] Status ReadSymbolLayout(FileSystem& fs, const std::string& dir, const MasterRecord& record,
                                      FieldLayout* layout);

// The layout that F<n>.DOP text gives, line by line as the reader takes it.
FieldLayout ParseLayoutText(std::string_view text);

}  // namespace barvane
