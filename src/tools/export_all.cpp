// Export of every symbol of a portfolio.
#include "tools/export_all.h"

#include <algorithm>

#include "app/list_order.h"
#include "app/symbol_list.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/listing_cache_fs.h"
#include "data/quote_series.h"

namespace barvane {
namespace {

bool KeptInFileName(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

}  // namespace

std::string ExportFileName(const std::string& symbol, std::set<std::string>* taken) {
  std::string base = symbol.empty() ? "_" : symbol;
  std::replace_if(
      base.begin(), base.end(), [](char c) { return !KeptInFileName(c); }, '_');
  std::string name = base + ".txt";
  for (int n = 2; taken->count(AsciiUpper(name)) != 0; ++n) {
    name = base + "_" + std::to_string(n) + ".txt";
  }
  taken->insert(AsciiUpper(name));
  return name;
}

std::string ProposedExportPath(const std::string& lastPath, const std::string& symbol) {
  std::set<std::string> none;
  const std::size_t slash = lastPath.rfind('/');
  return (slash == std::string::npos ? std::string() : lastPath.substr(0, slash + 1)) + ExportFileName(symbol, &none);
}

bool ExportAll(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& outDir,
               const ExportChoices& choices, const ExportAllProgress& progress,
               std::vector<ExportedFile>* files) {
  // Every symbol's lookups list the portfolio's directory; the files written go around this.
  ListingCacheFs portfolio(fs);
  const std::string portfolioDir = WithTrailingSlash(dir);
  const std::string master = FindNoCase(portfolio, portfolioDir, kMasterName);
  SymbolListing listing;
  if (!ReadSymbolListing(portfolio, master.empty() ? portfolioDir + kMasterName : master, ui,
                         &listing)) {
    return false;
  }
  std::vector<ExportedFile> planned;
  std::set<std::string> taken;
  const std::string out = WithTrailingSlash(outDir);
  std::string existing;
  for (const SymbolRow& row : listing.rows) {
    if (row.subPortfolio) continue;
    planned.push_back({row.symbol, out + ExportFileName(row.symbol, &taken)});
    if (existing.empty() && fs.IsRegularFile(planned.back().path)) existing = planned.back().path;
  }
  if (!existing.empty() &&
      !ui.AskYesNo(existing + "\nThis file already exists\n\nReplace existing files?")) {
    return false;
  }
  if (!MakeDirectories(fs, out)) {
    ui.ShowMessage("The folder " + outDir + "\ncannot be made.", MessageIcon::kStop);
    return false;
  }
  ui.SetWaitCursor(true);
  MasterRecordFinder records(portfolio, portfolioDir);
  bool complete = true;
  int done = 0;
  for (const ExportedFile& planFile : planned) {
    SeriesFile series;
    if (series.Open(portfolio, records, planFile.symbol) != kSuccess) {
      ui.ShowMessage("For symbol " + planFile.symbol +
                     "\nthe quotes cannot be read; no file written.");
      complete = false;
    } else {
      const std::int32_t count = std::min(series.quotesInFile(), series.quotesPresent());
      const std::string text = ExportFileText(&series, count, choices);
      // A file of an earlier export is rewritten in place rather than truncated first.
      auto file = fs.OpenForRewrite(planFile.path);
      if (!file || !WriteExportFile(std::move(file), text)) {
        ui.SetWaitCursor(false);
        ui.ShowMessage(std::string(kExportErrorText) + "\n" + planFile.path, MessageIcon::kStop);
        return false;
      }
      files->push_back(planFile);
    }
    if (progress && !progress(++done, static_cast<int>(planned.size()))) {
      ui.SetWaitCursor(false);
      return false;
    }
  }
  ui.SetWaitCursor(false);
  ui.Beep();
  return complete;
}

}  // namespace barvane
