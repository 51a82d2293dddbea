// Export of every symbol of a portfolio.
#include "exchange/export_all.h"

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

// The export files written so far under their hidden temporary names, flushed together and
// renamed over their own names once every one stands; removed if the export stops before.
class StagedFiles {
 public:
  explicit StagedFiles(FileSystem& fs) : fs_(fs) {}
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;
  ~StagedFiles() {
    for (const std::string& path : staged_) (void)fs_.Remove(ExportTemporaryPath(path));
  }

  // Writes `text` whole under the temporary name of `path`, made anew (never through whatever
  // stands at that name); Sync flushes it with the others.
  bool Write(const std::string& path, const std::string& text) {
    auto file = fs_.CreateExclusive(ExportTemporaryPath(path));
    if (!file) return false;
    staged_.push_back(path);
    const bool ok = file->Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return file->Close() && ok;
  }

  // Flushes every file written to the disk, all at once.
  bool Sync() {
    std::vector<std::string> temporaries;
    for (const std::string& path : staged_) temporaries.push_back(ExportTemporaryPath(path));
    return fs_.SyncFiles(temporaries, nullptr);
  }

  // Renames every file over its name, in order, and flushes the folder; stops at the first
  // rename that fails (those renamed stand, the rest keep their old bytes) and names its file
  // in `failed`. REQUIRES: Sync succeeded.
  bool Rename(std::string* failed) {
    std::string dir;
    for (auto it = staged_.begin(); it != staged_.end(); it = staged_.erase(it)) {
      if (!fs_.Rename(ExportTemporaryPath(*it), *it)) {
        *failed = *it;
        return false;
      }
      dir = DirectoryOf(*it);
    }
    // The new files are in place; a failed flush only weakens their durability.
    if (!dir.empty()) (void)fs_.SyncDirectory(dir);
    return true;
  }

 private:
  FileSystem& fs_;
  std::vector<std::string> staged_;
};

// Removes the temporary files that an export stopped by a crash left in `dir`: regular files of
// the temporary names only, a link or anything else of such a name left as it stands.
void RemoveLeftovers(FileSystem& fs, const std::string& dir) {
  std::vector<DirEntry> entries;
  if (!fs.ListDirectory(dir, &entries)) return;
  for (const DirEntry& entry : entries) {
    FileInfo info;
    if (IsExportTemporaryName(entry.name) && fs.StatNoFollow(dir + entry.name, &info) &&
        info.kind == DirEntry::Kind::kFile) {
      (void)fs.Remove(dir + entry.name);
    }
  }
}

// Whether something other than a regular file stands at `path` itself: a link (even to a
// regular file), a directory, a FIFO, a device.
bool NotARegularFile(FileSystem& fs, const std::string& path) {
  FileInfo info;
  return fs.StatNoFollow(path, &info) && info.kind != DirEntry::Kind::kFile;
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
    const std::string& path = planned.back().path;
    // An export file is replaced by renaming over its name; what a link there leads to, or a
    // FIFO or device standing there, is no export file of ours.
    if (NotARegularFile(fs, path)) {
      ui.ShowMessage(path + "\nis not a regular file but a link or another kind of file.\n" +
                         "Nothing was exported.",
                     MessageIcon::kStop);
      return false;
    }
    if (existing.empty() && fs.IsRegularFile(path)) existing = path;
  }
  if (!existing.empty() &&
      !ui.AskYesNo(existing + "\nThis file already exists\n\nReplace existing files?")) {
    return false;
  }
  if (!MakeDirectories(fs, out)) {
    ui.ShowMessage("The folder " + outDir + "\ncannot be made.", MessageIcon::kStop);
    return false;
  }
  RemoveLeftovers(fs, out);
  ui.SetWaitCursor(true);
  MasterRecordFinder records(portfolio, portfolioDir);
  StagedFiles staged(fs);
  std::vector<ExportedFile> written;
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
      if (!staged.Write(planFile.path, ExportFileText(&series, count, choices))) {
        ui.SetWaitCursor(false);
        ui.ShowMessage(std::string(kExportErrorText) + "\n" + planFile.path + "\nNo file was replaced.",
                       MessageIcon::kStop);
        return false;
      }
      written.push_back(planFile);
    }
    if (progress && !progress(++done, static_cast<int>(planned.size()))) {
      ui.SetWaitCursor(false);
      return false;
    }
  }
  if (!staged.Sync()) {
    ui.SetWaitCursor(false);
    ui.ShowMessage(std::string(kExportErrorText) + "\n" + outDir + "\nNo file was replaced.", MessageIcon::kStop);
    return false;
  }
  std::string failed;
  const bool renamed = staged.Rename(&failed);
  ui.SetWaitCursor(false);
  if (!renamed) {
    for (const ExportedFile& file : written) {
      if (file.path == failed) break;
      files->push_back(file);
    }
    ui.ShowMessage(std::string(kExportErrorText) + "\n" + failed, MessageIcon::kStop);
    return false;
  }
  files->insert(files->end(), written.begin(), written.end());
  ui.Beep();
  return complete;
}

}  // namespace barvane
