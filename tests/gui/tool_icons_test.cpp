// The command icons offscreen: every tool bar button shows one, our own drawings render (the
// SVG plugins are there) and no two commands share a glyph; the windows carry the program's.
#include "gui/tool_icons.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QToolBar>
#include <set>

#include "window_harness.h"

namespace barvane {
namespace {

QImage Blank() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

QImage Drawn(const QIcon& icon) {
  QImage image = Blank();
  QPainter painter(&image);
  icon.paint(&painter, image.rect());
  return image;
}

TEST(ToolIcons, EveryButtonHasItsOwnGlyphAndTheWindowTheProgramsIcon) {
  test::GuiWindow w;
  w.Open();
  const QList<QAction*> buttons = w.frame->findChild<QToolBar*>()->actions();
  std::vector<QImage> drawn;
  std::set<QString> paths;
  int commands = 0;
  for (const auto& [command, action] : {std::pair{kCmdExit, w.frame->action(kCmdExit)},
                                        std::pair{kCmdSplitSearch, w.frame->action(kCmdSplitSearch)},
                                        std::pair{kCmdSearchFilter, w.frame->action(kCmdSearchFilter)},
                                        std::pair{kCmdReScan, w.frame->action(kCmdReScan)},
                                        std::pair{kCmdDeleteSymbol, w.frame->action(kCmdDeleteSymbol)},
                                        std::pair{kCmdMoveSymbol, w.frame->action(kCmdMoveSymbol)},
                                        std::pair{kCmdCopySymbol, w.frame->action(kCmdCopySymbol)},
                                        std::pair{kCmdEditSymbol, w.frame->action(kCmdEditSymbol)},
                                        std::pair{kCmdDataFacts, w.frame->action(kCmdDataFacts)},
                                        std::pair{kCmdEditQuote, w.frame->action(kCmdEditQuote)},
                                        std::pair{kCmdSplit, w.frame->action(kCmdSplit)},
                                        std::pair{kCmdAdjust, w.frame->action(kCmdAdjust)},
                                        std::pair{kCmdAddQuote, w.frame->action(kCmdAddQuote)},
                                        std::pair{kCmdDeleteQuote, w.frame->action(kCmdDeleteQuote)},
                                        std::pair{kCmdExport, w.frame->action(kCmdExport)},
                                        std::pair{kCmdAbout, w.frame->action(kCmdAbout)}}) {
    SCOPED_TRACE(action->toolTip().toStdString());
    ++commands;
    EXPECT_TRUE(buttons.contains(action));
    EXPECT_FALSE(action->icon().isNull());
    const QString path = OwnToolIconPath(command);
    EXPECT_TRUE(paths.insert(path).second);
    const QImage own = Drawn(QIcon(path));
    EXPECT_NE(own, Blank()) << "nothing drawn";
    for (const QImage& other : drawn) EXPECT_NE(own, other);
    drawn.push_back(own);
  }
  EXPECT_EQ(commands, 16);
  EXPECT_EQ(buttons.size() - 4, commands);  // and the four separators
  EXPECT_TRUE(OwnToolIconPath(kCmdToggleToolBar).isEmpty());
  EXPECT_FALSE(w.frame->windowIcon().isNull());
  EXPECT_NE(Drawn(AppIcon()), Blank());
}

}  // namespace
}  // namespace barvane
