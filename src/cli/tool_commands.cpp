// The portfolio tools on the command line: the same checks, messages and file effects as the
// window's commands, without settings. Questions are answered Yes, except the export's
// question about replacing a file, answered No unless --force is given.
#include "cli/tool_commands.h"

#include <algorithm>
#include <sstream>

#include "app/settings_store.h"
#include "app/symbol_list.h"
#include "app/view_state.h"
#include "cli/text_encoding.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "exchange/export.h"
#include "exchange/export_all.h"
#include "exchange/import.h"
#include "tools/copy_symbol.h"
#include "tools/delete_symbol.h"
#include "tools/edit_symbol.h"
#include "tools/split_search.h"

namespace barvane::cli {
namespace {

// Passes everything to the command line's Ui but answers the replace question itself; a
// question answered No is shown, so that the refusal has its reason.
class ExportUi final : public Ui {
 public:
  ExportUi(Ui& target, bool force) : target_(target), force_(force) {}
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    target_.ShowMessage(text, icon);
  }
  bool AskYesNo(const std::string& text) override {
    if (!force_) target_.ShowMessage(text, MessageIcon::kNone);
    return force_;
  }

 private:
  Ui& target_;
  bool force_;
};

// The view with `dir` as the current portfolio, its grids not yet read.
void OpenPortfolio(ViewState& view, const std::string& dir) {
  const std::string master = FindNoCase(view.fs(), WithTrailingSlash(dir), kMasterName);
  view.SetMasterPath(master.empty() ? WithTrailingSlash(dir) + kMasterName : master);
  view.m_portfolioDir = dir;
  view.m_portfoliosFound = true;
}

// The view with the symbol grid of portfolio `dir` read as the window reads it, without the
// blank-symbol repair and without a quote grid. False, after telling the Ui, when the MASTER
// cannot be read.
bool OpenSymbolGrid(ViewState& view, const std::string& dir) {
  OpenPortfolio(view, dir);
  SymbolListing listing;
  if (!ReadSymbolListing(view.fs(), view.m_masterPath, view.ui(), &listing)) return false;
  view.m_symbolRows = std::move(listing.rows);
  view.m_symbolCount = static_cast<std::int32_t>(view.m_symbolRows.size());
  view.m_selSymbolRow = 0;
  return true;
}

// Makes the grid row showing `symbol` current; false (told) when no row shows it.
bool SelectRowOf(ViewState& view, const std::string& symbol) {
  for (std::size_t r = 0; r < view.m_symbolRows.size(); ++r) {
    if (view.m_symbolRows[r].symbol == symbol) {
      view.m_selSymbolRow = static_cast<std::int32_t>(r);
      view.m_seriesSymbol = view.m_symbolRows[r].symbol;
      view.m_seriesName = view.m_symbolRows[r].name;
      return true;
    }
  }
  view.ui().ShowMessage("No symbol " + symbol + " in " + view.m_portfolioDir, MessageIcon::kStop);
  return false;
}

int SplitSearchCommand(ViewState& view, const std::string& dir, std::ostream& out) {
  if (!OpenSymbolGrid(view, dir)) return 1;
  SplitSearch search;
  const bool ran = search.Search(view);
  for (const std::string& line : search.lines()) out << FileTextToUtf8(line) << '\n';
  return ran ? 0 : 1;
}

// The choices of the words from `first` on; false when a word is wrong.
bool ParseExportOptions(const std::vector<std::string>& words, std::size_t first,
                        ExportChoices* choices, bool* force) {
  static const char* const kColumns[kExportColumnCount] = {"open", "high", "low",
                                                           "close", "vol", "oi"};
  for (std::size_t i = first; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--title") {
      choices->titleRow = true;
    } else if (word == "--newest") {
      choices->newestFirst = true;
    } else if (word == "--force") {
      *force = true;
    } else if (word == "--delim" && i + 1 < words.size()) {
      const std::string& d = words[++i];
      if (d == "space") {
        choices->delimiter = 0;
      } else if (d == "comma") {
        choices->delimiter = 1;
      } else if (d == "tab") {
        choices->delimiter = 2;
      } else {
        return false;
      }
    } else if (word == "--omit" && i + 1 < words.size()) {
      std::istringstream list(words[++i]);
      for (std::string column; std::getline(list, column, ',');) {
        if (column == "time") {
          choices->omitTime = true;
          continue;
        }
        int c = 0;
        while (c < kExportColumnCount && column != kColumns[c]) ++c;
        if (c == kExportColumnCount) return false;
        choices->omit[static_cast<std::size_t>(c)] = true;
      }
    } else {
      return false;
    }
  }
  return true;
}

int ExportCommand(FileSystem& fs, Ui& ui, const std::vector<std::string>& words) {
  ExportChoices choices;
  choices.path = words[2];
  bool force = false;
  if (!ParseExportOptions(words, 3, &choices, &force)) return 2;
  ExportUi exportUi(ui, force);
  SettingsStore noSettings(fs);  // never opened: reads give defaults, writes go nowhere
  ViewState view(fs, noSettings, exportUi);
  if (!view.OpenSeries(words[0], words[1])) return 1;
  return ExportQuotes(view, choices) == ExportResult::kDone ? 0 : 1;
}

int ExportAllCommand(FileSystem& fs, Ui& ui, const std::vector<std::string>& words,
                     std::ostream& out) {
  ExportChoices choices;
  bool force = false;
  if (!ParseExportOptions(words, 2, &choices, &force)) return 2;
  ExportUi exportUi(ui, force);
  std::vector<ExportedFile> files;
  const bool complete = ExportAll(fs, exportUi, words[0], words[1], choices, {}, &files);
  for (const ExportedFile& file : files) out << FileTextToUtf8(file.symbol) << '\t' << file.path << '\n';
  return complete ? 0 : 1;
}

// The tickers and names of a text, from UTF-8 into the portfolio's code page; false with a
// message for one the page cannot hold.
bool TickersToFileText(Ui& ui, ImportedText* quotes) {
  for (std::vector<std::string>* texts : {&quotes->tickers, &quotes->names}) {
    for (std::string& text : *texts) {
      std::string bytes;
      const char* what = texts == &quotes->tickers ? "symbol" : "name";
      if (const std::string refusal = FileCodePage().Refusal(text, what); !refusal.empty()) {
        ui.ShowMessage(refusal, MessageIcon::kStop);
        return false;
      }
      (void)FileCodePage().FromUtf8(text, &bytes);
      text = std::move(bytes);
    }
  }
  return true;
}

// import DIR SYMBOL FILE [options], or import DIR FILE --by-ticker [options].
int ImportCommand(FileSystem& fs, Ui& ui, const std::vector<std::string>& words,
                  std::ostream& out) {
  ImportRequest request;
  request.dir = words[0];
  request.byTicker = std::find(words.begin(), words.end(), "--by-ticker") != words.end();
  const std::size_t fileWord = request.byTicker ? 1 : 2;
  if (words.size() <= fileWord || words[fileWord].starts_with("--")) return 2;
  if (!request.byTicker) request.symbol = words[1];
  const std::string& file = words[fileWord];
  ImportOptions options;
  for (std::size_t i = fileWord + 1; i < words.size(); ++i) {
    if (words[i] == "--replace") {
      request.replace = true;
    } else if (words[i] == "--adjusted") {
      options.adjusted = true;
    } else if (words[i] == "--by-ticker") {
      continue;
    } else if (words[i] == "--name" && i + 1 < words.size() && !request.byTicker) {
      const std::string& name = words[++i];
      if (const std::string refusal = FileCodePage().Refusal(name, "name"); !refusal.empty()) {
        ui.ShowMessage(refusal, MessageIcon::kStop);
        return 1;
      }
      (void)FileCodePage().FromUtf8(name, &request.name);
    } else if (words[i] == "--encoding" && i + 1 < words.size()) {
      options.encoding = ImportEncodingNamed(words[++i]);
      if (options.encoding.empty()) {
        std::string names;
        for (const std::string& name : ImportEncodingNames()) names += (names.empty() ? "" : ", ") + name;
        ui.ShowMessage("Unknown encoding " + words[i] + ".\nThe encodings: " + names + ".",
                       MessageIcon::kStop);
        return 1;
      }
    } else if (words[i] == "--dates" && i + 1 < words.size()) {
      const std::string& order = words[++i];
      if (order == "dmy") {
        options.dates = DateOrder::kDayFirst;
      } else if (order == "mdy") {
        options.dates = DateOrder::kMonthFirst;
      } else if (order == "ymd") {
        options.dates = DateOrder::kYearFirst;
      } else {
        return 2;
      }
    } else {
      return 2;
    }
  }
  Bytes bytes;
  if (!ReadWholeFile(fs, file, &bytes)) {
    ui.ShowMessage("The file " + file + "\ncannot be read.", MessageIcon::kStop);
    return 1;
  }
  ImportedText quotes;
  std::string error;
  if (!ReadImportText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      options, &quotes, &error)) {
    ui.ShowMessage(file + "\n" + error + "\nNothing was imported.", MessageIcon::kStop);
    return 1;
  }
  // Into one symbol the rows' own tickers and names are not stored.
  if (request.byTicker && !TickersToFileText(ui, &quotes)) return 1;
  ImportPlanSummary summary;
  if (!ImportQuotes(fs, ui, request, quotes, &summary)) return 1;
  if (!quotes.ignored.empty()) {
    std::string names;
    for (const std::string& name : quotes.ignored) names += (names.empty() ? "" : ", ") + name;
    out << "ignored: " << names << '\n';
  }
  for (const std::string& note : quotes.notes) out << note << '\n';
  return 0;
}

}  // namespace

bool IsToolCommand(const std::string& command) {
  return command == "split-search" || command == "export" || command == "export-all" || command == "import" || command == "edit-symbol" ||
         command == "delete-symbol" || command == "copy-symbol" || command == "move-symbol";
}

int RunToolCommand(FileSystem& fs, Ui& ui, const std::string& command,
                   const std::vector<std::string>& words, std::ostream& out) {
  if (command == "export") return words.size() < 3 ? 2 : ExportCommand(fs, ui, words);
  if (command == "export-all") return words.size() < 2 ? 2 : ExportAllCommand(fs, ui, words, out);
  if (command == "import") return words.size() < 2 ? 2 : ImportCommand(fs, ui, words, out);

  SettingsStore noSettings(fs);  // never opened: reads give defaults, writes go nowhere
  ViewState view(fs, noSettings, ui);
  if (command == "split-search") {
    return words.size() != 1 ? 2 : SplitSearchCommand(view, words[0], out);
  }
  if (command == "edit-symbol") {
    if (words.size() != 4) return 2;
    if (!OpenSymbolGrid(view, words[0]) || !SelectRowOf(view, words[1])) return 1;
    return EditSymbol(view, {words[2], words[3]}) ? 0 : 1;
  }
  if (command == "delete-symbol") {
    if (words.size() != 2) return 2;
    if (!OpenSymbolGrid(view, words[0]) || !SelectRowOf(view, words[1])) return 1;
    return DeleteSymbol(view) ? 0 : 1;
  }
  if (command == "copy-symbol" || command == "move-symbol") {
    if (words.size() != 3) return 2;
    OpenPortfolio(view, words[0]);
    view.m_seriesSymbol = words[1];
    return CopySymbol(view, words[2], command == "move-symbol") ? 0 : 1;
  }
  return 2;
}

}  // namespace barvane::cli
