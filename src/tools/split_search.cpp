// The split search over a portfolio.
#include "tools/split_search.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>

#include "data/listing_cache_fs.h"
#include "data/printed.h"
#include "data/quote_series.h"

namespace barvane {
namespace {

// The quantities the candidate test looks at; the search converts no others, and the date only
// of the quotes it names in a line.
constexpr unsigned kTestedQuantities = 1u << kHigh | 1u << kLow | 1u << kClose;

// The tested columns of a window, held apart from the series so that the calls between two
// quotes cannot be thought to change where they lie.
struct TestedColumns {
  SeriesColumn high, low, close;
  explicit TestedColumns(const QuoteSeries& series)
      : high(series.columns[kHigh]), low(series.columns[kLow]), close(series.columns[kClose]) {}
  SplitQuote At(std::uint32_t i) const {
    return {kNoDate, std::bit_cast<float>(high.word(i)), std::bit_cast<float>(low.word(i)),
            std::bit_cast<float>(close.word(i))};
  }
};

// IsSplitCandidate, where the search's loop over every pair can have it inline.
inline bool IsCandidate(const SplitQuote& earlier, const SplitQuote& later, SplitRatio* ratio) {
  const float c0 = earlier.close;
  const float c1 = later.close;
  if (c0 == 0.0f || c1 == 0.0f) return false;
  const float r = c0 / c1;
  // Every band lies outside 0.74 to 1.34, where nearly every pair of days falls.
  if (static_cast<double>(r) >= 0.74 && static_cast<double>(r) <= 1.34) return false;
  const float difference = std::fabs(c0 - c1);
  const float threshold = difference * 0.8f;
  const float gap = c0 > c1 ? std::fabs(earlier.low - later.high) : std::fabs(earlier.high - later.low);
  for (const SplitRatio& candidate : kSplitRatios) {
    const double centre = static_cast<double>(candidate.p) / candidate.q;
    const double value = r;
    if (value > centre * 0.9 && value < centre * 1.1) {
      if (!(gap > threshold)) return false;
      *ratio = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsSplitCandidate(const SplitQuote& earlier, const SplitQuote& later, SplitRatio* ratio) {
  return IsCandidate(earlier, later, ratio);
}

std::string SplitCandidateLine(const std::string& symbol, SplitRatio ratio, DayNumber day,
                               bool fourDigitYears) {
  return symbol + " possible " + std::to_string(ratio.p) + " for " + std::to_string(ratio.q) +
         " split on " + DateText(day, fourDigitYears);
}

bool SplitSearch::SearchSymbol(FileSystem& fs, ViewState& view, MasterRecordFinder& records,
                               QuoteSeries& series, QuoteSeries& day, const std::string& symbol,
                               bool* found) {
  Ui& ui = view.ui();
  SeriesFile file;
  if (file.Open(fs, records, symbol) != kSuccess) {
    ui.ShowMessage(Printed("For symbol %s\nSplitSearch cannot read the number of quotes.", symbol));
    return true;
  }
  // A header that promises more quotes than the file holds would have the windows run past
  // the data.
  const std::int32_t n = std::min(file.quotesInFile(), file.quotesPresent());
  if (n < 2) {
    ui.ShowMessage(Printed(
        "For symbol %s\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.",
        symbol));
    return true;
  }
  // The windows overlap by one quote; holding the file reads each of its bytes once.
  file.HoldWholeFile();
  std::vector<std::pair<SplitRatio, DayNumber>> candidates;
  for (std::int32_t start = 0; start != n - 1;) {
    const std::int32_t m = std::min(n - start, kSplitSearchWindow);
    if (file.Load(&series, start, m, kTestedQuantities) != kSuccess ||
        series.count != static_cast<std::uint32_t>(m)) {
      ui.ShowMessage(kSplitSearchReadErrorText);
      return false;
    }
    const TestedColumns columns(series);
    SplitQuote later = columns.At(0);
    for (std::int32_t k = 0; k + 1 < m; ++k, ++start) {
      const SplitQuote earlier = later;
      later = columns.At(static_cast<std::uint32_t>(k + 1));
      SplitRatio ratio;
      if (!IsCandidate(earlier, later, &ratio)) continue;
      if (file.Load(&day, start + 1, 1, 1u << kDate) != kSuccess || day.count != 1) {
        ui.ShowMessage(kSplitSearchReadErrorText);
        return false;
      }
      candidates.emplace_back(ratio, day.date(0));
    }
  }
  if (candidates.empty()) return true;
  // The lines show the days as the grid shows the series' days, which takes all of them.
  const bool fourDigitYears = SeriesDateStyle(file).fourDigitYears;
  for (const auto& [ratio, when] : candidates) lines_.push_back(SplitCandidateLine(symbol, ratio, when, fourDigitYears));
  canSave_ = true;
  *found = true;
  ui.RepaintNow();
  return true;
}

bool SplitSearch::Search(ViewState& view) {
  Ui& ui = view.ui();
  QuoteSeries series;
  QuoteSeries day;  // the later quote of a candidate pair, for the date of its line
  if (AllocSeries(&series, kSplitSearchWindow) != kSuccess || AllocSeries(&day, 1) != kSuccess) {
    ui.ShowMessage(kSplitSearchNoBufferText);
    return false;
  }
  // Every symbol's lookups list the same directories.
  ListingCacheFs fs(view.fs());
  MasterRecordFinder records(fs, view.m_portfolioDir);
  bool found = false;
  const auto symbols = std::min<std::size_t>(
      static_cast<std::size_t>(std::max(view.m_symbolCount, 0)), view.m_symbolRows.size());
  for (std::size_t i = 0; i < symbols; ++i) {
    const std::string symbol = view.m_symbolRows[i].symbol;
    if (!SearchSymbol(fs, view, records, series, day, symbol, &found)) {
      FreeSeries(&series);
      return false;
    }
    status_ = symbol;
    ui.RepaintNow();
  }
  status_ = kDoneSearchText;
  ui.RepaintNow();
  FreeSeries(&series);
  ui.Beep();
  if (!found) ui.ShowMessage(kNoCandidatesText);
  return true;
}

bool SplitSearch::SaveResults(FileSystem& fs, Ui& ui, const std::string& path) const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  auto file = path.empty() ? nullptr : fs.CreateForWrite(path);
  bool ok = file && file->Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  ok = file && file->Close() && ok;
  if (!ok) ui.ShowMessage("The search results cannot be written to\n" + path, MessageIcon::kStop);
  return ok;
}

}  // namespace barvane
