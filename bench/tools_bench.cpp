// Speed of the portfolio tools: an export of a 65,000-quote series, a split search over 255
// symbols of 8,000 quotes (target: 1.5 times its raw baseline), and on the real ASX portfolio
// (215 symbols, 359,631 quotes) export-all (target 40 ms) and split search (target 20 ms), and
// an import of 65,000 lines of each of three downloaded shapes into a new portfolio (target
// 50 ms each).
// Each runs beside a raw baseline that reads the same files in one read apiece and converts
// every MBF value; export-all also beside a plain dump that prints every line with snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/quote_grid.h"
#include "app/settings_store.h"
#include "app/view_state.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/mbf.h"
#include "exchange/export.h"
#include "exchange/export_all.h"
#include "exchange/import.h"
#include "large_portfolio.h"
#include "support/no_sync_fs.h"
#include "tools/split_search.h"

namespace barvane::bench {
namespace {

constexpr int kExportQuotes = 65000;
constexpr int kSearchSymbols = 255;
constexpr int kSearchQuotes = 8000;
constexpr std::size_t kRecordLength = 28;

using test::NoSyncFs;

class QuietUi final : public Ui {
 public:
  void ShowMessage(const std::string&, MessageIcon) override { ++messages; }
  bool AskYesNo(const std::string&) override { return true; }
  int messages = 0;
};

SymbolDescription Series(int fileNumber, const std::string& text, int quotes) {
  SymbolDescription s;
  s.fileNumber = fileNumber;
  s.symbol = text;
  s.name = text;
  s.fields = FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
  s.quotes = RandomWalkQuotes(quotes, 1000u + static_cast<std::uint32_t>(fileNumber));
  return s;
}

// The two portfolios, written once under the temporary directory and removed at exit.
struct Portfolios {
  std::filesystem::path root;
  std::string exportDir, searchDir;
  bool ok = false;

  Portfolios() {
    std::error_code error;
    root = std::filesystem::temp_directory_path(error) /
           ("barvane-tools-bench-" + std::to_string(::getpid()));
    exportDir = (root / "EXPORT").string() + "/";
    searchDir = (root / "SEARCH").string() + "/";
    NoSyncFs fs;
    PortfolioDescription one;
    one.symbols.push_back(Series(1, "LONG", kExportQuotes));
    PortfolioDescription many;
    for (int n = 1; n <= kSearchSymbols; ++n) many.symbols.push_back(Series(n, "S" + std::to_string(n), kSearchQuotes));
    ok = fs.CreateDirectory(root.string()) && WritePortfolio(fs, exportDir, one) &&
         WritePortfolio(fs, searchDir, many);
  }
  ~Portfolios() {
    std::error_code error;
    std::filesystem::remove_all(root, error);
  }
};

const Portfolios& ThePortfolios() {
  static const Portfolios portfolios;
  return portfolios;
}

// One read per file and a loop converting every MBF value: the floor for both tools.
bool RawReadAndConvert(FileSystem& fs, const std::string& path, double* sink) {
  Bytes bytes;
  if (!ReadWholeFile(fs, path, &bytes) || bytes.size() < kRecordLength) return false;
  for (std::size_t at = kRecordLength; at + kRecordLength <= bytes.size(); at += kRecordLength) {
    for (std::size_t f = 0; f < kRecordLength; f += 4) *sink += ReadMbf(bytes.data() + at + f);
  }
  return true;
}

void Repeated(benchmark::internal::Benchmark* registered) {
  registered->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

void BM_Export65000Quotes(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  if (!p.ok) return state.SkipWithError("portfolio not written");
  NoSyncFs fs;
  SettingsStore settings(fs);  // never opened: writes go nowhere
  QuietUi ui;
  ViewState view(fs, settings, ui);
  view.m_portfolioDir = p.exportDir;
  view.m_seriesSymbol = "LONG";
  view.m_quoteCount = kExportQuotes;
  ExportChoices choices;
  choices.path = (p.root / "export.txt").string();
  choices.titleRow = true;
  choices.newestFirst = state.range(0) != 0;
  for (auto _ : state) {
    if (ExportQuotes(view, choices) != ExportResult::kDone) return state.SkipWithError("export failed");
  }
  std::error_code error;
  const auto size = std::filesystem::file_size(choices.path, error);
  if (size < static_cast<std::uintmax_t>(kExportQuotes) * 40) state.SkipWithError("export too short");
  state.SetItemsProcessed(state.iterations() * kExportQuotes);
}
BENCHMARK(BM_Export65000Quotes)->Arg(0)->Arg(1)->Apply(Repeated);

void BM_Export65000QuotesRawBaseline(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  if (!p.ok) return state.SkipWithError("portfolio not written");
  double sink = 0;
  for (auto _ : state) {
    if (!RawReadAndConvert(FileSystem::Default(), p.exportDir + QuoteFileName(1), &sink)) {
      return state.SkipWithError("raw read failed");
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * kExportQuotes);
}
BENCHMARK(BM_Export65000QuotesRawBaseline)->Apply(Repeated);

// Series of every century and of bars: 24,000 daily quotes from 1961 and from 1928 (whose
// export writes four-digit years), 65,000 daily quotes and 65,000 five-minute bars (78 a day).
constexpr int kHistoryQuotes = 24000;
constexpr int kGridQuotes = 65000;

struct DateSeries {
  std::filesystem::path root;
  std::string dir;
  bool ok = false;

  DateSeries() {
    std::error_code error;
    root = std::filesystem::temp_directory_path(error) / ("barvane-dates-bench-" + std::to_string(::getpid()));
    dir = (root / "DATES").string() + "/";
    PortfolioDescription p;
    p.symbols.push_back(Series(1, "D1961", kHistoryQuotes));
    SymbolDescription old = Series(2, "D1928", kHistoryQuotes);
    // Both start on a Monday, so the weekdays stay weekdays.
    const DayNumber shift = YmdToDay(1928, 1, 2) - YmdToDay(1961, 1, 2);
    for (QuoteValues& q : old.quotes) q.day += shift;
    p.symbols.push_back(old);
    p.symbols.push_back(Series(3, "DAY65", kGridQuotes));
    SymbolDescription bars = Series(4, "BAR65", kGridQuotes);
    bars.periodicity = 'I';
    bars.fields = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume});
    for (std::size_t i = 0; i < bars.quotes.size(); ++i) {
      const int minute = 9 * 60 + 30 + 5 * static_cast<int>(i % 78);
      bars.quotes[i].day = YmdToDay(1990, 1, 1) + static_cast<DayNumber>(i / 78);
      bars.quotes[i].time = HmsToSeconds(minute / 60, minute % 60, 0);
    }
    p.symbols.push_back(bars);
    NoSyncFs fs;
    ok = fs.CreateDirectory(root.string()) && WritePortfolio(fs, dir, p);
  }
  ~DateSeries() {
    std::error_code error;
    std::filesystem::remove_all(root, error);
  }
};

const DateSeries& TheDateSeries() {
  static const DateSeries series;
  return series;
}

// An export of 24,000 quotes from 1961 (Arg 0) and from 1928 (Arg 1), oldest first.
void BM_Export24000QuotesBy1961Or1928(benchmark::State& state) {
  const DateSeries& d = TheDateSeries();
  if (!d.ok) return state.SkipWithError("portfolio not written");
  NoSyncFs fs;
  SettingsStore settings(fs);
  QuietUi ui;
  ViewState view(fs, settings, ui);
  view.m_portfolioDir = d.dir;
  view.m_seriesSymbol = state.range(0) == 0 ? "D1961" : "D1928";
  view.m_quoteCount = kHistoryQuotes;
  ExportChoices choices;
  choices.path = (d.root / "export.txt").string();
  for (auto _ : state) {
    if (ExportQuotes(view, choices) != ExportResult::kDone) return state.SkipWithError("export failed");
  }
  state.SetItemsProcessed(state.iterations() * kHistoryQuotes);
}
BENCHMARK(BM_Export24000QuotesBy1961Or1928)->Arg(0)->Arg(1)->Apply(Repeated);

void BM_Export24000QuotesRawBaseline(benchmark::State& state) {
  const DateSeries& d = TheDateSeries();
  if (!d.ok) return state.SkipWithError("portfolio not written");
  double sink = 0;
  for (auto _ : state) {
    if (!RawReadAndConvert(FileSystem::Default(), d.dir + QuoteFileName(2), &sink)) {
      return state.SkipWithError("raw read failed");
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * kHistoryQuotes);
}
BENCHMARK(BM_Export24000QuotesRawBaseline)->Apply(Repeated);

// The quote grid's fill of 65,000 daily quotes (Arg 0) and of 65,000 bars with their times
// (Arg 1), beside the raw read of the daily file.
void BM_FillQuoteGrid65000DailyOrBars(benchmark::State& state) {
  const DateSeries& d = TheDateSeries();
  if (!d.ok) return state.SkipWithError("portfolio not written");
  NoSyncFs fs;
  QuietUi ui;
  const char* symbol = state.range(0) == 0 ? "DAY65" : "BAR65";
  for (auto _ : state) {
    QuoteGrid grid;
    if (!FillQuoteGrid(fs, d.dir, symbol, ui, &grid) || grid.rows.size() != static_cast<std::size_t>(kGridQuotes)) {
      return state.SkipWithError("grid fill failed");
    }
    benchmark::DoNotOptimize(grid.rows.data());
  }
  state.SetItemsProcessed(state.iterations() * kGridQuotes);
}
BENCHMARK(BM_FillQuoteGrid65000DailyOrBars)->Arg(0)->Arg(1)->Apply(Repeated);

void BM_FillQuoteGrid65000RawBaseline(benchmark::State& state) {
  const DateSeries& d = TheDateSeries();
  if (!d.ok) return state.SkipWithError("portfolio not written");
  double sink = 0;
  for (auto _ : state) {
    if (!RawReadAndConvert(FileSystem::Default(), d.dir + QuoteFileName(3), &sink)) {
      return state.SkipWithError("raw read failed");
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * kGridQuotes);
}
BENCHMARK(BM_FillQuoteGrid65000RawBaseline)->Apply(Repeated);

// Searches the portfolio of `dir` whole, as often as the benchmark asks; `symbols` > 0 is the
// count its symbol grid must hold.
void SearchEveryIteration(benchmark::State& state, const std::string& dir, int symbols) {
  FileSystem& fs = FileSystem::Default();
  SettingsStore settings(fs);
  QuietUi ui;
  ViewState view(fs, settings, ui);
  view.SetMasterPath(dir + kMasterName);
  view.m_portfoliosFound = true;
  view.FillSymbolGrid(0);
  if (symbols > 0 && view.m_symbolCount != symbols) return state.SkipWithError("symbol grid not filled");
  std::size_t lines = 0;
  for (auto _ : state) {
    SplitSearch search;
    if (!search.Search(view)) return state.SkipWithError("search failed");
    lines = search.lines().size();
  }
  state.counters["lines"] = static_cast<double>(lines);
}

void BM_SplitSearch255x8000(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  if (!p.ok) return state.SkipWithError("portfolio not written");
  SearchEveryIteration(state, p.searchDir, kSearchSymbols);
  state.SetItemsProcessed(state.iterations() * kSearchSymbols * kSearchQuotes);
}
BENCHMARK(BM_SplitSearch255x8000)->Apply(Repeated);

void BM_SplitSearch255x8000RawBaseline(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  if (!p.ok) return state.SkipWithError("portfolio not written");
  double sink = 0;
  for (auto _ : state) {
    for (int n = 1; n <= kSearchSymbols; ++n) {
      if (!RawReadAndConvert(FileSystem::Default(), p.searchDir + QuoteFileName(n), &sink)) {
        return state.SkipWithError("raw read failed");
      }
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * kSearchSymbols * kSearchQuotes);
}
BENCHMARK(BM_SplitSearch255x8000RawBaseline)->Apply(Repeated);

// The shapes of downloaded text the import is measured on.
enum ImportShape {
  kIsoQuotedWithBom, kDayFirstSemicolons, kIntradayWithTimes, kEpochMilliseconds, kTenTickers,
  kImportShapes
};

// 65,000 lines of `shape`, written once: the random walk's days (YYYY-MM-DD in double quotes
// after a byte-order mark; DD.MM.YYYY with semicolons and decimal commas), or bars of five
// minutes, 78 a day, with the month first and the time in a column of its own; minute klines
// under Unix milliseconds; or MetaStock ASCII lines of ten tickers, day by day.
const std::string& ImportTextPath(int shape) {
  static std::string paths[kImportShapes];
  static bool written[kImportShapes] = {};
  std::string& path = paths[shape];
  if (written[shape]) return path;
  written[shape] = true;
  const Portfolios& p = ThePortfolios();
  std::string text = shape == kIsoQuotedWithBom
                         ? "\xEF\xBB\xBF\"Date\",\"Open\",\"High\",\"Low\",\"Close\",\"Adj Close\",\"Volume\"\r\n"
                     : shape == kDayFirstSemicolons ? "Date;Open;High;Low;Close;Volume\r\n"
                     : shape == kEpochMilliseconds  ? "open_time,open,high,low,close,volume\n"
                     : shape == kTenTickers ? "<TICKER>,<PER>,<DTYYYYMMDD>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>\n"
                                            : "Date,Time,Open,High,Low,Close,Volume\n";
  char line[200];
  int bar = 0;
  for (const QuoteValues& q : RandomWalkQuotes(kExportQuotes, 7)) {
    const Ymd ymd = DayToYmd(shape == kIntradayWithTimes ? YmdToDay(100, 1, 1) + bar / 78
                             : shape == kTenTickers      ? YmdToDay(100, 1, 1) + bar / 10
                                                         : q.day);
    const int year = ymd.year + 1900;
    const auto o = double(q.open), h = double(q.high), l = double(q.low), c = double(q.close);
    int n = 0;
    if (shape == kIsoQuotedWithBom) {
      n = std::snprintf(line, sizeof line,
                        "\"%04d-%02d-%02d\",\"%.4f\",\"%.4f\",\"%.4f\",\"%.4f\",\"%.4f\",\"%.0f\"\r\n",
                        year, ymd.month, ymd.day, o, h, l, c, c, double(q.volume));
    } else if (shape == kDayFirstSemicolons) {
      n = std::snprintf(line, sizeof line, "%02d.%02d.%04d;%.4f;%.4f;%.4f;%.4f;%.0f\r\n", ymd.day,
                        ymd.month, year, o, h, l, c, double(q.volume));
      for (int i = 11; i < n; ++i) line[i] = line[i] == '.' ? ',' : line[i];
    } else if (shape == kEpochMilliseconds) {
      n = std::snprintf(line, sizeof line, "%lld,%.4f,%.4f,%.4f,%.4f,%.0f\n",
                        1500000000000LL + 60000LL * bar, o, h, l, c, double(q.volume));
    } else if (shape == kTenTickers) {
      n = std::snprintf(line, sizeof line, "T%d,D,%04d%02d%02d,000000,%.4f,%.4f,%.4f,%.4f,%.0f\n",
                        bar % 10, year, ymd.month, ymd.day, o, h, l, c, double(q.volume));
    } else {
      const int minutes = 9 * 60 + 30 + 5 * (bar % 78);
      n = std::snprintf(line, sizeof line, "%02d/%02d/%04d,%02d:%02d:00,%.4f,%.4f,%.4f,%.4f,%.0f\n",
                        ymd.month, ymd.day, year, minutes / 60, minutes % 60, o, h, l, c,
                        double(q.volume));
    }
    ++bar;
    text.append(line, static_cast<std::size_t>(n));
  }
  const std::string file = (p.root / ("import" + std::to_string(shape) + ".txt")).string();
  NoSyncFs fs;
  if (p.ok && WriteFileSafely(fs, file, Bytes(text.begin(), text.end()))) path = file;
  return path;
}

// Reading 65,000 lines of one shape and writing them as a new portfolio, each time into a
// fresh directory.
void BM_Import65000Lines(benchmark::State& state) {
  const std::string& path = ImportTextPath(static_cast<int>(state.range(0)));
  if (path.empty()) return state.SkipWithError("no text to import");
  const Portfolios& p = ThePortfolios();
  NoSyncFs fs;
  int run = 0;
  for (auto _ : state) {
    const std::string dir = (p.root / ("IMPORT" + std::to_string(run++))).string();
    ImportRequest request{dir, "LONG", "", false};
    request.byTicker = state.range(0) == kTenTickers;
    Bytes bytes;
    ImportedText quotes;
    std::string error;
    QuietUi ui;
    ImportPlanSummary summary;
    if (!ReadWholeFile(fs, path, &bytes) ||
        !ReadImportText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), {},
                        &quotes, &error) ||
        !ImportQuotes(fs, ui, request, quotes, &summary)) {
      return state.SkipWithError(("import failed: " + error).c_str());
    }
    state.PauseTiming();
    std::error_code removed;
    std::filesystem::remove_all(dir, removed);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kExportQuotes);
}
BENCHMARK(BM_Import65000Lines)->DenseRange(0, kImportShapes - 1)->Apply(Repeated);

// The same text read in one read and a quote file of the same size written in one write.
void BM_Import65000LinesRawBaseline(benchmark::State& state) {
  const std::string& path = ImportTextPath(static_cast<int>(state.range(0)));
  if (path.empty()) return state.SkipWithError("no text to import");
  const Portfolios& p = ThePortfolios();
  NoSyncFs fs;
  const Bytes quoteFile(kRecordLength * (kExportQuotes + 1), 0x41);
  for (auto _ : state) {
    Bytes bytes;
    if (!ReadWholeFile(fs, path, &bytes) ||
        !WriteFileSafely(fs, (p.root / "raw-import.DAT").string(), quoteFile)) {
      return state.SkipWithError("raw read or write failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * kExportQuotes);
}
BENCHMARK(BM_Import65000LinesRawBaseline)->DenseRange(0, kImportShapes - 1)->Apply(Repeated);

// The real ASX portfolio, read in place (nothing writes to it).
std::string AsxDir() { return std::string(BARVANE_FIXTURE_ROOT) + "/asx-mining/"; }

// The quote files of a portfolio directory.
std::vector<std::string> QuoteFiles(const std::string& dir) {
  std::vector<std::string> paths;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 5 && (name[0] == 'F' || name[0] == 'f') &&
        (name.ends_with(".DAT") || name.ends_with(".dat"))) {
      paths.push_back(entry.path().string());
    }
  }
  return paths;
}

// Arg 0: into the folder of the run before, whose files are replaced; 1: into an empty folder.
void BM_AsxExportAll(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  if (!p.ok || QuoteFiles(AsxDir()).empty()) return state.SkipWithError("no ASX portfolio");
  QuietUi ui;
  ExportChoices choices;
  choices.titleRow = true;
  const bool intoEmptyFolder = state.range(0) != 0;
  const std::filesystem::path out = p.root / "asx-out";
  std::size_t files = 0;
  for (auto _ : state) {
    if (intoEmptyFolder) {
      state.PauseTiming();
      std::filesystem::remove_all(out);
      state.ResumeTiming();
    }
    std::vector<ExportedFile> written;
    if (!ExportAll(FileSystem::Default(), ui, AsxDir(), out.string(), choices, {}, &written)) {
      return state.SkipWithError("export-all failed");
    }
    files = written.size();
  }
  state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_AsxExportAll)->Arg(0)->Arg(1)->Apply(Repeated);

void BM_AsxSplitSearch(benchmark::State& state) {
  if (QuoteFiles(AsxDir()).empty()) return state.SkipWithError("no ASX portfolio");
  SearchEveryIteration(state, AsxDir(), 0);
}
BENCHMARK(BM_AsxSplitSearch)->Apply(Repeated);

void BM_AsxRawBaseline(benchmark::State& state) {
  const std::vector<std::string> paths = QuoteFiles(AsxDir());
  if (paths.empty()) return state.SkipWithError("no ASX portfolio");
  double sink = 0;
  for (auto _ : state) {
    for (const std::string& path : paths) {
      if (!RawReadAndConvert(FileSystem::Default(), path, &sink)) {
        return state.SkipWithError("raw read failed");
      }
    }
  }
  benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_AsxRawBaseline)->Apply(Repeated);

// A plain dump of every quote file: one read, every value converted and printed with
// snprintf, one write per file. The yardstick for export-all. Arg 1 writes each file as
// export-all does, under a temporary name, flushed and renamed over the old one: the
// difference between the two is what replacing a file whole costs.
void BM_AsxPrintfDumpBaseline(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  const std::vector<std::string> paths = QuoteFiles(AsxDir());
  if (!p.ok || paths.empty()) return state.SkipWithError("no ASX portfolio");
  const std::string out = (p.root / "asx-dump").string();
  std::filesystem::create_directories(out);
  for (auto _ : state) {
    for (const std::string& path : paths) {
      Bytes bytes;
      if (!ReadWholeFile(FileSystem::Default(), path, &bytes)) return state.SkipWithError("read failed");
      std::string text;
      char line[256];
      for (std::size_t at = kRecordLength; at + kRecordLength <= bytes.size(); at += kRecordLength) {
        float v[7];
        for (int f = 0; f < 7; ++f) v[f] = ReadMbf(bytes.data() + at + 4 * f);
        const int n = std::snprintf(line, sizeof line, "%.0f %.4f %.4f %.4f %.4f %.2f %.2f\r\n",
                                    double(v[0]), double(v[1]), double(v[2]), double(v[3]),
                                    double(v[4]), double(v[5]), double(v[6]));
        text.append(line, static_cast<std::size_t>(n));
      }
      const std::string name = out + "/" + std::filesystem::path(path).filename().string() + ".txt";
      FileSystem& fs = FileSystem::Default();
      const bool replaced = state.range(0) != 0;
      auto file = replaced ? fs.CreateExclusive(name + ".NEW") : fs.CreateForWrite(name);
      if (!file || !file->Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) ||
          (replaced && !file->Sync()) || !file->Close() || (replaced && !fs.Rename(name + ".NEW", name))) {
        return state.SkipWithError("write failed");
      }
    }
  }
}
BENCHMARK(BM_AsxPrintfDumpBaseline)->Arg(0)->Arg(1)->Apply(Repeated);

}  // namespace
}  // namespace barvane::bench
