// Reading quote text for Import: one hand-written file of each shape that the usual sources
// download, every date and number form, the shapes without a title row and the refusals,
// each with its exact reading or message.
#include "exchange/import_text.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  if (q.tickers.size() > 1) {
    text += "tickers:";
    for (std::size_t t = 0; t < q.tickers.size(); ++t) text += " " + q.tickers[t] + "/" + q.names[t];
    text += "\n";
  }
  for (const std::string& note : q.notes) text += "note: " + note + "\n";
  for (const ImportedQuote& quote : q.quotes) {
    if (q.tickers.size() > 1) text += std::to_string(quote.ticker) + " ";
    const Ymd ymd = DayToYmd(quote.day);
    const int s = quote.seconds;
    char line[64];
    const auto n = static_cast<std::size_t>(std::snprintf(line, sizeof line, "%04d-%02d-%02d", ymd.year + 1900, ymd.month, ymd.day));
    if (q.intraday) std::snprintf(line + n, sizeof line - n, " %02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    text += line;
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
      {"Yahoo, with a byte-order mark and CR LF", "\xEF\xBB\xBF" "Date,Open,High,Low,Close,Adj Close,Volume\r\n"
       "2020-07-01,365.12,367.36,363.91,364.11,362.5,27684300\r\n"
       "2020-07-02,367.85,370.47,363.64,364.11,362.51,28510400\r\n\r\n",
       "found: Date - Open High Low Close Volume -\nignored: [Adj Close]\norder: \n"
       "2020-07-01 365.12 367.36 363.91 364.11 27684300 -\n"
       "2020-07-02 367.85 370.47 363.64 364.11 28510400 -\n"},
      {"Yahoo, adjusted", "Date,Open,High,Low,Close,Adj Close,Volume\n2020-07-01,100,110,90,100,50,1000\n",
       "found: Date - Open High Low Close Volume -\nignored:\norder: \n"
       "2020-07-01 50 55 45 50 1000 -\n", {DateOrder::kUndecided, true}},
      {"Alpha Vantage, newest first", "timestamp,open,high,low,close,volume\r\n2020-07-02,11,12,10,11.5,200\r\n"
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
       "SBER,15,240801,101500,250.1,251,249.5,250.8,12000\nSBER,15,240801,100000,250,250.5,249,250.1,15000\n",
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
      {"tab-separated, day-month names, two-digit years", "Date\tClose\n01-Jul-20\t1.5\n2 Jul 2020\t-2\n",
       "found: Date - - - - Close - -\nignored:\norder: \n"
       "2020-07-01 - - - 1.5 - -\n2020-07-02 - - - -2 - -\n"},
      {"the order given for dates that cannot tell", "Date;Close\n03.01.22;1,5\n04.01.22;2\n",
       "found: Date - - - - Close - -\nignored:\norder: day/month/year\n"
       "2022-01-03 - - - 1.5 - -\n2022-01-04 - - - 2 - -\n", {DateOrder::kDayFirst, false}},
      {"year first with two digits, given", "Date,Close\n22/01/03,1\n",
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

// `rows` daily bars from 2024-01-01 as "YYYY-MM-DD,open,high,low,close,volume" lines; the rows
// of `bad` (1-based) have their close above the high.
std::string Bars(int rows, const std::vector<int>& bad) {
  std::string text = "Date,Open,High,Low,Close,Volume\n";
  for (int r = 1; r <= rows; ++r) {
    const Ymd ymd = DayToYmd(YmdToDay(124, 1, r));
    char line[96];
    std::snprintf(line, sizeof line, "%04d-%02d-%02d,10,11,9,%s,100\n", ymd.year + 1900, ymd.month, ymd.day,
                  std::find(bad.begin(), bad.end(), r) != bad.end() ? "12" : "10.5");
    text += line;
  }
  return text;
}

// Our own export's shapes without a title row are in the import's round trips; these are
// the shapes those leave out.
TEST(ImportText, RealDownloadsImportAsTheyCome) {
  const std::vector<Case> cases = {
      {"an export, every column, open interest N/A", "01/20/98 10.5 11 10.25 10.75 950 N/A\n",
       "found: column 1 - column 2 column 3 column 4 column 5 column 6 column 7\nignored:\n"
       "order: month/day/year\n1998-01-20 10.5 11 10.25 10.75 950 -\n"},
      {"an export of open to close", "01/20/98\t10.5\t11\t10.25\t10.75\n",
       "found: column 1 - column 2 column 3 column 4 column 5 - -\nignored:\norder: month/day/year\n"
       "1998-01-20 10.5 11 10.25 10.75 - -\n"},
      {"a close alone", "19980102 3.5\n",
       "found: column 1 - - - - column 2 - -\nignored:\norder: \n1998-01-02 - - - 3.5 - -\n"},
      {"Yahoo with a null row", "Date,Open,High,Low,Close,Adj Close,Volume\n2024-01-02,10,11,9,10.5,10.5,100\n"
       "2024-01-03,null,null,null,null,null,null\n2024-01-04,10.5,12,10,11,11,200\n",
       "found: Date - Open High Low Close Volume -\nignored: [Adj Close]\norder: \n"
       "note: skipped 1 row without prices: line 3\n"
       "2024-01-02 10 11 9 10.5 100 -\n2024-01-04 10.5 12 10 11 200 -\n"},
      {"investing.com, a volume of -", "\"Date\",\"Price\",\"Open\",\"High\",\"Low\",\"Vol.\",\"Change %\"\n"
       "\"Jan 03, 2024\",\"1.5\",\"1.4\",\"1.6\",\"1.3\",\"-\",\"1.2%\"\n",
       "found: Date - Open High Low Price Vol. -\nignored: [Change %]\norder: \n"
       "2024-01-03 1.4 1.6 1.3 1.5 0 -\n"},
      {"German, a blank holiday row, decimal commas",
       "Datum;Er\xC3\xB6\x66\x66nung;Hoch;Tief;Schluss;Volumen\n02.01.2024;1,5;2,5;1,25;2;1.000\n"
       "01.01.2024;;;;;\n29.12.2023;1;1,75;0,5;1,5;-\n",
       "found: Datum - Er\xC3\xB6\x66\x66nung Hoch Tief Schluss Volumen -\nignored:\norder: day/month/year\n"
       "note: skipped 1 row without prices: line 3\n"
       "2023-12-29 1 1.75 0.5 1.5 0 -\n2024-01-02 1.5 2.5 1.25 2 1000 -\n"},
      {"MT4, no titles, HH:MM times",
       "2024.01.02,09:30,1.1,1.2,1.0,1.15,100\n2024.01.02,09:31,1.15,1.25,1.1,1.2,50\n",
       "found: column 1 column 2 column 3 column 4 column 5 column 6 column 7 -\nignored:\norder: \n"
       "2024-01-02 09:30:00 1.1 1.2 1 1.15 100 -\n2024-01-02 09:31:00 1.15 1.25 1.1 1.2 50 -\n"},
      {"MetaStock ASCII, two tickers, interleaved",
       "<TICKER>,<NAME>,<PER>,<DTYYYYMMDD>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>,<OPENINT>\n"
       "AAA,Alpha,D,20240102,000000,1,2,0.5,1.5,10,0\nBBB,Beta,D,20240102,000000,5,6,4,5.5,20,0\n"
       "AAA,Alpha,D,20240103,000000,1.5,2,1,1.75,11,0\n",
       "found: <DTYYYYMMDD> <TIME> <OPEN> <HIGH> <LOW> <CLOSE> <VOL> <OPENINT>\n"
       "ignored: [<TICKER>] [<NAME>] [<PER>]\norder: \ntickers: AAA/Alpha BBB/Beta\n"
       "0 2024-01-02 1 2 0.5 1.5 10 0\n0 2024-01-03 1.5 2 1 1.75 11 0\n1 2024-01-02 5 6 4 5.5 20 0\n"},
      {"exchange klines in milliseconds, no titles, across midnight UTC",
       "1704153540000,1.5,2,1,1.75,10,1704153599999,17.5,3,5,8.75,0\n"
       "1704153600000,1.75,2.5,1.5,2,12,1704153659999,24,4,6,12,0\n",
       "found: column 1 column 1 column 2 column 3 column 4 column 5 column 6 -\n"
       "ignored: [column 7 (left out)] [column 8 (left out)] [column 9 (left out)] "
       "[column 10 (left out)] [column 11 (left out)] [column 12 (left out)]\norder: \n"
       "2024-01-01 23:59:00 1.5 2 1 1.75 10 -\n2024-01-02 00:00:00 1.75 2.5 1.5 2 12 -\n"},
      {"charting export, Unix seconds under time",
       "time,open,high,low,close,Volume\n1704153600,1,2,0.5,1.5,7\n1704240000,1.5,2,1,1.25,8\n",
       "found: time - open high low close Volume -\nignored:\norder: \n"
       "2024-01-02 1 2 0.5 1.5 7 -\n2024-01-03 1.5 2 1 1.25 8 -\n"},
      {"Chinese titles in GBK",
       "\xC8\xD5\xC6\xDA,\xBF\xAA\xC5\xCC,\xD7\xEE\xB8\xDF,\xD7\xEE\xB5\xCD,\xCA\xD5\xC5\xCC,"
       "\xB3\xC9\xBD\xBB\xC1\xBF\n2024-01-02,1,2,0.5,1.5,100\n",
       "found: \xE6\x97\xA5\xE6\x9C\x9F - \xE5\xBC\x80\xE7\x9B\x98 \xE6\x9C\x80\xE9\xAB\x98 "
       "\xE6\x9C\x80\xE4\xBD\x8E \xE6\x94\xB6\xE7\x9B\x98 \xE6\x88\x90\xE4\xBA\xA4\xE9\x87\x8F -\n"
       "ignored:\norder: \nnote: read as GBK: the text is no UTF-8\n2024-01-02 1 2 0.5 1.5 100 -\n"},
      {"Japanese titles in Shift-JIS",
       "\x93\xFA\x95t,\x8En\x92l,\x8D\x82\x92l,\x88\xC0\x92l,\x8FI\x92l,\x8Fo\x97\x88\x8D\x82\n"
       "2024/01/04,100,110,90,105,3000\n",
       "found: \xE6\x97\xA5\xE4\xBB\x98 - \xE5\xA7\x8B\xE5\x80\xA4 \xE9\xAB\x98\xE5\x80\xA4 "
       "\xE5\xAE\x89\xE5\x80\xA4 \xE7\xB5\x82\xE5\x80\xA4 \xE5\x87\xBA\xE6\x9D\xA5\xE9\xAB\x98 -\n"
       "ignored:\norder: \nnote: read as Shift-JIS: the text is no UTF-8\n2024-01-04 100 110 90 105 3000 -\n"},
      {"Russian titles in Windows-1251",
       "\xC4\xE0\xF2\xE0;\xCE\xF2\xEA\xF0\xFB\xF2\xE8\xE5;\xCC\xE0\xEA\xF1;\xCC\xE8\xED;"
       "\xC7\xE0\xEA\xF0\xFB\xF2\xE8\xE5;\xCE\xE1\xFA\xE5\xEC\n2024-01-04;1;2;0,5;1,5;9\n",
       "found: \xD0\x94\xD0\xB0\xD1\x82\xD0\xB0 - \xD0\x9E\xD1\x82\xD0\xBA\xD1\x80\xD1\x8B\xD1\x82\xD0\xB8\xD0\xB5 "
       "\xD0\x9C\xD0\xB0\xD0\xBA\xD1\x81 \xD0\x9C\xD0\xB8\xD0\xBD "
       "\xD0\x97\xD0\xB0\xD0\xBA\xD1\x80\xD1\x8B\xD1\x82\xD0\xB8\xD0\xB5 \xD0\x9E\xD0\xB1\xD1\x8A\xD0\xB5\xD0\xBC -\n"
       "ignored:\norder: \nnote: read as windows-1251: the text is no UTF-8\n2024-01-04 1 2 0.5 1.5 9 -\n"},
      {"UTF-16 with its byte-order mark",
       std::string("\xFF\xFE" "D\0a\0t\0e\0,\0C\0l\0o\0s\0e\0\n\0" "2\0" "0\0" "2\0" "4\0-\0" "0\0" "1\0-\0"
                   "0\0" "2\0,\0" "7\0\n\0", 50),
       "found: Date - - - - Close - -\nignored:\norder: \n2024-01-02 - - - 7 - -\n"},
      {"a title line above the titles and a source line below the quotes",
       "Historical data for ACME\nDate,Open,High,Low,Close\n2024-01-02,1,2,0.5,1.5\n"
       "Source: example.com, all rights reserved\n",
       "found: Date - Open High Low Close - -\nignored:\norder: \n"
       "note: skipped line 1 above the quotes: \"Historical data for ACME\"\n"
       "note: skipped line 4 below the quotes: \"Source: example.com, all rights reserved\"\n"
       "2024-01-02 1 2 0.5 1.5 - -\n"},
      {"a broker's file without titles: DD/MM/YY, a time of 0, open to volume",
       "13/01/22,0,10,11,9,10.5,100\n14/01/22,0,10.5,12,10,11,200\n",
       "found: column 1 column 2 column 3 column 4 column 5 column 6 column 7 -\nignored:\n"
       "order: day/month/year\n2022-01-13 10 11 9 10.5 100 -\n2022-01-14 10.5 12 10 11 200 -\n"},
      {"every time form", "Date,Time,Close\n2024-01-02,0,1\n2024-01-02,930,2\n2024-01-02,0931,3\n",
       "found: Date Time - - - Close - -\nignored:\norder: \n2024-01-02 00:00:00 - - - 1 - -\n"
       "2024-01-02 09:30:00 - - - 2 - -\n2024-01-02 09:31:00 - - - 3 - -\n"},
      {"a US spreadsheet: 12-hour times, a control byte below the quotes, a DOS end mark",
       "Date,Time,Close\r\n1/13/2024,12:05 AM,1\r\n1/13/2024,9:30:00 AM,2\r\n1/13/2024,12:00 PM,3\r\n"
       "1/13/2024,1:30 pm,4\r\nEnd\x01\r\n\x1a",
       "found: Date Time - - - Close - -\nignored:\norder: month/day/year\n"
       "note: skipped line 6 below the quotes: \"End?\"\n2024-01-13 00:05:00 - - - 1 - -\n"
       "2024-01-13 09:30:00 - - - 2 - -\n2024-01-13 12:00:00 - - - 3 - -\n2024-01-13 13:30:00 - - - 4 - -\n"},
      {"French and Swiss groups of thousands: a blank, a no-break space, an apostrophe",
       "Date;Ouverture;Plus haut;Plus bas;Cl\xC3\xB4ture;Volume\n02/01/2024;1 234,50;1\xC2\xA0" "240,00;"
       "1\xE2\x80\xAF" "230,25;1'238,75;12 345\n15/01/2024;1 238,75;1 245,00;1 236,00;1 244,00;9 876\n",
       "found: Date - Ouverture Plus haut Plus bas Cl\xC3\xB4ture Volume -\nignored:\norder: day/month/year\n"
       "2024-01-02 1234.5 1240 1230.25 1238.75 12345 -\n2024-01-15 1238.75 1245 1236 1244 9876 -\n"},
      {"MetaTrader's currency bars: the volume 0 throughout, the ticks beside it",
       "<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
       "2024.01.04\t09:30:00\t1.095\t1.096\t1.094\t1.0955\t1234\t0\t12\n",
       "found: <DATE> <TIME> <OPEN> <HIGH> <LOW> <CLOSE> <TICKVOL> -\nignored: [<VOL>] [<SPREAD>]\n"
       "order: \n2024-01-04 09:30:00 1.095 1.096 1.094 1.0955 1234 -\n"},
      {"MetaTrader's exchange bars: a volume of their own beside the ticks",
       "<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
       "2024.01.04\t09:30:00\t1.095\t1.096\t1.094\t1.0955\t1234\t50\t12\n",
       "found: <DATE> <TIME> <OPEN> <HIGH> <LOW> <CLOSE> <VOL> -\nignored: [<TICKVOL>] [<SPREAD>]\n"
       "order: \n2024-01-04 09:30:00 1.095 1.096 1.094 1.0955 50 -\n"},
      {"Kraken's bars: no titles, Unix seconds (no time column beside them), 7 columns",
       "1704326400,42283.5,42554.2,42207.0,42500.0,12.5,150\n1704412800,42500.0,43000.0,42400.0,42900.0,10.1,120\n",
       "found: column 1 - column 2 column 3 column 4 column 5 column 6 column 7\nignored:\norder: \n"
       "2024-01-04 42283.5 42554.2 42207 42500 12.5 150\n2024-01-05 42500 43000 42400 42900 10.1 120\n"},
      {"a French broker's abbreviated titles and a currency column",
       "date;ouv;haut;bas;clot;vol;devise\n04/01/2024;10,5;10,9;10,1;10,7;12345;EUR\n"
       "15/01/2024;10,7;11,0;10,6;10,8;12000;EUR\n",
       "found: date - ouv haut bas clot vol -\nignored: [devise]\norder: day/month/year\n"
       "2024-01-04 10.5 10.9 10.1 10.7 12345 -\n2024-01-15 10.7 11 10.6 10.8 12000 -\n"},
      {"a crypto download: a site line, Unix milliseconds beside the date, newest first",
       "https://www.example.com\nunix,date,symbol,open,high,low,close,Volume BTC,Volume USDT\n"
       "1704240000000,2024-01-03 00:00:00,BTC/USDT,2,2.5,1.5,2.25,7,15.75\n"
       "1704153600000,2024-01-02 00:00:00,BTC/USDT,1,2,0.5,1.5,5,7.5\n",
       "found: unix - open high low close Volume BTC -\nignored: [date] [symbol] [Volume USDT]\norder: \n"
       "note: skipped line 1 above the quotes: \"https://www.example.com\"\n"
       "2024-01-02 1 2 0.5 1.5 5 -\n2024-01-03 2 2.5 1.5 2.25 7 -\n"},
      {"forex bars: no titles, semicolons, the date and its HHMMSS time in one cell",
       "20240104 093000;1.09405;1.0941;1.0939;1.094;0\n20240104 093100;1.094;1.0942;1.09395;1.09415;0\n",
       "found: column 1 column 1 column 2 column 3 column 4 column 5 column 6 -\nignored:\norder: \n"
       "2024-01-04 09:30:00 1.09405 1.0941 1.0939 1.094 0 -\n2024-01-04 09:31:00 1.094 1.0942 1.09395 1.09415 0 -\n"},
      {"investing.com in Chinese: one-letter titles for the high and the low",
       "\"\xE6\x97\xA5\xE6\x9C\x9F\",\"\xE6\x94\xB6\xE7\x9B\x98\",\"\xE5\xBC\x80\xE7\x9B\x98\",\"\xE9\xAB\x98\","
       "\"\xE4\xBD\x8E\",\"\xE4\xBA\xA4\xE6\x98\x93\xE9\x87\x8F\"\n\"2024\xE5\xB9\xB4" "1\xE6\x9C\x88" "4\xE6\x97\xA5\","
       "\"1.5\",\"1\",\"2\",\"0.5\",\"62.38M\"\n",
       "found: \xE6\x97\xA5\xE6\x9C\x9F - \xE5\xBC\x80\xE7\x9B\x98 \xE9\xAB\x98 \xE4\xBD\x8E \xE6\x94\xB6\xE7\x9B\x98 "
       "\xE4\xBA\xA4\xE6\x98\x93\xE9\x87\x8F -\nignored:\norder: \n2024-01-04 1 2 0.5 1.5 62380000 -\n"},
      {"investing.com in German and in Korean, whose dates hold blanks",
       "\"Datum\",\"Zuletzt\",\"Er\xC3\xB6\x66\x66n.\",\"Hoch\",\"Tief\",\"Vol.\"\n\"2024- 01- 04\",\"1,5\",\"1\",\"2\",\"0,5\",\"7K\"\n",
       "found: Datum - Er\xC3\xB6\x66\x66n. Hoch Tief Zuletzt Vol. -\nignored:\norder: \n2024-01-04 1 2 0.5 1.5 7000 -\n"},
      {"times with seconds",
       "Date,Time,Close\n2024-01-02,093100,1\n2024-01-02,09:32,2\n2024-01-02,09:33:05,3\n",
       "found: Date Time - - - Close - -\nignored:\norder: \n2024-01-02 09:31:00 - - - 1 - -\n"
       "2024-01-02 09:32:00 - - - 2 - -\n2024-01-02 09:33:05 - - - 3 - -\n"},
      {"German shares beside a volume of money",
       "Datum;Erster;Hoch;Tief;Schlusskurs;Stuecke;Volumen\n2024-01-02;1,5;2;1;1,75;300;525\n",
       "found: Datum - Erster Hoch Tief Schlusskurs Stuecke -\nignored: [Volumen]\norder: \n"
       "2024-01-02 1.5 2 1 1.75 300 -\n"},
      {"a date under a title the table lacks, its zone and zero fraction passed over",
       "Session,Open,High,Low,Close\n2024-01-02T09:30:00.000-05:00,1,2,0.5,1.5\n"
       "2024-01-02T09:45:00Z,1,2,0.5,1.5\n",
       "found: Session Session Open High Low Close - -\nignored:\norder: \n"
       "2024-01-02 09:30:00 1 2 0.5 1.5 - -\n2024-01-02 09:45:00 1 2 0.5 1.5 - -\n"},
      {"charting export, daily bars under time with an offset",
       "time,open,high,low,close\n2024-01-02T00:00:00+09:00,1,2,0.5,1.5\n",
       "found: time - open high low close - -\nignored:\norder: \n2024-01-02 1 2 0.5 1.5 - -\n"},
      {"klines in microseconds", "time,open,high,low,close\n1704153600000000,1,2,0.5,1.5\n",
       "found: time - open high low close - -\nignored:\norder: \n2024-01-02 1 2 0.5 1.5 - -\n"},
      {"Japanese dates in kanji",
       "\xE6\x97\xA5\xE4\xBB\x98,Close\n2024\xE5\xB9\xB4" "1\xE6\x9C\x88" "4\xE6\x97\xA5,105\n",
       "found: \xE6\x97\xA5\xE4\xBB\x98 - - - - Close - -\nignored:\norder: \n2024-01-04 - - - 105 - -\n"},
      {"a close alone among full bars",
       "Date,Open,High,Low,Close\n2024-01-02,1,2,0.5,1.5\n2024-01-03,,,,1.75\n",
       "found: Date - Open High Low Close - -\nignored:\norder: \n"
       "note: 1 row holds a close alone, taken as open, high and low too: line 3\n"
       "2024-01-02 1 2 0.5 1.5 - -\n2024-01-03 1.75 1.75 1.75 1.75 - -\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.text, c.options), c.reading) << c.source;
}

TEST(ImportText, BadBarsImportWhileAHundredthHoldsAndRefuseBeyond) {
  // 2 of 200 rows: imported and listed.
  ImportedText quotes;
  std::string error;
  ASSERT_TRUE(ReadImportText(Bars(200, {17, 140}), {}, &quotes, &error)) << error;
  EXPECT_EQ(quotes.quotes.size(), 200u);
  EXPECT_EQ(quotes.notes, std::vector<std::string>{
                              "2 rows have a close above the high: lines 18, 141. Check shows them."});
  // 3 of 200: refused, naming the first failing line and the reading.
  EXPECT_FALSE(ReadImportText(Bars(200, {17, 140, 199}), {}, &quotes, &error));
  EXPECT_EQ(error,
            "Line 18: a close above the high.\n3 of 200 rows fail the bar check with the columns read "
            "as Date as Date, Open as Open, High as High, Low as Low, Close as Close, Volume as "
            "Volume.\nMore than 1 in 100 means the columns are misread.");
  EXPECT_TRUE(quotes.quotes.empty());
  EXPECT_EQ(quotes.preview.fields, (std::vector<std::string>{"Date", "Open", "High", "Low", "Close", "Volume"}));
  EXPECT_EQ(quotes.preview.lines, (std::vector<int>{2, 3, 4, 5, 6, 197, 198, 199, 200, 201}));
  // The broker file read with titles that shift every column is never written.
  EXPECT_FALSE(ReadImportText("Date,Open,High,Low,Close,Volume,OpenInt\n13/01/22,0,10,11,9,10.5,100\n",
                              {}, &quotes, &error));
  EXPECT_EQ(error.substr(0, error.find('\n')), "Line 2: a high below the low.");
}

TEST(ImportText, RefusalsNameTheLineAndHowToDecide) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "The text holds no quotes."},
      {"DATE CLOSE\r\n\r\n", "The text holds no quotes."},
      {"\xEF\xBB\xBF", "The text holds no quotes."},
      {"Date,Close,close\n", "Line 1: the column \"close\" is named twice."},
      {"Close,Open\n1,2\n", "Line 1: no column is named Date."},
      {"Close\n5\n", "Line 1: no column is named Date."},
      {"5\n6\n", "Line 1: one column alone holds no date and price. Add a title row naming the columns, e.g. "
                 "Date,Open,High,Low,Close,Volume."},
      {"Datum,Kurz,Hoch,Tief,Umsatz\n2024-01-04,1.5,2,1,7\n",
       "Line 1: no title names the close (left out: \"Kurz\"). Title the close's column Close and import again."},
      {"01/13/98 1\n\n01/15/98 1 2\n", "Line 3: 3 columns where 2 were expected."},
      {"01/02/98 1\n02/30/98 1\n", "Line 2: \"02/30/98\" is no date read as month/day/year."},
      {"Date Close\n2019-02-29 1\n", "Line 2: \"2019-02-29\" is no date."},
      {"Date Close\n18991231 1\n", "Line 2: \"18991231\" lies outside the dates a quote file holds (1900 to 3577)."},
      {"Date Close\n9999-01-01 1\n", "Line 2: \"9999-01-01\" lies outside the dates a quote file holds (1900 to 3577)."},
      {"Date Close\n1998-1-2x 1\n", "Line 2: \"1998-1-2x\" is no date."},
      {"Date Close\n01/13/98 1.5x\n", "Line 2: \"1.5x\" is no number."},
      {"Date Close\n01/13/98 nan\n", "Line 2: the text holds no row with a price."},
      {"Date,Close\n01/13/98,-\n", "Line 2: the text holds no row with a price."},
      {"Date,Close\n2020-01-02,2e38\n", "Line 2: \"2e38\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,-1e39\n", "Line 2: \"-1e39\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,1e-40\n", "Line 2: \"1e-40\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,1e999\n", "Line 2: \"1e999\" is beyond the numbers a quote file holds."},
      {"Date,Close\n2020-01-02,1.000.5\n", "Line 2: \"1.000.5\" is no number."},
      {"01/13/98 1\n01/15/98 2\n01/13/98 3\n", "Line 3: a second quote of 01/13/98 (the first is on line 1)."},
      {"Date Time Close\n2013-11-15 09:05 1\n2013-11-15 09:10 1\n2013-11-15 09:05 1\n",
       "Line 4: a second quote of 11/15/13 09:05:00 (the first is on line 2)."},
      {"Date Time Close\n2013-11-15 9.05 1\n", "Line 2: \"9.05\" is no time of day."},
      {"<DATE>\t<TIME>\t<BID>\t<ASK>\t<LAST>\t<VOLUME>\n2024.01.04\t09:30:00.125\t1.0941\t1.0942\t1.0941\t1\n",
       "Line 2: \"09:30:00.125\" has a fraction of a second, which a quote file cannot keep: import bars, not ticks."},
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
      {"01/20/98,11,11,11,11,950\n", "Line 1: without a title row, these 6 columns could be\n"
       "  date, open, high, low, close, volume\n  date, high, low, close, volume, open interest\n"
       "and the prices do not decide it. Add a title row naming the columns, e.g. "
       "Date,Open,High,Low,Close,Volume."},
      {"01/20/98,12,11,10.75,10.75,950\n", "Line 1: without a title row, these 6 columns could be\n"
       "  date, open, high, low, close, volume (1 of 1 rows fail; Line 1: an open above the high)\n"
       "  date, high, low, close, volume, open interest (1 of 1 rows fail; Line 1: a close below "
       "the low)\nand under none of them do 99 rows in 100 hold the bar check. Add a title row "
       "naming the columns, e.g. Date,Open,High,Low,Close,Volume."},
      {"01/02/98 1 2 3\n",
       "Line 1: without a title row, the columns found (date, number, number, number) fit no "
       "known shape. Add a title row naming them, e.g. Date,Open,High,Low,Close,Volume."},
      {"01/13/98 1\n01/15/98 x\n", "Line 2: \"x\" is no number."},
      {"01/13/98 x\n", "Line 1: without a title row, the columns found (date, text) fit no known shape. Add a "
       "title row naming them, e.g. Date,Open,High,Low,Close,Volume."},
      {"03/01/22 1\n", "Line 1: no date of the text tells the day from the month (\"03/01/22\").\n"
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
      {"1,234.5", '.', CellNumber::kNumber, 1234.5},      {"1.234,5", ',', CellNumber::kNumber, 1234.5},
      {"-$1,234,567", '.', CellNumber::kNumber, -1234567}, {"$-5.25", '.', CellNumber::kNumber, -5.25},
      {"R$ 7,5", ',', CellNumber::kNumber, 7.5},           {"\xE2\x82\xAC" "3", '.', CellNumber::kNumber, 3},
      {"1.5k", '.', CellNumber::kNumber, 1500},            {"2B", '.', CellNumber::kNumber, 2e9},
      {".5", '.', CellNumber::kNumber, 0.5},               {"1e3", '.', CellNumber::kNumber, 1000},
      {"1 234", '.', CellNumber::kNumber, 1234},           {"N/A", '.', CellNumber::kMissing, 0},
      {"12,34", '.', CellNumber::kNoNumber, 0},            {",123", '.', CellNumber::kNoNumber, 0},
      {"1,,234", '.', CellNumber::kNoNumber, 0},           {"$", '.', CellNumber::kNoNumber, 0},
      {"12 34", '.', CellNumber::kNoNumber, 0},            {"--1", '.', CellNumber::kNoNumber, 0},
  };
  for (const auto& [cell, decimal, kind, value] : cases) {
    double read = 0;
    EXPECT_EQ(ReadNumberCell(cell, decimal, &read), kind) << cell;
    if (kind == CellNumber::kNumber) EXPECT_EQ(read, value) << cell;
  }
  const std::pair<const char*, DecimalHint> hints[] = {
      {"1.5", DecimalHint::kPoint},       {"1,5", DecimalHint::kComma},       {"1,234", DecimalHint::kUnclear},
      {"1.234", DecimalHint::kNone},      {"1.234.567", DecimalHint::kComma}, {"1,234,567", DecimalHint::kPoint},
      {"1.234,5", DecimalHint::kComma},   {"1.5e3", DecimalHint::kPoint}};
  for (const auto& [text, hint] : hints) EXPECT_EQ(DecimalHintOf(text), hint) << text;
}

}  // namespace
}  // namespace barvane
