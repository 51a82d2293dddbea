// Speed of the portfolio tools: an export of a 65,000-quote series (target 30 ms) and a split
// search over 255 symbols of 8,000 quotes (target 1 s), each beside a raw baseline that reads
// the same files in one read apiece and converts every MBF value.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/settings_store.h"
#include "app/view_state.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/mbf.h"
#include "large_portfolio.h"
#include "tools/export.h"
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

void BM_SplitSearch255x8000(benchmark::State& state) {
  const Portfolios& p = ThePortfolios();
  if (!p.ok) return state.SkipWithError("portfolio not written");
  FileSystem& fs = FileSystem::Default();
  SettingsStore settings(fs);
  QuietUi ui;
  ViewState view(fs, settings, ui);
  view.SetMasterPath(p.searchDir + kMasterName);
  view.m_portfoliosFound = true;
  view.FillSymbolGrid(0);
  if (view.m_symbolCount != kSearchSymbols) return state.SkipWithError("symbol grid not filled");
  std::size_t lines = 0;
  for (auto _ : state) {
    SplitSearch search;
    if (!search.Search(view)) return state.SkipWithError("search failed");
    lines = search.lines().size();
  }
  state.counters["lines"] = static_cast<double>(lines);
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

}  // namespace
}  // namespace barvane::bench
