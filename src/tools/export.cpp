// Export of one series to a delimited text file.
#include "tools/export.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "data/quote_series.h"

namespace barvane {
namespace {

constexpr std::array<const char*, kExportColumnCount> kOmitKeys = {
    "OmitOpen", "OmitHigh", "OmitLow", "OmitClose", "OmitVol", "OmitOI"};
constexpr std::array<const char*, kExportColumnCount> kColumnTitles = {"OPEN",  "HIGH", "LOW",
                                                                       "CLOSE", "VOL",  "OI"};
constexpr std::int32_t kWindow = 400;

char Delimiter(int choice) { return choice == 1 ? ',' : choice == 2 ? '\t' : ' '; }

// The longest line: a date and six values of at most 48 characters with their delimiters, and
// room for the last value's fixed-size copy.
constexpr std::size_t kLongestLine = 8 + kExportColumnCount * 50 + 2 + 24;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the digits of `n` ending just before `end`; returns where they start.
template <typename Unsigned>
char* DigitsBefore(char* end, Unsigned n) {
  while (n >= 100) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (n % 100), 2);
    n /= 100;
  }
  if (n >= 10) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * n, 2);
  } else {
    *--end = static_cast<char>('0' + n);
  }
  return end;
}

// Writes `units` hundredths or ten-thousandths (`precision` 2 or 4) as "%.2f" or "%.4f" would.
// The text is built backwards in a scratch buffer and moved in one fixed-size copy.
char* PutUnits(char* out, std::uint64_t units, int precision) {
  constexpr std::size_t kMove = 24;  // longer than any text of fewer than 9e15 units
  char scratch[2 * kMove];
  char* const end = scratch + kMove;
  char* start = end;
  std::uint64_t whole;
  if (precision == 4) {
    const auto part = static_cast<std::uint32_t>(units % 10000);
    whole = units / 10000;
    start -= 4;
    std::memcpy(start, kDigitPairs + 2 * (part / 100), 2);
    std::memcpy(start + 2, kDigitPairs + 2 * (part % 100), 2);
  } else {
    const auto part = static_cast<std::uint32_t>(units % 100);
    whole = units / 100;
    start -= 2;
    std::memcpy(start, kDigitPairs + 2 * part, 2);
  }
  *--start = '.';
  start = whole <= 0xFFFFFFFFu ? DigitsBefore(start, static_cast<std::uint32_t>(whole))
                               : DigitsBefore(start, whole);
  std::memcpy(out, start, kMove);
  return out + (end - start);
}

// "%.4f" (prices) or "%.2f" (volume, open interest) of the value; "N/A" below zero.
char* PutValue(char* out, float value, int precision) {
  if (value < 0) {
    std::memcpy(out, "N/A", 3);
    return out + 3;
  }
  // A float times 10^4 needs at most 24 + 14 bits, so the product is exact in double and
  // rounding it half to even, as printf does, gives printf's digits. Signed zeros, huge
  // values, infinities and NaN take the general path.
  const double scaled = static_cast<double>(value) * (precision == 4 ? 10000.0 : 100.0);
  if (!std::signbit(value) && scaled < 9.0e15) {
    auto units = static_cast<std::int64_t>(scaled);
    const double fraction = scaled - static_cast<double>(units);
    if (fraction > 0.5 || (fraction == 0.5 && (units & 1) != 0)) ++units;
    return PutUnits(out, static_cast<std::uint64_t>(units), precision);
  }
  return std::to_chars(out, out + 64, static_cast<double>(value), std::chars_format::fixed,
                       precision)
      .ptr;
}

// ScreenDate's MM/DD/YY without a formatted print per quote, which would cost the export a
// third of its time. Days that follow the last one within its month take no calendar sums.
class DateWriter {
 public:
  char* Put(char* out, DayNumber day) {
    Ymd ymd;
    if (day != kNoDate && last_ != kNoDate && day > last_ && day - last_ + lastYmd_.day <= 28) {
      ymd = lastYmd_;
      ymd.day += day - last_;
    } else if (day != kNoDate) {
      ymd = DayToYmd(day);
      ymd.year = (ymd.year % 100 + 100) % 100;
      last_ = day;
      lastYmd_ = ymd;
    }
    std::memcpy(out, kDigitPairs + 2 * ymd.month, 2);
    out[2] = kScreenDateSeparator;
    std::memcpy(out + 3, kDigitPairs + 2 * ymd.day, 2);
    out[5] = kScreenDateSeparator;
    std::memcpy(out + 6, kDigitPairs + 2 * ymd.year, 2);
    return out + 8;
  }

 private:
  DayNumber last_ = kNoDate;
  Ymd lastYmd_;
};

// The whole text of an export, built in memory and handed to the file in one write.
class ExportText {
 public:
  explicit ExportText(const ExportChoices& choices) : choices_(choices) {
    if (choices.titleRow) {
      text_ = ExportTitleLine(choices);
      text_.append("\r\n");
    }
  }
  void AddQuote(const QuoteSeries& series, std::uint32_t i) {
    char line[kLongestLine];
    char* out = dates_.Put(line, series.date(i));
    const char delimiter = Delimiter(choices_.delimiter);
    for (std::size_t c = 0; c < kExportColumnCount; ++c) {
      if (choices_.omit[c]) continue;
      *out++ = delimiter;
      // Values repeat from line to line (prices that did not move, a zero open interest):
      // a column's last text serves again for the same value.
      const float value = series.value(kOpen + static_cast<int>(c), i);
      Remembered& last = remembered_[c];
      if (std::bit_cast<std::uint32_t>(value) != last.bits || last.length == 0) {
        char* const end = PutValue(last.text, value, c < kExportVolume ? 4 : 2);
        last.bits = std::bit_cast<std::uint32_t>(value);
        last.length = static_cast<std::uint8_t>(end - last.text);
      }
      std::memcpy(out, last.text, kRememberedCopy);
      if (last.length > kRememberedCopy) {
        std::memcpy(out + kRememberedCopy, last.text + kRememberedCopy,
                    last.length - kRememberedCopy);
      }
      out += last.length;
    }
    *out++ = '\r';
    *out++ = '\n';
    text_.append(line, static_cast<std::size_t>(out - line));
  }
  void Reserve(std::size_t lines) { text_.reserve(text_.size() + lines * 64); }
  std::string Take() { return std::move(text_); }

 private:
  // The text of a column's last value: most are copied in one fixed-size move.
  static constexpr std::size_t kRememberedCopy = 16;
  struct Remembered {
    std::uint32_t bits = 0;
    std::uint8_t length = 0;  // 0: nothing remembered yet
    char text[72];
  };

  const ExportChoices& choices_;
  std::string text_;
  DateWriter dates_;
  std::array<Remembered, kExportColumnCount> remembered_{};
};

// Adds the quotes window by window through one series; stops at the first quote that cannot
// be read, as reading them one at a time would.
void AddQuotes(SeriesFile& file, std::int32_t quoteCount, bool newestFirst, QuoteSeries& series,
               ExportText& out) {
  file.HoldWholeFile();
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
}

std::string ExportTitleLine(const ExportChoices& choices) {
  std::string line = "DATE";
  for (std::size_t c = 0; c < kColumnTitles.size(); ++c) {
    if (choices.omit[c]) continue;
    line += Delimiter(choices.delimiter);
    line += kColumnTitles[c];
  }
  return line;
}

std::string ExportFileText(SeriesFile* file, std::int32_t quoteCount,
                           const ExportChoices& choices) {
  ExportText out(choices);
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
