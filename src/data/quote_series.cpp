// The quote series and its reader.
#include "data/quote_series.h"

#include <algorithm>
#include <bit>
#include <new>
#include <vector>

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/mbf.h"

namespace barvane {
namespace {

constexpr std::uint16_t kBlockWords = 8;  // date, time, six floats

template <typename T>
std::unique_ptr<T[]> ZeroedArray(std::size_t n) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[n]());
}

void StoreQuote(QuoteSeries* series, std::uint32_t i, DayNumber date, TimeTicks time,
                const float* values) {
  series->columns[kDate].word(i) = std::bit_cast<std::uint32_t>(date);
  series->columns[kTime].word(i) = time;
  for (int q = kOpen; q < kQuantityCount; ++q) {
    series->columns[static_cast<std::size_t>(q)].word(i) = std::bit_cast<std::uint32_t>(values[q - kOpen]);
  }
}

}  // namespace

DayNumber QuoteSeries::date(std::uint32_t i) const {
  return std::bit_cast<DayNumber>(columns[kDate].word(i));
}

TimeTicks QuoteSeries::time(std::uint32_t i) const {
  return static_cast<TimeTicks>(columns[kTime].word(i));
}

float QuoteSeries::value(int quantity, std::uint32_t i) const {
  return std::bit_cast<float>(columns[static_cast<std::size_t>(quantity)].word(i));
}

std::uint16_t QuoteHeaderRecordNumber(const std::uint8_t* header) {
  return static_cast<std::uint16_t>(header[2] | header[3] << 8);
}

std::int32_t QuotesAnnounced(const std::uint8_t* header) {
  const std::int32_t r = QuoteHeaderRecordNumber(header);
  return r < 1 ? 0 : r - 1;
}

Status AllocSeries(QuoteSeries* series, std::int32_t capacity) {
  const auto c = static_cast<std::uint32_t>(std::max<std::int32_t>(capacity, 0));
  series->count = series->capacity = c;
  series->directory.clear();
  series->symbol.clear();
  series->quotesInFile = series->quotesPresent = 0;
  series->info.reset();
  series->block.reset();
  for (auto& a : series->arrays) a.reset();

  if (c <= kLargestBlockSeries) {
    series->block = ZeroedArray<std::uint32_t>(std::size_t{c} * kBlockWords + 1);
  }
  if (series->block) {
    for (std::uint16_t q = 0; q < kQuantityCount; ++q) {
      series->columns[q] = {series->block.get(), c, kBlockWords, q};
    }
    return kSuccess;
  }
  series->arrays[0] = ZeroedArray<std::uint32_t>(std::size_t{c} * 2 + 1);
  bool ok = series->arrays[0] != nullptr;
  for (std::size_t a = 1; ok && a < series->arrays.size(); ++a) {
    series->arrays[a] = ZeroedArray<std::uint32_t>(std::size_t{c} + 1);
    ok = series->arrays[a] != nullptr;
  }
  if (!ok) {
    for (auto& a : series->arrays) a.reset();
    series->capacity = 0;
    return kMalloc;
  }
  series->columns[kDate] = {series->arrays[0].get(), c, 2, 0};
  series->columns[kTime] = {series->arrays[0].get(), c, 2, 1};
  for (std::size_t q = kOpen; q < kQuantityCount; ++q) {
    series->columns[q] = {series->arrays[q - 1].get(), c, 1, 0};
  }
  return kSuccess;
}

void FreeSeries(QuoteSeries* series) { *series = QuoteSeries{}; }

Status SetSeriesCount(QuoteSeries* series, std::uint32_t n) {
  if (n > series->capacity) return kMalloc;
  series->count = n;
  for (auto& column : series->columns) column.count = n;
  return kSuccess;
}

Status LoadSeries(FileSystem& fs, QuoteSeries* series, const std::string& dir,
                  const std::string& symbol, std::int32_t first, std::int32_t count) {
  MasterRecord record;
  std::string recordDir;
  if (Status s = FindMasterRecord(fs, dir, symbol, &record, &recordDir); s != kSuccess) return s;
  FieldLayout layout;
  if (Status s = ReadFieldLayout(fs, recordDir, record.fileNumber(), record.recordLength(),
                                 record.fieldCount(), &layout);
      s != kSuccess) {
    return s;
  }
  const std::string path = FindNoCase(fs, recordDir, QuoteFileName(record.fileNumber()));
  auto file = path.empty() ? nullptr : fs.OpenForRead(path);
  std::uint8_t header[4] = {};
  std::size_t got = 0;
  std::uint64_t size = 0;
  if (!file || !file->ReadAt(0, 4, header, &got) || !file->Size(&size)) return kFileOpen;

  const std::size_t length = static_cast<std::size_t>(record.recordLength());
  if (!series->info) {
    series->info.reset(new (std::nothrow) SeriesInfo);
    if (!series->info) {
      FreeSeries(series);
      return kMalloc;
    }
  }
  series->quotesInFile = got == 4 ? QuotesAnnounced(header) : 0;
  series->quotesPresent = size / length > 0 ? static_cast<std::int32_t>(size / length - 1) : 0;
  series->directory = recordDir.substr(0, kSeriesDirectoryLimit);
  series->symbol = symbol.substr(0, kSeriesSymbolLimit);
  series->info->record = record;
  series->info->layout = layout;
  if (count == 0) return kSuccess;

  const std::int32_t inFile = series->quotesInFile;
  const auto wanted = static_cast<std::int32_t>(
      std::min<std::int64_t>(std::max(count, 0), series->capacity));
  if (first < 0) first = std::max(0, inFile - wanted);
  if (first > inFile - 1) return kRecordNotFound;

  const std::int32_t toRead = std::min(wanted, inFile - first);
  std::vector<std::uint8_t> buffer(length * static_cast<std::size_t>(toRead));
  if (!file->ReadAt(length * (static_cast<std::uint64_t>(first) + 1), buffer.size(),
                    buffer.data(), &got)) {
    got = 0;
  }
  const auto read = static_cast<std::uint32_t>(got / length);
  const int fields = record.fieldCount();
  for (std::uint32_t i = 0; i < read; ++i) {
    const std::uint8_t* fieldBytes = buffer.data() + length * i;
    float quantity[kQuantityCount];
    for (int q = 0; q < kQuantityCount; ++q) {
      const int p = layout.position[static_cast<std::size_t>(q)];
      quantity[q] = p == 0 || p > fields ? -1.0f : ReadMbf(fieldBytes + 4 * (p - 1));
    }
    const DayNumber day = DateFloatToDay(quantity[kDate]);
    const TimeTicks ticks = layout.holds(kTime) ? TimeFloatToTicks(quantity[kTime]) : 0;
    StoreQuote(series, i, day, ticks, quantity + kOpen);
  }
  return SetSeriesCount(series, read);
}

}  // namespace barvane
