// The entry fields' key filters: what a number field lets through, and how typed digits move
// through the MM/DD/YY date mask.
#include "editing/entry_keys.h"

#include <gtest/gtest.h>

namespace barvane {

// Found by argument lookup, so beside FieldSelection rather than in the unnamed namespace.
static bool operator==(const FieldSelection& a, const FieldSelection& b) {
  return a.start == b.start && a.end == b.end;
}
static std::ostream& operator<<(std::ostream& out, const FieldSelection& s) {
  return out << '(' << s.start << ", " << s.end << ')';
}

namespace {

TEST(NumberField, TakesDigitsPointAndControlKeysOnly) {
  for (char c : {'\b', '\x03', '\x16', '\x1f', '.', '0', '5', '9'}) EXPECT_TRUE(NumberFieldAccepts(c)) << int(c);
  for (char c : {'-', ',', '+', 'e', 'N', ' ', '/', '\x7f', '\xe9'}) EXPECT_FALSE(NumberFieldAccepts(c)) << int(c);
  // A quote's values take a minus sign too, and nothing else more.
  EXPECT_TRUE(NumberFieldAccepts('-', true));
  for (char c : {',', '+', 'e', ' '}) EXPECT_FALSE(NumberFieldAccepts(c, true)) << int(c);
}

TEST(DateMask, TypingAWholeDateEndsWithTheMonthSelectedAgain) {
  DateMask mask;
  mask.Seed("06/15/98");
  FieldSelection sel{0, 2};
  for (char c : std::string("070499")) EXPECT_EQ(mask.OnChar(c, &sel), DateKey::kWritten);
  EXPECT_EQ(mask.text(), "07/04/99");
  EXPECT_EQ(sel, (FieldSelection{0, 2}));
}

TEST(DateMask, EachListedSelectionWritesItsCharacter) {
  struct Row {
    FieldSelection before;
    int position;
    FieldSelection after;
  };
  const Row rows[] = {{{0, 0}, 0, {1, 2}}, {{0, 1}, 0, {1, 2}}, {{0, 2}, 0, {1, 2}}, {{0, 8}, 0, {1, 2}},
                      {{1, 2}, 1, {3, 5}}, {{3, 5}, 3, {4, 5}}, {{4, 4}, 3, {4, 5}}, {{4, 5}, 4, {6, 8}},
                      {{6, 8}, 6, {7, 8}}, {{6, 7}, 6, {7, 8}}, {{7, 8}, 7, {0, 2}}};
  for (const Row& row : rows) {
    DateMask mask;
    mask.Seed("06/15/98");
    FieldSelection sel = row.before;
    EXPECT_EQ(mask.OnChar('3', &sel), DateKey::kWritten) << row.before;
    std::string want = "06/15/98";
    want[static_cast<std::size_t>(row.position)] = '3';
    EXPECT_EQ(mask.text(), want) << row.before;
    EXPECT_EQ(sel, row.after) << row.before;
  }
}

TEST(DateMask, ADigitAtAnUnlistedPlaceSelectsThePartUnderTheCaret) {
  const std::pair<FieldSelection, FieldSelection> cases[] = {
      {{2, 2}, {0, 2}}, {{1, 1}, {0, 2}}, {{1, 3}, {0, 2}}, {{3, 3}, {0, 2}}, {{4, 8}, {3, 5}},
      {{5, 5}, {0, 2}}, {{7, 7}, {6, 8}}, {{8, 8}, {0, 2}}, {{3, 8}, {0, 2}}};
  for (const auto& [before, after] : cases) {
    DateMask mask;
    mask.Seed("06/15/98");
    FieldSelection sel = before;
    EXPECT_EQ(mask.OnChar('1', &sel), DateKey::kRefused) << before;
    EXPECT_EQ(mask.text(), "06/15/98") << before;
    EXPECT_EQ(sel, after) << before;
  }
  // The next digit then replaces the first month digit.
  DateMask mask;
  mask.Seed("06/15/98");
  FieldSelection sel{2, 2};
  ASSERT_EQ(mask.OnChar('1', &sel), DateKey::kRefused);
  EXPECT_EQ(mask.OnChar('1', &sel), DateKey::kWritten);
  EXPECT_EQ(mask.text(), "16/15/98");
}

TEST(DateMask, TabIsPassedOnAndEveryOtherKeyDropped) {
  DateMask mask;
  mask.Seed("06/15/98");
  for (char c : {'/', '\b', ' ', 'a', '-', '\x7f', '\x16', '\xb5'}) {
    FieldSelection sel{0, 2};
    EXPECT_EQ(mask.OnChar(c, &sel), DateKey::kDropped) << int(c);
    EXPECT_EQ(sel, (FieldSelection{0, 2}));
  }
  FieldSelection sel{3, 5};
  EXPECT_EQ(mask.OnChar('\t', &sel), DateKey::kPassedOn);
  EXPECT_EQ(mask.text(), "06/15/98");
}

}  // namespace
}  // namespace barvane
