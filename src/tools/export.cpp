// Export of one series to a delimited text file.
#include "tools/export.h"

#include <charconv>
#include <cmath>

#include "data/quote_series.h"

namespace barvane {
namespace {

constexpr std::array<const char*, kExportColumnCount> kOmitKeys = {
    "OmitOpen", "OmitHigh", "OmitLow", "OmitClose", "OmitVol", "OmitOI"};
constexpr std::array<const char*, kExportColumnCount> kColumnTitles = {"OPEN",  "HIGH", "LOW",
                                                                       "CLOSE", "VOL",  "OI"};
constexpr std::int32_t kWindow = 400;
constexpr std::size_t kFlushAt = 1 << 16;

char Delimiter(int choice) { return choice == 1 ? ',' : choice == 2 ? '\t' : ' '; }

// "%.4f" (prices) or "%.2f" (volume, open interest) of the value; "N/A" below zero.
void AppendValue(std::string& line, float value, int precision) {
  if (value < 0) {
    line += "N/A";
    return;
  }
  char text[64];
  // A float times 10^4 needs at most 24 + 14 bits, so the product is exact in double and
  // rounding it half to even, as printf does, gives printf's digits. Signed zeros, huge
  // values, infinities and NaN take the general path.
  const std::uint64_t unit = precision == 4 ? 10000 : 100;
  const double scaled = static_cast<double>(value) * static_cast<double>(unit);
  if (!std::signbit(value) && scaled < 9.0e15) {
    const auto units = static_cast<std::uint64_t>(std::nearbyint(scaled));
    char* end = std::to_chars(text, text + sizeof text, units / unit).ptr;
    *end++ = '.';
    for (std::uint64_t fraction = units % unit, place = unit / 10; place != 0; place /= 10) {
      *end++ = static_cast<char>('0' + fraction / place % 10);
    }
    line.append(text, end);
    return;
  }
  const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                    std::chars_format::fixed, precision);
  line.append(text, result.ptr);
}

// Buffers the lines and hands them to the file in large pieces.
class LineWriter {
 public:
  explicit LineWriter(std::unique_ptr<WritableFile> file) : file_(std::move(file)) {}
  std::string& text() { return text_; }
  void EndLine() {
    text_ += "\r\n";
    if (text_.size() >= kFlushAt) Flush();
  }
  // Writes what is left and closes; false when any write failed.
  bool Finish() {
    Flush();
    ok_ = file_->Close() && ok_;
    return ok_;
  }

 private:
  void Flush() {
    ok_ = ok_ && file_->Append(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size());
    text_.clear();
  }
  std::unique_ptr<WritableFile> file_;
  std::string text_;
  bool ok_ = true;
};

// ScreenDate's MM/DD/YY without a formatted print per quote, which would cost the export a
// third of its time.
void AppendDate(std::string& line, DayNumber day) {
  int mm = 0, dd = 0, yy = 0;
  if (day != 0) {
    const Ymd ymd = DayToYmd(day);
    mm = ymd.month;
    dd = ymd.day;
    yy = (ymd.year % 100 + 100) % 100;
  }
  const char text[8] = {static_cast<char>('0' + mm / 10), static_cast<char>('0' + mm % 10),
                        kScreenDateSeparator,
                        static_cast<char>('0' + dd / 10), static_cast<char>('0' + dd % 10),
                        kScreenDateSeparator,
                        static_cast<char>('0' + yy / 10), static_cast<char>('0' + yy % 10)};
  line.append(text, sizeof text);
}

void AppendQuote(std::string& line, const QuoteSeries& series, std::uint32_t i,
                 const ExportChoices& choices) {
  AppendDate(line, series.date(i));
  const char delimiter = Delimiter(choices.delimiter);
  for (int c = 0; c < kExportColumnCount; ++c) {
    if (choices.omit[static_cast<std::size_t>(c)]) continue;
    line += delimiter;
    AppendValue(line, series.value(kOpen + c, i), c < kExportVolume ? 4 : 2);
  }
}

// Writes the quotes window by window through one series; stops at the first quote that
// cannot be read, as reading them one at a time would.
void WriteQuotes(FileSystem& fs, const ViewState& view, const ExportChoices& choices,
                 QuoteSeries& series, LineWriter& out) {
  if (!choices.newestFirst) {
    for (std::int32_t first = 0;; first += kWindow) {
      if (LoadSeries(fs, &series, view.m_portfolioDir, view.m_seriesSymbol, first, kWindow) !=
          kSuccess) {
        return;
      }
      for (std::uint32_t i = 0; i < series.count; ++i) {
        AppendQuote(out.text(), series, i, choices);
        out.EndLine();
      }
      if (series.count < static_cast<std::uint32_t>(kWindow)) return;
    }
  }
  for (std::int32_t end = view.m_quoteCount; end > 0;) {
    const std::int32_t first = std::max(0, end - kWindow);
    const std::int32_t wanted = end - first;
    if (LoadSeries(fs, &series, view.m_portfolioDir, view.m_seriesSymbol, first, wanted) !=
        kSuccess) {
      return;
    }
    // The newest quote of the window comes first, so a short read fails before any line.
    if (series.count != static_cast<std::uint32_t>(wanted)) return;
    for (std::uint32_t i = series.count; i-- > 0;) {
      AppendQuote(out.text(), series, i, choices);
      out.EndLine();
    }
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
    out.text() += ExportTitleLine(choices);
    out.EndLine();
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
