// Generated demo portfolios: random walks from a fixed seed, so every run writes the same bytes.
#include "cli/sample_drive.h"

#include <cmath>
#include <cstdint>

#include "data/file_names.h"
#include "data/portfolio_writer.h"

namespace barvane::cli {
namespace {

// A small deterministic generator: the sample must not change from run to run.
class Walk {
 public:
  explicit Walk(std::uint32_t seed, float price) : state_(seed), price_(price) {}

  // Uniform in [-1, 1).
  float Noise() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 23) - 1.0f;
  }

  QuoteValues Next(DayNumber day, DaySeconds time, float volatility) {
    const float open = price_;
    price_ = std::max(0.05f, price_ * (1.0f + volatility * Noise()));
    const float close = price_;
    const float spread = std::fabs(Noise()) * volatility * open;
    QuoteValues q;
    q.day = day;
    q.time = time;
    q.open = Cents(open);
    q.close = Cents(close);
    q.high = Cents(std::max(open, close) + spread);
    q.low = Cents(std::max(0.01f, std::min(open, close) - spread));
    q.volume = std::round(50000.0f * (1.5f + Noise()));
    return q;
  }

 private:
  static float Cents(float v) { return std::round(v * 100.0f) / 100.0f; }
  std::uint32_t state_;
  float price_;
};

DayNumber NextWeekday(DayNumber day) {
  do {
    ++day;
  } while (Weekday(day) == 0 || Weekday(day) == 6);
  return day;
}

std::vector<QuoteValues> Daily(std::uint32_t seed, float price, DayNumber start, int count,
                               float volatility = 0.02f) {
  Walk walk(seed, price);
  std::vector<QuoteValues> quotes;
  DayNumber day = start;
  for (int i = 0; i < count; ++i, day = NextWeekday(day)) quotes.push_back(walk.Next(day, 0, volatility));
  return quotes;
}

// The quotes before `at` as an exchange reported them before a 2-for-1 split that the data
// never recorded: twice the price, half the volume.
void PlantUnrecordedSplit(std::vector<QuoteValues>& quotes, std::size_t at) {
  for (std::size_t i = 0; i < at; ++i) {
    QuoteValues& q = quotes[i];
    q.open *= 2;
    q.high *= 2;
    q.low *= 2;
    q.close *= 2;
    q.volume = std::round(q.volume / 2);
  }
}

SymbolDescription Symbol(int fileNumber, const std::string& symbol, const std::string& name,
                         std::vector<FieldDescription> fields, std::vector<QuoteValues> quotes,
                         bool withLayoutFile = false, char periodicity = 'D') {
  SymbolDescription s;
  s.fileNumber = fileNumber;
  s.symbol = symbol;
  s.name = name;
  s.periodicity = periodicity;
  s.fields = std::move(fields);
  s.quotes = std::move(quotes);
  s.withLayoutFile = withLayoutFile;
  return s;
}

std::vector<FieldDescription> WithCodes(std::vector<FieldDescription> fields, std::int16_t prices,
                                        std::int16_t counts) {
  for (FieldDescription& f : fields) {
    const bool count = f.quantity == kVolume || f.quantity == kOpenInterest;
    const bool price = f.quantity >= kOpen && !count;
    f.inputCode = f.displayCode = price ? prices : count ? counts : 0;
  }
  return fields;
}

PortfolioDescription Stocks() {
  PortfolioDescription p;
  auto acme = Daily(11, 24.0f, YmdToDay(2004, 1, 2), 5000);
  PlantUnrecordedSplit(acme, 3700);
  p.symbols.push_back(Symbol(1, "ACME", "Acme Industries", FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}), acme));

  auto bolt = Daily(12, 8.5f, YmdToDay(2012, 6, 1), 3000);
  bolt.erase(bolt.begin() + 2500);  // a weekday that the vendor never delivered
  p.symbols.push_back(Symbol(2, "BOLT", "Bolt Energy", WithCodes(FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume}), 2, 0), bolt, true));

  p.symbols.push_back(Symbol(3, "CRUX", "Crux Minerals", FieldsOf({kDate, kOpen, kHigh, kLow, kClose}), Daily(13, 3.2f, YmdToDay(2019, 1, 2), 1200)));
  p.symbols.push_back(Symbol(4, "DYNA", "Dyna Logistics", FieldsOf({kDate, kHigh, kLow, kClose, kVolume}), Daily(14, 41.0f, YmdToDay(2018, 3, 1), 1500)));
  // A record whose symbol the vendor left blank: the editor shows and repairs it by its name.
  p.symbols.push_back(Symbol(5, "", "ECHOPHARMA", FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}), Daily(15, 12.0f, YmdToDay(2020, 1, 2), 700)));
  p.subPortfolios.push_back("TECH");
  return p;
}

PortfolioDescription Tech() {
  PortfolioDescription p;
  p.symbols.push_back(Symbol(1, "GIGA", "Gigabit Systems", WithCodes(FieldsOf({kDate, kHigh, kLow, kClose}), 4, 0), Daily(21, 65.0f, YmdToDay(2015, 1, 2), 2200), true));
  p.subPortfolios.push_back("SEMI");
  return p;
}

PortfolioDescription Semi() {
  PortfolioDescription p;
  p.symbols.push_back(Symbol(1, "HEXA", "Hexa Semicond.", FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}), Daily(31, 17.5f, YmdToDay(2016, 1, 4), 1800)));
  return p;
}

std::vector<QuoteValues> FiveMinuteBars(DayNumber start, int days) {
  Walk walk(41, 4550.0f);
  std::vector<QuoteValues> quotes;
  DayNumber day = start;
  for (int d = 0; d < days; ++d, day = NextWeekday(day)) {
    for (int minute = 9 * 60 + 30; minute < 16 * 60; minute += 5) {
      quotes.push_back(walk.Next(day, HmsToSeconds(minute / 60, minute % 60, 0), 0.001f));
    }
  }
  return quotes;
}

PortfolioDescription Futures() {
  PortfolioDescription p;
  p.symbols.push_back(Symbol(1, "ESZ6", "E-mini S&P Dec26", WithCodes(FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume}), 2, 0), FiveMinuteBars(YmdToDay(2026, 11, 2), 10), true, 'I'));
  auto crude = Daily(42, 61.0f, YmdToDay(2021, 1, 4), 1400);
  for (std::size_t i = 0; i < crude.size(); ++i) crude[i].openInterest = 200000.0f + 37.0f * static_cast<float>(i % 500);
  p.symbols.push_back(Symbol(2, "CLF7", "Crude Oil Jan27", FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}), crude));
  return p;
}

PortfolioDescription Indices() {
  PortfolioDescription p;
  p.symbols.push_back(Symbol(1, "XAO", "All Ordinaries", FieldsOf({kDate, kClose}), Daily(51, 2100.0f, YmdToDay(1995, 1, 3), 7000, 0.01f)));
  p.symbols.push_back(Symbol(2, "XJO", "ASX 200", WithCodes(FieldsOf({kDate, kClose, kVolume}), 1, 1000), Daily(52, 3100.0f, YmdToDay(2001, 1, 2), 6000, 0.01f), true));
  std::vector<QuoteValues> weekly;
  Walk walk(53, 980.0f);
  for (DayNumber friday = YmdToDay(2010, 1, 8); weekly.size() < 800; friday += 7) weekly.push_back(walk.Next(friday, 0, 0.03f));
  p.symbols.push_back(Symbol(3, "XWK", "World Weekly", FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume}), weekly, false, 'W'));
  // An index from October 1928 to our days: its dates show four-digit years.
  p.symbols.push_back(Symbol(4, "XIN", "Industrials 1928", FieldsOf({kDate, kClose}), Daily(54, 240.0f, YmdToDay(1928, 10, 1), 25000, 0.01f)));
  return p;
}

}  // namespace

bool WriteSampleDrive(FileSystem& fs, const std::string& root) {
  const std::string r = WithTrailingSlash(root);
  return fs.CreateDirectory(WithoutTrailingSlash(r)) && WritePortfolio(fs, r + "Stocks", Stocks()) &&
         WritePortfolio(fs, r + "Stocks/TECH", Tech()) &&
         WritePortfolio(fs, r + "Stocks/TECH/SEMI", Semi()) &&
         WritePortfolio(fs, r + "Futures", Futures()) && WritePortfolio(fs, r + "Indices", Indices());
}

}  // namespace barvane::cli
