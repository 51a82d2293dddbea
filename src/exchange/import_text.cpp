// Reading quote text for Import.
#include "exchange/import_text.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>

namespace barvane {
namespace {

// What a column of the text holds: a value column (0..5, open to open interest), the adjusted
// close, the date, the time, or something not stored.
enum Slot : int { kAdjustedSlot = kImportColumnCount, kDateSlot, kTimeSlot, kIgnoredSlot };

struct Shape {
  std::vector<int> slots;
  std::vector<std::string> names;  // what each column is called in messages and the summary
  bool titled = false;
  bool digitTimes = false;  // a time may be written as one number (093000)
};

// The slot a title names, its letter case, blanks and marks such as <>./_ ignored.
int SlotNamed(std::string_view title) {
  std::string key;
  for (char c : title) {
    if (std::string_view(" <>._-/%()#*").find(c) != std::string_view::npos) continue;
    key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  static const std::map<std::string, int, std::less<>> kNames = {
      {"date", kDateSlot},        {"data", kDateSlot},         {"timestamp", kDateSlot},
      {"day", kDateSlot},         {"datetime", kDateSlot},     {"datum", kDateSlot},
      {"fecha", kDateSlot},       {"time", kTimeSlot},         {"czas", kTimeSlot},
      {"hora", kTimeSlot},        {"zeit", kTimeSlot},         {"open", 0},
      {"otwarcie", 0},            {"abertura", 0},             {"apertura", 0},
      {"high", 1},                {"max", 1},                  {"najwyzszy", 1},
      {"maxima", 1},              {"m\xC3\xA1xima", 1},        {"hoch", 1},
      {"low", 2},                 {"min", 2},                  {"najnizszy", 2},
      {"minima", 2},              {"m\xC3\xADnima", 2},        {"tief", 2},
      {"close", 3},               {"last", 3},                 {"price", 3},
      {"closelast", 3},           {"zamkniecie", 3},           {"ultimo", 3},
      {"\xC3\xBAltimo", 3},       {"\xC3\x9Altimo", 3},      {"fechamento", 3},           {"schluss", 3},
      {"cierre", 3},              {"vol", 4},                  {"volume", 4},
      {"wolumen", 4},             {"volumen", 4},              {"oi", 5},
      {"openint", 5},             {"openinterest", 5},         {"adjclose", kAdjustedSlot},
      {"adjustedclose", kAdjustedSlot}};
  const auto found = kNames.find(key);
  return found == kNames.end() ? kIgnoredSlot : found->second;
}

const char* SlotWord(int slot) {
  static const char* const kWords[] = {"open", "high", "low",  "close", "volume", "open interest",
                                       "adjusted close", "date", "time"};
  return kWords[slot];
}

// The shapes of a text without a title row: each of the export's usual column sets after the
// date, or after the date and a time (HH:MM[:SS]); and the broker's lines led by ticker and
// period, whose time may be written as one number.
std::vector<Shape> ShapesOfCount(std::size_t count) {
  static const std::vector<std::vector<int>> kExportSets = {
      {3}, {3, 4}, {0, 1, 2, 3}, {1, 2, 3, 4}, {0, 1, 2, 3, 4}, {1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}};
  std::vector<Shape> shapes;
  const auto add = [&](std::vector<int> lead, const std::vector<int>& values, bool digitTimes) {
    Shape shape;
    shape.slots = std::move(lead);
    shape.slots.insert(shape.slots.end(), values.begin(), values.end());
    if (shape.slots.size() != count) return;
    for (std::size_t i = 0; i < shape.slots.size(); ++i) {
      const bool led = digitTimes && i < 2;
      shape.names.push_back(led ? (i == 0 ? "ticker" : "period") : SlotWord(shape.slots[i]));
    }
    shape.digitTimes = digitTimes;
    shapes.push_back(std::move(shape));
  };
  for (const auto& values : kExportSets) add({kDateSlot}, values, false);
  for (const auto& values : kExportSets) add({kDateSlot, kTimeSlot}, values, false);
  add({kIgnoredSlot, kIgnoredSlot, kDateSlot}, {0, 1, 2, 3, 4}, true);
  add({kIgnoredSlot, kIgnoredSlot, kDateSlot, kTimeSlot}, {0, 1, 2, 3, 4}, true);
  add({kIgnoredSlot, kIgnoredSlot, kDateSlot, kTimeSlot}, {0, 1, 2, 3, 4, 5}, true);
  return shapes;
}

std::string ShapeText(const Shape& shape) {
  std::string text;
  for (const std::string& name : shape.names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string LineText(int line) { return "Line " + std::to_string(line) + ": "; }

std::string Quoted(std::string_view cell) { return "\"" + std::string(cell) + "\""; }

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
      std::size_t end = std::min(line.find(delimiter, at), line.size());
      if (delimiter == ' ') end = std::min(line.find_first_of(" \t", at), line.size());
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

// The delimiter of the first line: a tab, a semicolon or a comma outside quotes, in that
// order of preference; else blanks.
char DelimiterOf(std::string_view first) {
  bool quoted = false, tab = false, semicolon = false, comma = false;
  for (char c : first) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    tab |= c == '\t';
    semicolon |= c == ';';
    comma |= c == ',';
  }
  return tab ? '\t' : semicolon ? ';' : comma ? ',' : ' ';
}

// A first line is a title row when none of its cells is a date and one names a column.
bool IsTitleRow(const std::vector<std::string_view>& cells) {
  CellDate date;
  bool named = false;
  for (const std::string_view cell : cells) {
    if (ReadDateCell(cell, &date)) return false;
    named |= SlotNamed(cell) != kIgnoredSlot;
  }
  return named;
}

// What a line of a text without a title row was read as, for the message that none fits.
std::string CellKinds(const std::vector<std::string_view>& cells) {
  std::string text;
  for (const std::string_view cell : cells) {
    CellDate date;
    int seconds = 0;
    double value = 0;
    const char* kind = ReadDateCell(cell, &date)              ? "date"
                       : ReadTimeCell(cell, false, &seconds)   ? "time"
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

class Reader {
 public:
  Reader(const std::vector<Line>& lines, std::size_t first, char delimiter,
         const ImportOptions& options)
      : lines_(lines), first_(first), delimiter_(delimiter), options_(options) {}

  // Reads every line as `shape`. On failure returns false with `error` and `failLine` set.
  bool Read(const Shape& shape, ImportedText* out);

  std::string error;
  int failLine = 0;
  bool undecided = false;  // the cells fit, but the file leaves the date order or decimal mark open
  bool barsHold = true;    // low <= open, close <= high on every line

 private:
  bool Fail(int line, const std::string& what) {
    failLine = line;
    error = LineText(line) + what;
    return false;
  }
  // Splits line `l` into `cells_` and reads its date and time; false (failed) when they do not read.
  bool ReadLine(const Shape& shape, std::size_t l, CellDate* date, int* seconds);
  bool DecideOrder(DateOrder* order);
  bool DecideDecimal(char* decimal);

  const std::vector<Line>& lines_;
  std::size_t first_;
  char delimiter_;
  const ImportOptions& options_;
  std::vector<std::string_view> cells_;  // the cells of the line read last
  std::size_t count_ = 0;
  std::size_t dateColumn_ = 0;
  std::size_t timeColumn_ = 0;  // count_ when the shape has no time column
  // The first date cell of each kind (day above 12, month above 12, neither), with its line.
  std::pair<int, std::string_view> dayFirst_, monthFirst_, undecided_;
  // The first line of each hint about the decimal mark, and its cell.
  std::array<std::pair<int, std::string_view>, 4> hints_{};
};

bool Reader::ReadLine(const Shape& shape, std::size_t l, CellDate* date, int* seconds) {
  const Line& line = lines_[first_ + l];
  SplitCells(line.text, delimiter_, &cells_);
  if (cells_.size() != count_) {
    return Fail(line.number, std::to_string(cells_.size()) + " columns where " +
                                 std::to_string(count_) + " were expected.");
  }
  const std::string_view dateCell = cells_[dateColumn_];
  if (!ReadDateCell(dateCell, date)) return Fail(line.number, Quoted(dateCell) + " is no date.");
  *seconds = std::max(date->seconds, 0);
  if (timeColumn_ < count_ &&
      !ReadTimeCell(cells_[timeColumn_], shape.digitTimes || shape.titled, seconds)) {
    return Fail(line.number, Quoted(cells_[timeColumn_]) + " is no time of day.");
  }
  return true;
}

bool Reader::DecideOrder(DateOrder* order) {
  const auto where = [](const std::pair<int, std::string_view>& kind) {
    return Quoted(kind.second) + " (line " + std::to_string(kind.first) + ")";
  };
  *order = options_.dates;
  if (*order != DateOrder::kUndecided) return true;
  if (dayFirst_.first != 0 && monthFirst_.first != 0) {
    return Fail(std::max(dayFirst_.first, monthFirst_.first),
                "the dates contradict each other: " + where(dayFirst_) + " is day first, " +
                    where(monthFirst_) + " month first.");
  }
  if (dayFirst_.first != 0) *order = DateOrder::kDayFirst;
  if (monthFirst_.first != 0) *order = DateOrder::kMonthFirst;
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

bool Reader::Read(const Shape& shape, ImportedText* out) {
  *out = ImportedText{};
  count_ = shape.slots.size();
  const auto columnOf = [&](int slot) {
    return static_cast<std::size_t>(std::find(shape.slots.begin(), shape.slots.end(), slot) -
                                    shape.slots.begin());
  };
  dateColumn_ = columnOf(kDateSlot);
  timeColumn_ = columnOf(kTimeSlot);
  const bool adjusted = options_.adjusted;
  const auto stored = [&](int slot) { return slot < kImportColumnCount || (adjusted && slot == kAdjustedSlot); };
  const std::size_t n = lines_.size() - first_;
  hints_ = {};
  dayFirst_ = monthFirst_ = undecided_ = {};
  CellDate date;
  int seconds = 0;
  // First pass: whether every line reads, and what its dates say of the order of day and
  // month and its numbers of the decimal mark.
  for (std::size_t l = 0; l < n; ++l) {
    if (!ReadLine(shape, l, &date, &seconds)) return false;
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
  out->quotes.resize(n);
  std::array<double, kImportColumnCount + 1> values{};
  std::array<bool, kImportColumnCount + 1> present{};
  bool needsOrder = false;
  for (std::size_t l = 0; l < n; ++l) {
    (void)ReadLine(shape, l, &date, &seconds);  // read in the first pass
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
    ImportedQuote& quote = out->quotes[l];
    quote.day = YmdToDay(year - 1900, month, day);
    quote.seconds = seconds;
    out->intraday |= seconds != 0;
    present = {};
    for (std::size_t c = 0; c < count_; ++c) {
      const int slot = shape.slots[c];
      if (!stored(slot)) continue;
      const auto s = static_cast<std::size_t>(slot);
      switch (ReadNumberCell(row[c], decimal, &values[s])) {
        case CellNumber::kNumber:
          present[s] = true;
          break;
        case CellNumber::kMissing:
          break;
        case CellNumber::kNoNumber:
          return Fail(number, Quoted(row[c]) + " is no number.");
        case CellNumber::kBeyondRange:
          return Fail(number, Quoted(row[c]) + " is beyond the numbers a quote file holds.");
      }
    }
    if (adjusted) {
      if (!present[kAdjustedSlot] || !present[3] || values[3] == 0) {
        return Fail(number, "the close cannot be adjusted without a close and an adjusted close.");
      }
      const double factor = values[kAdjustedSlot] / values[3];
      for (std::size_t c = 0; c < 3; ++c) values[c] *= factor;
      values[3] = values[kAdjustedSlot];
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
    const auto& v = quote.values;
    const auto& p = quote.present;
    if (p[2] && ((p[1] && v[2] > v[1]) || (p[0] && v[0] < v[2]) || (p[3] && v[3] < v[2])))
      barsHold = false;
    if (p[1] && ((p[0] && v[0] > v[1]) || (p[3] && v[3] > v[1]))) barsHold = false;
  }

  out->order = needsOrder ? order : DateOrder::kUndecided;
  for (std::size_t c = 0; c < count_; ++c) {
    const int slot = shape.slots[c];
    const std::string name = shape.titled ? shape.names[c] : "column " + std::to_string(c + 1);
    if (slot == kIgnoredSlot || (slot == kAdjustedSlot && !adjusted)) {
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

bool ReadImportText(std::string_view text, const ImportOptions& options, ImportedText* quotes,
                    std::string* error) {
  *quotes = ImportedText{};
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<Line> lines;
  int number = 1;
  for (std::size_t at = 0; at < text.size(); ++number) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back({number, line});
    at = end + 1;
  }
  if (lines.empty()) {
    *error = "The text holds no quotes.";
    return false;
  }
  const char delimiter = DelimiterOf(lines.front().text);
  std::vector<std::string_view> cells;
  SplitCells(lines.front().text, delimiter, &cells);
  const int titleLine = lines.front().number;

  ImportedText read;
  const bool titled = IsTitleRow(cells);
  if (options.adjusted && (!titled || std::none_of(cells.begin(), cells.end(), [](std::string_view c) {
                             return SlotNamed(c) == kAdjustedSlot;
                           }))) {
    *error = LineText(titleLine) + "no column is named as an adjusted close (\"Adj Close\").";
    return false;
  }
  if (titled) {
    Shape shape;
    shape.titled = true;
    std::array<bool, kIgnoredSlot> seen{};
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const int slot = SlotNamed(cells[c]);
      shape.slots.push_back(slot);
      shape.names.push_back(cells[c].empty() ? "column " + std::to_string(c + 1)
                                             : std::string(cells[c]));
      if (slot == kIgnoredSlot) continue;
      if (seen[static_cast<std::size_t>(slot)]) {
        *error = LineText(titleLine) + "the column " + Quoted(cells[c]) + " is named twice.";
        return false;
      }
      seen[static_cast<std::size_t>(slot)] = true;
    }
    if (!seen[kDateSlot]) {
      *error = LineText(titleLine) + "no column is named Date.";
      return false;
    }
    if (lines.size() == 1) {
      *error = "The text holds no quotes.";
      return false;
    }
    Reader reader(lines, 1, delimiter, options);
    if (!reader.Read(shape, &read)) {
      *error = reader.error;
      return false;
    }
  } else {
    // Without a title row: the shapes whose cells every line fits, and of several, the one
    // whose bars hold.
    struct Fit {
      Shape shape;
      ImportedText reading;
      bool barsHold;
    };
    // Of the shapes that fail, the message is the one of a shape whose cells fit but whose
    // dates or numbers leave a question, else of the one that read furthest past line one.
    std::vector<Fit> fits;
    std::string furthestError, undecidedError;
    int furthest = titleLine;
    for (Shape& shape : ShapesOfCount(cells.size())) {
      Reader reader(lines, 0, delimiter, options);
      ImportedText reading;
      if (reader.Read(shape, &reading)) {
        fits.push_back({std::move(shape), std::move(reading), reader.barsHold});
      } else if (reader.undecided && undecidedError.empty()) {
        undecidedError = reader.error;
      } else if (reader.failLine > furthest) {
        furthest = reader.failLine;
        furthestError = reader.error;
      }
    }
    if (fits.empty()) {
      *error = !undecidedError.empty()  ? undecidedError
               : !furthestError.empty() ? furthestError
                   : LineText(titleLine) + "without a title row, the columns found (" +
                         CellKinds(cells) +
                         ") fit no known shape. Add a title row naming them, e.g. "
                         "Date,Open,High,Low,Close,Volume.";
      return false;
    }
    const auto borne = std::count_if(fits.begin(), fits.end(), [](const Fit& f) { return f.barsHold; });
    if (fits.size() > 1 && borne != 1) {
      std::string shapes;
      for (const Fit& fit : fits) shapes += "\n  " + ShapeText(fit.shape);
      *error = LineText(titleLine) + "without a title row, these " + std::to_string(cells.size()) +
               " columns could be" + shapes +
               "\nand the prices do not decide it. Add a title row naming the columns, e.g. "
               "Date,Open,High,Low,Close,Volume.";
      return false;
    }
    read = std::move(fits.size() == 1 ? fits.front().reading
                                      : std::find_if(fits.begin(), fits.end(), [](const Fit& f) {
                                          return f.barsHold;
                                        })->reading);
  }

  // Oldest first; of two quotes of one day (and time) the later line is refused, the first
  // such line. Texts oldest or newest first, as most are, need no sort.
  if (!read.intraday) {
    for (ImportedQuote& quote : read.quotes) quote.seconds = 0;
  }
  std::vector<ImportedQuote>& q = read.quotes;
  const auto key = [](const ImportedQuote& quote) {
    return std::int64_t{quote.day} * 86400 + quote.seconds;
  };
  const auto rising = [&](const ImportedQuote& a, const ImportedQuote& b) { return key(a) < key(b); };
  const auto falling = [&](const ImportedQuote& a, const ImportedQuote& b) { return key(a) > key(b); };
  const bool oldestFirst =
      std::adjacent_find(q.begin(), q.end(), [&](auto& a, auto& b) { return !rising(a, b); }) == q.end();
  const bool newestFirst =
      !oldestFirst &&
      std::adjacent_find(q.begin(), q.end(), [&](auto& a, auto& b) { return !falling(a, b); }) == q.end();
  if (newestFirst) std::reverse(q.begin(), q.end());
  if (!oldestFirst && !newestFirst) {
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
      const std::size_t first = lines.size() - q.size();  // the line of the first quote
      const ImportedQuote& quote = q[repeat];
      std::string when = ScreenDate(quote.day);
      if (read.intraday) {
        char clock[16];
        std::snprintf(clock, sizeof clock, " %02d:%02d:%02d", quote.seconds / 3600,
                      quote.seconds / 60 % 60, quote.seconds % 60);
        when += clock;
      }
      *error = LineText(lines[first + repeat].number) + "a second quote of " + when +
               " (the first is on line " + std::to_string(lines[first + firstOfDay].number) + ").";
      return false;
    }
    std::vector<ImportedQuote> sorted;
    sorted.reserve(order.size());
    for (std::size_t i : order) sorted.push_back(q[i]);
    q = std::move(sorted);
  }
  read.lines = lines.back().number;
  *quotes = std::move(read);
  return true;
}

}  // namespace barvane
