// QuoteSeries: a caller-owned window of a symbol's quotes in memory, eight columns read through
// a {base, count, stride, offset} view so that either storage arrangement serves every reader,
// and SeriesFile with LoadSeries, the one reader of quote files.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/dates.h"
#include "data/field_layout.h"
#include "data/fs.h"
#include "data/master.h"
#include "data/status.h"

namespace barvane {

// A series of up to this many quotes lives in one block of records; a larger one in seven
// column arrays.
inline constexpr std::uint32_t kLargestBlockSeries = 2321;
inline constexpr std::size_t kSeriesDirectoryLimit = 70;
inline constexpr std::size_t kSeriesSymbolLimit = 20;

// Element i of a column is the 4-byte word base[stride * i + offset].
struct SeriesColumn {
  std::uint32_t* base = nullptr;
  std::uint32_t count = 0;
  std::uint16_t stride = 0;
  std::uint16_t offset = 0;

  std::uint32_t& word(std::uint32_t i) const { return base[std::size_t{stride} * i + offset]; }
};

// What the last load learnt about the series' files.
struct SeriesInfo {
  MasterRecord record;  // dates as IEEE values
  FieldLayout layout;

  // Whether the quote records store `quantity` (a field within the record's field count).
  bool holds(int quantity) const {
    const int p = layout.position[static_cast<std::size_t>(quantity)];
    return p != 0 && p <= record.fieldCount();
  }
};

struct QuoteSeries {
  std::array<SeriesColumn, kQuantityCount> columns{};
  std::string directory;  // of the last load, at most kSeriesDirectoryLimit characters
  std::string symbol;     // of the last load, at most kSeriesSymbolLimit characters
  std::uint32_t count = 0;
  std::uint32_t capacity = 0;
  std::int32_t quotesInFile = 0;    // R - 1 of the file's header
  std::int32_t quotesPresent = 0;   // whole quote records the file really holds
  std::unique_ptr<SeriesInfo> info;
  std::unique_ptr<std::uint32_t[]> block;                     // c records of 8 words
  std::array<std::unique_ptr<std::uint32_t[]>, 7> arrays{};  // date and time pairs, then floats

  DayNumber date(std::uint32_t i) const {
    return std::bit_cast<DayNumber>(columns[kDate].word(i));
  }
  DaySeconds time(std::uint32_t i) const { return static_cast<DaySeconds>(columns[kTime].word(i)); }
  // Open to open interest (kOpen ... kOpenInterest); -1.0 for a quantity the file lacks.
  float value(int quantity, std::uint32_t i) const {
    return std::bit_cast<float>(columns[static_cast<std::size_t>(quantity)].word(i));
  }
  bool usesBlock() const { return block != nullptr; }
};

// Prepares room for `capacity` quotes (count and capacity set to it, texts and facts cleared).
// Returns kSuccess, or kMalloc with capacity 0 when the memory cannot be had.
[[nodiscard]] Status AllocSeries(QuoteSeries* series, std::int32_t capacity);

// Releases the columns and the facts and leaves the series as a new one.
void FreeSeries(QuoteSeries* series);

// Sets the count of the series and its columns; kMalloc when `n` exceeds the capacity.
[[nodiscard]] Status SetSeriesCount(QuoteSeries* series, std::uint32_t n);

// Reads quotes of `symbol` (found from `dir` through FindMasterRecord) into `series`:
// count 0 loads only the facts (directory, symbol, quotes in file, SeriesInfo); first >= 0
// reads up to min(count, capacity) quotes from quote number `first`; first < 0 reads the last
// that many. Afterwards the series count is the number of quotes read (reading stops at the
// file's end). Returns the status of FindMasterRecord or ReadFieldLayout, kFileOpen when the
// quote file cannot be opened, kRecordNotFound when `first` lies beyond the last quote.
// A quantity the file lacks reads as -1.0; a file without TIME gives time 0. Reads only.
[[nodiscard]] Status LoadSeries(FileSystem& fs, QuoteSeries* series, const std::string& dir,
                                const std::string& symbol, std::int32_t first, std::int32_t count);

inline constexpr unsigned kEveryQuantity = (1u << kQuantityCount) - 1;

// One symbol's quote file, found through the portfolio's index once and kept open, so that a
// reader of many windows (export, split search) searches the index once per series.
class SeriesFile {
 public:
  // Finds `symbol` from `dir` through FindMasterRecord and opens its quote file. Returns the
  // status of FindMasterRecord or ReadFieldLayout, or kFileOpen when the quote file cannot be
  // opened or its header and size cannot be read.
  [[nodiscard]] Status Open(FileSystem& fs, const std::string& dir, const std::string& symbol);
  // The same with the record found through `records`, made for the same directory.
  [[nodiscard]] Status Open(FileSystem& fs, MasterRecordFinder& records, const std::string& symbol);

  // Reads every quote record of the opened file into memory in one read; later loads take
  // their windows from there. When that read fails, loads read from the file as before.
  void HoldWholeFile();

  // What LoadSeries does with `first` and `count`, on the opened file, converting only the
  // quantities whose bit (1 << quantity) is set in `quantities`: the others read as -1.0, as
  // a quantity the file lacks does, and the date as kNoDate. REQUIRES: Open succeeded.
  [[nodiscard]] Status Load(QuoteSeries* series, std::int32_t first, std::int32_t count,
                            unsigned quantities = kEveryQuantity);

  // R - 1 of the header, and the whole quote records the file really holds.
  const FieldLayout& layout() const { return layout_; }
  std::int32_t quotesInFile() const;
  std::int32_t quotesPresent() const;

 private:
  // Opens the quote file of record_ in dir_ when `found` (the status of the search that set
  // them) is kSuccess; returns `found` otherwise.
  [[nodiscard]] Status OpenFound(FileSystem& fs, Status found, const std::string& symbol);
  // Up to `n` bytes of the file from `offset` on, from memory when the file is held, else
  // read into the reused buffer; `*got` tells how many (0 on an I/O error).
  const std::uint8_t* BytesAt(std::uint64_t offset, std::size_t n, std::size_t* got);

  MasterRecord record_;
  std::string dir_;
  std::string symbol_;
  FieldLayout layout_;
  std::unique_ptr<ReadableFile> file_;
  std::uint8_t header_[4] = {};
  std::size_t headerGot_ = 0;
  std::uint64_t size_ = 0;
  std::unique_ptr<std::uint8_t[]> held_;  // the file from its first quote record on
  std::size_t heldSize_ = 0;
  std::vector<std::uint8_t> buffer_;
};

// How the grid shows the dates of the opened series `file` (see DateStyle): four-digit years
// when any quote lies outside 1961..2060, times when its layout holds TIME. Reads the dates
// alone, window by window.
DateStyle SeriesDateStyle(SeriesFile& file);

// The record number R of a quote file header (bytes 2 and 3, unsigned).
std::uint16_t QuoteHeaderRecordNumber(const std::uint8_t* header);
// The largest quote file of records of `recordLength` bytes: the header and 65,535 quotes, as
// many as the header's 16-bit number can count.
constexpr std::uint64_t LargestQuoteFile(std::size_t recordLength) {
  return std::uint64_t{0x10000} * recordLength;
}
// The number of quotes a header announces: R - 1, and 0 for R below 1.
std::int32_t QuotesAnnounced(const std::uint8_t* header);

}  // namespace barvane
