// Speed of the portfolio check on the real ASX mining portfolio (215 symbols, 360,000 quotes;
// target 50 ms), beside a raw baseline that lists the directory, reads every file in one read
// and converts every MBF value. The check's counter tells how often it opened the file it
// opened most: it reads each file once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "data/file_ops.h"
#include "data/mbf.h"
#include "tools/portfolio_check.h"

namespace barvane::bench {
namespace {

const std::string kAsxMining = BARVANE_FIXTURE_ROOT "/asx-mining/";
constexpr std::size_t kRecordLength = 28;

// Counts the openings of each file.
class CountingFs final : public FileSystemWrapper {
 public:
  CountingFs() : FileSystemWrapper(FileSystem::Default()) {}
  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    ++opened[path];
    return target().OpenForRead(path);
  }
  std::map<std::string, int> opened;
};

void Repeated(benchmark::internal::Benchmark* registered) {
  registered->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

void BM_CheckAsxMining(benchmark::State& state) {
  if (!FileSystem::Default().IsDirectory(kAsxMining)) return state.SkipWithError("fixture missing");
  std::vector<CheckProblem> problems;
  int mostOpenings = 0;
  for (auto _ : state) {
    CountingFs fs;
    if (CheckPortfolio(fs, kAsxMining, nullptr, &problems) != CheckOutcome::kDone) {
      return state.SkipWithError("check failed");
    }
    for (const auto& [path, count] : fs.opened) mostOpenings = std::max(mostOpenings, count);
  }
  state.counters["problems"] = static_cast<double>(problems.size());
  state.counters["most_openings_of_a_file"] = mostOpenings;
}
BENCHMARK(BM_CheckAsxMining)->Apply(Repeated);

void BM_CheckAsxMiningRawBaseline(benchmark::State& state) {
  FileSystem& fs = FileSystem::Default();
  if (!fs.IsDirectory(kAsxMining)) return state.SkipWithError("fixture missing");
  double sink = 0;
  for (auto _ : state) {
    std::vector<DirEntry> entries;
    if (!fs.ListDirectory(kAsxMining, &entries)) return state.SkipWithError("listing failed");
    for (const DirEntry& entry : entries) {
      Bytes bytes;
      if (!ReadWholeFile(fs, kAsxMining + entry.name, &bytes)) return state.SkipWithError("read failed");
      for (std::size_t at = kRecordLength; at + kRecordLength <= bytes.size(); at += kRecordLength) {
        for (std::size_t f = 0; f < kRecordLength; f += 4) sink += ReadMbf(bytes.data() + at + f);
      }
    }
  }
  benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_CheckAsxMiningRawBaseline)->Apply(Repeated);

}  // namespace
}  // namespace barvane::bench
