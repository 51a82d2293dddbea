// The symbol grid and series loads of a portfolio of 2,000 symbols, 255 in MASTER and EMASTER
// and the rest in XMASTER, against a MASTER series of the same portfolio as the baseline.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/symbol_list.h"
#include "data/portfolio_writer.h"
#include "data/quote_series.h"
#include "support/no_sync_fs.h"

namespace barvane::bench {
namespace {

constexpr int kSymbols = 2000;

class SilentUi final : public Ui {
 public:
  void ShowMessage(const std::string&, MessageIcon) override {}
};

// The portfolio, written once on first use into the system's temporary directory.
const std::string& ExtendedDir() {
  static const std::string dir = [] {
    const std::string d = (std::filesystem::temp_directory_path() / "barvane-index-bench/").string();
    std::filesystem::remove_all(d);
    PortfolioDescription p;
    p.extended = true;
    for (int n = 1; n <= kSymbols; ++n) {
      SymbolDescription s;
      s.fileNumber = n;
      s.symbol = "S" + std::to_string(n);
      s.name = "Symbol number " + std::to_string(n) + " of the portfolio";
      s.fields = FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
      for (int q = 0; q < 250; ++q) {
        s.quotes.push_back({YmdToDay(2000, 1, 3) + q, 0, 10, 11, 9, 10.5f, 1000, 5});
      }
      p.symbols.push_back(std::move(s));
    }
    test::NoSyncFs fs;
    return WritePortfolio(fs, d, p) ? d : std::string();
  }();
  return dir;
}

void BM_SymbolGridOfTwoThousandSymbols(benchmark::State& state) {
  const std::string& dir = ExtendedDir();
  SilentUi ui;
  for (auto _ : state) {
    SymbolListing listing;
    if (dir.empty() || !ReadSymbolListing(FileSystem::Default(), dir + "MASTER", ui, &listing) ||
        listing.rows.size() != kSymbols) {
      state.SkipWithError("the symbol grid could not be read");
      return;
    }
    benchmark::DoNotOptimize(listing);
  }
}
BENCHMARK(BM_SymbolGridOfTwoThousandSymbols)->Unit(benchmark::kMillisecond);

// One window of the quote grid: the series' facts, then its 250 quotes.
void LoadWhole(benchmark::State& state, const std::string& symbol) {
  const std::string& dir = ExtendedDir();
  QuoteSeries series;
  if (dir.empty() || AllocSeries(&series, 400) != kSuccess) {
    state.SkipWithError("no portfolio");
    return;
  }
  for (auto _ : state) {
    if (LoadSeries(FileSystem::Default(), &series, dir, symbol, 0, 400) != kSuccess || series.count != 250) {
      state.SkipWithError("the series could not be read");
      return;
    }
    benchmark::DoNotOptimize(series.value(kClose, 249));
  }
}

// The baseline: the first symbol of MASTER.
void BM_LoadMasterSeries(benchmark::State& state) { LoadWhole(state, "S1"); }
BENCHMARK(BM_LoadMasterSeries)->Unit(benchmark::kMicrosecond);

// The last symbol of XMASTER, found after every MASTER record and 1,744 XMASTER records.
void BM_LoadLastXmasterSeries(benchmark::State& state) { LoadWhole(state, "S2000"); }
BENCHMARK(BM_LoadLastXmasterSeries)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace barvane::bench
