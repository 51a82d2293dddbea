// Reading quote text for Import: every export layout, titled columns in any order with each
// date form, and the refusals with their line numbers.
#include "tools/import_text.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

ImportedText Read(const std::string& text) {
  ImportedText quotes;
  std::string error;
  EXPECT_TRUE(ReadImportText(text, &quotes, &error)) << error;
  return quotes;
}

std::string Refusal(const std::string& text) {
  ImportedText quotes;
  std::string error;
  EXPECT_FALSE(ReadImportText(text, &quotes, &error));
  EXPECT_TRUE(quotes.quotes.empty());
  return error;
}

using Values = std::array<float, kImportColumnCount>;

TEST(ImportText, ExportLinesInEveryDelimiterAndOrder) {
  for (const std::string text :
       {"DATE OPEN HIGH LOW CLOSE VOL OI\r\n01/02/98 10.5000 11.0000 10.2500 10.7500 950.00 N/A\r\n"
        "01/05/98 0.0000 12.1250 0.0000 N/A 1000000.00 N/A\r\n",
        "01/05/98,0.0000,12.1250,0.0000,N/A,1000000.00,N/A\n01/02/"
        "98,10.5000,11.0000,10.2500,10.7500,950.00,N/A",
        "01/02/98\t10.5\t11\t10.25\t10.75\t950\tN/A\n\n01/05/98\t0\t12.125\t0\tN/A\t1e6\tN/"
        "A\n\n"}) {
    SCOPED_TRACE(text);
    const ImportedText q = Read(text);
    ASSERT_EQ(q.quotes.size(), 2u);
    EXPECT_EQ(q.quotes[0].day, YmdToDay(98, 1, 2));
    EXPECT_EQ(q.quotes[1].day, YmdToDay(98, 1, 5));
    EXPECT_EQ(q.quotes[0].values, (Values{10.5f, 11, 10.25f, 10.75f, 950, 0}));
    EXPECT_EQ(q.quotes[1].values, (Values{0, 12.125f, 0, 0, 1e6f, 0}));
    EXPECT_EQ(q.columns, (std::array<bool, 6>{true, true, true, true, true, false}));
  }
}

TEST(ImportText, OmittedColumnsAreKnownFromTheTitleOrTheCount) {
  ImportedText q = Read("DATE,HIGH,LOW,CLOSE,OI\r\n06/16/98,10.7500,9.7500,10.2500,51.00\r\n");
  EXPECT_EQ(q.quotes[0].values, (Values{0, 10.75f, 9.75f, 10.25f, 0, 51}));
  EXPECT_EQ(q.columns, (std::array<bool, 6>{false, true, true, true, false, true}));
  q = Read("DATE\r\n06/16/98\r\n");
  EXPECT_EQ(q.columns, (std::array<bool, 6>{}));
  EXPECT_EQ(Read("06/16/98 3.5\n").columns,
            (std::array<bool, 6>{false, false, false, true, false, false}));
  EXPECT_EQ(Read("06/16/98 1 2 0.5 1.5\n").columns,
            (std::array<bool, 6>{true, true, true, true, false, false}));
  EXPECT_EQ(Read("06/16/98 1 2 0.5 1.5 7\n").columns,
            (std::array<bool, 6>{true, true, true, true, true, false}));
}

TEST(ImportText, NamedColumnsInAnyOrderWithEachDateForm) {
  const std::string head = "close,Date,VOLUME,OpenInt,open,High,low\n";
  for (const std::string date : {"19550228", "1955-02-28", "02/28/1955"}) {
    const ImportedText q = Read(head + "2.5," + date + ",100,7,2,3,1\n");
    ASSERT_EQ(q.quotes.size(), 1u) << date;
    EXPECT_EQ(q.quotes[0].day, YmdToDay(55, 2, 28)) << date;
    EXPECT_LT(q.quotes[0].day, 0);
    EXPECT_EQ(q.quotes[0].values, (Values{2, 3, 1, 2.5f, 100, 7}));
  }
  EXPECT_EQ(Read("Date Close\n02/29/00 1\n12/31/59 1\n01/01/60 1\n").quotes[0].day,
            YmdToDay(60, 1, 1));
  EXPECT_EQ(Read("Date Close\n02/29/00 1\n").quotes[0].day, YmdToDay(100, 2, 29));
  // The day before 1961 is a day like any other.
  EXPECT_EQ(Read("Date Close\n12/31/60 1\n").quotes[0].day, YmdToDay(60, 12, 31));
}

TEST(ImportText, NewestFirstComesOutOldestFirst) {
  const ImportedText q = Read("01/07/98 3\n01/06/98 2\n01/05/98 1\n");
  ASSERT_EQ(q.quotes.size(), 3u);
  EXPECT_EQ(q.quotes[0].values[3], 1);
  EXPECT_EQ(q.quotes[2].values[3], 3);
  EXPECT_EQ(q.quotes[2].day, YmdToDay(98, 1, 7));
}

TEST(ImportText, RefusalsNameTheLine) {
  EXPECT_EQ(Refusal(""), "The text holds no quotes.");
  EXPECT_EQ(Refusal("DATE CLOSE\r\n\r\n"), "The text holds no quotes.");
  EXPECT_EQ(Refusal("01/02/98 1 2 3\n"), "Line 1: 4 columns, and no title row naming them.");
  EXPECT_EQ(Refusal("DATE,CLOSE,PRICE\n"), "Line 1: \"PRICE\" names no column.");
  EXPECT_EQ(Refusal("Date,Close,close\n"), "Line 1: the column \"close\" is named twice.");
  EXPECT_EQ(Refusal("Close,Open\n1,2\n"), "Line 1: no column is named Date.");
  EXPECT_EQ(Refusal("01/02/98 1\n\n01/05/98 1 2\n"), "Line 3: 3 columns where 2 were expected.");
  EXPECT_EQ(Refusal("01/02/98 1\n02/30/98 1\n"), "Line 2: \"02/30/98\" is no date.");
  EXPECT_EQ(Refusal("01/02/98 1\n02/29/98 1\n"), "Line 2: \"02/29/98\" is no date.");
  EXPECT_EQ(Refusal("Date Close\n18991231 1\n"), "Line 2: \"18991231\" is no date.");
  EXPECT_EQ(Refusal("Date Close\n1998-1-2 1\n"), "Line 2: \"1998-1-2\" is no date.");
  EXPECT_EQ(Refusal("01/02/98 1.5x\n"), "Line 1: \"1.5x\" is no number.");
  EXPECT_EQ(Refusal("01/02/98 nan\n"), "Line 1: \"nan\" is no number.");
  EXPECT_EQ(Refusal("01/02/98,\n"), "Line 1: \"\" is no number.");
  EXPECT_EQ(Refusal("01/02/98 1\n01/05/98 2\n01/02/98 3\n"),
            "Line 3: a second quote of 01/02/98 (the first is on line 1).");
  EXPECT_EQ(Refusal("Date Close\n19980102 1\n19980105 2\n19980105 3\n19980102 4\n"),
            "Line 4: a second quote of 01/05/98 (the first is on line 3).");
}

}  // namespace
}  // namespace barvane
