// The walk of a portfolio tree for the check, and the check itself.
#include "tools/portfolio_check.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "app/list_order.h"
#include "app/symbol_list.h"
#include "data/file_names.h"
#include "data/field_layout.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/quote_series.h"
#include "tools/portfolio_repair_index.h"
#include "data/printed.h"
#include "tools/check_runs.h"
#include "tools/series_check.h"

namespace barvane {
namespace {

// The entries of one directory, found whatever their letter case: the exact name first, else
// the first in byte order, as FindNoCase chooses.
class DirectoryNames {
 public:
  DirectoryNames(FileSystem& fs, const std::string& dir) : dir_(dir) {
    std::vector<DirEntry> entries;
    if (!fs.ListDirectory(dir, &entries)) return;
    for (const DirEntry& entry : entries) {
      DirEntry::Kind kind = entry.kind;
      // Listings do not resolve symbolic links.
      if (kind == DirEntry::Kind::kOther) {
        if (fs.IsRegularFile(dir + entry.name)) {
          kind = DirEntry::Kind::kFile;
        } else if (fs.IsDirectory(dir + entry.name)) {
          kind = DirEntry::Kind::kDirectory;
        } else {
          continue;
        }
      }
      (kind == DirEntry::Kind::kFile ? files_ : dirs_)[AsciiUpper(entry.name)].insert(entry.name);
    }
  }

  // The path of the file or directory `name`, or empty when there is none.
  std::string File(const std::string& name) const { return Find(files_, name); }
  std::string Directory(const std::string& name) const { return Find(dirs_, name); }

  // The names of every file, in byte order of their upper-case forms.
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& [upper, found] : files_) names.insert(names.end(), found.begin(), found.end());
    return names;
  }

 private:
  using Names = std::map<std::string, std::set<std::string>>;
  std::string Find(const Names& names, const std::string& name) const {
    const auto it = names.find(AsciiUpper(name));
    if (it == names.end()) return {};
    return dir_ + (it->second.count(name) ? name : *it->second.begin());
  }

  std::string dir_;
  Names files_, dirs_;
};

// The file number of a quote file name as QuoteFileName forms it (F<n>.DAT up to 255,
// F<n>.MWD above), whatever its letter case, else 0.
int QuoteFileNumber(const std::string& name) {
  const std::string upper = AsciiUpper(name);
  if (upper.size() < 6 || upper[0] != 'F' || upper[1] == '0') return 0;
  int n = 0;
  for (std::size_t i = 1; i + 4 < upper.size(); ++i) {
    if (upper[i] < '0' || upper[i] > '9' || n > 100000) return 0;
    n = n * 10 + (upper[i] - '0');
  }
  return upper == QuoteFileName(n) ? n : 0;
}

// The longest quote record a MASTER record can give.
constexpr std::size_t kLongestRecord = 0xFF;

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

class TreeWalk {
 public:
  TreeWalk(FileSystem& fs, PortfolioTree& tree) : fs_(fs), tree_(tree) {}

  // False when the MASTER of `dir` cannot be read or has no header.
  bool Walk(const std::string& dir, const std::string& where, int depth) {
    const DirectoryNames names(fs_, dir);
    IndexFiles read;
    const bool whole = ReadIndexFiles(fs_, dir, &read);
    if (read.master.path.empty() || read.master.bytes.size() < kMasterRecordSize) return false;
    tree_.directories.push_back({dir, where});
    for (std::string& text : SpareSlotTexts(read)) Problem(kNoSymbolText, where, dir, std::move(text), true);
    // Past their spare slots the files are checked as the repair leaves them.
    const IndexFiles index = WithoutSpareSlots(read);
    const int records = CheckRecordCount(index.master.bytes, where, dir);
    if (!whole) Problem(kNoSymbolText, where, dir, "EMASTER or XMASTER cannot be read");
    const std::vector<std::string> outOfStep = IndexFilesOutOfStep(index);
    // What the repair would leave out of step needs a person.
    std::vector<std::string> left = outOfStep;
    if (whole && !outOfStep.empty()) left = IndexFilesOutOfStep(MendIndexFiles(index, nullptr).files);
    // What EMASTER's record of a symbol says otherwise than MASTER's, told once for the symbol.
    std::map<int, std::pair<std::vector<std::string>, bool>> recordFields;
    for (const std::string& text : outOfStep) {
      // Records sharing a quote file are told symbol by symbol below.
      if (text.ends_with(" is used twice")) continue;
      const bool mendable = std::find(left.begin(), left.end(), text) == left.end();
      if (const auto at = text.find(" of record "); at != std::string::npos) {
        auto& [fields, allMendable] = recordFields.try_emplace(std::atoi(text.c_str() + at + 11), std::vector<std::string>{}, true).first->second;
        fields.push_back("the " + text.substr(0, at));
        allMendable = allMendable && mendable;
        continue;
      }
      Problem(kNoSymbolText, where, dir, "the index files disagree: " + text, mendable);
    }
    for (const auto& [record, told] : recordFields) {
      std::string fields;
      for (std::size_t i = 0; i < told.first.size(); ++i) {
        fields += (i == 0 ? "" : i + 1 == told.first.size() ? " and " : ", ") + told.first[i];
      }
      Problem(SymbolOfRecord(index.master.bytes, record), where, dir,
              "EMASTER's record and MASTER's disagree on " + fields, told.second);
    }
    std::vector<MasterRecord> subPortfolios;
    std::map<int, std::string> owners;  // file number: the first symbol naming it
    for (const IndexEntry& entry : IndexEntries(index, records)) {
      const MasterRecord& record = entry.record;
      if (record.isSubPortfolio()) {
        subPortfolios.push_back(record);
        continue;
      }
      CheckedSymbol symbol;
      symbol.symbol = GridSymbolText(record.bytes.data() + kMasterSymbol);
      if (symbol.symbol.empty()) symbol.symbol = ShownText(record.nameText());
      symbol.where = where;
      symbol.dir = dir;
      symbol.record = record;
      symbol.quotePath = names.File(QuoteFileName(record.fileNumber()));
      symbol.dopPath = names.File(LayoutFileName(record.fileNumber()));
      const auto [owner, first] = owners.emplace(record.fileNumber(), symbol.symbol);
      if (!first) {
        symbol.sharesQuoteFile = true;
        for (CheckedSymbol& other : tree_.symbols) {
          if (other.dir == dir && other.record.fileNumber() == record.fileNumber()) other.sharesQuoteFile = true;
        }
        const std::string file = QuoteFileName(record.fileNumber());
        Problem(symbol.symbol, where, dir, "shares its quote file " + file + " with " + owner->second);
        Problem(owner->second, where, dir, "shares its quote file " + file + " with " + symbol.symbol);
      }
      tree_.symbols.push_back(std::move(symbol));
    }
    for (const std::string& name : names.FileNames()) {
      const int n = QuoteFileNumber(name);
      if (n != 0 && !owners.count(n)) {
        Problem(kNoSymbolText, where, dir, "quote file " + name + " is named by no record");
      }
    }
    for (const MasterRecord& record : subPortfolios) EnterSubPortfolio(names, record, dir, where, depth);
    return true;
  }

 private:
  // The symbol of MASTER's record `n` as the grid shows it (its name when it has none).
  static std::string SymbolOfRecord(const Bytes& master, int n) {
    MasterRecord record;
    const std::size_t at = static_cast<std::size_t>(n) * kMasterRecordSize;
    if (n < 1 || at + kMasterRecordSize > master.size()) return kNoSymbolText;
    std::copy_n(master.begin() + static_cast<std::ptrdiff_t>(at), kMasterRecordSize, record.bytes.begin());
    const std::string symbol = GridSymbolText(record.bytes.data() + kMasterSymbol);
    return symbol.empty() ? ShownText(record.nameText()) : symbol;
  }

  void Problem(const std::string& symbol, const std::string& where, const std::string& dir,
               std::string text, bool mendable = false) {
    tree_.problems.push_back({symbol, where, dir, kNoDate, std::move(text), mendable});
  }

  // The number of records to read: those the header counts that the file holds.
  int CheckRecordCount(const Bytes& master, const std::string& where, const std::string& dir) {
    const int count = MasterRecordCount(master.data());
    const auto present = static_cast<int>(master.size() / kMasterRecordSize - 1);
    const std::size_t rest = master.size() % kMasterRecordSize;
    const bool mendable = MasterCountMendable(master);
    if (count != present) {
      Problem(kNoSymbolText, where, dir,
              Printed("MASTER counts %d records, the file holds %d", count, present), mendable);
    }
    if (rest != 0) {
      Problem(kNoSymbolText, where, dir,
              Printed("MASTER ends in %zu bytes that make no whole record", rest), mendable);
    }
    return std::max(0, std::min(count, present));
  }

  void EnterSubPortfolio(const DirectoryNames& names, const MasterRecord& record,
                         const std::string& dir, const std::string& where, int depth) {
    const std::string name = record.subPortfolioName();
    const std::string label = ShownText(record.nameText().substr(0, 8));
    if (name.empty()) {
      return Problem(kNoSymbolText, where, dir,
                     "sub-portfolio record \"" + label + "\" names no usable directory");
    }
    if (depth + 1 >= kMaxPortfolioDepth) {
      return Problem(kNoSymbolText, where, dir, "sub-portfolio " + name + " lies too deep to be checked");
    }
    const std::string sub = names.Directory(name);
    if (sub.empty()) {
      return Problem(kNoSymbolText, where, dir, "sub-portfolio directory " + name + " is missing");
    }
    const std::string subWhere = where.empty() ? NameOf(sub) : where + "/" + NameOf(sub);
    if (!Walk(sub + "/", subWhere, depth + 1)) {
      Problem(kNoSymbolText, where, dir, "sub-portfolio " + name + " has no readable MASTER file");
    }
  }

  FileSystem& fs_;
  PortfolioTree& tree_;
};

CheckProblem OfSymbol(const CheckedSymbol& symbol, const SeriesProblem& p, bool fourDigitYears) {
  CheckProblem problem{symbol.symbol, symbol.where, symbol.dir, p.day, p.text, p.mendable, fourDigitYears};
  problem.quotes = p.quotes;
  for (const SeriesProblem& bar : p.bars) problem.bars.push_back(OfSymbol(symbol, bar, fourDigitYears));
  return problem;
}

}  // namespace

std::vector<CheckProblem> SeriesReport(const CheckedSymbol& symbol, const SeriesVerdict& verdict,
                                       CheckGrouping grouping) {
  std::vector<CheckProblem> report;
  const std::vector<SeriesProblem> grouped =
      grouping == CheckGrouping::kRuns ? GroupRuns(verdict) : GroupByKind(verdict);
  for (const SeriesProblem& p : grouped) report.push_back(OfSymbol(symbol, p, verdict.fourDigitYears));
  return report;
}

std::string CheckLine(const CheckProblem& problem) {
  std::string line = problem.symbol;
  line += '\t';
  line += problem.day == kNoDate ? std::string(kNoSymbolText) : DateText(problem.day, problem.fourDigitYears);
  line += '\t';
  line += problem.text;
  if (!problem.where.empty()) line += " (in " + problem.where + ")";
  return line;
}

void SortProblems(std::vector<CheckProblem>* problems) {
  std::stable_sort(problems->begin(), problems->end(), [](const CheckProblem& a, const CheckProblem& b) {
    if (a.symbol != b.symbol) return ListOrderLess(a.symbol, b.symbol);
    if (a.where != b.where) return a.where < b.where;
    return a.day < b.day;
  });
}

bool ReadPortfolioTree(FileSystem& fs, const std::string& dir, PortfolioTree* tree) {
  *tree = PortfolioTree{};
  return TreeWalk(fs, *tree).Walk(WithTrailingSlash(dir), "", 0);
}

SeriesVerdict CheckSymbol(FileSystem& fs, const CheckedSymbol& symbol, Bytes* quotes) {
  const std::string quoteName =
      symbol.quotePath.empty() ? QuoteFileName(symbol.record.fileNumber()) : NameOf(symbol.quotePath);
  // As the reader does, a layout file that cannot be read counts as none.
  Bytes dop;
  const bool hasDop = !symbol.dopPath.empty() && ReadWholeFile(fs, symbol.dopPath, &dop, kLargestLayoutFile);
  if (!symbol.quotePath.empty() &&
      !ReadWholeFile(fs, symbol.quotePath, quotes, LargestQuoteFile(kLongestRecord))) {
    SeriesVerdict verdict;
    verdict.problems.push_back({0, "quote file " + quoteName + " cannot be read", false});
    return verdict;
  }
  const std::string_view dopText(reinterpret_cast<const char*>(dop.data()), dop.size());
  SeriesFiles files;
  files.record = symbol.record;
  files.quoteName = quoteName;
  files.quotes = symbol.quotePath.empty() ? nullptr : quotes;
  files.dopText = hasDop ? &dopText : nullptr;
  return CheckSeries(files);
}

CheckOutcome CheckPortfolio(FileSystem& fs, const std::string& dir, const CheckProgress& progress,
                            std::vector<CheckProblem>* problems, CheckGrouping grouping) {
  problems->clear();
  PortfolioTree tree;
  if (!ReadPortfolioTree(fs, dir, &tree)) return CheckOutcome::kNoPortfolio;
  *problems = std::move(tree.problems);
  const int total = static_cast<int>(tree.symbols.size());
  CheckOutcome outcome = CheckOutcome::kDone;
  Bytes quotes;
  for (int i = 0; i < total; ++i) {
    if (progress && !progress(i, total)) {
      outcome = CheckOutcome::kCancelled;
      break;
    }
    const CheckedSymbol& symbol = tree.symbols[static_cast<std::size_t>(i)];
    for (CheckProblem& p : SeriesReport(symbol, CheckSymbol(fs, symbol, &quotes), grouping)) problems->push_back(std::move(p));
  }
  if (outcome == CheckOutcome::kDone && progress) progress(total, total);
  SortProblems(problems);
  return outcome;
}

}  // namespace barvane
