// Runs in the check's report: consecutive quotes of one symbol with the same kind of problem
// told in one line ("negative prices on 2,312 quotes to 06/30/95"), so that a back-adjusted
// series, negative for years, reads in a minute. A problem that stands alone keeps its line.
#pragma once

#include <string>
#include <vector>

#include "data/dates.h"
#include "tools/series_check.h"

namespace barvane {

// The problems of one series, as CheckSeries found them, with each run of two or more
// consecutive quotes (in date and time order among all the series' quotes) that have one kind
// of problem (a negative price, a zero price, a high below the low, an open or close above the
// high or below the low, out of date order) given as one problem: of the run's first quote, in
// the place of its first problem, its text the kind, the number of quotes and the last quote's
// day (and time). A run is mendable when each of its problems is. Other problems stay as they
// were.
std::vector<SeriesProblem> GroupRuns(const SeriesVerdict& verdict);

}  // namespace barvane
