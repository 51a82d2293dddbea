// Generation of the benchmarks' portfolios through the portfolio writer.
#include "large_portfolio.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "data/dates.h"

namespace barvane::bench {
namespace {

// mt19937's output sequence is fixed by the standard, unlike the library's distributions, so
// the quotes are the same with every standard library.
class UnitRandom {
 public:
  explicit UnitRandom(std::uint32_t seed) : engine_(seed) {}
  // Uniform in [0, 1).
  double next() { return static_cast<double>(engine_() >> 8) / 16777216.0; }

 private:
  std::mt19937 engine_;
};

float Cents(double price) { return static_cast<float>(std::round(price * 100.0) / 100.0); }

std::string Padded(const std::string& text) {
  std::string padded = text;
  padded.resize(16, ' ');
  return padded;
}

SymbolDescription FillerSymbol(int fileNumber, int level) {
  SymbolDescription symbol;
  symbol.fileNumber = fileNumber;
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "L" + std::to_string(...).
  std::string tag = "L";
  tag += std::to_string(level);
  tag += 'S';
  tag += std::to_string(fileNumber);
  symbol.symbol = Padded(tag);
  std::string name = "FILLER ";
  name += tag;
  symbol.name = Padded(name);
  symbol.fields = FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
  return symbol;
}

}  // namespace

std::vector<QuoteValues> RandomWalkQuotes(int count, std::uint32_t seed) {
  UnitRandom random(seed);
  std::vector<QuoteValues> quotes;
  quotes.reserve(static_cast<std::size_t>(std::max(count, 0)));
  const double anchor = std::log(40.0);
  double logPrice = anchor;
  double close = 40.0;
  double openInterest = 50000.0;
  DayNumber day = YmdToDay(61, 1, 2);
  for (int i = 0; i < count; ++i) {
    while (Weekday(day) == 0 || Weekday(day) == 6) ++day;
    // A weak pull to the anchor keeps 125 years of steps within a range real prices have.
    logPrice += (random.next() - 0.5) * 0.04 + (anchor - logPrice) * 0.002;
    const double open = close * (1.0 + (random.next() - 0.5) * 0.01);
    close = std::exp(logPrice);
    QuoteValues q;
    q.day = day;
    q.open = Cents(open);
    q.close = Cents(close);
    q.high = Cents(std::max(open, close) * (1.0 + random.next() * 0.015));
    q.low = Cents(std::min(open, close) * (1.0 - random.next() * 0.015));
    q.volume = static_cast<float>(std::round(20000.0 + random.next() * 980000.0));
    openInterest = std::max(1000.0, openInterest + std::round((random.next() - 0.5) * 2000.0));
    q.openInterest = static_cast<float>(openInterest);
    quotes.push_back(q);
    ++day;
  }
  return quotes;
}

bool WriteLargeSeries(FileSystem& fs, const std::string& dir) {
  SymbolDescription symbol;
  symbol.fileNumber = 1;
  symbol.symbol = Padded(kLargeSeriesSymbol);
  symbol.name = Padded("LONG RANDOM WALK");
  symbol.fields = FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
  symbol.quotes = RandomWalkQuotes(kLargeSeriesQuotes, 19610102u);
  PortfolioDescription portfolio;
  portfolio.symbols.push_back(std::move(symbol));
  return WritePortfolio(fs, dir, portfolio);
}

bool WriteMasterTree(FileSystem& fs, const std::string& dir) {
  std::string levelDir = dir;
  if (levelDir.empty() || levelDir.back() != '/') levelDir += '/';
  for (int level = 0; level <= kMasterTreeDepth; ++level) {
    const bool deepest = level == kMasterTreeDepth;
    const int symbols = deepest ? kMasterTreeRecords : kMasterTreeRecords - 1;
    PortfolioDescription portfolio;
    for (int n = 1; n <= symbols; ++n) portfolio.symbols.push_back(FillerSymbol(n, level));
    if (deepest) {
      portfolio.symbols.back().symbol = Padded(kDeepSymbol);
      portfolio.symbols.back().name = Padded("DEEPEST LAST");
    } else {
      portfolio.subPortfolios.push_back("SUB" + std::to_string(level + 1));
    }
    if (!WritePortfolio(fs, levelDir, portfolio)) return false;
    if (!deepest) {
      levelDir += portfolio.subPortfolios.front();
      if (!fs.CreateDirectory(levelDir)) return false;
      levelDir += '/';
    }
  }
  return true;
}

}  // namespace barvane::bench
