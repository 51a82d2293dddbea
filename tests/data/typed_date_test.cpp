// The two-digit year rule: which typed texts a series of four-digit years refuses, and the
// words that show the four-digit forms.
#include "data/typed_date.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

TEST(TypedDate, OnlyATwoDigitYearOfARealDayIsRefusedAndOnlyWhereYearsShowFourDigits) {
  const DateStyle fourDigits{true, false}, twoDigits{false, true};
  const std::pair<const char*, const char*> refused[] = {
      {"11/10/29", "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years."},
      {"11/10/29 09:30", "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years."},
      {"01/02/75T09:30:00", "Type the year in full, as 01/02/1975 or 01/02/2075: this series shows four-digit years."},
      {"02/29/00", "Type the year in full, as 02/29/2000: this series shows four-digit years."},
  };
  for (const auto& [text, want] : refused) {
    EXPECT_EQ(ShortYearRefusal(text, fourDigits), want) << text;
    EXPECT_EQ(ShortYearRefusal(text, twoDigits), "") << text;
  }
  // Four digits, texts that are no date (the caller's own refusal), and days that do not exist.
  for (const char* text : {"11/10/1929", "1929-11-10", "11/10/1929 09:30", "", "11/10/2", "11/10/299", "11-10-29",
                           "13/10/29", "02/30/29", "11/10/29x", "1/10/29", " 11/10/29"}) {
    EXPECT_EQ(ShortYearRefusal(text, fourDigits), "") << text;
  }
}

}  // namespace
}  // namespace barvane
