// Export of one series to a delimited text file.
#include "tools/export.h"

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

// The longest line: a date and six values of at most 48 characters with their delimiters.
constexpr std::size_t kLongestLine = 8 + kExportColumnCount * 50 + 2;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the decimal digits of `n` ending just before `end`; returns where they start.
char* DigitsBefore(char* end, std::uint64_t n) {
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

// "%.4f" (prices) or "%.2f" (volume, open interest) of the value; "N/A" below zero.
char* PutValue(char* out, float value, int precision) {
  if (value < 0) {
    std::memcpy(out, "N/A", 3);
    return out + 3;
  }
  // A float times 10^4 needs at most 24 + 14 bits, so the product is exact in double and
  // rounding it half to even, as printf does, gives printf's digits. Signed zeros, huge
  // values, infinities and NaN take the general path.
  const std::uint64_t unit = precision == 4 ? 10000 : 100;
  const double scaled = static_cast<double>(value) * static_cast<double>(unit);
  if (!std::signbit(value) && scaled < 9.0e15) {
    auto units = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(units);
    if (fraction > 0.5 || (fraction == 0.5 && (units & 1) != 0)) ++units;
    char text[32];
    char* const end = text + sizeof text;
    char* start = end - precision;
    std::uint64_t part = units % unit;
    for (char* at = end; at != start; part /= 10) *--at = static_cast<char>('0' + part % 10);
    *--start = '.';
    start = DigitsBefore(start, units / unit);
    const auto length = static_cast<std::size_t>(end - start);
    std::memcpy(out, start, length);
    return out + length;
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
    if (day != 0 && last_ != 0 && day > last_ && day - last_ + lastYmd_.day <= 28) {
      ymd = lastYmd_;
      ymd.day += day - last_;
    } else if (day != 0) {
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
  DayNumber last_ = 0;
  Ymd lastYmd_;
};

// The whole text of the export, handed to the file in one write.
class LineWriter {
 public:
  explicit LineWriter(std::unique_ptr<WritableFile> file) : file_(std::move(file)) {}
  void AddLine(std::string_view line) {
    text_.append(line);
    text_.append("\r\n");
  }
  void AddQuote(const QuoteSeries& series, std::uint32_t i, const ExportChoices& choices) {
    const std::size_t used = text_.size();
    text_.resize(used + kLongestLine);
    char* const start = text_.data() + used;
    char* out = dates_.Put(start, series.date(i));
    const char delimiter = Delimiter(choices.delimiter);
    for (int c = 0; c < kExportColumnCount; ++c) {
      if (choices.omit[static_cast<std::size_t>(c)]) continue;
      *out++ = delimiter;
      out = PutValue(out, series.value(kOpen + c, i), c < kExportVolume ? 4 : 2);
    }
    *out++ = '\r';
    *out++ = '\n';
    text_.resize(used + static_cast<std::size_t>(out - start));
  }
  void Reserve(std::size_t lines) { text_.reserve(text_.size() + lines * 64); }
  // Writes the text and closes; false when the write or the close failed.
  bool Finish() {
    bool ok = file_->Append(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size());
    return file_->Close() && ok;
  }

 private:
  std::unique_ptr<WritableFile> file_;
  std::string text_;
  DateWriter dates_;
};

// Writes the quotes window by window through one series, the quote file found and read once;
// stops at the first quote that cannot be read, as reading them one at a time would.
void WriteQuotes(FileSystem& fs, const ViewState& view, const ExportChoices& choices,
                 QuoteSeries& series, LineWriter& out) {
  SeriesFile file;
  if (file.Open(fs, view.m_portfolioDir, view.m_seriesSymbol) != kSuccess) return;
  file.HoldWholeFile();
  out.Reserve(static_cast<std::size_t>(std::max(file.quotesInFile(), 0)));
  if (!choices.newestFirst) {
    for (std::int32_t first = 0;; first += kWindow) {
      if (file.Load(&series, first, kWindow) != kSuccess) return;
      for (std::uint32_t i = 0; i < series.count; ++i) out.AddQuote(series, i, choices);
      if (series.count < static_cast<std::uint32_t>(kWindow)) return;
    }
  }
  for (std::int32_t end = view.m_quoteCount; end > 0;) {
    const std::int32_t first = std::max(0, end - kWindow);
    const std::int32_t wanted = end - first;
    if (file.Load(&series, first, wanted) != kSuccess) return;
    // The newest quote of the window comes first, so a short read fails before any line.
    if (series.count != static_cast<std::uint32_t>(wanted)) return;
    for (std::uint32_t i = series.count; i-- > 0;) out.AddQuote(series, i, choices);
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
  LineWriter out(std::move(file));
  if (choices.titleRow) {
    out.AddLine(ExportTitleLine(choices));
  }
  QuoteSeries series;
  if (AllocSeries(&series, kWindow) == kSuccess) WriteQuotes(fs, view, choices, series, out);
  FreeSeries(&series);
  ui.Beep();
  const bool written = out.Finish();
  ui.SetWaitCursor(false);
  if (!written) {
    ui.ShowMessage(kExportErrorText);
    return ExportResult::kFailed;
  }
  ui.ShowDone(view.m_seriesSymbol + " exported to " + choices.path);
  return ExportResult::kDone;
}

}  // namespace barvane
