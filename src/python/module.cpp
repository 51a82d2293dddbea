// _barvane: the core's commands for Python, as barvane-cli runs them (the same locks, recorded
// changes and texts). The package barvane/__init__.py turns what these give into DataFrames.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/portfolio_walk.h"
#include "app/quote_grid.h"
#include "app/symbol_list.h"
#include "cli/check_command.h"
#include "cli/quote_commands.h"
#include "data/change_recorder.h"
#include "data/code_page.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/mbf.h"
#include "data/portfolio_lock.h"
#include "data/quote_series.h"
#include "exchange/import.h"
#include "tools/portfolio_check.h"
#include "tools/undo.h"

namespace py = pybind11;

namespace barvane {
namespace {

constexpr std::int64_t kNanosPerSecond = 1'000'000'000;
constexpr std::int64_t kNaT = std::numeric_limits<std::int64_t>::min();
const char* const kValueColumns[6] = {"open", "high", "low", "close", "volume", "oi"};

struct BusyError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What a command tells its user, kept to become the exception or the result.
class KeptUi final : public Ui {
 public:
  explicit KeptUi(const CodePage& page) : page_(page) {}
  void ShowMessage(const std::string& text, MessageIcon) override { messages.push_back(page_.MessageToUtf8(text)); }
  void ShowNotice(const std::string& text) override { ShowMessage(text, MessageIcon::kNone); }
  std::vector<std::string> messages;

 private:
  const CodePage& page_;
};

[[noreturn]] void Raise(PyObject* type, const std::string& text) {
  PyErr_SetString(type, text.c_str());
  throw py::error_already_set();
}

[[noreturn]] void Fail(const std::string& text) {
  if (IsPortfolioBusyText(text)) throw BusyError(text);
  Raise(PyExc_OSError, text);
}

[[noreturn]] void FailWith(const KeptUi& ui, const std::string& fallback) {
  std::string text;
  for (const std::string& m : ui.messages) text += (text.empty() ? "" : "\n") + m;
  Fail(text.empty() ? fallback : text);
}

CodePage PageNamed(const std::string& name) {
  if (const std::optional<CodePage> page = CodePage::Named(name)) return *page;
  std::string text = "codepage takes one of:";
  for (const std::string& n : CodePageNames()) text += ' ' + n;
  throw py::value_error(text);
}

// The file bytes of a symbol or name given as Python text.
std::string FileText(const CodePage& page, const std::string& text, const std::string& what) {
  if (const std::string refusal = page.Refusal(text, what); !refusal.empty()) throw py::value_error(refusal);
  std::string bytes;
  (void)page.FromUtf8(text, &bytes);
  return bytes;
}

// A day number and a second of the day as nanoseconds since 1970, as numpy's datetime64[ns].
std::int64_t Nanos(DayNumber day, int seconds) {
  static const DayNumber kEpoch = YmdToDay(1970, 1, 1);
  if (day == kNoDate) return kNaT;
  return ((std::int64_t{day} - kEpoch) * 86400 + seconds) * kNanosPerSecond;
}

// Whether the files hold `v` as the float it rounds to: finite, and within MBF's narrower range.
bool Storable(double v) {
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
  std::uint8_t stored[4];
  WriteMbf(static_cast<float>(v), stored);
  return ReadMbf(stored) == static_cast<float>(v);
}

// YYYY-MM-DD, as pandas writes a date.
std::string IsoDate(DayNumber day) {
  const Ymd ymd = DayToYmd(day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", ymd.year + 1900, ymd.month, ymd.day);
  return text;
}

// Holds a shared lock on `dir` as barvane-cli's readers do, so that no change is seen half done.
class ReadLock {
 public:
  explicit ReadLock(const std::string& dir) : lock_(FileSystem::Default()) {
    if (!lock_.Acquire({dir}, LockMode::kShared)) Fail(lock_.failureText());
  }

 private:
  PortfolioLock lock_;
};

// One recorded change, as barvane-cli makes each command that may change a portfolio.
class RecordedChange {
 public:
  RecordedChange(std::vector<std::string> words, const std::string& dir)
      : history_(FileSystem::Default(), DefaultHistoryDirectory(), HistoryLimits::FromEnvironment()),
        recorder_(FileSystem::Default(), history_) {
    RecoverHistory(history_);
    scope_.emplace(recorder_, std::move(words), dir);
  }
  FileSystem& fs() { return recorder_; }

 private:
  History history_;
  ChangeRecorder recorder_;
  std::optional<ChangeScope> scope_;
};

class Portfolio {
 public:
  Portfolio(std::string dir, const std::string& codepage) : dir_(std::move(dir)), page_(PageNamed(codepage)) {
    FileSystem& fs = FileSystem::Default();
    const std::string slashed = WithTrailingSlash(dir_);
    if (!fs.IsDirectory(WithoutTrailingSlash(dir_)) ||
        (FindNoCase(fs, slashed, kMasterName).empty() && FindNoCase(fs, slashed, kEmasterName).empty() &&
         FindNoCase(fs, slashed, kXmasterName).empty())) {
      Raise(PyExc_FileNotFoundError, cli::NoPortfolioText(dir_));
    }
  }

  const std::string& dir() const { return dir_; }
  std::string codepage() const { return page_.name(); }

  // The symbol grid's rows with their records' facts, column by column.
  py::dict Symbols() {
    FileSystem& fs = FileSystem::Default();
    ReadLock lock(dir_);
    KeptUi ui(page_);
    SymbolListing listing;
    const std::string master = FindNoCase(fs, WithTrailingSlash(dir_), kMasterName);
    if (!ReadSymbolListing(fs, master, ui, &listing)) FailWith(ui, kSymbolGridFailureText);
    MasterRecordFinder finder(fs, dir_);
    py::list symbols, names, numbers, firsts, lasts, periodicities, fields;
    for (const SymbolRow& row : listing.rows) {
      MasterRecord record;
      std::string recordDir;
      const bool found = !row.subPortfolio && finder.Find(row.symbol, &record, &recordDir) == kSuccess;
      symbols.append(page_.ToUtf8(row.symbol));
      names.append(page_.ToUtf8(row.name));
      numbers.append(found ? record.fileNumber() : 0);
      firsts.append(found ? Nanos(DateFloatToDay(record.firstDate()), 0) : kNaT);
      lasts.append(found ? Nanos(DateFloatToDay(record.lastDate()), 0) : kNaT);
      periodicities.append(found ? std::string(1, record.periodicity()) : std::string());
      fields.append(found ? record.fieldCount() : 0);
    }
    py::dict columns;
    columns["symbol"] = symbols;
    columns["name"] = names;
    columns["file_number"] = numbers;
    columns["first"] = firsts;
    columns["last"] = lasts;
    columns["periodicity"] = periodicities;
    columns["fields"] = fields;
    return columns;
  }

  // (nanoseconds of each quote, values of n rows by the held columns, the held columns' names).
  // The reader writes the values straight into the array numpy owns.
  py::tuple Quotes(const std::string& symbol) {
    FileSystem& fs = FileSystem::Default();
    const std::string key = FileText(page_, symbol, "symbol");
    ReadLock lock(dir_);
    SeriesFile file;
    QuoteSeries series;
    if (const Status s = file.Open(fs, dir_, key); s == kFileNotFound) {
      throw py::key_error(UnknownSymbolText(symbol));
    } else if (s != kSuccess || file.Load(&series, 0, 0) != kSuccess) {
      Fail(kQuoteGridErrorText);
    }
    const auto n = static_cast<std::uint32_t>(std::max(0, std::min(file.quotesInFile(), file.quotesPresent())));
    std::vector<int> held;
    py::list names;
    for (int q = kOpen; q < kQuantityCount; ++q) {
      if (!series.info->holds(q)) continue;
      held.push_back(q);
      names.append(kValueColumns[q - kOpen]);
    }
    const auto width = static_cast<std::uint16_t>(held.size());
    py::array_t<float> values({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(width)});
    py::array_t<std::int64_t> index(static_cast<py::ssize_t>(n));
    if (n == 0) return py::make_tuple(index, values, names);
    std::vector<std::uint32_t> days(n), times(n), unheld(n);
    series.capacity = n;
    series.columns[kDate] = {days.data(), n, 1, 0};
    series.columns[kTime] = {times.data(), n, 1, 0};
    for (int q = kOpen; q < kQuantityCount; ++q) series.columns[static_cast<std::size_t>(q)] = {unheld.data(), n, 1, 0};
    auto* cells = reinterpret_cast<std::uint32_t*>(values.mutable_data());
    for (std::uint16_t c = 0; c < width; ++c) series.columns[static_cast<std::size_t>(held[c])] = {cells, n, width, c};
    if (file.Load(&series, 0, static_cast<std::int32_t>(n)) != kSuccess || series.count != n) Fail(kQuoteGridErrorText);
    std::int64_t* at = index.mutable_data();
    for (std::uint32_t i = 0; i < n; ++i) at[i] = Nanos(series.date(i), series.time(i));
    return py::make_tuple(index, values, names);
  }

  // Merges (or with `exact` makes the series) the rows given, through the import of
  // barvane-cli. `nanos` are the rows' moments, `values` n rows by the columns `names`.
  py::dict Write(const std::string& symbol, py::array_t<std::int64_t, py::array::c_style | py::array::forcecast> nanos,
                 const std::vector<std::string>& names,
                 py::array_t<double, py::array::c_style | py::array::forcecast> values,
                 const std::optional<std::string>& name, bool exact) {
    ImportRequest request;
    request.dir = dir_;
    request.symbol = FileText(page_, symbol, "symbol");
    if (name) request.name = FileText(page_, *name, "name");
    request.replace = request.exact = exact;
    ImportedText quotes = CheckedQuotes(nanos, names, values);
    quotes.intraday = quotes.intraday || HoldsTimes(request.symbol);
    KeptUi ui(page_);
    RecordedChange change({"python-write", dir_, symbol}, dir_);
    ImportPlanSummary summary;
    if (!ImportQuotes(change.fs(), ui, request, quotes, &summary)) FailWith(ui, "Nothing was imported.");
    py::dict result;
    result["new_symbol"] = summary.newSymbol;
    result["file_number"] = summary.fileNumber;
    result["added"] = summary.added;
    result["replaced"] = summary.replaced;
    result["kept"] = summary.kept;
    result["dropped"] = summary.dropped;
    return result;
  }

  // edit and split as barvane-cli runs them: `texts` after DIR and SYMBOL. Gives the questions
  // barvane-cli answers Yes to.
  std::vector<std::string> QuoteCommand(const std::string& command, const std::string& symbol,
                                        std::vector<std::string> texts) {
    const std::string key = FileText(page_, symbol, "symbol");
    if (!Exists(key)) throw py::key_error(UnknownSymbolText(symbol));
    std::vector<std::string> words = {command, dir_, symbol};
    words.insert(words.end(), texts.begin(), texts.end());
    texts.insert(texts.begin(), {dir_, key});
    KeptUi ui(page_);
    RecordedChange change(words, dir_);
    if (cli::RunQuoteCommand(change.fs(), ui, command, texts) != 0) FailWith(ui, "The command failed.");
    return ui.messages;
  }

  // The check's problems, column by column, each as barvane-cli's line has it.
  py::dict Check() {
    std::vector<CheckProblem> problems;
    if (CheckPortfolio(FileSystem::Default(), dir_, nullptr, &problems) == CheckOutcome::kNoPortfolio) {
      Raise(PyExc_FileNotFoundError, cli::NoPortfolioText(dir_));
    }
    py::list symbols, dates, kinds, texts;
    for (const CheckProblem& problem : problems) {
      const std::string line = page_.ToUtf8(CheckLine(problem));
      const std::size_t dateEnd = line.find('\t', line.find('\t') + 1);
      symbols.append(page_.ToUtf8(problem.symbol));
      dates.append(Nanos(problem.day, 0));
      kinds.append(problem.mendable ? "mendable" : "needs a person");
      texts.append(line.substr(dateEnd + 1));
    }
    py::dict columns;
    columns["symbol"] = symbols;
    columns["date"] = dates;
    columns["kind"] = kinds;
    columns["text"] = texts;
    return columns;
  }

 private:
  std::string UnknownSymbolText(const std::string& symbol) const { return "No symbol " + symbol + " in " + dir_; }

  bool Exists(const std::string& key) {
    MasterRecord record;
    std::string recordDir;
    return FindMasterRecord(FileSystem::Default(), dir_, key, &record, &recordDir) == kSuccess;
  }

  bool HoldsTimes(const std::string& key) {
    SeriesFile file;
    return file.Open(FileSystem::Default(), dir_, key) == kSuccess && file.layout().holds(kTime);
  }

  // The rows as the import takes them; a row the files cannot hold refuses them all.
  static ImportedText CheckedQuotes(const py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>& nanos,
                                    const std::vector<std::string>& names,
                                    const py::array_t<double, py::array::c_style | py::array::forcecast>& values) {
    const py::ssize_t n = nanos.shape(0);
    if (values.ndim() != 2 || values.shape(0) != n || values.shape(1) != static_cast<py::ssize_t>(names.size()))
      throw py::value_error("The values do not match the dates.");
    std::vector<int> column;
    ImportedText quotes;
    for (const std::string& name : names) {
      int c = 0;
      while (c < 6 && name != kValueColumns[c]) ++c;
      if (c == 6) throw py::value_error("No column " + name + " can be stored: open, high, low, close, volume, oi.");
      column.push_back(c);
      quotes.columns[static_cast<std::size_t>(c)] = true;
    }
    const auto rows = values.unchecked<2>();
    const std::int64_t* at = nanos.data();
    std::int64_t previous = kNaT;
    for (py::ssize_t i = 0; i < n; ++i) {
      if (at[i] == kNaT) throw py::value_error("Row " + std::to_string(i) + " has no date.");
      const std::int64_t second = at[i] / kNanosPerSecond - (at[i] % kNanosPerSecond < 0 ? 1 : 0);
      const std::int64_t epochDay = second / 86400 - (second % 86400 < 0 ? 1 : 0);
      ImportedQuote quote;
      quote.day = static_cast<DayNumber>(epochDay + YmdToDay(1970, 1, 1));
      quote.seconds = static_cast<int>(second - epochDay * 86400);
      const std::string row = "Row " + std::to_string(i) + " (" + IsoDate(quote.day) + ")";
      if (quote.day < kFirstFileDay || quote.day > kLastFileDay)
        throw py::value_error(row + ": the date lies outside the years 1900 to 2155.");
      if (at[i] % kNanosPerSecond != 0) throw py::value_error(row + ": a time holds whole seconds only.");
      if (at[i] <= previous) throw py::value_error(row + ": the dates are not in order, or one repeats.");
      previous = at[i];
      quotes.intraday = quotes.intraday || quote.seconds != 0;
      for (std::size_t k = 0; k < names.size(); ++k) {
        const double v = rows(i, static_cast<py::ssize_t>(k));
        if (!Storable(v)) {
          std::ostringstream text;
          text << row << ": " << names[k] << " " << v << " cannot be stored.";
          throw py::value_error(text.str());
        }
        quote.values[static_cast<std::size_t>(column[k])] = static_cast<float>(v);
        quote.present[static_cast<std::size_t>(column[k])] = true;
      }
      quotes.quotes.push_back(quote);
    }
    return quotes;
  }

  std::string dir_;
  CodePage page_;
};

std::vector<std::string> Portfolios(const std::string& root) {
  FileSystem& fs = FileSystem::Default();
  const CodePage page;
  KeptUi ui(page);
  if (!fs.IsDirectory(root)) Fail(root + " is not a directory");
  return PortfolioListOrder(WalkDirectory(fs, root, SearchFilter::Make(false, ""), ui));
}

}  // namespace
}  // namespace barvane

PYBIND11_MODULE(_barvane, m) {
  using barvane::Portfolio;
  py::register_exception<barvane::BusyError>(m, "Busy", PyExc_OSError);
  py::class_<Portfolio>(m, "Portfolio")
      .def(py::init<std::string, const std::string&>(), py::arg("path"), py::arg("codepage"))
      .def_property_readonly("path", &Portfolio::dir)
      .def_property_readonly("codepage", &Portfolio::codepage)
      .def("symbols", &Portfolio::Symbols)
      .def("quotes", &Portfolio::Quotes, py::arg("symbol"))
      .def("write", &Portfolio::Write, py::arg("symbol"), py::arg("nanos"), py::arg("names"), py::arg("values"),
           py::arg("name"), py::arg("exact"))
      .def("quote_command", &Portfolio::QuoteCommand, py::arg("command"), py::arg("symbol"), py::arg("texts"))
      .def("check", &Portfolio::Check);
  m.def("portfolios", &barvane::Portfolios, py::arg("root"));
}
