// Export: the exact text of every layout and choice, both orders, line ends, the replace
// question, the stored choices, and the refusals.
#include "exchange/export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <tuple>

#include "support/float_text_reference.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/tool_view.h"

namespace barvane {
namespace {

using test::TempDir;

const DayNumber kJan2 = YmdToDay(98, 1, 2);

// An opened settings store in its own directory, and the view over one symbol.
struct ExportFixture {
  TempDir dir;
  SettingsStore settings{FileSystem::Default()};
  test::RecordingUi ui;
  ViewState view{FileSystem::Default(), settings, ui};
  explicit ExportFixture(SymbolDescription symbol) {
    bool created = false;
    EXPECT_TRUE(settings.OpenRootKey(dir / "conf", &created));
    test::Build(dir / "P", test::Portfolio(std::move(symbol)));
    EXPECT_TRUE(view.OpenSeries(dir / "P", "XYZ"));
  }
  // The text of an export with `c` into out.txt that must succeed.
  std::string Text(ExportChoices c) {
    c.path = dir / "out.txt";
    EXPECT_EQ(ExportQuotes(view, c), ExportResult::kDone);
    return test::ReadText(c.path);
  }
};

SymbolDescription Sample(std::vector<FieldDescription> fields) {
  return test::Symbol(1, "XYZ", std::move(fields),
                      {{kJan2, 0, 10.5f, 11, 10.25f, 10.75f, 950, 12}, {kJan2 + 3, 0, 0, 12.125f, 0, -3, 1e6f, 0}});
}

// Closes 1, 2, ... on `days`.
SymbolDescription Closes(const std::vector<DayNumber>& days) {
  std::vector<QuoteValues> quotes;
  for (const DayNumber day : days) quotes.push_back({day, 0, 0, 0, 0, static_cast<float>(quotes.size() + 1), 0, 0});
  return test::Symbol(1, "XYZ", test::Fields8(), quotes);
}

// The choices of `delimiter`, a title row, newest first, the columns `omit` and the time left out.
ExportChoices Chosen(int delimiter, bool title, bool newest, std::vector<int> omit = {}, bool omitTime = false) {
  ExportChoices c;
  c.delimiter = delimiter;
  c.titleRow = title;
  c.newestFirst = newest;
  for (int column : omit) c.omit[static_cast<std::size_t>(column)] = true;
  c.omitTime = omitTime;
  return c;
}

// Every column of each layout, N/A only for what the file lacks; each delimiter (none chosen:
// spaces), both orders, columns left out; the time of bars after the date unless left out. A
// series with a day outside 1961..2060 writes every date with four digits, as its grid shows
// them; one inside keeps two, however near the edges.
TEST(Export, WritesEachLayoutAndChoiceExactly) {
  const auto bars = test::Intraday(1, "XYZ", {{kJan2, HmsToSeconds(9, 5, 0), 1, 2, 0.5f, 1.5f, 10, 0},
                                              {kJan2, HmsToSeconds(23, 59, 58), 1, 2, 0.5f, 1.75f, 20, 0}});
  const std::vector<int> highLowOi = {kExportHigh, kExportLow, kExportOpenInterest},
                         allButClose = {kExportOpen, kExportHigh, kExportLow, kExportVolume, kExportOpenInterest};
  const struct { SymbolDescription symbol; ExportChoices choices; std::string text; } cases[] = {
      {Sample(test::Fields28()), Chosen(0, true, false),
       "DATE OPEN HIGH LOW CLOSE VOL OI\r\n01/02/98 10.5000 11.0000 10.2500 10.7500 950.00 12.00\r\n"
       "01/05/98 0.0000 12.1250 0.0000 -3.0000 1000000.00 0.00\r\n"},
      {Sample(test::Fields24()), Chosen(0, true, false),
       "DATE OPEN HIGH LOW CLOSE VOL OI\r\n01/02/98 10.5000 11.0000 10.2500 10.7500 950.00 N/A\r\n"
       "01/05/98 0.0000 12.1250 0.0000 -3.0000 1000000.00 N/A\r\n"},
      {Sample(test::Fields20Volume()), Chosen(0, true, false),
       "DATE OPEN HIGH LOW CLOSE VOL OI\r\n01/02/98 N/A 11.0000 10.2500 10.7500 950.00 N/A\r\n"
       "01/05/98 N/A 12.1250 0.0000 -3.0000 1000000.00 N/A\r\n"},
      {Sample(test::Fields8()), Chosen(0, true, false),
       "DATE OPEN HIGH LOW CLOSE VOL OI\r\n01/02/98 N/A N/A N/A 10.7500 N/A N/A\r\n"
       "01/05/98 N/A N/A N/A -3.0000 N/A N/A\r\n"},
      {Sample(test::Fields28()), Chosen(1, false, false, {kExportOpen, kExportVolume}),
       "01/02/98,11.0000,10.2500,10.7500,12.00\r\n01/05/98,12.1250,0.0000,-3.0000,0.00\r\n"},
      {Sample(test::Fields28()), Chosen(2, true, true, {kExportOpen, kExportVolume}),
       "DATE\tHIGH\tLOW\tCLOSE\tOI\r\n01/05/98\t12.1250\t0.0000\t-3.0000\t0.00\r\n"
       "01/02/98\t11.0000\t10.2500\t10.7500\t12.00\r\n"},
      {Sample(test::Fields28()), Chosen(7, true, true, {kExportOpen, kExportHigh, kExportLow, kExportClose, kExportVolume,
                                                        kExportOpenInterest}),
       "DATE\r\n01/05/98\r\n01/02/98\r\n"},
      {bars, Chosen(1, true, false, highLowOi),
       "DATE,TIME,OPEN,CLOSE,VOL\r\n01/02/98,09:05:00,1.0000,1.5000,10.00\r\n01/02/98,23:59:58,1.0000,1.7500,20.00\r\n"},
      {bars, Chosen(1, true, true, highLowOi, true),
       "DATE,OPEN,CLOSE,VOL\r\n01/02/98,1.0000,1.7500,20.00\r\n01/02/98,1.0000,1.5000,10.00\r\n"},
      {Closes({YmdToDay(55, 6, 1), YmdToDay(60, 12, 31), YmdToDay(61, 1, 2), YmdToDay(2099, 12, 31), kNoDate}),
       Chosen(0, true, false, allButClose),
       "DATE CLOSE\r\n06/01/1955 1.0000\r\n12/31/1960 2.0000\r\n01/02/1961 3.0000\r\n12/31/2099 4.0000\r\n"
       "00/00/0000 5.0000\r\n"},
      {Closes({kFirstShortYearDay, kLastShortYearDay}), Chosen(0, true, false, allButClose),
       "DATE CLOSE\r\n01/01/61 1.0000\r\n12/31/60 2.0000\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ExportFixture f(c.symbol);
    EXPECT_EQ(f.Text(c.choices), c.text);
    EXPECT_EQ(f.ui.beeps, 1);
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.done, std::vector<std::string>{"XYZ exported to " + f.dir / "out.txt"});
    EXPECT_EQ(ReadExportChoices(f.settings).omitTime, c.choices.omitTime);
  }
  const ExportFixture dates(cases[9].symbol);
  EXPECT_EQ(dates.view.m_firstDateText + " " + dates.view.m_lastDateText, "06/01/1955 00/00/0000");
}

// Every price and count column, ties, huge and negative values, and numbers at every length
// and around every power of ten show their shortest digits.
TEST(Export, NumbersShowTheirShortestDigits) {
  std::vector<float> values = {0.0f, 1e-45f, 1.03125f, 1.03135f, 0.00005f, 0.00015f, 0.125f, 0.375f, 0.005f,
                               2.675f, 7.00005f, 99999.99f, 123456.789f, 1e-7f, 1.0e12f, 1.0e38f,
                               4294967040.0f, 4294967296.0f, 42949672.0f, 42949676.0f, -1.0f, -0.00004f,
                               -2.675f, -99999.99f, std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN()};
  for (float power = 1e-4f; power < 1e13f; power *= 10) {
    for (float v : {power, std::nextafter(power, 0.0f), std::nextafter(power, 1e30f), 9 * power,
                    power / 2, power * 1.5f}) {
      values.push_back(v);
    }
  }
  std::vector<QuoteValues> quotes;
  for (float v : values) quotes.push_back({kJan2, 0, v, v, v, v, v, v});
  ExportFixture f(test::Symbol(1, "XYZ", test::Fields28(), quotes));
  std::string expected;
  for (float v : values) {
    const std::string price = test::ReferenceFloatText(v, 4), count = test::ReferenceFloatText(v, 2);
    expected += "01/02/98 " + price + " " + price + " " + price + " " + price + " " + count + " " + count + "\r\n";
  }
  EXPECT_EQ(f.Text({}), expected);
}

TEST(Export, ReadsAcrossWindowsInBothOrders) {
  ExportFixture f(test::Symbol(1, "XYZ", test::Fields8(), test::WeekdayQuotes(kJan2, 801)));
  ExportChoices c;
  std::vector<std::string> lines[2];
  for (auto& ordered : lines) {
    const std::string text = f.Text(c);
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
      ordered.push_back(text.substr(at, end - at));
    c.newestFirst = true;
  }
  ASSERT_EQ(lines[0].size(), 801u);
  EXPECT_EQ(lines[0].front(), "01/02/98 N/A N/A N/A 10.0000 N/A N/A");
  EXPECT_EQ(lines[0].back(), "01/26/01 N/A N/A N/A 210.0000 N/A N/A");
  std::reverse(lines[1].begin(), lines[1].end());
  EXPECT_EQ(lines[0], lines[1]);
}

TEST(Export, AsksBeforeReplacingAndStoresChoicesOnlyWhenTheFileIsCreated) {
  ExportFixture f(Sample(test::Fields28()));
  ExportChoices c = Chosen(2, true, false, {kExportLow});
  c.path = f.dir / "out.txt";
  test::WriteBytes(c.path, {'o', 'l', 'd'});

  f.ui.answer = false;
  EXPECT_EQ(ExportQuotes(f.view, c), ExportResult::kDeclined);
  EXPECT_EQ(f.ui.questions, std::vector<std::string>{c.path + "\nThis file already exists\n\nReplace existing file?"});
  EXPECT_EQ(test::ReadText(c.path), "old");
  EXPECT_EQ(ReadExportChoices(f.settings).delimiter, 0);

  ExportChoices bad = c;
  bad.path = f.dir / "missing/out.txt";
  EXPECT_EQ(ExportQuotes(f.view, bad), ExportResult::kFailed);
  bad.path.clear();
  EXPECT_EQ(ExportQuotes(f.view, bad), ExportResult::kFailed);
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{kExportErrorText, kExportErrorText}));
  EXPECT_EQ(ReadExportChoices(f.settings).path, "output.txt");

  f.ui.answer = true;
  c.newestFirst = true;
  EXPECT_EQ(ExportQuotes(f.view, c), ExportResult::kDone);
  const ExportChoices stored = ReadExportChoices(f.settings);
  EXPECT_EQ(std::tie(stored.path, stored.delimiter, stored.omit, stored.titleRow, stored.newestFirst),
            std::make_tuple(c.path, 2, c.omit, true, true));
  EXPECT_EQ(f.settings.ReadInt(kExportSection, "OmitLow", -1), 1);
  EXPECT_EQ(f.settings.ReadInt(kExportSection, "OmitOI", -1), 0);
}

}  // namespace
}  // namespace barvane
