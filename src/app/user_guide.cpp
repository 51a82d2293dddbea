// The sections of the user's guide, by command.
#include "app/user_guide.h"

namespace barvane {

const std::vector<std::pair<CommandId, const char*>>& GuideSections() {
  static const std::vector<std::pair<CommandId, const char*>> kSections = {
      {kCmdEditQuote, "Edit quote"},
      {kCmdNewQuote, "New quote"},
      {kCmdAddQuote, "Add quote"},
      {kCmdDeleteQuote, "Delete quote"},
      {kCmdSplit, "Split"},
      {kCmdAdjust, "Adjust"},
      {kCmdSplitSearch, "Split search"},
      {kCmdCheckPortfolio, "Check and repair"},
      {kCmdImportQuotes, "Import"},
      {kCmdImportSymbol, "Import"},
      {kCmdExport, "Export"},
      {kCmdExportAll, "Export"},
      {kCmdEditSymbol, "Edit symbol"},
      {kCmdDeleteSymbol, "Delete symbol"},
      {kCmdCopySymbol, "Copy and move"},
      {kCmdMoveSymbol, "Copy and move"},
      {kCmdDataFacts, "Series facts"},
      {kCmdCharacterSet, "Character sets"},
      {kCmdFindSymbol, "Finding portfolios, symbols and dates"},
      {kCmdGoToDate, "Finding portfolios, symbols and dates"},
      {kCmdSearchFilter, "Finding portfolios, symbols and dates"},
      {kCmdReScan, "Finding portfolios, symbols and dates"},
  };
  return kSections;
}

const char* GuideSection(CommandId command) {
  for (const auto& [id, heading] : GuideSections()) {
    if (id == command) return heading;
  }
  return "";
}

}  // namespace barvane
