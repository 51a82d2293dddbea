// Copy and Move symbol.
#include "tools/copy_symbol.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "app/list_order.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/mbf.h"
#include "data/portfolio_lock.h"
#include "tools/file_journal.h"

namespace barvane {
namespace {

std::string AdditionFailed(const std::string& reason) {
  return "The Symbol addition failed.\n\nReason: " + reason;
}

std::string Trimmed(const std::string& text) {
  constexpr const char* kWhite = " \t\r\n\f\v";
  const std::size_t first = text.find_first_not_of(kWhite);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhite) - first + 1);
}

// The entry of `files` that FindMasterRecord gave as `record`: the same file number, name and
// symbol in the same index file.
std::optional<IndexEntry> SourceEntry(const IndexFiles& files, const MasterRecord& record) {
  for (IndexEntry& entry : IndexEntries(files)) {
    if (entry.inXmaster() != (record.extendedFileNumber != 0) ||
        entry.record.fileNumber() != record.fileNumber() || entry.record.isSubPortfolio() ||
        entry.record.nameText() != record.nameText() || entry.record.symbolText() != record.symbolText()) {
      continue;
    }
    return std::move(entry);
  }
  return std::nullopt;
}

struct SymbolFile {
  std::string name;  // as the destination will carry it
  Bytes bytes;
};

}  // namespace

std::vector<std::string> DestinationChoices(const ViewState& view) {
  std::vector<std::string> choices;
  for (std::size_t i = 0; i < view.m_portfolios.size(); ++i) {
    if (static_cast<int>(i) != view.m_selPortfolio) choices.push_back(view.m_portfolios[i]);
  }
  std::sort(choices.begin(), choices.end());
  return choices;
}

bool CopySymbol(ViewState& view, const std::string& destination, bool move) {
  if (destination.empty()) return false;
  FileSystem& fs = view.fs();
  Ui& ui = view.ui();
  const std::string symbol = AsciiUpper(Trimmed(view.m_seriesSymbol));
  const std::string target = WithTrailingSlash(WithoutTrailingSlash(destination));
  const std::string shownTarget = WithoutTrailingSlash(destination);
  PortfolioLock lock(fs);
  if (!lock.AcquireForSymbol(view.m_portfolioDir, symbol, {target})) {
    ui.ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }

  MasterRecord record;
  std::string sourceDir;
  if (FindMasterRecord(fs, view.m_portfolioDir, symbol, &record, &sourceDir) != kSuccess) {
    ui.ShowMessage(AdditionFailed("Symbol " + symbol + " was not found in\n" + view.m_portfolioDir),
                   MessageIcon::kStop);
    return false;
  }
  // The record as its MASTER file holds it, dates in MBF again.
  IeeeToMbf(record.bytes.data() + kMasterFirstDate, record.bytes.data() + kMasterFirstDate);
  IeeeToMbf(record.bytes.data() + kMasterLastDate, record.bytes.data() + kMasterLastDate);
  const int n = record.fileNumber();

  MasterRecord found;
  std::string foundDir;
  const Status inTarget = FindMasterRecord(fs, target, symbol, &found, &foundDir);
  if (inTarget == kSuccess) {
    ui.ShowMessage(AdditionFailed("Symbol " + symbol + " already exists in\n" + shownTarget),
                   MessageIcon::kStop);
    return false;
  }
  IndexFiles targetFiles;
  // A sub-portfolio that cannot be read might hold the symbol already.
  if (inTarget != kFileNotFound || !ReadIndexFiles(fs, target, &targetFiles) || !targetFiles.masterWhole()) {
    ui.ShowMessage(AdditionFailed("The MASTER file of\n" + shownTarget + "\ncannot be read."),
                   MessageIcon::kStop);
    return false;
  }
  const int m = NextFreeFileNumber(fs, targetFiles);
  if (m == 0) {
    ui.ShowMessage(kPortfolioFullText, MessageIcon::kStop);
    return false;
  }

  IndexFiles sourceFiles;
  std::optional<IndexEntry> sourceEntry;
  if (!ReadIndexFiles(fs, sourceDir, &sourceFiles) || !sourceFiles.masterWhole() ||
      !(sourceEntry = SourceEntry(sourceFiles, record))) {
    ui.ShowMessage(AdditionFailed("The MASTER file of\n" + sourceDir + "\ncannot be read."),
                   MessageIcon::kStop);
    return false;
  }
  NewIndexEntry added{record, EmasterRecordOf(sourceFiles, *sourceEntry),
                      XmasterRecordOf(sourceFiles, *sourceEntry), record.fieldSet};
  if (added.fieldSet == 0) {
    FieldLayout layout;
    if (ReadSymbolLayout(fs, sourceDir, record, &layout) == kSuccess) added.fieldSet = FieldSetOfLayout(layout);
  }
  // XMASTER knows a symbol's quote records only by their field set.
  if (m > kLargestMasterFileNumber && !added.xmasterRecord &&
      (added.fieldSet == 0 || std::popcount(added.fieldSet) * 4 != record.recordLength())) {
    ui.ShowMessage(AdditionFailed("The quote records of " + symbol + " cannot be described in XMASTER,\n"
                          "and the MASTER of\n" + shownTarget + "\nis full."),
                   MessageIcon::kStop);
    return false;
  }

  std::vector<SymbolFile> files;
  const std::string dat = FindNoCase(fs, sourceDir, QuoteFileName(n));
  files.push_back({QuoteFileName(m), {}});
  if (dat.empty() || !ReadWholeFile(fs, dat, &files.back().bytes)) {
    ui.ShowMessage(AdditionFailed("The quote file " + sourceDir + QuoteFileName(n) + "\ncannot be read."),
                   MessageIcon::kStop);
    return false;
  }
  const std::string dop = FindNoCase(fs, sourceDir, LayoutFileName(n));
  if (!dop.empty()) {
    files.push_back({LayoutFileName(m), {}});
    if (!ReadWholeFile(fs, dop, &files.back().bytes)) {
      ui.ShowMessage(AdditionFailed("The layout file " + dop + "\ncannot be read."), MessageIcon::kStop);
      return false;
    }
  }
  // The quote files are in place before any index names them, and the source loses nothing
  // before the destination is complete, so a crash never leaves a record without its data.
  FileJournal journal(fs);
  bool ok = true;
  for (const SymbolFile& file : files) {
    ok = ok && journal.Replace(target + file.name, CopyTemporaryPath(target + file.name), file.bytes);
  }
  ok = ok && JournalIndexWrites(journal, IndexWrites(fs, WithEntryAdded(targetFiles, added, m), targetFiles,
                                                     IndexReplace::kSwap));
  if (move) {
    ok = ok && JournalIndexWrites(journal, IndexWrites(fs, WithoutEntry(sourceFiles, *sourceEntry),
                                                       sourceFiles, IndexReplace::kSwap));
    // Quote files that another record still names are that symbol's data, not this one's.
    if (!OtherEntryUses(sourceFiles, n, *sourceEntry)) {
      for (const std::string& name : {QuoteFileName(n), QuoteBackupName(n), LayoutFileName(n)}) {
        const std::string path = FindNoCase(fs, sourceDir, name);
        ok = ok && (path.empty() || journal.Remove(path));
      }
    }
  }
  if (!ok) {
    const bool restored = journal.RollBack();
    ui.ShowMessage(AdditionFailed(restored ? "The portfolio files cannot be written.\nNothing was changed."
                                   : "The portfolio files cannot be written,\n"
                                     "and some could not be put back."),
                   MessageIcon::kStop);
    return false;
  }
  if (move) view.FillSymbolGrid(0);
  ui.ShowDone("Symbol " + symbol + (move ? " moved to " : " copied to ") + shownTarget);
  return true;
}

}  // namespace barvane
