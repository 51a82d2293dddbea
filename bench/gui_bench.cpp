// barvane_gui_bench: the window's speed and memory offscreen, printed as figures against the
// targets: start-up on the demo drive to the first filled grid (500 ms), a click on a symbol
// of 65,000 quotes to the painted grid (50 ms), that grid's memory above an empty one (10 MB),
// and a redraw of the chart of those 65,000 quotes within a frame (16 ms), beside the cost of
// painting an empty widget of its size and of drawing every quote as a line.
#include <malloc.h>

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
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
#include "data/memory_reuse.h"
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
    s.quotes.push_back(QuoteValues{day, HmsToSeconds(minute / 60, minute % 60, 0), price, price + 0.25f,
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

// The median milliseconds of `runs` calls of `paint`.
template <typename Paint>
double MedianMs(int runs, Paint paint) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point t0 = Clock::now();
    paint();
    times.push_back(Ms(t0, Clock::now()));
  }
  return Median(times);
}

// The raw baseline: every quote of the grid drawn as one high-low line, nothing left out.
void DrawEveryQuote(QPaintDevice* device, const std::vector<QuoteGridRow>& rows) {
  QPainter painter(device);
  painter.fillRect(QRect(0, 0, device->width(), device->height()), Qt::white);
  const double step = static_cast<double>(device->width()) / static_cast<double>(rows.size());
  const double scale = device->height() / 600.0;
  std::vector<QLineF> lines;
  lines.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double x = static_cast<double>(i) * step;
    lines.emplace_back(x, device->height() - rows[i].values[1] * scale, x,
                       device->height() - rows[i].values[2] * scale);
  }
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

class BlankWidget final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};

}  // namespace

int main(int argc, char** argv) {
  barvane::ReuseFreedMemory();  // as the program does
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

  // The chart of the 65,000 quotes: as it opens (the newest quotes), and zoomed out to all.
  constexpr int kPaints = 30;
  CChartPane* chart = w.frame->view()->chartPane();
  chart->resize(900, 500);
  const double opened = MedianMs(kPaints, [chart] { chart->repaint(); });
  chart->setFocus();
  for (int i = 0; i < 60; ++i) QTest::keyClick(chart, Qt::Key_Minus);
  const int shown = chart->viewport().LastVisible() - chart->viewport().FirstVisible() + 1;
  const double whole = MedianMs(kPaints, [chart] { chart->repaint(); });
  BlankWidget blank;
  blank.resize(chart->size());
  blank.show();
  if (!QTest::qWaitForWindowExposed(&blank)) return 1;
  const double empty = MedianMs(kPaints, [&blank] { blank.repaint(); });
  QPixmap pixmap(chart->size());
  const auto& quoteRows = w.frame->view()->state().m_quotes.rows;
  const double every = MedianMs(kPaints, [&pixmap, &quoteRows] { DrawEveryQuote(&pixmap, quoteRows); });
  std::printf("chart redraw %dx%d, median of %d: newest quotes %5.2f ms, all %d in view %5.2f ms  [target 16 ms]\n",
              chart->width(), chart->height(), kPaints, opened, shown, whole);
  std::printf("  baselines: empty widget %5.2f ms, every quote drawn as a line %5.2f ms\n", empty, every);
  w.frame.reset();
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return rows == kBigQuotes ? 0 : 1;
}
