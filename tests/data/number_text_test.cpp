// The texts of file floats: shortest digits that read back, padded to a column's decimals,
// and the reading of such texts straight to the same float.
#include "data/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "app/quote_grid.h"
#include "support/float_cases.h"
#include "support/float_text_reference.h"

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

// The short cut through fixed decimals against the slow second opinion: typed prices of two
// and four decimals, and floats spread over every binade below 2^25, signs both ways.
TEST(FloatText, AgreesWithTheSlowWayForTypedPricesAndSpreadFloats) {
  std::vector<float> values;
  for (int cents = 1; cents < 2000000; cents += 197) values.push_back(static_cast<float>(cents / 100.0));
  for (int units = 1; units < 100000000; units += 19991) values.push_back(static_cast<float>(units / 10000.0));
  for (std::uint32_t bits = 0x00000001; bits < 0x4C000000; bits += 0xDEBB) values.push_back(std::bit_cast<float>(bits));
  for (float v : values) {
    for (float signed_ : {v, -v}) {
      for (int decimals : {0, 2, 4}) {
        ASSERT_EQ(FloatText(signed_, decimals), test::ReferenceFloatText(signed_, decimals)) << decimals;
      }
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
