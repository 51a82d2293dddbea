// The program's command ids: they name the commands of the menu, the tool bar and the
// enabling table.
#pragma once

namespace barvane {

enum CommandId : int {
  kCmdEditQuote = 32771,
  kCmdSplit = 32772,
  kCmdAdjust = 32773,
  kCmdDataFacts = 32774,
  kCmdDeleteQuote = 32775,
  kCmdSplitSearch = 32776,
  kCmdEditSymbol = 32789,
  kCmdSearchFilter = 32790,
  kCmdMoveSymbol = 32791,
  kCmdDeleteSymbol = 32793,
  kCmdAddQuote = 32794,
  kCmdExport = 32804,
  kCmdReScan = 32807,
  kCmdCopySymbol = 32823,
  kCmdCheckPortfolio = 32840,
  kCmdExportAll = 32850,
  kCmdImportQuotes = 32851,
  kCmdImportSymbol = 32852,
  kCmdNewQuote = 32853,
  kCmdFindSymbol = 32854,
  kCmdGoToDate = 32855,
  kCmdCharacterSet = 32860,
  kCmdAbout = 57664,
  kCmdExit = 57665,
  kCmdHelpTopics = 57667,
  kCmdToggleToolBar = 59392,
  kCmdToggleStatusBar = 59393,
};

}  // namespace barvane
