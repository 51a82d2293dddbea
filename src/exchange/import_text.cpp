// Reading quote text for Import.
#include "exchange/import_text.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <unordered_map>

#include "exchange/column_titles.h"

namespace barvane {
namespace {

// What a column of the text holds: a value column (0..5, open to open interest), the adjusted
// close, the date, the time, the ticker and issue name of the row, or something not stored.
enum Slot : int {
  kAdjustedSlot = kImportColumnCount, kDateSlot, kTimeSlot, kTickerSlot, kNameSlot, kIgnoredSlot
};

struct Shape {
  std::vector<int> slots;
  std::vector<std::string> names;  // what each column is called in messages and the summary
  bool titled = false;
};

int SlotNamed(std::string_view title) {
  switch (FieldTitled(title)) {
    case TitledField::kDate: return kDateSlot;
    case TitledField::kTime: return kTimeSlot;
    case TitledField::kOpen: return 0;
    case TitledField::kHigh: return 1;
    case TitledField::kLow: return 2;
    case TitledField::kClose: return 3;
    case TitledField::kVolume:
    case TitledField::kShares: return 4;
    case TitledField::kOpenInterest: return 5;
    case TitledField::kAdjustedClose: return kAdjustedSlot;
    case TitledField::kTicker: return kTickerSlot;
    case TitledField::kName: return kNameSlot;
    case TitledField::kPeriod:
    case TitledField::kTicks:
    case TitledField::kNone: break;
  }
  return kIgnoredSlot;
}

const char* SlotWord(int slot) {
  static const char* const kWords[] = {"open",   "high", "low",  "close",  "volume", "open interest",
                                       "adjusted close", "date", "time", "ticker", "name"};
  return kWords[slot];
}

// The heading of a column in the preview: the field its cells go to.
std::string FieldHeading(int slot, bool adjusted) {
  static const char* const kHeadings[] = {"Open", "High", "Low", "Close", "Volume", "Open interest",
                                          "Adj. close", "Date", "Time", "Ticker", "Name", "left out"};
  return slot == kAdjustedSlot && !adjusted ? "left out" : kHeadings[slot];
}

// The shapes of a text without a title row: a ticker (and a period) or nothing before the
// date, a time after it or not, and then each of the export's usual column sets; a wider
// row, as exchanges' klines write them, is open to volume and what they add after it.
std::vector<Shape> ShapesOfCount(std::size_t count) {
  static const std::vector<std::vector<int>> kExportSets = {
      {3}, {3, 4}, {0, 1, 2, 3}, {1, 2, 3, 4}, {0, 1, 2, 3, 4}, {1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}};
  std::vector<Shape> shapes;
  const std::vector<std::vector<int>> leads = {{}, {kTickerSlot}, {kTickerSlot, kIgnoredSlot}};
  for (const auto& lead : leads) {
    for (const bool timed : {false, true}) {
      std::vector<int> slots = lead;
      slots.push_back(kDateSlot);
      if (timed) slots.push_back(kTimeSlot);
      if (slots.size() >= count) continue;
      std::vector<std::vector<int>> sets = kExportSets;
      if (count - slots.size() > kExportSets.back().size()) {
        std::vector<int> wide = {0, 1, 2, 3, 4};
        wide.resize(count - slots.size(), kIgnoredSlot);
        sets.push_back(wide);
      }
      for (const auto& values : sets) {
        if (slots.size() + values.size() != count) continue;
        Shape shape;
        shape.slots = slots;
        shape.slots.insert(shape.slots.end(), values.begin(), values.end());
        for (std::size_t i = 0; i < shape.slots.size(); ++i) {
          const int slot = shape.slots[i];
          shape.names.push_back(slot != kIgnoredSlot ? SlotWord(slot) : i == 1 ? "period" : "left out");
        }
        shapes.push_back(std::move(shape));
      }
    }
  }
  return shapes;
}

std::string ShapeText(const Shape& shape) {
  std::string text;
  for (const std::string& name : shape.names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string LineText(int line) { return "Line " + std::to_string(line) + ": "; }

// Control bytes would break the message's line or the terminal showing it.
std::string Quoted(std::string_view cell) {
  std::string text = "\"" + std::string(cell) + "\"";
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  return text;
}

// "lines 211, 350, 4012", the first ten of them and how many more.
std::string LinesText(const std::vector<int>& lines) {
  constexpr std::size_t kNamed = 10;
  std::string text = lines.size() == 1 ? "line " : "lines ";
  for (std::size_t i = 0; i < lines.size() && i < kNamed; ++i)
    text += (i ? ", " : "") + std::to_string(lines[i]);
  if (lines.size() > kNamed) text += " and " + std::to_string(lines.size() - kNamed) + " more";
  return text;
}

std::string RowsText(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " row" : " rows");
}

struct Line {
  int number;
  std::string_view text;
};

// The cells of a line: split at `delimiter` (a blank: at runs of blanks), each trimmed of
// blanks and of the double quotes around it; a delimiter inside quotes is part of the cell.
void SplitCells(std::string_view line, char delimiter, std::vector<std::string_view>* cells) {
  cells->clear();
  std::size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < line.size() && (line[at] == ' ' || (line[at] == '\t' && delimiter != '\t'))) ++at;
  };
  skipBlanks();
  if (delimiter == ' ' && at == line.size()) return;
  while (true) {
    std::string_view cell;
    if (at < line.size() && line[at] == '"') {
      std::size_t close = at + 1;
      while (close < line.size() &&
             (line[close] != '"' || (close + 1 < line.size() && line[close + 1] == '"'))) {
        close += line[close] == '"' ? 2 : 1;
      }
      cell = line.substr(at + 1, std::min(close, line.size()) - at - 1);
      at = std::min(close + 1, line.size());
      skipBlanks();
      // Anything between the closing quote and the delimiter stays, so that the cell fails.
      const std::size_t end = std::min(line.find(delimiter, at), line.size());
      if (end != at) cell = line.substr(at, end - at);
      at = end;
    } else {
      std::size_t end = at;
      if (delimiter == ' ') {
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
      } else {
        while (end < line.size() && line[end] != delimiter) ++end;
      }
      cell = line.substr(at, end - at);
      while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
      at = end;
    }
    cells->push_back(cell);
    if (at >= line.size()) break;
    ++at;  // the delimiter
    skipBlanks();
    if (delimiter == ' ' && at == line.size()) break;
  }
}

// The lines of the table cut into cells once, for every reading of them.
class CellTable {
 public:
  CellTable(const std::vector<Line>& lines, char delimiter, std::size_t width) {
    cells_.reserve(lines.size() * width);
    start_.reserve(lines.size() + 1);
    std::vector<std::string_view> line;
    for (const Line& l : lines) {
      start_.push_back(cells_.size());
      SplitCells(l.text, delimiter, &line);
      cells_.insert(cells_.end(), line.begin(), line.end());
    }
    start_.push_back(cells_.size());
  }
  std::span<const std::string_view> operator[](std::size_t line) const {
    return {cells_.data() + start_[line], start_[line + 1] - start_[line]};
  }

 private:
  std::vector<std::string_view> cells_;
  std::vector<std::size_t> start_;  // where each line's cells begin, and the end
};

// The delimiter and width of the table: of tab, semicolon, comma and blanks (preferred in
// that order), the one that splits the most of `sample` into one number of cells, at least
// two; that number is the width.
std::pair<char, std::size_t> TableOf(const std::vector<Line>& sample) {
  std::pair<char, std::size_t> best{' ', 1};
  std::size_t bestLines = 0;
  std::vector<std::string_view> cells;
  for (const char delimiter : {'\t', ';', ',', ' '}) {
    std::map<std::size_t, std::size_t> widths;
    for (const Line& line : sample) {
      SplitCells(line.text, delimiter, &cells);
      ++widths[cells.size()];
    }
    // Of widths as common, the first line's, so that a line unlike it is the one refused.
    std::size_t width = 0, lines = 0;
    SplitCells(sample.front().text, delimiter, &cells);
    for (const auto& [w, n] : widths) {
      if (w >= 2 && (n > lines || (n == lines && w == cells.size()))) {
        width = w;
        lines = n;
      }
    }
    if (lines > bestLines) {
      best = {delimiter, width};
      bestLines = lines;
    }
  }
  return best;
}

bool HoldsDate(const std::vector<std::string_view>& cells) {
  CellDate date;
  DayNumber day = 0;
  int seconds = 0;
  return std::any_of(cells.begin(), cells.end(), [&](std::string_view cell) {
    return ReadDateCell(cell, &date) || ReadEpochCell(cell, &day, &seconds);
  });
}

// A cell that is a date (one of the calendar, where its form tells the order) or a Unix time.
bool IsDateCell(std::string_view cell) {
  CellDate date;
  DayNumber day = 0;
  int seconds = 0, year = 0, month = 0, dayOfMonth = 0;
  return (ReadDateCell(cell, &date) &&
          (!date.ordered || ResolveDate(date, DateOrder::kUndecided, &year, &month, &dayOfMonth))) ||
         ReadEpochCell(cell, &day, &seconds);
}

// A first line is a title row when none of its cells is a date or a number, and one is text.
bool IsTitleRow(const std::vector<std::string_view>& cells) {
  double value = 0;
  if (HoldsDate(cells)) return false;
  bool text = false;
  for (const std::string_view cell : cells) {
    const CellNumber number = ReadNumberCell(cell, '.', &value);
    if (number == CellNumber::kNumber || number == CellNumber::kBeyondRange) return false;
    text |= number == CellNumber::kNoNumber;
  }
  return text;
}

// What a line of a text without a title row was read as, for the message that none fits.
std::string CellKinds(const std::vector<std::string_view>& cells) {
  std::string text;
  for (const std::string_view cell : cells) {
    CellDate date;
    int seconds = 0;
    double value = 0;
    const char* kind = ReadDateCell(cell, &date)              ? "date"
                       : ReadTimeCell(cell, TimeDigits::kNone, &seconds)   ? "time"
                       : ReadNumberCell(cell, '.', &value) != CellNumber::kNoNumber ||
                               ReadNumberCell(cell, ',', &value) != CellNumber::kNoNumber
                           ? "number"
                           : "text";
    text += (text.empty() ? "" : ", ") + std::string(kind);
  }
  return text;
}

// Whether `value`, read from a text, is stored as itself: a quote file's floats reach neither
// 2^127 nor below the smallest normal float.
bool FileHolds(double value, float* stored) {
  *stored = static_cast<float>(value);
  const float size = std::fabs(*stored);
  return std::isfinite(*stored) && size < 0x1p127f && (size == 0 || size >= FLT_MIN);
}

// The kinds of row that fail the bar check, in the order they are told.
enum Failure { kHighBelowLow, kOpenAboveHigh, kOpenBelowLow, kCloseAboveHigh, kCloseBelowLow,
               kAllZero, kFailureKinds };

const char* FailureText(int kind) {
  static const char* const kTexts[] = {"a high below the low", "an open above the high",
                                       "an open below the low", "a close above the high",
                                       "a close below the low", "every price zero"};
  return kTexts[kind];
}

class Reader {
 public:
  Reader(const std::vector<Line>& lines, const CellTable& table, std::size_t first,
         const ImportOptions& options)
      : lines_(lines), table_(table), first_(first), options_(options) {}

  // Reads every line as `shape`. On failure returns false with `error` and `failLine` set.
  bool Read(const Shape& shape, ImportedText* out);
  // At least 99 rows in 100 hold the bar check.
  bool Holds() const { return failed * 100 <= rows; }
  // The first failing row, as "Line 17: a close above the high".
  std::string FirstFailure() const { return LineText(firstFailLine) + FailureText(firstFailKind); }
  // The notes on what was skipped, filled and failed.
  void AddNotes(std::vector<std::string>* notes) const;

  std::string error;
  int failLine = 0;
  bool undecided = false;  // the cells fit, but the file leaves the date order or decimal mark open
  std::size_t rows = 0;    // rows with prices
  std::size_t failed = 0;  // of them, rows that fail the bar check
  int firstFailLine = 0;
  int firstFailKind = 0;
  std::string orderReason;

 private:
  bool Fail(int line, const std::string& what) {
    failLine = line;
    error = LineText(line) + what;
    return false;
  }
  // Takes the cells of line `l` into `cells_` and reads its date and time; false (failed) when
  // they do not read.
  bool ReadLine(std::size_t l, CellDate* date, int* seconds);
  bool DecideOrder(DateOrder* order);
  bool DecideDecimal(char* decimal);
  void CheckBars(ImportedText* out);

  const std::vector<Line>& lines_;
  const CellTable& table_;
  std::size_t first_;
  const ImportOptions& options_;
  std::span<const std::string_view> cells_;  // the cells of the line read last
  std::size_t count_ = 0;
  std::size_t dateColumn_ = 0;
  std::size_t timeColumn_ = 0;  // count_ when the shape has no time column
  bool epoch_ = false;          // the date column holds Unix times
  TimeDigits timeDigits_ = TimeDigits::kNone;
  bool titled_ = false;
  // The first date cell of each kind (day above 12, month above 12, neither), with its line.
  std::pair<int, std::string_view> dayFirst_, monthFirst_, undecided_;
  // The first line of each hint about the decimal mark, and its cell.
  std::array<std::pair<int, std::string_view>, 4> hints_{};
  std::vector<int> skipped_, closeAlone_;
  std::array<std::vector<int>, kFailureKinds> failures_;
};

bool Reader::ReadLine(std::size_t l, CellDate* date, int* seconds) {
  const Line& line = lines_[first_ + l];
  cells_ = table_[first_ + l];
  if (cells_.size() != count_) {
    return Fail(line.number, std::to_string(cells_.size()) + " columns where " +
                                 std::to_string(count_) + " were expected.");
  }
  const std::string_view dateCell = cells_[dateColumn_];
  if (epoch_) {
    DayNumber day = 0;
    if (!ReadEpochCell(dateCell, &day, seconds))
      return Fail(line.number, Quoted(dateCell) + " is no Unix time.");
    const Ymd ymd = DayToYmd(day);
    *date = CellDate{};
    date->year = ymd.year + 1900;
    date->month = ymd.month;
    date->day = ymd.day;
    // A Unix time holds its time of day: a text without titles has no column of times beside it.
    if (!titled_ && timeColumn_ < count_) {
      return Fail(line.number, Quoted(cells_[timeColumn_]) + " is no time of day.");
    }
    return true;
  }
  if (!ReadDateCell(dateCell, date)) return Fail(line.number, Quoted(dateCell) + " is no date.");
  *seconds = std::max(date->seconds, 0);
  // Without titles, a number of one or two digits is no time but a price, unless it is 0.
  const std::string_view time = timeColumn_ < count_ ? cells_[timeColumn_] : "";
  if (timeColumn_ < count_ &&
      ((!titled_ && time.size() < 3 && time != "0" && time.find(':') == std::string_view::npos) ||
       !ReadTimeCell(time, timeDigits_, seconds))) {
    // A tick's time to the millisecond reads, but no quote file keeps it.
    const std::size_t colon = time.rfind(':'), dot = time.find('.');
    const bool fraction = colon != std::string_view::npos && dot > colon && dot != std::string_view::npos;
    return Fail(line.number, Quoted(time) + (fraction ? " has a fraction of a second, which a quote file cannot keep: "
                                                        "import bars, not ticks."
                                                      : " is no time of day."));
  }
  return true;
}

bool Reader::DecideOrder(DateOrder* order) {
  const auto where = [](const std::pair<int, std::string_view>& kind) {
    return Quoted(kind.second) + " (line " + std::to_string(kind.first) + ")";
  };
  *order = options_.dates;
  if (*order != DateOrder::kUndecided) {
    orderReason = "chosen";
    return true;
  }
  if (dayFirst_.first != 0 && monthFirst_.first != 0) {
    return Fail(std::max(dayFirst_.first, monthFirst_.first),
                "the dates contradict each other: " + where(dayFirst_) + " is day first, " +
                    where(monthFirst_) + " month first.");
  }
  if (dayFirst_.first != 0) *order = DateOrder::kDayFirst;
  if (monthFirst_.first != 0) *order = DateOrder::kMonthFirst;
  if (*order != DateOrder::kUndecided)
    orderReason = "told by " + where(dayFirst_.first != 0 ? dayFirst_ : monthFirst_);
  if (*order == DateOrder::kUndecided && undecided_.first != 0) {
    return Fail(undecided_.first, "no date of the text tells the day from the month (" +
                                      Quoted(undecided_.second) +
                                      ").\nChoose the order: --dates dmy, mdy or ymd.");
  }
  return true;
}

bool Reader::DecideDecimal(char* decimal) {
  const auto& [commaLine, commaCell] = hints_[static_cast<int>(DecimalHint::kComma)];
  const auto& [pointLine, pointCell] = hints_[static_cast<int>(DecimalHint::kPoint)];
  const auto& [unclearLine, unclearCell] = hints_[static_cast<int>(DecimalHint::kUnclear)];
  if (commaLine != 0 && pointLine != 0) {
    return Fail(std::max(commaLine, pointLine),
                "the numbers contradict each other: " + Quoted(commaCell) + " (line " +
                    std::to_string(commaLine) + ") has a decimal comma, " + Quoted(pointCell) +
                    " (line " + std::to_string(pointLine) + ") a decimal point.");
  }
  if (commaLine == 0 && pointLine == 0 && unclearLine != 0) {
    return Fail(unclearLine, Quoted(unclearCell) +
                                 " does not tell a decimal comma from a thousands separator.");
  }
  *decimal = commaLine != 0 ? ',' : '.';
  return true;
}

// Counts the rows that fail the bar check, each under the first kind it fails.
void Reader::CheckBars(ImportedText* out) {
  std::vector<char> failing(out->quotes.size(), 0);
  const auto note = [&](std::size_t q, int kind) {
    if (failing[q]) return;
    failing[q] = 1;
    failures_[static_cast<std::size_t>(kind)].push_back(out->quotes[q].line);
  };
  for (std::size_t q = 0; q < out->quotes.size(); ++q) {
    const auto& v = out->quotes[q].values;
    const auto& p = out->quotes[q].present;
    if (p[1] && p[2] && v[1] < v[2]) note(q, kHighBelowLow);
    if (p[0] && p[1] && v[0] > v[1]) note(q, kOpenAboveHigh);
    if (p[0] && p[2] && v[0] < v[2]) note(q, kOpenBelowLow);
    if (p[3] && p[1] && v[3] > v[1]) note(q, kCloseAboveHigh);
    if (p[3] && p[2] && v[3] < v[2]) note(q, kCloseBelowLow);
    if ((p[0] || p[1] || p[2] || p[3]) && (!p[0] || v[0] == 0) && (!p[1] || v[1] == 0) &&
        (!p[2] || v[2] == 0) && (!p[3] || v[3] == 0)) {
      note(q, kAllZero);
    }
  }
  rows = out->quotes.size();
  failed = static_cast<std::size_t>(std::count(failing.begin(), failing.end(), 1));
  for (std::size_t q = 0; q < failing.size(); ++q) {
    if (!failing[q]) continue;
    firstFailLine = out->quotes[q].line;
    for (int kind = 0; kind < kFailureKinds; ++kind) {
      const auto& lines = failures_[static_cast<std::size_t>(kind)];
      if (std::find(lines.begin(), lines.end(), firstFailLine) != lines.end()) firstFailKind = kind;
    }
    break;
  }
}

void Reader::AddNotes(std::vector<std::string>* notes) const {
  if (!skipped_.empty())
    notes->push_back("skipped " + RowsText(skipped_.size()) + " without prices: " + LinesText(skipped_));
  if (!closeAlone_.empty()) {
    notes->push_back(RowsText(closeAlone_.size()) + (closeAlone_.size() == 1 ? " holds" : " hold") +
                     " a close alone, taken as open, high and low too: " + LinesText(closeAlone_));
  }
  for (std::size_t kind = 0; kind < failures_.size(); ++kind) {
    const std::vector<int>& lines = failures_[kind];
    if (lines.empty()) continue;
    notes->push_back(RowsText(lines.size()) + (lines.size() == 1 ? " has " : " have ") +
                     FailureText(static_cast<int>(kind)) + ": " + LinesText(lines) +
                     (lines.size() == 1 ? ". Check shows it." : ". Check shows them."));
  }
}

bool Reader::Read(const Shape& shape, ImportedText* out) {
  *out = ImportedText{};
  count_ = shape.slots.size();
  titled_ = shape.titled;
  const auto columnOf = [&](int slot) {
    return static_cast<std::size_t>(std::find(shape.slots.begin(), shape.slots.end(), slot) -
                                    shape.slots.begin());
  };
  dateColumn_ = columnOf(kDateSlot);
  timeColumn_ = columnOf(kTimeSlot);
  const std::size_t tickerColumn = columnOf(kTickerSlot), nameColumn = columnOf(kNameSlot);
  const bool adjusted = options_.adjusted;
  const auto stored = [&](int slot) { return slot < kImportColumnCount || (adjusted && slot == kAdjustedSlot); };
  const std::size_t n = lines_.size() - first_;
  const bool priced = std::any_of(shape.slots.begin(), shape.slots.end(), [&](int slot) {
    return slot <= 3 || (adjusted && slot == kAdjustedSlot);
  });
  hints_ = {};
  dayFirst_ = monthFirst_ = undecided_ = {};
  // A date column of Unix times, and how a time column writes its times as numbers, are
  // decided by the first line and the widest cell.
  cells_ = table_[first_];
  DayNumber unixDay = 0;
  int seconds = 0;
  epoch_ = cells_.size() == count_ && ReadEpochCell(cells_[dateColumn_], &unixDay, &seconds);
  timeDigits_ = TimeDigits::kNone;
  if (timeColumn_ < count_) {
    std::string_view widest = "0";
    for (std::size_t l = 0; l < n; ++l) {
      cells_ = table_[first_ + l];
      if (cells_.size() == count_ && cells_[timeColumn_].size() > widest.size() &&
          cells_[timeColumn_].find(':') == std::string_view::npos)
        widest = cells_[timeColumn_];
    }
    timeDigits_ = TimeDigitsOf(widest);
  }
  CellDate date;
  // First pass: whether every line reads, and what its dates say of the order of day and
  // month and its numbers of the decimal mark.
  for (std::size_t l = 0; l < n; ++l) {
    if (!ReadLine(l, &date, &seconds)) return false;
    const int number = lines_[first_ + l].number;
    if (!date.ordered) {
      auto& kind = date.a > 12 ? dayFirst_ : date.b > 12 ? monthFirst_ : undecided_;
      if (kind.first == 0) kind = {number, cells_[dateColumn_]};
    }
    for (std::size_t c = 0; c < count_; ++c) {
      if (!stored(shape.slots[c])) continue;
      const auto hint = static_cast<std::size_t>(DecimalHintOf(cells_[c]));
      if (hints_[hint].first == 0) hints_[hint] = {number, cells_[c]};
    }
  }
  DateOrder order = DateOrder::kUndecided;
  char decimal = '.';
  if (!DecideOrder(&order) || !DecideDecimal(&decimal)) {
    undecided = true;
    return false;
  }

  // Second pass: the quotes.
  out->quotes.reserve(n);
  std::array<double, kImportColumnCount + 1> values{};
  std::array<bool, kImportColumnCount + 1> present{};
  std::unordered_map<std::string_view, int> tickers;
  std::string_view lastTicker;
  int lastIndex = 0;
  bool needsOrder = false;
  for (std::size_t l = 0; l < n; ++l) {
    (void)ReadLine(l, &date, &seconds);  // read in the first pass
    const std::string_view* row = cells_.data();
    const int number = lines_[first_ + l].number;
    needsOrder |= !date.ordered;
    int year = 0, month = 0, day = 0;
    if (!ResolveDate(date, order, &year, &month, &day)) {
      return Fail(number, Quoted(row[dateColumn_]) + " is no date" +
                              (date.ordered ? "." : " read as " + DateOrderText(order) + "."));
    }
    if (year < kImportFirstYear || year > kImportLastYear) {
      return Fail(number, Quoted(row[dateColumn_]) + " lies outside the dates a quote file holds (" +
                              std::to_string(kImportFirstYear) + " to " +
                              std::to_string(kImportLastYear) + ").");
    }
    present = {};
    for (std::size_t c = 0; c < count_; ++c) {
      const int slot = shape.slots[c];
      if (!stored(slot)) continue;
      const auto s = static_cast<std::size_t>(slot);
      switch (ReadNumberCell(row[c], decimal, &values[s])) {
        case CellNumber::kNumber:
          present[s] = true;
          break;
        case CellNumber::kEmpty:
          // An empty volume or open interest is none traded; an empty price is none known.
          values[s] = 0;
          present[s] = s == 4 || s == 5;
          break;
        case CellNumber::kMissing:
          break;
        case CellNumber::kNoNumber:
          return Fail(number, Quoted(row[c]) + " is no number.");
        case CellNumber::kBeyondRange:
          return Fail(number, Quoted(row[c]) + " is beyond the numbers a quote file holds.");
      }
    }
    if (priced && !present[0] && !present[1] && !present[2] && !present[3] && !present[kAdjustedSlot]) {
      skipped_.push_back(number);
      continue;
    }
    if (adjusted) {
      if (!present[kAdjustedSlot] || !present[3] || values[3] == 0) {
        return Fail(number, "the close cannot be adjusted without a close and an adjusted close.");
      }
      const double factor = values[kAdjustedSlot] / values[3];
      for (std::size_t c = 0; c < 3; ++c) values[c] *= factor;
      values[3] = values[kAdjustedSlot];
    }
    ImportedQuote& quote = out->quotes.emplace_back();
    quote.day = YmdToDay(year - 1900, month, day);
    quote.seconds = seconds;
    quote.line = number;
    out->intraday |= seconds != 0;
    if (tickerColumn < count_) {
      const std::string_view ticker = row[tickerColumn];
      if (ticker != lastTicker || out->tickers.empty()) {
        const auto [at, added] = tickers.emplace(ticker, static_cast<int>(tickers.size()));
        if (added) {
          out->tickers.emplace_back(ticker);
          out->names.emplace_back(nameColumn < count_ ? row[nameColumn] : std::string_view());
        }
        lastTicker = at->first;
        lastIndex = at->second;
      }
      quote.ticker = lastIndex;
    }
    for (std::size_t c = 0; c < kImportColumnCount; ++c) {
      if (!present[c]) continue;
      if (!FileHolds(values[c], &quote.values[c])) {
        std::size_t cell = 0;
        while (cell + 1 < count_ && shape.slots[cell] != static_cast<int>(c)) ++cell;
        return Fail(number, Quoted(row[cell]) + " is beyond the numbers a quote file holds.");
      }
      quote.present[c] = true;
      out->columns[c] = true;
    }
  }
  if (out->quotes.empty()) {
    return Fail(skipped_.empty() ? lines_.back().number : skipped_.front(),
                "the text holds no row with a price.");
  }
  // A close alone is a bar at the close.
  const bool anyOfOpenHighLow = out->columns[0] || out->columns[1] || out->columns[2];
  for (ImportedQuote& quote : out->quotes) {
    const auto& p = quote.present;
    if (anyOfOpenHighLow && p[3] && !p[0] && !p[1] && !p[2]) {
      for (std::size_t c = 0; c < 3; ++c) {
        // A column the text lacks stays empty: its value must stay 0.
        if (!out->columns[c]) continue;
        quote.values[c] = quote.values[3];
        quote.present[c] = true;
      }
      closeAlone_.push_back(quote.line);
    }
  }
  CheckBars(out);

  out->order = needsOrder ? order : DateOrder::kUndecided;
  if (!needsOrder) orderReason.clear();
  for (std::size_t c = 0; c < count_; ++c) {
    const int slot = shape.slots[c];
    const std::string name = shape.titled ? shape.names[c] : "column " + std::to_string(c + 1);
    if (slot >= kTickerSlot || (slot == kAdjustedSlot && !adjusted)) {
      out->ignored.push_back(shape.titled ? name : name + " (" + shape.names[c] + ")");
    } else if (slot == kDateSlot || slot == kTimeSlot) {
      out->found[static_cast<std::size_t>(slot - kDateSlot)] = name;
    } else if (slot < kImportColumnCount) {
      out->found[static_cast<std::size_t>(2 + slot)] = name;
    }
  }
  if (out->intraday && out->found[1].empty()) out->found[1] = out->found[0];
  return true;
}

// The shape a title row names; the time column of a text without a date column is its date
// when it holds Unix times.
Shape TitledShape(const std::vector<std::string_view>& cells) {
  Shape shape;
  shape.titled = true;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    shape.slots.push_back(SlotNamed(cells[c]));
    shape.names.push_back(cells[c].empty() ? "column " + std::to_string(c + 1) : std::string(cells[c]));
  }
  // Crypto downloads title their volumes by asset, base first: "Volume BTC,Volume USDT". The
  // first counts the coins traded, the volume; the second counts money.
  const auto assetVolume = [](std::string_view title) {
    const std::size_t blank = title.find(' ');
    if (blank == std::string_view::npos || TitleKey(title.substr(0, blank)) != "volume") return false;
    const std::string_view asset = title.substr(blank + 1);
    return asset.size() >= 2 && asset.size() <= 6 &&
           std::all_of(asset.begin(), asset.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
  };
  if (std::find(shape.slots.begin(), shape.slots.end(), 4) == shape.slots.end()) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (shape.slots[c] == kIgnoredSlot && assetVolume(cells[c])) {
        shape.slots[c] = 4;
        break;
      }
    }
  }
  // A count of shares beside a volume is the volume, and the other column the money traded.
  const auto shares = [&](std::string_view title) { return FieldTitled(title) == TitledField::kShares; };
  if (std::any_of(cells.begin(), cells.end(), shares)) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (shape.slots[c] == 4 && !shares(cells[c])) shape.slots[c] = kIgnoredSlot;
    }
  }
  return shape;
}

// A count of ticks is the volume where the file has none: MetaTrader writes 0 as the volume of
// currencies, whose charts show the ticks instead.
void TakeTicksForVolume(const CellTable& table, std::size_t rows, const std::vector<std::string_view>& titles,
                        Shape* shape) {
  const auto ticks = std::find_if(titles.begin(), titles.end(),
                                  [](std::string_view t) { return FieldTitled(t) == TitledField::kTicks; });
  if (ticks == titles.end()) return;
  const auto volume = std::find(shape->slots.begin(), shape->slots.end(), 4);
  if (volume != shape->slots.end()) {
    const auto v = static_cast<std::size_t>(volume - shape->slots.begin());
    for (std::size_t l = 1; l < rows; ++l) {
      const auto row = table[l];
      if (v < row.size() && row[v].find_first_not_of("0.") != std::string_view::npos) return;
    }
    *volume = kIgnoredSlot;
  }
  shape->slots[static_cast<std::size_t>(ticks - titles.begin())] = 4;
}

std::string MappingText(const Shape& shape, bool adjusted) {
  std::string text;
  for (std::size_t c = 0; c < shape.slots.size(); ++c) {
    text += (c ? ", " : "") + shape.names[c] + " as " + FieldHeading(shape.slots[c], adjusted);
  }
  return text;
}

std::string Clipped(std::string_view text) {
  constexpr std::size_t kShown = 60;
  if (text.size() <= kShown) return std::string(text);
  std::size_t end = kShown;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end)) + "...";
}

// The preview's rows: the first and the last lines of the table, cut into cells.
void AddPreviewRows(const std::vector<Line>& table, std::size_t first, char delimiter,
                    ImportPreview* preview) {
  constexpr std::size_t kEachEnd = 5;
  std::vector<std::string_view> cells;
  for (std::size_t l = first; l < table.size(); ++l) {
    if (l >= first + kEachEnd && l + kEachEnd < table.size()) {
      l = table.size() - kEachEnd - 1;
      continue;
    }
    SplitCells(table[l].text, delimiter, &cells);
    preview->lines.push_back(table[l].number);
    preview->rows.emplace_back(cells.begin(), cells.end());
  }
}

}  // namespace

std::string DateOrderText(DateOrder order) {
  switch (order) {
    case DateOrder::kDayFirst: return "day/month/year";
    case DateOrder::kMonthFirst: return "month/day/year";
    case DateOrder::kYearFirst: return "year/month/day";
    case DateOrder::kUndecided: break;
  }
  return "";
}

bool ReadImportText(std::string_view bytes, const ImportOptions& options, ImportedText* quotes,
                    std::string* error) {
  *quotes = ImportedText{};
  DecodedText decoded;
  if (!DecodeImportText(bytes, options.encoding, &decoded, error)) return false;
  std::string_view text = decoded.utf8;
  // Old DOS programs end a text with Ctrl+Z. Only at the very end: one inside the text is
  // refused with its line, never taken as a silent end.
  const std::size_t last = text.find_last_not_of("\x1a\r\n");
  text = last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
  std::vector<std::string> notes;
  if (decoded.proposed) notes.push_back("read as " + decoded.encoding + ": the text is no UTF-8");
  std::vector<Line> all;
  int number = 1;
  for (std::size_t at = 0; at < text.size(); ++number) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // A line of empty cells is as blank as an empty one.
    if (line.find_first_not_of(" \t,;\"") != std::string_view::npos) all.push_back({number, line});
    at = end + 1;
  }
  // What a refusal keeps: the encoding and the preview, for the window to show.
  ImportedText kept;
  kept.encoding = decoded.encoding;
  const auto refuse = [&](std::string message) {
    *quotes = std::move(kept);
    *error = std::move(message);
    return false;
  };
  if (all.empty()) return refuse("The text holds no quotes.");

  // The table: its delimiter and width from the first and last lines; lines of another width
  // that hold no date, above or below it, are passed over.
  constexpr std::size_t kSampleEnd = 100;
  std::vector<Line> sample(all.begin(), all.begin() + static_cast<long>(std::min(all.size(), kSampleEnd)));
  if (all.size() > kSampleEnd) sample.insert(sample.end(), all.end() - static_cast<long>(std::min(all.size() - kSampleEnd, std::size_t{20})), all.end());
  // Plain names, not a structured binding: clang 14 cannot capture one in a lambda.
  const auto delimiterAndWidth = TableOf(sample);
  const char delimiter = delimiterAndWidth.first;
  const std::size_t width = delimiterAndWidth.second;
  std::vector<std::string_view> cells;
  const auto outside = [&](const Line& line) {
    SplitCells(line.text, delimiter, &cells);
    return cells.size() != width && !HoldsDate(cells);
  };
  std::size_t top = 0, bottom = all.size();
  while (top < all.size() && outside(all[top])) ++top;
  while (bottom > top && outside(all[bottom - 1])) --bottom;
  if (top == bottom) {
    top = 0;
    bottom = all.size();
  }
  for (std::size_t l = 0; l < all.size(); ++l) {
    if (l == top) l = bottom;
    if (l == all.size()) break;
    notes.push_back("skipped line " + std::to_string(all[l].number) +
                    (l < top ? " above the quotes: " : " below the quotes: ") + Quoted(Clipped(all[l].text)));
  }
  const std::vector<Line> lines(all.begin() + static_cast<long>(top), all.begin() + static_cast<long>(bottom));
  const CellTable table(lines, delimiter, width);
  SplitCells(lines.front().text, delimiter, &cells);
  const int titleLine = lines.front().number;

  ImportedText read;
  const bool titled = IsTitleRow(cells);
  const std::size_t first = titled ? 1 : 0;
  AddPreviewRows(lines, first, delimiter, &kept.preview);
  if (options.adjusted && (!titled || std::none_of(cells.begin(), cells.end(), [](std::string_view c) {
                             return SlotNamed(c) == kAdjustedSlot;
                           }))) {
    return refuse(LineText(titleLine) + "no column is named as an adjusted close (\"Adj Close\").");
  }
  Shape shape = TitledShape(cells);
  if (titled) TakeTicksForVolume(table, lines.size(), cells, &shape);
  std::vector<Shape> shapes;  // the shapes to try when the titles name no date
  if (titled) {
    std::array<bool, kIgnoredSlot> seen{};
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const int slot = shape.slots[c];
      if (slot == kIgnoredSlot) continue;
      if (seen[static_cast<std::size_t>(slot)]) {
        return refuse(LineText(titleLine) + "the column " + Quoted(cells[c]) + " is named twice.");
      }
      seen[static_cast<std::size_t>(slot)] = true;
    }
    // Titles in a language or wording the table lacks would leave the close out and write bars
    // without it: a bar's other prices without its close is refused, naming what was left out.
    if ((seen[0] || seen[1] || seen[2]) && !seen[3] && !(options.adjusted && seen[kAdjustedSlot])) {
      std::string leftOut;
      for (std::size_t c = 0; c < cells.size(); ++c) {
        if (shape.slots[c] == kIgnoredSlot) leftOut += (leftOut.empty() ? "" : ", ") + Quoted(cells[c]);
      }
      return refuse(LineText(titleLine) + "no title names the close" +
                    (leftOut.empty() ? "" : " (left out: " + leftOut + ")") +
                    ". Title the close's column Close and import again.");
    }
    if (lines.size() == 1) return refuse("The text holds no quotes.");
    // Without a column titled as the date, the date is the time column when it holds dates
    // or Unix times, else the first column of a title the table lacks that holds them.
    std::vector<std::string_view> row;
    SplitCells(lines[1].text, delimiter, &row);
    if (!seen[kDateSlot] && row.size() == cells.size()) {
      const auto time = std::find(shape.slots.begin(), shape.slots.end(), int{kTimeSlot});
      std::size_t date = static_cast<std::size_t>(time - shape.slots.begin());
      if (time == shape.slots.end() || !IsDateCell(row[date])) {
        date = 0;
        while (date < row.size() && (FieldTitled(cells[date]) != TitledField::kNone || !IsDateCell(row[date])))
          ++date;
      }
      if (date < row.size()) {
        shape.slots[date] = kDateSlot;
        seen[kDateSlot] = true;
      }
    }
    // A time column of Unix times beside a date column ("unix,date,...") holds the whole moment,
    // to the second and without a question of order: it is the date, and the date's text is
    // left out.
    const auto time = std::find(shape.slots.begin(), shape.slots.end(), int{kTimeSlot});
    DayNumber unixDay = 0;
    int unixSeconds = 0;
    if (seen[kDateSlot] && time != shape.slots.end() && row.size() == cells.size() &&
        ReadEpochCell(row[static_cast<std::size_t>(time - shape.slots.begin())], &unixDay, &unixSeconds)) {
      std::replace(shape.slots.begin(), shape.slots.end(), int{kDateSlot}, int{kIgnoredSlot});
      *time = kDateSlot;
    }
    if (!seen[kDateSlot]) {
      shapes = ShapesOfCount(cells.size());
      // Too few or too many columns for any shape: nothing but a title could name the date.
      if (shapes.empty()) return refuse(LineText(titleLine) + "no column is named Date.");
      notes.push_back("the titles on line " + std::to_string(titleLine) +
                      " name no date: the columns are read by their cells");
    }
  } else {
    shapes = ShapesOfCount(cells.size());
    if (shapes.empty()) {
      return refuse(LineText(titleLine) + "one column alone holds no date and price. Add a title row naming "
                    "the columns, e.g. Date,Open,High,Low,Close,Volume.");
    }
  }
  std::optional<Reader> chosen;
  if (shapes.empty()) {
    chosen.emplace(lines, table, first, options);
    for (std::size_t c = 0; c < shape.slots.size(); ++c)
      kept.preview.fields.push_back(FieldHeading(shape.slots[c], options.adjusted));
    if (!chosen->Read(shape, &read)) return refuse(chosen->error);
    if (!chosen->Holds()) {
      return refuse(chosen->FirstFailure() + ".\n" + std::to_string(chosen->failed) + " of " +
                    std::to_string(chosen->rows) + " rows fail the bar check with the columns read as " +
                    MappingText(shape, options.adjusted) +
                    ".\nMore than 1 in 100 means the columns are misread.");
    }
  } else {
    // Of the shapes whose cells every line fits, the one under which the bars hold. Of the
    // shapes that fail, the message is the one of a shape whose cells fit but whose dates or
    // numbers leave a question, else of the one that read furthest past line one.
    std::vector<std::size_t> fits, held;
    std::vector<ImportedText> readings;
    std::vector<std::string> failures;
    std::string furthestError, undecidedError;
    int furthest = titleLine;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      Reader reader(lines, table, first, options);
      ImportedText reading;
      if (reader.Read(shapes[i], &reading)) {
        fits.push_back(i);
        failures.push_back("  " + ShapeText(shapes[i]) + " (" + std::to_string(reader.failed) + " of " +
                           std::to_string(reader.rows) + " rows fail; " + reader.FirstFailure() + ")");
        if (reader.Holds()) {
          held.push_back(i);
          chosen.emplace(reader);
          read = std::move(reading);
        }
      } else if (reader.undecided && undecidedError.empty()) {
        undecidedError = reader.error;
      } else if (reader.failLine > furthest) {
        furthest = reader.failLine;
        furthestError = reader.error;
      }
    }
    const std::string ask = "Add a title row naming the columns, e.g. Date,Open,High,Low,Close,Volume.";
    if (fits.empty()) {
      if (titled) return refuse(LineText(titleLine) + "no column is named Date.");
      return refuse(!undecidedError.empty()  ? undecidedError
                    : !furthestError.empty() ? furthestError
                        : LineText(titleLine) + "without a title row, the columns found (" +
                              CellKinds(cells) +
                              ") fit no known shape. Add a title row naming them, e.g. "
                              "Date,Open,High,Low,Close,Volume.");
    }
    if (held.size() != 1) {
      std::string list;
      for (std::size_t i = 0; i < fits.size(); ++i) {
        const bool holds = std::find(held.begin(), held.end(), fits[i]) != held.end();
        if (held.empty() || holds) list += "\n" + (held.empty() ? failures[i] : "  " + ShapeText(shapes[fits[i]]));
      }
      return refuse(LineText(titleLine) + "without a title row, these " + std::to_string(cells.size()) +
                    " columns could be" + list +
                    (held.empty() ? "\nand under none of them do 99 rows in 100 hold the bar check. "
                                  : "\nand the prices do not decide it. ") + ask);
    }
    shape = shapes[held.front()];
    for (const int slot : shape.slots) kept.preview.fields.push_back(FieldHeading(slot, options.adjusted));
  }
  chosen->AddNotes(&notes);
  read.orderReason = chosen->orderReason;

  // Oldest first within each ticker; of two quotes of one ticker, day (and time) the later
  // line is refused, the first such line. Each ticker's rows oldest or newest first, as most
  // texts write them (a text of many tickers often day by day, the tickers interleaved), need
  // no sort: the rows are only gathered by ticker.
  if (!read.intraday) {
    for (ImportedQuote& quote : read.quotes) quote.seconds = 0;
  }
  std::vector<ImportedQuote>& q = read.quotes;
  const auto key = [](const ImportedQuote& quote) {
    constexpr std::int64_t kDays = std::int64_t{1} << 20;  // beyond every day a file holds
    return (std::int64_t{quote.ticker} * kDays + quote.day + kDays / 2) * 86400 + quote.seconds;
  };
  std::vector<ImportedQuote> grouped;
  if (read.tickers.size() > 1) {
    std::vector<std::size_t> place(read.tickers.size() + 1, 0);
    for (const ImportedQuote& quote : q) ++place[static_cast<std::size_t>(quote.ticker) + 1];
    for (std::size_t t = 1; t < place.size(); ++t) place[t] += place[t - 1];
    grouped.resize(q.size());
    for (const ImportedQuote& quote : q) grouped[place[static_cast<std::size_t>(quote.ticker)]++] = quote;
  }
  std::vector<ImportedQuote>& byTicker = grouped.empty() ? q : grouped;
  bool ordered = true;
  for (auto group = byTicker.begin(); ordered && group != byTicker.end();) {
    const auto end = std::find_if(group, byTicker.end(), [&](auto& a) { return a.ticker != group->ticker; });
    const auto notRising = [&](auto& a, auto& b) { return key(a) >= key(b); };
    const auto notFalling = [&](auto& a, auto& b) { return key(a) <= key(b); };
    if (std::adjacent_find(group, end, notRising) != end) {
      if (std::adjacent_find(group, end, notFalling) != end) ordered = false;
      else std::reverse(group, end);
    }
    group = end;
  }
  if (ordered && !grouped.empty()) q = std::move(grouped);
  if (!ordered) {
    std::vector<std::size_t> order(q.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key(q[a]) < key(q[b]); });
    std::size_t repeat = order.size(), firstOfDay = 0;
    for (std::size_t i = 1; i < order.size(); ++i) {
      if (key(q[order[i]]) == key(q[order[i - 1]]) && order[i] < repeat &&
          (i == 1 || key(q[order[i - 2]]) != key(q[order[i]]))) {
        repeat = order[i];
        firstOfDay = order[i - 1];
      }
    }
    if (repeat != order.size()) {
      const ImportedQuote& quote = q[repeat];
      std::string when = ScreenDate(quote.day);
      if (read.intraday) {
        char clock[32];
        std::snprintf(clock, sizeof clock, " %02d:%02d:%02d", quote.seconds / 3600,
                      quote.seconds / 60 % 60, quote.seconds % 60);
        when += clock;
      }
      return refuse(LineText(quote.line) + "a second quote of " + when + " (the first is on line " +
                    std::to_string(q[firstOfDay].line) + ").");
    }
    std::vector<ImportedQuote> sorted;
    sorted.reserve(order.size());
    for (std::size_t i : order) sorted.push_back(q[i]);
    q = std::move(sorted);
  }
  read.lines = lines.back().number;
  read.encoding = std::move(kept.encoding);
  read.preview = std::move(kept.preview);
  read.notes = std::move(notes);
  *quotes = std::move(read);
  return true;
}

}  // namespace barvane
