// ColumnTitles: the titles that quote downloads give their columns, in the languages and
// formats people download from, and the field each names. The words are data: a table file
// built into the program, so that a new title is one line there.
#pragma once

#include <string>
#include <string_view>

namespace barvane {

enum class TitledField {
  kNone, kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest, kAdjustedClose,
  kTicker, kName, kPeriod,
  kShares,  // a count of shares or contracts traded, where another column may count money
  kTicks     // a count of the ticks of a bar, where the volume may be 0 throughout
};

// The field `title` names; kNone for a title the table lacks.
TitledField FieldTitled(std::string_view title);

// `title` as titles are compared: letter case (Latin, Greek-free Latin-1 and Cyrillic) and the
// blanks and marks < > . _ - / % ( ) # * left out.
std::string TitleKey(std::string_view title);

// The table's text, built in from column_titles.txt.
std::string_view ColumnTitleTable();

}  // namespace barvane
