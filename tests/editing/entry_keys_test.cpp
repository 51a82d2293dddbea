// The entry fields' key filters: what a number field lets through, typed or pasted, and how
// typed digits and pasted dates go into the date mask.
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

TEST(NumberField, TakesDigitsPointAndControlKeysAndACommaAsThePoint) {
  for (char c : {'\b', '\x03', '\x16', '\x1f', '.', '0', '5', '9'}) EXPECT_EQ(NumberFieldChar(c), c) << int(c);
  EXPECT_EQ(NumberFieldChar(','), '.');
  EXPECT_EQ(NumberFieldChar(',', true), '.');
  for (char c : {'-', '+', 'e', 'N', ' ', '/', '\x7f', '\xe9'}) EXPECT_EQ(NumberFieldChar(c), '\0') << int(c);
  // A quote's values take a minus sign too, and nothing else more.
  EXPECT_EQ(NumberFieldChar('-', true), '-');
  for (char c : {'+', 'e', ' '}) EXPECT_EQ(NumberFieldChar(c, true), '\0') << int(c);
}

TEST(NumberField, APasteIsTakenWholeWithItsCommaAsThePointOrNotAtAll) {
  const std::pair<const char*, const char*> taken[] = {
      {"1,14", "1.14"}, {" 4669.1\r\n", "4669.1"}, {"\t-37,63 ", "-37.63"}, {"8020000000", "8020000000"}, {"", ""}};
  for (const auto& [text, want] : taken) {
    std::string pasted = "kept";
    EXPECT_TRUE(NumberFieldPaste(text, true, &pasted)) << text;
    EXPECT_EQ(pasted, want) << text;
  }
  for (const char* text : {"1,140.50", "1.000.000", "1,000,000", "1 000", "N/A", "1e5", "12abc", "1\n2"}) {
    std::string pasted = "kept";
    EXPECT_FALSE(NumberFieldPaste(text, true, &pasted)) << text;
    EXPECT_EQ(pasted, "kept") << text;
  }
  std::string pasted;
  EXPECT_FALSE(NumberFieldPaste("-1", false, &pasted));
}

// A digit at a listed selection writes its character; elsewhere it selects the part under the
// caret, and the next digit then writes there.
TEST(DateMask, ADigitWritesAtAListedSelectionOrSelectsThePartUnderTheCaret) {
  struct Row {
    FieldSelection before;
    int position;  // written at; -1: refused
    FieldSelection after;
  };
  const Row rows[] = {{{0, 0}, 0, {1, 2}}, {{0, 1}, 0, {1, 2}}, {{0, 2}, 0, {1, 2}}, {{0, 8}, 0, {1, 2}},
                      {{1, 2}, 1, {3, 5}}, {{3, 5}, 3, {4, 5}}, {{4, 4}, 3, {4, 5}}, {{4, 5}, 4, {6, 8}},
                      {{6, 8}, 6, {7, 8}}, {{6, 7}, 6, {7, 8}}, {{7, 8}, 7, {0, 2}},
                      {{2, 2}, -1, {0, 2}}, {{1, 1}, -1, {0, 2}}, {{1, 3}, -1, {0, 2}}, {{3, 3}, -1, {0, 2}},
                      {{4, 8}, -1, {3, 5}}, {{5, 5}, -1, {0, 2}}, {{7, 7}, -1, {6, 8}}, {{8, 8}, -1, {0, 2}},
                      {{3, 8}, -1, {0, 2}}};
  for (const Row& row : rows) {
    DateMask mask;
    mask.Seed("06/15/98");
    FieldSelection sel = row.before;
    const char digit = row.position < 0 ? '1' : '3';
    EXPECT_EQ(mask.OnChar(digit, &sel), row.position < 0 ? DateKey::kRefused : DateKey::kWritten) << row.before;
    std::string want = "06/15/98";
    if (row.position >= 0) want[static_cast<std::size_t>(row.position)] = digit;
    EXPECT_EQ(mask.text(), want) << row.before;
    EXPECT_EQ(sel, row.after) << row.before;
  }
  DateMask mask;
  mask.Seed("06/15/98");
  FieldSelection sel{2, 2};
  ASSERT_EQ(mask.OnChar('1', &sel), DateKey::kRefused);
  EXPECT_EQ(mask.OnChar('1', &sel), DateKey::kWritten);
  EXPECT_EQ(mask.text(), "16/15/98");
  // Tab is passed on and every other key dropped.
  for (char c : {'/', '\b', ' ', 'a', '-', '\x7f', '\x16', '\xb5'}) {
    sel = {0, 2};
    EXPECT_EQ(mask.OnChar(c, &sel), DateKey::kDropped) << int(c);
    EXPECT_EQ(sel, (FieldSelection{0, 2}));
  }
  sel = {3, 5};
  EXPECT_EQ(mask.OnChar('\t', &sel), DateKey::kPassedOn);
  EXPECT_EQ(mask.text(), "16/15/98");
}

TEST(DateMask, APastedDateFillsTheMaskInItsOwnLayout) {
  struct Row {
    const char* seed;
    const char* pasted;
    const char* want;  // the mask's text afterwards
    const char* refusal;
  };
  const char* longForms = "Paste a date as MM/DD/YYYY or YYYY-MM-DD.";
  const char* shortForms = "Paste a date from 1961 to 2060 as MM/DD/YY, MM/DD/YYYY or YYYY-MM-DD.";
  const Row rows[] = {
      {"06/15/1928", "1929-11-10", "11/10/1929", ""},
      {"06/15/1928", " 11/10/1929\r\n", "11/10/1929", ""},
      {"06/15/1928", "11/10/29",  "06/15/1928",
       "Type the year in full, as 11/10/1929 or 11/10/2029: this series shows four-digit years."},
      {"06/15/1928", "02/30/1929", "06/15/1928", longForms},
      {"06/15/1928", "1929", "06/15/1928", longForms},
      {"06/15/98", "2013-11-15", "11/15/13", ""},
      {"06/15/98", "11/15/2013", "11/15/13", ""},
      {"06/15/98", "11/15/13", "11/15/13", ""},
      {"06/15/98", "12/31/2060", "12/31/60", ""},
      {"06/15/98", "01/01/2061", "06/15/98", shortForms},  // it would read back as 1961
      {"06/15/98", "1960-12-31", "06/15/98", shortForms},
      {"06/15/98", "15.11.2013", "06/15/98", shortForms},
  };
  for (const Row& row : rows) {
    DateMask mask;
    mask.Seed(row.seed);
    EXPECT_EQ(mask.Paste(row.pasted), row.refusal) << row.pasted;
    EXPECT_EQ(mask.text(), row.want) << row.pasted;
  }
}

}  // namespace
}  // namespace barvane
