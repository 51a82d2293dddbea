// Fuzz target: the date and number texts users type and files hold: every date layout, the
// entry fields' number and date checks, and the writing of any day read.
#include <string>

#include "data/dates.h"
#include "editing/field_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  for (int layout = 0; layout <= 13; ++layout) {
    const DayNumber day = ParseDate(text, layout);
    (void)FormatDate(day, layout, '/');
    (void)DayToYmd(day);
    (void)Weekday(day);
  }
  float value = 0;
  (void)ReadFieldNumber(text, &value);
  DayNumber day = 0;
  if (ReadDateField(text, &day)) (void)ScreenDate(day);
  return 0;
}
