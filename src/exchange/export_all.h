// Export all: every symbol of a portfolio (the records of its own MASTER, sub-portfolios left
// out) exported into one folder, a file a symbol, each byte for byte what Export writes for
// that symbol with the same choices.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/ui.h"
#include "data/fs.h"
#include "exchange/export.h"

namespace barvane {

inline constexpr const char* kExportAllTitle = "Export All";

struct ExportedFile {
  std::string symbol;  // as the symbol grid shows it
  std::string path;    // the file written
};

// Called after each symbol with the number done and the number in all; false cancels.
using ExportAllProgress = std::function<bool(int done, int total)>;

// The file name for `symbol`: ASCII letters, digits, '.', '_' and '-' kept, every other
// character (and an empty symbol) written as '_', then ".txt"; a name that `taken` already
// holds, ignoring ASCII letter case, gets "_2", "_3", ... before ".txt". Adds the name to `taken`
// (upper-cased).
std::string ExportFileName(const std::string& symbol, std::set<std::string>* taken);

// The path the Export dialog proposes for `symbol`: its file name as above, in the folder of
// `lastPath`, the path of the export before (the current folder when it has none).
std::string ProposedExportPath(const std::string& lastPath, const std::string& symbol);

// Exports every symbol of the portfolio `dir` into `outDir` (made, with missing parents, when
// it does not exist) with `choices` (their path unused), in symbol grid order, and adds each
// file written to `files`. Files of those names already in `outDir` are replaced only when the
// user says Yes to one question; No writes nothing. A link or anything but a regular file at
// one of the names refuses the export (told, naming it) before anything is written. Every file
// is written whole under a hidden temporary name first (ExportTemporaryPath), and all are
// flushed together; only then are they renamed over their names, so that each file holds its
// old or its new bytes, never a mix. Temporary files that a stopped export left in `outDir` are
// removed first. A symbol whose quotes cannot be read is told and passed over. Returns true
// when every symbol was written; false when the portfolio cannot be listed, the folder cannot
// be made, a file cannot be written or flushed (told; no file replaced), a rename fails (told;
// the files before it replaced, the rest as they were), the user declined, or `progress`
// cancelled (no file replaced).
bool ExportAll(FileSystem& fs, Ui& ui, const std::string& dir, const std::string& outDir,
               const ExportChoices& choices, const ExportAllProgress& progress,
               std::vector<ExportedFile>* files);

}  // namespace barvane
