// The check's report per symbol and kind of problem: every quote of a series with one kind of
// problem (a negative price, a zero price, ...) told in one line with the count and the first and
// last quote ("negative prices on 512 quotes, 01/02/98 to 03/05/99"), so that a back-adjusted
// series, negative for years, reads in one line. The line keeps its quotes' own problems, so that
// it opens to them. A problem that stands alone keeps its line.
#pragma once

#include <string>
#include <vector>

#include "data/dates.h"
#include "tools/series_check.h"

namespace barvane {

// The kind of problem a check text tells, as the report names it ("negative prices", "repeated
// days", ...), or "" for a problem of no kind that gathers (the files, the index).
std::string ProblemKind(const std::string& text);

// The problems of one series, as CheckSeries found them, with each kind of problem found on two
// or more quotes (in date and time order, a quote counted once however many of its values have
// it) given as one problem: of its first quote, in the place of its first problem, its text the
// kind, the number of quotes and the first and last quote's day (and time), its `bars` the
// problems it stands for. It is mendable when each of its problems is. Other problems stay as
// they were.
std::vector<SeriesProblem> GroupByKind(const SeriesVerdict& verdict);

}  // namespace barvane
