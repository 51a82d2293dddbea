// The facts the Data facts command shows about a series.
#include "data/series_facts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/portfolio_builder.h"

namespace barvane {
namespace {

using namespace test;

// Without a layout file every field is in whole numbers; a layout file's codes show as their
// texts, an unknown periodicity letter as "ERROR". The CLI's facts test pins the other lines.
TEST(SeriesFacts, ShowTheTextsOfLayoutCodesAndERRORForAnUnknownLetter) {
  TempDir tmp;
  SymbolDescription s =
      Symbol(1, "ABC", FieldsOf({kDate, kOpen, kVolume, kOpenInterest}), WeekdayQuotes(kMonday, 1), true);
  s.periodicity = 'X';
  s.fields[1] = {kOpen, -7, 5};
  s.fields[2] = {kVolume, 100, 1000};
  s.fields[3] = {kOpenInterest, 6, -8};
  Build(tmp.path(), Portfolio({s, Symbol(200, "PLAIN", Fields28(), WeekdayQuotes(YmdToDay(99, 12, 30), 4))}));
  SeriesFacts f;
  ASSERT_EQ(GatherSeriesFacts(Fs(), tmp.path(), "PLAIN", &f), 0);
  EXPECT_EQ(std::tuple(f.recordLength, f.fieldCount), std::tuple(28, 7));
  for (int q = 0; q < kQuantityCount; ++q) {
    const std::string want = q == kTime ? "" : "Whole Num.";
    EXPECT_EQ(f.inputFormat[q], want) << q;
    EXPECT_EQ(f.displayFormat[q], want) << q;
  }

  ASSERT_EQ(GatherSeriesFacts(Fs(), tmp.path(), "ABC", &f), 0);
  EXPECT_EQ((std::vector{f.dataFormat, f.inputFormat[kOpen], f.displayFormat[kOpen], f.inputFormat[kVolume],
                         f.displayFormat[kVolume], f.inputFormat[kOpenInterest], f.displayFormat[kOpenInterest],
                         f.inputFormat[kClose]}),
            (std::vector<std::string>{"ERROR", "128ths", "100,000ths", "100s", "1,000s", "", "", ""}));

  // A symbol whose facts cannot be read leaves them untouched.
  std::filesystem::remove(tmp / "F1.DAT");
  EXPECT_EQ(GatherSeriesFacts(Fs(), tmp.path(), "ABC", &f), 1);
  EXPECT_EQ(GatherSeriesFacts(Fs(), tmp.path(), "NONE", &f), 1);
  EXPECT_EQ(f.dataFormat, "ERROR");
}

}  // namespace
}  // namespace barvane
