// Delete symbol.
#include "tools/delete_symbol.h"

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/portfolio_lock.h"
#include "tools/file_journal.h"

namespace barvane {
namespace {

std::string DeletionFailed(const std::string& reason) {
  return "The Symbol deletion failed.\n\nReason: " + reason;
}

}  // namespace

std::string SymbolToDelete(const ViewState& view) {
  const auto row = static_cast<std::size_t>(view.m_selSymbolRow);
  if (view.m_selSymbolRow < 0 || row >= view.m_symbolRows.size()) return {};
  return view.m_symbolRows[row].symbol;
}

bool DeleteSymbol(ViewState& view) {
  const std::string symbol = SymbolToDelete(view);
  if (symbol.empty()) return false;
  FileSystem& fs = view.fs();
  Ui& ui = view.ui();
  const std::string dir = WithTrailingSlash(view.m_portfolioDir);
  PortfolioLock lock(fs);
  if (!lock.Acquire({dir, DirectoryOf(view.m_masterPath)}, LockMode::kExclusive)) {
    ui.ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }

  IndexFiles files;
  if (!ReadIndexFilesOf(fs, view.m_masterPath, &files) || !files.masterWhole()) {
    ui.ShowMessage(DeletionFailed("The MASTER file\n" + view.m_masterPath + "\ncannot be read."),
                   MessageIcon::kStop);
    return false;
  }
  const std::optional<IndexEntry> entry = FindEntryByGridText(files, symbol);
  if (!entry) {
    ui.ShowMessage(DeletionFailed("Symbol " + symbol + " is no longer in\n" + view.m_masterPath +
                          "\nNothing was changed."),
                   MessageIcon::kStop);
    return false;
  }
  const int fileNumber = entry->record.fileNumber();

  FileJournal journal(fs);
  bool ok = JournalIndexWrites(
      journal, IndexWrites(fs, WithoutEntry(files, *entry), files, IndexReplace::kSwap));
  // Quote files that another record still names are that symbol's data, not this one's.
  if (ok && !OtherEntryUses(files, fileNumber, *entry)) {
    for (const std::string& name :
         {QuoteFileName(fileNumber), LayoutFileName(fileNumber), QuoteBackupName(fileNumber)}) {
      const std::string path = FindNoCase(fs, dir, name);
      if (!path.empty() && !journal.Remove(path)) {
        ok = false;
        break;
      }
    }
  }
  if (!ok) {
    const bool restored = journal.RollBack();
    ui.ShowMessage(DeletionFailed(restored ? "The files of " + dir + "\ncannot be changed. Nothing was changed."
                                   : "The files of " + dir +
                                         "\ncannot be changed, and some could not be put back."),
                   MessageIcon::kStop);
    return false;
  }
  view.FillSymbolGrid(0);
  ui.ShowDone("Symbol " + symbol + " deleted from " + view.m_portfolioDir);
  return true;
}

}  // namespace barvane
