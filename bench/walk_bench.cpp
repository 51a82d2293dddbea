// Speed of the drive walk on a tree of 50,000 directories holding 500 portfolios, with the
// progress window fed, beside `find -xdev -iname MASTER -type f` on the same tree as the floor
// it is measured against (target: within 1.5 times find's time).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/portfolio_walk.h"
#include "data/fs.h"

namespace barvane::bench {
namespace {

constexpr int kTopDirectories = 50;
constexpr int kDirectoriesPerTop = 999;  // 50 + 50 × 999 = 50,000 directories
constexpr int kPortfolioEvery = 100;     // every 100th leaf holds a MASTER: 500 portfolios
constexpr std::size_t kPortfolios = 500;

// The tree, generated on first use and removed at exit.
class WalkTree {
 public:
  static const std::string& Root() {
    static WalkTree tree;
    return tree.root_;
  }

 private:
  WalkTree() {
    namespace fsys = std::filesystem;
    const fsys::path root = fsys::temp_directory_path() / "barvane-walk-bench";
    std::error_code error;
    fsys::remove_all(root, error);
    int leaf = 0;
    for (int t = 0; t < kTopDirectories; ++t) {
      const fsys::path top = root / ("d" + std::to_string(t));
      for (int s = 0; s < kDirectoriesPerTop; ++s, ++leaf) {
        const fsys::path dir = top / ("e" + std::to_string(s));
        if (!fsys::create_directories(dir, error)) return;
        if (leaf % kPortfolioEvery != 0) continue;
        std::FILE* master = std::fopen((dir / "MASTER").c_str(), "w");
        if (!master) return;
        std::fclose(master);
      }
    }
    root_ = root.string();
  }
  ~WalkTree() {
    std::error_code error;
    if (!root_.empty()) std::filesystem::remove_all(root_, error);
  }

  std::string root_;
};

// Progress as the window would take it: a text and a number to show, never a cancel.
class ProgressUi final : public Ui {
 public:
  void ShowMessage(const std::string&, MessageIcon) override {}
  bool ShowScanProgress(const std::string& dir, int found) override {
    shown = dir.size() + static_cast<std::size_t>(found);
    benchmark::DoNotOptimize(shown);
    return true;
  }
  std::size_t shown = 0;
};

void Repeated(benchmark::internal::Benchmark* registered) {
  registered->Repetitions(7)->MinTime(0.5)->ReportAggregatesOnly(true);
}

void BM_WalkDriveFilterOff(benchmark::State& state) {
  const std::string& root = WalkTree::Root();
  ProgressUi ui;
  // Warmed exactly like find below: one untimed run first.
  if (root.empty() ||
      WalkDirectory(FileSystem::Default(), root, SearchFilter{}, ui).size() != kPortfolios) {
    state.SkipWithError("the walk missed portfolios");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(WalkDirectory(FileSystem::Default(), root, SearchFilter{}, ui));
  }
}
BENCHMARK(BM_WalkDriveFilterOff)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(Repeated);

void BM_FindXdevInameMaster(benchmark::State& state) {
  const std::string& root = WalkTree::Root();
  std::string command = "find '";
  command.append(root).append("' -xdev -iname MASTER -type f >/dev/null");
  if (root.empty() || std::system(command.c_str()) != 0) {
    state.SkipWithError("find could not run");
    return;
  }
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (status != 0) {
      state.SkipWithError("find failed");
      break;
    }
    state.SetIterationTime(took.count());
  }
}
BENCHMARK(BM_FindXdevInameMaster)->Unit(benchmark::kMillisecond)->UseManualTime()->Apply(Repeated);

}  // namespace
}  // namespace barvane::bench
