// The quote series and its reader.
#include "data/quote_series.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <cstring>
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

}  // namespace

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

Status SeriesFile::Open(FileSystem& fs, const std::string& dir, const std::string& symbol) {
  return OpenFound(fs, FindMasterRecord(fs, dir, symbol, &record_, &dir_), symbol);
}

Status SeriesFile::Open(FileSystem& fs, MasterRecordFinder& records, const std::string& symbol) {
  return OpenFound(fs, records.Find(symbol, &record_, &dir_), symbol);
}

Status SeriesFile::OpenFound(FileSystem& fs, Status found, const std::string& symbol) {
  held_.reset();
  heldSize_ = 0;
  if (found != kSuccess) return found;
  if (Status s = ReadSymbolLayout(fs, dir_, record_, &layout_);
      s != kSuccess) {
    return s;
  }
  const std::string path = FindNoCase(fs, dir_, QuoteFileName(record_.fileNumber()));
  file_ = path.empty() ? nullptr : fs.OpenForRead(path);
  headerGot_ = 0;
  size_ = 0;
  if (!file_ || !file_->ReadAt(0, 4, header_, &headerGot_) || !file_->Size(&size_)) {
    file_.reset();
    return kFileOpen;
  }
  symbol_ = symbol;
  return kSuccess;
}

std::int32_t SeriesFile::quotesInFile() const {
  return headerGot_ == 4 ? QuotesAnnounced(header_) : 0;
}

std::int32_t SeriesFile::quotesPresent() const {
  const auto length = static_cast<std::uint64_t>(record_.recordLength());
  return size_ / length > 0 ? static_cast<std::int32_t>(size_ / length - 1) : 0;
}

void SeriesFile::HoldWholeFile() {
  const auto length = static_cast<std::size_t>(record_.recordLength());
  const std::int32_t records = std::min(quotesInFile(), quotesPresent());
  const std::size_t size = length * static_cast<std::size_t>(std::max(records, 0));
  held_.reset(new (std::nothrow) std::uint8_t[size]);
  std::size_t got = 0;
  if (!held_ || !file_->ReadAt(length, size, held_.get(), &got)) {
    held_.reset();
    got = 0;
  }
  heldSize_ = got;
}

const std::uint8_t* SeriesFile::BytesAt(std::uint64_t offset, std::size_t n, std::size_t* got) {
  const auto length = static_cast<std::uint64_t>(record_.recordLength());
  // The held records end where the header's count ends; past them the file itself answers.
  if (held_ && offset >= length && offset - length + n <= heldSize_) {
    *got = n;
    return held_.get() + (offset - length);
  }
  buffer_.resize(n);
  if (!file_->ReadAt(offset, n, buffer_.data(), got)) *got = 0;
  return buffer_.data();
}

Status SeriesFile::Load(QuoteSeries* series, std::int32_t first, std::int32_t count,
                        unsigned quantities) {
  const std::size_t length = static_cast<std::size_t>(record_.recordLength());
  if (!series->info) {
    series->info.reset(new (std::nothrow) SeriesInfo);
    if (!series->info) {
      FreeSeries(series);
      return kMalloc;
    }
  }
  series->quotesInFile = quotesInFile();
  series->quotesPresent = quotesPresent();
  series->directory = dir_.substr(0, kSeriesDirectoryLimit);
  series->symbol = symbol_.substr(0, kSeriesSymbolLimit);
  series->info->record = record_;
  series->info->layout = layout_;
  if (count == 0) return kSuccess;

  const std::int32_t inFile = series->quotesInFile;
  const auto wanted = static_cast<std::int32_t>(
      std::min<std::int64_t>(std::max(count, 0), series->capacity));
  if (first < 0) first = std::max(0, inFile - wanted);
  if (first > inFile - 1) return kRecordNotFound;

  const std::int32_t toRead = std::min(wanted, inFile - first);
  std::size_t got = 0;
  const std::uint8_t* records = BytesAt(length * (static_cast<std::uint64_t>(first) + 1),
                                        length * static_cast<std::size_t>(toRead), &got);
  const auto read = static_cast<std::uint32_t>(got / length);
  // Where each quantity sits in a record, found once for the window; -1 where it is absent.
  std::array<int, kQuantityCount> at{};
  for (int q = 0; q < kQuantityCount; ++q) {
    const int p = layout_.position[static_cast<std::size_t>(q)];
    const bool asked = (quantities >> q & 1u) != 0;
    at[static_cast<std::size_t>(q)] = !asked || p == 0 || p > record_.fieldCount() ? -1 : 4 * (p - 1);
  }
  // Column by column, so that nothing is decided afresh for each quote.
  const auto fieldAt = [&](std::size_t q, std::uint32_t i) {
    return ReadMbf(records + length * i + static_cast<std::size_t>(at[q]));
  };
  for (std::size_t q = kOpen; q < kQuantityCount; ++q) {
    const SeriesColumn column = series->columns[q];
    if (at[q] < 0) {
      for (std::uint32_t i = 0; i < read; ++i) column.word(i) = std::bit_cast<std::uint32_t>(-1.0f);
    } else {
      for (std::uint32_t i = 0; i < read; ++i) column.word(i) = std::bit_cast<std::uint32_t>(fieldAt(q, i));
    }
  }
  for (std::uint32_t i = 0; i < read; ++i) {
    series->columns[kTime].word(i) = at[kTime] < 0 ? 0 : TimeFloatToSeconds(fieldAt(kTime, i));
  }
  if ((quantities >> kDate & 1u) == 0) {
    for (std::uint32_t i = 0; i < read; ++i) series->columns[kDate].word(i) = std::bit_cast<std::uint32_t>(kNoDate);
    return SetSeriesCount(series, read);
  }
  // Consecutive quotes mostly share a month, and within a month the day number grows with the
  // day of the month, so a whole date value of the month just converted costs one addition.
  // YYMM00 of the last whole date converted; NaN (none yet) matches no date, 0.0 included.
  float monthValue = std::numeric_limits<float>::quiet_NaN();
  DayNumber monthStart = 0;  // its day number minus its day of the month
  for (std::uint32_t i = 0; i < read; ++i) {
    const float date = at[kDate] < 0 ? -1.0f : fieldAt(kDate, i);
    const float dayOfMonth = date - monthValue;
    DayNumber day;
    if (dayOfMonth >= 1.0f && dayOfMonth <= 31.0f && dayOfMonth == static_cast<int>(dayOfMonth)) {
      day = monthStart + static_cast<int>(dayOfMonth);
    } else {
      day = DateFloatToDay(date);
      // Only a value that is a date converts to a whole number without overflow.
      const auto whole = day == kNoDate ? 0 : static_cast<std::int32_t>(date);
      if (day != kNoDate && whole == date && whole > 0 && whole < (1 << 24) && whole % 100 >= 1) {
        monthValue = static_cast<float>(whole - whole % 100);
        monthStart = day - whole % 100;
      }
    }
    series->columns[kDate].word(i) = std::bit_cast<std::uint32_t>(day);
  }
  return SetSeriesCount(series, read);
}

DateStyle SeriesDateStyle(SeriesFile& file) {
  constexpr std::int32_t kWindow = 400;
  DateStyle style;
  style.times = file.layout().holds(kTime);
  QuoteSeries series;
  if (AllocSeries(&series, kWindow) != kSuccess) return style;
  for (std::int32_t first = 0; file.Load(&series, first, kWindow, 1u << kDate) == kSuccess; first += kWindow) {
    for (std::uint32_t i = 0; i < series.count; ++i) {
      if (!ShowsTwoDigitYear(series.date(i))) {
        style.fourDigitYears = true;
        return style;
      }
    }
    if (series.count < static_cast<std::uint32_t>(kWindow)) break;
  }
  return style;
}

Status LoadSeries(FileSystem& fs, QuoteSeries* series, const std::string& dir,
                  const std::string& symbol, std::int32_t first, std::int32_t count) {
  SeriesFile file;
  if (Status s = file.Open(fs, dir, symbol); s != kSuccess) return s;
  return file.Load(series, first, count);
}

}  // namespace barvane
