// Reading quote text for Import: one hand-written file of each shape that the usual sources
// download, every date and number form, the shapes without a title row and the refusals,
// each with its exact reading or message.
#include "exchange/import_text.h"

#include <gtest/gtest.h>

#include <charconv>

namespace barvane {
namespace {

// The reading as text: the columns found, the ignored ones, the date order, then one line a
// quote (date, time when intraday, the six values, "-" where a line has none).
std::string Dump(const ImportedText& q) {
  std::string text = "found:";
  for (const std::string& f : q.found) text += " " + (f.empty() ? std::string("-") : f);
  text += "\nignored:";
  for (const std::string& name : q.ignored) text += " [" + name + "]";
  text += "\norder: " + DateOrderText(q.order) + "\n";
  for (const ImportedQuote& quote : q.quotes) {
    const Ymd ymd = DayToYmd(quote.day);
    char line[64];
    std::snprintf(line, sizeof line, "%04d-%02d-%02d", ymd.year + 1900, ymd.month, ymd.day);
    text += line;
    if (q.intraday) {
      std::snprintf(line, sizeof line, " %02d:%02d:%02d", quote.seconds / 3600,
                    quote.seconds / 60 % 60, quote.seconds % 60);
      text += line;
    }
    for (int c = 0; c < kImportColumnCount; ++c) {
      char number[32] = "-";
      if (quote.present[static_cast<std::size_t>(c)]) {
        *std::to_chars(number, number + sizeof number - 1, quote.values[static_cast<std::size_t>(c)],
                     std::chars_format::fixed).ptr = 0;
      }
      text += std::string(" ") + number;
    }
    text += "\n";
  }
  return text;
}

std::string Read(const std::string& text, ImportOptions options = {}) {
  ImportedText quotes;
  std::string error;
  if (!ReadImportText(text, options, &quotes, &error)) return "refused: " + error;
  return Dump(quotes);
}

struct Case {
  const char* source;
  std::string text;
  std::string reading;
  ImportOptions options{};
};

TEST(ImportText, EachDownloadedShapeReadsExactly) {
  const std::vector<Case> cases = {
      {"Yahoo, with a byte-order mark and CR LF",
       "\xEF\xBB\xBF" "Date,Open,High,Low,Close,Adj Close,Volume\r\n"
       "2020-07-01,365.12,367.36,363.91,364.11,362.5,27684300\r\n"
       "2020-07-02,367.85,370.47,363.64,364.11,362.51,28510400\r\n\r\n",
       "found: Date - Open High Low Close Volume -\nignored: [Adj Close]\norder: \n"
       "2020-07-01 365.12 367.36 363.91 364.11 27684300 -\n"
       "2020-07-02 367.85 370.47 363.64 364.11 28510400 -\n"},
      {"Yahoo, adjusted",
       "Date,Open,High,Low,Close,Adj Close,Volume\n2020-07-01,100,110,90,100,50,1000\n",
       "found: Date - Open High Low Close Volume -\nignored:\norder: \n"
       "2020-07-01 50 55 45 50 1000 -\n",
       {DateOrder::kUndecided, true}},
      {"Alpha Vantage, newest first",
       "timestamp,open,high,low,close,volume\r\n2020-07-02,11,12,10,11.5,200\r\n"
       "2020-07-01,10,11,9,10.5,100\r\n",
       "found: timestamp - open high low close volume -\nignored:\norder: \n"
       "2020-07-01 10 11 9 10.5 100 -\n2020-07-02 11 12 10 11.5 200 -\n"},
      {"Alpha Vantage intraday, the time in the date cell",
       "timestamp,open,high,low,close,volume\n2020-07-01 09:35:00,10,11,9,10.5,100\n"
       "2020-07-01 09:30:00,10,11,9,10.25,50\n",
       "found: timestamp timestamp open high low close volume -\nignored:\norder: \n"
       "2020-07-01 09:30:00 10 11 9 10.25 50 -\n2020-07-01 09:35:00 10 11 9 10.5 100 -\n"},
      {"stooq, Polish titles",
       "Data,Otwarcie,Najwyzszy,Najnizszy,Zamkniecie,Wolumen\n1971-01-04,92.06,92.06,92.06,92.06,0\n",
       "found: Data - Otwarcie Najwyzszy Najnizszy Zamkniecie Wolumen -\nignored:\norder: \n"
       "1971-01-04 92.06 92.06 92.06 92.06 0 -\n"},
      {"stooq <TICKER> text, daily times at midnight",
       "<TICKER>,<PER>,<DATE>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>,<OPENINT>\n"
       "AAPL.US,D,19840907,000000,0.1,0.11,0.09,0.1,9.7e7,0\n",
       "found: <DATE> <TIME> <OPEN> <HIGH> <LOW> <CLOSE> <VOL> <OPENINT>\n"
       "ignored: [<TICKER>] [<PER>]\norder: \n1984-09-07 0.1 0.11 0.09 0.1 97000000 0\n"},
      {"broker text, semicolons, day first, decimal comma, hourly",
       "<TICKER>;<PER>;<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\n"
       "SBER;60;03/01/22;100000;293,5;295,1;292;294,25;1200\n"
       "SBER;60;03/01/22;110000;294,25;296;294;295;900\n"
       "SBER;60;13/01/22;100000;300;301;299;300,5;800\n",
       "found: <DATE> <TIME> <OPEN> <HIGH> <LOW> <CLOSE> <VOL> -\n"
       "ignored: [<TICKER>] [<PER>]\norder: day/month/year\n"
       "2022-01-03 10:00:00 293.5 295.1 292 294.25 1200 -\n"
       "2022-01-03 11:00:00 294.25 296 294 295 900 -\n"
       "2022-01-13 10:00:00 300 301 299 300.5 800 -\n"},
      {"broker text without a title row, YYMMDD, 15-minute bars",
       "SBER,15,240801,101500,250.1,251,249.5,250.8,12000\n"
       "SBER,15,240801,100000,250,250.5,249,250.1,15000\n",
       "found: column 3 column 4 column 5 column 6 column 7 column 8 column 9 -\n"
       "ignored: [column 1 (ticker)] [column 2 (period)]\norder: \n"
       "2024-08-01 10:00:00 250 250.5 249 250.1 15000 -\n"
       "2024-08-01 10:15:00 250.1 251 249.5 250.8 12000 -\n"},
      {"MT4 history, daily",
       "1971.01.04,00:00,0.5371,0.5371,0.5371,0.5371,1\n1971.01.05,00:00,0.5372,0.5372,0.5371,0.5371,1\n",
       "found: column 1 column 2 column 3 column 4 column 5 column 6 column 7 -\nignored:\norder: \n"
       "1971-01-04 0.5371 0.5371 0.5371 0.5371 1 -\n1971-01-05 0.5372 0.5372 0.5371 0.5371 1 -\n"},
      {"Quandl, its adjusted columns ignored",
       "Date,Open,High,Low,Close,Volume,Ex-Dividend,Split Ratio,Adj. Open,Adj. High,Adj. Low,"
       "Adj. Close,Adj. Volume\n2018-03-27,173.68,175.15,166.92,168.34,38962839,0,1,173.68,175.15,"
       "166.92,168.34,38962839\n",
       "found: Date - Open High Low Close Volume -\n"
       "ignored: [Ex-Dividend] [Split Ratio] [Adj. Open] [Adj. High] [Adj. Low] [Adj. Close] "
       "[Adj. Volume]\norder: \n2018-03-27 173.68 175.15 166.92 168.34 38962840 -\n"},
      {"Tiingo",
       "date,close,high,low,open,volume,adjClose,adjHigh,adjLow,adjOpen,adjVolume,divCash,splitFactor\n"
       "2020-07-01,364.11,367.36,363.91,365.12,27684306,90.5,91.3,90.4,90.7,110737224,0.0,1.0\n",
       "found: date - open high low close volume -\n"
       "ignored: [adjClose] [adjHigh] [adjLow] [adjOpen] [adjVolume] [divCash] [splitFactor]\n"
       "order: \n2020-07-01 365.12 367.36 363.91 364.11 27684306 -\n"},
      {"investing.com, quoted cells, thousands, K and M",
       "\"Date\",\"Price\",\"Open\",\"High\",\"Low\",\"Vol.\",\"Change %\"\n"
       "\"Jul 01, 2020\",\"3,115.86\",\"3,105.92\",\"3,130.01\",\"3,095.06\",\"1.23M\",\"0.50%\"\n"
       "\"Jun 30, 2020\",\"3,100.29\",\"3,050.20\",\"3,111.51\",\"3,047.83\",\"850.5K\",\"1.54%\"\n",
       "found: Date - Open High Low Price Vol. -\nignored: [Change %]\norder: \n"
       "2020-06-30 3050.2 3111.51 3047.83 3100.29 850500 -\n"
       "2020-07-01 3105.92 3130.01 3095.06 3115.86 1230000 -\n"},
      {"investing.com, Brazilian",
       "\"Data\",\"\xC3\x9Altimo\",\"Abertura\",\"M\xC3\xA1xima\",\"M\xC3\xADnima\",\"Vol.\",\"Var%\"\n"
       "\"01.07.2020\",\"95.055,57\",\"94.730,04\",\"95.630,12\",\"94.522,03\",\"8,47M\",\"0,34%\"\n"
       "\"30.06.2020\",\"94.731,00\",\"95.000,10\",\"95.400,00\",\"94.500,00\",\"7,1M\",\"-0,71%\"\n",
       "found: Data - Abertura M\xC3\xA1xima M\xC3\xADnima \xC3\x9Altimo Vol. -\nignored: [Var%]\n"
       "order: day/month/year\n"
       "2020-06-30 95000.1 95400 94500 94731 7100000 -\n"
       "2020-07-01 94730.04 95630.12 94522.03 95055.57 8470000 -\n"},
      {"Nasdaq, dollar signs, month first",
       "Date,Close/Last,Volume,Open,High,Low\n07/01/2020,$364.11,27684310,$365.12,$367.36,$363.91\n"
       "06/30/2020,$364.80,35055820,$360.08,$365.98,$360.00\n",
       "found: Date - Open High Low Close/Last Volume -\nignored:\norder: month/day/year\n"
       "2020-06-30 360.08 365.98 360 364.8 35055820 -\n"
       "2020-07-01 365.12 367.36 363.91 364.11 27684310 -\n"},
      {"tab-separated, day-month names, two-digit years",
       "Date\tClose\n01-Jul-20\t1.5\n2 Jul 2020\t-2\n",
       "found: Date - - - - Close - -\nignored:\norder: \n"
       "2020-07-01 - - - 1.5 - -\n2020-07-02 - - - -2 - -\n"},
      {"the order given for dates that cannot tell",
       "Date;Close\n03.01.22;1,5\n04.01.22;2\n",
       "found: Date - - - - Close - -\nignored:\norder: day/month/year\n"
       "2022-01-03 - - - 1.5 - -\n2022-01-04 - - - 2 - -\n",
       {DateOrder::kDayFirst, false}},
      {"year first with two digits, given",
       "Date,Close\n22/01/03,1\n",
       "found: Date - - - - Close - -\nignored:\norder: year/month/day\n2022-01-03 - - - 1 - -\n",
       {DateOrder::kYearFirst, false}},
      {"the edges of the years a file holds, and of two-digit years",
       "Date Close\n1900-01-01 1\n3577-12-31 2\n12/31/60 3\n01/01/61 4\n",
       "found: Date - - - - Close - -\nignored:\norder: month/day/year\n"
       "1900-01-01 - - - 1 - -\n1961-01-01 - - - 4 - -\n2060-12-31 - - - 3 - -\n"
       "3577-12-31 - - - 2 - -\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.text, c.options), c.reading) << c.source;
}

TEST(ImportText, ShapesWithoutATitleRowAreDecidedByTheirCells) {
  const std::vector<Case> cases = {
      {"our export, every column", "01/20/98 10.5 11 10.25 10.75 950 N/A\n",
       "found: column 1 - column 2 column 3 column 4 column 5 column 6 column 7\nignored:\n"
       "order: month/day/year\n1998-01-20 10.5 11 10.25 10.75 950 -\n"},
      {"our export without open interest", "01/20/98,10.5,11,10.25,10.75,950\n",
       "found: column 1 - column 2 column 3 column 4 column 5 column 6 -\nignored:\norder: month/day/year\n"
       "1998-01-20 10.5 11 10.25 10.75 950 -\n"},
      {"our export without open: the bars decide", "01/20/98,11,10.25,10.75,950,7\n",
       "found: column 1 - - column 2 column 3 column 4 column 5 column 6\nignored:\norder: month/day/year\n"
       "1998-01-20 - 11 10.25 10.75 950 7\n"},
      {"open to close", "01/20/98\t10.5\t11\t10.25\t10.75\n",
       "found: column 1 - column 2 column 3 column 4 column 5 - -\nignored:\norder: month/day/year\n"
       "1998-01-20 10.5 11 10.25 10.75 - -\n"},
      {"close alone", "19980102 3.5\n",
       "found: column 1 - - - - column 2 - -\nignored:\norder: \n1998-01-02 - - - 3.5 - -\n"},
      {"our export with times",
       "11/15/13 09:05:00 10.5 11 10.25 10.75 950 N/A\n11/15/13 09:10:00 10.5 11 10.25 10.5 50 N/A\n",
       "found: column 1 column 2 column 3 column 4 column 5 column 6 column 7 column 8\nignored:\n"
       "order: month/day/year\n2013-11-15 09:05:00 10.5 11 10.25 10.75 950 -\n"
       "2013-11-15 09:10:00 10.5 11 10.25 10.5 50 -\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.text, c.options), c.reading) << c.source;
}

TEST(ImportText, RefusalsNameTheLineAndHowToDecide) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "The text holds no quotes."},
      {"DATE CLOSE\r\n\r\n", "The text holds no quotes."},
      {"\xEF\xBB\xBF", "The text holds no quotes."},
      {"Date,Close,close\n", "Line 1: the column \"close\" is named twice."},
      {"Close,Open\n1,2\n", "Line 1: no column is named Date."},
      {"01/13/98 1\n\n01/15/98 1 2\n", "Line 3: 3 columns where 2 were expected."},
      {"01/02/98 1\n02/30/98 1\n", "Line 2: \"02/30/98\" is no date read as month/day/year."},
      {"Date Close\n2019-02-29 1\n", "Line 2: \"2019-02-29\" is no date."},
      {"Date Close\n18991231 1\n", "Line 2: \"18991231\" lies outside the dates a quote file holds (1900 to 3577)."},
      {"Date Close\n9999-01-01 1\n", "Line 2: \"9999-01-01\" lies outside the dates a quote file holds (1900 to 3577)."},
      {"Date Close\n1998-1-2x 1\n", "Line 2: \"1998-1-2x\" is no date."},
      {"Date Close\n01/13/98 1.5x\n", "Line 2: \"1.5x\" is no number."},
      {"Date Close\n01/13/98 nan\n", "Line 2: \"nan\" is no number."},
      {"Date,Close\n01/13/98,\n", "Line 2: \"\" is no number."},
      {"Date,Close\n2020-01-02,2e38\n", "Line 2: \"2e38\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,-1e39\n", "Line 2: \"-1e39\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,1e-40\n", "Line 2: \"1e-40\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,1e999\n", "Line 2: \"1e999\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,1.000.5\n", "Line 2: \"1.000.5\" is no number."},
      {"01/13/98 1\n01/15/98 2\n01/13/98 3\n",
       "Line 3: a second quote of 01/13/98 (the first is on line 1)."},
      {"Date Time Close\n2013-11-15 09:05 1\n2013-11-15 09:10 1\n2013-11-15 09:05 1\n",
       "Line 4: a second quote of 11/15/13 09:05:00 (the first is on line 2)."},
      {"Date Time Close\n2013-11-15 9.05 1\n", "Line 2: \"9.05\" is no time of day."},
      {"Date,Close\n03/01/22,1\n04/01/22,2\n",
       "Line 2: no date of the text tells the day from the month (\"03/01/22\").\n"
       "Choose the order: --dates dmy, mdy or ymd."},
      {"Date,Close\n03/01/22,1\n13/01/22,2\n01/13/22,3\n",
       "Line 4: the dates contradict each other: \"13/01/22\" (line 3) is day first, \"01/13/22\" "
       "(line 4) month first."},
      {"Date;Close\n2022-01-03;1,5\n2022-01-04;1.5\n",
       "Line 3: the numbers contradict each other: \"1,5\" (line 2) has a decimal comma, \"1.5\" "
       "(line 3) a decimal point."},
      {"Date;Close\n2022-01-03;\"1,234\"\n",
       "Line 2: \"1,234\" does not tell a decimal comma from a thousands separator."},
      {"Date,Close\n2022-01-03,1\n", "Line 1: no column is named as an adjusted close (\"Adj Close\")."},
      {"01/20/98,11,11,11,11,950\n",
       "Line 1: without a title row, these 6 columns could be\n"
       "  date, open, high, low, close, volume\n  date, high, low, close, volume, open interest\n"
       "and the prices do not decide it. Add a title row naming the columns, e.g. "
       "Date,Open,High,Low,Close,Volume."},
      {"01/20/98,12,11,10.75,10.75,950\n",
       "Line 1: without a title row, these 6 columns could be\n"
       "  date, open, high, low, close, volume\n  date, high, low, close, volume, open interest\n"
       "and the prices do not decide it. Add a title row naming the columns, e.g. "
       "Date,Open,High,Low,Close,Volume."},
      {"01/02/98 1 2 3\n",
       "Line 1: without a title row, the columns found (date, number, number, number) fit no "
       "known shape. Add a title row naming them, e.g. Date,Open,High,Low,Close,Volume."},
      {"01/13/98 1\n01/15/98 x\n", "Line 2: \"x\" is no number."},
      {"01/13/98 x\n",
       "Line 1: without a title row, the columns found (date, text) fit no known shape. Add a "
       "title row naming them, e.g. Date,Open,High,Low,Close,Volume."},
      {"03/01/22 1\n",
       "Line 1: no date of the text tells the day from the month (\"03/01/22\").\n"
       "Choose the order: --dates dmy, mdy or ymd."},
  };
  for (const auto& [text, message] : cases) {
    ImportedText quotes;
    std::string error;
    ImportOptions options;
    options.adjusted = text.starts_with("Date,Close\n2022-01-03,1\n");
    EXPECT_FALSE(ReadImportText(text, options, &quotes, &error)) << text;
    EXPECT_EQ(error, message) << text;
    EXPECT_TRUE(quotes.quotes.empty());
  }
}

TEST(ImportCells, NumbersInEveryWriting) {
  const std::vector<std::tuple<std::string, char, CellNumber, double>> cases = {
      {"1,234.5", '.', CellNumber::kNumber, 1234.5},
      {"1.234,5", ',', CellNumber::kNumber, 1234.5},
      {"-$1,234,567", '.', CellNumber::kNumber, -1234567},
      {"$-5.25", '.', CellNumber::kNumber, -5.25},
      {"R$ 7,5", ',', CellNumber::kNumber, 7.5},
      {"\xE2\x82\xAC" "3", '.', CellNumber::kNumber, 3},
      {"1.5k", '.', CellNumber::kNumber, 1500},
      {"2B", '.', CellNumber::kNumber, 2e9},
      {".5", '.', CellNumber::kNumber, 0.5},
      {"1e3", '.', CellNumber::kNumber, 1000},
      {"N/A", '.', CellNumber::kMissing, 0},
      {"12,34", '.', CellNumber::kNoNumber, 0},
      {",123", '.', CellNumber::kNoNumber, 0},
      {"1,,234", '.', CellNumber::kNoNumber, 0},
      {"$", '.', CellNumber::kNoNumber, 0},
      {"1 234", '.', CellNumber::kNoNumber, 0},
      {"--1", '.', CellNumber::kNoNumber, 0},
  };
  for (const auto& [cell, decimal, kind, value] : cases) {
    double read = 0;
    EXPECT_EQ(ReadNumberCell(cell, decimal, &read), kind) << cell;
    if (kind == CellNumber::kNumber) EXPECT_EQ(read, value) << cell;
  }
  EXPECT_EQ(DecimalHintOf("1.5"), DecimalHint::kPoint);
  EXPECT_EQ(DecimalHintOf("1,5"), DecimalHint::kComma);
  EXPECT_EQ(DecimalHintOf("1,234"), DecimalHint::kUnclear);
  EXPECT_EQ(DecimalHintOf("1.234"), DecimalHint::kNone);
  EXPECT_EQ(DecimalHintOf("1.234.567"), DecimalHint::kComma);
  EXPECT_EQ(DecimalHintOf("1,234,567"), DecimalHint::kPoint);
  EXPECT_EQ(DecimalHintOf("1.234,5"), DecimalHint::kComma);
  EXPECT_EQ(DecimalHintOf("1.5e3"), DecimalHint::kPoint);
}

}  // namespace
}  // namespace barvane
