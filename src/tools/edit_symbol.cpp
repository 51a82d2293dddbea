// Edit symbol.
#include "tools/edit_symbol.h"

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/master.h"
#include "data/portfolio_lock.h"

namespace barvane {
namespace {

std::string EditFailed(const std::string& reason) {
  return "The Symbol edit failed.\n\nReason: " + reason;
}

// Bytes from 0x80 up are letters in the code pages symbols and names are kept in.
bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

SymbolTexts EditSymbolStartTexts(const ViewState& view) {
  const auto row = static_cast<std::size_t>(view.m_selSymbolRow);
  if (view.m_selSymbolRow < 0 || row >= view.m_symbolRows.size()) return {};
  SymbolTexts texts{view.m_symbolRows[row].symbol, view.m_symbolRows[row].name};
  const std::size_t end = texts.name.find_last_not_of(" \t\r\n\f\v");
  texts.name.erase(end == std::string::npos ? 0 : end + 1);
  return texts;
}

std::string SymbolTextsProblem(const SymbolTexts& texts) {
  if (texts.symbol.empty()) return kEmptySymbolText;
  if (texts.symbol.size() > kEditSymbolTextLimit) return "The symbol may hold at most 16 characters";
  for (unsigned char c : texts.symbol) {
    if (!IsPrintableByte(c)) return "The symbol may hold no blanks or control characters";
  }
  if (texts.name.size() > kEditSymbolTextLimit) return "The name may hold at most 16 characters";
  for (unsigned char c : texts.name) {
    if (IsControl(c)) return "The name may not hold control characters";
  }
  return {};
}

bool EditSymbol(ViewState& view, const SymbolTexts& texts) {
  const auto row = static_cast<std::size_t>(view.m_selSymbolRow);
  if (view.m_selSymbolRow < 0 || row >= view.m_symbolRows.size()) return false;
  FileSystem& fs = view.fs();
  Ui& ui = view.ui();
  if (const std::string problem = SymbolTextsProblem(texts); !problem.empty()) {
    ui.ShowMessage(problem, MessageIcon::kWarning);
    return false;
  }
  const std::string shown = view.m_symbolRows[row].symbol;
  PortfolioLock lock(fs);
  if (!lock.Acquire({DirectoryOf(view.m_masterPath)}, LockMode::kExclusive)) {
    ui.ShowMessage(lock.failureText(), MessageIcon::kStop);
    return false;
  }

  IndexFiles files;
  if (!ReadIndexFilesOf(fs, view.m_masterPath, &files) || !files.masterWhole()) {
    ui.ShowMessage(EditFailed("The MASTER file\n" + view.m_masterPath + "\ncannot be read."),
                   MessageIcon::kStop);
    return false;
  }
  const std::optional<IndexEntry> entry = FindEntryByGridText(files, shown);
  if (!entry) {
    ui.ShowMessage(EditFailed("Symbol " + shown + " is no longer in\n" + view.m_masterPath +
                          "\nNothing was changed."),
                   MessageIcon::kStop);
    return false;
  }
  if (const std::size_t room = SymbolRoom(files, *entry); texts.symbol.size() > room) {
    ui.ShowMessage("The symbol may hold at most " + std::to_string(room) +
                       " characters in this portfolio",
                   MessageIcon::kWarning);
    return false;
  }
  const IndexFiles updated = WithTexts(files, *entry, texts.symbol, texts.name);
  if (!WriteIndexFiles(fs, IndexWrites(fs, updated, files, IndexReplace::kBackupAndNew))) {
    ui.ShowMessage(EditFailed("The index files of\n" + files.dir +
                          "\ncannot be written. Nothing was changed."),
                   MessageIcon::kStop);
    return false;
  }
  ui.ShowDone("Symbol " + view.m_symbolRows[row].symbol + " is now " + texts.symbol + ", " +
              texts.name);
  view.m_symbolRows[row].symbol = texts.symbol;
  view.m_symbolRows[row].name = texts.name;
  view.m_symbolRows[row].blankSymbol = false;
  view.m_seriesSymbol = texts.symbol;
  view.m_seriesName = texts.name;
  return true;
}

}  // namespace barvane
