// The split search's result lines as candidates the window can act on: a line taken apart
// again (symbol, ratio, day), the closes around the jump read back from the quote files, which
// lines to show and in what order, and the opening of a candidate's symbol on its day.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "app/view_state.h"
#include "data/dates.h"
#include "tools/split_search.h"

namespace barvane {

inline constexpr const char* kCandidatePortfolioGoneText = "Portfolio %s is not in the portfolio list";
inline constexpr const char* kCandidateSymbolGoneText = "Symbol %s is not in the portfolio\n%s";
inline constexpr const char* kCandidateDayGoneText = "%s has no quote dated %s";

struct SplitCandidate {
  std::string dir;  // the portfolio searched: not in the line, set by whoever keeps it
  std::string symbol;
  SplitRatio ratio;
  std::string dateText;  // MM/DD/YY (or MM/DD/YYYY) of the later quote of the pair, as the line gives it
  DayNumber day = kNoDate;  // that day
  // The closes of the pair, -1 until read back from the files.
  float closeBefore = -1, closeAfter = -1;
};

// "XYZ possible 2 for 1 split on 06/15/98" taken apart (`dir` left empty); false for any
// other text.
bool ParseSplitCandidateLine(const std::string& line, SplitCandidate* candidate);

// Reads the closes of every candidate not yet priced from the quote files of its portfolio:
// those of the consecutive quotes, the later one on the candidate's day, that the search's
// test finds with the candidate's ratio. A candidate whose files cannot be read, or whose pair
// is gone (the data changed since), stays unpriced. Reads only, each symbol once.
void ReadCandidatePrices(FileSystem& fs, std::vector<SplitCandidate>* candidates);

struct SplitCandidateFilter {
  // Shown ratios, by their place in kSplitRatios.
  std::array<bool, kSplitRatios.size()> ratios = {true, true, true, true, true, true, true, true};
  // Hides a priced candidate whose closes both lie below this price.
  float minimumPrice = 0;
};

bool ShowsCandidate(const SplitCandidateFilter& filter, const SplitCandidate& candidate);

enum class CandidateOrder { kFound, kSymbol, kDate };

// The indexes of the candidates the filter shows, in `order`: by symbol then day, or by day
// then symbol; candidates equal in that order keep the order found.
std::vector<std::size_t> ShownCandidates(const std::vector<SplitCandidate>& candidates,
                                         const SplitCandidateFilter& filter,
                                         CandidateOrder order);

// Makes the candidate's symbol the current series of `view`, in the candidate's portfolio
// (selected again when another one is current), with the quote of its day the
// current row. A series already shown is not read again. When the portfolio, the symbol or the
// day is not there any more, tells the user and returns false.
bool OpenSplitCandidate(ViewState& view, const SplitCandidate& candidate);

struct CandidateMark {
  int row = 0;  // of the quote grid
  std::string label;  // "2 for 1"
};

// The quote grid rows of the shown candidates of the series `view` shows.
std::vector<CandidateMark> CandidateMarks(const ViewState& view,
                                          const std::vector<SplitCandidate>& candidates,
                                          const std::vector<std::size_t>& shown);

}  // namespace barvane
