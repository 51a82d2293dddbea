// SplitSearch: the search of a whole portfolio for pairs of consecutive quotes whose closes
// jump by a split-like ratio (2 for 1, 3 for 2, 1 for 4, ...) with a matching gap between the
// two days' ranges. It only reports: each candidate becomes one line of a result list that
// lives as long as the search window and can be saved to a text file.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/view_state.h"
#include "data/dates.h"
#include "data/quote_series.h"

namespace barvane {

inline constexpr const char* kSplitSearchTitle = "Split Search";
inline constexpr std::int32_t kSplitSearchWindow = 400;
inline constexpr const char* kSplitSearchNoBufferText = "Too many bars";
inline constexpr const char* kSplitSearchReadErrorText = "Error in SplitSearch bars read";
inline constexpr const char* kNoCandidatesText = "No candidate splits found";
inline constexpr const char* kDoneSearchText = "Done search";

// The part of a quote the candidate test looks at.
struct SplitQuote {
  DayNumber day = 0;
  float high = 0, low = 0, close = 0;
};

struct SplitRatio {
  int p = 0;  // p for q
  int q = 0;
};

// The ratios the search tries, in its order.
inline constexpr std::array<SplitRatio, 8> kSplitRatios = {
    {{1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {4, 1}}};

// Whether the pair earlier -> later looks like a split, and which: closes both non-zero, their
// ratio strictly inside 0.9 to 1.1 times one of the eight ratios, and the gap between the
// days' ranges on the side of the move strictly above 0.8 times the price difference. The
// ratio, difference, threshold and gap are single-precision values; the band limits double.
bool IsSplitCandidate(const SplitQuote& earlier, const SplitQuote& later, SplitRatio* ratio);

// "XYZ possible 2 for 1 split on 06/15/98", or on 06/15/1998 with `fourDigitYears`.
std::string SplitCandidateLine(const std::string& symbol, SplitRatio ratio, DayNumber day,
                               bool fourDigitYears = false);

class SplitSearch {
 public:
  // Searches every symbol of the view's symbol grid, in grid order, in m_portfolioDir, each
  // series read in windows of 400 quotes sharing one quote, so that each consecutive pair is
  // tested once. Appends a line per candidate (earlier lines stay). A symbol with fewer than
  // two quotes, or whose count cannot be read, is told to the user and passed over. Returns
  // true when the search ran to its end ("Done search", the beep, and "No candidate splits
  // found" when this search found none); false, after telling the user, when no working series
  // could be had or a window could not be read (the lines found so far stay).
  bool Search(ViewState& view);

  // Writes every line, each ended by CR LF, to `path`, replacing what it held. On failure
  // tells the user and returns false; the list is unchanged either way.
  bool SaveResults(FileSystem& fs, Ui& ui, const std::string& path) const;

  const std::vector<std::string>& lines() const { return lines_; }
  // The status text: the symbol just searched, "Done search", or empty before a search.
  const std::string& status() const { return status_; }
  // Whether "Save As..." is enabled: once any line has been found, from then on.
  bool canSave() const { return canSave_; }

 private:
  // Tests the pairs of one series; false when a window could not be read.
  bool SearchSymbol(FileSystem& fs, ViewState& view, MasterRecordFinder& records,
                    QuoteSeries& series, QuoteSeries& day, const std::string& symbol, bool* found);

  std::vector<std::string> lines_;
  std::string status_;
  bool canSave_ = false;
};

}  // namespace barvane
