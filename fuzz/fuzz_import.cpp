// Fuzz target: the import text reader over any text, then the import of what it accepts into an
// in-memory portfolio (into its daily or its intraday series, as a new symbol, or as a new
// portfolio, or each ticker into its own symbol), in a chosen encoding or the one the bytes
// tell, with a failure injected at a chosen step. What the reader accepts is oldest
// first, one quote a day (and time), every value one that a quote file holds; an import that
// reports failure leaves every file but the backups with its old bytes.
#include <cmath>
#include <cstdlib>

#include "data/portfolio_writer.h"
#include "exchange/import.h"
#include "fuzz_tree.h"

namespace {

class SilentUi final : public barvane::Ui {
 public:
  void ShowMessage(const std::string&, barvane::MessageIcon) override {}
};

// A daily series DAY (file 1) and an intraday series BARS (file 2) in /P, with EMASTER.
barvane::PortfolioDescription TwoSeries() {
  using namespace barvane;
  PortfolioDescription portfolio;
  portfolio.extended = true;
  SymbolDescription day;
  day.fileNumber = 1;
  day.symbol = "DAY";
  day.name = "Daily";
  day.fields = FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
  SymbolDescription bars = day;
  bars.fileNumber = 2;
  bars.symbol = "BARS";
  bars.periodicity = 'I';
  bars.fields = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume});
  bars.withLayoutFile = true;
  for (int i = 0; i < 3; ++i) {
    const DayNumber date = YmdToDay(98, 6, 15 + i);
    day.quotes.push_back({date, 0, 1, 2, 0.5f, 1.5f, 100, 7});
    bars.quotes.push_back({date, HmsToSeconds(9, 30, 0), 1, 2, 0.5f, 1.5f, 100, 0});
    bars.quotes.push_back({date, HmsToSeconds(9, 35, 0), 1, 2, 0.5f, 1.5f, 100, 0});
  }
  portfolio.symbols = {day, bars};
  return portfolio;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  FuzzedDataProvider data(bytes, size);
  ImportOptions options;
  options.dates = static_cast<DateOrder>(data.ConsumeIntegralInRange(0, 3));
  options.adjusted = data.ConsumeBool();
  const auto encoding = data.ConsumeIntegralInRange<std::size_t>(0, ImportEncodingNames().size());
  if (encoding > 0) options.encoding = ImportEncodingNames()[encoding - 1];
  const bool replace = data.ConsumeBool();
  const bool byTicker = data.ConsumeBool();
  const int target = data.ConsumeIntegralInRange(0, 3);
  const int failAt = data.ConsumeIntegralInRange(0, 24);
  const std::string text = data.ConsumeRemainingBytesAsString();

  ImportedText quotes;
  std::string error;
  if (!ReadImportText(text, options, &quotes, &error)) {
    if (!quotes.quotes.empty() || error.empty()) std::abort();
    return 0;
  }
  for (std::size_t i = 0; i < quotes.quotes.size(); ++i) {
    const ImportedQuote& q = quotes.quotes[i];
    const auto key = [](const ImportedQuote& x) {
      return (std::int64_t{x.ticker} << 40) + (std::int64_t{x.day} + (1 << 20)) * 86400 + x.seconds;
    };
    if (i > 0 && key(q) <= key(quotes.quotes[i - 1])) std::abort();  // out of order or repeated
    if (q.ticker < 0 || (q.ticker > 0 && static_cast<std::size_t>(q.ticker) >= quotes.tickers.size()))
      std::abort();
    if (q.seconds < 0 || q.seconds >= 86400 || (!quotes.intraday && q.seconds != 0)) std::abort();
    for (std::size_t c = 0; c < kImportColumnCount; ++c) {
      const float v = q.values[c];
      if (!std::isfinite(v) || std::fabs(v) >= 0x1p127f || (!q.present[c] && v != 0)) std::abort();
    }
  }

  fuzz::MemoryFs fs;
  if (!WritePortfolio(fs, "/P/", TwoSeries())) std::abort();
  const auto before = fs.files;
  fs.failAt = failAt;
  fs.calls = 0;
  static const char* const kSymbols[] = {"DAY", "BARS", "NEW", "NEW"};
  ImportRequest request{target == 3 ? "/Q" : "/P", kSymbols[target], "", replace};
  request.byTicker = byTicker;
  SilentUi ui;
  ImportPlanSummary summary;
  if (ImportQuotes(fs, ui, request, quotes, &summary)) return 0;
  for (const auto& [path, contents] : fs.files) {
    if (path.ends_with(".BAK")) continue;
    const auto old = before.find(path);
    if (old == before.end() || old->second != contents) std::abort();  // a file changed or left
  }
  for (const auto& [path, contents] : before) {
    if (!fs.files.count(path)) std::abort();  // a file gone
  }
  return 0;
}
