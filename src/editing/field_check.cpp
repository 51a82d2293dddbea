// Field checks of the quote dialogs.
#include "editing/field_check.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace barvane {

bool ReadFieldNumber(const std::string& text, float* value) {
  std::string read = text;
  std::replace(read.begin(), read.end(), ',', '.');
  const char* start = read.c_str();
  char* end = nullptr;
  const float v = std::strtof(start, &end);
  if (end == start || !std::isfinite(v) || *end == '.') return false;
  *value = v;
  return true;
}

bool ReadDateField(const std::string& text, DayNumber* day) {
  const DayNumber d = ReadDateText(text);
  if (d == kNoDate) return false;
  *day = d;
  return true;
}

bool FieldsValid(const std::vector<std::string>& dates, const std::vector<std::string>& multipliers,
                 const std::string& firstDateText, const std::string& lastDateText) {
  const DayNumber first = ReadDateText(firstDateText);
  const DayNumber last = ReadDateText(lastDateText);
  bool valid = true;
  for (const std::string& text : dates) {
    DayNumber day = 0;
    valid = ReadDateField(text, &day) && day >= first && day <= last && valid;
  }
  for (const std::string& text : multipliers) {
    float value = 0;
    // A negative ratio would turn every price negative, which reads back as no price at all.
    valid = ReadFieldNumber(text, &value) && value > 0 && valid;
  }
  return valid;
}

std::string TooLongText(int limit) {
  return "Please enter no more than " + std::to_string(limit) + " characters.";
}

}  // namespace barvane
