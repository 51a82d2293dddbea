// Tool bar icons by freedesktop name, with our SVG drawings as the fallback.
#include "gui/tool_icons.h"

using namespace barvane;

namespace {

struct IconNames {
  const char* theme;  // freedesktop icon name
  const char* own;    // our drawing in res/icons
};

IconNames NamesOf(CommandId command) {
  switch (command) {
    case kCmdExit: return {"application-exit", "application-exit"};
    case kCmdSplitSearch: return {"edit-find", "split-search"};
    case kCmdSearchFilter: return {"view-filter", "search-filter"};
    case kCmdReScan: return {"view-refresh", "rescan"};
    // A theme's edit-delete would be the same glyph for both deletes: the quote takes
    // list-remove.
    case kCmdDeleteSymbol: return {"edit-delete", "delete-symbol"};
    case kCmdMoveSymbol: return {"go-jump", "move-symbol"};
    case kCmdCopySymbol: return {"edit-copy", "copy-symbol"};
    case kCmdEditSymbol: return {"document-properties", "edit-symbol"};
    case kCmdDataFacts: return {"dialog-information", "data-facts"};
    case kCmdEditQuote: return {"document-edit", "edit-quote"};
    case kCmdSplit: return {"edit-cut", "split"};
    case kCmdAdjust: return {"transform-scale", "adjust"};
    case kCmdAddQuote: return {"list-add", "add-quote"};
    case kCmdDeleteQuote: return {"list-remove", "delete-quote"};
    case kCmdExport: return {"document-save-as", "export"};
    case kCmdAbout: return {"help-about", "help-about"};
    default: return {nullptr, nullptr};
  }
}

}  // namespace

// The resources live in the window's static library: registered once, before first use. (Out
// of every namespace, as the registration function is a global one.)
static void InitResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(barvane);
    return true;
  }();
  (void)done;
}

QString OwnToolIconPath(CommandId command) {
  const IconNames names = NamesOf(command);
  if (!names.own) return {};
  return QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(names.own));
}

QIcon ToolIcon(CommandId command) {
  InitResources();
  const IconNames names = NamesOf(command);
  if (!names.theme) return {};
  return QIcon::fromTheme(QString::fromLatin1(names.theme), QIcon(OwnToolIconPath(command)));
}

QIcon AppIcon() {
  InitResources();
  return QIcon::fromTheme(QStringLiteral("barvane"), QIcon(QStringLiteral(":/icons/barvane.svg")));
}
