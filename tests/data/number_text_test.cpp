// The texts of file floats: shortest digits that read back, padded to a column's decimals,
// and the reading of such texts straight to the same float.
#include "data/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "app/quote_grid.h"
#include "support/float_cases.h"

namespace barvane {
namespace {

// What each float shows in the grid as a price and as a volume, what the export writes for a
// price and for a volume, and that each of these texts reads back as the very same float.
TEST(FloatText, ShowsEveryDigitItsFloatNeedsAndNoneItLacks) {
  for (const test::FloatCase& c : test::kFloatCases) {
    EXPECT_EQ(PriceText(c.value), c.price) << c.price;
    EXPECT_EQ(CountText(c.value), c.count) << c.price;
    EXPECT_EQ(FloatText(c.value, 2), c.volume) << c.price;
    for (const char* text : {c.price, c.count, c.volume}) {
      float back = 1;
      ASSERT_EQ(ReadFloatText(text, &back), std::errc()) << text;
      EXPECT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(c.value)) << text;
    }
  }
}

TEST(FloatText, ReadingRoundsOnceAndRefusesWhatIsNoFloat) {
  float value = 7;
  // Halfway between two floats by a hair: rounding through double would take the wrong one.
  ASSERT_EQ(ReadFloatText("1.00000005960464477550", &value), std::errc());
  EXPECT_EQ(value, 1.00000011920928955078125f);
  for (const char* text : {"", "x", "1.5x", "+1", "1,5", " 1", "1 "}) {
    value = 7;
    EXPECT_EQ(ReadFloatText(text, &value), std::errc::invalid_argument) << text;
    EXPECT_EQ(value, 7) << text;
  }
  for (const char* text : {"1e39", "-1e39", "1e-50"}) {
    EXPECT_EQ(ReadFloatText(text, &value), std::errc::result_out_of_range) << text;
    EXPECT_EQ(value, 7) << text;
  }
}

}  // namespace
}  // namespace barvane
