// Split candidates: parsing, pricing, filtering, ordering and opening.
#include "tools/split_candidates.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "data/printed.h"
#include "data/quote_series.h"

namespace barvane {
namespace {

int RatioPlace(SplitRatio ratio) {
  for (std::size_t i = 0; i < kSplitRatios.size(); ++i) {
    if (kSplitRatios[i].p == ratio.p && kSplitRatios[i].q == ratio.q) return static_cast<int>(i);
  }
  return -1;
}

// Reads every quote of `symbol`; false when its files cannot be read.
bool ReadWholeSeries(FileSystem& fs, const std::string& dir, const std::string& symbol,
                     QuoteSeries* series) {
  if (LoadSeries(fs, series, dir, symbol, 0, 0) != kSuccess) return false;
  const std::int32_t n = std::min(series->quotesInFile, series->quotesPresent);
  if (n < 2 || AllocSeries(series, n) != kSuccess) return false;
  return LoadSeries(fs, series, dir, symbol, 0, n) == kSuccess;
}

}  // namespace

bool ParseSplitCandidateLine(const std::string& line, SplitCandidate* candidate) {
  const std::string marker = " possible ";
  const std::size_t at = line.rfind(marker);
  if (at == std::string::npos || at == 0) return false;
  const std::string rest = line.substr(at + marker.size());
  int p = 0, q = 0, dateAt = 0;
  if (std::sscanf(rest.c_str(), "%d for %d split on %n", &p, &q, &dateAt) != 2 || dateAt == 0 ||
      RatioPlace({p, q}) < 0) {
    return false;
  }
  const std::string dateText = rest.substr(static_cast<std::size_t>(dateAt));
  // Only the exact text the search writes: the numbers unpadded, the date MM/DD/YY or
  // MM/DD/YYYY.
  const std::string written = std::to_string(p) + " for " + std::to_string(q) + " split on ";
  if (rest != written + dateText || (dateText.size() != 8 && dateText.size() != 10)) return false;
  for (std::size_t i = 0; i < dateText.size(); ++i) {
    const bool slash = i == 2 || i == 5;
    if (slash ? dateText[i] != '/' : !std::isdigit(static_cast<unsigned char>(dateText[i]))) return false;
  }
  const DayNumber day = ReadDateText(dateText);
  if (day == kNoDate) return false;
  *candidate = SplitCandidate{{}, line.substr(0, at), {p, q}, dateText, day};
  return true;
}

void ReadCandidatePrices(FileSystem& fs, std::vector<SplitCandidate>* candidates) {
  std::map<std::pair<std::string, std::string>, std::vector<SplitCandidate*>> unpriced;
  for (SplitCandidate& c : *candidates) {
    if (c.closeAfter < 0) unpriced[{c.dir, c.symbol}].push_back(&c);
  }
  QuoteSeries series;
  for (auto& [key, waiting] : unpriced) {
    if (!ReadWholeSeries(fs, key.first, key.second, &series)) continue;
    for (std::uint32_t i = 1; i < series.count && !waiting.empty(); ++i) {
      const SplitQuote earlier{series.date(i - 1), series.value(kHigh, i - 1),
                               series.value(kLow, i - 1), series.value(kClose, i - 1)};
      const SplitQuote later{series.date(i), series.value(kHigh, i), series.value(kLow, i),
                             series.value(kClose, i)};
      SplitRatio ratio;
      if (!IsSplitCandidate(earlier, later, &ratio)) continue;
      // A search run twice lists the pair twice: each copy takes the same closes.
      for (auto it = waiting.begin(); it != waiting.end();) {
        SplitCandidate& c = **it;
        if (c.day == later.day && c.ratio.p == ratio.p && c.ratio.q == ratio.q) {
          c.day = later.day;
          c.closeBefore = earlier.close;
          c.closeAfter = later.close;
          it = waiting.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
  FreeSeries(&series);
}

bool ShowsCandidate(const SplitCandidateFilter& filter, const SplitCandidate& candidate) {
  const int place = RatioPlace(candidate.ratio);
  if (place < 0 || !filter.ratios[static_cast<std::size_t>(place)]) return false;
  if (candidate.closeAfter < 0) return true;
  return std::max(candidate.closeBefore, candidate.closeAfter) >= filter.minimumPrice;
}

std::vector<std::size_t> ShownCandidates(const std::vector<SplitCandidate>& candidates,
                                         const SplitCandidateFilter& filter,
                                         CandidateOrder order) {
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (ShowsCandidate(filter, candidates[i])) shown.push_back(i);
  }
  const auto bySymbol = [&candidates](std::size_t a, std::size_t b) {
    const SplitCandidate& x = candidates[a];
    const SplitCandidate& y = candidates[b];
    return x.symbol != y.symbol ? x.symbol < y.symbol : x.day < y.day;
  };
  const auto byDay = [&candidates](std::size_t a, std::size_t b) {
    const SplitCandidate& x = candidates[a];
    const SplitCandidate& y = candidates[b];
    return x.day != y.day ? x.day < y.day : x.symbol < y.symbol;
  };
  if (order == CandidateOrder::kSymbol) std::stable_sort(shown.begin(), shown.end(), bySymbol);
  if (order == CandidateOrder::kDate) std::stable_sort(shown.begin(), shown.end(), byDay);
  return shown;
}

bool OpenSplitCandidate(ViewState& view, const SplitCandidate& candidate) {
  Ui& ui = view.ui();
  const std::string& dir = candidate.dir;
  if (view.m_portfolioDir != dir) {
    const auto listed = std::find(view.m_portfolios.begin(), view.m_portfolios.end(), dir);
    if (listed == view.m_portfolios.end()) {
      ui.ShowMessage(Printed(kCandidatePortfolioGoneText, dir, ""));
      return false;
    }
    view.SelectPortfolio(static_cast<int>(listed - view.m_portfolios.begin()));
  }
  const auto symbolRow =
      std::find_if(view.m_symbolRows.begin(), view.m_symbolRows.end(),
                   [&candidate](const SymbolRow& row) { return row.symbol == candidate.symbol; });
  if (symbolRow == view.m_symbolRows.end()) {
    ui.ShowMessage(Printed(kCandidateSymbolGoneText, candidate.symbol, dir));
    return false;
  }
  const int row = static_cast<int>(symbolRow - view.m_symbolRows.begin());
  if (row != view.m_selSymbolRow || view.m_seriesSymbol != candidate.symbol ||
      view.m_quotes.rows.empty()) {
    view.SelectSymbolRow(row);
    view.FillQuotesGrid(0);
  }
  const int quoteRow = view.QuoteRowOf(candidate.dateText);
  if (quoteRow < 0) {
    ui.ShowMessage(Printed(kCandidateDayGoneText, candidate.symbol, candidate.dateText));
    return false;
  }
  view.SelectQuoteRow(quoteRow);
  return true;
}

std::vector<CandidateMark> CandidateMarks(const ViewState& view,
                                          const std::vector<SplitCandidate>& candidates,
                                          const std::vector<std::size_t>& shown) {
  std::vector<CandidateMark> marks;
  const auto ofSeries = [&view](const SplitCandidate& c) {
    return c.dir == view.m_portfolioDir && c.symbol == view.m_seriesSymbol;
  };
  std::map<DayNumber, int> rowOfDay;  // the days wanted, then their first rows
  for (std::size_t i : shown) {
    if (ofSeries(candidates[i])) rowOfDay[candidates[i].day] = -1;
  }
  // One pass over the grid, however many candidates a long series has.
  std::size_t left = rowOfDay.size();
  for (std::size_t r = 0; r < view.m_quotes.rows.size() && left > 0; ++r) {
    const auto wanted = rowOfDay.find(view.m_quotes.rows[r].day);
    if (wanted == rowOfDay.end() || wanted->second >= 0) continue;
    wanted->second = static_cast<int>(r);
    --left;
  }
  for (std::size_t i : shown) {
    const SplitCandidate& c = candidates[i];
    if (!ofSeries(c)) continue;
    const int row = rowOfDay[c.day];
    if (row >= 0) {
      marks.push_back({row, std::to_string(c.ratio.p) + " for " + std::to_string(c.ratio.q)});
    }
  }
  return marks;
}

}  // namespace barvane
