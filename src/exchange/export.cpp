// Export of one series to a delimited text file.
#include "exchange/export.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>

#include "data/number_text.h"
#include "data/quote_series.h"

namespace barvane {
namespace {

constexpr std::array<const char*, kExportColumnCount> kOmitKeys = {
    "OmitOpen", "OmitHigh", "OmitLow", "OmitClose", "OmitVol", "OmitOI"};
constexpr std::array<const char*, kExportColumnCount> kColumnTitles = {"OPEN",  "HIGH", "LOW",
                                                                       "CLOSE", "VOL",  "OI"};
constexpr std::int32_t kWindow = 400;

char Delimiter(int choice) { return choice == 1 ? ',' : choice == 2 ? '\t' : ' '; }

// The room a line takes at most: a date, a time and six values with their delimiters.
constexpr std::size_t kLongestLine = 10 + 9 + kExportColumnCount * (1 + kLongestFloatText) + 2;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Every text below is written straight to its place in the export and never read back while
// its bytes may still be on their way to memory: a read of bytes just written in smaller pieces
// waits for them. The rounding and the count of digits take no branch: the processor would
// guess it wrong at every other value.

// The number of decimal digits of `n`.
int DigitCount(std::uint32_t n) {
  static constexpr std::array<std::uint32_t, 10> kPowers = {
      1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
  n |= 1;
  const int guess = (32 - std::countl_zero(n)) * 1233 >> 12;  // 1233 / 4096: log10(2)
  return guess + 1 - (n < kPowers[static_cast<std::size_t>(guess)] ? 1 : 0);
}

// Writes the digits of `n` ending just before `end`.
void DigitsBefore(char* end, std::uint32_t n) {
  while (n >= 100) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (n % 100), 2);
    n /= 100;
  }
  if (n >= 10) {
    std::memcpy(end - 2, kDigitPairs + 2 * n, 2);
  } else {
    end[-1] = static_cast<char>('0' + n);
  }
}

// Writes `units` hundredths or ten-thousandths (kPrecision 2 or 4) as "%.2f" or "%.4f" would.
// REQUIRES: units / 10^kPrecision < 2^32.
template <int kPrecision>
char* PutUnits(char* out, std::uint64_t units) {
  constexpr std::uint64_t kScale = kPrecision == 4 ? 10000 : 100;
  const auto whole = static_cast<std::uint32_t>(units / kScale);
  const auto part = static_cast<std::uint32_t>(units % kScale);
  char* const point = out + DigitCount(whole);
  DigitsBefore(point, whole);
  *point = '.';
  if constexpr (kPrecision == 4) {
    std::memcpy(point + 1, kDigitPairs + 2 * (part / 100), 2);
    std::memcpy(point + 3, kDigitPairs + 2 * (part % 100), 2);
  } else {
    std::memcpy(point + 1, kDigitPairs + 2 * part, 2);
  }
  return point + 1 + kPrecision;
}

// The value with at least kPrecision decimals (4 for prices, 2 for volume and open interest)
// and every further one its float needs, negative ones included: PutFloatText, most often
// through two short cuts taken inline. Below 1024 (prices) or 131072 (volumes) two floats lie
// closer than one step of kPrecision decimals, so the nearest such number, padded, is the
// shortest text of a float whose rounding interval holds it strictly. The distance to the float
// below, never more than the one above, bounds that interval on both sides. A whole float below
// 2^24 is its own shortest text.
template <int kPrecision>
char* PutValue(char* out, float value) {
  constexpr std::uint32_t kScale = kPrecision == 4 ? 10000 : 100;
  constexpr float kOneNumberAStep = kPrecision == 4 ? 1024.0f : 131072.0f;
  if (!std::signbit(value) && value < kOneNumberAStep) {
    // A float times 10^4 needs at most 24 + 14 bits, so the products and differences are exact
    // in double, and adding and taking away 2^52 leaves the nearest whole number.
    const double scaled = static_cast<double>(value) * kScale;
    const double rounded = (scaled + 0x1p52) - 0x1p52;
    const float gapBelow = value - std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) - 1);
    if (2 * std::fabs(scaled - rounded) < static_cast<double>(gapBelow) * kScale) {
      return PutUnits<kPrecision>(out, static_cast<std::uint64_t>(rounded));
    }
  }
  if (!std::signbit(value) && value < 0x1p24f) {
    const auto whole = static_cast<std::uint32_t>(value);
    if (static_cast<float>(whole) == value) return PutUnits<kPrecision>(out, std::uint64_t{whole} * kScale);
  }
  return PutFloatText(out, value, kPrecision);
}

// Copies `n` bytes that were written a line or more before, reading none beyond them.
void CopyEarlierText(char* to, const char* from, std::size_t n) {
  if (n >= 8 && n <= 16) {
    std::uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + n - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + n - 8, &tail, 8);
  } else if (n >= 4 && n < 8) {
    std::uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + n - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + n - 4, &tail, 4);
  } else {
    std::memmove(to, from, n);
  }
}

// DateText's MM/DD/YY or MM/DD/YYYY without a formatted print per quote, which would cost the
// export a third of its time. Days that follow the last one within its month take no calendar
// sums.
class DateWriter {
 public:
  explicit DateWriter(bool fourDigitYears) : fourDigitYears_(fourDigitYears) {}

  char* Put(char* out, DayNumber day) {
    Ymd ymd;
    int century = 0;  // of a four-digit year: 0 for kNoDate
    if (day != kNoDate && last_ != kNoDate && day > last_ && day - last_ + lastYmd_.day <= 28) {
      ymd = lastYmd_;
      ymd.day += day - last_;
      century = lastCentury_;
    } else if (day != kNoDate) {
      ymd = DayToYmd(day);
      century = (ymd.year + 1900) / 100;
      ymd.year = (ymd.year % 100 + 100) % 100;
      last_ = day;
      lastYmd_ = ymd;
      lastCentury_ = century;
    }
    std::memcpy(out, kDigitPairs + 2 * ymd.month, 2);
    out[2] = kScreenDateSeparator;
    std::memcpy(out + 3, kDigitPairs + 2 * ymd.day, 2);
    out[5] = kScreenDateSeparator;
    if (fourDigitYears_) {
      std::memcpy(out + 6, kDigitPairs + 2 * century, 2);
      out += 2;
    }
    std::memcpy(out + 6, kDigitPairs + 2 * ymd.year, 2);
    return out + 8;
  }

 private:
  const bool fourDigitYears_;
  DayNumber last_ = kNoDate;
  Ymd lastYmd_;
  int lastCentury_ = 0;
};

// HH:MM:SS of a bar's time.
char* PutTime(char* out, DaySeconds seconds) {
  const Hms hms = SecondsToHms(seconds);
  std::memcpy(out, kDigitPairs + 2 * (hms.hours % 100), 2);
  out[2] = ':';
  std::memcpy(out + 3, kDigitPairs + 2 * hms.minutes, 2);
  out[5] = ':';
  std::memcpy(out + 6, kDigitPairs + 2 * hms.seconds, 2);
  return out + 8;
}

// The whole text of an export, built in place in one buffer and handed to the file in one
// write.
class ExportText {
 public:
  ExportText(const ExportChoices& choices, DateStyle style)
      : choices_(choices),
        delimiter_(Delimiter(choices.delimiter)),
        times_(style.times && !choices.omitTime),
        dates_(style.fourDigitYears) {
    if (choices.titleRow) {
      text_ = ExportTitleLine(choices, style);
      text_.append("\r\n");
    }
    size_ = text_.size();
  }
  void AddQuote(const QuoteSeries& series, std::uint32_t i) {
    if (text_.size() - size_ < kLongestLine) text_.resize(std::max(2 * text_.size(), size_ + kLongestLine));
    // Read before anything is written: every byte written might, for all the compiler knows,
    // change the series.
    std::array<float, kExportColumnCount> values;
    for (std::size_t c = 0; c < kExportColumnCount; ++c) {
      values[c] = series.value(kOpen + static_cast<int>(c), i);
    }
    char* const text = text_.data();
    char* out = dates_.Put(text + size_, series.date(i));
    if (times_) {
      *out++ = delimiter_;
      out = PutTime(out, series.time(i));
    }
    // Column by column with each one's precision fixed in its code.
    [&]<std::size_t... c>(std::index_sequence<c...>) {
      ((out = choices_.omit[c]  ? out
              : !held_[c]       ? PutNotHeld(out)
                                : PutColumn<c < kExportVolume ? 4 : 2>(text, out, c, values[c])),
       ...);
    }(std::make_index_sequence<kExportColumnCount>());
    *out++ = '\r';
    *out++ = '\n';
    size_ = static_cast<std::size_t>(out - text);
  }
  // Which quantities the series holds: a negative value of one it holds is a number like any.
  void SetHeld(const SeriesInfo& info) {
    for (std::size_t c = 0; c < kExportColumnCount; ++c) held_[c] = info.holds(kOpen + static_cast<int>(c));
  }
  void Reserve(std::size_t lines) { text_.resize(size_ + lines * 64 + kLongestLine); }
  std::string Take() {
    text_.resize(size_);
    return std::move(text_);
  }

 private:
  // Where the text of a column's last value lies.
  struct Remembered {
    std::uint64_t key = 0;  // 1 << 32 | the value's bits; 0: nothing remembered yet
    std::size_t at = 0;
    std::size_t length = 0;
  };

  // "N/A" stands only for a quantity the series does not hold.
  char* PutNotHeld(char* out) {
    *out++ = delimiter_;
    std::memcpy(out, "N/A", 3);
    return out + 3;
  }

  // Writes the delimiter and the text of `value` for column `c`. Values repeat from line to
  // line (prices that did not move, a zero open interest): a column's last text serves again
  // for the same value.
  template <int kPrecision>
  char* PutColumn(char* text, char* out, std::size_t c, float value) {
    *out++ = delimiter_;
    Remembered& last = remembered_[c];
    const std::uint64_t key = std::uint64_t{1} << 32 | std::bit_cast<std::uint32_t>(value);
    if (key == last.key) {
      CopyEarlierText(out, text + last.at, last.length);
      return out + last.length;
    }
    char* const end = PutValue<kPrecision>(out, value);
    last = {key, static_cast<std::size_t>(out - text), static_cast<std::size_t>(end - out)};
    return end;
  }

  const ExportChoices& choices_;
  const char delimiter_;
  const bool times_;
  std::string text_;  // its first size_ characters are the text so far
  std::size_t size_ = 0;
  DateWriter dates_;
  std::array<Remembered, kExportColumnCount> remembered_{};
  std::array<bool, kExportColumnCount> held_{};
};

// Adds the quotes window by window through one series; stops at the first quote that cannot
// be read, as reading them one at a time would.
void AddQuotes(SeriesFile& file, std::int32_t quoteCount, bool newestFirst, QuoteSeries& series,
               ExportText& out) {
  if (file.Load(&series, 0, 0) != kSuccess) return;
  out.SetHeld(*series.info);
  out.Reserve(static_cast<std::size_t>(std::max(file.quotesInFile(), 0)));
  if (!newestFirst) {
    for (std::int32_t first = 0;; first += kWindow) {
      if (file.Load(&series, first, kWindow) != kSuccess) return;
      for (std::uint32_t i = 0; i < series.count; ++i) out.AddQuote(series, i);
      if (series.count < static_cast<std::uint32_t>(kWindow)) return;
    }
  }
  for (std::int32_t end = quoteCount; end > 0;) {
    const std::int32_t first = std::max(0, end - kWindow);
    const std::int32_t wanted = end - first;
    if (file.Load(&series, first, wanted) != kSuccess) return;
    // The newest quote of the window comes first, so a short read fails before any line.
    if (series.count != static_cast<std::uint32_t>(wanted)) return;
    for (std::uint32_t i = series.count; i-- > 0;) out.AddQuote(series, i);
    end = first;
  }
}

}  // namespace

ExportChoices ReadExportChoices(const SettingsStore& settings) {
  ExportChoices choices;
  choices.path = settings.ReadString(kExportSection, "Starter", "output.txt");
  for (std::size_t c = 0; c < kOmitKeys.size(); ++c) {
    choices.omit[c] = settings.ReadInt(kExportSection, kOmitKeys[c], 0) != 0;
  }
  choices.newestFirst = settings.ReadInt(kExportSection, "Newest", 0) == 1;
  choices.delimiter = settings.ReadInt(kExportSection, "Delim", 0);
  choices.titleRow = settings.ReadInt(kExportSection, "Title", 0) != 0;
  choices.omitTime = settings.ReadInt(kExportSection, "OmitTime", 0) != 0;
  return choices;
}

void StoreExportChoices(SettingsStore& settings, const ExportChoices& choices) {
  settings.WriteString(kExportSection, "Starter", choices.path);
  for (std::size_t c = 0; c < kOmitKeys.size(); ++c) {
    settings.WriteInt(kExportSection, kOmitKeys[c], choices.omit[c] ? 1 : 0);
  }
  settings.WriteInt(kExportSection, "Newest", choices.newestFirst ? 1 : 0);
  settings.WriteInt(kExportSection, "Delim", choices.delimiter);
  settings.WriteInt(kExportSection, "Title", choices.titleRow ? 1 : 0);
  settings.WriteInt(kExportSection, "OmitTime", choices.omitTime ? 1 : 0);
}

std::string ExportTitleLine(const ExportChoices& choices, DateStyle style) {
  std::string line = "DATE";
  if (style.times && !choices.omitTime) {
    line += Delimiter(choices.delimiter);
    line += "TIME";
  }
  for (std::size_t c = 0; c < kColumnTitles.size(); ++c) {
    if (choices.omit[c]) continue;
    line += Delimiter(choices.delimiter);
    line += kColumnTitles[c];
  }
  return line;
}

std::string ExportFileText(SeriesFile* file, std::int32_t quoteCount,
                           const ExportChoices& choices) {
  if (file) file->HoldWholeFile();
  ExportText out(choices, file ? SeriesDateStyle(*file) : DateStyle{});
  QuoteSeries series;
  if (file && AllocSeries(&series, kWindow) == kSuccess) {
    AddQuotes(*file, quoteCount, choices.newestFirst, series, out);
  }
  return out.Take();
}

bool WriteExportFile(std::unique_ptr<WritableFile> file, const std::string& text) {
  const bool ok = file->Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return file->Close() && ok;
}

ExportResult ExportQuotes(ViewState& view, const ExportChoices& choices) {
  FileSystem& fs = view.fs();
  Ui& ui = view.ui();
  if (!choices.path.empty() && fs.OpenForRead(choices.path) &&
      !ui.AskYesNo(choices.path + "\nThis file already exists\n\nReplace existing file?")) {
    return ExportResult::kDeclined;
  }
  auto file = choices.path.empty() ? nullptr : fs.CreateForWrite(choices.path);
  if (!file) {
    ui.ShowMessage(kExportErrorText);
    return ExportResult::kFailed;
  }
  StoreExportChoices(view.settings(), choices);
  ui.SetWaitCursor(true);
  SeriesFile series;
  const bool opened = series.Open(fs, view.m_portfolioDir, view.m_seriesSymbol) == kSuccess;
  const std::string text = ExportFileText(opened ? &series : nullptr, view.m_quoteCount, choices);
  ui.Beep();
  const bool written = WriteExportFile(std::move(file), text);
  ui.SetWaitCursor(false);
  if (!written) {
    ui.ShowMessage(kExportErrorText);
    return ExportResult::kFailed;
  }
  ui.ShowDone(view.m_seriesSymbol + " exported to " + choices.path);
  return ExportResult::kDone;
}

}  // namespace barvane
