// The rule for a date typed against one series: a series that shows four-digit years takes its
// dates only with four, since a two-digit year there may name either of two centuries (in a
// series from 1928 to 2024, "11/10/29" is as likely 1929 as 2029). Every face of the program
// reads typed dates through this rule, so that each refuses with the same words.
#pragma once

#include <string>
#include <string_view>

#include "data/dates.h"

namespace barvane {

// Why `text` (a date, or a date and a time, as ReadMomentText takes it) is refused for a series
// shown in `style`, or empty. A date MM/DD/YY on a series with four-digit years gives
// "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years."
// Any other text, and one whose month and day name no day, gives empty: whether it names a
// day is for the caller to tell.
std::string ShortYearRefusal(std::string_view text, DateStyle style);

}  // namespace barvane
