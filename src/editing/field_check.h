// The checks of the quote dialogs' fields: number texts as the "%f" scan reads them, date
// fields, and the shared check of Split and Adjust that ends in
// "Invalid Data Entered".
#pragma once

#include <string>
#include <vector>

#include "data/dates.h"

namespace barvane {

inline constexpr const char* kInvalidDataText = "Invalid Data Entered";
// MM/DD/YYYY and YYYY-MM-DD are the longest date texts.
inline constexpr int kDateFieldLimit = 10;

// The number a "%f" scan reads from the start of `text` (blanks skipped), a comma read as the
// decimal point ("1,14" is 1.14). False when the text does not start with a finite number
// (empty, ".", "N/A", letters, "inf"), or when a second separator follows it ("1,140.50",
// "1.000.000"): a comma never separates thousands.
bool ReadFieldNumber(const std::string& text, float* value);

// A date field that names a real day: MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD, no blank, a month
// 01 to 12 and a day that exists in it. `*day` receives its day number.
bool ReadDateField(const std::string& text, DayNumber* day);

// All rules of the Split and Adjust check, every one evaluated: each date field is a real day
// from the first to the last date text, and each multiplier reads as a number above 0.
bool FieldsValid(const std::vector<std::string>& dates, const std::vector<std::string>& multipliers,
                 const std::string& firstDateText, const std::string& lastDateText);

// The prompt for a text longer than its field takes.
std::string TooLongText(int limit);

}  // namespace barvane
