// The field checks of the quote dialogs: number texts as "%f" reads them (a comma as the
// point), date fields that must name a real day, and the Split and Adjust check over both.
#include "editing/field_check.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

TEST(FieldCheck, NumbersReadAsTheScanReadsThemAndOthersAreRefusedWithTheStandardTexts) {
  // A comma is the decimal point, never a thousands separator.
  for (const auto& [text, want] : {std::pair{"1.5", 1.5f}, {" 2", 2.0f}, {"0.00", 0.0f}, {"7abc", 7.0f},
                                   {"1,14", 1.14f}, {"-37,63", -37.63f}, {"1,000", 1.0f}}) {
    float value = -1;
    EXPECT_TRUE(ReadFieldNumber(text, &value)) << text;
    EXPECT_EQ(value, want) << text;
  }
  for (const char* text : {"", " ", ".", "N/A", "abc", "inf", "nan", "-inf", "1e99", "1,140.50", "1.000.000",
                           "1,000,000", "1.5."}) {
    float value = 42;
    EXPECT_FALSE(ReadFieldNumber(text, &value)) << text;
    EXPECT_EQ(value, 42) << text;  // never an undefined value
  }
  EXPECT_EQ(TooLongText(10), "Please enter no more than 10 characters.");
}

TEST(FieldCheck, DateFieldsMustNameARealDay) {
  DayNumber day = 0;
  for (const auto& [text, want] : {std::pair{"02/29/00", YmdToDay(2000, 2, 29)}, {"12/31/99", YmdToDay(1999, 12, 31)},
                                   {"06/15/1928", YmdToDay(1928, 6, 15)}, {"1928-06-15", YmdToDay(1928, 6, 15)}}) {
    EXPECT_TRUE(ReadDateField(text, &day)) << text;
    EXPECT_EQ(day, want) << text;
  }
  for (const char* text : {"", "        ", "6/15/98", "06/15/998", "06/15/9 ", " 6/15/98", "00/15/98",
                           "13/15/98", "02/30/99", "02/29/99", "06/31/98", "06/00/98", "00/00/00",
                           "06-15-98"}) {
    day = 7;
    EXPECT_FALSE(ReadDateField(text, &day)) << '"' << text << '"';
    EXPECT_EQ(day, 7) << text;
  }
}

TEST(FieldCheck, SplitAndAdjustCheckTheRangeAndEveryMultiplier) {
  const std::string first = "06/15/98", last = "07/15/98";
  auto valid = [&](std::vector<std::string> dates, std::vector<std::string> multipliers) {
    return FieldsValid(dates, multipliers, first, last);
  };
  EXPECT_TRUE(valid({"06/15/98", "07/15/98"}, {"1", "0.5", "2"}));
  EXPECT_TRUE(valid({"07/15/98", "06/15/98"}, {"1"}));  // From after To passes
  EXPECT_FALSE(valid({"06/14/98"}, {"1"}));  // a day before the first
  EXPECT_FALSE(valid({"07/16/98"}, {"1"}));  // a day after the last
  EXPECT_FALSE(valid({"06/15/98", "07/16/98"}, {"1"}));
  EXPECT_FALSE(valid({"13/01/98"}, {"1"}));
  for (const char* bad : {"0", "0.00", "-2", "", ".", "abc"}) {
    EXPECT_FALSE(valid({"06/20/98"}, {"1", bad, "1"})) << bad;
  }
  // A failing rule is not undone by a later one that holds.
  EXPECT_FALSE(valid({"06/14/98", "06/20/98"}, {"1", "2"}));
  EXPECT_FALSE(valid({"06/20/98"}, {"0", "2"}));
}

}  // namespace
}  // namespace barvane
