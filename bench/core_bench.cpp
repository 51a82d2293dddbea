// Speed of the data core on the largest files the format allows: the quote grid's windowed
// read, a split over a whole series (alone and recorded in the history of changes), the deepest MASTER search, and a raw read-and-convert of
// the same quote file as the floor the windowed read is measured against.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "data/change_recorder.h"
#include "data/dates.h"
#include "data/file_ops.h"
#include "data/fs.h"
#include "data/master.h"
#include "data/mbf.h"
#include "data/memory_reuse.h"
#include "data/quote_series.h"
#include "data/rewrite.h"
#include "support/no_sync_fs.h"
#include "large_portfolio.h"

namespace barvane::bench {
namespace {

// Writes go to the page cache only, so a figure shows the program's own work and not the
// disk's flush latency.
test::NoSyncFs& NoSync() {
  static test::NoSyncFs fs;
  return fs;
}

// Every benchmark runs in several repetitions so that its median can be read off.
void Repeated(benchmark::internal::Benchmark* registered) {
  registered->Repetitions(7)->MinTime(0.2)->ReportAggregatesOnly(true);
}

// The grid's window: the quote grid reads 400 quotes at a time from the newest end.
constexpr std::int32_t kGridChunk = 400;

struct Fixture {
  std::filesystem::path root;
  std::string seriesDir;  // ending in "/"
  std::string treeDir;    // ending in "/"
  std::string quoteFile;
  std::int32_t quoteCount = 0;
  DayNumber lastDay = 0;
  Bytes originalQuoteBytes;
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

// Reads the series the way the quote grid fills itself; returns false on any short read.
bool ReadInGridWindows(FileSystem& fs, QuoteSeries* series, const Fixture& f, double* sink) {
  std::int32_t row = 0;
  while (row != f.quoteCount) {
    const std::int32_t chunk = std::min(f.quoteCount - row, kGridChunk);
    const std::int32_t start = f.quoteCount - row - chunk;
    if (LoadSeries(fs, series, f.seriesDir, kLargeSeriesSymbol, start, chunk) != kSuccess ||
        series->count != static_cast<std::uint32_t>(chunk)) {
      return false;
    }
    for (std::int32_t j = chunk - 1; j >= 0; --j) {
      const auto i = static_cast<std::uint32_t>(j);
      *sink += series->value(kClose, i) + series->date(i);
    }
    row += chunk;
  }
  return true;
}

void BM_LoadSeriesGridWindows(benchmark::State& state) {
  const Fixture& f = TheFixture();
  FileSystem& fs = FileSystem::Default();
  for (auto _ : state) {
    QuoteSeries series;
    double sink = 0;
    if (AllocSeries(&series, kGridChunk) != kSuccess || !ReadInGridWindows(fs, &series, f, &sink)) {
      state.SkipWithError("windowed read failed");
      break;
    }
    FreeSeries(&series);
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * f.quoteCount);
}
BENCHMARK(BM_LoadSeriesGridWindows)->Unit(benchmark::kMillisecond)->Apply(Repeated);

// The whole refill after a change: the count, the windows, then the first and last quote.
void BM_FillQuotesGridReads(benchmark::State& state) {
  const Fixture& f = TheFixture();
  FileSystem& fs = FileSystem::Default();
  for (auto _ : state) {
    QuoteSeries facts;
    bool ok = AllocSeries(&facts, 1) == kSuccess &&
              LoadSeries(fs, &facts, f.seriesDir, kLargeSeriesSymbol, 0, 0) == kSuccess &&
              facts.quotesInFile == f.quoteCount;
    FreeSeries(&facts);
    QuoteSeries series;
    double sink = 0;
    ok = ok && AllocSeries(&series, kGridChunk) == kSuccess &&
         ReadInGridWindows(fs, &series, f, &sink) &&
         LoadSeries(fs, &series, f.seriesDir, kLargeSeriesSymbol, 0, 1) == kSuccess &&
         LoadSeries(fs, &series, f.seriesDir, kLargeSeriesSymbol, -1, 1) == kSuccess;
    if (!ok) {
      state.SkipWithError("grid refill reads failed");
      break;
    }
    sink += series.date(0);
    FreeSeries(&series);
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * f.quoteCount);
}
BENCHMARK(BM_FillQuotesGridReads)->Unit(benchmark::kMillisecond)->Apply(Repeated);

// A 2-for-1 split and its inverse alternate: both multiply by powers of two, which is exact in
// single precision, so the file returns to its original bytes after every second rewrite.
// With `recorder`, each split is one change of the history, as the window and the CLI record it.
void RunSplits(benchmark::State& state, FileSystem& fs, ChangeRecorder* recorder = nullptr) {
  const Fixture& f = TheFixture();
  QuoteChange split;
  split.op = QuoteOp::kMultiply;
  split.fromDay = 0;
  split.toDay = f.lastDay;
  split.value = {0.5f, 0.5f, 0.5f, 0.5f, 2.0f, 2.0f};
  QuoteChange unsplit = split;
  unsplit.value = {2.0f, 2.0f, 2.0f, 2.0f, 0.5f, 0.5f};
  bool splitApplied = false;
  for (auto _ : state) {
    std::optional<ChangeScope> change;
    if (recorder) change.emplace(*recorder, std::vector<std::string>{"split"}, f.seriesDir);
    if (RewriteQuotes(recorder ? *recorder : fs, splitApplied ? unsplit : split, f.seriesDir, kLargeSeriesSymbol) !=
        kSuccess) {
      state.SkipWithError("rewrite failed");
      return;
    }
    splitApplied = !splitApplied;
  }
  if (splitApplied &&
      RewriteQuotes(fs, unsplit, f.seriesDir, kLargeSeriesSymbol) != kSuccess) {
    state.SkipWithError("undoing the last split failed");
    return;
  }
  Bytes now;
  if (!ReadWholeFile(fs, f.quoteFile, &now) || now != f.originalQuoteBytes) {
    state.SkipWithError("split and inverse did not restore the quote file");
  }
  state.SetItemsProcessed(state.iterations() * f.quoteCount);
}

void BM_RewriteSplitNoSync(benchmark::State& state) { RunSplits(state, NoSync()); }
BENCHMARK(BM_RewriteSplitNoSync)->Unit(benchmark::kMillisecond)->Apply(Repeated);

void BM_RewriteSplitWithFsync(benchmark::State& state) {
  RunSplits(state, FileSystem::Default());
}
BENCHMARK(BM_RewriteSplitWithFsync)->Unit(benchmark::kMillisecond)->Apply(Repeated);

// The history a recorded split keeps: the quote file and its backup before, the digest of the
// quote file after. Its size on disk is counted once it holds the 50 changes it keeps of the
// portfolio.
void RunRecordedSplits(benchmark::State& state, FileSystem& fs) {
  const std::filesystem::path dir = TheFixture().root / "history";
  History history(fs, dir.string());
  ChangeRecorder recorder(fs, history);
  RunSplits(state, fs, &recorder);
  std::uintmax_t bytes = 0, changes = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    bytes += entry.file_size(error);
    changes += entry.path().extension() == ".chg";
  }
  state.counters["history_changes"] = static_cast<double>(changes);
  state.counters["history_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RecordedSplitNoSync(benchmark::State& state) { RunRecordedSplits(state, NoSync()); }
BENCHMARK(BM_RecordedSplitNoSync)->Unit(benchmark::kMillisecond)->Apply(Repeated);

void BM_RecordedSplitWithFsync(benchmark::State& state) { RunRecordedSplits(state, FileSystem::Default()); }
BENCHMARK(BM_RecordedSplitWithFsync)->Unit(benchmark::kMillisecond)->Apply(Repeated);

void BM_FindMasterRecordDeepest(benchmark::State& state) {
  const Fixture& f = TheFixture();
  FileSystem& fs = FileSystem::Default();
  const std::string expectedDir = f.treeDir + "SUB1/SUB2/SUB3/";
  for (auto _ : state) {
    MasterRecord record;
    std::string recordDir;
    if (FindMasterRecord(fs, f.treeDir, kDeepSymbol, &record, &recordDir) != kSuccess ||
        recordDir != expectedDir || record.fileNumber() != kMasterTreeRecords) {
      state.SkipWithError("deepest symbol not found where it was written");
      break;
    }
    benchmark::DoNotOptimize(record);
  }
  state.SetItemsProcessed(state.iterations() * (kMasterTreeDepth + 1) * kMasterTreeRecords);
}
BENCHMARK(BM_FindMasterRecordDeepest)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

// One read of the whole file and a plain loop over its records: what the machine does at best.
void BM_RawReadAndConvert(benchmark::State& state) {
  const Fixture& f = TheFixture();
  FileSystem& fs = FileSystem::Default();
  constexpr std::size_t kLength = 28;
  std::vector<DayNumber> days(static_cast<std::size_t>(f.quoteCount));
  std::vector<float> values(static_cast<std::size_t>(f.quoteCount) * 6);
  Bytes bytes;
  for (auto _ : state) {
    if (!ReadWholeFile(fs, f.quoteFile, &bytes) ||
        bytes.size() / kLength - 1 != static_cast<std::size_t>(f.quoteCount)) {
      state.SkipWithError("raw read failed");
      break;
    }
    for (std::size_t i = 0; i < days.size(); ++i) {
      const std::uint8_t* record = bytes.data() + kLength * (i + 1);
      days[i] = DateFloatToDay(ReadMbf(record));
      for (std::size_t k = 0; k < 6; ++k) values[6 * i + k] = ReadMbf(record + 4 * (k + 1));
    }
    benchmark::DoNotOptimize(days.data());
    benchmark::DoNotOptimize(values.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * f.quoteCount);
}
BENCHMARK(BM_RawReadAndConvert)->Unit(benchmark::kMillisecond)->Apply(Repeated);

// A fresh directory under the system's temporary directory.
bool MakeRoot(std::filesystem::path* root) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return false;
  std::random_device entropy;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path candidate = base / ("barvane-bench-" + std::to_string(entropy()));
    if (std::filesystem::create_directory(candidate, error)) {
      *root = candidate;
      return true;
    }
  }
  return false;
}

bool Generate(Fixture* f) {
  if (!MakeRoot(&f->root)) return false;
  f->seriesDir = (f->root / "series").string() + "/";
  f->treeDir = (f->root / "tree").string() + "/";
  // Durability of generated files is of no interest; flushing a thousand of them is slow.
  FileSystem& fs = NoSync();
  if (!WriteLargeSeries(fs, f->seriesDir) || !WriteMasterTree(fs, f->treeDir)) return false;
  f->quoteFile = f->seriesDir + "F1.DAT";
  if (!ReadWholeFile(fs, f->quoteFile, &f->originalQuoteBytes)) return false;
  QuoteSeries last;
  const bool ok = AllocSeries(&last, 1) == kSuccess &&
                  LoadSeries(fs, &last, f->seriesDir, kLargeSeriesSymbol, -1, 1) == kSuccess &&
                  last.count == 1;
  f->quoteCount = last.quotesInFile;
  f->lastDay = ok ? last.date(0) : 0;
  FreeSeries(&last);
  return ok && f->quoteCount == kLargeSeriesQuotes;
}

}  // namespace
}  // namespace barvane::bench

int main(int argc, char** argv) {
  using barvane::bench::TheFixture;
  barvane::ReuseFreedMemory();  // as the programs do
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const bool generated = barvane::bench::Generate(&TheFixture());
  if (generated) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    std::fprintf(stderr, "barvane_bench: could not generate the portfolios\n");
  }
  benchmark::Shutdown();
  if (!TheFixture().root.empty()) {
    std::error_code error;
    std::filesystem::remove_all(TheFixture().root, error);
  }
  return generated ? 0 : 1;
}
