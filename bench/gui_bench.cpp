// barvane_gui_bench: the window's speed and memory offscreen, printed as figures against the
// targets: start-up on the demo drive to the first filled grid (500 ms), a click on a symbol
// of 65,000 quotes to the painted grid (50 ms), and that grid's memory above an empty one
// (10 MB).
#include <malloc.h>

#include <QApplication>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui/main_frame.h"
#include "cli/sample_drive.h"
#include "data/file_names.h"
#include "data/portfolio_writer.h"

namespace {

using namespace barvane;
using Clock = std::chrono::steady_clock;

constexpr int kBigQuotes = 65000;
constexpr int kBarsPerDay = 78;  // five-minute bars of a 6.5-hour session
constexpr int kClicks = 7;

// The real file system with one drive, mounted at `root`, so the walk never leaves it.
class OneDriveFs final : public FileSystemWrapper {
 public:
  explicit OneDriveFs(std::string root) : FileSystemWrapper(FileSystem::Default()), root_(std::move(root)) {}
  bool ListMounts(std::vector<MountEntry>* mounts) override {
    *mounts = {MountEntry{root_, "ext4"}};
    return true;
  }
  std::string CurrentDirectory() override { return root_; }

 private:
  std::string root_;
};

std::string MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "barvane_gui_bench_XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::exit(1);
  return pattern;
}

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

double HeapMb() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

SymbolDescription Series(int fileNumber, const std::string& symbol, int count) {
  SymbolDescription s;
  s.fileNumber = fileNumber;
  s.symbol = symbol;
  s.name = symbol + " Intraday";
  s.periodicity = 'I';
  s.fields = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume});
  DayNumber day = YmdToDay(1990, 1, 2);
  float price = 50.0f;
  for (int i = 0; i < count; ++i) {
    if (i != 0 && i % kBarsPerDay == 0) ++day;
    const int minute = 9 * 60 + 30 + 5 * (i % kBarsPerDay);
    price += static_cast<float>((i * 7919) % 13 - 6) * 0.01f;
    price = std::clamp(price, 5.0f, 500.0f);
    s.quotes.push_back(QuoteValues{day, HmsToTicks(minute / 60, minute % 60, 0), price, price + 0.25f,
                                   price - 0.25f, price + 0.05f, static_cast<float>(1000 + i % 5000), 0.0f});
  }
  return s;
}

struct Window {
  Window(FileSystem& fs, const std::string& configDir) : settings(fs) {
    bool created = false;
    settings.OpenRootKey(configDir, &created);
    frame = std::make_unique<CMainFrame>(fs, settings, [](const std::string& text, MessageIcon) {
      std::fprintf(stderr, "message: %s\n", text.c_str());
    });
  }
  // Shows the window and waits for the deferred start; returns the milliseconds from the
  // window's creation to the painted first grid.
  double Start(Clock::time_point created) {
    frame->show();
    while (!frame->view()->started()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    frame->view()->quoteGrid()->repaint();
    return Ms(created, Clock::now());
  }
  SettingsStore settings;
  std::unique_ptr<CMainFrame> frame;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string root = MakeTempDir();
  OneDriveFs fs(root);

  // Start-up on the demo drive, cold (first window of the process) and warm.
  const std::string sample = root + "/sample";
  if (!cli::WriteSampleDrive(fs, sample)) return 1;
  for (const char* kind : {"cold", "warm"}) {
    const Clock::time_point created = Clock::now();
    OneDriveFs sampleFs(sample);
    Window w(sampleFs, root + "/settings_" + kind);
    const double ms = w.Start(created);
    std::printf("start-up to first filled grid (%s, incl. 100 ms timer): %7.1f ms  [target 500 ms]  %d quotes\n",
                kind, ms, w.frame->view()->state().m_quoteCount);
  }

  // A portfolio of a small series (shown first) and one of 65,000 quotes.
  const std::string drive = root + "/big";
  PortfolioDescription p;
  p.symbols.push_back(Series(1, "AAA", 10));
  p.symbols.push_back(Series(2, "BIG", kBigQuotes));
  if (!fs.CreateDirectory(drive) || !WritePortfolio(fs, drive + "/P", p)) return 1;
  OneDriveFs bigFs(drive);
  Window w(bigFs, root + "/settings_big");
  w.Start(Clock::now());
  QTableView* symbols = w.frame->view()->symbolGrid();
  QTableView* quotes = w.frame->view()->quoteGrid();
  const QPoint small = symbols->visualRect(symbols->model()->index(0, 0)).center();
  const QPoint big = symbols->visualRect(symbols->model()->index(1, 0)).center();

  QApplication::processEvents();
  malloc_trim(0);
  const long rssEmpty = RssKb();
  const double heapEmpty = HeapMb();
  std::vector<double> clicks;
  long rssFull = 0;
  double heapFull = 0;
  for (int i = 0; i < kClicks; ++i) {
    QTest::mouseClick(symbols->viewport(), Qt::LeftButton, {}, small);
    quotes->repaint();
    QApplication::processEvents();
    const Clock::time_point t0 = Clock::now();
    QTest::mouseClick(symbols->viewport(), Qt::LeftButton, {}, big);
    quotes->repaint();
    clicks.push_back(Ms(t0, Clock::now()));
    if (i == 0) {
      rssFull = RssKb();
      heapFull = HeapMb();
    }
  }
  const int rows = quotes->model()->rowCount();
  std::printf("click to painted grid of %d quotes: median %6.1f ms, best %6.1f ms, first %6.1f ms  [target 50 ms]\n",
              rows, Median(clicks), *std::min_element(clicks.begin(), clicks.end()), clicks.front());
  std::printf("grid memory above the 10-quote grid: VmRSS %+7.2f MB, heap %+7.2f MB  [target 10 MB]\n",
              static_cast<double>(rssFull - rssEmpty) / 1024.0, heapFull - heapEmpty);
  w.frame.reset();
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return rows == kBigQuotes ? 0 : 1;
}
